// CCheckBoxUI: an option that toggles; with auto check it toggles on the press itself and sends
// "checkclick" instead of "click". UI thread only.
#pragma once

#include "ui/control/option.h"

namespace ZQUI {

class CCheckBoxUI : public COptionUI {
 public:
  CCheckBoxUI() = default;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  CControlUI* Clone() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void Selected(bool selected, bool triggerEvent = true) override;

  using COptionUI::CopyData;
  virtual void CopyData(CCheckBoxUI* control);

  bool GetCheck() const;
  void SetCheck(bool check);
  void SetAutoCheck(bool autoCheck);
  bool GetAutoCheck() const;

 protected:
  bool m_bAutoCheck = false;
};

}  // namespace ZQUI
