#include "timer/clocktime.h"

#include "timer/sysapi.h"

namespace {

constexpr int64_t TICKS_PER_MINUTE = 600000000;  // FILETIME counts 100 ns
constexpr int64_t MINUTES_PER_DAY = 24 * 60;
constexpr UINT MAX_HOUR = 23, MAX_MINUTE = 59;

// A time as whole minutes since 1601, its seconds dropped.
bool ToMinutes(SYSTEMTIME time, int64_t& minutes) {
  time.wSecond = 0;
  time.wMilliseconds = 0;
  FILETIME file;
  if (!SystemTimeToFileTime(&time, &file)) return false;
  ULARGE_INTEGER ticks;
  ticks.LowPart = file.dwLowDateTime;
  ticks.HighPart = file.dwHighDateTime;
  minutes = static_cast<int64_t>(ticks.QuadPart / TICKS_PER_MINUTE);
  return true;
}

bool FromMinutes(int64_t minutes, SYSTEMTIME& time) {
  if (minutes < 0) return false;
  ULARGE_INTEGER ticks;
  ticks.QuadPart = static_cast<ULONGLONG>(minutes) * TICKS_PER_MINUTE;
  FILETIME file = {ticks.LowPart, ticks.HighPart};
  return FileTimeToSystemTime(&file, &time) != FALSE;
}

// The local reading of a UTC minute, by the system's own reading of the rules.
bool LocalAt(const TIME_ZONE_INFORMATION& zone, int64_t utc, int64_t& local) {
  SYSTEMTIME universal, there;
  return FromMinutes(utc, universal) && SystemTimeToTzSpecificLocalTime(&zone, &universal, &there) &&
         ToMinutes(there, local);
}

// By the zone's rules, from `now` in UTC whose local reading is `localNow`.
// False for an hour above 23 or a minute above 59, and when the system cannot
// apply the rules.
bool ByZoneRules(const TIME_ZONE_INFORMATION& zone, int64_t now, int64_t localNow, UINT hour, UINT minute,
                 int64_t& minutes) {
  if (hour > MAX_HOUR || minute > MAX_MINUTE) return false;
  // Every offset the zone may have (without daylight saving some systems add
  // the standard bias and some do not). Each candidate is checked by
  // converting it back, so no guess about the rules decides the result, nor
  // how TzSpecificLocalTimeToSystemTime resolves a doubled or skipped time.
  const int64_t bias = zone.Bias;
  const int64_t offsets[] = {-bias, -(bias + zone.StandardBias), -(bias + zone.DaylightBias)};
  const int64_t midnight = localNow - localNow % MINUTES_PER_DAY;
  bool found = false;
  int64_t best = 0;
  auto consider = [&](int64_t utc) {
    if (utc < now || (found && utc >= best)) return;
    best = utc;
    found = true;
  };
  // Today's and tomorrow's reading: the next one is always among them.
  for (int64_t day = 0; day < 2; ++day) {
    const int64_t wall = midnight + day * MINUTES_PER_DAY + hour * 60 + minute;
    bool read = false, first = true;
    int64_t earliest = 0, offsetBefore = 0;
    for (int64_t offset : offsets) {
      int64_t utc = wall - offset, local = 0;
      if (!LocalAt(zone, utc, local)) return false;
      if (local == wall) {
        read = true;
        consider(utc);
      }
      if (first || utc < earliest) {
        earliest = utc;
        offsetBefore = local - utc;
        first = false;
      }
    }
    // Never read: the clock jumps over it. The earliest candidate lies
    // before the jump and tells the offset in force then.
    if (!read && localNow < wall) consider(wall - offsetBefore);
  }
  if (!found) return false;
  minutes = best - now;
  return true;
}

int64_t ClockDifference(const SYSTEMTIME& clock, UINT hour, UINT minute) {
  int64_t minutes = static_cast<int64_t>(hour) * 60 + minute - (clock.wHour * 60 + clock.wMinute);
  return minutes < 0 ? minutes + MINUTES_PER_DAY : minutes;
}

}  // namespace

int64_t MinutesUntilClockTime(UINT hour, UINT minute) {
  TIME_ZONE_INFORMATION zone = {};
  // Unknown: the clock makes no change here (no summer time, or automatic
  // adjustment turned off), though the zone may keep its dates. Agreeing
  // with them in winter would not make the clock skip the spring's hour.
  const DWORD id = Sys.GetTimeZoneInformation(&zone);
  const bool rules = id == TIME_ZONE_ID_STANDARD || id == TIME_ZONE_ID_DAYLIGHT;
  SYSTEMTIME utc = {}, clock = {};
  int64_t now = 0, localNow = 0, clockNow = 0;
  bool agree = false;
  // The two clocks are read one after the other: a minute that turns between
  // the reads is read again.
  for (int read = 0; read < 2 && !agree; ++read) {
    Sys.GetSystemTime(&utc);
    Sys.GetLocalTime(&clock);
    agree = rules && ToMinutes(utc, now) && LocalAt(zone, now, localNow) && ToMinutes(clock, clockNow) &&
            clockNow == localNow;
  }
  int64_t minutes = 0;
  if (agree && ByZoneRules(zone, now, localNow, hour, minute, minutes)) return minutes;
  return ClockDifference(clock, hour, minute);
}
