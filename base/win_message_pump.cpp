#include "base/win_message_pump.h"

#include "base/tick_clock.h"

namespace kbase {

void WinMessagePump::Run(Delegate* delegate) { RunWithDispatcher(delegate, nullptr); }

void WinMessagePump::RunWithDispatcher(Delegate* delegate, MessageDispatcher* dispatcher) {
  PumpFrame frame;
  frame.depth = frame_ ? frame_->depth + 1 : 1;
  frame.delegate = delegate;
  frame.dispatcher = dispatcher;
  PumpFrame* const previous = frame_;
  frame_ = &frame;
  PumpLoop();
  frame_ = previous;
}

void WinMessagePump::Quit() {
  if (frame_)
    frame_->should_quit = true;
}

int64_t WinMessagePump::DelayMilliseconds(int64_t wake_up_time, int64_t now) {
  if (wake_up_time == 0)
    return -1;
  const int64_t delay = SaturatingAdd(wake_up_time, now == INT64_MIN ? INT64_MAX : -now);
  if (delay <= 0)
    return 0;
  return delay / 1000 + (delay % 1000 != 0 ? 1 : 0);
}

DWORD WinMessagePump::WaitTimeFor(int64_t delay_ms) {
  if (delay_ms == -1)
    return INFINITE;
  if (delay_ms < 0)
    return 0;
  if (delay_ms >= static_cast<int64_t>(INFINITE))
    return INFINITE - 1;
  return static_cast<DWORD>(delay_ms);
}

int64_t WinMessagePump::CurrentDelay() const {
  if (wake_up_time_ == 0)
    return -1;
  return DelayMilliseconds(wake_up_time_, TickClock::Now());
}

}  // namespace kbase
