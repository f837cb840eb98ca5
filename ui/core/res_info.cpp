#include "ui/core/res_info.h"

#include "ui/core/draw_info.h"
#include "ui/core/dui_string.h"
#include "ui/core/font_info.h"
#include "ui/core/render_engine.h"

namespace ZQUI {

namespace {
const tagTResInfo* g_sharedSet = nullptr;
}

tagTResInfo::tagTResInfo()
    : m_CustomFonts(83), m_ImageHash(83), m_DrawInfoHash(83), m_WindowCustomAttrHash(83) {
  if (g_sharedSet == nullptr) return;
  m_dwDefaultDisabledColor = g_sharedSet->m_dwDefaultDisabledColor;
  m_dwDefaultFontColor = g_sharedSet->m_dwDefaultFontColor;
  m_dwDefaultLinkFontColor = g_sharedSet->m_dwDefaultLinkFontColor;
  m_dwDefaultLinkHoverFontColor = g_sharedSet->m_dwDefaultLinkHoverFontColor;
  m_dwDefaultSelectedBkColor = g_sharedSet->m_dwDefaultSelectedBkColor;
}

void tagTResInfo::SetSharedSet(const tagTResInfo* shared) { g_sharedSet = shared; }

tagTResInfo::~tagTResInfo() {
  if (g_sharedSet == this) g_sharedSet = nullptr;
  FreeDrawInfos();
  FreeImages();
  FreeFonts();
  FreeWindowCustomAttributes();
  FreeMemoryFonts();
}

void tagTResInfo::FreeFonts() {
  for (int i = 0; i < m_CustomFonts.GetSize(); ++i) {
    const wchar_t* key = m_CustomFonts.GetAt(i);
    auto* font = key ? static_cast<TFontInfo*>(m_CustomFonts.Find(key, false)) : nullptr;
    if (font == nullptr) continue;
    if (font->hFont) DeleteObject(font->hFont);
    delete font;
  }
  m_CustomFonts.RemoveAll();
}

void tagTResInfo::FreeImages() {
  for (int i = 0; i < m_ImageHash.GetSize(); ++i) {
    const wchar_t* key = m_ImageHash.GetAt(i);
    auto* image = key ? static_cast<TImageInfo*>(m_ImageHash.Find(key, false)) : nullptr;
    if (image != nullptr) CRenderEngine::FreeImage(image);
  }
  m_ImageHash.RemoveAll();
}

void tagTResInfo::FreeDrawInfos() {
  for (int i = 0; i < m_DrawInfoHash.GetSize(); ++i) {
    const wchar_t* key = m_DrawInfoHash.GetAt(i);
    if (key != nullptr) delete static_cast<TDrawInfo*>(m_DrawInfoHash.Find(key, false));
  }
  m_DrawInfoHash.RemoveAll();
}

void tagTResInfo::FreeWindowCustomAttributes() {
  for (int i = 0; i < m_WindowCustomAttrHash.GetSize(); ++i) {
    const wchar_t* key = m_WindowCustomAttrHash.GetAt(i);
    if (key != nullptr) delete static_cast<CDuiString*>(m_WindowCustomAttrHash.Find(key, false));
  }
  m_WindowCustomAttrHash.Resize(83);
}

void tagTResInfo::FreeMemoryFonts() {
  for (int i = 0; i < m_aMemoryFonts.GetSize(); ++i) {
    HANDLE font = m_aMemoryFonts.GetAt(i);
    if (font != nullptr) RemoveFontMemResourceEx(font);
  }
  m_aMemoryFonts.Empty();
}

}  // namespace ZQUI
