// The wrapper around every exported call: no exception leaves the engine. A caught exception is logged
// under the call's tag and the call gives its usual failure result.
#pragma once

#include <exception>

#include "EvDebug.h"
#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/Exception.h"
#include "TqException.h"

namespace tqengine {

template <class Result, class Work>
Result GuardedCall(const char* tag, Result failure, Work&& work) noexcept {
  try {
    return work();
  } catch (const Pegasus::CIMException& e) {
    o_logger.DebugLvl(tag, -1, "%s: %d: Caught CIMException: %s: %s", tag, __LINE__,
                      static_cast<const char*>(Pegasus::cimStatusCodeToString(e.getCode()).getCString()),
                      static_cast<const char*>(e.getMessage().getCString()));
  } catch (const Pegasus::Exception& e) {
    o_logger.DebugLvl(tag, -1, "%s: %d: Caught Exception: %s", tag, __LINE__,
                      static_cast<const char*>(e.getMessage().getCString()));
  } catch (const TqException& e) {
    o_logger.DebugLvl(tag, -1, "%s: Caught Exception: %s", tag, e.getMessage());
  } catch (const std::exception& e) {
    o_logger.DebugLvl(tag, -1, "%s: Caught Exception: %s", tag, e.what());
  } catch (const char* text) {
    o_logger.DebugLvl(tag, -1, "%s: Caught Exception: %s", tag, text != nullptr ? text : "");
  } catch (...) {
    o_logger.DebugLvl(tag, -1, "Caught unknown Exception");
  }
  return failure;
}

// For calls without a result.
template <class Work>
void GuardedCall(const char* tag, Work&& work) noexcept {
  GuardedCall(tag, 0, [&]() {
    work();
    return 0;
  });
}

}  // namespace tqengine
