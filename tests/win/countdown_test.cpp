// The countdown: ticks, tooltip, beeps and the end, driven by the fake clock.
#include <cmath>

#include "app/mainwnd.h"
#include "app/startup.h"
#include "res/resource.h"
#include "rig.h"
#include "timer/clock.h"
#include "timer/sysapi.h"
#include "timer/timer.h"
#include "traymenu_inside.h"

namespace {

using CountdownTest = ProgramTest;

TEST_F(CountdownTest, EachSecondRewritesTheTooltip) {
  Start("90");
  Tick();
  EXPECT_EQ(Timer->Remaining, 89);
  EXPECT_EQ(Tooltip(), "Kwiet! [00:01:29]");
  EXPECT_EQ(Timer->Watch.NextTickMs, 1000u);
  Tick();
  EXPECT_EQ(Tooltip(), "Kwiet! [00:01:28]");
  EXPECT_TRUE(Fake.Beeps.empty());
}

TEST_F(CountdownTest, EarlyTickChangesNothingAndWaitsForTheRest) {
  Start("90");
  Tick(990);
  EXPECT_EQ(Timer->Remaining, 90);
  EXPECT_EQ(Tooltip(), "Kwiet!");
  EXPECT_EQ(Timer->Watch.NextTickMs, 10u);
  Tick(10);
  EXPECT_EQ(Timer->Remaining, 89);
}

TEST_F(CountdownTest, MinuteBeepOnceThenRisingWarningBeeps) {
  Start("62");
  Tick();  // 61
  EXPECT_TRUE(Fake.Beeps.empty());
  Tick();  // 60
  ASSERT_EQ(Fake.Beeps.size(), 1u);
  EXPECT_EQ(Fake.Beeps[0].Frequency, 300u);
  EXPECT_EQ(Fake.Beeps[0].Duration, 250u);
  for (int i = 0; i < 29; ++i) Tick();  // 59 .. 31: silence
  EXPECT_EQ(Fake.Beeps.size(), 1u);
  Tick();  // 30
  ASSERT_EQ(Fake.Beeps.size(), 2u);
  EXPECT_EQ(Fake.Beeps[1].Frequency, 300u);
  EXPECT_EQ(Fake.Beeps[1].Duration, 50u);
  for (int i = 0; i < 29; ++i) Tick();  // 29 .. 1
  EXPECT_EQ(Fake.Beeps.back().Frequency, 590u);
  EXPECT_TRUE(Fake.PowerOffs.empty());
  Tick();  // 0
  EXPECT_EQ(Fake.Beeps.back().Frequency, 600u);
  EXPECT_EQ(Fake.Beeps.size(), 2u + 29u + 1u);
  EXPECT_TRUE(QuitPosted());
}

TEST_F(CountdownTest, LateTickStillGivesTheMinuteBeepOnce) {
  Start("63");
  Tick(4500);  // a stalled thread: 63 -> 59 in one tick
  EXPECT_EQ(Timer->Remaining, 59);
  ASSERT_EQ(Fake.Beeps.size(), 1u);
  EXPECT_EQ(Fake.Beeps[0].Frequency, 300u);
  Tick();
  EXPECT_EQ(Fake.Beeps.size(), 1u);
}

TEST_F(CountdownTest, WithoutWarningSoundNoBeepButStillTheEnd) {
  Start("62");
  Timer->WarningSound = false;
  EXPECT_EQ(TickToEnd(100), 62);
  EXPECT_TRUE(Fake.Beeps.empty());
  ASSERT_EQ(Fake.PowerOffs.size(), 1u);
}

TEST_F(CountdownTest, ZeroAsksForPowerOffOnceAndEndsTheLoop) {
  Start("3");
  Tick();
  Tick();
  EXPECT_TRUE(Fake.PowerOffs.empty());
  InsideScript noBox({}, 30);  // a granted request is not reported
  Tick();
  EXPECT_FALSE(noBox.ClosedLeftovers());
  EXPECT_TRUE(QuitPosted());
  ASSERT_EQ(Fake.PowerOffs.size(), 1u);
  EXPECT_EQ(Fake.PowerOffs[0].Flags, static_cast<UINT>(EWX_POWEROFF));
  EXPECT_EQ(Tooltip(), "Kwiet! [00:00:00]");
  // The icon is gone, and stray ticks before the process ends ask nothing more.
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &TrayIconData));
  Tick();
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}

TEST_F(CountdownTest, ForcedPowerOffWhenTheSwitchIsOn) {
  Start("1");
  Timer->ForceShutdown = true;
  Tick();
  ASSERT_EQ(Fake.PowerOffs.size(), 1u);
  EXPECT_EQ(Fake.PowerOffs[0].Flags, static_cast<UINT>(EWX_POWEROFF | EWX_FORCE));
}

TEST_F(CountdownTest, StalledThreadSkipsSecondsButEndsOnTime) {
  Start("20");
  Tick();
  Tick(5000);  // the GUI thread was blocked for five seconds
  EXPECT_EQ(Timer->Remaining, 14);
  EXPECT_EQ(Tooltip(), "Kwiet! [00:00:14]");
  EXPECT_EQ(TickToEnd(20), 14);
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}

// Windows rounds a 1000-ms timer up to its tick, about 1.56 % late. Re-arming
// for the next whole second keeps the end on the deadline.
TEST_F(CountdownTest, SlowTimerStillEndsWithinOneTimerQuantum) {
  const int period = 600;
  Start("600");
  ULONGLONG start = Fake.NowMs;
  int ticks = 0;
  while (!QuitPosted() && ticks < 2 * period) {
    auto late = static_cast<ULONGLONG>(std::ceil(Timer->Watch.NextTickMs * 1.0156));
    Tick(late);
    ++ticks;
  }
  ASSERT_TRUE(QuitPosted());
  long long endedAfter = static_cast<long long>(Fake.NowMs - start);
  EXPECT_GE(endedAfter, period * 1000LL);
  EXPECT_LE(endedAfter, period * 1000LL + 16);
}

TEST_F(CountdownTest, PauseKeepsTheSecondsAndResumeCountsOnFromThem) {
  Start("50");
  Tick();
  Timer->SetRunning(false);
  Tick(10000);  // a stray tick while paused changes nothing
  EXPECT_EQ(Timer->Remaining, 49);
  EXPECT_EQ(Tooltip(), "Kwiet! [00:00:49]");
  Timer->SetRunning(true);
  Tick();
  EXPECT_EQ(Timer->Remaining, 48);
}

TEST_F(CountdownTest, RestartReturnsToThePeriod) {
  Start("50");
  Tick(3000);
  Timer->Restart();
  EXPECT_EQ(Timer->Remaining, 50);
  Tick();
  EXPECT_EQ(Timer->Remaining, 49);
}

TEST_F(CountdownTest, NegativeStartEndsAtTheFirstTick) {
  Start("-5");
  EXPECT_EQ(Timer->Remaining, -5);
  Tick();
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(Tooltip(), "Kwiet! [-00:00:06]");
  // The warning reads 0 below zero, but the pitch goes on rising: -6 is 660 Hz.
  ASSERT_FALSE(Fake.Beeps.empty());
  EXPECT_EQ(Fake.Beeps.back().Frequency, 660u);
}

TEST_F(CountdownTest, MostNegativeStartSaturatesInsteadOfOverflowing) {
  Start("-2147483648");
  Tick();
  EXPECT_EQ(Timer->Remaining, INT32_MIN);
  EXPECT_EQ(Tooltip(), "Kwiet! [-596523:14:08]");
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}

TEST_F(CountdownTest, RealTimersDriveTheCountdown) {
  // The fake clock stands still: the real timer's ticks must change nothing.
  Start("5");
  Pump(1300);
  EXPECT_EQ(Timer->Remaining, 5);
  Fake.NowMs += 1000;
  Pump(1300);
  EXPECT_EQ(Timer->Remaining, 4);
}

}  // namespace

namespace {

// A sleep: the tick count and the wall clock run on for an hour, the unbiased
// interrupt time stands still, and the timer that was due fires at wake. The
// countdown goes on where it was instead of powering off at wake; of the
// awake time the second from the suspend to the next tick is left out, the
// resumes move nothing more.
TEST_F(CountdownTest, SleepPausesTheCountdownInsteadOfEndingItAtWake) {
  Start("10");
  Tick();
  Power(PBT_APMSUSPEND);
  Tick();
  EXPECT_EQ(Timer->Remaining, 9);
  Fake.NowMs += 600;
  Fake.TickMs += 3600 * 1000;
  Fake.UtcTime.wHour += 1;
  for (WPARAM resume : {PBT_APMRESUMECRITICAL, PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND}) Power(resume);
  Tick(0);
  EXPECT_EQ(Timer->Remaining, 9);
  Tick(400);
  EXPECT_EQ(Timer->Remaining, 8);
  EXPECT_TRUE(Fake.PowerOffs.empty());
  EXPECT_EQ(TickToEnd(20), 8);
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}

// Before Windows 7 there is no unbiased clock: the countdown counts on the
// tick count, which wraps at 2^32 ms (49.7 days after boot) and runs on in sleep.
TEST_F(CountdownTest, WithoutTheUnbiasedClockTheTickCountServesAcrossItsWrap) {
  Sys.QueryUnbiasedInterruptTime = nullptr;
  Fake.TickMs = (1ULL << 32) - 2500;
  Start("5");
  for (int32_t left = 4; left >= 1; --left) {
    Tick();
    EXPECT_EQ(Timer->Remaining, left) << "tick count " << Fake.TickMs;
  }
  EXPECT_TRUE(Fake.PowerOffs.empty());
  Tick();
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}

// There a sleep is left out: from the suspend, at the tick that fell due in
// the sleep, which comes at wake before the resumes (Windows sends two, the
// second when the user is back). The 5 s awake between those count; the
// warning then starts at 30, not at wake.
TEST_F(CountdownTest, WithoutTheUnbiasedClockSleepIsLeftOutByThePowerMessages) {
  Sys.QueryUnbiasedInterruptTime = nullptr;
  Start("40");
  Tick();
  Power(PBT_APMSUSPEND);
  // Without the tick only a resume message would start it again, and that may never come.
  EXPECT_TRUE(KillTimer(MainWnd, TICK_TIMER_ID)) << "a suspend stopped the tick";
  Fake.TickMs += 3600 * 1000;
  Tick(0);
  Tick(0);
  Power(PBT_APMRESUMEAUTOMATIC);
  Tick(5000);
  Power(PBT_APMRESUMESUSPEND);
  EXPECT_EQ(Timer->Remaining, 34);
  EXPECT_TRUE(Fake.Beeps.empty());
  EXPECT_EQ(TickToEnd(100), 34);
  EXPECT_EQ(Fake.Beeps.at(0).Frequency, 300u) << "the warning did not start at 30";
}

// A sleep Windows did not announce (a critical suspend), or announced while
// the program was busy, so that it hears the suspend only at wake: the power
// messages and the tick overdue since before the sleep come in any order, on
// a slow resume from hibernation many seconds apart. Every order ends once,
// late at most by the part of a second before the sleep, never early.
struct WakeStep {
  ULONGLONG AtMs;  // after the wake; before the sleep, after the start
  WPARAM Power;    // 0: the overdue tick, if timer 1 has one
};
constexpr WPARAM OVERDUE_TICK = 0;
constexpr ULONGLONG HOUR_MS = 3600 * 1000;

class WakeTest : public ProgramTest {
 protected:
  void Begin(const char* seconds) {
    Sys.QueryUnbiasedInterruptTime = nullptr;
    Start(seconds);
    start_ = Fake.TickMs;
  }

  // A 40-s countdown, asleep `sleepAtMs` after its start for `sleepMs`.
  void ExpectOneEnd(const std::vector<WakeStep>& steps, const std::vector<WakeStep>& before = {},
                    ULONGLONG sleepAtMs = 300, ULONGLONG sleepMs = HOUR_MS) {
    Begin("40");
    Hear(start_, before);
    RunTo(start_ + sleepAtMs);
    Fake.TickMs += sleepMs;
    const ULONGLONG wake = Fake.TickMs;
    Hear(wake, steps);
    RunTo(wake + 60000);
    ASSERT_TRUE(QuitPosted());
    const ULONGLONG awakeMs = Fake.TickMs - start_ - sleepMs;
    EXPECT_GE(awakeMs, 40000u) << "ended early";
    EXPECT_LE(awakeMs, 41000u);
  }

  // The ticks timer 1 brings, as it is armed, until `ms` on the tick count,
  // which then reads `ms` unless the countdown ended before.
  void RunTo(ULONGLONG ms) {
    int64_t due = 0;
    while (!QuitPosted() && DueIn(due) && due >= 0 && Fake.TickMs + due <= ms) Tick(due);
    if (!QuitPosted()) Fake.TickMs = ms;
  }

  // What the program hears, each step at its time after `from`.
  void Hear(ULONGLONG from, const std::vector<WakeStep>& steps) {
    for (const WakeStep& step : steps) {
      RunTo(from + step.AtMs);
      if (QuitPosted()) return;
      if (step.Power != OVERDUE_TICK) {
        Power(step.Power);
      } else if (int64_t due = 0; DueIn(due) && due <= 0) {
        Tick(0);
      }
    }
  }

  // Milliseconds until timer 1's next message, negative when it is overdue;
  // false while the timer is not set.
  bool DueIn(int64_t& ms) const {
    if (!Timer->Running || Timer->Ended) return false;
    ms = Timer->Watch.ArmedMs + Timer->Watch.NextTickMs - static_cast<int64_t>(MonotonicMs());
    return true;
  }

  void Command(WPARAM id) { SendMessageA(MainWnd, WM_COMMAND, id, 0); }

  ULONGLONG start_ = 0;
};

// The wake-order table runs against the rules on the host; these few show
// that the program follows them: a resume first, the tick first, a suspend
// heard late, a suspend that no resume follows.
TEST_F(WakeTest, ResumeFirst) { ExpectOneEnd({{50, PBT_APMRESUMEAUTOMATIC}, {80, OVERDUE_TICK}}); }
TEST_F(WakeTest, TickFirst) { ExpectOneEnd({{50, OVERDUE_TICK}, {80, PBT_APMRESUMECRITICAL}}); }
TEST_F(WakeTest, SuspendHeardAtWake) {
  ExpectOneEnd({{50, PBT_APMSUSPEND}, {60, PBT_APMRESUMEAUTOMATIC}, {70, PBT_APMRESUMESUSPEND}, {80, OVERDUE_TICK}});
}
TEST_F(WakeTest, NoResumeAfterTheSuspend) { ExpectOneEnd({{50, OVERDUE_TICK}}, {{300, PBT_APMSUSPEND}}); }

// Sleeps while paused move nothing and arm no tick; then, counting, a sleep
// heard late and an announced one with both resumes queued. The time counted
// is 1.1 + 1.4 + 1.7 s before the last wake, so the end lies 34.8 s after it,
// up to two seconds later (the pause keeps the whole second shown; the sleep
// heard late counts from the tick before it).
TEST_F(WakeTest, ALongSessionEndsNeverEarly) {
  Begin("39");
  RunTo(start_ + 1100);
  Command(IDM_PAUSE);
  const std::string paused = Tooltip();
  const std::vector<WakeStep> naps[] = {
      {{0, PBT_APMSUSPEND}, {12000, PBT_APMRESUMEAUTOMATIC}, {10, PBT_APMRESUMESUSPEND}},
      {{0, PBT_APMRESUMEAUTOMATIC}},
      {{12000, PBT_APMSUSPEND}, {10, PBT_APMRESUMEAUTOMATIC}},
  };
  for (const std::vector<WakeStep>& nap : naps) {
    Hear(Fake.TickMs + 5000, nap);
    EXPECT_EQ(Timer->Remaining, 38);
    EXPECT_EQ(Tooltip(), paused);
    EXPECT_FALSE(KillTimer(MainWnd, TICK_TIMER_ID)) << "a power message armed the tick of a paused countdown";
  }
  Command(IDM_FORCE);
  RunTo(start_ + 94000);
  Command(IDM_PAUSE);
  RunTo(start_ + 95400);
  Fake.TickMs += 16700;
  Hear(Fake.TickMs,
       {{0, PBT_APMSUSPEND}, {10, PBT_APMRESUMEAUTOMATIC}, {20, PBT_APMRESUMESUSPEND}, {30, OVERDUE_TICK}});
  RunTo(start_ + 113800);
  Power(PBT_APMSUSPEND);
  Fake.TickMs += 5000;
  const ULONGLONG lastWake = Fake.TickMs;
  Hear(lastWake, {{0, PBT_APMRESUMEAUTOMATIC}, {0, PBT_APMRESUMESUSPEND}, {0, OVERDUE_TICK}});
  RunTo(lastWake + 60000);
  ASSERT_TRUE(QuitPosted());
  EXPECT_GE(Fake.TickMs - lastWake, 34800u) << "ended early";
  EXPECT_LE(Fake.TickMs - lastWake, 36800u);
  ASSERT_EQ(Fake.PowerOffs.size(), 1u);
  EXPECT_EQ(Fake.PowerOffs[0].Flags, static_cast<UINT>(EWX_POWEROFF | EWX_FORCE));
}

// Windows may stop the program while either clock runs on (modern standby,
// a busy machine, a debugger): a stop of over 5 s is left out, before the
// warning or inside it, and the warning keeps all its seconds; a shorter
// one counts. A suspend heard before a pause is void after it, and a resume
// then arms nothing.
class StopTest : public ProgramTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StopTest, ALongStopIsLeftOutAndAPauseOutlastsAWake) {
  if (!GetParam()) Sys.QueryUnbiasedInterruptTime = nullptr;
  Start("40");
  Tick();
  Tick(60000);
  EXPECT_EQ(Timer->Remaining, 39);
  EXPECT_TRUE(Fake.PowerOffs.empty());
  Tick(4000);
  EXPECT_EQ(Timer->Remaining, 35);
  Power(PBT_APMSUSPEND);
  Timer->SetRunning(false);
  Power(PBT_APMRESUMEAUTOMATIC);
  EXPECT_FALSE(KillTimer(MainWnd, TICK_TIMER_ID)) << "a resume armed the tick of a paused countdown";
  Timer->SetRunning(true);
  for (int i = 0; i < 15; ++i) Tick();
  Tick(60000);
  EXPECT_EQ(Timer->Remaining, 20);
  EXPECT_EQ(TickToEnd(100), 20);
  EXPECT_EQ(Fake.Beeps.size(), 31u) << "the warning lost seconds";
}

INSTANTIATE_TEST_SUITE_P(BothClocks, StopTest, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
  return std::string(info.param ? "Unbiased" : "TickCount");
});

}  // namespace
