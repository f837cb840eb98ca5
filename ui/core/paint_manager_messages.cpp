// CPaintManagerUI's message half: the loop-side translation (accelerators, pre-message filters,
// Tab and Alt-shortcut navigation) and the window-side dispatch that turns mouse, key, focus,
// timer and queue messages into control events.
#include <windowsx.h>

#include <cwchar>
#include <cwctype>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

WORD KeyModifierState() {
  WORD state = 0;
  if (GetKeyState(VK_LBUTTON) < 0) state |= KeyModifiers::LButton;
  if (GetKeyState(VK_RBUTTON) < 0) state |= KeyModifiers::RButton;
  if (GetKeyState(VK_SHIFT) < 0) state |= KeyModifiers::Shift;
  if (GetKeyState(VK_CONTROL) < 0) state |= KeyModifiers::Control;
  if (GetKeyState(VK_MENU) < 0) state |= KeyModifiers::Alt;
  return state;
}

POINT PointFromLParam(LPARAM lParam) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return pt;
}

bool ClassContains(CControlUI* control, const wchar_t* part) {
  const wchar_t* name = control->GetClass();
  return name != nullptr && wcsstr(name, part) != nullptr;
}

// Delivers `event` to `control` with itself as sender.
void SendEventTo(CControlUI* control, TEventUI event, int type) {
  event.type = type;
  event.sender = control;
  control->Event(event);
}

}  // namespace

void CPaintManagerUI::MessageLoop() {
  MSG msg = {};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

bool CPaintManagerUI::TranslateMessage(const LPMSG msg) {
  if (msg == nullptr) return false;
  // Snapshots: a handler may create or destroy windows and managers.
  CStdPtrArray managers(*GetPaintManagers());
  UINT style = static_cast<UINT>(GetWindowLongPtrW(msg->hwnd, GWL_STYLE));
  if ((style & WS_CHILD) != 0) {
    for (int i = 0; i < managers.GetSize(); ++i) {
      auto* manager = static_cast<CPaintManagerUI*>(managers.GetAt(i));
      if (GetPaintManagers()->Find(manager) < 0) continue;
      HWND paint = manager->GetPaintWindow();
      for (HWND parent = GetParent(msg->hwnd); parent != nullptr; parent = GetParent(parent)) {
        if (paint == msg->hwnd || paint == parent) {
          if (manager->TranslateAccelerator(msg)) return true;
          LRESULT result = 0;
          manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result);
        }
        if (GetPaintManagers()->Find(manager) < 0) break;
      }
    }
    return false;
  }
  for (int i = 0; i < managers.GetSize(); ++i) {
    auto* manager = static_cast<CPaintManagerUI*>(managers.GetAt(i));
    if (manager->GetPaintWindow() != msg->hwnd) continue;
    if (manager->TranslateAccelerator(msg)) return true;
    LRESULT result = 0;
    return manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result);
  }
  return false;
}

bool CPaintManagerUI::TranslateAccelerator(LPMSG msg) {
  CStdPtrArray accelerators(m_aTranslateAccelerator);
  for (int i = 0; i < accelerators.GetSize(); ++i) {
    auto* accelerator = static_cast<ITranslateAccelerator*>(accelerators.GetAt(i));
    if (m_aTranslateAccelerator.Find(accelerator) < 0) continue;
    if (accelerator->TranslateAccelerator(msg) == S_OK) return true;
  }
  return false;
}

bool CPaintManagerUI::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A filter may remove itself or others while it runs.
  CStdPtrArray filters(m_aPreMessageFilters);
  for (int i = 0; i < filters.GetSize(); ++i) {
    auto* filter = static_cast<IMessageFilterUI*>(filters.GetAt(i));
    if (m_aPreMessageFilters.Find(filter) < 0) continue;
    bool handled = false;
    LRESULT value = filter->MessageHandler(msg, wParam, lParam, handled);
    if (handled) {
      result = value;
      return true;
    }
  }
  switch (msg) {
    case WM_KEYDOWN: {
      if (wParam != VK_TAB) return false;
      if (m_pFocus != nullptr && m_pFocus->IsVisible() && m_pFocus->IsEnabled()) {
        // A rich edit takes the Tab key itself; so does an embedded web view.
        if (ClassContains(m_pFocus, L"RichEditUI") && FocusWantsTab()) return false;
        if (ClassContains(m_pFocus, L"WkeWebkitUI")) return false;
      }
      SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
      return false;
    }
    case WM_SYSKEYDOWN: {
      if (m_pFocus == nullptr) return false;
      TEventUI event;
      event.type = UiEventType::SysKey;
      event.sender = nullptr;
      event.key = static_cast<wchar_t>(wParam);
      event.mousePos = m_ptLastMousePos;
      event.keyState = KeyModifierState();
      event.timestamp = GetTickCount();
      m_pFocus->Event(event);
      return false;
    }
    case WM_SYSCHAR: {
      if (m_pRoot == nullptr) return false;
      FindShortcut info = {static_cast<wchar_t>(towupper(static_cast<wint_t>(wParam))), false};
      CControlUI* found =
          m_pRoot->FindControl(__FindControlFromShortcut, &info, FindEnabled | FindTopFirst | FindMeFirst);
      if (found == nullptr) return false;
      found->SetFocus();
      found->Activate();
      return true;
    }
    default:
      return false;
  }
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (m_hWndPaint == nullptr) return false;

  CStdPtrArray filters(m_aMessageFilters);
  for (int i = 0; i < filters.GetSize(); ++i) {
    auto* filter = static_cast<IMessageFilterUI*>(filters.GetAt(i));
    if (m_aMessageFilters.Find(filter) < 0) continue;
    bool handled = false;
    LRESULT value = filter->MessageHandler(msg, wParam, lParam, handled);
    if (!handled) continue;
    result = value;
    switch (msg) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
        m_ptLastMousePos = PointFromLParam(lParam);
        break;
      case WM_CONTEXTMENU:
      case WM_MOUSEWHEEL: {
        POINT pt = PointFromLParam(lParam);
        ::ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        break;
      }
      default:
        break;
    }
    return true;
  }

  if (m_bLayered) {
    switch (msg) {
      case WM_NCCALCSIZE:
      case WM_NCPAINT:
        result = 0;
        return true;
      case WM_NCACTIVATE:
        if (!::IsIconic(m_hWndPaint)) {
          result = wParam == 0 ? 1 : 0;
          return true;
        }
        break;
      default:
        break;
    }
  }

  switch (msg) {
    case WM_CLOSE:
      HandleClose();
      return false;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_PRINTCLIENT:
      OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
      return false;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
      return false;
    case WM_SIZE: {
      if (m_pFocus != nullptr) {
        TEventUI event;
        event.type = UiEventType::WindowSize;
        event.sender = m_pFocus;
        event.timestamp = GetTickCount();
        m_pFocus->Event(event);
      }
      if (m_pRoot != nullptr && m_pRoot->IsVisible()) m_pRoot->NeedUpdate();
      return true;
    }
    case WM_TIMER: {
      for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        auto* timer = static_cast<TimerInfo*>(m_aTimers.GetAt(i));
        if (timer->window == m_hWndPaint && timer->id == LOWORD(wParam) && !timer->killed) {
          // The record may go away while the control handles its event: copy what is needed.
          CControlUI* control = timer->control;
          TEventUI event;
          event.type = UiEventType::Timer;
          event.sender = control;
          event.timestamp = GetTickCount();
          event.mousePos = m_ptLastMousePos;
          event.keyState = KeyModifierState();
          event.wParam = timer->key;
          event.lParam = lParam;
          control->Event(event);
          break;
        }
      }
      return false;
    }
    case WM_MOUSEHOVER:
      return HandleMouseHover(wParam, lParam, result);
    case WM_MOUSELEAVE:
      HandleMouseLeave();
      return false;
    case WM_MOUSEMOVE:
      HandleMouseMove(wParam, lParam);
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_CONTEXTMENU:
      HandleButton(msg, wParam, lParam);
      return false;
    case WM_MOUSEWHEEL: {
      if (m_pRoot == nullptr) return false;
      POINT pt = PointFromLParam(lParam);
      ::ScreenToClient(m_hWndPaint, &pt);
      m_ptLastMousePos = pt;
      CControlUI* control = FindControl(pt);
      if (control == nullptr || control->GetManager() != this) return false;
      int delta = static_cast<short>(HIWORD(wParam));
      TEventUI event;
      event.type = UiEventType::ScrollWheel;
      event.sender = control;
      event.wParam = MAKEWPARAM(delta < 0 ? 1 : 0, HIWORD(wParam));
      event.lParam = lParam;
      event.mousePos = pt;
      event.keyState = KeyModifierState();
      event.timestamp = GetTickCount();
      control->Event(event);
      // Hover follows the content that scrolled under the pointer.
      ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
      return false;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: {
      if (m_pRoot == nullptr) return false;
      CControlUI* target = msg == WM_KEYUP ? m_pEventKey : m_pFocus;
      if (target == nullptr) return false;
      TEventUI event;
      event.type = msg == WM_KEYDOWN ? UiEventType::KeyDown : msg == WM_KEYUP ? UiEventType::KeyUp : UiEventType::Char;
      event.sender = target;
      event.key = static_cast<wchar_t>(wParam);
      event.mousePos = m_ptLastMousePos;
      event.wParam = wParam;
      event.lParam = lParam;
      event.keyState = KeyModifierState();
      event.timestamp = GetTickCount();
      target->Event(event);
      if (msg == WM_KEYDOWN) m_pEventKey = m_pFocus;
      if (msg == WM_KEYUP) m_pEventKey = nullptr;
      return false;
    }
    case WM_SETCURSOR: {
      if (m_pRoot == nullptr || LOWORD(lParam) != HTCLIENT) return false;
      if (m_bMouseCapture) return true;
      POINT pt = {0, 0};
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_hWndPaint, &pt);
      CControlUI* control = FindControl(pt);
      if (control == nullptr || (control->GetControlFlags() & ControlFlagSetCursor) == 0) return false;
      TEventUI event;
      event.type = UiEventType::SetCursor;
      event.sender = control;
      event.mousePos = pt;
      event.wParam = wParam;
      event.lParam = lParam;
      event.keyState = KeyModifierState();
      event.timestamp = GetTickCount();
      control->Event(event);
      return true;
    }
    case WM_SETFOCUS: {
      if (m_pFocus != nullptr) {
        TEventUI event;
        event.type = UiEventType::SetFocus;
        event.sender = m_pFocus;
        event.wParam = wParam;
        event.lParam = lParam;
        event.timestamp = GetTickCount();
        m_pFocus->Event(event);
      }
      return false;
    }
    case WM_KILLFOCUS:
      if (m_bMouseCapture) ReleaseCapture();
      return false;
    case WM_NOTIFY: {
      if (lParam == 0) return false;
      auto* header = reinterpret_cast<const NMHDR*>(lParam);
      result = ::SendMessageW(header->hwndFrom, WM_NOTIFY + kReflectOffset, wParam, lParam);
      return true;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      if (lParam == 0) return false;
      result = ::SendMessageW(reinterpret_cast<HWND>(lParam), msg + kReflectOffset, wParam, lParam);
      return result != 0;
    }
    case kMsgProcessQueue:
      ProcessQueue();
      return false;
    default:
      return false;
  }
}

bool CPaintManagerUI::HandleMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!m_bMouseTracking) {
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWndPaint;
    track.dwHoverTime = 100;
    ::TrackMouseEvent(&track);
    m_bMouseTracking = true;
  }
  POINT pt = PointFromLParam(lParam);
  m_ptLastMousePos = pt;
  if (m_pRoot == nullptr) return false;
  CControlUI* newHover = FindControl(pt);
  if (newHover != nullptr && newHover->GetManager() != this) return false;

  TEventUI event;
  event.mousePos = pt;
  event.wParam = wParam;
  event.lParam = lParam;
  event.keyState = KeyModifierState();
  event.timestamp = GetTickCount();
  if (!m_bMouseCapture) {
    if (newHover != m_pEventHover && m_pEventHover != nullptr) {
      CControlUI* oldHover = m_pEventHover;
      event.type = UiEventType::MouseLeave;
      event.sender = oldHover;
      // Handlers may change the list: deliver from a snapshot to the ones still listed.
      CStdPtrArray leaveNeeded(m_aNeedMouseLeaveNeeded);
      for (int i = 0; i < leaveNeeded.GetSize(); ++i) {
        auto* control = static_cast<CControlUI*>(leaveNeeded.GetAt(i));
        if (m_aNeedMouseLeaveNeeded.Find(control) < 0) continue;
        TEventUI copy = event;
        control->Event(copy);
      }
      if (m_pEventHover == oldHover) {
        TEventUI copy = event;
        oldHover->Event(copy);
      }
      m_pEventHover = nullptr;
      if (m_hwndTooltip != nullptr) ::ShowWindow(m_hwndTooltip, SW_HIDE);
    }
    if (newHover != m_pEventHover && newHover != nullptr) {
      m_pEventHover = newHover;
      SendEventTo(newHover, event, UiEventType::MouseEnter);
    }
  }
  CControlUI* target = m_pEventClick != nullptr ? m_pEventClick : newHover;
  if (target != nullptr) SendEventTo(target, event, UiEventType::MouseMove);
  return false;
}

bool CPaintManagerUI::HandleButton(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (m_pRoot == nullptr) return false;
  POINT pt = PointFromLParam(lParam);
  if (msg == WM_CONTEXTMENU) ::ScreenToClient(m_hWndPaint, &pt);
  m_ptLastMousePos = pt;

  TEventUI event;
  event.mousePos = pt;
  event.wParam = wParam;
  event.lParam = lParam;
  event.keyState = static_cast<WORD>(wParam);
  event.timestamp = GetTickCount();

  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (!m_bNoActivate) ::SetFocus(m_hWndPaint);
      CControlUI* hit = FindControl(pt);
      if (hit == nullptr || hit->GetManager() != this) return false;
      if (msg == WM_LBUTTONDOWN) {
        SetCapture();
        m_pEventClick = hit;
        hit->SetFocus();
        SendEventTo(hit, event, UiEventType::ButtonDown);
      } else if (msg == WM_LBUTTONDBLCLK) {
        SendEventTo(hit, event, UiEventType::DblClick);
        m_pEventClick = hit;
      } else {
        hit->SetFocus();
        SetCapture();
        SendEventTo(hit, event, msg == WM_RBUTTONDOWN ? UiEventType::RButtonDown : UiEventType::MButtonDown);
        if (msg == WM_RBUTTONDOWN) {
          m_pEventRClick = hit;
        } else {
          m_pEventClick = hit;
        }
      }
      return false;
    }
    case WM_LBUTTONUP: {
      if (m_pEventClick == nullptr) return false;
      ReleaseCapture();
      CControlUI* click = m_pEventClick;
      m_pEventClick = nullptr;
      SendEventTo(click, event, UiEventType::ButtonUp);
      return false;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (m_bMouseCapture) ReleaseCapture();
      CControlUI* hit = FindControl(pt);
      if (msg == WM_RBUTTONUP) {
        m_pEventRClick = hit;
      } else {
        m_pEventClick = hit;
      }
      if (hit == nullptr) return false;
      SendEventTo(hit, event, msg == WM_RBUTTONUP ? UiEventType::RButtonUp : UiEventType::MButtonUp);
      return false;
    }
    case WM_CONTEXTMENU: {
      if (m_pEventRClick == nullptr) return false;
      ReleaseCapture();
      CControlUI* target = m_pEventRClick;
      event.keyState = 0;
      event.lParam = reinterpret_cast<LPARAM>(target);
      SendEventTo(target, event, UiEventType::ContextMenu);
      m_pEventRClick = nullptr;
      return false;
    }
    default:
      return false;
  }
}

bool CPaintManagerUI::HandleMouseHover(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  m_bMouseTracking = false;
  POINT pt = PointFromLParam(lParam);
  CControlUI* hit = FindControl(pt);
  if (hit == nullptr) return false;
  if (!hit->IsMouseEnabled() || !hit->IsEnabled()) return false;
  if (m_pEventHover != nullptr) {
    TEventUI event;
    event.type = UiEventType::MouseHover;
    event.sender = m_pEventHover;
    event.mousePos = pt;
    event.wParam = wParam;
    event.lParam = lParam;
    event.keyState = KeyModifierState();
    event.timestamp = GetTickCount();
    m_pEventHover->Event(event);
  }
  result = 0;
  if (hit->GetToolTip().IsEmpty()) return true;
  ShowToolTip(hit);
  return true;
}

void CPaintManagerUI::HandleMouseLeave() {
  if (m_hwndTooltip != nullptr) ::ShowWindow(m_hwndTooltip, SW_HIDE);
  if (!m_bMouseTracking) return;
  LPARAM position = -1;
  POINT pt = {0, 0};
  RECT window = {0, 0, 0, 0};
  ::GetCursorPos(&pt);
  ::GetWindowRect(m_hWndPaint, &window);
  if (!::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint && ::PtInRect(&window, pt)) {
    // Leaving for a child or the frame is not leaving the window's client area.
    if (::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLIENT) {
      ::ScreenToClient(m_hWndPaint, &pt);
      position = MAKELPARAM(pt.x, pt.y);
    }
  }
  ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, position);
  m_bMouseTracking = false;
}

void CPaintManagerUI::HandleClose() {
  TEventUI event;
  event.mousePos = m_ptLastMousePos;
  event.keyState = KeyModifierState();
  event.timestamp = GetTickCount();
  // Close every open gesture once, so no control is left hot or pressed.
  if (CControlUI* hover = m_pEventHover) {
    m_pEventHover = nullptr;
    SendEventTo(hover, event, UiEventType::MouseLeave);
  }
  if (CControlUI* click = m_pEventClick) {
    m_pEventClick = nullptr;
    SendEventTo(click, event, UiEventType::ButtonUp);
  }
  if (CControlUI* rclick = m_pEventRClick) {
    m_pEventRClick = nullptr;
    SendEventTo(rclick, event, UiEventType::RButtonUp);
  }
  SetFocus(nullptr);
  if (::GetActiveWindow() == m_hWndPaint) {
    HWND owner = ::GetWindow(m_hWndPaint, GW_OWNER);
    if (owner != nullptr) ::SetFocus(owner);
  }
  if (m_hwndTooltip != nullptr) {
    ::DestroyWindow(m_hwndTooltip);
    m_hwndTooltip = nullptr;
  }
}

}  // namespace ZQUI
