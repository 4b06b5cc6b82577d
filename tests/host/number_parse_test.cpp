#include <gtest/gtest.h>

#include <cstdint>

#include "TqNumberParse.h"

namespace {

struct NumberCase {
  const char* text;
  bool int64Ok;
  int64_t int64Value;
  bool uint64Ok;
  uint64_t uint64Value;
  bool int32Ok;
};

TEST(NumberParse, AcceptsOnlyWholeNumbersThatFit) {
  const NumberCase cases[] = {
      {"0", true, 0, true, 0, true},
      {"  42\t", true, 42, true, 42, true},
      {"+7", true, 7, true, 7, true},
      {"-5", true, -5, false, 0, true},
      {"0x1F", true, 31, true, 31, true},
      {"0X10", true, 16, true, 16, true},
      {"-0x10", false, 0, false, 0, false},
      {"2147483647", true, 2147483647LL, true, 2147483647ULL, true},
      {"2147483648", true, 2147483648LL, true, 2147483648ULL, false},
      {"-2147483648", true, -2147483648LL, false, 0, true},
      {"-2147483649", true, -2147483649LL, false, 0, false},
      {"9223372036854775807", true, INT64_MAX, true, 9223372036854775807ULL, false},
      {"-9223372036854775808", true, INT64_MIN, false, 0, false},
      {"9223372036854775808", false, 0, true, 9223372036854775808ULL, false},
      {"18446744073709551615", false, 0, true, UINT64_MAX, false},
      {"18446744073709551616", false, 0, false, 0, false},
      {"", false, 0, false, 0, false},
      {"   ", false, 0, false, 0, false},
      {"12abc", false, 0, false, 0, false},
      {"1 2", false, 0, false, 0, false},
      {"0x", false, 0, false, 0, false},
      {"0xG1", false, 0, false, 0, false},
      {"-", false, 0, false, 0, false},
      {"--1", false, 0, false, 0, false},
      {"1.5", false, 0, false, 0, false},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    int64_t i64 = 99;
    uint64_t u64 = 99;
    int32_t i32 = 99;
    EXPECT_EQ(tqhost::parseInt64(c.text, i64), c.int64Ok);
    EXPECT_EQ(i64, c.int64Ok ? c.int64Value : 99);
    EXPECT_EQ(tqhost::parseUInt64(c.text, u64), c.uint64Ok);
    EXPECT_EQ(u64, c.uint64Ok ? c.uint64Value : 99u);
    EXPECT_EQ(tqhost::parseInt32(c.text, i32), c.int32Ok);
    if (c.int32Ok)
      EXPECT_EQ(i32, int32_t(c.int64Value));
    else
      EXPECT_EQ(i32, 99);
  }
}

TEST(NumberParse, DoublesMustBeFiniteAndWhole) {
  double v = -1;
  EXPECT_TRUE(tqhost::parseDouble(" 0.25 ", v));
  EXPECT_DOUBLE_EQ(v, 0.25);
  for (const char* bad : {"", "x", "0.5s", "inf", "nan", "1e999"}) {
    SCOPED_TRACE(bad);
    v = -1;
    EXPECT_FALSE(tqhost::parseDouble(bad, v));
    EXPECT_EQ(v, -1);
  }
}

}  // namespace
