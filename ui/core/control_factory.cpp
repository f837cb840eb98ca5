#include "ui/core/control_factory.h"

#include <windows.h>

#include <cwchar>
#include <mutex>

#include "ui/core/control.h"
#include "ui/layout/container.h"
#include "ui/layout/horizontal_layout.h"
#include "ui/layout/tab_layout.h"
#include "ui/layout/vertical_layout.h"
#include "ui/control/button.h"
#include "ui/control/check_box.h"
#include "ui/control/label.h"
#include "ui/control/option.h"
#include "ui/control/progress.h"
#include "ui/control/rich_edit.h"
#include "ui/control/scroll_bar.h"

namespace ZQUI {

namespace {

CControlFactory* g_factory = nullptr;
// Guards only the creation and deletion of the singleton, not its map.
std::mutex g_factoryLock;

template <class T>
CControlUI* Make() {
  return new T;
}

}  // namespace

bool CControlFactory::NameLess::operator()(const CDuiString& a, const CDuiString& b) const {
  return wcscmp(a.GetData(), b.GetData()) < 0;
}

CControlFactory* CControlFactory::GetInstance() {
  std::lock_guard<std::mutex> lock(g_factoryLock);
  if (g_factory == nullptr) g_factory = new CControlFactory;
  return g_factory;
}

void CControlFactory::Release() {
  std::lock_guard<std::mutex> lock(g_factoryLock);
  if (g_factory == this) g_factory = nullptr;
  delete this;
}

void CControlFactory::LowerName(CDuiString& name) {
  // CharLowerBuffW maps the whole Unicode range whatever the C runtime's locale, which towlower
  // in the default "C" locale does not.
  int length = name.GetLength();
  if (length == 0) return;
  wchar_t buffer[CDuiString::kInlineSize];
  wchar_t* text = length < CDuiString::kInlineSize ? buffer : new wchar_t[length + 1];
  wmemcpy(text, name.GetData(), static_cast<size_t>(length) + 1);
  ::CharLowerBuffW(text, static_cast<DWORD>(length));
  name.Assign(text, length);
  if (text != buffer) delete[] text;
}

CControlFactory::CControlFactory() {
  // Of the further controls only the tab layout (which the tooltip window's skin needs) is built;
  // the others are not registered, so the builder skips their elements.
  RegistControl(L"CControlUI", &Make<CControlUI>);
  RegistControl(L"CContainerUI", &Make<CContainerUI>);
  RegistControl(L"CButtonUI", &Make<CButtonUI>);
  RegistControl(L"CLabelUI", &Make<CLabelUI>);
  RegistControl(L"COptionUI", &Make<COptionUI>);
  RegistControl(L"CCheckBoxUI", &Make<CCheckBoxUI>);
  RegistControl(L"CProgressUI", &Make<CProgressUI>);
  RegistControl(L"CRichEditUI", &Make<CRichEditUI>);
  RegistControl(L"CScrollBarUI", &Make<CScrollBarUI>);
  RegistControl(L"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>);
  RegistControl(L"CVerticalLayoutUI", &Make<CVerticalLayoutUI>);
  RegistControl(L"CTabLayoutUI", &Make<CTabLayoutUI>);
  RegistControl(L"Box", &Make<CContainerUI>);
  RegistControl(L"HBox", &Make<CHorizontalLayoutUI>);
  RegistControl(L"VBox", &Make<CVerticalLayoutUI>);
  RegistControl(L"TabBox", &Make<CTabLayoutUI>);
}

CControlUI* CControlFactory::CreateControl(CDuiString className) {
  LowerName(className);
  auto it = m_mapControl.find(className);
  if (it == m_mapControl.end() || it->second == nullptr) return nullptr;
  return it->second();
}

void CControlFactory::RegistControl(CDuiString className, CreateClass createFunction) {
  LowerName(className);
  m_mapControl.emplace(className, createFunction);
}

}  // namespace ZQUI
