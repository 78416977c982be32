#pragma once
#include <windows.h>

// Loads a string of the string table; empty when it is missing.
struct ResourceText {
  char Chars[128];
  explicit ResourceText(UINT id);
  const char* c_str() const { return Chars; }
};

// DrawTextA decodes by the font's character set, not the code page, so Polish
// letters come out wrong under a non-Polish code page. Convert from the code
// page and draw with the wide call instead.
int DrawAnsiText(HDC dc, const char* text, RECT* rect, UINT format);
