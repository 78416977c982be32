// The painted header of the set-time dialog: band, title and subtitle.
#pragma once
#include <windows.h>

// Paints controls 10 to 12 of the set-time dialog; false for any other.
bool DrawHeaderItem(UINT controlId, const DRAWITEMSTRUCT* draw);
