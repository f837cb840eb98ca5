#include "ui/layout/vertical_layout.h"

#include <cwchar>
#include <new>

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

  int64_t availableWidth = static_cast<int64_t>(rc.right) - rc.left;
  int64_t availableHeight = static_cast<int64_t>(rc.bottom) - rc.top;
  if (hbar) availableWidth += m_pHorizontalScrollBar->GetScrollRange();
  if (vbar) availableHeight += m_pVerticalScrollBar->GetScrollRange();

  BoxLayoutPass pass;
  pass.vertical = true;
  pass.client = rc;
  pass.availableMain = availableHeight;
  pass.availableCross = availableWidth;
  pass.childPadding = GetChildPadding();
  pass.mainPlacement = VerticalPlacement(GetChildVAlign());
  pass.crossPlacement = HorizontalPlacement(GetChildAlign());
  pass.mainBar = vbar;
  pass.mainBarPos = vbar ? m_pVerticalScrollBar->GetScrollPos() : 0;
  pass.crossBarRange = hbar ? m_pHorizontalScrollBar->GetScrollRange() : 0;
  pass.crossBarPos = hbar ? m_pHorizontalScrollBar->GetScrollPos() : 0;
  pass.crossFromEstimate = true;
  BoxLayoutExtent extent = LayOutBoxChildren(*this, m_items, pass);
  ProcessScrollBar(rc, ClampLayoutValue(extent.cross), ClampLayoutValue(extent.main));
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
