// CPaintManagerUI binds one native window to one tree of controls: it turns the window's messages
// into control events (hot, pushed, focused and key controls, capture, hover and mouse-leave
// tracking, tooltips, Tab and Alt-shortcut navigation), owns the attached tree, finds controls by
// name, point and class, runs per-control timers, delivers notifications synchronously or through a
// posted queue and deletes controls removed at run time through a delayed-cleanup list. Its
// painting half (paint_manager_paint.cpp) lays the tree out on WM_PAINT, paints it into a 32-bit
// back buffer or composes a layered window, keeps the window geometry properties and the DPI
// scale; its resource half (paint_manager_resources.cpp) holds skin locations, styles, default
// attribute lists and fonts. UI thread only.
#pragma once

#include <windows.h>

#include <map>

#include "archive/zip_reader.h"
#include "ui/control/shadow.h"
#include "ui/core/dpi.h"
#include "ui/core/dui_string.h"
#include "ui/core/font_info.h"
#include "ui/core/image_info.h"
#include "ui/core/res_info.h"
#include "ui/core/std_ptr_array.h"
#include "ui/core/std_string_ptr_map.h"
#include "ui/core/ui_event.h"
#include "ui/core/ui_notify.h"

namespace ZQUI {

class CControlUI;
struct tagTDrawInfo;

// Message posted to the window to delete the delayed-cleanup list and deliver queued notifications.
constexpr UINT kMsgProcessQueue = WM_APP + 1;
// Added to WM_NOTIFY, WM_COMMAND and WM_CTLCOLOR* when they are reflected to the child window.
constexpr UINT kReflectOffset = 0x2000;

class IMessageFilterUI {
 public:
  virtual LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class ITranslateAccelerator {
 public:
  // S_OK (0) means the message was consumed.
  virtual LRESULT TranslateAccelerator(MSG* msg) = 0;

 protected:
  ~ITranslateAccelerator() = default;
};

// Drag and drop is accepted as a setting only; a drag never starts.
class IDragDropUI;

// Posted to the window after SetDPI changed the scale.
constexpr UINT kMsgScaleChanged = WM_USER + 2;
// Sent to the tooltip window with a heap-allocated TToolTipRequest that the window frees.
constexpr UINT kMsgShowToolTip = 0x2E52;

struct tagTToolTipRequest {
  CDuiString text;
  RECT controlRect;  // screen coordinates
  int showMode;      // ToolTipType
  SIZE gap;
  int width;
};
using TToolTipRequest = tagTToolTipRequest;

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
  HWND GetTooltipWindow() const;
  CControlUI* GetRoot() const;
  POINT GetMousePos() const;
  // The window object bound to the window's user data by the window base.
  LPARAM GetMainWnd() const;
  int GetHoverTime() const;
  void SetHoverTime(int time);
  bool IsNoActivate() const;
  void SetNoActivate(bool noActivate);
  void UsedVirtualWnd(bool used);
  bool IsUsedVirtualWnd() const;

  static CPaintManagerUI* GetPaintManager(const wchar_t* name);
  static CStdPtrArray* GetPaintManagers();
  static bool LoadPlugin(const wchar_t* path);
  static CStdPtrArray* GetPlugins();

  // Message path: the loop gives each message to TranslateMessage first; the window procedure
  // hands what it leaves unhandled to MessageHandler.
  static void MessageLoop();
  static bool TranslateMessage(const LPMSG msg);
  bool TranslateAccelerator(LPMSG msg);
  bool PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Listeners.
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  bool AddMessageFilter(IMessageFilterUI* filter);
  bool RemoveMessageFilter(IMessageFilterUI* filter);
  bool AddTranslateAccelerator(ITranslateAccelerator* accelerator);
  bool RemoveTranslateAccelerator(ITranslateAccelerator* accelerator);

  // The window shadow, created when a tree is attached.
  CShadowUI* GetShadow();

  // Drag and drop is not supported: these keep drag mode off.
  bool EnableDragDrop(bool enable);
  void SetDragDrop(IDragDropUI* dragDrop);

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
  CControlUI* FindSubControlByClass(CControlUI* parent, const wchar_t* className, int index = 0);
  CStdPtrArray* FindSubControlsByClass(CControlUI* parent, const wchar_t* className);
  CStdPtrArray* GetFoundControls();

  // Focus and the click gesture.
  CControlUI* GetFocus() const;
  void SetFocus(CControlUI* control);
  void SetFocusNeeded(CControlUI* control);
  void SetNoFocusNeeded();
  bool SetNextTabControl(bool forward = true);
  void SetCapture();
  void ReleaseCapture();
  bool IsCaptured() const;
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

  // Radio groups of options; the manager owns the group arrays, not the controls.
  bool AddOptionGroup(const wchar_t* groupName, CControlUI* control);
  CStdPtrArray* GetOptionGroup(const wchar_t* groupName);
  void RemoveOptionGroup(const wchar_t* groupName, CControlUI* control);
  void RemoveAllOptionGroups();

  // Controls that want every MouseLeave, not only their own.
  void AddMouseLeaveNeeded(CControlUI* control);
  bool RemoveMouseLeaveNeeded(CControlUI* control);

  // Child windows hosted by controls (composed into a layered window).
  bool AddNativeWindow(CControlUI* control, HWND childWnd);
  bool RemoveNativeWindow(HWND childWnd);
  int GetNativeWindowCount() const;
  RECT GetNativeWindowRect(HWND childWnd) const;

  // Controls painted after the tree.
  bool AddPostPaint(CControlUI* control);
  bool RemovePostPaint(CControlUI* control);
  bool IsPostPaint(CControlUI* control) const;
  int GetPostPaintCount() const;
  bool SetPostPaintIndex(CControlUI* control, int index);

  // Window geometry, in skin units (the getters marked scaled pass through the DPI object).
  SIZE GetClientSize() const;
  SIZE GetInitSize();
  void SetInitSize(int cx, int cy);
  RECT GetSizeBox();                // scaled
  void SetSizeBox(RECT& rcSizeBox);
  RECT GetCaptionRect();            // scaled
  void SetCaptionRect(RECT& rcCaption);
  SIZE GetRoundCorner();            // scaled
  void SetRoundCorner(int cx, int cy);
  SIZE GetMinInfo();                // scaled
  void SetMinInfo(int cx, int cy);
  SIZE GetMaxInfo();                // scaled
  void SetMaxInfo(int cx, int cy);
  bool IsShowUpdateRect() const;
  void SetShowUpdateRect(bool show);

  // Opacity and layered composition.
  BYTE GetOpacity() const;
  void SetOpacity(BYTE opacity);
  bool IsLayered() const;
  void SetLayered(bool layered);
  RECT& GetLayeredInset();
  void SetLayeredInset(RECT& rcLayeredInset);
  BYTE GetLayeredOpacity() const;
  void SetLayeredOpacity(BYTE opacity);
  const wchar_t* GetLayeredImage() const;
  void SetLayeredImage(const wchar_t* image);

  // Text drawing settings read by the render engine.
  bool IsUseGdiplusText() const;
  void SetUseGdiplusText(bool use);
  int GetGdiplusTextRenderingHint() const;
  void SetGdiplusTextRenderingHint(int hint);

  // Layout and repaint requests.
  void NeedUpdate();
  bool IsUpdateNeeded() const;
  void Invalidate();
  void Invalidate(RECT& rc);
  void SetPainting(bool painting);
  bool IsPainting() const;
  // The back buffer (null before the first paint through it) and its pixels, bottom-up rows.
  HDC GetOffscreenDC() const;
  HBITMAP GetOffscreenBitmap() const;
  BYTE* GetOffscreenBits() const;

  // DPI.
  CDPI* GetDPIObj();
  void SetDPI(int dpi);
  static void SetAllDPI(int dpi);
  void ResetDPIAssets();

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
  static void SetHSL(bool useHSL, short hue, short saturation, short lightness);
  static HINSTANCE GetResourceDll();
  static void SetResourceDll(HINSTANCE instance);
  static CDuiString GetCurrentPath();
  static void SetCurrentPath(const wchar_t* path);
  static int GetResourceType();
  static void SetResourceType(int type);
  static void ReloadSkin();
  // Releases the process-wide resources; called once when the UI thread ends.
  static void Term();

  // Every resource kind exists per manager and once shared; lookups try the manager's own first.
  // With force-shared set, every add goes to the shared set.
  void SetForceUseSharedRes(bool force);
  bool IsForceUseSharedRes() const;

  // Default colours; a shared change also moves a manager value that still equals the old one.
  DWORD GetDefaultDisabledColor() const;
  void SetDefaultDisabledColor(DWORD color, bool shared = false);
  DWORD GetDefaultFontColor() const;
  void SetDefaultFontColor(DWORD color, bool shared = false);
  DWORD GetDefaultLinkFontColor() const;
  void SetDefaultLinkFontColor(DWORD color, bool shared = false);
  DWORD GetDefaultLinkHoverFontColor() const;
  void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
  DWORD GetDefaultSelectedBkColor() const;
  void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

  // Fonts by decimal id; a missing id falls back to the default font.
  TFontInfo* GetDefaultFontInfo();
  void SetDefaultFont(const wchar_t* fontName, int size, bool bold, bool underline, bool italic, bool strikeout,
                      bool shared = false);
  DWORD GetCustomFontCount(bool shared = false) const;
  void AddFontArray(const wchar_t* fontFile);
  HFONT AddFont(int id, const wchar_t* fontName, int size, bool bold, bool underline, bool italic, bool strikeout,
                bool shared = false);
  HFONT GetFont(int id);
  HFONT GetFont(const wchar_t* fontName, int size, bool bold, bool underline, bool italic, bool strikeout);
  int GetFontIndex(HFONT font, bool shared = false);
  int GetFontIndex(const wchar_t* fontName, int size, bool bold, bool underline, bool italic, bool strikeout,
                   bool shared = false);
  void RemoveFont(HFONT font, bool shared = false);
  void RemoveFont(int id, bool shared = false);
  void RemoveAllFonts(bool shared = false);
  TFontInfo* GetFontInfo(int id);
  TFontInfo* GetFontInfo(HFONT font);
  void RebuildFont(TFontInfo* info);
  // Every per-manager and shared font and both default fonts, at the present scale.
  void RebuildAllFonts();

  // Images by the exact name they were requested with.
  const TImageInfo* GetImage(const wchar_t* bitmap);
  const TImageInfo* GetImageEx(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                               bool useHSL = false, bool gdiplus = false, HINSTANCE instance = nullptr);
  const TImageInfo* AddImage(const wchar_t* bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                             bool useHSL = false, bool gdiplus = false, bool shared = false,
                             HINSTANCE instance = nullptr);
  const TImageInfo* AddImage(const wchar_t* bitmap, HBITMAP hBitmap, int width, int height, bool alpha,
                             bool shared = false);
  const TImageInfo* ModifyImage(const wchar_t* bitmap, HBITMAP hBitmap, LPBYTE bits, int width, int height,
                                bool alpha);
  void RemoveImage(const wchar_t* bitmap, bool shared = false);
  void RemoveAllImages(bool shared = false);
  static void ReloadSharedImages();
  void ReloadImages();
  static void AdjustSharedImagesHSL();
  void AdjustImagesHSL();
  const TImageInfo* GetImageString(const wchar_t* image, const wchar_t* modify = nullptr);

  // Parsed image descriptions, cached per (description, modifier) pair.
  tagTDrawInfo* GetDrawInfo(const wchar_t* image, const wchar_t* modify);
  void RemoveDrawInfo(const wchar_t* image, const wchar_t* modify);
  void RemoveAllDrawInfos();

  // Styles and default attribute lists: the manager's own first, then the shared ones.
  void AddStyle(const wchar_t* name, const wchar_t* list, bool shared = false);
  const wchar_t* GetStyle(const wchar_t* name) const;
  int RemoveStyle(const wchar_t* name, bool shared = false);
  const CStdStringPtrMap& GetStyles(bool shared = false) const;
  void RemoveAllStyle(bool shared = false);
  void AddDefaultAttributeList(const wchar_t* className, const wchar_t* list, bool shared = false);
  const wchar_t* GetDefaultAttributeList(const wchar_t* className) const;
  bool RemoveDefaultAttributeList(const wchar_t* className, bool shared = false);
  void RemoveAllDefaultAttributeList(bool shared = false);

  // Window custom attributes: the first value stored under a name stays.
  void AddWindowCustomAttribute(const wchar_t* name, const wchar_t* attr);
  const wchar_t* GetWindowCustomAttribute(const wchar_t* name) const;
  bool RemoveWindowCustomAttribute(const wchar_t* name);
  void RemoveAllWindowCustomAttribute();

  // Tree-search callbacks.
  static CControlUI* CALLBACK __FindControlFromNameHash(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromNameHashSet(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromPoint(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromName(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromCount(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromTab(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromShortcut(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromUpdate(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlFromClass(CControlUI* control, LPVOID data);
  static CControlUI* CALLBACK __FindControlsFromClass(CControlUI* control, LPVOID data);

 private:
  struct TimerInfo {
    CControlUI* control;
    UINT key;
    HWND window;
    UINT id;
    bool killed;
  };

  // Tab and Alt-shortcut search states.
  struct FindTabInfo {
    CControlUI* focus;
    CControlUI* last;
    bool forward;
    bool nextIsIt;
  };
  struct FindShortcut {
    wchar_t ch;
    bool pickNext;
  };

  void ProcessQueue();
  void PostQueueMessage();
  // Whether the focused rich edit takes Tab itself.
  bool FocusWantsTab() const;
  // Creates the window shadow for the attached tree.
  void AttachShadow();
  // Process-wide pen that outlines painted rectangles when show-update-rect is on.
  static HPEN UpdateRectPen();
  // Message handling, by concern.
  bool HandleMouseMove(WPARAM wParam, LPARAM lParam);
  bool HandleButton(UINT msg, WPARAM wParam, LPARAM lParam);
  bool HandleMouseHover(WPARAM wParam, LPARAM lParam, LRESULT& result);
  void HandleMouseLeave();
  void HandleClose();
  void ShowToolTip(CControlUI* control);
  // Painting half.
  void OnPaint();
  void OnPrintClient(HDC dc, LPARAM flags);
  void OnGetMinMaxInfo(MINMAXINFO* info) const;
  void ComposeLayered(const RECT& paint, int width, int height);
  void EnsureBackBuffer(int width, int height);
  void FreeBackBuffer();
  void FreeBackground();
  CControlUI* TabSearch(CControlUI* from, bool forward, CControlUI** lastSeen);
  static void FreeStringMap(CStdStringPtrMap& map);
  static void ReadFontMetrics(TFontInfo& info, HDC dc);

  CDuiString m_sName;
  HWND m_hWndPaint = nullptr;
  HDC m_hDcPaint = nullptr;
  HWND m_hwndTooltip = nullptr;
  int m_iHoverTime = 100;
  bool m_bNoActivate = false;
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
  bool m_bMouseTracking = false;
  bool m_bMouseCapture = false;
  bool m_bIsPainting = false;
  bool m_bUsedVirtualWnd = false;
  bool m_bAsyncNotifyPosted = false;
  bool m_bDragMode = false;
  bool m_bDragDrop = false;
  IDragDropUI* m_pDragDrop = nullptr;
  CStdPtrArray m_aNotifiers;
  CStdPtrArray m_aTimers;
  CStdPtrArray m_aTranslateAccelerator;
  CStdPtrArray m_aPreMessageFilters;
  CStdPtrArray m_aMessageFilters;
  std::map<CControlUI*, int> m_mapPostPaint;
  CStdPtrArray m_aNativeWindow;
  CStdPtrArray m_aNativeWindowControl;
  CStdPtrArray m_aDelayedCleanup;
  CStdPtrArray m_aAsyncNotify;
  CStdPtrArray m_aFoundControls;
  CStdPtrArray m_aNeedMouseLeaveNeeded;
  CStdStringPtrMap m_mNameHash;
  CStdStringPtrMap m_mOptionGroup;

  // Painting half.
  HDC m_hDcOffscreen = nullptr;
  HBITMAP m_hbmpOffscreen = nullptr;
  BYTE* m_pOffscreenBits = nullptr;
  SIZE m_szOffscreen = {0, 0};
  HDC m_hDcBackground = nullptr;
  HBITMAP m_hbmpBackground = nullptr;
  BYTE* m_pBackgroundBits = nullptr;
  SIZE m_szBackground = {0, 0};
  bool m_bShowUpdateRect = false;
  SIZE m_szMinWindow = {0, 0};
  SIZE m_szMaxWindow = {0, 0};
  SIZE m_szInitWindowSize = {0, 0};
  RECT m_rcSizeBox = {0, 0, 0, 0};
  SIZE m_szRoundCorner = {0, 0};
  RECT m_rcCaption = {0, 0, 0, 0};
  bool m_bOffscreenPaint = true;
  BYTE m_nOpacity = 0xFF;
  bool m_bLayered = false;
  RECT m_rcLayeredInset = {0, 0, 0, 0};
  bool m_bLayeredChanged = false;
  RECT m_rcLayeredUpdate = {0, 0, 0, 0};
  CDuiString m_sLayeredImage;
  bool m_bUseGdiplusText = false;
  int m_trh = 0;
  ULONG_PTR m_gdiplusToken = 0;
  CShadowUI m_shadow;
  CStdStringPtrMap m_mStyles;
  CStdStringPtrMap m_mDefaultAttributes;
  TFontInfo m_defaultFont;
  // Resource half: fonts, images, draw descriptions, colours, custom attributes, memory fonts.
  TResInfo m_ResInfo;
  bool m_bForceUseSharedRes = false;
  CDPI* m_pDPI = nullptr;
};

}  // namespace ZQUI
