// Sleep on the tick-count clock: a 40-s countdown driven as the program
// drives it, through sleeps, stalls and the power messages in the orders a
// wake may bring them. Each row must end once, after 40 s awake, late by at
// most its limit, never early.
#include "timer/sleepwatch.h"

#include <gtest/gtest.h>

#include <vector>

#include "timer/deadline.h"

namespace {

enum Event : uint8_t {
  Suspend,
  Resume,  // any of the three: the program takes them alike
  Tick,    // timer 1's message, if it has one due (at a wake, the overdue one)
  Queued,  // a message of timer 1 queued before the step before, whatever is due now
  Sleep,   // the clock runs on `Ms` with the machine asleep: no message comes
  Stall,   // the same awake, the thread busy; then timer 1's merged message
};

struct Step {
  int64_t AfterMs;  // after the step before; ticks come as timer 1 is armed meanwhile
  Event What;
  int64_t Ms = 0;
};

struct Row {
  const char* Name;
  std::vector<Step> Steps;
  int64_t LateUpToMs = 1000;
};

constexpr int64_t HOUR = 3600 * 1000;

class Countdown {
 public:
  Countdown() { watch_.Armed(now_, 1000); }

  void Do(const Step& step) {
    Run(step.AfterMs);
    if (endedAt_ != 0) return;
    switch (step.What) {
      case Suspend:
        Follow(watch_.Suspend(now_));
        break;
      case Resume:
        if (Follow(watch_.Resume(now_))) watch_.Armed(now_, MsUntilNextSecond(deadline_, now_));
        break;
      case Sleep:
        now_ += step.Ms;
        slept_ += step.Ms;
        break;
      case Stall:
        now_ += step.Ms;
        [[fallthrough]];
      case Tick:
        if (Due() <= now_) TimerMessage();
        break;
      case Queued:
        TimerMessage();
        break;
    }
  }

  // The messages timer 1 brings as it is armed, for `ms` more; one overdue
  // before comes only with a step of its own.
  void Run(int64_t ms) {
    const int64_t until = now_ + ms;
    while (endedAt_ == 0 && Due() >= now_ && Due() <= until) {
      now_ = Due();
      TimerMessage();
    }
    if (endedAt_ == 0) now_ = until;
  }

  // The end in time awake after the start; 0 while it has not come.
  int64_t EndedAwakeMs() const { return endedAt_ == 0 ? 0 : endedAt_ - start_ - slept_; }

 private:
  int64_t Due() const { return watch_.ArmedMs + watch_.NextTickMs; }

  bool Follow(const TSleepStep& step) {
    if (step.What == TSleepStep::Wait) watch_.Armed(now_, step.WaitMs);
    if (step.What != TSleepStep::Count) return false;
    deadline_ += step.LeaveOutMs;
    return true;
  }

  void TimerMessage() {
    if (!Follow(watch_.Tick(now_))) return;
    if (SecondsLeft(deadline_, now_) <= 0) {
      endedAt_ = now_;
    } else {
      watch_.Armed(now_, MsUntilNextSecond(deadline_, now_));
    }
  }

  const int64_t start_ = 5000000;  // the tick count at the start
  int64_t now_ = start_;
  int64_t deadline_ = DeadlineAfter(start_, 40);
  int64_t slept_ = 0;
  int64_t endedAt_ = 0;
  TSleepWatch watch_ = {};
};

const Row ROWS[] = {
    // One sleep Windows did not announce, or announced while the program was busy.
    {"ResumeFirst", {{300, Sleep, HOUR}, {50, Resume}, {30, Tick}}},
    {"TickFirst", {{300, Sleep, HOUR}, {50, Tick}, {30, Resume}}},
    {"BothResumesFirst", {{300, Sleep, HOUR}, {50, Resume}, {10, Resume}, {20, Tick}}},
    {"TickBeforeBothResumes", {{300, Sleep, HOUR}, {50, Tick}, {10, Resume}, {20, Resume}}},
    {"TickTwentySecondsAfterTheResume", {{300, Sleep, HOUR}, {50, Resume}, {20000, Tick}}},
    {"ResumeTwelveSecondsAfterTheTick", {{300, Sleep, HOUR}, {50, Tick}, {12000, Resume}}},
    {"SuspendHeardAtWake", {{300, Sleep, HOUR}, {50, Suspend}, {10, Resume}, {10, Resume}, {10, Tick}}},
    {"SuspendHeardAfterTheTick", {{300, Sleep, HOUR}, {50, Tick}, {10, Suspend}, {10, Resume}, {10, Resume}}},
    {"ResumeJustBeforeTheSleep", {{1100, Resume}, {400, Sleep, 20000}, {50, Resume}, {30, Tick}}},
    // An announced one, the tick queued before the suspend coming after it.
    {"Announced", {{300, Suspend}, {10, Queued}, {0, Sleep, HOUR}, {50, Queued}, {10, Resume}, {10, Resume}}},
    // A resume of the wake before does not end a sleep that begins after it.
    {"ResumeFromTheWakeBefore",
     {{5000, Suspend}, {0, Sleep, 4300}, {10, Resume}, {10, Resume}, {100, Sleep, 15000}, {50, Tick}, {4000, Resume}}},
    // A stall of over 10 s waits for a resume, and counts without one; a
    // sleep during that wait is seen, and the stall may count as sleep too.
    {"AStallCounts", {{5000, Stall, 12000}}},
    {"SleepWhileAStallWaitsResumeFirst", {{5000, Stall, 12000}, {2000, Sleep, 20000}, {50, Resume}, {30, Tick}}, 13000},
    {"SleepWhileAStallWaitsTickFirst", {{5000, Stall, 12000}, {2000, Sleep, 20000}, {50, Tick}, {4000, Resume}}, 13000},
    // No resume after a suspend: the countdown goes on, late, never early.
    {"NoResumeAfterTheWake", {{300, Suspend}, {10, Queued}, {0, Sleep, HOUR}, {50, Tick}}},
    {"NoResumeNoSleep", {{300, Suspend}}, 31000},
    {"NoResumeThenASleepNotAnnounced", {{300, Suspend}, {35000, Sleep, 20000}, {50, Tick}, {80, Resume}}, 31000},
};

class WakeTable : public ::testing::TestWithParam<Row> {};

TEST_P(WakeTable, EndsOnceNeverEarly) {
  Countdown countdown;
  for (const Step& step : GetParam().Steps) countdown.Do(step);
  countdown.Do({0, Tick, 0});
  countdown.Run(120000);
  const int64_t awake = countdown.EndedAwakeMs();
  ASSERT_NE(awake, 0) << "never ended";
  EXPECT_GE(awake, 40000) << "ended early";
  EXPECT_LE(awake, 40000 + GetParam().LateUpToMs);
}

INSTANTIATE_TEST_SUITE_P(SleepWatch, WakeTable, ::testing::ValuesIn(ROWS),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.Name); });

}  // namespace
