// CGlyphCache: advances and 8-bit coverage bitmaps of glyphs already loaded through FreeType, so
// that repainting the same texts does not load and rasterise every character again. Keyed by face,
// pixel size, synthesised style and character; bounded in size. UI thread only.
#pragma once

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace ZQUI {

struct tagTGlyph {
  bool valid = false;       // the face has a glyph for the character
  bool rendered = false;    // the coverage below has been made
  int advance = 0;          // whole pixels
  int left = 0;             // bitmap offset from the pen position
  int top = 0;              // bitmap top above the baseline
  int width = 0;
  int rows = 0;
  std::vector<BYTE> coverage;  // rows x width, tightly packed
};

class CGlyphCache {
 public:
  // Glyphs kept before the cache starts over.
  static constexpr size_t kMaxGlyphs = 16384;

  static CGlyphCache& Instance();

  // The glyph of `ch` for `face` at its current pixel size; with `render` its coverage is made as
  // well. Bold and italic are synthesised when asked. Never null.
  const tagTGlyph& Get(FT_Face face, int pixelSize, bool bold, bool italic, char32_t ch, bool render);
  size_t GetSize() const { return glyphs_.size(); }
  void Clear() { glyphs_.clear(); }

 private:
  struct Key {
    FT_Face face;
    int pixelSize;
    int flags;
    char32_t ch;
    bool operator==(const Key& other) const {
      return face == other.face && pixelSize == other.pixelSize && flags == other.flags && ch == other.ch;
    }
  };
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };

  CGlyphCache() = default;
  std::unordered_map<Key, tagTGlyph, KeyHash> glyphs_;
};

}  // namespace ZQUI
