#include "ui/layout/container.h"

#include <chrono>
#include <climits>
#include <cwchar>
#include <new>
#include <utility>
#include <vector>

#include "ui/control/scroll_bar.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

namespace {

// Wheel events closer together than this are dropped; one time stamp serves all containers.
constexpr int64_t kWheelFilterMs = 5;
int64_t g_lastWheelMs = INT64_MIN / 2;

int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
CContainerUI::WheelClock g_wheelClock = SteadyMilliseconds;

int ClampToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool Is(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b) == 0; }

IContainerUI* AsContainer(CControlUI* control) {
  return static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
}

}  // namespace

CContainerUI::CContainerUI() {}

CContainerUI::~CContainerUI() {
  // The whole subtree goes with the container, at once: handing grandchildren to a delayed list
  // would outlive a manager that is itself shutting down.
  m_bDelayedDestroy = false;
  RemoveAll(false);
  delete m_pVerticalScrollBar;
  m_pVerticalScrollBar = nullptr;
  delete m_pHorizontalScrollBar;
  m_pHorizontalScrollBar = nullptr;
  StopWheelAnimation();
}

CControlUI* CContainerUI::CreateControl() { return new CContainerUI(); }

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

void* CContainerUI::GetInterface(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  if (Is(name, L"IContainer")) return static_cast<IContainerUI*>(this);
  if (Is(name, L"Container")) return static_cast<CContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

// --- children --------------------------------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int index) const { return static_cast<CControlUI*>(m_items.GetAt(index)); }

int CContainerUI::GetItemIndex(CControlUI* control) const { return m_items.Find(control); }

bool CContainerUI::SetItemIndex(CControlUI* control, int newIndex, bool needUpdate) {
  int index = m_items.Find(control);
  if (index < 0) return false;
  // The index must name a slot of the list as it stands, else the child would be lost.
  if (newIndex < 0 || newIndex >= m_items.GetSize()) return false;
  if (needUpdate) NeedUpdate();
  m_items.Remove(index);
  if (m_items.InsertAt(newIndex, control)) return true;
  m_items.InsertAt(index, control);
  return false;
}

int CContainerUI::GetCount() const { return m_items.GetSize(); }

int CContainerUI::SubtreeDepth(CControlUI* control) {
  if (control == nullptr) return 0;
  int deepest = 0;
  std::vector<std::pair<CControlUI*, int>> pending;
  pending.emplace_back(control, 1);
  while (!pending.empty()) {
    std::pair<CControlUI*, int> item = pending.back();
    pending.pop_back();
    if (item.second > deepest) deepest = item.second;
    if (item.second > kMaxTreeDepth) break;
    IContainerUI* container = AsContainer(item.first);
    if (container == nullptr) continue;
    for (int i = 0; i < container->GetCount(); ++i) {
      CControlUI* child = container->GetItemAt(i);
      if (child != nullptr) pending.emplace_back(child, item.second + 1);
    }
  }
  return deepest;
}

int CContainerUI::DepthFromRoot() const {
  int depth = 1;
  for (CControlUI* parent = m_pParent; parent != nullptr && depth <= kMaxTreeDepth; parent = parent->GetParent()) {
    ++depth;
  }
  return depth;
}

bool CContainerUI::AcceptsSubtree(CControlUI* control) const {
  return DepthFromRoot() + SubtreeDepth(control) <= kMaxTreeDepth;
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, m_items.GetSize()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr || control == this) return false;
  if (index < 0 || index > m_items.GetSize()) return false;
  if (!AcceptsSubtree(control)) return false;
  if (m_pManager != nullptr) {
    control->SetManager(m_pManager, this, true);
    control->FindControl(CPaintManagerUI::__FindControlFromNameHash, m_pManager, FindAll);
  } else {
    control->SetManager(nullptr, this, false);
  }
  if (IsVisible()) {
    NeedUpdate();
  } else {
    control->SetInternVisible(false);
  }
  return m_items.InsertAt(index, control);
}

void CContainerUI::DisposeChild(CControlUI* control, bool allowDelayed) {
  if (allowDelayed && m_bDelayedDestroy && m_pManager != nullptr) {
    m_pManager->AddDelayedCleanup(control);
  } else {
    // A child that is still delivering an event is deleted when the delivery returns.
    control->DeleteWhenIdle();
  }
}

bool CContainerUI::Remove(CControlUI* control, bool delayedDestroy) {
  if (control == nullptr) return false;
  // Only a child of this container is touched at all.
  int index = m_items.Find(control);
  if (index < 0) return false;
  if (m_bAutoDestroy) control->RemoveAll(delayedDestroy);
  index = m_items.Find(control);
  if (index < 0) return false;
  m_items.Remove(index);
  if (IsVisible()) NeedUpdate();
  if (m_bAutoDestroy) DisposeChild(control, true);
  return true;
}

bool CContainerUI::RemoveAt(int index, bool delayedDestroy) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  return Remove(control, delayedDestroy);
}

void CContainerUI::RemoveAll(bool delayedDestroy) {
  // Take the list first, so that anything called while disposing sees an empty container.
  CStdPtrArray items(m_items);
  m_items.Empty();
  if (m_bAutoDestroy) {
    for (int i = 0; i < items.GetSize(); ++i) {
      auto* control = static_cast<CControlUI*>(items.GetAt(i));
      if (control->IsContainerControl()) control->RemoveAll(delayedDestroy);
      DisposeChild(control, delayedDestroy);
    }
  }
  if (IsVisible()) NeedUpdate();
}

// --- settings --------------------------------------------------------------------------------

RECT CContainerUI::GetInset() const {
  if (m_pManager == nullptr) return m_rcInset;
  return m_pManager->GetDPIObj()->Scale(m_rcInset);
}

void CContainerUI::SetInset(RECT rc) {
  m_rcInset = rc;
  NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return ScaleValue(m_iChildPadding); }

void CContainerUI::SetChildPadding(int padding) {
  m_iChildPadding = padding;
  NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const { return m_iChildAlign; }
void CContainerUI::SetChildAlign(UINT align) {
  m_iChildAlign = align;
  NeedUpdate();
}
UINT CContainerUI::GetChildVAlign() const { return m_iChildVAlign; }
void CContainerUI::SetChildVAlign(UINT align) {
  m_iChildVAlign = align;
  NeedUpdate();
}
bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { m_bAutoDestroy = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool delayed) { m_bDelayedDestroy = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enable) { m_bMouseChildEnabled = enable; }
bool CContainerUI::IsSmoothScrolling() const { return m_bSmoothScrolling; }
bool CContainerUI::IsQuickScrolling() const { return m_bQuickScrolling; }
bool CContainerUI::IsCursorMouse() const { return m_bCursorMouse; }
DWORD CContainerUI::GetSepBorderColor() const { return m_dwSepBorderColor; }
DWORD CContainerUI::GetSepLeaveBorderColor() const { return m_dwSepLeaveBorderColor; }

int CContainerUI::FindSelectable(int index, bool forward) const {
  int count = m_items.GetSize();
  if (count == 0) return -1;
  if (index < 0) index = 0;
  if (index >= count) index = count - 1;
  int step = forward ? 1 : -1;
  for (int i = index; i >= 0 && i < count; i += step) {
    auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
    if (control->IsVisible() && control->IsEnabled() && control->GetInterface(L"ListItem") != nullptr) return i;
  }
  return -1;
}

CControlUI* CContainerUI::FindItmeControl(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
    if (control->GetNameRef() == name) return control;
  }
  return nullptr;
}

// --- state propagation -----------------------------------------------------------------------

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  // Init observers may change the list: walk a copy and skip children that left it.
  CStdPtrArray items(m_items);
  for (int i = 0; i < items.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(items.GetAt(i));
    if (m_items.Find(control) < 0) continue;
    control->SetManager(manager, this, init);
  }
  if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetManager(manager, this, init);
  if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

bool CContainerUI::IsContainerControl() const { return true; }

void CContainerUI::SetVisible(bool visible, bool sendFocus) {
  if (m_bVisible == visible) return;
  CControlUI::SetVisible(visible, sendFocus);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    static_cast<CControlUI*>(m_items.GetAt(i))->SetInternVisible(IsVisible());
  }
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    static_cast<CControlUI*>(m_items.GetAt(i))->SetInternVisible(IsVisible());
  }
}

void CContainerUI::SetEnabled(bool enable) {
  if (m_bEnabled == enable) return;
  m_bEnabled = enable;
  for (int i = 0; i < m_items.GetSize(); ++i) static_cast<CControlUI*>(m_items.GetAt(i))->SetEnabled(enable);
  Invalidate();
}

void CContainerUI::SetMouseEnabled(bool enable) {
  if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetMouseEnabled(enable);
  if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetMouseEnabled(enable);
  CControlUI::SetMouseEnabled(enable);
}

void CContainerUI::Move(SIZE offset, bool needInvalidate) {
  CControlUI::Move(offset, needInvalidate);
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) m_pVerticalScrollBar->Move(offset, needInvalidate);
  if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) m_pHorizontalScrollBar->Move(offset, needInvalidate);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
    if (control->IsVisible()) control->Move(offset, false);
  }
}

// --- geometry --------------------------------------------------------------------------------

RECT CContainerUI::GetClientPos() const {
  RECT rc = m_rcItem;
  RECT inset = GetInset();
  rc.left += inset.left;
  rc.top += inset.top;
  rc.right -= inset.right;
  rc.bottom -= inset.bottom;
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) {
    rc.top -= m_pVerticalScrollBar->GetScrollPos();
    rc.bottom = ClampToInt(static_cast<int64_t>(rc.bottom) - m_pVerticalScrollBar->GetScrollPos() +
                           m_pVerticalScrollBar->GetScrollRange());
    rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  }
  if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) {
    rc.left -= m_pHorizontalScrollBar->GetScrollPos();
    rc.right = ClampToInt(static_cast<int64_t>(rc.right) - m_pHorizontalScrollBar->GetScrollPos() +
                          m_pHorizontalScrollBar->GetScrollRange());
    rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  }
  return rc;
}

RECT CContainerUI::ClientWithoutBars() const {
  RECT rc = m_rcItem;
  RECT inset = GetInset();
  rc.left += inset.left;
  rc.top += inset.top;
  rc.right -= inset.right;
  rc.bottom -= inset.bottom;
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  return rc;
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  if (m_items.IsEmpty()) return;
  RECT client = GetClientPos();
  int64_t clientWidth = static_cast<int64_t>(client.right) - client.left;
  int64_t clientHeight = static_cast<int64_t>(client.bottom) - client.top;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
    if (!control->IsVisible()) continue;
    if (control->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    int64_t width = clientWidth;
    if (width < control->GetMinWidth()) width = control->GetMinWidth();
    if (width > control->GetMaxWidth()) width = control->GetMaxWidth();
    int64_t height = clientHeight;
    if (height < control->GetMinHeight()) height = control->GetMinHeight();
    if (height > control->GetMaxHeight()) height = control->GetMaxHeight();
    RECT rcCtrl = {client.left, client.top, ClampToInt(client.left + width), ClampToInt(client.top + height)};
    control->SetPos(rcCtrl, false);
  }
}

void CContainerUI::SetFloatPos(int index) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr || !control->IsVisible() || !control->IsFloat()) return;
  SIZE xy = control->GetFixedXY();
  SIZE fixed = {control->GetFixedWidth(), control->GetFixedHeight()};
  const RECT& pos = m_rcItem;
  int64_t parentWidth = static_cast<int64_t>(pos.right) - pos.left;
  int64_t parentHeight = static_cast<int64_t>(pos.bottom) - pos.top;
  UINT align = control->GetFloatAlign();
  if (align != 0) {
    int64_t x = xy.cx;
    int64_t y = xy.cy;
    if (align & FloatAlignCenter) {
      x = (parentWidth - fixed.cx) / 2;
    } else if (align & FloatAlignRight) {
      x = parentWidth - fixed.cx;
    }
    if (align & FloatAlignVCenter) {
      y = (parentHeight - fixed.cy) / 2;
    } else if (align & FloatAlignBottom) {
      y = parentHeight - fixed.cy;
    }
    RECT rcCtrl = {ClampToInt(pos.left + x), ClampToInt(pos.top + y), ClampToInt(pos.left + x + fixed.cx),
                   ClampToInt(pos.top + y + fixed.cy)};
    control->SetPos(rcCtrl, false);
    return;
  }
  SIZE size = control->EstimateSize(fixed);
  int64_t width = size.cx;
  int64_t height = size.cy;
  if (width < control->GetMinWidth()) width = control->GetMinWidth();
  if (width > control->GetMaxWidth()) width = control->GetMaxWidth();
  if (height < control->GetMinHeight()) height = control->GetMinHeight();
  if (height > control->GetMaxHeight()) height = control->GetMaxHeight();
  TPercentInfo percent = control->GetFloatPercent();
  int64_t left = pos.left + static_cast<int64_t>((parentWidth - width) * percent.left) + xy.cx;
  int64_t top = pos.top + static_cast<int64_t>((parentHeight - height) * percent.top) + xy.cy;
  RECT rcCtrl = {ClampToInt(left), ClampToInt(top), ClampToInt(left + width), ClampToInt(top + height)};
  control->SetPos(rcCtrl, true);
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
  // Showing or hiding a bar re-lays out the container; a bounded nesting keeps a layout that
  // flips between fitting and overflowing from recursing without end.
  bool mayRelayout = m_nScrollRelayout < 4;
  auto relayout = [this]() {
    ++m_nScrollRelayout;
    SetPos(m_rcItem, true);
    --m_nScrollRelayout;
  };
  // Shows, resizes or hides one bar for the client extent along its axis and what the children need.
  auto fitBar = [&](CScrollBarUI* bar, int64_t clientExtent, int64_t required, bool vertical) {
    int64_t need = required - clientExtent;
    if (clientExtent < required && !bar->IsVisible()) {
      bar->SetVisible(true);
      bar->SetScrollRange(ClampToInt(need), true);
      bar->SetScrollPos(0, true);
      if (mayRelayout) relayout();
    } else if (bar->IsVisible() && need > 0) {
      RECT rcBar;
      if (vertical) {
        int space = bar->GetVSpace();
        rcBar = {rc.right - space, rc.top, ClampToInt(static_cast<int64_t>(rc.right) - space + bar->GetFixedWidth()),
                 rc.bottom};
      } else {
        rcBar = {rc.left, rc.bottom, rc.right, ClampToInt(static_cast<int64_t>(rc.bottom) + bar->GetFixedHeight())};
      }
      bar->SetPos(rcBar, true);
      if (bar->GetScrollRange() != need) {
        int oldPos = bar->GetScrollPos();
        bar->SetScrollRange(ClampToInt(need), true);
        if (oldPos != bar->GetScrollPos() && mayRelayout) relayout();
      }
    } else if (bar->IsVisible() && need <= 0) {
      bar->SetVisible(false);
      bar->SetScrollPos(0, true);
      bar->SetScrollRange(0, true);
      if (mayRelayout) relayout();
    }
  };
  if (m_pHorizontalScrollBar != nullptr) {
    fitBar(m_pHorizontalScrollBar, static_cast<int64_t>(rc.right) - rc.left, cxRequired, false);
  }
  if (m_pVerticalScrollBar != nullptr) {
    fitBar(m_pVerticalScrollBar, static_cast<int64_t>(rc.bottom) - rc.top, cyRequired, true);
  }
}

// --- scrolling -------------------------------------------------------------------------------

SIZE CContainerUI::GetScrollPos() const {
  SIZE pos = {0, 0};
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) pos.cy = m_pVerticalScrollBar->GetScrollPos();
  if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) pos.cx = m_pHorizontalScrollBar->GetScrollPos();
  return pos;
}

SIZE CContainerUI::GetScrollRange() const {
  SIZE range = {0, 0};
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) range.cy = m_pVerticalScrollBar->GetScrollRange();
  if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) range.cx = m_pHorizontalScrollBar->GetScrollRange();
  return range;
}

void CContainerUI::SetScrollPos(SIZE pos, bool notify, bool tools) {
  SIZE current = GetScrollPos();
  if (pos.cx == current.cx && pos.cy == current.cy) return;
  int dx = 0;
  int dy = 0;
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) {
    int old = m_pVerticalScrollBar->GetScrollPos();
    m_pVerticalScrollBar->SetScrollPos(pos.cy, true);
    dy = m_pVerticalScrollBar->GetScrollPos() - old;
  }
  if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) {
    int old = m_pHorizontalScrollBar->GetScrollPos();
    m_pHorizontalScrollBar->SetScrollPos(pos.cx, true);
    dx = m_pHorizontalScrollBar->GetScrollPos() - old;
  }
  if (!tools && m_pManager != nullptr) {
    m_pManager->SendNotify(this, NotifyName::kScrollTools, static_cast<WPARAM>(pos.cy), static_cast<LPARAM>(dy));
  }
  if (dx == 0 && dy == 0) {
    if (pos.cy != 0 && tools && m_pManager != nullptr) {
      m_pManager->SendNotify(this, NotifyName::kScrollTools, static_cast<WPARAM>(pos.cy), 0);
    }
    return;
  }
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
    if (!control->IsVisible() || control->IsFloat()) continue;
    RECT rc = control->GetPos();
    rc.left -= dx;
    rc.right -= dx;
    rc.top -= dy;
    rc.bottom -= dy;
    if (m_bQuickScrolling && (rc.bottom < m_rcItem.top || rc.top > m_rcItem.bottom)) {
      // Outside the view: shift the rectangle only; the full layout happens when it returns.
      RECT shifted = control->GetPos();
      shifted.top -= dy;
      shifted.bottom -= dy;
      control->SetOnlyPos(shifted);
      continue;
    }
    control->SetPos(rc, false);
  }
  Invalidate();
  if (m_pVerticalScrollBar != nullptr && m_pManager != nullptr && notify) {
    m_pManager->SendNotify(this, NotifyName::kScroll,
                           static_cast<WPARAM>(m_pVerticalScrollBar->GetLineSize() + m_pVerticalScrollBar->GetScrollPos()),
                           static_cast<LPARAM>(dy));
    m_pManager->SendNotify(this, NotifyName::kScrollTools, static_cast<WPARAM>(pos.cy), static_cast<LPARAM>(dy));
  }
}

void CContainerUI::SetScrollStepSize(int size) {
  if (size > 0) m_nScrollStepSize = size;
}

int CContainerUI::GetScrollStepSize() const { return ScaleValue(m_nScrollStepSize); }

int CContainerUI::LineScrollStep(bool vertical) const {
  int step = GetScrollStepSize();
  if (step == 0) {
    step = 8;
    // Without a set step a vertical line follows the text: one default-font line and a gap.
    if (vertical && m_pManager != nullptr) step += m_pManager->GetDefaultFontInfo()->tm.tmHeight;
  }
  return step;
}

int CContainerUI::PageScrollStep(bool vertical) const {
  RECT inset = GetInset();
  if (vertical) {
    int page = m_rcItem.bottom - m_rcItem.top - inset.top - inset.bottom;
    if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) page -= m_pHorizontalScrollBar->GetFixedHeight();
    return page;
  }
  int page = m_rcItem.right - m_rcItem.left - inset.left - inset.right;
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) page -= m_pVerticalScrollBar->GetFixedWidth();
  return page;
}

void CContainerUI::ScrollAlong(bool vertical, int64_t delta, bool notify, bool tools) {
  SIZE pos = GetScrollPos();
  LONG& axis = vertical ? pos.cy : pos.cx;
  axis = ClampToInt(static_cast<int64_t>(axis) + delta);
  SetScrollPos(pos, notify, tools);
}

void CContainerUI::ScrollAlongTo(bool vertical, int value) {
  SIZE pos = GetScrollPos();
  (vertical ? pos.cy : pos.cx) = value;
  SetScrollPos(pos);
}

void CContainerUI::LineUp(bool notify) { ScrollAlong(true, -static_cast<int64_t>(LineScrollStep(true)), notify, true); }
void CContainerUI::LineDown(bool tools) { ScrollAlong(true, LineScrollStep(true), true, tools); }
void CContainerUI::PageUp() { ScrollAlong(true, -static_cast<int64_t>(PageScrollStep(true))); }
void CContainerUI::PageDown() { ScrollAlong(true, PageScrollStep(true)); }
void CContainerUI::HomeUp() { ScrollAlongTo(true, 0); }

void CContainerUI::EndDown() {
  if (m_pManager != nullptr && m_pManager->GetPaintWindow() != nullptr) ::UpdateWindow(m_pManager->GetPaintWindow());
  ScrollAlongTo(true, GetScrollRange().cy);
}

void CContainerUI::LineLeft() { ScrollAlong(false, -static_cast<int64_t>(LineScrollStep(false))); }
void CContainerUI::LineRight() { ScrollAlong(false, LineScrollStep(false)); }
void CContainerUI::PageLeft() { ScrollAlong(false, -static_cast<int64_t>(PageScrollStep(false))); }
void CContainerUI::PageRight() { ScrollAlong(false, PageScrollStep(false)); }
void CContainerUI::HomeLeft() { ScrollAlongTo(false, 0); }

void CContainerUI::EndRight() {
  if (m_pManager != nullptr && m_pManager->GetPaintWindow() != nullptr) ::UpdateWindow(m_pManager->GetPaintWindow());
  ScrollAlongTo(false, GetScrollRange().cx);
}

void CContainerUI::ApplyWheelAcceleration(int direction, bool notify) {
  int step = GetScrollStepSize();
  if (step == 0 && m_pManager != nullptr) {
    step = MulDiv(120, static_cast<int>(m_pManager->GetDPIObj()->GetScale()), 100);
    if (step < 1) step = 1;
  }
  int delta = direction * step;
  int target = delta;
  int64_t remaining = static_cast<int64_t>(m_nWheelTarget) - m_nWheelDone;
  if (m_bWheelActive && ((delta > 0 && remaining > 0) || (delta < 0 && remaining < 0))) {
    target = ClampToInt(static_cast<int64_t>(m_nWheelTarget) + delta);
  } else {
    m_nWheelDone = 0;
  }
  m_nWheelTarget = target;
  if (m_nWheelDone == m_nWheelTarget) {
    StopWheelAnimation();
    return;
  }
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kWheelTimerId);
  int distance = m_nWheelTarget - m_nWheelDone;
  m_nWheelStepsLeft = 10;
  m_nWheelStepDelta = distance / 10;
  m_nWheelRemainder = distance % 10;
  m_bWheelActive = true;
  m_bWheelNotify = notify;
  InertiaTick();
  if (m_bWheelActive && m_pManager != nullptr) m_pManager->SetTimer(this, kWheelTimerId, 14);
}

void CContainerUI::InertiaTick() {
  if (!m_bWheelActive || m_nWheelTarget == m_nWheelDone || m_nWheelStepsLeft <= 0) {
    StopWheelAnimation();
    return;
  }
  int step = m_nWheelStepDelta;
  if (m_nWheelRemainder != 0) {
    int unit = m_nWheelRemainder > 0 ? 1 : -1;
    m_nWheelRemainder -= unit;
    step += unit;
  }
  int left = m_nWheelTarget - m_nWheelDone;
  if ((left > 0 && step > left) || (left < 0 && step < left)) step = left;
  ScrollAlong(true, step, true, m_bWheelNotify);
  m_nWheelDone += step;
  --m_nWheelStepsLeft;
  if (m_nWheelDone == m_nWheelTarget || m_nWheelStepsLeft <= 0) StopWheelAnimation();
}

void CContainerUI::StopWheelAnimation() {
  if (!m_bWheelActive) return;
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kWheelTimerId);
  m_nWheelStepDelta = m_nWheelRemainder = m_nWheelStepsLeft = 0;
  m_nWheelTarget = m_nWheelDone = 0;
  m_bWheelActive = false;
  m_bWheelNotify = false;
}

bool CContainerUI::IsWheelAnimating() const { return m_bWheelActive; }

CScrollBarUI* CContainerUI::CreateScrollBar(bool horizontal) {
  auto* bar = new (std::nothrow) CScrollBarUI();
  if (bar == nullptr) return nullptr;
  if (horizontal) bar->SetHorizontal(true);
  bar->SetOwner(this);
  bar->SetManager(m_pManager, nullptr, false);
  if (m_pManager != nullptr) {
    const wchar_t* defaults = m_pManager->GetDefaultAttributeList(horizontal ? L"HScrollBar" : L"VScrollBar");
    if (defaults != nullptr) bar->ApplyAttributeList(defaults);
    bar->SetShow(m_bShowScrollbar);
  }
  return bar;
}

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
  if (enableVertical && m_pVerticalScrollBar == nullptr) {
    m_pVerticalScrollBar = CreateScrollBar(false);
  } else if (!enableVertical && m_pVerticalScrollBar != nullptr) {
    delete m_pVerticalScrollBar;
    m_pVerticalScrollBar = nullptr;
  }
  if (enableHorizontal && m_pHorizontalScrollBar == nullptr) {
    m_pHorizontalScrollBar = CreateScrollBar(true);
  } else if (!enableHorizontal && m_pHorizontalScrollBar != nullptr) {
    delete m_pHorizontalScrollBar;
    m_pHorizontalScrollBar = nullptr;
  }
  NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

// --- events ----------------------------------------------------------------------------------

void CContainerUI::SetWheelClock(WheelClock clock) {
  g_wheelClock = clock != nullptr ? clock : SteadyMilliseconds;
  g_lastWheelMs = INT64_MIN / 2;
}

void CContainerUI::DoEvent(TEventUI& event) {
  if (HandOffMouseEventWhenDisabled(event)) return;
  if (event.type == UiEventType::ScrollWheel && m_pVerticalScrollBar != nullptr &&
      m_pVerticalScrollBar->IsEnabled() && (event.keyState & KeyModifiers::Control) == 0) {
    int64_t now = g_wheelClock();
    if (now - g_lastWheelMs < kWheelFilterMs) return;
    g_lastWheelMs = now;
    switch (LOWORD(event.wParam)) {
      case SB_LINEUP:
        if (m_bSmoothScrolling) ApplyWheelAcceleration(-1, true);
        else LineUp(true);
        return;
      case SB_LINEDOWN:
        if (m_bSmoothScrolling) ApplyWheelAcceleration(1, true);
        else LineDown(true);
        return;
      default:
        break;
    }
  } else if (event.type == UiEventType::KillFocus || event.type == UiEventType::SetFocus) {
    m_bFocused = event.type == UiEventType::SetFocus;
    return;
  } else if (event.type == UiEventType::Timer && event.wParam == kWheelTimerId) {
    InertiaTick();
    return;
  } else if (event.type == UiEventType::SetCursor && !m_bCursorMouse) {
    return;
  } else if (event.type == UiEventType::KeyDown) {
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible() && m_pVerticalScrollBar->IsEnabled()) {
      switch (event.key) {
        case VK_PRIOR: PageUp(); return;
        case VK_NEXT: PageDown(); return;
        case VK_END: EndDown(); return;
        case VK_HOME: HomeUp(); return;
        case VK_UP: LineUp(true); return;
        case VK_DOWN: LineDown(true); return;
        default: break;
      }
    } else if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible() && m_pHorizontalScrollBar->IsEnabled()) {
      switch (event.key) {
        case VK_PRIOR: PageLeft(); return;
        case VK_NEXT: PageRight(); return;
        case VK_END: EndRight(); return;
        case VK_HOME: HomeLeft(); return;
        case VK_UP: LineLeft(); return;
        case VK_DOWN: LineRight(); return;
        default: break;
      }
    }
  }
  CControlUI::DoEvent(event);
}

// --- search ----------------------------------------------------------------------------------

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
  if ((flags & FindVisible) != 0 && !IsVisible()) return nullptr;
  if ((flags & FindEnabled) != 0 && !IsEnabled()) return nullptr;
  bool hitTest = (flags & FindHitTest) != 0;
  const POINT* pt = static_cast<const POINT*>(data);
  if (hitTest && !::PtInRect(&m_rcItem, *pt)) return nullptr;
  if ((flags & FindUpdateTest) != 0 && proc(this, data) != nullptr) return nullptr;
  bool selfAllowed = !hitTest || IsMouseEnabled();
  CControlUI* result = nullptr;
  if ((flags & FindMeFirst) != 0 && selfAllowed) {
    result = proc(this, data);
    if (result != nullptr) return result;
  }
  if (selfAllowed) {
    if (m_pVerticalScrollBar != nullptr) {
      result = m_pVerticalScrollBar->FindControl(proc, data, flags);
      if (result != nullptr) return result;
    }
    if (m_pHorizontalScrollBar != nullptr) {
      result = m_pHorizontalScrollBar->FindControl(proc, data, flags);
      if (result != nullptr) return result;
    }
  }
  if (!hitTest || IsMouseChildEnabled()) {
    RECT client = ClientWithoutBars();
    int count = m_items.GetSize();
    for (int n = 0; n < count && n < m_items.GetSize(); ++n) {
      int i = (flags & FindTopFirst) != 0 ? m_items.GetSize() - 1 - n : n;
      auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
      if (control == nullptr) continue;
      if (hitTest) {
        const RECT& pos = control->GetPos();
        if (!::PtInRect(&pos, *pt)) continue;
        if ((flags & FindVisible) != 0 && !control->IsVisible()) continue;
        result = control->FindControl(proc, data, flags);
        if (result != nullptr && !result->IsFloat() && !::PtInRect(&client, *pt)) result = nullptr;
      } else {
        result = control->FindControl(proc, data, flags);
      }
      if (result != nullptr) return result;
    }
  }
  if ((flags & FindMeFirst) == 0 && selfAllowed) return proc(this, data);
  return nullptr;
}

CControlUI* CContainerUI::FindSubControl(const wchar_t* name) {
  if (m_pManager == nullptr) return nullptr;
  return m_pManager->FindSubControlByName(this, name);
}

bool CContainerUI::SetSubControlText(const wchar_t* name, const wchar_t* text) {
  CControlUI* control = FindSubControl(name);
  if (control == nullptr) return false;
  control->SetText(text);
  return true;
}

bool CContainerUI::SetSubControlFixedHeight(const wchar_t* name, int height) {
  CControlUI* control = FindSubControl(name);
  if (control == nullptr) return false;
  control->SetFixedHeight(height);
  return true;
}

bool CContainerUI::SetSubControlFixedWdith(const wchar_t* name, int width) {
  CControlUI* control = FindSubControl(name);
  if (control == nullptr) return false;
  control->SetFixedWidth(width);
  return true;
}

bool CContainerUI::SetSubControlUserData(const wchar_t* name, const wchar_t* text) {
  CControlUI* control = FindSubControl(name);
  if (control == nullptr) return false;
  control->SetUserData(text);
  return true;
}

bool CContainerUI::SetSubControlAttribute(const wchar_t* name, const wchar_t* attrName, const wchar_t* attrValue) {
  CControlUI* control = FindSubControl(name);
  if (control == nullptr) return false;
  control->SetAttribute(attrName, attrValue);
  return true;
}

CDuiString CContainerUI::GetSubControlText(const wchar_t* name) {
  CControlUI* control = FindSubControl(name);
  return control ? control->GetText() : CDuiString();
}

int CContainerUI::GetSubControlFixedHeight(const wchar_t* name) {
  CControlUI* control = FindSubControl(name);
  return control ? control->GetFixedHeight() : 0;
}

int CContainerUI::GetSubControlFixedWdith(const wchar_t* name) {
  CControlUI* control = FindSubControl(name);
  return control ? control->GetFixedWidth() : 0;
}

CDuiString CContainerUI::GetSubControlUserData(const wchar_t* name) {
  CControlUI* control = FindSubControl(name);
  return control ? CDuiString(control->GetUserData()) : CDuiString();
}

// --- painting --------------------------------------------------------------------------------

bool CContainerUI::DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl) {
  RECT rcTemp = {0, 0, 0, 0};
  if (!::IntersectRect(&rcTemp, &paint, &m_rcItem)) return true;
  CRenderClip clip;
  CRenderClip::GenerateClip(hDC, rcTemp, clip);
  CControlUI::DoPaint(hDC, paint, stopControl);

  if (m_items.GetSize() > 0) {
    RECT inset = GetInset();
    RECT rc = m_rcItem;
    rc.left += inset.left;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (m_pHorizontalScrollBar && m_pHorizontalScrollBar->IsVisible()) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

    if (!::IntersectRect(&rcTemp, &paint, &rc)) {
      for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
        const RECT& pos = control->GetPos();
        if (!::IntersectRect(&rcTemp, &paint, &pos)) continue;
        if (control == stopControl) return false;
        if (!control->IsVisible() || !control->IsFloat()) continue;
        if (!::IntersectRect(&rcTemp, &m_rcItem, &pos)) continue;
        if (!control->Paint(hDC, paint, stopControl)) return false;
      }
    } else {
      CRenderClip childClip;
      CRenderClip::GenerateClip(hDC, rcTemp, childClip);
      for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* control = static_cast<CControlUI*>(m_items.GetAt(i));
        const RECT& pos = control->GetPos();
        if (!::IntersectRect(&rcTemp, &paint, &pos)) continue;
        if (control == stopControl) return false;
        if (!control->IsVisible()) continue;
        if (control->IsFloat()) {
          if (!::IntersectRect(&rcTemp, &m_rcItem, &pos)) continue;
          CRenderClip::UseOldClipBegin(hDC, childClip);
          bool painted = control->Paint(hDC, paint, stopControl);
          CRenderClip::UseOldClipEnd(hDC, childClip);
          if (!painted) return false;
        } else {
          if (!::IntersectRect(&rcTemp, &rc, &pos)) continue;
          if (!control->Paint(hDC, paint, stopControl)) return false;
        }
      }
    }
  }

  CScrollBarUI* bars[] = {m_pVerticalScrollBar, m_pHorizontalScrollBar};
  for (CScrollBarUI* bar : bars) {
    if (bar == nullptr || !bar->IsVisible()) continue;
    if (!::IntersectRect(&rcTemp, &paint, &bar->GetPos())) continue;
    if (bar == stopControl) return false;
    if (!bar->Paint(hDC, paint, stopControl)) return false;
  }
  return true;
}

// --- attributes and copying ------------------------------------------------------------------

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (Is(name, L"inset")) {
    SetInset(ParseSkinRect(value));
  } else if (Is(name, L"mousechild")) {
    SetMouseChildEnabled(ParseSkinBool(value));
  } else if (Is(name, L"vscrollbar")) {
    EnableScrollBar(ParseSkinBool(value), m_pHorizontalScrollBar != nullptr);
  } else if (Is(name, L"vspace")) {
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetVSpace(ParseSkinInt(value));
  } else if (Is(name, L"hspace")) {
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetHSpace(ParseSkinInt(value));
  } else if (Is(name, L"cursormouse")) {
    m_bCursorMouse = ParseSkinBool(value);
  } else if (Is(name, L"vscrollbarstyle")) {
    m_sVerticalScrollBarStyle = value;
    EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
    if (m_pVerticalScrollBar != nullptr) {
      const wchar_t* style = m_pManager ? m_pManager->GetStyle(value) : nullptr;
      m_pVerticalScrollBar->ApplyAttributeList(style ? style : value);
    }
  } else if (Is(name, L"hscrollbar")) {
    EnableScrollBar(m_pVerticalScrollBar != nullptr, ParseSkinBool(value));
  } else if (Is(name, L"hscrollbarstyle")) {
    m_sHorizontalScrollBarStyle = value;
    if (m_pHorizontalScrollBar != nullptr) {
      const wchar_t* style = m_pManager ? m_pManager->GetStyle(value) : nullptr;
      m_pHorizontalScrollBar->ApplyAttributeList(style ? style : value);
    }
  } else if (Is(name, L"childpadding")) {
    SetChildPadding(ParseSkinInt(value));
  } else if (wcscmp(name, L"childalign") == 0) {
    if (wcscmp(value, L"left") == 0) m_iChildAlign = 0;
    else if (wcscmp(value, L"center") == 0) m_iChildAlign = 1;
    else if (wcscmp(value, L"right") == 0) m_iChildAlign = 2;
  } else if (wcscmp(name, L"childvalign") == 0) {
    if (wcscmp(value, L"top") == 0) m_iChildVAlign = 0;
    else if (wcscmp(value, L"vcenter") == 0) m_iChildVAlign = 4;
    else if (wcscmp(value, L"bottom") == 0) m_iChildVAlign = 8;
  } else if (wcscmp(name, L"scrollstepsize") == 0) {
    SetScrollStepSize(ParseSkinInt(value));
  } else if (Is(name, L"fixedscrollbar")) {
    m_bFixedScrollbar = ParseSkinBool(value);
    Invalidate();
  } else if (Is(name, L"showscrollbar")) {
    m_bShowScrollbar = ParseSkinBool(value);
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetShow(m_bShowScrollbar);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetShow(m_bShowScrollbar);
  } else if (Is(name, L"smooth")) {
    m_bSmoothScrolling = ParseSkinBool(value);
  } else if (Is(name, L"quick_scroll")) {
    m_bQuickScrolling = ParseSkinBool(value);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CContainerUI::CopyData(CControlUI* control) {
  auto* source = static_cast<CContainerUI*>(control ? control->GetInterface(L"Container") : nullptr);
  if (source == nullptr || source == this) {
    CControlUI::CopyData(control);
    return;
  }
  m_rcInset = source->m_rcInset;
  m_iChildPadding = source->m_iChildPadding;
  m_iChildAlign = source->m_iChildAlign;
  m_iChildVAlign = source->m_iChildVAlign;
  m_bAutoDestroy = source->m_bAutoDestroy;
  m_bDelayedDestroy = source->m_bDelayedDestroy;
  m_bMouseChildEnabled = source->m_bMouseChildEnabled;
  m_bFixedScrollbar = source->m_bFixedScrollbar;
  m_bShowScrollbar = source->m_bShowScrollbar;
  m_bCursorMouse = source->m_bCursorMouse;
  m_nScrollStepSize = source->m_nScrollStepSize;
  m_sVerticalScrollBarStyle = source->m_sVerticalScrollBarStyle;
  m_sHorizontalScrollBarStyle = source->m_sHorizontalScrollBarStyle;
  m_dwSepBorderColor = source->m_dwSepBorderColor;
  m_dwSepLeaveBorderColor = source->m_dwSepLeaveBorderColor;
  m_bSmoothScrolling = source->m_bSmoothScrolling;
  m_bQuickScrolling = source->m_bQuickScrolling;
  CControlUI::CopyData(control);
}

void CContainerUI::FillClone(CContainerUI* copy) {
  copy->CopyData(this);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = static_cast<CControlUI*>(m_items.GetAt(i))->Clone();
    if (child != nullptr && !copy->Add(child)) delete child;
  }
  copy->SetManager(m_pManager, nullptr, false);
  copy->EnableScrollBar(m_pVerticalScrollBar != nullptr, m_pHorizontalScrollBar != nullptr);
}

CControlUI* CContainerUI::Clone() {
  auto* copy = new (std::nothrow) CContainerUI();
  if (copy == nullptr) return nullptr;
  FillClone(copy);
  if (m_pVerticalScrollBar && copy->m_pVerticalScrollBar) {
    copy->m_pVerticalScrollBar->SetScrollRange(m_pVerticalScrollBar->GetScrollRange(), true);
    copy->m_pVerticalScrollBar->SetScrollPos(m_pVerticalScrollBar->GetScrollPos(), true);
  }
  if (m_pHorizontalScrollBar && copy->m_pHorizontalScrollBar) {
    copy->m_pHorizontalScrollBar->SetScrollRange(m_pHorizontalScrollBar->GetScrollRange(), true);
    copy->m_pHorizontalScrollBar->SetScrollPos(m_pHorizontalScrollBar->GetScrollPos(), true);
  }
  return copy;
}

}  // namespace ZQUI
