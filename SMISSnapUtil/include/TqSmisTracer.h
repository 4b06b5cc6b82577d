// Tracing base of every class of the CIM layer. Lines go to the device's job record (the sink) when one
// is set, otherwise to the host logger. Errors are recorded on the job record only.
#pragma once

#include <cstdarg>

#include "EvDebug.h"  // TQ_PRINTF_LIKE

namespace TQSO {
class SnapInfo;
}

class TqSmisTracer {
 public:
  // Longest formatted text, in characters; longer output is cut here.
  static const int kMaxTraceText = 4095;

  TqSmisTracer();

  // Error level: job record level 2, host logger level -1. The label names the calling operation.
  void DEBUG_TRACE(const char* label, const char* format, ...) TQ_PRINTF_LIKE(3, 4);
  // Normal level: job record level 0, host logger level 1.
  void DEBUG_TRACE_NORMAL(const char* label, const char* format, ...) TQ_PRINTF_LIKE(3, 4);
  // Logs the text on the job record at level 2 and makes it the device's error. No effect without a sink.
  void DEBUG_SET_ERROR(int code, const char* text);

  // The device's job record; not owned. Owners assign it directly; copies write to the same record.
  TQSO::SnapInfo* m_SnapInfo;
  // Set when the CIMOM refused a read with "401" and the read was not retried; never cleared.
  bool m_AuthFailure;

 private:
  void Trace(const char* label, int sinkLevel, int loggerLevel, const char* format, va_list args) TQ_PRINTF_LIKE(5, 0);
};
