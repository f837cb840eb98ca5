// CHorizontalLayoutUI places its children left to right: children with a width keep it, children
// without one share what is left, and each fills the height (or its own) placed by the vertical
// child alignment. A strip at the right (or left) edge can act as a splitter.
#pragma once

#include "ui/layout/container.h"

namespace ZQUI {

class CHorizontalLayoutUI : public CContainerUI {
 public:
  CHorizontalLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;

  void SetSepWidth(int width);
  int GetSepWidth() const;
  void SetSepImmMode(bool immediate);
  bool IsSepImmMode() const;
  RECT GetThumbRect(bool useDragRect = false) const;

  void SetPos(RECT rc, bool needInvalidate = true) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void DoPostPaint(HDC hDC, const RECT& paint) override;
  CControlUI* Clone() override;
  void CopyData(CControlUI* control) override;

 protected:
  int m_iSepWidth = 0;
  UINT m_uButtonState = 0;
  POINT m_ptLastMouse = {0, 0};
  RECT m_rcNewPos = {0, 0, 0, 0};
  bool m_bImmMode = false;
};

}  // namespace ZQUI
