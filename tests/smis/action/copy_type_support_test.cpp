// Whether the simulated 3PAR array offers a copy type, read from its replication capabilities, and what
// capabilities the table does not know or cannot read give.
#include "support/SmisActionFixture.h"

namespace smisactiontest {
namespace {

class CopyTypeSupportTest : public SmisActionTest {
 protected:
  // One more capabilities instance on the provider declaring `value`.
  void AddCapabilities(const std::string& id, const Pegasus::CIMValue& value) {
    sim().withModel([&](smissim::Model& model) {
      Pegasus::CIMInstance capabilities{Pegasus::CIMName("TPD_StorageReplicationCapabilities")};
      capabilities.addProperty(
          Pegasus::CIMProperty(Pegasus::CIMName("InstanceID"), Pegasus::CIMValue(Pegasus::String(id))));
      capabilities.addProperty(Pegasus::CIMProperty(Pegasus::CIMName("SupportedSynchronizationType"), value));
      Pegasus::Array<Pegasus::CIMKeyBinding> keys;
      keys.append(
          Pegasus::CIMKeyBinding(Pegasus::CIMName("InstanceID"), Pegasus::String(id), Pegasus::CIMKeyBinding::STRING));
      capabilities.setPath(Pegasus::CIMObjectPath("", Pegasus::CIMNamespaceName(),
                                                  Pegasus::CIMName("TPD_StorageReplicationCapabilities"), keys));
      model.store().put(capabilities);
    });
  }

  SmisResultCode Ask(const std::string& copyType) {
    SmisArgs args = {SystemName(), copyType};
    return action_.IsCopyTypeSupported(conn_, args);
  }
};

// The array declares synchronization types 5 and 6: 6 reads as a snapshot copy, 5 as copy type 3.
TEST_F(CopyTypeSupportTest, CapabilitiesDecideWithoutMethodCall) {
  const struct {
    const char* copyType;
    SmisResultCode result;
  } cases[] = {{"4", kSmisSuccess}, {"3", kSmisSuccess}, {"5", kSmisFailed}, {"6", kSmisFailed}, {"99", kSmisFailed}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.copyType);
    EXPECT_EQ(c.result, Ask(c.copyType));
  }
  EXPECT_EQ(0u, sim().methodCalls().size());
  EXPECT_EQ(1, CountMessages(record_, "Copy type <5> is not supported by the system <" + SystemName() + ">"));
  EXPECT_EQ(1, CountMessages(record_, "Copy type <4> is supported by the system"));
}

TEST_F(CopyTypeSupportTest, AnyCapabilitiesOnTheProviderCountAndValuesBeyondTheTableMatchNothing) {
  AddCapabilities("beyond", Pegasus::CIMValue(Pegasus::Uint16(12)));
  AddCapabilities("max", Pegasus::CIMValue(Pegasus::Uint16(65535)));
  EXPECT_EQ(kSmisFailed, Ask("5"));
  AddCapabilities("clone", Pegasus::CIMValue(Pegasus::Uint16(8)));
  EXPECT_EQ(kSmisSuccess, Ask("5"));
}

TEST_F(CopyTypeSupportTest, UnreadableCapabilitiesGiveOne) {
  Pegasus::Array<Pegasus::Uint16> several;
  several.append(6);
  several.append(8);
  AddCapabilities("array", Pegasus::CIMValue(several));
  // Instances come in store order; the unreadable one ends the scan.
  EXPECT_EQ(kSmisFailed, Ask("99"));
  EXPECT_EQ(1, CountMessages(record_, "Caught Exception"));
}

TEST_F(CopyTypeSupportTest, UnknownArrayOrShortArgumentsFetchNoCapabilities) {
  SmisArgs unknown = {"2FF70002ACFFFFFF", "4"};
  EXPECT_EQ(kSmisObjectNotFound, action_.IsCopyTypeSupported(conn_, unknown));
  SmisArgs shortArgs = {SystemName()};
  EXPECT_EQ(kSmisTooFewArguments, action_.IsCopyTypeSupported(conn_, shortArgs));
  EXPECT_EQ(0u, Requests("EnumerateInstances"));
  EXPECT_EQ(1, CountMessages(record_, "SystemName <2FF70002ACFFFFFF> not found"));
  EXPECT_EQ(1, CountMessages(record_, "chkcopysup: Insufficient params specified"));
}

}  // namespace
}  // namespace smisactiontest
