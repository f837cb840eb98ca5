#include "ui/control/scroll_bar.h"

#include <cwchar>

#include "ui/core/paint_manager.h"
#include "ui/core/skin_values.h"
#include "ui/layout/container.h"

namespace ZQUI {

namespace {

constexpr int kDefaultThickness = 16;
constexpr int kMinThumbLength = 80;

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

void CScrollBarUI::SetEnabled(bool enable) { CControlUI::SetEnabled(enable); }

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

void CScrollBarUI::DoEvent(TEventUI& event) {
  if (m_pOwner != nullptr) {
    m_pOwner->BeginDispatch();
    m_pOwner->DoEvent(event);
    m_pOwner->EndDispatch();
    return;
  }
  CControlUI::DoEvent(event);
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

bool CScrollBarUI::DoPaint(HDC, const RECT&, CControlUI*) { return true; }

}  // namespace ZQUI
