#include <gtest/gtest.h>

#include <memory>

#include "tests/ui/control/control_test_support.h"
#include "ui/control/option.h"
#include "ui/core/std_ptr_array.h"

namespace ZQUI {
namespace test {
namespace {

class OptionTest : public ::testing::Test {
 protected:
  // An option named `name` in `group`, attached to the host's manager, at (0,0)-(50,20).
  std::unique_ptr<COptionUI> Make(const wchar_t* name, const wchar_t* group = L"") {
    auto option = std::make_unique<COptionUI>();
    option->SetName(name);
    option->SetManager(&host.manager(), &parent, false);
    option->SetAttribute(L"group", group);
    option->SetPos(Rect(0, 0, 50, 20));
    return option;
  }
  void Click(COptionUI& option) {
    Send(option, UiEventType::ButtonDown, 10, 10);
    Send(option, UiEventType::ButtonUp, 10, 10);
  }
  RecordingNotifier& notes() { return host.notifier(); }
  int GroupSize(const wchar_t* group) {
    CStdPtrArray* members = host.manager().GetOptionGroup(group);
    return members != nullptr ? members->GetSize() : 0;
  }

  HostWindow host;
  CControlUI parent;
};

TEST_F(OptionTest, Identity) {
  COptionUI option;
  EXPECT_STREQ(option.GetClass(), L"OptionUI");
  EXPECT_EQ(option.GetInterface(L"option"), &option);
  EXPECT_EQ(option.GetInterface(L"Button"), &option);
  EXPECT_EQ(option.GetInterface(L"Label"), &option);
  EXPECT_EQ(option.GetInterface(L"CheckBox"), nullptr);
  EXPECT_EQ(option.GetControlFlags(), 0x3u);
  EXPECT_FALSE(option.IsSelected());
}

TEST_F(OptionTest, SelectingOneOfAGroupDeselectsTheOthers) {
  auto a = Make(L"a", L"g");
  auto b = Make(L"b", L"g");
  auto c = Make(L"c", L"g");
  EXPECT_EQ(GroupSize(L"g"), 3);
  a->Selected(true, true);
  EXPECT_EQ(notes().Joined(), L"selectchanged:a");
  notes().Clear();
  b->Selected(true, true);
  EXPECT_FALSE(a->IsSelected());
  EXPECT_TRUE(b->IsSelected());
  EXPECT_FALSE(c->IsSelected());
  EXPECT_EQ(notes().Joined(), L"unselected:a selectchanged:b");
  for (const Received& r : notes().received) EXPECT_EQ(r.wParam, 0u);
  // Without events nothing is sent, but the group still follows.
  notes().Clear();
  c->Selected(true, false);
  EXPECT_FALSE(b->IsSelected());
  EXPECT_TRUE(notes().received.empty());
  // The state bit agrees with the flag.
  EXPECT_NE(c->GetState() & StateSelected, 0u);
  EXPECT_EQ(b->GetState() & StateSelected, 0u);
}

TEST_F(OptionTest, MembersOfTheSameGroupTypeStaySelectedTogether) {
  auto a = Make(L"a", L"g");
  auto b = Make(L"b", L"g");
  auto c = Make(L"c", L"g");
  auto d = Make(L"d", L"g");
  a->SetAttribute(L"grouptype", L"Pair");
  b->SetAttribute(L"grouptype", L"pair");
  c->SetAttribute(L"grouptype", L"other");
  a->Selected(true, false);
  c->Selected(true, false);
  d->Selected(true, false);  // d has no type: deselects all others
  EXPECT_FALSE(a->IsSelected());
  EXPECT_FALSE(c->IsSelected());
  d->Selected(true, false);
  a->Selected(true, false);
  EXPECT_FALSE(d->IsSelected());  // an empty type is a different type
  b->Selected(true, false);
  EXPECT_TRUE(a->IsSelected());  // same type (case ignored)
  EXPECT_TRUE(b->IsSelected());
  c->Selected(true, false);
  EXPECT_FALSE(a->IsSelected());  // different type
  EXPECT_FALSE(b->IsSelected());
  EXPECT_TRUE(c->IsSelected());
}

TEST_F(OptionTest, ClickingAGroupMemberSelectsItAndClickingAgainOnlyClicks) {
  auto a = Make(L"a", L"g");
  auto b = Make(L"b", L"g");
  Click(*a);
  EXPECT_EQ(notes().Joined(), L"click:a selectchanged:a");
  notes().Clear();
  Click(*a);
  EXPECT_TRUE(a->IsSelected());
  EXPECT_EQ(notes().Joined(), L"click:a");
  notes().Clear();
  Click(*b);
  EXPECT_EQ(notes().Joined(), L"click:b unselected:a selectchanged:b");
}

TEST_F(OptionTest, AnOptionWithoutAGroupToggles) {
  auto agree = Make(L"agree");
  Click(*agree);
  EXPECT_TRUE(agree->IsSelected());
  Click(*agree);
  EXPECT_FALSE(agree->IsSelected());
  EXPECT_EQ(notes().Joined(), L"click:agree selectchanged:agree click:agree selectchanged:agree");
  agree->SetEnabled(false);
  EXPECT_FALSE(agree->Activate());
  EXPECT_FALSE(agree->IsSelected());
}

TEST_F(OptionTest, SelectedAttributeGivenTwiceSelectsOnce) {
  auto agree = Make(L"agree");
  agree->SetAttribute(L"selected", L"true");
  agree->SetAttribute(L"selected", L"true");
  EXPECT_TRUE(agree->IsSelected());
  EXPECT_EQ(notes().Joined(), L"selectchanged:agree");
}

TEST_F(OptionTest, GroupMembershipFollowsSetGroupAndDestruction) {
  auto a = Make(L"a", L"g");
  auto b = Make(L"b", L"g");
  EXPECT_EQ(GroupSize(L"g"), 2);
  a->SetGroup(L"g");  // unchanged name
  EXPECT_EQ(GroupSize(L"g"), 2);
  a->SetGroup(L"h");
  EXPECT_EQ(GroupSize(L"g"), 1);
  EXPECT_EQ(GroupSize(L"h"), 1);
  EXPECT_STREQ(a->GetGroup(), L"h");
  a->SetGroup(nullptr);
  EXPECT_EQ(host.manager().GetOptionGroup(L"h"), nullptr);
  EXPECT_STREQ(a->GetGroup(), L"");
  a->SetGroup(L"g");
  EXPECT_EQ(GroupSize(L"g"), 2);
  b->Selected(true, false);
  a.reset();
  EXPECT_EQ(GroupSize(L"g"), 1);
  auto c = Make(L"c", L"g");
  c->Selected(true, false);  // must not touch the deleted option
  EXPECT_FALSE(b->IsSelected());
  // An option whose group is not registered deselects nobody.
  COptionUI loose;
  loose.SetGroup(L"g");
  loose.Selected(true, true);
  EXPECT_TRUE(c->IsSelected());
}

TEST_F(OptionTest, MovingToAnotherManagerLeavesTheOldGroup) {
  auto a = Make(L"a", L"g");
  auto b = Make(L"b", L"g");
  {
    CPaintManagerUI other;
    a->SetManager(&other, nullptr, true);
    EXPECT_EQ(GroupSize(L"g"), 1);
    ASSERT_NE(other.GetOptionGroup(L"g"), nullptr);
    EXPECT_EQ(other.GetOptionGroup(L"g")->GetSize(), 1);
    a->SetManager(&host.manager(), &parent, true);
    EXPECT_EQ(other.GetOptionGroup(L"g"), nullptr);
  }
  EXPECT_EQ(GroupSize(L"g"), 2);
  a->Selected(true, false);
  b->Selected(true, false);
  EXPECT_FALSE(a->IsSelected());
}

TEST_F(OptionTest, AttributesAndSelectedTextColourDefault) {
  auto o = Make(L"o");
  o->SetAttribute(L"selectedimage", L"file='s.png'");
  o->SetAttribute(L"selectedhotimage", L"file='sh.png'");
  o->SetAttribute(L"selectedpushedimage", L"file='sp.png'");
  o->SetAttribute(L"selectedforeimage", L"file='sf.png'");
  o->SetAttribute(L"selectedstateimage", L"file='ss.png'");
  o->SetAttribute(L"selectedstatecount", L"2");
  o->SetAttribute(L"selectedbkcolor", L"#FF0A0B0C");
  o->SetAttribute(L"selectedfont", L"5");
  o->SetAttribute(L"grouptype", L"t");
  o->SetAttribute(L"hotimage", L"file='h.png'");
  EXPECT_STREQ(o->GetSelectedImage(), L"file='s.png'");
  EXPECT_STREQ(o->GetSelectedHotImage(), L"file='sh.png'");
  EXPECT_STREQ(o->GetSelectedPushedImage(), L"file='sp.png'");
  EXPECT_STREQ(o->GetSelectedForedImage(), L"file='sf.png'");
  EXPECT_STREQ(o->GetSelectedStateImage(), L"file='ss.png'");
  EXPECT_EQ(o->GetSelectedStateCount(), 2);
  EXPECT_EQ(o->GetSelectBkColor(), 0xFF0A0B0Cu);
  EXPECT_EQ(o->GetSelectedFont(), 5);
  EXPECT_STREQ(o->GetGroupType(), L"t");
  EXPECT_STREQ(o->GetHotImage(), L"file='h.png'");
  host.manager().SetDefaultFontColor(0xFF334455);
  EXPECT_EQ(o->GetSelectedTextColor(), 0xFF334455u);
  host.manager().SetDefaultFontColor(0xFF000001);
  EXPECT_EQ(o->GetSelectedTextColor(), 0xFF334455u);  // the replacement is kept
  o->SetGroupType(nullptr);
  EXPECT_STREQ(o->GetGroupType(), L"");

  o->Selected(true, false);
  CControlUI* copy = o->Clone();
  ASSERT_NE(copy, nullptr);
  auto* clone = static_cast<COptionUI*>(copy->GetInterface(L"Option"));
  ASSERT_NE(clone, nullptr);
  EXPECT_TRUE(clone->IsSelected());
  EXPECT_NE(clone->GetState() & StateSelected, 0u);
  EXPECT_STREQ(clone->GetSelectedImage(), L"file='s.png'");
  EXPECT_EQ(clone->GetSelectBkColor(), 0xFF0A0B0Cu);
  delete copy;
}

TEST_F(OptionTest, SelectedOptionPaintsItsSelectedResources) {
  ASSERT_NE(host.manager().AddImage(L"plain", MakeSolidBitmap(4, 4, 0x0000FF00), 4, 4, false), nullptr);
  ASSERT_NE(host.manager().AddImage(L"sel", MakeSolidBitmap(4, 4, 0x00FF00FF), 4, 4, false), nullptr);
  ASSERT_NE(host.manager().AddImage(L"selhot", MakeSolidBitmap(4, 4, 0x0000FFFF), 4, 4, false), nullptr);
  auto o = Make(L"o");
  o->SetNormalImage(L"plain");
  o->SetSelectedImage(L"sel");
  o->SetSelectedHotImage(L"selhot");
  auto paint = [&]() {
    Canvas canvas(50, 20, 0xFF000000);
    o->Paint(canvas.dc(), Rect(0, 0, 50, 20), nullptr);
    return canvas.Pixel(25, 10);
  };
  EXPECT_EQ(paint(), 0x0000FF00u);
  o->Selected(true, false);
  EXPECT_EQ(paint(), 0x00FF00FFu);
  Send(*o, UiEventType::MouseEnter, 5, 5);
  EXPECT_EQ(paint(), 0x0000FFFFu);

  // The selected background replaces every other background while selected.
  o->SetNormalImage(L"");
  o->SetSelectedImage(L"");
  o->SetSelectedHotImage(L"");
  o->SetBkColor(0xFF202020);
  o->SetHotBkColor(0xFF0000F0);
  o->SetSelectedBkColor(0xFFF00000);
  EXPECT_EQ(paint(), 0x00F00000u);
  o->Selected(false, false);
  EXPECT_EQ(paint(), 0x000000F0u);
}

TEST_F(OptionTest, SelectedStateImageIsSlicedWithCorners) {
  ASSERT_NE(host.manager().AddImage(L"sel.png", MakeBandedBitmap(90, 10, {0xFF, 0xFF00, 0xFF0000}), 90, 10, false),
            nullptr);
  auto o = Make(L"o");
  o->SetSelectedStateImage(L"file='sel.png' corner='1,2,3,4'");
  o->SetSelectedStateCount(3);
  o->Selected(true, false);
  Canvas canvas(50, 20);
  o->Paint(canvas.dc(), Rect(0, 0, 50, 20), nullptr);
  EXPECT_STREQ(o->GetSelectedImage(),
               L"res='sel.png' restype='' dest='0,0,0,0' source='0,0,30,10' corner='1,2,3,4'");
  EXPECT_STREQ(o->GetSelectedHotImage(),
               L"res='sel.png' restype='' dest='0,0,0,0' source='30,0,60,10' corner='1,2,3,4'");
  EXPECT_STREQ(o->GetSelectedPushedImage(),
               L"res='sel.png' restype='' dest='0,0,0,0' source='60,0,90,10' corner='1,2,3,4'");
}

}  // namespace
}  // namespace test
}  // namespace ZQUI
