#include "ui/core/control_factory.h"

#include <cwctype>
#include <mutex>

#include "ui/core/control.h"
#include "ui/layout/container.h"
#include "ui/layout/horizontal_layout.h"
#include "ui/layout/vertical_layout.h"
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
  for (int i = 0; i < name.GetLength(); ++i) {
    name.SetAt(i, static_cast<wchar_t>(std::towlower(name.GetAt(i))));
  }
}

CControlFactory::CControlFactory() {
  // Classes of the further-controls subsystem are not built and therefore not registered: their
  // elements are skipped by the builder.
  RegistControl(L"CControlUI", &Make<CControlUI>);
  RegistControl(L"CContainerUI", &Make<CContainerUI>);
  RegistControl(L"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>);
  RegistControl(L"CVerticalLayoutUI", &Make<CVerticalLayoutUI>);
  RegistControl(L"CScrollBarUI", &Make<CScrollBarUI>);
  RegistControl(L"Box", &Make<CContainerUI>);
  RegistControl(L"HBox", &Make<CHorizontalLayoutUI>);
  RegistControl(L"VBox", &Make<CVerticalLayoutUI>);
  // TODO(ui-window): CButtonUI, CLabelUI, COptionUI, CCheckBoxUI, CProgressUI, CRichEditUI once
  // their headers land.
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
