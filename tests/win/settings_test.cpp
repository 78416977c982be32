// The five stored settings, against the real registry of the rig's prefix.
#include <windows.h>

#include "rig.h"
#include "settings/settings.h"
#include "timer/timer.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    Timer = new TTimer();
    Timer->Remaining = Timer->Period = 3600;
    Timer->DisplayVisible = Timer->WarningSound = true;
  }
  void TearDown() override {
    delete Timer;
    Timer = nullptr;
  }
  RegistrySnapshot registry_;
};

const char* const NAMES[] = {"Last Mode", "Last Time", "Show Timer Display", "Force Shutdown", "Warning Sound"};

TEST_F(SettingsTest, FirstLoadCreatesAnEmptyKeyAndKeepsTheDefaults) {
  LoadSaveSettings(false);
  EXPECT_TRUE(SettingsKeyExists());
  DWORD v;
  for (const char* name : NAMES) EXPECT_FALSE(ReadStoredDword(name, v)) << name;
  EXPECT_EQ(Timer->Period, 3600);
  EXPECT_EQ(Timer->Remaining, 3600);
  EXPECT_EQ(Timer->Mode, 0);
  EXPECT_TRUE(Timer->DisplayVisible);
  EXPECT_FALSE(Timer->ForceShutdown);
  EXPECT_TRUE(Timer->WarningSound);
}

TEST_F(SettingsTest, SaveWritesAllFiveAndLoadReadsThemBack) {
  Timer->Mode = 1;
  Timer->Period = 5400;
  Timer->Remaining = 17;  // never stored
  Timer->DisplayVisible = false;
  Timer->ForceShutdown = true;
  Timer->WarningSound = false;
  LoadSaveSettings(true);
  const DWORD expected[] = {1, 5400, 0, 1, 0};
  for (int i = 0; i < 5; ++i) {
    DWORD v = 0xDEAD;
    ASSERT_TRUE(ReadStoredDword(NAMES[i], v)) << NAMES[i];
    EXPECT_EQ(v, expected[i]) << NAMES[i];
  }
  delete Timer;
  Timer = new TTimer();
  LoadSaveSettings(false);
  EXPECT_EQ(Timer->Mode, 1);
  EXPECT_EQ(Timer->Period, 5400);
  EXPECT_EQ(Timer->Remaining, 5400);
  EXPECT_FALSE(Timer->DisplayVisible);
  EXPECT_TRUE(Timer->ForceShutdown);
  EXPECT_FALSE(Timer->WarningSound);
}

TEST_F(SettingsTest, SwitchesTakeTheLowByteOfWhatIsStored) {
  DWORD v256 = 256, v257 = 257;
  WriteStoredValue("Show Timer Display", REG_DWORD, &v256, 4);
  WriteStoredValue("Warning Sound", REG_DWORD, &v256, 4);
  WriteStoredValue("Force Shutdown", REG_DWORD, &v257, 4);
  LoadSaveSettings(false);
  EXPECT_FALSE(Timer->DisplayVisible);
  EXPECT_FALSE(Timer->WarningSound);
  EXPECT_TRUE(Timer->ForceShutdown);
}

// Data of the wrong type or size keeps the default instead of becoming a
// wrong period; the other values are still read.
TEST_F(SettingsTest, WrongTypeOrSizeKeepsTheDefault) {
  DWORD good = 0;
  WriteStoredValue("Force Shutdown", REG_DWORD, &good, 4);
  struct Bad {
    DWORD Type;
    std::vector<BYTE> Data;
  };
  const Bad bads[] = {
      {REG_SZ, {'1', '2', '0', 0}},
      {REG_BINARY, {120, 0, 0, 0, 0}},
      {REG_BINARY, {120, 0}},
      {REG_DWORD, {120, 0}},
      {REG_DWORD, {120, 0, 0, 0, 0, 0}},
      {REG_QWORD, {120, 0, 0, 0, 0, 0, 0, 0}},
      {REG_EXPAND_SZ, {'9', 0}},
      {REG_MULTI_SZ, {'9', 0, 0}},
      {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 120}},
      {REG_NONE, {}},
  };
  for (const Bad& bad : bads) {
    WriteStoredValue("Last Time", bad.Type, bad.Data.data(), static_cast<DWORD>(bad.Data.size()));
    WriteStoredValue("Warning Sound", bad.Type, bad.Data.data(), static_cast<DWORD>(bad.Data.size()));
    Timer->Period = Timer->Remaining = 3600;
    Timer->WarningSound = true;
    Timer->ForceShutdown = true;
    LoadSaveSettings(false);
    EXPECT_EQ(Timer->Period, 3600) << "type " << bad.Type << " size " << bad.Data.size();
    EXPECT_EQ(Timer->Remaining, 3600);
    EXPECT_TRUE(Timer->WarningSound);
    EXPECT_FALSE(Timer->ForceShutdown) << "a good value beside bad ones is still read";
  }
}

// A stored period of zero or less would power off a second after start.
TEST_F(SettingsTest, PeriodOfZeroOrLessIsNotTaken) {
  for (int32_t stored : {0, -1, -5, INT32_MIN}) {
    WriteStoredValue("Last Time", REG_DWORD, &stored, 4);
    Timer->Period = Timer->Remaining = 3600;
    LoadSaveSettings(false);
    EXPECT_EQ(Timer->Period, 3600) << stored;
  }
  int32_t huge = INT32_MAX;
  WriteStoredValue("Last Time", REG_DWORD, &huge, 4);
  LoadSaveSettings(false);
  EXPECT_EQ(Timer->Period, INT32_MAX);
  EXPECT_EQ(Timer->Remaining, INT32_MAX);
}

TEST_F(SettingsTest, ValueDeletedByHandIsWrittenAgain) {
  LoadSaveSettings(true);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, "Warning Sound");
  RegCloseKey(key);
  Timer->WarningSound = false;
  LoadSaveSettings(false);
  EXPECT_FALSE(Timer->WarningSound) << "a missing value leaves the field as it was";
  LoadSaveSettings(true);
  DWORD v = 7;
  ASSERT_TRUE(ReadStoredDword("Warning Sound", v));
  EXPECT_EQ(v, 0u);
}

}  // namespace
