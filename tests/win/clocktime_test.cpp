// The real time until a clock time, by the zone's rules, on ordinary days and
// on the nights the clocks change, with the system's own conversions.
#include "timer/clocktime.h"

#include "rig.h"

namespace {

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second = 0) {
  return {year, month, 0, day, hour, minute, second, 0};
}

// UTC+10, summer time from the first Sunday of October 02:00 to the first
// Sunday of April 03:00, as in Sydney.
TIME_ZONE_INFORMATION SouthernZone() { return MakeZone(600, {0, 10, 0, 1, 2, 0, 0, 0}, {0, 4, 0, 1, 3, 0, 0, 0}); }

// The Central European rules given as the dates of one year. Wine applies
// such dates in every year, Windows only in theirs: the case stays in 2026.
TIME_ZONE_INFORMATION CentralEuropeanZone2026() {
  return MakeZone(60, {2026, 3, 0, 29, 2, 0, 0, 0}, {2026, 10, 0, 25, 3, 0, 0, 0});
}

struct Case {
  const char* What;
  TIME_ZONE_INFORMATION Zone;
  SYSTEMTIME UtcNow;
  UINT Hour, Minute;
  int64_t Minutes;
};

// In 2026 Central Europe's clocks go forward on 29 March and back on
// 25 October; the southern zone's go back on 5 April and forward on 4 October.
TEST(ClockTimeTest, CountsTheRealMinutesUntilTheClockNextReadsTheTime) {
  const TIME_ZONE_INFORMATION europe = CentralEuropeanZone(), south = SouthernZone(), india = MakeZone(330);
  const Case cases[] = {
      {"ordinary winter day, a minute passed: tomorrow's", europe, Utc(2026, 12, 7, 13, 37, 45), 14, 36, 1439},
      {"ordinary summer day, the same minute", europe, Utc(2026, 7, 1, 12, 37, 45), 14, 37, 0},
      {"20:00 before the clocks go back, 08:00", europe, Utc(2026, 10, 24, 18, 0, 30), 8, 0, 13 * 60},
      {"... 01:30, before the change", europe, Utc(2026, 10, 24, 18, 0), 1, 30, 5 * 60 + 30},
      {"... 02:30 comes twice: the first", europe, Utc(2026, 10, 24, 18, 0), 2, 30, 6 * 60 + 30},
      {"01:00 that night, 04:00", europe, Utc(2026, 10, 24, 23, 0), 4, 0, 4 * 60},
      {"02:50 before the change, 02:10 comes again", europe, Utc(2026, 10, 25, 0, 50), 2, 10, 20},
      {"23:00 that evening, 22:00 tomorrow", europe, Utc(2026, 10, 24, 21, 0), 22, 0, 24 * 60},
      {"20:00 before the clocks go forward, 08:00", europe, Utc(2026, 3, 28, 19, 0), 8, 0, 11 * 60},
      {"... 01:30, before the change", europe, Utc(2026, 3, 28, 19, 0), 1, 30, 5 * 60 + 30},
      {"... 02:30 is skipped: 03:30", europe, Utc(2026, 3, 28, 19, 0), 2, 30, 6 * 60 + 30},
      {"03:10 after the jump, 02:30: tomorrow's", europe, Utc(2026, 3, 29, 1, 10), 2, 30, 23 * 60 + 20},
      {"23:00 that evening, 22:00 tomorrow", europe, Utc(2026, 3, 28, 22, 0), 22, 0, 22 * 60},
      {"rules as dates of the year", CentralEuropeanZone2026(), Utc(2026, 10, 24, 18, 0), 8, 0, 13 * 60},
      {"south, summer across the new year", south, Utc(2026, 1, 15, 3, 37), 14, 36, 1439},
      {"south, 20:00 before the clocks go back", south, Utc(2026, 4, 4, 9, 0), 8, 0, 13 * 60},
      {"south, 20:00 before the clocks go forward", south, Utc(2026, 10, 3, 10, 0), 8, 0, 11 * 60},
      {"south, 02:30 is skipped: 03:30", south, Utc(2026, 10, 3, 10, 0), 2, 30, 6 * 60 + 30},
      {"no daylight saving, 20:00 on a European night", india, Utc(2026, 10, 24, 14, 30), 8, 0, 12 * 60},
  };
  for (const Case& c : cases) {
    int64_t minutes = -1;
    EXPECT_TRUE(MinutesUntilClockTime(c.UtcNow, c.Zone, c.Hour, c.Minute, minutes)) << c.What;
    EXPECT_EQ(minutes, c.Minutes) << c.What;
  }
}

TEST(ClockTimeTest, RefusesTimesBeyondADayAndRulesTheSystemCannotApply) {
  const SYSTEMTIME now = Utc(2026, 10, 24, 18, 0);
  TIME_ZONE_INFORMATION broken = CentralEuropeanZone();
  // A ninth Sunday of the month. Wine takes a thirteenth month as one never
  // reached, so that cannot stand for rules the system refuses.
  broken.DaylightDate.wDay = 9;
  int64_t minutes = -1;
  EXPECT_FALSE(MinutesUntilClockTime(now, CentralEuropeanZone(), 24, 0, minutes));
  EXPECT_FALSE(MinutesUntilClockTime(now, CentralEuropeanZone(), 8, 60, minutes));
  EXPECT_FALSE(MinutesUntilClockTime(now, broken, 8, 0, minutes));
  EXPECT_EQ(minutes, -1);
}

}  // namespace
