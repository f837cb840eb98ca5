#include "app/strict_utf8.h"

#include <cstdint>

namespace app {

bool DecodeUtf8Strict(const void* data, size_t size, std::wstring* out) {
  out->clear();
  if (!data || size == 0) return true;
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::wstring text;
  text.reserve(size);
  size_t i = 0;
  while (i < size) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      text.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    // The well-formed byte sequences of the Unicode standard (table 3-7): the lead byte fixes the
    // length and the range of the second byte, which excludes overlong forms, surrogates and
    // code points above U+10FFFF; the later bytes are plain continuations.
    int length = 0;
    unsigned char second_min = 0x80;
    unsigned char second_max = 0xBF;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      if (lead == 0xE0) second_min = 0xA0;
      if (lead == 0xED) second_max = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      if (lead == 0xF0) second_min = 0x90;
      if (lead == 0xF4) second_max = 0x8F;
    } else {
      return false;
    }
    if (size - i < static_cast<size_t>(length)) return false;
    for (int k = 1; k < length; ++k) {
      const unsigned char next = bytes[i + k];
      const unsigned char low = k == 1 ? second_min : 0x80;
      const unsigned char high = k == 1 ? second_max : 0xBF;
      if (next < low || next > high) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      text.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
      text.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
    } else {
      text.push_back(static_cast<wchar_t>(code));
    }
    i += length;
  }
  out->swap(text);
  return true;
}

}  // namespace app
