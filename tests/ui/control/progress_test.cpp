#include <gtest/gtest.h>

#include "tests/ui/control/control_test_support.h"
#include "ui/control/progress.h"
#include "ui/core/render_engine.h"

namespace ZQUI {
namespace test {
namespace {

// Exposes the destination text the fore image is drawn with.
class ProbeProgress : public CProgressUI {
 public:
  const wchar_t* Modify() const { return m_sForeImageModify; }
};

TEST(ProgressTest, IdentityAndDefaults) {
  CProgressUI bar;
  EXPECT_STREQ(bar.GetClass(), L"ProgressUI");
  EXPECT_EQ(bar.GetInterface(L"progress"), &bar);
  EXPECT_EQ(bar.GetInterface(L"Label"), &bar);
  EXPECT_EQ(bar.GetInterface(L"Button"), nullptr);
  EXPECT_EQ(bar.GetTextStyle(), 0x21u);
  EXPECT_EQ(bar.GetFixedHeight(), 12);
  EXPECT_EQ(bar.GetMinValue(), 0);
  EXPECT_EQ(bar.GetMaxValue(), 100);
  EXPECT_EQ(bar.GetValue(), 0);
  EXPECT_TRUE(bar.IsHorizontal());
  EXPECT_TRUE(bar.IsStretchForeImage());
  EXPECT_FALSE(bar.IsShowText());
}

TEST(ProgressTest, HorizontalFillIsProportionalToTheValue) {
  CProgressUI bar;
  bar.SetPos(Rect(10, 0, 210, 12));
  bar.SetValue(50);
  EXPECT_EQ(bar.GetFillRect(), Rect(10, 0, 110, 12));
  bar.SetValue(0);
  EXPECT_EQ(bar.GetFillRect(), Rect(10, 0, 10, 12));
  bar.SetValue(100);
  EXPECT_EQ(bar.GetFillRect(), Rect(10, 0, 210, 12));
}

TEST(ProgressTest, VerticalFillGrowsFromTheBottom) {
  CProgressUI bar;
  bar.SetHorizontal(false);
  bar.SetFixedHeight(80);
  bar.SetPos(Rect(0, 0, 12, 80));
  bar.SetValue(25);
  EXPECT_EQ(bar.GetFillRect(), Rect(0, 60, 12, 80));
}

TEST(ProgressTest, ValuesOutsideTheRangeAreIgnored) {
  CProgressUI bar;
  bar.SetValue(40);
  bar.SetValue(150);
  EXPECT_EQ(bar.GetValue(), 40);
  bar.SetValue(-1);
  EXPECT_EQ(bar.GetValue(), 40);
  // "value" is checked against the maximum known so far.
  CProgressUI skin;
  skin.SetAttribute(L"value", L"150");
  skin.SetAttribute(L"max", L"200");
  EXPECT_EQ(skin.GetValue(), 0);
  skin.SetAttribute(L"value", L"150");
  EXPECT_EQ(skin.GetValue(), 150);
}

TEST(ProgressTest, ShownTextIsTheRoundedPercentage) {
  CProgressUI bar;
  bar.SetAttribute(L"max", L"3");
  bar.SetAttribute(L"showtext", L"true");
  EXPECT_STREQ(bar.GetText().GetData(), L"");  // computed at the next value change
  bar.SetValue(1);
  EXPECT_STREQ(bar.GetText().GetData(), L"33%");
  bar.SetValue(2);
  EXPECT_STREQ(bar.GetText().GetData(), L"67%");
  bar.SetValue(3);
  EXPECT_STREQ(bar.GetText().GetData(), L"100%");
  bar.SetShowText(false);
  EXPECT_STREQ(bar.GetText().GetData(), L"");
  bar.SetValue(1);
  EXPECT_STREQ(bar.GetText().GetData(), L"");
}

TEST(ProgressTest, AnEmptyOrInvertedRangeNeverShowsNan) {
  CProgressUI bar;
  bar.SetShowText(true);
  bar.SetMaxValue(0);  // minimum == maximum
  bar.UpdateText();
  EXPECT_STREQ(bar.GetText().GetData(), L"0%");
  bar.SetMinValue(10);  // inverted; the value now lies below the minimum
  bar.SetMaxValue(5);
  bar.UpdateText();
  EXPECT_STREQ(bar.GetText().GetData(), L"0%");
  // Painting repairs the range by raising the maximum and pulls the value in.
  bar.SetPos(Rect(0, 0, 100, 12));
  RECT fill = bar.GetFillRect();
  EXPECT_EQ(bar.GetMaxValue(), 11);
  EXPECT_EQ(bar.GetValue(), 10);
  EXPECT_EQ(fill, Rect(0, 0, 0, 12));
}

TEST(ProgressTest, LargeRangesFillWithoutOverflow) {
  CProgressUI bar;
  bar.SetMaxValue(2000000000);
  bar.SetValue(1500000000);
  bar.SetPos(Rect(0, 0, 200, 12));
  EXPECT_EQ(bar.GetFillRect(), Rect(0, 0, 150, 12));
  CProgressUI wide;
  wide.SetMinValue(-2000000000);
  wide.SetMaxValue(2000000000);
  wide.SetValue(0);
  wide.SetShowText(true);
  wide.SetValue(1000000000);
  wide.SetPos(Rect(0, 0, 400, 12));
  EXPECT_EQ(wide.GetFillRect(), Rect(0, 0, 300, 12));
  EXPECT_STREQ(wide.GetText().GetData(), L"75%");
}

TEST(ProgressTest, AttributesApplyInOrder) {
  CProgressUI bar;
  bar.SetAttribute(L"hor", L"false");
  bar.SetAttribute(L"min", L"5");
  bar.SetAttribute(L"max", L"50");
  bar.SetAttribute(L"value", L"20");
  bar.SetAttribute(L"isstretchfore", L"false");
  bar.SetAttribute(L"foreimagepadding", L"3,4");
  bar.SetAttribute(L"text", L"keep");
  bar.SetAttribute(L"showtext", L"false");
  EXPECT_FALSE(bar.IsHorizontal());
  EXPECT_EQ(bar.GetMinValue(), 5);
  EXPECT_EQ(bar.GetMaxValue(), 50);
  EXPECT_EQ(bar.GetValue(), 20);
  EXPECT_FALSE(bar.IsStretchForeImage());
  EXPECT_EQ(bar.GetForeImagePadding().cx, 3);
  EXPECT_EQ(bar.GetForeImagePadding().cy, 4);
  EXPECT_STREQ(bar.GetText().GetData(), L"");
  CControlUI* copy = bar.Clone();
  ASSERT_NE(copy, nullptr);
  auto* clone = static_cast<CProgressUI*>(copy->GetInterface(L"Progress"));
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetValue(), 20);
  EXPECT_EQ(clone->GetMinValue(), 5);
  EXPECT_FALSE(clone->IsHorizontal());
  delete copy;
}

class ProgressPaintTest : public ::testing::Test {
 protected:
  HostWindow host;
};

TEST_F(ProgressPaintTest, ForeColourFillsTheDonePartThenTheTextIsDrawn) {
  CProgressUI bar;
  bar.SetManager(&host.manager(), nullptr, false);
  bar.SetPos(Rect(0, 0, 200, 20));
  bar.SetBkColor(0xFF202020);
  bar.SetForeColor(0xFF00C000);
  bar.SetTextColor(0xFFFFFFFF);
  bar.SetShowText(true);
  bar.SetValue(50);
  EXPECT_STREQ(bar.GetText().GetData(), L"50%");
  Canvas canvas(200, 20);
  bar.Paint(canvas.dc(), Rect(0, 0, 200, 20), nullptr);
  // Away from the centred text: the done half in the fore colour, the rest in the background.
  EXPECT_EQ(canvas.Pixel(1, 10), 0x0000C000u);
  EXPECT_EQ(canvas.Pixel(60, 10), 0x0000C000u);
  EXPECT_EQ(canvas.Pixel(140, 10), 0x00202020u);
  EXPECT_EQ(canvas.Pixel(199, 10), 0x00202020u);

  // The whole bar is the two fills with "50%" drawn over them in the bar's font and style.
  Canvas fills(200, 20);
  CRenderEngine::DrawColor(fills.dc(), Rect(0, 0, 200, 20), 0xFF202020);
  CRenderEngine::DrawColor(fills.dc(), Rect(0, 0, 100, 20), 0xFF00C000);
  Canvas expected(200, 20);
  CRenderEngine::DrawColor(expected.dc(), Rect(0, 0, 200, 20), 0xFF202020);
  CRenderEngine::DrawColor(expected.dc(), Rect(0, 0, 100, 20), 0xFF00C000);
  RECT box = Rect(0, 0, 200, 20);
  CRenderEngine::DrawText(expected.dc(), &host.manager(), box, L"50%", 0xFFFFFFFF, bar.GetFont(), bar.GetTextStyle());
  int differing = 0, inkOverDone = 0, inkOverRest = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 200; ++x) {
      differing += canvas.Pixel(x, y) != expected.Pixel(x, y) ? 1 : 0;
      if (canvas.Pixel(x, y) != fills.Pixel(x, y)) ++(x < 100 ? inkOverDone : inkOverRest);
    }
  }
  EXPECT_EQ(differing, 0);
  // Ink on the done part shows that the text comes after the fore colour, not beneath it.
  EXPECT_GT(inkOverDone, 0);
  EXPECT_GT(inkOverRest, 0);
}

TEST_F(ProgressPaintTest, ForeImageDestinationFollowsTheFillAndPadding) {
  ASSERT_NE(host.manager().AddImage(L"fill", MakeSolidBitmap(200, 12, 0x000000F0), 200, 12, false), nullptr);
  ProbeProgress bar;
  bar.SetManager(&host.manager(), nullptr, false);
  bar.SetPos(Rect(0, 0, 200, 12));
  bar.SetForeImage(L"fill");
  bar.SetForeImagePadding(SIZE{3, 2});
  bar.SetValue(50);
  Canvas canvas(200, 12);
  bar.Paint(canvas.dc(), Rect(0, 0, 200, 12), nullptr);
  EXPECT_STREQ(bar.Modify(), L"dest='0,3,100,10'");
  EXPECT_EQ(canvas.Pixel(50, 6), 0x000000F0u);
  EXPECT_EQ(canvas.Pixel(50, 1), 0x00000000u);   // top padding
  EXPECT_EQ(canvas.Pixel(50, 11), 0x00000000u);  // bottom padding
  EXPECT_EQ(canvas.Pixel(150, 6), 0x00000000u);  // not done yet

  bar.SetStretchForeImage(false);
  bar.Paint(canvas.dc(), Rect(0, 0, 200, 12), nullptr);
  EXPECT_STREQ(bar.Modify(), L"dest='0,3,100,10' source='0,3,100,10'");

  ProbeProgress tall;
  tall.SetManager(&host.manager(), nullptr, false);
  tall.SetHorizontal(false);
  tall.SetFixedHeight(80);
  tall.SetPos(Rect(0, 0, 20, 80));
  tall.SetForeImage(L"fill");
  tall.SetForeImagePadding(SIZE{4, 6});
  tall.SetValue(25);
  Canvas column(20, 80);
  tall.Paint(column.dc(), Rect(0, 0, 20, 80), nullptr);
  EXPECT_STREQ(tall.Modify(), L"dest='4,60,14,80'");
}

}  // namespace
}  // namespace test
}  // namespace ZQUI
