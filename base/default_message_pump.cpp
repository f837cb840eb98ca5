#include "base/default_message_pump.h"

#include "base/tick_clock.h"

namespace kbase {

DefaultMessagePump::DefaultMessagePump() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

DefaultMessagePump::~DefaultMessagePump() {
  if (event_)
    CloseHandle(event_);
}

DWORD DefaultMessagePump::WaitMillisecondsFor(int64_t delay_us) {
  if (delay_us <= 0)
    return 0;
  // Integer ceil(delay / 1000), without the overflow of adding 999 to a huge delay.
  const int64_t ms = delay_us / 1000 + (delay_us % 1000 != 0 ? 1 : 0);
  if (ms >= static_cast<int64_t>(INFINITE))
    return INFINITE - 1;
  return static_cast<DWORD>(ms);
}

void DefaultMessagePump::Run(Delegate* delegate) {
  for (;;) {
    bool more = delegate->RunWork();
    if (should_quit_)
      break;
    more |= delegate->RunDelayedWork(wake_up_time_);
    if (should_quit_)
      break;
    if (more)
      continue;
    more = delegate->RunIdleWork();
    if (should_quit_)
      break;
    if (more)
      continue;

    if (wake_up_time_ == 0) {
      WaitForSingleObject(event_, INFINITE);
    } else {
      const int64_t delay = wake_up_time_ - TickClock::Now();
      if (delay > 0)
        WaitForSingleObject(event_, WaitMillisecondsFor(delay));
      else
        wake_up_time_ = 0;
    }
  }
  should_quit_ = false;
}

void DefaultMessagePump::Quit() { should_quit_ = true; }

void DefaultMessagePump::WakeUp() { SetEvent(event_); }

void DefaultMessagePump::SetWakeUpTime(const int64_t& time) { wake_up_time_ = time; }

}  // namespace kbase
