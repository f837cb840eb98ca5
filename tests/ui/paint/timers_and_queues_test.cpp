// Timers with their native ids, queued notifications, notifier lists changed while notifying,
// and controls forgotten by every list when they are deleted.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/paint/paint_window.h"

namespace ZQUI {
namespace {

using test::EventLog;
using test::PaintWindow;
using test::ProbeControl;
using Entries = std::vector<std::string>;

class NotifyLog : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override {
    std::string name;
    for (const wchar_t* p = msg.typeName.GetData(); *p; ++p) name.push_back(static_cast<char>(*p));
    names.push_back(name);
    senders.push_back(msg.sender);
    if (onNotify) onNotify(msg);
  }
  std::vector<std::string> names;
  std::vector<CControlUI*> senders;
  std::function<void(TNotifyUI&)> onNotify;
};

struct TimerTree {
  explicit TimerTree(PaintWindow& window) {
    root = new CVerticalLayoutUI();
    probe = new ProbeControl(&log, L"P");
    other = new ProbeControl(&log, L"Q");
    root->Add(probe);
    root->Add(other);
    window.Attach(root);
    probe->onEvent = [this](TEventUI& event) {
      if (event.type == UiEventType::Timer) keys.push_back(static_cast<UINT>(event.wParam));
    };
  }
  EventLog log;
  CVerticalLayoutUI* root;
  ProbeControl* probe;
  ProbeControl* other;
  std::vector<UINT> keys;
};

TEST(PaintTimers, NativeIdsStartAt17AndAreNeverSharedWhileHeld) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  TimerTree tree(window);
  CPaintManagerUI& manager = window.manager();
  const UINT kLong = 100000;  // never fires during the test: ticks are sent by hand
  ASSERT_TRUE(manager.SetTimer(tree.probe, 5, kLong));
  SendMessageW(window.hwnd(), WM_TIMER, 17, 0);
  EXPECT_EQ(tree.keys, (std::vector<UINT>{5}));
  SendMessageW(window.hwnd(), WM_TIMER, 18, 0);  // no timer holds 18 yet
  EXPECT_EQ(tree.keys.size(), 1u);

  // Every one of the 240 ids can be held at once; a 241st timer is refused, not doubled up.
  for (UINT key = 6; key < 6 + 239; ++key) ASSERT_TRUE(manager.SetTimer(tree.probe, key, kLong)) << key;
  EXPECT_FALSE(manager.SetTimer(tree.other, 1, kLong));
  tree.keys.clear();
  SendMessageW(window.hwnd(), WM_TIMER, 17, 0);
  EXPECT_EQ(tree.keys, (std::vector<UINT>{5}));  // still the first timer's id alone

  // A killed timer keeps its id for its own restart.
  EXPECT_TRUE(manager.KillTimer(tree.probe, 5));
  EXPECT_FALSE(manager.KillTimer(tree.probe, 5));
  tree.keys.clear();
  SendMessageW(window.hwnd(), WM_TIMER, 17, 0);
  EXPECT_TRUE(tree.keys.empty());
  EXPECT_FALSE(manager.SetTimer(tree.other, 1, kLong));
  EXPECT_TRUE(manager.SetTimer(tree.probe, 5, kLong));
  EXPECT_FALSE(manager.SetTimer(tree.probe, 5, kLong));  // live again
  SendMessageW(window.hwnd(), WM_TIMER, 17, 0);
  EXPECT_EQ(tree.keys, (std::vector<UINT>{5}));

  manager.KillTimer(tree.probe);  // all of them, records gone
  EXPECT_TRUE(manager.SetTimer(tree.other, 1, kLong));
  EXPECT_FALSE(manager.KillTimer(tree.probe, 6));
}

TEST(PaintTimers, RealTimerFiresAndAHandlerMayKillTimersWhileDelivered) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  TimerTree tree(window);
  CPaintManagerUI& manager = window.manager();
  tree.probe->onEvent = [&](TEventUI& event) {
    if (event.type != UiEventType::Timer) return;
    tree.keys.push_back(static_cast<UINT>(event.wParam));
    manager.KillTimer(tree.probe);  // removes the record being delivered
  };
  ASSERT_TRUE(manager.SetTimer(tree.probe, 3, 10));
  DWORD start = GetTickCount();
  MSG msg;
  while (tree.keys.empty() && GetTickCount() - start < 3000) {
    if (PeekMessageW(&msg, window.hwnd(), 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
    } else {
      Sleep(5);
    }
  }
  ASSERT_EQ(tree.keys, (std::vector<UINT>{3}));
  Sleep(40);
  window.Pump();
  EXPECT_EQ(tree.keys.size(), 1u);  // stopped by its own handler
}

TEST(PaintQueue, SeveralAsyncNotificationsPostOneQueueMessageAndArriveInOrder) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  TimerTree tree(window);
  CPaintManagerUI& manager = window.manager();
  window.Pump();
  NotifyLog log;
  manager.AddNotifier(&log);
  manager.SendNotify(tree.probe, L"one", 0, 0, true);
  manager.SendNotify(tree.other, L"two", 0, 0, true);
  manager.SendNotify(tree.probe, L"three", 0, 0, true);
  EXPECT_TRUE(log.names.empty());
  MSG msg;
  int posted = 0;
  std::vector<MSG> queue;
  while (PeekMessageW(&msg, window.hwnd(), kMsgProcessQueue, kMsgProcessQueue, PM_REMOVE)) {
    ++posted;
    queue.push_back(msg);
  }
  EXPECT_EQ(posted, 1);
  for (MSG& m : queue) DispatchMessageW(&m);
  EXPECT_EQ(log.names, (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(log.senders[1], tree.other);
  manager.RemoveNotifier(&log);
}

TEST(PaintQueue, NotifiersRemovedWhileNotifyingAreSkipped) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  TimerTree tree(window);
  CPaintManagerUI& manager = window.manager();
  NotifyLog first;
  NotifyLog second;
  NotifyLog third;
  manager.AddNotifier(&first);
  manager.AddNotifier(&second);
  manager.AddNotifier(&third);
  first.onNotify = [&](TNotifyUI&) {
    manager.RemoveNotifier(&first);
    manager.RemoveNotifier(&second);
  };
  manager.SendNotify(tree.probe, L"click");
  EXPECT_EQ(first.names.size(), 1u);
  EXPECT_TRUE(second.names.empty());
  EXPECT_EQ(third.names, (std::vector<std::string>{"click"}));
  manager.SendNotify(tree.probe, L"click");
  EXPECT_EQ(first.names.size(), 1u);
  EXPECT_EQ(third.names.size(), 2u);
  manager.RemoveNotifier(&third);
}

TEST(PaintLifetime, DeletedControlLeavesEveryList) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  TimerTree tree(window);
  CPaintManagerUI& manager = window.manager();
  window.PaintNow();
  ProbeControl* doomed = tree.other;
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window.hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  manager.AddMouseLeaveNeeded(doomed);
  manager.AddMouseLeaveNeeded(tree.probe);
  manager.AddPostPaint(doomed);
  EXPECT_TRUE(manager.AddNativeWindow(doomed, child));
  EXPECT_FALSE(manager.AddNativeWindow(doomed, child));
  EXPECT_TRUE(manager.AddOptionGroup(L"g", doomed));
  EXPECT_FALSE(manager.AddOptionGroup(L"g", doomed));
  EXPECT_TRUE(manager.AddOptionGroup(L"g2", doomed));
  manager.SetFocus(doomed);
  ASSERT_TRUE(manager.SetTimer(doomed, 1, 100000));
  EXPECT_EQ(manager.GetNativeWindowCount(), 1);
  tree.root->Remove(doomed);
  window.Pump();  // the delayed cleanup deletes it
  EXPECT_EQ(manager.GetFocus(), nullptr);
  EXPECT_FALSE(manager.IsPostPaint(doomed));
  EXPECT_EQ(manager.GetNativeWindowCount(), 0);
  EXPECT_EQ(manager.GetOptionGroup(L"g"), nullptr);
  EXPECT_EQ(manager.GetOptionGroup(L"g2"), nullptr);
  EXPECT_FALSE(manager.RemoveMouseLeaveNeeded(doomed));
  EXPECT_FALSE(manager.KillTimer(doomed, 1));
  // Hover still works for the controls that are left.
  SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  tree.log.Clear();
  SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
  EXPECT_EQ(tree.log.entries, (Entries{"Leave:P", "Leave:P"}));  // as leave-needed member, then as hover
  DestroyWindow(child);
}

TEST(PaintLookup, ClassSearchCountsInTraversalOrder) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  auto* root = new CVerticalLayoutUI();
  EventLog log;
  auto* first = new ProbeControl(&log, L"1");
  auto* second = new ProbeControl(&log, L"2");
  auto* plain = new CControlUI();
  root->Add(first);
  root->Add(plain);
  root->Add(second);
  window.Attach(root);
  EXPECT_EQ(window.manager().FindSubControlByClass(nullptr, L"ProbeUI", 0), first);
  EXPECT_EQ(window.manager().FindSubControlByClass(nullptr, L"ProbeUI", 1), second);
  EXPECT_EQ(window.manager().FindSubControlByClass(nullptr, L"ProbeUI", 2), nullptr);
  // Children come before their container in this traversal.
  EXPECT_EQ(window.manager().FindSubControlByClass(nullptr, L"*", 1), plain);
  EXPECT_EQ(window.manager().FindSubControlByClass(nullptr, L"*", 3), root);
  CStdPtrArray* all = window.manager().FindSubControlsByClass(nullptr, L"ProbeUI");
  ASSERT_NE(all, nullptr);
  ASSERT_EQ(all->GetSize(), 2);
  EXPECT_EQ(all->GetAt(1), second);
  EXPECT_EQ(window.manager().GetFoundControls(), all);
  EXPECT_EQ(window.manager().FindSubControlsByClass(nullptr, L"*")->GetSize(), 4);
}

}  // namespace
}  // namespace ZQUI
