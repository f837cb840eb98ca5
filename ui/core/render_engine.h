// CRenderEngine: static drawing operations on a device context used by every control to paint
// itself: images given by description strings (nine-slice, tiling, fade, colour-key masks,
// rotation), solid and gradient fills, lines and rectangles, and text rasterised with FreeType from
// the selected GDI font's data (GDI+ as the fallback). CRenderClip clips a DC to a rectangle or a
// rounded rectangle and restores the previous clip when destroyed. UI thread only.
//
// LoadImage and DrawText are the names of Windows macros; with UNICODE they become LoadImageW and
// DrawTextW here as well, consistently for every translation unit that includes <windows.h>.
#pragma once

#include <windows.h>

#include "ui/core/dialog_builder.h"
#include "ui/core/draw_info.h"
#include "ui/core/dui_string.h"
#include "ui/core/image_info.h"

namespace Gdiplus {
class Image;
}

namespace ZQUI {

class CPaintManagerUI;
class CControlUI;


class CRenderClip {
 public:
  CRenderClip() = default;
  ~CRenderClip();
  CRenderClip(const CRenderClip&) = delete;
  CRenderClip& operator=(const CRenderClip&) = delete;

  static void GenerateClip(HDC hDC, RECT rc, CRenderClip& clip);
  static void GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip);
  static void UseOldClipBegin(HDC hDC, CRenderClip& clip);
  static void UseOldClipEnd(HDC hDC, CRenderClip& clip);

  RECT rcItem = {0, 0, 0, 0};
  HDC hDC = nullptr;
  HRGN hRgn = nullptr;
  HRGN hOldRgn = nullptr;
};

class CRenderEngine {
 public:
  static DWORD AdjustColor(DWORD color, short hue, short saturation, short lightness);
  static HBITMAP CreateARGB32Bitmap(HDC hDC, int cx, int cy, BYTE** bits);
  static void AdjustImage(bool useHSL, TImageInfo* image, short hue, short saturation, short lightness);
  // A colour whose red, green and blue are all 0 becomes blue 1, alpha kept.
  static void CheckAlphaColor(DWORD& color);

  // Images. The returned record belongs to the caller (the paint manager caches it).
  static TImageInfo* LoadImage(STRINGorID bitmap, int scale = 100, const wchar_t* type = nullptr, DWORD mask = 0,
                               HINSTANCE instance = nullptr);
  static TImageInfo* LoadImage(const wchar_t* bitmap, int scale = 100, const wchar_t* type = nullptr,
                               DWORD mask = 0, HINSTANCE instance = nullptr);
  static TImageInfo* LoadImage(UINT bitmap, int scale = 100, const wchar_t* type = nullptr, DWORD mask = 0,
                               HINSTANCE instance = nullptr);
  static TImageInfo* GdiplusLoadImage(STRINGorID bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                                      HINSTANCE instance = nullptr);
  static TImageInfo* GdiplusLoadImage(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                                      HINSTANCE instance = nullptr);
  static TImageInfo* GdiplusLoadImage(UINT bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                                      HINSTANCE instance = nullptr);
  static void FreeImage(TImageInfo* image, bool deleteRecord = true);

  static bool DrawImageInfo(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                            const TDrawInfo* drawInfo, HINSTANCE instance = nullptr);
  static bool DrawImageString(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                              const wchar_t* image, const wchar_t* modify = nullptr, HINSTANCE instance = nullptr);
  static void DrawImage(HDC hDC, HBITMAP bitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                        const RECT& rcCorners, bool alpha, UINT fade = 255, bool hole = false, bool tiledX = false,
                        bool tiledY = false);
  static void GdiplusDrawImage(HDC hDC, Gdiplus::Image* image, const RECT& rc, const RECT& rcPaint,
                               const RECT& rcBmpPart, bool alpha, UINT fade = 255, UINT rotate = 0);

  // Fills and shapes. Colours are 0xAARRGGBB.
  static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
  static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
  static void DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
  static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
  static void DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color,
                            int style = PS_SOLID);
  static void GdiplusDrawRoundRect(HDC hDC, float x, float y, float width, float height, float radius,
                                   float penWidth, DWORD color, bool fill, DWORD fillColor, int style = 0);

  // Text. `style` takes the DT_ flags DT_CENTER, DT_RIGHT, DT_VCENTER, DT_BOTTOM, DT_WORDBREAK,
  // DT_SINGLELINE, DT_NOCLIP, DT_CALCRECT, DT_NOPREFIX and DT_END_ELLIPSIS; with DT_CALCRECT the
  // rectangle receives the text's extent instead of drawing.
  static void DrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                       UINT style);
  static void DrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                       UINT style, DWORD backColor);
  // False when the FreeType path cannot draw this text (no font data, empty text): nothing drawn.
  static bool FreeTypeDrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color,
                               int font, UINT style);
  static void GdiplusDrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color,
                              int font, UINT style);
  static void DrawHtmlText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD textColor,
                           RECT* links, CDuiString* linkTexts, int& linkCount, int font, UINT style);
  static SIZE GetTextSize(HDC hDC, CPaintManagerUI* manager, const wchar_t* text, int font, UINT style);

  // The tree (or one rectangle of it) painted into a new 32-bit bitmap.
  static HBITMAP GenerateBitmap(CPaintManagerUI* manager, RECT rc, CControlUI* stopControl = nullptr,
                                DWORD filterColor = 0);
  static HBITMAP GenerateBitmap(CPaintManagerUI* manager, CControlUI* control, RECT rc, DWORD filterColor = 0);
};

}  // namespace ZQUI
