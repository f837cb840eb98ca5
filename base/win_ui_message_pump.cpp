#include "base/win_ui_message_pump.h"

#include <algorithm>

#include "base/message_loop.h"
#include "base/tick_clock.h"

namespace kbase {

namespace {

// The code CallMsgFilter hooks see for messages of this pump.
constexpr int kMessageFilterCode = 0x5001;
// The system timer does not honour shorter periods.
constexpr UINT kMinimumTimerPeriodMs = 10;

HINSTANCE ExecutableInstance() { return GetModuleHandleW(nullptr); }

bool RegisterPumpWindowClass(WNDPROC procedure) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ExecutableInstance();
  window_class.lpszClassName = WinUIMessagePump::kWindowClassName;
  return RegisterClassExW(&window_class) != 0;
}

HWND CreatePumpWindow() {
  return CreateWindowExW(0, WinUIMessagePump::kWindowClassName, nullptr, 0, 0, 0, 0, 0,
                         HWND_MESSAGE, nullptr, ExecutableInstance(), nullptr);
}

}  // namespace

const wchar_t WinUIMessagePump::kWindowClassName[] = L"BrimsetMessagePumpWindow";

WinUIMessagePump::WinUIMessagePump() {
  // A pump on another thread may already have registered the class; that registration is reused.
  RegisterPumpWindowClass(&WindowProc);
  message_window_ = CreatePumpWindow();
  if (!message_window_) {
    // Another thread's pump may have unregistered the class between our registration and the
    // window's creation.
    RegisterPumpWindowClass(&WindowProc);
    message_window_ = CreatePumpWindow();
  }
  // The window finds its pump here, never through a message parameter: any process on the desktop
  // can post to the window.
  if (message_window_)
    SetWindowLongPtrW(message_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinUIMessagePump::~WinUIMessagePump() {
  if (message_window_) {
    SetWindowLongPtrW(message_window_, GWLP_USERDATA, 0);
    DestroyWindow(message_window_);
  }
  // Fails harmlessly while another thread's pump still has its window.
  UnregisterClassW(kWindowClassName, ExecutableInstance());
}

void WinUIMessagePump::WakeUp() {
  if (wake_pending_.exchange(1) != 0)
    return;  // one wake-up in flight is enough
  PostWakeUpMessage();
}

void WinUIMessagePump::PostWakeUpMessage() {
  if (!PostMessageW(message_window_, kWakeUpMessage, reinterpret_cast<WPARAM>(this), 0))
    wake_pending_.store(0);
}

UINT WinUIMessagePump::TimerPeriodFor(int64_t wake_up_time, int64_t now) {
  if (wake_up_time == 0)
    return kMinimumTimerPeriodMs;
  const int64_t delay = std::max<int64_t>(DelayMilliseconds(wake_up_time, now), 0);
  // SetTimer takes at most USER_TIMER_MAXIMUM; a timer that fires early only re-arms itself.
  const int64_t period =
      std::min<int64_t>(std::max<int64_t>(delay, kMinimumTimerPeriodMs), USER_TIMER_MAXIMUM);
  return static_cast<UINT>(period);
}

void WinUIMessagePump::SetWakeUpTime(const int64_t& time) {
  wake_up_time_ = time;
  const UINT period = TimerPeriodFor(time, time != 0 ? TickClock::Now() : 0);
  timer_armed_ = SetTimer(message_window_, timer_id(), period, nullptr) != 0;
}

void WinUIMessagePump::NotifyBeforeMessage(const MSG& message) {
  ui_observers_.Notify([&message](UIObserver* o) { o->OnBeforeMessage(&message); });
}

void WinUIMessagePump::NotifyAfterMessage(const MSG& message) {
  ui_observers_.Notify([&message](UIObserver* o) { o->OnAfterMessage(&message); });
}

void WinUIMessagePump::PumpLoop() {
  for (;;) {
    bool more = ProcessNextWindowMessage();
    if (ShouldQuit())
      break;
    more |= frame_->delegate->RunWork();
    if (ShouldQuit())
      break;
    more |= frame_->delegate->RunDelayedWork(wake_up_time_);
    if (more && wake_up_time_ == 0) {
      // No delayed task is pending: the timer is not needed.
      KillTimer(message_window_, timer_id());
      timer_armed_ = false;
    } else if (wake_up_time_ != 0 && !timer_armed_) {
      SetWakeUpTime(wake_up_time_);
    }
    if (ShouldQuit())
      break;
    if (more)
      continue;
    more = frame_->delegate->RunIdleWork();
    if (ShouldQuit())
      break;
    if (more)
      continue;

    const DWORD result = MsgWaitForMultipleObjectsEx(0, nullptr, CurrentWaitTime(), QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    if (result == WAIT_OBJECT_0) {
      // Mouse input for another thread's window with attached input makes the wait return at once,
      // over and over, although this thread can read none of it.
      MSG message;
      if ((HIWORD(GetQueueStatus(QS_MOUSE)) & QS_MOUSE) &&
          !PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE))
        WaitMessage();
    }
  }
}

bool WinUIMessagePump::ProcessNextWindowMessage() {
  const DWORD status = GetQueueStatus(QS_SENDMESSAGE);
  MSG message;
  if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    return ProcessMessage(message);
  // Sent messages were delivered inside the peek: look again before sleeping.
  return (HIWORD(status) & QS_SENDMESSAGE) != 0;
}

bool WinUIMessagePump::IsOwnWakeUp(const MSG& message) const {
  return message.hwnd == message_window_ && message.message == kWakeUpMessage &&
         message.wParam == reinterpret_cast<WPARAM>(this);
}

bool WinUIMessagePump::ProcessMessage(const MSG& message) {
  if (message.message == WM_QUIT) {
    frame_->should_quit = true;
    // An enclosing run (or a modal loop of Windows around this run) must end too.
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (IsOwnWakeUp(message))
    return ProcessPumpReplacementMessage();
  MSG copy = message;
  if (CallMsgFilterW(&copy, kMessageFilterCode))
    return true;
  NotifyBeforeMessage(message);
  if (frame_->dispatcher) {
    if (!frame_->dispatcher->Dispatch(message))
      frame_->should_quit = true;
  } else {
    TranslateMessage(&copy);
    DispatchMessageW(&copy);
  }
  NotifyAfterMessage(message);
  return true;
}

// The wake-up message is replaced by the next message in the queue, so that a steady stream of
// wake-ups cannot starve painting and input.
bool WinUIMessagePump::ProcessPumpReplacementMessage() {
  MSG message;
  bool have_message;
  MessageLoop* loop = MessageLoop::Current();
  if (loop && loop->in_modal_loop()) {
    have_message = PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) ||
                   PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE);
  } else {
    have_message = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
  }
  // Cleared before any queued work is looked at: a post racing with this posts a new wake-up.
  wake_pending_.store(0);
  if (!have_message)
    return false;
  // The message may lead into a modal loop; the new wake-up keeps work running there.
  WakeUp();
  return ProcessMessage(message);
}

void WinUIMessagePump::HandleWakeUpMessage() {
  if (!frame_) {
    // Dispatched by some other loop while this pump is not running: no work, but let the next
    // WakeUp post again.
    wake_pending_.store(0);
    return;
  }
  ProcessPumpReplacementMessage();
  if (frame_->delegate->RunWork())
    WakeUp();
}

void WinUIMessagePump::HandleTimerMessage() {
  KillTimer(message_window_, timer_id());
  timer_armed_ = false;
  if (!frame_)
    return;
  frame_->delegate->RunDelayedWork(wake_up_time_);
  if (wake_up_time_ != 0)
    SetWakeUpTime(wake_up_time_);
}

LRESULT CALLBACK WinUIMessagePump::WindowProc(HWND window, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  auto* pump = reinterpret_cast<WinUIMessagePump*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (pump) {
    // Messages whose word parameter is not this pump's own are someone else's: ignored.
    if (message == WM_TIMER && wparam == pump->timer_id())
      pump->HandleTimerMessage();
    else if (message == kWakeUpMessage && wparam == reinterpret_cast<WPARAM>(pump))
      pump->HandleWakeUpMessage();
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kbase
