// The manager's side of tooltips: on hover over a control with tooltip text it creates its tooltip
// window (TooltipWnd) once and hands it each request with kMsgShowToolTip; the window owns and
// frees the request.
#include <new>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/core/tooltip_wnd.h"

namespace ZQUI {

namespace {

// A tooltip window owned by `parent`, shown without activation; null when it cannot be made.
HWND CreateTooltipWindow(HWND parent) {
  auto* tooltip = new (std::nothrow) TooltipWnd();
  if (tooltip == nullptr) return nullptr;
  HWND hwnd = tooltip->Create(parent, L"", 0, TooltipWnd::kExStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT);
  if (hwnd == nullptr) {
    // A tooltip skin that does not load fails the creation instead of ending the process (the
    // window base does that only for a main window): the application goes on without tooltips.
    delete tooltip;
    return nullptr;
  }
  tooltip->DeleteWithWindow();
  tooltip->ShowWindow(true, false);
  return hwnd;
}

}  // namespace

void CPaintManagerUI::ShowToolTip(CControlUI* control) {
  auto* request = new (std::nothrow) TToolTipRequest();
  if (request == nullptr) return;
  request->text = control->GetToolTip();
  RECT rc = control->GetPos();
  ::MapWindowPoints(m_hWndPaint, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  request->controlRect = rc;
  request->showMode = control->GetToolTipShowMode();
  request->gap = control->GetToolTipGap();
  request->width = control->GetToolTipWidth();
  if (m_hwndTooltip == nullptr || !::IsWindow(m_hwndTooltip)) {
    m_hwndTooltip = CreateTooltipWindow(m_hWndPaint);
    if (m_hwndTooltip == nullptr) {
      delete request;
      return;
    }
  }
  ::SendMessageW(m_hwndTooltip, kMsgShowToolTip, 0, reinterpret_cast<LPARAM>(request));
}

}  // namespace ZQUI
