// HTTPS as older array firmware serves it: TLS 1.0 only, with the old cipher list.
#include <gtest/gtest.h>
#include <httplib.h>

#include "support/SimClient.h"

using namespace Pegasus;
using namespace simtest;

namespace {

// The project's client still gets through, and other clients see that
// nothing newer is offered.
TEST(OldFirmwareTls, ClientFallsBackToTls10AndNewerProtocolsAreRefused) {
  smissim::SimulatorOptions options;
  options.https = options.oldTls = true;
  smissim::TestServer server(options);
  CIMClient client;
  connectTo(client, server);
  EXPECT_EQ(4u, client.enumerateInstanceNames(tpd(), "CIM_StorageVolume").size());

  httplib::SSLClient modern("127.0.0.1", server.port());
  modern.enable_server_certificate_verification(false);
  EXPECT_FALSE(modern.Get("/control/health")) << "a TLS 1.2 client must not get through";
}

}  // namespace
