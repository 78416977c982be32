#include "dialogs/header.h"

#include "base/scoped.h"
#include "base/handles.h"
#include "base/uitext.h"
#include "res/resource.h"

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr int PICTURE_WIDTH = 39, PICTURE_HEIGHT = 36;
constexpr int PICTURE_LEFT = 4, PICTURE_TOP = 3;

void FillWhite(HDC dc, const RECT& rect) {
  ScopedBrush white(CreateSolidBrush(WHITE));
  FillRect(dc, &rect, white);
}

// DrawCaption paints the band without text or icon, so nothing is taken from
// the window: MainWnd may still be null at start-up.
void DrawHeaderBand(const DRAWITEMSTRUCT* draw) {
  ScopedBitmap picture(LoadBitmapA(HInstance, RES_HEADER));
  ScopedMemoryDC memory(draw->hDC);
  ScopedSelect selected(memory, picture);
  FillWhite(draw->hDC, draw->rcItem);
  RECT band = draw->rcItem;
  DrawCaption(MainWnd, draw->hDC, &band, DC_ACTIVE);
  if (picture != nullptr) {
    BitBlt(draw->hDC, band.left + PICTURE_LEFT, band.top + PICTURE_TOP, PICTURE_WIDTH, PICTURE_HEIGHT, memory, 0, 0,
           SRCCOPY);
  }
}

// One line on a white strip, in the control's own font (bold title, normal
// subtitle) and the context's default colours.
void DrawHeaderLine(const DRAWITEMSTRUCT* draw, UINT textId) {
  FillWhite(draw->hDC, draw->rcItem);
  // The static control selects its font before asking; selecting it again
  // keeps the weight right where a platform does not.
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(draw->hwndItem, WM_GETFONT, 0, 0));
  ScopedSelect selected(draw->hDC, font);
  RECT line = draw->rcItem;
  DrawTextW(draw->hDC, ResourceText(textId).c_str(), -1, &line, DT_SINGLELINE | DT_VCENTER);
}

void DrawHeaderTitle(const DRAWITEMSTRUCT* draw) { DrawHeaderLine(draw, IDS_HEADER_TITLE); }

void DrawHeaderSubtitle(const DRAWITEMSTRUCT* draw) { DrawHeaderLine(draw, IDS_HEADER_SUBTITLE); }

}  // namespace

bool DrawHeaderItem(UINT controlId, const DRAWITEMSTRUCT* draw) {
  switch (controlId) {
    case IDC_HEADER_BAND:
      DrawHeaderBand(draw);
      return true;
    case IDC_HEADER_TITLE:
      DrawHeaderTitle(draw);
      return true;
    case IDC_HEADER_SUBTITLE:
      DrawHeaderSubtitle(draw);
      return true;
  }
  return false;
}
