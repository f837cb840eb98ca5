#include "ui/control/shadow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "ui/core/draw_info.h"
#include "ui/core/image_info.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

constexpr wchar_t kShadowClassName[] = L"DrellShadowWnd";
// Largest shadow bitmap side we make; far above any monitor, small enough that w * h * 4 fits.
constexpr int kMaxShadowSide = 16384;
constexpr int kSizeLimit = 35;

struct ShadowClass {
  bool registered = false;
  HINSTANCE instance = nullptr;
};

ShadowClass& ClassState() {
  static ShadowClass state;
  return state;
}

// A span of one row: [left, right); empty when left >= right.
struct Span {
  int left;
  int right;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// CShadowBitmap

CShadowBitmap::~CShadowBitmap() { Release(); }

bool CShadowBitmap::Create(int width, int height) {
  Release();
  if (width <= 0 || height <= 0 || width > kMaxShadowSide || height > kMaxShadowSide) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  // Top-down rows: row 0 of the bits is the top of the shadow, as the shape is computed.
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    DeleteDC(dc);
    return false;
  }
  m_dc = dc;
  m_bitmap = bitmap;
  m_oldBitmap = SelectObject(dc, bitmap);
  m_bits = static_cast<uint32_t*>(bits);
  m_width = width;
  m_height = height;
  std::memset(m_bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t));
  return true;
}

void CShadowBitmap::Release() {
  if (m_dc != nullptr) {
    if (m_oldBitmap != nullptr) SelectObject(m_dc, m_oldBitmap);
    DeleteDC(m_dc);
  }
  if (m_bitmap != nullptr) DeleteObject(m_bitmap);
  m_dc = nullptr;
  m_bitmap = nullptr;
  m_oldBitmap = nullptr;
  m_bits = nullptr;
  m_width = 0;
  m_height = 0;
}

uint32_t CShadowBitmap::PixelAt(int x, int y) const {
  if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  GdiFlush();
  return m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
}

// ---------------------------------------------------------------------------------------------
// CShadowUI: settings

CShadowUI::CShadowUI() = default;

CShadowUI::~CShadowUI() { Detach(); }

void CShadowUI::Detach() {
  // Normally the parent's WM_NCDESTROY has already undone everything; a shadow destroyed while its
  // window lives must not leave the window calling into freed memory.
  auto& map = GetShadowMap();
  if (m_hParent != nullptr) {
    auto it = map.find(m_hParent);
    if (it != map.end() && it->second == this) {
      map.erase(it);
      if (IsWindow(m_hParent) &&
          GetWindowLongPtrW(m_hParent, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc)) {
        SetWindowLongPtrW(m_hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
      }
    }
  }
  if (m_hWnd != nullptr && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  m_hParent = nullptr;
  m_OriParentProc = nullptr;
  m_Status = 0;
}

bool CShadowUI::Initialize(HINSTANCE instance) {
  ShadowClass& state = ClassState();
  if (state.registered) return false;
  if (instance == nullptr) instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kShadowClassName;
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  state.registered = true;
  state.instance = instance;
  return true;
}

void CShadowUI::ShowShadow(bool show) { m_bIsShowShadow = show; }
bool CShadowUI::IsShowShadow() const { return m_bIsShowShadow; }
bool CShadowUI::IsDisableShadow() const { return m_bIsDisableShadow; }

void CShadowUI::RefreshIfShown() {
  if (m_hWnd != nullptr && (m_Status & kStatusShown) != 0) Update(GetWindow(m_hWnd, GW_OWNER));
}

bool CShadowUI::SetSize(int size) {
  if (size < -kSizeLimit || size > kSizeLimit) return false;
  m_nSize = static_cast<int8_t>(size);
  RefreshIfShown();
  return true;
}

bool CShadowUI::SetSharpness(unsigned int sharpness) {
  if (sharpness > static_cast<unsigned int>(kSizeLimit)) return false;
  m_nSharpness = static_cast<uint8_t>(sharpness);
  RefreshIfShown();
  return true;
}

bool CShadowUI::SetDarkness(unsigned int darkness) {
  if (darkness > 255) return false;
  m_nDarkness = static_cast<uint8_t>(darkness);
  RefreshIfShown();
  return true;
}

bool CShadowUI::SetPosition(int x, int y) {
  if (x < -kSizeLimit || x > kSizeLimit || y < -kSizeLimit || y > kSizeLimit) return false;
  m_nxOffset = static_cast<int8_t>(x);
  m_nyOffset = static_cast<int8_t>(y);
  RefreshIfShown();
  return true;
}

bool CShadowUI::SetColor(COLORREF color) {
  m_Color = color;
  RefreshIfShown();
  return true;
}

bool CShadowUI::SetImage(const wchar_t* image) {
  if (image == nullptr) return false;
  m_bIsImageMode = true;
  m_sShadowImage = image;
  RefreshIfShown();
  return true;
}

bool CShadowUI::SetShadowCorner(RECT corner) {
  if (corner.left < 0 || corner.top < 0 || corner.right < 0 || corner.bottom < 0) return false;
  m_rcShadowCorner = corner;
  RefreshIfShown();
  return true;
}

bool CShadowUI::CopyShadow(CShadowUI* other) {
  if (other == nullptr) return false;
  if (m_bIsImageMode) {
    other->SetImage(m_sShadowImage.GetData());
    other->SetShadowCorner(m_rcShadowCorner);
    if (!other->SetSize(m_nSize)) {
      other->ShowShadow(m_bIsShowShadow);
      return false;
    }
  } else {
    other->SetSize(m_nSize);
    other->SetSharpness(m_nSharpness);
    other->SetDarkness(m_nDarkness);
    other->SetColor(m_Color);
    if (!other->SetPosition(m_nxOffset, m_nyOffset)) {
      other->ShowShadow(m_bIsShowShadow);
      return false;
    }
  }
  other->ShowShadow(m_bIsShowShadow);
  return true;
}

std::map<HWND, CShadowUI*>& CShadowUI::GetShadowMap() {
  static std::map<HWND, CShadowUI*>* map = new std::map<HWND, CShadowUI*>();
  return *map;
}

// ---------------------------------------------------------------------------------------------
// CShadowUI: the window

uint8_t CShadowUI::StatusFromStyle(HWND parent) const {
  LONG_PTR style = GetWindowLongPtrW(parent, GWL_STYLE);
  if ((style & WS_VISIBLE) == 0) return kStatusEnabled;
  if ((style & (WS_MAXIMIZE | WS_MINIMIZE)) != 0) return kStatusEnabled | kStatusParentShown;
  return kStatusEnabled | kStatusShown | kStatusParentShown;
}

void CShadowUI::Create(CPaintManagerUI* manager) {
  if (!m_bIsShowShadow || manager == nullptr) return;
  if (m_hWnd != nullptr && IsWindow(m_hWnd)) return;
  HWND parent = manager->GetPaintWindow();
  if (parent == nullptr || !IsWindow(parent)) return;
  Initialize(CPaintManagerUI::GetInstance());

  m_pManager = manager;
  LONG_PTR parentStyle = GetWindowLongPtrW(parent, GWL_STYLE);
  DWORD style = WS_POPUPWINDOW | static_cast<DWORD>(parentStyle & WS_DLGFRAME);
  m_hWnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr, style, CW_USEDEFAULT, 0, 0,
                           0, parent, nullptr, ClassState().instance, nullptr);
  if (m_hWnd == nullptr) return;

  GetShadowMap()[parent] = this;
  m_hParent = parent;
  m_Status = StatusFromStyle(parent);
  // Subclass before drawing, so that no move or size of the window is missed from here on.
  m_OriParentProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC));
  SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CShadowUI::ParentProc));
  if ((m_Status & kStatusShown) != 0) {
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    Update(parent);
  }
}

void CShadowUI::DisableShadow(bool disable) {
  m_bIsDisableShadow = disable;
  if (m_hWnd == nullptr) return;
  if (disable) {
    ShowWindow(m_hWnd, SW_HIDE);
    return;
  }
  HWND parent = GetWindow(m_hWnd, GW_OWNER);
  if (parent == nullptr) return;
  m_Status = StatusFromStyle(parent);
  if ((m_Status & kStatusShown) != 0) {
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    Update(parent);
  }
}

POINT CShadowUI::ShadowOrigin(const RECT& parentRect) const {
  if (m_bIsImageMode) return POINT{parentRect.left - m_nSize, parentRect.top - m_nSize};
  return POINT{parentRect.left + m_nxOffset - m_nSize, parentRect.top + m_nyOffset - m_nSize};
}

void CShadowUI::MoveShadow(HWND parent) {
  RECT rc;
  if (!GetWindowRect(parent, &rc)) return;
  POINT pt = ShadowOrigin(rc);
  SetWindowPos(m_hWnd, parent, pt.x, pt.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE);
}

void CShadowUI::ShowShadowWindow() {
  ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  m_Status |= kStatusShown;
}

void CShadowUI::HideShadowWindow() {
  ShowWindow(m_hWnd, SW_HIDE);
  m_Status &= static_cast<uint8_t>(~kStatusShown);
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& map = GetShadowMap();
  auto it = map.find(hwnd);
  if (it == map.end()) return DefWindowProcW(hwnd, msg, wParam, lParam);
  CShadowUI* self = it->second;
  // The previous procedure may end the window object that holds this shadow (WM_NCDESTROY), so
  // nothing of the shadow is touched after it has been called.
  WNDPROC previous = self->m_OriParentProc;

  if (msg == WM_NCDESTROY) {
    map.erase(it);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    self->m_hParent = nullptr;
    self->m_OriParentProc = nullptr;
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
  }
  // The shadow window goes with its owner even while disabled, so that no stale handle is kept.
  if (msg == WM_DESTROY) {
    if (self->m_hWnd != nullptr && IsWindow(self->m_hWnd)) DestroyWindow(self->m_hWnd);
    self->m_hWnd = nullptr;
    self->m_Status = 0;
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
  }

  if (!self->m_bIsDisableShadow && self->m_hWnd != nullptr) {
    switch (msg) {
      case WM_MOVE:
        if ((self->m_Status & kStatusShown) != 0) self->MoveShadow(hwnd);
        break;
      case WM_SIZE:
        if ((self->m_Status & kStatusEnabled) != 0) {
          if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
            self->HideShadowWindow();
          } else if ((self->m_Status & kStatusParentShown) != 0) {
            // Shown first: Update draws only a shown shadow, and a restored window must not keep
            // the picture from before it was minimised or maximised.
            if ((self->m_Status & kStatusShown) == 0) self->ShowShadowWindow();
            if (LOWORD(lParam) > LOWORD(self->m_WndSize) || HIWORD(lParam) > HIWORD(self->m_WndSize)) {
              self->m_bUpdate = true;  // the window grows: redraw once it has repainted
            } else {
              self->Update(hwnd);
            }
          }
          self->m_WndSize = lParam;
        }
        break;
      case WM_PAINT:
        if (self->m_bUpdate) {
          self->Update(hwnd);
          self->m_bUpdate = false;
        }
        break;
      case WM_SHOWWINDOW:
        if ((self->m_Status & kStatusEnabled) != 0) {
          if (wParam != 0 && (self->m_Status & kStatusParentShown) == 0) {
            self->m_bUpdate = true;
            self->ShowShadowWindow();
            self->m_Status |= kStatusParentShown;
          } else if (wParam == 0) {
            self->HideShadowWindow();
            self->m_Status &= static_cast<uint8_t>(~kStatusParentShown);
          }
        }
        break;
      case WM_ACTIVATEAPP:
      case WM_NCACTIVATE:
        if (IsWindowEnabled(hwnd)) {
          SetWindowPos(self->m_hWnd, hwnd, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
        }
        break;
      case WM_WINDOWPOSCHANGED: {
        self->MoveShadow(hwnd);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        UINT flags = pos != nullptr ? pos->flags : 0;
        if ((flags & SWP_SHOWWINDOW) != 0 && (self->m_Status & kStatusEnabled) != 0 &&
            (self->m_Status & kStatusParentShown) == 0) {
          self->m_bUpdate = true;
          self->ShowShadowWindow();
          self->m_Status |= kStatusParentShown;
        } else if ((flags & SWP_HIDEWINDOW) != 0 && (self->m_Status & kStatusEnabled) != 0) {
          self->HideShadowWindow();
          self->m_Status &= static_cast<uint8_t>(~kStatusParentShown);
        }
        break;
      }
      case WM_EXITSIZEMOVE:
        if ((self->m_Status & kStatusShown) != 0) self->Update(hwnd);
        break;
      default:
        break;
    }
  }
  return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// CShadowUI: drawing

void CShadowUI::Update(HWND parent) {
  if (!m_bIsShowShadow || (m_Status & kStatusShown) == 0 || m_hWnd == nullptr) return;
  CShadowBitmap bitmap;
  if (!RenderShadow(parent, bitmap)) return;
  RECT rc;
  if (!GetWindowRect(parent, &rc)) return;
  POINT origin = ShadowOrigin(rc);
  SIZE size = {bitmap.GetWidth(), bitmap.GetHeight()};
  MoveWindow(m_hWnd, origin.x, origin.y, size.cx, size.cy, FALSE);
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiFlush();
  UpdateLayeredWindow(m_hWnd, nullptr, &origin, &size, bitmap.GetDC(), &source, 0, &blend, ULW_ALPHA);
}

bool CShadowUI::RenderShadow(HWND parent, CShadowBitmap& bitmap) {
  bitmap.Release();
  RECT rc;
  if (parent == nullptr || !GetWindowRect(parent, &rc)) return false;
  if (m_bIsImageMode ? m_sShadowImage.IsEmpty() : m_nSize == 0) return false;
  // A negative size larger than half the window leaves nothing to draw: give up instead of
  // asking for an empty or negative bitmap.
  int width = (rc.right - rc.left) + 2 * m_nSize;
  int height = (rc.bottom - rc.top) + 2 * m_nSize;
  if (width <= 0 || height <= 0) return false;
  if (!bitmap.Create(width, height)) return false;
  if (m_bIsImageMode) {
    if (!DrawImageShadow(bitmap)) {
      bitmap.Release();
      return false;
    }
  } else {
    MakeShadow(bitmap.GetBits(), width, height, parent, rc);
  }
  GdiFlush();
  return true;
}

bool CShadowUI::DrawImageShadow(CShadowBitmap& bitmap) {
  if (m_pManager == nullptr) return false;
  const TDrawInfo* info = m_pManager->GetDrawInfo(m_sShadowImage.GetData(), nullptr);
  if (info == nullptr || info->sImageName.IsEmpty()) return false;
  const wchar_t* type = info->sResType.IsEmpty() ? nullptr : info->sResType.GetData();
  const TImageInfo* image =
      m_pManager->GetImageEx(info->sImageName.GetData(), type, info->dwMask, info->bHSL, info->bGdiplus);
  if (image == nullptr || image->hBitmap == nullptr) return false;
  RECT whole = {0, 0, bitmap.GetWidth(), bitmap.GetHeight()};
  RECT source = {0, 0, image->nX, image->nY};
  CRenderEngine::DrawImage(bitmap.GetDC(), image->hBitmap, whole, whole, source, m_rcShadowCorner, image->bAlpha, 255,
                           true, false, false);
  return true;
}

DWORD CShadowUI::PreMultiply(COLORREF color, unsigned char alpha) {
  // The shadow colour is 0x00RRGGBB, as skins write it, and so is a 32-bit DIB pixel: each channel
  // stays in its place.
  DWORD r = ((color >> 16) & 0xFF) * static_cast<DWORD>(alpha) / 255;
  DWORD g = ((color >> 8) & 0xFF) * static_cast<DWORD>(alpha) / 255;
  DWORD b = (color & 0xFF) * static_cast<DWORD>(alpha) / 255;
  return (r << 16) | (g << 8) | b;
}

void CShadowUI::MakeShadow(uint32_t* bits, int width, int height, HWND parent, const RECT& parentRect) {
  const int parentW = parentRect.right - parentRect.left;
  const int parentH = parentRect.bottom - parentRect.top;
  const int size = m_nSize;
  const int sharpness = m_nSharpness;
  const int darkness = m_nDarkness;
  const int dx = m_nxOffset;
  const int dy = m_nyOffset;
  if (bits == nullptr || parentW <= 0 || parentH <= 0 || width <= 0 || height <= 0) return;

  // 1. The parent's shape, row by row; a window without a region is its rectangle.
  const Span empty = {parentW, 0};
  std::vector<Span> parentRows(static_cast<size_t>(parentH), empty);
  HRGN region = CreateRectRgn(0, 0, parentW, parentH);
  if (region != nullptr) GetWindowRgn(parent, region);
  for (int y = 0; y < parentH; ++y) {
    int x = 0;
    if (region != nullptr) {
      while (x < parentW && !PtInRegion(region, x, y)) ++x;
    }
    if (x >= parentW) continue;
    int last = parentW - 1;
    if (region != nullptr) {
      while (last > x && !PtInRegion(region, last, y)) --last;
    }
    parentRows[static_cast<size_t>(y)] = Span{x, last + 1};
  }
  if (region != nullptr) DeleteObject(region);

  // 2. Shadow rows r carry parent row r - size shifted right by size. The array covers every
  // shadow row and every mapped parent row, with one empty guard row on each side.
  const int first = std::min(0, size) - 1;
  const int last = std::max(height, parentH + size);  // one past the last row, the lower guard
  std::vector<Span> anchors(static_cast<size_t>(last - first + 1), empty);
  auto at = [&](std::vector<Span>& v, int r) -> Span& { return v[static_cast<size_t>(r - first)]; };
  for (int p = 0; p < parentH; ++p) {
    const Span& span = parentRows[static_cast<size_t>(p)];
    if (span.left < span.right) at(anchors, p + size) = Span{span.left + size, span.right + size};
  }

  // 3. Erosion: a sharp edge on a small shadow starts inside the window's outline.
  if (sharpness > size) {
    std::vector<Span> next(anchors.size(), empty);
    for (int pass = 0; pass < sharpness - size; ++pass) {
      for (int r = first + 1; r < last; ++r) {
        const Span& up = at(anchors, r - 1);
        const Span& mid = at(anchors, r);
        const Span& down = at(anchors, r + 1);
        at(next, r) = Span{std::max(up.left, std::max(mid.left, down.left)) + 1,
                           std::min(up.right, std::min(mid.right, down.right)) - 1};
      }
      anchors.swap(next);
    }
  }

  // 4. The kernel stamped along the outline.
  const int radius = std::max(size, sharpness);
  const int core = std::max(size - sharpness, 0);
  const int side = 2 * radius + 1;
  std::vector<uint32_t> kernel(static_cast<size_t>(side) * static_cast<size_t>(side), 0);
  for (int i = -radius; i <= radius; ++i) {
    for (int j = -radius; j <= radius; ++j) {
      double d = std::sqrt(static_cast<double>(i * i + j * j));
      uint32_t alpha = 0;
      if (d < core) {
        alpha = static_cast<uint32_t>(darkness);
      } else if (d <= radius) {
        double factor = (1.0 - (d - core) / (sharpness + 1)) * darkness;
        alpha = factor > 0 ? static_cast<uint32_t>(factor) : 0;
      }
      kernel[static_cast<size_t>(i + radius) * static_cast<size_t>(side) + static_cast<size_t>(j + radius)] =
          alpha << 24 | PreMultiply(m_Color, static_cast<unsigned char>(alpha));
    }
  }
  // Every write is clipped to the bitmap: offsets and erosion can put anchors outside it.
  auto stamp = [&](int cx, int cy) {
    for (int k = 0; k < side; ++k) {
      int y = cy - radius + k;
      if (y < 0 || y >= height) continue;
      uint32_t* row = bits + static_cast<size_t>(y) * static_cast<size_t>(width);
      const uint32_t* krow = kernel.data() + static_cast<size_t>(k) * static_cast<size_t>(side);
      int x0 = std::max(cx - radius, 0);
      int x1 = std::min(cx + radius + 1, width);
      for (int x = x0; x < x1; ++x) {
        uint32_t value = krow[x - (cx - radius)];
        if (row[x] < value) row[x] = value;
      }
    }
  };
  auto fill = [&](uint32_t* row, int from, int to, uint32_t value) {
    from = std::max(from, 0);
    to = std::min(to, width);
    for (int x = from; x < to; ++x) row[x] = value;
  };

  // 5. Soft edges: stamp from each end of a row inwards as far as the neighbouring rows differ.
  for (int r = radius; r < height - radius; ++r) {
    const Span span = at(anchors, r);
    if (span.left >= span.right) continue;
    const Span& up = at(anchors, r - 1);
    const Span& down = at(anchors, r + 1);
    int x = span.left;
    int stop = std::min(std::max(up.left, down.left) + 1, span.right);
    for (; x < stop; ++x) stamp(x, r);
    for (x = std::max(x, std::min(up.right, down.right) - 1); x < span.right; ++x) stamp(x, r);
  }

  // 6. Solid centre, transparent where the window itself covers the shadow.
  const uint32_t centre = static_cast<uint32_t>(darkness) << 24 | PreMultiply(m_Color, static_cast<unsigned char>(darkness));
  const int rowFrom = std::max(std::min(radius, std::max(size - dy, 0)), 0);
  const int rowTo = std::min(std::max(height - radius, std::min(parentH + size - dy, height)), height);
  for (int r = rowFrom; r < rowTo; ++r) {
    uint32_t* row = bits + static_cast<size_t>(r) * static_cast<size_t>(width);
    const Span span = at(anchors, r);
    int covered = r - size + dy;
    if (covered < 0 || covered >= parentH) {
      fill(row, span.left, span.right, centre);
      continue;
    }
    const Span& window = parentRows[static_cast<size_t>(covered)];
    int hiddenLeft = window.left + size - dx;
    int hiddenRight = window.right + size - dx;
    fill(row, span.left, std::min(hiddenLeft, span.right), centre);
    fill(row, hiddenLeft, hiddenRight, 0);
    fill(row, std::max(hiddenRight, span.left), span.right, centre);
  }
}

}  // namespace ZQUI
