// CPaintManagerUI binds one native window to one tree of controls: it owns the attached tree,
// finds controls by name and point, moves focus, runs per-control timers, delivers notifications
// and deletes controls removed at run time through a delayed-cleanup list. Its resource half
// (skin locations, styles, default attribute lists, fonts) and its painting half (layout on
// WM_PAINT, the offscreen bitmap, DPI) share this class. UI thread only.
//
// Present so far: binding (Init), tree ownership and lookup, focus, timers, synchronous and queued
// notifications, delayed cleanup with its queue message, post-paint membership, the DPI object,
// invalidation, skin locations and the resource archive, styles, default attribute lists, the
// default font record and the HSL values. Window message routing to controls (mouse, keys, hover,
// tooltip, Tab and shortcut navigation), painting, layered windows, images, draw descriptions and
// the per-id font table are not present yet.
#pragma once

#include <windows.h>

#include <map>

#include "archive/zip_reader.h"
#include "ui/core/dpi.h"
#include "ui/core/dui_string.h"
#include "ui/core/font_info.h"
#include "ui/core/std_ptr_array.h"
#include "ui/core/std_string_ptr_map.h"
#include "ui/core/ui_event.h"
#include "ui/core/ui_notify.h"

namespace ZQUI {

class CControlUI;
struct tagTDrawInfo;

// Message posted to the window to delete the delayed-cleanup list and deliver queued notifications.
constexpr UINT kMsgProcessQueue = WM_APP + 1;

class IMessageFilterUI {
 public:
  virtual LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  void Init(HWND window, const wchar_t* name = nullptr);
  bool IsValid() const;
  HWND GetPaintWindow() const;
  HDC GetPaintDC() const;
  CControlUI* GetRoot() const;
  POINT GetMousePos() const;
  void UsedVirtualWnd(bool used);
  bool IsUsedVirtualWnd() const;

  static CPaintManagerUI* GetPaintManager(const wchar_t* name);
  static CStdPtrArray* GetPaintManagers();

  bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Tree and lookup.
  bool AttachDialog(CControlUI* root);
  bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
  void ReapObjects(CControlUI* control);
  void AddDelayedCleanup(CControlUI* control);
  int GetDelayedCleanupCount() const;
  CControlUI* FindControl(POINT pt) const;
  CControlUI* FindControl(const wchar_t* name) const;
  CControlUI* FindSubControlByPoint(CControlUI* parent, POINT pt) const;
  CControlUI* FindSubControlByName(CControlUI* parent, const wchar_t* name) const;

  // Focus and the click gesture.
  CControlUI* GetFocus() const;
  void SetFocus(CControlUI* control);
  void SetEventControl(CControlUI* control);

  // Timers keyed by control and the caller's number.
  bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
  bool KillTimer(CControlUI* control, UINT timerId);
  void KillTimer(CControlUI* control);
  void RemoveAllTimers();

  // Notifications.
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  void SendNotify(TNotifyUI& msg, bool async = false);
  void SendNotify(CControlUI* control, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0,
                  bool async = false);

  // Controls painted after the tree.
  bool AddPostPaint(CControlUI* control);
  bool RemovePostPaint(CControlUI* control);
  bool IsPostPaint(CControlUI* control) const;
  int GetPostPaintCount() const;

  // Layout and repaint requests.
  void NeedUpdate();
  bool IsUpdateNeeded() const;
  void Invalidate();
  void Invalidate(RECT& rc);
  CDPI* GetDPIObj();

  // Skin locations and the resource archive (process-wide).
  static HINSTANCE GetInstance();
  static void SetInstance(HINSTANCE instance);
  static CDuiString GetInstancePath();
  static CDuiString GetResourcePath();
  static void SetResourcePath(const wchar_t* path);
  static const CDuiString& GetResourceZip();
  static const CDuiString& GetResourceZipPwd();
  static bool IsCachedResourceZip();
  static HZIP GetResourceZipHandle();
  static void SetResourceZip(const void* data, unsigned size, const wchar_t* password = nullptr);
  static void SetResourceZip(const wchar_t* zip, bool cached = false, const wchar_t* password = nullptr);
  static bool GetHSL(short* hue, short* saturation, short* lightness);
  // Releases the process-wide resources; called once when the UI thread ends.
  static void Term();

  // Styles and default attribute lists: the manager's own first, then the shared ones.
  void AddStyle(const wchar_t* name, const wchar_t* list, bool shared = false);
  const wchar_t* GetStyle(const wchar_t* name) const;
  void RemoveAllStyle(bool shared = false);
  void AddDefaultAttributeList(const wchar_t* className, const wchar_t* list, bool shared = false);
  const wchar_t* GetDefaultAttributeList(const wchar_t* className) const;
  bool RemoveDefaultAttributeList(const wchar_t* className, bool shared = false);
  void RemoveAllDefaultAttributeList(bool shared = false);
  TFontInfo* GetDefaultFontInfo();
  // Parsed image descriptions are not cached yet: always null.
  tagTDrawInfo* GetDrawInfo(const wchar_t* image, const wchar_t* modify);

  // Tree-search callbacks.
  static CControlUI* CALLBACK __FindControlFromNameHash(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromNameHashSet(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromPoint(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromName(CControlUI* control, LPVOID data);

 private:
  struct TimerInfo {
    CControlUI* control;
    UINT key;
    HWND window;
    UINT id;
    bool killed;
  };

  void ProcessQueue();
  void PostQueueMessage();
  static void FreeStringMap(CStdStringPtrMap& map);
  static void ReadFontMetrics(TFontInfo& info, HDC dc);

  CDuiString m_sName;
  HWND m_hWndPaint = nullptr;
  HDC m_hDcPaint = nullptr;
  CControlUI* m_pRoot = nullptr;
  CControlUI* m_pFocus = nullptr;
  CControlUI* m_pEventHover = nullptr;
  CControlUI* m_pEventClick = nullptr;
  CControlUI* m_pEventRClick = nullptr;
  CControlUI* m_pEventKey = nullptr;
  POINT m_ptLastMousePos = {-1, -1};
  UINT m_uTimerID = 0x1000;
  bool m_bFirstLayout = true;
  bool m_bUpdateNeeded = false;
  bool m_bFocusNeeded = false;
  bool m_bUsedVirtualWnd = false;
  bool m_bAsyncNotifyPosted = false;
  CStdPtrArray m_aNotifiers;
  CStdPtrArray m_aTimers;
  std::map<CControlUI*, int> m_mapPostPaint;
  CStdPtrArray m_aDelayedCleanup;
  CStdPtrArray m_aAsyncNotify;
  CStdPtrArray m_aFoundControls;
  CStdStringPtrMap m_mNameHash;
  CStdStringPtrMap m_mStyles;
  CStdStringPtrMap m_mDefaultAttributes;
  TFontInfo m_defaultFont;
  CDPI* m_pDPI = nullptr;
};

}  // namespace ZQUI
