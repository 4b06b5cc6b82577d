// What a remote-copy group needs from the two arrays: remote mirroring supported on each, the target
// array's pool, the access point of the link between them, and the wait for a group's first
// synchronization.
#include <cstdlib>
#include <string>

#include "Pegasus/CIMPropertyList.h"
#include "SnapshotText.h"
#include "Tq3PARSnapshot.h"
#include "TqSmisJob.h"

using namespace Pegasus;

namespace {

const char kSupportLabel[] = "Tq3PARSnapshot::3PAR-IsRemoteCopySupported";
const char kPoolLabel[] = "Tq3PARSnapshot::3PAR-GetCPGPath";
const char kAccessLabel[] = "Tq3PARSnapshot::3PAR-GetAccessPointPath";
const char kWaitLabel[] = "Tq3PARSnapshot::3PAR-WaitForynchronizedState";
const TQ_SMIS_SNAP::CatchTexts kPoolCaughtTexts = {"%s: %d: [ERROR] unable to get CPG Caught CIMException: %s: %s",
                                                   "[ERROR] unable to get CPG %s: %d: Caught Exception: %s",
                                                   "[ERROR] unable to get CPG  Caught unknown Exception"};
const TQ_SMIS_SNAP::CatchTexts kAccessCaughtTexts = {
    "%s: %d: [ERROR] unable to get service accesspoint Caught CIMException: %s: %s",
    "[ERROR] unable to get service accesspoint  %s: %d: Caught Exception: %s",
    "[ERROR] unable to get service accesspoint   Caught unknown Exception"};
// The code the message of a caught exception is recorded with, as every failure here is.
const int kRemoteCopyRecorded = 4;
const int kCopyStateSynchronized = 4;
const int kCopyStateUnsynchronized = 3;

CIMPropertyList Only(const char* property) {
  Array<CIMName> names;
  names.append(CIMName(property));
  return CIMPropertyList(names);
}

// The text of a reference, or of the first of an array of references (the standard signature answers
// the array ServiceAccessPoints); empty when there is none.
std::string FirstReferenceText(const CIMValue& value) {
  CIMObjectPath reference;
  if (value.isArray()) {
    Array<CIMObjectPath> references;
    value.get(references);
    if (references.size() == 0) return std::string();
    reference = references[0];
  } else {
    value.get(reference);
  }
  return reference.toString().str();
}

}  // namespace

int Tq3PARSnapshot::IsRemoteCopySupported(TqCimConnection& conn, bool isSource) {
  return Handled(kSupportLabel, TQ_SMIS_SNAP::kCopyGroupCaughtTexts, TQ_CATCH_SITE, 1, [&]() -> int {
    Array<CIMInstance> capabilities =
        conn.GetInstances("TPD_ReplicationServiceCapabilities", Only("SupportedReplicationTypes"));
    DEBUG_TRACE_NORMAL(kSupportLabel, "Class [%s] got %d instances", "TPD_ReplicationServiceCapabilities",
                       static_cast<int>(capabilities.size()));
    if (capabilities.size() == 0) {
      DEBUG_TRACE(kSupportLabel, "[ERROR] No Capabilities Instances found");
      return 1;
    }
    // Value 4, Synchronous Mirror Remote, in the text of the listed values (each followed by a blank).
    std::string listed = GetCIMProp(capabilities[0], "SupportedReplicationTypes");
    if (!listed.empty() && listed.back() != ' ') listed += ' ';
    if (listed.compare(0, 2, "4 ") == 0 || listed.find(" 4 ") != std::string::npos) return 0;
    if (isSource) {
      DEBUG_TRACE(kSupportLabel,
                  "[ERROR] Source Storage-Array doesn't support Synchronous Mirror Remote (listed capabilities[%s])",
                  listed.c_str());
      return 5;
    }
    DEBUG_TRACE(kSupportLabel,
                "[ERROR] Target Storage-Array doesn't support Synchronous Mirror Remote (listed capabilities[%s])",
                listed.c_str());
    return 6;
  });
}

int Tq3PARSnapshot::GetCPGPath(TQ_SMIS_SNAP::TqArrayParams& target, const char* cpgName, CIMObjectPath& cpgPath,
                               std::string& targetSystemPath) {
  TqCimConnection targetConn;
  targetConn.m_Cimom.SetCimom(target);
  if (targetConn.ConnectCimom() != 0) {
    DEBUG_TRACE(kPoolLabel, "[ERROR] Connection to Target Arrayn [%s][%s] CIMOM failed", target.systemName.c_str(),
                target.m_Address.c_str());
    return 4;
  }
  const int result = Handled(kPoolLabel, kPoolCaughtTexts, TQ_CATCH_SITE, 1, [&]() -> int {
    const int supported = IsRemoteCopySupported(targetConn, false);
    if (supported != 0) return supported;
    targetSystemPath = GetSystemObjPathString(targetConn, target.systemName);
    if (targetSystemPath.empty()) {
      DEBUG_TRACE(kPoolLabel, "[ERROR] couldn't find SystemObjPath [%s]", target.systemName.c_str());
      return 1;
    }
    DEBUG_TRACE_NORMAL(kPoolLabel, "Target SystemName[%s] TargetSysPath [%s]", target.systemName.c_str(),
                       targetSystemPath.c_str());
    const std::string name = cpgName != nullptr ? cpgName : "";
    if (name.empty()) {
      Array<CIMInstance> pools = targetConn.GetInstances("TPD_DynamicStoragePool", Only("ElementName"));
      DEBUG_TRACE_NORMAL(kPoolLabel, "Class [%s] got %d instances", "TPD_DynamicStoragePool",
                         static_cast<int>(pools.size()));
      if (pools.size() == 0) {
        DEBUG_TRACE(kPoolLabel, "[ERROR] No CPG Instances found");
        return 1;
      }
      cpgPath = pools[0].getPath();
    } else {
      DEBUG_TRACE_NORMAL(kPoolLabel, "Getting CPG for [%s]", name.c_str());
      String poolClass("TPD_DynamicStoragePool");
      cpgPath = GetObjPathByPropName(targetConn, poolClass, "ElementName", String(name));
      if (cpgPath.getClassName().getString().size() == 0) {
        DEBUG_TRACE(kPoolLabel, "[ERROR]Class %s: TargetCPG name [%s] not found", "TPD_DynamicStoragePool",
                    name.c_str());
        return 1;
      }
    }
    DEBUG_TRACE_NORMAL(kPoolLabel, "Storage Pool: %s", cpgPath.toString().str().c_str());
    return 0;
  });
  targetConn.DisconnectCimom();
  return result;
}

int Tq3PARSnapshot::GetAccessPointPath(TqCimConnection& conn, String& nameSpace, CIMObjectPath& servicePath,
                                       CIMObjectPath& targetSystemPath, const char*, const char*,
                                       CIMObjectPath& accessPoint) {
  return HandledAndRecorded(kAccessLabel, kAccessCaughtTexts, TQ_CATCH_SITE, 1, kRemoteCopyRecorded, [&]() -> int {
    Array<CIMParamValue> in, out;
    in.append(CIMParamValue("System", CIMValue(targetSystemPath)));
    CIMValue returned = conn.Client().invokeMethod(CIMNamespaceName(nameSpace), servicePath,
                                                   CIMName("GetServiceAccessPoints"), in, out);
    const unsigned value = GetRetVal(returned);
    DEBUG_TRACE_NORMAL(kAccessLabel, "%s: Method, retVal = %u (0x%x)", "GetServiceAccessPoints", value, value);
    PrintParamSet(out, false);
    if (out.size() == 0) {
      DEBUG_TRACE(kAccessLabel,
                  "[ERROR] unable to get service accesspoint. nothing returns. please check whether the remote-group "
                  "configuration between src and dest storage-arrays is there or not");
      setErrorMsg(4,
                  "unable to get service accesspoint. Please check whether the remote-group configuration between "
                  "source and destination storage-arrays is there or not");
      return 1;
    }
    const CIMValue& answered = out[0].getValue();
    if (answered.getType() != CIMTYPE_REFERENCE) {
      DEBUG_TRACE(kAccessLabel,
                  "[ERROR] service accesspoint not fond in the output list. please check whether the remote-group "
                  "configuration between src and dest storage-arrays is there or not");
      setErrorMsg(4,
                  "unable to find service accesspoint in the list. Please check whether the remote-group configuration "
                  "between source and destination storage-arrays is there or not");
      return 1;
    }
    std::string text = FirstReferenceText(answered);
    trimstring(text);
    DEBUG_TRACE(kAccessLabel, "strAccessPointPath [%s]", text.c_str());
    if (text.empty()) {
      DEBUG_TRACE(kAccessLabel, "[ERROR] AccessPointPath not found");
      setErrorMsg(4, "unable to find service accesspoint");
      return 1;
    }
    accessPoint = CIMObjectPath(String(text));
    return 0;
  });
}

int Tq3PARSnapshot::WaitForynchronizedState(TqCimConnection& conn, CIMObjectPath& syncPath, int maxSeconds,
                                            int stepSeconds) {
  return Handled(kWaitLabel, TQ_SMIS_SNAP::kCopyGroupCaughtTexts, TQ_CATCH_SITE, 1, [&]() -> int {
    for (int elapsed = 0; elapsed < maxSeconds;) {
      CIMInstance sync = conn.GetInstance(syncPath);
      const int state = std::atoi(GetCIMProp(sync, "CopyState").c_str());
      if (state == kCopyStateSynchronized) return 8;
      if (state != kCopyStateUnsynchronized) {
        DEBUG_TRACE(kWaitLabel, "[ERROR] Remote-Froup found invalid state[%d]", state);
        return 1;
      }
      TqSmisJob::GotoSleep(stepSeconds * 1000);
      elapsed += stepSeconds > 0 ? stepSeconds : 1;
      DEBUG_TRACE_NORMAL(kWaitLabel, "[Elapsed seconds %d] ", elapsed);
    }
    return 10;
  });
}
