// The choice of an ETERNUS target among the candidates of the array-wide scan, in the order the replica
// preparation tries them: in label mode only volumes carrying the label; in selection mode SDVs for a
// snapshot and Standard volumes or TPVs for a clone, taken from the request's device group first and from
// the whole array when the group has none and the caller does not insist on the group.
#pragma once

#include <string>
#include <vector>

#include "SmisImpl.h"

namespace smiseternus {

// The six lists of the scan and whether the source is a TPV.
struct Candidates {
  std::vector<_EternusLun> sdvLabelled, sdv, standardLabelled, standard, tpvLabelled, tpv;
  bool sourceIsTpv = false;
};

struct ChoiceRequest {
  std::string systemName;
  std::string sourceText;  // the source's path text, for the traces
  int copyType = 0;        // 4 or 8 snapshot, 5 clone
  std::string volumeLabel;
  bool useTpvForSnapshot = false;
  std::string deviceGroup;  // a pool's ElementName, or empty
  bool stayInGroup = false;
};

struct Choice {
  enum Kind {
    kChosen,   // uid names the target
    kNone,     // nothing suits; a clone may still get a new volume
    kRefused,  // label mode found no labelled target: the preparation ends
  };
  Kind kind = kNone;
  std::string uid;
};

Choice ChooseByLabel(SmisAction& action, const char* label, const ChoiceRequest& request, Candidates& lists);
// Looks the device group up and reads the array's allocations when there is one; lets CIM faults through.
Choice ChooseBySelection(SmisAction& action, TqCimConnection& conn, const char* label, const ChoiceRequest& request,
                         Candidates& lists);

}  // namespace smiseternus
