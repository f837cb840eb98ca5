#include "ui/core/resource_manager.h"

#include <cstring>
#include <mutex>
#include <new>

#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

CResourceManager* g_instance = nullptr;
std::mutex g_creation;

void FreeStrings(CStdStringPtrMap& map) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    if (key != nullptr) delete static_cast<CDuiString*>(map.Find(key, false));
  }
  map.RemoveAll();
}

// Stores a copy of `value` under `key`; an existing entry is replaced only when `replace` is set.
void PutString(CStdStringPtrMap& map, const wchar_t* key, const wchar_t* value, bool replace) {
  if (key == nullptr || *key == L'\0' || value == nullptr) return;
  auto* existing = static_cast<CDuiString*>(map.Find(key));
  if (existing != nullptr) {
    if (replace) *existing = value;
    return;
  }
  auto* copy = new (std::nothrow) CDuiString(value);
  if (copy != nullptr && !map.Insert(key, copy)) delete copy;
}

}  // namespace

CResourceManager::CResourceManager() : m_mTextResourceHashMap(83), m_mImageHashMap(83), m_mXmlHashMap(83) {
  m_xml.SetPreserveWhitespace(true);
}

CResourceManager::~CResourceManager() {
  ResetTextMap();
  ResetResourceMap();
}

CResourceManager* CResourceManager::GetInstance() {
  // Term releases the singleton; a later call creates a fresh one.
  std::lock_guard<std::mutex> lock(g_creation);
  if (g_instance == nullptr) g_instance = new CResourceManager();
  return g_instance;
}

CResourceManager* CResourceManager::PeekInstance() { return g_instance; }

void CResourceManager::Release() {
  if (g_instance == this) g_instance = nullptr;
  delete this;
}

bool CResourceManager::LoadDocument(STRINGorID xml, const wchar_t* type) {
  if (xml.IsId()) {
    HINSTANCE module = CPaintManagerUI::GetResourceDll();
    HRSRC resource = FindResourceW(module, xml.m_lpstr, type);
    if (resource == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(module, resource);
    DWORD size = SizeofResource(module, resource);
    if (loaded == nullptr || size == 0 || size > CMarkup::kMaxFileSize) return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
    if (data == nullptr) return false;
    // The parser works in place, so it gets its own copy of the read-only resource.
    BYTE* copy = new (std::nothrow) BYTE[size];
    if (copy == nullptr) return false;
    memcpy(copy, data, size);
    bool ok = m_xml.LoadFromMem(copy, size);
    delete[] copy;
    return ok;
  }
  if (xml.m_lpstr == nullptr) return false;
  if (*xml.m_lpstr == L'<') return m_xml.Load(xml.m_lpstr);
  return m_xml.LoadFromFile(xml.m_lpstr);
}

void CResourceManager::CollectAliases(CMarkupNode node, int depth) {
  if (depth > CMarkup::kMaxNestingDepth) return;
  for (; node.IsValid(); node = node.GetSibling()) {
    const wchar_t* name = node.GetName();
    if (name != nullptr) {
      CStdStringPtrMap* map = nullptr;
      if (_wcsicmp(name, L"Image") == 0) map = &m_mImageHashMap;
      else if (_wcsicmp(name, L"Xml") == 0) map = &m_mXmlHashMap;
      if (map != nullptr) {
        const wchar_t* id = node.GetAttributeValue(L"id");
        const wchar_t* path = node.GetAttributeValue(L"path");
        if (id != nullptr && path != nullptr && *id != L'\0') PutString(*map, id, path, false);
      }
    }
    if (node.HasChildren()) CollectAliases(node.GetChild(), depth + 1);
  }
}

void CResourceManager::CollectTexts(CMarkupNode node, int depth) {
  if (depth > CMarkup::kMaxNestingDepth) return;
  for (; node.IsValid(); node = node.GetSibling()) {
    const wchar_t* name = node.GetName();
    if (name != nullptr && _wcsicmp(name, L"Text") == 0) {
      const wchar_t* id = node.GetAttributeValue(L"id");
      const wchar_t* value = node.GetAttributeValue(L"value");
      if (id != nullptr && value != nullptr) PutString(m_mTextResourceHashMap, id, value, true);
    }
    if (node.HasChildren()) CollectTexts(node.GetChild(), depth + 1);
  }
}

bool CResourceManager::LoadResource(STRINGorID xml, const wchar_t* type) {
  if (!LoadDocument(xml, type)) return false;
  CollectAliases(m_xml.GetRoot(), 0);
  return true;
}

const wchar_t* CResourceManager::GetImagePath(const wchar_t* id) const {
  if (id == nullptr) return nullptr;
  auto* path = static_cast<CDuiString*>(m_mImageHashMap.Find(id));
  return path ? path->GetData() : nullptr;
}

const wchar_t* CResourceManager::GetXmlPath(const wchar_t* id) const {
  if (id == nullptr) return nullptr;
  auto* path = static_cast<CDuiString*>(m_mXmlHashMap.Find(id));
  return path ? path->GetData() : nullptr;
}

void CResourceManager::ResetResourceMap() {
  FreeStrings(m_mImageHashMap);
  FreeStrings(m_mXmlHashMap);
  FreeStrings(m_mTextResourceHashMap);
}

bool CResourceManager::LoadLanguage(const wchar_t* xml) {
  if (xml == nullptr || *xml == L'\0') return false;
  bool ok = *xml == L'<' ? m_xml.Load(xml) : m_xml.LoadFromFile(xml);
  if (!ok) return false;
  CollectTexts(m_xml.GetRoot(), 0);
  return true;
}

void CResourceManager::SetLanguage(const wchar_t* language) { m_sLauguage = language; }
const wchar_t* CResourceManager::GetLanguage() const { return m_sLauguage.GetData(); }

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

void CResourceManager::ResetTextMap() { FreeStrings(m_mTextResourceHashMap); }

}  // namespace ZQUI
