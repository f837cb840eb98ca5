#include "ui/core/render_engine.h"

#include "ui/core/paint_manager.h"

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
  // The rounded corners come with the render engine; until then the clip is the rectangle.
  (void)rcItem;
  (void)width;
  (void)height;
  GenerateClip(hDC, rc, clip);
}

void CRenderClip::UseOldClipBegin(HDC hDC, CRenderClip& clip) { SelectClipRgn(hDC, clip.hOldRgn); }
void CRenderClip::UseOldClipEnd(HDC hDC, CRenderClip& clip) { SelectClipRgn(hDC, clip.hRgn); }

bool CRenderEngine::DrawImageInfo(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                                  const tagTDrawInfo* drawInfo, HINSTANCE instance) {
  (void)hDC;
  (void)manager;
  (void)rcItem;
  (void)rcPaint;
  (void)drawInfo;
  (void)instance;
  return false;
}

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                                    const wchar_t* image, const wchar_t* modify, HINSTANCE instance) {
  if (hDC == nullptr || manager == nullptr) return false;
  return DrawImageInfo(hDC, manager, rcItem, rcPaint, manager->GetDrawInfo(image, modify), instance);
}

void CRenderEngine::DrawColor(HDC, const RECT&, DWORD) {}
void CRenderEngine::DrawGradient(HDC, const RECT&, DWORD, DWORD, bool, int) {}
void CRenderEngine::DrawLine(HDC, const RECT&, int, DWORD, int) {}
void CRenderEngine::DrawRect(HDC, const RECT&, int, DWORD, int) {}
void CRenderEngine::GdiplusDrawRoundRect(HDC, float, float, float, float, float, float, DWORD, bool, DWORD, int) {}

}  // namespace ZQUI
