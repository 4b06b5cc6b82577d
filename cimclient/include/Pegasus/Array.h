// Pegasus::Array<T>: a growable sequence with bounds-checked indexing.
#pragma once
#include <deque>
#include <initializer_list>
#include <vector>
#include "Pegasus/Config.h"
#include "Pegasus/Exception.h"

namespace Pegasus {

namespace ArrayDetail {
// std::vector<bool> hands out proxies instead of references; booleans live in a deque instead.
template <class T>
struct Storage {
  using type = std::vector<T>;
};
template <>
struct Storage<bool> {
  using type = std::deque<bool>;
};
}  // namespace ArrayDetail

template <class T>
class Array {
 public:
  using Container = typename ArrayDetail::Storage<T>::type;
  using iterator = typename Container::iterator;
  using const_iterator = typename Container::const_iterator;

  Array() = default;
  Array(Uint32 count, const T& fill) : items_(count, fill) {}
  Array(const T* items, Uint32 count) : items_(items, items + count) {}
  Array(std::initializer_list<T> items) : items_(items) {}

  Uint32 size() const { return static_cast<Uint32>(items_.size()); }
  Boolean isEmpty() const { return items_.empty(); }

  T& operator[](Uint32 index) {
    check(index);
    return items_[index];
  }
  const T& operator[](Uint32 index) const {
    check(index);
    return items_[index];
  }
  T& getAt(Uint32 index) { return (*this)[index]; }
  const T& getAt(Uint32 index) const { return (*this)[index]; }

  void append(const T& item) { items_.push_back(item); }
  void append(T&& item) { items_.push_back(std::move(item)); }
  void appendArray(const Array& more) { items_.insert(items_.end(), more.items_.begin(), more.items_.end()); }
  void prepend(const T& item) { items_.insert(items_.begin(), item); }
  void insert(Uint32 index, const T& item) {
    if (index > size()) throw IndexOutOfBoundsException();
    items_.insert(items_.begin() + index, item);
  }
  // Removes `count` items starting at `index`; the whole range must exist.
  void remove(Uint32 index, Uint32 count = 1) {
    if (index > size() || count > size() - index) throw IndexOutOfBoundsException();
    items_.erase(items_.begin() + index, items_.begin() + index + count);
  }
  void clear() { items_.clear(); }
  void reserveCapacity(Uint32 capacity) { reserve(items_, capacity); }

  iterator begin() { return items_.begin(); }
  iterator end() { return items_.end(); }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

  friend Boolean operator==(const Array& a, const Array& b) { return a.items_ == b.items_; }
  friend Boolean operator!=(const Array& a, const Array& b) { return !(a == b); }

 private:
  void check(Uint32 index) const {
    if (index >= items_.size()) throw IndexOutOfBoundsException();
  }
  template <class C>
  static auto reserve(C& c, Uint32 n) -> decltype(c.reserve(n), void()) {
    c.reserve(n);
  }
  static void reserve(std::deque<bool>&, Uint32) {}

  Container items_;
};

}  // namespace Pegasus
