// Drawing a decoded image: the nine-slice with optional centre tiling through GDI, and the GDI+
// path with fade and rotation.
#include <windows.h>

#include <gdiplus.h>

#include "ui/core/gdiplus_session.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

// Copies one piece from the memory DC; the way depends on the path chosen for the whole image.
class PieceBlitter {
 public:
  PieceBlitter(HDC target, HDC source, const RECT& paint, bool alpha, UINT fade)
      : target_(target), source_(source), paint_(paint), alphaPath_(alpha || fade < 255) {
    blend_.BlendOp = AC_SRC_OVER;
    blend_.BlendFlags = 0;
    blend_.SourceConstantAlpha = static_cast<BYTE>(fade);
    blend_.AlphaFormat = AC_SRC_ALPHA;
  }

  bool alphaPath() const { return alphaPath_; }

  bool Visible(const RECT& dest) const {
    RECT overlap;
    return IntersectRect(&overlap, &dest, &paint_) != FALSE;
  }

  // Stretches `src` onto `dest`; empty pieces are skipped so no blit ever sees a zero or negative
  // extent.
  void Stretch(const RECT& dest, const RECT& src) const {
    if (Width(dest) <= 0 || Height(dest) <= 0 || Width(src) <= 0 || Height(src) <= 0) return;
    if (alphaPath_) {
      GdiAlphaBlend(target_, dest.left, dest.top, Width(dest), Height(dest), source_, src.left, src.top, Width(src),
                 Height(src), blend_);
    } else {
      StretchBlt(target_, dest.left, dest.top, Width(dest), Height(dest), source_, src.left, src.top, Width(src),
                 Height(src), SRCCOPY);
    }
  }

  // An unscaled copy of the same size.
  void Copy(const RECT& dest, const RECT& src) const {
    if (alphaPath_) {
      Stretch(dest, src);
      return;
    }
    if (Width(dest) <= 0 || Height(dest) <= 0) return;
    BitBlt(target_, dest.left, dest.top, Width(dest), Height(dest), source_, src.left, src.top, SRCCOPY);
  }

 private:
  HDC target_;
  HDC source_;
  RECT paint_;
  bool alphaPath_;
  BLENDFUNCTION blend_;
};

// Splits `total` pixels of destination between two corner widths that would not fit beside each
// other, keeping their proportion.
void FitCorners(int total, int& first, int& second) {
  if (total < 0) total = 0;
  if (first + second <= total) return;
  int sum = first + second;
  first = static_cast<int>(static_cast<long long>(total) * first / sum);
  second = total - first;
}

void DrawCentre(const PieceBlitter& blit, const RECT& dest, const RECT& src, bool tiledX, bool tiledY) {
  int w = Width(src), h = Height(src);
  if (Width(dest) <= 0 || Height(dest) <= 0 || w <= 0 || h <= 0) return;
  if (!blit.Visible(dest)) return;
  if (!tiledX && !tiledY) {
    blit.Stretch(dest, src);
    return;
  }
  if (tiledX && tiledY) {
    for (int y = dest.top; y < dest.bottom; y += h) {
      int rowHeight = (dest.bottom - y < h) ? dest.bottom - y : h;
      for (int x = dest.left; x < dest.right; x += w) {
        int colWidth = (dest.right - x < w) ? dest.right - x : w;
        RECT piece = {x, y, x + colWidth, y + rowHeight};
        RECT from = {src.left, src.top, src.left + colWidth, src.top + rowHeight};
        blit.Copy(piece, from);
      }
    }
    return;
  }
  if (tiledX) {
    for (int x = dest.left; x < dest.right; x += w) {
      int colWidth = (dest.right - x < w) ? dest.right - x : w;
      RECT piece = {x, dest.top, x + colWidth, dest.bottom};
      RECT from = {src.left, src.top, src.left + colWidth, src.bottom};
      blit.Stretch(piece, from);
    }
    return;
  }
  for (int y = dest.top; y < dest.bottom; y += h) {
    int rowHeight = (dest.bottom - y < h) ? dest.bottom - y : h;
    RECT piece = {dest.left, y, dest.right, y + rowHeight};
    RECT from = {src.left, src.top, src.right, src.top + rowHeight};
    blit.Stretch(piece, from);
  }
}

}  // namespace

void CRenderEngine::DrawImage(HDC hDC, HBITMAP bitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                              const RECT& rcCorners, bool alpha, UINT fade, bool hole, bool tiledX, bool tiledY) {
  if (hDC == nullptr || bitmap == nullptr) return;
  BITMAP info;
  if (GetObjectW(bitmap, sizeof(info), &info) != static_cast<int>(sizeof(info))) return;
  if (fade > 255) fade = 255;

  // Source edges are kept inside the bitmap, and the corners inside the source.
  RECT src = rcBmpPart;
  if (src.left < 0) src.left = 0;
  if (src.top < 0) src.top = 0;
  if (src.right > info.bmWidth) src.right = info.bmWidth;
  if (src.bottom > info.bmHeight) src.bottom = info.bmHeight;
  if (Width(src) <= 0 || Height(src) <= 0 || Width(rc) <= 0 || Height(rc) <= 0) return;
  int cl = rcCorners.left > 0 ? rcCorners.left : 0;
  int ct = rcCorners.top > 0 ? rcCorners.top : 0;
  int cr = rcCorners.right > 0 ? rcCorners.right : 0;
  int cb = rcCorners.bottom > 0 ? rcCorners.bottom : 0;
  FitCorners(Width(src), cl, cr);
  FitCorners(Height(src), ct, cb);
  // A destination smaller than the corners shrinks them instead of overlapping pieces.
  int dl = cl, dt = ct, dr = cr, db = cb;
  FitCorners(Width(rc), dl, dr);
  FitCorners(Height(rc), dt, db);

  HDC memDC = CreateCompatibleDC(hDC);
  if (memDC == nullptr) return;
  HGDIOBJ old = SelectObject(memDC, bitmap);
  SetStretchBltMode(hDC, HALFTONE);
  PieceBlitter blit(hDC, memDC, rcPaint, alpha, fade);

  if (!blit.alphaPath() && Width(rc) == Width(src) && Height(rc) == Height(src) && cl == 0 && ct == 0 && cr == 0 &&
      cb == 0) {
    RECT overlap;
    if (IntersectRect(&overlap, &rc, &rcPaint)) {
      BitBlt(hDC, overlap.left, overlap.top, Width(overlap), Height(overlap), memDC,
             src.left + overlap.left - rc.left, src.top + overlap.top - rc.top, SRCCOPY);
    }
    SelectObject(memDC, old);
    DeleteDC(memDC);
    return;
  }

  if (!hole) {
    RECT dest = {rc.left + dl, rc.top + dt, rc.right - dr, rc.bottom - db};
    RECT from = {src.left + cl, src.top + ct, src.right - cr, src.bottom - cb};
    DrawCentre(blit, dest, from, tiledX, tiledY);
  }
  struct Piece {
    bool drawn;
    RECT dest;
    RECT src;
  };
  const Piece pieces[] = {
      {dl > 0 && dt > 0, {rc.left, rc.top, rc.left + dl, rc.top + dt}, {src.left, src.top, src.left + cl, src.top + ct}},
      {dt > 0, {rc.left + dl, rc.top, rc.right - dr, rc.top + dt}, {src.left + cl, src.top, src.right - cr, src.top + ct}},
      {dr > 0 && dt > 0, {rc.right - dr, rc.top, rc.right, rc.top + dt}, {src.right - cr, src.top, src.right, src.top + ct}},
      {dl > 0, {rc.left, rc.top + dt, rc.left + dl, rc.bottom - db}, {src.left, src.top + ct, src.left + cl, src.bottom - cb}},
      {dr > 0, {rc.right - dr, rc.top + dt, rc.right, rc.bottom - db},
       {src.right - cr, src.top + ct, src.right, src.bottom - cb}},
      {dl > 0 && db > 0, {rc.left, rc.bottom - db, rc.left + dl, rc.bottom},
       {src.left, src.bottom - cb, src.left + cl, src.bottom}},
      {db > 0, {rc.left + dl, rc.bottom - db, rc.right - dr, rc.bottom},
       {src.left + cl, src.bottom - cb, src.right - cr, src.bottom}},
      {dr > 0 && db > 0, {rc.right - dr, rc.bottom - db, rc.right, rc.bottom},
       {src.right - cr, src.bottom - cb, src.right, src.bottom}},
  };
  for (const Piece& piece : pieces) {
    if (piece.drawn && blit.Visible(piece.dest)) blit.Stretch(piece.dest, piece.src);
  }
  SelectObject(memDC, old);
  DeleteDC(memDC);
}

void CRenderEngine::GdiplusDrawImage(HDC hDC, Gdiplus::Image* image, const RECT& rc, const RECT& rcPaint,
                                     const RECT& rcBmpPart, bool alpha, UINT fade, UINT rotate) {
  (void)rcPaint;
  (void)alpha;
  if (hDC == nullptr || image == nullptr || !EnsureGdiplus()) return;
  if (fade > 255) fade = 255;
  Gdiplus::Graphics graphics(hDC);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
  graphics.SetCompositingQuality(Gdiplus::CompositingQualityHighQuality);
  Gdiplus::ImageAttributes attributes;
  Gdiplus::ImageAttributes* useAttributes = nullptr;
  if (fade != 255) {
    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                    {0, 1, 0, 0, 0},
                                    {0, 0, 1, 0, 0},
                                    {0, 0, 0, static_cast<Gdiplus::REAL>(fade) / 255.0f, 0},
                                    {0, 0, 0, 0, 1}}};
    attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeBitmap);
    useAttributes = &attributes;
  }
  if (rotate != 0) {
    Gdiplus::REAL cx = (rc.left + rc.right) / 2.0f;
    Gdiplus::REAL cy = (rc.top + rc.bottom) / 2.0f;
    graphics.TranslateTransform(cx, cy);
    graphics.RotateTransform(static_cast<Gdiplus::REAL>(rotate));
    graphics.TranslateTransform(-cx, -cy);
  }
  Gdiplus::Rect dest(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
  graphics.DrawImage(image, dest, rcBmpPart.left, rcBmpPart.top, rcBmpPart.right - rcBmpPart.left,
                     rcBmpPart.bottom - rcBmpPart.top, Gdiplus::UnitPixel, useAttributes);
}

}  // namespace ZQUI
