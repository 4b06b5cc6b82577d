// Fixture: a test server seeded with kSmallSeed and the project's client connected to it.
#pragma once
#include <gtest/gtest.h>

#include "support/Seeds.h"
#include "support/SimClient.h"

namespace simtest {

class SmallArrayTest : public ::testing::Test {
 protected:
  SmallArrayTest() : server(smallArray()) { connectTo(client, server); }

  smissim::TestServer server;
  CIMClient client;
};

}  // namespace simtest
