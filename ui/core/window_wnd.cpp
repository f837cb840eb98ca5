#include "ui/core/window_wnd.h"

#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

// Superclassed windows keep their object in this window property: their class may use the
// user-data slot itself.
constexpr const wchar_t* kControlProp = L"WndX";

HINSTANCE ModuleInstance() {
  HINSTANCE instance = CPaintManagerUI::GetInstance();
  return instance != nullptr ? instance : GetModuleHandleW(nullptr);
}

}  // namespace

CWindowWnd::CWindowWnd() : m_OldWndProc(::DefWindowProcW) {}

HWND CWindowWnd::GetHWND() const { return m_hWnd; }

CWindowWnd::operator HWND() const { return m_hWnd; }

void CWindowWnd::EnableUnicode() { m_bUnicode = true; }

const wchar_t* CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSW wc = {};
  wc.style = GetClassStyle();
  wc.lpfnWndProc = CWindowWnd::__WndProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = GetWindowClassName();
  ATOM atom = ::RegisterClassW(&wc);
  return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
      !::GetClassInfoExW(ModuleInstance(), GetSuperClassName(), &wc)) {
    return false;
  }
  m_OldWndProc = wc.lpfnWndProc;
  wc.lpfnWndProc = CWindowWnd::__ControlProc;
  wc.hInstance = ModuleInstance();
  wc.lpszClassName = GetWindowClassName();
  ATOM atom = ::RegisterClassExW(&wc);
  return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle,
                        const RECT rc, HMENU menu) {
  return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left,
                rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y,
                        int cx, int cy, HMENU menu) {
  if (GetSuperClassName() != nullptr && !RegisterSuperclass()) return nullptr;
  if (GetSuperClassName() == nullptr && !RegisterWindowClass()) return nullptr;
  m_hWnd = ::CreateWindowExW(exStyle, GetWindowClassName(), name, style, x, y, cx, cy, parent, menu,
                             ModuleInstance(), this);
  return m_hWnd;
}

HWND CWindowWnd::CreateDuiWindow(HWND parent, const wchar_t* windowName, DWORD style,
                                 DWORD exStyle) {
  return Create(parent, windowName, style, exStyle, 0, 0, 0, 0, nullptr);
}

HWND CWindowWnd::Subclass(HWND hwnd) {
  if (!::IsWindow(hwnd)) return nullptr;
  ::SetLastError(0);
  LONG_PTR old = ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC,
                                     reinterpret_cast<LONG_PTR>(CWindowWnd::__WndProc));
  if (old == 0 && ::GetLastError() != 0) return nullptr;
  m_OldWndProc = reinterpret_cast<WNDPROC>(old);
  m_bSubclassed = true;
  m_hWnd = hwnd;
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return m_hWnd;
}

void CWindowWnd::Unsubclass() {
  if (!::IsWindow(m_hWnd) || !m_bSubclassed) return;
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
  m_OldWndProc = ::DefWindowProcW;
  m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!::IsWindow(m_hWnd)) return;
  ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
  if (!::IsWindow(m_hWnd)) return 0;
  UINT result = 0;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  if (owner != nullptr) ::EnableWindow(owner, FALSE);
  MSG msg = {};
  bool quit = false;
  while (::IsWindow(m_hWnd)) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      break;
    }
    if (got == -1) break;
    if (msg.message == WM_CLOSE && msg.hwnd == m_hWnd) {
      result = static_cast<UINT>(msg.wParam);
      if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
      }
    }
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (owner != nullptr) {
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
  }
  if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
  return result;
}

void CWindowWnd::ShowModalFake() {
  if (!::IsWindow(m_hWnd)) return;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (owner != nullptr) ::EnableWindow(owner, FALSE);
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  m_bFakeModal = true;
}

void CWindowWnd::Close(UINT result) {
  if (m_bFakeModal) {
    HWND owner = ::IsWindow(m_hWnd) ? ::GetWindow(m_hWnd, GW_OWNER) : nullptr;
    if (owner != nullptr) {
      ::EnableWindow(owner, TRUE);
      ::SetFocus(owner);
    }
    m_bFakeModal = false;
  }
  if (!::IsWindow(m_hWnd)) return;
  ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

void CWindowWnd::CenterWindow() {
  if (!::IsWindow(m_hWnd)) return;
  RECT dlg = {};
  ::GetWindowRect(m_hWnd, &dlg);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
  RECT work = info.rcWork;
  RECT ref = work;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (owner != nullptr) ::GetWindowRect(owner, &ref);
  int width = dlg.right - dlg.left;
  int height = dlg.bottom - dlg.top;
  int x = (ref.left + ref.right) / 2 - width / 2;
  int y = (ref.top + ref.bottom) / 2 - height / 2;
  // The upper clamp first, so a window larger than the work area keeps its top-left corner visible.
  if (x > work.right - width) x = work.right - width;
  if (x < work.left) x = work.left;
  if (y > work.bottom - height) y = work.bottom - height;
  if (y < work.top) y = work.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId) {
  if (!::IsWindow(m_hWnd)) return;
  int cx = (::GetSystemMetrics(SM_CXICON) + 15) & ~15;
  int cy = (::GetSystemMetrics(SM_CYICON) + 15) & ~15;
  HINSTANCE instance = ModuleInstance();
  HANDLE big = ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy,
                            LR_DEFAULTCOLOR);
  if (big != nullptr) ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  HANDLE small = ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy,
                              LR_DEFAULTCOLOR);
  if (small != nullptr) {
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  if (!::IsWindow(m_hWnd)) return;
  RECT client = {};
  RECT window = {};
  if (!::GetClientRect(m_hWnd, &client) || !::GetWindowRect(m_hWnd, &window)) return;
  if (cx == -1) cx = client.right;
  if (cy == -1) cy = client.bottom;
  // The frame is measured rather than derived from the styles: a window that answers
  // WM_NCCALCSIZE itself (the skinned windows have no frame at all) keeps its styles' frame bits.
  int frameX = (window.right - window.left) - client.right;
  int frameY = (window.bottom - window.top) - client.bottom;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx + frameX, cy + frameY,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_OldWndProc, m_hWnd, msg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (msg == WM_NCCREATE) {
    // A window of this class made without its object (a foreign CreateWindowExW) stays unbound.
    auto* create = reinterpret_cast<LPCREATESTRUCTW>(lParam);
    self = create != nullptr ? static_cast<CWindowWnd*>(create->lpCreateParams) : nullptr;
    if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    self->m_hWnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY && self != nullptr) {
      LRESULT result = ::CallWindowProcW(self->m_OldWndProc, hwnd, msg, wParam, lParam);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (self->m_bSubclassed) self->Unsubclass();
      self->m_hWnd = nullptr;
      self->OnFinalMessage(hwnd);
      return result;
    }
  }
  if (self != nullptr) return self->HandleMessage(msg, wParam, lParam);
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::__ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<LPCREATESTRUCTW>(lParam);
    self = create != nullptr ? static_cast<CWindowWnd*>(create->lpCreateParams) : nullptr;
    if (self == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    self->m_hWnd = hwnd;
    ::SetPropW(hwnd, kControlProp, static_cast<HANDLE>(self));
  } else {
    self = static_cast<CWindowWnd*>(::GetPropW(hwnd, kControlProp));
    if (msg == WM_NCDESTROY && self != nullptr) {
      LRESULT result = ::CallWindowProcW(self->m_OldWndProc, hwnd, msg, wParam, lParam);
      if (self->m_bSubclassed) self->Unsubclass();
      ::RemovePropW(hwnd, kControlProp);
      self->m_hWnd = nullptr;
      self->OnFinalMessage(hwnd);
      return result;
    }
  }
  if (self != nullptr) return self->HandleMessage(msg, wParam, lParam);
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace ZQUI
