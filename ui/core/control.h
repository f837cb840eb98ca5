// CControlUI: the root of every element of a skinned window. It holds what all controls share
// (name, texts, colours, images, borders, geometry constraints, visibility and input flags, tooltip,
// cursor, user data, custom attributes), reads the generic skin attributes, computes its own
// rectangle, asks the paint manager to repaint or re-lay-out, receives events and paints its phases.
// UI thread only.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "ui/core/control_flags.h"
#include "ui/core/dui_string.h"
#include "ui/core/event_source.h"
#include "ui/core/std_string_ptr_map.h"
#include "ui/core/ui_event.h"
#include "ui/core/ui_notify.h"

namespace ZQUI {

class CPaintManagerUI;

struct tagTPercentInfo {
  double left;
  double top;
  double right;
  double bottom;
};
using TPercentInfo = tagTPercentInfo;

// Where the paint manager's tooltip shows relative to the control.
enum ToolTipType : int {
  ToolTipLeft = 0,
  ToolTipTop = 1,
  ToolTipRight = 2,
  ToolTipBottom = 3,
};

// Bits of the float alignment (the text-alignment style bits).
enum : UINT {
  FloatAlignCenter = 0x1,
  FloatAlignRight = 0x2,
  FloatAlignVCenter = 0x4,
  FloatAlignBottom = 0x8,
};

// Largest fixed, minimum or maximum length; also the default maximum size.
constexpr int kMaxControlLength = 9999999;

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;
  virtual ~CControlUI();

  virtual CDuiString GetName() const;
  virtual const CDuiString& GetNameRef() const;
  virtual void SetName(const wchar_t* name);
  virtual const wchar_t* GetClass() const;
  virtual void* GetInterface(const wchar_t* name);
  virtual UINT GetControlFlags() const;
  virtual bool Activate();
  virtual CPaintManagerUI* GetManager() const;
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  virtual CControlUI* GetParent() const;
  virtual bool IsContainerControl() const;
  virtual void RemoveAll(bool delayedDestroy = true);

  virtual CDuiString GetText() const;
  virtual void SetText(const wchar_t* text);
  virtual CDuiString GetHotText() const;
  virtual void SetHotText(const wchar_t* text);
  virtual bool IsResourceText() const;
  virtual void SetResourceText(bool resource);
  virtual bool IsDragEnabled() const;
  virtual void SetDragEnable(bool enable);
  virtual bool IsDropEnabled() const;
  virtual void SetDropEnable(bool enable);
  virtual bool IsRichEvent() const;
  virtual void SetRichEvent(bool enable);

  virtual RECT GetRelativePos() const;
  virtual RECT GetClientPos() const;
  virtual void SetPos(RECT rc, bool needInvalidate = true);
  virtual void Move(SIZE offset, bool needInvalidate = true);
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual int GetX() const;
  virtual int GetY() const;
  virtual RECT GetPadding() const;
  virtual void SetPadding(RECT rc, bool needUpdate = true);
  virtual void SetFixedXY(SIZE xy);
  virtual void SetFixedWidth(int cx, bool needUpdate = true);
  virtual void SetFixedHeight(int cy, bool needUpdate = true);
  virtual void SetMinWidth(int cx);
  virtual void SetMinHeight(int cy);
  virtual void SetMaxWidth(int cx);
  virtual void SetMaxHeight(int cy);
  virtual TPercentInfo GetFloatPercent() const;
  virtual void SetFloatPercent(TPercentInfo percent);
  virtual void SetFloatAlign(UINT align);
  virtual UINT GetFloatAlign() const;

  virtual CDuiString GetToolTip() const;
  virtual void SetToolTip(const wchar_t* text);
  virtual void SetToolTipWidth(int width);
  virtual int GetToolTipWidth() const;
  virtual void SetToolTipGap(SIZE gap);
  virtual SIZE GetToolTipGap() const;
  virtual void SetToolTipShowMode(ToolTipType mode);
  virtual ToolTipType GetToolTipShowMode() const;

  virtual WORD GetCursor() const;
  virtual HCURSOR GetHCursor() const;
  virtual void SetCursor(HCURSOR cursor);
  virtual void SetCursor(WORD cursor);

  virtual wchar_t GetShortcut() const;
  virtual void SetShortcut(wchar_t ch);
  virtual bool IsContextMenuUsed() const;
  virtual void SetContextMenuUsed(bool menuUsed);
  virtual const CDuiString& GetUserData() const;
  virtual void SetUserData(const wchar_t* text);
  virtual void SetMapUserData(const wchar_t* key, const wchar_t* value);
  virtual const wchar_t* GetMapUserData(const wchar_t* key) const;
  virtual void ClearMapUserData();
  virtual void EraseMapUserData(const wchar_t* key);
  virtual UINT_PTR GetTag() const;
  virtual void SetTag(UINT_PTR tag);

  virtual void SetVisible(bool visible = true, bool sendFocus = true);
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const;
  virtual void SetEnabled(bool enable = true);
  virtual bool IsMouseEnabled() const;
  virtual void SetMouseEnabled(bool enable = true);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool enable = true);
  virtual bool IsFocused() const;
  virtual void SetFocus();
  virtual void SetFloat(bool isFloat = true);

  virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);
  virtual CControlUI* Clone();
  virtual void CopyData(CControlUI* control);

  virtual void Init();
  virtual void DoInit();
  virtual void Event(TEventUI& event);
  virtual void DoEvent(TEventUI& event);
  virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
  virtual SIZE EstimateSize(SIZE available);

  virtual bool Paint(HDC hDC, const RECT& paint, CControlUI* stopControl);
  virtual bool DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl);
  virtual void PaintBkColor(HDC hDC);
  virtual void PaintBkImage(HDC hDC);
  virtual void PaintStatusImage(HDC hDC);
  virtual void PaintForeColor(HDC hDC);
  virtual void PaintForeImage(HDC hDC);
  virtual void PaintText(HDC hDC);
  virtual void PaintBorder(HDC hDC);
  virtual void DoPostPaint(HDC hDC, const RECT& paint);

  // Factory entry: a plain control.
  static CControlUI* CreateControl();

  const RECT& GetPos() const;
  void SetOnlyPos(RECT& rc);
  bool IsVisible() const;
  bool GetVisible() const;
  SIZE GetFixedXY() const;
  SIZE GetFixedSize() const;
  int GetFixedWidth() const;
  int GetFixedHeight() const;
  int GetMinWidth() const;
  int GetMaxWidth() const;
  int GetMinHeight() const;
  int GetMaxHeight() const;
  bool IsFloat() const;
  bool SetTimer(UINT timerId, UINT elapse);
  void KillTimer(UINT timerId);

  const wchar_t* GetGradient() const;
  void SetGradient(const wchar_t* gradient);
  DWORD GetBkColor() const;
  void SetBkColor(DWORD color, bool invalidate = true);
  DWORD GetBkColor2() const;
  void SetBkColor2(DWORD color);
  DWORD GetBkColor3() const;
  void SetBkColor3(DWORD color);
  DWORD GetDisableBkColor() const;
  void SetDisableBkColor(DWORD color);
  DWORD GetForeColor() const;
  void SetForeColor(DWORD color);
  DWORD GetBorderColor() const;
  void SetBorderColor(DWORD color);
  DWORD GetFocusBorderColor() const;
  void SetFocusBorderColor(DWORD color);
  DWORD GetFocusBKColor() const;
  void SetFocusBKColor(DWORD color);
  bool IsColorHSL() const;
  void SetColorHSL(bool colorHSL);
  const wchar_t* GetBkImage() const;
  void SetBkImage(const wchar_t* image);
  const wchar_t* GetForeImage() const;
  void SetForeImage(const wchar_t* image);

  int GetBorderSize() const;
  void SetBorderSize(int size);
  void SetBorderSize(RECT rc);
  RECT GetBorderRectSize() const;
  SIZE GetBorderRound() const;
  void SetBorderRound(SIZE round);
  int GetLeftBorderSize() const;
  void SetLeftBorderSize(int size);
  int GetTopBorderSize() const;
  void SetTopBorderSize(int size);
  int GetRightBorderSize() const;
  void SetRightBorderSize(int size);
  int GetBottomBorderSize() const;
  void SetBottomBorderSize(int size);
  int GetBorderStyle() const;
  void SetBorderStyle(int style);

  bool DrawImage(HDC hDC, const wchar_t* image, const wchar_t* modify = nullptr);
  void Invalidate();
  bool IsUpdateNeeded() const;
  void NeedUpdate();
  void NeedParentUpdate();
  DWORD GetAdjustColor(DWORD color) const;

  void SetVirtualWnd(const wchar_t* value);
  CDuiString GetVirtualWnd() const;

  void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
  const wchar_t* GetCustomAttribute(const wchar_t* name) const;
  bool RemoveCustomAttribute(const wchar_t* name);
  void RemoveAllCustomAttribute();
  CControlUI* ApplyAttributeList(const wchar_t* list);
  void setInstance(HINSTANCE instance);
  HINSTANCE GetInstance() const;

  // Deliveries (events, notifications, observer calls) are counted; a container disposing of a
  // control that is delivering defers the deletion until the outermost delivery has returned.
  bool IsInDispatch() const;
  void BeginDispatch();
  // Ends one delivery; true when the control was deleted because a deletion was pending.
  bool EndDispatch();
  // Deletes the control now, or as soon as its current delivery returns.
  void DeleteWhenIdle();

  CEventSource OnInit;
  CEventSource OnDestroy;
  CEventSource OnSize;
  CEventSource OnEvent;
  CEventSource OnNotify;

 protected:
  // Hands an unhandled event to the parent, keeping the parent alive for the call.
  void PassEventToParent(TEventUI& event);
  // A mouse event that reaches a control whose mouse input is off goes to its parent (or, at the
  // root, to the base handling). True when `event` was such an event and has been handed on.
  bool HandOffMouseEventWhenDisabled(TEventUI& event);
  // Moves the manager's focus to nothing when this control holds it.
  void DropManagerFocus();

  // Scaled copies of the geometry, each with the scale it was computed at (0 = stale).
  struct ScaledRect {
    RECT value;
    UINT scale;
  };
  struct ScaledSize {
    SIZE value;
    UINT scale;
  };
  UINT CurrentScale() const;
  int ScaleValue(int value) const;

  CPaintManagerUI* m_pManager = nullptr;
  CControlUI* m_pParent = nullptr;
  CDuiString m_sVirtualWnd;
  CDuiString m_sName;
  bool m_bUpdateNeeded = true;
  bool m_bMenuUsed = false;
  RECT m_rcItem = {0, 0, 0, 0};
  RECT m_rcPadding = {0, 0, 0, 0};
  SIZE m_cXY = {0, 0};
  SIZE m_cxyFixed = {0, 0};
  SIZE m_cxyMin = {0, 0};
  SIZE m_cxyMax = {kMaxControlLength, kMaxControlLength};
  SIZE m_szToolTipGap = {0, 0};
  mutable ScaledRect m_rcPaddingScaled = {{0, 0, 0, 0}, 0};
  mutable ScaledSize m_cXYScaled = {{0, 0}, 0};
  mutable ScaledSize m_cxyFixedScaled = {{0, 0}, 0};
  mutable ScaledSize m_cxyMinScaled = {{0, 0}, 0};
  mutable ScaledSize m_cxyMaxScaled = {{0, 0}, 0};
  bool m_bVisible = true;
  bool m_bInternVisible = true;
  bool m_bEnabled = true;
  bool m_bMouseEnabled = true;
  bool m_bKeyboardEnabled = true;
  bool m_bFocused = false;
  bool m_bFloat = false;
  TPercentInfo m_piFloatPercent = {0, 0, 0, 0};
  UINT m_uFloatAlign = 0;
  bool m_bSetPos = false;  // inside the size event source
  bool m_bRichEvent = false;
  bool m_bDragEnabled = false;
  bool m_bDropEnabled = false;
  bool m_bResourceText = false;
  CDuiString m_sText;
  CDuiString m_sHotText;
  CDuiString m_sToolTip;
  wchar_t m_chShortcut = 0;
  CDuiString m_sUserData;
  UINT_PTR m_pTag = 0;
  CDuiString m_sGradient;
  DWORD m_dwBackColor = 0;
  DWORD m_dwBackColor2 = 0;
  DWORD m_dwBackColor3 = 0;
  DWORD m_dwDisabledBkColor = 0;
  DWORD m_dwForeColor = 0;
  CDuiString m_sBkImage;
  CDuiString m_sForeImage;
  DWORD m_dwBorderColor = 0;
  DWORD m_dwFocusBorderColor = 0;
  DWORD m_dwFocusBkColor = 0;
  bool m_bColorHSL = false;
  int m_nBorderSize = 0;
  int m_nBorderStyle = PS_SOLID;
  int m_nTooltipWidth = 300;
  WORD m_wCursor = 0;
  SIZE m_cxyBorderRound = {0, 0};
  RECT m_rcPaint = {0, 0, 0, 0};
  RECT m_rcBorderSize = {0, 0, 0, 0};
  HINSTANCE m_instance = nullptr;
  HCURSOR m_hCursor = nullptr;
  std::map<std::wstring, std::wstring> m_mapUserData;
  CStdStringPtrMap m_mCustomAttrHash;
  ToolTipType m_toolTipType = ToolTipBottom;

 private:
  int m_nDispatchDepth = 0;
  bool m_bDeletePending = false;
};

}  // namespace ZQUI
