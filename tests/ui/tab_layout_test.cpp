// The tab layout: one page shown at a time, selection by index, by control and by "selectedid",
// the "tabselect" notification, removal of the shown page, the page's area, and a button's tab
// binding driving it.
#include "ui/layout/tab_layout.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/control/button.h"
#include "ui/core/dialog_builder.h"

namespace ZQUI {
namespace {

using test::Rect;
using test::TrackedControl;

class SelectionLog : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override {
    if (msg.typeName == NotifyName::kTabSelect) {
      entries.push_back(std::to_wstring(msg.wParam) + L"<" + std::to_wstring(static_cast<int>(msg.lParam)));
    }
  }
  std::vector<std::wstring> entries;
};

class TabLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TrackedControl::s_live = 0;
    for (int i = 0; i < 3; ++i) {
      pages[i] = new TrackedControl();
      pages[i]->SetName((L"page" + std::to_wstring(i)).c_str());
      ASSERT_TRUE(tabs->Add(pages[i]));
    }
  }
  void TearDown() override {
    if (ownsTabs) delete tabs;
    EXPECT_EQ(TrackedControl::s_live, 0) << "pages leaked or freed twice";
  }
  std::vector<bool> Shown() const {
    std::vector<bool> shown;
    for (int i = 0; i < tabs->GetCount(); ++i) shown.push_back(tabs->GetItemAt(i)->IsVisible());
    return shown;
  }

  CTabLayoutUI* tabs = new CTabLayoutUI();
  bool ownsTabs = true;  // false once a manager owns the layout
  TrackedControl* pages[3] = {};
};

TEST_F(TabLayoutTest, TheFirstPageAddedShowsAndTheOthersHide) {
  EXPECT_STREQ(tabs->GetClass(), L"TabLayoutUI");
  EXPECT_EQ(tabs->GetInterface(L"TabLayout"), static_cast<void*>(tabs));
  EXPECT_NE(tabs->GetInterface(L"IContainer"), nullptr);
  EXPECT_NE(tabs->GetInterface(kTabSelectInterface), nullptr);
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
  // A page inserted before the shown one keeps the same page shown.
  auto* front = new TrackedControl();
  ASSERT_TRUE(tabs->AddAt(front, 0));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false, false}));
}

TEST_F(TabLayoutTest, SelectingShowsOnePageAndReportsTheChange) {
  CPaintManagerUI manager;
  SelectionLog log;
  manager.AddNotifier(&log);
  ownsTabs = false;
  ASSERT_TRUE(manager.AttachDialog(tabs));
  EXPECT_TRUE(tabs->SelectItem(2));
  EXPECT_EQ(tabs->GetCurSel(), 2);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(tabs->SelectItem(2));  // already shown: nothing to report
  EXPECT_TRUE(tabs->SelectItem(pages[1]));
  EXPECT_TRUE(tabs->SelectItem(0, false));
  EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"2<0", L"1<2"}));
  // Pages that do not exist change nothing.
  EXPECT_FALSE(tabs->SelectItem(3));
  EXPECT_FALSE(tabs->SelectItem(-1));
  TrackedControl stranger;
  EXPECT_FALSE(tabs->SelectItem(&stranger));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
  manager.RemoveNotifier(&log);
}

TEST_F(TabLayoutTest, RemovingTheShownPageShowsTheOneTakingItsPlace) {
  tabs->SelectItem(1, false);
  ASSERT_TRUE(tabs->Remove(pages[1], false));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(tabs->GetItemAt(1), pages[2]);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true}));
  // The last page removed while shown: the new last one shows.
  ASSERT_TRUE(tabs->Remove(pages[2], false));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(pages[0]->IsVisible());
  // Removing a hidden page leaves the shown one.
  auto* extra = new TrackedControl();
  ASSERT_TRUE(tabs->Add(extra));
  EXPECT_FALSE(extra->IsVisible());
  ASSERT_TRUE(tabs->Remove(extra, false));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  tabs->RemoveAll(false);
  EXPECT_EQ(tabs->GetCurSel(), -1);
  EXPECT_FALSE(tabs->SelectItem(0));
  // After that, the next page added shows again.
  auto* fresh = new TrackedControl();
  ASSERT_TRUE(tabs->Add(fresh));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(fresh->IsVisible());
}

TEST_F(TabLayoutTest, TheShownPageFillsTheClientArea) {
  tabs->SetInset(Rect(4, 5, 6, 7));
  tabs->SelectItem(1, false);
  tabs->SetPos(Rect(10, 20, 210, 120), false);
  EXPECT_EQ(pages[1]->GetPos(), Rect(14, 25, 204, 113));
  // A hidden page is not laid out.
  EXPECT_EQ(pages[2]->GetPos(), Rect(0, 0, 0, 0));
}

TEST(TabLayoutSkin, SelectedIdPicksThePageAndAButtonBindingDrivesIt) {
  test::ManagerWindow window;
  CPaintManagerUI& manager = window.manager();
  SelectionLog log;
  manager.AddNotifier(&log);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout>"
      L"<TabLayout name=\"tabs\" selectedid=\"2\"><Control name=\"a\"/><Control name=\"b\"/><Control name=\"c\"/>"
      L"</TabLayout>"
      L"<Button name=\"go\" bindtablayoutname=\"tabs\" bindtabindex=\"1\"/>"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &manager);
  ASSERT_NE(root, nullptr);
  ASSERT_TRUE(manager.AttachDialog(root));
  auto* tabs = static_cast<CTabLayoutUI*>(manager.FindControl(L"tabs")->GetInterface(L"TabLayout"));
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetCurSel(), 2);
  EXPECT_FALSE(manager.FindControl(L"a")->IsVisible());
  EXPECT_TRUE(manager.FindControl(L"c")->IsVisible());
  EXPECT_TRUE(log.entries.empty());  // the skin's choice is no change to report
  auto* button = static_cast<CButtonUI*>(manager.FindControl(L"go")->GetInterface(L"Button"));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->Activate());
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"1<2"}));
  // A copy shows the same page.
  CControlUI* copy = tabs->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(static_cast<CTabLayoutUI*>(copy->GetInterface(L"TabLayout"))->GetCurSel(), 1);
  delete copy;
  manager.RemoveNotifier(&log);
}

}  // namespace
}  // namespace ZQUI
