#include "SmisCall.h"

#include <climits>
#include <cstdlib>

#include "SmisHostConfig.h"
#include "TqCimConnection.h"

using namespace Pegasus;

namespace {

const char* const kStorageConfigurationService = "CIM_StorageConfigurationService";
const char* const kStorageVolume = "CIM_StorageVolume";
const unsigned kJobStartedValue = 4096;

// The trace of a volume text taken for a Name, `role` naming the volume.
std::string AssumingNameText(const char* role) {
  return std::string("Supplied ") + role + " is not a object path, assuming UUID(Name)";
}

}  // namespace

SmisCall::SmisCall(SmisAction& action, TqCimConnection& conn, const char* label, const char* display)
    : action_(action),
      conn_(conn),
      label_(label),
      display_(display),
      unknownText_(std::string(display) + ": Caught unknown Exception") {
  action_.m_LastCallOutcome = SmisCallOutcome::kNotSent;
}

bool SmisCall::HasArgs(const SmisArgs& args, std::size_t required, const char* usage) {
  if (args.size() >= required) return true;
  action_.DEBUG_TRACE(label_, "%s: Insufficient params specified", display_);
  action_.DEBUG_TRACE(label_, "    need: %s", usage);
  return false;
}

bool SmisCall::HasArgs(const SmisArgs& args, std::size_t required, const char* insufficientLine, const char* needLine) {
  if (args.size() >= required) return true;
  action_.DEBUG_TRACE(label_, "%s", insufficientLine);
  action_.DEBUG_TRACE(label_, "%s", needLine);
  return false;
}

bool SmisCall::IsGiven(const SmisArgs& args, std::size_t index) {
  return index < args.size() && !tqcimutil::Contains(args[index], "null");
}

int SmisCall::Decimal(const std::string& text) {
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void SmisCall::UsePlainUnknownText() { unknownText_ = tqcimutil::kUnknownException; }

void SmisCall::UseNamedHandlerTexts(const std::string& name, const char* separator, const std::string& unknownText) {
  cimPrefix_ = name + separator;
  exceptionPrefix_ = cimPrefix_;
  fileLineSeparator_ = separator;
  unknownText_ = unknownText;
}

void SmisCall::SetGuardTexts(const std::string& cimPrefix, const std::string& exceptionPrefix,
                             const std::string& unknownText) {
  cimPrefix_ = cimPrefix;
  exceptionPrefix_ = exceptionPrefix;
  unknownText_ = unknownText;
}

void SmisCall::TraceCaught(const char* file, int line, const CIMException& e) {
  action_.DEBUG_TRACE(label_, "%s%s%s%d: Caught CIMException: %s: %s", cimPrefix_.c_str(), file,
                      fileLineSeparator_.c_str(), line, tqcimutil::StatusText(e).c_str(), e.getMessage().str().c_str());
}

void SmisCall::TraceCaught(const char* file, int line, const Exception& e) {
  action_.DEBUG_TRACE(label_, "%s%s%s%d: Caught Exception: %s", exceptionPrefix_.c_str(), file,
                      fileLineSeparator_.c_str(), line, e.getMessage().str().c_str());
}

CIMNamespaceName SmisCall::NameSpace() const {
  if (!nameSpace_.isNull()) return nameSpace_;
  return CIMNamespaceName(String(conn_.m_Cimom.GetNameSpace()));
}

void SmisCall::UseNameSpace(const CIMNamespaceName& nameSpace) { nameSpace_ = nameSpace; }

bool SmisCall::FindService(const std::string& systemName, const char* serviceClass) {
  CIMObjectPath service;
  if (!action_.ValidateSystemName(conn_, systemName, String(serviceClass), service)) {
    action_.DEBUG_TRACE(label_, "Class %s for system %s not found", serviceClass, systemName.c_str());
    return false;
  }
  UseService(service);
  return true;
}

bool SmisCall::FindConfigService(const std::string& systemName) {
  return FindService(systemName, kStorageConfigurationService);
}

void SmisCall::UseService(const CIMObjectPath& service) {
  service_ = service;
  vendor_ = TQProviderVendor::GetVendorId(service);
}

bool SmisCall::FindVolume(const std::string& text, const char* role, CIMObjectPath& path) {
  return FindVolumeOn(std::string(), text, role, path);
}

bool SmisCall::LookUpVolume(const std::string& text, const char* assumingName, CIMObjectPath& path,
                            const std::string& systemName) {
  // A text that is no instance path is a Name: one the path parser refuses, or a bare word (a Name that
  // begins with a letter) that it reads as a class path without keys.
  if (tqcimutil::ParseInstancePath(text, path)) return true;
  action_.DEBUG_TRACE_NORMAL(label_, assumingName, text.c_str());
  String volumeClass(kStorageVolume);
  if (systemName.empty())
    path = action_.GetObjPathByPropName(conn_, volumeClass, String("Name"), String(text));
  else
    path = action_.GetObjPathByPropName(conn_, systemName, volumeClass, String("Name"), String(text), false);
  return !path.getClassName().isNull();
}

bool SmisCall::FindLun(const std::string& text, const char* role, CIMObjectPath& path, const std::string& systemName) {
  if (LookUpVolume(text, AssumingNameText(role).c_str(), path, systemName)) return true;
  action_.DEBUG_TRACE(label_, " LUN UUID %s not found", text.c_str());
  return false;
}

bool SmisCall::FindVolumeOn(const std::string& arrayName, const std::string& text, const char* role,
                            CIMObjectPath& path) {
  if (LookUpVolume(text, AssumingNameText(role).c_str(), path, arrayName)) return true;
  action_.DEBUG_TRACE(label_, "%s: %s %s [%s] not found", display_, kStorageVolume, role, text.c_str());
  return false;
}

bool SmisCall::NeedsSharedLock(const SmisMethod& method) const {
  return method.serialize && (vendor_ == TQ_VENDOR_LSI || vendor_ == TQ_VENDOR_DCIM || vendor_ == TQ_VENDOR_NETAPP);
}

unsigned SmisCall::Invoke(const SmisMethod& method, const Array<CIMParamValue>& in) {
  if (method.traceIn) {
    Array<CIMParamValue> traced = in;
    action_.PrintParamSet(traced, false);
  }
  out_.clear();
  // Released on every path, also when the call throws.
  TqCriticalSectionLock lock(NeedsSharedLock(method) ? &SmisAction::m_Lock : nullptr);
  CIMValue value = InvokeNoted(method, in);
  unsigned retVal = action_.GetRetVal(value);
  if (method.retValLine == SmisMethod::kNoRetValLine && !method.retValFormat) return retVal;
  const char* display = method.display ? method.display : display_;
  const char* format = method.retValFormat;
  if (!format) {
    if (method.retValLine == SmisMethod::kMethodRetVal)
      format = "%s: Method, retVal = %u (0x%x)";
    else if (method.retValLine == SmisMethod::kSpacedRetValWithOutCount)
      format = "%s : RetVal = %u (0x%x),  OutParams size = %u";
    else
      format = "%s: RetVal = %u (0x%x),  outParams size = %u";
  }
  action_.DEBUG_TRACE(label_, format, display, retVal, retVal, static_cast<unsigned>(out_.size()));
  return retVal;
}

CIMValue SmisCall::InvokeNoted(const SmisMethod& method, const Array<CIMParamValue>& in) {
  Pegasus::CIMClient& client = conn_.Client();
  // From here on the request may reach the provider; a fault of unknown kind leaves the outcome unknown.
  action_.m_LastCallOutcome = SmisCallOutcome::kNoAnswer;
  try {
    CIMValue value = client.invokeMethod(NameSpace(), service_, CIMName(method.name), in, out_);
    action_.m_LastCallOutcome = SmisCallOutcome::kDone;
    return value;
  } catch (const Pegasus::Exception& e) {
    action_.m_LastCallOutcome = OutcomeOfFault(e);
    throw;
  }
}

SmisResultCode SmisCall::Finish(unsigned retVal, const SmisOutcomeRule& rule) {
  if (retVal == kJobStartedValue && rule.job != SmisJobRule::kStartedIsFailure) {
    action_.DEBUG_TRACE_NORMAL(label_, rule.jobStartedLine, display_, retVal);
    action_.PrintParamSet(out_, false);
    if (rule.readOnJob && rule.readOut) rule.readOut(out_);
    return FollowJob(rule);
  }
  if (retVal == kSmisSuccess) {
    action_.PrintParamSet(out_, false);
    if (rule.readOut) rule.readOut(out_);
    return kSmisSuccess;
  }
  return Failed(retVal, rule.failedLine, rule.recordsDeviceError);
}

SmisResultCode SmisCall::FollowJob(const SmisOutcomeRule& rule) {
  if (rule.job == SmisJobRule::kNotWatched) return kSmisJobStarted;
  CIMObjectPath job = action_.GetJobHandle(out_);
  int state = action_.WatchJob(job, conn_, rule.tries, rule.seconds);
  if (state == TqSmisJob::kJobCompleted) return kSmisSuccess;
  // A job that ended in error may have done part of its work.
  action_.m_LastCallOutcome = SmisCallOutcome::kSpoiled;
  return rule.job == SmisJobRule::kFailedIsState ? static_cast<SmisResultCode>(state) : kSmisFailed;
}

SmisResultCode SmisCall::Failed(unsigned retVal, const char* line, bool recordDeviceError) {
  // A started job that is not followed may still do its work; any other value refuses the request.
  action_.m_LastCallOutcome = retVal == kJobStartedValue ? SmisCallOutcome::kSpoiled : SmisCallOutcome::kRefused;
  action_.DEBUG_TRACE(label_, line, display_, retVal, retVal);
  if (retVal != kJobStartedValue && recordDeviceError) RecordDeviceError(retVal);
  action_.PrintParamSet(out_, true);
  return retVal;
}

void SmisCall::RecordDeviceError(unsigned retVal) {
  if (vendor_ != TQ_VENDOR_IBM_SVC) return;
  std::string text = action_.GetErrorMessage(retVal, "default");
  action_.DEBUG_TRACE(label_, "Error: %s", text.c_str());
  smisconfig::SetDeviceError(action_, retVal, text);
}
