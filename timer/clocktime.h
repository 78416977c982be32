// The real time until a clock time of day, by the time zone's rules.
#pragma once
#include <windows.h>

#include <cstdint>

// Whole minutes from `utcNow` (its seconds dropped) until the next moment the
// local time of `zone` reads hour:minute; on an ordinary day the same as the
// wall-clock difference. A time that comes twice counts at its next
// occurrence: the first while both lie ahead. A time skipped by a change to
// summer time is read on the clock as it ran before the change (02:30 is
// 03:30 after a jump from 02:00 to 03:00), as long as the jump lies ahead.
// False for an hour above 23 or a minute above 59, and when the system
// cannot apply the zone's rules.
bool MinutesUntilClockTime(const SYSTEMTIME& utcNow, const TIME_ZONE_INFORMATION& zone, UINT hour, UINT minute,
                           int64_t& minutes);
