// Child snapshots below a master snapshot, and the hosts that own a set of initiator ports.
#include <string>

#include "SnapshotText.h"
#include "Tq3PARSnapshot.h"

namespace {

const char kValidChildLabel[] = "Tq3PARSnapshot::3PAR-IsValidChild";
const char kChildLabel[] = "Tq3PARSnapshot::3PAR-IsChildExist";
const char kHostInfoLabel[] = "Tq3PARSnapshot::3PAR-GetHostInfo";

}  // namespace

int Tq3PARSnapshot::IsValidChild(const char* masterDevice, const char* masterDevicePath, const char* childName,
                                 std::string& childDevice, std::string& childDevicePath) {
  if (!Connect(kValidChildLabel)) {
    m_SnapStatus = TQSO::SS_PREPARE_FAILED;
    return TQSO::SS_PREPARE_FAILED;
  }
  const bool found = IsChildExist(m_Conn, masterDevice, masterDevicePath, childName, childDevice, childDevicePath);
  m_Conn.DisconnectCimom();
  return found ? TQSO::SS_SEEN_AS_HOST_DEVICE : TQSO::SS_NO_SUCH_CHILD;
}

bool Tq3PARSnapshot::IsChildExist(TqCimConnection& conn, const char*, const char* masterDevicePath,
                                  const char* childName, std::string& childDevice, std::string& childDevicePath) {
  if (masterDevicePath == nullptr || *masterDevicePath == '\0') {
    DEBUG_TRACE(kChildLabel, "Empty Dev Path");
    return false;
  }
  const std::string wanted = childName != nullptr ? childName : "";
  childDevice.clear();
  childDevicePath.clear();
  return Handled(kChildLabel, TQ_SMIS_SNAP::kCaughtTexts, TQ_CATCH_SITE, false, [&] {
    bool found = false;
    Pegasus::CIMObjectPath master(masterDevicePath);
    Pegasus::Array<Pegasus::CIMObjectPath> children =
        conn.GetAssociatorNames(master, "CIM_StorageSynchronized", "CIM_StorageVolume", "", "");
    // A list read without error also tells a child create below this master its older copies.
    if (!conn.m_AuthFailure) UseCopiesBefore(masterDevicePath, children);
    if (children.size() == 0) {
      DEBUG_TRACE(kChildLabel, "Child [%s] is not valid", wanted.c_str());
      return false;
    }
    if (children.size() > 1)
      DEBUG_TRACE(kChildLabel, "[WARNING] Multiple Child Found %u (it is not expected)",
                  static_cast<unsigned>(children.size()));
    for (unsigned i = 0; i < children.size(); ++i) {
      const std::string name = GetCIMProp(conn, children[i], "ElementName");
      if (name == wanted) {
        childDevice = GetCIMProp(conn, children[i], "DeviceID");
        childDevicePath = children[i].toString().str();
        DEBUG_TRACE(kChildLabel, "Existing Child Found %u = [%s] [%s]", i, childDevice.c_str(),
                    childDevicePath.c_str());
        found = true;
      } else {
        DEBUG_TRACE(kChildLabel, "[** WARNING **] None TQ Child snap Found  %u = [%s] [%s] [%s]", i, name.c_str(),
                    childDevice.c_str(), childDevicePath.c_str());
      }
    }
    return found;
  });
}

void Tq3PARSnapshot::GetHostInfo(TqCimConnection& conn, Pegasus::Array<Pegasus::String>& ports,
                                 std::vector<std::string>& hosts, std::vector<std::string>& unassignedPorts) {
  hosts.clear();
  unassignedPorts.clear();
  Pegasus::String hardwareIdClass("CIM_StorageHardwareID");
  // A lookup's exception is traced here and passed on to the caller, which ends its operation.
  TracedOn(kHostInfoLabel, TQ_SMIS_SNAP::kCaughtTexts, TQ_CATCH_SITE, [&] {
    for (unsigned i = 0; i < ports.size(); ++i) {
      const std::string port = ports[i].str();
      Pegasus::CIMObjectPath path = GetObjPathByPropName(conn, hardwareIdClass, "StorageID", ports[i]);
      if (path.getKeyBindings().size() == 0) {
        DEBUG_TRACE_NORMAL(kHostInfoLabel, "[port - %s] Not assigned", port.c_str());
        unassignedPorts.push_back(port);
        continue;
      }
      const std::string host = GetCIMProp(conn, path, "ElementName");
      DEBUG_TRACE_NORMAL(kHostInfoLabel, "[port - %s] [Path - %s] [Host - %s]", port.c_str(),
                         path.toString().str().c_str(), host.c_str());
      if (host.empty()) {
        DEBUG_TRACE_NORMAL(kHostInfoLabel, "[port - %s] port found but not assigned to Host", port.c_str());
        unassignedPorts.push_back(port);
      } else {
        AddUniqString(hosts, host.c_str());
      }
    }
  });
  DEBUG_TRACE_NORMAL(kHostInfoLabel, " [Host found - %d ] [Ports not assigned - %d]", static_cast<int>(hosts.size()),
                     static_cast<int>(unassignedPorts.size()));
}

void Tq3PARSnapshot::AddUniqString(std::vector<std::string>& list, const char* text) {
  const std::string item = text != nullptr ? text : "";
  for (const std::string& existing : list)
    if (existing == item) return;
  list.push_back(item);
}

void Tq3PARSnapshot::trimstring(std::string& text) {
  const size_t last = text.find_last_not_of(' ');
  if (last == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(last + 1);
  text.erase(0, text.find_first_not_of(' '));
}
