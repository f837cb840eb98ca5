// CScrollBarUI: the scroll bar that containers create and own. It holds the range and position,
// lays out its two arrow buttons and thumb, and sends "scroll" when the position changes.
//
// Present so far: range and position with their clamping, the line size and spacing values, the
// show flag, horizontal/vertical switching, the button and thumb layout of SetPos, the attribute
// vocabulary (images are stored). Not present yet: painting of the parts (DoPaint paints nothing)
// and mouse input on the bar itself (every event goes to the owner, or to the base without one).
#pragma once

#include <cstdint>

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
  // Stores an image attribute "<part><state>image"; false when the name is not one.
  bool SetImageAttribute(const wchar_t* name, const wchar_t* value);

  bool m_bMouseDown = false;
  bool m_bShow = true;
  bool m_bHorizontal = false;
  int64_t m_nRange = 0;
  int64_t m_nScrollPos = 0;
  int m_nLineSize = 8;
  CContainerUI* m_pOwner = nullptr;
  int m_nHSpace = 0;
  int m_nVSpace = 0;
  PartImages m_bk;
  bool m_bShowButton1 = true;
  RECT m_rcButton1 = {0, 0, 0, 0};
  PartImages m_button1;
  bool m_bShowButton2 = true;
  RECT m_rcButton2 = {0, 0, 0, 0};
  PartImages m_button2;
  RECT m_rcThumb = {0, 0, 0, 0};
  PartImages m_thumb;
  PartImages m_rail;
};

}  // namespace ZQUI
