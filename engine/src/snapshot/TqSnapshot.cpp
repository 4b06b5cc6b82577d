// The snapshot object's fields: construction, the records that fill it, and its small queries.
#include "TqSnapshot.h"

#include "TQSOTypes.h"

namespace TQ_SMIS_SNAP {

Snapshot::Snapshot()
    : m_SnapOp(99),
      m_DGRequired(false),
      m_SnapStatus(TQSO::SS_RESET),
      m_DeviceAccess(99),
      m_CloneProvisionType(0),
      m_LastErrorCode(0),
      m_ErrorMap(nullptr) {}

void Snapshot::SetLogger(TQSO::SnapInfo* record) {
  m_SnapInfo = record;
  m_Conn.m_SnapInfo = record;
}

void Snapshot::SetArrayInfo(TqArrayParams& params) {
  m_SystemName = params.systemName;
  m_Conn.m_Cimom.SetCimom(params);
}

void Snapshot::SetSnapInfo(TqSnapParams& params) {
  if (!params.systemName.empty()) m_SystemName = params.systemName;
  m_SnapName = params.snapName;
  m_SnapOp = params.snapOp;
  m_SourceDev = params.sourceDev;
  m_TargetDev = params.targetDev;
  m_TargetDG = params.targetDG;
  m_DGRequired = params.dgRequired;
  m_TargetSettingId = params.targetSettingId;
  m_ServicePath = params.servicePath;
  m_SourceDevPath = params.sourceDevPath;
  m_TargetDevPath = params.targetDevPath;
  m_TargetDGPath = params.targetDGPath;
  m_TargetSettingPath = params.targetSettingPath;
}

void Snapshot::SetSnapViewInfo(TqSnapViewParams& params) {
  m_TargetDev = params.targetDev;
  m_TargetDevPath = params.targetDevPath;
  m_InitiatorPorts = params.initiatorPorts;
  m_TargetPorts = params.targetPorts;
  m_DeviceAccess = params.deviceAccess;
}

std::string Snapshot::GetVendorName() { return GetVendorByName(m_Conn, m_SystemName); }

void Snapshot::GetHostHbaPorts(std::string, std::list<std::string>&) {
  if (m_Conn.ConnectCimom() != 0) {
    DEBUG_TRACE("Snapshot::GetHostHbaPorts", "Connection to CIMOM failed\n");
    return;
  }
  m_Conn.DisconnectCimom();
}

int Snapshot::UnprepareSnap() { return 0; }

}  // namespace TQ_SMIS_SNAP
