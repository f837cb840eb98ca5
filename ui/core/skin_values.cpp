#include "ui/core/skin_values.h"

#include <cstdint>
#include <cwchar>

namespace ZQUI {

namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

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
  // Digits only: no blank skipped here and no sign taken (wcstoul would do both). An "0x" prefix
  // is allowed; too many digits saturate as wcstoul's would.
  if (value[0] == L'0' && (value[1] == L'x' || value[1] == L'X') && HexDigit(value[2]) >= 0) value += 2;
  uint64_t result = 0;
  for (int digit; (digit = HexDigit(*value)) >= 0; ++value) {
    result = result * 16 + static_cast<unsigned>(digit);
    if (result > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<DWORD>(result);
}

bool ParseSkinBool(const wchar_t* value) { return value != nullptr && _wcsicmp(value, L"true") == 0; }

}  // namespace ZQUI
