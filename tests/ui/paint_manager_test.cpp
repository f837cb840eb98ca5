// The parts of the paint manager the control tree relies on: name lookup, focus, timers,
// synchronous and queued notifications, and forgetting deleted controls.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"

namespace ZQUI {
namespace {

using test::Rect;

class NotifyLog : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override {
    names.push_back(msg.typeName.GetData());
    senders.push_back(msg.sender);
    virtualWindows.push_back(msg.virtualWindow.GetData());
    wParams.push_back(msg.wParam);
  }
  std::vector<std::wstring> names;
  std::vector<CControlUI*> senders;
  std::vector<std::wstring> virtualWindows;
  std::vector<WPARAM> wParams;
};

TEST(PaintManager, NameLookupReturnsTheLastByNameAndTheFirstBySubtreeSearch) {
  CPaintManagerUI manager;
  auto* root = new CVerticalLayoutUI();
  auto* first = new CControlUI();
  auto* second = new CControlUI();
  first->SetName(L"installPage");
  second->SetName(L"installPage");
  root->Add(first);
  root->Add(second);
  EXPECT_EQ(manager.FindControl(L"installPage"), nullptr);  // no tree attached yet
  ASSERT_TRUE(manager.AttachDialog(root));
  EXPECT_EQ(manager.FindControl(L"installPage"), second);
  EXPECT_EQ(manager.FindControl(L"installpage"), nullptr);
  EXPECT_EQ(manager.FindSubControlByName(nullptr, L"INSTALLPAGE"), first);
  EXPECT_EQ(manager.GetRoot(), root);
  EXPECT_FALSE(manager.IsValid());  // no window
  EXPECT_FALSE(manager.AttachDialog(nullptr));
  EXPECT_EQ(manager.GetRoot(), nullptr);
  EXPECT_EQ(manager.GetDelayedCleanupCount(), 1);  // the old tree waits for deletion
}

TEST(PaintManager, FocusMovesWithEventsAndNotifications) {
  CPaintManagerUI manager;
  NotifyLog log;
  manager.AddNotifier(&log);
  auto* root = new CVerticalLayoutUI();
  auto* a = new CControlUI();
  auto* b = new CControlUI();
  auto* disabled = new CControlUI();
  disabled->SetEnabled(false);
  root->Add(a);
  root->Add(b);
  root->Add(disabled);
  manager.AttachDialog(root);
  manager.SetFocus(a);
  EXPECT_EQ(manager.GetFocus(), a);
  EXPECT_TRUE(a->IsFocused());
  manager.SetFocus(b);
  EXPECT_FALSE(a->IsFocused());
  EXPECT_TRUE(b->IsFocused());
  EXPECT_EQ(log.names, (std::vector<std::wstring>{L"setfocus", L"killfocus", L"setfocus"}));
  EXPECT_EQ(log.senders[1], a);
  manager.SetFocus(disabled);  // refused, but the old focus is still dropped
  EXPECT_EQ(manager.GetFocus(), nullptr);
  EXPECT_FALSE(b->IsFocused());
  manager.RemoveNotifier(&log);
  EXPECT_FALSE(manager.RemoveNotifier(&log));
}

TEST(PaintManager, VirtualWindowNamesAreFilledOnceInUse) {
  CPaintManagerUI manager;
  NotifyLog log;
  manager.AddNotifier(&log);
  auto* root = new CVerticalLayoutUI();
  auto* child = new CControlUI();
  root->Add(child);
  manager.AttachDialog(root);
  manager.SendNotify(child, L"click");
  root->SetVirtualWnd(L"page");
  manager.SendNotify(child, L"click", 3);
  ASSERT_EQ(log.names.size(), 2u);
  EXPECT_EQ(log.virtualWindows[0], L"");
  EXPECT_EQ(log.virtualWindows[1], L"page");
  EXPECT_EQ(log.wParams[1], 3u);
  manager.RemoveNotifier(&log);
}

TEST(PaintManager, QueuedNotificationsArriveInOrderAfterThePumpAndSurviveTheirSender) {
  test::ManagerWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  CPaintManagerUI& manager = window.manager();
  NotifyLog log;
  manager.AddNotifier(&log);
  auto* root = new CVerticalLayoutUI();
  auto* child = new CControlUI();
  root->Add(child);
  manager.AttachDialog(root);
  manager.SendNotify(child, L"first", 0, 0, true);
  manager.SendNotify(root, L"second", 0, 0, true);
  EXPECT_TRUE(log.names.empty());
  root->Remove(child);  // delayed cleanup, ahead of the queued notifications
  window.Pump();
  EXPECT_EQ(log.names, (std::vector<std::wstring>{L"first", L"second"}));
  EXPECT_EQ(log.senders[0], nullptr);  // its sender was deleted first
  EXPECT_EQ(log.senders[1], root);
  manager.RemoveNotifier(&log);
}

class TimerProbe : public CControlUI {
 public:
  void DoEvent(TEventUI& event) override {
    if (event.type == UiEventType::Timer) timers.push_back(static_cast<UINT>(event.wParam));
    CControlUI::DoEvent(event);
  }
  std::vector<UINT> timers;
};

TEST(PaintManager, TimersAreKeyedByControlAndDeliveredAsTimerEvents) {
  test::ManagerWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  CPaintManagerUI& manager = window.manager();
  NotifyLog log;
  manager.AddNotifier(&log);
  auto* root = new CVerticalLayoutUI();
  auto* probe = new TimerProbe();
  root->Add(probe);
  manager.AttachDialog(root);
  ASSERT_TRUE(probe->SetTimer(7, 10));
  EXPECT_FALSE(probe->SetTimer(7, 10));  // already running
  DWORD start = GetTickCount();
  while (probe->timers.empty() && GetTickCount() - start < 3000) {
    MSG msg;
    if (GetMessageW(&msg, window.hwnd(), 0, 0) > 0) DispatchMessageW(&msg);
  }
  ASSERT_FALSE(probe->timers.empty());
  EXPECT_EQ(probe->timers[0], 7u);
  EXPECT_EQ(log.names[0], L"timer");
  EXPECT_EQ(log.wParams[0], 7u);
  EXPECT_TRUE(manager.KillTimer(probe, 7));
  EXPECT_FALSE(manager.KillTimer(probe, 7));
  EXPECT_TRUE(probe->SetTimer(7, 1000));  // a killed timer is started again
  root->Remove(probe);
  window.Pump();  // deleting the control stops its timers
  EXPECT_FALSE(manager.KillTimer(probe, 7));
  manager.RemoveNotifier(&log);
}

TEST(PaintManager, PostPaintMembership) {
  CPaintManagerUI manager;
  CControlUI a;
  EXPECT_FALSE(manager.IsPostPaint(&a));
  EXPECT_TRUE(manager.AddPostPaint(&a));
  EXPECT_TRUE(manager.AddPostPaint(&a));
  EXPECT_EQ(manager.GetPostPaintCount(), 1);
  EXPECT_TRUE(manager.RemovePostPaint(&a));
  EXPECT_FALSE(manager.RemovePostPaint(&a));
}

TEST(PaintManager, StylesKeepTheFirstAndDefaultListsTheLast) {
  CPaintManagerUI manager;
  manager.AddStyle(L"s", L"width=\"1\"");
  manager.AddStyle(L"s", L"width=\"2\"");
  EXPECT_STREQ(manager.GetStyle(L"s"), L"width=\"1\"");
  manager.AddStyle(L"shared", L"x=\"1\"", true);
  EXPECT_STREQ(manager.GetStyle(L"shared"), L"x=\"1\"");
  manager.AddDefaultAttributeList(L"Button", L"a=\"1\"");
  manager.AddDefaultAttributeList(L"Button", L"a=\"2\"");
  EXPECT_STREQ(manager.GetDefaultAttributeList(L"Button"), L"a=\"2\"");
  EXPECT_TRUE(manager.RemoveDefaultAttributeList(L"Button"));
  EXPECT_EQ(manager.GetDefaultAttributeList(L"Button"), nullptr);
  manager.RemoveAllStyle(true);
  EXPECT_EQ(manager.GetStyle(L"shared"), nullptr);
  EXPECT_GT(manager.GetDefaultFontInfo()->tm.tmHeight, 0);
}

TEST(PaintManager, OptionGroupsHoldEachControlOnceAndVanishWhenEmpty) {
  CPaintManagerUI manager;
  CControlUI a;
  CControlUI b;
  EXPECT_EQ(manager.GetOptionGroup(L"agree"), nullptr);
  EXPECT_TRUE(manager.AddOptionGroup(L"agree", &a));
  EXPECT_FALSE(manager.AddOptionGroup(L"agree", &a));
  EXPECT_TRUE(manager.AddOptionGroup(L"agree", &b));
  ASSERT_NE(manager.GetOptionGroup(L"agree"), nullptr);
  EXPECT_EQ(manager.GetOptionGroup(L"agree")->GetSize(), 2);
  EXPECT_EQ(manager.GetOptionGroup(L"Agree"), nullptr);  // names are exact
  manager.RemoveOptionGroup(L"agree", &a);
  EXPECT_EQ(manager.GetOptionGroup(L"agree")->GetAt(0), &b);
  manager.RemoveOptionGroup(L"agree", &b);
  EXPECT_EQ(manager.GetOptionGroup(L"agree"), nullptr);
  manager.AddOptionGroup(L"x", &a);
  manager.AddOptionGroup(L"y", &b);
  manager.RemoveAllOptionGroups();
  EXPECT_EQ(manager.GetOptionGroup(L"x"), nullptr);
  EXPECT_EQ(manager.GetOptionGroup(L"y"), nullptr);
}

class CountingFilter : public IMessageFilterUI {
 public:
  LRESULT MessageHandler(UINT, WPARAM, LPARAM, bool&) override {
    ++calls;
    return 0;
  }
  int calls = 0;
};

TEST(PaintManager, ListenersRegisterOncePerAddAndLeaveOncePerRemove) {
  test::ManagerWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  CPaintManagerUI& manager = window.manager();
  CountingFilter filter;
  EXPECT_TRUE(manager.AddMessageFilter(&filter));
  EXPECT_TRUE(manager.AddMessageFilter(&filter));
  LRESULT result = 0;
  manager.MessageHandler(WM_USER + 50, 0, 0, result);
  EXPECT_EQ(filter.calls, 2);
  EXPECT_TRUE(manager.RemoveMessageFilter(&filter));
  manager.MessageHandler(WM_USER + 50, 0, 0, result);
  EXPECT_EQ(filter.calls, 3);
  EXPECT_TRUE(manager.RemoveMessageFilter(&filter));
  EXPECT_FALSE(manager.RemoveMessageFilter(&filter));
  EXPECT_FALSE(manager.RemovePreMessageFilter(&filter));
  // Without a window nothing is handled at all.
  CPaintManagerUI unbound;
  unbound.AddMessageFilter(&filter);
  EXPECT_FALSE(unbound.MessageHandler(WM_USER + 50, 0, 0, result));
  EXPECT_EQ(filter.calls, 3);
}

TEST(PaintManager, ManagersAreFoundByTheirNameAndSettingsKeepTheirValues) {
  test::ManagerWindow window;
  CPaintManagerUI& manager = window.manager();
  EXPECT_EQ(CPaintManagerUI::GetPaintManager(L"test"), &manager);
  EXPECT_EQ(CPaintManagerUI::GetPaintManager(L""), nullptr);
  EXPECT_EQ(CPaintManagerUI::GetPaintManager(nullptr), nullptr);
  EXPECT_EQ(manager.GetHoverTime(), 100);
  manager.SetHoverTime(400);
  EXPECT_EQ(manager.GetHoverTime(), 400);
  EXPECT_FALSE(manager.IsNoActivate());
  manager.SetNoActivate(true);
  EXPECT_TRUE(manager.IsNoActivate());
  EXPECT_TRUE(manager.EnableDragDrop(true));
  CControlUI control;
  EXPECT_TRUE(manager.SetPostPaintIndex(&control, 3));
  EXPECT_FALSE(manager.IsPostPaint(&control));
  EXPECT_FALSE(CPaintManagerUI::LoadPlugin(L"no_such_plugin_library.dll"));
  manager.SetUseGdiplusText(true);
  manager.SetGdiplusTextRenderingHint(4);
  EXPECT_TRUE(manager.IsUseGdiplusText());
  EXPECT_EQ(manager.GetGdiplusTextRenderingHint(), 4);
  // The window object is whatever the window base put into the user data.
  EXPECT_EQ(manager.GetMainWnd(), static_cast<LPARAM>(GetWindowLongPtrW(window.hwnd(), GWLP_USERDATA)));
}

}  // namespace
}  // namespace ZQUI
