// The pool of a prepared replica on providers the simulated 3PAR array does not stand for, over CIM-XML
// against a scripted CIMOM: a source volume in no pool, and a named pool looked for on IBM SVC (any system,
// whole name) and on the other families (the named array's pools only, a name that contains it taken too).
#include "support/ScriptedFamilyFixture.h"

namespace smisactiontest {
namespace {

using Pegasus::CIMObjectPath;

class PrepareReplicaPoolTest : public ScriptedFamilyTest {
 protected:
  // Pools of the provider, in the order it lists them.
  void ServePools(const std::string& prefix, const std::vector<std::pair<std::string, std::string>>& idsAndNames) {
    std::vector<Pegasus::CIMInstance> pools;
    for (const auto& pool : idsAndNames)
      pools.push_back(FamilyInstance(FamilyPath(prefix + "_StoragePool", {{"InstanceID", pool.first}}),
                                     {{"ElementName", pool.second}}));
    cimom_.SetInstances("CIM_StoragePool", pools);
  }

  // The prepared vector for a snapshot of `source` on `system`, with the optional pool name.
  bool Prepare(const std::string& system, const CIMObjectPath& source, const char* poolName,
               std::vector<std::string>& out) {
    SmisArgs args = {system, "snap", "4", source.toString().str(), "null"};
    if (poolName) args.push_back(poolName);
    return action_.PrepareCreateReplica(conn_, args, out);
  }

  std::string InstanceIdOf(const std::string& text) {
    CIMObjectPath path{Pegasus::String(text)};
    return action_.GetPropByObjPath(path, "InstanceID");
  }
};

TEST_F(PrepareReplicaPoolTest, ASourceInNoPoolIsPreparedWithoutOne) {
  ConfigService("HPEVA", "EVA1");
  CIMObjectPath source = Volume("HPEVA", "EVA1", "vdisk1");
  std::vector<std::string> out;
  ASSERT_TRUE(Prepare("EVA1", source, nullptr, out));
  ASSERT_EQ(6u, out.size());
  EXPECT_EQ("null", out[4]);
  EXPECT_EQ("null", out[5]);
  EXPECT_EQ(1, CountMessages(record_, "Pool CIM_StoragePool: not found for Storage Volume " + out[3]));
  EXPECT_EQ(1, cimom_.Requests("AssociatorNames"));
  EXPECT_TRUE(cimom_.Calls().empty());
}

// IBM SVC pool names are unique on the provider: any cluster's pool, whole name, case ignored. Elsewhere only
// the named array's pools count, and the first whose name equals the given one ignoring case or contains it
// (case counting) is taken.
TEST_F(PrepareReplicaPoolTest, NamedPoolsByVendor) {
  struct Case {
    const char* prefix;
    const char* name;
    const char* pool;  // InstanceID of the pool taken; nullptr: none found
  };
  const Case cases[] = {
      {"IBMTSSVC", "MDISKGRP0", "CL2:mdiskgrp0"},
      {"IBMTSSVC", "mdiskgrp", nullptr},
      {"HPEVA", "Gold", "EVA1:pool-reserve"},
      {"HPEVA", "GOLD", "EVA1:pool-gold"},
      {"HPEVA", "Reserve", "EVA1:pool-reserve"},
      {"HPEVA", "reserve", nullptr},
      {"HPEVA", "Silver", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + " " + c.name);
    const std::string prefix = c.prefix;
    const std::string system = prefix == "HPEVA" ? "EVA1" : "CL1";
    ConfigService(prefix, system);
    if (prefix == "HPEVA")
      ServePools(prefix,
                 {{"EVA2:pool-gold", "Gold"}, {"EVA1:pool-reserve", "Gold Reserve"}, {"EVA1:pool-gold", "gold"}});
    else
      ServePools(prefix, {{"CL2:mdiskgrp0", "mdiskgrp0"}, {"CL1:mdiskgrp0_big", "mdiskgrp0_big"}});
    record_.clearMessages();
    std::vector<std::string> out;
    EXPECT_EQ(c.pool != nullptr, Prepare(system, Volume(prefix, system, "v1"), c.name, out));
    if (c.pool) {
      ASSERT_EQ(6u, out.size());
      EXPECT_EQ(c.pool, InstanceIdOf(out[5]));
    } else {
      EXPECT_TRUE(out.empty());
      EXPECT_EQ(1, CountMessages(record_, std::string("Class CIM_StoragePool: name ") + c.name + " not found"));
    }
  }
}

}  // namespace
}  // namespace smisactiontest
