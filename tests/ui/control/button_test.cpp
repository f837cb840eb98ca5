#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/control/control_test_support.h"
#include "ui/control/button.h"

namespace ZQUI {
namespace test {
namespace {

// A parent that records the types of the events handed up to it.
class RecordingParent : public CControlUI {
 public:
  void DoEvent(TEventUI& event) override { types.push_back(event.type); }
  std::vector<int> types;
};

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    button.SetName(L"ok");
    button.SetManager(&host.manager(), nullptr, false);
    button.SetPos(Rect(10, 10, 110, 40));
  }
  RecordingNotifier& notes() { return host.notifier(); }

  HostWindow host;
  CButtonUI button;
};

TEST_F(ButtonTest, IdentityFlagsAndDefaults) {
  EXPECT_STREQ(button.GetClass(), L"ButtonUI");
  EXPECT_EQ(button.GetInterface(L"BUTTON"), &button);
  EXPECT_EQ(button.GetInterface(L"Label"), &button);
  EXPECT_NE(button.GetInterface(L"Control"), nullptr);
  EXPECT_EQ(button.GetInterface(L"Option"), nullptr);
  EXPECT_EQ(button.GetTextStyle(), 0x25u);
  EXPECT_EQ(button.GetControlFlags(), 0x3u);
  button.SetKeyboardEnabled(false);
  EXPECT_EQ(button.GetControlFlags(), 0x2u);
  button.SetEnabled(false);
  EXPECT_EQ(button.GetControlFlags(), 0x0u);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateDisabled));
  button.SetEnabled(true);
  EXPECT_EQ(button.GetState(), 0u);
}

TEST_F(ButtonTest, PressAndReleaseInsideClicksAndDraggingOutTogglesPushed) {
  Send(button, UiEventType::MouseEnter, 20, 20);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateHot));
  Send(button, UiEventType::ButtonDown, 20, 20);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateHot | StatePushed | StateCaptured));
  Send(button, UiEventType::MouseMove, 200, 200);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateHot | StateCaptured));
  Send(button, UiEventType::MouseMove, 50, 20);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateHot | StatePushed | StateCaptured));
  EXPECT_TRUE(notes().received.empty());
  Send(button, UiEventType::ButtonUp, 50, 20);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateHot));
  EXPECT_EQ(notes().Joined(), L"click:ok");
  Send(button, UiEventType::MouseLeave, 200, 200);
  EXPECT_EQ(button.GetState(), 0u);
  EXPECT_EQ(notes().Joined(), L"click:ok");  // rich events are off
}

TEST_F(ButtonTest, ReleaseOutsideOrPressOutsideSendsNoClick) {
  Send(button, UiEventType::ButtonDown, 20, 20);
  Send(button, UiEventType::ButtonUp, 300, 20);
  EXPECT_EQ(button.GetState(), 0u);
  Send(button, UiEventType::ButtonDown, 5, 5);
  EXPECT_EQ(button.GetState(), 0u);
  Send(button, UiEventType::ButtonUp, 20, 20);
  EXPECT_TRUE(notes().received.empty());
  // A double click counts as a press.
  Send(button, UiEventType::DblClick, 20, 20);
  Send(button, UiEventType::ButtonUp, 20, 20);
  EXPECT_EQ(notes().Joined(), L"click:ok");
}

TEST_F(ButtonTest, RichEventsAddButtonDownEnterAndLeave) {
  button.SetRichEvent(true);
  Send(button, UiEventType::MouseEnter, 20, 20);
  Send(button, UiEventType::ButtonDown, 20, 20);
  Send(button, UiEventType::ButtonUp, 20, 20);
  Send(button, UiEventType::MouseLeave, 200, 200);
  EXPECT_EQ(notes().Joined(), L"mouseenter:ok buttondown:ok click:ok mouseleave:ok");
}

TEST_F(ButtonTest, SpaceOrReturnClicksWhenKeyboardIsEnabled) {
  TEventUI key = MakeEvent(UiEventType::KeyDown);
  key.key = VK_SPACE;
  button.Event(key);
  key.key = VK_RETURN;
  button.Event(key);
  key.key = L'A';
  button.Event(key);
  EXPECT_EQ(notes().Joined(), L"click:ok click:ok");
  button.SetKeyboardEnabled(false);
  key.key = VK_SPACE;
  button.Event(key);
  EXPECT_EQ(notes().OfType(L"click").size(), 2u);
}

TEST_F(ButtonTest, DisabledButtonIgnoresPressesAndKeepsItsOtherStates) {
  Send(button, UiEventType::MouseEnter, 20, 20);
  Send(button, UiEventType::ButtonDown, 20, 20);
  button.SetEnabled(false);
  EXPECT_EQ(button.GetState(), static_cast<UINT>(StateHot | StatePushed | StateCaptured | StateDisabled));
  Send(button, UiEventType::MouseLeave, 200, 200);  // ignored while disabled
  EXPECT_NE(button.GetState() & StateHot, 0u);
  EXPECT_FALSE(button.Activate());
  Send(button, UiEventType::ButtonUp, 20, 20);  // the tracked press ends without a click
  EXPECT_TRUE(notes().received.empty());
  Send(button, UiEventType::ButtonDown, 20, 20);
  EXPECT_EQ(button.GetState() & StateCaptured, 0u);
  button.SetEnabled(true);
  EXPECT_TRUE(button.Activate());
  EXPECT_EQ(notes().Joined(), L"click:ok");
}

TEST_F(ButtonTest, MouseEventsGoToTheParentWhenMouseInputIsOff) {
  RecordingParent parent;
  button.SetManager(&host.manager(), &parent, false);
  button.SetMouseEnabled(false);
  Send(button, UiEventType::ButtonDown, 20, 20);
  Send(button, UiEventType::ButtonUp, 20, 20);
  EXPECT_EQ(parent.types, (std::vector<int>{UiEventType::ButtonDown, UiEventType::ButtonUp}));
  EXPECT_EQ(button.GetState(), 0u);
  EXPECT_TRUE(notes().received.empty());
  // Key events still reach the button.
  TEventUI key = MakeEvent(UiEventType::KeyDown);
  key.key = VK_RETURN;
  button.Event(key);
  EXPECT_EQ(notes().Joined(), L"click:ok");
  button.SetManager(&host.manager(), nullptr, false);
}

TEST_F(ButtonTest, ContextMenuSendsMenuOnlyWhenUsed) {
  TEventUI menu = MakeEvent(UiEventType::ContextMenu, 20, 20, 7);
  menu.lParam = 9;
  button.Event(menu);
  EXPECT_TRUE(notes().received.empty());
  button.SetContextMenuUsed(true);
  button.Event(menu);
  ASSERT_EQ(notes().received.size(), 1u);
  EXPECT_EQ(notes().received[0].type, L"menu");
  EXPECT_EQ(notes().received[0].wParam, 7u);
  EXPECT_EQ(notes().received[0].lParam, 9);
}

TEST_F(ButtonTest, FocusEventsSetTheFocusedFlag) {
  Send(button, UiEventType::SetFocus);
  EXPECT_TRUE(button.IsFocused());
  Send(button, UiEventType::KillFocus);
  EXPECT_FALSE(button.IsFocused());
}

TEST_F(ButtonTest, AttributesStoreStateResources) {
  button.SetAttribute(L"NormalImage", L"file='n.png'");
  button.SetAttribute(L"hotimage", L"file='h.png'");
  button.SetAttribute(L"pushedimage", L"file='p.png'");
  button.SetAttribute(L"focusedimage", L"file='f.png'");
  button.SetAttribute(L"disabledimage", L"file='d.png'");
  button.SetAttribute(L"hotforeimage", L"file='hf.png'");
  button.SetAttribute(L"pushedforeimage", L"file='pf.png'");
  button.SetAttribute(L"hotbkcolor", L"#FF010101");
  button.SetAttribute(L"pushedbkcolor", L"#FF020202");
  button.SetAttribute(L"disabledbkcolor", L"#FF030303");
  button.SetAttribute(L"hottextcolor", L"#FF040404");
  button.SetAttribute(L"pushedtextcolor", L"#FF050505");
  button.SetAttribute(L"focusedtextcolor", L"#FF060606");
  button.SetAttribute(L"hotbordercolor", L"#FF070707");
  button.SetAttribute(L"HotBorderColor", L"#FF999999");  // exact names only
  button.SetAttribute(L"pushedbordercolor", L"#FF080808");
  button.SetAttribute(L"disabledbordercolor", L"#FF090909");
  button.SetAttribute(L"hotfont", L"1");
  button.SetAttribute(L"pushedfont", L"2");
  button.SetAttribute(L"focuedfont", L"3");
  button.SetAttribute(L"statecount", L"4");
  button.SetAttribute(L"bindtabindex", L"-2");
  button.SetAttribute(L"bindtablayoutname", L"tabs");
  EXPECT_STREQ(button.GetNormalImage(), L"file='n.png'");
  EXPECT_STREQ(button.GetHotImage(), L"file='h.png'");
  EXPECT_STREQ(button.GetPushedImage(), L"file='p.png'");
  EXPECT_STREQ(button.GetFocusedImage(), L"file='f.png'");
  EXPECT_STREQ(button.GetDisabledImage(), L"file='d.png'");
  EXPECT_STREQ(button.GetHotForeImage(), L"file='hf.png'");
  EXPECT_STREQ(button.GetPushedForeImage(), L"file='pf.png'");
  EXPECT_EQ(button.GetHotBkColor(), 0xFF010101u);
  EXPECT_EQ(button.GetPushedBkColor(), 0xFF020202u);
  EXPECT_EQ(button.GetDisabledBkColor(), 0xFF030303u);
  EXPECT_EQ(button.GetHotTextColor(), 0xFF040404u);
  EXPECT_EQ(button.GetPushedTextColor(), 0xFF050505u);
  EXPECT_EQ(button.GetFocusedTextColor(), 0xFF060606u);
  EXPECT_EQ(button.GetHotBorderColor(), 0xFF070707u);
  EXPECT_EQ(button.GetPushedBorderColor(), 0xFF080808u);
  EXPECT_EQ(button.GetDisabledBorderColor(), 0xFF090909u);
  EXPECT_EQ(button.GetHotFont(), 1);
  EXPECT_EQ(button.GetPushedFont(), 2);
  EXPECT_EQ(button.GetFocusedFont(), 3);
  EXPECT_EQ(button.GetStateCount(), 4);
  EXPECT_EQ(button.GetBindTabLayoutIndex(), -1);
  EXPECT_STREQ(button.GetBindTabLayoutName(), L"tabs");
  button.SetAttribute(L"bindtabindex", L"2");
  EXPECT_EQ(button.GetBindTabLayoutIndex(), 2);
  button.RemoveBindTabIndex();
  EXPECT_EQ(button.GetBindTabLayoutIndex(), -1);
  EXPECT_STREQ(button.GetBindTabLayoutName(), L"");
  // Unknown names reach the label and the base.
  button.SetAttribute(L"align", L"left");
  EXPECT_EQ(button.GetTextStyle(), 0x24u);
  button.SetAttribute(L"text", L"Go");
  EXPECT_STREQ(button.GetText().GetData(), L"Go");

  CControlUI* copy = button.Clone();
  ASSERT_NE(copy, nullptr);
  auto* clone = static_cast<CButtonUI*>(copy->GetInterface(L"Button"));
  ASSERT_NE(clone, nullptr);
  EXPECT_STREQ(clone->GetHotImage(), L"file='h.png'");
  EXPECT_EQ(clone->GetPushedBorderColor(), 0xFF080808u);
  EXPECT_EQ(clone->GetFocusedFont(), 3);
  EXPECT_STREQ(clone->GetText().GetData(), L"Go");
  EXPECT_EQ(clone->GetTextStyle(), 0x24u);
  delete copy;
}

// A page selector standing in for a tab layout.
class FakeTabs : public CControlUI, public ITabSelectUI {
 public:
  void* GetInterface(const wchar_t* name) override {
    if (_wcsicmp(name, kTabSelectInterface) == 0) return static_cast<ITabSelectUI*>(this);
    return CControlUI::GetInterface(name);
  }
  bool SelectItem(int index, bool) override {
    selected.push_back(index);
    return true;
  }
  std::vector<int> selected;
};

TEST_F(ButtonTest, TabBindingSelectsThePageOfTheNamedLayout) {
  // Nothing bound and no page given, or no tree yet: nothing to do.
  EXPECT_FALSE(button.BindTriggerTabSel());
  EXPECT_FALSE(button.BindTriggerTabSel(1));  // the manager has no root yet
  CButtonUI loose;
  EXPECT_FALSE(loose.BindTriggerTabSel(1));  // nor a manager
  auto* root = new FakeTabs();
  root->SetName(L"tabs");
  ASSERT_TRUE(host.manager().AttachDialog(root));
  EXPECT_FALSE(button.BindTriggerTabSel());
  EXPECT_TRUE(root->selected.empty());
  button.BindTabLayoutName(L"tabs");
  button.BindTabIndex(2);
  EXPECT_TRUE(button.Activate());
  EXPECT_TRUE(button.BindTriggerTabSel(4));
  EXPECT_TRUE(button.BindTriggerTabSel());
  EXPECT_EQ(root->selected, (std::vector<int>{2, 4, 2}));
  EXPECT_EQ(notes().Joined(), L"click:ok");  // the trigger sends no click
  // A name nobody carries is ignored.
  button.BindTabLayoutName(L"missing");
  EXPECT_TRUE(button.Activate());
  EXPECT_EQ(root->selected.size(), 3u);
}

// --- painting ------------------------------------------------------------------------------------

class ButtonPaintTest : public ButtonTest {
 protected:
  void SetUp() override {
    ButtonTest::SetUp();
    button.SetPos(Rect(0, 0, 40, 20));
    AddSolid(L"normal", 0x0000FF00);
    AddSolid(L"hot", 0x000000FF);
    AddSolid(L"pushed", 0x00FF0000);
    AddSolid(L"disabled", 0x00808080);
    AddSolid(L"focused", 0x00FFFF00);
  }
  void AddSolid(const wchar_t* name, DWORD color) {
    ASSERT_NE(host.manager().AddImage(name, MakeSolidBitmap(8, 8, color), 8, 8, false), nullptr);
  }
  DWORD PaintCentre() {
    Canvas canvas(40, 20, 0xFF000000);
    button.Paint(canvas.dc(), Rect(0, 0, 40, 20), nullptr);
    return canvas.Pixel(20, 10);
  }
};

TEST_F(ButtonPaintTest, StatusImageFollowsDisabledPushedHotFocusedOrder) {
  button.SetNormalImage(L"normal");
  button.SetHotImage(L"hot");
  button.SetPushedImage(L"pushed");
  button.SetDisabledImage(L"disabled");
  button.SetFocusedImage(L"focused");
  EXPECT_EQ(PaintCentre(), 0x0000FF00u);
  Send(button, UiEventType::SetFocus);
  EXPECT_EQ(PaintCentre(), 0x00FFFF00u);
  EXPECT_NE(button.GetState() & StateFocused, 0u);
  Send(button, UiEventType::MouseEnter, 5, 5);
  EXPECT_EQ(PaintCentre(), 0x000000FFu);
  Send(button, UiEventType::ButtonDown, 5, 5);
  EXPECT_EQ(PaintCentre(), 0x00FF0000u);
  button.SetEnabled(false);
  EXPECT_EQ(PaintCentre(), 0x00808080u);
  // A missing image for the state falls back to the normal image.
  button.SetEnabled(true);
  button.SetPushedImage(L"");
  EXPECT_EQ(PaintCentre(), 0x0000FF00u);
}

TEST_F(ButtonPaintTest, DisabledHostWindowPaintsTheNormalImageAndClearsStates) {
  button.SetNormalImage(L"normal");
  button.SetHotImage(L"hot");
  Send(button, UiEventType::MouseEnter, 5, 5);
  EnableWindow(host.hwnd(), FALSE);
  bool disabled = !IsWindowEnabled(host.hwnd());
  DWORD centre = PaintCentre();
  EnableWindow(host.hwnd(), TRUE);
  ASSERT_TRUE(disabled);
  EXPECT_EQ(centre, 0x0000FF00u);
  EXPECT_EQ(button.GetState(), 0u);
}

TEST_F(ButtonPaintTest, StateImageIsSlicedOnceIntoEqualParts) {
  ASSERT_NE(host.manager().AddImage(L"states.png",
                                    MakeBandedBitmap(300, 20, {0x00FF0000, 0x0000FF00, 0x000000FF}), 300, 20,
                                    false),
            nullptr);
  button.SetDisabledImage(L"keep");
  button.SetFocusedImage(L"keepfocus");
  button.SetAttribute(L"stateimage", L"file='states.png'");
  button.SetAttribute(L"statecount", L"3");
  DWORD normal = PaintCentre();
  EXPECT_STREQ(button.GetNormalImage(), L"res='states.png' restype='' dest='0,0,0,0' source='0,0,100,20'");
  EXPECT_STREQ(button.GetHotImage(), L"res='states.png' restype='' dest='0,0,0,0' source='100,0,200,20'");
  EXPECT_STREQ(button.GetPushedImage(), L"res='states.png' restype='' dest='0,0,0,0' source='200,0,300,20'");
  EXPECT_STREQ(button.GetDisabledImage(), L"keep");
  EXPECT_STREQ(button.GetFocusedImage(), L"keepfocus");
  EXPECT_EQ(normal, 0x00FF0000u);
  Send(button, UiEventType::MouseEnter, 5, 5);
  EXPECT_EQ(PaintCentre(), 0x0000FF00u);
  Send(button, UiEventType::ButtonDown, 5, 5);
  EXPECT_EQ(PaintCentre(), 0x000000FFu);

  // Two slices: hot and pushed both show the second one; a new state image slices anew.
  button.SetStateCount(2);
  button.SetStateImage(L"file='states.png' dest='1,2,30,18'");
  PaintCentre();
  EXPECT_STREQ(button.GetNormalImage(), L"res='states.png' restype='' dest='1,2,30,18' source='0,0,150,20'");
  EXPECT_STREQ(button.GetHotImage(), L"res='states.png' restype='' dest='1,2,30,18' source='150,0,300,20'");
  EXPECT_STREQ(button.GetPushedImage(), L"res='states.png' restype='' dest='1,2,30,18' source='150,0,300,20'");
  // Four slices reach the disabled image.
  button.SetStateCount(4);
  button.SetStateImage(L"file='states.png'");
  PaintCentre();
  EXPECT_STREQ(button.GetDisabledImage(), L"res='states.png' restype='' dest='0,0,0,0' source='225,0,300,20'");
}

TEST_F(ButtonPaintTest, StateColoursReplaceTheBackgroundAndBorder) {
  button.SetBkColor(0xFF101010);
  button.SetHotBkColor(0xFF0000C0);
  button.SetPushedBkColor(0xFFC00000);
  EXPECT_EQ(PaintCentre(), 0x00101010u);
  Send(button, UiEventType::MouseEnter, 5, 5);
  EXPECT_EQ(PaintCentre(), 0x000000C0u);
  Send(button, UiEventType::ButtonDown, 5, 5);
  EXPECT_EQ(PaintCentre(), 0x00C00000u);
  // The disabled colour is not set: the pushed colour still applies (the state is tested in order,
  // and a zero colour falls back to the base background).
  button.SetEnabled(false);
  EXPECT_EQ(PaintCentre(), 0x00101010u);
  button.SetEnabled(true);

  button.SetBorderSize(2);
  button.SetBorderColor(0xFF00FF00);
  button.SetPushedBorderColor(0xFFFFFF00);
  Canvas canvas(40, 20, 0xFF000000);
  button.Paint(canvas.dc(), Rect(0, 0, 40, 20), nullptr);
  EXPECT_TRUE(canvas.Pixel(0, 10) == 0x00FFFF00u || canvas.Pixel(1, 10) == 0x00FFFF00u);
  EXPECT_EQ(canvas.Pixel(20, 10), 0x00C00000u);
  Send(button, UiEventType::ButtonUp, 5, 5);
  Send(button, UiEventType::MouseLeave, 100, 100);
  Canvas idle(40, 20, 0xFF000000);
  button.Paint(idle.dc(), Rect(0, 0, 40, 20), nullptr);
  EXPECT_TRUE(idle.Pixel(0, 10) == 0x0000FF00u || idle.Pixel(1, 10) == 0x0000FF00u);
}

// Counts the pixels close to `color` (0x00RRGGBB) on the canvas.
int CountNear(const Canvas& canvas, DWORD color) {
  int count = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      DWORD px = canvas.Pixel(x, y);
      int dr = static_cast<int>((px >> 16) & 0xFF) - static_cast<int>((color >> 16) & 0xFF);
      int dg = static_cast<int>((px >> 8) & 0xFF) - static_cast<int>((color >> 8) & 0xFF);
      int db = static_cast<int>(px & 0xFF) - static_cast<int>(color & 0xFF);
      if (dr * dr + dg * dg + db * db < 40 * 40) ++count;
    }
  }
  return count;
}

TEST_F(ButtonPaintTest, TextColourFollowsPushedHotFocusedOrder) {
  host.manager().AddFont(3, L"Tahoma", 18, true, false, false, false);
  button.SetFont(3);
  button.SetText(L"HH");
  button.SetTextColor(0xFFFF0000);
  button.SetHotTextColor(0xFF0000FF);
  button.SetPushedTextColor(0xFF00FF00);
  button.SetFocusedTextColor(0xFFFFFF00);
  auto paint = [&](DWORD expected) {
    Canvas canvas(40, 20, 0xFF000000);
    button.Paint(canvas.dc(), Rect(0, 0, 40, 20), nullptr);
    const DWORD colours[] = {0xFF0000, 0x0000FF, 0x00FF00, 0xFFFF00};
    for (DWORD c : colours) {
      if (c == expected) {
        EXPECT_GT(CountNear(canvas, c), 10) << std::hex << c;
      } else {
        EXPECT_EQ(CountNear(canvas, c), 0) << std::hex << c << " while expecting " << expected;
      }
    }
  };
  paint(0xFF0000);
  Send(button, UiEventType::SetFocus);
  paint(0xFFFF00);
  Send(button, UiEventType::MouseEnter, 5, 5);
  paint(0x0000FF);
  Send(button, UiEventType::ButtonDown, 5, 5);
  paint(0x00FF00);
}

}  // namespace
}  // namespace test
}  // namespace ZQUI
