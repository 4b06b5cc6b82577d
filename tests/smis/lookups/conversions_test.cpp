// Conversions around SMI-S method calls: return values of each CIM type, output parameters, error texts,
// list splitting, and the methods of a class definition.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EvDebug.h"
#include "Pegasus/Exception.h"
#include "SnapInfo.h"
#include "TqCimUtil.h"

using namespace Pegasus;

namespace {

struct RetValCase {
  const char* what;
  CIMValue value;
  unsigned int expected;
};

TEST(CimUtilConvert, ReturnValueOfEachType) {
  const std::vector<RetValCase> cases = {
      {"uint32", CIMValue(Uint32(4096)), 4096u},
      {"uint32 zero", CIMValue(Uint32(0)), 0u},
      {"sint32 keeps its bits", CIMValue(Sint32(-1)), 0xFFFFFFFFu},
      {"string of digits", CIMValue(String("4096")), 4096u},
      {"string with leading number", CIMValue(String("32768 busy")), 32768u},
      {"string without a number", CIMValue(String("failed")), 99999u},
      {"empty string", CIMValue(String("")), 99999u},
      {"uint16 is not read", CIMValue(Uint16(0)), 99999u},
      {"uint64 is not read", CIMValue(Uint64(1)), 99999u},
      {"boolean is not read", CIMValue(true), 99999u},
      {"reference is not read", CIMValue(CIMObjectPath("TPD_StorageVolume.DeviceID=\"1\"")), 99999u},
  };
  TqCimUtil util;
  EvDebugCapture capture;
  for (const RetValCase& c : cases) EXPECT_EQ(c.expected, util.GetRetVal(c.value)) << c.what;
  EXPECT_TRUE(capture.contains("RetCimVal type = uint16"));
}

CIMParamValue Param(const char* name, const CIMValue& value) { return CIMParamValue(name, value); }

TEST(CimUtilConvert, TargetElementTakesOnlyReferencesOfTheExactNames) {
  CIMObjectPath created("//h/root/tpd:TPD_StorageVolume.DeviceID=\"60002AC0000000000000000100001234\"");
  CIMObjectPath other("TPD_StorageVolume.DeviceID=\"other\"");
  TqCimUtil util;

  Array<CIMParamValue> stringTyped{Param("TargetElement", CIMValue(String(other.toString()))),
                                   Param("targetelement", CIMValue(other)), Param("TheElement", CIMValue(created))};
  EXPECT_EQ(created.toString(), util.GetTargetElementHandle(stringTyped).toString());

  Array<CIMParamValue> first{Param("Job", CIMValue(other)), Param("TargetElement", CIMValue(created)),
                             Param("TheElement", CIMValue(other))};
  EXPECT_EQ(created.toString(), util.GetTargetElementHandle(first).toString());

  Array<CIMParamValue> none{Param("Job", CIMValue(created))};
  EXPECT_TRUE(util.GetTargetElementHandle(none).toString().isEmpty());
}

TEST(CimUtilConvert, TypedNullValues) {
  TqCimUtil util;
  CIMValue scalar = util.MakeCimNullVal(CIMTYPE_UINT16, false);
  EXPECT_TRUE(scalar.isNull());
  EXPECT_EQ(CIMTYPE_UINT16, scalar.getType());
  EXPECT_FALSE(scalar.isArray());
  CIMValue list = util.MakeCimNullVal(CIMTYPE_REFERENCE, true);
  EXPECT_TRUE(list.isNull());
  EXPECT_EQ(CIMTYPE_REFERENCE, list.getType());
  EXPECT_TRUE(list.isArray());
}

TEST(CimUtilConvert, ParameterTracesAtTheChosenLevel) {
  TQSO::SnapInfo record;
  TqCimUtil util;
  util.m_SnapInfo = &record;
  Array<CIMParamValue> params{Param("Job", CIMValue(CIMObjectPath("TPD_ConcreteJob.InstanceID=\"J1\""))),
                              Param("Size", CIMValue(Uint64(1024)))};
  util.PrintParamSet(params, false);
  util.PrintParamSet(params, true);
  std::vector<TQSO::JobMessage> messages = record.messages();
  ASSERT_EQ(4u, messages.size());
  EXPECT_EQ("SMIS::PrintParamSet: Returned params[0] <Job> <reference> = TPD_ConcreteJob.InstanceID=\"J1\"",
            messages[0].text);
  EXPECT_EQ("SMIS::PrintParamSet: Returned params[1] <Size> <uint64> = 1024", messages[1].text);
  EXPECT_EQ(0, messages[0].level);
  EXPECT_EQ(0, messages[1].level);
  EXPECT_EQ(2, messages[2].level);
  EXPECT_EQ(2, messages[3].level);

  record.clearMessages();
  Array<CIMParamValue> empty;
  util.PrintParamSet(empty, true);
  EXPECT_TRUE(record.messages().empty());
}

struct ErrorTextCase {
  unsigned int code;
  const char* method;
  const char* expected;
};

TEST(CimUtilConvert, ErrorTexts) {
  static const SmisErrorText_t table[] = {
      {4, "Failed"},
      {5, "*CreateReplica Source busy,ModifySynchronization Pair broken,ReturnToStoragePool"},
      {6, "*EmptyText ,Other x"},
      {0, "never reached"},
      {7, "after the end"},
  };
  const std::vector<ErrorTextCase> cases = {
      {4, "AnyMethod", "Failed"},
      {5, "CreateReplica", "Source busy"},
      {5, "ModifySynchronization", "Pair broken"},
      {5, "ReturnToStoragePool", "SMI-S Method specific error code.."},  // name at the very end
      {5, "Unknown", "Error code not found!"},
      {5, "createreplica", "Error code not found!"},  // method names compare with case
      {6, "EmptyText", "SMI-S Method specific error code.."},
      {7, "AnyMethod", "Error code not found!"},  // rows after the terminator are not searched
      {99, "AnyMethod", "Error code not found!"},
  };
  TqCimUtil util;
  util.SetErrorTextTable(table);
  for (const ErrorTextCase& c : cases)
    EXPECT_EQ(c.expected, util.GetErrorMessage(c.code, c.method)) << c.code << " " << c.method;

  TqCimUtil withoutTable;
  EXPECT_EQ("Error code not found!", withoutTable.GetErrorMessage(4, "AnyMethod"));
  util.SetErrorTextTable(nullptr);
  EXPECT_EQ("Error code not found!", util.GetErrorMessage(4, "AnyMethod"));
}

struct SplitCase {
  const char* text;
  char delimiter;
  std::vector<std::string> pieces;
};

TEST(CimUtilConvert, ListSplitting) {
  const std::string longPiece(5000, 'w');
  const std::vector<SplitCase> cases = {
      {",a,,b,", ',', {"a", "b"}},
      {"", ',', {}},
      {",,,", ',', {}},
      {" a , b ", ',', {" a ", " b "}},
      {"single", ',', {"single"}},
      {"3.1.2", '.', {"3", "1", "2"}},
      {"a,b", '.', {"a,b"}},
  };
  TqCimUtil util;
  for (const SplitCase& c : cases) {
    EXPECT_EQ(c.pieces, util.Tokenize(c.text, c.delimiter)) << "[" << c.text << "]";
    EXPECT_EQ(c.pieces, util.StringToVector(c.text, c.delimiter)) << "[" << c.text << "]";
    Array<String> strings = util.InputToStringArray(c.text, c.delimiter);
    ASSERT_EQ(c.pieces.size(), strings.size()) << "[" << c.text << "]";
    for (Uint32 i = 0; i < strings.size(); ++i) EXPECT_EQ(c.pieces[i], strings[i].str());
  }
  // A piece is never cut, however long.
  EXPECT_EQ(std::vector<std::string>({"x", longPiece}), util.Tokenize("x," + longPiece, ','));
}

TEST(CimUtilConvert, NumberListsNarrowTo16Bits) {
  TqCimUtil util;
  Array<unsigned short> numbers = util.InputToIntArray("2,,32768,70000,abc,-1, 7", ',');
  std::vector<unsigned short> actual(numbers.begin(), numbers.end());
  EXPECT_EQ(std::vector<unsigned short>({2, 32768, 4464, 0, 65535, 7}), actual);
}

TEST(CimUtilConvert, StringListsKeepOrderAndDuplicates) {
  TqCimUtil util;
  Array<String> fromVector = util.StrVectorToStrArray({"b", "a", "b", ""});
  Array<String> fromList = util.StrListToStrArray({"b", "a", "b", ""});
  ASSERT_EQ(4u, fromVector.size());
  EXPECT_EQ(fromVector, fromList);
  EXPECT_EQ("b", fromVector[2].str());
  EXPECT_EQ("", fromVector[3].str());
}

TEST(CimUtilMethods, DescribesMethodsAndFindsByExactName) {
  CIMClass service("TPD_StorageConfigurationService");
  CIMMethod create("CreateReplica", CIMTYPE_UINT32);
  create.addParameter(CIMParameter("ElementName", CIMTYPE_STRING));
  create.addParameter(CIMParameter("SourceElement", CIMTYPE_REFERENCE, false, 0, "CIM_StorageVolume"));
  create.addParameter(CIMParameter("Members", CIMTYPE_STRING, true));
  service.addMethod(create);
  service.addMethod(CIMMethod("RequestStateChange", CIMTYPE_UINT32));
  service.addMethod(CIMMethod("CreateReplica", CIMTYPE_UINT16));

  TqCimUtil util;
  std::vector<Method_t> methods(1);
  methods[0].name = "Existing";
  util.GetMethods(service, methods);
  ASSERT_EQ(4u, methods.size());
  EXPECT_EQ("Existing", methods[0].name);
  EXPECT_TRUE(methods[2].params.empty());

  Method_t found = util.FindMethodInList("CreateReplica", methods);
  ASSERT_EQ(3u, found.params.size());  // the first of the two entries of that name
  EXPECT_EQ("string", found.params[0].type);
  EXPECT_EQ("(CIM_StorageVolume)", found.params[1].refClass);
  EXPECT_EQ("reference", found.params[1].type);
  EXPECT_TRUE(found.params[2].isArray);
  EXPECT_TRUE(found.params[2].refClass.empty());

  EXPECT_TRUE(util.FindMethodInList("createreplica", methods).name.empty());
  EXPECT_EQ("SourceElement", util.FindParamInMethod("SourceElement", found).name);
  MethodParam_t missing = util.FindParamInMethod("sourceelement", found);
  EXPECT_TRUE(missing.name.empty());
  EXPECT_FALSE(missing.isArray);
}

TEST(CimUtilMethods, ClassWithoutMethodsAddsNothing) {
  CIMClass empty("TPD_StorageVolume");
  TqCimUtil util;
  std::vector<Method_t> methods;
  util.GetMethods(empty, methods);
  EXPECT_TRUE(methods.empty());
}

}  // namespace
