#include "base/win_ui_message_pump.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/message_loop_proxy.h"
#include "base/thread_registry.h"
#include "base/tick_clock.h"
#include "base/ui_message_loop.h"
#include "tests/base/base_test_util.h"
#include "tests/base/import_patch.h"
#include "tests/base/scripted_pump_delegate.h"

namespace {

using kbase::MessageLoop;
using kbase::ThreadRegistry;
using kbase::WinUIMessagePump;
using kbase_test::HookedThread;
using kbase_test::ScopedEvent;

constexpr UINT kOpenDialog = WM_APP + 1;
constexpr UINT kOpenMessageBox = WM_APP + 2;
constexpr UINT kOpenMenu = WM_APP + 3;
constexpr UINT kRunNested = WM_APP + 4;
constexpr UINT kPing = WM_APP + 5;

enum : int { kUiId = 501 };

// A top-level test window whose messages go to a handler set by the test.
class TestWindow {
 public:
  using Handler = std::function<bool(UINT message, WPARAM wparam, LPARAM lparam)>;

  explicit TestWindow(Handler handler) : handler_(std::move(handler)) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &Procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"KbaseTestWindow";
    RegisterClassExW(&window_class);
    hwnd_ = CreateWindowExW(0, L"KbaseTestWindow", L"kbase test", WS_OVERLAPPEDWINDOW,
                            10, 10, 200, 150, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    error_ = hwnd_ ? 0 : GetLastError();
  }
  ~TestWindow() {
    if (IsWindow(hwnd_))
      DestroyWindow(hwnd_);
  }
  HWND hwnd() const { return hwnd_; }
  DWORD error() const { return error_; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->handler_ && self->handler_(message, wparam, lparam))
      return 0;
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

  Handler handler_;
  HWND hwnd_ = nullptr;
  DWORD error_ = 0;
};

// A UI framework thread registered under kUiId, as the installer's UI thread is.
class UIThreadFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_ = std::make_unique<HookedThread>("ui", kUiId);
    ASSERT_TRUE(ui_->StartWithLoop(kbase::kLoopUI));
    ASSERT_TRUE(ui_->registered);
  }
  void TearDown() override {
    RunOnUI([this] { window_.reset(); });
    const DWORD start = GetTickCount();
    ui_->Stop();
    // A UI loop that did not quit would be terminated after the join time-out instead.
    EXPECT_NE(ui_->cleanup_thread, 0u) << "the UI thread was ended by force";
    EXPECT_LT(GetTickCount() - start, kbase::Thread::kJoinTimeoutMs);
    ui_.reset();
  }

  // Runs f on the UI thread and waits for it.
  void RunOnUI(std::function<void()> f) {
    ScopedEvent done;
    ASSERT_TRUE(ThreadRegistry::PostTask(kUiId, [&] {
      f();
      done.Set();
    }));
    ASSERT_TRUE(done.Wait());
  }

  void CreateWindowOnUI(TestWindow::Handler handler) {
    RunOnUI([&] { window_ = std::make_unique<TestWindow>(std::move(handler)); });
    ASSERT_TRUE(window_ && window_->hwnd()) << "CreateWindowExW failed: " << (window_ ? window_->error() : 0);
  }

  std::unique_ptr<HookedThread> ui_;
  std::unique_ptr<TestWindow> window_;
};

TEST_F(UIThreadFixture, DispatchesWindowMessagesAndRunsTasksFromOtherThreads) {
  std::vector<std::string> log;  // UI thread only
  ScopedEvent done;
  CreateWindowOnUI([&](UINT message, WPARAM wparam, LPARAM) {
    if (message != kPing)
      return false;
    log.push_back("message " + std::to_string(wparam));
    return true;
  });
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(PostMessageW(window_->hwnd(), kPing, i, 0));
    ASSERT_TRUE(ThreadRegistry::PostTask(kUiId, [&log, i] { log.push_back("task " + std::to_string(i)); }));
    Sleep(5);
  }
  ThreadRegistry::PostTask(kUiId, [&] { done.Set(); });
  ASSERT_TRUE(done.Wait());
  RunOnUI([] {});
  int messages = 0;
  int tasks = 0;
  for (const std::string& entry : log)
    (entry.rfind("message", 0) == 0 ? messages : tasks)++;
  EXPECT_EQ(messages, 5);
  EXPECT_EQ(tasks, 5);
}

LONG g_wake_up_messages = 0;
HWND g_pump_window = nullptr;

LRESULT CALLBACK CountWakeUps(int code, WPARAM wparam, LPARAM lparam) {
  const MSG* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && message->hwnd == g_pump_window &&
      message->message == WinUIMessagePump::kWakeUpMessage)
    ++g_wake_up_messages;
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(UIThreadFixture, HundredPostsToABlockedUIThreadMakeOneWakeUpMessage) {
  HHOOK hook = nullptr;
  RunOnUI([&] {
    g_pump_window = static_cast<kbase::UIMessageLoop*>(MessageLoop::Current())->ui_pump()->message_window();
    hook = SetWindowsHookExW(WH_GETMESSAGE, &CountWakeUps, nullptr, GetCurrentThreadId());
  });
  ASSERT_NE(hook, nullptr);
  ScopedEvent blocked, release, all_ran;
  ThreadRegistry::PostTask(kUiId, [&] {
    g_wake_up_messages = 0;
    blocked.Set();
    release.Wait();
  });
  ASSERT_TRUE(blocked.Wait());
  int ran = 0;
  LONG seen_at_last = -1;
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(ThreadRegistry::PostTask(kUiId, [&] {
      if (++ran == 100) {
        seen_at_last = g_wake_up_messages;
        all_ran.Set();
      }
    }));
  }
  release.Set();
  ASSERT_TRUE(all_ran.Wait());
  EXPECT_EQ(seen_at_last, 1);
  RunOnUI([&] { UnhookWindowsHookEx(hook); });
}

TEST_F(UIThreadFixture, NonNestableTaskWaitsOutANestedRunAndRunsAtDepthOne) {
  std::vector<std::string> log;
  ScopedEvent finished;
  CreateWindowOnUI([&](UINT message, WPARAM, LPARAM) {
    if (message != kRunNested)
      return false;
    MessageLoop* loop = MessageLoop::Current();
    auto note = [&log, loop](const char* what) {
      log.push_back(std::string(what) + "@" + std::to_string(loop->run_depth()));
    };
    loop->PostNonNestableTask([note, &finished] {
      note("non-nestable");
      finished.Set();
    });
    loop->PostTask([note] { note("nestable"); });
    loop->PostTask([note, loop] {
      note("quit-nested");
      loop->QuitWhenIdle();
    });
    loop->Run();  // a nested run, entered from a window message rather than from a task
    note("nested-returned");
    return true;
  });
  ASSERT_TRUE(PostMessageW(window_->hwnd(), kRunNested, 0, 0));
  ASSERT_TRUE(finished.Wait());
  RunOnUI([] {});
  EXPECT_EQ(log, (std::vector<std::string>{"nestable@2", "quit-nested@2", "nested-returned@1",
                                           "non-nestable@1"}));
}

// A modal loop of Windows entered from a window message: the pump is not running its own loop, yet
// tasks from another thread and delayed tasks keep running, and a task ends the modal loop.
struct ModalRecord {
  HWND modal = nullptr;
  std::atomic<int> tasks_while_open{0};
  std::atomic<int> tasks_while_closed{0};
  bool delayed_while_open = false;
  int64_t delayed_due = 0;
  int64_t delayed_ran = 0;
  INT_PTR result = 0;
  ScopedEvent opened;
  ScopedEvent closed;
};

ModalRecord* g_modal = nullptr;

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    g_modal->modal = dialog;
    g_modal->opened.Set();
    return TRUE;
  }
  return FALSE;
}

// Posts from this thread while the UI thread sits in a modal loop, then ends the loop with a
// delayed task. Returns whether the modal loop ended.
bool PostTasksWhileModal(ModalRecord& record, std::function<void(HWND)> end_modal) {
  EXPECT_TRUE(record.opened.Wait());
  for (int i = 0; i < 20; ++i) {
    EXPECT_TRUE(ThreadRegistry::PostTask(kUiId, [&record] {
      if (IsWindow(record.modal))
        ++record.tasks_while_open;
      else
        ++record.tasks_while_closed;
    }));
    Sleep(2);
  }
  record.delayed_due = kbase::TickClock::Now() + 60 * 1000;
  EXPECT_TRUE(ThreadRegistry::PostDelayedTask(kUiId, [&record, end_modal] {
    record.delayed_ran = kbase::TickClock::Now();
    record.delayed_while_open = IsWindow(record.modal) != FALSE;
    end_modal(record.modal);
  }, 60 * 1000));
  return record.closed.Wait();
}

TEST_F(UIThreadFixture, TasksAndDelayedTasksRunInsideAModalDialogThatATaskEnds) {
  ModalRecord& record = *new ModalRecord;
  g_modal = &record;
  CreateWindowOnUI([&](UINT message, WPARAM, LPARAM) {
    if (message != kOpenDialog)
      return false;
    struct alignas(4) Template {
      DLGTEMPLATE dialog;
      WORD menu, window_class, title;
    } dialog_template = {};
    dialog_template.dialog.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
    dialog_template.dialog.cx = 120;
    dialog_template.dialog.cy = 60;
    record.result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog_template.dialog,
                                            window_->hwnd(), &TestDialogProc, 0);
    record.closed.Set();
    return true;
  });
  ASSERT_TRUE(PostMessageW(window_->hwnd(), kOpenDialog, 0, 0));
  const bool ended = PostTasksWhileModal(record, [](HWND dialog) { EndDialog(dialog, 42); });
  ASSERT_TRUE(ended) << "the modal loop did not end";  // record stays in use: leaked
  RunOnUI([] {});
  EXPECT_EQ(record.result, 42);
  EXPECT_EQ(record.tasks_while_open.load(), 20);
  EXPECT_EQ(record.tasks_while_closed.load(), 0);
  EXPECT_TRUE(record.delayed_while_open);
  EXPECT_GE(record.delayed_ran, record.delayed_due);
  g_modal = nullptr;
  delete &record;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM result) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, static_cast<int>(sizeof(name) / sizeof(name[0])));
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

TEST_F(UIThreadFixture, TasksRunWhileAMessageBoxIsOpenAndATaskClosesIt) {
  ModalRecord& record = *new ModalRecord;
  CreateWindowOnUI([&](UINT message, WPARAM, LPARAM) {
    if (message != kOpenMessageBox)
      return false;
    // The box's window is found by a task once it is up; that task also reports it open.
    ThreadRegistry::PostDelayedTask(kUiId, [&record] {
      HWND box = nullptr;
      EnumThreadWindows(GetCurrentThreadId(), &FindMessageBox, reinterpret_cast<LPARAM>(&box));
      record.modal = box;
      if (box)
        record.opened.Set();
    }, 100 * 1000);
    record.result = MessageBoxW(window_->hwnd(), L"modal", L"kbase test", MB_OK);
    record.closed.Set();
    return true;
  });
  ASSERT_TRUE(PostMessageW(window_->hwnd(), kOpenMessageBox, 0, 0));
  const bool ended = PostTasksWhileModal(record, [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
  ASSERT_TRUE(ended) << "the modal loop did not end";  // record stays in use: leaked
  RunOnUI([] {});
  EXPECT_EQ(record.result, IDOK);
  EXPECT_EQ(record.tasks_while_open.load(), 20);
  EXPECT_TRUE(record.delayed_while_open);
  EXPECT_GE(record.delayed_ran, record.delayed_due);
  delete &record;
}

TEST_F(UIThreadFixture, TasksRunWhileAPopupMenuIsTrackedAndATaskEndsIt) {
  ModalRecord& record = *new ModalRecord;
  CreateWindowOnUI([&](UINT message, WPARAM, LPARAM) {
    if (message == WM_INITMENUPOPUP) {
      record.opened.Set();
      return false;
    }
    if (message != kOpenMenu)
      return false;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"first");
    AppendMenuW(menu, MF_STRING, 2, L"second");
    SetForegroundWindow(window_->hwnd());
    record.modal = window_->hwnd();
    record.result = TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, window_->hwnd(),
                                   nullptr);
    DestroyMenu(menu);
    record.modal = nullptr;
    record.closed.Set();
    return true;
  });
  ASSERT_TRUE(PostMessageW(window_->hwnd(), kOpenMenu, 0, 0));
  const bool ended = PostTasksWhileModal(record, [](HWND) { EndMenu(); });
  ASSERT_TRUE(ended) << "the modal loop did not end";  // record stays in use: leaked
  RunOnUI([] {});
  EXPECT_EQ(record.result, 0);  // ended without a choice
  EXPECT_EQ(record.tasks_while_open.load(), 20);
  EXPECT_TRUE(record.delayed_while_open);
  delete &record;
}

class RecordingUIObserver : public WinUIMessagePump::UIObserver {
 public:
  explicit RecordingUIObserver(std::vector<std::string>* log) : log_(log) {}
  void OnBeforeMessage(const MSG* message) override {
    if (message->message == kPing)
      log_->push_back("before");
  }
  void OnAfterMessage(const MSG* message) override {
    if (message->message == kPing)
      log_->push_back("after");
  }

 private:
  std::vector<std::string>* log_;
};

TEST_F(UIThreadFixture, UIObserversSeeEachDispatchedMessageAroundItsHandling) {
  std::vector<std::string> log;
  RecordingUIObserver observer(&log);
  CreateWindowOnUI([&](UINT message, WPARAM, LPARAM) {
    if (message != kPing)
      return false;
    log.push_back("handled");
    return true;
  });
  RunOnUI([&] {
    static_cast<kbase::UIMessageLoop*>(MessageLoop::Current())->ui_pump()->AddUIObserver(&observer);
  });
  ASSERT_TRUE(PostMessageW(window_->hwnd(), kPing, 0, 0));
  Sleep(50);
  RunOnUI([&] {
    static_cast<kbase::UIMessageLoop*>(MessageLoop::Current())->ui_pump()->RemoveUIObserver(&observer);
  });
  EXPECT_EQ(log, (std::vector<std::string>{"before", "handled", "after"}));
}

// Anyone on the desktop can post to the message window; a word parameter that is not the pump's
// own address must be ignored, not followed.
TEST_F(UIThreadFixture, ForgedWakeUpMessagesAreIgnored) {
  HWND pump_window = nullptr;
  RunOnUI([&] {
    pump_window = static_cast<kbase::UIMessageLoop*>(MessageLoop::Current())->ui_pump()->message_window();
  });
  ASSERT_NE(pump_window, nullptr);
  for (WPARAM forged : {WPARAM(0x1234), WPARAM(0), WPARAM(~WPARAM(0))}) {
    ASSERT_TRUE(PostMessageW(pump_window, WinUIMessagePump::kWakeUpMessage, forged, 0));
    ASSERT_TRUE(PostMessageW(pump_window, WM_TIMER, forged, 0));
  }
  bool ran = false;
  RunOnUI([&] { ran = true; });
  EXPECT_TRUE(ran);
}

TEST_F(UIThreadFixture, QuitMessageEndsTheUILoopAndStaysPostedForAnEnclosingLoop) {
  // A fresh UI thread of its own, so that the quit ends only that one.
  HookedThread ui("quit");
  WPARAM left_in_queue = 0;
  bool found = false;
  ui.on_cleanup = [&] {
    MSG message;
    found = PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    left_in_queue = message.wParam;
  };
  ASSERT_TRUE(ui.StartWithLoop(kbase::kLoopUI));
  ui.message_loop()->proxy()->PostTask([] { PostQuitMessage(7); });
  WaitForSingleObject(ui.thread_handle(), kbase_test::kTestWaitMs);
  EXPECT_NE(ui.cleanup_thread, 0u);
  EXPECT_TRUE(found);
  EXPECT_EQ(left_in_queue, 7u);
  ui.Stop();
}

class StoppingDispatcher : public kbase::MessageDispatcher {
 public:
  bool Dispatch(const MSG& message) override {
    if (message.message == kPing) {
      ++pings;
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
  }
  int pings = 0;
};

TEST(WinUIMessagePumpDispatcher, DispatcherThatRefusesAMessageEndsTheRunWithoutAQuitMessage) {
  StoppingDispatcher dispatcher;
  bool quit_posted = true;
  HookedThread ui("dispatcher");
  std::unique_ptr<TestWindow> window;
  ui.on_init = [&] {
    window = std::make_unique<TestWindow>(nullptr);
    PostMessageW(window->hwnd(), kPing, 0, 0);
  };
  ui.on_cleanup = [&] {
    MSG message;
    quit_posted = PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    window.reset();
  };
  kbase_test::RunOnPlainThread([&] { ui.RunOnCurrentThread(kbase::kLoopUI, &dispatcher); });
  EXPECT_EQ(dispatcher.pings, 1);
  EXPECT_FALSE(quit_posted);
  EXPECT_NE(ui.cleanup_thread, 0u);
}

// The wake-up is posted by another thread while the pump's thread is busy elsewhere; when the
// post fails, wake_pending must not stay set, or no later post would ever wake the pump again.
TEST(WinUIMessagePump, FailedWakeUpPostLetsTheNextWakeUpPostAgain) {
  WinUIMessagePump pump;
  ASSERT_NE(pump.message_window(), nullptr);
  ASSERT_TRUE(DestroyWindow(pump.message_window()));
  pump.WakeUp();
  EXPECT_FALSE(pump.wake_up_pending());
  pump.WakeUp();
  EXPECT_FALSE(pump.wake_up_pending());
}

TEST(WinUIMessagePump, WakeUpDispatchedWhileNotRunningDoesNoWorkAndAllowsTheNextPost) {
  WinUIMessagePump pump;
  pump.WakeUp();
  EXPECT_TRUE(pump.wake_up_pending());
  pump.WakeUp();  // already pending: nothing more is posted
  int wake_ups = 0;
  MSG message;
  while (PeekMessageW(&message, pump.message_window(), 0, 0, PM_REMOVE)) {
    if (message.message == WinUIMessagePump::kWakeUpMessage)
      ++wake_ups;
    DispatchMessageW(&message);  // another loop dispatching the pump's messages
  }
  EXPECT_EQ(wake_ups, 1);
  EXPECT_FALSE(pump.wake_up_pending());
  pump.WakeUp();
  EXPECT_TRUE(pump.wake_up_pending());
  while (PeekMessageW(&message, pump.message_window(), 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
}

TEST(WinUIMessagePump, TimerPeriodIsRoundedUpAndKeptWithinTheSystemLimits) {
  const int64_t now = 1000000000;
  struct Case {
    int64_t wake_up;
    UINT period;
  } cases[] = {
      {now + 3000, 10},       {now + 45200, 46},   {now + 10000, 10},     {now + 10001, 11},
      {0, 10},                {now - 5000, 10},    {now, 10},
      {INT64_MAX, USER_TIMER_MAXIMUM},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WinUIMessagePump::TimerPeriodFor(c.wake_up, now), c.period) << c.wake_up - now;
}

// The UI pump's waits and timers on this thread, recorded and answered at once: a wait returns
// as if it had timed out, and no timer is really set, so no WM_TIMER can change the course of a
// test and no test waits on the clock.
struct RecordedTimer {
  HWND window;
  UINT_PTR id;
  UINT period;
  int64_t now;  // TickClock reading at the call
};

struct UIPumpCalls {
  std::vector<kbase_test::RecordedWait> waits;
  std::vector<RecordedTimer> timers;
};

UIPumpCalls* g_ui_pump_calls = nullptr;
const kbase_test::ScriptedPumpDelegate* g_ui_pump_script = nullptr;
DWORD g_ui_pump_thread = 0;
void* g_original_msg_wait = nullptr;
void* g_original_set_timer = nullptr;

DWORD WINAPI RecordUIPumpWait(DWORD count, const HANDLE* handles, DWORD timeout, DWORD wake_mask, DWORD flags) {
  if (GetCurrentThreadId() == g_ui_pump_thread && g_ui_pump_calls) {
    g_ui_pump_calls->waits.push_back(
        {g_ui_pump_script ? g_ui_pump_script->round() : 0, timeout, kbase::TickClock::Now()});
    return WAIT_TIMEOUT;
  }
  return reinterpret_cast<decltype(&MsgWaitForMultipleObjectsEx)>(g_original_msg_wait)(count, handles, timeout,
                                                                                       wake_mask, flags);
}

UINT_PTR WINAPI RecordUIPumpTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure) {
  if (GetCurrentThreadId() == g_ui_pump_thread && g_ui_pump_calls) {
    g_ui_pump_calls->timers.push_back({window, id, period, kbase::TickClock::Now()});
    return id;
  }
  return reinterpret_cast<decltype(&SetTimer)>(g_original_set_timer)(window, id, period, procedure);
}

// Installs both replacements for this thread while it lives.
class ScopedUIPumpRecorder {
 public:
  explicit ScopedUIPumpRecorder(const kbase_test::ScriptedPumpDelegate* script = nullptr)
      : wait_("user32.dll", "MsgWaitForMultipleObjectsEx", reinterpret_cast<void*>(&RecordUIPumpWait)),
        timer_("user32.dll", "SetTimer", reinterpret_cast<void*>(&RecordUIPumpTimer)) {
    g_original_msg_wait = wait_.original();
    g_original_set_timer = timer_.original();
    g_ui_pump_script = script;
    g_ui_pump_thread = GetCurrentThreadId();
    g_ui_pump_calls = &calls;
  }
  ~ScopedUIPumpRecorder() {
    g_ui_pump_calls = nullptr;
    g_ui_pump_thread = 0;
    g_ui_pump_script = nullptr;
  }
  bool installed() const { return wait_.installed() && timer_.installed(); }

  UIPumpCalls calls;

 private:
  kbase_test::ScopedImportPatch wait_;
  kbase_test::ScopedImportPatch timer_;
};

TEST(WinUIMessagePump, WaitsWithoutTimeOutWhenNothingIsDelayedAndNotAtAllForAPastWakeUpTime) {
  WinUIMessagePump pump;
  kbase_test::ScriptedPumpDelegate script(&pump, {kbase_test::ScriptedPumpDelegate::kNothingDelayed, -5000});
  ScopedUIPumpRecorder recorder(&script);
  ASSERT_TRUE(recorder.installed());
  pump.Run(&script);
  const std::vector<kbase_test::RecordedWait>& waits = recorder.calls.waits;
  ASSERT_EQ(waits.size(), 2u);
  EXPECT_EQ(waits[0].round, 1u);
  EXPECT_EQ(waits[0].timeout, INFINITE);
  EXPECT_EQ(waits[1].round, 2u);
  EXPECT_EQ(waits[1].timeout, 0u);
  // The past wake-up time still gets the timer, at the shortest period the system honours, so
  // that the task also runs inside a modal loop.
  ASSERT_EQ(recorder.calls.timers.size(), 1u);
  EXPECT_EQ(recorder.calls.timers[0].window, pump.message_window());
  EXPECT_EQ(recorder.calls.timers[0].id, reinterpret_cast<UINT_PTR>(&pump));
  EXPECT_EQ(recorder.calls.timers[0].period, 10u);
}

// A real UI loop on this thread: posting a delayed task makes the pump arm its timer for it.
TEST(WinUIMessagePump, ArmsItsTimerForADelayedTaskWithTheRoundedUpPeriod) {
  struct Case {
    int64_t delay_us;
    UINT period;
  } cases[] = {{45200, 46}, {3000, 10}, {10001, 11}, {250000, 250}};
  for (const Case& c : cases) {
    int exact = 0;
    for (int attempt = 0; attempt < 20 && exact == 0; ++attempt) {
      ScopedUIPumpRecorder recorder;
      ASSERT_TRUE(recorder.installed());
      kbase::UIMessageLoop loop;
      const int64_t posted_at = kbase::TickClock::Now();
      loop.PostDelayedTask([] {}, c.delay_us);
      loop.PostTask([&loop] { loop.QuitWhenIdle(); });
      loop.Run();
      EXPECT_TRUE(recorder.calls.waits.empty());
      ASSERT_EQ(recorder.calls.timers.size(), 1u) << c.delay_us;
      const RecordedTimer& timer = recorder.calls.timers[0];
      EXPECT_EQ(timer.window, loop.ui_pump()->message_window());
      EXPECT_EQ(timer.id, reinterpret_cast<UINT_PTR>(loop.ui_pump()));
      // Exact where the millisecond clock did not move between the post and the timer; the pump
      // read it in between.
      if (timer.now != posted_at)
        continue;
      EXPECT_EQ(timer.period, c.period) << c.delay_us;
      ++exact;
    }
    EXPECT_EQ(exact, 1) << c.delay_us;
  }
}

TEST(WinMessagePump, WaitIsUnboundedOnlyWithoutADelayedTaskAndNeverForAPastOne) {
  const int64_t now = 5000000;
  EXPECT_EQ(kbase::WinMessagePump::DelayMilliseconds(0, now), -1);
  EXPECT_EQ(kbase::WinMessagePump::DelayMilliseconds(now - 1, now), 0);
  EXPECT_EQ(kbase::WinMessagePump::DelayMilliseconds(now + 1500, now), 2);
  EXPECT_EQ(kbase::WinMessagePump::DelayMilliseconds(now + 2000, now), 2);
  EXPECT_EQ(kbase::WinMessagePump::WaitTimeFor(-1), INFINITE);
  EXPECT_EQ(kbase::WinMessagePump::WaitTimeFor(0), 0u);
  EXPECT_EQ(kbase::WinMessagePump::WaitTimeFor(250), 250u);
  EXPECT_EQ(kbase::WinMessagePump::WaitTimeFor(INFINITE), INFINITE - 1);
  EXPECT_EQ(kbase::WinMessagePump::WaitTimeFor(int64_t{1} << 40), INFINITE - 1);
  EXPECT_EQ(kbase::WinMessagePump::WaitTimeFor(INFINITE - 1), INFINITE - 1);
}

}  // namespace
