// Object path text form, parser, equality and the same-object rule.
#include <gtest/gtest.h>

#include "Pegasus/CIMObjectPath.h"
#include "Pegasus/CIMValue.h"

using namespace Pegasus;

namespace {

struct Key {
  const char* name;
  const char* value;
  CIMKeyBinding::Type type;
};

struct LegalPath {
  const char* text;
  const char* host;
  const char* nameSpace;
  const char* className;
  std::vector<Key> keys;
};

const LegalPath legalPaths[] = {
    {"TPD_StorageVolume", "", "", "TPD_StorageVolume", {}},
    {"vol1", "", "", "vol1", {}},
    {"root/tpd:TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"1234\","
     "SystemCreationClassName=\"TPD_StorageSystem\",SystemName=\"CLUSTER1\"",
     "",
     "root/tpd",
     "TPD_StorageVolume",
     {{"CreationClassName", "TPD_StorageVolume", CIMKeyBinding::STRING},
      {"DeviceID", "1234", CIMKeyBinding::STRING},
      {"SystemCreationClassName", "TPD_StorageSystem", CIMKeyBinding::STRING},
      {"SystemName", "CLUSTER1", CIMKeyBinding::STRING}}},
    // Keys keep their text order, not sorted.
    {"//10.0.0.1:5989/root/tpd:C.Z=5,A=TRUE,M=-0x1F",
     "10.0.0.1:5989",
     "root/tpd",
     "C",
     {{"Z", "5", CIMKeyBinding::NUMERIC},
      {"A", "TRUE", CIMKeyBinding::BOOLEAN},
      {"M", "-0x1F", CIMKeyBinding::NUMERIC}}},
    {"//array.example.com/interop:C.k=\"x\"", "array.example.com", "interop", "C", {{"k", "x", CIMKeyBinding::STRING}}},
    {"//[fe80::1]:5988/root:C", "[fe80::1]:5988", "root", "C", {}},
    // ':' and '.' inside values do not split the path; escapes keep quotes and backslashes.
    {"C.k=\"a:b.c\"", "", "", "C", {{"k", "a:b.c", CIMKeyBinding::STRING}}},
    {"C.k=\"say \\\"hi\\\" \\\\ok\",n=0",
     "",
     "",
     "C",
     {{"k", "say \"hi\" \\ok", CIMKeyBinding::STRING}, {"n", "0", CIMKeyBinding::NUMERIC}}},
    {"C.k=\"\"", "", "", "C", {{"k", "", CIMKeyBinding::STRING}}},
    {"C.b=false", "", "", "C", {{"b", "false", CIMKeyBinding::BOOLEAN}}},
    {"root/tpd:C.r=\"D.x=\\\"1\\\"\"", "", "root/tpd", "C", {{"r", "D.x=\"1\"", CIMKeyBinding::REFERENCE}}},
};

TEST(ObjectPathParse, LegalFormsParseAndRoundTrip) {
  for (const LegalPath& c : legalPaths) {
    SCOPED_TRACE(c.text);
    const CIMObjectPath path(c.text);
    EXPECT_EQ(path.getHost(), String(c.host));
    EXPECT_EQ(path.getNameSpace().getString(), String(c.nameSpace));
    EXPECT_EQ(path.getClassName().getString(), String(c.className));
    ASSERT_EQ(path.getKeyBindings().size(), c.keys.size());
    for (Uint32 i = 0; i < c.keys.size(); ++i) {
      EXPECT_EQ(path.getKeyBindings()[i].getName().getString(), String(c.keys[i].name));
      EXPECT_EQ(path.getKeyBindings()[i].getValue(), String(c.keys[i].value));
      EXPECT_EQ(path.getKeyBindings()[i].getType(), c.keys[i].type);
    }
    EXPECT_EQ(path.toString(), String(c.text));
  }
}

struct MalformedPath {
  const char* text;
  const char* reason;
};

const MalformedPath malformedPaths[] = {
    {"", "class name  not a legal CIM name"},
    {"60002AC0000000000000012300001234", "not a legal CIM name"},
    {"6000.k=1", "not a legal CIM name"},
    {"//host", "missing slash after hostname"},
    {"//bad host/root:C", "invalid hostname"},
    {"//h:port/root:C", "invalid hostname"},
    {"//host/C.k=1", "host specified, missing namespace"},
    {"root//x:C", "invalid namespace name"},
    {"1root:C", "invalid namespace name"},
    {"C.k", "invalid key-value pair, missing equal sign"},
    {"C.", "invalid key-value pair, missing equal sign"},
    {"C.k=1,", "invalid key-value pair, missing equal sign"},
    {"C.1k=1", "invalid key name:1k"},
    {"C.k=\"abc", "missing quote in key value"},
    {"C.k=\"a\\nb\"", "malformed value"},
    {"C.k=True1", "value should be TRUE or FALSE"},
    {"C.k=007", "invalid number value"},
    {"C.k=12abc", "invalid number value"},
    {"C.k=", "invalid number value"},
    {"C.k=\"a\"x", "next key-value pair has to start with comma"},
};

TEST(ObjectPathParse, IllegalTextsThrowMalformedWithReason) {
  for (const MalformedPath& c : malformedPaths) {
    SCOPED_TRACE(c.text);
    try {
      CIMObjectPath path(c.text);
      ADD_FAILURE() << "parsed as " << path.toString();
    } catch (const MalformedObjectNameException& e) {
      const std::string message = e.getMessage().str();
      EXPECT_NE(message.find("malformed object name: "), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

TEST(ObjectPathParse, FailureIsCatchableAsPlainException) {
  try {
    CIMObjectPath path = String("60002AC0000000000000012300001234");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_NE(e.getMessage().find("malformed"), PEG_NOT_FOUND);
  }
}

CIMObjectPath volumePath(const char* host, const char* id) {
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("CreationClassName", "TPD_StorageVolume", CIMKeyBinding::STRING));
  keys.append(CIMKeyBinding("DeviceID", id, CIMKeyBinding::STRING));
  return CIMObjectPath(host, CIMNamespaceName("root/tpd"), CIMName("TPD_StorageVolume"), keys);
}

TEST(ObjectPathText, ReferenceKeysNestEscapedAndRoundTrip) {
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("SyncedElement", volumePath("10.0.0.1", "12").toString(), CIMKeyBinding::REFERENCE));
  keys.append(CIMKeyBinding("SystemElement", volumePath("", "say \"x\"").toString(), CIMKeyBinding::REFERENCE));
  const CIMObjectPath sync("10.0.0.1", CIMNamespaceName("root/tpd"), CIMName("TPD_StorageSynchronized"), keys);

  const String text = sync.toString();
  EXPECT_EQ(text, String("//10.0.0.1/root/tpd:TPD_StorageSynchronized.SyncedElement="
                         "\"//10.0.0.1/root/tpd:TPD_StorageVolume.CreationClassName=\\\"TPD_StorageVolume\\\","
                         "DeviceID=\\\"12\\\"\",SystemElement=\"root/tpd:TPD_StorageVolume.CreationClassName="
                         "\\\"TPD_StorageVolume\\\",DeviceID=\\\"say \\\\\\\"x\\\\\\\"\\\"\""));

  const CIMObjectPath parsed(text);
  EXPECT_EQ(parsed.toString(), text);
  ASSERT_EQ(parsed.getKeyBindings().size(), 2u);
  EXPECT_EQ(parsed.getKeyBindings()[1].getType(), CIMKeyBinding::REFERENCE);
  const CIMObjectPath inner(parsed.getKeyBindings()[1].getValue());
  EXPECT_EQ(inner.getKeyBindings()[1].getValue(), String("say \"x\""));
  EXPECT_TRUE(parsed == sync);
}

TEST(ObjectPathText, PartsAppearOnlyWhenSet) {
  EXPECT_EQ(CIMObjectPath().toString(), String(""));
  EXPECT_TRUE(CIMObjectPath().getClassName().isNull());
  CIMObjectPath path = volumePath("", "1");
  path.setNameSpace(CIMNamespaceName());
  EXPECT_EQ(path.toString(), String("TPD_StorageVolume.CreationClassName=\"TPD_StorageVolume\",DeviceID=\"1\""));
  path.setNameSpace(CIMNamespaceName("root/tpd"));
  EXPECT_EQ(path.toString().subString(0, 9), String("root/tpd:"));
  path.setHost("h");
  EXPECT_EQ(path.toString().subString(0, 13), String("//h/root/tpd:"));
}

struct PathPair {
  const char* a;
  const char* b;
  bool equal;       // operator==
  bool sameObject;  // refersToSameObject
};

const PathPair pathPairs[] = {
    {"root/tpd:C.a=\"x\",b=1", "ROOT/TPD:c.B=1,A=\"x\"", true, true},
    {"C.n=10", "C.n=0xA", true, true},
    {"C.b=true", "C.b=TRUE", true, true},
    {"C.s=\"x\"", "C.s=\"X\"", false, false},
    {"C.n=1", "C.n=\"1\"", false, false},
    {"C.n=1", "C.n=1,m=2", false, false},
    {"//h1/root/tpd:C.n=1", "//h2/root/tpd:C.n=1", false, true},
    {"root/a:C.n=1", "root/b:C.n=1", false, true},
    {"C.n=1", "D.n=1", false, false},
    {"C.r=\"//h/root:D.k=\\\"1\\\"\"", "C.r=\"root:D.k=\\\"1\\\"\"", false, true},
    {"C.r=\"root:D.k=\\\"1\\\",j=2\"", "C.r=\"root:d.J=2,K=\\\"1\\\"\"", true, true},
    // A key named twice: the path equals itself, whichever binding comes first.
    {"C.b=\"y\",b=\"z\"", "C.b=\"y\",b=\"z\"", true, true},
    {"C.b=\"y\",b=\"z\"", "C.b=\"z\",b=\"y\"", true, true},
};

TEST(ObjectPathEquality, PathLikeStringKeySurvivesTextRoundTrip) {
  // The parser reads a quoted value that looks like a path as a reference.
  Array<CIMKeyBinding> keys;
  keys.append(CIMKeyBinding("Tag", "D.k=1", CIMKeyBinding::STRING));
  const CIMObjectPath built(String(), CIMNamespaceName(), CIMName("C"), keys);
  const CIMObjectPath parsed(built.toString());
  EXPECT_EQ(parsed.getKeyBindings()[0].getType(), CIMKeyBinding::REFERENCE);
  EXPECT_TRUE(parsed == built);
  EXPECT_TRUE(refersToSameObject(parsed, built));
  keys[0].setValue("D.k=2");
  EXPECT_FALSE(parsed == CIMObjectPath(String(), CIMNamespaceName(), CIMName("C"), keys));
}

TEST(ObjectPathEquality, OperatorAndSameObjectRule) {
  for (const PathPair& c : pathPairs) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    const CIMObjectPath a(c.a), b(c.b);
    EXPECT_EQ(a == b, c.equal);
    EXPECT_EQ(b == a, c.equal);
    EXPECT_EQ(refersToSameObject(a, b), c.sameObject);
    EXPECT_EQ(refersToSameObject(b, a), c.sameObject);
  }
}

TEST(KeyBinding, FromValueDerivesKind) {
  EXPECT_EQ(CIMKeyBinding("k", CIMValue(String("s"))).getType(), CIMKeyBinding::STRING);
  EXPECT_EQ(CIMKeyBinding("k", CIMValue(true)).getValue(), String("TRUE"));
  EXPECT_EQ(CIMKeyBinding("k", CIMValue(true)).getType(), CIMKeyBinding::BOOLEAN);
  EXPECT_EQ(CIMKeyBinding("k", CIMValue(Sint32(-5))).getType(), CIMKeyBinding::NUMERIC);
  const CIMKeyBinding ref("k", CIMValue(volumePath("", "1")));
  EXPECT_EQ(ref.getType(), CIMKeyBinding::REFERENCE);
  EXPECT_EQ(CIMObjectPath(ref.getValue()), volumePath("", "1"));
  EXPECT_THROW(CIMKeyBinding("k", CIMValue(Array<String>())), TypeMismatchException);
  EXPECT_THROW(CIMKeyBinding("k", CIMValue(CIMTYPE_STRING, false)), TypeMismatchException);
}

}  // namespace
