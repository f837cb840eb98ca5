// CVerticalLayoutUI stacks its children top to bottom: children with a height keep it, children
// without one share what is left, and each is placed across by the child alignment. A strip at the
// bottom (or top) edge can act as a splitter that resizes the layout.
#pragma once

#include "ui/layout/container.h"

namespace ZQUI {

class CVerticalLayoutUI : public CContainerUI {
 public:
  CVerticalLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;

  void SetSepHeight(int height);
  int GetSepHeight() const;
  void SetSepImmMode(bool immediate);
  bool IsSepImmMode() const;
  // The separator strip; while a drag runs and `useDragRect` is set, taken from the drag rectangle.
  RECT GetThumbRect(bool useDragRect = false) const;

  void SetPos(RECT rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void DoPostPaint(HDC hDC, const RECT& paint) override;
  CControlUI* Clone() override;
  void CopyData(CControlUI* control) override;

 protected:
  int m_iSepHeight = 0;
  UINT m_uButtonState = 0;
  POINT m_ptLastMouse = {0, 0};
  RECT m_rcNewPos = {0, 0, 0, 0};
  bool m_bImmMode = false;
};

}  // namespace ZQUI
