#include "ui/core/draw_info.h"

#include <cwchar>

#include "ui/core/dpi.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

// Reads up to `count` decimal integers separated by any single character. Missing numbers are 0,
// and the reader never steps past the end of the value.
void ReadIntegers(const wchar_t* value, LONG* out, int count) {
  const wchar_t* p = value;
  for (int i = 0; i < count; ++i) {
    out[i] = 0;
    if (*p == L'\0') continue;
    wchar_t* end = nullptr;
    out[i] = static_cast<LONG>(wcstol(p, &end, 10));
    p = end;
    if (*p != L'\0') ++p;
  }
}

RECT ReadRect(const wchar_t* value) {
  LONG v[4];
  ReadIntegers(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

bool IsTrue(const CDuiString& value) { return value.CompareNoCase(L"true") == 0; }

void ApplyPair(tagTDrawInfo& info, const CDuiString& key, const CDuiString& value, CPaintManagerUI* manager) {
  CDPI* dpi = manager ? manager->GetDPIObj() : nullptr;
  if (key == L"file" || key == L"res") {
    info.sImageName = value;
  } else if (key == L"restype") {
    info.sResType = value;
  } else if (key == L"dest" || key == L"source" || key == L"corner") {
    RECT rc = ReadRect(value);
    if (dpi != nullptr) dpi->Scale(&rc);
    if (key == L"dest") info.rcDest = rc;
    else if (key == L"source") info.rcSource = rc;
    else info.rcCorner = rc;
  } else if (key == L"mask") {
    const wchar_t* p = value.GetData();
    if (*p == L'#') ++p;
    info.dwMask = static_cast<DWORD>(wcstoul(p, nullptr, 16));
  } else if (key == L"fade") {
    unsigned long fade = wcstoul(value, nullptr, 10);
    // A fade is a constant alpha: anything above opaque stays opaque.
    info.uFade = fade > 255 ? 255 : static_cast<int>(fade);
  } else if (key == L"rotate") {
    info.uRotate = static_cast<UINT>(wcstoul(value, nullptr, 10));
    info.bGdiplus = true;
  } else if (key == L"gdiplus") {
    info.bGdiplus = IsTrue(value);
  } else if (key == L"hole") {
    info.bHole = IsTrue(value);
  } else if (key == L"xtiled") {
    info.bTiledX = IsTrue(value);
  } else if (key == L"ytiled") {
    info.bTiledY = IsTrue(value);
  } else if (key == L"hsl") {
    info.bHSL = IsTrue(value);
  } else if (key == L"size") {
    LONG v[2];
    ReadIntegers(value, v, 2);
    info.szImage = SIZE{v[0], v[1]};
  } else if (key == L"align") {
    info.sAlign = value;
  } else if (key == L"padding") {
    info.rcPadding = ReadRect(value);
  }
}

// Scans key='value' pairs. The scan stops at the first malformed pair, and continues after a value
// only when a space (and more text) follows its closing apostrophe.
void ScanPairs(tagTDrawInfo& info, const wchar_t* text, CPaintManagerUI* manager) {
  if (text == nullptr || *text == L'\0') return;
  const wchar_t* p = text;
  while (*p != L'\0') {
    while (*p != L'\0' && *p <= L' ') p = CharNextW(p);
    const wchar_t* keyStart = p;
    while (*p != L'\0' && *p != L'=' && *p > L' ') p = CharNextW(p);
    CDuiString key(keyStart, static_cast<int>(p - keyStart));
    while (*p != L'\0' && *p <= L' ') p = CharNextW(p);
    if (*p != L'=') return;
    ++p;
    while (*p != L'\0' && *p <= L' ') p = CharNextW(p);
    if (*p != L'\'') return;
    ++p;
    const wchar_t* valueStart = p;
    while (*p != L'\0' && *p != L'\'') p = CharNextW(p);
    if (*p != L'\'') return;
    CDuiString value(valueStart, static_cast<int>(p - valueStart));
    ++p;
    if (!value.IsEmpty()) ApplyPair(info, key, value, manager);
    if (*p != L' ' || p[1] == L'\0') return;
    ++p;
  }
}

}  // namespace

void tagTDrawInfo::Parse(const wchar_t* description, const wchar_t* modifier, CPaintManagerUI* manager) {
  sDrawString = description;
  sDrawModify = modifier;
  sImageName = description;
  ScanPairs(*this, description, manager);
  ScanPairs(*this, modifier, manager);

  if (manager == nullptr) return;
  CDPI* dpi = manager->GetDPIObj();
  if (dpi == nullptr || dpi->GetDPIAwareness() == kDpiUnaware || dpi->GetScale() == 100) return;
  CDuiString lower = sImageName;
  lower.MakeLower();
  if (lower.Find(L".svg") >= 0) return;
  // Only the extension's dot takes the scale suffix ("8.png" -> "8@.png"); dots in folder names
  // or earlier in the file name stay as they are.
  int dot = sImageName.ReverseFind(L'.');
  int slash = sImageName.ReverseFind(L'/');
  int backslash = sImageName.ReverseFind(L'\\');
  if (dot < 0 || dot < slash || dot < backslash) return;
  sImageName = sImageName.Left(dot) + L"@" + sImageName.Mid(dot);
}

void tagTDrawInfo::Clear() { *this = tagTDrawInfo(); }

}  // namespace ZQUI
