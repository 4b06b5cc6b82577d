// The call convention every SmisAction operation follows, written once: argument count and usage traces,
// the exception guard, the target service and its vendor, volumes by path or by Name, the method call
// (with the shared lock where the provider needs it), the job watch and the mapping of the answer to a
// result. An operation builds one SmisCall and states only how it differs.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "Pegasus/Array.h"
#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMParamValue.h"
#include "SmisImpl.h"
#include "TQProviderVendor.h"
#include "lookups/CimUtilHandlers.h"

// The usual failure trace of a method's answer.
inline constexpr const char* kSmisMethodFailedLine = "%s: Method failed, retVal = %u (0x%x)";

// What a method's job means for the result.
enum class SmisJobRule {
  kFailedIsOne,       // the job is followed; a failed job gives 1
  kFailedIsState,     // the job is followed; a failed job gives its final JobState
  kNotWatched,        // the job is not followed; the result is 4096
  kStartedIsFailure,  // 4096 is not taken as a job: it goes the failure path like any refusal
};

// How the answer of a method becomes the operation's result.
struct SmisOutcomeRule {
  SmisJobRule job = SmisJobRule::kFailedIsOne;
  int tries = 0;    // job polls at most
  int seconds = 0;  // between polls
  // Reads the operation's out-parameters after an answer of 0 (and of 4096 when readOnJob).
  std::function<void(Pegasus::Array<Pegasus::CIMParamValue>&)> readOut;
  bool readOnJob = false;
  // The failure trace, given the display name and the value twice.
  const char* failedLine = kSmisMethodFailedLine;
  // The trace of a started job, given the display name and the value.
  const char* jobStartedLine = "%s: Job started";
  // Whether a refusal on IBM SVC records the provider's text of the code on the device.
  bool recordsDeviceError = true;
};

// One extrinsic method call.
struct SmisMethod {
  // The trace of the answered value: "<display>: RetVal = ...,  outParams size = ...", "<display>: Method,
  // retVal = ...", "<display> : RetVal = ...,  OutParams size = ...", or none.
  enum RetValLine { kRetValWithOutCount, kMethodRetVal, kSpacedRetValWithOutCount, kNoRetValLine };

  const char* name = "";
  bool traceIn = false;    // trace the in-parameters before the call
  bool serialize = false;  // hold SmisAction::m_Lock around the call on providers that need it
  RetValLine retValLine = kRetValWithOutCount;
  // An operation's own form of the answered-value trace (display name, value, value, out-parameter count);
  // replaces retValLine when set.
  const char* retValFormat = nullptr;
  // The name opening the traces of this call; the call's display name when null.
  const char* display = nullptr;
};

class SmisCall {
 public:
  // label: "SMIS::<operation>"; display: the short name that opens the result traces.
  SmisCall(SmisAction& action, TqCimConnection& conn, const char* label, const char* display);

  SmisAction& Action() { return action_; }
  const char* Label() const { return label_; }
  const char* Display() const { return display_; }
  TqCimConnection& Conn() { return conn_; }

  // True when args hold `required` positions; otherwise traces "<display>: Insufficient params specified"
  // and "    need: <usage>".
  bool HasArgs(const SmisArgs& args, std::size_t required, const char* usage);
  // The same for operations whose two usage lines are worded otherwise; each line is traced as given.
  bool HasArgs(const SmisArgs& args, std::size_t required, const char* insufficientLine, const char* needLine);
  // True when position `index` exists and its text does not contain "null".
  static bool IsGiven(const SmisArgs& args, std::size_t index);
  // A decimal text read as atoi reads it (leading blanks, a sign, the digits up to the first other
  // character; 0 when there are none), held to the int range instead of overflowing.
  static int Decimal(const std::string& text);

  // Runs the operation's body; a caught exception is traced under the label and gives 1. file and line
  // name the operation's guard site (TQ_HANDLER_SITE).
  template <class Body>
  SmisResultCode Guarded(const char* file, int line, Body&& body) {
    try {
      return body();
    } catch (const Pegasus::CIMException& e) {
      TraceCaught(file, line, e);
    } catch (const Pegasus::Exception& e) {
      TraceCaught(file, line, e);
    } catch (...) {
      action_.DEBUG_TRACE(label_, "%s", unknownText_.c_str());
    }
    return kSmisFailed;
  }
  // The guard's third handler traces the plain "Caught unknown Exception" instead of "<display>: ...".
  void UsePlainUnknownText();
  // The guard's handlers lead with a name: "<name><sep><file><sep><line>: Caught CIMException: ..." and
  // "<name><sep><file><sep><line>: Caught Exception: ..."; the third traces `unknownText` as it stands.
  void UseNamedHandlerTexts(const std::string& name, const char* separator, const std::string& unknownText);
  // Operations whose guard traces name the operation: `cimPrefix` opens the CIM exception line,
  // `exceptionPrefix` the library exception line, and `unknownText` replaces the third handler's text.
  void SetGuardTexts(const std::string& cimPrefix, const std::string& exceptionPrefix, const std::string& unknownText);

  // The connection's namespace, unless the operation calls into another one.
  Pegasus::CIMNamespaceName NameSpace() const;
  void UseNameSpace(const Pegasus::CIMNamespaceName& nameSpace);

  // Finds the first instance of the service class on the named array and calls through it; false (traced
  // "Class <class> for system <system> not found") when there is none.
  bool FindService(const std::string& systemName, const char* serviceClass);
  bool FindConfigService(const std::string& systemName);
  // Calls through a service path the caller already holds.
  void UseService(const Pegasus::CIMObjectPath& service);
  const Pegasus::CIMObjectPath& Service() const { return service_; }
  // The vendor of the service's class name.
  TQ_PROVIDER_VENDOR Vendor() const { return vendor_; }

  // An object-path text, or a volume Name when the text is not a path; false (traced) when no volume has
  // it. `role` names the volume in the traces ("source volume").
  bool FindVolume(const std::string& text, const char* role, Pegasus::CIMObjectPath& path);
  // The same resolution with the operation's own trace of the name fallback (`assumingName`, a format
  // given the text) and no trace when nothing is found: the caller names the failure. With a system name
  // only volumes of that array are considered, and a Name that holds the text also matches.
  bool LookUpVolume(const std::string& text, const char* assumingName, Pegasus::CIMObjectPath& path,
                    const std::string& systemName = std::string());
  // LookUpVolume with the fallback traced for the volume `role` names ("source volume"), and a missing volume
  // traced as an unknown LUN UUID.
  bool FindLun(const std::string& text, const char* role, Pegasus::CIMObjectPath& path,
               const std::string& systemName = std::string());
  // The same with the Name looked up on the named array only, where a Name that contains the text also
  // matches; false (traced) when no volume has it.
  bool FindVolumeOn(const std::string& arrayName, const std::string& text, const char* role,
                    Pegasus::CIMObjectPath& path);

  // Invokes the method on the service and returns its value; the out-parameters stay in Out().
  unsigned Invoke(const SmisMethod& method, const Pegasus::Array<Pegasus::CIMParamValue>& in);
  Pegasus::Array<Pegasus::CIMParamValue>& Out() { return out_; }

  // The result of the value Invoke returned: 0 (out-parameters read), 4096 (job followed by the rule), or
  // the failure path (device error on IBM SVC) giving the value itself.
  SmisResultCode Finish(unsigned retVal, const SmisOutcomeRule& rule);
  // The failure path alone, for operations that map values of their own first. `line` is the failure
  // trace (display name, value, value). A 4096 that reaches it records no device error: it is no code of
  // the provider's error table; nor does a refusal when `recordDeviceError` is false.
  SmisResultCode Failed(unsigned retVal, const char* line = kSmisMethodFailedLine, bool recordDeviceError = true);
  // On IBM SVC the provider's text of the code, traced and recorded as the device's error; nothing elsewhere.
  void RecordDeviceError(unsigned retVal);
  // Follows the job named in Out() by the rule: 0 when it completed, else 1 or its state (4096 unwatched).
  SmisResultCode FollowJob(const SmisOutcomeRule& rule);

 private:
  void TraceCaught(const char* file, int line, const Pegasus::CIMException& e);
  void TraceCaught(const char* file, int line, const Pegasus::Exception& e);
  bool NeedsSharedLock(const SmisMethod& method) const;
  // The client's call, noting in the action what it may have done on the array.
  Pegasus::CIMValue InvokeNoted(const SmisMethod& method, const Pegasus::Array<Pegasus::CIMParamValue>& in);

  SmisAction& action_;
  TqCimConnection& conn_;
  const char* label_;
  const char* display_;
  std::string unknownText_;
  std::string cimPrefix_;
  std::string exceptionPrefix_;
  std::string fileLineSeparator_ = ": ";
  Pegasus::CIMNamespaceName nameSpace_;
  Pegasus::CIMObjectPath service_;
  TQ_PROVIDER_VENDOR vendor_ = TQ_VENDOR_NONE;
  Pegasus::Array<Pegasus::CIMParamValue> out_;
};
