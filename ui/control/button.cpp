#include "ui/control/button.h"

#include <cwchar>
#include <new>

#include "ui/core/draw_info.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

// The pushed, hot or focused variant of a text setting, the first one given (not `unset`) whose
// state is in `state`; otherwise `normal`.
template <typename T>
T StateVariant(UINT state, T pushed, T hot, T focused, T normal, T unset) {
  if ((state & StatePushed) != 0 && pushed != unset) return pushed;
  if ((state & StateHot) != 0 && hot != unset) return hot;
  if ((state & StateFocused) != 0 && focused != unset) return focused;
  return normal;
}

}  // namespace

CButtonUI::CButtonUI() { m_uTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

CControlUI* CButtonUI::CreateControl() { return new (std::nothrow) CButtonUI(); }

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

void* CButtonUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"Button") == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
  UINT flags = IsKeyboardEnabled() ? static_cast<UINT>(ControlFlagTabStop) : 0u;
  if (IsEnabled()) flags |= ControlFlagSetCursor;
  return flags;
}

CControlUI* CButtonUI::Clone() {
  CButtonUI* copy = new (std::nothrow) CButtonUI();
  if (copy != nullptr) copy->CopyData(this);
  return copy;
}

void CButtonUI::CopyData(CButtonUI* control) {
  if (control == nullptr || control == this) return;
  m_uButtonState = control->m_uButtonState;
  m_iHotFont = control->m_iHotFont;
  m_iPushedFont = control->m_iPushedFont;
  m_iFocusedFont = control->m_iFocusedFont;
  m_dwHotBkColor = control->m_dwHotBkColor;
  m_dwPushedBkColor = control->m_dwPushedBkColor;
  m_dwStateDisabledBkColor = control->m_dwStateDisabledBkColor;
  m_dwHotTextColor = control->m_dwHotTextColor;
  m_dwPushedTextColor = control->m_dwPushedTextColor;
  m_dwFocusedTextColor = control->m_dwFocusedTextColor;
  m_dwHotBorderColor = control->m_dwHotBorderColor;
  m_dwPushedBorderColor = control->m_dwPushedBorderColor;
  m_dwDisabledBorderColor = control->m_dwDisabledBorderColor;
  m_sNormalImage = control->m_sNormalImage;
  m_sHotImage = control->m_sHotImage;
  m_sHotForeImage = control->m_sHotForeImage;
  m_sPushedImage = control->m_sPushedImage;
  m_sPushedForeImage = control->m_sPushedForeImage;
  m_sFocusedImage = control->m_sFocusedImage;
  m_sDisabledImage = control->m_sDisabledImage;
  m_nStateCount = control->m_nStateCount;
  m_sStateImage = control->m_sStateImage;
  m_iBindTabIndex = control->m_iBindTabIndex;
  m_sBindTabLayoutName = control->m_sBindTabLayoutName;
  CLabelUI::CopyData(control);
}

void CButtonUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
  if (!IsEnabled()) {
    m_uButtonState |= StateDisabled;
  } else {
    m_uButtonState &= ~StateDisabled;
  }
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kClick, 0, 0, false);
  if (m_iBindTabIndex >= 0) SelectBoundTab(m_iBindTabIndex);
  return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
  if (HandOffMouseEventWhenDisabled(event)) return;
  switch (event.type) {
    case UiEventType::SetFocus:
    case UiEventType::KillFocus:
      Invalidate();
      break;
    case UiEventType::KeyDown:
      if (IsKeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
        Activate();
        return;
      }
      break;
    case UiEventType::MouseMove:
      if ((m_uButtonState & StateCaptured) != 0) {
        if (::PtInRect(&m_rcItem, event.mousePos)) {
          m_uButtonState |= StatePushed;
        } else {
          m_uButtonState &= ~StatePushed;
        }
        Invalidate();
      }
      return;
    case UiEventType::ButtonDown:
    case UiEventType::DblClick:
      if (::PtInRect(&m_rcItem, event.mousePos) && IsEnabled()) {
        m_uButtonState |= StatePushed | StateCaptured;
        Invalidate();
        if (IsRichEvent() && m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kButtonDown, 0, 0, false);
      }
      return;
    case UiEventType::ButtonUp:
      if ((m_uButtonState & StateCaptured) != 0) {
        m_uButtonState &= ~(StatePushed | StateCaptured);
        Invalidate();
        if (::PtInRect(&m_rcItem, event.mousePos)) Activate();
      }
      return;
    case UiEventType::ContextMenu:
      if (IsContextMenuUsed() && m_pManager != nullptr) {
        m_pManager->SendNotify(this, NotifyName::kMenu, event.wParam, event.lParam, false);
      }
      return;
    case UiEventType::MouseEnter:
      if (IsEnabled()) {
        m_uButtonState |= StateHot;
        Invalidate();
        if (IsRichEvent() && m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kMouseEnter, 0, 0, false);
      }
      break;
    case UiEventType::MouseLeave:
      if (IsEnabled()) {
        m_uButtonState &= ~StateHot;
        Invalidate();
        if (IsRichEvent() && m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kMouseLeave, 0, 0, false);
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

// --- images and colours ------------------------------------------------------------------------

void CButtonUI::UpdateImage(CDuiString& target, const wchar_t* image) {
  if (target == (image != nullptr ? image : L"")) return;
  target = image;
  Invalidate();
}

const wchar_t* CButtonUI::GetNormalImage() const { return m_sNormalImage; }
void CButtonUI::SetNormalImage(const wchar_t* image) {
  UpdateImage(m_sNormalImage, image);
}
const wchar_t* CButtonUI::GetHotImage() const { return m_sHotImage; }
void CButtonUI::SetHotImage(const wchar_t* image) {
  UpdateImage(m_sHotImage, image);
}
const wchar_t* CButtonUI::GetPushedImage() const { return m_sPushedImage; }
void CButtonUI::SetPushedImage(const wchar_t* image) {
  UpdateImage(m_sPushedImage, image);
}
const wchar_t* CButtonUI::GetFocusedImage() const { return m_sFocusedImage; }
void CButtonUI::SetFocusedImage(const wchar_t* image) {
  UpdateImage(m_sFocusedImage, image);
}
const wchar_t* CButtonUI::GetDisabledImage() const { return m_sDisabledImage; }
void CButtonUI::SetDisabledImage(const wchar_t* image) {
  UpdateImage(m_sDisabledImage, image);
}
const wchar_t* CButtonUI::GetHotForeImage() const { return m_sHotForeImage; }
void CButtonUI::SetHotForeImage(const wchar_t* image) {
  UpdateImage(m_sHotForeImage, image);
}
const wchar_t* CButtonUI::GetPushedForeImage() const { return m_sPushedForeImage; }
void CButtonUI::SetPushedForeImage(const wchar_t* image) {
  UpdateImage(m_sPushedForeImage, image);
}
const wchar_t* CButtonUI::GetStateImage() const { return m_sStateImage; }
void CButtonUI::SetStateImage(const wchar_t* image) {
  m_sNormalImage.Empty();
  m_sStateImage = image;
  Invalidate();
}

void CButtonUI::SetHotFont(int index) {
  m_iHotFont = index;
  Invalidate();
}
int CButtonUI::GetHotFont() const { return m_iHotFont; }
void CButtonUI::SetPushedFont(int index) {
  m_iPushedFont = index;
  Invalidate();
}
int CButtonUI::GetPushedFont() const { return m_iPushedFont; }
void CButtonUI::SetFocusedFont(int index) {
  m_iFocusedFont = index;
  Invalidate();
}
int CButtonUI::GetFocusedFont() const { return m_iFocusedFont; }

void CButtonUI::SetHotBkColor(DWORD color) {
  m_dwHotBkColor = color;
  Invalidate();
}
DWORD CButtonUI::GetHotBkColor() const { return m_dwHotBkColor; }
void CButtonUI::SetPushedBkColor(DWORD color) {
  m_dwPushedBkColor = color;
  Invalidate();
}
DWORD CButtonUI::GetPushedBkColor() const { return m_dwPushedBkColor; }
void CButtonUI::SetDisabledBkColor(DWORD color) {
  m_dwStateDisabledBkColor = color;
  Invalidate();
}
DWORD CButtonUI::GetDisabledBkColor() const { return m_dwStateDisabledBkColor; }

void CButtonUI::SetHotTextColor(DWORD color) { m_dwHotTextColor = color; }
DWORD CButtonUI::GetHotTextColor() const { return m_dwHotTextColor; }
void CButtonUI::SetPushedTextColor(DWORD color) { m_dwPushedTextColor = color; }
DWORD CButtonUI::GetPushedTextColor() const { return m_dwPushedTextColor; }
void CButtonUI::SetFocusedTextColor(DWORD color) { m_dwFocusedTextColor = color; }
DWORD CButtonUI::GetFocusedTextColor() const { return m_dwFocusedTextColor; }

void CButtonUI::SetHotBorderColor(DWORD color) {
  if (m_dwHotBorderColor == color) return;
  m_dwHotBorderColor = color;
  Invalidate();
}
DWORD CButtonUI::GetHotBorderColor() const { return m_dwHotBorderColor; }
void CButtonUI::SetPushedBorderColor(DWORD color) {
  if (m_dwPushedBorderColor == color) return;
  m_dwPushedBorderColor = color;
  Invalidate();
}
DWORD CButtonUI::GetPushedBorderColor() const { return m_dwPushedBorderColor; }
void CButtonUI::SetDisabledBorderColor(DWORD color) {
  if (m_dwDisabledBorderColor == color) return;
  m_dwDisabledBorderColor = color;
  Invalidate();
}
DWORD CButtonUI::GetDisabledBorderColor() const { return m_dwDisabledBorderColor; }

void CButtonUI::SetStateCount(int count) {
  m_nStateCount = count;
  Invalidate();
}
int CButtonUI::GetStateCount() const { return m_nStateCount; }

void CButtonUI::SetState(UINT state) {
  m_uButtonState = state;
  Invalidate();
}
UINT CButtonUI::GetState() const { return m_uButtonState; }

// --- tab binding -------------------------------------------------------------------------------

void CButtonUI::BindTabIndex(int index) {
  if (index >= 0) m_iBindTabIndex = index;
}
void CButtonUI::BindTabLayoutName(const wchar_t* name) {
  if (name != nullptr) m_sBindTabLayoutName = name;
}
void CButtonUI::RemoveBindTabIndex() {
  m_iBindTabIndex = -1;
  m_sBindTabLayoutName.Empty();
}
int CButtonUI::GetBindTabLayoutIndex() const { return m_iBindTabIndex; }
const wchar_t* CButtonUI::GetBindTabLayoutName() const { return m_sBindTabLayoutName; }

bool CButtonUI::BindTriggerTabSel(int index) {
  if (m_iBindTabIndex < 0 && index < 0) return false;
  if (m_pManager == nullptr || m_pManager->GetRoot() == nullptr) return false;
  SelectBoundTab(index >= 0 ? index : m_iBindTabIndex);
  return true;
}

bool CButtonUI::SelectBoundTab(int index) {
  if (m_pManager == nullptr || m_pManager->GetRoot() == nullptr) return false;
  CControlUI* layout = m_pManager->FindControl(m_sBindTabLayoutName);
  if (layout == nullptr) return false;
  // A tab layout answers this interface with its page selector; other controls are not driven.
  auto* selector = static_cast<ITabSelectUI*>(layout->GetInterface(kTabSelectInterface));
  if (selector == nullptr) return false;
  return selector->SelectItem(index, true);
}

// --- painting ----------------------------------------------------------------------------------

bool CButtonUI::DrawStateImage(HDC hDC, const CDuiString& image) {
  if (image.IsEmpty()) return false;
  return DrawImage(hDC, image);
}

void CButtonUI::RefreshFocusAndDisabled() {
  if (IsFocused()) {
    m_uButtonState |= StateFocused;
  } else {
    m_uButtonState &= ~StateFocused;
  }
  if (!IsEnabled()) {
    m_uButtonState |= StateDisabled;
  } else {
    m_uButtonState &= ~StateDisabled;
  }
}

void CButtonUI::SliceStateImage() {
  SliceImageStates(m_sStateImage, m_nStateCount, false, m_sNormalImage, m_sHotImage, m_sPushedImage,
                   &m_sDisabledImage);
}

void CButtonUI::SliceImageStates(const CDuiString& stateImage, int count, bool withCorner, CDuiString& normal,
                                 CDuiString& hot, CDuiString& pushed, CDuiString* disabled) {
  if (stateImage.IsEmpty() || count <= 0 || m_pManager == nullptr) return;
  if (!normal.IsEmpty()) return;
  // Parsed without the manager: the slices are written back as skin text, which is scaled (and
  // renamed for the DPI) again when drawn.
  TDrawInfo info;
  info.Parse(stateImage, L"", nullptr);
  const wchar_t* type = info.sResType.IsEmpty() ? nullptr : info.sResType.GetData();
  const TImageInfo* image =
      m_pManager->GetImageEx(info.sImageName, type, info.dwMask, info.bHSL, info.bGdiplus, m_instance);
  if (image == nullptr || image->nX <= 0 || image->nY <= 0) return;
  const int w = image->nX / count;
  const int h = image->nY;
  const RECT& d = info.rcDest;
  const RECT& c = info.rcCorner;
  auto slice = [&](CDuiString& target, int index) {
    if (withCorner) {
      target.Format(L"res='%ls' restype='%ls' dest='%d,%d,%d,%d' source='%d,%d,%d,%d' corner='%d,%d,%d,%d'",
                    info.sImageName.GetData(), info.sResType.GetData(), static_cast<int>(d.left),
                    static_cast<int>(d.top), static_cast<int>(d.right), static_cast<int>(d.bottom), w * index, 0,
                    w * (index + 1), h, static_cast<int>(c.left), static_cast<int>(c.top),
                    static_cast<int>(c.right), static_cast<int>(c.bottom));
    } else {
      target.Format(L"res='%ls' restype='%ls' dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", info.sImageName.GetData(),
                    info.sResType.GetData(), static_cast<int>(d.left), static_cast<int>(d.top),
                    static_cast<int>(d.right), static_cast<int>(d.bottom), w * index, 0, w * (index + 1), h);
    }
  };
  slice(normal, 0);
  if (count > 1) {
    slice(hot, 1);
    slice(pushed, 1);
  }
  if (count > 2) slice(pushed, 2);
  if (count > 3 && disabled != nullptr) slice(*disabled, 3);
}

DWORD CButtonUI::StateColor(DWORD disabled, DWORD pushed, DWORD hot) const {
  if ((m_uButtonState & StateDisabled) != 0) return disabled;
  if ((m_uButtonState & StatePushed) != 0) return pushed;
  if ((m_uButtonState & StateHot) != 0) return hot;
  return 0;
}

void CButtonUI::PaintBkColor(HDC hDC) {
  DWORD color = StateColor(m_dwStateDisabledBkColor, m_dwPushedBkColor, m_dwHotBkColor);
  if (color != 0) {
    CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(color));
    return;
  }
  CLabelUI::PaintBkColor(hDC);
}

void CButtonUI::PaintStatusImage(HDC hDC) {
  SliceStateImage();
  RefreshFocusAndDisabled();
  if (m_pManager != nullptr) {
    HWND host = m_pManager->GetPaintWindow();
    if (host != nullptr && !::IsWindowEnabled(host)) m_uButtonState &= StateDisabled;
  }
  const CDuiString* choice = nullptr;
  if ((m_uButtonState & StateDisabled) != 0) {
    choice = &m_sDisabledImage;
  } else if ((m_uButtonState & StatePushed) != 0) {
    choice = &m_sPushedImage;
  } else if ((m_uButtonState & StateHot) != 0) {
    choice = &m_sHotImage;
  } else if ((m_uButtonState & StateFocused) != 0) {
    choice = &m_sFocusedImage;
  }
  if (choice != nullptr && DrawStateImage(hDC, *choice)) return;
  DrawStateImage(hDC, m_sNormalImage);
}

void CButtonUI::PaintForeImage(HDC hDC) {
  if ((m_uButtonState & (StatePushed | StateHot)) != 0) {
    const CDuiString& image = (m_uButtonState & StatePushed) != 0 ? m_sPushedForeImage : m_sHotForeImage;
    if (DrawStateImage(hDC, image)) return;
  }
  CLabelUI::PaintForeImage(hDC);
}

void CButtonUI::PaintText(HDC hDC) {
  RefreshFocusAndDisabled();
  ResolveDefaultTextColors();
  if (m_sText.IsEmpty()) return;
  RECT rc = TextRect();
  DWORD color = StateVariant<DWORD>(m_uButtonState, m_dwPushedTextColor, m_dwHotTextColor, m_dwFocusedTextColor,
                                    IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor, 0);
  int font = StateVariant<int>(m_uButtonState, m_iPushedFont, m_iHotFont, m_iFocusedFont, m_iFont, -1);
  DrawLabelText(hDC, rc, color, font, m_uTextStyle);
}

void CButtonUI::PaintBorder(HDC hDC) {
  DWORD color = StateColor(m_dwDisabledBorderColor, m_dwPushedBorderColor, m_dwHotBorderColor);
  if (color != 0) {
    DrawStateBorder(hDC, color);
    return;
  }
  CLabelUI::PaintBorder(hDC);
}

void CButtonUI::DrawStateBorder(HDC hDC, DWORD color) {
  if (color == 0) return;
  color = GetAdjustColor(color);
  const RECT& rc = m_rcItem;
  const int size = m_nBorderSize;
  if (size > 0 && (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)) {
    CRenderEngine::GdiplusDrawRoundRect(hDC, static_cast<float>(rc.left), static_cast<float>(rc.top),
                                        static_cast<float>(rc.right - rc.left - 1),
                                        static_cast<float>(rc.bottom - rc.top - 1),
                                        static_cast<float>(m_cxyBorderRound.cx / 2), static_cast<float>(size),
                                        color, false, color, m_nBorderStyle);
    return;
  }
  const RECT& sides = m_rcBorderSize;
  if (sides.left <= 0 && sides.top <= 0 && sides.right <= 0 && sides.bottom <= 0) {
    if (size >= 1) CRenderEngine::DrawRect(hDC, rc, size, color, m_nBorderStyle);
    return;
  }
  auto side = [&](int width, LONG x1, LONG y1, LONG x2, LONG y2) {
    if (width <= 0) return;
    RECT line = {x1, y1, x2, y2};
    CRenderEngine::DrawLine(hDC, line, width, color, m_nBorderStyle);
  };
  side(sides.left, rc.left, rc.top, rc.left, rc.bottom);
  side(sides.top, rc.left, rc.top, rc.right, rc.top);
  side(sides.right, rc.right - 1, rc.top, rc.right - 1, rc.bottom);
  side(sides.bottom, rc.left, rc.bottom - 1, rc.right, rc.bottom - 1);
}

// --- attributes --------------------------------------------------------------------------------

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (Is(name, L"normalimage")) {
    SetNormalImage(value);
  } else if (Is(name, L"hotimage")) {
    SetHotImage(value);
  } else if (Is(name, L"pushedimage")) {
    SetPushedImage(value);
  } else if (Is(name, L"focusedimage")) {
    SetFocusedImage(value);
  } else if (Is(name, L"disabledimage")) {
    SetDisabledImage(value);
  } else if (Is(name, L"hotforeimage")) {
    SetHotForeImage(value);
  } else if (Is(name, L"pushedforeimage")) {
    SetPushedForeImage(value);
  } else if (Is(name, L"stateimage")) {
    SetStateImage(value);
  } else if (Is(name, L"statecount")) {
    SetStateCount(ParseSkinInt(value));
  } else if (Is(name, L"bindtabindex")) {
    BindTabIndex(ParseSkinInt(value));
  } else if (Is(name, L"bindtablayoutname")) {
    BindTabLayoutName(value);
  } else if (Is(name, L"hotbkcolor")) {
    SetHotBkColor(ParseSkinColor(value, true));
  } else if (Is(name, L"pushedbkcolor")) {
    SetPushedBkColor(ParseSkinColor(value, true));
  } else if (Is(name, L"disabledbkcolor")) {
    SetDisabledBkColor(ParseSkinColor(value, true));
  } else if (Is(name, L"hottextcolor")) {
    SetHotTextColor(ParseSkinColor(value, true));
  } else if (Is(name, L"pushedtextcolor")) {
    SetPushedTextColor(ParseSkinColor(value, true));
  } else if (Is(name, L"focusedtextcolor")) {
    SetFocusedTextColor(ParseSkinColor(value, true));
  } else if (wcscmp(name, L"hotbordercolor") == 0) {
    SetHotBorderColor(ParseSkinColor(value, true));
  } else if (wcscmp(name, L"pushedbordercolor") == 0) {
    SetPushedBorderColor(ParseSkinColor(value, true));
  } else if (wcscmp(name, L"disabledbordercolor") == 0) {
    SetDisabledBorderColor(ParseSkinColor(value, true));
  } else if (Is(name, L"hotfont")) {
    SetHotFont(ParseSkinInt(value));
  } else if (Is(name, L"pushedfont")) {
    SetPushedFont(ParseSkinInt(value));
  } else if (Is(name, L"focuedfont")) {
    SetFocusedFont(ParseSkinInt(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

}  // namespace ZQUI
