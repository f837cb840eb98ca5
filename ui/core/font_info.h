// tagTFontInfo: one font of a resource set (the manager's own or the shared one).
#pragma once

#include <windows.h>

#include "ui/core/dui_string.h"

namespace ZQUI {

struct tagTFontInfo {
  HFONT hFont = nullptr;
  CDuiString sFontName;
  int iSize = 0;  // unscaled skin units
  bool bBold = false;
  bool bUnderline = false;
  bool bItalic = false;
  bool bStrikeout = false;
  TEXTMETRICW tm = {};  // read lazily; tmHeight 0 means not read yet
};
using TFontInfo = tagTFontInfo;

}  // namespace ZQUI
