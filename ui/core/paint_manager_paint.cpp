// CPaintManagerUI's painting half: pending layout on WM_PAINT, the 32-bit back buffer, layered
// composition through UpdateLayeredWindow, WM_PRINTCLIENT, the window geometry properties and the
// DPI scale.
#include <cstring>
#include <map>
#include <vector>

#include "ui/control/rich_edit.h"
#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

// A top-down-addressed view of a bottom-up 32-bit DIB: pixel (x, y) of a W x H buffer is the
// 4-byte value at index (H - 1 - y) * W + x, bytes blue, green, red, alpha.
HBITMAP CreateBottomUpARGB32(HDC dc, int width, int height, BYTE** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = 0;
  void* pixels = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = bitmap != nullptr ? static_cast<BYTE*>(pixels) : nullptr;
  return bitmap;
}

// Font ids beyond this are not rebuilt on a DPI change (skins number them from 0).

inline BYTE* PixelAt(BYTE* bits, int width, int height, int x, int y) {
  return bits + (static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
}

// `rc` limited to the W x H buffer; false when nothing of it remains.
bool ClampToBuffer(RECT& rc, int width, int height) {
  RECT bounds = {0, 0, width, height};
  return ::IntersectRect(&rc, &rc, &bounds) != FALSE;
}

void UnionInto(RECT& target, const RECT& add) {
  RECT result;
  ::UnionRect(&result, &target, &add);
  target = result;
}

RECT Shrink(RECT rc, const RECT& inset) {
  rc.left += inset.left;
  rc.top += inset.top;
  rc.right -= inset.right;
  rc.bottom -= inset.bottom;
  return rc;
}

}  // namespace

HPEN CPaintManagerUI::UpdateRectPen() {
  static HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
  return pen;
}

void CPaintManagerUI::FreeBackBuffer() {
  if (m_hDcOffscreen != nullptr) ::DeleteDC(m_hDcOffscreen);
  if (m_hbmpOffscreen != nullptr) ::DeleteObject(m_hbmpOffscreen);
  m_hDcOffscreen = nullptr;
  m_hbmpOffscreen = nullptr;
  m_pOffscreenBits = nullptr;
  m_szOffscreen = {0, 0};
}

void CPaintManagerUI::FreeBackground() {
  if (m_hDcBackground != nullptr) ::DeleteDC(m_hDcBackground);
  if (m_hbmpBackground != nullptr) ::DeleteObject(m_hbmpBackground);
  m_hDcBackground = nullptr;
  m_hbmpBackground = nullptr;
  m_pBackgroundBits = nullptr;
  m_szBackground = {0, 0};
}

// The back buffer always matches the client area: a resize that arrives without a full layout
// (a child's layout only, or none) must not leave a smaller buffer under the pixel loops.
void CPaintManagerUI::EnsureBackBuffer(int width, int height) {
  if (m_hbmpOffscreen != nullptr && m_szOffscreen.cx == width && m_szOffscreen.cy == height) return;
  FreeBackBuffer();
  if (width <= 0 || height <= 0) return;
  m_hDcOffscreen = ::CreateCompatibleDC(m_hDcPaint);
  if (m_hDcOffscreen == nullptr) return;
  m_hbmpOffscreen = CreateBottomUpARGB32(m_hDcPaint, width, height, &m_pOffscreenBits);
  if (m_hbmpOffscreen == nullptr) {
    FreeBackBuffer();
    return;
  }
  m_szOffscreen = {width, height};
}

void CPaintManagerUI::OnPaint() {
  if (m_pRoot == nullptr) {
    PAINTSTRUCT ps = {};
    HDC dc = ::BeginPaint(m_hWndPaint, &ps);
    if (dc != nullptr) ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::EndPaint(m_hWndPaint, &ps);
    return;
  }

  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  RECT rcPaint = {0, 0, 0, 0};
  if (!::GetUpdateRect(m_hWndPaint, &rcPaint, FALSE)) return;

  if (m_bFocusNeeded) SetNextTabControl(true);

  const int width = rcClient.right - rcClient.left;
  const int height = rcClient.bottom - rcClient.top;
  SetPainting(true);
  bool needSizeMessage = false;

  if (m_bUpdateNeeded) {
    m_bUpdateNeeded = false;
    if (!::IsRectEmpty(&rcClient) && !::IsIconic(m_hWndPaint)) {
      if (m_pRoot->IsUpdateNeeded()) {
        // A full layout means a new size: both bitmaps are remade at it.
        FreeBackBuffer();
        FreeBackground();
        RECT rcRoot = m_bLayered ? Shrink(rcClient, m_rcLayeredInset) : rcClient;
        m_pRoot->SetPos(rcRoot, true);
      } else {
        m_aFoundControls.Empty();
        m_pRoot->FindControl(__FindControlFromUpdate, this, FindVisible | FindMeFirst | FindUpdateTest);
        CStdPtrArray pending(m_aFoundControls);
        for (int i = 0; i < pending.GetSize(); ++i) {
          auto* control = static_cast<CControlUI*>(pending.GetAt(i));
          if (m_aFoundControls.Find(control) < 0) continue;  // deleted by an earlier SetPos
          control->SetPos(control->GetPos(), true);
        }
      }
      needSizeMessage = true;
      // The Tab step asked for above waited for this layout; its own invalidation is consumed by
      // BeginPaint below, so it is taken now or the first tab stop would never get the focus.
      if (m_bFocusNeeded) SetNextTabControl(true);
      if (m_bFirstLayout) {
        m_bFirstLayout = false;
        CControlUI* root = m_pRoot;
        SendNotify(root, NotifyName::kWindowInit);
        // The handler may have replaced the tree: paint the new one on a fresh pass.
        if (m_pRoot != root || m_pRoot == nullptr) {
          UnionInto(m_rcLayeredUpdate, rcClient);
          ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
          SetPainting(false);
          return;
        }
        if (m_bLayered && m_bLayeredChanged) {
          UnionInto(m_rcLayeredUpdate, rcClient);
          ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
          SetPainting(false);
          return;
        }
      }
    }
  } else if (m_bLayered && m_bLayeredChanged) {
    if (m_pOffscreenBits != nullptr) {
      ::GdiFlush();
      std::memset(m_pOffscreenBits, 0,
                  static_cast<size_t>(m_szOffscreen.cx) * static_cast<size_t>(m_szOffscreen.cy) * 4);
    }
    m_pRoot->SetPos(Shrink(rcClient, m_rcLayeredInset), true);
  }

  if (m_bLayered) {
    LONG_PTR exStyle = ::GetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    m_bOffscreenPaint = true;
    UnionInto(rcPaint, m_rcLayeredUpdate);
    ::SetRectEmpty(&m_rcLayeredUpdate);
    if (rcPaint.right > rcClient.right) rcPaint.right = rcClient.right;
    if (rcPaint.bottom > rcClient.bottom) rcPaint.bottom = rcClient.bottom;
  }

  if (m_bOffscreenPaint) EnsureBackBuffer(width, height);

  PAINTSTRUCT ps = {};
  ::BeginPaint(m_hWndPaint, &ps);
  if (m_bOffscreenPaint && m_hbmpOffscreen != nullptr) {
    HGDIOBJ oldBitmap = ::SelectObject(m_hDcOffscreen, m_hbmpOffscreen);
    int saved = ::SaveDC(m_hDcOffscreen);
    RECT rcPixels = rcPaint;
    bool anyPixels = ClampToBuffer(rcPixels, width, height);
    if (m_bLayered && anyPixels) {
      ::GdiFlush();
      for (int y = rcPixels.top; y < rcPixels.bottom; ++y) {
        std::memset(PixelAt(m_pOffscreenBits, width, height, rcPixels.left, y), 0,
                    static_cast<size_t>(rcPixels.right - rcPixels.left) * 4);
      }
    }
    m_pRoot->Paint(m_hDcOffscreen, rcPaint, nullptr);

    if (m_bLayered) {
      for (int i = 0; i < m_aNativeWindow.GetSize();) {
        HWND child = static_cast<HWND>(m_aNativeWindow.GetAt(i));
        if (!::IsWindow(child)) {
          m_aNativeWindow.Remove(i);
          m_aNativeWindowControl.Remove(i);
          continue;
        }
        ++i;
        if (!::IsWindowVisible(child)) continue;
        RECT rcChild = GetNativeWindowRect(child);
        RECT overlap;
        if (!::IntersectRect(&overlap, &rcPaint, &rcChild)) continue;
        int cw = rcChild.right - rcChild.left;
        int ch = rcChild.bottom - rcChild.top;
        if (cw <= 0 || ch <= 0) continue;
        BYTE* childBits = nullptr;
        HDC childDc = ::CreateCompatibleDC(m_hDcPaint);
        HBITMAP childBitmap = CreateBottomUpARGB32(m_hDcPaint, cw, ch, &childBits);
        if (childDc != nullptr && childBitmap != nullptr) {
          std::memset(childBits, 0, static_cast<size_t>(cw) * static_cast<size_t>(ch) * 4);
          HGDIOBJ oldChild = ::SelectObject(childDc, childBitmap);
          ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDc),
                         PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
          ::GdiFlush();
          // GDI leaves alpha 0: whatever the child drew becomes opaque.
          auto* pixel = reinterpret_cast<DWORD*>(childBits);
          for (size_t p = 0, n = static_cast<size_t>(cw) * static_cast<size_t>(ch); p < n; ++p) {
            if (pixel[p] != 0) pixel[p] |= 0xFF000000u;
          }
          ::BitBlt(m_hDcOffscreen, rcChild.left, rcChild.top, cw, ch, childDc, 0, 0, SRCCOPY);
          ::SelectObject(childDc, oldChild);
        }
        if (childBitmap != nullptr) ::DeleteObject(childBitmap);
        if (childDc != nullptr) ::DeleteDC(childDc);
      }
    }

    // A post-paint control may leave the set while painting: walk a copy of the keys.
    std::vector<CControlUI*> postPaint;
    postPaint.reserve(m_mapPostPaint.size());
    for (const auto& entry : m_mapPostPaint) postPaint.push_back(entry.first);
    for (CControlUI* control : postPaint) {
      if (m_mapPostPaint.count(control) != 0) control->DoPostPaint(m_hDcOffscreen, rcPaint);
    }
    ::RestoreDC(m_hDcOffscreen, saved);

    if (m_bLayered) {
      if (anyPixels) ComposeLayered(rcPixels, width, height);
    } else {
      ::BitBlt(m_hDcPaint, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left, rcPaint.bottom - rcPaint.top,
               m_hDcOffscreen, rcPaint.left, rcPaint.top, SRCCOPY);
    }
    ::SelectObject(m_hDcOffscreen, oldBitmap);

    if (m_bShowUpdateRect && !m_bLayered) {
      HGDIOBJ oldPen = ::SelectObject(m_hDcPaint, UpdateRectPen());
      HGDIOBJ oldBrush = ::SelectObject(m_hDcPaint, ::GetStockObject(NULL_BRUSH));
      ::Rectangle(m_hDcPaint, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
      ::SelectObject(m_hDcPaint, oldBrush);
      ::SelectObject(m_hDcPaint, oldPen);
    }
  } else if (!m_bOffscreenPaint) {
    int saved = ::SaveDC(m_hDcPaint);
    m_pRoot->Paint(m_hDcPaint, rcPaint, nullptr);
    std::vector<CControlUI*> postPaint;
    for (const auto& entry : m_mapPostPaint) postPaint.push_back(entry.first);
    for (CControlUI* control : postPaint) {
      if (m_mapPostPaint.count(control) != 0) control->DoPostPaint(m_hDcPaint, rcPaint);
    }
    ::RestoreDC(m_hDcPaint, saved);
  }
  ::EndPaint(m_hWndPaint, &ps);

  SetPainting(false);
  m_bLayeredChanged = false;
  if (m_bUpdateNeeded) {
    UnionInto(m_rcLayeredUpdate, rcClient);
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
  }
  if (needSizeMessage && m_pRoot != nullptr) SendNotify(m_pRoot, NotifyName::kWindowSize, 0, 0, true);
}

// Masks the back buffer with the layered image's alpha (or makes GDI drawing opaque when there
// is no image) over `rcPaint`, already limited to the buffer, and hands it to the window.
void CPaintManagerUI::ComposeLayered(const RECT& rcPaint, int width, int height) {
  RECT rcWindow = {0, 0, 0, 0};
  ::GetWindowRect(m_hWndPaint, &rcWindow);
  ::GdiFlush();
  if (!m_sLayeredImage.IsEmpty()) {
    RECT rcClient = {0, 0, width, height};
    RECT rcLayered = Shrink(rcClient, m_rcLayeredInset);
    bool redraw = m_bLayeredChanged;
    if (m_hbmpBackground != nullptr && (m_szBackground.cx != width || m_szBackground.cy != height)) {
      FreeBackground();
    }
    if (m_hbmpBackground == nullptr) {
      m_hDcBackground = ::CreateCompatibleDC(m_hDcPaint);
      m_hbmpBackground = CreateBottomUpARGB32(m_hDcPaint, width, height, &m_pBackgroundBits);
      if (m_hDcBackground == nullptr || m_hbmpBackground == nullptr) {
        FreeBackground();
      } else {
        m_szBackground = {width, height};
        ::SelectObject(m_hDcBackground, m_hbmpBackground);
        redraw = true;
      }
    }
    if (m_hbmpBackground != nullptr && redraw) {
      std::memset(m_pBackgroundBits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
      HRGN oldClip = ::CreateRectRgn(0, 0, 0, 0);
      bool hadClip = oldClip != nullptr && ::GetClipRgn(m_hDcBackground, oldClip) == 1;
      ::IntersectClipRect(m_hDcBackground, rcLayered.left, rcLayered.top, rcLayered.right, rcLayered.bottom);
      const tagTDrawInfo* image = GetDrawInfo(m_sLayeredImage, nullptr);
      if (image != nullptr) CRenderEngine::DrawImageInfo(m_hDcBackground, this, rcLayered, rcLayered, image, nullptr);
      ::SelectClipRgn(m_hDcBackground, hadClip ? oldClip : nullptr);
      if (oldClip != nullptr) ::DeleteObject(oldClip);
      ::GdiFlush();
    }
    for (int y = rcPaint.top; y < rcPaint.bottom; ++y) {
      BYTE* pixel = PixelAt(m_pOffscreenBits, width, height, rcPaint.left, y);
      const BYTE* mask =
          m_pBackgroundBits != nullptr ? PixelAt(m_pBackgroundBits, width, height, rcPaint.left, y) : nullptr;
      for (int x = rcPaint.left; x < rcPaint.right; ++x, pixel += 4) {
        unsigned a = mask != nullptr ? mask[3] : 0;
        if (mask != nullptr) mask += 4;
        pixel[0] = static_cast<BYTE>(pixel[0] * a / 255);
        pixel[1] = static_cast<BYTE>(pixel[1] * a / 255);
        pixel[2] = static_cast<BYTE>(pixel[2] * a / 255);
        pixel[3] = static_cast<BYTE>(a);
      }
    }
  } else {
    for (int y = rcPaint.top; y < rcPaint.bottom; ++y) {
      BYTE* pixel = PixelAt(m_pOffscreenBits, width, height, rcPaint.left, y);
      for (int x = rcPaint.left; x < rcPaint.right; ++x, pixel += 4) {
        if (pixel[3] == 0 && (pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0)) pixel[3] = 0xFF;
      }
    }
  }
  POINT position = {rcWindow.left, rcWindow.top};
  SIZE size = {width, height};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(m_hWndPaint, m_hDcPaint, &position, &size, m_hDcOffscreen, &source, 0, &blend, ULW_ALPHA);
}

void CPaintManagerUI::OnPrintClient(HDC dc, LPARAM flags) {
  if (m_pRoot == nullptr || dc == nullptr) return;
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  int saved = ::SaveDC(dc);
  m_pRoot->Paint(dc, rcClient, nullptr);
  if ((flags & PRF_CHILDREN) != 0) {
    for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      RECT rcChild = GetNativeWindowRect(child);
      ::SetWindowOrgEx(dc, -rcChild.left, -rcChild.top, nullptr);
      ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
    }
  }
  ::RestoreDC(dc, saved);
}

void CPaintManagerUI::OnGetMinMaxInfo(MINMAXINFO* info) const {
  if (info == nullptr) return;
  if (m_szMinWindow.cx > 0) info->ptMinTrackSize.x = m_szMinWindow.cx;
  if (m_szMinWindow.cy > 0) info->ptMinTrackSize.y = m_szMinWindow.cy;
  if (m_szMaxWindow.cx > 0) {
    info->ptMaxTrackSize.x = m_szMaxWindow.cx;
    info->ptMaxSize.x = m_szMaxWindow.cx;
  }
  if (m_szMaxWindow.cy > 0) {
    info->ptMaxTrackSize.y = m_szMaxWindow.cy;
    info->ptMaxSize.y = m_szMaxWindow.cy;
  }
}

// --- geometry --------------------------------------------------------------------------------

SIZE CPaintManagerUI::GetClientSize() const {
  RECT rc = {0, 0, 0, 0};
  if (m_hWndPaint != nullptr) ::GetClientRect(m_hWndPaint, &rc);
  SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
  return size;
}

SIZE CPaintManagerUI::GetInitSize() { return m_szInitWindowSize; }

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  m_szInitWindowSize = {cx, cy};
  if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
    ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

RECT CPaintManagerUI::GetSizeBox() { return GetDPIObj()->Scale(m_rcSizeBox); }
void CPaintManagerUI::SetSizeBox(RECT& rcSizeBox) { m_rcSizeBox = rcSizeBox; }
RECT CPaintManagerUI::GetCaptionRect() { return GetDPIObj()->Scale(m_rcCaption); }
void CPaintManagerUI::SetCaptionRect(RECT& rcCaption) { m_rcCaption = rcCaption; }
SIZE CPaintManagerUI::GetRoundCorner() { return GetDPIObj()->Scale(m_szRoundCorner); }
void CPaintManagerUI::SetRoundCorner(int cx, int cy) { m_szRoundCorner = {cx, cy}; }
SIZE CPaintManagerUI::GetMinInfo() { return GetDPIObj()->Scale(m_szMinWindow); }
void CPaintManagerUI::SetMinInfo(int cx, int cy) { m_szMinWindow = {cx, cy}; }
SIZE CPaintManagerUI::GetMaxInfo() { return GetDPIObj()->Scale(m_szMaxWindow); }
void CPaintManagerUI::SetMaxInfo(int cx, int cy) { m_szMaxWindow = {cx, cy}; }
bool CPaintManagerUI::IsShowUpdateRect() const { return m_bShowUpdateRect; }
void CPaintManagerUI::SetShowUpdateRect(bool show) { m_bShowUpdateRect = show; }

// --- opacity and layered mode ----------------------------------------------------------------

BYTE CPaintManagerUI::GetOpacity() const { return m_nOpacity; }

void CPaintManagerUI::SetOpacity(BYTE opacity) {
  m_nOpacity = opacity;
  if (m_hWndPaint == nullptr) return;
  LONG_PTR exStyle = ::GetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE);
  if ((exStyle & WS_EX_LAYERED) == 0) ::SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  ::SetLayeredWindowAttributes(m_hWndPaint, 0, opacity, LWA_ALPHA);
}

bool CPaintManagerUI::IsLayered() const { return m_bLayered; }

void CPaintManagerUI::SetLayered(bool layered) {
  if (m_hWndPaint == nullptr || layered == m_bLayered) return;
  LONG_PTR style = ::GetWindowLongPtrW(m_hWndPaint, GWL_STYLE);
  if ((style & WS_CHILD) != 0) return;
  m_bLayered = layered;
  if (m_pRoot != nullptr && m_pRoot->IsVisible()) m_pRoot->NeedUpdate();
  Invalidate();
}

RECT& CPaintManagerUI::GetLayeredInset() { return m_rcLayeredInset; }

void CPaintManagerUI::SetLayeredInset(RECT& rcLayeredInset) {
  m_rcLayeredInset = rcLayeredInset;
  m_bLayeredChanged = true;
  Invalidate();
}

BYTE CPaintManagerUI::GetLayeredOpacity() const { return m_nOpacity; }

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity) {
  m_nOpacity = opacity;
  m_bLayeredChanged = true;
  Invalidate();
}

const wchar_t* CPaintManagerUI::GetLayeredImage() const { return m_sLayeredImage; }

void CPaintManagerUI::SetLayeredImage(const wchar_t* image) {
  m_sLayeredImage = image != nullptr ? image : L"";
  // Parsed (and cached) now, so a faulty description shows before the first paint.
  if (!m_sLayeredImage.IsEmpty()) GetDrawInfo(m_sLayeredImage, nullptr);
  m_bLayeredChanged = true;
  Invalidate();
}

bool CPaintManagerUI::IsUseGdiplusText() const { return m_bUseGdiplusText; }
void CPaintManagerUI::SetUseGdiplusText(bool use) { m_bUseGdiplusText = use; }
int CPaintManagerUI::GetGdiplusTextRenderingHint() const { return m_trh; }
void CPaintManagerUI::SetGdiplusTextRenderingHint(int hint) { m_trh = hint; }

// --- invalidation ----------------------------------------------------------------------------

void CPaintManagerUI::NeedUpdate() { m_bUpdateNeeded = true; }
bool CPaintManagerUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CPaintManagerUI::Invalidate() {
  if (m_hWndPaint == nullptr) return;
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  UnionInto(m_rcLayeredUpdate, rcClient);
  ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(RECT& rc) {
  if (rc.left < 0) rc.left = 0;
  if (rc.top < 0) rc.top = 0;
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  UnionInto(m_rcLayeredUpdate, rc);
  if (m_hWndPaint != nullptr) ::InvalidateRect(m_hWndPaint, &rc, FALSE);
}

void CPaintManagerUI::SetPainting(bool painting) { m_bIsPainting = painting; }
bool CPaintManagerUI::IsPainting() const { return m_bIsPainting; }
HDC CPaintManagerUI::GetOffscreenDC() const { return m_hDcOffscreen; }
HBITMAP CPaintManagerUI::GetOffscreenBitmap() const { return m_hbmpOffscreen; }
BYTE* CPaintManagerUI::GetOffscreenBits() const { return m_pOffscreenBits; }

// --- DPI -------------------------------------------------------------------------------------

CDPI* CPaintManagerUI::GetDPIObj() {
  if (m_pDPI == nullptr) m_pDPI = new CDPI();
  return m_pDPI;
}

void CPaintManagerUI::SetDPI(int dpi) {
  // A zero or negative DPI would scale every length to nothing (or flip it).
  if (dpi <= 0) return;
  CDPI* scale = GetDPIObj();
  int oldScale = static_cast<int>(scale->GetScale());
  scale->SetScale(static_cast<UINT>(dpi));
  int newScale = static_cast<int>(scale->GetScale());
  ResetDPIAssets();
  if (m_hWndPaint != nullptr) {
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(m_hWndPaint, &rc);
    if (!::IsZoomed(m_hWndPaint) && oldScale > 0) {
      rc.right = rc.left + (rc.right - rc.left) * newScale / oldScale;
      rc.bottom = rc.top + (rc.bottom - rc.top) * newScale / oldScale;
    }
    ::SetWindowPos(m_hWndPaint, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (m_pRoot != nullptr && m_pRoot->IsVisible()) m_pRoot->NeedUpdate();
  if (m_hWndPaint != nullptr) ::PostMessageW(m_hWndPaint, kMsgScaleChanged, 0, 0);
}

void CPaintManagerUI::ResetDPIAssets() {
  // Images and descriptions reload at the new scale on the next paint; fonts are made again now.
  RemoveAllDrawInfos();
  RemoveAllImages(false);
  RebuildAllFonts();
  if (m_pRoot == nullptr) return;
  CStdPtrArray* edits = FindSubControlsByClass(m_pRoot, L"RichEditUI");
  if (edits == nullptr) return;
  CStdPtrArray copy(*edits);
  for (int i = 0; i < copy.GetSize(); ++i) {
    auto* edit = static_cast<CRichEditUI*>(static_cast<CControlUI*>(copy.GetAt(i))->GetInterface(L"RichEdit"));
    if (edit != nullptr) edit->SetFont(edit->GetFont());
  }
}

void CPaintManagerUI::SetAllDPI(int dpi) {
  CStdPtrArray managers(*GetPaintManagers());
  for (int i = 0; i < managers.GetSize(); ++i) {
    auto* manager = static_cast<CPaintManagerUI*>(managers.GetAt(i));
    if (GetPaintManagers()->Find(manager) >= 0) manager->SetDPI(dpi);
  }
}

}  // namespace ZQUI
