// The host's configuration store.
//
// Values come from an INI-style file named by the environment variable TQ_PLATFORM_CONFIG:
//
//   ; comment            # comment
//   [Corvane]
//   TQ_PEGASUS_FAULT_RETRY = 1
//   3PARExcecuteRemotePX = "proxy-host"     (surrounding double quotes are removed)
//
// Section and key names are matched without regard to case, and a leading '~' of a section name is
// ignored, so "[Corvane]" holds the keys read under both "Corvane" and "~Corvane". Values run to the end
// of the line (no inline comments). The file is read again whenever its name, size or time changes.
//
// Tests and the harness can override single keys in memory (setOverride / setAbsentOverride); an
// override wins over the file until it is cleared.
//
// A key that is absent, or whose value is not a number of the asked type, leaves the caller's value as
// it was and gives 0. Numbers are decimal or "0x" hexadecimal and must fit the target type whole.
// Thread-safe; objects are cheap and are made per read.
#pragma once

#include <optional>
#include <string>

class TQPlatformInfo {
 public:
  static const char* const kConfigFileVariable;  // "TQ_PLATFORM_CONFIG"

  TQPlatformInfo() = default;
  ~TQPlatformInfo() = default;

  // 1 when the key holds an unsigned 64-bit number (stored in *value), else 0.
  int getNumber(const char* section, const char* key, unsigned long* value);
  int getNumber(const char* section, const char* key, unsigned long long* value);
  // The same read; stores the low 32 bits of a 64-bit number.
  int getNumber(const char* section, const char* key, unsigned int* value);
  // 1 when the key holds a signed 32-bit number, else 0.
  int getRegInt(const char* section, const char* key, int* value);
  // 1 when the key is present (an empty value counts), else 0.
  int getString(const char* section, const char* key, std::string* value);
  int getString(const char* section, const char* key, std::string& value);
  // "base", or "base/instance" when an instance is given.
  std::string getSectionName(const char* base, const char* instance);

  // In-memory overrides, process-wide.
  static void setOverride(const std::string& section, const std::string& key, const std::string& value);
  // Makes the key read as absent even when the file has it.
  static void setAbsentOverride(const std::string& section, const std::string& key);
  static void clearOverride(const std::string& section, const std::string& key);
  static void clearOverrides();
  // The override of a key: no value when none is set; an empty optional inside when it hides the key.
  static std::optional<std::optional<std::string>> currentOverride(const std::string& section, const std::string& key);
};

// Sets (or hides) one key for the life of the object, then puts back the override that was there before.
class TqConfigOverride {
 public:
  TqConfigOverride(const std::string& section, const std::string& key, const std::string& value);
  // Hides the key.
  TqConfigOverride(const std::string& section, const std::string& key);
  ~TqConfigOverride();
  TqConfigOverride(const TqConfigOverride&) = delete;
  TqConfigOverride& operator=(const TqConfigOverride&) = delete;

 private:
  std::string section_;
  std::string key_;
  std::optional<std::optional<std::string>> previous_;
};
