#include "ui/core/gdiplus_session.h"

#include <windows.h>

#include <gdiplus.h>

namespace ZQUI {

bool EnsureGdiplus() {
  static const bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

}  // namespace ZQUI
