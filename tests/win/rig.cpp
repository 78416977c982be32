#include "rig.h"

#include <shlwapi.h>

#include "app/instance.h"
#include "app/mainwnd.h"
#include "app/startup.h"
#include "settings/settings.h"
#include "timer/sysapi.h"
#include "timer/timer.h"
#include "traymenu/traymenu.h"

FakeSystem Fake;

namespace {

BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA info) {
  Fake.Calls.push_back("GetVersionExA");
  if (info->dwOSVersionInfoSize != 148) return FALSE;
  info->dwPlatformId = Fake.PlatformId;
  return TRUE;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE, DWORD access, PHANDLE token) {
  Fake.Calls.push_back("OpenProcessToken:" + std::to_string(access));
  if (Fake.OpenTokenFails) return FALSE;
  *token = reinterpret_cast<HANDLE>(0x1234);
  return TRUE;
}

BOOL WINAPI FakeLookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
  Fake.Calls.push_back(std::string("LookupPrivilegeValueA:") + (system ? system : "") + ":" + name);
  if (Fake.LookupFails) return FALSE;
  luid->LowPart = 19;
  luid->HighPart = 0;
  return TRUE;
}

BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                      PTOKEN_PRIVILEGES, PDWORD) {
  Fake.Calls.push_back("AdjustTokenPrivileges:" + std::to_string(token == reinterpret_cast<HANDLE>(0x1234)) + ":" +
                       std::to_string(disableAll) + ":" + std::to_string(state->PrivilegeCount) + ":" +
                       std::to_string(state->Privileges[0].Luid.LowPart) + ":" +
                       std::to_string(state->Privileges[0].Attributes) + ":" + std::to_string(length));
  return Fake.AdjustFails ? FALSE : TRUE;
}

BOOL WINAPI FakeCloseHandle(HANDLE) {
  Fake.Calls.push_back("CloseHandle");
  return TRUE;
}

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reason) {
  Fake.Calls.push_back("ExitWindowsEx:" + std::to_string(flags));
  Fake.PowerOffs.push_back({flags, reason});
  if (!Fake.ExitWindowsFails) return TRUE;
  SetLastError(Fake.ExitWindowsError);
  return FALSE;
}

BOOL WINAPI FakeBeep(DWORD frequency, DWORD duration) {
  Fake.Beeps.push_back({frequency, duration});
  return TRUE;
}

// What a clock that keeps standard time all year reads.
SYSTEMTIME StandardTime() {
  TIME_ZONE_INFORMATION plain = MakeZone(-(Fake.Zone.Bias + Fake.Zone.StandardBias));
  SYSTEMTIME local;
  SystemTimeToTzSpecificLocalTime(&plain, &Fake.UtcTime, &local);
  return local;
}

void WINAPI FakeGetLocalTime(LPSYSTEMTIME time) {
  if (Fake.DaylightAdjustOff || !SystemTimeToTzSpecificLocalTime(&Fake.Zone, &Fake.UtcTime, time)) {
    *time = StandardTime();
  }
}

void WINAPI FakeGetSystemTime(LPSYSTEMTIME time) { *time = Fake.UtcTime; }

// As Windows answers: unknown for a zone without dates or a clock that does
// not follow them, else the time in force.
DWORD WINAPI FakeGetTimeZoneInformation(LPTIME_ZONE_INFORMATION zone) {
  *zone = Fake.Zone;
  if (zone->StandardDate.wMonth == 0 || Fake.DaylightAdjustOff) return TIME_ZONE_ID_UNKNOWN;
  SYSTEMTIME local, standard = StandardTime();
  FakeGetLocalTime(&local);
  return local.wHour == standard.wHour && local.wMinute == standard.wMinute ? TIME_ZONE_ID_STANDARD
                                                                            : TIME_ZONE_ID_DAYLIGHT;
}

BOOL WINAPI FakeQueryUnbiasedInterruptTime(PULONGLONG units) {
  *units = Fake.NowMs * 10000;
  return TRUE;
}

DWORD WINAPI FakeGetTickCount() { return static_cast<DWORD>(Fake.TickMs); }

HKEY OpenSettingsKey(REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

}  // namespace

void InstallFakeSystem() {
  Fake = FakeSystem();
  Sys.GetVersionExA = FakeGetVersionExA;
  Sys.OpenProcessToken = FakeOpenProcessToken;
  Sys.LookupPrivilegeValueA = FakeLookupPrivilegeValueA;
  Sys.AdjustTokenPrivileges = FakeAdjustTokenPrivileges;
  Sys.CloseHandle = FakeCloseHandle;
  Sys.ExitWindowsEx = FakeExitWindowsEx;
  Sys.Beep = FakeBeep;
  Sys.GetLocalTime = FakeGetLocalTime;
  Sys.QueryUnbiasedInterruptTime = FakeQueryUnbiasedInterruptTime;
  Sys.GetTickCount = FakeGetTickCount;
  Sys.GetSystemTime = FakeGetSystemTime;
  Sys.GetTimeZoneInformation = FakeGetTimeZoneInformation;
}

bool Pump(DWORD ms) {
  bool alive = true;
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        alive = false;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ms > 0) Sleep(5);
  } while (GetTickCount() - start < ms);
  return alive;
}

RegistrySnapshot::RegistrySnapshot() {
  HKEY key = OpenSettingsKey(KEY_READ);
  if (key == nullptr) return;
  existed_ = true;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name;
    BYTE data[1024];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    values_.push_back({name, type, std::vector<BYTE>(data, data + dataSize)});
  }
  RegCloseKey(key);
}

RegistrySnapshot::~RegistrySnapshot() {
  DeleteSettingsKey();
  if (!existed_) return;
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  for (const Value& v : values_) {
    RegSetValueExA(key, v.Name.c_str(), 0, v.Type, v.Data.data(), static_cast<DWORD>(v.Data.size()));
  }
  RegCloseKey(key);
}

bool InstanceGuardHeld() {
  HANDLE guard = OpenMutexA(SYNCHRONIZE, FALSE, INSTANCE_GUARD_NAME);
  if (guard != nullptr) CloseHandle(guard);
  return guard != nullptr;
}

void DeleteSettingsKey() { SHDeleteKeyA(HKEY_CURRENT_USER, SETTINGS_KEY); }

bool SettingsKeyExists() {
  HKEY key = OpenSettingsKey(KEY_READ);
  if (key != nullptr) RegCloseKey(key);
  return key != nullptr;
}

bool ReadStoredDword(const char* name, DWORD& value) {
  HKEY key = OpenSettingsKey(KEY_READ);
  if (key == nullptr) return false;
  DWORD type = 0, size = sizeof value;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_DWORD && size == 4;
}

void WriteStoredValue(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void ProgramTest::SetUp() {
  InstallFakeSystem();
  DeleteSettingsKey();
  MainWnd = nullptr;
  Timer = nullptr;
  MenuBusy = false;
  TrayIconData = NOTIFYICONDATAA();
  quit_ = false;
}

void ProgramTest::TearDown() {
  HWND wnd = MainWnd;
  if (Timer != nullptr) {
    // Close the program's own windows first, as the process end would.
    if (Timer->WarningWnd != nullptr) DestroyWindow(Timer->WarningWnd);
    if (Timer->DisplayVisible && Timer->DisplayWnd != nullptr) Timer->ShowDisplay(false);
    RunExitSequence();
  }
  if (wnd != nullptr && IsWindow(wnd)) {
    Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
    DestroyWindow(wnd);
  }
  Pump();
  // Whichever way the program ended, a later start must be able to run.
  EXPECT_FALSE(InstanceGuardHeld()) << "the single-instance guard outlived the program";
  UnregisterClassA(MAIN_WINDOW_CLASS, GetModuleHandleA(nullptr));
  MainWnd = nullptr;
  Sys = RealSystemApi;
}

void ProgramTest::Start(const char* args) {
  std::string line = std::string("kwiet.exe ") + args;
  ASSERT_EQ(StartProgram(line.c_str()), StartResult::Loop);
  ASSERT_NE(MainWnd, nullptr);
  ASSERT_NE(Timer, nullptr);
}

void ProgramTest::Tick(ULONGLONG advanceMs) {
  Fake.NowMs += advanceMs;
  Fake.TickMs += advanceMs;
  SendMessageA(MainWnd, WM_TIMER, TICK_TIMER_ID, 0);
  if (!Pump()) quit_ = true;
}

void ProgramTest::Power(WPARAM event) {
  SendMessageA(MainWnd, WM_POWERBROADCAST, event, 0);
  if (!Pump()) quit_ = true;
}

int ProgramTest::TickToEnd(int maxTicks) {
  int n = 0;
  while (!quit_ && n < maxTicks) {
    Tick();
    ++n;
  }
  return n;
}

std::string ProgramTest::Tooltip() const { return TrayIconData.szTip; }
