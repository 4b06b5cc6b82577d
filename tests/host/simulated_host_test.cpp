// The simulated host: devices appear and disappear with what the array exposes to the host's ports, and
// answer INQUIRY as 3PAR virtual volumes.
#include <httplib.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "InquiryCommands.h"
#include "SimulatedArrayStub.h"
#include "SimulatorExposureSource.h"
#include "TQOSUtil.h"
#include "TQPlatformInfo.h"
#include "TqDeviceTree.h"

namespace {

const std::string kWwnA = "60002AC0000000000000000A00001234";
const std::string kWwnB = "60002ac0000000000000000b00001234";  // the array may answer in lower case

std::string deviceList(TQSO::TQOSUtil& services) {
  std::vector<char> buffer(4096);
  EXPECT_EQ(0, services.listDevices(nullptr, "3P", '*', 4096, buffer.data()));
  return buffer.data();
}

// The vendor, product and page 0x83 WWN of a device, read the way the engine does.
struct Identity {
  std::string vendor, product, wwn;
};
bool identify(const std::string& path, Identity& identity, CWmError& error) {
  SP<TqDevice> device = TqDeviceTree::getDevice(path.c_str(), &error);
  if (!device) return false;
  unsigned char buffer[255];
  if (inquire(device, kStandardCdb, buffer, &error) < 0) return false;
  identity.vendor.assign(reinterpret_cast<char*>(buffer + 8), 8);
  identity.product.assign(reinterpret_cast<char*>(buffer + 16), 16);
  if (inquire(device, kPage83Cdb, buffer, &error) < 0) return false;
  if ((buffer[5] & 0x0F) != 3) return false;  // first designator must be NAA
  identity.wwn = firstDesignatorHex(buffer);
  return true;
}

class SimulatedHost : public testing::Test {
 protected:
  std::shared_ptr<ExposureStub> array = std::make_shared<ExposureStub>();
  std::shared_ptr<TQSO::SimulatedHostPlatform> host = std::make_shared<TQSO::SimulatedHostPlatform>(
      std::vector<TQSO::HostInitiator>{{"10000000C9A1B2C3", TQSO::INITIATOR_FC}}, array);
  TQSO::TQOSUtil services{nullptr, host};
  TqDeviceSourceScope scope{host};
};

TEST_F(SimulatedHost, ExposedVolumeAppearsAfterARescanAndGoesWhenHidden) {
  array->expose("10000000C9A1B2C3", "oradata01", kWwnA, 1);
  array->expose("21000024FF000001", "elsewhere", kWwnB, 1);  // another host's port
  EXPECT_EQ("", deviceList(services)) << "nothing is seen before a rescan";

  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  EXPECT_EQ("/dev/sda*", deviceList(services));
  Identity identity;
  CWmError error;
  ASSERT_TRUE(identify("/dev/sda", identity, error)) << error.AsString();
  EXPECT_EQ("3PARdata", identity.vendor);
  EXPECT_EQ("VV              ", identity.product);
  EXPECT_EQ(kWwnA, identity.wwn);

  array->expose("10000000C9A1B2C3", "oralog01", kWwnB, 2);
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  EXPECT_EQ("/dev/sda*/dev/sdb*", deviceList(services)) << "a device keeps its name";
  ASSERT_TRUE(identify("sdb", identity, error));
  EXPECT_EQ("60002AC0000000000000000B00001234", identity.wwn);

  SP<TqDevice> opened = TqDeviceTree::getDevice("/dev/sda", &error);
  array->hide("oradata01");
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  EXPECT_EQ("/dev/sdb*", deviceList(services));
  EXPECT_FALSE(identify("/dev/sda", identity, error));
  unsigned char buffer[255];
  EXPECT_EQ(-1, inquire(opened, kStandardCdb, buffer, &error))
      << "a device opened before it vanished fails its commands";
  EXPECT_NE(std::string::npos, error.AsString().find("gone"));
}

TEST_F(SimulatedHost, DeletedDevicesStayAwayUntilTheNextRescanAndFailuresChangeNothing) {
  array->expose("10000000C9A1B2C3", "oradata01", kWwnA, 1);
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  array->failNext(true);
  const char* deletes[] = {"/dev/sda", nullptr};
  EXPECT_EQ(-1, services.rescanBus(nullptr, nullptr, deletes)) << "the array cannot be asked";
  EXPECT_EQ("", deviceList(services)) << "the delete itself was done";
  array->failNext(false);
  ASSERT_EQ(0, services.rescanBus(nullptr, nullptr, nullptr));
  EXPECT_EQ("/dev/sda*", deviceList(services)) << "still exposed: back after the rescan";

  array->failNext(true);
  EXPECT_EQ(-1, services.rescanBus(nullptr, nullptr, nullptr));
  EXPECT_EQ("/dev/sda*", deviceList(services)) << "a failed rescan keeps what the host saw";
  EXPECT_EQ((std::vector<std::string>{"10000000C9A1B2C3"}), array->questions().back());
}

TEST_F(SimulatedHost, InitiatorsComeFromConfiguration) {
  uint16_t namesLength = 0, kindsLength = 0, third = 0;
  services.detectHbalist(nullptr, "", nullptr, &namesLength, nullptr, &kindsLength, &third);
  std::vector<char> names(namesLength);
  std::vector<unsigned char> kinds(kindsLength);
  ASSERT_EQ(1, services.detectHbalist(nullptr, "", names.data(), &namesLength, kinds.data(), &kindsLength, &third));
  EXPECT_STREQ("10000000C9A1B2C3", names.data());
  EXPECT_EQ(0, kinds[0]);
}

TEST(SimulatedHostConfiguration, PortsAndArrayComeFromTheConfigurationStore) {
  std::string error;
  {
    TqConfigOverride url("Corvane", "TQ_SIM_CONTROL_URL");
    TqConfigOverride fc("Corvane", "TQ_SIM_HOST_FC_PORTS", "10000000C9A1B2C3");
    EXPECT_EQ(nullptr, TQSO::makeSimulatedHostFromConfiguration(error));
    EXPECT_NE(std::string::npos, error.find("TQ_SIM_CONTROL_URL"));
  }
  TqConfigOverride url("Corvane", "TQ_SIM_CONTROL_URL", "http://127.0.0.1:1");
  TqConfigOverride fc("Corvane", "TQ_SIM_HOST_FC_PORTS", " 10000000C9A1B2C3 , 10000000C9A1B2C4");
  TqConfigOverride iscsi("Corvane", "TQ_SIM_HOST_ISCSI_NAMES", "iqn.1994-05.com.redhat:sim");
  auto host = TQSO::makeSimulatedHostFromConfiguration(error);
  ASSERT_NE(nullptr, host) << error;
  std::vector<TQSO::HostInitiator> ports;
  ASSERT_TRUE(host->initiators(ports, error));
  ASSERT_EQ(3u, ports.size());
  EXPECT_EQ("10000000C9A1B2C4", ports[1].name);
  EXPECT_EQ(TQSO::INITIATOR_ISCSI, ports[2].kind);
  EXPECT_FALSE(host->rescan({}, {}, error)) << "nothing listens at the configured URL";
}

// A stand-in for the simulator's control route on a loopback port.
class ControlStub {
 public:
  ControlStub() {
    server_.Post("/control/exposed", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard<std::mutex> hold(mutex_);
      lastBody_ = request.body;
      response.status = status_;
      response.set_content(answer_, "application/json");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ControlStub() {
    server_.stop();
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  void answer(int status, const std::string& body) {
    std::lock_guard<std::mutex> hold(mutex_);
    status_ = status;
    answer_ = body;
  }
  std::string lastBody() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return lastBody_;
  }

 private:
  mutable std::mutex mutex_;
  std::string answer_ = "[]";
  int status_ = 200;
  std::string lastBody_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

TEST(SimulatorControlClient, AsksWithEveryPortWholeAndReadsTheAnswer) {
  ControlStub stub;
  stub.answer(200, R"([{"array":"s1234","host":"h","volume":"v1","wwn":")" + kWwnA + R"(","lun":3,"readOnly":false}])");
  TQSO::SimulatorExposureSource source(stub.url());
  const std::string iqn = "iqn.1994-05.com.redhat:" + std::string(200, 'q');
  std::vector<TQSO::ExposedVolume> volumes;
  std::string error;
  ASSERT_TRUE(source.exposedTo({"10000000C9A1B2C3", iqn}, volumes, error)) << error;
  EXPECT_EQ("{\"initiators\":[\"10000000C9A1B2C3\",\"" + iqn + "\"]}", stub.lastBody());
  ASSERT_EQ(1u, volumes.size());
  EXPECT_EQ(kWwnA, volumes[0].wwn);
  EXPECT_EQ(3u, volumes[0].lun);
  EXPECT_EQ("v1", volumes[0].volume);
}

TEST(SimulatorControlClient, BadAnswersAreFailures) {
  ControlStub stub;
  TQSO::SimulatorExposureSource source(stub.url());
  const struct {
    int status;
    std::string body;
    const char* why;
  } cases[] = {{500, R"({"error":"boom"})", "HTTP"},
               {200, R"([{"wwn":"60002AC0000000000000000A00001234"}])", "LUN"},
               {200, R"([{"wwn":"60002AC0000000000000000A00001234","lun":true}])", "LUN"},
               {200, R"({"luns":[]})", "not a list"},
               {200, R"("[]")", "not a list"},
               {200, R"([{"wwn":"6000", "lun": 1},)", "not JSON"},
               {200, std::string(100000, '[') + std::string(100000, ']'), "too deep"}};
  for (const auto& item : cases) {
    stub.answer(item.status, item.body);
    std::vector<TQSO::ExposedVolume> volumes(1);
    std::string error;
    EXPECT_FALSE(source.exposedTo({"p"}, volumes, error)) << item.body.substr(0, 80);
    EXPECT_NE(std::string::npos, error.find(item.why)) << error;
    EXPECT_EQ(1u, volumes.size()) << "the output is untouched on failure";
  }
  std::string error;
  std::vector<TQSO::ExposedVolume> volumes;
  EXPECT_FALSE(TQSO::SimulatorExposureSource("http://127.0.0.1:1", "", "", 1).exposedTo({"p"}, volumes, error));
}

}  // namespace
