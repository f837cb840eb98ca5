// A strict UTF-8 to UTF-16 decoder for texts the installer carries (the licence agreement).
#pragma once

#include <cstddef>
#include <string>

namespace app {

// Decodes `size` bytes of UTF-8 into `out`, accepting only well-formed sequences: no overlong
// forms, no encoded surrogates, nothing above U+10FFFF and no sequence cut off by the end of the
// input. Code points above U+FFFF become surrogate pairs. On any fault `out` is left empty and the
// result is false.
bool DecodeUtf8Strict(const void* data, size_t size, std::wstring* out);

}  // namespace app
