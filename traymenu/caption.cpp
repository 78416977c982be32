#include "traymenu/caption.h"

#include "base/scoped.h"
#include "base/handles.h"
#include "res/resource.h"

namespace {

constexpr int CAPTION_WIDTH = 120, CAPTION_HEIGHT = 26;
constexpr int PICTURE_WIDTH = 57, PICTURE_HEIGHT = 16;
constexpr int PICTURE_LEFT = 3, PICTURE_TOP = 4;

// A band in the active caption colour with the program's name picture at its
// left, like a small title bar over the menu.
void DrawMenuCaption(const DRAWITEMSTRUCT* draw) {
  ScopedBitmap picture(LoadBitmapA(HInstance, RES_MENU_CAPTION));
  ScopedMemoryDC memory(draw->hDC);
  ScopedSelect selected(memory, picture);
  RECT band = draw->rcItem;
  DrawCaption(MainWnd, draw->hDC, &band, DC_ACTIVE);
  if (picture != nullptr) {
    BitBlt(draw->hDC, band.left + PICTURE_LEFT, band.top + PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT, memory, 0, 0,
           SRCCOPY);
  }
}

}  // namespace

// Menus send 0 as the control id; anything else comes from a control.
bool MeasureMenuItem(UINT ctlId, MEASUREITEMSTRUCT* measure) {
  if (ctlId != 0 || measure->CtlType != ODT_MENU) return false;
  measure->itemHeight = CAPTION_HEIGHT;
  measure->itemWidth = CAPTION_WIDTH;
  return true;
}

bool DrawMenuItem(UINT ctlId, DRAWITEMSTRUCT* draw) {
  if (ctlId != 0 || draw->CtlType != ODT_MENU || draw->itemID != IDM_CAPTION) return false;
  DrawMenuCaption(draw);
  return true;
}
