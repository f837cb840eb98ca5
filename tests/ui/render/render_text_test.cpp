// Text: preparation and line breaking (pure), FreeType drawing into DIBs, the GDI+ fallback,
// measuring, ellipsis, clipping of the text bitmap and the shared font-file bytes.
#include <string>

#include <gtest/gtest.h>

#include "tests/ui/render/render_test_support.h"
#include "ui/core/font_face_cache.h"
#include "ui/core/glyph_cache.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"
#include "ui/core/text_layout.h"

namespace ZQUI {
namespace {

using test::Canvas;

std::u32string U(const char32_t* text) { return std::u32string(text); }
int TenEach(char32_t) { return 10; }

TEST(TextLayout, PreparationNormalisesBreaksAndPrefixes) {
  struct Case {
    const wchar_t* in;
    UINT style;
    const char32_t* out;
  } cases[] = {
      {L"a\r\nb\rc", 0, U"a\nb\nc"},
      {L"a\\nb", 0, U"a\nb"},
      {L"a&#10;b&#x0a;c&#x0A;d", 0, U"a\nb\nc\nd"},
      {L"&&x&y", 0, U"&xy"},
      {L"&&x&y", DT_NOPREFIX, U"&&x&y"},
      {L"\x4E2D\xD83D\xDE00", 0, U"\x4E2D\x1F600"},
  };
  for (const Case& c : cases) EXPECT_EQ(PrepareText(c.in, c.style), U(c.out)) << static_cast<const void*>(c.in);
}

TEST(TextLayout, LinesFollowTheBreakMode) {
  std::u32string text = PrepareText(L"a\\nb", 0);
  EXPECT_EQ(BreakLines(text, DT_WORDBREAK, 100, TenEach).size(), 3u);
  EXPECT_EQ(BreakLines(text, 0, 100, TenEach).size(), 2u);
  auto single = BreakLines(text, DT_SINGLELINE | DT_WORDBREAK, 100, TenEach);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].text, U(U"a"));
  EXPECT_EQ(BreakLines(U(U"a\n"), 0, 100, TenEach).size(), 1u);
  EXPECT_EQ(BreakLines(U(U"a\n\nb"), 0, 100, TenEach).size(), 3u);
}

TEST(TextLayout, WrappingBreaksAtTheLastBlankOrBeforeTheCharacterThatDoesNotFit) {
  auto lines = BreakLines(U(U"ab cd efgh"), DT_WORDBREAK, 50, TenEach);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, U(U"ab"));
  EXPECT_EQ(lines[0].width, 20);
  EXPECT_EQ(lines[1].text, U(U"cd"));
  EXPECT_EQ(lines[2].text, U(U"efgh"));
  auto hard = BreakLines(U(U"abcdefg"), DT_WORDBREAK, 30, TenEach);
  ASSERT_EQ(hard.size(), 3u);
  EXPECT_EQ(hard[0].text, U(U"abc"));
  EXPECT_EQ(hard[2].text, U(U"g"));
  // A box narrower than one character still takes one per line.
  EXPECT_EQ(BreakLines(U(U"abc"), DT_WORDBREAK, 5, TenEach).size(), 3u);
  // Leading blanks of a wrapped line are skipped.
  auto blanks = BreakLines(U(U"  ab"), DT_WORDBREAK, 100, TenEach);
  ASSERT_EQ(blanks.size(), 1u);
  EXPECT_EQ(blanks[0].text, U(U"ab"));
}

class RenderText : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_.AddFont(0, L"\x5FAE\x8F6F\x96C5\x9ED1", 16, false, false, false, false);
    manager_.AddFont(1, L"Tahoma", 12, false, false, false, false);
  }
  static BYTE MaxAlpha(const Canvas& canvas) {
    BYTE best = 0;
    for (int y = 0; y < canvas.height(); ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        BYTE a = static_cast<BYTE>(canvas.At(x, y) >> 24);
        if (a > best) best = a;
      }
    }
    return best;
  }
  CPaintManagerUI manager_;
};

TEST_F(RenderText, TextLandsInsideItsBox) {
  Canvas canvas(200, 60, 0xFFFFFFFF);
  RECT box = {20, 10, 180, 50};
  CRenderEngine::DrawText(canvas.dc(), &manager_, box, L"Hello \x4E16\x754C", 0xFF000000, 0,
                          DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  EXPECT_GT(canvas.CountDiffering(box, 0xFFFFFFFF), 30);
  int total = canvas.CountDiffering(RECT{0, 0, 200, 60}, 0xFFFFFFFF);
  EXPECT_EQ(total, canvas.CountDiffering(box, 0xFFFFFFFF));
  // Centred: ink on both halves, none in the outer quarters of the box.
  EXPECT_GT(canvas.CountDiffering(RECT{60, 10, 100, 50}, 0xFFFFFFFF), 0);
  EXPECT_GT(canvas.CountDiffering(RECT{100, 10, 140, 50}, 0xFFFFFFFF), 0);
  EXPECT_EQ(canvas.CountDiffering(RECT{20, 10, 30, 50}, 0xFFFFFFFF), 0);
}

TEST_F(RenderText, FreeTypeIsUsedAndCanBeToldFromTheGdiplusFallback) {
  // FreeType coverage composited with AlphaBlend reaches full alpha inside strokes; the GDI+
  // fallback draws with a brush of alpha 0xFE, so it never does.
  Canvas freetype(120, 40, 0);
  RECT box = {0, 0, 120, 40};
  EXPECT_TRUE(CRenderEngine::FreeTypeDrawText(freetype.dc(), &manager_, box, L"\x4E2D\x6587 Wg", 0xFF000000, 0,
                                              DT_SINGLELINE));
  EXPECT_EQ(MaxAlpha(freetype), 255);
  Canvas dispatched(120, 40, 0);
  CRenderEngine::DrawText(dispatched.dc(), &manager_, box, L"\x4E2D\x6587 Wg", 0xFF000000, 0, DT_SINGLELINE);
  EXPECT_EQ(MaxAlpha(dispatched), 255);
  Canvas gdiplus(120, 40, 0);
  CRenderEngine::GdiplusDrawText(gdiplus.dc(), &manager_, box, L"\x4E2D\x6587 Wg", 0xFF000000, 0, DT_SINGLELINE);
  BYTE fallback = MaxAlpha(gdiplus);
  EXPECT_GT(fallback, 0);
  EXPECT_LE(fallback, 254);
  // An empty text is declined by FreeType.
  EXPECT_FALSE(CRenderEngine::FreeTypeDrawText(freetype.dc(), &manager_, box, L"", 0xFF000000, 0, 0));
}

TEST_F(RenderText, CalcRectMeasuresLinesWithoutDrawing) {
  Canvas canvas(200, 100, 0xFFFFFFFF);
  RECT one = {10, 10, 200, 100};
  ASSERT_TRUE(CRenderEngine::FreeTypeDrawText(canvas.dc(), &manager_, one, L"ab", 0xFF000000, 1,
                                              DT_SINGLELINE | DT_CALCRECT));
  EXPECT_GT(one.right, 11);
  EXPECT_GT(one.bottom, 10);
  int lineHeight = one.bottom - one.top;
  RECT three = {10, 10, 200, 100};
  ASSERT_TRUE(CRenderEngine::FreeTypeDrawText(canvas.dc(), &manager_, three, L"a\\nb", 0xFF000000, 1,
                                              DT_WORDBREAK | DT_CALCRECT));
  EXPECT_EQ(three.bottom - three.top, 3 * lineHeight);
  EXPECT_EQ(canvas.CountDiffering(RECT{0, 0, 200, 100}, 0xFFFFFFFF), 0);
  SIZE size = CRenderEngine::GetTextSize(canvas.dc(), &manager_, L"ab", 1, 0);
  EXPECT_GT(size.cx, 0);
  EXPECT_GT(size.cy, 0);
}

TEST_F(RenderText, EllipsisKeepsTheCutTextInsideAndDropsTooNarrowBoxes) {
  Canvas canvas(300, 40, 0xFFFFFFFF);
  RECT box = {0, 0, 60, 40};
  const wchar_t* text = L"A rather long single line of text";
  CRenderEngine::DrawText(canvas.dc(), &manager_, box, text, 0xFF000000, 1, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_GT(canvas.CountDiffering(box, 0xFFFFFFFF), 0);
  EXPECT_EQ(canvas.CountDiffering(RECT{60, 0, 300, 40}, 0xFFFFFFFF), 0);
  Canvas narrow(40, 40, 0xFFFFFFFF);
  RECT tiny = {0, 0, 3, 40};
  ASSERT_TRUE(CRenderEngine::FreeTypeDrawText(narrow.dc(), &manager_, tiny, text, 0xFF000000, 1,
                                              DT_SINGLELINE | DT_END_ELLIPSIS));
  EXPECT_EQ(narrow.CountDiffering(RECT{0, 0, 40, 40}, 0xFFFFFFFF), 0);
}

TEST_F(RenderText, TheTextBitmapCoversOnlyThePaintArea) {
  // A box far larger than the DC would need gigabytes if its bitmap were not clipped.
  Canvas canvas(64, 32, 0xFFFFFFFF);
  RECT huge = {0, 0, 200000, 200000};
  EXPECT_TRUE(CRenderEngine::FreeTypeDrawText(canvas.dc(), &manager_, huge, L"Wide", 0xFF000000, 1, 0));
  EXPECT_GT(canvas.CountDiffering(RECT{0, 0, 64, 32}, 0xFFFFFFFF), 0);
  // A clip region limits the text as well.
  Canvas clipped(64, 32, 0xFFFFFFFF);
  {
    CRenderClip clip;
    CRenderClip::GenerateClip(clipped.dc(), RECT{0, 0, 8, 32}, clip);
    RECT box = {0, 0, 64, 32};
    CRenderEngine::DrawText(clipped.dc(), &manager_, box, L"WWWWWW", 0xFF000000, 1, DT_SINGLELINE);
  }
  EXPECT_GT(clipped.CountDiffering(RECT{0, 0, 8, 32}, 0xFFFFFFFF), 0);
  EXPECT_EQ(clipped.CountDiffering(RECT{8, 0, 64, 32}, 0xFFFFFFFF), 0);
}

TEST_F(RenderText, SizesAndStylesOfOneFaceShareOneCopyOfItsFile) {
  Canvas canvas(100, 40, 0xFFFFFFFF);
  RECT box = {0, 0, 100, 40};
  CRenderEngine::DrawText(canvas.dc(), &manager_, box, L"x", 0xFF000000, 1, 0);
  CFontFaceCache& cache = CFontFaceCache::Instance();
  size_t buffers = cache.GetBufferCount();
  size_t faces = cache.GetFaceCount();
  manager_.AddFont(7, L"Tahoma", 23, false, false, false, false);
  manager_.AddFont(8, L"Tahoma", 31, false, true, false, true);
  CRenderEngine::DrawText(canvas.dc(), &manager_, box, L"x", 0xFF000000, 7, 0);
  CRenderEngine::DrawText(canvas.dc(), &manager_, box, L"x", 0xFF000000, 8, 0);
  EXPECT_EQ(cache.GetFaceCount(), faces + 2);
  EXPECT_EQ(cache.GetBufferCount(), buffers);
}

TEST_F(RenderText, RepaintingReusesCachedGlyphsAndGivesTheSamePixels) {
  Canvas first(160, 40, 0xFFFFFFFF), second(160, 40, 0xFFFFFFFF);
  RECT box = {0, 0, 160, 40};
  CRenderEngine::DrawText(first.dc(), &manager_, box, L"\x91CD\x590D Repeat", 0xFF000000, 0, DT_SINGLELINE);
  size_t glyphs = CGlyphCache::Instance().GetSize();
  EXPECT_GT(glyphs, 0u);
  CRenderEngine::DrawText(second.dc(), &manager_, box, L"\x91CD\x590D Repeat", 0xFF000000, 0, DT_SINGLELINE);
  EXPECT_EQ(CGlyphCache::Instance().GetSize(), glyphs);
  int differing = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 160; ++x) differing += first.At(x, y) != second.At(x, y) ? 1 : 0;
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(first.CountDiffering(box, 0xFFFFFFFF), 20);
}

TEST_F(RenderText, BoldThatTheFaceLacksIsSynthesised) {
  manager_.AddFont(9, L"\x5FAE\x8F6F\x96C5\x9ED1", 16, true, false, false, false);
  Canvas regular(200, 40, 0xFFFFFFFF), bold(200, 40, 0xFFFFFFFF);
  RECT box = {0, 0, 200, 40};
  CRenderEngine::DrawText(regular.dc(), &manager_, box, L"\x5B89\x88C5 Setup", 0xFF000000, 0, DT_SINGLELINE);
  CRenderEngine::DrawText(bold.dc(), &manager_, box, L"\x5B89\x88C5 Setup", 0xFF000000, 9, DT_SINGLELINE);
  EXPECT_GT(bold.CountDiffering(box, 0xFFFFFFFF), regular.CountDiffering(box, 0xFFFFFFFF) * 11 / 10);
}

TEST_F(RenderText, HtmlTextDrawsRunsAndReportsLinks) {
  Canvas canvas(300, 60, 0xFFFFFFFF);
  RECT box = {0, 0, 300, 60};
  RECT links[2] = {};
  CDuiString linkTexts[2];
  int count = 2;
  CRenderEngine::DrawHtmlText(canvas.dc(), &manager_, box, L"<b>Bold</b> and <a go>link</a><n><c #FFFF0000>red</c>",
                              0xFF000000, links, linkTexts, count, 1, 0);
  ASSERT_EQ(count, 1);
  EXPECT_STREQ(linkTexts[0], L"go");
  EXPECT_GT(links[0].right, links[0].left);
  EXPECT_GT(canvas.CountDiffering(links[0], 0xFFFFFFFF), 0);
  EXPECT_GT(canvas.CountDiffering(RECT{0, 0, 300, 60}, 0xFFFFFFFF), 20);
  // Runs keep the alpha channel of a transparent target: the text is opaque where it is inked.
  Canvas clear(300, 60, 0);
  count = 2;
  CRenderEngine::DrawHtmlText(clear.dc(), &manager_, box, L"<c #FFFF0000>red</c> and <b>bold</b>", 0xFF000000,
                              links, linkTexts, count, 1, 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(MaxAlpha(clear), 255);
  bool redInk = false;
  for (int y = 0; y < 60 && !redInk; ++y) {
    for (int x = 0; x < 40 && !redInk; ++x) {
      DWORD c = clear.At(x, y);
      redInk = (c >> 24) > 160 && ((c >> 16) & 0xFF) > 160 && ((c >> 8) & 0xFF) < 40 && (c & 0xFF) < 40;
    }
  }
  EXPECT_TRUE(redInk);
}

}  // namespace
}  // namespace ZQUI
