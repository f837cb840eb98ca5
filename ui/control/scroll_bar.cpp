#include "ui/control/scroll_bar.h"

#include <cwchar>

#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"
#include "ui/layout/container.h"

namespace ZQUI {

namespace {

constexpr int kDefaultThickness = 16;
constexpr int kMinThumbLength = 80;
constexpr UINT kDragTimerPeriod = 50;
// Ticks of the press timer before a held button or rail press starts repeating.
constexpr int kRepeatStartTick = 6;
constexpr DWORD kOutlineColor = 0xFF85E4FF;

int ClampToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

CScrollBarUI::CScrollBarUI() { m_cxyFixed.cx = kDefaultThickness; }

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

void* CScrollBarUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"ScrollBar") == 0) return this;
  return CControlUI::GetInterface(name);
}

CContainerUI* CScrollBarUI::GetOwner() const { return m_pOwner; }
void CScrollBarUI::SetOwner(CContainerUI* owner) { m_pOwner = owner; }

void CScrollBarUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  m_bVisible = visible;
  m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
  if (!IsEnabled()) {
    m_uButton1State = 0;
    m_uButton2State = 0;
    m_uThumbState = 0;
  }
}

void CScrollBarUI::SetFocus() {
  if (m_pOwner != nullptr) {
    m_pOwner->SetFocus();
  } else if (m_pManager != nullptr) {
    m_pManager->SetFocus(this);
  }
}

bool CScrollBarUI::IsHorizontal() const { return m_bHorizontal; }

void CScrollBarUI::SetHorizontal(bool horizontal) {
  if (m_bHorizontal == horizontal) return;
  m_bHorizontal = horizontal;
  if (m_bHorizontal) {
    if (m_cxyFixed.cy == 0) {
      m_cxyFixed.cx = 0;
      m_cxyFixed.cy = kDefaultThickness;
    }
  } else if (m_cxyFixed.cx == 0) {
    m_cxyFixed.cx = kDefaultThickness;
    m_cxyFixed.cy = 0;
  }
  m_cxyFixedScaled.scale = 0;
  if (m_pOwner != nullptr) {
    if (m_pOwner->IsVisible()) m_pOwner->NeedUpdate();
  } else {
    NeedParentUpdate();
  }
}

int CScrollBarUI::GetScrollRange() const { return ClampToInt(m_nRange); }

void CScrollBarUI::SetScrollRange(int range, bool clampPos) {
  if (m_nRange == range) return;
  m_nRange = range < 0 ? 0 : range;
  if (clampPos && m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
  SetPos(m_rcItem, true);
}

int CScrollBarUI::GetScrollPos() const { return ClampToInt(m_nScrollPos); }

void CScrollBarUI::SetScrollPos(int pos, bool clampPos) {
  // The request is compared before clamping, so repeating an out-of-range request notifies again.
  if (m_nScrollPos == pos) return;
  int64_t value = pos < 0 ? 0 : pos;
  if (clampPos && value > m_nRange) value = m_nRange;
  m_nScrollPos = value;
  SetPos(m_rcItem, true);
  if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kScroll);
}

int CScrollBarUI::GetLineSize() const { return m_nLineSize; }
void CScrollBarUI::SetLineSize(int size) { m_nLineSize = size; }
bool CScrollBarUI::GetShow() const { return m_bShow; }
void CScrollBarUI::SetShow(bool show) {
  m_bShow = show;
  Invalidate();
}
bool CScrollBarUI::GetShowButton1() const { return m_bShowButton1; }
void CScrollBarUI::SetShowButton1(bool show) {
  m_bShowButton1 = show;
  SetPos(m_rcItem, true);
}
bool CScrollBarUI::GetShowButton2() const { return m_bShowButton2; }
void CScrollBarUI::SetShowButton2(bool show) {
  m_bShowButton2 = show;
  SetPos(m_rcItem, true);
}

int CScrollBarUI::GetHSpace() const { return ScaleValue(m_nHSpace); }
void CScrollBarUI::SetHSpace(int space) {
  if (m_nHSpace == space) return;
  m_nHSpace = space;
  NeedUpdate();
}
int CScrollBarUI::GetVSpace() const { return ScaleValue(m_nVSpace); }
void CScrollBarUI::SetVSpace(int space) {
  if (m_nVSpace == space) return;
  m_nVSpace = space;
  NeedUpdate();
}

bool CScrollBarUI::GetMouseDown() const { return m_bMouseDown; }
RECT CScrollBarUI::GetButton1Rect() const { return m_rcButton1; }
RECT CScrollBarUI::GetButton2Rect() const { return m_rcButton2; }
RECT CScrollBarUI::GetThumbRect() const { return m_rcThumb; }

void CScrollBarUI::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  const RECT& p = m_rcItem;
  int cx = GetFixedWidth();
  int cy = GetFixedHeight();
  int minThumb = kMinThumbLength;
  if (m_pManager != nullptr) {
    UINT scale = m_pManager->GetDPIObj()->GetScale();
    if (scale != 100) {
      minThumb = MulDiv(kMinThumbLength, static_cast<int>(scale), 100);
      if (minThumb < 1) minThumb = 1;
    }
  }
  RECT zero = {0, 0, 0, 0};
  if (m_bHorizontal) {
    int64_t w = static_cast<int64_t>(p.right) - p.left;
    int64_t rail = w;
    if (m_bShowButton1) rail -= cy;
    if (m_bShowButton2) rail -= cy;
    if (rail > cy) {
      m_rcButton1 = {p.left, p.top, m_bShowButton1 ? p.left + cy : p.left, m_bShowButton1 ? p.top + cy : p.top};
      m_rcButton2 = {m_bShowButton2 ? p.right - cy : p.right, p.top, p.right, m_bShowButton2 ? p.top + cy : p.top};
      m_rcThumb.top = p.top;
      m_rcThumb.bottom = p.top + cy;
      if (m_nRange <= 0) {
        m_rcThumb.left = m_rcButton1.right;
        m_rcThumb.right = m_rcButton2.left;
      } else {
        int64_t thumb = w * rail / (w + m_nRange);
        if (thumb < minThumb) thumb = minThumb;
        m_rcThumb.left = ClampToInt(m_rcButton1.right + (rail - thumb) * m_nScrollPos / m_nRange);
        m_rcThumb.right = ClampToInt(m_rcThumb.left + thumb);
        if (m_rcThumb.right > m_rcButton2.left) {
          m_rcThumb.right = m_rcButton2.left;
          m_rcThumb.left = ClampToInt(m_rcThumb.right - thumb);
        }
      }
    } else {
      int k = static_cast<int>(w / 2 < cy ? w / 2 : cy);
      m_rcButton1 = {p.left, p.top, m_bShowButton1 ? p.left + k : p.left, m_bShowButton1 ? p.top + cy : p.top};
      m_rcButton2 = {m_bShowButton2 ? p.right - k : p.right, p.top, p.right, m_bShowButton2 ? p.top + cy : p.top};
      m_rcThumb = zero;
    }
  } else {
    int64_t h = static_cast<int64_t>(p.bottom) - p.top;
    int64_t rail = h;
    if (m_bShowButton1) rail -= cx;
    if (m_bShowButton2) rail -= cx;
    if (rail > cx) {
      m_rcButton1 = {p.left, p.top, m_bShowButton1 ? p.left + cx : p.left, m_bShowButton1 ? p.top + cx : p.top};
      m_rcButton2 = {p.left, m_bShowButton2 ? p.bottom - cx : p.bottom, m_bShowButton2 ? p.left + cx : p.left, p.bottom};
      m_rcThumb.left = p.left;
      m_rcThumb.right = p.left + cx;
      if (m_nRange <= 0) {
        m_rcThumb.top = m_rcButton1.bottom;
        m_rcThumb.bottom = m_rcButton2.top;
      } else {
        int64_t thumb = h * rail / (h + m_nRange);
        if (thumb < minThumb) thumb = minThumb;
        float offset = static_cast<float>(m_nScrollPos) / static_cast<float>(m_nRange) * static_cast<float>(rail - thumb);
        m_rcThumb.top = ClampToInt(static_cast<int64_t>(offset) + m_rcButton1.bottom);
        m_rcThumb.bottom = ClampToInt(m_rcThumb.top + thumb);
        if (m_rcThumb.bottom > m_rcButton2.top) {
          m_rcThumb.bottom = m_rcButton2.top;
          m_rcThumb.top = ClampToInt(m_rcThumb.bottom - thumb);
        }
      }
    } else {
      int k = static_cast<int>(h / 2 < cx ? h / 2 : cx);
      m_rcButton1 = {p.left, p.top, m_bShowButton1 ? p.left + cx : p.left, m_bShowButton1 ? p.top + k : p.top};
      m_rcButton2 = {p.left, m_bShowButton2 ? p.bottom - k : p.bottom, m_bShowButton2 ? p.left + cx : p.left, p.bottom};
      m_rcThumb = zero;
    }
  }
}

UINT CScrollBarUI::GetButton1State() const { return m_uButton1State; }
UINT CScrollBarUI::GetButton2State() const { return m_uButton2State; }
UINT CScrollBarUI::GetThumbState() const { return m_uThumbState; }

// --- input -------------------------------------------------------------------------------------

void CScrollBarUI::ForwardEvent(TEventUI& event) {
  if (m_pOwner != nullptr) {
    m_pOwner->BeginDispatch();
    m_pOwner->DoEvent(event);
    m_pOwner->EndDispatch();
    return;
  }
  CControlUI::DoEvent(event);
}

void CScrollBarUI::ScrollTo(int64_t pos) {
  int value = ClampToInt(pos);
  if (m_pOwner != nullptr) {
    SIZE current = m_pOwner->GetScrollPos();
    SIZE target = current;
    if (m_bHorizontal) {
      target.cx = value;
    } else {
      target.cy = value;
    }
    m_pOwner->SetScrollPos(target, true, true);
  } else {
    SetScrollPos(value, true);
  }
}

void CScrollBarUI::StepLine(bool forward) {
  if (m_pOwner != nullptr) {
    if (m_bHorizontal) {
      forward ? m_pOwner->LineRight() : m_pOwner->LineLeft();
    } else {
      forward ? m_pOwner->LineDown(true) : m_pOwner->LineUp(true);
    }
    return;
  }
  SetScrollPos(ClampToInt(m_nScrollPos + (forward ? m_nLineSize : -static_cast<int64_t>(m_nLineSize))), true);
}

void CScrollBarUI::StepPage(bool forward) {
  if (m_pOwner != nullptr) {
    if (m_bHorizontal) {
      forward ? m_pOwner->PageRight() : m_pOwner->PageLeft();
    } else {
      forward ? m_pOwner->PageDown() : m_pOwner->PageUp();
    }
    return;
  }
  int64_t page = m_bHorizontal ? GetWidth() : GetHeight();
  SetScrollPos(ClampToInt(m_nScrollPos + (forward ? page : -page)), true);
}

void CScrollBarUI::RepeatHeldPress() {
  if ((m_uButton1State & StatePushed) != 0) {
    StepLine(false);
  } else if ((m_uButton2State & StatePushed) != 0) {
    StepLine(true);
  } else {
    // A held rail press pages toward the pointer until the thumb has reached it.
    if (m_pManager == nullptr || ::IsRectEmpty(&m_rcThumb)) return;
    POINT pt = {0, 0};
    if (!::GetCursorPos(&pt) || !::ScreenToClient(m_pManager->GetPaintWindow(), &pt)) return;
    if (m_bHorizontal) {
      if (pt.x < m_rcThumb.left) {
        StepPage(false);
      } else if (pt.x > m_rcThumb.right) {
        StepPage(true);
      } else {
        return;
      }
    } else {
      if (pt.y < m_rcThumb.top) {
        StepPage(false);
      } else if (pt.y > m_rcThumb.bottom) {
        StepPage(true);
      } else {
        return;
      }
    }
  }
  if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kScroll, 0, 0, false);
}

void CScrollBarUI::DoEvent(TEventUI& event) {
  if (!IsMouseEnabled() && UiEventType::IsMouseEvent(event.type)) {
    ForwardEvent(event);
    return;
  }
  const POINT pt = event.mousePos;
  switch (event.type) {
    case UiEventType::SetFocus:
    case UiEventType::KillFocus:
    case UiEventType::ContextMenu:
      return;
    case UiEventType::ButtonDown:
    case UiEventType::DblClick: {
      if (!IsEnabled()) return;
      m_nLastScrollOffset = 0;
      m_nScrollRepeatDelay = 0;
      m_bMouseDown = true;
      if (::PtInRect(&m_rcButton1, pt)) {
        m_uButton1State |= StatePushed;
        StepLine(false);
      } else if (::PtInRect(&m_rcButton2, pt)) {
        m_uButton2State |= StatePushed;
        StepLine(true);
      } else if (::PtInRect(&m_rcThumb, pt)) {
        m_uThumbState |= StateCaptured | StatePushed;
        m_ptLastMouse = pt;
        m_nLastScrollPos = m_nScrollPos;
      } else if (m_bHorizontal) {
        if (pt.x < m_rcThumb.left) {
          StepPage(false);
        } else if (pt.x > m_rcThumb.right) {
          StepPage(true);
        }
      } else {
        if (pt.y < m_rcThumb.top) {
          StepPage(false);
        } else if (pt.y > m_rcThumb.bottom) {
          StepPage(true);
        }
      }
      // The timer drives the thumb drag and, for a held button or rail press, its repetition.
      if (m_pManager != nullptr && m_bMouseDown) m_pManager->SetTimer(this, kScrollTimerId, kDragTimerPeriod);
      if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kScroll, 0, 0, false);
      return;
    }
    case UiEventType::ButtonUp: {
      m_bMouseDown = false;
      m_nScrollRepeatDelay = 0;
      m_nLastScrollOffset = 0;
      if (m_pManager != nullptr) m_pManager->KillTimer(this, kScrollTimerId);
      bool cleared = true;
      if ((m_uThumbState & StateCaptured) != 0) {
        m_uThumbState &= ~(StateCaptured | StatePushed);
      } else if ((m_uButton1State & StatePushed) != 0) {
        m_uButton1State &= ~StatePushed;
      } else if ((m_uButton2State & StatePushed) != 0) {
        m_uButton2State &= ~StatePushed;
      } else {
        cleared = false;
      }
      if (cleared) Invalidate();
      return;
    }
    case UiEventType::MouseMove: {
      if ((m_uThumbState & StateCaptured) != 0) {
        int64_t moved = m_bHorizontal ? static_cast<int64_t>(pt.x) - m_ptLastMouse.x
                                      : static_cast<int64_t>(pt.y) - m_ptLastMouse.y;
        // The rail the thumb travels along: the bar less the thumb and the shown buttons, in the
        // same device pixels as the pointer.
        int64_t buttons = m_bHorizontal ? GetFixedHeight() : GetFixedWidth();
        int64_t travel = m_bHorizontal ? static_cast<int64_t>(m_rcItem.right) - m_rcItem.left -
                                             (static_cast<int64_t>(m_rcThumb.right) - m_rcThumb.left)
                                       : static_cast<int64_t>(m_rcItem.bottom) - m_rcItem.top -
                                             (static_cast<int64_t>(m_rcThumb.bottom) - m_rcThumb.top);
        if (m_bShowButton1) travel -= buttons;
        if (m_bShowButton2) travel -= buttons;
        if (travel < 0) travel = -travel;
        if (travel != 0) m_nLastScrollOffset = moved * m_nRange / travel;
        return;
      }
      bool inside = ::PtInRect(&m_rcThumb, pt) != FALSE;
      if (inside && IsEnabled()) {
        if ((m_uThumbState & StateHot) == 0) {
          m_uThumbState |= StateHot;
          Invalidate();
        }
      } else if (!inside && (m_uThumbState & StateHot) != 0) {
        m_uThumbState &= ~StateHot;
        Invalidate();
      }
      return;
    }
    case UiEventType::MouseEnter:
      if (IsEnabled()) {
        m_uButton1State |= StateHot;
        m_uButton2State |= StateHot;
        if (::PtInRect(&m_rcThumb, pt)) m_uThumbState |= StateHot;
        Invalidate();
      }
      return;
    case UiEventType::MouseLeave:
      if (IsEnabled()) {
        m_uButton1State &= ~StateHot;
        m_uButton2State &= ~StateHot;
        m_uThumbState &= ~StateHot;
        Invalidate();
      }
      return;
    case UiEventType::Timer:
      if (event.wParam != kScrollTimerId) break;
      ++m_nScrollRepeatDelay;
      if ((m_uThumbState & StateCaptured) != 0) {
        ScrollTo(m_nLastScrollPos + m_nLastScrollOffset);
        Invalidate();
        if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kScroll, 0, 0, false);
      } else if (m_bMouseDown && m_nScrollRepeatDelay >= kRepeatStartTick) {
        RepeatHeldPress();
      }
      return;
    default:
      break;
  }
  ForwardEvent(event);
}

bool CScrollBarUI::SetImageAttribute(const wchar_t* name, const wchar_t* value) {
  struct Part {
    const wchar_t* prefix;
    PartImages* images;
  } parts[] = {{L"button1", &m_button1}, {L"button2", &m_button2}, {L"thumb", &m_thumb},
               {L"rail", &m_rail},       {L"bk", &m_bk}};
  for (const Part& part : parts) {
    size_t length = wcslen(part.prefix);
    if (_wcsnicmp(name, part.prefix, length) != 0) continue;
    const wchar_t* state = name + length;
    CDuiString* target = nullptr;
    if (_wcsicmp(state, L"normalimage") == 0) target = &part.images->normal;
    else if (_wcsicmp(state, L"hotimage") == 0) target = &part.images->hot;
    else if (_wcsicmp(state, L"pushedimage") == 0) target = &part.images->pushed;
    else if (_wcsicmp(state, L"disabledimage") == 0) target = &part.images->disabled;
    if (target == nullptr) return false;
    *target = value;
    Invalidate();
    return true;
  }
  return false;
}

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (SetImageAttribute(name, value)) return;
  if (_wcsicmp(name, L"hor") == 0) {
    SetHorizontal(ParseSkinBool(value));
  } else if (_wcsicmp(name, L"linesize") == 0) {
    SetLineSize(ParseSkinInt(value));
  } else if (_wcsicmp(name, L"range") == 0) {
    SetScrollRange(ParseSkinInt(value), true);
  } else if (_wcsicmp(name, L"value") == 0) {
    SetScrollPos(ParseSkinInt(value), true);
  } else if (_wcsicmp(name, L"showbutton1") == 0) {
    SetShowButton1(ParseSkinBool(value));
  } else if (_wcsicmp(name, L"showbutton2") == 0) {
    SetShowButton2(ParseSkinBool(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

// --- images ------------------------------------------------------------------------------------

const wchar_t* CScrollBarUI::GetBkNormalImage() const { return m_bk.normal; }
void CScrollBarUI::SetBkNormalImage(const wchar_t* image) {
  m_bk.normal = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetBkHotImage() const { return m_bk.hot; }
void CScrollBarUI::SetBkHotImage(const wchar_t* image) {
  m_bk.hot = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetBkPushedImage() const { return m_bk.pushed; }
void CScrollBarUI::SetBkPushedImage(const wchar_t* image) {
  m_bk.pushed = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetBkDisabledImage() const { return m_bk.disabled; }
void CScrollBarUI::SetBkDisabledImage(const wchar_t* image) {
  m_bk.disabled = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton1NormalImage() const { return m_button1.normal; }
void CScrollBarUI::SetButton1NormalImage(const wchar_t* image) {
  m_button1.normal = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton1HotImage() const { return m_button1.hot; }
void CScrollBarUI::SetButton1HotImage(const wchar_t* image) {
  m_button1.hot = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton1PushedImage() const { return m_button1.pushed; }
void CScrollBarUI::SetButton1PushedImage(const wchar_t* image) {
  m_button1.pushed = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton1DisabledImage() const { return m_button1.disabled; }
void CScrollBarUI::SetButton1DisabledImage(const wchar_t* image) {
  m_button1.disabled = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton2NormalImage() const { return m_button2.normal; }
void CScrollBarUI::SetButton2NormalImage(const wchar_t* image) {
  m_button2.normal = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton2HotImage() const { return m_button2.hot; }
void CScrollBarUI::SetButton2HotImage(const wchar_t* image) {
  m_button2.hot = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton2PushedImage() const { return m_button2.pushed; }
void CScrollBarUI::SetButton2PushedImage(const wchar_t* image) {
  m_button2.pushed = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetButton2DisabledImage() const { return m_button2.disabled; }
void CScrollBarUI::SetButton2DisabledImage(const wchar_t* image) {
  m_button2.disabled = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetThumbNormalImage() const { return m_thumb.normal; }
void CScrollBarUI::SetThumbNormalImage(const wchar_t* image) {
  m_thumb.normal = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetThumbHotImage() const { return m_thumb.hot; }
void CScrollBarUI::SetThumbHotImage(const wchar_t* image) {
  m_thumb.hot = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetThumbPushedImage() const { return m_thumb.pushed; }
void CScrollBarUI::SetThumbPushedImage(const wchar_t* image) {
  m_thumb.pushed = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetThumbDisabledImage() const { return m_thumb.disabled; }
void CScrollBarUI::SetThumbDisabledImage(const wchar_t* image) {
  m_thumb.disabled = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetRailNormalImage() const { return m_rail.normal; }
void CScrollBarUI::SetRailNormalImage(const wchar_t* image) {
  m_rail.normal = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetRailHotImage() const { return m_rail.hot; }
void CScrollBarUI::SetRailHotImage(const wchar_t* image) {
  m_rail.hot = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetRailPushedImage() const { return m_rail.pushed; }
void CScrollBarUI::SetRailPushedImage(const wchar_t* image) {
  m_rail.pushed = image;
  Invalidate();
}
const wchar_t* CScrollBarUI::GetRailDisabledImage() const { return m_rail.disabled; }
void CScrollBarUI::SetRailDisabledImage(const wchar_t* image) {
  m_rail.disabled = image;
  Invalidate();
}

// --- painting ----------------------------------------------------------------------------------

bool CScrollBarUI::DoPaint(HDC hDC, const RECT&, CControlUI*) {
  if (!m_bShow) return true;
  PaintBkColor(hDC);
  PaintBkImage(hDC);
  PaintBk(hDC);
  PaintButton1(hDC);
  PaintButton2(hDC);
  PaintThumb(hDC);
  PaintRail(hDC);
  PaintBorder(hDC);
  return true;
}

bool CScrollBarUI::DrawPartImage(HDC hDC, const CDuiString& image, const RECT& part) {
  if (image.IsEmpty()) return false;
  int scale = m_pManager != nullptr ? static_cast<int>(m_pManager->GetDPIObj()->GetScale()) : 100;
  if (scale <= 0) scale = 100;
  m_sImageModify.Format(L"dest='%d,%d,%d,%d'", MulDiv(part.left - m_rcItem.left, 100, scale),
                        MulDiv(part.top - m_rcItem.top, 100, scale), MulDiv(part.right - m_rcItem.left, 100, scale),
                        MulDiv(part.bottom - m_rcItem.top, 100, scale));
  return DrawImage(hDC, image, m_sImageModify);
}

const CDuiString* CScrollBarUI::ChooseStateImage(const PartImages& images, UINT& state) const {
  if (!IsEnabled()) {
    state |= StateDisabled;
  } else {
    state &= ~StateDisabled;
  }
  if ((state & StateDisabled) != 0) return &images.disabled;
  if ((state & StatePushed) != 0) return &images.pushed;
  if ((state & StateHot) != 0) return &images.hot;
  return nullptr;
}

void CScrollBarUI::PaintPart(HDC hDC, const PartImages& images, UINT& state, const RECT& part, bool outline) {
  const CDuiString* choice = ChooseStateImage(images, state);
  if (choice != nullptr && DrawPartImage(hDC, *choice, part)) return;
  if (DrawPartImage(hDC, images.normal, part)) return;
  if (outline) CRenderEngine::DrawRect(hDC, part, 2, kOutlineColor, PS_SOLID);
}

void CScrollBarUI::PaintBk(HDC hDC) {
  const CDuiString* choice = ChooseStateImage(m_bk, m_uThumbState);
  if (choice != nullptr && !choice->IsEmpty() && DrawImage(hDC, *choice)) return;
  if (!m_bk.normal.IsEmpty()) DrawImage(hDC, m_bk.normal);
}

void CScrollBarUI::PaintButton1(HDC hDC) {
  if (!m_bShowButton1) return;
  PaintPart(hDC, m_button1, m_uButton1State, m_rcButton1, true);
}

void CScrollBarUI::PaintButton2(HDC hDC) {
  if (!m_bShowButton2) return;
  PaintPart(hDC, m_button2, m_uButton2State, m_rcButton2, true);
}

void CScrollBarUI::PaintThumb(HDC hDC) {
  if (m_rcThumb.left == 0 && m_rcThumb.top == 0 && m_rcThumb.right == 0 && m_rcThumb.bottom == 0) return;
  PaintPart(hDC, m_thumb, m_uThumbState, m_rcThumb, true);
}

void CScrollBarUI::PaintRail(HDC hDC) {
  if (m_rcThumb.left == 0 && m_rcThumb.top == 0 && m_rcThumb.right == 0 && m_rcThumb.bottom == 0) return;
  RECT rail = m_rcThumb;
  if (m_bHorizontal) {
    const int thickness = m_cxyFixed.cy;
    const int centre = (m_rcThumb.left + m_rcThumb.right) / 2;
    rail.left = centre - thickness / 2;
    rail.right = centre + thickness - thickness / 2;
  } else {
    const int thickness = m_cxyFixed.cx;
    const int centre = (m_rcThumb.top + m_rcThumb.bottom) / 2;
    rail.top = centre - thickness / 2;
    rail.bottom = centre + thickness - thickness / 2;
  }
  PaintPart(hDC, m_rail, m_uThumbState, rail, false);
}

}  // namespace ZQUI
