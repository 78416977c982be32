// The test rig: a fake for what is irreversible or outside the process, a
// message pump, and a fixture that starts the real program in-process.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "gdicount.h"

#include <string>
#include <vector>

struct PowerOffCall {
  UINT Flags;
  DWORD Reason;
};

struct BeepCall {
  DWORD Frequency;
  DWORD Duration;
};

// What the fake system saw and what it answers.
struct FakeSystem {
  std::vector<std::string> Calls;  // names of the power-off steps, in order
  std::vector<PowerOffCall> PowerOffs;
  std::vector<BeepCall> Beeps;
  DWORD PlatformId = VER_PLATFORM_WIN32_NT;
  bool OpenTokenFails = false;
  bool LookupFails = false;
  bool AdjustFails = false;
  bool ExitWindowsFails = false;
  DWORD ExitWindowsError = ERROR_PRIVILEGE_NOT_HELD;  // its last error when it fails
  // The present in UTC and the zone's rules; without rules the zone is UTC.
  // The clock follows them unless the user turned automatic daylight saving
  // off: then it keeps standard time, and the zone keeps its dates.
  SYSTEMTIME UtcTime = {2026, 12, 1, 7, 14, 37, 0, 0};
  TIME_ZONE_INFORMATION Zone = {};
  bool DaylightAdjustOff = false;
  ULONGLONG NowMs = 1000000;   // unbiased interrupt time: stands still in sleep
  ULONGLONG TickMs = 5000000;  // the tick count runs on; read as its low 32 bits
};

extern FakeSystem Fake;

// A moment of 2026 in UTC, 45 seconds into its minute.
inline SYSTEMTIME Utc(WORD month, WORD day, WORD hour, WORD minute) {
  return {2026, month, 0, day, hour, minute, 45, 0};
}

// `offset` minutes ahead of UTC; an hour more from `summer` to `winter`, each
// a month, a Sunday, its week (5: the last) and an hour.
inline TIME_ZONE_INFORMATION MakeZone(LONG offset, SYSTEMTIME summer = {}, SYSTEMTIME winter = {}) {
  return {-offset, {}, winter, 0, {}, summer, -60};
}

// As in Warsaw: in 2026 the clocks go forward on 29 March and back on 25 October.
const TIME_ZONE_INFORMATION Europe = MakeZone(60, {0, 3, 0, 5, 2, 0, 0, 0}, {0, 10, 0, 5, 3, 0, 0, 0});

// Puts the fake in place of the real system functions, freshly reset.
void InstallFakeSystem();

// Dispatches what is waiting in this thread's queue, for at least `ms`
// milliseconds. Returns false once WM_QUIT was seen.
bool Pump(DWORD ms = 0);

// Keeps the program's registry key as it was before a test.
class RegistrySnapshot {
 public:
  RegistrySnapshot();
  ~RegistrySnapshot();

 private:
  struct Value {
    std::string Name;
    DWORD Type;
    std::vector<BYTE> Data;
  };
  bool existed_ = false;
  std::vector<Value> values_;
};

// True while some copy of the program holds the single-instance guard.
bool InstanceGuardHeld();

void DeleteSettingsKey();
bool SettingsKeyExists();
// Reads a stored value as a DWORD; false when it is missing.
bool ReadStoredDword(const char* name, DWORD& value);
void WriteStoredValue(const char* name, DWORD type, const void* data, DWORD size);

// Starts the program in this process with a command line and ends it
// cleanly afterwards; every test starts from an empty settings key.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The start-up of the program; "kwiet.exe" is put in front of `args`.
  void Start(const char* args);
  // Moves the fake clock on and sends the tick as timer 1 would.
  void Tick(ULONGLONG advanceMs = 1000);
  // Sends a power message (PBT_...) as Windows broadcasts it.
  void Power(WPARAM event);
  // Ticks until the countdown has ended or `maxTicks` were sent.
  int TickToEnd(int maxTicks);
  bool QuitPosted() const { return quit_; }
  std::string Tooltip() const;

  bool quit_ = false;

 private:
  RegistrySnapshot registry_;
};
