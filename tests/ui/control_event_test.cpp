// Event records, event sources, bubbling, notifications and the paint phases of the base control.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/core/event_source.h"

namespace ZQUI {
namespace {

using test::Rect;

class Recorder {
 public:
  bool First(void* param) {
    calls.push_back(L"first");
    lastParam = param;
    return true;
  }
  bool Second(void*) {
    calls.push_back(L"second");
    return secondResult;
  }
  bool Third(void*) {
    calls.push_back(L"third");
    return true;
  }
  std::vector<std::wstring> calls;
  void* lastParam = nullptr;
  bool secondResult = true;
};

int g_staticCalls = 0;
bool StaticHandler(void*) {
  ++g_staticCalls;
  return true;
}

TEST(EventSource, CallsEachDistinctDelegateInOrderUntilOneReturnsFalse) {
  Recorder r;
  CEventSource source;
  EXPECT_FALSE(static_cast<bool>(source));
  EXPECT_TRUE(source(nullptr));  // empty: true
  source += MakeDelegate(&r, &Recorder::First);
  source += MakeDelegate(&r, &Recorder::First);  // equal delegates are added once
  source += MakeDelegate(&r, &Recorder::Second);
  source += MakeDelegate(&r, &Recorder::Third);
  source += StaticHandler;
  EXPECT_EQ(source.GetCount(), 4);
  int param = 7;
  EXPECT_TRUE(source(&param));
  EXPECT_EQ(r.calls, (std::vector<std::wstring>{L"first", L"second", L"third"}));
  EXPECT_EQ(r.lastParam, &param);
  EXPECT_EQ(g_staticCalls, 1);

  r.calls.clear();
  r.secondResult = false;
  EXPECT_FALSE(source(nullptr));
  EXPECT_EQ(r.calls, (std::vector<std::wstring>{L"first", L"second"}));

  source -= MakeDelegate(&r, &Recorder::Second);
  source -= StaticHandler;
  EXPECT_EQ(source.GetCount(), 2);
  r.calls.clear();
  EXPECT_TRUE(source(nullptr));
  EXPECT_EQ(r.calls, (std::vector<std::wstring>{L"first", L"third"}));

  Recorder other;
  source -= MakeDelegate(&other, &Recorder::First);  // another object: not equal
  EXPECT_EQ(source.GetCount(), 2);
}

class SelfRemover {
 public:
  CEventSource* source = nullptr;
  int calls = 0;
  bool RemoveNext(void*) {
    ++calls;
    *source -= MakeDelegate(this, &SelfRemover::Next);
    *source -= MakeDelegate(this, &SelfRemover::RemoveNext);
    return true;
  }
  bool Next(void*) {
    ++calls;
    return true;
  }
};

TEST(EventSource, DelegatesRemovedDuringACallAreSkippedAndFreedSafely) {
  CEventSource source;
  SelfRemover remover;
  remover.source = &source;
  source += MakeDelegate(&remover, &SelfRemover::RemoveNext);
  source += MakeDelegate(&remover, &SelfRemover::Next);
  EXPECT_TRUE(source(nullptr));
  EXPECT_EQ(remover.calls, 1);
  EXPECT_EQ(source.GetCount(), 0);
}

// A container that records the events reaching its own handler.
class RecordingContainer : public CContainerUI {
 public:
  void DoEvent(TEventUI& event) override {
    types.push_back(event.type);
    senders.push_back(event.sender);
    CContainerUI::DoEvent(event);
  }
  std::vector<int> types;
  std::vector<CControlUI*> senders;
};

TEST(ControlEvents, UnhandledInputBubblesToTheParent) {
  RecordingContainer parent;
  auto* child = new CControlUI();
  ASSERT_TRUE(parent.Add(child));
  TEventUI event;
  event.type = UiEventType::ButtonDown;
  event.sender = child;
  child->Event(event);
  ASSERT_EQ(parent.types.size(), 1u);
  EXPECT_EQ(parent.types[0], UiEventType::ButtonDown);
  EXPECT_EQ(parent.senders[0], child);

  // Focus events stop at the control itself.
  event.type = UiEventType::SetFocus;
  child->Event(event);
  EXPECT_TRUE(child->IsFocused());
  event.type = UiEventType::KillFocus;
  child->Event(event);
  EXPECT_FALSE(child->IsFocused());
  EXPECT_EQ(parent.types.size(), 1u);

  // A context menu without the menu flag bubbles like any other input.
  event.type = UiEventType::ContextMenu;
  child->Event(event);
  EXPECT_EQ(parent.types.size(), 2u);
}

class NotifyLog : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override {
    names.push_back(msg.typeName.GetData());
    senders.push_back(msg.sender);
    wParams.push_back(msg.wParam);
    lParams.push_back(msg.lParam);
  }
  std::vector<std::wstring> names;
  std::vector<CControlUI*> senders;
  std::vector<WPARAM> wParams;
  std::vector<LPARAM> lParams;
};

TEST(ControlEvents, MenuAndTimerEventsBecomeNotifications) {
  CPaintManagerUI manager;
  NotifyLog log;
  manager.AddNotifier(&log);
  RecordingContainer parent;
  auto* child = new CControlUI();
  parent.Add(child);
  parent.SetManager(&manager, nullptr, false);
  child->SetContextMenuUsed(true);

  TEventUI event;
  event.type = UiEventType::ContextMenu;
  event.wParam = 11;
  event.lParam = 22;
  child->Event(event);
  event.type = UiEventType::Timer;
  event.wParam = 5;
  event.lParam = 6;
  child->Event(event);
  EXPECT_TRUE(parent.types.empty());
  ASSERT_EQ(log.names, (std::vector<std::wstring>{L"menu", L"timer"}));
  EXPECT_EQ(log.senders[0], child);
  EXPECT_EQ(log.wParams, (std::vector<WPARAM>{11, 5}));
  EXPECT_EQ(log.lParams, (std::vector<LPARAM>{22, 6}));
  manager.RemoveNotifier(&log);
  parent.SetManager(nullptr, nullptr, false);
}

class Vetoer {
 public:
  bool Veto(void* param) {
    ++seen;
    return static_cast<TEventUI*>(param)->type != UiEventType::ButtonDown;
  }
  int seen = 0;
};

TEST(ControlEvents, AnObserverReturningFalseKeepsTheEventFromTheControl) {
  RecordingContainer parent;
  auto* child = new CControlUI();
  parent.Add(child);
  Vetoer vetoer;
  child->OnEvent += MakeDelegate(&vetoer, &Vetoer::Veto);
  TEventUI event;
  event.type = UiEventType::ButtonDown;
  child->Event(event);
  event.type = UiEventType::ButtonUp;
  child->Event(event);
  EXPECT_EQ(vetoer.seen, 2);
  EXPECT_EQ(parent.types, (std::vector<int>{UiEventType::ButtonUp}));
}

// Records the order of the paint phases.
class PhaseControl : public CControlUI {
 public:
  void PaintBkColor(HDC) override { phases.push_back(L"bkcolor"); }
  void PaintBkImage(HDC) override { phases.push_back(L"bkimage"); }
  void PaintStatusImage(HDC) override { phases.push_back(L"status"); }
  void PaintForeColor(HDC) override { phases.push_back(L"forecolor"); }
  void PaintForeImage(HDC) override { phases.push_back(L"foreimage"); }
  void PaintText(HDC) override { phases.push_back(L"text"); }
  void PaintBorder(HDC) override { phases.push_back(L"border"); }
  std::vector<std::wstring> phases;
};

class MemoryDC {
 public:
  MemoryDC() : m_dc(CreateCompatibleDC(nullptr)), m_bitmap(CreateCompatibleBitmap(m_dc, 200, 200)) {
    m_old = SelectObject(m_dc, m_bitmap);
  }
  ~MemoryDC() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  HDC get() const { return m_dc; }

 private:
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
};

TEST(ControlPaint, PhasesRunInTheirFixedOrderOnlyWhereThePaintAreaMeetsTheControl) {
  MemoryDC dc;
  PhaseControl c;
  c.SetPos(Rect(10, 10, 50, 50));
  EXPECT_TRUE(c.Paint(dc.get(), Rect(100, 100, 150, 150), nullptr));
  EXPECT_TRUE(c.phases.empty());
  EXPECT_TRUE(c.Paint(dc.get(), Rect(0, 0, 30, 30), nullptr));
  EXPECT_EQ(c.phases, (std::vector<std::wstring>{L"bkcolor", L"bkimage", L"status", L"forecolor", L"foreimage",
                                                 L"text", L"border"}));
  c.phases.clear();
  EXPECT_FALSE(c.Paint(dc.get(), Rect(0, 0, 30, 30), &c));  // the stop control ends painting
  EXPECT_TRUE(c.phases.empty());
}

TEST(ControlPaint, ContainersPaintChildrenInOrderAndStopAtTheStopControl) {
  MemoryDC dc;
  CVerticalLayoutUI layout;
  auto* a = new PhaseControl();
  auto* b = new PhaseControl();
  auto* c = new PhaseControl();
  auto* hidden = new PhaseControl();
  a->SetFixedHeight(20);
  b->SetFixedHeight(20);
  c->SetFixedHeight(20);
  hidden->SetFixedHeight(20);
  layout.Add(a);
  layout.Add(hidden);
  layout.Add(b);
  layout.Add(c);
  hidden->SetVisible(false);
  layout.SetPos(Rect(0, 0, 100, 100));
  EXPECT_TRUE(layout.Paint(dc.get(), Rect(0, 0, 100, 30), nullptr));
  EXPECT_EQ(a->phases.size(), 7u);
  EXPECT_EQ(b->phases.size(), 7u);  // 20..40 meets the area
  EXPECT_TRUE(c->phases.empty());   // 40..60 does not
  EXPECT_TRUE(hidden->phases.empty());

  a->phases.clear();
  b->phases.clear();
  EXPECT_FALSE(layout.Paint(dc.get(), Rect(0, 0, 100, 100), b));
  EXPECT_EQ(a->phases.size(), 7u);
  EXPECT_TRUE(b->phases.empty());
  EXPECT_TRUE(c->phases.empty());
}

TEST(ControlPaint, HslAdjustmentIsTheIdentityAtNeutralValues) {
  CControlUI c;
  c.SetColorHSL(true);
  EXPECT_EQ(c.GetAdjustColor(0x80336699u), 0x80336699u);
  c.SetColorHSL(false);
  EXPECT_EQ(c.GetAdjustColor(0x12345678u), 0x12345678u);
}

}  // namespace
}  // namespace ZQUI
