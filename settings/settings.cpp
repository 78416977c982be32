#include "settings/settings.h"

#include <windows.h>

#include "base/scoped.h"
#include "timer/timer.h"

namespace {

struct Setting {
  const char* Name;
  DWORD (*Get)(const TTimer&);
  // False when the stored value is not acceptable for the field.
  bool (*Set)(TTimer&, DWORD);
};

// Byte fields take the low byte of what is stored, as they always have.
const Setting SETTINGS[] = {
    {"Last Mode", [](const TTimer& t) -> DWORD { return t.Mode; },
     [](TTimer& t, DWORD v) {
       t.Mode = static_cast<uint8_t>(v);
       return true;
     }},
    // A period of zero or less would end the countdown a second after start:
    // such a value was never a period the user chose to come back to.
    {"Last Time", [](const TTimer& t) -> DWORD { return static_cast<DWORD>(t.Period); },
     [](TTimer& t, DWORD v) {
       if (static_cast<int32_t>(v) <= 0) return false;
       t.Remaining = static_cast<int32_t>(v);
       t.Period = static_cast<int32_t>(v);
       return true;
     }},
    {"Show Timer Display", [](const TTimer& t) -> DWORD { return t.DisplayVisible ? 1 : 0; },
     [](TTimer& t, DWORD v) {
       t.DisplayVisible = (v & 0xFF) != 0;
       return true;
     }},
    {"Force Shutdown", [](const TTimer& t) -> DWORD { return t.ForceShutdown ? 1 : 0; },
     [](TTimer& t, DWORD v) {
       t.ForceShutdown = (v & 0xFF) != 0;
       return true;
     }},
    {"Warning Sound", [](const TTimer& t) -> DWORD { return t.WarningSound ? 1 : 0; },
     [](TTimer& t, DWORD v) {
       t.WarningSound = (v & 0xFF) != 0;
       return true;
     }},
};

// Only a REG_DWORD of exactly four bytes is read: text, binary data, a
// QWORD or a short value would otherwise turn into a wrong period.
bool ReadDword(HKEY key, const char* name, DWORD& value) {
  DWORD type = 0;
  DWORD size = sizeof value;
  DWORD data = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS) return false;
  if (type != REG_DWORD || size != sizeof data) return false;
  value = data;
  return true;
}

}  // namespace

void LoadSaveSettings(bool save) {
  ScopedRegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SETTINGS_KEY, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
    return;
  }
  for (const Setting& s : SETTINGS) {
    if (save) {
      DWORD value = s.Get(*Timer);
      RegSetValueExA(key.get(), s.Name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    } else {
      DWORD value;
      if (ReadDword(key.get(), s.Name, value)) s.Set(*Timer, value);
    }
  }
}
