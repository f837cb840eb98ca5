#include "ui/layout/horizontal_layout.h"

#include <cwchar>
#include <new>

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

  int64_t availableWidth = static_cast<int64_t>(rc.right) - rc.left;
  int64_t availableHeight = static_cast<int64_t>(rc.bottom) - rc.top;
  if (vbar) availableHeight += m_pVerticalScrollBar->GetScrollRange();

  BoxLayoutPass pass;
  pass.vertical = false;
  pass.client = rc;
  pass.availableMain = availableWidth;
  pass.availableCross = availableHeight;
  pass.childPadding = GetChildPadding();
  pass.mainPlacement = HorizontalPlacement(GetChildAlign());
  pass.crossPlacement = VerticalPlacement(GetChildVAlign());
  pass.mainBar = hbar;
  pass.mainBarPos = hbar ? m_pHorizontalScrollBar->GetScrollPos() : 0;
  pass.crossBarRange = vbar ? m_pVerticalScrollBar->GetScrollRange() : 0;
  pass.crossBarPos = vbar ? m_pVerticalScrollBar->GetScrollPos() : 0;
  // Across the row a child takes its height limit: a child without a fixed height fills it.
  pass.crossFromEstimate = false;
  BoxLayoutExtent extent = LayOutBoxChildren(*this, m_items, pass);
  ProcessScrollBar(rc, ClampLayoutValue(extent.main), ClampLayoutValue(extent.cross));
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
