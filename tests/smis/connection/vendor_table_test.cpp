#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "TQProviderVendor.h"

namespace {

struct ClassNameCase {
  const char* className;
  int expected;
};

// Test output names the case, not its bytes.
void PrintTo(const ClassNameCase& c, std::ostream* os) { *os << "class \"" << c.className << "\""; }

class VendorIdTest : public ::testing::TestWithParam<ClassNameCase> {};

TEST_P(VendorIdTest, FirstSelectingTextInOrderDecides) {
  EXPECT_EQ(TQProviderVendor::GetVendorId(std::string(GetParam().className)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ClassNames, VendorIdTest,
    ::testing::Values(ClassNameCase{"HPEVA_StorageVolume", 1}, ClassNameCase{"HPXP_StorageVolume", 2},
                      ClassNameCase{"LSISSI_StorageSystem", 8}, ClassNameCase{"DCIM_StorageVolume", 9},
                      ClassNameCase{"IBMTSSVC_Cluster", 10}, ClassNameCase{"3PAR_Thing", 11},
                      ClassNameCase{"TPD_StorageSynchronized", 11}, ClassNameCase{"FUJITSU_StorageVolume", 12},
                      ClassNameCase{"Symm_StorageSystem", 7}, ClassNameCase{"Clar_SE_Thing", 7},
                      ClassNameCase{"NETAPP_Volume", 13}, ClassNameCase{"CIM_StorageVolume", 14}, ClassNameCase{"", 14},
                      ClassNameCase{"hpeva_storagevolume", 14}, ClassNameCase{"XHPXP_TPD_Mixed", 2},
                      ClassNameCase{"TPD_SE_Both", 11}, ClassNameCase{"NETAPP_SE_Both", 7},
                      ClassNameCase{"LSISSI_HPEVA_", 1}));

TEST(VendorTableTest, PathsAreJudgedByTheirClassNameOnly) {
  const Pegasus::CIMObjectPath path("//symm-host/root/emc:TPD_StorageVolume.DeviceID=\"HPEVA_1\"");
  EXPECT_EQ(TQProviderVendor::GetVendorId(path), TQ_VENDOR_HP_3PAR);
  EXPECT_EQ(TQProviderVendor::GetVendorPrefix(path), "3PAR");
  EXPECT_EQ(TQProviderVendor::GetVendorNameSpace(path), "root/tpd");
  EXPECT_EQ(TQProviderVendor::GetVendorId(Pegasus::CIMObjectPath()), TQ_VENDOR_NONE);
  EXPECT_EQ(TQProviderVendor::GetVendorPrefix(Pegasus::CIMObjectPath()), "");
}

struct RowCase {
  int id;
  const char* prefix;
  const char* nameSpace;
};

// Test output names the case, not its bytes.
void PrintTo(const RowCase& c, std::ostream* os) { *os << "vendor " << c.id; }

class VendorRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(VendorRowTest, PrefixAndNamespaceOfId) {
  const TQ_PROVIDER_VENDOR vendor = static_cast<TQ_PROVIDER_VENDOR>(GetParam().id);
  EXPECT_EQ(TQProviderVendor::GetVendorPrefix(vendor), GetParam().prefix);
  EXPECT_EQ(TQProviderVendor::GetVendorNameSpace(vendor), GetParam().nameSpace);
}

INSTANTIATE_TEST_SUITE_P(Ids, VendorRowTest,
                         ::testing::Values(RowCase{1, "HPEVA", "root/eva"}, RowCase{2, "HPXP", "root/xp"},
                                           RowCase{7, "EMC", "root/emc"}, RowCase{8, "LSISSI", "root/LsiArray13"},
                                           RowCase{9, "DCIM", "root/DCIM/MDStorageArray13"},
                                           RowCase{10, "IBMTSSVC", "root/ibm"}, RowCase{11, "3PAR", "root/tpd"},
                                           RowCase{12, "FUJITSU", "root/eternus"},
                                           RowCase{13, "NETAPP", "root/netapp/santricity"}, RowCase{14, "", ""},
                                           RowCase{3, "", ""}, RowCase{6, "", ""}, RowCase{0, "", ""},
                                           RowCase{-1, "", ""}));

TEST(VendorTableTest, BothTablesDescribeTheSameVendorsRowByRow) {
  const int expectedIds[kTqVendorRows] = {1, 2, 8, 9, 10, 11, 12, 7, 13};
  for (int row = 0; row < kTqVendorRows; ++row) {
    EXPECT_EQ(vInfo[row].id, expectedIds[row]) << "row " << row;
    EXPECT_EQ(nInfo[row].id, expectedIds[row]) << "row " << row;
  }
}

}  // namespace
