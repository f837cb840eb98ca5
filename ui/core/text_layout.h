// Text preparation and line breaking for the FreeType text path: pure functions over code points,
// with the glyph advance supplied by the caller, so they can be checked without a font.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ZQUI {

// Decodes UTF-16 (surrogate pairs joined) and normalises line breaks: CR LF and lone CR, a
// backslash followed by 'n', and "&#10;", "&#x0a;", "&#x0A;" become LF. Unless DT_NOPREFIX is set,
// "&&" becomes "&" and every other "&" is removed.
std::u32string PrepareText(const wchar_t* text, UINT style);

struct TextLine {
  std::u32string text;
  int width = 0;
};

// Breaks prepared text into lines for a box `boxWidth` wide: DT_SINGLELINE keeps the text up to
// the first LF; DT_WORDBREAK wraps each paragraph at spaces and tabs (a paragraph ending in LF is
// followed by one empty line); otherwise every LF starts a line.
std::vector<TextLine> BreakLines(const std::u32string& text, UINT style, int boxWidth,
                                 const std::function<int(char32_t)>& advance);

}  // namespace ZQUI
