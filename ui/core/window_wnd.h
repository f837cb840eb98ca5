// CWindowWnd wraps one native window: it registers the window class (or a superclass of a system
// class), creates the window with the object as creation parameter and binds the object to the
// handle, so that one static window procedure forwards every message to the virtual HandleMessage.
// It also offers show, modal loop, centring, icon and close helpers. A window and its object belong
// to the thread that created the window.
#pragma once

#include <windows.h>

namespace ZQUI {

class CWindowWnd {
 public:
  CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // Virtual operations, in the order of their table slots.
  virtual const wchar_t* GetWindowClassName() const = 0;
  // Null: the window has its own class rather than a superclass of a system class.
  virtual const wchar_t* GetSuperClassName() const;
  virtual UINT GetClassStyle() const;
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Called last for the window, after the handle was unbound; the base deletes nothing.
  virtual void OnFinalMessage(HWND hwnd);
  virtual ~CWindowWnd() = default;

  HWND GetHWND() const;
  operator HWND() const;

  void EnableUnicode();
  bool RegisterWindowClass();
  bool RegisterSuperclass();

  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT rc,
              HMENU menu = nullptr);
  HWND Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT,
              HMENU menu = nullptr);
  HWND CreateDuiWindow(HWND parent, const wchar_t* windowName, DWORD style = 0, DWORD exStyle = 0);
  HWND Subclass(HWND hwnd);
  void Unsubclass();
  void ShowWindow(bool show = true, bool takeFocus = true);
  UINT ShowModal();
  void ShowModalFake();
  void Close(UINT result = IDOK);
  void CenterWindow();
  void SetIcon(UINT resourceId);
  void ResizeClient(int cx = -1, int cy = -1);

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  static LRESULT CALLBACK __WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK __ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;
  WNDPROC m_OldWndProc;
  bool m_bSubclassed = false;
  bool m_bUnicode = false;
  bool m_bFakeModal = false;
};

}  // namespace ZQUI
