#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/control/control_test_support.h"
#include "ui/control/check_box.h"

namespace ZQUI {
namespace test {
namespace {

class CheckBoxTest : public ::testing::Test {
 protected:
  std::unique_ptr<CCheckBoxUI> Make(const wchar_t* name, const wchar_t* group = L"") {
    auto box = std::make_unique<CCheckBoxUI>();
    box->SetName(name);
    box->SetManager(&host.manager(), &parent, false);
    box->SetAttribute(L"group", group);
    box->SetPos(Rect(0, 0, 20, 20));
    return box;
  }
  RecordingNotifier& notes() { return host.notifier(); }

  HostWindow host;
  CControlUI parent;
};

TEST_F(CheckBoxTest, Identity) {
  CCheckBoxUI box;
  EXPECT_STREQ(box.GetClass(), L"CheckBoxUI");
  EXPECT_EQ(box.GetInterface(L"checkbox"), &box);
  EXPECT_EQ(box.GetInterface(L"Option"), &box);
  EXPECT_EQ(box.GetInterface(L"Button"), &box);
  EXPECT_EQ(box.GetControlFlags(), 0x3u);
}

TEST_F(CheckBoxTest, ClickTogglesAfterTheClickWithTheNewStateInWParam) {
  auto box = Make(L"box");
  Send(*box, UiEventType::ButtonDown, 5, 5);
  EXPECT_FALSE(box->GetCheck());  // toggles on the release
  Send(*box, UiEventType::ButtonUp, 5, 5);
  EXPECT_TRUE(box->GetCheck());
  Send(*box, UiEventType::ButtonDown, 5, 5);
  Send(*box, UiEventType::ButtonUp, 5, 5);
  EXPECT_FALSE(box->GetCheck());
  EXPECT_EQ(notes().Joined(), L"click:box selectchanged:box click:box selectchanged:box");
  auto changes = notes().OfType(L"selectchanged");
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].wParam, 1u);
  EXPECT_EQ(changes[1].wParam, 0u);
}

TEST_F(CheckBoxTest, AutoCheckTogglesOnThePressAndNeverClicks) {
  auto box = Make(L"box");
  box->SetAttribute(L"EnableAutoCheck", L"true");
  EXPECT_TRUE(box->GetAutoCheck());
  EXPECT_STREQ(box->GetCustomAttribute(L"EnableAutoCheck"), L"true");
  Send(*box, UiEventType::ButtonDown, 5, 5);
  EXPECT_TRUE(box->GetCheck());
  EXPECT_EQ(box->GetState() & (StateCaptured | StatePushed), 0u);
  Send(*box, UiEventType::ButtonUp, 5, 5);
  Send(*box, UiEventType::DblClick, 5, 5);
  EXPECT_FALSE(box->GetCheck());
  Send(*box, UiEventType::ButtonDown, 50, 50);  // outside: nothing
  EXPECT_FALSE(box->GetCheck());
  EXPECT_EQ(notes().Joined(), L"selectchanged:box checkclick:box selectchanged:box checkclick:box");
  for (const Received& r : notes().OfType(L"checkclick")) EXPECT_EQ(r.wParam, 0u);
  box->SetEnabled(false);
  Send(*box, UiEventType::ButtonDown, 5, 5);
  EXPECT_FALSE(box->GetCheck());
}

TEST_F(CheckBoxTest, WithMouseInputOffNeitherAutoCheckNorClickToggles) {
  for (bool with_parent : {false, true}) {
    for (bool auto_check : {true, false}) {
      auto box = std::make_unique<CCheckBoxUI>();
      box->SetName(L"box");
      box->SetManager(&host.manager(), with_parent ? &parent : nullptr, false);
      box->SetPos(Rect(0, 0, 20, 20));
      box->SetAutoCheck(auto_check);
      box->SetMouseEnabled(false);
      notes().Clear();
      Send(*box, UiEventType::ButtonDown, 5, 5);
      Send(*box, UiEventType::ButtonUp, 5, 5);
      Send(*box, UiEventType::DblClick, 5, 5);
      EXPECT_FALSE(box->GetCheck()) << "parent " << with_parent << ", auto check " << auto_check;
      EXPECT_EQ(notes().Joined(), L"") << "parent " << with_parent << ", auto check " << auto_check;
      // The keyboard still works the control.
      box->SetAutoCheck(false);
      TEventUI key;
      key.type = UiEventType::KeyDown;
      key.key = VK_SPACE;
      box->Event(key);
      EXPECT_TRUE(box->GetCheck()) << "parent " << with_parent;
    }
  }
}

TEST_F(CheckBoxTest, GroupedCheckBoxesDeselectOthersQuietly) {
  auto a = Make(L"a", L"g");
  auto b = Make(L"b", L"g");
  a->SetAttribute(L"grouptype", L"same");
  b->SetAttribute(L"grouptype", L"same");  // no group-type exception for check boxes
  a->SetCheck(true);
  notes().Clear();
  b->SetCheck(true);
  EXPECT_FALSE(a->GetCheck());
  EXPECT_EQ(notes().Joined(), L"selectchanged:b");
  EXPECT_EQ(notes().received[0].wParam, 1u);
  notes().Clear();
  b->SetCheck(false);
  EXPECT_TRUE(notes().received.empty());
  EXPECT_FALSE(b->GetCheck());
}

TEST_F(CheckBoxTest, CloneKeepsAutoCheckAndState) {
  auto box = Make(L"box");
  box->SetAutoCheck(true);
  box->SetCheck(true);
  CControlUI* copy = box->Clone();
  ASSERT_NE(copy, nullptr);
  auto* clone = static_cast<CCheckBoxUI*>(copy->GetInterface(L"CheckBox"));
  ASSERT_NE(clone, nullptr);
  EXPECT_TRUE(clone->GetAutoCheck());
  EXPECT_TRUE(clone->GetCheck());
  delete copy;
}

}  // namespace
}  // namespace test
}  // namespace ZQUI
