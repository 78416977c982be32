#include "app/paint.h"

#include "app/startup.h"

ResourceText::ResourceText(UINT id) {
  if (LoadStringA(HInstance, id, Chars, sizeof Chars) <= 0) Chars[0] = '\0';
}

int DrawAnsiText(HDC dc, const char* text, RECT* rect, UINT format) {
  WCHAR wide[256];
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof wide / sizeof wide[0]);
  if (n <= 0) return 0;
  return DrawTextW(dc, wide, n - 1, rect, format);
}
