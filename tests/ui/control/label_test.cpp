#include <gtest/gtest.h>

#include "tests/ui/control/control_test_support.h"
#include "ui/control/label.h"
#include "ui/core/render_engine.h"

namespace ZQUI {
namespace test {
namespace {

TEST(LabelTest, IdentityAndDefaults) {
  CLabelUI label;
  EXPECT_STREQ(label.GetClass(), L"LabelUI");
  EXPECT_EQ(label.GetInterface(L"label"), &label);
  EXPECT_NE(label.GetInterface(L"Control"), nullptr);
  EXPECT_EQ(label.GetInterface(L"Button"), nullptr);
  EXPECT_FALSE(label.IsContainerControl());
  EXPECT_EQ(label.GetTextStyle(), 0x24u);
  EXPECT_EQ(label.GetFont(), -1);
  EXPECT_EQ(label.GetControlFlags(), 0x2u);
  label.SetEnabled(false);
  EXPECT_EQ(label.GetControlFlags(), 0u);
  CControlUI* made = CLabelUI::CreateControl();
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->GetClass(), L"LabelUI");
  delete made;
}

struct StyleCase {
  const wchar_t* name;
  const wchar_t* value;
  UINT before;
  UINT after;
};

TEST(LabelTest, AlignmentAttributesRewriteTheTextStyle) {
  const StyleCase cases[] = {
      {L"align", L"center", 0x24, 0x25},
      {L"align", L"right", 0x25, 0x26},
      {L"align", L"left", 0x27, 0x24},
      {L"ALIGN", L"Center", 0x24, 0x24},  // value tests are case-sensitive
      {L"valign", L"vcenter", 0x10 | 0x8, 0x24},
      {L"valign", L"top", 0x34, 0x20},
      {L"valign", L"bottom", 0x14, 0x28},
      {L"valign", L"center", 0x10, 0x10},  // none of top, vcenter, bottom occurs
      {L"wordbreak", L"true", 0x24, 0x2014},
      {L"wordbreak", L"false", 0x2014, 0x24},
      {L"endellipsis", L"true", 0x24, 0x8024},
      {L"endellipsis", L"false", 0x8024, 0x24},
      {L"noprefix", L"TRUE", 0x24, 0x824},
      {L"noprefix", L"no", 0x824, 0x24},
  };
  for (const StyleCase& c : cases) {
    CLabelUI label;
    label.SetTextStyle(c.before);
    label.SetAttribute(c.name, c.value);
    EXPECT_EQ(label.GetTextStyle(), c.after) << c.name << "=" << c.value;
  }
}

TEST(LabelTest, ColourFontPaddingAndFlagAttributes) {
  CLabelUI label;
  label.SetAttribute(L"textcolor", L"#FF102030");
  label.SetAttribute(L"disabledtextcolor", L"0xFF405060");
  label.SetAttribute(L"font", L"3");
  label.SetAttribute(L"textpadding", L"5,1,6,2");
  label.SetAttribute(L"showhtml", L"true");
  label.SetAttribute(L"autocalcwidth", L"true");
  label.SetAttribute(L"autocalcheight", L"true");
  label.SetAttribute(L"followsize", L"true");
  label.SetAttribute(L"name", L"caption");
  EXPECT_EQ(label.GetTextColor(), 0xFF102030u);
  EXPECT_EQ(label.GetDisabledTextColor(), 0xFF405060u);
  EXPECT_EQ(label.GetFont(), 3);
  EXPECT_EQ(label.GetTextPadding(), Rect(5, 1, 6, 2));
  EXPECT_TRUE(label.IsShowHtml());
  EXPECT_TRUE(label.GetAutoCalcWidth());
  EXPECT_TRUE(label.GetAutoCalcHeight());
  EXPECT_TRUE(label.GetFollowSize());
  EXPECT_STREQ(label.GetName().GetData(), L"caption");

  CControlUI* copy = label.Clone();
  ASSERT_NE(copy, nullptr);
  auto* clone = static_cast<CLabelUI*>(copy->GetInterface(L"Label"));
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetTextColor(), 0xFF102030u);
  EXPECT_EQ(clone->GetFont(), 3);
  EXPECT_EQ(clone->GetTextPadding(), Rect(5, 1, 6, 2));
  EXPECT_TRUE(clone->IsShowHtml());
  EXPECT_TRUE(clone->GetAutoCalcWidth());
  EXPECT_FALSE(clone->GetFollowSize());  // not part of the copy
  EXPECT_STREQ(clone->GetName().GetData(), L"caption");
  delete copy;
}

class LabelLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent.SetManager(&host.manager(), nullptr, false);
    parent.SetPos(Rect(0, 0, 400, 100));
    label.SetManager(&host.manager(), &parent, false);
  }
  HostWindow host;
  CControlUI parent;
  CLabelUI label;
};

TEST_F(LabelLayoutTest, OnlyAChangedTextOnAnAutoSizedLabelAsksForALayout) {
  label.SetText(L"first");
  EXPECT_FALSE(parent.IsUpdateNeeded());  // no automatic size
  label.SetAutoCalcWidth(true);
  label.SetText(L"first");
  EXPECT_FALSE(parent.IsUpdateNeeded());  // same text
  label.SetText(L"second");
  EXPECT_TRUE(parent.IsUpdateNeeded());
  EXPECT_STREQ(label.GetText().GetData(), L"second");
}

TEST_F(LabelLayoutTest, SingleLineAutoWidthIsTextWidthPlusPaddingAndHeightIsFontPlusEight) {
  label.SetText(L"Install now");
  label.SetAutoCalcWidth(true);
  label.SetTextPadding(Rect(5, 0, 5, 0));
  TFontInfo* font = host.manager().GetFontInfo(-1);
  ASSERT_NE(font, nullptr);
  SIZE size = label.EstimateSize(SIZE{400, 100});
  ASSERT_GT(font->tm.tmHeight, 0);
  RECT measured = {0, 0, 9999999, size.cy};
  CRenderEngine::DrawText(host.manager().GetPaintDC(), &host.manager(), measured, L"Install now", 0, -1,
                          DT_VCENTER | DT_SINGLELINE | DT_CALCRECT);
  ASSERT_GT(measured.right - measured.left, 0);
  EXPECT_EQ(size.cx, measured.right - measured.left + 10);
  EXPECT_EQ(size.cy, font->tm.tmHeight + 8);

  // A longer text measures again after the change.
  label.SetText(L"Install now, please");
  SIZE longer = label.EstimateSize(SIZE{400, 100});
  EXPECT_GT(longer.cx, size.cx);
}

TEST_F(LabelLayoutTest, FixedWidthAndHeightAreReturnedWithoutMeasuring) {
  label.SetText(L"A text much wider than fifty pixels");
  label.SetAutoCalcWidth(true);
  label.SetFixedWidth(50);
  label.SetFixedHeight(20);
  SIZE size = label.EstimateSize(SIZE{400, 100});
  EXPECT_EQ(size.cx, 50);
  EXPECT_EQ(size.cy, 20);
}

TEST_F(LabelLayoutTest, WithoutAutoWidthOnlyTheHeightIsEstimated) {
  label.SetText(L"Some text");
  label.SetFixedWidth(70);
  SIZE size = label.EstimateSize(SIZE{400, 100});
  EXPECT_EQ(size.cx, 70);
  EXPECT_EQ(size.cy, host.manager().GetFontInfo(-1)->tm.tmHeight + 8);
}

TEST_F(LabelLayoutTest, MultiLineAutoHeightWrapsInTheFixedWidth) {
  const wchar_t* text = L"one two three four five six seven eight nine ten eleven twelve";
  label.SetText(text);
  label.SetAttribute(L"wordbreak", L"true");
  label.SetAutoCalcHeight(true);
  label.SetFixedWidth(80);
  label.SetTextPadding(Rect(4, 3, 6, 2));
  SIZE size = label.EstimateSize(SIZE{400, 300});
  RECT measured = {4, 0, 80 - 6, 9999999};
  CRenderEngine::DrawText(host.manager().GetPaintDC(), &host.manager(), measured, text, 0, -1,
                          (label.GetTextStyle() & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
  EXPECT_EQ(size.cx, 80);
  EXPECT_EQ(size.cy, measured.bottom + 3 + 2);
  // Several lines: clearly taller than one line of the font.
  EXPECT_GT(size.cy, 2 * host.manager().GetFontInfo(-1)->tm.tmHeight);
}

TEST_F(LabelLayoutTest, FollowSizeLeavesTheEstimateToTheBase) {
  label.SetText(L"Some text");
  label.SetAutoCalcWidth(true);
  label.SetFollowSize(true);
  label.SetFixedHeight(30);
  SIZE size = label.EstimateSize(SIZE{400, 100});
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 30);
}

TEST_F(LabelLayoutTest, PaintingReplacesZeroColoursByTheManagersDefaults) {
  host.manager().SetDefaultFontColor(0xFF112233);
  host.manager().SetDefaultDisabledColor(0xFF445566);
  label.SetText(L"x");
  label.SetPos(Rect(0, 0, 40, 20));
  Canvas canvas(40, 20);
  label.PaintText(canvas.dc());
  EXPECT_EQ(label.GetTextColor(), 0xFF112233u);
  EXPECT_EQ(label.GetDisabledTextColor(), 0xFF445566u);
  // A colour of its own is kept.
  label.SetTextColor(0xFF0000FF);
  label.PaintText(canvas.dc());
  EXPECT_EQ(label.GetTextColor(), 0xFF0000FFu);
}

TEST_F(LabelLayoutTest, TextIsDrawnInsideThePaddedRectangleInItsColour) {
  // A large font makes the glyph pixels easy to find.
  host.manager().AddFont(7, L"Tahoma", 28, true, false, false, false);
  label.SetFont(7);
  label.SetText(L"HH");
  label.SetTextColor(0xFFFF0000);
  label.SetTextPadding(Rect(40, 0, 0, 0));
  label.SetAttribute(L"align", L"left");
  label.SetPos(Rect(0, 0, 120, 40));
  Canvas canvas(120, 40, 0xFF000000);
  label.PaintText(canvas.dc());
  int redInPadding = 0;
  int redInText = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      DWORD px = canvas.Pixel(x, y);
      bool reddish = ((px >> 16) & 0xFF) > 0x80 && ((px >> 8) & 0xFF) < 0x40 && (px & 0xFF) < 0x40;
      if (!reddish) continue;
      if (x < 40) ++redInPadding;
      else ++redInText;
    }
  }
  EXPECT_EQ(redInPadding, 0);
  EXPECT_GT(redInText, 20);
}

}  // namespace
}  // namespace test
}  // namespace ZQUI
