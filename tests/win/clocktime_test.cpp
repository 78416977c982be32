// The real time until a clock time, with the present, the zone and the clock
// the user sees set through the fake.
#include "timer/clocktime.h"

#include "rig.h"
#include "timer/sysapi.h"

namespace {

class ClockTimeTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallFakeSystem(); }
  void TearDown() override { Sys = RealSystemApi; }
};

int64_t Until(const TIME_ZONE_INFORMATION& zone, SYSTEMTIME now, UINT hour, UINT minute) {
  Fake.Zone = zone;
  Fake.UtcTime = now;
  return MinutesUntilClockTime(hour, minute);
}

TEST_F(ClockTimeTest, CountsTheRealMinutesUntilTheClockNextReadsTheTime) {
  EXPECT_EQ(Until(Europe, Utc(12, 7, 13, 37), 14, 36), 1439);  // an ordinary day: tomorrow's
  // 20:00 before the clocks go back: 02:30 comes twice, the first counts.
  EXPECT_EQ(Until(Europe, Utc(10, 24, 18, 0), 2, 30), 6 * 60 + 30);
  EXPECT_EQ(Until(Europe, Utc(10, 25, 0, 50), 2, 10), 20);       // 02:50, before the change: 02:10 comes again
  EXPECT_EQ(Until(Europe, Utc(10, 24, 21, 0), 22, 0), 24 * 60);  // 23:00: tomorrow's 22:00
  EXPECT_EQ(Until(Europe, Utc(10, 24, 23, 0), 4, 0), 4 * 60);    // 01:00: 04:00 after the change
  // 20:00 before the clocks go forward: 02:30 is skipped and read on the
  // clock before the change, 03:30; once the jump is past, tomorrow's.
  EXPECT_EQ(Until(Europe, Utc(3, 28, 19, 0), 1, 30), 5 * 60 + 30);
  EXPECT_EQ(Until(Europe, Utc(3, 28, 19, 0), 8, 0), 11 * 60);
  EXPECT_EQ(Until(Europe, Utc(3, 28, 19, 0), 2, 30), 6 * 60 + 30);
  EXPECT_EQ(Until(Europe, Utc(3, 29, 1, 10), 2, 30), 23 * 60 + 20);
  // As in Sydney: 20:00 before the clocks go back (5 April) and forward (4 October).
  const auto south = MakeZone(600, {0, 10, 0, 1, 2, 0, 0, 0}, {0, 4, 0, 1, 3, 0, 0, 0});
  EXPECT_EQ(Until(south, Utc(4, 4, 9, 0), 8, 0), 13 * 60);
  EXPECT_EQ(Until(south, Utc(10, 3, 10, 0), 8, 0), 11 * 60);
  EXPECT_EQ(Until(MakeZone(330), Utc(10, 24, 14, 30), 8, 0), 12 * 60);  // no daylight saving
  // Rules the system refuses (a ninth Sunday; Wine takes a thirteenth month
  // as one never reached): the clock's difference from 19:00.
  EXPECT_EQ(Until(MakeZone(60, {0, 3, 0, 9, 2, 0, 0, 0}, {0, 10, 0, 5, 3, 0, 0, 0}), Utc(10, 24, 18, 0), 8, 0),
            13 * 60);
  // Automatic daylight saving turned off: in July the clock reads 13:00,
  // standard time, though the zone keeps its dates; the clock's difference.
  Fake.DaylightAdjustOff = true;
  EXPECT_EQ(Until(Europe, Utc(7, 15, 12, 0), 18, 0), 5 * 60);
  // ... and on the nights the zone's clocks change, this one does not: 20:00
  // in standard time, 08:00 comes 12 hours on, in spring and in autumn.
  EXPECT_EQ(Until(Europe, Utc(3, 28, 19, 0), 8, 0), 12 * 60);
  EXPECT_EQ(Until(Europe, Utc(10, 24, 19, 0), 8, 0), 12 * 60);
}

}  // namespace
