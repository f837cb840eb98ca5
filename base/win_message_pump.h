#ifndef BASE_WIN_MESSAGE_PUMP_H_
#define BASE_WIN_MESSAGE_PUMP_H_

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "base/message_dispatcher.h"
#include "base/message_pump.h"

namespace kbase {

// One active run of a Windows pump, on the running thread's stack.
struct PumpFrame {
  int depth = 1;
  bool should_quit = false;
  MessagePump::Delegate* delegate = nullptr;
  MessageDispatcher* dispatcher = nullptr;
};

// Common part of the Windows pumps: nested runs, the wake-up time and the one-wake-up-in-flight
// flag.
class WinMessagePump : public MessagePump {
 public:
  void Run(Delegate* delegate) override;
  // As Run, with the window messages of this run handed to dispatcher.
  void RunWithDispatcher(Delegate* delegate, MessageDispatcher* dispatcher);
  void Quit() override;

  // True while a wake-up message or packet is in flight.
  bool wake_up_pending() const { return wake_pending_.load() != 0; }
  int run_depth() const { return frame_ ? frame_->depth : 0; }

  // Milliseconds until wake_up_time (rounded up, 0 when past), or -1 when wake_up_time is 0.
  static int64_t DelayMilliseconds(int64_t wake_up_time, int64_t now);
  // A system wait time for such a delay: -1 waits forever, anything else stays below INFINITE.
  static DWORD WaitTimeFor(int64_t delay_ms);

 protected:
  WinMessagePump() = default;

  virtual void PumpLoop() = 0;
  int64_t CurrentDelay() const;
  DWORD CurrentWaitTime() const { return WaitTimeFor(CurrentDelay()); }
  bool ShouldQuit() const { return frame_->should_quit; }

  int64_t wake_up_time_ = 0;            // loop thread only
  std::atomic<LONG> wake_pending_{0};   // any thread
  PumpFrame* frame_ = nullptr;          // loop thread only
};

}  // namespace kbase

#endif  // BASE_WIN_MESSAGE_PUMP_H_
