// The host's reference-counted pointers. An object that can be held by SP derives from SPEnabled, which
// carries an atomic count; the last SP that lets go deletes the object. SPBase does the counting for
// every SP<T>; SP<T> only adds the typed access. Null is allowed everywhere.
#pragma once

#include <atomic>
#include <cstddef>

class SPEnabled {
 public:
  SPEnabled() = default;
  // A copied object starts with no holders of its own.
  SPEnabled(const SPEnabled&) : references_(0) {}
  SPEnabled& operator=(const SPEnabled&) { return *this; }
  virtual ~SPEnabled() = default;

  void addReference() const { references_.fetch_add(1, std::memory_order_relaxed); }
  // True when this was the last reference.
  bool dropReference() const { return references_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
  long referenceCount() const { return references_.load(std::memory_order_acquire); }

 private:
  mutable std::atomic<long> references_{0};
};

class SPBase {
 public:
  SPBase() = default;
  ~SPBase() { release(); }
  SPBase(const SPBase&) = delete;
  SPBase& operator=(const SPBase&) = delete;

  // Holds the object (or nothing) from now on; the object held before is let go afterwards, so assigning
  // an object to the pointer that already holds it is safe.
  void assign(SPEnabled* object) {
    if (object != nullptr) object->addReference();
    SPEnabled* previous = object_;
    object_ = object;
    if (previous != nullptr && previous->dropReference()) delete previous;
  }
  SPEnabled* get() const { return object_; }

 private:
  void release() { assign(nullptr); }
  SPEnabled* object_ = nullptr;
};

template <class T>
class SP : private SPBase {
 public:
  SP() = default;
  SP(std::nullptr_t) {}              // NOLINT
  SP(T* object) { assign(object); }  // NOLINT: implicit on purpose, like the host's pointer
  // From the base of every held object: holds it when it is a T, else nothing (it is then not touched).
  SP(SPEnabled* object) { assign(dynamic_cast<T*>(object)); }  // NOLINT
  SP(const SP& other) : SPBase() { assign(other.get()); }
  SP& operator=(const SP& other) {
    assign(other.get());
    return *this;
  }
  SP& operator=(T* object) {
    assign(object);
    return *this;
  }
  SP& operator=(std::nullptr_t) {
    assign(nullptr);
    return *this;
  }
  SP& operator=(SPEnabled* object) {
    assign(dynamic_cast<T*>(object));
    return *this;
  }
  ~SP() = default;

  operator T*() const { return typed(); }
  T* operator->() const { return typed(); }
  T& operator*() const { return *typed(); }
  T* pointer() const { return typed(); }

 private:
  T* typed() const { return static_cast<T*>(SPBase::get()); }
};
