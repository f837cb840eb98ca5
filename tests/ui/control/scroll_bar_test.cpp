#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/control/control_test_support.h"
#include "ui/control/scroll_bar.h"
#include "ui/layout/vertical_layout.h"

namespace ZQUI {
namespace test {
namespace {

// --- geometry ------------------------------------------------------------------------------------

struct GeometryCase {
  const char* what;
  bool horizontal;
  RECT pos;
  int range;
  int scrollPos;
  bool showButton1;
  bool showButton2;
  RECT button1;
  RECT button2;
  RECT thumb;
};

TEST(ScrollBarGeometryTest, ButtonsAndThumbAreLaidOutExactly) {
  const GeometryCase cases[] = {
      {"vertical, no range: thumb fills the rail", false, {0, 0, 16, 100}, 0, 0, true, true,
       {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 16, 16, 84}},
      {"vertical, minimum thumb pushed back over button 1", false, {0, 0, 16, 100}, 200, 0, true, true,
       {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 4, 16, 84}},
      {"vertical, no room for a thumb", false, {0, 0, 16, 20}, 50, 0, true, true,
       {0, 0, 16, 10}, {0, 10, 16, 20}, {0, 0, 0, 0}},
      {"vertical, half way", false, {84, 0, 100, 300}, 300, 150, true, true,
       {84, 0, 100, 16}, {84, 284, 100, 300}, {84, 83, 100, 217}},
      {"vertical, at the end", false, {84, 0, 100, 300}, 300, 300, true, true,
       {84, 0, 100, 16}, {84, 284, 100, 300}, {84, 150, 100, 284}},
      {"vertical, buttons hidden", false, {0, 10, 16, 310}, 300, 0, false, false,
       {0, 10, 0, 10}, {0, 310, 0, 310}, {0, 10, 16, 160}},
      {"horizontal, no range", true, {0, 0, 100, 16}, 0, 0, true, true,
       {0, 0, 16, 16}, {84, 0, 100, 16}, {16, 0, 84, 16}},
      {"horizontal, half way", true, {0, 84, 300, 100}, 300, 150, true, true,
       {0, 84, 16, 100}, {284, 84, 300, 100}, {83, 84, 217, 100}},
      {"horizontal, no room for a thumb", true, {0, 0, 24, 16}, 10, 0, true, true,
       {0, 0, 12, 16}, {12, 0, 24, 16}, {0, 0, 0, 0}},
      {"horizontal, button 2 hidden", true, {0, 0, 200, 16}, 0, 0, true, false,
       {0, 0, 16, 16}, {200, 0, 200, 0}, {16, 0, 200, 16}},
  };
  for (const GeometryCase& c : cases) {
    CScrollBarUI bar;
    bar.SetHorizontal(c.horizontal);
    bar.SetShowButton1(c.showButton1);
    bar.SetShowButton2(c.showButton2);
    bar.SetScrollRange(c.range, true);
    bar.SetScrollPos(c.scrollPos, true);
    bar.SetPos(c.pos);
    EXPECT_EQ(bar.GetButton1Rect(), c.button1) << c.what;
    EXPECT_EQ(bar.GetButton2Rect(), c.button2) << c.what;
    EXPECT_EQ(bar.GetThumbRect(), c.thumb) << c.what;
  }
}

TEST(ScrollBarGeometryTest, HorizontalSwitchSwapsTheThickness) {
  CScrollBarUI bar;
  EXPECT_EQ(bar.GetFixedWidth(), 16);
  EXPECT_EQ(bar.GetFixedHeight(), 0);
  bar.SetHorizontal(true);
  EXPECT_EQ(bar.GetFixedWidth(), 0);
  EXPECT_EQ(bar.GetFixedHeight(), 16);
  bar.SetHorizontal(false);
  EXPECT_EQ(bar.GetFixedWidth(), 16);
  EXPECT_EQ(bar.GetFixedHeight(), 0);
  EXPECT_STREQ(bar.GetClass(), L"ScrollBarUI");
  EXPECT_EQ(bar.GetInterface(L"scrollbar"), &bar);
  EXPECT_EQ(bar.GetInterface(L"Label"), nullptr);
}

// --- position and notifications -------------------------------------------------------------------

class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.SetName(L"bar");
    bar.SetManager(&host.manager(), nullptr, false);
    bar.SetPos(Rect(0, 0, 16, 300));
  }
  size_t Scrolls() { return host.notifier().OfType(L"scroll").size(); }

  HostWindow host;
  CScrollBarUI bar;
};

TEST_F(ScrollBarTest, PositionIsClampedAndComparedBeforeClamping) {
  bar.SetScrollRange(300, true);
  bar.SetScrollPos(-5, true);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  EXPECT_EQ(Scrolls(), 1u);
  bar.SetScrollPos(500, true);
  EXPECT_EQ(bar.GetScrollPos(), 300);
  EXPECT_EQ(Scrolls(), 2u);
  bar.SetScrollPos(300, true);
  EXPECT_EQ(Scrolls(), 2u);
  bar.SetScrollPos(500, true);
  EXPECT_EQ(Scrolls(), 3u);
  EXPECT_EQ(bar.GetScrollPos(), 300);
  // A smaller range pulls the position in without a notification; a negative one becomes 0.
  bar.SetScrollRange(100, true);
  EXPECT_EQ(bar.GetScrollPos(), 100);
  bar.SetScrollRange(-4, true);
  EXPECT_EQ(bar.GetScrollRange(), 0);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  EXPECT_EQ(Scrolls(), 3u);
}

TEST_F(ScrollBarTest, AttributesSetImagesRangeAndButtons) {
  bar.SetAttribute(L"thumbnormalimage", L"file='t.png'");
  bar.SetAttribute(L"Button2HotImage", L"file='b2.png'");
  bar.SetAttribute(L"raildisabledimage", L"file='r.png'");
  bar.SetAttribute(L"bkpushedimage", L"file='bk.png'");
  bar.SetAttribute(L"linesize", L"12");
  bar.SetAttribute(L"range", L"90");
  bar.SetAttribute(L"value", L"40");
  bar.SetAttribute(L"showbutton1", L"false");
  EXPECT_STREQ(bar.GetThumbNormalImage(), L"file='t.png'");
  EXPECT_STREQ(bar.GetButton2HotImage(), L"file='b2.png'");
  EXPECT_STREQ(bar.GetRailDisabledImage(), L"file='r.png'");
  EXPECT_STREQ(bar.GetBkPushedImage(), L"file='bk.png'");
  EXPECT_EQ(bar.GetLineSize(), 12);
  EXPECT_EQ(bar.GetScrollRange(), 90);
  EXPECT_EQ(bar.GetScrollPos(), 40);
  EXPECT_FALSE(bar.GetShowButton1());
  EXPECT_EQ(bar.GetButton1Rect(), Rect(0, 0, 0, 0));
  bar.SetAttribute(L"hor", L"true");
  EXPECT_TRUE(bar.IsHorizontal());
}

// --- input without an owner -------------------------------------------------------------------

TEST_F(ScrollBarTest, ButtonsStepByTheLineSizeAndTheRailByTheBarLength) {
  bar.SetScrollRange(1000, true);
  bar.SetLineSize(8);
  Send(bar, UiEventType::ButtonDown, 8, 290);  // button 2
  EXPECT_EQ(bar.GetScrollPos(), 8);
  EXPECT_NE(bar.GetButton2State() & StatePushed, 0u);
  EXPECT_TRUE(bar.GetMouseDown());
  Send(bar, UiEventType::ButtonUp, 8, 290);
  EXPECT_EQ(bar.GetButton2State() & StatePushed, 0u);
  EXPECT_FALSE(bar.GetMouseDown());
  Send(bar, UiEventType::ButtonDown, 8, 5);  // button 1
  Send(bar, UiEventType::ButtonUp, 8, 5);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  RECT thumb = bar.GetThumbRect();
  Send(bar, UiEventType::ButtonDown, 8, thumb.bottom + 5);  // rail below the thumb
  Send(bar, UiEventType::ButtonUp, 8, thumb.bottom + 5);
  EXPECT_EQ(bar.GetScrollPos(), 300);
  thumb = bar.GetThumbRect();
  Send(bar, UiEventType::ButtonDown, 8, thumb.top - 1);  // rail above the thumb
  Send(bar, UiEventType::ButtonUp, 8, thumb.top - 1);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  EXPECT_GE(Scrolls(), 4u);
}

TEST_F(ScrollBarTest, AHeldButtonRepeatsFromTheSixthTick) {
  bar.SetScrollRange(1000, true);
  Send(bar, UiEventType::ButtonDown, 8, 290);
  EXPECT_EQ(bar.GetScrollPos(), 8);
  for (int tick = 1; tick <= 5; ++tick) Send(bar, UiEventType::Timer, 8, 290, 10);
  EXPECT_EQ(bar.GetScrollPos(), 8);
  Send(bar, UiEventType::Timer, 8, 290, 10);
  EXPECT_EQ(bar.GetScrollPos(), 16);
  Send(bar, UiEventType::Timer, 8, 290, 10);
  EXPECT_EQ(bar.GetScrollPos(), 24);
  Send(bar, UiEventType::Timer, 8, 290, 11);  // another timer is not the bar's
  EXPECT_EQ(bar.GetScrollPos(), 24);
  Send(bar, UiEventType::ButtonUp, 8, 290);
  Send(bar, UiEventType::Timer, 8, 290, 10);
  EXPECT_EQ(bar.GetScrollPos(), 24);
}

TEST_F(ScrollBarTest, ThumbDragAppliesTheOffsetOnTimerTicks) {
  bar.SetScrollRange(700, true);
  RECT thumb = bar.GetThumbRect();
  ASSERT_EQ(thumb, Rect(0, 16, 16, 96));  // 300 × 268 / 1000 = 80
  Send(bar, UiEventType::ButtonDown, 8, 50);
  EXPECT_EQ(bar.GetThumbState() & (StateCaptured | StatePushed), static_cast<UINT>(StateCaptured | StatePushed));
  Send(bar, UiEventType::MouseMove, 8, 97);
  EXPECT_EQ(bar.GetScrollPos(), 0);  // moving alone does not scroll
  Send(bar, UiEventType::Timer, 8, 97, 10);
  EXPECT_EQ(bar.GetScrollPos(), 47 * 700 / (300 - 80 - 32));
  Send(bar, UiEventType::MouseMove, 8, 20);
  Send(bar, UiEventType::Timer, 8, 20, 10);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  Send(bar, UiEventType::ButtonUp, 8, 20);
  EXPECT_EQ(bar.GetThumbState() & (StateCaptured | StatePushed), 0u);
}

TEST_F(ScrollBarTest, AtHighDpiTheThumbFollowsThePointerInDevicePixels) {
  host.manager().SetDPI(144);
  ASSERT_EQ(host.manager().GetDPIObj()->GetScale(), 150u);
  bar.SetPos(Rect(0, 0, 24, 300));
  bar.SetScrollRange(700, true);
  // Buttons 24 high, the minimum thumb 120: 300 × 252 / 1000 = 75 is raised.
  ASSERT_EQ(bar.GetThumbRect(), Rect(0, 24, 24, 144));
  Send(bar, UiEventType::ButtonDown, 12, 50);
  Send(bar, UiEventType::MouseMove, 12, 50 + 94);
  Send(bar, UiEventType::Timer, 12, 144, 10);
  // The thumb travels 300 - 120 - 2 × 24 device pixels over the whole range.
  EXPECT_EQ(bar.GetScrollPos(), 94 * 700 / (300 - 120 - 48));
  Send(bar, UiEventType::ButtonUp, 12, 144);
  host.manager().SetDPI(96);
}

TEST_F(ScrollBarTest, HotStatesFollowThePointer) {
  bar.SetScrollRange(700, true);
  Send(bar, UiEventType::MouseEnter, 8, 200);
  EXPECT_NE(bar.GetButton1State() & StateHot, 0u);
  EXPECT_NE(bar.GetButton2State() & StateHot, 0u);
  EXPECT_EQ(bar.GetThumbState() & StateHot, 0u);
  Send(bar, UiEventType::MouseMove, 8, 50);
  EXPECT_NE(bar.GetThumbState() & StateHot, 0u);
  Send(bar, UiEventType::MouseMove, 8, 200);
  EXPECT_EQ(bar.GetThumbState() & StateHot, 0u);
  Send(bar, UiEventType::MouseMove, 8, 50);
  Send(bar, UiEventType::MouseLeave, 100, 100);
  EXPECT_EQ(bar.GetButton1State() & StateHot, 0u);
  EXPECT_EQ(bar.GetThumbState() & StateHot, 0u);
}

TEST_F(ScrollBarTest, DisablingResetsThePartsAndIgnoresPresses) {
  bar.SetScrollRange(700, true);
  Send(bar, UiEventType::MouseEnter, 8, 50);
  Send(bar, UiEventType::ButtonDown, 8, 50);
  bar.SetEnabled(false);
  EXPECT_EQ(bar.GetButton1State(), 0u);
  EXPECT_EQ(bar.GetThumbState(), 0u);
  Send(bar, UiEventType::ButtonDown, 8, 290);
  EXPECT_EQ(bar.GetScrollPos(), 0);
  EXPECT_EQ(bar.GetButton2State(), 0u);
}

// --- input with an owner ----------------------------------------------------------------------

// A vertical layout that records the types of the events that reach it.
class RecordingLayout : public CVerticalLayoutUI {
 public:
  void DoEvent(TEventUI& event) override {
    types.push_back(event.type);
    CVerticalLayoutUI::DoEvent(event);
  }
  std::vector<int> types;
};

class OwnedScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    layout = new RecordingLayout();
    layout->EnableScrollBar(true, false);
    auto* tall = new CControlUI();
    tall->SetFixedHeight(1000);
    layout->Add(tall);
    ASSERT_TRUE(host.manager().AttachDialog(layout));
    layout->SetPos(Rect(0, 0, 100, 300));
    bar = layout->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    bar->SetName(L"vbar");
  }
  int OwnerPos() const { return layout->GetScrollPos().cy; }
  void Press(int x, int y) {
    Send(*bar, UiEventType::ButtonDown, x, y);
    Send(*bar, UiEventType::ButtonUp, x, y);
  }

  HostWindow host;
  RecordingLayout* layout = nullptr;
  CScrollBarUI* bar = nullptr;
};

TEST_F(OwnedScrollBarTest, ButtonsAndRailScrollTheOwner) {
  ASSERT_EQ(bar->GetPos(), Rect(84, 0, 100, 300));
  ASSERT_EQ(bar->GetScrollRange(), 700);
  Press(90, 295);  // button 2: the owner's line down
  int line = OwnerPos();
  EXPECT_GT(line, 0);
  EXPECT_EQ(bar->GetScrollPos(), line);
  Press(90, 5);  // button 1: line up
  EXPECT_EQ(OwnerPos(), 0);
  Press(90, 200);  // rail below the thumb: page down
  EXPECT_EQ(OwnerPos(), 300);
  EXPECT_EQ(layout->GetItemAt(0)->GetPos().top, -300);
  host.notifier().Clear();
  RECT thumb = bar->GetThumbRect();
  Press(90, thumb.top);  // on the thumb's edge: a press on the thumb, nothing scrolls
  EXPECT_EQ(OwnerPos(), 300);
  Press(90, thumb.top - 1);  // above: page up
  EXPECT_EQ(OwnerPos(), 0);
  bool barScrolled = false;
  for (const Received& r : host.notifier().OfType(L"scroll")) barScrolled |= r.sender == L"vbar";
  EXPECT_TRUE(barScrolled);
}

TEST_F(OwnedScrollBarTest, UnhandledEventsGoToTheOwner) {
  Send(*bar, UiEventType::ScrollWheel, 90, 100, SB_LINEDOWN);
  Send(*bar, UiEventType::Timer, 90, 100, 77);
  Send(*bar, UiEventType::SetFocus, 90, 100);  // ignored by the bar
  EXPECT_EQ(layout->types, (std::vector<int>{UiEventType::ScrollWheel, UiEventType::Timer}));
  bar->SetMouseEnabled(false);
  Send(*bar, UiEventType::ButtonDown, 90, 295);
  EXPECT_EQ(layout->types.back(), UiEventType::ButtonDown);
  EXPECT_EQ(bar->GetButton2State() & StatePushed, 0u);
}

TEST_F(OwnedScrollBarTest, ThumbDragMovesTheOwnerThroughTheRealTimer) {
  RECT thumb = bar->GetThumbRect();
  ASSERT_EQ(thumb, Rect(84, 16, 100, 96));
  Send(*bar, UiEventType::ButtonDown, 90, 50);
  Send(*bar, UiEventType::MouseMove, 90, 50 + 94);
  const int expected = 94 * 700 / (300 - 80 - 32);
  EXPECT_TRUE(host.PumpUntil([&] { return OwnerPos() == expected; }, 3000));
  EXPECT_EQ(OwnerPos(), expected);
  EXPECT_EQ(layout->GetItemAt(0)->GetPos().top, -expected);
  Send(*bar, UiEventType::ButtonUp, 90, 144);
  // The timer is stopped: a later pointer move changes nothing.
  Send(*bar, UiEventType::MouseMove, 90, 20);
  host.PumpUntil([] { return false; }, 200);
  EXPECT_EQ(OwnerPos(), expected);
}

// --- painting ----------------------------------------------------------------------------------

TEST_F(ScrollBarTest, WithoutImagesTheButtonsAndThumbAreOutlined) {
  bar.SetPos(Rect(0, 0, 16, 100));
  Canvas canvas(16, 100, 0xFF000000);
  bar.Paint(canvas.dc(), Rect(0, 0, 16, 100), nullptr);
  auto outlined = [&](int x, int y) { return canvas.Pixel(x, y) == 0x0085E4FFu; };
  EXPECT_TRUE(outlined(0, 8) || outlined(1, 8));    // button 1, left edge
  EXPECT_TRUE(outlined(0, 92) || outlined(1, 92));  // button 2
  EXPECT_TRUE(outlined(0, 50) || outlined(1, 50));  // thumb
  EXPECT_EQ(canvas.Pixel(8, 8), 0u);                // inside button 1
  EXPECT_EQ(canvas.Pixel(8, 50), 0u);               // inside the thumb

  bar.SetShow(false);
  Canvas hidden(16, 100, 0xFF000000);
  bar.Paint(hidden.dc(), Rect(0, 0, 16, 100), nullptr);
  EXPECT_EQ(hidden.Pixel(0, 8), 0u);
  EXPECT_EQ(hidden.Pixel(1, 8), 0u);
}

TEST_F(ScrollBarTest, PartImagesFollowTheirStates) {
  auto add = [&](const wchar_t* name, DWORD color) {
    ASSERT_NE(host.manager().AddImage(name, MakeSolidBitmap(4, 4, color), 4, 4, false), nullptr);
  };
  add(L"thumb", 0x0000FF00);
  add(L"thumbhot", 0x00FF0000);
  add(L"btn", 0x000000FF);
  add(L"rail", 0x00FFFFFF);
  bar.SetScrollRange(700, true);
  bar.SetThumbNormalImage(L"thumb");
  bar.SetThumbHotImage(L"thumbhot");
  bar.SetButton1NormalImage(L"btn");
  auto paint = [&](int x, int y) {
    Canvas canvas(16, 300, 0xFF000000);
    bar.Paint(canvas.dc(), Rect(0, 0, 16, 300), nullptr);
    return canvas.Pixel(x, y);
  };
  EXPECT_EQ(paint(8, 20), 0x0000FF00u);  // thumb 16..96
  EXPECT_EQ(paint(8, 8), 0x000000FFu);   // button 1
  Send(bar, UiEventType::MouseMove, 8, 50);
  EXPECT_EQ(paint(8, 20), 0x00FF0000u);
  // The rail grip is a square of the bar's thickness at the thumb's centre (56).
  bar.SetRailNormalImage(L"rail");
  EXPECT_EQ(paint(8, 56), 0x00FFFFFFu);
  EXPECT_EQ(paint(8, 47), 0x00FF0000u);
  EXPECT_EQ(paint(8, 63), 0x00FFFFFFu);
  EXPECT_EQ(paint(8, 64), 0x00FF0000u);
}

}  // namespace
}  // namespace test
}  // namespace ZQUI
