#ifndef BASE_WIN_UI_MESSAGE_PUMP_H_
#define BASE_WIN_UI_MESSAGE_PUMP_H_

#include <windows.h>

#include <cstdint>

#include "base/observer_list.h"
#include "base/win_message_pump.h"

namespace kbase {

// The pump of a UI thread: interleaves the thread's window messages with the loop's work. It wakes
// itself with a message to a hidden message-only window and keeps one window timer for delayed
// tasks, so tasks and delayed tasks keep running while Windows runs a modal loop of its own (a
// message box, a menu, a dialog), which dispatches those messages to the window.
class WinUIMessagePump : public WinMessagePump {
 public:
  class UIObserver {
   public:
    virtual ~UIObserver() = default;
    virtual void OnBeforeMessage(const MSG* message) = 0;
    virtual void OnAfterMessage(const MSG* message) = 0;
  };

  // Posted to the message window; the word parameter is the pump's address, which is also the
  // identifier of its timer.
  static constexpr UINT kWakeUpMessage = WM_USER + 1;
  static const wchar_t kWindowClassName[];

  // Creates the message window on the calling thread, which becomes the pump's thread.
  WinUIMessagePump();
  ~WinUIMessagePump() override;

  void WakeUp() override;
  // Arms the window timer for the earliest delayed task.
  void SetWakeUpTime(const int64_t& time) override;

  void AddUIObserver(UIObserver* observer) { ui_observers_.AddObserver(observer); }
  void RemoveUIObserver(UIObserver* observer) { ui_observers_.RemoveObserver(observer); }

  HWND message_window() const { return message_window_; }

  // The timer period for a wake-up time: rounded-up milliseconds until then, at least the 10 ms
  // the system timer honours (also when there is no time), at most the longest period SetTimer
  // takes.
  static UINT TimerPeriodFor(int64_t wake_up_time, int64_t now);

 protected:
  void PumpLoop() override;
  virtual void NotifyBeforeMessage(const MSG& message);
  virtual void NotifyAfterMessage(const MSG& message);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  UINT_PTR timer_id() const { return reinterpret_cast<UINT_PTR>(this); }
  bool IsOwnWakeUp(const MSG& message) const;
  bool ProcessNextWindowMessage();
  bool ProcessMessage(const MSG& message);
  bool ProcessPumpReplacementMessage();
  void HandleWakeUpMessage();
  void HandleTimerMessage();
  // Posts the wake-up message; when that fails, clears wake_pending so that the next WakeUp posts
  // again instead of leaving the work to wait for unrelated input.
  void PostWakeUpMessage();

  HWND message_window_ = nullptr;
  // Whether the delayed-work timer is set; lets the pump re-arm it after a timer message was
  // handled while a task ran (and so could not run delayed work).
  bool timer_armed_ = false;
  ObserverList<UIObserver> ui_observers_;
};

}  // namespace kbase

#endif  // BASE_WIN_UI_MESSAGE_PUMP_H_
