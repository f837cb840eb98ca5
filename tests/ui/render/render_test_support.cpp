#include "tests/ui/render/render_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/core/paint_manager.h"

namespace ZQUI {
namespace test {

Canvas::Canvas(int width, int height, DWORD fill) : width_(width), height_(height) {
  BITMAPINFO info;
  memset(&info, 0, sizeof(info));
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bits_ = static_cast<DWORD*>(pixels);
  old_ = SelectObject(dc_, bitmap_);
  Fill(fill);
}

Canvas::~Canvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

DWORD Canvas::At(int x, int y) const {
  GdiFlush();
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || bits_ == nullptr) return 0xDEADBEEF;
  return bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Canvas::Fill(DWORD argb) {
  GdiFlush();
  if (bits_ == nullptr) return;
  for (int i = 0; i < width_ * height_; ++i) bits_[i] = argb;
}

int Canvas::CountDiffering(const RECT& rc, DWORD background) const {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) count += At(x, y) != background ? 1 : 0;
  }
  return count;
}

int Canvas::CountDifferingRgb(const RECT& rc, DWORD background) const {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) count += Rgb(x, y) != (background | 0xFF000000u) ? 1 : 0;
  }
  return count;
}

bool Canvas::SaveBmp(const std::wstring& path) const {
  GdiFlush();
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  memset(&file, 0, sizeof(file));
  memset(&info, 0, sizeof(info));
  DWORD pixels = static_cast<DWORD>(width_) * static_cast<DWORD>(height_) * 4u;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + pixels;
  info.biSize = sizeof(info);
  info.biWidth = width_;
  info.biHeight = -height_;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (f == nullptr) return false;
  bool ok = fwrite(&file, sizeof(file), 1, f) == 1 && fwrite(&info, sizeof(info), 1, f) == 1 &&
            fwrite(bits_, pixels, 1, f) == 1;
  fclose(f);
  return ok;
}

std::wstring RenderDataPath() {
  const wchar_t* value = _wgetenv(L"UI_RENDER_DATA");
  std::wstring path = value ? value : L".";
  for (wchar_t& ch : path) {
    if (ch == L'/') ch = L'\\';
  }
  // A Unix path from CTest is reached through Wine's Z: drive.
  if (!path.empty() && path[0] == L'\\') path = L"Z:" + path;
  if (path.back() != L'\\') path += L'\\';
  return path;
}

void ResetSkinState() {
  CPaintManagerUI::Term();
  CPaintManagerUI::SetResourcePath(L"");
  CPaintManagerUI::SetResourceZip(static_cast<const wchar_t*>(nullptr), false);
}

}  // namespace test
}  // namespace ZQUI
