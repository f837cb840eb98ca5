#ifndef BASE_DEFAULT_MESSAGE_PUMP_H_
#define BASE_DEFAULT_MESSAGE_PUMP_H_

#include <windows.h>

#include <cstdint>

#include "base/message_pump.h"

namespace kbase {

// The portable pump: sleeps on an auto-reset event, or until the next delayed task is due.
class DefaultMessagePump : public MessagePump {
 public:
  DefaultMessagePump();
  ~DefaultMessagePump() override;

  void Run(Delegate* delegate) override;
  void Quit() override;
  void WakeUp() override;
  void SetWakeUpTime(const int64_t& time) override;

  // Milliseconds to wait for a wake-up time delay_us microseconds ahead: rounded up so a task is
  // never woken early, and clamped below INFINITE so a far-off task never means "wait forever".
  static DWORD WaitMillisecondsFor(int64_t delay_us);

 private:
  HANDLE event_;
  bool should_quit_ = false;
  int64_t wake_up_time_ = 0;
};

}  // namespace kbase

#endif  // BASE_DEFAULT_MESSAGE_PUMP_H_
