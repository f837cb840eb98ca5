// The resource half of CPaintManagerUI: where skin files come from, fonts, images, parsed image
// descriptions, styles, default attribute lists, default colours, window custom attributes, memory
// fonts and the global HSL shift. Every kind but the window's own attributes exists per manager
// and once shared by the process; lookups try the manager's set first.
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <new>
#include <vector>

#include "ui/core/control.h"
#include "ui/core/control_factory.h"
#include "ui/core/draw_info.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/resource_manager.h"
#include "ui/core/skin_file_reader.h"

namespace ZQUI {

namespace {

struct ProcessResources {
  ProcessResources() { TResInfo::SetSharedSet(&sharedRes); }
  ProcessResources(const ProcessResources&) = delete;
  ProcessResources& operator=(const ProcessResources&) = delete;

  HINSTANCE instance = nullptr;
  HINSTANCE resourceDll = nullptr;
  int resourceType = 0;
  TResInfo sharedRes;
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
  if (CResourceManager* resources = CResourceManager::PeekInstance()) resources->Release();
  CControlFactory::GetInstance()->Release();
  shared.sharedRes.FreeImages();
  shared.sharedRes.FreeFonts();
  if (shared.sharedDefaultFont.hFont) DeleteObject(shared.sharedDefaultFont.hFont);
  shared.sharedDefaultFont = TFontInfo();
  FreeStringMap(shared.sharedStyles);
  FreeStringMap(shared.sharedDefaults);
  if (shared.zipCached && shared.zip != nullptr) ZipClose(shared.zip);
  shared.zip = nullptr;
  free(shared.zipBuffer);
  shared.zipBuffer = nullptr;
  shared.zipName.Empty();
  shared.zipPassword.Empty();
  shared.zipCached = true;
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

// ---- Locations -------------------------------------------------------------------------------

HINSTANCE CPaintManagerUI::GetResourceDll() {
  return Shared().resourceDll ? Shared().resourceDll : Shared().instance;
}
void CPaintManagerUI::SetResourceDll(HINSTANCE instance) { Shared().resourceDll = instance; }

CDuiString CPaintManagerUI::GetCurrentPath() {
  wchar_t path[MAX_PATH + 1] = {0};
  DWORD length = GetCurrentDirectoryW(MAX_PATH, path);
  if (length == 0 || length > MAX_PATH) return CDuiString();
  return CDuiString(path);
}
void CPaintManagerUI::SetCurrentPath(const wchar_t* path) {
  if (path != nullptr) SetCurrentDirectoryW(path);
}
int CPaintManagerUI::GetResourceType() { return Shared().resourceType; }
void CPaintManagerUI::SetResourceType(int type) { Shared().resourceType = type; }

void CPaintManagerUI::ReloadSkin() {
  ReloadSharedImages();
  CStdPtrArray* managers = GetPaintManagers();
  for (int i = 0; i < managers->GetSize(); ++i) {
    static_cast<CPaintManagerUI*>(managers->GetAt(i))->ReloadImages();
  }
}

void CPaintManagerUI::SetHSL(bool useHSL, short hue, short saturation, short lightness) {
  ProcessResources& shared = Shared();
  if (!shared.hslOn && !useHSL) return;
  shared.hslOn = useHSL;
  if (hue == shared.hue && saturation == shared.saturation && lightness == shared.lightness) return;
  shared.hue = hue < 0 ? 0 : (hue > 360 ? 360 : hue);
  shared.saturation = saturation < 0 ? 0 : (saturation > 200 ? 200 : saturation);
  shared.lightness = lightness < 0 ? 0 : (lightness > 200 ? 200 : lightness);
  AdjustSharedImagesHSL();
  CStdPtrArray* managers = GetPaintManagers();
  for (int i = 0; i < managers->GetSize(); ++i) {
    auto* manager = static_cast<CPaintManagerUI*>(managers->GetAt(i));
    manager->AdjustImagesHSL();
  }
}

void CPaintManagerUI::SetForceUseSharedRes(bool force) { m_bForceUseSharedRes = force; }
bool CPaintManagerUI::IsForceUseSharedRes() const { return m_bForceUseSharedRes; }

// ---- Default colours -------------------------------------------------------------------------

namespace {

void SetColor(DWORD TResInfo::*field, TResInfo& own, DWORD color, bool shared) {
  if (!shared) {
    own.*field = color;
    return;
  }
  TResInfo& common = Shared().sharedRes;
  if (own.*field == common.*field) own.*field = color;
  common.*field = color;
}

}  // namespace

DWORD CPaintManagerUI::GetDefaultDisabledColor() const { return m_ResInfo.m_dwDefaultDisabledColor; }
void CPaintManagerUI::SetDefaultDisabledColor(DWORD color, bool shared) {
  SetColor(&TResInfo::m_dwDefaultDisabledColor, m_ResInfo, color, shared);
}
DWORD CPaintManagerUI::GetDefaultFontColor() const { return m_ResInfo.m_dwDefaultFontColor; }
void CPaintManagerUI::SetDefaultFontColor(DWORD color, bool shared) {
  SetColor(&TResInfo::m_dwDefaultFontColor, m_ResInfo, color, shared);
}
DWORD CPaintManagerUI::GetDefaultLinkFontColor() const { return m_ResInfo.m_dwDefaultLinkFontColor; }
void CPaintManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared) {
  SetColor(&TResInfo::m_dwDefaultLinkFontColor, m_ResInfo, color, shared);
}
DWORD CPaintManagerUI::GetDefaultLinkHoverFontColor() const { return m_ResInfo.m_dwDefaultLinkHoverFontColor; }
void CPaintManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared) {
  SetColor(&TResInfo::m_dwDefaultLinkHoverFontColor, m_ResInfo, color, shared);
}
DWORD CPaintManagerUI::GetDefaultSelectedBkColor() const { return m_ResInfo.m_dwDefaultSelectedBkColor; }
void CPaintManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared) {
  SetColor(&TResInfo::m_dwDefaultSelectedBkColor, m_ResInfo, color, shared);
}

// ---- Fonts -----------------------------------------------------------------------------------

namespace {

CDuiString FontKey(int id) {
  CDuiString key;
  key.SmallFormat(L"%d", id);
  return key;
}

LOGFONTW DefaultGuiLogFont() {
  LOGFONTW lf = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  return lf;
}

void SetFaceName(LOGFONTW& lf, const wchar_t* face) {
  if (face == nullptr || *face == L'\0') return;
  // lfFaceName holds 31 characters and the terminator.
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
}

bool SameFont(const TFontInfo* info, const wchar_t* face, int size, bool bold, bool underline, bool italic,
              bool strikeout) {
  return info != nullptr && info->sFontName == (face ? face : L"") && info->iSize == size &&
         info->bBold == bold && info->bUnderline == underline && info->bItalic == italic &&
         info->bStrikeout == strikeout;
}

TFontInfo* FontAt(const CStdStringPtrMap& map, int index) {
  const wchar_t* key = map.GetAt(index);
  return key ? static_cast<TFontInfo*>(map.Find(key, false)) : nullptr;
}

}  // namespace

HFONT CPaintManagerUI::AddFont(int id, const wchar_t* fontName, int size, bool bold, bool underline, bool italic,
                               bool strikeout, bool shared) {
  LOGFONTW lf = DefaultGuiLogFont();
  SetFaceName(lf, fontName);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -GetDPIObj()->Scale(size);
  if (bold) lf.lfWeight = FW_BOLD;
  if (underline) lf.lfUnderline = TRUE;
  if (italic) lf.lfItalic = TRUE;
  if (strikeout) lf.lfStrikeOut = TRUE;
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return nullptr;

  auto* info = new (std::nothrow) TFontInfo;
  if (info == nullptr) {
    DeleteObject(font);
    return nullptr;
  }
  info->hFont = font;
  info->sFontName = fontName;
  info->iSize = size;
  info->bBold = bold;
  info->bUnderline = underline;
  info->bItalic = italic;
  info->bStrikeout = strikeout;
  if (m_hDcPaint != nullptr) ReadFontMetrics(*info, m_hDcPaint);

  CStdStringPtrMap& fonts = (shared || m_bForceUseSharedRes) ? Shared().sharedRes.m_CustomFonts : m_ResInfo.m_CustomFonts;
  CDuiString key = FontKey(id);
  if (auto* old = static_cast<TFontInfo*>(fonts.Find(key))) {
    if (old->hFont) DeleteObject(old->hFont);
    delete old;
    fonts.Remove(key);
  }
  if (!fonts.Insert(key, info)) {
    DeleteObject(font);
    delete info;
    return nullptr;
  }
  return font;
}

void CPaintManagerUI::SetDefaultFont(const wchar_t* fontName, int size, bool bold, bool underline, bool italic,
                                     bool strikeout, bool shared) {
  LOGFONTW lf = DefaultGuiLogFont();
  SetFaceName(lf, fontName);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -GetDPIObj()->Scale(size);
  if (bold) lf.lfWeight += FW_BOLD;
  if (underline) lf.lfUnderline = TRUE;
  if (italic) lf.lfItalic = TRUE;
  if (strikeout) lf.lfStrikeOut = TRUE;
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return;
  TFontInfo& target = shared ? Shared().sharedDefaultFont : m_defaultFont;
  if (target.hFont) DeleteObject(target.hFont);
  target = TFontInfo();
  target.hFont = font;
  target.sFontName = lf.lfFaceName;
  target.iSize = size;
  target.bBold = bold;
  target.bUnderline = underline;
  target.bItalic = italic;
  target.bStrikeout = strikeout;
  ReadFontMetrics(target, m_hDcPaint);
}

DWORD CPaintManagerUI::GetCustomFontCount(bool shared) const {
  return static_cast<DWORD>(shared ? Shared().sharedRes.m_CustomFonts.GetSize() : m_ResInfo.m_CustomFonts.GetSize());
}

void CPaintManagerUI::AddFontArray(const wchar_t* fontFile) {
  std::vector<BYTE> bytes;
  if (!ReadSkinItem(fontFile, nullptr, nullptr, &bytes) || bytes.empty()) return;
  DWORD installed = 0;
  HANDLE font = AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &installed);
  if (font != nullptr) m_ResInfo.m_aMemoryFonts.Add(font);
}

HFONT CPaintManagerUI::GetFont(int id) {
  if (id < 0) return GetDefaultFontInfo()->hFont;
  CDuiString key = FontKey(id);
  auto* info = static_cast<TFontInfo*>(m_ResInfo.m_CustomFonts.Find(key));
  if (info == nullptr) info = static_cast<TFontInfo*>(Shared().sharedRes.m_CustomFonts.Find(key));
  if (info == nullptr) return GetDefaultFontInfo()->hFont;
  return info->hFont;
}

HFONT CPaintManagerUI::GetFont(const wchar_t* fontName, int size, bool bold, bool underline, bool italic,
                               bool strikeout) {
  for (int i = 0; i < m_ResInfo.m_CustomFonts.GetSize(); ++i) {
    TFontInfo* info = FontAt(m_ResInfo.m_CustomFonts, i);
    if (SameFont(info, fontName, size, bold, underline, italic, strikeout)) return info->hFont;
  }
  const CStdStringPtrMap& common = Shared().sharedRes.m_CustomFonts;
  for (int i = 0; i < common.GetSize(); ++i) {
    TFontInfo* info = FontAt(common, i);
    if (SameFont(info, fontName, size, bold, underline, italic, strikeout)) return info->hFont;
  }
  return nullptr;
}

int CPaintManagerUI::GetFontIndex(HFONT font, bool shared) {
  const CStdStringPtrMap& fonts = shared ? Shared().sharedRes.m_CustomFonts : m_ResInfo.m_CustomFonts;
  for (int i = 0; i < fonts.GetSize(); ++i) {
    TFontInfo* info = FontAt(fonts, i);
    if (info != nullptr && info->hFont == font) return _wtoi(fonts.GetAt(i));
  }
  return -1;
}

int CPaintManagerUI::GetFontIndex(const wchar_t* fontName, int size, bool bold, bool underline, bool italic,
                                  bool strikeout, bool shared) {
  const CStdStringPtrMap& fonts = shared ? Shared().sharedRes.m_CustomFonts : m_ResInfo.m_CustomFonts;
  for (int i = 0; i < fonts.GetSize(); ++i) {
    TFontInfo* info = FontAt(fonts, i);
    if (SameFont(info, fontName, size, bold, underline, italic, strikeout)) return _wtoi(fonts.GetAt(i));
  }
  return -1;
}

void CPaintManagerUI::RemoveFont(HFONT font, bool shared) {
  CStdStringPtrMap& fonts = shared ? Shared().sharedRes.m_CustomFonts : m_ResInfo.m_CustomFonts;
  for (int i = 0; i < fonts.GetSize(); ++i) {
    TFontInfo* info = FontAt(fonts, i);
    if (info == nullptr || info->hFont != font) continue;
    CDuiString key = fonts.GetAt(i);
    DeleteObject(info->hFont);
    delete info;
    fonts.Remove(key);
    return;
  }
}

void CPaintManagerUI::RemoveFont(int id, bool shared) {
  CStdStringPtrMap& fonts = shared ? Shared().sharedRes.m_CustomFonts : m_ResInfo.m_CustomFonts;
  CDuiString key = FontKey(id);
  auto* info = static_cast<TFontInfo*>(fonts.Find(key));
  if (info == nullptr) return;
  if (info->hFont) DeleteObject(info->hFont);
  delete info;
  fonts.Remove(key);
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
  (shared ? Shared().sharedRes : m_ResInfo).FreeFonts();
}

TFontInfo* CPaintManagerUI::GetFontInfo(int id) {
  if (id < 0) return GetDefaultFontInfo();
  CDuiString key = FontKey(id);
  auto* info = static_cast<TFontInfo*>(m_ResInfo.m_CustomFonts.Find(key));
  if (info == nullptr) info = static_cast<TFontInfo*>(Shared().sharedRes.m_CustomFonts.Find(key));
  if (info == nullptr) return GetDefaultFontInfo();
  ReadFontMetrics(*info, m_hDcPaint);
  return info;
}

TFontInfo* CPaintManagerUI::GetFontInfo(HFONT font) {
  for (const CStdStringPtrMap* fonts : {&m_ResInfo.m_CustomFonts, &Shared().sharedRes.m_CustomFonts}) {
    for (int i = 0; i < fonts->GetSize(); ++i) {
      TFontInfo* info = FontAt(*fonts, i);
      if (info != nullptr && info->hFont == font) {
        ReadFontMetrics(*info, m_hDcPaint);
        return info;
      }
    }
  }
  return GetDefaultFontInfo();
}

void CPaintManagerUI::RebuildAllFonts() {
  // Every record of both tables, not every id through the lookup: a shared font shadowed by one of
  // the manager's own with the same id is rebuilt as well, and so is either default font.
  for (CStdStringPtrMap* fonts : {&m_ResInfo.m_CustomFonts, &Shared().sharedRes.m_CustomFonts}) {
    for (int i = 0; i < fonts->GetSize(); ++i) RebuildFont(FontAt(*fonts, i));
  }
  RebuildFont(&m_defaultFont);
  // The shared default is made on first use; made now when this manager uses it.
  if (Shared().sharedDefaultFont.hFont == nullptr) GetDefaultFontInfo();
  if (Shared().sharedDefaultFont.hFont != nullptr) RebuildFont(&Shared().sharedDefaultFont);
}

void CPaintManagerUI::RebuildFont(TFontInfo* info) {
  if (info == nullptr) return;
  LOGFONTW lf = DefaultGuiLogFont();
  SetFaceName(lf, info->sFontName);
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -GetDPIObj()->Scale(info->iSize);
  lf.lfQuality = CLEARTYPE_QUALITY;
  if (info->bBold) lf.lfWeight += FW_BOLD;
  if (info->bUnderline) lf.lfUnderline = TRUE;
  if (info->bItalic) lf.lfItalic = TRUE;
  if (info->bStrikeout) lf.lfStrikeOut = TRUE;
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return;
  if (info->hFont) DeleteObject(info->hFont);
  info->hFont = font;
  info->tm = TEXTMETRICW();
  ReadFontMetrics(*info, m_hDcPaint);
}

// ---- Images ----------------------------------------------------------------------------------

namespace {

TImageInfo* ImageAt(const CStdStringPtrMap& map, int index) {
  const wchar_t* key = map.GetAt(index);
  return key ? static_cast<TImageInfo*>(map.Find(key, false)) : nullptr;
}

TImageInfo* LoadNamedImage(const wchar_t* bitmap, const wchar_t* type, DWORD mask, bool gdiplus, HINSTANCE instance,
                           int scale) {
  if (type != nullptr && *type != L'\0') {
    if (!iswdigit(bitmap[0])) return nullptr;
    UINT id = static_cast<UINT>(_wtoi(bitmap));
    return gdiplus ? CRenderEngine::GdiplusLoadImage(id, type, mask, instance)
                   : CRenderEngine::LoadImage(id, scale, type, mask, instance);
  }
  TImageInfo* image = gdiplus ? CRenderEngine::GdiplusLoadImage(bitmap, nullptr, mask, instance)
                              : CRenderEngine::LoadImage(bitmap, scale, nullptr, mask, instance);
  if (image != nullptr) return image;
  // A name carrying the DPI suffix ("8@.png") falls back to the plain name ("8.png"); only an
  // at-sign that precedes the extension's dot counts.
  CDuiString name(bitmap);
  int at = name.ReverseFind(L'@');
  int dot = name.ReverseFind(L'.');
  if (at < 0 || dot < 0 || at > dot) return nullptr;
  CDuiString plain = name.Left(at) + name.Mid(dot);
  return gdiplus ? CRenderEngine::GdiplusLoadImage(plain, nullptr, mask, instance)
                 : CRenderEngine::LoadImage(plain, scale, nullptr, mask, instance);
}

// Keeps a copy of the decoded pixels as the source of later HSL adjustments.
void PrepareHSL(TImageInfo* image, bool useHSL) {
  image->bUseHSL = useHSL;
  if (!useHSL || image->pBits == nullptr || image->nX <= 0 || image->nY <= 0) return;
  size_t size = static_cast<size_t>(image->nX) * static_cast<size_t>(image->nY) * 4u;
  free(image->pSrcBits);
  image->pSrcBits = static_cast<LPBYTE>(malloc(size));
  if (image->pSrcBits != nullptr) memcpy(image->pSrcBits, image->pBits, size);
  short hue = 180, saturation = 100, lightness = 100;
  if (CPaintManagerUI::GetHSL(&hue, &saturation, &lightness)) {
    CRenderEngine::AdjustImage(true, image, hue, saturation, lightness);
  }
}

// Moves the pixels of `fresh` into `target`, so pointers to `target` stay valid; frees `fresh`.
void TakeOverImage(TImageInfo* target, TImageInfo* fresh) {
  bool useHSL = target->bUseHSL;
  CDuiString type = target->sResType;
  DWORD mask = target->dwMask;
  CRenderEngine::FreeImage(target, false);
  *target = *fresh;
  target->sResType = type;
  target->dwMask = mask;
  *fresh = TImageInfo();
  CRenderEngine::FreeImage(fresh, true);
  PrepareHSL(target, useHSL);
}

}  // namespace

const TImageInfo* CPaintManagerUI::GetImage(const wchar_t* bitmap) {
  if (bitmap == nullptr) return nullptr;
  auto* image = static_cast<TImageInfo*>(m_ResInfo.m_ImageHash.Find(bitmap));
  if (image == nullptr) image = static_cast<TImageInfo*>(Shared().sharedRes.m_ImageHash.Find(bitmap));
  return image;
}

const TImageInfo* CPaintManagerUI::GetImageEx(const wchar_t* bitmap, const wchar_t* type, DWORD mask, bool useHSL,
                                              bool gdiplus, HINSTANCE instance) {
  const TImageInfo* image = GetImage(bitmap);
  if (image != nullptr) return image;
  if (AddImage(bitmap, type, mask, useHSL, gdiplus, false, instance) == nullptr) return nullptr;
  return GetImage(bitmap);
}

const TImageInfo* CPaintManagerUI::AddImage(const wchar_t* bitmap, const wchar_t* type, DWORD mask, bool useHSL,
                                            bool gdiplus, bool shared, HINSTANCE instance) {
  if (bitmap == nullptr || *bitmap == L'\0') return nullptr;
  int scale = static_cast<int>(GetDPIObj()->GetScale());
  TImageInfo* image = LoadNamedImage(bitmap, type, mask, gdiplus, instance, scale);
  if (image == nullptr) return nullptr;
  if (type != nullptr && *type != L'\0') image->sResType = type;
  image->dwMask = mask;
  PrepareHSL(image, useHSL);

  CStdStringPtrMap& images = (shared || m_bForceUseSharedRes) ? Shared().sharedRes.m_ImageHash : m_ResInfo.m_ImageHash;
  if (auto* old = static_cast<TImageInfo*>(images.Find(bitmap))) {
    CRenderEngine::FreeImage(old);
    images.Remove(bitmap);
  }
  if (!images.Insert(bitmap, image)) {
    CRenderEngine::FreeImage(image);
    return nullptr;
  }
  return image;
}

const TImageInfo* CPaintManagerUI::AddImage(const wchar_t* bitmap, HBITMAP hBitmap, int width, int height, bool alpha,
                                            bool shared) {
  if (bitmap == nullptr || *bitmap == L'\0' || hBitmap == nullptr || width <= 0 || height <= 0) return nullptr;
  auto* image = new (std::nothrow) TImageInfo;
  if (image == nullptr) return nullptr;
  image->hBitmap = hBitmap;
  image->nX = width;
  image->nY = height;
  image->bAlpha = alpha;
  CStdStringPtrMap& images = (shared || m_bForceUseSharedRes) ? Shared().sharedRes.m_ImageHash : m_ResInfo.m_ImageHash;
  if (!images.Insert(bitmap, image)) {
    CRenderEngine::FreeImage(image);
    return nullptr;
  }
  return image;
}

const TImageInfo* CPaintManagerUI::ModifyImage(const wchar_t* bitmap, HBITMAP hBitmap, LPBYTE bits, int width,
                                               int height, bool alpha) {
  if (bitmap == nullptr) return nullptr;
  auto* image = static_cast<TImageInfo*>(m_ResInfo.m_ImageHash.Find(bitmap));
  if (image == nullptr) image = static_cast<TImageInfo*>(Shared().sharedRes.m_ImageHash.Find(bitmap));
  if (image == nullptr) return nullptr;
  image->hBitmap = hBitmap;
  image->pBits = bits;
  image->nX = width;
  image->nY = height;
  image->bAlpha = alpha;
  return image;
}

void CPaintManagerUI::RemoveImage(const wchar_t* bitmap, bool shared) {
  if (bitmap == nullptr) return;
  CStdStringPtrMap& images = shared ? Shared().sharedRes.m_ImageHash : m_ResInfo.m_ImageHash;
  auto* image = static_cast<TImageInfo*>(images.Find(bitmap));
  if (image == nullptr) return;
  CRenderEngine::FreeImage(image);
  images.Remove(bitmap);
}

void CPaintManagerUI::RemoveAllImages(bool shared) { (shared ? Shared().sharedRes : m_ResInfo).FreeImages(); }

void CPaintManagerUI::ReloadSharedImages() {
  CStdStringPtrMap& images = Shared().sharedRes.m_ImageHash;
  for (int i = 0; i < images.GetSize(); ++i) {
    const wchar_t* name = images.GetAt(i);
    TImageInfo* image = ImageAt(images, i);
    if (name == nullptr || image == nullptr || image->hBitmap == nullptr) continue;
    TImageInfo* fresh = LoadNamedImage(name, image->sResType, image->dwMask, image->pImage != nullptr, nullptr, 100);
    if (fresh != nullptr) TakeOverImage(image, fresh);
  }
}

void CPaintManagerUI::ReloadImages() {
  RemoveAllDrawInfos();
  CStdStringPtrMap& images = m_ResInfo.m_ImageHash;
  std::vector<CDuiString> failed;
  int scale = static_cast<int>(GetDPIObj()->GetScale());
  for (int i = 0; i < images.GetSize(); ++i) {
    const wchar_t* name = images.GetAt(i);
    TImageInfo* image = ImageAt(images, i);
    if (name == nullptr || image == nullptr) continue;
    TImageInfo* fresh = LoadNamedImage(name, image->sResType, image->dwMask, image->pImage != nullptr, nullptr, scale);
    if (fresh != nullptr) {
      TakeOverImage(image, fresh);
    } else {
      failed.emplace_back(name);
    }
  }
  for (const CDuiString& name : failed) RemoveImage(name, false);
  if (m_pRoot != nullptr) m_pRoot->Invalidate();
}

void CPaintManagerUI::AdjustSharedImagesHSL() {
  short hue = 180, saturation = 100, lightness = 100;
  bool on = GetHSL(&hue, &saturation, &lightness);
  CStdStringPtrMap& images = Shared().sharedRes.m_ImageHash;
  for (int i = 0; i < images.GetSize(); ++i) {
    TImageInfo* image = ImageAt(images, i);
    if (image != nullptr && image->bUseHSL) CRenderEngine::AdjustImage(on, image, hue, saturation, lightness);
  }
}

void CPaintManagerUI::AdjustImagesHSL() {
  short hue = 180, saturation = 100, lightness = 100;
  bool on = GetHSL(&hue, &saturation, &lightness);
  CStdStringPtrMap& images = m_ResInfo.m_ImageHash;
  for (int i = 0; i < images.GetSize(); ++i) {
    TImageInfo* image = ImageAt(images, i);
    if (image != nullptr && image->bUseHSL) CRenderEngine::AdjustImage(on, image, hue, saturation, lightness);
  }
  if (m_hWndPaint != nullptr) InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

const TImageInfo* CPaintManagerUI::GetImageString(const wchar_t* image, const wchar_t* modify) {
  TDrawInfo info;
  info.Parse(image, modify, nullptr);
  return GetImageEx(info.sImageName, info.sResType, info.dwMask);
}

// ---- Draw descriptions -----------------------------------------------------------------------

tagTDrawInfo* CPaintManagerUI::GetDrawInfo(const wchar_t* image, const wchar_t* modify) {
  CDuiString key(image ? image : L"");
  key += modify ? modify : L"";
  if (key.IsEmpty()) return nullptr;
  auto* info = static_cast<TDrawInfo*>(m_ResInfo.m_DrawInfoHash.Find(key));
  if (info != nullptr) return info;
  info = new (std::nothrow) TDrawInfo;
  if (info == nullptr) return nullptr;
  info->Parse(image, modify, this);
  if (!m_ResInfo.m_DrawInfoHash.Insert(key, info)) {
    delete info;
    return nullptr;
  }
  return info;
}

void CPaintManagerUI::RemoveDrawInfo(const wchar_t* image, const wchar_t* modify) {
  CDuiString key(image ? image : L"");
  key += modify ? modify : L"";
  if (key.IsEmpty()) return;
  auto* info = static_cast<TDrawInfo*>(m_ResInfo.m_DrawInfoHash.Find(key));
  if (info == nullptr) return;
  delete info;
  m_ResInfo.m_DrawInfoHash.Remove(key);
}

void CPaintManagerUI::RemoveAllDrawInfos() { m_ResInfo.FreeDrawInfos(); }

// ---- Styles and window custom attributes -----------------------------------------------------

int CPaintManagerUI::RemoveStyle(const wchar_t* name, bool shared) {
  CStdStringPtrMap& styles = shared ? Shared().sharedStyles : m_mStyles;
  if (name != nullptr) {
    if (auto* style = static_cast<CDuiString*>(styles.Find(name))) {
      delete style;
      styles.Remove(name);
    }
  }
  return 1;
}

const CStdStringPtrMap& CPaintManagerUI::GetStyles(bool shared) const {
  return shared ? Shared().sharedStyles : m_mStyles;
}

void CPaintManagerUI::AddWindowCustomAttribute(const wchar_t* name, const wchar_t* attr) {
  if (name == nullptr || *name == L'\0' || attr == nullptr || *attr == L'\0') return;
  StoreString(m_ResInfo.m_WindowCustomAttrHash, name, attr, false);
}

const wchar_t* CPaintManagerUI::GetWindowCustomAttribute(const wchar_t* name) const {
  if (name == nullptr || *name == L'\0') return nullptr;
  auto* value = static_cast<CDuiString*>(m_ResInfo.m_WindowCustomAttrHash.Find(name));
  return value ? value->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveWindowCustomAttribute(const wchar_t* name) {
  if (name == nullptr) return false;
  auto* value = static_cast<CDuiString*>(m_ResInfo.m_WindowCustomAttrHash.Find(name));
  if (value == nullptr) return false;
  delete value;
  return m_ResInfo.m_WindowCustomAttrHash.Remove(name);
}

void CPaintManagerUI::RemoveAllWindowCustomAttribute() { m_ResInfo.FreeWindowCustomAttributes(); }


}  // namespace ZQUI
