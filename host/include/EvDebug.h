// The host's line logger. Every line carries a tag, a level and optionally a job id.
//
// Levels: -1 error, 0 normal, 1 information, 2 detail, 3 and above verbose. A line is written when its
// level is at or below the debug level (default 2; environment variable TQ_LOG_LEVEL or setDebugLevel).
// Lines go to the file named by the environment variable TQ_LOG_FILE, or to standard error when it is
// unset or cannot be opened. While an EvDebugCapture exists, every line (whatever its level) is also
// recorded in memory for tests; by default a capture keeps the lines out of the file/standard error.
//
// Thread-safe: formatting happens in the caller's thread, each finished line is written whole.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#if defined(__GNUC__)
#define TQ_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define TQ_PRINTF_LIKE(fmtIndex, firstArg)
#endif

// A named log instance of the host. Every logger of this process writes to the one process log, so the
// engine always passes null; the type exists only for the constructor's shape.
class EvDebugFileInstance;

class EvDebug {
 public:
  static const char* const kLogFileVariable;   // "TQ_LOG_FILE"
  static const char* const kLogLevelVariable;  // "TQ_LOG_LEVEL"
  static const int kDefaultDebugLevel = 2;

  explicit EvDebug(EvDebugFileInstance* file = nullptr);
  ~EvDebug();

  // The format is the caller's own literal; outside texts go in as "%s" arguments.
  void DebugLvl(const char* tag, int level, const char* fmt, ...) TQ_PRINTF_LIKE(4, 5);
  void DebugLvl(const char* tag, int level, unsigned long long jobId, const char* fmt, ...) TQ_PRINTF_LIKE(5, 6);

  int getDebugLevel() const;
  int GetDebugLevel() const { return getDebugLevel(); }

  // Process-wide settings (harness and tests).
  static void setDebugLevel(int level);
  // Empty path: standard error. Otherwise lines are appended to the file.
  static void setOutputFile(const std::string& path);
  // Forget the explicit settings and read the environment variables again at the next line.
  static void resetFromEnvironment();
};

// The engine's logger object.
extern EvDebug o_logger;

struct EvDebugLine {
  std::string tag;
  int level = 0;
  bool hasJobId = false;
  unsigned long long jobId = 0;
  std::string text;  // exactly as formatted, trailing newlines included
};

// Records every logged line while it exists (several captures may exist at once; each sees every line).
class EvDebugCapture {
 public:
  explicit EvDebugCapture(bool alsoWriteOut = false);
  ~EvDebugCapture();
  EvDebugCapture(const EvDebugCapture&) = delete;
  EvDebugCapture& operator=(const EvDebugCapture&) = delete;

  std::vector<EvDebugLine> lines() const;
  std::vector<EvDebugLine> linesWithTag(const std::string& tag) const;
  // True when some recorded line's text contains the fragment.
  bool contains(const std::string& fragment) const;
  size_t countContaining(const std::string& fragment) const;
  void clear();

 private:
  friend class EvDebugSinks;
  void record(const EvDebugLine& line);
  bool writesOut() const { return alsoWriteOut_; }

  const bool alsoWriteOut_;
  mutable std::mutex mutex_;
  std::vector<EvDebugLine> lines_;
};
