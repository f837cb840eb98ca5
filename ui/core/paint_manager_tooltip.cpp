// The paint manager's tooltip window "TooltipWnd": a non-activating topmost popup that shows a
// control's tooltip text word-wrapped beside the control, on the side its show mode names, inside
// the work area. It receives each request with kMsgShowToolTip and owns (frees) it.
#include <new>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

constexpr wchar_t kTooltipClass[] = L"TooltipWnd";
constexpr int kTextMargin = 4;

struct TooltipState {
  CDuiString text;
};

TooltipState* StateOf(HWND hwnd) { return reinterpret_cast<TooltipState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

void PlaceTooltip(HWND hwnd, TooltipState* state, const TToolTipRequest& request) {
  state->text = request.text;
  HDC dc = GetDC(hwnd);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  int wrap = request.width > 0 ? request.width : 300;
  RECT measure = {0, 0, wrap, 0};
  DrawTextW(dc, state->text, -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  ReleaseDC(hwnd, dc);
  int cx = measure.right - measure.left + 2 * kTextMargin;
  int cy = measure.bottom - measure.top + 2 * kTextMargin;

  const RECT& rc = request.controlRect;
  int x = 0;
  int y = 0;
  switch (request.showMode) {
    case ToolTipLeft:
      x = rc.left - cx - request.gap.cx;
      y = rc.top + request.gap.cy;
      break;
    case ToolTipTop:
      x = rc.left + request.gap.cx;
      y = rc.top - cy - request.gap.cy;
      break;
    case ToolTipRight:
      x = rc.right + request.gap.cx;
      y = rc.top + request.gap.cy;
      break;
    default:
      x = rc.left + request.gap.cx;
      y = rc.bottom + request.gap.cy;
      break;
  }
  RECT work = {0, 0, 0, 0};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    if (x + cx > work.right) x = work.right - cx;
    if (y + cy > work.bottom) y = work.bottom - cy;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
  }
  SetWindowPos(hwnd, HWND_TOPMOST, x, y, cx, cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd, nullptr, TRUE);
}

LRESULT CALLBACK TooltipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* state = new (std::nothrow) TooltipState();
      if (state == nullptr) return FALSE;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
      break;
    }
    case WM_NCDESTROY: {
      delete StateOf(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    }
    case kMsgShowToolTip: {
      auto* request = reinterpret_cast<TToolTipRequest*>(lParam);
      if (request == nullptr) return 0;
      if (TooltipState* state = StateOf(hwnd)) PlaceTooltip(hwnd, state, *request);
      delete request;
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT: {
      PAINTSTRUCT ps = {};
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc = {0, 0, 0, 0};
      GetClientRect(hwnd, &rc);
      FillRect(dc, &rc, GetSysColorBrush(COLOR_INFOBK));
      FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      if (TooltipState* state = StateOf(hwnd)) {
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        InflateRect(&rc, -kTextMargin, -kTextMargin);
        DrawTextW(dc, state->text, -1, &rc, DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, oldFont);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool RegisterTooltipClass(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(instance, kTooltipClass, &wc)) return true;
  wc.cbSize = sizeof(wc);
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = TooltipProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kTooltipClass;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
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
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hwndTooltip = nullptr;
    if (RegisterTooltipClass(instance)) {
      // A popup owned by this window: it never takes activation and goes with the window.
      m_hwndTooltip = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW, kTooltipClass, L"",
                                        WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        m_hWndPaint, nullptr, instance, nullptr);
    }
    if (m_hwndTooltip == nullptr) {
      delete request;
      return;
    }
  }
  ::SendMessageW(m_hwndTooltip, kMsgShowToolTip, 0, reinterpret_cast<LPARAM>(request));
}

}  // namespace ZQUI
