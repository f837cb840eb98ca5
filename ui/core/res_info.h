// tagTResInfo: one resource set, either a paint manager's own or the one shared by every manager
// of the process: default colours, fonts by decimal id, images by name and parsed image
// descriptions. The set owns every record it holds and frees them when it is destroyed, so a
// manager's tables go with the manager whatever order its destructor runs in.
#pragma once

#include <windows.h>

#include "ui/core/std_ptr_array.h"
#include "ui/core/std_string_ptr_map.h"

namespace ZQUI {

struct tagTResInfo {
  // A new set starts with the default colours of the shared set, once that exists.
  tagTResInfo();
  ~tagTResInfo();
  // Registers the process's shared set (called once, by the shared set's owner).
  static void SetSharedSet(const tagTResInfo* shared);
  tagTResInfo(const tagTResInfo&) = delete;
  tagTResInfo& operator=(const tagTResInfo&) = delete;

  // Each frees the records of one table and empties it.
  void FreeFonts();
  void FreeImages();
  void FreeDrawInfos();
  void FreeWindowCustomAttributes();
  void FreeMemoryFonts();

  DWORD m_dwDefaultDisabledColor = 0xFFA7A6AA;
  DWORD m_dwDefaultFontColor = 0xFF000000;
  DWORD m_dwDefaultLinkFontColor = 0xFF0000FF;
  DWORD m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
  DWORD m_dwDefaultSelectedBkColor = 0xFFBAE4FF;
  CStdStringPtrMap m_CustomFonts;   // decimal id -> TFontInfo*
  CStdStringPtrMap m_ImageHash;     // requested name -> TImageInfo*
  CStdStringPtrMap m_DrawInfoHash;  // description + modifier -> TDrawInfo* (per manager only)
  // Per manager only: window custom attributes (name -> CDuiString*) and the handles returned by
  // AddFontMemResourceEx.
  CStdStringPtrMap m_WindowCustomAttrHash;
  CStdPtrArray m_aMemoryFonts;
};
using TResInfo = tagTResInfo;

}  // namespace ZQUI
