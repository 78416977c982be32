#include "timer/deadline.h"

#include <gtest/gtest.h>

namespace {

TEST(Deadline, SecondsLeftRoundUpUntilTheDeadline) {
  int64_t d = DeadlineAfter(5000, 10);
  EXPECT_EQ(d, 15000);
  EXPECT_EQ(SecondsLeft(d, 5000), 10);
  EXPECT_EQ(SecondsLeft(d, 5001), 10);
  EXPECT_EQ(SecondsLeft(d, 5999), 10);
  EXPECT_EQ(SecondsLeft(d, 6000), 9);
  EXPECT_EQ(SecondsLeft(d, 14999), 1);
  EXPECT_EQ(SecondsLeft(d, 15000), 0);
  EXPECT_EQ(SecondsLeft(d, 15001), 0);
  EXPECT_EQ(SecondsLeft(d, 16000), -1);
}

TEST(Deadline, NextSecondIsAtMostOneSecondAway) {
  int64_t d = DeadlineAfter(0, 3);
  EXPECT_EQ(MsUntilNextSecond(d, 0), 1000u);
  EXPECT_EQ(MsUntilNextSecond(d, 1016), 984u);
  EXPECT_EQ(MsUntilNextSecond(d, 2999), 1u);
  EXPECT_EQ(MsUntilNextSecond(d, 3000), 1000u);
  EXPECT_EQ(MsUntilNextSecond(d, 3500), 500u);
  // Walking the clock to each announced change reaches the deadline exactly.
  int64_t now = 0;
  for (int i = 0; i < 3; ++i) now += MsUntilNextSecond(d, now);
  EXPECT_EQ(now, d);
  EXPECT_EQ(SecondsLeft(d, now), 0);
}

TEST(Deadline, StartsAtZeroOrBelowEndOneSecondLater) {
  EXPECT_EQ(SecondsLeft(DeadlineAfter(0, 0), 1000), -1);
  EXPECT_EQ(SecondsLeft(DeadlineAfter(0, -5), 1000), -6);
}

TEST(Deadline, ExtremePeriodsSaturate) {
  EXPECT_EQ(SecondsLeft(DeadlineAfter(0, INT32_MIN), 1000), INT32_MIN);
  EXPECT_EQ(SecondsLeft(DeadlineAfter(1000, INT32_MAX), 1000), INT32_MAX);
  EXPECT_EQ(SecondsLeft(DeadlineAfter(0, INT32_MAX), -5000), INT32_MAX);
}

}  // namespace
