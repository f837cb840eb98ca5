#include "ui/core/tooltip_wnd.h"

#include <climits>
#include <memory>

#include "ui/control/label.h"
#include "ui/core/control.h"
#include "ui/core/render_engine.h"
#include "ui/layout/tab_layout.h"

namespace ZQUI {

namespace {

// Indexed by ToolTipType.
constexpr const wchar_t* kPageNames[] = {L"tooltip_left", L"tooltip_top", L"tooltip_right", L"tooltip_bottom"};
// The left label's name is spelt as the skins spell it.
constexpr const wchar_t* kLabelNames[] = {L"tootip_left_text", L"tooltip_top_text", L"tooltip_right_text",
                                          L"tooltip_bottom_text"};

// Height offered to the text when it is measured: more than any tooltip needs.
constexpr int kMeasureHeight = 0x7FFF;
// Room added around the text block when the skin is laid out to find what it puts around the
// label (borders, arrow strips); larger than any such frame.
constexpr int kLayoutProbeMargin = 1024;

int ModeOf(int showMode) {
  return showMode >= ToolTipLeft && showMode <= ToolTipBottom ? showMode : static_cast<int>(ToolTipBottom);
}

}  // namespace

const wchar_t* TooltipWnd::GetWindowClassName() const { return kClassName; }

CDuiString TooltipWnd::GetSkinFile() { return kSkinFile; }

void TooltipWnd::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  if (m_bDeleteWithWindow) delete this;
}

void TooltipWnd::DeleteWithWindow() { m_bDeleteWithWindow = true; }

LRESULT TooltipWnd::OnNcHitTest(UINT, WPARAM, LPARAM, BOOL&) {
  // The pointer passes through to the window below, so a tooltip that lands over its control does
  // not end that control's hover and hide itself.
  return HTTRANSPARENT;
}

LRESULT TooltipWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM lParam, BOOL& handled) {
  if (msg == kMsgShowToolTip) {
    handled = TRUE;
    std::unique_ptr<TToolTipRequest> request(reinterpret_cast<TToolTipRequest*>(lParam));
    if (request != nullptr) ShowRequest(*request);
    return 0;
  }
  if (msg == WM_MOUSEACTIVATE) {
    handled = TRUE;
    return MA_NOACTIVATE;
  }
  handled = FALSE;
  return 0;
}

const wchar_t* TooltipWnd::PageName(int mode) { return kPageNames[ModeOf(mode)]; }

const wchar_t* TooltipWnd::LabelName(int mode) { return kLabelNames[ModeOf(mode)]; }

POINT TooltipWnd::PlaceBeside(const RECT& control, int mode, SIZE gap, SIZE size, const RECT& work) {
  POINT at = {0, 0};
  switch (mode) {
    case ToolTipLeft:
      at.x = control.left - size.cx - gap.cx;
      at.y = control.top + gap.cy;
      break;
    case ToolTipTop:
      at.x = control.left + gap.cx;
      at.y = control.top - size.cy - gap.cy;
      break;
    case ToolTipRight:
      at.x = control.right + gap.cx;
      at.y = control.top + gap.cy;
      break;
    default:
      at.x = control.left + gap.cx;
      at.y = control.bottom + gap.cy;
      break;
  }
  // The far edges first, so a tooltip larger than the work area keeps its top-left corner visible.
  if (at.x + size.cx > work.right) at.x = work.right - size.cx;
  if (at.y + size.cy > work.bottom) at.y = work.bottom - size.cy;
  if (at.x < work.left) at.x = work.left;
  if (at.y < work.top) at.y = work.top;
  return at;
}

SIZE TooltipWnd::MeasureText(CLabelUI* label, const CDuiString& text, int wrapWidth) {
  RECT rc = {0, 0, wrapWidth, kMeasureHeight};
  const UINT placement = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
  UINT style = (label->GetTextStyle() & ~placement) | DT_CALCRECT;
  if (label->IsShowHtml()) {
    int links = 0;
    CRenderEngine::DrawHtmlText(m_pm.GetPaintDC(), &m_pm, rc, text, 0, nullptr, nullptr, links, label->GetFont(),
                                style);
  } else {
    CRenderEngine::DrawText(m_pm.GetPaintDC(), &m_pm, rc, text, 0, label->GetFont(), style);
  }
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void TooltipWnd::ShowRequest(const TToolTipRequest& request) {
  const int mode = ModeOf(request.showMode);
  CControlUI* root = m_pm.GetRoot();
  CControlUI* found = m_pm.FindControl(LabelName(mode));
  auto* label = found != nullptr ? static_cast<CLabelUI*>(found->GetInterface(L"Label")) : nullptr;
  if (root == nullptr || label == nullptr || request.text.IsEmpty()) {
    ::ShowWindow(m_hWnd, SW_HIDE);
    return;
  }

  CControlUI* tabs = m_pm.FindControl(kTabLayoutName);
  auto* layout = tabs != nullptr ? static_cast<CTabLayoutUI*>(tabs->GetInterface(L"TabLayout")) : nullptr;
  if (layout != nullptr && !layout->SelectItem(m_pm.FindControl(PageName(mode)), false)) {
    layout->SelectItem(mode, false);
  }

  // The label wraps: the window is sized to the wrapped text, and the label must break it the same way.
  label->SetText(request.text);
  label->SetTextStyle((label->GetTextStyle() | DT_WORDBREAK) & ~static_cast<UINT>(DT_SINGLELINE | DT_END_ELLIPSIS));
  int wrapWidth = request.width > 0 ? request.width : m_pm.GetDPIObj()->Scale(kDefaultWrapWidth);
  SIZE text = MeasureText(label, request.text, wrapWidth);
  RECT padding = label->GetTextPadding();
  SIZE labelSize = {text.cx + padding.left + padding.right, text.cy + padding.top + padding.bottom};

  // What the skin puts around the label (frame, arrow strip on the control's side) is whatever a
  // layout leaves beside it; the label stretches with its page.
  RECT probe = {0, 0, labelSize.cx + kLayoutProbeMargin, labelSize.cy + kLayoutProbeMargin};
  root->SetPos(probe, false);
  const RECT& placed = label->GetPos();
  SIZE frame = {probe.right - (placed.right - placed.left), probe.bottom - (placed.bottom - placed.top)};
  SIZE size = {labelSize.cx + frame.cx, labelSize.cy + frame.cy};

  RECT work = {0, 0, 0, 0};
  POINT at = {0, 0};
  if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    at = PlaceBeside(request.controlRect, mode, request.gap, size, work);
  } else {
    // Without a work area nothing limits the place.
    RECT unlimited = {LONG_MIN / 2, LONG_MIN / 2, LONG_MAX / 2, LONG_MAX / 2};
    at = PlaceBeside(request.controlRect, mode, request.gap, size, unlimited);
  }
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, at.x, at.y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // The probe layout is not the window's: lay out again at the real size even when it did not change.
  root->NeedUpdate();
}

}  // namespace ZQUI
