#include "ui/control/option.h"

#include <cwchar>
#include <new>

#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"
#include "ui/core/std_ptr_array.h"

namespace ZQUI {

namespace {

bool Is(const wchar_t* name, const wchar_t* expected) { return _wcsicmp(name, expected) == 0; }

}  // namespace

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() {
  if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) m_pManager->RemoveOptionGroup(m_sGroupName, this);
}

CControlUI* COptionUI::CreateControl() { return new (std::nothrow) COptionUI(); }

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

void* COptionUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && _wcsicmp(name, L"Option") == 0) return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  // Moving to another manager leaves the old one's group, which would otherwise keep a pointer to
  // this option after it is deleted.
  if (m_pManager != nullptr && m_pManager != manager && !m_sGroupName.IsEmpty()) {
    m_pManager->RemoveOptionGroup(m_sGroupName, this);
  }
  m_pManager = manager;
  m_pParent = parent;
  if (init) {
    if (m_pParent != nullptr) Init();
    if (m_pManager != nullptr && !m_sGroupName.IsEmpty()) m_pManager->AddOptionGroup(m_sGroupName, this);
  }
}

CControlUI* COptionUI::Clone() {
  COptionUI* copy = new (std::nothrow) COptionUI();
  if (copy != nullptr) copy->CopyData(this);
  return copy;
}

void COptionUI::CopyData(COptionUI* control) {
  if (control == nullptr || control == this) return;
  // The copy's selection follows the source's; joining the group happens when it gets a manager.
  StoreSelected(control->m_bSelected);
  m_sGroupName = control->m_sGroupName;
  m_sGroupType = control->m_sGroupType;
  m_iSelectedFont = control->m_iSelectedFont;
  m_dwSelectedBkColor = control->m_dwSelectedBkColor;
  m_dwSelectedTextColor = control->m_dwSelectedTextColor;
  m_sSelectedImage = control->m_sSelectedImage;
  m_sSelectedHotImage = control->m_sSelectedHotImage;
  m_sSelectedPushedImage = control->m_sSelectedPushedImage;
  m_sSelectedForeImage = control->m_sSelectedForeImage;
  m_nSelectedStateCount = control->m_nSelectedStateCount;
  m_sSelectedStateImage = control->m_sSelectedStateImage;
  CButtonUI::CopyData(control);
  // The button copies the whole state word; the selection bit keeps agreeing with the flag.
  StoreSelected(m_bSelected);
}

bool COptionUI::IsSelected() const { return m_bSelected; }

void COptionUI::StoreSelected(bool selected) {
  m_bSelected = selected;
  if (selected) {
    m_uButtonState |= StateSelected;
  } else {
    m_uButtonState &= ~StateSelected;
  }
}

const wchar_t* COptionUI::GetGroup() const { return m_sGroupName; }

void COptionUI::SetGroup(const wchar_t* groupName) {
  if (groupName == nullptr) {
    if (m_sGroupName.IsEmpty()) return;
    if (m_pManager != nullptr) m_pManager->RemoveOptionGroup(m_sGroupName, this);
    m_sGroupName.Empty();
  } else {
    if (m_sGroupName == groupName) return;
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) m_pManager->RemoveOptionGroup(m_sGroupName, this);
    m_sGroupName = groupName;
  }
  if (m_pManager == nullptr) return;
  if (!m_sGroupName.IsEmpty()) {
    m_pManager->AddOptionGroup(m_sGroupName, this);
  }
  // An empty group has already been left above.
}

const wchar_t* COptionUI::GetGroupType() const { return m_sGroupType; }
void COptionUI::SetGroupType(const wchar_t* groupType) {
  if (groupType == nullptr) {
    m_sGroupType.Empty();
  } else {
    m_sGroupType = groupType;
  }
}

void COptionUI::Selected(bool selected, bool triggerEvent) {
  if (m_bSelected == selected) return;
  StoreSelected(selected);
  if (m_pManager != nullptr) {
    if (!m_sGroupName.IsEmpty()) {
      if (m_bSelected) {
        DeselectGroupPeers(triggerEvent, true);
        if (triggerEvent) m_pManager->SendNotify(this, NotifyName::kSelectChanged, 0, 0, false);
      } else if (triggerEvent) {
        m_pManager->SendNotify(this, NotifyName::kUnselected, 0, 0, false);
      }
    } else if (triggerEvent) {
      m_pManager->SendNotify(this, NotifyName::kSelectChanged, 0, 0, false);
    }
  }
  Invalidate();
}

void COptionUI::DeselectGroupPeers(bool triggerEvent, bool keepSameType) {
  if (m_pManager == nullptr) return;
  CStdPtrArray* group = m_pManager->GetOptionGroup(m_sGroupName);
  if (group == nullptr) return;
  // A deselected member may change the group (its handler can remove options), so the members are
  // taken first and each is checked against the live group before the call.
  CStdPtrArray members(*group);
  for (int i = 0; i < members.GetSize(); ++i) {
    void* member = members.GetAt(i);
    CStdPtrArray* live = m_pManager->GetOptionGroup(m_sGroupName);
    if (live == nullptr || live->Find(member) < 0) continue;
    auto* control = static_cast<COptionUI*>(static_cast<CControlUI*>(member)->GetInterface(L"Option"));
    if (control == nullptr || control == this) continue;
    if (keepSameType && !m_sGroupType.IsEmpty() && _wcsicmp(control->GetGroupType(), m_sGroupType) == 0) continue;
    control->Selected(false, triggerEvent);
  }
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  if (!m_sGroupName.IsEmpty()) {
    Selected(true, true);
  } else {
    Selected(!m_bSelected, true);
  }
  Invalidate();
  return true;
}

// --- images and colours ------------------------------------------------------------------------

const wchar_t* COptionUI::GetSelectedImage() const { return m_sSelectedImage; }
void COptionUI::SetSelectedImage(const wchar_t* image) {
  UpdateImage(m_sSelectedImage, image);
}
const wchar_t* COptionUI::GetSelectedHotImage() const { return m_sSelectedHotImage; }
void COptionUI::SetSelectedHotImage(const wchar_t* image) {
  UpdateImage(m_sSelectedHotImage, image);
}
const wchar_t* COptionUI::GetSelectedPushedImage() const { return m_sSelectedPushedImage; }
void COptionUI::SetSelectedPushedImage(const wchar_t* image) {
  UpdateImage(m_sSelectedPushedImage, image);
}
const wchar_t* COptionUI::GetSelectedForedImage() const { return m_sSelectedForeImage; }
void COptionUI::SetSelectedForedImage(const wchar_t* image) {
  UpdateImage(m_sSelectedForeImage, image);
}
const wchar_t* COptionUI::GetSelectedStateImage() const { return m_sSelectedStateImage; }
void COptionUI::SetSelectedStateImage(const wchar_t* image) {
  m_sSelectedStateImage = image;
  Invalidate();
}

void COptionUI::SetSelectedTextColor(DWORD color) { m_dwSelectedTextColor = color; }
DWORD COptionUI::GetSelectedTextColor() {
  if (m_dwSelectedTextColor == 0 && m_pManager != nullptr) m_dwSelectedTextColor = m_pManager->GetDefaultFontColor();
  return m_dwSelectedTextColor;
}
void COptionUI::SetSelectedBkColor(DWORD color) { m_dwSelectedBkColor = color; }
DWORD COptionUI::GetSelectBkColor() const { return m_dwSelectedBkColor; }
void COptionUI::SetSelectedStateCount(int count) {
  m_nSelectedStateCount = count;
  Invalidate();
}
int COptionUI::GetSelectedStateCount() const { return m_nSelectedStateCount; }
void COptionUI::SetSelectedFont(int index) {
  m_iSelectedFont = index;
  Invalidate();
}
int COptionUI::GetSelectedFont() const { return m_iSelectedFont; }

// --- painting ----------------------------------------------------------------------------------

void COptionUI::SliceSelectedStateImage() {
  SliceImageStates(m_sSelectedStateImage, m_nSelectedStateCount, true, m_sSelectedImage, m_sSelectedHotImage,
                   m_sSelectedPushedImage, nullptr);
}

void COptionUI::PaintBkColor(HDC hDC) {
  if (!m_bSelected) {
    CButtonUI::PaintBkColor(hDC);
    return;
  }
  if (m_dwSelectedBkColor != 0) CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwSelectedBkColor));
}

void COptionUI::PaintStatusImage(HDC hDC) {
  if (!m_bSelected) {
    CButtonUI::PaintStatusImage(hDC);
    return;
  }
  SliceSelectedStateImage();
  const CDuiString* choice = nullptr;
  if ((m_uButtonState & StatePushed) != 0 && !m_sSelectedPushedImage.IsEmpty()) {
    choice = &m_sSelectedPushedImage;
  } else if ((m_uButtonState & StateHot) != 0 && !m_sSelectedHotImage.IsEmpty()) {
    choice = &m_sSelectedHotImage;
  }
  if (choice != nullptr && DrawStateImage(hDC, *choice)) return;
  DrawStateImage(hDC, m_sSelectedImage);
}

void COptionUI::PaintForeImage(HDC hDC) {
  if (m_bSelected && DrawStateImage(hDC, m_sSelectedForeImage)) return;
  CButtonUI::PaintForeImage(hDC);
}

void COptionUI::PaintText(HDC hDC) {
  if (!m_bSelected) {
    CButtonUI::PaintText(hDC);
    return;
  }
  DWORD enabledColor = m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
  if (enabledColor == 0 && m_pManager != nullptr) enabledColor = m_pManager->GetDefaultFontColor();
  if (m_dwDisabledTextColor == 0 && m_pManager != nullptr) {
    m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
  }
  if (m_sText.IsEmpty()) return;
  RECT rc = TextRect();
  int font = m_iSelectedFont != -1 ? m_iSelectedFont : m_iFont;
  DrawLabelText(hDC, rc, IsEnabled() ? enabledColor : m_dwDisabledTextColor, font, m_uTextStyle);
}

// --- attributes --------------------------------------------------------------------------------

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (Is(name, L"group")) {
    SetGroup(value);
  } else if (Is(name, L"grouptype")) {
    SetGroupType(value);
  } else if (Is(name, L"selected")) {
    Selected(ParseSkinBool(value), true);
  } else if (Is(name, L"selectedimage")) {
    SetSelectedImage(value);
  } else if (Is(name, L"selectedhotimage")) {
    SetSelectedHotImage(value);
  } else if (Is(name, L"selectedpushedimage")) {
    SetSelectedPushedImage(value);
  } else if (Is(name, L"selectedforeimage")) {
    SetSelectedForedImage(value);
  } else if (Is(name, L"selectedstateimage")) {
    SetSelectedStateImage(value);
  } else if (Is(name, L"selectedstatecount")) {
    SetSelectedStateCount(ParseSkinInt(value));
  } else if (Is(name, L"selectedbkcolor")) {
    SetSelectedBkColor(ParseSkinColor(value, true));
  } else if (Is(name, L"selectedtextcolor")) {
    SetSelectedTextColor(ParseSkinColor(value, true));
  } else if (Is(name, L"selectedfont")) {
    SetSelectedFont(ParseSkinInt(value));
  } else {
    CButtonUI::SetAttribute(name, value);
  }
}

}  // namespace ZQUI
