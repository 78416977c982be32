// The tray icon's record: the main window fills it and adds the icon, the
// countdown rewrites its tip every second.
#pragma once
#include <windows.h>
#include <shellapi.h>

// The one tray-icon record, in its version-1 layout (nothing beyond szTip).
extern NOTIFYICONDATAA TrayIconData;
