// The JSON writers: escapes, number forms, the indented layout and the compact stream form.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "jsonxx.h"
#include "render.h"

using jsonxx::Array;
using jsonxx::Object;
using jsonxx::String;
using jsonxx::Value;

namespace {

TEST(JsonWriter, IndentedLayout) {
  struct Case {
    std::string document;
    std::string json;
  };
  const Case cases[] = {
      {R"({"a":1,"b":[true,null]})", "{\n\t\"a\": 1,\n\t\"b\": [\n\t\ttrue,\n\t\tnull \n\t] \n} \n"},
      {"{}", "{\n} \n"},
      {"[]", "[\n] \n"},
      {R"({"e":[],"o":{}})", "{\n\t\"e\": [\n\t],\n\t\"o\": {\n\t} \n} \n"},
      {R"([[1],{"k":"v"}])", "[\n\t[\n\t\t1 \n\t],\n\t{\n\t\t\"k\": \"v\" \n\t} \n] \n"},
      // The empty key is written like any other, so the text reads back.
      {R"({"":{"":[]}})", "{\n\t\"\": {\n\t\t\"\": [\n\t\t] \n\t} \n} \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    const std::string written = c.document[0] == '{' ? object_from(c.document).json() : array_from(c.document).json();
    EXPECT_EQ(written, c.json);
    EXPECT_EQ(jsonxx::reformat(c.document), c.json);
  }
  EXPECT_EQ(object_from(R"({"z":null})").write(0), object_from(R"({"z":null})").json());
}

TEST(JsonWriter, NumbersWithSixteenSignificantDigits) {
  struct Case {
    double number;
    const char* text;
  };
  const Case cases[] = {
      {0.1, "0.1"},
      {1e20, "1e+20"},
      {3.141592653589793, "3.141592653589793"},
      {100, "100"},
      {-0.0, "-0"},
      {1e16, "1e+16"},
      {123456789012345678.0, "1.234567890123457e+17"},
      {0.1 + 0.2, "0.3"},
      {5e-324, "4.940656458412465e-324"},
      // 16 digits would round past the largest number and not read back.
      {DBL_MAX, "1.7976931348623157e+308"},
      {-DBL_MAX, "-1.7976931348623157e+308"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(jsonxx::json::tag(0, 0, String(), Value(c.number)), std::string(c.text) + ",\n");
    Value back;
    ASSERT_TRUE(back.parse(String(c.text)));
  }
}

TEST(JsonWriter, EscapeTable) {
  struct Case {
    std::string bytes;
    std::string escaped;
  };
  const Case cases[] = {
      {"\n\t/\x01", "\\n\\t\\/\\u0001"},
      {"\"\\", "\\\"\\\\"},
      {"\b\f\r", "\\b\\f\\r"},
      {std::string("\0\x1f", 2), "\\u0000\\u001f"},
      {"\x7f\x80\xE9\xFF", "\x7f\x80\xE9\xFF"},
      {"plain 'text'", "plain 'text'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escaped);
    EXPECT_EQ(jsonxx::escape_string(c.bytes, false), c.escaped);
    EXPECT_EQ(jsonxx::escape_string(c.bytes, true), '"' + c.escaped + '"');
    EXPECT_EQ(compact(Value(c.bytes)), '"' + c.escaped + '"');
    EXPECT_EQ(jsonxx::json::tag(0, 1, c.bytes, Value(c.bytes)), "\t\"" + c.escaped + "\": \"" + c.escaped + "\",\n");
  }
}

TEST(JsonWriter, CompactForm) {
  EXPECT_EQ(compact(object_from(R"({"b":[true,null],"a":1})")), R"({"a": 1, "b": [true, null]})");
  EXPECT_EQ(compact(Value(3.141592653589793)), "3.14159");
  EXPECT_EQ(compact(Value()), "");
  Array with_invalid;
  with_invalid << Value(1) << Value();
  EXPECT_EQ(compact(with_invalid), "[1, ]");
  EXPECT_EQ(with_invalid.json(), "[\n\t1,\n\tnull \n] \n");
}

TEST(JsonWriter, BackslashUEscapeLeavesTheStreamDecimalWithNoWidth) {
  std::ostringstream escaped;
  escaped << std::hex << std::setw(6) << Value("\x01") << 255;
  EXPECT_EQ(escaped.str(), "\"\\u0001\"255");

  // Without such an escape the stream keeps the caller's settings.
  std::ostringstream plain;
  plain << std::hex << Value(String("a\n")) << 255;
  EXPECT_EQ(plain.str(), "\"a\\n\"ff");
}

TEST(JsonWriter, WrittenTextReadsBackToTheSameDocument) {
  const std::string document =
      std::string("{\"k\\u0000\\\"\":[\"\\u0001\\/\\\\\xE9\",-0.5,1e300,{},[[]],null,false],") +
      "\"\xFF\":{\"'\":'\"'}}";
  const Object original = object_from(document);
  ASSERT_EQ(original.size(), 2u);
  Object reread;
  ASSERT_TRUE(reread.parse(original.json()));
  EXPECT_EQ(reread.json(), original.json());
  EXPECT_EQ(compact(reread), compact(original));
}

TEST(JsonWriter, RemoveLastComma) {
  EXPECT_EQ(jsonxx::json::remove_last_comma("ab,\n"), "ab \n");
  EXPECT_EQ(jsonxx::json::remove_last_comma(",\n"), ",\n");
  EXPECT_EQ(jsonxx::json::remove_last_comma("abc"), "abc");
}

}  // namespace
