// Volume creation, deletion and resizing on a 3PAR array: the storage configuration service's
// "CreateOrModifyElementFromStoragePool" and "ReturnToStoragePool", with a started job followed to its end.
#include "HP3ParCimUtil.h"
#include "HP3ParCimUtilSupport.h"
#include "TqCimConnection.h"
#include "TqSmisJob.h"
#include "lookups/CimUtilHandlers.h"

using namespace Pegasus;

namespace {

const char* const kCreateMethod = "CreateOrModifyElementFromStoragePool";
const char* const kDeleteMethod = "ReturnToStoragePool";
const char* const kServiceClass = "CIM_StorageConfigurationService";
const char* const kActionUsage = "need: SystemName NewVolName PoolID Size(Bytes) [SettingID or \"null\"]\n";
const Uint32 kJobStarted = 4096;
const int kJobTries = 500, kJobPollSecs = 15;
const Uint16 kThinElement = 5, kFullElement = 2;

enum ActionKind { kCreate, kDelete, kResize };

Uint16 ElementType(const std::string& thinFlag) {
  if (hp3par::IsAbsent(thinFlag)) return kThinElement;
  return thinFlag == "1" ? kThinElement : kFullElement;
}

}  // namespace

struct HP3ParCimUtil::VolumeAction {
  ActionKind kind;
  const char* label;
  const char* method;
  size_t positions;
  const char* usage;
  int sizePosition;  // -1: the action sends no size
  int thinPosition;
};

SmisResultCode HP3ParCimUtil::CreateStorageVolume(TqCimConnection& conn, std::vector<std::string>& args,
                                                  std::string& elementPath) {
  static const VolumeAction action = {kCreate, "HP3ParCimUtil::CreateStorageVolume",       kCreateMethod,
                                      5,       "createvol: insufficient args specified\n", 3,
                                      4};
  return RunVolumeAction(conn, action, args, elementPath);
}

SmisResultCode HP3ParCimUtil::DeleteStorageVolume(TqCimConnection& conn, std::vector<std::string>& args,
                                                  std::string& elementPath) {
  static const VolumeAction action = {
      kDelete, "HP3ParCimUtil::DeleteStorageVolume", kDeleteMethod, 2, "delvol: insufficient args specified\n", -1, -1};
  return RunVolumeAction(conn, action, args, elementPath);
}

SmisResultCode HP3ParCimUtil::ResizeStorageVolume(TqCimConnection& conn, std::vector<std::string>& args,
                                                  std::string& elementPath) {
  static const VolumeAction action = {kResize, "HP3ParCimUtil::ResizeStorageVolume",       kCreateMethod,
                                      4,       "resizevol: insufficient args specified\n", 2,
                                      3};
  return RunVolumeAction(conn, action, args, elementPath);
}

SmisResultCode HP3ParCimUtil::RunVolumeAction(TqCimConnection& conn, const VolumeAction& action,
                                              std::vector<std::string>& args, std::string& elementPath) {
  const char* label = action.label;
  if (args.size() < action.positions) {
    DEBUG_TRACE(label, "%s", action.usage);
    DEBUG_TRACE(label, "%s", kActionUsage);
    return kSmisTooFewArguments;
  }
  // A signed or non-numeric size would reach the array as some other size.
  Uint64 size = 0;
  if (action.sizePosition >= 0 && !hp3par::ParseByteCount(args[action.sizePosition], size)) {
    DEBUG_TRACE(label, "Invalid volume size [%s]", args[action.sizePosition].c_str());
    return kSmisInvalidParameter;
  }
  const std::string& systemName = args[0];
  try {
    DEBUG_TRACE_NORMAL(label, "%s: SystemName = %s", action.method, systemName.c_str());
    CIMObjectPath service;
    if (!ValidateSystemName(conn, systemName, kServiceClass, service)) {
      DEBUG_TRACE(label, "Class %s for system %s not found", kServiceClass, systemName.c_str());
      return kSmisObjectNotFound;
    }
    DEBUG_TRACE_NORMAL(label, "Service: %s", GetObjectPathString(service).c_str());

    Array<CIMParamValue> in;
    if (action.kind == kCreate) {
      const std::string& name = args[1];
      in.append(
          CIMParamValue("ElementName", name.empty() ? MakeCimNullVal(CIMTYPE_STRING, false) : CIMValue(String(name))));
      in.append(CIMParamValue("ElementType", CIMValue(ElementType(args[action.thinPosition]))));
      in.append(CIMParamValue("Goal", MakeCimNullVal(CIMTYPE_REFERENCE, false)));
      in.append(CIMParamValue("Size", CIMValue(size)));
      in.append(CIMParamValue("InPool", CIMValue(CIMObjectPath(String(args[2])))));
      in.append(CIMParamValue("TheElement", MakeCimNullVal(CIMTYPE_REFERENCE, false)));
      return InvokeOnService(conn, label, action.method, service, in, elementPath);
    }

    CIMObjectPath volume = FindArrayVolume(conn, systemName, args[1]);
    DEBUG_TRACE_NORMAL(label, "volumePath = %s", GetObjectPathString(volume).c_str());
    if (volume.getClassName().isNull()) return kSmisVolumeNotFound;
    if (action.kind == kDelete) {
      Array<CIMObjectPath> views = GetVolCtlrPaths(conn, volume);
      // Views that could not be listed are no answer: a volume still presented is never deleted.
      if (hp3par::LoginRefused(*this, conn, label)) return kSmisFailed;
      if (views.size() > 0) {
        DEBUG_TRACE(label, "Can not delete, Volume found %d Host mappings", static_cast<int>(views.size()));
        return kSmisHostMappingsFound;
      }
      DEBUG_TRACE_NORMAL(label, "Volume %s, Deleting ....", GetObjectPathString(volume).c_str());
      in.append(CIMParamValue("TheElement", CIMValue(volume)));
      return InvokeOnService(conn, label, action.method, service, in, elementPath);
    }
    in.append(CIMParamValue("ElementType", CIMValue(ElementType(args[action.thinPosition]))));
    in.append(CIMParamValue("Goal", MakeCimNullVal(CIMTYPE_REFERENCE, false)));
    in.append(CIMParamValue("Size", CIMValue(size)));
    in.append(CIMParamValue("InPool", MakeCimNullVal(CIMTYPE_REFERENCE, false)));
    in.append(CIMParamValue("TheElement", CIMValue(volume)));
    return InvokeOnService(conn, label, action.method, service, in, elementPath);
  } catch (const CIMException& e) {
    DEBUG_TRACE(label, "%s: %s: %d: Caught CIMException: %s: %s", action.method, TQ_HANDLER_SITE,
                tqcimutil::StatusText(e).c_str(), e.getMessage().str().c_str());
  } catch (const Exception& e) {
    DEBUG_TRACE(label, "%s: %s: %d: Caught Exception: %s", action.method, TQ_HANDLER_SITE,
                e.getMessage().str().c_str());
  } catch (...) {
    DEBUG_TRACE(label, "%s: Caught unknown Exception", action.method);
  }
  return kSmisFailed;
}

// Invokes the method without retries; a started job is followed for at most 500 polls, 15 seconds apart.
SmisResultCode HP3ParCimUtil::InvokeOnService(TqCimConnection& conn, const char* label, const char* method,
                                              const CIMObjectPath& service, const Array<CIMParamValue>& inParams,
                                              std::string& elementPath) {
  CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
  Array<CIMParamValue> out;
  CIMValue returned = conn.Client().invokeMethod(nameSpace, service, CIMName(method), inParams, out);
  Uint32 value = GetRetVal(returned);
  DEBUG_TRACE(label, "%s: RetVal = %u (0x%x),  outParams size = %u", method, value, value, out.size());
  if (value != kSmisSuccess && value != kJobStarted) {
    DEBUG_TRACE(label, "%s: Method failed, retVal = %u (0x%x)", method, value, value);
    PrintParamSet(out, true);
    return value;
  }
  if (value == kJobStarted) DEBUG_TRACE_NORMAL(label, "%s: Job started", method);
  elementPath = GetObjectPathString(GetTargetElementHandle(out));
  PrintParamSet(out, false);
  if (value == kSmisSuccess) return kSmisSuccess;
  TqSmisJob watcher;
  watcher.m_SnapInfo = m_SnapInfo;
  CIMObjectPath job = watcher.GetJobHandle(out);
  int state = watcher.WatchJob(job, conn, kJobTries, kJobPollSecs);
  return state == TqSmisJob::kJobCompleted ? kSmisSuccess : static_cast<SmisResultCode>(state);
}
