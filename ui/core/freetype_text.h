// The FreeType text path for a given font record, shared by plain and markup text: FreeType
// coverage composited with one AlphaBlend, so the alpha channel of a 32-bit target stays right.
#pragma once

#include <windows.h>

#include "ui/core/font_info.h"

namespace ZQUI {

// Draws (or with DT_CALCRECT measures) `text` in `font`; false when FreeType cannot use the font
// or the text is empty, and nothing was drawn.
bool FreeTypeDrawTextWithFont(HDC hDC, const TFontInfo& font, RECT& rc, const wchar_t* text, DWORD color,
                              UINT style);

}  // namespace ZQUI
