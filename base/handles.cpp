#include "base/handles.h"

HINSTANCE HInstance = nullptr;
HWND MainWnd = nullptr;
