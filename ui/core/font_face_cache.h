// CFontFaceCache: the process-wide FreeType library and one face per distinct skin font (face name,
// size and style), opened over the file of the GDI font that the font selects. FreeType reads that
// file through GetFontData at the offsets it asks for (tables and glyphs as needed), never as a copy
// of the whole file: CJK system fonts run to tens of megabytes, of which a page draws a few dozen
// glyphs. Fonts that share a file (sizes, bold and italic of one face) share its reader. Entries
// live until the process ends. UI thread only.
#pragma once

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>

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

  // Distinct font files open, and faces held.
  size_t GetBufferCount() const;
  size_t GetFaceCount() const;
  // Total size of the font files open, and the bytes FreeType has read from them so far.
  uint64_t GetFontFileBytes() const;
  uint64_t GetFontBytesRead() const;

  // The key of a font: face name followed by size, bold, italic, strikeout and underline.
  static std::wstring FontKey(const TFontInfo& font);

  struct FontFile;
  struct FaceStream;

 private:
  struct Entry {
    FT_Face face = nullptr;
    std::unique_ptr<FaceStream> stream;
    bool tried = false;
  };

  CFontFaceCache() = default;
  std::shared_ptr<FontFile> OpenFontFile(HDC hDC, HFONT font);
  FT_Face OpenFace(const std::shared_ptr<FontFile>& file, const std::u32string& sample,
                   std::unique_ptr<FaceStream>* stream);

  FT_Library library_ = nullptr;
  bool libraryTried_ = false;
  std::map<std::wstring, Entry> entries_;
  // Font files already open, keyed by what identifies the file behind the selected GDI font.
  std::map<std::wstring, std::shared_ptr<FontFile>> files_;
};

}  // namespace ZQUI
