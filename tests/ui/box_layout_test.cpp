// Size distribution and alignment of the vertical and horizontal layouts, as exact rectangles,
// up to the installer's whole page tree laid out at 600 x 400.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/control/scroll_bar.h"

namespace ZQUI {
namespace {

using test::Rect;
using test::Size;

// A leaf whose estimate is a given size, as a label measuring its text would report.
class Sized : public CControlUI {
 public:
  explicit Sized(SIZE estimate) : m_estimate(estimate) {}
  SIZE EstimateSize(SIZE available) override {
    lastAvailable = available;
    return m_estimate;
  }
  SIZE lastAvailable = {0, 0};

 private:
  SIZE m_estimate;
};

CControlUI* Fixed(int width, int height) {
  auto* c = new CControlUI();
  if (width > 0) c->SetFixedWidth(width);
  if (height > 0) c->SetFixedHeight(height);
  return c;
}

TEST(VerticalLayout, AdjustableChildrenShareTheRestAndTheLastTakesTheRemainder) {
  CVerticalLayoutUI layout;
  CControlUI* header = Fixed(0, 35);
  CControlUI* first = Fixed(0, 0);
  CControlUI* last = Fixed(0, 0);
  layout.Add(header);
  layout.Add(first);
  layout.Add(last);
  layout.SetPos(Rect(0, 0, 600, 400));
  EXPECT_EQ(header->GetPos(), Rect(0, 0, 600, 35));
  EXPECT_EQ(first->GetPos(), Rect(0, 35, 600, 217));  // (400 - 35) / 2 = 182
  EXPECT_EQ(last->GetPos(), Rect(0, 217, 600, 400));  // 400 - 35 - 182 = 183
}

TEST(VerticalLayout, ChildPaddingSeparatesChildrenAndCountsInTheRequiredHeight) {
  CVerticalLayoutUI layout;
  layout.EnableScrollBar(true, false);
  layout.SetChildPadding(5);
  CControlUI* a = Fixed(0, 10);
  CControlUI* b = Fixed(0, 10);
  CControlUI* c = Fixed(0, 10);
  layout.Add(a);
  layout.Add(b);
  layout.Add(c);
  layout.SetPos(Rect(0, 100, 50, 140));  // exactly the 40 pixels required
  EXPECT_EQ(a->GetPos(), Rect(0, 100, 50, 110));
  EXPECT_EQ(b->GetPos(), Rect(0, 115, 50, 125));
  EXPECT_EQ(c->GetPos(), Rect(0, 130, 50, 140));
  EXPECT_FALSE(layout.GetVerticalScrollBar()->IsVisible());
  layout.SetPos(Rect(0, 100, 50, 139));  // one pixel short: the bar takes over
  EXPECT_TRUE(layout.GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(layout.GetVerticalScrollBar()->GetScrollRange(), 1);
}

TEST(VerticalLayout, OverflowShowsTheBarAndScrollingMovesTheChildren) {
  CVerticalLayoutUI layout;
  layout.EnableScrollBar(true, false);
  CControlUI* a = Fixed(0, 100);
  CControlUI* b = Fixed(0, 150);
  layout.Add(a);
  layout.Add(b);
  layout.SetPos(Rect(0, 0, 200, 200));
  CScrollBarUI* bar = layout.GetVerticalScrollBar();
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 50);
  EXPECT_EQ(a->GetPos(), Rect(0, 0, 184, 100));
  layout.SetScrollPos(Size(0, 20));
  layout.SetPos(layout.GetPos());
  EXPECT_EQ(a->GetPos().top, -20);
  EXPECT_EQ(b->GetPos(), Rect(0, 80, 184, 230));
}

TEST(VerticalLayout, AlignmentPlacesChildrenAcrossAndAlong) {
  CVerticalLayoutUI layout;
  CControlUI* narrow = Fixed(40, 20);
  CControlUI* padded = Fixed(30, 20);
  padded->SetPadding(Rect(0, 0, 10, 0));
  layout.Add(narrow);
  layout.Add(padded);
  layout.SetAttribute(L"childalign", L"center");
  layout.SetAttribute(L"childvalign", L"vcenter");
  layout.SetPos(Rect(0, 0, 100, 100));
  EXPECT_EQ(narrow->GetPos(), Rect(30, 30, 70, 50));  // (100 - 40) / 2 down by (100 - 40) / 2
  EXPECT_EQ(padded->GetPos(), Rect(35, 50, 65, 70));
  layout.SetAttribute(L"childalign", L"right");
  layout.SetAttribute(L"childvalign", L"bottom");
  layout.SetPos(Rect(0, 0, 100, 100));
  EXPECT_EQ(narrow->GetPos(), Rect(60, 60, 100, 80));
  EXPECT_EQ(padded->GetPos(), Rect(60, 80, 90, 100));
  layout.SetAttribute(L"childalign", L"Center");  // values and names are compared exactly
  layout.SetAttribute(L"ChildAlign", L"left");
  layout.SetPos(Rect(0, 0, 100, 100));
  EXPECT_EQ(narrow->GetPos().left, 60);
}

TEST(VerticalLayout, AnAdjustableChildBelowItsMinimumKeepsItAndTheLayoutOverflows) {
  CVerticalLayoutUI layout;
  layout.EnableScrollBar(true, false);
  CControlUI* fixed = Fixed(0, 90);
  CControlUI* flexible = Fixed(0, 0);
  flexible->SetMinHeight(40);
  layout.Add(fixed);
  layout.Add(flexible);
  layout.SetPos(Rect(0, 0, 100, 100));
  EXPECT_EQ(flexible->GetPos().bottom - flexible->GetPos().top, 40);
  EXPECT_TRUE(layout.GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(layout.GetVerticalScrollBar()->GetScrollRange(), 30);
}

TEST(VerticalLayout, ALayoutWhollyOutsideItsParentIsNotLaidOutInside) {
  CVerticalLayoutUI outer;
  auto* inner = new CVerticalLayoutUI();
  CControlUI* leaf = Fixed(0, 10);
  inner->Add(leaf);
  outer.Add(inner);
  outer.SetPos(Rect(0, 0, 100, 100));
  EXPECT_EQ(leaf->GetPos(), Rect(0, 0, 100, 10));
  inner->SetPos(Rect(0, 150, 100, 200));  // below the parent
  EXPECT_EQ(inner->GetPos(), Rect(0, 150, 100, 200));
  EXPECT_EQ(leaf->GetPos(), Rect(0, 0, 100, 10));
  inner->SetPos(Rect(0, 50, 100, 150));  // overlapping again
  EXPECT_EQ(leaf->GetPos(), Rect(0, 50, 100, 60));
}

TEST(VerticalLayout, EstimatesAreAskedWithinTheAvailableSpace) {
  CVerticalLayoutUI layout;
  auto* probe = new Sized(Size(50, 12));
  probe->SetPadding(Rect(5, 0, 7, 0));
  layout.Add(probe);
  layout.SetPos(Rect(0, 0, 200, 100));
  EXPECT_EQ(probe->lastAvailable, Size(188, 100));
  EXPECT_EQ(probe->GetPos(), Rect(5, 0, 55, 12));
}

TEST(VerticalLayout, HugeSizesNeitherOverflowNorWrap) {
  CVerticalLayoutUI layout;
  layout.EnableScrollBar(true, false);
  CControlUI* tall[300];
  for (auto*& c : tall) {
    c = Fixed(0, kMaxControlLength);
    layout.Add(c);
  }
  CControlUI* flexible = Fixed(0, 0);
  layout.Add(flexible);
  layout.SetPos(Rect(0, 0, 100, 100));
  // 300 x 9999999 exceeds 32 bits: positions stay ordered and clamp at the largest coordinate.
  int previous = INT_MIN;
  for (CControlUI* c : tall) {
    EXPECT_GE(c->GetPos().top, previous);
    EXPECT_GE(c->GetPos().bottom, c->GetPos().top);
    previous = c->GetPos().top;
  }
  EXPECT_EQ(tall[0]->GetPos(), Rect(0, 0, 84, kMaxControlLength));
  EXPECT_EQ(tall[299]->GetPos().bottom, INT_MAX);
  EXPECT_EQ(flexible->GetPos().bottom - flexible->GetPos().top, 0);
  EXPECT_TRUE(layout.GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(layout.GetVerticalScrollBar()->GetScrollRange(), INT_MAX - 100);
}

TEST(HorizontalLayout, AdjustableChildTakesTheWidthLeftOver) {
  // The first-page row: two children sized to their text, an empty filler and a 70-pixel button.
  CHorizontalLayoutUI row;
  auto* option = new Sized(Size(98, 0));
  option->SetFixedHeight(16);
  auto* link = new Sized(Size(130, 0));
  link->SetFixedHeight(16);
  CControlUI* filler = Fixed(0, 0);
  CControlUI* custom = Fixed(70, 16);
  custom->SetPadding(Rect(0, 3, 0, 0));
  row.Add(option);
  row.Add(link);
  row.Add(filler);
  row.Add(custom);
  row.SetPos(Rect(17, 372, 580, 400));
  EXPECT_EQ(option->GetPos(), Rect(17, 372, 115, 388));
  EXPECT_EQ(link->GetPos(), Rect(115, 372, 245, 388));
  EXPECT_EQ(filler->GetPos(), Rect(245, 372, 510, 400));  // the whole height: no fixed height
  EXPECT_EQ(custom->GetPos(), Rect(510, 375, 580, 391));
  EXPECT_EQ(option->lastAvailable, Size(563, 16));  // the height is asked within its fixed height
}

TEST(HorizontalLayout, VerticalCentreAlignmentCentresInTheRow) {
  CHorizontalLayoutUI row;
  CControlUI* button = Fixed(20, 10);
  row.Add(button);
  row.SetAttribute(L"childvalign", L"vcenter");
  row.SetPos(Rect(0, 100, 200, 135));
  EXPECT_EQ(button->GetPos(), Rect(0, 112, 20, 122));  // 100 + 35 / 2 - 5
  row.SetAttribute(L"childvalign", L"bottom");
  row.SetAttribute(L"childalign", L"right");
  row.SetPos(Rect(0, 100, 200, 135));
  EXPECT_EQ(button->GetPos(), Rect(180, 125, 200, 135));
  row.SetAttribute(L"childalign", L"center");
  row.SetPos(Rect(0, 100, 200, 135));
  EXPECT_EQ(button->GetPos().left, 90);
}

TEST(HorizontalLayout, ChildPaddingHiddenAndFloatingChildren) {
  CHorizontalLayoutUI row;
  row.SetChildPadding(4);
  CControlUI* a = Fixed(10, 0);
  CControlUI* hidden = Fixed(10, 0);
  CControlUI* b = Fixed(10, 0);
  CControlUI* floating = Fixed(5, 5);
  floating->SetFloat(true);
  floating->SetFixedXY(Size(1, 2));
  row.Add(a);
  row.Add(hidden);
  row.Add(b);
  row.Add(floating);
  hidden->SetVisible(false);
  row.SetPos(Rect(0, 0, 100, 20));
  EXPECT_EQ(a->GetPos(), Rect(0, 0, 10, 20));
  EXPECT_EQ(b->GetPos(), Rect(14, 0, 24, 20));
  EXPECT_EQ(floating->GetPos(), Rect(1, 2, 6, 7));
}

TEST(HorizontalLayout, OverflowShowsTheHorizontalBar) {
  CHorizontalLayoutUI row;
  row.EnableScrollBar(false, true);
  CControlUI* wide = Fixed(300, 0);
  row.Add(wide);
  row.SetPos(Rect(0, 0, 200, 50));
  CScrollBarUI* bar = row.GetHorizontalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 100);
  EXPECT_EQ(bar->GetPos(), Rect(0, 34, 200, 50));
  EXPECT_EQ(wide->GetPos(), Rect(0, 0, 300, 34));
  row.SetScrollPos(Size(40, 0));
  EXPECT_EQ(wide->GetPos(), Rect(-40, 0, 260, 34));
}

// --- the installer's page tree ----------------------------------------------------------------

std::wstring SkinText() {
  std::string bytes = test::ReadFileBytes(test::DataPath(L"installer_skin.xml"));
  int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

TEST(InstallerTree, PagesLayOutAt600x400AsPredicted) {
  std::wstring xml = SkinText();
  ASSERT_FALSE(xml.empty());
  CPaintManagerUI manager;
  CMarkup markup;
  CControlUI* root = test::BuildTree(markup, xml.c_str());
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetName().GetData(), L"maintab");
  ASSERT_TRUE(manager.AttachDialog(root));
  root->SetPos(Rect(0, 0, 600, 400));

  auto pos = [&](const wchar_t* name) { return manager.FindControl(name)->GetPos(); };
  auto* maintab = static_cast<CContainerUI*>(root);
  ASSERT_EQ(maintab->GetCount(), 5);
  auto* page0 = static_cast<CContainerUI*>(maintab->GetItemAt(0));
  EXPECT_EQ(page0->GetPos(), Rect(0, 0, 600, 400));
  for (int i = 1; i < 5; ++i) EXPECT_FALSE(maintab->GetItemAt(i)->IsVisible());

  auto* title = static_cast<CContainerUI*>(page0->GetItemAt(0));
  EXPECT_EQ(title->GetPos(), Rect(15, 10, 600, 45));
  EXPECT_EQ(page0->GetItemAt(1)->GetPos(), Rect(0, 45, 600, 206));
  EXPECT_EQ(page0->GetItemAt(2)->GetPos(), Rect(0, 206, 600, 367));
  EXPECT_EQ(page0->GetItemAt(3)->GetPos(), Rect(17, 372, 580, 400));

  auto* brand = static_cast<CContainerUI*>(title->GetItemAt(0));
  EXPECT_EQ(brand->GetPos(), Rect(15, 10, 580, 45));
  EXPECT_EQ(brand->GetItemAt(0)->GetPos(), Rect(15, 10, 39, 34));
  EXPECT_EQ(pos(L"setup_name_pg1"), Rect(39, 10, 580, 34));
  EXPECT_EQ(title->GetItemAt(1)->GetPos(), Rect(580, 10, 600, 20));
  // Three buttons share the name; lookup by name returns the last one in the tree.
  CControlUI* exit0 = static_cast<CContainerUI*>(title->GetItemAt(1))->GetItemAt(0);
  EXPECT_EQ(exit0->GetPos(), Rect(580, 10, 590, 20));
  EXPECT_STREQ(exit0->GetCustomAttribute(L"valign"), L"center");

  CControlUI* install = static_cast<CContainerUI*>(page0->GetItemAt(2))->GetItemAt(1);
  EXPECT_EQ(install->GetPos(), Rect(190, 288, 409, 352));
  EXPECT_EQ(pos(L"progresss_ag"), Rect(17, 372, 181, 388));
  EXPECT_EQ(pos(L"btn_user"), Rect(181, 372, 345, 388));
  EXPECT_EQ(static_cast<CContainerUI*>(page0->GetItemAt(3))->GetItemAt(2)->GetPos(), Rect(345, 372, 510, 400));
  EXPECT_EQ(pos(L"opt_custom"), Rect(510, 375, 580, 391));
  EXPECT_STREQ(manager.FindControl(L"opt_custom")->GetText().GetData(), L"\x81EA\x5B9A\x4E49");

  // Switching to the progress page, as the controller does, and laying out again.
  page0->SetVisible(false);
  maintab->GetItemAt(2)->SetVisible(true);
  root->SetPos(Rect(0, 0, 600, 400));
  auto* page2 = static_cast<CContainerUI*>(maintab->GetItemAt(2));
  EXPECT_EQ(page2->GetPos(), Rect(0, 0, 600, 400));
  EXPECT_EQ(page2->GetItemAt(0)->GetPos(), Rect(55, 280, 545, 420));
  EXPECT_EQ(pos(L"progress"), Rect(55, 280, 545, 290));
  EXPECT_FALSE(manager.FindControl(L"progress")->IsMouseEnabled());
  EXPECT_EQ(pos(L"progress_msg"), Rect(55, 300, 545, 320));
  EXPECT_STREQ(manager.FindControl(L"progress_msg")->GetText().GetData(),
               L"\x6B63\x5728\x5B89\x88C5\xFF0C\x8BF7\x4E0D\x8981\x5173\x95ED\xFF1A" L"1%");

  // The finish page: the button row sits 245 below the title row.
  page2->SetVisible(false);
  auto* page3 = static_cast<CContainerUI*>(maintab->GetItemAt(3));
  page3->SetVisible(true);
  root->SetPos(Rect(0, 0, 600, 400));
  EXPECT_EQ(page3->GetItemAt(1)->GetPos(), Rect(0, 290, 600, 354));
  EXPECT_EQ(pos(L"openmain"), Rect(190, 290, 409, 354));
  EXPECT_EQ(page3->GetItemAt(1)->GetBorderSize(), 1);

  // A hit test on the finish page finds the button, not the hidden start page below it.
  POINT onButton = {300, 320};
  EXPECT_EQ(manager.FindControl(onButton), manager.FindControl(L"openmain"));
  // The licence page's separator line reads the leading hexadecimal digit of its colour name.
  auto* page4 = static_cast<CContainerUI*>(maintab->GetItemAt(4));
  EXPECT_EQ(page4->GetItemAt(2)->GetBkColor(), 0xBu);
  EXPECT_STREQ(static_cast<CContainerUI*>(page4->GetItemAt(0))->GetItemAt(0)->GetText().GetData(),
               L"<\x8FD4\x56DE");
}

}  // namespace
}  // namespace ZQUI
