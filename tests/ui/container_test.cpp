// Children, removal and disposal, floating children, hit tests, scroll-bar hand-off and the tree
// bounds of containers.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/control/scroll_bar.h"

namespace ZQUI {
namespace {

using test::Rect;
using test::Size;
using test::TrackedContainer;
using test::TrackedControl;

class ContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TrackedControl::s_live = 0;
    TrackedContainer::s_live = 0;
  }
  void TearDown() override {
    EXPECT_EQ(TrackedControl::s_live, 0) << "controls leaked or freed twice";
    EXPECT_EQ(TrackedContainer::s_live, 0);
  }
};

TEST_F(ContainerTest, ChildrenAddedToAHiddenContainerAreInternInvisible) {
  CContainerUI hidden;
  hidden.SetVisible(false);
  auto* child = new TrackedControl();
  ASSERT_TRUE(hidden.Add(child));
  EXPECT_FALSE(child->IsVisible());
  EXPECT_TRUE(child->GetVisible());
  hidden.SetVisible(true);
  EXPECT_TRUE(child->IsVisible());
  EXPECT_EQ(child->GetParent(), &hidden);
  EXPECT_FALSE(hidden.Add(nullptr));
  auto* spare = new TrackedControl();
  EXPECT_FALSE(hidden.AddAt(spare, 5));  // refused without taking the control
  EXPECT_EQ(spare->GetParent(), nullptr);
  delete spare;
  EXPECT_EQ(hidden.GetCount(), 1);
}

TEST_F(ContainerTest, AddingWithAManagerRegistersTheNamesOfTheWholeSubtreeAndRemovingForgetsThem) {
  CPaintManagerUI manager;
  auto* root = new CVerticalLayoutUI();
  manager.AttachDialog(root);
  auto* branch = new TrackedContainer();
  branch->SetName(L"branch");
  auto* leaf = new TrackedControl();
  leaf->SetName(L"leaf");
  branch->Add(leaf);
  ASSERT_TRUE(root->Add(branch));
  EXPECT_EQ(manager.FindControl(L"branch"), branch);
  EXPECT_EQ(manager.FindControl(L"leaf"), leaf);
  EXPECT_EQ(leaf->GetManager(), &manager);
  EXPECT_EQ(manager.FindSubControlByName(nullptr, L"LEAF"), leaf);
  EXPECT_TRUE(root->IsUpdateNeeded());
  // Removing the branch at run time deletes it with its child, and the manager forgets both names.
  root->SetDelayedDestroy(false);
  branch->SetDelayedDestroy(false);
  ASSERT_TRUE(root->Remove(branch));
  EXPECT_EQ(TrackedControl::s_live, 0);
  EXPECT_EQ(TrackedContainer::s_live, 0);
  EXPECT_EQ(manager.FindControl(L"branch"), nullptr);
  EXPECT_EQ(manager.FindControl(L"leaf"), nullptr);
}

TEST_F(ContainerTest, RemoveTouchesOnlyItsOwnChildren) {
  CContainerUI a;
  CContainerUI b;
  auto* stranger = new TrackedContainer();
  auto* grandchild = new TrackedControl();
  stranger->Add(grandchild);
  b.Add(stranger);
  EXPECT_FALSE(a.Remove(stranger));
  EXPECT_EQ(stranger->GetCount(), 1);  // not emptied by the refused removal
  EXPECT_EQ(TrackedControl::s_live, 1);
  EXPECT_FALSE(a.Remove(nullptr));
  EXPECT_FALSE(a.RemoveAt(0));
  EXPECT_TRUE(b.Remove(stranger));
  EXPECT_EQ(b.GetCount(), 0);
  EXPECT_EQ(TrackedContainer::s_live, 0);
  EXPECT_EQ(TrackedControl::s_live, 0);
}

TEST_F(ContainerTest, SetItemIndexOutOfRangeChangesNothing) {
  CContainerUI c;
  auto* first = new TrackedControl();
  auto* second = new TrackedControl();
  auto* third = new TrackedControl();
  c.Add(first);
  c.Add(second);
  c.Add(third);
  EXPECT_FALSE(c.SetItemIndex(first, 3));
  EXPECT_FALSE(c.SetItemIndex(first, -1));
  EXPECT_EQ(c.GetCount(), 3);
  EXPECT_EQ(c.GetItemAt(0), first);
  EXPECT_TRUE(c.SetItemIndex(first, 2));
  EXPECT_EQ(c.GetItemAt(0), second);
  EXPECT_EQ(c.GetItemAt(2), first);
  CControlUI outsider;
  EXPECT_FALSE(c.SetItemIndex(&outsider, 0));
  EXPECT_EQ(c.GetItemIndex(third), 1);
  EXPECT_EQ(c.GetItemIndex(&outsider), -1);
  EXPECT_EQ(c.GetItemAt(3), nullptr);
}

// Stands in for the rich edit, which the container once left behind on RemoveAll.
class FakeRichEdit : public TrackedControl {
 public:
  const wchar_t* GetClass() const override { return L"RichEditUI"; }
};

TEST_F(ContainerTest, RemoveAllDisposesOfEveryChildRichEditsIncluded) {
  CContainerUI c;
  auto* nested = new TrackedContainer();
  nested->Add(new TrackedControl());
  c.Add(nested);
  c.Add(new FakeRichEdit());
  c.Add(new TrackedControl());
  EXPECT_EQ(TrackedControl::s_live, 3);
  c.RemoveAll();
  EXPECT_EQ(c.GetCount(), 0);
  EXPECT_EQ(TrackedControl::s_live, 0);
  EXPECT_EQ(TrackedContainer::s_live, 0);

  CContainerUI keeper;
  keeper.SetAutoDestroy(false);
  TrackedControl kept;
  keeper.Add(&kept);
  EXPECT_TRUE(keeper.Remove(&kept));
  EXPECT_EQ(TrackedControl::s_live, 1);  // not owned: not deleted
}

TEST_F(ContainerTest, PlainContainerGivesEveryChildTheClientAreaWithinItsLimits) {
  CContainerUI c;
  c.SetInset(Rect(5, 6, 7, 8));
  auto* full = new TrackedControl();
  auto* limited = new TrackedControl();
  limited->SetMaxWidth(50);
  limited->SetMaxHeight(20);
  auto* widened = new TrackedControl();
  widened->SetMinWidth(500);
  c.Add(full);
  c.Add(limited);
  c.Add(widened);
  c.SetPos(Rect(0, 0, 200, 100));
  EXPECT_EQ(full->GetPos(), Rect(5, 6, 193, 92));
  EXPECT_EQ(limited->GetPos(), Rect(5, 6, 55, 26));
  EXPECT_EQ(widened->GetPos(), Rect(5, 6, 505, 92));
  EXPECT_EQ(c.GetClientPos(), Rect(5, 6, 193, 92));
}

TEST_F(ContainerTest, FloatingChildrenAreAlignedOrPlacedByPercentage) {
  CContainerUI c;
  auto* corner = new TrackedControl();
  corner->ApplyAttributeList(L"float=\"true\" floatalign=\"right,bottom\" width=\"10\" height=\"10\"");
  auto* half = new TrackedControl();
  half->ApplyAttributeList(L"float=\"0.5,0\" width=\"20\" height=\"5\"");
  auto* offset = new TrackedControl();
  offset->ApplyAttributeList(L"float=\"true\" pos=\"3,4,13,9\"");
  auto* centred = new TrackedControl();
  centred->ApplyAttributeList(L"float=\"true\" floatalign=\"center,vcenter\" width=\"20\" height=\"10\"");
  c.Add(corner);
  c.Add(half);
  c.Add(offset);
  c.Add(centred);
  c.SetPos(Rect(100, 200, 200, 250));
  EXPECT_EQ(corner->GetPos(), Rect(190, 240, 200, 250));
  EXPECT_EQ(half->GetPos(), Rect(140, 200, 160, 205));
  EXPECT_EQ(offset->GetPos(), Rect(103, 204, 113, 209));
  EXPECT_EQ(centred->GetPos(), Rect(140, 220, 160, 230));
  EXPECT_EQ(corner->GetRelativePos(), Rect(90, 40, 100, 50));
}

TEST_F(ContainerTest, HitTestsFindTheTopmostControlUnderThePoint) {
  CPaintManagerUI manager;
  auto* root = new CContainerUI();
  auto* below = new TrackedControl();
  auto* above = new TrackedControl();
  auto* floating = new TrackedControl();
  auto* inert = new TrackedControl();
  floating->ApplyAttributeList(L"float=\"true\" pos=\"150,0,170,20\"");
  inert->SetMouseEnabled(false);
  root->Add(below);
  root->Add(above);
  root->Add(floating);
  root->Add(inert);
  manager.AttachDialog(root);
  root->SetPos(Rect(0, 0, 160, 100));
  POINT inside = {10, 10};
  // Children are tested from the last to the first: the mouse-disabled one is passed over.
  EXPECT_EQ(manager.FindControl(inside), above);
  above->SetVisible(false);
  EXPECT_EQ(manager.FindControl(inside), below);
  POINT onFloat = {155, 5};
  EXPECT_EQ(manager.FindControl(onFloat), floating);
  POINT outside = {500, 500};
  EXPECT_EQ(manager.FindControl(outside), nullptr);
  root->SetMouseChildEnabled(false);
  EXPECT_EQ(manager.FindControl(inside), root);
  root->SetMouseChildEnabled(true);
  root->SetMouseEnabled(false);
  EXPECT_EQ(manager.FindControl(inside), below);
  below->SetMouseEnabled(false);
  EXPECT_EQ(manager.FindControl(inside), nullptr);
}

TEST_F(ContainerTest, InsetHidesNonFloatingChildrenFromHitTests) {
  CPaintManagerUI manager;
  auto* root = new CContainerUI();
  root->SetInset(Rect(10, 10, 10, 10));
  auto* child = new TrackedControl();
  auto* floating = new TrackedControl();
  floating->ApplyAttributeList(L"float=\"true\" pos=\"0,0,5,5\"");
  root->Add(child);
  root->Add(floating);
  manager.AttachDialog(root);
  root->SetPos(Rect(0, 0, 100, 100));
  EXPECT_EQ(floating->GetPos(), Rect(0, 0, 5, 5));
  EXPECT_EQ(child->GetPos(), Rect(10, 10, 90, 90));
  child->SetPos(Rect(0, 0, 100, 100));  // covers the inset too
  POINT inInset = {5, 50};
  EXPECT_EQ(manager.FindControl(inInset), root);
  POINT inClient = {50, 50};
  EXPECT_EQ(manager.FindControl(inClient), child);
  POINT onFloat = {2, 2};
  EXPECT_EQ(manager.FindControl(onFloat), floating);
}

TEST_F(ContainerTest, SearchFlagsSelectWhatIsVisited) {
  CContainerUI root;
  auto* visible = new TrackedControl();
  auto* hidden = new TrackedControl();
  auto* disabled = new TrackedControl();
  visible->SetName(L"v");
  hidden->SetName(L"h");
  disabled->SetName(L"d");
  root.Add(visible);
  root.Add(hidden);
  root.Add(disabled);
  hidden->SetVisible(false);
  disabled->SetEnabled(false);
  struct Visits {
    static CControlUI* CALLBACK Collect(CControlUI* control, LPVOID data) {
      static_cast<std::wstring*>(data)->append(control->GetName().IsEmpty() ? L"root" : control->GetName().GetData());
      static_cast<std::wstring*>(data)->append(L" ");
      return nullptr;
    }
  };
  std::wstring order;
  root.FindControl(Visits::Collect, &order, FindAll);
  EXPECT_EQ(order, L"v h d root ");
  order.clear();
  root.FindControl(Visits::Collect, &order, FindVisible | FindMeFirst);
  EXPECT_EQ(order, L"root v d ");
  order.clear();
  root.FindControl(Visits::Collect, &order, FindEnabled | FindTopFirst);
  EXPECT_EQ(order, L"h v root ");
  root.SetVisible(false);
  order.clear();
  EXPECT_EQ(root.FindControl(Visits::Collect, &order, FindVisible), nullptr);
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(root.FindItmeControl(L"d"), disabled);
  EXPECT_EQ(root.FindItmeControl(L"D"), nullptr);
}

TEST_F(ContainerTest, VerticalBarAppearsWhenContentOverflowsAndLeavesWhenItFits) {
  CPaintManagerUI manager;
  auto* layout = new CVerticalLayoutUI();
  layout->EnableScrollBar(true, false);
  auto* tall = new TrackedControl();
  tall->SetFixedHeight(150);
  layout->Add(tall);
  manager.AttachDialog(layout);
  layout->SetPos(Rect(0, 0, 100, 100));
  CScrollBarUI* bar = layout->GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 50);
  EXPECT_EQ(bar->GetScrollPos(), 0);
  EXPECT_EQ(bar->GetPos(), Rect(84, 0, 100, 100));
  EXPECT_EQ(tall->GetPos(), Rect(0, 0, 84, 150));

  // A hit test over the bar finds the bar, not the child beneath it.
  POINT onBar = {90, 50};
  EXPECT_EQ(manager.FindControl(onBar), bar);

  layout->SetScrollPos(Size(0, 20));
  EXPECT_EQ(tall->GetPos(), Rect(0, -20, 84, 130));
  layout->SetScrollPos(Size(0, 500));
  EXPECT_EQ(bar->GetScrollPos(), 50);
  layout->SetPos(layout->GetPos());
  EXPECT_EQ(tall->GetPos().top, -50);

  tall->SetFixedHeight(60);
  layout->SetPos(Rect(0, 0, 100, 100));
  EXPECT_FALSE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollPos(), 0);
  EXPECT_EQ(tall->GetPos(), Rect(0, 0, 100, 60));
}

TEST_F(ContainerTest, ScrollStepsMoveByTheirSizes) {
  CPaintManagerUI manager;
  auto* layout = new CVerticalLayoutUI();
  layout->ApplyAttributeList(L"vscrollbar=\"true\" scrollstepsize=\"30\" inset=\"0,5,0,5\"");
  auto* tall = new TrackedControl();
  tall->SetFixedHeight(1000);
  layout->Add(tall);
  manager.AttachDialog(layout);
  layout->SetPos(Rect(0, 0, 100, 200));
  EXPECT_EQ(layout->GetScrollRange().cy, 810);
  layout->LineDown();
  EXPECT_EQ(layout->GetScrollPos().cy, 30);
  layout->PageDown();  // 200 - 5 - 5
  EXPECT_EQ(layout->GetScrollPos().cy, 220);
  layout->LineUp();
  EXPECT_EQ(layout->GetScrollPos().cy, 190);
  layout->EndDown();
  EXPECT_EQ(layout->GetScrollPos().cy, 810);
  layout->HomeUp();
  EXPECT_EQ(layout->GetScrollPos().cy, 0);
  layout->PageUp();
  EXPECT_EQ(layout->GetScrollPos().cy, 0);
}

TEST_F(ContainerTest, ScrollBarsTakeTheSharedDefaultList) {
  CPaintManagerUI manager;
  manager.AddDefaultAttributeList(L"VScrollBar", L"width=\"14\" range=\"14\" showbutton1=\"false\" showbutton2=\"false\"",
                                  true);
  auto* layout = new CVerticalLayoutUI();
  manager.AttachDialog(layout);
  layout->SetAttribute(L"vscrollbar", L"true");
  CScrollBarUI* bar = layout->GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetFixedWidth(), 14);
  EXPECT_EQ(bar->GetScrollRange(), 14);
  EXPECT_FALSE(bar->GetShowButton1());
  EXPECT_EQ(bar->GetOwner(), layout);
  layout->SetAttribute(L"vscrollbar", L"false");
  EXPECT_EQ(layout->GetVerticalScrollBar(), nullptr);
  manager.RemoveAllDefaultAttributeList(true);
}

// --- removal while events are delivered ---------------------------------------------------------

// A container whose handler removes the sender of every button press.
class RemovingContainer : public TrackedContainer {
 public:
  void DoEvent(TEventUI& event) override {
    if (event.type == UiEventType::ButtonDown && event.sender != nullptr) {
      liveDuringHandler = TrackedControl::s_live;
      removed = Remove(event.sender);
      liveAfterRemove = TrackedControl::s_live;
      return;
    }
    TrackedContainer::DoEvent(event);
  }
  bool removed = false;
  int liveDuringHandler = -1;
  int liveAfterRemove = -1;
};

TEST_F(ContainerTest, RemovingTheSenderDuringItsEventDefersTheDeletion) {
  RemovingContainer parent;
  auto* child = new TrackedControl();
  parent.Add(child);
  TEventUI event;
  event.type = UiEventType::ButtonDown;
  event.sender = child;
  child->Event(event);
  EXPECT_TRUE(parent.removed);
  EXPECT_EQ(parent.liveDuringHandler, 1);
  EXPECT_EQ(parent.liveAfterRemove, 1);  // still delivering: alive
  EXPECT_EQ(TrackedControl::s_live, 0);  // deleted once the delivery returned
  EXPECT_EQ(parent.GetCount(), 0);
}

class SelfRemovingObserver {
 public:
  CContainerUI* parent = nullptr;
  int seen = 0;
  bool OnEvent(void* param) {
    ++seen;
    auto* event = static_cast<TEventUI*>(param);
    parent->Remove(event->sender);
    return true;
  }
};

TEST_F(ContainerTest, AnObserverRemovingItsControlStopsFurtherDelivery) {
  RemovingContainer parent;
  auto* child = new TrackedControl();
  parent.Add(child);
  SelfRemovingObserver observer;
  observer.parent = &parent;
  child->OnEvent += MakeDelegate(&observer, &SelfRemovingObserver::OnEvent);
  TEventUI event;
  event.type = UiEventType::MouseMove;
  event.sender = child;
  child->Event(event);
  EXPECT_EQ(observer.seen, 1);
  EXPECT_EQ(TrackedControl::s_live, 0);
  EXPECT_FALSE(parent.removed);  // the detached control did not bubble on
}

TEST_F(ContainerTest, RemovalWithAManagerGoesThroughTheDelayedCleanup) {
  test::ManagerWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  CPaintManagerUI& manager = window.manager();
  auto* root = new RemovingContainer();
  auto* child = new TrackedControl();
  child->SetName(L"child");
  root->Add(child);
  manager.AttachDialog(root);
  ASSERT_EQ(manager.FindControl(L"child"), child);

  TEventUI event;
  event.type = UiEventType::ButtonDown;
  event.sender = child;
  child->Event(event);
  EXPECT_TRUE(root->removed);
  EXPECT_EQ(TrackedControl::s_live, 1);  // waits for the queue message
  EXPECT_EQ(manager.GetDelayedCleanupCount(), 1);
  EXPECT_EQ(child->GetParent(), nullptr);
  window.Pump();
  EXPECT_EQ(TrackedControl::s_live, 0);
  EXPECT_EQ(manager.GetDelayedCleanupCount(), 0);
  EXPECT_EQ(manager.FindControl(L"child"), nullptr);

  // Replacing the tree hands the old one to the same list.
  manager.AttachDialog(new CContainerUI());
  EXPECT_EQ(TrackedContainer::s_live, 1);
  window.Pump();
  EXPECT_EQ(TrackedContainer::s_live, 0);
}

TEST_F(ContainerTest, RemoveAllDuringDispatchNeverFreesTheControlBeingDelivered) {
  class ClearingContainer : public TrackedContainer {
   public:
    void DoEvent(TEventUI& event) override {
      if (event.type == UiEventType::ButtonUp) {
        RemoveAll(false);
        liveAfter = TrackedControl::s_live;
        return;
      }
      TrackedContainer::DoEvent(event);
    }
    int liveAfter = -1;
  };
  ClearingContainer parent;
  auto* sender = new TrackedControl();
  parent.Add(new TrackedControl());
  parent.Add(sender);
  parent.Add(new TrackedControl());
  TEventUI event;
  event.type = UiEventType::ButtonUp;
  event.sender = sender;
  sender->Event(event);
  EXPECT_EQ(parent.liveAfter, 1);  // the two idle siblings went at once
  EXPECT_EQ(TrackedControl::s_live, 0);
}

TEST_F(ContainerTest, TreesDeeperThanTheBoundAreRefused) {
  auto* top = new TrackedContainer();
  CContainerUI* current = top;
  int accepted = 1;
  for (int i = 0; i < CContainerUI::kMaxTreeDepth + 20; ++i) {
    auto* next = new TrackedContainer();
    if (!current->Add(next)) {
      delete next;
      break;
    }
    current = next;
    ++accepted;
  }
  EXPECT_EQ(accepted, CContainerUI::kMaxTreeDepth);
  // A deep subtree is refused as a whole under a parent that would push it past the bound.
  CContainerUI holder;
  auto* wrapper = new TrackedContainer();
  ASSERT_TRUE(holder.Add(wrapper));
  EXPECT_FALSE(wrapper->Add(top));
  EXPECT_FALSE(holder.Add(top));
  delete top;
}

}  // namespace
}  // namespace ZQUI
