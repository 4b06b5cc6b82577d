// The lenient reader: documents, numbers, strings, comments and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <utility>

#include "jsonxx.h"
#include "render.h"

using jsonxx::Array;
using jsonxx::Number;
using jsonxx::Object;
using jsonxx::String;
using jsonxx::Value;

namespace {

struct DocumentCase {
  std::string text;
  bool parsed;
  std::string held;  // compact form of what the target holds afterwards
};

void PrintTo(const DocumentCase& c, std::ostream* out) { *out << c.text; }

class ObjectDocuments : public testing::TestWithParam<DocumentCase> {};

TEST_P(ObjectDocuments, ParseResultAndMembers) {
  Object object;
  object.import("stale", Value(1));
  EXPECT_EQ(object.parse(GetParam().text), GetParam().parsed);
  EXPECT_EQ(compact(object), GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ObjectDocuments,
    testing::Values(DocumentCase{"{}", true, "{}"}, DocumentCase{" \n{ \t}\r\n", true, "{}"},
                    DocumentCase{R"({"a":1,})", true, R"({"a": 1})"}, DocumentCase{R"({"a": })", true, "{}"},
                    DocumentCase{R"({"a":1, "b": })", true, R"({"a": 1})"},
                    DocumentCase{R"({"a":,"b":2})", true, R"({"a": null, "b": 2})"},
                    DocumentCase{R"({'a':'x'})", true, R"({"a": "x"})"},
                    DocumentCase{R"({"a":1,"a":2})", true, R"({"a": 2})"},
                    DocumentCase{R"({"b":1,"a":2,"B":3,"ab":4})", true, R"({"B": 3, "a": 2, "ab": 4, "b": 1})"},
                    DocumentCase{R"({"a":1} trailing text {)", true, R"({"a": 1})"},
                    DocumentCase{R"({"o":{"l":[1,{"n":null},[]],"e":{}}})", true,
                                 R"({"o": {"e": {}, "l": [1, {"n": null}, []]}})"},
                    DocumentCase{"// leading\n{\"a\": // after colon\n 1, // end of line\n \"b\":n//inside\null}", true,
                                 R"({"a": 1, "b": null})"},
                    DocumentCase{"{\"t\":t//x\nrue,//c\r\n\"f\":false}", true, R"({"f": false, "t": true})"},
                    // The unclosed array fails as a value, which ends the members; the brace then closes the object.
                    DocumentCase{R"({"a":1,"b":[1,2})", true, R"({"a": 1})"}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ObjectDocuments,
    testing::Values(DocumentCase{"", false, "{}"}, DocumentCase{"[1]", false, "{}"}, DocumentCase{"{a:1}", false, "{}"},
                    DocumentCase{R"({/* block */ "a":1})", false, "{}"},
                    DocumentCase{R"({"a":1)", false, R"({"a": 1})"},
                    DocumentCase{R"({"a":1 "b":2})", false, R"({"a": 1})"}, DocumentCase{R"({"a" 1})", false, "{}"},
                    DocumentCase{"{,}", false, "{}"}, DocumentCase{R"({"a":"open)", false, "{}"},
                    DocumentCase{R"({"a":tru})", false, "{}"}, DocumentCase{R"({"a":t rue})", false, "{}"},
                    DocumentCase{R"({"a":1]})", false, R"({"a": 1})"}, DocumentCase{"}{", false, "{}"},
                    DocumentCase{std::string("{\"a\":1\0}", 8), false, R"({"a": 1})"}));

class ArrayDocuments : public testing::TestWithParam<DocumentCase> {};

TEST_P(ArrayDocuments, ParseResultAndElements) {
  Array array = array_from("[\"stale\"]");
  EXPECT_EQ(array.parse(GetParam().text), GetParam().parsed);
  EXPECT_EQ(compact(array), GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(Lenient, ArrayDocuments,
                         testing::Values(DocumentCase{"[]", true, "[]"}, DocumentCase{"[ \n ]", true, "[]"},
                                         DocumentCase{"[1,]", true, "[1]"},
                                         DocumentCase{"[1,,2]", true, "[1, null, 2]"},
                                         DocumentCase{"[,1]", true, "[null, 1]"}, DocumentCase{"[,]", true, "[null]"},
                                         DocumentCase{R"(["a" , 'b', [[]]])", true, R"(["a", "b", [[]]])"},
                                         DocumentCase{"[1]]", true, "[1]"}, DocumentCase{"[1, 2", false, "[1, 2]"},
                                         DocumentCase{"[1 2]", false, "[1]"}, DocumentCase{"[1,}", false, "[1]"},
                                         DocumentCase{"][", false, "[]"},
                                         DocumentCase{"[\"\xC3\x28\", \"\xFF\"]", true, "[\"\xC3(\", \"\xFF\"]"},
                                         DocumentCase{std::string("[1]\0[2]", 7), true, "[1]"}));

struct NumberCase {
  std::string text;
  bool parsed;
  Number value;
  std::string left;  // what the stream still holds afterwards
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << c.text; }

class NumberForms : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberForms, ReadAndStreamPosition) {
  std::istringstream input(GetParam().text);
  Number value = -99;
  EXPECT_EQ(jsonxx::parse_number(input, value), GetParam().parsed);
  if (GetParam().parsed) {
    EXPECT_EQ(value, GetParam().value);
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().value));
  } else {
    EXPECT_EQ(value, -99);
  }
  std::string left(std::istreambuf_iterator<char>(input), {});
  EXPECT_EQ(left, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(All, NumberForms,
                         testing::Values(NumberCase{"42", true, 42, ""}, NumberCase{"  -7.25,", true, -7.25, ","},
                                         NumberCase{"+5", true, 5, ""}, NumberCase{".5", true, 0.5, ""},
                                         NumberCase{"5.", true, 5, ""}, NumberCase{"007", true, 7, ""},
                                         NumberCase{"1e3", true, 1000, ""}, NumberCase{"1.5E+2x", true, 150, "x"},
                                         NumberCase{"-0", true, -0.0, ""}, NumberCase{"12abc", true, 12, "abc"},
                                         NumberCase{"1.2.3", true, 1.2, ".3"}, NumberCase{"0x10", true, 0, "x10"},
                                         NumberCase{"1e-400", true, 0, ""},
                                         NumberCase{"1.7976931348623157e308", true, 1.7976931348623157e308, ""},
                                         NumberCase{"  1e400]", false, 0, "1e400]"},
                                         NumberCase{"-1e309", false, 0, "-1e309"}, NumberCase{" -", false, 0, "-"},
                                         NumberCase{"+.", false, 0, "+."}, NumberCase{"1e", false, 0, "1e"},
                                         NumberCase{"1e+x", false, 0, "1e+x"}, NumberCase{"inf", false, 0, "inf"},
                                         NumberCase{"nan", false, 0, "nan"}, NumberCase{"", false, 0, ""}));

struct StringCase {
  std::string text;
  bool parsed;
  std::string bytes;
};

void PrintTo(const StringCase& c, std::ostream* out) { *out << c.text; }

class StringEscapes : public testing::TestWithParam<StringCase> {};

TEST_P(StringEscapes, BytesRead) {
  Value value;
  EXPECT_EQ(value.parse(GetParam().text), GetParam().parsed);
  if (GetParam().parsed) {
    ASSERT_TRUE(value.is<String>());
    EXPECT_EQ(value.get<String>(), GetParam().bytes);
  } else {
    EXPECT_TRUE(value.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, StringEscapes,
    testing::Values(StringCase{R"("a\/b\\c")", true, "a/b\\c"}, StringCase{R"("\b\f\n\r\t")", true, "\b\f\n\r\t"},
                    StringCase{R"("\u00e9")", true, "\xE9"}, StringCase{R"("\u0041\u20AC")", true, "A\xAC"},
                    StringCase{R"("\uzzzz!")", true, "!"}, StringCase{R"("\u4zzz")", true, "\x04"},
                    StringCase{R"("\q")", true, "\\q"}, StringCase{R"("\'")", true, "\\'"},
                    StringCase{R"('\'')", true, "'"}, StringCase{R"('\"')", true, "\\\""},
                    StringCase{R"('a"b')", true, "a\"b"}, StringCase{"\"a\x01\n\xFF\"", true, "a\x01\n\xFF"},
                    StringCase{std::string("\"a\0b\"", 5), true, std::string("a\0b", 3)},
                    StringCase{"// note\n \"after comment\"", true, "after comment"},
                    StringCase{R"("\u12"})", false, ""}, StringCase{R"("\u00)", false, ""},
                    StringCase{R"("open)", false, ""}, StringCase{R"("ends in backslash\)", false, ""}));

TEST(ValueParse, KindChosenByFirstReaderThatSucceeds) {
  struct Case {
    const char* text;
    bool parsed;
    const char* held;
  };
  const Case cases[] = {
      {"true", true, "true"},
      {" false ", true, "false"},
      {"null", true, "null"},
      {",", true, "null"},
      {"True", false, ""},
      {"nul", false, ""},
      {"'s'", true, "\"s\""},
      {"[1,{}]", true, "[1, {}]"},
      {"{\"k\":[]}", true, "{\"k\": []}"},
      {"[1", false, ""},
      {"", false, ""},
      {"/* x */ 1", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Value value;
    EXPECT_EQ(value.parse(String(c.text)), c.parsed);
    EXPECT_EQ(compact(value), c.held);
  }
}

TEST(Nesting, DepthIsBoundedAndDeepInputFailsCleanly) {
  const auto nested_arrays = [](std::size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  const auto nested_objects = [](std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) {
      text += "{\"a\":";
    }
    return text + "1" + std::string(depth, '}');
  };
  const std::size_t limit = jsonxx::max_nesting_depth;
  EXPECT_TRUE(jsonxx::validate(nested_arrays(limit)));
  EXPECT_FALSE(jsonxx::validate(nested_arrays(limit + 1)));
  EXPECT_TRUE(jsonxx::validate(nested_objects(limit)));
  EXPECT_FALSE(jsonxx::validate(nested_objects(limit + 1)));

  // Far past the bound, with and without the closing brackets: refused without exhausting the stack.
  Value value;
  EXPECT_FALSE(value.parse(std::string(200000, '[')));
  EXPECT_FALSE(value.parse(nested_arrays(200000)));
  EXPECT_FALSE(value.parse(nested_objects(200000)));
  EXPECT_TRUE(value.empty());
}

TEST(Validate, OnlyAnObjectOrArrayAfterLeadingControlBytes) {
  struct Case {
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"{}", true},      {" \t{} and more", true}, {"\x01\x1f[1]", true}, {"[1,,]", true},
      {"1", false},      {"\"s\"", false},         {"", false},           {"   ", false},
      {"\x80{}", false}, {"{\"a\":", false},       {"[1", false},         {"// c\n{}", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(jsonxx::validate(c.text), c.valid);
    std::istringstream stream(c.text);
    EXPECT_EQ(jsonxx::validate(stream), c.valid);
  }
}

TEST(StreamReaders, LeaveTheStreamJustAfterWhatTheyRead) {
  std::istringstream documents("{\"a\":1} [2] tail");
  Object object;
  Array array;
  EXPECT_TRUE(object.parse(documents));
  EXPECT_TRUE(array.parse(documents));
  std::string word;
  documents >> word;
  EXPECT_EQ(word, "tail");
  EXPECT_EQ(compact(object), "{\"a\": 1}");
  EXPECT_EQ(compact(array), "[2]");
}

// A stream that cannot seek, like a pipe.
class OneWayBuffer : public std::streambuf {
 public:
  explicit OneWayBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 private:
  std::string text_;
};

TEST(StreamReaders, StreamThatCannotSeekIsReadToItsEnd) {
  OneWayBuffer buffer("{\"a\": [1, 2]} rest");
  std::istream input(&buffer);
  Object object;
  EXPECT_TRUE(object.parse(input));
  EXPECT_EQ(compact(object), "{\"a\": [1, 2]}");
  EXPECT_TRUE(input.eof());
}

TEST(StreamReaders, TokenMatchingAndComments) {
  struct Case {
    const char* text;
    const char* pattern;
    bool matched;
    const char* left;
  };
  const Case cases[] = {
      {"  true,", "true", true, ","},     {"t//c\nrue!", "true", true, "!"},
      {"// c\n  null", "null", true, ""}, {"  t rue", "true", false, "t rue"},
      {"trux", "true", false, "trux"},    {"t//c\nrux", "true", false, "t//c\nrux"},
      {"tr", "true", false, ""},          {"/* c */true", "true", false, "/* c */true"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream input(c.text);
    EXPECT_EQ(jsonxx::match(c.pattern, input), c.matched);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(input), {}), c.left);
  }

  std::istringstream comment("// to the end\n\t next");
  EXPECT_TRUE(jsonxx::parse_comment(comment));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(comment), {}), "next");
  std::istringstream slash("/x");
  EXPECT_FALSE(jsonxx::parse_comment(slash));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(slash), {}), "/x");
}

TEST(StreamReaders, UnterminatedStringKeepsWhatItRead) {
  std::istringstream input("  'abc\\tdef");
  String text = "pre:";
  EXPECT_FALSE(jsonxx::parse_string(input, text));
  EXPECT_EQ(text, "pre:abc\tdef");
}

TEST(StreamReaders, IdentifierUpToColon) {
  struct Case {
    const char* text;
    bool read;
    const char* identifier;
  };
  const Case cases[] = {
      {"  name:", true, "name"}, {"$a_1 b-c:", true, "$a_1bc"}, {"_x", false, ""}, {"1abc:", false, ""},
      {":", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::istringstream input(c.text);
    String identifier;
    EXPECT_EQ(jsonxx::parse_identifier(input, identifier), c.read);
    EXPECT_EQ(identifier, c.identifier);
  }
}

}  // namespace
