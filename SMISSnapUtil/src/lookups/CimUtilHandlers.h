// The exception handlers every CIM lookup runs its body in: a CIM fault, a library fault and anything
// else are traced at error level under the lookup's label, then either thrown on to the caller or turned
// into the lookup's failure value.
#pragma once

#include <cstring>
#include <string>
#include <utility>

#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/Exception.h"
#include "TQProviderVendor.h"
#include "TqSmisTracer.h"
#include "TqSourceFile.h"

namespace tqcimutil {

extern const char* const kUnknownException;       // "Caught unknown Exception"
extern const char* const kUnknownExceptionLower;  // "Caught unknown exception"

#define TQ_HANDLER_SITE TQ_SOURCE_FILE, __LINE__

inline std::string Text(const Pegasus::String& text) { return text.str(); }

inline std::string StatusText(const Pegasus::CIMException& e) {
  return Pegasus::cimStatusCodeToString(e.getCode()).str();
}

// The level a handler traces at: the error level, or the normal level for the few lookups that say so.
enum class HandlerLevel { kError, kNormal };

inline void TraceCimException(TqSmisTracer& tracer, const char* label, const char* file, int line,
                              const Pegasus::CIMException& e, HandlerLevel level = HandlerLevel::kError) {
  const char* format = "%s: %d: Caught CIMException: %s: %s";
  if (level == HandlerLevel::kNormal)
    tracer.DEBUG_TRACE_NORMAL(label, format, file, line, StatusText(e).c_str(), e.getMessage().str().c_str());
  else
    tracer.DEBUG_TRACE(label, format, file, line, StatusText(e).c_str(), e.getMessage().str().c_str());
}

inline void TraceException(TqSmisTracer& tracer, const char* label, const char* file, int line,
                           const Pegasus::Exception& e, HandlerLevel level = HandlerLevel::kError) {
  const char* format = "%s: %d: Caught Exception: %s";
  if (level == HandlerLevel::kNormal)
    tracer.DEBUG_TRACE_NORMAL(label, format, file, line, e.getMessage().str().c_str());
  else
    tracer.DEBUG_TRACE(label, format, file, line, e.getMessage().str().c_str());
}

inline void TraceUnknown(TqSmisTracer& tracer, const char* label, const char* text,
                         HandlerLevel level = HandlerLevel::kError) {
  if (level == HandlerLevel::kNormal)
    tracer.DEBUG_TRACE_NORMAL(label, "%s", text);
  else
    tracer.DEBUG_TRACE(label, "%s", text);
}

// Runs the body; a caught exception is traced and thrown on unchanged.
template <class Body>
auto TracedRethrow(TqSmisTracer& tracer, const char* label, const char* file, int line, Body&& body,
                   const char* unknownText = kUnknownException) -> decltype(body()) {
  try {
    return body();
  } catch (const Pegasus::CIMException& e) {
    TraceCimException(tracer, label, file, line, e);
    throw;
  } catch (const Pegasus::Exception& e) {
    TraceException(tracer, label, file, line, e);
    throw;
  } catch (...) {
    tracer.DEBUG_TRACE(label, "%s", unknownText);
    throw;
  }
}

// Runs the body; a caught exception is traced and the failure value returned.
template <class Result, class Body>
Result TracedOr(TqSmisTracer& tracer, const char* label, const char* file, int line, Result failure, Body&& body,
                const char* unknownText = kUnknownException, HandlerLevel level = HandlerLevel::kError) {
  try {
    return body();
  } catch (const Pegasus::CIMException& e) {
    TraceCimException(tracer, label, file, line, e, level);
  } catch (const Pegasus::Exception& e) {
    TraceException(tracer, label, file, line, e, level);
  } catch (...) {
    TraceUnknown(tracer, label, unknownText, level);
  }
  return failure;
}

// Runs the body of a lookup for which the CIMOM's not-found fault means "none": that fault is traced by
// `traceNotFound` and gives the empty result; any other fault is thrown on.
template <class Body, class TraceNotFound>
auto NoneWhenNotFound(Body&& body, TraceNotFound&& traceNotFound) -> decltype(body()) {
  try {
    return body();
  } catch (const Pegasus::CIMException& e) {
    if (e.getCode() != Pegasus::CIM_ERR_NOT_FOUND) throw;
    traceNotFound();
    return decltype(body())();
  }
}

// True for an empty text or one made of blanks only: such a name never finds anything.
bool IsBlankName(const std::string& name);

// The text as an instance path. False when it is none, so that callers take it for a name: the parser
// refuses it as malformed, or it is a bare word (a name beginning with a letter) that parses as a class path
// without keys. Other parser faults are thrown on.
bool ParseInstancePath(const std::string& text, Pegasus::CIMObjectPath& path);

// A text holding `part` anywhere (an empty part is held by every text).
inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A system name as an array name is compared with: on IBM SVC the part before the first ':'. `path` is the
// object whose vendor decides.
inline std::string ComparableSystemName(std::string system, const Pegasus::CIMObjectPath& path) {
  std::string::size_type colon = system.find(':');
  if (TQProviderVendor::GetVendorId(path) == TQ_VENDOR_IBM_SVC && colon != std::string::npos) system.erase(colon);
  return system;
}

}  // namespace tqcimutil
