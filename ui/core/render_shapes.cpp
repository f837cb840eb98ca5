// Solid and gradient fills, lines, rectangles and rounded rectangles.
#include <windows.h>

#include <gdiplus.h>

#include "ui/core/gdiplus_session.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

COLORREF ToColorRef(DWORD argb) {
  return RGB(static_cast<BYTE>(argb >> 16), static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb));
}

Gdiplus::Color ToGdiplus(DWORD argb) { return Gdiplus::Color(static_cast<Gdiplus::ARGB>(argb)); }

Gdiplus::DashStyle ToDashStyle(int style) {
  if (style < Gdiplus::DashStyleSolid || style > Gdiplus::DashStyleCustom) return Gdiplus::DashStyleSolid;
  return static_cast<Gdiplus::DashStyle>(style);
}

void FillGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical) {
  TRIVERTEX vertices[2];
  vertices[0].x = rc.left;
  vertices[0].y = rc.top;
  vertices[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
  vertices[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
  vertices[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
  vertices[0].Alpha = 0xFF00;
  vertices[1].x = rc.right;
  vertices[1].y = rc.bottom;
  vertices[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
  vertices[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
  vertices[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
  vertices[1].Alpha = 0xFF00;
  GRADIENT_RECT rect = {0, 1};
  GdiGradientFill(hDC, vertices, 2, &rect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

}  // namespace

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color) {
  if (hDC == nullptr || (color >> 24) == 0) return;
  if (rc.right <= rc.left || rc.bottom <= rc.top || !EnsureGdiplus()) return;
  Gdiplus::Graphics graphics(hDC);
  Gdiplus::SolidBrush brush(ToGdiplus(color));
  graphics.FillRectangle(&brush, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                         static_cast<INT>(rc.right - rc.left), static_cast<INT>(rc.bottom - rc.top));
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
  (void)steps;
  if (hDC == nullptr) return;
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return;
  int mean = (static_cast<int>(first >> 24) + static_cast<int>(second >> 24)) / 2;
  if (mean == 0) return;
  if (mean >= 255) {
    FillGradient(hDC, rc, first, second, vertical);
    return;
  }
  // A translucent gradient: drawn opaque into a scratch bitmap, then blended at the mean alpha.
  HDC memDC = CreateCompatibleDC(hDC);
  HBITMAP bitmap = CreateCompatibleBitmap(hDC, width, height);
  if (memDC == nullptr || bitmap == nullptr) {
    if (memDC) DeleteDC(memDC);
    if (bitmap) DeleteObject(bitmap);
    return;
  }
  HGDIOBJ old = SelectObject(memDC, bitmap);
  RECT local = {0, 0, width, height};
  FillGradient(memDC, local, first, second, vertical);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(mean), 0};
  GdiAlphaBlend(hDC, rc.left, rc.top, width, height, memDC, 0, 0, width, height, blend);
  SelectObject(memDC, old);
  DeleteObject(bitmap);
  DeleteDC(memDC);
}

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style) {
  if (hDC == nullptr) return;
  LOGPEN lp;
  lp.lopnStyle = static_cast<UINT>(style);
  lp.lopnWidth.x = size;
  lp.lopnWidth.y = 0;
  lp.lopnColor = ToColorRef(color);
  HPEN pen = CreatePenIndirect(&lp);
  if (pen == nullptr) return;
  HGDIOBJ old = SelectObject(hDC, pen);
  MoveToEx(hDC, rc.left, rc.top, nullptr);
  LineTo(hDC, rc.right, rc.bottom);
  SelectObject(hDC, old);
  DeleteObject(pen);
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style) {
  if (hDC == nullptr || !EnsureGdiplus()) return;
  Gdiplus::Graphics graphics(hDC);
  Gdiplus::Pen pen(ToGdiplus(color), static_cast<Gdiplus::REAL>(size));
  pen.SetAlignment(Gdiplus::PenAlignmentInset);
  pen.SetDashStyle(ToDashStyle(style));
  graphics.DrawRectangle(&pen, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                         static_cast<INT>(rc.right - rc.left - 1), static_cast<INT>(rc.bottom - rc.top - 1));
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color, int style) {
  (void)height;
  GdiplusDrawRoundRect(hDC, static_cast<float>(rc.left), static_cast<float>(rc.top),
                       static_cast<float>(rc.right - rc.left - 1), static_cast<float>(rc.bottom - rc.top - 1),
                       static_cast<float>(width) / 2.0f, static_cast<float>(size), color, false, color, style);
}

void CRenderEngine::GdiplusDrawRoundRect(HDC hDC, float x, float y, float width, float height, float radius,
                                         float penWidth, DWORD color, bool fill, DWORD fillColor, int style) {
  if (hDC == nullptr || !EnsureGdiplus()) return;
  Gdiplus::Graphics graphics(hDC);
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  Gdiplus::GraphicsPath path;
  float d = radius * 2.0f;
  if (d > width) d = width;
  if (d > height) d = height;
  if (d <= 0.0f) {
    path.AddRectangle(Gdiplus::RectF(x, y, width, height));
  } else {
    path.AddLine(x + d / 2, y, x + width - d / 2, y);
    path.AddArc(x + width - d, y, d, d, 270.0f, 90.0f);
    path.AddLine(x + width, y + d / 2, x + width, y + height - d / 2);
    path.AddArc(x + width - d, y + height - d, d, d, 0.0f, 90.0f);
    path.AddLine(x + width - d / 2, y + height, x + d / 2, y + height);
    path.AddArc(x, y + height - d, d, d, 90.0f, 90.0f);
    path.AddLine(x, y + height - d / 2, x, y + d / 2);
    path.AddArc(x, y, d, d, 180.0f, 90.0f);
  }
  path.CloseFigure();
  if (fill) {
    Gdiplus::SolidBrush brush(ToGdiplus(fillColor > 0xFFFFFFu ? fillColor : color));
    graphics.FillPath(&brush, &path);
  }
  Gdiplus::Pen pen(ToGdiplus(color), penWidth);
  pen.SetDashStyle(ToDashStyle(style));
  graphics.DrawPath(&pen, &path);
}

}  // namespace ZQUI
