// The owner-drawn caption line at the top of the tray menu.
#pragma once
#include <windows.h>

bool MeasureMenuItem(UINT ctlId, MEASUREITEMSTRUCT* measure);
bool DrawMenuItem(UINT ctlId, DRAWITEMSTRUCT* draw);
