// Helpers for the render tests: a test-owned top-down 32-bit DIB selected into a memory DC whose
// pixels are read back as 0xAARRGGBB, the fixture folder, and resource-state resets.
#pragma once

#include <windows.h>

#include <string>

#include "ui/core/dui_string.h"

namespace ZQUI {
namespace test {

class Canvas {
 public:
  Canvas(int width, int height, DWORD fill = 0);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // 0xAARRGGBB of the pixel, as stored (premultiplied).
  DWORD At(int x, int y) const;
  // The colour channels with alpha forced to 0xFF: GDI's opaque blits leave the alpha byte
  // undefined, so pixels drawn through them are compared by colour only.
  DWORD Rgb(int x, int y) const { return At(x, y) | 0xFF000000u; }
  int CountDifferingRgb(const RECT& rc, DWORD background) const;
  void Fill(DWORD argb);
  // Pixels inside `rc` whose value differs from `background`.
  int CountDiffering(const RECT& rc, DWORD background) const;
  // Writes the pixels as a 32-bit BMP file.
  bool SaveBmp(const std::wstring& path) const;

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

// The folder holding the generated fixtures (UI_RENDER_DATA), with a trailing backslash.
std::wstring RenderDataPath();

// Forgets the skin location and every shared resource, as at process start.
void ResetSkinState();

}  // namespace test
}  // namespace ZQUI
