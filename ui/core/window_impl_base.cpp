#include "ui/core/window_impl_base.h"

#include <windowsx.h>

#include <cwchar>

#include "ui/control/shadow.h"
#include "ui/core/control.h"
#include "ui/core/dpi.h"

namespace ZQUI {

DWORD WindowImplBase::s_lastDpiChangeTick = 0;
bool WindowImplBase::s_dpiChangeSeen = false;

DUI_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
DUI_ON_MSGTYPE(NotifyName::kClick, WindowImplBase::OnClick)
DUI_END_MESSAGE_MAP()

namespace {

// Classes that let a press on them drag the window when they lie in the caption area.
constexpr const wchar_t* kStaticClasses[] = {
    L"controlui",         L"textui",           L"labelui",       L"containerui",
    L"horizontallayoutui", L"verticallayoutui", L"tablayoutui",   L"childlayoutui",
    L"dialoglayoutui",    L"progresscontainerui",
};

POINT ScreenPointToClient(HWND hwnd, LPARAM lParam) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(hwnd, &pt);
  return pt;
}

bool IsShownControl(CControlUI* control) { return control != nullptr && control->IsVisible(); }

}  // namespace

CPaintManagerUI* WindowImplBase::GetPaintManager() { return &m_pm; }

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

void WindowImplBase::OnFinalMessage(HWND) {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
  m_pm.ReapObjects(m_pm.GetRoot());
}

void WindowImplBase::InitResource() {}

void WindowImplBase::InitWindow() {}

void WindowImplBase::OnClick(TNotifyUI& msg) {
  if (msg.sender == nullptr) return;
  CDuiString name = msg.sender->GetName();
  if (name == L"minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

bool WindowImplBase::IsInStaticControl(CControlUI* control) {
  if (control == nullptr) return false;
  // Bounded by the tree depth a container accepts, so a malformed parent chain cannot spin.
  int depth = 0;
  for (CControlUI* node = control; node != nullptr && depth <= 4096;
       node = node->GetParent(), ++depth) {
    const wchar_t* klass = node->GetClass();
    if (klass == nullptr) return false;
    bool known = false;
    for (const wchar_t* candidate : kStaticClasses) {
      // Compared ignoring case with the system's Unicode mapping.
      if (::CompareStringOrdinal(klass, -1, candidate, -1, TRUE) == CSTR_EQUAL) {
        known = true;
        break;
      }
    }
    if (!known) return false;
  }
  return true;
}

CDuiString WindowImplBase::GetSkinType() { return CDuiString(); }

const wchar_t* WindowImplBase::GetManagerName() { return nullptr; }

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
  return wParam == VK_ESCAPE ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (::IsIconic(m_hWnd)) handled = FALSE;
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
  POINT pt = ScreenPointToClient(m_hWnd, lParam);
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);

  CControlUI* maxButton = m_pm.FindControl(L"maxbtn");
  CControlUI* restoreButton = m_pm.FindControl(L"restorebtn");
  if (IsShownControl(maxButton)) {
    RECT rc = maxButton->GetPos();
    if (::PtInRect(&rc, pt)) return HTMAXBUTTON;
  } else if (IsShownControl(restoreButton)) {
    RECT rc = restoreButton->GetPos();
    if (::PtInRect(&rc, pt)) return HTMAXBUTTON;
  }

  if (!::IsZoomed(m_hWnd)) {
    RECT box = m_pm.GetSizeBox();
    if (pt.y < client.top + box.top) {
      if (pt.x < client.left + box.left) return HTTOPLEFT;
      if (pt.x > client.right - box.right) return HTTOPRIGHT;
      return HTTOP;
    }
    if (pt.y > client.bottom - box.bottom) {
      if (pt.x < client.left + box.left) return HTBOTTOMLEFT;
      if (pt.x > client.right - box.right) return HTBOTTOMRIGHT;
      return HTBOTTOM;
    }
    if (pt.x < client.left + box.left) return HTLEFT;
    if (pt.x > client.right - box.right) return HTRIGHT;
  }

  RECT caption = m_pm.GetCaptionRect();
  if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right) return HTCLIENT;
  bool inCaptionRows = pt.y >= caption.top &&
                       (pt.y < caption.bottom || (caption.bottom < 0 && pt.y < client.bottom));
  if (inCaptionRows) {
    CControlUI* control = m_pm.FindControl(pt);
    return IsInStaticControl(control) ? HTCAPTION : HTCLIENT;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
  // The maximised position is relative to the monitor's own origin.
  RECT work = monitor.rcWork;
  if ((monitor.dwFlags & MONITORINFOF_PRIMARY) == 0) {
    ::OffsetRect(&work, -monitor.rcMonitor.left, -monitor.rcMonitor.top);
  }
  LONG workWidth = work.right - work.left;
  LONG workHeight = work.bottom - work.top;
  info->ptMaxPosition.x = work.left;
  info->ptMaxPosition.y = work.top;
  info->ptMaxSize.x = workWidth;
  info->ptMaxSize.y = workHeight;
  SIZE maxInfo = m_pm.GetMaxInfo();
  SIZE minInfo = m_pm.GetMinInfo();
  info->ptMaxTrackSize.x = maxInfo.cx == 0 ? workWidth : maxInfo.cx;
  info->ptMaxTrackSize.y = maxInfo.cy == 0 ? workHeight : maxInfo.cy;
  info->ptMinTrackSize.x = minInfo.cx;
  info->ptMinTrackSize.y = minInfo.cy;
  return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnDpiChange(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  DWORD now = ::GetTickCount();
  if (s_dpiChangeSeen && now - s_lastDpiChangeTick < kDpiChangeInterval) {
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
  s_dpiChangeSeen = true;
  s_lastDpiChangeTick = now;
  m_pm.SetDPI(LOWORD(wParam));
  if (m_pm.GetRoot() != nullptr) m_pm.GetRoot()->NeedUpdate();
  handled = FALSE;
  return 1;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
  if (!::IsIconic(m_hWnd)) {
    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    SIZE corner = m_pm.GetRoundCorner();
    HRGN region = ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1,
                                       corner.cx, corner.cy);
    // Once set, the region belongs to the system; it is ours to delete only if setting failed.
    if (region != nullptr && !::SetWindowRgn(m_hWnd, region, TRUE)) ::DeleteObject(region);
  }
  if (m_pm.IsValid() && wParam == SIZE_RESTORED) SwapMaxRestoreButtons(false);
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&) {
  // The four low bits of a system command are the system's own.
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  bool zoomed = ::IsZoomed(m_hWnd) != FALSE;
  LRESULT result = CWindowWnd::HandleMessage(msg, wParam, lParam);
  bool nowZoomed = ::IsZoomed(m_hWnd) != FALSE;
  if (zoomed != nowZoomed) SwapMaxRestoreButtons(nowZoomed);
  return result;
}

void WindowImplBase::SwapMaxRestoreButtons(bool maximized) {
  CControlUI* maxButton = m_pm.FindControl(L"maxbtn");
  CControlUI* restoreButton = m_pm.FindControl(L"restorebtn");
  if (maxButton != nullptr) maxButton->SetVisible(!maximized);
  if (restoreButton != nullptr) restoreButton->SetVisible(maximized);
}

bool WindowImplBase::IsSecondaryWindow() const {
  if (::GetWindow(m_hWnd, GW_OWNER) != nullptr) return true;
  LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  return (style & WS_CHILD) != 0 && ::GetParent(m_hWnd) != nullptr;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE,
                      static_cast<LONG_PTR>(GetStyle()) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

  m_pm.Init(m_hWnd, GetManagerName());
  m_pm.AddPreMessageFilter(this);
  InitResource();

  CDialogBuilder builder;
  CDuiString skinType = GetSkinType();
  CDuiString skinFile = GetSkinFile();
  CControlUI* root = nullptr;
  if (!skinType.IsEmpty()) {
    unsigned id = static_cast<unsigned>(wcstoul(skinFile.GetData(), nullptr, 10));
    root = builder.Create(STRINGorID(id), skinType.GetData(), this, &m_pm);
  } else {
    root = builder.Create(skinFile.GetData(), nullptr, this, &m_pm);
  }

  if (root == nullptr) {
    if (IsSecondaryWindow()) {
      // A pop-up without its skin is useless but not fatal: its creation fails.
      m_pm.RemovePreMessageFilter(this);
      return -1;
    }
    CDuiString text(kSkinLoadFailedText);
    text += skinFile;
    ::MessageBoxW(nullptr, text.GetData(), kSkinLoadFailedCaption, MB_ICONERROR);
    ::ExitProcess(1);
  }

  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  // Also made by AttachDialog; a second call for the same window does nothing.
  m_pm.GetShadow()->Create(&m_pm);
  m_pm.GetDPIObj();
  m_pm.SetDPI(CDPI::GetMainMonitorDPI());
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& handled) {
  handled = FALSE;
  return 0;
}

LONG WindowImplBase::GetStyle() {
  LONG style = static_cast<LONG>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
  return style & ~static_cast<LONG>(WS_CAPTION);
}

void WindowImplBase::Notify(TNotifyUI& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool&) {
  if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    return ResponseDefaultKeyEvent(wParam);
  }
  return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

const wchar_t* WindowImplBase::QueryControlText(const wchar_t*, const wchar_t*) { return nullptr; }

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  BOOL handled = TRUE;
  switch (msg) {
    case WM_CREATE: result = OnCreate(msg, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(msg, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(msg, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(msg, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(msg, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(msg, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(msg, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(msg, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(msg, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(msg, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(msg, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(msg, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(msg, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(msg, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(msg, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(msg, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(msg, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(msg, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(msg, wParam, lParam, handled); break;
    case WM_DPICHANGED: result = OnDpiChange(msg, wParam, lParam, handled); break;
    // The maximise button is drawn by the skin: non-client input over it (the hit test says
    // HTMAXBUTTON) is handed to the controls as client input.
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
      if (wParam == HTMAXBUTTON) {
        POINT pt = ScreenPointToClient(m_hWnd, lParam);
        UINT clientMsg = msg == WM_NCMOUSEMOVE     ? WM_MOUSEMOVE
                         : msg == WM_NCLBUTTONDOWN ? WM_LBUTTONDOWN
                                                   : WM_LBUTTONUP;
        SendMessage(clientMsg, wParam, MAKELPARAM(pt.x, pt.y));
        result = 0;
      } else {
        handled = FALSE;
      }
      break;
    case WM_NCMOUSEHOVER:
    case WM_NCMOUSELEAVE:
    case WM_NCLBUTTONDBLCLK:
      if (wParam != HTMAXBUTTON) handled = FALSE;
      break;
    default:
      handled = FALSE;
      break;
  }
  if (handled) return result;
  result = HandleCustomMessage(msg, wParam, lParam, handled);
  if (handled) return result;
  if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

}  // namespace ZQUI
