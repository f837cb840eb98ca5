// CControlUI: the base event handling and the fixed painting pipeline.
#include <cmath>
#include <cwchar>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {

// Standard RGB <-> HSL conversion; hue in degrees, saturation and lightness in 0..1.
void RgbToHsl(DWORD color, double& h, double& s, double& l) {
  double r = ((color >> 16) & 0xFF) / 255.0;
  double g = ((color >> 8) & 0xFF) / 255.0;
  double b = (color & 0xFF) / 255.0;
  double maxC = r > g ? (r > b ? r : b) : (g > b ? g : b);
  double minC = r < g ? (r < b ? r : b) : (g < b ? g : b);
  l = (maxC + minC) / 2.0;
  double delta = maxC - minC;
  if (delta <= 0.0) {
    h = 0.0;
    s = 0.0;
    return;
  }
  s = l <= 0.5 ? delta / (maxC + minC) : delta / (2.0 - maxC - minC);
  if (maxC == r) {
    h = (g - b) / delta + (g < b ? 6.0 : 0.0);
  } else if (maxC == g) {
    h = (b - r) / delta + 2.0;
  } else {
    h = (r - g) / delta + 4.0;
  }
  h *= 60.0;
}

double HueToChannel(double p, double q, double t) {
  if (t < 0.0) t += 1.0;
  if (t > 1.0) t -= 1.0;
  if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
  return p;
}

DWORD HslToRgb(double h, double s, double l) {
  double r, g, b;
  if (s <= 0.0) {
    r = g = b = l;
  } else {
    double q = l < 0.5 ? l * (1.0 + s) : l + s - l * s;
    double p = 2.0 * l - q;
    double hk = h / 360.0;
    r = HueToChannel(p, q, hk + 1.0 / 3.0);
    g = HueToChannel(p, q, hk);
    b = HueToChannel(p, q, hk - 1.0 / 3.0);
  }
  auto toByte = [](double v) -> DWORD {
    if (v < 0.0) v = 0.0;
    if (v > 1.0) v = 1.0;
    return static_cast<DWORD>(std::lround(v * 255.0));
  };
  return (toByte(r) << 16) | (toByte(g) << 8) | toByte(b);
}

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

}  // namespace

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UiEventType::SetFocus:
      m_bFocused = true;
      Invalidate();
      return;
    case UiEventType::KillFocus:
      m_bFocused = false;
      Invalidate();
      return;
    case UiEventType::SetCursor:
      if (m_hCursor != nullptr) {
        ::SetCursor(m_hCursor);
      } else {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(m_wCursor != 0 ? m_wCursor : 32512)));
      }
      return;
    case UiEventType::Timer:
      if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kTimer, event.wParam, event.lParam);
      return;
    case UiEventType::ContextMenu:
      if (IsContextMenuUsed()) {
        if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kMenu, event.wParam, event.lParam);
        return;
      }
      break;
    default:
      break;
  }
  PassEventToParent(event);
}

bool CControlUI::Paint(HDC hDC, const RECT& paint, CControlUI* stopControl) {
  if (stopControl == this) return false;
  if (!::IntersectRect(&m_rcPaint, &paint, &m_rcItem)) return true;
  return DoPaint(hDC, m_rcPaint, stopControl);
}

bool CControlUI::DoPaint(HDC hDC, const RECT&, CControlUI*) {
  SIZE round = GetBorderRound();
  if (round.cx > 0 || round.cy > 0) {
    CRenderClip clip;
    CRenderClip::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, round.cx, round.cy, clip);
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintForeColor(hDC);
    PaintForeImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
  } else {
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintForeColor(hDC);
    PaintForeImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
  }
  return true;
}

void CControlUI::PaintBkColor(HDC hDC) {
  if (!IsEnabled() && m_dwDisabledBkColor != 0) {
    CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwDisabledBkColor));
    return;
  }
  if (IsFocused() && m_dwFocusBkColor != 0) {
    CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwFocusBkColor));
    return;
  }
  if (m_dwBackColor == 0) return;
  bool vertical = _wcsicmp(m_sGradient, L"hor") != 0;
  if (m_dwBackColor2 != 0) {
    if (m_dwBackColor3 != 0) {
      RECT upper = m_rcItem;
      upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
      CRenderEngine::DrawGradient(hDC, upper, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), vertical, 8);
      RECT lower = m_rcItem;
      lower.top = upper.bottom;
      CRenderEngine::DrawGradient(hDC, lower, GetAdjustColor(m_dwBackColor2), GetAdjustColor(m_dwBackColor3), vertical, 8);
    } else {
      CRenderEngine::DrawGradient(hDC, m_rcItem, GetAdjustColor(m_dwBackColor), GetAdjustColor(m_dwBackColor2), vertical, 16);
    }
    return;
  }
  // An opaque colour only needs the part being painted.
  if ((m_dwBackColor >> 24) == 0xFF && !::IsRectEmpty(&m_rcPaint)) {
    CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwBackColor));
  } else {
    CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwBackColor));
  }
}

void CControlUI::PaintBkImage(HDC hDC) {
  if (m_sBkImage.IsEmpty()) return;
  DrawImage(hDC, m_sBkImage);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintForeColor(HDC hDC) { CRenderEngine::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwForeColor)); }

void CControlUI::PaintForeImage(HDC hDC) {
  if (m_sForeImage.IsEmpty()) return;
  DrawImage(hDC, m_sForeImage);
}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) {
  if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0) return;
  int size = GetBorderSize();
  SIZE round = GetBorderRound();
  RECT sides = GetBorderRectSize();
  DWORD borderColor = GetAdjustColor(m_dwBorderColor);
  DWORD focusColor = GetAdjustColor(m_dwFocusBorderColor);
  if (size >= 1 && (round.cx >= 1 || round.cy >= 1)) {
    DWORD color = (IsFocused() && m_dwFocusBorderColor != 0) ? focusColor : borderColor;
    CRenderEngine::GdiplusDrawRoundRect(hDC, static_cast<float>(m_rcItem.left), static_cast<float>(m_rcItem.top),
                                        static_cast<float>(m_rcItem.right - m_rcItem.left - 1),
                                        static_cast<float>(m_rcItem.bottom - m_rcItem.top - 1),
                                        static_cast<float>(round.cx / 2), static_cast<float>(size), color, false,
                                        color, m_nBorderStyle);
    return;
  }
  if (IsFocused() && m_dwFocusBorderColor != 0 && size > 0) {
    CRenderEngine::DrawRect(hDC, m_rcItem, size, focusColor, m_nBorderStyle);
    return;
  }
  if (sides.left <= 0 && sides.top <= 0 && sides.right <= 0 && sides.bottom <= 0) {
    if (size >= 1) CRenderEngine::DrawRect(hDC, m_rcItem, size, borderColor, m_nBorderStyle);
    return;
  }
  auto drawSide = [&](int width, int x1, int y1, int x2, int y2) {
    if (width <= 0 || hDC == nullptr) return;
    LOGPEN lp = {static_cast<UINT>(m_nBorderStyle), {width, 0}, ToColorRef(borderColor)};
    HPEN pen = ::CreatePenIndirect(&lp);
    if (pen == nullptr) return;
    HGDIOBJ old = ::SelectObject(hDC, pen);
    ::MoveToEx(hDC, x1, y1, nullptr);
    ::LineTo(hDC, x2, y2);
    ::SelectObject(hDC, old);
    ::DeleteObject(pen);
  };
  const RECT& rc = m_rcItem;
  drawSide(sides.left, rc.left, rc.top, rc.left, rc.bottom);
  drawSide(sides.top, rc.left, rc.top, rc.right, rc.top);
  drawSide(sides.right, rc.right - 1, rc.top, rc.right - 1, rc.bottom);
  drawSide(sides.bottom, rc.left, rc.bottom - 1, rc.right, rc.bottom - 1);
}

void CControlUI::DoPostPaint(HDC, const RECT&) {}

bool CControlUI::DrawImage(HDC hDC, const wchar_t* image, const wchar_t* modify) {
  if (m_pManager == nullptr || hDC == nullptr) return false;
  return CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, image, modify, m_instance);
}

DWORD CControlUI::GetAdjustColor(DWORD color) const {
  if (!m_bColorHSL) return color;
  short hue = 180, saturation = 100, lightness = 100;
  CPaintManagerUI::GetHSL(&hue, &saturation, &lightness);
  if (hue == 180 && saturation == 100 && lightness == 100) return color;
  double h, s, l;
  RgbToHsl(color, h, s, l);
  h += hue - 180;
  if (h <= 0) h += 360;
  if (h > 360) h -= 360;
  s *= saturation / 100.0;
  l *= lightness / 100.0;
  if (s > 1.0) s = 1.0;
  if (l > 1.0) l = 1.0;
  return (color & 0xFF000000) | HslToRgb(h, s, l);
}

}  // namespace ZQUI
