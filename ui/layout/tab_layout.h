// CTabLayoutUI: a container that shows one of its children (a page) at a time and gives it the
// whole client area; the other pages are hidden. The first visible child added becomes the
// selected page; "selectedid" picks another one. Selecting a page sends "tabselect" (wParam the new
// index, lParam the old one). UI thread only.
#pragma once

#include "ui/layout/container.h"
#include "ui/layout/tab_select.h"

namespace ZQUI {

class CTabLayoutUI : public CContainerUI, public ITabSelectUI {
 public:
  CTabLayoutUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool delayedDestroy = true) override;
  void RemoveAll(bool delayedDestroy = true) override;

  // Index of the page shown, -1 when there is none.
  int GetCurSel() const;
  bool SelectItem(int index, bool triggerEvent = true) override;
  bool SelectItem(CControlUI* control, bool triggerEvent = true);

  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  CControlUI* Clone() override;

 private:
  // Held as the control rather than its index, so moving children keeps the page shown.
  CControlUI* m_pSelected = nullptr;
};

}  // namespace ZQUI
