// The five settings kept between runs, under HKEY_CURRENT_USER.
#pragma once

constexpr char SETTINGS_KEY[] = "SOFTWARE\\Orlo Software\\Kwiet!";

// Reads the stored values into Timer (false) or writes Timer's out (true).
void LoadSaveSettings(bool save);
