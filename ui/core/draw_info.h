// tagTDrawInfo: one parsed image description string such as
// "file='12.png' source='0,0,348,36' corner='5,5,5,5'". The paint manager caches one per distinct
// (description, modifier) pair; the image itself is looked up by name at every draw.
#pragma once

#include <windows.h>

#include "ui/core/dui_string.h"
#include "ui/core/image_info.h"

namespace ZQUI {

class CPaintManagerUI;

struct tagTDrawInfo {
  tagTDrawInfo() = default;
  tagTDrawInfo(const tagTDrawInfo&) = default;
  tagTDrawInfo& operator=(const tagTDrawInfo&) = default;

  // Reads the key='value' pairs of `description` and then of `modifier`; lengths are scaled by the
  // manager's DPI when a manager is given. Fields not named keep their values (start from Clear).
  void Parse(const wchar_t* description, const wchar_t* modifier, CPaintManagerUI* manager);
  void Clear();

  TImageInfo* pImageInfo = nullptr;  // bound only on the svg path
  CDuiString sDrawString;
  CDuiString sDrawModify;
  CDuiString sImageName;
  CDuiString sResType;
  RECT rcDest = {0, 0, 0, 0};
  RECT rcSource = {0, 0, 0, 0};
  RECT rcCorner = {0, 0, 0, 0};
  DWORD dwMask = 0;
  int uFade = 255;
  UINT uRotate = 0;
  bool bHole = false;
  bool bTiledX = false;
  bool bTiledY = false;
  bool bHSL = false;
  bool bGdiplus = false;
  bool bSvgParsed = false;
  float fScale = 1.0f;
  SIZE szImage = {0, 0};
  RECT rcPadding = {0, 0, 0, 0};
  CDuiString sAlign;
};
using TDrawInfo = tagTDrawInfo;

}  // namespace ZQUI
