// The document model: kinds, typed access, deep copies, merging, appending and key order.
#include <gtest/gtest.h>

#include "jsonxx.h"
#include "render.h"

using jsonxx::Array;
using jsonxx::Boolean;
using jsonxx::Null;
using jsonxx::Number;
using jsonxx::Object;
using jsonxx::String;
using jsonxx::Value;

namespace {

std::string kinds_of(const Value& value) {
  std::string kinds;
  kinds += value.is<Number>() ? "N" : "";
  kinds += value.is<String>() ? "S" : "";
  kinds += value.is<Boolean>() ? "B" : "";
  kinds += value.is<Null>() ? "0" : "";
  kinds += value.is<Array>() ? "A" : "";
  kinds += value.is<Object>() ? "O" : "";
  return kinds;
}

TEST(ValueModel, EachKindAnswersExactlyOneIsAndEmptyOnlyWhenInvalid) {
  struct Case {
    Value value;
    std::string kinds;
    bool empty;
  };
  const Case cases[] = {
      {Value(), "", true},           {Value(1.5), "N", false},    {Value(String()), "S", false},
      {Value(false), "B", false},    {Value(Null()), "0", false}, {Value(Array()), "A", false},
      {Value(Object()), "O", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kinds);
    EXPECT_EQ(kinds_of(c.value), c.kinds);
    EXPECT_EQ(c.value.empty(), c.empty);
    const Value copy(c.value);
    EXPECT_EQ(kinds_of(copy), c.kinds);
    EXPECT_EQ(copy.empty(), c.empty);
  }
}

TEST(ValueModel, AFailedParseLeavesAnInvalidValueNotAnEmptyShell) {
  const char* failing[] = {"\"unterminated", "[1, 2", "{\"a\": 1", "-", ""};
  for (const char* text : failing) {
    SCOPED_TRACE(text);
    Value value(String("held before"));
    EXPECT_FALSE(value.parse(String(text)));
    EXPECT_TRUE(value.empty());
    EXPECT_EQ(kinds_of(value), "");
    EXPECT_EQ(compact(value), "");
  }
}

TEST(ValueModel, CopiesAreDeep) {
  Object original = object_from(R"({"list": [1, {"k": "v"}], "s": "text"})");
  const Object copy(original);
  Array assigned;
  assigned = original.get<Array>("list");
  original.get<Array>("list").get<Object>(1).import("k", Value("changed"));
  original.import("s", Value(2));
  EXPECT_EQ(compact(copy), R"({"list": [1, {"k": "v"}], "s": "text"})");
  EXPECT_EQ(compact(assigned), R"([1, {"k": "v"}])");
}

TEST(ValueModel, ObjectImportMergesAndReplaces) {
  Object target = object_from(R"({"a": 1, "b": [2]})");
  target.import(object_from(R"({"b": "new", "c": null})"));
  EXPECT_EQ(compact(target), R"({"a": 1, "b": "new", "c": null})");
  EXPECT_EQ(target.size(), 3u);

  target.import(target);
  EXPECT_EQ(compact(target), R"({"a": 1, "b": "new", "c": null})");
}

TEST(ValueModel, ImportingFromInsideItselfIsSafe) {
  // Each source lives inside the payload that the operation replaces.
  Object parent = object_from(R"({"a": {"a": 1, "z": 2}})");
  parent.import(parent.get<Object>("a"));
  EXPECT_EQ(compact(parent), R"({"a": 1, "z": 2})");

  Object holder = object_from(R"({"k": {"inner": true}})");
  holder.import("k", Value(holder.get<Object>("k")));
  holder.import("k", *holder.kv_map().at("k"));
  EXPECT_EQ(compact(holder), R"({"k": {"inner": true}})");

  Object reassigned = object_from(R"({"child": {"x": 1}})");
  reassigned = reassigned.get<Object>("child");
  EXPECT_EQ(compact(reassigned), R"({"x": 1})");

  Array nested = array_from("[[1, 2], 3]");
  nested = *nested.values()[0];
  EXPECT_EQ(compact(nested), "[[1, 2]]");
  nested = nested.get<Array>(0);
  EXPECT_EQ(compact(nested), "[1, 2]");

  Value value(array_from(R"([{"deep": [1]}])"));
  value = *value.get<Array>().values()[0];
  EXPECT_EQ(compact(value), R"({"deep": [1]})");
  value.import(*value.get<Object>().kv_map().at("deep"));
  EXPECT_EQ(compact(value), "[1]");
}

TEST(ValueModel, ArrayAppendsElementsAndDoublesOnSelfImport) {
  Array array = array_from("[1]");
  array << array_from("[2, 3]");
  EXPECT_EQ(compact(array), "[1, 2, 3]");
  array << Value(array_from("[4]"));
  EXPECT_EQ(compact(array), "[1, 2, 3, [4]]");
  array.import(array);
  EXPECT_EQ(compact(array), "[1, 2, 3, [4], 1, 2, 3, [4]]");
  EXPECT_EQ(compact(Array(Value("one"))), R"(["one"])");
}

TEST(ValueModel, ObjectBuiltFromAlternatingKeysAndValues) {
  Object object;
  object << "b" << 1 << "a"
         << "x";
  object << ""
         << "skipped-empty-key" << true;
  object << "child" << Object("k", Value(Null()));
  object << Object("unkeyed", Value(2));
  EXPECT_EQ(compact(object),
            R"({"": {"unkeyed": 2}, "a": "x", "b": 1, "child": {"k": null}, "skipped-empty-key": true})");
}

TEST(ValueModel, MembersFollowUnsignedByteOrderOfKeys) {
  Object object;
  for (const char* key : {"b", "ab", "\xE9", "a", "B", "z", ""}) {
    object.import(key, Value(1));
  }
  std::string order;
  for (const auto& member : object.kv_map()) {
    order += "[" + member.first + "]";
  }
  EXPECT_EQ(order, "[][B][a][ab][b][z][\xE9]");
}

TEST(ValueModel, HasChecksPresenceAndKind) {
  const Object object = object_from(R"({"s": "", "n": 0, "o": {}, "a": [], "b": false, "z": null})");
  struct Case {
    const char* key;
    bool string, number, array, object, boolean, null;
  };
  const Case cases[] = {
      {"s", true, false, false, false, false, false},        {"n", false, true, false, false, false, false},
      {"o", false, false, false, true, false, false},        {"a", false, false, true, false, false, false},
      {"b", false, false, false, false, true, false},        {"z", false, false, false, false, false, true},
      {"missing", false, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(object.has<String>(c.key), c.string);
    EXPECT_EQ(object.has<Number>(c.key), c.number);
    EXPECT_EQ(object.has<Array>(c.key), c.array);
    EXPECT_EQ(object.has<Object>(c.key), c.object);
    EXPECT_EQ(object.has<Boolean>(c.key), c.boolean);
    EXPECT_EQ(object.has<Null>(c.key), c.null);
  }
  EXPECT_EQ(object.get<String>("s"), "");
  EXPECT_TRUE(object.get<Array>("a").empty());
}

TEST(ValueModelDeathTest, ViolatedPreconditionsStopWithTheCheckedExpression) {
  const Object object = object_from(R"({"n": 1, "list": [1]})");
  EXPECT_DEATH(Value(1).get<String>(), R"(\[JSONXX\] expression 'is<String>\(\)' failed at .*:[0-9]+ -> )");
  EXPECT_DEATH(object.get<Array>("n"), "expression 'has<T>\\(key\\)' failed");
  EXPECT_DEATH(object.get<Array>("missing"), "expression 'has<T>\\(key\\)' failed");
  EXPECT_DEATH(object.get<Array>("list").get<Number>(1), "expression 'i < size\\(\\)' failed");
  EXPECT_DEATH(object.get<Array>("list").get<Object>(0), "expression 'is<Object>\\(\\)' failed");
  EXPECT_DEATH(Object() << 1, "expression 'is<String>\\(\\)' failed");
}

}  // namespace
