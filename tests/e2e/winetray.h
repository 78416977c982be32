// Tray icons as Wine shows them on an X display without a notification area,
// for the tools that watch the program from outside: Wine 8 puts them in its
// X11 driver's stand-alone tray window, Wine 10 in explorer's own tray window.
#pragma once
#include <windows.h>

// Visible icons in Wine's tray windows; -1 where there is no tray window yet.
inline int WineTrayIcons() {
  struct Tray {
    const char* Window;
    const char* Icon;
  };
  static const Tray trays[] = {{"__winex11_standalone_tray", "__winex11_tray_icon"},
                               {"Shell_TrayWnd", "__wine_tray_icon"}};
  int icons = -1;
  for (const Tray& tray : trays) {
    HWND wnd = FindWindowA(tray.Window, nullptr);
    if (wnd == nullptr) continue;
    if (icons < 0) icons = 0;
    for (HWND child = GetWindow(wnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      char name[64] = {};
      GetClassNameA(child, name, sizeof name);
      if (lstrcmpA(name, tray.Icon) == 0 && IsWindowVisible(child)) ++icons;
    }
  }
  return icons;
}
