// The resource half of CPaintManagerUI: where skin files come from, styles, default attribute
// lists, the default font record and the global HSL values.
#include <cstdlib>
#include <cstring>
#include <new>

#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

struct ProcessResources {
  HINSTANCE instance = nullptr;
  CDuiString resourcePath;
  CDuiString zipName;
  CDuiString zipPassword;
  bool zipCached = true;
  HZIP zip = nullptr;
  BYTE* zipBuffer = nullptr;
  bool hslOn = false;
  short hue = 180;
  short saturation = 100;
  short lightness = 100;
  CStdStringPtrMap sharedStyles{83};
  CStdStringPtrMap sharedDefaults{83};
  TFontInfo sharedDefaultFont;
};

ProcessResources& Shared() {
  static ProcessResources resources;
  return resources;
}

const wchar_t* kMemoryZipName = L"membuffer";

void PasswordToAnsi(const wchar_t* password, char* out, int size) {
  out[0] = '\0';
  if (password == nullptr || *password == L'\0') return;
  if (WideCharToMultiByte(CP_ACP, 0, password, -1, out, size, nullptr, nullptr) <= 0) out[0] = '\0';
  out[size - 1] = '\0';
}

// Stores a copy of `value` under `key`; `replace` decides whether an existing entry gives way.
void StoreString(CStdStringPtrMap& map, const wchar_t* key, const wchar_t* value, bool replace) {
  auto* existing = static_cast<CDuiString*>(map.Find(key));
  if (existing != nullptr && !replace) return;
  auto* copy = new (std::nothrow) CDuiString(value);
  if (copy == nullptr) return;
  if (existing != nullptr) {
    delete static_cast<CDuiString*>(map.Set(key, copy));
  } else if (!map.Insert(key, copy)) {
    delete copy;
  }
}

}  // namespace

void CPaintManagerUI::FreeStringMap(CStdStringPtrMap& map) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    if (key != nullptr) delete static_cast<CDuiString*>(map.Find(key, false));
  }
  map.RemoveAll();
}

HINSTANCE CPaintManagerUI::GetInstance() { return Shared().instance; }
void CPaintManagerUI::SetInstance(HINSTANCE instance) { Shared().instance = instance; }

CDuiString CPaintManagerUI::GetInstancePath() {
  if (Shared().instance == nullptr) return CDuiString();
  wchar_t path[MAX_PATH + 1] = {0};
  DWORD length = GetModuleFileNameW(Shared().instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CDuiString();
  path[length] = L'\0';
  CDuiString result(path);
  int slash = result.ReverseFind(L'\\');
  if (slash < 0) return CDuiString();
  return result.Left(slash + 1);
}

CDuiString CPaintManagerUI::GetResourcePath() { return Shared().resourcePath; }

void CPaintManagerUI::SetResourcePath(const wchar_t* path) {
  CDuiString& stored = Shared().resourcePath;
  stored = path;
  if (stored.IsEmpty()) return;
  wchar_t last = stored.GetAt(stored.GetLength() - 1);
  if (last != L'\\' && last != L'/') stored += L'\\';
}

const CDuiString& CPaintManagerUI::GetResourceZip() { return Shared().zipName; }
const CDuiString& CPaintManagerUI::GetResourceZipPwd() { return Shared().zipPassword; }
bool CPaintManagerUI::IsCachedResourceZip() { return Shared().zipCached; }
HZIP CPaintManagerUI::GetResourceZipHandle() { return Shared().zip; }

void CPaintManagerUI::SetResourceZip(const void* data, unsigned size, const wchar_t* password) {
  ProcessResources& shared = Shared();
  // The first in-memory archive stays for the process lifetime.
  if (shared.zipName == kMemoryZipName) return;
  if (shared.zipCached && shared.zip != nullptr) {
    ZipClose(shared.zip);
    shared.zip = nullptr;
  }
  shared.zipName = kMemoryZipName;
  free(shared.zipBuffer);
  shared.zipBuffer = nullptr;
  if (data != nullptr && size > 0) {
    shared.zipBuffer = static_cast<BYTE*>(malloc(size));
    if (shared.zipBuffer != nullptr) memcpy(shared.zipBuffer, data, size);
  }
  shared.zipCached = true;
  shared.zipPassword = password;
  if (shared.zipBuffer == nullptr) return;
  char ansi[256];
  PasswordToAnsi(password, ansi, static_cast<int>(sizeof(ansi)));
  shared.zip = ZipOpenMemory(shared.zipBuffer, size, ansi[0] ? ansi : nullptr);
}

void CPaintManagerUI::SetResourceZip(const wchar_t* zip, bool cached, const wchar_t* password) {
  ProcessResources& shared = Shared();
  if (shared.zipName == (zip ? zip : L"") && shared.zipCached == cached) return;
  if (shared.zipCached && shared.zip != nullptr) {
    ZipClose(shared.zip);
    shared.zip = nullptr;
  }
  shared.zipName = zip;
  shared.zipCached = cached;
  shared.zipPassword = password;
  if (cached && !shared.zipName.IsEmpty()) {
    CDuiString path = shared.resourcePath;
    path += shared.zipName;
    char ansi[256];
    PasswordToAnsi(password, ansi, static_cast<int>(sizeof(ansi)));
    shared.zip = ZipOpenFile(path, ansi[0] ? ansi : nullptr);
  }
}

bool CPaintManagerUI::GetHSL(short* hue, short* saturation, short* lightness) {
  if (hue) *hue = Shared().hue;
  if (saturation) *saturation = Shared().saturation;
  if (lightness) *lightness = Shared().lightness;
  return Shared().hslOn;
}

void CPaintManagerUI::Term() {
  ProcessResources& shared = Shared();
  if (shared.zipCached && shared.zip != nullptr) ZipClose(shared.zip);
  shared.zip = nullptr;
  free(shared.zipBuffer);
  shared.zipBuffer = nullptr;
  shared.zipName.Empty();
  shared.zipPassword.Empty();
  shared.zipCached = true;
  FreeStringMap(shared.sharedStyles);
  FreeStringMap(shared.sharedDefaults);
  if (shared.sharedDefaultFont.hFont) DeleteObject(shared.sharedDefaultFont.hFont);
  shared.sharedDefaultFont = TFontInfo();
}

void CPaintManagerUI::AddStyle(const wchar_t* name, const wchar_t* list, bool shared) {
  if (name == nullptr || *name == L'\0' || list == nullptr) return;
  StoreString(shared ? Shared().sharedStyles : m_mStyles, name, list, false);
}

const wchar_t* CPaintManagerUI::GetStyle(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  auto* style = static_cast<CDuiString*>(m_mStyles.Find(name));
  if (style == nullptr) style = static_cast<CDuiString*>(Shared().sharedStyles.Find(name));
  return style ? style->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllStyle(bool shared) { FreeStringMap(shared ? Shared().sharedStyles : m_mStyles); }

void CPaintManagerUI::AddDefaultAttributeList(const wchar_t* className, const wchar_t* list, bool shared) {
  if (className == nullptr || *className == L'\0' || list == nullptr) return;
  StoreString(shared ? Shared().sharedDefaults : m_mDefaultAttributes, className, list, true);
}

const wchar_t* CPaintManagerUI::GetDefaultAttributeList(const wchar_t* className) const {
  if (className == nullptr) return nullptr;
  auto* list = static_cast<CDuiString*>(m_mDefaultAttributes.Find(className));
  if (list == nullptr) list = static_cast<CDuiString*>(Shared().sharedDefaults.Find(className));
  return list ? list->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveDefaultAttributeList(const wchar_t* className, bool shared) {
  CStdStringPtrMap& map = shared ? Shared().sharedDefaults : m_mDefaultAttributes;
  auto* list = static_cast<CDuiString*>(map.Find(className));
  if (list == nullptr) return false;
  delete list;
  return map.Remove(className);
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool shared) {
  FreeStringMap(shared ? Shared().sharedDefaults : m_mDefaultAttributes);
}

void CPaintManagerUI::ReadFontMetrics(TFontInfo& info, HDC dc) {
  if (info.hFont == nullptr || info.tm.tmHeight != 0) return;
  HDC screen = nullptr;
  if (dc == nullptr) dc = screen = GetDC(nullptr);
  if (dc == nullptr) return;
  HFONT old = static_cast<HFONT>(SelectObject(dc, info.hFont));
  GetTextMetricsW(dc, &info.tm);
  SelectObject(dc, old);
  if (screen) ReleaseDC(nullptr, screen);
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
  if (!m_defaultFont.sFontName.IsEmpty()) {
    ReadFontMetrics(m_defaultFont, m_hDcPaint);
    return &m_defaultFont;
  }
  TFontInfo& shared = Shared().sharedDefaultFont;
  if (shared.hFont == nullptr) {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    shared.hFont = CreateFontIndirectW(&lf);
    shared.sFontName = lf.lfFaceName;
    shared.iSize = -lf.lfHeight;
    shared.bBold = lf.lfWeight >= FW_BOLD;
    shared.bUnderline = lf.lfUnderline != 0;
    shared.bItalic = lf.lfItalic != 0;
  }
  ReadFontMetrics(shared, m_hDcPaint);
  return &shared;
}

tagTDrawInfo* CPaintManagerUI::GetDrawInfo(const wchar_t* image, const wchar_t* modify) {
  (void)image;
  (void)modify;
  return nullptr;
}

}  // namespace ZQUI
