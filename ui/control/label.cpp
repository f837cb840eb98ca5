#include "ui/control/label.h"

#include <cwchar>
#include <new>

#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

namespace {

constexpr int kMeasureExtent = 9999999;

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

}  // namespace

CLabelUI::CLabelUI() = default;

CControlUI* CLabelUI::CreateControl() { return new (std::nothrow) CLabelUI(); }

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

void* CLabelUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"Label") == 0) return this;
  return CControlUI::GetInterface(name);
}

UINT CLabelUI::GetControlFlags() const { return IsEnabled() ? static_cast<UINT>(ControlFlagSetCursor) : 0u; }

bool CLabelUI::IsContainerControl() const { return false; }

void CLabelUI::SetText(const wchar_t* text) {
  CDuiString current = GetText();
  if (current == (text != nullptr ? text : L"")) return;
  // A zero last size makes the next estimate with a real available size measure again.
  m_szAvailableLast.cx = 0;
  m_szAvailableLast.cy = 0;
  CControlUI::SetText(text);
  if (m_bAutoCalcWidth || m_bAutoCalcHeight) NeedParentUpdate();
}

CControlUI* CLabelUI::Clone() {
  CLabelUI* copy = new (std::nothrow) CLabelUI();
  if (copy != nullptr) copy->CopyData(this);
  return copy;
}

void CLabelUI::CopyData(CLabelUI* control) {
  if (control == nullptr || control == this) return;
  m_dwTextColor = control->m_dwTextColor;
  m_dwDisabledTextColor = control->m_dwDisabledTextColor;
  m_iFont = control->m_iFont;
  m_uTextStyle = control->m_uTextStyle;
  m_rcTextPadding = control->m_rcTextPadding;
  m_bShowHtml = control->m_bShowHtml;
  m_bAutoCalcWidth = control->m_bAutoCalcWidth;
  m_bAutoCalcHeight = control->m_bAutoCalcHeight;
  m_szAvailableLast = control->m_szAvailableLast;
  m_szEstimate = control->m_szEstimate;
  m_bNeedEstimateSize = control->m_bNeedEstimateSize;
  CControlUI::CopyData(control);
}

void CLabelUI::DoEvent(TEventUI& event) {
  if (event.type == UiEventType::SetFocus) {
    m_bFocused = true;
    return;
  }
  if (event.type == UiEventType::KillFocus) {
    m_bFocused = false;
    return;
  }
  CControlUI::DoEvent(event);
}

bool CLabelUI::GetAutoCalcWidth() const { return m_bAutoCalcWidth; }
void CLabelUI::SetAutoCalcWidth(bool autoCalcWidth) { m_bAutoCalcWidth = autoCalcWidth; }
bool CLabelUI::GetAutoCalcHeight() const { return m_bAutoCalcHeight; }
void CLabelUI::SetAutoCalcHeight(bool autoCalcHeight) { m_bAutoCalcHeight = autoCalcHeight; }

void CLabelUI::SetTextStyle(UINT style) {
  m_uTextStyle = style;
  Invalidate();
}
UINT CLabelUI::GetTextStyle() const { return m_uTextStyle; }

void CLabelUI::SetTextColor(DWORD color) {
  if (m_dwTextColor == color) return;
  m_dwTextColor = color;
  Invalidate();
}
DWORD CLabelUI::GetTextColor() const { return m_dwTextColor; }

void CLabelUI::SetDisabledTextColor(DWORD color) {
  m_dwDisabledTextColor = color;
  Invalidate();
}
DWORD CLabelUI::GetDisabledTextColor() const { return m_dwDisabledTextColor; }

void CLabelUI::SetFont(int index) {
  if (m_iFont == index) return;
  m_iFont = index;
  m_bNeedEstimateSize = true;
  Invalidate();
}
int CLabelUI::GetFont() const { return m_iFont; }

void CLabelUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  m_bNeedEstimateSize = true;
  Invalidate();
}

RECT CLabelUI::GetTextPadding() const {
  if (m_pManager == nullptr) return m_rcTextPadding;
  return m_pManager->GetDPIObj()->Scale(m_rcTextPadding);
}

void CLabelUI::SetShowHtml(bool showHtml) {
  if (m_bShowHtml == showHtml) return;
  m_bShowHtml = showHtml;
  m_bNeedEstimateSize = true;
  Invalidate();
}
bool CLabelUI::IsShowHtml() const { return m_bShowHtml; }

void CLabelUI::SetFollowSize(bool followSize) { m_bFollowSize = followSize; }
bool CLabelUI::GetFollowSize() const { return m_bFollowSize; }

SIZE CLabelUI::EstimateSize(SIZE available) {
  if (m_bFollowSize) return CControlUI::EstimateSize(available);
  RECT padding = GetTextPadding();
  if (m_cxyFixed.cx > 0 && m_cxyFixed.cy > 0) return GetFixedSize();
  if (available.cx != m_szAvailableLast.cx || available.cy != m_szAvailableLast.cy) m_bNeedEstimateSize = true;
  if (m_bNeedEstimateSize) {
    CDuiString text = GetText();
    m_szAvailableLast = available;
    m_bNeedEstimateSize = false;
    m_szEstimate = GetFixedSize();
    HDC dc = m_pManager != nullptr ? m_pManager->GetPaintDC() : nullptr;
    UINT measureStyle = (m_uTextStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    auto measure = [&](RECT& rc) {
      if (m_pManager == nullptr) return false;
      if (m_bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(dc, m_pManager, rc, text, 0, nullptr, nullptr, links, m_iFont, measureStyle);
      } else {
        CRenderEngine::DrawText(dc, m_pManager, rc, text, 0, m_iFont, measureStyle);
      }
      return true;
    };
    if ((m_uTextStyle & DT_SINGLELINE) != 0) {
      if (m_cxyFixed.cy == 0) {
        int textHeight = 0;
        if (m_pManager != nullptr) {
          TFontInfo* font = m_pManager->GetFontInfo(m_iFont);
          if (font != nullptr) textHeight = font->tm.tmHeight;
        }
        m_szEstimate.cy = padding.top + textHeight + padding.bottom + 8;
      }
      if (m_cxyFixed.cx == 0 && m_bAutoCalcWidth) {
        RECT rc = {0, 0, kMeasureExtent, m_szEstimate.cy};
        if (measure(rc)) {
          m_szEstimate.cx = rc.right - rc.left + ScaleValue(m_rcTextPadding.left + m_rcTextPadding.right);
        }
      }
    } else if (m_cxyFixed.cy == 0 && m_bAutoCalcHeight) {
      // Without a fixed width the text wraps inside the width the layout offers.
      int width = m_szEstimate.cx > 0 ? m_szEstimate.cx : available.cx;
      RECT rc = {padding.left, 0, width - padding.right, kMeasureExtent};
      if (rc.right < rc.left) rc.right = rc.left;
      if (measure(rc)) m_szEstimate.cy = rc.bottom + padding.top + padding.bottom;
    }
  }
  return m_szEstimate;
}

void CLabelUI::ResolveDefaultTextColors() {
  if (m_pManager == nullptr) return;
  if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
  if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

RECT CLabelUI::TextRect() const {
  RECT padding = GetTextPadding();
  RECT rc = m_rcItem;
  rc.left += padding.left;
  rc.right -= padding.right;
  rc.top += padding.top;
  rc.bottom -= padding.bottom;
  return rc;
}

void CLabelUI::DrawLabelText(HDC hDC, RECT& rc, DWORD color, int font, UINT style) {
  if (m_pManager == nullptr || hDC == nullptr) return;
  if (m_bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, font, style);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, m_sText, color, font, style);
  }
}

void CLabelUI::PaintText(HDC hDC) {
  ResolveDefaultTextColors();
  RECT rc = TextRect();
  if (m_sText.IsEmpty()) return;
  DrawLabelText(hDC, rc, IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor, m_iFont, m_uTextStyle);
}

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (Is(name, L"align")) {
    if (wcsstr(value, L"left") != nullptr) m_uTextStyle &= ~(DT_CENTER | DT_RIGHT);
    if (wcsstr(value, L"center") != nullptr) {
      m_uTextStyle &= ~DT_RIGHT;
      m_uTextStyle |= DT_CENTER;
    }
    if (wcsstr(value, L"right") != nullptr) {
      m_uTextStyle &= ~DT_CENTER;
      m_uTextStyle |= DT_RIGHT;
    }
  } else if (Is(name, L"valign")) {
    if (wcsstr(value, L"top") != nullptr) {
      m_uTextStyle &= ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK);
      m_uTextStyle |= DT_SINGLELINE;
    }
    if (wcsstr(value, L"vcenter") != nullptr) {
      m_uTextStyle &= ~(DT_BOTTOM | DT_WORDBREAK);
      m_uTextStyle |= DT_VCENTER | DT_SINGLELINE;
    }
    if (wcsstr(value, L"bottom") != nullptr) {
      m_uTextStyle &= ~(DT_VCENTER | DT_WORDBREAK);
      m_uTextStyle |= DT_BOTTOM | DT_SINGLELINE;
    }
  } else if (Is(name, L"endellipsis")) {
    if (ParseSkinBool(value)) {
      m_uTextStyle |= DT_END_ELLIPSIS;
    } else {
      m_uTextStyle &= ~DT_END_ELLIPSIS;
    }
  } else if (Is(name, L"wordbreak")) {
    if (ParseSkinBool(value)) {
      m_uTextStyle &= ~DT_SINGLELINE;
      m_uTextStyle |= DT_WORDBREAK | DT_EDITCONTROL;
    } else {
      m_uTextStyle &= ~(DT_WORDBREAK | DT_EDITCONTROL);
      m_uTextStyle |= DT_SINGLELINE;
    }
  } else if (Is(name, L"noprefix")) {
    if (ParseSkinBool(value)) {
      m_uTextStyle |= DT_NOPREFIX;
    } else {
      m_uTextStyle &= ~DT_NOPREFIX;
    }
  } else if (Is(name, L"font")) {
    SetFont(ParseSkinInt(value));
  } else if (Is(name, L"textcolor")) {
    SetTextColor(ParseSkinColor(value, true));
  } else if (Is(name, L"disabledtextcolor")) {
    SetDisabledTextColor(ParseSkinColor(value, true));
  } else if (Is(name, L"textpadding")) {
    SetTextPadding(ParseSkinRect(value));
  } else if (Is(name, L"showhtml")) {
    SetShowHtml(ParseSkinBool(value));
  } else if (Is(name, L"autocalcwidth")) {
    SetAutoCalcWidth(ParseSkinBool(value));
  } else if (Is(name, L"autocalcheight")) {
    SetAutoCalcHeight(ParseSkinBool(value));
  } else if (Is(name, L"followsize")) {
    SetFollowSize(ParseSkinBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

}  // namespace ZQUI
