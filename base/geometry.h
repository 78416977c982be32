// Where a window's children lie, as their parent's painting and layout see it.
#pragma once
#include <windows.h>

// A child's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND parent, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline RECT ChildRect(HWND dlg, int id) { return ChildRect(dlg, GetDlgItem(dlg, id)); }
