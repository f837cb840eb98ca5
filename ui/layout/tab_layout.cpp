#include "ui/layout/tab_layout.h"

#include <cwchar>
#include <new>

#include "ui/core/paint_manager.h"
#include "ui/core/skin_values.h"
#include "ui/core/ui_notify.h"

namespace ZQUI {

CTabLayoutUI::CTabLayoutUI() {}

CControlUI* CTabLayoutUI::CreateControl() { return new CTabLayoutUI(); }

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

void* CTabLayoutUI::GetInterface(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  if (_wcsicmp(name, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
  if (_wcsicmp(name, kTabSelectInterface) == 0) return static_cast<ITabSelectUI*>(this);
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  // The child's own flag, not IsVisible: a hidden tab layout still knows which page it shows.
  if (m_pSelected == nullptr && control->GetVisible()) {
    m_pSelected = control;
  } else {
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool delayedDestroy) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  bool wasSelected = control == m_pSelected;
  if (!CContainerUI::Remove(control, delayedDestroy)) return false;
  if (wasSelected) {
    // The page that took the removed one's place shows, else the new last one.
    m_pSelected = nullptr;
    int count = GetCount();
    if (count > 0) SelectItem(index < count ? index : count - 1, false);
  }
  return true;
}

void CTabLayoutUI::RemoveAll(bool delayedDestroy) {
  m_pSelected = nullptr;
  CContainerUI::RemoveAll(delayedDestroy);
}

int CTabLayoutUI::GetCurSel() const { return m_pSelected != nullptr ? GetItemIndex(m_pSelected) : -1; }

bool CTabLayoutUI::SelectItem(int index, bool triggerEvent) {
  CControlUI* target = GetItemAt(index);
  if (target == nullptr) return false;
  if (target == m_pSelected) return true;
  int previous = GetCurSel();
  m_pSelected = target;
  for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
  NeedUpdate();
  if (triggerEvent && m_pManager != nullptr) {
    m_pManager->SendNotify(this, NotifyName::kTabSelect, static_cast<WPARAM>(index), static_cast<LPARAM>(previous));
  }
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool triggerEvent) {
  int index = GetItemIndex(control);
  if (index < 0) return false;
  return SelectItem(index, triggerEvent);
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (_wcsicmp(name, L"selectedid") == 0) {
    // Applied while the skin is built, after the pages were added: no notification.
    SelectItem(ParseSkinInt(value), false);
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

CControlUI* CTabLayoutUI::Clone() {
  auto* copy = new (std::nothrow) CTabLayoutUI();
  if (copy == nullptr) return nullptr;
  FillClone(copy);
  copy->SelectItem(GetCurSel(), false);
  return copy;
}

}  // namespace ZQUI
