// Images drawn into a DIB: nine-slice corners and centres, the hole, tiling, fades, the paint
// rectangle, destinations and the clamps for sizes smaller than the corners.
#include <gtest/gtest.h>

#include "tests/ui/render/render_test_support.h"
#include "ui/core/paint_manager.h"
#include "ui/core/render_engine.h"

namespace ZQUI {
namespace {

using test::Canvas;

constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
constexpr DWORD kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
constexpr DWORD kGrey = 0xFF808080;

class RenderImage : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetSkinState();
    CPaintManagerUI::SetResourcePath(test::RenderDataPath().c_str());
  }
  void TearDown() override { test::ResetSkinState(); }

  bool Draw(Canvas& canvas, const RECT& item, const wchar_t* description, const RECT& paint = RECT{0, 0, 0, 0}) {
    return CRenderEngine::DrawImageString(canvas.dc(), &manager_, item, paint, description);
  }

  CPaintManagerUI manager_;
};

TEST_F(RenderImage, NineSliceKeepsCornersOneToOneAndStretchesEdgesAndCentre) {
  Canvas canvas(100, 60, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{10, 10, 90, 50}, L"file='quad.png' corner='2,2,2,2'"));
  EXPECT_EQ(canvas.Rgb(10, 10), kRed);
  EXPECT_EQ(canvas.Rgb(11, 11), kRed);
  EXPECT_EQ(canvas.Rgb(89, 10), kGreen);
  EXPECT_EQ(canvas.Rgb(88, 11), kGreen);
  EXPECT_EQ(canvas.Rgb(10, 49), kBlue);
  EXPECT_EQ(canvas.Rgb(89, 49), kYellow);
  EXPECT_EQ(canvas.Rgb(50, 10), kCyan);
  EXPECT_EQ(canvas.Rgb(50, 49), kCyan);
  EXPECT_EQ(canvas.Rgb(10, 30), kMagenta);
  EXPECT_EQ(canvas.Rgb(89, 30), kMagenta);
  EXPECT_EQ(canvas.Rgb(50, 30), kWhite);
  EXPECT_EQ(canvas.Rgb(30, 20), kWhite);
  // Nothing outside the control.
  EXPECT_EQ(canvas.Rgb(9, 9), kBlack);
  EXPECT_EQ(canvas.Rgb(90, 50), kBlack);
}

TEST_F(RenderImage, HoleLeavesTheCentreUntouched) {
  Canvas canvas(40, 40, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 40, 40}, L"file='quad.png' corner='2,2,2,2' hole='true'"));
  EXPECT_EQ(canvas.Rgb(0, 0), kRed);
  EXPECT_EQ(canvas.Rgb(39, 39), kYellow);
  EXPECT_EQ(canvas.Rgb(20, 0), kCyan);
  EXPECT_EQ(canvas.Rgb(0, 20), kMagenta);
  EXPECT_EQ(canvas.Rgb(20, 20), kBlack);
  EXPECT_EQ(canvas.CountDiffering(RECT{2, 2, 38, 38}, kBlack), 0);
}

TEST_F(RenderImage, WithoutCornersTheWholeImageIsStretchedAndAnOversizedSourceIsCut) {
  Canvas canvas(60, 60, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 60, 60}, L"file='quad.png'"));
  EXPECT_EQ(canvas.Rgb(3, 3), kRed);
  EXPECT_EQ(canvas.Rgb(56, 56), kYellow);
  EXPECT_EQ(canvas.Rgb(30, 30), kWhite);
  Canvas cut(60, 60, kBlack);
  ASSERT_TRUE(Draw(cut, RECT{0, 0, 60, 60}, L"file='quad.png' source='0,0,600,600'"));
  for (int p : {3, 30, 56}) EXPECT_EQ(cut.Rgb(p, p), canvas.Rgb(p, p)) << p;
}

TEST_F(RenderImage, AnEqualSizeOpaqueImageIsCopiedAndASourceBandSelectsPixels) {
  Canvas canvas(20, 20, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{5, 5, 11, 11}, L"file='quad.png'"));
  EXPECT_EQ(canvas.Rgb(5, 5), kRed);
  EXPECT_EQ(canvas.Rgb(10, 5), kGreen);
  EXPECT_EQ(canvas.Rgb(7, 8), kWhite);
  EXPECT_EQ(canvas.Rgb(11, 11), kBlack);
  // The right-hand 2x2 corner band of the top rows alone, stretched.
  Canvas band(10, 10, kBlack);
  ASSERT_TRUE(Draw(band, RECT{0, 0, 10, 10}, L"file='quad.png' source='4,0,6,2'"));
  EXPECT_EQ(band.CountDifferingRgb(RECT{0, 0, 10, 10}, kGreen), 0);
}

TEST_F(RenderImage, DestinationOffsetsAreLimitedToTheControl) {
  Canvas canvas(200, 200, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{50, 50, 150, 150}, L"file='orange.png' dest='10,10,500,500'"));
  EXPECT_EQ(canvas.Rgb(59, 59), kBlack);
  EXPECT_EQ(canvas.Rgb(60, 60), 0xFFFF8000u);
  EXPECT_EQ(canvas.Rgb(149, 149), 0xFFFF8000u);
  EXPECT_EQ(canvas.Rgb(150, 150), kBlack);
}

TEST_F(RenderImage, PiecesOutsideThePaintRectangleAreNotDrawn) {
  Canvas canvas(40, 40, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 40, 40}, L"file='quad.png' corner='2,2,2,2'", RECT{0, 0, 10, 10}));
  EXPECT_EQ(canvas.Rgb(0, 0), kRed);
  EXPECT_EQ(canvas.Rgb(39, 39), kBlack);
  EXPECT_EQ(canvas.Rgb(39, 0), kBlack);
  // A paint rectangle away from the control draws nothing and still succeeds.
  Canvas none(40, 40, kBlack);
  EXPECT_TRUE(Draw(none, RECT{0, 0, 10, 10}, L"file='quad.png'", RECT{20, 20, 30, 30}));
  EXPECT_EQ(none.CountDiffering(RECT{0, 0, 40, 40}, kBlack), 0);
}

TEST_F(RenderImage, FadeBlendsAtConstantAlphaAndAboveOpaqueClamps) {
  Canvas canvas(12, 6, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 6, 6}, L"file='quad.png' fade='128'"));
  DWORD red = canvas.Rgb(0, 0);
  EXPECT_NEAR(static_cast<int>((red >> 16) & 0xFF), 128, 2);
  EXPECT_EQ(red & 0xFFFF, 0u);
  ASSERT_TRUE(Draw(canvas, RECT{6, 0, 12, 6}, L"file='quad.png' fade='1000'"));
  EXPECT_EQ(canvas.Rgb(6, 0), kRed);
  Canvas direct(6, 6, kBlack);
  HBITMAP bitmap = manager_.GetImageEx(L"quad.png")->hBitmap;
  CRenderEngine::DrawImage(direct.dc(), bitmap, RECT{0, 0, 6, 6}, RECT{0, 0, 6, 6}, RECT{0, 0, 6, 6},
                           RECT{0, 0, 0, 0}, false, 100000);
  EXPECT_EQ(direct.Rgb(0, 0), kRed);
}

TEST_F(RenderImage, TransparentPixelsBlendOverTheBackground) {
  Canvas canvas(2, 2, kWhite);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 2, 2}, L"file='alpha.png'"));
  DWORD half = canvas.Rgb(0, 0);
  EXPECT_EQ((half >> 16) & 0xFF, 255u);
  EXPECT_NEAR(static_cast<int>(half & 0xFF), 127, 2);
  EXPECT_EQ(canvas.Rgb(1, 0), 0xFF0A141Eu);
  EXPECT_EQ(canvas.Rgb(1, 1), kWhite);
}

TEST_F(RenderImage, TilingRepeatsTheCentreInsteadOfStretchingIt) {
  // stripes.png: grey border, centre of one black and one white column.
  Canvas canvas(22, 10, kRed);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 22, 10}, L"file='stripes.png' corner='1,1,1,1' xtiled='true' ytiled='true'"));
  EXPECT_EQ(canvas.Rgb(0, 0), kGrey);
  for (int x = 1; x < 21; ++x) EXPECT_EQ(canvas.Rgb(x, 5), (x % 2) == 1 ? kBlack : kWhite) << x;
  Canvas stretched(22, 10, kRed);
  ASSERT_TRUE(Draw(stretched, RECT{0, 0, 22, 10}, L"file='stripes.png' corner='1,1,1,1'"));
  EXPECT_LT(stretched.Rgb(3, 5) & 0xFF, 0x60u);
  EXPECT_EQ(stretched.Rgb(18, 5), kWhite);
  EXPECT_LT(stretched.Rgb(4, 5) & 0xFF, 0x60u);
  Canvas columns(22, 10, kRed);
  ASSERT_TRUE(Draw(columns, RECT{0, 0, 22, 10}, L"file='stripes.png' corner='1,1,1,1' xtiled='true'"));
  EXPECT_EQ(columns.Rgb(1, 2), kBlack);
  EXPECT_EQ(columns.Rgb(2, 7), kWhite);
}

TEST_F(RenderImage, CornersLargerThanTheDestinationOrSourceAreClampedSafely) {
  Canvas canvas(20, 20, kBlack);
  // Destination 3x3 for 2-pixel corners, and corners wider than the whole image: no piece
  // overlaps another or leaves the destination, and an empty centre is skipped.
  ASSERT_TRUE(Draw(canvas, RECT{5, 5, 8, 8}, L"file='quad.png' corner='2,2,2,2'"));
  EXPECT_EQ(canvas.CountDiffering(RECT{0, 0, 20, 20}, kBlack), canvas.CountDiffering(RECT{5, 5, 8, 8}, kBlack));
  EXPECT_EQ(canvas.Rgb(5, 5), kRed);
  ASSERT_TRUE(Draw(canvas, RECT{10, 10, 20, 20}, L"file='quad.png' corner='50,50,50,50' xtiled='true' ytiled='true'"));
  EXPECT_EQ(canvas.Rgb(10, 10), kRed);
  EXPECT_EQ(canvas.Rgb(19, 19), kYellow);
  Canvas empty(10, 10, kBlack);
  HBITMAP bitmap = manager_.GetImageEx(L"quad.png")->hBitmap;
  CRenderEngine::DrawImage(empty.dc(), bitmap, RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10}, RECT{3, 3, 3, 3},
                           RECT{1, 1, 1, 1}, true, 255, false, true, true);
  CRenderEngine::DrawImage(empty.dc(), bitmap, RECT{0, 0, 0, 10}, RECT{0, 0, 10, 10}, RECT{0, 0, 6, 6},
                           RECT{1, 1, 1, 1}, true);
  EXPECT_EQ(empty.CountDiffering(RECT{0, 0, 10, 10}, kBlack), 0);
}

TEST_F(RenderImage, MissingImagesDrawNothingAndAreRetried) {
  Canvas canvas(10, 10, kBlack);
  EXPECT_FALSE(Draw(canvas, RECT{0, 0, 10, 10}, L"file='absent.png'"));
  EXPECT_EQ(manager_.GetImage(L"absent.png"), nullptr);
  EXPECT_FALSE(Draw(canvas, RECT{0, 0, 10, 10}, L"file=''"));
  EXPECT_FALSE(CRenderEngine::DrawImageString(nullptr, &manager_, RECT{0, 0, 1, 1}, RECT{0, 0, 0, 0}, L"quad.png"));
  EXPECT_FALSE(CRenderEngine::DrawImageString(canvas.dc(), nullptr, RECT{0, 0, 1, 1}, RECT{0, 0, 0, 0}, L"quad.png"));
  EXPECT_EQ(canvas.CountDiffering(RECT{0, 0, 10, 10}, kBlack), 0);
}

TEST_F(RenderImage, GdiplusPathDrawsAndRotates) {
  Canvas canvas(6, 6, kBlack);
  ASSERT_TRUE(Draw(canvas, RECT{0, 0, 6, 6}, L"file='quad.png' gdiplus='true'"));
  EXPECT_EQ(canvas.Rgb(0, 0) & 0xFFFFFF, 0xFF0000u);
  Canvas turned(6, 6, kBlack);
  ASSERT_TRUE(Draw(turned, RECT{0, 0, 6, 6}, L"file='quad.png' rotate='180'"));
  // Turned half way round, the yellow corner is at the top left and the red one at the bottom right.
  EXPECT_EQ(turned.At(1, 1) & 0xFFFFFF, 0xFFFF00u);
  EXPECT_EQ(turned.At(5, 5) & 0xFFFFFF, 0xFF0000u);
}

}  // namespace
}  // namespace ZQUI
