// Decoding skin images: bytes from the module resources, the resource archive or a file, decoded by
// stb_image into premultiplied 32-bit top-down DIB sections (and, on request, also a GDI+ image).
#include <windows.h>

#include <gdiplus.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
// Image headers are untrusted: refuse dimensions no skin uses before any pixel buffer exists.
#define STBI_MAX_DIMENSIONS 16384
#include "stb_image.h"

#include "ui/core/gdiplus_session.h"
#include "ui/core/render_engine.h"
#include "ui/core/resource_manager.h"
#include "ui/core/skin_file_reader.h"

namespace ZQUI {

namespace {

bool ReadImageBytes(const wchar_t* name, const wchar_t* type, HINSTANCE instance, std::vector<BYTE>* bytes) {
  if (name == nullptr) return false;
  if ((type == nullptr || *type == L'\0') && !IS_INTRESOURCE(name)) {
    if (CResourceManager* resources = CResourceManager::PeekInstance()) {
      const wchar_t* alias = resources->GetImagePath(name);
      if (alias != nullptr && *alias != L'\0') name = alias;
    }
  }
  return ReadSkinItem(name, type, instance, bytes) && !bytes->empty();
}

// Decodes to a premultiplied DIB section. Pixels equal to `mask` (0xAARRGGBB after premultiplying)
// become transparent.
TImageInfo* DecodeImage(const std::vector<BYTE>& bytes, DWORD mask) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFFu) return nullptr;
  int width = 0, height = 0, components = 0;
  stbi_uc* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &components, 4);
  if (rgba == nullptr) return nullptr;
  if (width <= 0 || height <= 0) {
    stbi_image_free(rgba);
    return nullptr;
  }

  BITMAPINFO info;
  memset(&info, 0, sizeof(info));
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4u;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr || pixels == nullptr) {
    if (bitmap) DeleteObject(bitmap);
    stbi_image_free(rgba);
    return nullptr;
  }

  bool alpha = false;
  auto* out = static_cast<BYTE*>(pixels);
  size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) {
    const BYTE* in = rgba + i * 4;
    BYTE a = in[3];
    BYTE* px = out + i * 4;
    if (a == 255) {
      px[0] = in[2];
      px[1] = in[1];
      px[2] = in[0];
    } else {
      px[0] = static_cast<BYTE>(in[2] * a / 255);
      px[1] = static_cast<BYTE>(in[1] * a / 255);
      px[2] = static_cast<BYTE>(in[0] * a / 255);
      alpha = true;
    }
    px[3] = a;
    DWORD value = static_cast<DWORD>(px[3]) << 24 | static_cast<DWORD>(px[2]) << 16 | static_cast<DWORD>(px[1]) << 8 |
                  px[0];
    if (value == mask) {
      px[0] = px[1] = px[2] = px[3] = 0;
      alpha = true;
    }
  }
  stbi_image_free(rgba);

  auto* image = new (std::nothrow) TImageInfo;
  if (image == nullptr) {
    DeleteObject(bitmap);
    return nullptr;
  }
  image->hBitmap = bitmap;
  image->pBits = out;
  image->nX = width;
  image->nY = height;
  image->bAlpha = alpha;
  return image;
}

// A GDI+ image over its own copy of the bytes; the stream keeps the copy alive.
Gdiplus::Image* CreateGdiplusImage(const std::vector<BYTE>& bytes) {
  if (!EnsureGdiplus() || bytes.empty()) return nullptr;
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (global == nullptr) return nullptr;
  void* target = GlobalLock(global);
  if (target == nullptr) {
    GlobalFree(global);
    return nullptr;
  }
  memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(global);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(global, TRUE, &stream)) || stream == nullptr) {
    GlobalFree(global);
    return nullptr;
  }
  Gdiplus::Image* image = Gdiplus::Image::FromStream(stream);
  stream->Release();
  if (image != nullptr && image->GetLastStatus() != Gdiplus::Ok) {
    delete image;
    image = nullptr;
  }
  return image;
}

TImageInfo* Load(const wchar_t* name, const wchar_t* type, DWORD mask, HINSTANCE instance, bool gdiplus) {
  std::vector<BYTE> bytes;
  if (!ReadImageBytes(name, type, instance, &bytes)) return nullptr;
  TImageInfo* image = DecodeImage(bytes, mask);
  if (image != nullptr && gdiplus) image->pImage = CreateGdiplusImage(bytes);
  return image;
}

}  // namespace

TImageInfo* CRenderEngine::LoadImage(STRINGorID bitmap, int scale, const wchar_t* type, DWORD mask,
                                     HINSTANCE instance) {
  (void)scale;
  return Load(bitmap.m_lpstr, type, mask, instance, false);
}

TImageInfo* CRenderEngine::GdiplusLoadImage(STRINGorID bitmap, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  return Load(bitmap.m_lpstr, type, mask, instance, true);
}

TImageInfo* CRenderEngine::LoadImage(const wchar_t* bitmap, int scale, const wchar_t* type, DWORD mask,
                                     HINSTANCE instance) {
  (void)scale;
  return Load(bitmap, type, mask, instance, false);
}

TImageInfo* CRenderEngine::LoadImage(UINT bitmap, int scale, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  (void)scale;
  return Load(MAKEINTRESOURCEW(bitmap & 0xFFFFu), type, mask, instance, false);
}

TImageInfo* CRenderEngine::GdiplusLoadImage(const wchar_t* bitmap, const wchar_t* type, DWORD mask,
                                            HINSTANCE instance) {
  return Load(bitmap, type, mask, instance, true);
}

TImageInfo* CRenderEngine::GdiplusLoadImage(UINT bitmap, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  return Load(MAKEINTRESOURCEW(bitmap & 0xFFFFu), type, mask, instance, true);
}

void CRenderEngine::FreeImage(TImageInfo* image, bool deleteRecord) {
  if (image == nullptr) return;
  delete image->pImage;
  image->pImage = nullptr;
  if (image->hBitmap) DeleteObject(image->hBitmap);
  image->hBitmap = nullptr;
  // pBits points into the DIB section, which the bitmap owned.
  image->pBits = nullptr;
  free(image->pSrcBits);
  image->pSrcBits = nullptr;
  if (deleteRecord) delete image;
}

}  // namespace ZQUI
