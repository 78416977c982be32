#include "traymenu/caption.h"

// Stand-ins until the caption is built.
bool MeasureMenuItem(UINT, MEASUREITEMSTRUCT*) { return false; }
bool DrawMenuItem(UINT, DRAWITEMSTRUCT*) { return false; }
