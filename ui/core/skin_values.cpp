#include "ui/core/skin_values.h"

#include <cwchar>

namespace ZQUI {

int ParseSkinInt(const wchar_t* value) {
  if (value == nullptr) return 0;
  return static_cast<int>(wcstol(value, nullptr, 10));
}

void ParseSkinList(const wchar_t* value, long* out, int count) {
  for (int i = 0; i < count; ++i) out[i] = 0;
  if (value == nullptr) return;
  const wchar_t* p = value;
  for (int i = 0; i < count; ++i) {
    wchar_t* end = nullptr;
    out[i] = wcstol(p, &end, 10);
    // One separator character follows each number; the end of the text ends the list.
    if (end == nullptr || *end == L'\0') return;
    p = end + 1;
  }
}

RECT ParseSkinRect(const wchar_t* value) {
  long v[4];
  ParseSkinList(value, v, 4);
  RECT rc = {v[0], v[1], v[2], v[3]};
  return rc;
}

SIZE ParseSkinSize(const wchar_t* value) {
  long v[2];
  ParseSkinList(value, v, 2);
  SIZE sz = {v[0], v[1]};
  return sz;
}

DWORD ParseSkinColor(const wchar_t* value, bool skipWhitespace) {
  if (value == nullptr) return 0;
  if (skipWhitespace) {
    while (*value > L'\0' && *value <= L' ') ++value;
  }
  if (*value == L'#') ++value;
  return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

bool ParseSkinBool(const wchar_t* value) { return value != nullptr && _wcsicmp(value, L"true") == 0; }

}  // namespace ZQUI
