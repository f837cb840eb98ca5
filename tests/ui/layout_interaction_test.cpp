// Input handled by containers and layouts: wheel scrolling (stepped and smooth), keys, scroll
// notifications, state propagation and the separator drag.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/control/scroll_bar.h"

namespace ZQUI {
namespace {

using test::Rect;
using test::Size;

class NotifyNames : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override {
    names.push_back(msg.typeName.GetData());
    wParams.push_back(msg.wParam);
    lParams.push_back(msg.lParam);
  }
  std::vector<std::wstring> names;
  std::vector<WPARAM> wParams;
  std::vector<LPARAM> lParams;
};

// A scrollable list of 20 rows of 50 pixels in a 200-pixel view, attached to a manager.
struct ScrollFixture {
  explicit ScrollFixture(CPaintManagerUI& manager) {
    layout = new CVerticalLayoutUI();
    layout->EnableScrollBar(true, false);
    for (int i = 0; i < 20; ++i) {
      auto* row = new CControlUI();
      row->SetFixedHeight(50);
      layout->Add(row);
    }
    manager.AttachDialog(layout);
    layout->SetPos(Rect(0, 0, 100, 200));
  }
  TEventUI Wheel(bool down) {
    TEventUI event;
    event.type = UiEventType::ScrollWheel;
    event.sender = layout;
    event.wParam = MAKEWPARAM(down ? SB_LINEDOWN : SB_LINEUP, 0);
    return event;
  }
  CVerticalLayoutUI* layout;
};

// The wheel filter's clock, stepped by the tests: whether two events are 5 ms apart is theirs to
// say, not the scheduler's.
int64_t g_wheelNowMs = 0;
int64_t WheelNow() { return g_wheelNowMs; }

class WheelClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_wheelNowMs = 1000;
    CContainerUI::SetWheelClock(WheelNow);
  }
  void TearDown() override { CContainerUI::SetWheelClock(nullptr); }
  static void Advance(int64_t ms) { g_wheelNowMs += ms; }
};

using ContainerWheel = WheelClockTest;

TEST_F(ContainerWheel, SteppedWheelScrollsByTheStepAndDropsEventsCloserThan5Ms) {
  CPaintManagerUI manager;
  ScrollFixture f(manager);
  f.layout->SetAttribute(L"smooth", L"false");
  f.layout->SetScrollStepSize(40);
  TEventUI down = f.Wheel(true);
  f.layout->Event(down);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 40);
  Advance(4);
  f.layout->Event(down);  // 4 ms later: dropped
  EXPECT_EQ(f.layout->GetScrollPos().cy, 40);
  Advance(1);
  f.layout->Event(down);  // 5 ms after the last one taken
  EXPECT_EQ(f.layout->GetScrollPos().cy, 80);
  Advance(5);
  TEventUI up = f.Wheel(false);
  f.layout->Event(up);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 40);
  Advance(10);
  down.keyState = KeyModifiers::Control;  // Ctrl + wheel is not a scroll
  f.layout->Event(down);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 40);
}

TEST_F(ContainerWheel, OneTimeStampServesEveryContainer) {
  CPaintManagerUI manager;
  ScrollFixture first(manager);
  auto* second = new CVerticalLayoutUI();
  second->EnableScrollBar(true, false);
  for (int i = 0; i < 20; ++i) {
    auto* row = new CControlUI();
    row->SetFixedHeight(50);
    second->Add(row);
  }
  first.layout->Add(second);
  second->SetPos(Rect(0, 0, 100, 200));
  first.layout->SetAttribute(L"smooth", L"false");
  second->SetAttribute(L"smooth", L"false");
  TEventUI down = first.Wheel(true);
  first.layout->Event(down);
  ASSERT_GT(first.layout->GetScrollPos().cy, 0);
  Advance(2);
  down.sender = second;
  second->Event(down);  // within 5 ms of the other container's event
  EXPECT_EQ(second->GetScrollPos().cy, 0);
  Advance(3);
  second->Event(down);
  EXPECT_GT(second->GetScrollPos().cy, 0);
}

TEST_F(ContainerWheel, SmoothWheelSpreadsOneStepOverTenTicks) {
  test::ManagerWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  ScrollFixture f(window.manager());
  f.layout->SetScrollStepSize(25);  // 25 / 10 = 2 with 5 left over for the first five ticks
  TEventUI down = f.Wheel(true);
  f.layout->Event(down);  // the first tick runs at once
  std::vector<int> positions = {f.layout->GetScrollPos().cy};
  for (int i = 0; i < 12 && f.layout->IsWheelAnimating(); ++i) {
    TEventUI tick;
    tick.type = UiEventType::Timer;
    tick.wParam = CContainerUI::kWheelTimerId;
    f.layout->Event(tick);
    positions.push_back(f.layout->GetScrollPos().cy);
  }
  EXPECT_EQ(positions, (std::vector<int>{3, 6, 9, 12, 15, 17, 19, 21, 23, 25}));
  EXPECT_FALSE(f.layout->IsWheelAnimating());

  // A second step in the same direction while animating extends the target.
  Advance(10);
  f.layout->Event(down);
  Advance(10);
  f.layout->Event(down);
  for (int i = 0; i < 30 && f.layout->IsWheelAnimating(); ++i) f.layout->InertiaTick();
  EXPECT_EQ(f.layout->GetScrollPos().cy, 75);
}

TEST(ContainerInput, KeysScrollWhileTheBarIsShown) {
  CPaintManagerUI manager;
  ScrollFixture f(manager);
  f.layout->SetScrollStepSize(10);
  TEventUI key;
  key.type = UiEventType::KeyDown;
  key.key = VK_DOWN;
  f.layout->Event(key);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 10);
  key.key = VK_NEXT;
  f.layout->Event(key);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 210);
  key.key = VK_END;
  f.layout->Event(key);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 800);
  key.key = VK_HOME;
  f.layout->Event(key);
  EXPECT_EQ(f.layout->GetScrollPos().cy, 0);
}

TEST(ContainerInput, ScrollingNotifiesScrollAndScrollTools) {
  CPaintManagerUI manager;
  NotifyNames log;
  ScrollFixture f(manager);
  manager.AddNotifier(&log);
  f.layout->SetScrollPos(Size(0, 30));
  // The bar reports its own change, then the container reports the move.
  EXPECT_EQ(log.names, (std::vector<std::wstring>{L"scroll", L"scroll", L"scrolltools"}));
  EXPECT_EQ(log.wParams[1], 8u + 30u);  // line size + position
  EXPECT_EQ(log.lParams[1], 30);
  log.names.clear();
  f.layout->SetScrollPos(Size(0, 30));  // unchanged: nothing
  EXPECT_TRUE(log.names.empty());
  manager.RemoveNotifier(&log);
}

TEST(ContainerInput, MouseInputBypassesAContainerWithMouseDisabled) {
  class Recording : public CContainerUI {
   public:
    void DoEvent(TEventUI& event) override {
      ++seen;
      CContainerUI::DoEvent(event);
    }
    int seen = 0;
  };
  Recording outer;
  auto* inner = new Recording();
  auto* leaf = new CControlUI();
  inner->Add(leaf);
  outer.Add(inner);
  inner->SetMouseEnabled(false);
  TEventUI event;
  event.type = UiEventType::ButtonDown;
  leaf->Event(event);
  EXPECT_EQ(inner->seen, 1);
  EXPECT_EQ(outer.seen, 1);
}

TEST(ContainerState, VisibilityAndEnabledStatePropagate) {
  CVerticalLayoutUI outer;
  auto* middle = new CVerticalLayoutUI();
  auto* leaf = new CControlUI();
  middle->Add(leaf);
  outer.Add(middle);
  outer.SetVisible(false);
  EXPECT_FALSE(leaf->IsVisible());
  EXPECT_TRUE(leaf->GetVisible());
  outer.SetVisible(true);
  EXPECT_TRUE(leaf->IsVisible());
  middle->SetVisible(false);
  outer.SetVisible(false);
  outer.SetVisible(true);
  EXPECT_FALSE(leaf->IsVisible());  // its own container is still hidden
  middle->SetVisible(true);
  EXPECT_TRUE(leaf->IsVisible());
  outer.SetEnabled(false);
  EXPECT_FALSE(leaf->IsEnabled());
  outer.SetEnabled(true);
  EXPECT_TRUE(leaf->IsEnabled());
  leaf->SetFixedXY(Size(1, 1));
  outer.Move(Size(5, 7));
  EXPECT_EQ(leaf->GetFixedXY(), Size(6, 8));
}

TEST(ContainerState, IdentityOfContainersAndLayouts) {
  CContainerUI container;
  CVerticalLayoutUI vertical;
  CHorizontalLayoutUI horizontal;
  EXPECT_STREQ(container.GetClass(), L"ContainerUI");
  EXPECT_STREQ(vertical.GetClass(), L"VerticalLayoutUI");
  EXPECT_STREQ(horizontal.GetClass(), L"HorizontalLayoutUI");
  EXPECT_EQ(container.GetInterface(L"icontainer"), static_cast<IContainerUI*>(&container));
  EXPECT_EQ(vertical.GetInterface(L"Container"), static_cast<CContainerUI*>(&vertical));
  EXPECT_EQ(vertical.GetInterface(L"verticallayout"), &vertical);
  EXPECT_EQ(vertical.GetInterface(L"HorizontalLayout"), nullptr);
  EXPECT_EQ(horizontal.GetInterface(L"Control"), static_cast<CControlUI*>(&horizontal));
  EXPECT_TRUE(vertical.IsContainerControl());
  EXPECT_EQ(vertical.GetControlFlags(), 0u);
  vertical.SetAttribute(L"sepheight", L"4");
  EXPECT_EQ(vertical.GetControlFlags(), ControlFlagSetCursor);
  horizontal.SetAttribute(L"cursormouse", L"false");
  EXPECT_EQ(horizontal.GetControlFlags(), ControlFlagSetCursor);
  CControlUI* clone = vertical.Clone();
  EXPECT_STREQ(clone->GetClass(), L"VerticalLayoutUI");
  EXPECT_EQ(static_cast<CVerticalLayoutUI*>(clone)->GetSepHeight(), 4);
  delete clone;
}

TEST(Separator, DraggingTheStripResizesTheLayoutWithinItsLimits) {
  CPaintManagerUI manager;
  auto* root = new CVerticalLayoutUI();
  auto* pane = new CVerticalLayoutUI();
  pane->ApplyAttributeList(L"height=\"100\" sepheight=\"4\" sepimm=\"true\" minheight=\"50\" maxheight=\"150\"");
  root->Add(pane);
  root->Add(new CControlUI());
  manager.AttachDialog(root);
  root->SetPos(Rect(0, 0, 200, 300));
  EXPECT_EQ(pane->GetThumbRect(), Rect(0, 96, 200, 100));

  TEventUI event;
  event.type = UiEventType::ButtonDown;
  event.mousePos = {10, 98};
  pane->Event(event);
  event.type = UiEventType::MouseMove;
  event.mousePos = {10, 128};
  pane->Event(event);
  EXPECT_EQ(pane->GetFixedHeight(), 130);
  event.mousePos = {10, 400};
  pane->Event(event);
  EXPECT_EQ(pane->GetFixedHeight(), 150);  // kept at the maximum
  event.type = UiEventType::ButtonUp;
  pane->Event(event);
  root->SetPos(Rect(0, 0, 200, 300));
  EXPECT_EQ(pane->GetPos(), Rect(0, 0, 200, 150));

  // Presses outside the strip do not start a drag.
  event.type = UiEventType::ButtonDown;
  event.mousePos = {10, 20};
  pane->Event(event);
  event.type = UiEventType::MouseMove;
  event.mousePos = {10, 60};
  pane->Event(event);
  EXPECT_EQ(pane->GetFixedHeight(), 150);
}

TEST(Separator, ANonImmediateDragRegistersForPostPaint) {
  CPaintManagerUI manager;
  auto* root = new CHorizontalLayoutUI();
  auto* pane = new CHorizontalLayoutUI();
  pane->ApplyAttributeList(L"width=\"80\" sepwidth=\"-5\"");
  root->Add(pane);
  manager.AttachDialog(root);
  root->SetPos(Rect(0, 0, 300, 50));
  EXPECT_EQ(pane->GetThumbRect(), Rect(0, 0, 5, 50));
  TEventUI event;
  event.type = UiEventType::ButtonDown;
  event.mousePos = {2, 10};
  pane->Event(event);
  EXPECT_TRUE(manager.IsPostPaint(pane));
  event.type = UiEventType::MouseMove;
  event.mousePos = {-8, 10};  // the leading edge moves left: wider
  pane->Event(event);
  EXPECT_EQ(pane->GetFixedWidth(), 90);
  EXPECT_EQ(pane->GetPos(), Rect(0, 0, 80, 50));  // not applied until the release
  event.type = UiEventType::ButtonUp;
  pane->Event(event);
  EXPECT_FALSE(manager.IsPostPaint(pane));
}

}  // namespace
}  // namespace ZQUI
