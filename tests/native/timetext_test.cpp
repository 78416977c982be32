#include "timer/timetext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Conversion {
  const char* Text;
  int32_t Value;
};

// The whole table of accepted and broken-off texts.
const Conversion TEXT_TO_INT[] = {
    {"", 0},
    {"90", 90},
    {"  90", 90},
    {"90 ", 90},
    {"007", 7},
    {"12a", 12},
    {"abc", 0},
    {"-5", -5},
    {"-5x", 5},
    {"+7", 7},
    {"--5", 0},
    {"-", 0},
    {"+", 0},
    {"$1F", 31},
    {"x1f", 31},
    {"0X1F", 31},
    {"$", 0},
    {"0x", 0},
    {"-$10", 0},
    {"$FFFFFFFF", -1},
    {"$100000000", 268435456},
    {"2147483647", 2147483647},
    {"2147483648", INT32_MIN},
    {"2147483649", -2147483647},
    {"9999999999", 999999999},
    {"-2147483648", INT32_MIN},
    {"-2147483649", 2147483647},
    {"1e3", 1},
    {"\t90", 0},
    {"X1f", 31},
    {"0x7fffffff", 2147483647},
    {"0", 0},
    {"-0", 0},
};

TEST(TextToInt, FollowsTheConversionTable) {
  for (const Conversion& c : TEXT_TO_INT) {
    EXPECT_EQ(TextToInt(c.Text), c.Value) << "text \"" << c.Text << "\"";
  }
}

TEST(TextToInt, NullTextIsZero) { EXPECT_EQ(TextToInt(nullptr), 0); }

TEST(IntToText, WritesShortestDecimalForm) {
  EXPECT_STREQ(IntToText(0).c_str(), "0");
  EXPECT_STREQ(IntToText(7).c_str(), "7");
  EXPECT_STREQ(IntToText(-42).c_str(), "-42");
  EXPECT_STREQ(IntToText(INT32_MAX).c_str(), "2147483647");
  EXPECT_STREQ(IntToText(INT32_MIN).c_str(), "-2147483648");
}

TEST(IntToText, RoundTripsThroughTextToInt) {
  for (int32_t v : {0, 1, 9, 10, 99, 3600, 86399, 214748364, INT32_MAX, -1, -5, -3600, INT32_MIN}) {
    EXPECT_EQ(TextToInt(IntToText(v).c_str()), v) << v;
  }
}

TEST(SecondsToText, WritesHoursMinutesSeconds) {
  EXPECT_STREQ(SecondsToText(0).c_str(), "00:00:00");
  EXPECT_STREQ(SecondsToText(9).c_str(), "00:00:09");
  EXPECT_STREQ(SecondsToText(10).c_str(), "00:00:10");
  EXPECT_STREQ(SecondsToText(59).c_str(), "00:00:59");
  EXPECT_STREQ(SecondsToText(3600).c_str(), "01:00:00");
  EXPECT_STREQ(SecondsToText(35999).c_str(), "09:59:59");
  EXPECT_STREQ(SecondsToText(36000).c_str(), "10:00:00");
  EXPECT_STREQ(SecondsToText(86399).c_str(), "23:59:59");
  EXPECT_STREQ(SecondsToText(360000).c_str(), "100:00:00");
  EXPECT_STREQ(SecondsToText(INT32_MAX).c_str(), "596523:14:07");
}

TEST(SecondsToText, WritesNegativeCountsAsMinusAndTheAbsoluteTime) {
  EXPECT_STREQ(SecondsToText(-1).c_str(), "-00:00:01");
  EXPECT_STREQ(SecondsToText(-3661).c_str(), "-01:01:01");
  EXPECT_STREQ(SecondsToText(INT32_MIN).c_str(), "-596523:14:08");
}

TEST(SecondsToText, TooltipTextAlwaysFitsItsField) {
  // "Kwiet! [" + text + "]" must fit the 64-byte tooltip with its zero.
  for (int32_t v : {INT32_MIN, INT32_MIN + 1, -1, 0, INT32_MAX}) {
    EXPECT_LE(8 + std::string(SecondsToText(v).c_str()).size() + 1 + 1, 64u) << v;
  }
}

TEST(TimePartText, GivesEachPartWithTwoDigits) {
  EXPECT_STREQ(TimePartText(5025, 1).c_str(), "01");
  EXPECT_STREQ(TimePartText(5025, 2).c_str(), "23");
  EXPECT_STREQ(TimePartText(5025, 3).c_str(), "45");
  for (int part = 1; part <= 3; ++part) EXPECT_STREQ(TimePartText(0, part).c_str(), "00");
  EXPECT_STREQ(TimePartText(360000, 1).c_str(), "100");
  EXPECT_STREQ(TimePartText(-3661, 1).c_str(), "-01");
}

}  // namespace
