// Text: preparation and line breaking (pure), FreeType drawing into DIBs, the GDI+ fallback,
// measuring, ellipsis, clipping of the text bitmap, the shared font-file bytes, and HTML text with
// inline images and italics.
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

TEST_F(RenderText, EllipsisCutsTheLineAndDrawsThreeDotsOrDropsTooNarrowBoxes) {
  const std::wstring text = L"A rather long single line of text";
  const RECT box = {0, 0, 60, 40};
  // Widths of the prefixes and of "..." as measured, so the expected picture is built from them.
  auto widthOf = [this](const std::wstring& s) {
    Canvas scratch(8, 8);
    RECT rc = {0, 0, 1000, 40};
    EXPECT_TRUE(CRenderEngine::FreeTypeDrawText(scratch.dc(), &manager_, rc, s.c_str(), 0xFF000000, 1,
                                                DT_SINGLELINE | DT_CALCRECT));
    return static_cast<int>(rc.right - rc.left - 1);
  };
  const int dots = widthOf(L"...");
  ASSERT_GT(dots, 0);
  ASSERT_GT(widthOf(text), 60);
  size_t kept = 0;
  while (kept < text.size() && widthOf(text.substr(0, kept + 1)) <= 60 - dots) ++kept;
  ASSERT_GT(kept, 0u);
  ASSERT_LT(kept, text.size());

  Canvas cut(300, 40, 0xFFFFFFFF);
  RECT rc = box;
  CRenderEngine::DrawText(cut.dc(), &manager_, rc, text.c_str(), 0xFF000000, 1, DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(cut.CountDiffering(RECT{60, 0, 300, 40}, 0xFFFFFFFF), 0);
  // The same pixels as the kept prefix followed by three dots, drawn as a plain text that fits.
  Canvas expected(300, 40, 0xFFFFFFFF);
  rc = box;
  std::wstring shortened = text.substr(0, kept) + L"...";
  CRenderEngine::DrawText(expected.dc(), &manager_, rc, shortened.c_str(), 0xFF000000, 1, DT_SINGLELINE);
  // Without the ellipsis the box shows the uncut start of the line, which looks different.
  Canvas uncut(300, 40, 0xFFFFFFFF);
  rc = box;
  CRenderEngine::DrawText(uncut.dc(), &manager_, rc, text.c_str(), 0xFF000000, 1, DT_SINGLELINE);
  int sameAsExpected = 0, sameAsUncut = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 300; ++x) {
      sameAsExpected += cut.At(x, y) == expected.At(x, y) ? 1 : 0;
      sameAsUncut += cut.At(x, y) == uncut.At(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(sameAsExpected, 300 * 40);
  EXPECT_LT(sameAsUncut, 300 * 40);
  EXPECT_GT(expected.CountDiffering(box, 0xFFFFFFFF), 0);

  Canvas narrow(40, 40, 0xFFFFFFFF);
  RECT tiny = {0, 0, 3, 40};
  ASSERT_TRUE(CRenderEngine::FreeTypeDrawText(narrow.dc(), &manager_, tiny, text.c_str(), 0xFF000000, 1,
                                              DT_SINGLELINE | DT_END_ELLIPSIS));
  EXPECT_EQ(narrow.CountDiffering(RECT{0, 0, 40, 40}, 0xFFFFFFFF), 0);
  // Without the ellipsis the same tiny box does get ink, so the empty box above is the ellipsis rule.
  RECT tinyPlain = {0, 0, 3, 40};
  ASSERT_TRUE(CRenderEngine::FreeTypeDrawText(narrow.dc(), &manager_, tinyPlain, text.c_str(), 0xFF000000, 1,
                                              DT_SINGLELINE));
  EXPECT_GT(narrow.CountDiffering(RECT{0, 0, 3, 40}, 0xFFFFFFFF), 0);
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

// HTML text with images from the fixture folder.
class RenderHtmlImage : public RenderText {
 protected:
  void SetUp() override {
    test::ResetSkinState();
    CPaintManagerUI::SetResourcePath(test::RenderDataPath().c_str());
    RenderText::SetUp();
    manager_.AddFont(2, L"Tahoma", 28, false, false, false, false);
  }
  void TearDown() override { test::ResetSkinState(); }

  RECT Measure(const wchar_t* html, int font = 1) {
    Canvas scratch(4, 4, 0);
    RECT rc = {0, 0, 400, 200};
    int count = 0;
    CRenderEngine::DrawHtmlText(scratch.dc(), &manager_, rc, html, 0xFF000000, nullptr, nullptr, count, font,
                                DT_CALCRECT);
    return rc;
  }
  void Draw(Canvas& canvas, RECT box, const wchar_t* html, int font = 1) {
    int count = 0;
    CRenderEngine::DrawHtmlText(canvas.dc(), &manager_, box, html, 0xFF000000, nullptr, nullptr, count, font, 0);
  }
  // Mean column of the ink in rows [top, bottom), or -1 without ink.
  static double MeanInkColumn(const Canvas& canvas, int top, int bottom) {
    double sum = 0;
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < canvas.width(); ++x) {
        if (canvas.At(x, y) != 0xFFFFFFFFu) {
          sum += x;
          ++count;
        }
      }
    }
    return count > 0 ? sum / count : -1;
  }
};

TEST_F(RenderHtmlImage, AnImageTagDrawsTheImageInlineAndMovesTheTextOn) {
  Canvas withImage(200, 40, 0xFFFFFFFF);
  Draw(withImage, RECT{10, 5, 190, 35}, L"<i quad.png>W");
  // The 6 x 6 image sits at the pen's place on the line's top, corners and edges where they belong.
  EXPECT_EQ(withImage.Rgb(10, 5), 0xFFFF0000u);
  EXPECT_EQ(withImage.Rgb(15, 5), 0xFF00FF00u);
  EXPECT_EQ(withImage.Rgb(10, 10), 0xFF0000FFu);
  EXPECT_EQ(withImage.Rgb(15, 10), 0xFFFFFF00u);
  EXPECT_EQ(withImage.Rgb(12, 5), 0xFF00FFFFu);
  EXPECT_EQ(withImage.Rgb(10, 7), 0xFFFF00FFu);
  EXPECT_EQ(withImage.Rgb(12, 7), 0xFFFFFFFFu);
  EXPECT_EQ(withImage.At(9, 5), 0xFFFFFFFFu);
  EXPECT_EQ(withImage.At(10, 4), 0xFFFFFFFFu);
  EXPECT_EQ(withImage.At(10, 11), 0xFFFFFFFFu);
  // The text after it is the same text moved right by the image's width.
  Canvas alone(200, 40, 0xFFFFFFFF);
  Draw(alone, RECT{10, 5, 190, 35}, L"W");
  EXPECT_GT(alone.CountDiffering(RECT{0, 0, 200, 40}, 0xFFFFFFFF), 10);
  int differing = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 10; x < 190; ++x) differing += withImage.At(x + 6, y) != alone.At(x, y) ? 1 : 0;
  }
  EXPECT_EQ(differing, 0);
  // Measuring counts the image's width.
  EXPECT_EQ(Measure(L"<i quad.png>W").right, Measure(L"W").right + 6);
  EXPECT_EQ(Measure(L"{i quad.png}W").right, Measure(L"W").right + 6);
}

TEST_F(RenderHtmlImage, AnImageTallerThanTheTextRaisesItsLine) {
  RECT plain = Measure(L"A");
  int line = plain.bottom - plain.top;
  ASSERT_GT(line, 0);
  ASSERT_LT(line, 30);
  EXPECT_EQ(Measure(L"<i tall.png>A<n>B").bottom, 30 + line);
  EXPECT_EQ(Measure(L"A<n>B").bottom, 2 * line);
  // Drawn: the second line starts below the image, nothing of it higher up.
  Canvas canvas(100, 80, 0xFFFFFFFF);
  Draw(canvas, RECT{0, 0, 100, 80}, L"<i tall.png>A<n>B");
  EXPECT_EQ(canvas.Rgb(1, 29), 0xFF00A000u);
  EXPECT_EQ(canvas.CountDiffering(RECT{3, line, 100, 30}, 0xFFFFFFFF), 0);
  EXPECT_GT(canvas.CountDiffering(RECT{0, 30, 40, 30 + line}, 0xFFFFFFFF), 0);
  // A link over an image takes in the image's rectangle.
  RECT links[1] = {};
  CDuiString texts[1];
  int count = 1;
  RECT box = {0, 0, 100, 80};
  CRenderEngine::DrawHtmlText(canvas.dc(), &manager_, box, L"<a go><i tall.png></a>", 0xFF000000, links, texts,
                              count, 1, 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(links[0].left, 0);
  EXPECT_EQ(links[0].top, 0);
  EXPECT_EQ(links[0].right, 3);
  EXPECT_EQ(links[0].bottom, 30);
}

TEST_F(RenderHtmlImage, AnImageThatCannotBeLoadedTakesNoRoom) {
  EXPECT_EQ(Measure(L"<i no_such_image.png>W").right, Measure(L"W").right);
  EXPECT_EQ(manager_.GetImage(L"no_such_image.png"), nullptr);
}

TEST_F(RenderHtmlImage, AnITagWithoutAnArgumentStillItalicises) {
  Canvas upright(80, 50, 0xFFFFFFFF), slanted(80, 50, 0xFFFFFFFF), blank(80, 50, 0xFFFFFFFF);
  Draw(upright, RECT{10, 5, 80, 50}, L"l", 2);
  Draw(slanted, RECT{10, 5, 80, 50}, L"<i>l</i>", 2);
  Draw(blank, RECT{10, 5, 80, 50}, L"<i  >l</i>", 2);
  // The stroke of an upright l stands straight; an italic one leans right towards its top.
  double uprightLean = MeanInkColumn(upright, 5, 20) - MeanInkColumn(upright, 22, 37);
  double slantedLean = MeanInkColumn(slanted, 5, 20) - MeanInkColumn(slanted, 22, 37);
  EXPECT_LT(uprightLean < 0 ? -uprightLean : uprightLean, 0.75);
  EXPECT_GT(slantedLean, 1.5);
  // Blanks alone are no image name.
  double blankLean = MeanInkColumn(blank, 5, 20) - MeanInkColumn(blank, 22, 37);
  EXPECT_GT(blankLean, 1.5);
  // Nothing but the letter is drawn, from the start of the line.
  EXPECT_EQ(slanted.CountDiffering(RECT{0, 0, 10, 50}, 0xFFFFFFFF), 0);
  EXPECT_LT(MeanInkColumn(slanted, 0, 50), 25);
}

}  // namespace
}  // namespace ZQUI
