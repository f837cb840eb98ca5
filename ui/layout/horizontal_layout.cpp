#include "ui/layout/horizontal_layout.h"

#include <cwchar>
#include <new>
#include <vector>

#include "ui/control/scroll_bar.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"
#include "ui/layout/box_layout_base.h"

namespace ZQUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() {}

CControlUI* CHorizontalLayoutUI::CreateControl() { return new CHorizontalLayoutUI(); }

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
  if (IsEnabled() && m_iSepWidth != 0) return ControlFlagSetCursor;
  if (!IsCursorMouse()) return ControlFlagSetCursor;
  return 0;
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  rc = ClientWithoutBars();
  bool vbar = m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible();
  bool hbar = m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible();

  if (m_items.GetSize() == 0) {
    ProcessScrollBar(rc, 0, 0);
    return;
  }

  int64_t childPadding = GetChildPadding();
  UINT childAlign = GetChildAlign();
  UINT childVAlign = GetChildVAlign();
  int64_t availableWidth = static_cast<int64_t>(rc.right) - rc.left;
  int64_t availableHeight = static_cast<int64_t>(rc.bottom) - rc.top;
  if (vbar) availableHeight += m_pVerticalScrollBar->GetScrollRange();

  std::vector<LayoutEntry> entries(static_cast<size_t>(m_items.GetSize()));
  int adjustable = 0;
  int laidOut = 0;
  int64_t fixedTotal = 0;
  int64_t tallest = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    LayoutEntry& entry = entries[static_cast<size_t>(i)];
    CControlUI* control = static_cast<CControlUI*>(m_items.GetAt(i));
    entry.control = control;
    entry.visible = control->IsVisible();
    entry.floating = control->IsFloat();
    if (!entry.visible || entry.floating) continue;
    entry.padding = control->GetPadding();
    const RECT& pad = entry.padding;
    entry.widthLimit = control->GetFixedWidth() < 1 ? control->GetMaxWidth() : control->GetFixedWidth();
    entry.heightLimit = control->GetFixedHeight() < 1 ? control->GetMaxHeight() : control->GetFixedHeight();
    SIZE available = {ClampLayoutValue(MinValue(entry.widthLimit, availableWidth)),
                      ClampLayoutValue(MinValue(entry.heightLimit, availableHeight - pad.top - pad.bottom))};
    SIZE estimate = control->EstimateSize(available);
    int64_t width = estimate.cx;
    if (width == 0) {
      entry.adjustable = true;
      ++adjustable;
    } else {
      width = ClampToLimits(width, control->GetMinWidth(), control->GetMaxWidth());
    }
    entry.width = width;
    fixedTotal += static_cast<int64_t>(pad.left) + width + pad.right;
    int64_t height = estimate.cy;
    if (height < 0) height = 0;
    height = ClampToLimits(height, control->GetMinHeight(), control->GetMaxHeight());
    entry.height = height;
    tallest = MaxValue(tallest, static_cast<int64_t>(pad.top) + height + pad.bottom);
    ++laidOut;
  }
  if (laidOut > 0) fixedTotal += (laidOut - 1) * childPadding;

  int64_t share = 0;
  if (adjustable > 0) share = MaxValue(0, (availableWidth - fixedTotal) / adjustable);

  int64_t x = rc.left;
  if (hbar) {
    x -= m_pHorizontalScrollBar->GetScrollPos();
  } else if (adjustable == 0) {
    if (childAlign == 1) x += (availableWidth - fixedTotal) / 2;
    else if (childAlign == 2) x += availableWidth - fixedTotal;
  }

  const CrossPlacement placement = childVAlign == 4   ? CrossPlacement::kCentre
                                  : childVAlign == 8 ? CrossPlacement::kFar
                                                     : CrossPlacement::kNear;
  const int barRange = vbar ? m_pVerticalScrollBar->GetScrollRange() : 0;
  const int barPos = vbar ? m_pVerticalScrollBar->GetScrollPos() : 0;
  int64_t remaining = availableWidth;
  int64_t fixedLeft = fixedTotal;
  int64_t needed = 0;
  int adjustIndex = 0;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    LayoutEntry& entry = entries[static_cast<size_t>(i)];
    if (!entry.visible) continue;
    if (entry.floating) {
      SetFloatPos(i);
      continue;
    }
    CControlUI* control = entry.control;
    const RECT& pad = entry.padding;
    remaining -= pad.left;
    fixedLeft -= static_cast<int64_t>(pad.left) + pad.right;
    if (i > 0) fixedLeft -= childPadding;

    int64_t width = entry.width;
    if (entry.adjustable) {
      ++adjustIndex;
      width = adjustIndex == adjustable ? MaxValue(0, remaining - pad.right - fixedLeft) : share;
      width = ClampToLimits(width, control->GetMinWidth(), control->GetMaxWidth());
    } else {
      fixedLeft -= width;
    }

    // Across the row a child takes its height limit: a child without a fixed height fills it.
    int64_t room = availableHeight - pad.top - pad.bottom;
    int64_t height = entry.heightLimit;
    if (height == 0) height = room;
    if (height < 0) height = 0;
    height = MinValue(height, MinValue(entry.heightLimit, room));
    if (height < control->GetMinHeight()) height = control->GetMinHeight();

    int64_t top = CrossAxisStart(placement, rc.top, rc.bottom, barRange, barPos, pad.top, pad.bottom, height);
    int64_t left = x + pad.left;
    RECT rcCtrl = {ClampLayoutValue(left), ClampLayoutValue(top), ClampLayoutValue(left + width),
                   ClampLayoutValue(top + height)};
    control->SetPos(rcCtrl, false);

    needed += static_cast<int64_t>(pad.left) + width + pad.right;
    x += static_cast<int64_t>(pad.left) + width + pad.right + childPadding;
    remaining -= width + pad.right + childPadding;
  }
  if (laidOut > 0) needed += (laidOut - 1) * childPadding;
  ProcessScrollBar(rc, ClampLayoutValue(needed), ClampLayoutValue(tallest));
}

void CHorizontalLayoutUI::SetSepWidth(int width) { m_iSepWidth = width; }
int CHorizontalLayoutUI::GetSepWidth() const { return ScaleValue(m_iSepWidth); }

void CHorizontalLayoutUI::SetSepImmMode(bool immediate) {
  if (m_bImmMode == immediate) return;
  if ((m_uButtonState & kStateSeparatorCaptured) != 0 && !m_bImmMode && m_pManager != nullptr) {
    m_pManager->RemovePostPaint(this);
  }
  m_bImmMode = immediate;
}

bool CHorizontalLayoutUI::IsSepImmMode() const { return m_bImmMode; }

RECT CHorizontalLayoutUI::GetThumbRect(bool useDragRect) const {
  RECT rc = (useDragRect && (m_uButtonState & kStateSeparatorCaptured) != 0) ? m_rcNewPos : m_rcItem;
  return SeparatorThumb(rc, GetSepWidth(), false);
}

void CHorizontalLayoutUI::DoEvent(TEventUI& event) {
  if (m_iSepWidth != 0) {
    if (event.type == UiEventType::ButtonDown && IsEnabled()) {
      RECT thumb = GetThumbRect(false);
      if (::PtInRect(&thumb, event.mousePos)) {
        m_uButtonState |= kStateSeparatorCaptured;
        m_ptLastMouse = event.mousePos;
        m_rcNewPos = m_rcItem;
        if (!m_bImmMode && m_pManager != nullptr) m_pManager->AddPostPaint(this);
        return;
      }
    }
    if (event.type == UiEventType::ButtonUp && (m_uButtonState & kStateSeparatorCaptured) != 0) {
      m_uButtonState &= ~kStateSeparatorCaptured;
      m_rcItem = m_rcNewPos;
      if (!m_bImmMode && m_pManager != nullptr) m_pManager->RemovePostPaint(this);
      NeedParentUpdate();
      if (m_bImmMode && m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kSplitMoveUp);
      return;
    }
    if (event.type == UiEventType::MouseMove) {
      if ((m_uButtonState & kStateSeparatorCaptured) != 0) {
        int64_t delta = static_cast<int64_t>(event.mousePos.x) - m_ptLastMouse.x;
        m_ptLastMouse = event.mousePos;
        RECT rc = m_rcNewPos;
        int64_t width = DragSeparatorEdge(rc, delta, m_iSepWidth, GetMinWidth(), GetMaxWidth(), false);
        RECT invalidateRc = GetThumbRect(true);
        m_rcNewPos = rc;
        m_cxyFixed.cx = m_pManager ? m_pManager->GetDPIObj()->ScaleBack(static_cast<int>(width)) : static_cast<int>(width);
        m_cxyFixedScaled.scale = 0;
        if (m_bImmMode) {
          m_rcItem = m_rcNewPos;
          NeedParentUpdate();
          if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kSplitMove);
        } else {
          RECT now = GetThumbRect(true);
          RECT old = GetThumbRect(false);
          ::UnionRect(&invalidateRc, &invalidateRc, &now);
          ::UnionRect(&invalidateRc, &invalidateRc, &old);
          if (m_pManager != nullptr) m_pManager->Invalidate(invalidateRc);
        }
        return;
      }
      RECT thumb = GetThumbRect(false);
      if (m_bImmMode && IsEnabled() && ::PtInRect(&thumb, event.mousePos)) {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));
        if (m_dwSepBorderColor != 0) SetBorderColor(m_dwSepBorderColor);
      }
    }
    if (event.type == UiEventType::SetCursor) {
      RECT thumb = GetThumbRect(false);
      if (IsEnabled() && ::PtInRect(&thumb, event.mousePos)) {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));
        return;
      }
    }
  }
  CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (_wcsicmp(name, L"sepwidth") == 0) {
    SetSepWidth(ParseSkinInt(value));
  } else if (_wcsicmp(name, L"sepimm") == 0) {
    SetSepImmMode(ParseSkinBool(value));
  } else if (_wcsicmp(name, L"sepimmbordercolor") == 0) {
    m_dwSepBorderColor = ParseSkinColor(value, false);
  } else if (_wcsicmp(name, L"sepimmleavebordercolor") == 0) {
    m_dwSepLeaveBorderColor = ParseSkinColor(value, false);
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT&) {
  if ((m_uButtonState & kStateSeparatorCaptured) != 0 && !m_bImmMode) {
    RECT thumb = GetThumbRect(true);
    CRenderEngine::DrawColor(hDC, thumb, 0xAA000000);
  }
}

CControlUI* CHorizontalLayoutUI::Clone() {
  auto* copy = new (std::nothrow) CHorizontalLayoutUI();
  if (copy == nullptr) return nullptr;
  FillClone(copy);
  return copy;
}

void CHorizontalLayoutUI::CopyData(CControlUI* control) {
  auto* source = static_cast<CHorizontalLayoutUI*>(control ? control->GetInterface(L"HorizontalLayout") : nullptr);
  if (source != nullptr && source != this) {
    m_iSepWidth = source->m_iSepWidth;
    m_bImmMode = source->m_bImmMode;
  }
  CContainerUI::CopyData(control);
}

}  // namespace ZQUI
