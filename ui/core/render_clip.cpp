#include <windows.h>

#include <gdiplus.h>

#include "ui/core/gdiplus_session.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

CRenderClip::~CRenderClip() {
  if (hDC != nullptr && hOldRgn != nullptr) SelectClipRgn(hDC, hOldRgn);
  if (hOldRgn) DeleteObject(hOldRgn);
  if (hRgn) DeleteObject(hRgn);
}

void CRenderClip::GenerateClip(HDC hDC, RECT rc, CRenderClip& clip) {
  RECT box = {0, 0, 0, 0};
  GetClipBox(hDC, &box);
  clip.hOldRgn = CreateRectRgnIndirect(&box);
  clip.hRgn = CreateRectRgnIndirect(&rc);
  ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
  clip.hDC = hDC;
  clip.rcItem = rc;
}

void CRenderClip::GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip) {
  RECT box = {0, 0, 0, 0};
  GetClipBox(hDC, &box);
  clip.hOldRgn = CreateRectRgnIndirect(&box);
  clip.hRgn = CreateRectRgnIndirect(&rc);
  clip.hDC = hDC;
  clip.rcItem = rc;
  if (width > 0 && height > 0 && EnsureGdiplus()) {
    // Four quarter arcs in the item's corners, closed into one outline.
    Gdiplus::GraphicsPath path;
    INT l = rcItem.left, t = rcItem.top, r = rcItem.right, b = rcItem.bottom;
    path.AddArc(l, t, width, height, 180.0f, 90.0f);
    path.AddArc(r - width, t, width, height, 270.0f, 90.0f);
    path.AddArc(r - width, b - height, width, height, 0.0f, 90.0f);
    path.AddArc(l, b - height, width, height, 90.0f, 90.0f);
    path.CloseFigure();
    Gdiplus::Region region(&path);
    Gdiplus::Graphics graphics(hDC);
    HRGN round = region.GetHRGN(&graphics);
    if (round != nullptr) {
      CombineRgn(clip.hRgn, clip.hRgn, round, RGN_AND);
      DeleteObject(round);
    }
  }
  ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
}

void CRenderClip::UseOldClipBegin(HDC hDC, CRenderClip& clip) { SelectClipRgn(hDC, clip.hOldRgn); }
void CRenderClip::UseOldClipEnd(HDC hDC, CRenderClip& clip) { SelectClipRgn(hDC, clip.hRgn); }

}  // namespace ZQUI
