// CScrollBarUI: the scroll bar that containers create and own. It holds the range and position,
// lays out its two arrow buttons and thumb, pages on clicks beside the thumb, drags the thumb on a
// 50 ms timer, paints its parts in their states and sends "scroll" when the position changes.
// Without an owner it changes its own position. UI thread only.
#pragma once

#include <cstdint>

#include "ui/control/button_state.h"
#include "ui/core/control.h"

namespace ZQUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
 public:
  CScrollBarUI();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  CContainerUI* GetOwner() const;
  void SetOwner(CContainerUI* owner);

  // Stores the own visible flag directly and clears the focus flag; the owner lays itself out.
  void SetVisible(bool visible = true);
  void SetEnabled(bool enable = true) override;
  void SetFocus() override;

  bool IsHorizontal() const;
  void SetHorizontal(bool horizontal = true);
  int GetScrollRange() const;
  void SetScrollRange(int range, bool clampPos = true);
  int GetScrollPos() const;
  void SetScrollPos(int pos, bool clampPos = true);
  int GetLineSize() const;
  void SetLineSize(int size);
  bool GetShow() const;
  void SetShow(bool show);
  bool GetShowButton1() const;
  void SetShowButton1(bool show);
  bool GetShowButton2() const;
  void SetShowButton2(bool show);
  int GetHSpace() const;
  void SetHSpace(int space);
  int GetVSpace() const;
  void SetVSpace(int space);
  bool GetMouseDown() const;

  RECT GetButton1Rect() const;
  RECT GetButton2Rect() const;
  RECT GetThumbRect() const;
  UINT GetButton1State() const;
  UINT GetButton2State() const;
  UINT GetThumbState() const;

  const wchar_t* GetBkNormalImage() const;
  void SetBkNormalImage(const wchar_t* image);
  const wchar_t* GetBkHotImage() const;
  void SetBkHotImage(const wchar_t* image);
  const wchar_t* GetBkPushedImage() const;
  void SetBkPushedImage(const wchar_t* image);
  const wchar_t* GetBkDisabledImage() const;
  void SetBkDisabledImage(const wchar_t* image);
  const wchar_t* GetButton1NormalImage() const;
  void SetButton1NormalImage(const wchar_t* image);
  const wchar_t* GetButton1HotImage() const;
  void SetButton1HotImage(const wchar_t* image);
  const wchar_t* GetButton1PushedImage() const;
  void SetButton1PushedImage(const wchar_t* image);
  const wchar_t* GetButton1DisabledImage() const;
  void SetButton1DisabledImage(const wchar_t* image);
  const wchar_t* GetButton2NormalImage() const;
  void SetButton2NormalImage(const wchar_t* image);
  const wchar_t* GetButton2HotImage() const;
  void SetButton2HotImage(const wchar_t* image);
  const wchar_t* GetButton2PushedImage() const;
  void SetButton2PushedImage(const wchar_t* image);
  const wchar_t* GetButton2DisabledImage() const;
  void SetButton2DisabledImage(const wchar_t* image);
  const wchar_t* GetThumbNormalImage() const;
  void SetThumbNormalImage(const wchar_t* image);
  const wchar_t* GetThumbHotImage() const;
  void SetThumbHotImage(const wchar_t* image);
  const wchar_t* GetThumbPushedImage() const;
  void SetThumbPushedImage(const wchar_t* image);
  const wchar_t* GetThumbDisabledImage() const;
  void SetThumbDisabledImage(const wchar_t* image);
  const wchar_t* GetRailNormalImage() const;
  void SetRailNormalImage(const wchar_t* image);
  const wchar_t* GetRailHotImage() const;
  void SetRailHotImage(const wchar_t* image);
  const wchar_t* GetRailPushedImage() const;
  void SetRailPushedImage(const wchar_t* image);
  const wchar_t* GetRailDisabledImage() const;
  void SetRailDisabledImage(const wchar_t* image);

  void PaintBk(HDC hDC);
  void PaintButton1(HDC hDC);
  void PaintButton2(HDC hDC);
  void PaintThumb(HDC hDC);
  void PaintRail(HDC hDC);

  void SetPos(RECT rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl) override;

 private:
  // Image descriptions of one part in its four states.
  struct PartImages {
    CDuiString normal;
    CDuiString hot;
    CDuiString pushed;
    CDuiString disabled;
  };
  // Timer that applies the thumb drag (and, when started, repeats held presses).
  static constexpr UINT kScrollTimerId = 10;

  // Stores an image attribute "<part><state>image"; false when the name is not one.
  bool SetImageAttribute(const wchar_t* name, const wchar_t* value);
  // Draws `image` with a destination of `part` relative to the bar; false when nothing was drawn.
  bool DrawPartImage(HDC hDC, const CDuiString& image, const RECT& part);
  // The image of `images` for `state` (disabled, pushed, hot), then normal; outline when neither draws.
  void PaintPart(HDC hDC, const PartImages& images, UINT& state, const RECT& part, bool outline);
  // Refreshes the disabled bit of `state` and picks the part's disabled, pushed or hot image, first
  // match in that order; null when none of those states is set.
  const CDuiString* ChooseStateImage(const PartImages& images, UINT& state) const;
  // Hands an event the bar does not handle to its owner, else to the base.
  void ForwardEvent(TEventUI& event);
  // Moves to `pos` through the owner on the bar's axis, or directly without one.
  void ScrollTo(int64_t pos);
  // One line or page step as a press on a button or the rail gives it.
  void StepLine(bool forward);
  void StepPage(bool forward);
  // Repeats a held button or rail press from the sixth timer tick on.
  void RepeatHeldPress();

  bool m_bMouseDown = false;
  bool m_bShow = true;
  bool m_bHorizontal = false;
  int64_t m_nRange = 0;
  int64_t m_nScrollPos = 0;
  int m_nLineSize = 8;
  CContainerUI* m_pOwner = nullptr;
  POINT m_ptLastMouse = {0, 0};
  int64_t m_nLastScrollPos = 0;
  int64_t m_nLastScrollOffset = 0;
  int m_nScrollRepeatDelay = 0;
  int m_nHSpace = 0;
  int m_nVSpace = 0;
  PartImages m_bk;
  bool m_bShowButton1 = true;
  RECT m_rcButton1 = {0, 0, 0, 0};
  UINT m_uButton1State = 0;
  PartImages m_button1;
  bool m_bShowButton2 = true;
  RECT m_rcButton2 = {0, 0, 0, 0};
  UINT m_uButton2State = 0;
  PartImages m_button2;
  RECT m_rcThumb = {0, 0, 0, 0};
  UINT m_uThumbState = 0;
  PartImages m_thumb;
  PartImages m_rail;
  CDuiString m_sImageModify;
};

}  // namespace ZQUI
