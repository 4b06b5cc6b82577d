// CIMValue typing, null handling and text; names; instances; arrays.
#include <gtest/gtest.h>

#include "Pegasus/CIMInstance.h"
#include "Pegasus/CIMObject.h"
#include "Pegasus/CIMPropertyList.h"
#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/CIMValueText.h"

using namespace Pegasus;

namespace {

struct TextCase {
  CIMValue value;
  const char* text;
};

TEST(ValueText, EveryTypeAndArrayForm) {
  Array<Uint16> shorts;
  shorts.append(2);
  shorts.append(32768);
  Array<String> strings;
  strings.append("a b");
  strings.append("");
  Array<Char16> chars;
  chars.append(0x41);
  chars.append(0xE9);
  const TextCase cases[] = {
      {CIMValue(), ""},
      {CIMValue(CIMTYPE_UINT32, false), ""},
      {CIMValue(CIMTYPE_STRING, true), ""},
      {CIMValue(true), "TRUE"},
      {CIMValue(false), "FALSE"},
      {CIMValue(Uint8(255)), "255"},
      {CIMValue(Sint8(-128)), "-128"},
      {CIMValue(Uint16(65535)), "65535"},
      {CIMValue(Sint16(-32768)), "-32768"},
      {CIMValue(Uint32(4294967295u)), "4294967295"},
      {CIMValue(Sint32(-7)), "-7"},
      {CIMValue(Uint64(18446744073709551615ull)), "18446744073709551615"},
      {CIMValue(Sint64(-9223372036854775807ll - 1)), "-9223372036854775808"},
      {CIMValue(Real32(1.5f)), "1.5000000e+00"},
      {CIMValue(Real64(-0.1)), "-1.0000000000000001e-01"},
      {CIMValue::fromChar16(0xE9), "\xC3\xA9"},
      {CIMValue(String(" raw \"text\" ")), " raw \"text\" "},
      {CIMValue(CIMDateTime("20240101120000.000000+000")), "20240101120000.000000+000"},
      {CIMValue(CIMObjectPath("root/tpd:C.k=\"v\"")), "root/tpd:C.k=\"v\""},
      {CIMValue(shorts), "2 32768 "},
      {CIMValue(strings), "a b  "},
      {CIMValue(Array<Uint32>()), ""},
      {CIMValue::fromChar16Array(chars), "A \xC3\xA9 "},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value.toString(), String(c.text));
  }
}

TEST(ValueGet, StrictTypeAndArrayness) {
  String s = "unchanged";
  EXPECT_THROW(CIMValue(Uint16(1)).get(s), TypeMismatchException);
  Array<String> strings;
  EXPECT_THROW(CIMValue(String("x")).get(strings), TypeMismatchException);
  Uint32 u32 = 0;
  EXPECT_THROW(CIMValue(Uint16(1)).get(u32), TypeMismatchException);
  Uint16 u16 = 0;
  EXPECT_THROW(CIMValue::fromChar16('a').get(u16), TypeMismatchException);
  Char16 c = 0;
  EXPECT_THROW(CIMValue(Uint16(1)).getChar16(c), TypeMismatchException);
  // A mismatch is an Exception with the documented text.
  try {
    CIMValue(Sint32(1)).get(u32);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.getMessage(), String("type mismatch"));
  }

  CIMValue(Uint16(7)).get(u16);
  EXPECT_EQ(u16, 7);
  CIMValue::fromChar16('z').getChar16(c);
  EXPECT_EQ(c, 'z');
  CIMObjectPath path;
  CIMValue(CIMObjectPath("C.k=1")).get(path);
  EXPECT_EQ(path.toString(), String("C.k=1"));
}

TEST(ValueGet, NullLeavesTargetUnchangedButStillChecksType) {
  CIMValue value;
  value.setNullValue(CIMTYPE_STRING, false);
  String s = "keep";
  value.get(s);
  EXPECT_EQ(s, String("keep"));
  Uint32 n = 9;
  EXPECT_THROW(value.get(n), TypeMismatchException);

  value.setNullValue(CIMTYPE_UINT16, true);
  EXPECT_TRUE(value.isNull());
  EXPECT_TRUE(value.isArray());
  EXPECT_EQ(value.getType(), CIMTYPE_UINT16);
  Array<Uint16> list;
  list.append(1);
  value.get(list);
  EXPECT_EQ(list.size(), 1u);
}

TEST(ValueFromText, TypedScalarsAndArrays) {
  Array<Uint8> bytes;
  bytes.append(1);
  bytes.append(255);
  Array<CIMObjectPath> paths;
  paths.append(CIMObjectPath("C.k=\"1\""));
  paths.append(CIMObjectPath("C.k=\"2\""));
  EXPECT_EQ(CIMValue(Uint16(70)), cimValueFromText(CIMTYPE_UINT16, false, {" 70 "}));
  EXPECT_EQ(CIMValue(true), cimValueFromText(CIMTYPE_BOOLEAN, false, {"true"}));
  EXPECT_EQ(CIMValue::fromChar16(0xE9), cimValueFromText(CIMTYPE_CHAR16, false, {"\xC3\xA9"}));
  EXPECT_EQ(CIMValue(bytes), cimValueFromText(CIMTYPE_UINT8, true, {"1", "255"}));
  EXPECT_EQ(CIMValue(Array<String>()), cimValueFromText(CIMTYPE_STRING, true, {}));
  EXPECT_EQ(CIMValue(paths), cimValueFromText(CIMTYPE_REFERENCE, true, {"C.k=\"1\"", "C.k=\"2\""}));
}

TEST(ValueFromText, RefusalNamesTheTextAndType) {
  struct Case {
    CIMType type;
    std::vector<std::string> elements;
    const char* message;
  };
  const Case cases[] = {
      {CIMTYPE_UINT8, {"1", "256"}, "\"256\" is not a valid uint8"},
      {CIMTYPE_SINT32, {"1.5"}, "\"1.5\" is not a valid sint32"},
      {CIMTYPE_REAL64, {"1e999"}, "\"1e999\" is not a valid real64"},
      {CIMTYPE_DATETIME, {"yesterday"}, "\"yesterday\" is not a valid datetime"},
      {CIMTYPE_REFERENCE, {"60002AC0"}, "malformed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      cimValueFromText(c.type, true, c.elements);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_NE(std::string::npos, e.getMessage().str().find(c.message)) << e.getMessage().str();
    }
  }
}

TEST(ValueEquality, TypeNullnessAndElementsCount) {
  EXPECT_EQ(CIMValue(Uint16(1)), CIMValue(Uint16(1)));
  EXPECT_NE(CIMValue(Uint16(1)), CIMValue(Uint32(1)));
  EXPECT_NE(CIMValue(Uint16(1)), CIMValue::fromChar16(1));
  EXPECT_NE(CIMValue(CIMTYPE_STRING, false), CIMValue(String()));
  EXPECT_NE(CIMValue(CIMTYPE_STRING, true), CIMValue(Array<String>()));
  EXPECT_EQ(CIMValue(CIMObjectPath("C.k=1,j=\"x\"")), CIMValue(CIMObjectPath("c.J=\"x\",K=1")));
}

TEST(Names, CaseInsensitiveNullAndIllegal) {
  EXPECT_EQ(CIMName("TPD_StorageVolume"), CIMName("tpd_storagevolume"));
  EXPECT_TRUE(CIMName("").isNull());
  EXPECT_TRUE(CIMName(String()).isNull());
  EXPECT_THROW(CIMName("1abc"), InvalidNameException);
  EXPECT_THROW(CIMName("a-b"), InvalidNameException);
  EXPECT_EQ(CIMNamespaceName("/root/tpd").getString(), String("root/tpd"));
  EXPECT_EQ(CIMNamespaceName("root/tpd"), CIMNamespaceName("ROOT/TPD"));
  for (const char* bad : {"", "root/", "root//tpd", "root tpd", "9root"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(CIMNamespaceName{String(bad)}, InvalidNamespaceNameException);
  }
}

TEST(DateTime, AcceptsTimestampsAndIntervalsOnly) {
  for (const char* good : {"20240101120000.000000+000", "20240101120000.000000-300", "00000001020304.000005:000",
                           "2024**********.******+000"}) {
    EXPECT_TRUE(CIMDateTime::legal(good)) << good;
  }
  for (const char* bad : {"", "20240101120000.000000+00", "20240101120000,000000+000", "2024010112000a.000000+000",
                          "00000001020304.000005:001", "20240101120000.000000*000"}) {
    EXPECT_FALSE(CIMDateTime::legal(bad)) << bad;
  }
  EXPECT_THROW(CIMDateTime("yesterday"), InvalidDateTimeFormatException);
  EXPECT_TRUE(CIMDateTime("00000001020304.000005:000").isInterval());
}

TEST(Instance, DefaultIsValidEmptyAndIndexingIsChecked) {
  const CIMInstance empty;
  EXPECT_TRUE(empty.getClassName().isNull());
  EXPECT_EQ(empty.getClassName().getString().size(), 0u);
  EXPECT_EQ(empty.getPropertyCount(), 0u);
  EXPECT_THROW(empty.getProperty(0), IndexOutOfBoundsException);
  EXPECT_EQ(empty.findProperty("x"), PEG_NOT_FOUND);

  CIMInstance volume(CIMName("TPD_StorageVolume"));
  volume.addProperty(CIMProperty("DeviceID", CIMValue(String("12"))));
  volume.addProperty(CIMProperty("BlockSize", CIMValue(Uint64(512))));
  EXPECT_EQ(volume.findProperty("blocksize"), 1u);
  EXPECT_THROW(volume.addProperty(CIMProperty("DEVICEID", CIMValue(String("x")))), AlreadyExistsException);
  EXPECT_THROW(volume.getProperty(2), IndexOutOfBoundsException);
  volume.removeProperty(0);
  EXPECT_EQ(volume.findProperty("BlockSize"), 0u);
  EXPECT_THROW(volume.removeProperty(1), IndexOutOfBoundsException);
}

TEST(Instance, ObjectConversionKeepsPathAndProperties) {
  CIMInstance instance(CIMName("C"));
  instance.addProperty(CIMProperty("p", CIMValue(Uint32(3))));
  instance.setPath(CIMObjectPath("//h/root:C.k=1"));
  const CIMObject object(instance);
  EXPECT_EQ(object.getPath().toString(), String("//h/root:C.k=1"));
  EXPECT_EQ(CIMInstance(object), instance);
}

TEST(Instance, BuildsKeyBindingsInRequestedOrder) {
  CIMInstance instance(CIMName("C"));
  instance.addProperty(CIMProperty("Name", CIMValue(String("n"))));
  instance.addProperty(CIMProperty("Id", CIMValue(Uint16(4))));
  instance.addProperty(CIMProperty("Missing", CIMValue(CIMTYPE_STRING, false)));
  Array<CIMName> names;
  names.append("id");
  names.append("Missing");
  names.append("NAME");
  const CIMObjectPath path(String(), CIMNamespaceName(), instance.getClassName(), instance.buildKeyBindings(names));
  EXPECT_EQ(path.toString(), String("C.Id=4,Name=\"n\""));
}

TEST(PropertyList, NullDiffersFromEmpty) {
  const CIMPropertyList all;
  const CIMPropertyList none{Array<CIMName>()};
  EXPECT_TRUE(all.isNull());
  EXPECT_FALSE(none.isNull());
  EXPECT_TRUE(all.includes("Anything"));
  EXPECT_FALSE(none.includes("Anything"));
}

TEST(ArrayType, BoundsCheckedEditing) {
  Array<String> a;
  EXPECT_THROW(a[0], IndexOutOfBoundsException);
  a.append("x");
  a.append("y");
  a.append("z");
  a.remove(0, 2);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0], String("z"));
  EXPECT_THROW(a.remove(0, 2), IndexOutOfBoundsException);
  EXPECT_THROW(a.remove(2), IndexOutOfBoundsException);
  Array<Boolean> flags;
  flags.append(false);
  flags[0] = true;
  for (Boolean f : flags) EXPECT_TRUE(f);
}

TEST(TypeAndStatusNames, KnownAndUnknown) {
  EXPECT_STREQ(cimTypeToString(CIMTYPE_REFERENCE), "reference");
  EXPECT_STREQ(cimTypeToString(CIMTYPE_UINT16), "uint16");
  EXPECT_EQ(static_cast<int>(CIMTYPE_REFERENCE), 14);
  CIMType type = CIMTYPE_BOOLEAN;
  EXPECT_TRUE(cimTypeFromString("datetime", type));
  EXPECT_EQ(type, CIMTYPE_DATETIME);
  EXPECT_FALSE(cimTypeFromString("Uint8", type));
  EXPECT_EQ(cimStatusCodeToString(CIM_ERR_NOT_FOUND), String("CIM_ERR_NOT_FOUND"));
  EXPECT_EQ(cimStatusCodeToString(CIMStatusCode(99)), String("Unrecognized CIM status code"));
}

TEST(StringType, CaseHelpersAndSubString) {
  EXPECT_TRUE(String::equalNoCase("Snapshot", "SNAPSHOT"));
  EXPECT_FALSE(String::equalNoCase("Snapshot", "Snapshots"));
  EXPECT_LT(String::compareNoCase("abc", "ABD"), 0);
  EXPECT_EQ(String("abcdef").subString(2, 3), String("cde"));
  EXPECT_EQ(String("abc").subString(5), String(""));
  String s("MiXeD");
  s.toLower();
  EXPECT_EQ(s, String("mixed"));
}

}  // namespace
