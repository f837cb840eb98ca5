// Image descriptions drawn onto a DC, and the engine's small shared helpers.
#include "ui/core/render_engine.h"

#include <cstring>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

bool IsEmptyRect(const RECT& rc) { return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0; }

bool EndsWithSvg(const CDuiString& name) {
  int length = name.GetLength();
  return length >= 3 && name.Right(3).CompareNoCase(L"svg") == 0;
}

}  // namespace

HBITMAP CRenderEngine::CreateARGB32Bitmap(HDC hDC, int cx, int cy, BYTE** bits) {
  BITMAPINFO info;
  memset(&info, 0, sizeof(info));
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(hDC, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bits != nullptr) *bits = static_cast<BYTE*>(pixels);
  return bitmap;
}

void CRenderEngine::CheckAlphaColor(DWORD& color) {
  if ((color & 0x00FFFFFFu) == 0) color += 1;
}

bool CRenderEngine::DrawImageInfo(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                                  const TDrawInfo* drawInfo, HINSTANCE instance) {
  if (manager == nullptr || hDC == nullptr || drawInfo == nullptr) return false;
  // The svg path binds its image and scale into the cached description.
  auto* info = const_cast<TDrawInfo*>(drawInfo);

  RECT dest = rcItem;
  if (!IsEmptyRect(info->rcDest)) {
    dest.left = rcItem.left + info->rcDest.left;
    dest.top = rcItem.top + info->rcDest.top;
    dest.right = rcItem.left + info->rcDest.right;
    if (dest.right > rcItem.right) dest.right = rcItem.right;
    dest.bottom = rcItem.top + info->rcDest.bottom;
    if (dest.bottom > rcItem.bottom) dest.bottom = rcItem.bottom;
  }

  const TImageInfo* image = nullptr;
  if (EndsWithSvg(info->sImageName) && info->pImageInfo == nullptr) {
    if (!info->bSvgParsed) {
      info->bSvgParsed = true;
      // Re-read the image-related keys once; dest, source and corner come out scaled again.
      TDrawInfo again;
      again.Parse(info->sDrawString, info->sDrawModify, manager);
      info->sImageName = again.sImageName;
      info->sResType = again.sResType;
      info->rcDest = again.rcDest;
      info->rcSource = again.rcSource;
      info->rcCorner = again.rcCorner;
      info->dwMask = again.dwMask;
      info->uFade = again.uFade;
      info->bHole = again.bHole;
      info->bTiledX = again.bTiledX;
      info->bTiledY = again.bTiledY;
    }
    image = manager->GetImageEx(info->sImageName, info->sResType.IsEmpty() ? nullptr : info->sResType.GetData(),
                                info->dwMask, false, info->bGdiplus, instance);
    if (image != nullptr) {
      info->pImageInfo = const_cast<TImageInfo*>(image);
      if (image->nX > 0) info->fScale = static_cast<float>(dest.right - dest.left) / static_cast<float>(image->nX);
    }
  }

  if (info->sImageName.IsEmpty()) return false;
  if (image == nullptr) image = info->pImageInfo;
  if (image == nullptr) {
    const wchar_t* type = info->sResType.IsEmpty() ? nullptr : info->sResType.GetData();
    image = manager->GetImage(info->sImageName);
    if (image == nullptr) {
      manager->AddImage(info->sImageName, type, info->dwMask, false, info->bGdiplus, false, instance);
      image = manager->GetImage(info->sImageName);
    }
  }
  if (image == nullptr) return false;

  RECT source = info->rcSource;
  if (IsEmptyRect(source)) source = RECT{0, 0, image->nX, image->nY};
  if (source.right > image->nX) source.right = image->nX;
  if (source.bottom > image->nY) source.bottom = image->nY;

  if (!IsEmptyRect(rcPaint)) {
    RECT overlap;
    if (!IntersectRect(&overlap, &dest, &rcItem)) return true;
    if (!IntersectRect(&overlap, &dest, &rcPaint)) return true;
  }
  const RECT& paint = IsEmptyRect(rcPaint) ? dest : rcPaint;

  bool alpha = manager->IsLayered() ? true : image->bAlpha;
  UINT fade = static_cast<UINT>(info->uFade < 0 ? 0 : (info->uFade > 255 ? 255 : info->uFade));
  if (info->bGdiplus) {
    GdiplusDrawImage(hDC, image->pImage, dest, paint, source, alpha, fade, info->uRotate);
  } else {
    DrawImage(hDC, image->hBitmap, dest, paint, source, info->rcCorner, alpha, fade, info->bHole, info->bTiledX,
              info->bTiledY);
  }
  return true;
}

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                                    const wchar_t* image, const wchar_t* modify, HINSTANCE instance) {
  if (hDC == nullptr || manager == nullptr) return false;
  return DrawImageInfo(hDC, manager, rcItem, rcPaint, manager->GetDrawInfo(image, modify), instance);
}

namespace {

// A 32-bit bitmap of rc with `control` painted into it (up to `stopControl`), over an optional
// filter colour.
HBITMAP PaintIntoBitmap(CPaintManagerUI* manager, CControlUI* control, RECT rc, CControlUI* stopControl,
                        DWORD filterColor) {
  int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  if (cx <= 0 || cy <= 0) return nullptr;
  HDC paintDC = manager->GetPaintDC();
  HDC memDC = CreateCompatibleDC(paintDC);
  BYTE* bits = nullptr;
  HBITMAP bitmap = CRenderEngine::CreateARGB32Bitmap(paintDC, cx, cy, &bits);
  if (memDC == nullptr || bitmap == nullptr) {
    if (memDC) DeleteDC(memDC);
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ old = SelectObject(memDC, bitmap);
  SetWindowOrgEx(memDC, rc.left, rc.top, nullptr);
  if (filterColor != 0) CRenderEngine::DrawColor(memDC, rc, filterColor);
  control->Paint(memDC, rc, stopControl);
  SelectObject(memDC, old);
  DeleteDC(memDC);
  return bitmap;
}

}  // namespace

HBITMAP CRenderEngine::GenerateBitmap(CPaintManagerUI* manager, RECT rc, CControlUI* stopControl, DWORD filterColor) {
  if (manager == nullptr || manager->GetRoot() == nullptr) return nullptr;
  return PaintIntoBitmap(manager, manager->GetRoot(), rc, stopControl, filterColor);
}

HBITMAP CRenderEngine::GenerateBitmap(CPaintManagerUI* manager, CControlUI* control, RECT rc, DWORD filterColor) {
  if (manager == nullptr || control == nullptr) return nullptr;
  return PaintIntoBitmap(manager, control, rc, nullptr, filterColor);
}

}  // namespace ZQUI
