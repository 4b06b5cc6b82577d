#include "EvDebug.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <thread>

#include "TqFormat.h"
#include "TqNumberParse.h"

const char* const EvDebug::kLogFileVariable = "TQ_LOG_FILE";
const char* const EvDebug::kLogLevelVariable = "TQ_LOG_LEVEL";

EvDebug o_logger;

// Where finished lines go: the process log (file or standard error) and the active captures.
class EvDebugSinks {
 public:
  static EvDebugSinks& instance() {
    static EvDebugSinks* sinks = new EvDebugSinks;  // never destroyed: loggers may run during exit
    return *sinks;
  }

  void publish(const EvDebugLine& line) {
    const std::string outputText = renderForOutput(line);
    std::lock_guard<std::mutex> hold(mutex_);
    bool quiet = false;
    for (EvDebugCapture* capture : captures_) {
      capture->record(line);
      if (!capture->writesOut()) quiet = true;
    }
    if (quiet || line.level > levelLocked()) return;
    FILE* out = outputLocked();
    std::fwrite(outputText.data(), 1, outputText.size(), out);
    std::fflush(out);
  }

  int level() {
    std::lock_guard<std::mutex> hold(mutex_);
    return levelLocked();
  }

  void setLevel(int level) {
    std::lock_guard<std::mutex> hold(mutex_);
    level_ = level;
    levelKnown_ = true;
  }

  void setOutputFile(const std::string& path) {
    std::lock_guard<std::mutex> hold(mutex_);
    closeOutputLocked();
    openOutputLocked(path);
  }

  void resetFromEnvironment() {
    std::lock_guard<std::mutex> hold(mutex_);
    closeOutputLocked();
    levelKnown_ = false;
  }

  void addCapture(EvDebugCapture* capture) {
    std::lock_guard<std::mutex> hold(mutex_);
    captures_.push_back(capture);
  }

  void removeCapture(EvDebugCapture* capture) {
    std::lock_guard<std::mutex> hold(mutex_);
    captures_.erase(std::remove(captures_.begin(), captures_.end(), capture), captures_.end());
  }

 private:
  int levelLocked() {
    if (!levelKnown_) {
      level_ = EvDebug::kDefaultDebugLevel;
      const char* env = std::getenv(EvDebug::kLogLevelVariable);
      int32_t parsed = 0;
      if (env != nullptr && tqhost::parseInt32(env, parsed)) level_ = parsed;
      levelKnown_ = true;
    }
    return level_;
  }

  FILE* outputLocked() {
    if (out_ == nullptr) {
      const char* env = std::getenv(EvDebug::kLogFileVariable);
      openOutputLocked(env != nullptr ? env : "");
    }
    return out_;
  }

  void openOutputLocked(const std::string& path) {
    out_ = stderr;
    if (path.empty()) return;
    FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
      std::fprintf(stderr, "EvDebug: cannot open log file %s, logging to standard error\n", path.c_str());
      return;
    }
    out_ = file;
  }

  void closeOutputLocked() {
    if (out_ != nullptr && out_ != stderr) std::fclose(out_);
    out_ = nullptr;
  }

  static const char* levelName(int level) {
    if (level < 0) return "ERROR";
    switch (level) {
      case 0:
        return "NORMAL";
      case 1:
        return "INFO";
      case 2:
        return "DETAIL";
      default:
        return "VERBOSE";
    }
  }

  // "2026-01-31 12:00:00.123 [thread] LEVEL tag [job N]: text\n" -- one newline ends every line.
  static std::string renderForOutput(const EvDebugLine& line) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const long millis =
        long(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &parts);
    std::string text = line.text;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    char head[96];
    std::snprintf(head, sizeof head, "%s.%03ld [%zx] %s ", stamp, millis,
                  std::hash<std::thread::id>()(std::this_thread::get_id()) & 0xffffff, levelName(line.level));
    std::string rendered = head + line.tag;
    if (line.hasJobId) rendered += " [job " + std::to_string(line.jobId) + "]";
    rendered += ": " + text + "\n";
    return rendered;
  }

  std::mutex mutex_;
  int level_ = EvDebug::kDefaultDebugLevel;
  bool levelKnown_ = false;
  FILE* out_ = nullptr;
  std::vector<EvDebugCapture*> captures_;
};

namespace {

void publishLine(const char* tag, int level, bool hasJobId, unsigned long long jobId, const char* fmt, va_list args) {
  EvDebugLine line;
  line.tag = tag != nullptr ? tag : "";
  line.level = level;
  line.hasJobId = hasJobId;
  line.jobId = jobId;
  line.text = tqhost::formatV(fmt, args);
  EvDebugSinks::instance().publish(line);
}

}  // namespace

EvDebug::EvDebug(EvDebugFileInstance*) {}

EvDebug::~EvDebug() = default;

void EvDebug::DebugLvl(const char* tag, int level, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  publishLine(tag, level, false, 0, fmt, args);
  va_end(args);
}

void EvDebug::DebugLvl(const char* tag, int level, unsigned long long jobId, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  publishLine(tag, level, true, jobId, fmt, args);
  va_end(args);
}

int EvDebug::getDebugLevel() const { return EvDebugSinks::instance().level(); }

void EvDebug::setDebugLevel(int level) { EvDebugSinks::instance().setLevel(level); }

void EvDebug::setOutputFile(const std::string& path) { EvDebugSinks::instance().setOutputFile(path); }

void EvDebug::resetFromEnvironment() { EvDebugSinks::instance().resetFromEnvironment(); }

EvDebugCapture::EvDebugCapture(bool alsoWriteOut) : alsoWriteOut_(alsoWriteOut) {
  EvDebugSinks::instance().addCapture(this);
}

EvDebugCapture::~EvDebugCapture() { EvDebugSinks::instance().removeCapture(this); }

void EvDebugCapture::record(const EvDebugLine& line) {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.push_back(line);
}

std::vector<EvDebugLine> EvDebugCapture::lines() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return lines_;
}

std::vector<EvDebugLine> EvDebugCapture::linesWithTag(const std::string& tag) const {
  std::vector<EvDebugLine> found;
  for (const EvDebugLine& line : lines())
    if (line.tag == tag) found.push_back(line);
  return found;
}

bool EvDebugCapture::contains(const std::string& fragment) const { return countContaining(fragment) > 0; }

size_t EvDebugCapture::countContaining(const std::string& fragment) const {
  std::lock_guard<std::mutex> hold(mutex_);
  return size_t(std::count_if(lines_.begin(), lines_.end(),
                              [&](const EvDebugLine& line) { return line.text.find(fragment) != std::string::npos; }));
}

void EvDebugCapture::clear() {
  std::lock_guard<std::mutex> hold(mutex_);
  lines_.clear();
}
