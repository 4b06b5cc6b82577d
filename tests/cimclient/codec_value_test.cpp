// Values on the wire: every CIM type through encode and decode, the accepted textual forms,
// range and form errors, nulls, empty arrays and escaping.
#include <gtest/gtest.h>

#include "Pegasus/CimXml.h"

using namespace Pegasus;
using namespace Pegasus::CimXml;

namespace {

// A GetInstance response document around one INSTANCE element.
String instanceResponse(const std::string& instanceXml) {
  return String(
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
      "<MESSAGE ID=\"7\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"GetInstance\">"
      "<IRETURNVALUE>" +
      instanceXml + "</IRETURNVALUE></IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>");
}

// The value of the single property written by `propertyXml`.
CIMValue decodeProperty(const std::string& propertyXml) {
  const Response response =
      decodeResponse(instanceResponse("<INSTANCE CLASSNAME=\"C\">" + propertyXml + "</INSTANCE>"));
  return response.instances.at(0).getProperty(0).getValue();
}

std::string scalarProperty(const char* type, const std::string& text) {
  return "<PROPERTY NAME=\"p\" TYPE=\"" + std::string(type) + "\"><VALUE>" + text + "</VALUE></PROPERTY>";
}

template <class T>
Array<T> arrayOf(std::initializer_list<T> items) {
  return Array<T>(items);
}

TEST(CodecValues, EveryTypeRoundTripsThroughAnInstance) {
  CIMInstance instance(CIMName("TPD_Everything"));
  const CIMValue values[] = {
      CIMValue(true),
      CIMValue(Uint8(255)),
      CIMValue(Sint8(-128)),
      CIMValue(Uint16(65535)),
      CIMValue(Sint16(-32768)),
      CIMValue(Uint32(4294967295u)),
      CIMValue(Sint32(-2147483647 - 1)),
      CIMValue(Uint64(18446744073709551615ull)),
      CIMValue(Sint64(-9223372036854775807ll - 1)),
      CIMValue(Real32(3.4028235e38f)),
      CIMValue(Real64(-0.1)),
      CIMValue::fromChar16(0x20AC),
      CIMValue(String("<tag attr=\"x\"> & 'q' \r\n\tend")),
      CIMValue(String(" ")),
      CIMValue(String("")),
      CIMValue(CIMDateTime("20240101120000.000000-300")),
      CIMValue(arrayOf<Boolean>({true, false})),
      CIMValue(arrayOf<Uint8>({0, 1})),
      CIMValue(arrayOf<Sint8>({-1})),
      CIMValue(arrayOf<Uint16>({2, 32768})),
      CIMValue(arrayOf<Sint16>({-2})),
      CIMValue(arrayOf<Uint32>({})),
      CIMValue(arrayOf<Sint32>({7, -7})),
      CIMValue(arrayOf<Uint64>({1ull << 40})),
      CIMValue(arrayOf<Sint64>({-(1ll << 40)})),
      CIMValue(arrayOf<Real32>({0.5f})),
      CIMValue(arrayOf<Real64>({1e-300, 2.5})),
      CIMValue::fromChar16Array(arrayOf<Char16>({'a', 0xE9})),
      CIMValue(arrayOf<String>({"a", "", " b "})),
      CIMValue(arrayOf<CIMDateTime>({CIMDateTime("00000001020304.000005:000")})),
      CIMValue(CIMTYPE_UINT16, false),
      CIMValue(CIMTYPE_STRING, true),
      CIMValue(CIMTYPE_REFERENCE, false),
  };
  int index = 0;
  for (const CIMValue& value : values)
    instance.addProperty(CIMProperty(CIMName(String("P" + std::to_string(index++))), value));
  instance.addProperty(CIMProperty("Ref", CIMValue(CIMObjectPath("//h/root/tpd:C.k=\"v\",n=5")), 0, CIMName("C"),
                                   CIMName("Base"), true));
  instance.addProperty(CIMProperty("Sized", CIMValue(arrayOf<Uint16>({1, 2})), 2));

  Response response;
  response.methodName = "GetInstance";
  response.returnKind = Response::INSTANCE;
  response.instances.push_back(instance);
  const Response decoded = decodeResponse(encodeResponse(response));
  ASSERT_EQ(decoded.instances.size(), 1u);
  const CIMInstance& back = decoded.instances[0];
  ASSERT_EQ(back.getPropertyCount(), instance.getPropertyCount());
  for (Uint32 i = 0; i < instance.getPropertyCount(); ++i) {
    SCOPED_TRACE(instance.getProperty(i).getName().getString().str() + " = " +
                 instance.getProperty(i).getValue().toString().str());
    EXPECT_TRUE(back.getProperty(i) == instance.getProperty(i));
  }
}

struct AcceptedText {
  const char* type;
  const char* text;
  const char* expected;  // toString of the decoded value
};

TEST(CodecValues, AcceptedTextForms) {
  const AcceptedText cases[] = {
      {"boolean", "true", "TRUE"},
      {"boolean", " False ", "FALSE"},
      {"uint8", "0x1F", "31"},
      {"uint8", "0", "0"},
      {"sint8", "+5", "5"},
      {"sint8", "-128", "-128"},
      {"uint64", "18446744073709551615", "18446744073709551615"},
      {"sint64", "-9223372036854775808", "-9223372036854775808"},
      {"uint32", " 42\n", "42"},
      {"real64", "1e3", "1.0000000000000000e+03"},
      {"real32", "-2.5", "-2.5000000e+00"},
      {"char16", "\xE2\x82\xAC", "\xE2\x82\xAC"},
      {"char16", " ", " "},
      {"string", "  keep  blanks  ", "  keep  blanks  "},
      {"string", "&lt;&amp;&gt;&quot;&apos;&#65;&#x42;", "<&>\"'AB"},
      {"string", "<![CDATA[<raw>]]>", "<raw>"},
      {"datetime", "20240101120000.000000+000", "20240101120000.000000+000"},
  };
  for (const AcceptedText& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.text);
    const CIMValue value = decodeProperty(scalarProperty(c.type, c.text));
    CIMType type = CIMTYPE_STRING;
    ASSERT_TRUE(cimTypeFromString(c.type, type));
    EXPECT_EQ(value.getType(), type);
    EXPECT_EQ(value.toString(), String(c.expected));
  }
}

TEST(CodecValues, OutOfRangeAndMalformedTextsAreErrors) {
  const std::pair<const char*, const char*> cases[] = {
      {"uint8", "300"},
      {"uint8", "256"},
      {"uint8", "-1"},
      {"uint8", "+1"},
      {"uint8", "007"},
      {"uint8", ""},
      {"uint8", "0x"},
      {"sint8", "128"},
      {"sint8", "-129"},
      {"uint16", "65536"},
      {"sint16", "-32769"},
      {"uint32", "4294967296"},
      {"uint32", "1.5"},
      {"sint32", "2147483648"},
      {"uint64", "18446744073709551616"},
      {"sint64", "9223372036854775808"},
      {"boolean", "yes"},
      {"boolean", ""},
      {"real32", "1e39"},
      {"real64", "abc"},
      {"real64", "0x10"},
      {"real64", ""},
      {"char16", "ab"},
      {"char16", ""},
      {"char16", "\xED\xA0\x80"},
      {"datetime", "2024"},
      {"datetime", "20240101120000.000000+0000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " \"" + c.second + "\"");
    try {
      decodeProperty(scalarProperty(c.first, c.second));
      ADD_FAILURE() << "accepted";
    } catch (const CIMClientXmlException& e) {
      const std::string message = e.getMessage().str();
      EXPECT_NE(message.find("line 1"), std::string::npos) << message;
      EXPECT_NE(message.find(std::string("valid ") + c.first), std::string::npos) << message;
    }
  }
  // Array elements are checked one by one.
  EXPECT_THROW(decodeProperty("<PROPERTY.ARRAY NAME=\"p\" TYPE=\"uint8\"><VALUE.ARRAY><VALUE>1</VALUE>"
                              "<VALUE>300</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>"),
               CIMClientXmlException);
}

TEST(CodecValues, NullEmptyAndElementForms) {
  const CIMValue nullScalar = decodeProperty("<PROPERTY NAME=\"p\" TYPE=\"uint16\"></PROPERTY>");
  EXPECT_TRUE(nullScalar.isNull());
  EXPECT_EQ(nullScalar.getType(), CIMTYPE_UINT16);

  const CIMValue nullArray = decodeProperty("<PROPERTY.ARRAY NAME=\"p\" TYPE=\"string\"/>");
  EXPECT_TRUE(nullArray.isNull());
  EXPECT_TRUE(nullArray.isArray());

  const CIMValue emptyArray =
      decodeProperty("<PROPERTY.ARRAY NAME=\"p\" TYPE=\"string\"><VALUE.ARRAY/></PROPERTY.ARRAY>");
  EXPECT_FALSE(emptyArray.isNull());
  EXPECT_EQ(emptyArray.getArraySize(), 0u);

  EXPECT_EQ(decodeProperty(scalarProperty("string", "")), CIMValue(String("")));
  EXPECT_EQ(decodeProperty("<PROPERTY NAME=\"p\" TYPE=\"string\"><VALUE/></PROPERTY>"), CIMValue(String("")));
  EXPECT_EQ(decodeProperty(scalarProperty("string", " ")), CIMValue(String(" ")));

  // A VALUE.NULL element stands for the type's zero value.
  const CIMValue withNull = decodeProperty(
      "<PROPERTY.ARRAY NAME=\"p\" TYPE=\"uint16\"><VALUE.ARRAY><VALUE>3</VALUE>"
      "<VALUE.NULL/><VALUE>4</VALUE></VALUE.ARRAY></PROPERTY.ARRAY>");
  EXPECT_EQ(withNull.toString(), String("3 0 4 "));

  // Qualifiers are skipped, origin and propagation are kept.
  const Response response = decodeResponse(instanceResponse(
      "<INSTANCE CLASSNAME=\"C\"><QUALIFIER NAME=\"Key\" TYPE=\"boolean\"><VALUE>TRUE</VALUE></QUALIFIER>"
      "<PROPERTY NAME=\"p\" TYPE=\"uint32\" CLASSORIGIN=\"Base\" PROPAGATED=\"true\">"
      "<QUALIFIER NAME=\"Units\" TYPE=\"string\"><VALUE>x</VALUE></QUALIFIER><VALUE>9</VALUE></PROPERTY>"
      "<PROPERTY.REFERENCE NAME=\"r\" REFERENCECLASS=\"D\"><VALUE.REFERENCE><INSTANCENAME CLASSNAME=\"D\">"
      "<KEYBINDING NAME=\"k\"><KEYVALUE VALUETYPE=\"numeric\">+7</KEYVALUE></KEYBINDING></INSTANCENAME>"
      "</VALUE.REFERENCE></PROPERTY.REFERENCE></INSTANCE>"));
  const CIMInstance& instance = response.instances.at(0);
  ASSERT_EQ(instance.getPropertyCount(), 2u);
  EXPECT_EQ(instance.getProperty(0).getClassOrigin(), CIMName("Base"));
  EXPECT_TRUE(instance.getProperty(0).getPropagated());
  EXPECT_EQ(instance.getProperty(1).getType(), CIMTYPE_REFERENCE);
  EXPECT_EQ(instance.getProperty(1).getReferenceClassName(), CIMName("D"));
  EXPECT_EQ(instance.getProperty(1).getValue().toString(), String("D.k=7"));
}

TEST(CodecValues, UnwritableValuesAreRefused) {
  CIMInstance instance(CIMName("C"));
  instance.addProperty(CIMProperty("p", CIMValue(String("bell\x07"))));
  Response response;
  response.methodName = "GetInstance";
  response.returnKind = Response::INSTANCE;
  response.instances.push_back(instance);
  EXPECT_THROW(encodeResponse(response), CIMClientXmlException);
}

}  // namespace
