// The real time until a clock time of day.
#pragma once
#include <windows.h>

#include <cstdint>

// Whole minutes from now (its seconds dropped) until the clock the user sees
// (GetLocalTime) next reads hour:minute; a time already passed is tomorrow's.
// Where the time zone's rules give that clock's present reading, it is the
// real time by those rules, which differs from the clock's difference on the
// nights the clocks change: a time that comes twice counts at its next
// occurrence (the first while both lie ahead, the second once the first has
// passed); a time skipped by a change to summer time is read on the clock as
// it ran before the change (02:30 is 03:30 after a jump from 02:00 to 03:00),
// as long as the jump lies ahead. Elsewhere it is the clock's difference:
// rules the system cannot apply, a clock that does not follow them (automatic
// daylight saving turned off: Windows then reports neither summer nor winter
// time in force, whatever dates the zone keeps), an hour above 23 or a
// minute above 59.
int64_t MinutesUntilClockTime(UINT hour, UINT minute);
