// The power-off request, through the fake system: flags, steps and result.
#include <reason.h>

#include <algorithm>

#include "rig.h"
#include "timer/shutdown.h"
#include "timer/sysapi.h"

namespace {

class ShutdownTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallFakeSystem(); }
  void TearDown() override { Sys = RealSystemApi; }
};

const std::vector<std::string> NT_STEPS = {
    "GetVersionExA",
    "OpenProcessToken:40",  // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
    "LookupPrivilegeValueA::SeShutdownPrivilege",
    "AdjustTokenPrivileges:1:0:1:19:2:16",  // our token, one privilege, enabled, 16 bytes
    "CloseHandle",
};

TEST_F(ShutdownTest, NtFamilyEnablesThePrivilegeThenPowersOff) {
  EXPECT_TRUE(IsWinNT());
  for (bool force : {false, true}) {
    Fake.Calls.clear();
    Fake.PowerOffs.clear();
    EXPECT_TRUE(ShutdownSystem(force));
    std::vector<std::string> expected = NT_STEPS;
    expected.push_back(force ? "ExitWindowsEx:12" : "ExitWindowsEx:8");
    EXPECT_EQ(Fake.Calls, expected) << "force " << force;
    ASSERT_EQ(Fake.PowerOffs.size(), 1u);
    // A planned reason: reason 0 would be logged as an unplanned power-off.
    EXPECT_TRUE(Fake.PowerOffs[0].Reason & SHTDN_REASON_FLAG_PLANNED);
  }
}

TEST_F(ShutdownTest, NinetyFiveFamilyShutsDownWithoutTokenWork) {
  Fake.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
  EXPECT_FALSE(IsWinNT());
  Fake.ExitWindowsFails = true;  // the result is true whatever Windows says
  EXPECT_TRUE(ShutdownSystem(false));
  EXPECT_TRUE(ShutdownSystem(true));
  EXPECT_EQ(Fake.Calls, (std::vector<std::string>{"GetVersionExA", "GetVersionExA", "ExitWindowsEx:1", "GetVersionExA",
                                                  "ExitWindowsEx:5"}));
}

TEST_F(ShutdownTest, FailedStepStillAsksForPowerOffAndReportsFalse) {
  bool FakeSystem::*steps[] = {&FakeSystem::OpenTokenFails, &FakeSystem::LookupFails, &FakeSystem::AdjustFails,
                               &FakeSystem::ExitWindowsFails};
  for (bool FakeSystem::*step : steps) {
    InstallFakeSystem();
    Fake.*step = true;
    EXPECT_FALSE(ShutdownSystem(false));
    ASSERT_EQ(Fake.PowerOffs.size(), 1u);
    EXPECT_EQ(Fake.PowerOffs[0].Flags, static_cast<UINT>(EWX_POWEROFF));
  }
  // A token that did not open is not closed.
  InstallFakeSystem();
  Fake.OpenTokenFails = true;
  ShutdownSystem(true);
  EXPECT_EQ(std::count(Fake.Calls.begin(), Fake.Calls.end(), "CloseHandle"), 0);
}

}  // namespace

// The end of the countdown does not depend on the request being granted.
using RefusedPowerOffTest = ProgramTest;

TEST_F(RefusedPowerOffTest, ProgramEndsEvenWhenWindowsRefuses) {
  Fake.ExitWindowsFails = true;
  Fake.OpenTokenFails = true;
  Start("2");
  EXPECT_EQ(TickToEnd(10), 2);
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(Fake.PowerOffs.size(), 1u);
}
