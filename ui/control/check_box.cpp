#include "ui/control/check_box.h"

#include <cwchar>
#include <new>

#include "ui/core/paint_manager.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

CControlUI* CCheckBoxUI::CreateControl() { return new (std::nothrow) CCheckBoxUI(); }

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

void* CCheckBoxUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"CheckBox") == 0) return this;
  return COptionUI::GetInterface(name);
}

CControlUI* CCheckBoxUI::Clone() {
  CCheckBoxUI* copy = new (std::nothrow) CCheckBoxUI();
  if (copy != nullptr) copy->CopyData(this);
  return copy;
}

void CCheckBoxUI::CopyData(CCheckBoxUI* control) {
  if (control == nullptr || control == this) return;
  m_bAutoCheck = control->m_bAutoCheck;
  COptionUI::CopyData(control);
}

bool CCheckBoxUI::GetCheck() const { return IsSelected(); }
void CCheckBoxUI::SetCheck(bool check) { Selected(check, true); }
void CCheckBoxUI::SetAutoCheck(bool autoCheck) { m_bAutoCheck = autoCheck; }
bool CCheckBoxUI::GetAutoCheck() const { return m_bAutoCheck; }

void CCheckBoxUI::Selected(bool selected, bool triggerEvent) {
  if (m_bSelected == selected) return;
  StoreSelected(selected);
  if (m_pManager != nullptr) {
    if (!m_sGroupName.IsEmpty()) {
      if (m_bSelected) {
        // A check box clears every other member, whatever its group type.
        DeselectGroupPeers(triggerEvent, false);
        if (triggerEvent) m_pManager->SendNotify(this, NotifyName::kSelectChanged, 1, 0, false);
      }
    } else if (triggerEvent) {
      m_pManager->SendNotify(this, NotifyName::kSelectChanged, m_bSelected ? 1 : 0, 0, false);
    }
  }
  Invalidate();
}

void CCheckBoxUI::DoEvent(TEventUI& event) {
  // With mouse input off the event never reaches the auto check: it goes to the parent, or without
  // one on to the button, which hands it on in turn.
  if (!IsMouseEnabled() && UiEventType::IsMouseEvent(event.type)) {
    CButtonUI::DoEvent(event);
    return;
  }
  if (m_bAutoCheck && (event.type == UiEventType::ButtonDown || event.type == UiEventType::DblClick)) {
    if (::PtInRect(&m_rcItem, event.mousePos) && IsEnabled()) {
      Selected(!m_bSelected, true);
      if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kCheckClick, 0, 0, false);
      Invalidate();
    }
    return;
  }
  COptionUI::DoEvent(event);
}

void CCheckBoxUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (_wcsicmp(name, L"EnableAutoCheck") == 0) SetAutoCheck(ParseSkinBool(value));
  COptionUI::SetAttribute(name, value);
}

}  // namespace ZQUI
