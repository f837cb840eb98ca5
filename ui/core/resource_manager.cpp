#include "ui/core/resource_manager.h"

#include <new>

namespace ZQUI {

namespace {
CResourceManager* g_instance = nullptr;
}

CResourceManager::CResourceManager() : m_mTextResourceHashMap(83) {}
CResourceManager::~CResourceManager() { ResetTextMap(); }

CResourceManager* CResourceManager::GetInstance() {
  if (g_instance == nullptr) g_instance = new CResourceManager();
  return g_instance;
}

void CResourceManager::Release() {
  if (g_instance == this) g_instance = nullptr;
  delete this;
}

void CResourceManager::SetTextQueryInterface(IQueryControlText* query) { m_pQuerypInterface = query; }

CDuiString CResourceManager::GetText(const wchar_t* id, const wchar_t* type) {
  if (id == nullptr) return CDuiString();
  auto* text = static_cast<CDuiString*>(m_mTextResourceHashMap.Find(id));
  if (text == nullptr && m_pQuerypInterface != nullptr) {
    const wchar_t* answer = m_pQuerypInterface->QueryControlText(id, type);
    if (answer != nullptr) {
      text = new (std::nothrow) CDuiString(answer);
      if (text != nullptr && !m_mTextResourceHashMap.Insert(id, text)) {
        CDuiString result(*text);
        delete text;
        return result;
      }
    }
  }
  return text ? CDuiString(*text) : CDuiString(id);
}

void CResourceManager::ReloadText() {
  if (m_pQuerypInterface == nullptr) return;
  for (int i = 0; i < m_mTextResourceHashMap.GetSize(); ++i) {
    const wchar_t* id = m_mTextResourceHashMap.GetAt(i);
    if (id == nullptr) continue;
    const wchar_t* answer = m_pQuerypInterface->QueryControlText(id, nullptr);
    if (answer == nullptr) continue;
    auto* text = static_cast<CDuiString*>(m_mTextResourceHashMap.Find(id, false));
    if (text != nullptr) *text = answer;
  }
}

void CResourceManager::ResetTextMap() {
  for (int i = 0; i < m_mTextResourceHashMap.GetSize(); ++i) {
    const wchar_t* id = m_mTextResourceHashMap.GetAt(i);
    if (id != nullptr) delete static_cast<CDuiString*>(m_mTextResourceHashMap.Find(id, false));
  }
  m_mTextResourceHashMap.RemoveAll();
}

}  // namespace ZQUI
