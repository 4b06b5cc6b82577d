#include "InventoryCollection.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "EvDebug.h"
#include "HP3ParCimUtil.h"
#include "HP3ParHandler.h"
#include "InventoryUpdate.h"
#include "TQPassword.h"
#include "calls/EntryGuard.h"

namespace tqengine {

namespace {

const int kNameCapacity = 512;
const int kLoginCapacity = 256;
const int kPasswordCapacity = 256;
const int kControlHostCapacity = 512;
const int kDetailTextCapacity = 512;

struct ArrayLogin {
  std::string name;  // as the database holds it
  std::string login, password, controlHost;
};

// A2 to A5: the array's name, login and deciphered password. False (logged) when one cannot be had.
bool ReadLogin(InventoryArray& array, ArrayLogin& login) {
  const unsigned long long jobId = array.jobId;
  std::vector<char> name(kNameCapacity, '\0');
  if (array.record->getName(name.data(), kNameCapacity, &array.arrayId) != 0) {
    o_logger.DebugLvl(kInventoryTag, -1, jobId, "Failed to get array details");
    return false;
  }
  name.back() = '\0';
  login.name = name.data();
  std::vector<char> user(kLoginCapacity, '\0'), enciphered(kPasswordCapacity, '\0'), host(kControlHostCapacity, '\0');
  // The host may fill all six texts; the first three are not read here.
  std::vector<char> text1(kDetailTextCapacity, '\0'), text2(kDetailTextCapacity, '\0'),
      text3(kDetailTextCapacity, '\0');
  if (array.db->getArrayDetails(login.name.c_str(), text1.data(), kDetailTextCapacity, text2.data(),
                                kDetailTextCapacity, text3.data(), kDetailTextCapacity, user.data(), kLoginCapacity,
                                enciphered.data(), kPasswordCapacity, host.data(), kControlHostCapacity) != 0) {
    o_logger.DebugLvl(kInventoryTag, -1, jobId, "Failed to get array credentials!!!");
    return false;
  }
  user.back() = enciphered.back() = host.back() = '\0';
  login.login = user.data();
  login.controlHost = host.data();
  array.clientId = array.record->getClientId();
  std::string upper = login.name;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  o_logger.DebugLvl(kInventoryTag, 0, jobId, "Array Name [%s]", upper.c_str());
  o_logger.DebugLvl(kInventoryTag, 0, jobId, "Array Client ID [%d]", array.clientId);
  o_logger.DebugLvl(kInventoryTag, 0, jobId, "Successfully got array credentials!!!");

  std::vector<char> password(kPasswordCapacity, '\0');
  unsigned long length = kPasswordCapacity;
  if (TQPassword().decrypt(enciphered.data(), password.data(), &length) == 0) {
    o_logger.DebugLvl(kInventoryTag, -1, jobId, "Failed to decrypt password");
    return false;
  }
  login.password = password.data();
  return true;
}

// A7: both lists; false when either failed or the provider failed while listing (what was listed stays).
bool ListArray(InventoryArray& array, TqCimConnection& conn, const std::string& systemName) {
  const unsigned long long jobId = array.jobId;
  HP3ParCimUtil util;
  bool volumesListed = false, poolsListed = false;
  GuardedCall(kInventoryTag, [&] {
    int volumeCount = 0;
    volumesListed = util.GetVolumeList(conn, systemName, array.volumes, volumeCount);
    if (volumesListed)
      o_logger.DebugLvl(kInventoryTag, 0, jobId, "Got the array volume list. Volume Count [%d]", volumeCount);
    else
      o_logger.DebugLvl(kInventoryTag, -1, jobId, "Unable to get Volume List from the array.");
    int poolCount = 0;
    poolsListed = util.GetPoolList(conn, systemName, array.pools, array.volumes, poolCount);
    if (poolsListed)
      o_logger.DebugLvl(kInventoryTag, 0, jobId, "Got the array resource pool list. Resource Pool Count [%d]",
                        poolCount);
    else
      o_logger.DebugLvl(kInventoryTag, -1, jobId, "Unable to get Pool List from the array.");
  });
  return volumesListed && poolsListed;
}

}  // namespace

ArrayTurnResult CollectArray(TQSO::ArrayReportDB* db, TQSO::ArrayRecord* record, TQSO::TQOSUtil* osUtil,
                             unsigned long long jobId) {
  InventoryArray array;
  array.db = db;
  array.record = record;
  array.jobId = jobId;
  ArrayLogin login;
  if (!ReadLogin(array, login)) return ArrayTurnResult::kSkipped;

  TqCimConnection conn = HP3ParHandler().InitArrayParams(osUtil, login.controlHost, login.login, login.password);
  if (conn.ConnectCimom() != 0) {
    o_logger.DebugLvl(kInventoryTag, -1, "Connection to CIMOM failed");
    return ArrayTurnResult::kNotConnected;
  }
  std::string systemName = login.name;
  std::transform(systemName.begin(), systemName.end(), systemName.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const bool listed = ListArray(array, conn, systemName);
  conn.DisconnectCimom();

  record->setActive(1);
  record->setRefreshMark(0);
  if (listed) UpdateArrayTotals(array);
  RefreshPoolsAndVolumes(array);
  o_logger.DebugLvl(kInventoryTag, 1, jobId, "Successfully Added new Pool, volume, and lun details to database!!!");
  if (listed) {
    MarkDeletedPools(array);
    o_logger.DebugLvl(kInventoryTag, 0, jobId, "Successfully cleaning deleted Pools in Database!!!");
    MarkDeletedVolumes(array);
    o_logger.DebugLvl(kInventoryTag, 0, jobId, "Successfully cleaning deleted Volumes in Database!!!");
  } else {
    o_logger.DebugLvl(kInventoryTag, -1, jobId,
                      "The array's lists are incomplete; no record of it is marked deleted in this pass");
  }
  return ArrayTurnResult::kCollected;
}

}  // namespace tqengine
