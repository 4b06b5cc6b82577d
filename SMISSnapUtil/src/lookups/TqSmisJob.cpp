#include "TqSmisJob.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "CimUtilHandlers.h"
#include "CimUtilParams.h"
#include "TqCimConnection.h"
#include "TqSleep.h"

using namespace Pegasus;

const TqJobStateInfo_t jobStateInfo[kTqJobStateRows] = {
    {2, "New"},       {3, "Starting"},   {4, "Running"}, {5, "Suspended"},  {6, "Shutting Down"},
    {7, "Completed"}, {8, "Terminated"}, {9, "Killed"},  {10, "Exception"}, {11, "Service"},
};

namespace {

bool IsFailedState(int state) { return state >= 8 && state <= 10; }

// Milliseconds of a wait, kept within an int.
int SecondsToMillis(int seconds) {
  long long millis = static_cast<long long>(seconds) * 1000;
  return millis > INT_MAX ? INT_MAX : static_cast<int>(millis);
}

}  // namespace

CIMObjectPath TqSmisJob::GetJobHandle(Array<CIMParamValue>& outParams) {
  return TqReferenceOutParameter(outParams, "Job");
}

CIMInstance TqSmisJob::GetJobInstance(CIMObjectPath& job, TqCimConnection& conn) {
  const char* label = "SMIS::GetJobInstance";
  Array<CIMName> names;
  names.append(CIMName("JobStatus"));
  names.append(CIMName("JobState"));
  names.append(CIMName("PercentComplete"));
  CIMInstance instance;
  try {
    CIMNamespaceName nameSpace{String(conn.m_Cimom.GetNameSpace())};
    instance = conn.Client().getInstance(nameSpace, job, false, false, false, CIMPropertyList(names));
  } catch (const CIMException& e) {
    if (e.getCode() == CIM_ERR_NOT_FOUND) return CIMInstance();
    DEBUG_TRACE(label, "%s: %d: Caught CIMException: %s: %s\n", TQ_HANDLER_SITE, tqcimutil::StatusText(e).c_str(),
                e.getMessage().str().c_str());
    throw;
  } catch (const Exception& e) {
    DEBUG_TRACE(label, "%s: %d: Caught Exception: %s\n", TQ_HANDLER_SITE, e.getMessage().str().c_str());
    throw;
  }
  return instance;
}

std::string TqSmisJob::GetjobStateString(int state) {
  for (const TqJobStateInfo_t& row : jobStateInfo)
    if (row.state == state) return row.text;
  char text[32];
  std::snprintf(text, sizeof text, "%d", state);
  return std::string(text) + ": Unknown state";
}

bool TqSmisJob::IsJobDone(int state) { return state >= 7 && state <= 10; }

bool TqSmisJob::IsJobDone(CIMInstance instance) {
  return IsJobDone(std::atoi(GetCIMProp(instance, "JobState").c_str()));
}

bool TqSmisJob::IsJobDone(CIMObjectPath job, TqCimConnection& conn) {
  CIMInstance instance = GetJobInstance(job, conn);
  if (instance.getClassName().isNull()) return true;
  return IsJobDone(instance);
}

int TqSmisJob::PrintJobSummary(CIMObjectPath& job, TqCimConnection& conn, int& percent) {
  const char* label = "SMIS::PrintJobSummary";
  CIMInstance instance = GetJobInstance(job, conn);
  if (instance.getClassName().isNull()) return kJobCompleted;
  int state = std::atoi(GetCIMProp(instance, "JobState").c_str());
  std::string status = GetCIMProp(instance, "JobStatus");
  percent = std::atoi(GetCIMProp(instance, "PercentComplete").c_str());
  std::string stateText = GetjobStateString(state);
  DEBUG_TRACE_NORMAL(label, "Job-State %d: %s, %d %%   %s\n", state, stateText.c_str(), percent, status.c_str());
  if (stateText == "Terminated" || stateText == "Exception" || stateText.find("Unknown") != std::string::npos) {
    DEBUG_TRACE(label, "\tStatus = %s, %s, %s\n", GetCIMProp(instance, "Status").c_str(),
                GetCIMProp(instance, "StatusDescriptions").c_str(), GetCIMProp(instance, "ErrorDescription").c_str());
  }
  return state;
}

void TqSmisJob::GotoSleep(int milliseconds) {
  if (milliseconds <= 0) return;
  long long seconds = milliseconds / 1000 + (milliseconds % 1000 != 0 ? 1 : 0);
  TqSleep(seconds);
}

int TqSmisJob::WatchJob(CIMObjectPath& job, TqCimConnection& conn, int maxTries, int sleepSecs) {
  const char* label = "SMIS::WatchJob";
  int tries = 0;
  int percent = 0;
  while (tries < maxTries && !IsJobDone(job, conn)) {
    DEBUG_TRACE(label, "Try %u", static_cast<unsigned>(tries));
    ++tries;
    GotoSleep(SecondsToMillis(sleepSecs));
    PrintJobSummary(job, conn, percent);
  }
  int state = PrintJobSummary(job, conn, percent);
  DEBUG_TRACE(label, "ret %u", static_cast<unsigned>(state));
  if (tries < maxTries) return state;
  // A failed job is never reported as completed.
  if (IsFailedState(state)) return state;
  DEBUG_TRACE(label, "Max tries exceeded if its Running assuming, it will complete");
  return kJobCompleted;
}
