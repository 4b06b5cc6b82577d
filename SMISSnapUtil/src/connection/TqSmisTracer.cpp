#include "TqSmisTracer.h"

#include <cstdio>
#include <string>

#include "SnapInfo.h"

namespace {

const int kSinkErrorLevel = 2;
const int kSinkNormalLevel = 0;
const int kLoggerErrorLevel = -1;
const int kLoggerNormalLevel = 1;

}  // namespace

TqSmisTracer::TqSmisTracer() : m_SnapInfo(nullptr), m_AuthFailure(false) {}

void TqSmisTracer::DEBUG_TRACE(const char* label, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Trace(label, kSinkErrorLevel, kLoggerErrorLevel, format, args);
  va_end(args);
}

void TqSmisTracer::DEBUG_TRACE_NORMAL(const char* label, const char* format, ...) {
  va_list args;
  va_start(args, format);
  Trace(label, kSinkNormalLevel, kLoggerNormalLevel, format, args);
  va_end(args);
}

void TqSmisTracer::Trace(const char* label, int sinkLevel, int loggerLevel, const char* format, va_list args) {
  // The buffer belongs to this call, so threads tracing at once never share it.
  char text[kMaxTraceText + 1];
  text[0] = '\0';
  if (format && vsnprintf(text, sizeof text, format, args) < 0) text[0] = '\0';
  std::string message(text);
  if (!message.empty() && message.back() == '\n') message.pop_back();

  const char* name = label ? label : "";
  if (m_SnapInfo) {
    std::string line = std::string(name) + ": " + message;
    m_SnapInfo->logMessage(sinkLevel, line.c_str());
    return;
  }
  // The finished text may hold '%' (object paths, fault texts): it is passed as an argument, never as a format.
  EvDebug logger(nullptr);
  logger.DebugLvl(name, loggerLevel, "%s", message.c_str());
}

void TqSmisTracer::DEBUG_SET_ERROR(int code, const char* text) {
  if (!m_SnapInfo) return;
  const char* message = text ? text : "";
  m_SnapInfo->logMessage(kSinkErrorLevel, message);
  m_SnapInfo->setError(code, message);
}
