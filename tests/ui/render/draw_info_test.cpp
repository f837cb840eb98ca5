// The image description grammar: pairs, separators, malformed input, number lists, clamping and
// the DPI name rule.
#include <gtest/gtest.h>

#include "ui/core/draw_info.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {
namespace {

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TDrawInfo Parsed(const wchar_t* description, const wchar_t* modifier = nullptr, CPaintManagerUI* manager = nullptr) {
  TDrawInfo info;
  info.Parse(description, modifier, manager);
  return info;
}

TEST(DrawInfoParse, ANameWithoutPairsIsTheFileName) {
  TDrawInfo info = Parsed(L"11.png");
  EXPECT_STREQ(info.sImageName, L"11.png");
  EXPECT_EQ(info.uFade, 255);
  EXPECT_TRUE(Same(info.rcSource, RECT{0, 0, 0, 0}));
}

TEST(DrawInfoParse, ReadsEveryKeyOfTheGrammar) {
  TDrawInfo info = Parsed(
      L"file='12.png' restype='PNG' dest='1,2,3,4' source='0,0,348,36' corner='5,6,7,8' mask='#FF00FF00' "
      L"fade='100' hole='TRUE' xtiled='true' ytiled='false' hsl='true' size='9,10' align='left' padding='1,1,2,2'");
  EXPECT_STREQ(info.sImageName, L"12.png");
  EXPECT_STREQ(info.sResType, L"PNG");
  EXPECT_TRUE(Same(info.rcDest, RECT{1, 2, 3, 4}));
  EXPECT_TRUE(Same(info.rcSource, RECT{0, 0, 348, 36}));
  EXPECT_TRUE(Same(info.rcCorner, RECT{5, 6, 7, 8}));
  EXPECT_EQ(info.dwMask, 0xFF00FF00u);
  EXPECT_EQ(info.uFade, 100);
  EXPECT_TRUE(info.bHole);
  EXPECT_TRUE(info.bTiledX);
  EXPECT_FALSE(info.bTiledY);
  EXPECT_TRUE(info.bHSL);
  EXPECT_EQ(info.szImage.cx, 9);
  EXPECT_EQ(info.szImage.cy, 10);
  EXPECT_STREQ(info.sAlign, L"left");
  EXPECT_TRUE(Same(info.rcPadding, RECT{1, 1, 2, 2}));
  EXPECT_FALSE(info.bGdiplus);
}

TEST(DrawInfoParse, SeparatorsDecideHowFarTheScanGoes) {
  // Two spaces between pairs: every pair is read.
  TDrawInfo spaced = Parsed(L"file='a.png'  source='1,2,3,4'");
  EXPECT_STREQ(spaced.sImageName, L"a.png");
  EXPECT_EQ(spaced.rcSource.right, 3);
  // A tab after the first pair ends the scan.
  TDrawInfo tabbed = Parsed(L"file='a.png'\tsource='1,2,3,4'");
  EXPECT_STREQ(tabbed.sImageName, L"a.png");
  EXPECT_EQ(tabbed.rcSource.right, 0);
  // A missing closing apostrophe drops that pair only.
  TDrawInfo open = Parsed(L"file='9.png' source='0,0,94,38' corner='5,5,5,5 ");
  EXPECT_STREQ(open.sImageName, L"9.png");
  EXPECT_EQ(open.rcSource.right, 94);
  EXPECT_EQ(open.rcCorner.left, 0);
  // A key without '=' or a value without an opening apostrophe ends the scan.
  EXPECT_EQ(Parsed(L"file='a.png' fade 10 source='1,2,3,4'").rcSource.right, 0);
  EXPECT_EQ(Parsed(L"file='a.png' source=1,2,3,4").rcSource.right, 0);
}

TEST(DrawInfoParse, ShortNumberListsStopAtTheEndOfTheValue) {
  TDrawInfo info = Parsed(L"file='a.png' source='7' corner='1,2' dest='3,4,5'");
  EXPECT_TRUE(Same(info.rcSource, RECT{7, 0, 0, 0}));
  EXPECT_TRUE(Same(info.rcCorner, RECT{1, 2, 0, 0}));
  EXPECT_TRUE(Same(info.rcDest, RECT{3, 4, 5, 0}));
}

TEST(DrawInfoParse, FadeAboveOpaqueIsClampedAndRotateChoosesGdiplus) {
  EXPECT_EQ(Parsed(L"file='a.png' fade='300'").uFade, 255);
  EXPECT_EQ(Parsed(L"file='a.png' fade='0'").uFade, 0);
  TDrawInfo rotated = Parsed(L"file='a.png' rotate='90'");
  EXPECT_EQ(rotated.uRotate, 90u);
  EXPECT_TRUE(rotated.bGdiplus);
}

TEST(DrawInfoParse, TheModifierIsAppliedAfterTheDescription) {
  TDrawInfo info = Parsed(L"file='a.png' fade='10'", L"fade='20' file='b.png'");
  EXPECT_EQ(info.uFade, 20);
  EXPECT_STREQ(info.sImageName, L"b.png");
  EXPECT_STREQ(info.sDrawString, L"file='a.png' fade='10'");
  EXPECT_STREQ(info.sDrawModify, L"fade='20' file='b.png'");
  // Empty values are ignored.
  EXPECT_EQ(Parsed(L"file='a.png' fade=''").uFade, 255);
}

TEST(DrawInfoParse, AtOneHundredFiftyPercentLengthsScaleAndOnlyTheExtensionDotIsMarked) {
  CPaintManagerUI manager;
  manager.GetDPIObj()->SetScale(144);
  ASSERT_EQ(manager.GetDPIObj()->GetScale(), 150u);
  TDrawInfo info = Parsed(L"file='public/v1.2/8.png' source='0,0,20,10' corner='2,2,2,2'", nullptr, &manager);
  EXPECT_STREQ(info.sImageName, L"public/v1.2/8@.png");
  EXPECT_TRUE(Same(info.rcSource, RECT{0, 0, 30, 15}));
  EXPECT_TRUE(Same(info.rcCorner, RECT{3, 3, 3, 3}));
  // Names without an extension and svg names keep their dots.
  EXPECT_STREQ(Parsed(L"file='a.b/name'", nullptr, &manager).sImageName, L"a.b/name");
  EXPECT_STREQ(Parsed(L"file='icon.SVG'", nullptr, &manager).sImageName, L"icon.SVG");

  CPaintManagerUI normal;
  EXPECT_STREQ(Parsed(L"file='8.png'", nullptr, &normal).sImageName, L"8.png");
}

TEST(DrawInfoParse, ClearRestoresTheInitialValues) {
  TDrawInfo info = Parsed(L"file='a.png' fade='3' hole='true' source='1,2,3,4'");
  info.Clear();
  EXPECT_TRUE(info.sImageName.IsEmpty());
  EXPECT_EQ(info.uFade, 255);
  EXPECT_FALSE(info.bHole);
  EXPECT_TRUE(Same(info.rcSource, RECT{0, 0, 0, 0}));
}

}  // namespace
}  // namespace ZQUI
