// CContainerUI: a control that owns an ordered list of children. It propagates manager, visibility
// and enabled state, registers child names with the paint manager, lays out floating children,
// owns up to two scroll bars and scrolls its children, paints them clipped to its client area and
// implements the tree search used for hit testing and lookup. The plain container gives every child
// the whole client area; the box layouts distribute it along one axis. UI thread only.
#pragma once

#include <cstdint>

#include "ui/core/control.h"
#include "ui/core/std_ptr_array.h"

namespace ZQUI {

class CScrollBarUI;

class IContainerUI {
 public:
  virtual CControlUI* GetItemAt(int index) const = 0;
  virtual int GetItemIndex(CControlUI* control) const = 0;
  virtual bool SetItemIndex(CControlUI* control, int newIndex, bool needUpdate = true) = 0;
  virtual int GetCount() const = 0;
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  virtual bool Remove(CControlUI* control, bool delayedDestroy = true) = 0;
  virtual bool RemoveAt(int index, bool delayedDestroy = true) = 0;
  virtual void RemoveAll(bool delayedDestroy = true) = 0;

 protected:
  ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  // Deepest control tree a container accepts; every recursive walk of the tree stays within it.
  static constexpr int kMaxTreeDepth = 256;
  // Identifier of the smooth-wheel animation timer.
  static constexpr UINT kWheelTimerId = 31249;
  // Steady clock of the wheel filter, in milliseconds. Null restores the system's steady clock;
  // tests step a clock of their own instead of relying on the scheduler.
  using WheelClock = int64_t (*)();
  static void SetWheelClock(WheelClock clock);

  CContainerUI();
  ~CContainerUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int newIndex, bool needUpdate = true) override;
  int GetCount() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool delayedDestroy = true) override;
  bool RemoveAt(int index, bool delayedDestroy = true) override;
  void RemoveAll(bool delayedDestroy = true) override;

  virtual RECT GetInset() const;
  virtual void SetInset(RECT rc);
  virtual int GetChildPadding() const;
  virtual void SetChildPadding(int padding);
  virtual UINT GetChildAlign() const;
  virtual void SetChildAlign(UINT align);
  virtual UINT GetChildVAlign() const;
  virtual void SetChildVAlign(UINT align);
  virtual bool IsAutoDestroy() const;
  virtual void SetAutoDestroy(bool autoDestroy);
  virtual bool IsDelayedDestroy() const;
  virtual void SetDelayedDestroy(bool delayed);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool enable = true);
  virtual int FindSelectable(int index, bool forward = true) const;
  virtual CControlUI* FindItmeControl(const wchar_t* name) const;
  virtual SIZE GetScrollPos() const;
  virtual SIZE GetScrollRange() const;
  virtual void SetScrollPos(SIZE pos, bool notify = true, bool tools = true);
  virtual void SetScrollStepSize(int size);
  virtual int GetScrollStepSize() const;
  virtual void LineUp(bool notify = true);
  virtual void LineDown(bool tools = true);
  virtual void PageUp();
  virtual void PageDown();
  virtual void HomeUp();
  virtual void EndDown();
  virtual void LineLeft();
  virtual void LineRight();
  virtual void PageLeft();
  virtual void PageRight();
  virtual void HomeLeft();
  virtual void EndRight();
  virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
  virtual CScrollBarUI* GetVerticalScrollBar() const;
  virtual CScrollBarUI* GetHorizontalScrollBar() const;
  virtual void SetFloatPos(int index);
  virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

  void CopyData(CControlUI* control) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  bool IsContainerControl() const override;
  RECT GetClientPos() const override;
  void SetPos(RECT rc, bool needInvalidate = true) override;
  void Move(SIZE offset, bool needInvalidate = true) override;
  void SetVisible(bool visible = true, bool sendFocus = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void SetMouseEnabled(bool enable = true) override;
  CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
  CControlUI* Clone() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl) override;

  // Descendant lookup by name through the manager, with forwarding helpers.
  CControlUI* FindSubControl(const wchar_t* name);
  bool SetSubControlText(const wchar_t* name, const wchar_t* text);
  bool SetSubControlFixedHeight(const wchar_t* name, int height);
  bool SetSubControlFixedWdith(const wchar_t* name, int width);
  bool SetSubControlUserData(const wchar_t* name, const wchar_t* text);
  bool SetSubControlAttribute(const wchar_t* name, const wchar_t* attrName, const wchar_t* attrValue);
  CDuiString GetSubControlText(const wchar_t* name);
  int GetSubControlFixedHeight(const wchar_t* name);
  int GetSubControlFixedWdith(const wchar_t* name);
  CDuiString GetSubControlUserData(const wchar_t* name);

  bool IsSmoothScrolling() const;
  bool IsQuickScrolling() const;
  bool IsCursorMouse() const;
  DWORD GetSepBorderColor() const;
  DWORD GetSepLeaveBorderColor() const;

  // Smooth wheel scrolling: `direction` is -1 (up) or +1 (down).
  void ApplyWheelAcceleration(int direction, bool notify);
  void InertiaTick();
  void StopWheelAnimation();
  bool IsWheelAnimating() const;

 protected:
  // Depth of the tree below `control` (1 for a leaf), counted without recursion.
  static int SubtreeDepth(CControlUI* control);
  // Depth of this container from the root (1 for the root).
  int DepthFromRoot() const;
  // Whether adding a subtree keeps the tree within kMaxTreeDepth.
  bool AcceptsSubtree(CControlUI* control) const;
  // Deletes or hands over a removed child; `allowDelayed` selects the delayed-cleanup path.
  void DisposeChild(CControlUI* control, bool allowDelayed);
  RECT ClientWithoutBars() const;
  // Gives a fresh `copy` this container's data, clones of its children, its manager and the scroll
  // bars this one has; the subclasses' Clone builds on it.
  void FillClone(CContainerUI* copy);
  // A new scroll bar owned by this container, styled by the manager's default "VScrollBar" or
  // "HScrollBar" attribute list; null when out of memory.
  CScrollBarUI* CreateScrollBar(bool horizontal);
  // One line and one page of scrolling along an axis; a page is the client extent without the
  // inset and the other axis's visible bar.
  int LineScrollStep(bool vertical) const;
  int PageScrollStep(bool vertical) const;
  // Moves the scroll position along one axis by `delta` (saturating at the int range), or to `value`.
  void ScrollAlong(bool vertical, int64_t delta, bool notify = true, bool tools = true);
  void ScrollAlongTo(bool vertical, int value);

  CStdPtrArray m_items;
  RECT m_rcInset = {0, 0, 0, 0};
  int m_iChildPadding = 0;
  int m_nScrollStepSize = 0;
  UINT m_iChildAlign = 0;
  UINT m_iChildVAlign = 0;
  bool m_bAutoDestroy = true;
  bool m_bDelayedDestroy = true;
  bool m_bMouseChildEnabled = true;
  bool m_bFixedScrollbar = false;
  bool m_bShowScrollbar = true;
  bool m_bSmoothScrolling = true;
  bool m_bCursorMouse = true;
  bool m_bQuickScrolling = false;
  CScrollBarUI* m_pVerticalScrollBar = nullptr;
  CScrollBarUI* m_pHorizontalScrollBar = nullptr;
  CDuiString m_sVerticalScrollBarStyle;
  CDuiString m_sHorizontalScrollBarStyle;
  DWORD m_dwSepBorderColor = 0;
  DWORD m_dwSepLeaveBorderColor = 0;
  int m_nWheelStepDelta = 0;
  int m_nWheelRemainder = 0;
  int m_nWheelStepsLeft = 0;
  bool m_bWheelActive = false;
  bool m_bWheelNotify = false;
  int m_nWheelTarget = 0;
  int m_nWheelDone = 0;

 private:
  int m_nScrollRelayout = 0;  // nesting of re-layouts started by the scroll-bar logic
};

}  // namespace ZQUI
