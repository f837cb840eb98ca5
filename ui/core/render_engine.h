// CRenderEngine: static drawing operations on a device context used by every control to paint
// itself; CRenderClip: a guard that clips a DC to a rectangle or rounded rectangle and restores the
// previous clip when destroyed.
//
// Present so far: CRenderClip::GenerateClip, the clip guard, UseOldClipBegin/End. The drawing
// operations below are declared with their final signatures but draw nothing yet (images, fills,
// gradients, lines, rectangles, rounded outlines, rounded clips and text come with the render engine).
#pragma once

#include <windows.h>

namespace ZQUI {

class CPaintManagerUI;
struct tagTDrawInfo;

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
  static bool DrawImageInfo(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                            const tagTDrawInfo* drawInfo, HINSTANCE instance = nullptr);
  static bool DrawImageString(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                              const wchar_t* image, const wchar_t* modify = nullptr, HINSTANCE instance = nullptr);
  static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
  static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
  static void DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
  static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style = PS_SOLID);
  static void GdiplusDrawRoundRect(HDC hDC, float x, float y, float width, float height, float radius,
                                   float penWidth, DWORD color, bool fill, DWORD fillColor, int style = 0);
};

}  // namespace ZQUI
