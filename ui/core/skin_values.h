// Readers for the value syntaxes of skin attributes, shared by every control:
// integer (decimal, optional sign, read up to the first other character, 0 without digits),
// list (integers separated by any single character, missing trailing numbers are 0),
// colour (optional '#', hexadecimal with an optional 0x, 0xAARRGGBB) and boolean ("true", case ignored).
#pragma once

#include <windows.h>

namespace ZQUI {

int ParseSkinInt(const wchar_t* value);
// Reads up to `count` list numbers into `out`; numbers not present are 0. Never reads past the text.
void ParseSkinList(const wchar_t* value, long* out, int count);
RECT ParseSkinRect(const wchar_t* value);
SIZE ParseSkinSize(const wchar_t* value);
// `skipWhitespace` skips leading blanks and control characters before the optional '#'.
DWORD ParseSkinColor(const wchar_t* value, bool skipWhitespace);
bool ParseSkinBool(const wchar_t* value);

}  // namespace ZQUI
