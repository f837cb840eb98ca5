#include "ui/layout/vertical_layout.h"

#include <cwchar>
#include <new>
#include <vector>

#include "ui/control/scroll_bar.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"
#include "ui/layout/box_layout_base.h"

namespace ZQUI {

CVerticalLayoutUI::CVerticalLayoutUI() {}

CControlUI* CVerticalLayoutUI::CreateControl() { return new CVerticalLayoutUI(); }

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
  if (IsEnabled() && m_iSepHeight != 0) return ControlFlagSetCursor;
  if (!IsCursorMouse()) return ControlFlagSetCursor;
  return 0;
}

void CVerticalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  // A layout scrolled wholly out of its parent's view is not laid out inside.
  if (m_pParent != nullptr) {
    RECT parent = m_pParent->GetPos();
    if (parent.bottom < rc.top || rc.bottom < parent.top) return;
  }
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
  if (hbar) availableWidth += m_pHorizontalScrollBar->GetScrollRange();
  if (vbar) availableHeight += m_pVerticalScrollBar->GetScrollRange();

  std::vector<LayoutEntry> entries(static_cast<size_t>(m_items.GetSize()));
  int adjustable = 0;
  int laidOut = 0;
  int64_t fixedTotal = 0;
  int64_t widest = 0;
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
    SIZE available = {ClampLayoutValue(MinValue(entry.widthLimit, availableWidth - pad.left - pad.right)),
                      ClampLayoutValue(MinValue(entry.heightLimit, availableHeight))};
    SIZE estimate = control->EstimateSize(available);
    int64_t height = estimate.cy;
    if (height == 0) {
      entry.adjustable = true;
      ++adjustable;
    } else {
      height = ClampToLimits(height, control->GetMinHeight(), control->GetMaxHeight());
    }
    entry.height = height;
    fixedTotal += static_cast<int64_t>(pad.top) + height + pad.bottom;
    int64_t width = estimate.cx;
    if (width < 0) width = 0;
    width = ClampToLimits(width, control->GetMinWidth(), control->GetMaxWidth());
    entry.width = width;
    widest = MaxValue(widest, static_cast<int64_t>(pad.left) + width + pad.right);
    ++laidOut;
  }
  if (laidOut > 0) fixedTotal += (laidOut - 1) * childPadding;

  int64_t share = 0;
  if (adjustable > 0) share = MaxValue(0, (availableHeight - fixedTotal) / adjustable);

  int64_t y = rc.top;
  if (vbar) {
    y -= m_pVerticalScrollBar->GetScrollPos();
  } else if (adjustable == 0) {
    if (childVAlign == 4) y += (availableHeight - fixedTotal) / 2;
    else if (childVAlign == 8) y += availableHeight - fixedTotal;
  }

  const CrossPlacement placement = childAlign == 1   ? CrossPlacement::kCentre
                                  : childAlign == 2 ? CrossPlacement::kFar
                                                    : CrossPlacement::kNear;
  const int barRange = hbar ? m_pHorizontalScrollBar->GetScrollRange() : 0;
  const int barPos = hbar ? m_pHorizontalScrollBar->GetScrollPos() : 0;
  int64_t remaining = availableHeight;
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
    remaining -= pad.top;
    fixedLeft -= static_cast<int64_t>(pad.top) + pad.bottom;
    if (i > 0) fixedLeft -= childPadding;

    int64_t height = entry.height;
    if (entry.adjustable) {
      ++adjustIndex;
      height = adjustIndex == adjustable ? MaxValue(0, remaining - pad.bottom - fixedLeft) : share;
      height = ClampToLimits(height, control->GetMinHeight(), control->GetMaxHeight());
    } else {
      fixedLeft -= height;
    }

    int64_t room = availableWidth - pad.left - pad.right;
    int64_t width = MaxValue(0, entry.width);
    if (width == 0) width = room;
    width = MinValue(width, MinValue(entry.widthLimit, room));
    if (width < control->GetMinWidth()) width = control->GetMinWidth();

    int64_t left = CrossAxisStart(placement, rc.left, rc.right, barRange, barPos, pad.left, pad.right, width);
    int64_t top = y + pad.top;
    RECT rcCtrl = {ClampLayoutValue(left), ClampLayoutValue(top), ClampLayoutValue(left + width),
                   ClampLayoutValue(top + height)};
    control->SetPos(rcCtrl, false);

    needed += static_cast<int64_t>(pad.top) + height + pad.bottom;
    y += static_cast<int64_t>(pad.top) + height + pad.bottom + childPadding;
    remaining -= height + pad.bottom + childPadding;
  }
  if (laidOut > 0) needed += (laidOut - 1) * childPadding;
  ProcessScrollBar(rc, ClampLayoutValue(widest), ClampLayoutValue(needed));
}

void CVerticalLayoutUI::SetSepHeight(int height) { m_iSepHeight = height; }
int CVerticalLayoutUI::GetSepHeight() const { return ScaleValue(m_iSepHeight); }

void CVerticalLayoutUI::SetSepImmMode(bool immediate) {
  if (m_bImmMode == immediate) return;
  if ((m_uButtonState & kStateSeparatorCaptured) != 0 && !m_bImmMode && m_pManager != nullptr) {
    m_pManager->RemovePostPaint(this);
  }
  m_bImmMode = immediate;
}

bool CVerticalLayoutUI::IsSepImmMode() const { return m_bImmMode; }

RECT CVerticalLayoutUI::GetThumbRect(bool useDragRect) const {
  RECT rc = (useDragRect && (m_uButtonState & kStateSeparatorCaptured) != 0) ? m_rcNewPos : m_rcItem;
  return SeparatorThumb(rc, GetSepHeight(), true);
}

void CVerticalLayoutUI::DoEvent(TEventUI& event) {
  if (m_iSepHeight != 0) {
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
      return;
    }
    if (event.type == UiEventType::MouseMove && (m_uButtonState & kStateSeparatorCaptured) != 0) {
      int64_t delta = static_cast<int64_t>(event.mousePos.y) - m_ptLastMouse.y;
      m_ptLastMouse = event.mousePos;
      RECT rc = m_rcNewPos;
      int64_t height = DragSeparatorEdge(rc, delta, m_iSepHeight, GetMinHeight(), GetMaxHeight(), true);
      RECT invalidateRc = GetThumbRect(true);
      m_rcNewPos = rc;
      m_cxyFixed.cy = m_pManager ? m_pManager->GetDPIObj()->ScaleBack(static_cast<int>(height)) : static_cast<int>(height);
      m_cxyFixedScaled.scale = 0;
      if (m_bImmMode) {
        m_rcItem = m_rcNewPos;
        NeedParentUpdate();
      } else {
        RECT now = GetThumbRect(true);
        RECT old = GetThumbRect(false);
        ::UnionRect(&invalidateRc, &invalidateRc, &now);
        ::UnionRect(&invalidateRc, &invalidateRc, &old);
        if (m_pManager != nullptr) m_pManager->Invalidate(invalidateRc);
      }
      return;
    }
    if (event.type == UiEventType::SetCursor) {
      RECT thumb = GetThumbRect(false);
      if (IsEnabled() && ::PtInRect(&thumb, event.mousePos)) {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));
        return;
      }
    }
  }
  CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (_wcsicmp(name, L"sepheight") == 0) {
    SetSepHeight(ParseSkinInt(value));
  } else if (_wcsicmp(name, L"sepimm") == 0) {
    SetSepImmMode(ParseSkinBool(value));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT&) {
  if ((m_uButtonState & kStateSeparatorCaptured) != 0 && !m_bImmMode) {
    RECT thumb = GetThumbRect(true);
    CRenderEngine::DrawColor(hDC, thumb, 0xAA000000);
  }
}

CControlUI* CVerticalLayoutUI::Clone() {
  auto* copy = new (std::nothrow) CVerticalLayoutUI();
  if (copy == nullptr) return nullptr;
  FillClone(copy);
  return copy;
}

void CVerticalLayoutUI::CopyData(CControlUI* control) {
  auto* source = static_cast<CVerticalLayoutUI*>(control ? control->GetInterface(L"VerticalLayout") : nullptr);
  if (source != nullptr && source != this) {
    m_iSepHeight = source->m_iSepHeight;
    m_bImmMode = source->m_bImmMode;
  }
  CContainerUI::CopyData(control);
}

}  // namespace ZQUI
