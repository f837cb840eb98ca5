#include "ui/core/glyph_cache.h"

#include <cstring>

#include FT_SYNTHESIS_H

namespace ZQUI {

CGlyphCache& CGlyphCache::Instance() {
  static CGlyphCache cache;
  return cache;
}

size_t CGlyphCache::KeyHash::operator()(const Key& key) const {
  size_t h = reinterpret_cast<uintptr_t>(key.face);
  h = h * 31u + static_cast<size_t>(key.pixelSize);
  h = h * 31u + static_cast<size_t>(key.flags);
  h = h * 131u + static_cast<size_t>(key.ch);
  return h;
}

const tagTGlyph& CGlyphCache::Get(FT_Face face, int pixelSize, bool bold, bool italic, char32_t ch, bool render) {
  Key key = {face, pixelSize, (bold ? 1 : 0) | (italic ? 2 : 0), ch};
  auto found = glyphs_.find(key);
  if (found != glyphs_.end() && (found->second.rendered || !render || !found->second.valid)) return found->second;
  if (found == glyphs_.end() && glyphs_.size() >= kMaxGlyphs) glyphs_.clear();
  tagTGlyph& glyph = glyphs_[key];

  glyph = tagTGlyph();
  if (FT_Load_Char(face, ch, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) return glyph;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (italic) FT_GlyphSlot_Oblique(slot);
    if (bold) FT_GlyphSlot_Embolden(slot);
  }
  glyph.valid = true;
  glyph.advance = static_cast<int>(slot->advance.x / 64);
  if (!render) return glyph;
  glyph.rendered = true;
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_LIGHT) != 0) return glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.buffer == nullptr || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.rows = static_cast<int>(bitmap.rows);
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.rows));
  for (int y = 0; y < glyph.rows; ++y) {
    const BYTE* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    memcpy(glyph.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(glyph.width), src,
           static_cast<size_t>(glyph.width));
  }
  return glyph;
}

}  // namespace ZQUI
