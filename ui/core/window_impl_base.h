// WindowImplBase: the skinned, borderless window every application window builds on. On WM_CREATE
// it strips the caption style, binds its paint manager, builds the control tree from the skin
// document, attaches it, creates the shadow and sets the DPI scale; afterwards it drags the window by
// its caption area and resizes it by its size box through WM_NCHITTEST, removes the non-client
// frame, keeps the window region rounded and routes notifications through its message map.
// UI thread only.
#pragma once

#include <windows.h>

#include "ui/core/dialog_builder.h"
#include "ui/core/dui_string.h"
#include "ui/core/notify_pump.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"
#include "ui/core/window_wnd.h"

namespace ZQUI {

class CControlUI;

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
 public:
  // Text of the message box shown when the main window's skin cannot be loaded.
  static constexpr const wchar_t* kSkinLoadFailedText = L"加载资源文件失败：";
  static constexpr const wchar_t* kSkinLoadFailedCaption = L"Kestrin";
  // DPI changes closer together than this are handled once.
  static constexpr DWORD kDpiChangeInterval = 100;

  WindowImplBase() = default;

  // Virtual operations, in the order of their table slots (the first six come from CWindowWnd).
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;
  ~WindowImplBase() override = default;
  virtual void InitResource();
  virtual void InitWindow();
  virtual void OnClick(TNotifyUI& msg);
  virtual bool IsInStaticControl(CControlUI* control);
  virtual CDuiString GetSkinType();
  // File name, or the decimal resource id when GetSkinType is not empty, of the skin document.
  virtual CDuiString GetSkinFile() = 0;
  virtual const wchar_t* GetManagerName();
  virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
  virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcActivate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcCalcSize(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcPaint(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnNcHitTest(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnDpiChange(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnChar(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnSetFocus(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
  virtual LONG GetStyle();

  // INotifyUI: hands the notification to the message map (and virtual windows).
  void Notify(TNotifyUI& msg) override;
  // IMessageFilterUI, as the manager's pre-message filter: Return and Escape key-downs.
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // IDialogBuilderCallback: no controls of its own.
  CControlUI* CreateControl(const wchar_t* className) override;
  // IQueryControlText: no texts of its own.
  const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) override;

  CPaintManagerUI* GetPaintManager();

  DUI_DECLARE_MESSAGE_MAP()

 protected:
  CPaintManagerUI m_pm;

 private:
  // True for a window with a parent or owner (a tooltip, a pop-up): when its skin cannot be
  // loaded its creation fails, while the main window shows the message box and ends the process.
  bool IsSecondaryWindow() const;
  void SwapMaxRestoreButtons(bool maximized);

  static DWORD s_lastDpiChangeTick;
  static bool s_dpiChangeSeen;
};

}  // namespace ZQUI
