// Fills, gradients, outlines and the clip guards, checked pixel by pixel in a DIB.
#include <gtest/gtest.h>

#include "tests/ui/render/render_test_support.h"
#include "ui/core/render_engine.h"

namespace ZQUI {
namespace {

using test::Canvas;

int Red(DWORD c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(DWORD c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(DWORD c) { return static_cast<int>(c & 0xFF); }

TEST(RenderShapes, DrawColorFillsWithAlphaAndSkipsTransparentColours) {
  Canvas canvas(20, 20, 0xFF000000);
  CRenderEngine::DrawColor(canvas.dc(), RECT{2, 2, 10, 10}, 0xFF00FF00);
  EXPECT_EQ(canvas.At(2, 2) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(canvas.At(9, 9) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(canvas.At(10, 10), 0xFF000000u);
  CRenderEngine::DrawColor(canvas.dc(), RECT{0, 0, 20, 20}, 0x00FFFFFF);
  EXPECT_EQ(canvas.At(15, 15), 0xFF000000u);
  CRenderEngine::DrawColor(canvas.dc(), RECT{10, 10, 20, 20}, 0x80FFFFFF);
  EXPECT_NEAR(Red(canvas.At(15, 15)), 128, 2);
}

TEST(RenderShapes, GradientsRunBetweenTheirColoursInTheirDirection) {
  Canvas canvas(100, 100, 0xFF000000);
  CRenderEngine::DrawGradient(canvas.dc(), RECT{0, 0, 100, 100}, 0xFFFF0000, 0xFF0000FF, true, 16);
  DWORD top = canvas.At(50, 0), bottom = canvas.At(50, 99), middle = canvas.At(50, 50);
  EXPECT_GT(Red(top), 245);
  EXPECT_LT(Blue(top), 10);
  EXPECT_GT(Blue(bottom), 245);
  EXPECT_LT(Red(bottom), 10);
  EXPECT_NEAR(Red(middle), 127, 8);
  EXPECT_EQ(canvas.At(0, 50), middle);  // vertical: rows are uniform

  Canvas across(100, 10, 0xFF000000);
  CRenderEngine::DrawGradient(across.dc(), RECT{0, 0, 100, 10}, 0xFF000000, 0xFFFFFFFF, false, 16);
  EXPECT_LT(Green(across.At(0, 5)), 10);
  EXPECT_GT(Green(across.At(99, 5)), 245);
  EXPECT_EQ(across.At(50, 0), across.At(50, 9));
}

TEST(RenderShapes, TranslucentGradientsBlendAtTheMeanAlpha) {
  Canvas canvas(10, 10, 0xFF000000);
  CRenderEngine::DrawGradient(canvas.dc(), RECT{0, 0, 10, 10}, 0x80FFFFFF, 0x80FFFFFF, true, 16);
  EXPECT_NEAR(Red(canvas.At(5, 5)), 128, 3);
  Canvas none(10, 10, 0xFF000000);
  CRenderEngine::DrawGradient(none.dc(), RECT{0, 0, 10, 10}, 0x00FFFFFF, 0x01FFFFFF, true, 16);
  EXPECT_EQ(none.CountDiffering(RECT{0, 0, 10, 10}, 0xFF000000), 0);
}

TEST(RenderShapes, RectanglesLinesAndRoundedOutlinesStayOnTheirEdges) {
  Canvas canvas(40, 40, 0xFF000000);
  CRenderEngine::DrawRect(canvas.dc(), RECT{5, 5, 35, 35}, 1, 0xFFFFFFFF);
  EXPECT_GT(Red(canvas.At(5, 20)), 200);
  EXPECT_GT(Red(canvas.At(20, 5)), 200);
  EXPECT_EQ(canvas.At(20, 20), 0xFF000000u);
  EXPECT_EQ(canvas.At(36, 36), 0xFF000000u);

  Canvas line(20, 20, 0xFF000000);
  CRenderEngine::DrawLine(line.dc(), RECT{0, 10, 20, 10}, 1, 0xFF00FF00);
  EXPECT_EQ(line.At(5, 10) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(line.At(5, 12), 0xFF000000u);

  Canvas round(40, 40, 0xFF000000);
  CRenderEngine::DrawRoundRect(round.dc(), RECT{0, 0, 40, 40}, 1, 16, 16, 0xFFFFFFFF);
  EXPECT_LT(Red(round.At(0, 0)), 60);        // the corner is cut away
  EXPECT_GT(Red(round.At(20, 0)), 100);      // the straight edge is drawn
  EXPECT_EQ(round.At(20, 20), 0xFF000000u);  // no fill
  Canvas filled(40, 40, 0xFF000000);
  CRenderEngine::GdiplusDrawRoundRect(filled.dc(), 0, 0, 39, 39, 8, 1, 0xFFFFFFFF, true, 0xFF0000FF);
  EXPECT_EQ(filled.At(20, 20) & 0xFFFFFF, 0x0000FFu);
}

TEST(RenderShapes, ClipGuardsLimitDrawingAndRestoreThePreviousClip) {
  Canvas canvas(40, 40, 0xFF000000);
  {
    CRenderClip clip;
    CRenderClip::GenerateClip(canvas.dc(), RECT{10, 10, 20, 20}, clip);
    CRenderEngine::DrawColor(canvas.dc(), RECT{0, 0, 40, 40}, 0xFFFFFFFF);
    EXPECT_EQ(canvas.At(15, 15), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.At(5, 5), 0xFF000000u);
    EXPECT_EQ(canvas.At(25, 25), 0xFF000000u);
    CRenderClip::UseOldClipBegin(canvas.dc(), clip);
    CRenderEngine::DrawColor(canvas.dc(), RECT{30, 30, 32, 32}, 0xFF00FF00);
    CRenderClip::UseOldClipEnd(canvas.dc(), clip);
    EXPECT_EQ(canvas.At(31, 31) & 0xFFFFFF, 0x00FF00u);
  }
  CRenderEngine::DrawColor(canvas.dc(), RECT{0, 0, 40, 40}, 0xFF0000FF);
  EXPECT_EQ(canvas.At(5, 5) & 0xFFFFFF, 0x0000FFu);
}

TEST(RenderShapes, RoundClipCutsTheCornersOfTheItem) {
  Canvas canvas(40, 40, 0xFF000000);
  {
    CRenderClip clip;
    CRenderClip::GenerateRoundClip(canvas.dc(), RECT{0, 0, 40, 40}, RECT{0, 0, 40, 40}, 20, 20, clip);
    CRenderEngine::DrawColor(canvas.dc(), RECT{0, 0, 40, 40}, 0xFFFFFFFF);
  }
  EXPECT_EQ(canvas.At(0, 0), 0xFF000000u);
  EXPECT_EQ(canvas.At(39, 39), 0xFF000000u);
  EXPECT_EQ(canvas.At(20, 20), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.At(20, 1), 0xFFFFFFFFu);
}

TEST(RenderShapes, ArgbBitmapsAndColourHelpers) {
  BYTE* bits = nullptr;
  HBITMAP bitmap = CRenderEngine::CreateARGB32Bitmap(nullptr, 7, 3, &bits);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bits, nullptr);
  BITMAP info;
  ASSERT_EQ(GetObjectW(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 7);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(info.bmBitsPixel, 32);
  DeleteObject(bitmap);

  DWORD black = 0x80000000;
  CRenderEngine::CheckAlphaColor(black);
  EXPECT_EQ(black, 0x80000001u);
  DWORD red = 0xFFFF0000;
  CRenderEngine::CheckAlphaColor(red);
  EXPECT_EQ(red, 0xFFFF0000u);

  EXPECT_EQ(CRenderEngine::AdjustColor(0xFF336699, 180, 100, 100), 0xFF336699u);
  // A hue turn of 120 degrees takes pure red to pure green, alpha kept.
  EXPECT_EQ(CRenderEngine::AdjustColor(0x80FF0000, 300, 100, 100), 0x8000FF00u);
  // No lightness makes black.
  EXPECT_EQ(CRenderEngine::AdjustColor(0xFF336699, 180, 100, 0), 0xFF000000u);
}

}  // namespace
}  // namespace ZQUI
