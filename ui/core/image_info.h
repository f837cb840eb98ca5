// tagTImageInfo: one decoded skin image, held as a premultiplied 32-bit top-down DIB section (and,
// for images drawn through GDI+, also as a GDI+ image). The record owns what it points to; it is
// released with CRenderEngine::FreeImage.
#pragma once

#include <windows.h>

#include "ui/core/dui_string.h"

namespace Gdiplus {
class Image;
}

namespace ZQUI {

struct tagTImageInfo {
  Gdiplus::Image* pImage = nullptr;  // GDI+ image, or null when only the bitmap exists
  HBITMAP hBitmap = nullptr;         // 32-bit top-down DIB section, premultiplied alpha
  LPBYTE pBits = nullptr;            // HSL-adjusted pixels (a copy written back into the bitmap)
  LPBYTE pSrcBits = nullptr;         // unadjusted pixels kept for HSL images
  int nX = 0;                        // width
  int nY = 0;                        // height
  bool bAlpha = false;               // the image has non-opaque pixels
  bool bUseHSL = false;
  CDuiString sResType;
  DWORD dwMask = 0;
};
using TImageInfo = tagTImageInfo;

}  // namespace ZQUI
