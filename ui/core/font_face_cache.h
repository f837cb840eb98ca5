// CFontFaceCache: the process-wide FreeType library and one face per distinct skin font (face name,
// size and style), opened from the bytes of the GDI font that the font selects. Bytes of one font
// file are held once and shared by every face opened from them, whatever their size or style.
// Entries live until the process ends. UI thread only.
#pragma once

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/font_info.h"

namespace ZQUI {

class CFontFaceCache {
 public:
  static CFontFaceCache& Instance();

  // Null when FreeType cannot be initialised.
  FT_Library Library();
  // The face for `font`, opened on first request through `hDC`; `sample` picks among the faces of
  // a collection. Null (and never tried again) when the data cannot be read or parsed.
  FT_Face GetFace(HDC hDC, const TFontInfo& font, const std::u32string& sample);

  // Distinct font-file byte buffers held, and faces held.
  size_t GetBufferCount() const;
  size_t GetFaceCount() const;

  // The key of a font: face name followed by size, bold, italic, strikeout and underline.
  static std::wstring FontKey(const TFontInfo& font);

 private:
  struct Entry {
    FT_Face face = nullptr;
    std::shared_ptr<const std::vector<BYTE>> data;
    bool tried = false;
  };

  CFontFaceCache() = default;
  std::shared_ptr<const std::vector<BYTE>> ReadFontData(HDC hDC);
  FT_Face OpenFace(const std::shared_ptr<const std::vector<BYTE>>& data, const std::u32string& sample);

  FT_Library library_ = nullptr;
  bool libraryTried_ = false;
  std::map<std::wstring, Entry> entries_;
  // Font files already read, keyed by what identifies the file behind the selected GDI font.
  std::map<std::wstring, std::shared_ptr<const std::vector<BYTE>>> files_;
};

}  // namespace ZQUI
