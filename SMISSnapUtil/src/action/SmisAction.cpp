#include "SmisImpl.h"

TqCriticalSection SmisAction::m_Lock;

SmisAction::SmisAction() : m_OpType(0) {}

SmisAction::SmisAction(const SmisAction& other)
    : TqCimUtil(other),
      TqSmisJob(other),
      m_OpType(other.m_OpType),
      m_LastCallOutcome(other.m_LastCallOutcome),
      m_VolumeParamsSource(other.m_VolumeParamsSource) {}

SmisAction& SmisAction::operator=(const SmisAction& other) {
  TqSmisJob::operator=(other);
  m_OpType = other.m_OpType;
  m_LastCallOutcome = other.m_LastCallOutcome;
  m_VolumeParamsSource = other.m_VolumeParamsSource;
  return *this;
}
