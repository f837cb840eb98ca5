// Text: FreeType glyphs rasterised from the selected GDI font's data and composited with one
// AlphaBlend; GDI+ text as the fallback; GDI measuring; and the small HTML-like markup of labels.
#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "ui/core/font_face_cache.h"
#include "ui/core/freetype_text.h"
#include "ui/core/gdiplus_session.h"
#include "ui/core/glyph_cache.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/text_layout.h"


namespace ZQUI {

namespace {

// Largest text bitmap made in one call (bytes); the paint area keeps real texts far below it.
constexpr int64_t kMaxTextBitmapBytes = 256ll * 1024 * 1024;

// Bold and italic that the face itself lacks are synthesised, as GDI does for the same font.
struct Synthesis {
  bool bold = false;
  bool italic = false;
};

Synthesis SynthesisFor(FT_Face face, const TFontInfo& font) {
  Synthesis synthesis;
  synthesis.bold = font.bBold && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
  synthesis.italic = font.bItalic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
  return synthesis;
}

// The glyphs of one face at one pixel size, through the process-wide glyph cache.
class GlyphSource {
 public:
  GlyphSource(FT_Face face, int pixelSize, Synthesis synthesis)
      : face_(face), pixelSize_(pixelSize), synthesis_(synthesis) {}
  int Advance(char32_t ch) const { return Get(ch, false).advance; }
  const tagTGlyph& Get(char32_t ch, bool render) const {
    return CGlyphCache::Instance().Get(face_, pixelSize_, synthesis_.bold, synthesis_.italic, ch, render);
  }

 private:
  FT_Face face_;
  int pixelSize_;
  Synthesis synthesis_;
};

// Blends one glyph's coverage into the premultiplied text bitmap.
void BlendGlyph(const tagTGlyph& glyph, int left, int top, BYTE* bits, int width, int height, DWORD color) {
  const int colorAlpha = static_cast<int>(color >> 24);
  const int red = static_cast<int>((color >> 16) & 0xFF);
  const int green = static_cast<int>((color >> 8) & 0xFF);
  const int blue = static_cast<int>(color & 0xFF);
  const int rows = glyph.rows;
  const int cols = glyph.width;
  for (int y = 0; y < rows; ++y) {
    int py = top + y;
    if (py < 0 || py >= height) continue;
    const BYTE* src = glyph.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(cols);
    for (int x = 0; x < cols; ++x) {
      int px = left + x;
      if (px < 0 || px >= width) continue;
      int coverage = src[x];
      int h = colorAlpha * coverage / 255;
      if (h <= 0) continue;
      BYTE* out = bits + (static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)) * 4u;
      out[0] = static_cast<BYTE>(blue * h / 255 + out[0] * (255 - h) / 255);
      out[1] = static_cast<BYTE>(green * h / 255 + out[1] * (255 - h) / 255);
      out[2] = static_cast<BYTE>(red * h / 255 + out[2] * (255 - h) / 255);
      out[3] = static_cast<BYTE>(h + out[3] * (255 - h) / 255);
    }
  }
}

// The longest prefix of `line` no wider than `limit`.
std::u32string FitPrefix(const std::u32string& line, int limit, const GlyphSource& glyphs) {
  int width = 0;
  size_t count = 0;
  for (; count < line.size(); ++count) {
    int w = glyphs.Advance(line[count]);
    if (width + w > limit) break;
    width += w;
  }
  return line.substr(0, count);
}

TFontInfo* FontFor(CPaintManagerUI* manager, int font) {
  TFontInfo* info = manager->GetFontInfo(font);
  if (info == nullptr || info->hFont == nullptr) info = manager->GetDefaultFontInfo();
  return (info != nullptr && info->hFont != nullptr) ? info : nullptr;
}

}  // namespace

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                             UINT style) {
  if (text == nullptr || manager == nullptr) return;
  if (!FreeTypeDrawText(hDC, manager, rc, text, color, font, style)) {
    GdiplusDrawText(hDC, manager, rc, text, color, font, style);
  }
}

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                             UINT style, DWORD backColor) {
  if (text == nullptr || manager == nullptr) return;
  if ((style & DT_CALCRECT) == 0) DrawColor(hDC, rc, backColor);
  DrawText(hDC, manager, rc, text, color, font, style);
}

bool CRenderEngine::FreeTypeDrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color,
                                     int font, UINT style) {
  if (hDC == nullptr || manager == nullptr || text == nullptr || *text == L'\0') return false;
  TFontInfo* info = FontFor(manager, font);
  if (info == nullptr) return false;
  return FreeTypeDrawTextWithFont(hDC, *info, rc, text, color, style);
}

bool FreeTypeDrawTextWithFont(HDC hDC, const TFontInfo& font, RECT& rc, const wchar_t* text, DWORD color,
                              UINT style) {
  if (hDC == nullptr || font.hFont == nullptr || text == nullptr || *text == L'\0') return false;
  CFontFaceCache& cache = CFontFaceCache::Instance();
  if (cache.Library() == nullptr) return false;
  const TFontInfo* info = &font;

  std::u32string prepared = PrepareText(text, style);
  FT_Face face = cache.GetFace(hDC, *info, prepared);
  if (face == nullptr) return false;

  LOGFONTW lf;
  memset(&lf, 0, sizeof(lf));
  GetObjectW(info->hFont, sizeof(lf), &lf);
  int pixelSize = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  if (pixelSize == 0) pixelSize = 12;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) return false;
  int lineHeight = static_cast<int>(face->size->metrics.height / 64);
  if (lineHeight < pixelSize) lineHeight = pixelSize;
  const int ascender = static_cast<int>(face->size->metrics.ascender / 64);
  const int descender = static_cast<int>(face->size->metrics.descender / 64);

  const int boxWidth = rc.right - rc.left;
  const int boxHeight = rc.bottom - rc.top;
  const GlyphSource glyphs(face, pixelSize, SynthesisFor(face, *info));
  auto advance = [&glyphs](char32_t ch) { return glyphs.Advance(ch); };
  std::vector<TextLine> lines = BreakLines(prepared, style, boxWidth, advance);
  int textWidth = 0;
  for (const TextLine& line : lines) textWidth = line.width > textWidth ? line.width : textWidth;
  const int textHeight = static_cast<int>(lines.size()) * lineHeight;

  if (style & DT_CALCRECT) {
    rc.right = rc.left + textWidth + 1;
    rc.bottom = rc.top + textHeight;
    return true;
  }
  if (boxWidth < 1 || boxHeight < 1) return false;

  // Only the part of the box inside the DC's paint area gets a bitmap: a huge box never makes a
  // huge allocation, and the size is computed without 32-bit overflow.
  RECT clipBox = {0, 0, 0, 0};
  RECT visible = rc;
  if (GetClipBox(hDC, &clipBox) != ERROR && !IntersectRect(&visible, &rc, &clipBox)) return true;
  const int width = visible.right - visible.left;
  const int height = visible.bottom - visible.top;
  if (width <= 0 || height <= 0) return true;
  const int64_t bytes = static_cast<int64_t>(width) * static_cast<int64_t>(height) * 4;
  if (bytes > kMaxTextBitmapBytes) return false;
  const int offsetX = rc.left - visible.left;
  const int offsetY = rc.top - visible.top;

  BITMAPINFO bmi;
  memset(&bmi, 0, sizeof(bmi));
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr || pixels == nullptr) {
    if (bitmap) DeleteObject(bitmap);
    return false;
  }
  auto* bits = static_cast<BYTE*>(pixels);
  memset(bits, 0, static_cast<size_t>(bytes));

  if ((color >> 24) == 0 && (color & 0x00FFFFFFu) != 0) color |= 0xFF000000u;
  const bool ellipsis = (style & DT_END_ELLIPSIS) && (style & DT_SINGLELINE);
  const int ellipsisWidth = ellipsis ? 3 * glyphs.Advance(U'.') : 0;
  const bool singleLine = (style & DT_SINGLELINE) != 0;

  int top = 0;
  if (style & DT_VCENTER) {
    top = (singleLine || lines.size() == 1) ? (boxHeight + descender - ascender) / 2 : (boxHeight - textHeight) / 2;
  } else if (style & DT_BOTTOM) {
    top = boxHeight - textHeight;
  }

  for (TextLine& line : lines) {
    bool cut = false;
    if (ellipsis && line.width > boxWidth) {
      if (boxWidth - ellipsisWidth > 0) {
        line.text = FitPrefix(line.text, boxWidth - ellipsisWidth, glyphs);
        line.text += U"...";
        cut = true;
      } else {
        line.text.clear();
      }
      line.width = 0;
      for (char32_t ch : line.text) line.width += glyphs.Advance(ch);
      if (cut) line.width -= ellipsisWidth;
    }
    const int reserved = cut ? ellipsisWidth : 0;
    int x = 0;
    if (style & DT_CENTER) x = (boxWidth - reserved - line.width) / 2;
    else if (style & DT_RIGHT) x = boxWidth - reserved - line.width;
    const int baseline = top + ascender;
    for (char32_t ch : line.text) {
      const tagTGlyph& glyph = glyphs.Get(ch, true);
      if (!glyph.valid) continue;
      if (!glyph.coverage.empty()) {
        BlendGlyph(glyph, offsetX + x + glyph.left, offsetY + baseline - glyph.top, bits, width, height, color);
      }
      x += glyph.advance;
    }
    top += lineHeight;
    if (singleLine || top > boxHeight) break;
  }

  HDC memDC = CreateCompatibleDC(hDC);
  if (memDC != nullptr) {
    HGDIOBJ old = SelectObject(memDC, bitmap);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(hDC, visible.left, visible.top, width, height, memDC, 0, 0, width, height, blend);
    SelectObject(memDC, old);
    DeleteDC(memDC);
  }
  DeleteObject(bitmap);
  return true;
}

void CRenderEngine::GdiplusDrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color,
                                    int font, UINT style) {
  if (hDC == nullptr || manager == nullptr || text == nullptr || !EnsureGdiplus()) return;
  TFontInfo* info = FontFor(manager, font);
  Gdiplus::Graphics graphics(hDC);
  // The wide LOGFONT keeps a CJK face name intact; through the ANSI code page of a non-Chinese
  // system it would turn into question marks and GDI+ would pick an unrelated face.
  LOGFONTW lf;
  memset(&lf, 0, sizeof(lf));
  Gdiplus::Font* gdiFont = nullptr;
  if (info != nullptr && GetObjectW(info->hFont, sizeof(lf), &lf) != 0) {
    gdiFont = new Gdiplus::Font(hDC, &lf);
  }
  if (gdiFont == nullptr || gdiFont->GetLastStatus() != Gdiplus::Ok) {
    delete gdiFont;
    gdiFont = new Gdiplus::Font(hDC);
  }
  int hint = manager->GetGdiplusTextRenderingHint();
  graphics.SetTextRenderingHint(
      static_cast<Gdiplus::TextRenderingHint>(hint >= 1 && hint <= 5 ? hint : 0));
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);

  Gdiplus::RectF box(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                     static_cast<Gdiplus::REAL>(rc.right - rc.left), static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
  Gdiplus::SolidBrush brush(Gdiplus::Color(0xFE, static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8),
                                           static_cast<BYTE>(color)));
  Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
  if (style & DT_END_ELLIPSIS) format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  format.SetHotkeyPrefix((style & DT_NOPREFIX) ? Gdiplus::HotkeyPrefixHide : Gdiplus::HotkeyPrefixShow);
  INT flags = 0;
  if (style & DT_NOCLIP) flags |= Gdiplus::StringFormatFlagsNoClip;
  if (style & DT_SINGLELINE) flags |= Gdiplus::StringFormatFlagsNoWrap;
  format.SetFormatFlags(flags);
  if (style & DT_CENTER) format.SetAlignment(Gdiplus::StringAlignmentCenter);
  else if (style & DT_RIGHT) format.SetAlignment(Gdiplus::StringAlignmentFar);
  else format.SetAlignment(Gdiplus::StringAlignmentNear);
  if (style & DT_VCENTER) format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  else if (style & DT_BOTTOM) format.SetLineAlignment(Gdiplus::StringAlignmentFar);
  else format.SetLineAlignment(Gdiplus::StringAlignmentNear);

  if (style & DT_CALCRECT) {
    Gdiplus::RectF bounds;
    graphics.MeasureString(text, -1, gdiFont, box, &format, &bounds);
    rc.right = rc.left + static_cast<LONG>(bounds.Width) + 1;
    rc.bottom = rc.top + static_cast<LONG>(bounds.Height) + 1;
  } else {
    graphics.DrawString(text, -1, gdiFont, box, &format, &brush);
  }
  delete gdiFont;
}

SIZE CRenderEngine::GetTextSize(HDC hDC, CPaintManagerUI* manager, const wchar_t* text, int font, UINT style) {
  (void)style;
  SIZE size = {0, 0};
  if (hDC == nullptr || manager == nullptr || text == nullptr) return size;
  SetBkMode(hDC, TRANSPARENT);
  HFONT hFont = manager->GetFont(font);
  HGDIOBJ old = hFont ? SelectObject(hDC, hFont) : nullptr;
  GetTextExtentPoint32W(hDC, text, lstrlenW(text), &size);
  if (old) SelectObject(hDC, old);
  return size;
}

}  // namespace ZQUI
