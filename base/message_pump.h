#ifndef BASE_MESSAGE_PUMP_H_
#define BASE_MESSAGE_PUMP_H_

#include <cstdint>

namespace kbase {

// Waits for work on behalf of a MessageLoop and calls it back to run that work.
class MessagePump {
 public:
  // Implemented by MessageLoop; called by the pump on the loop's thread only.
  class Delegate {
   public:
    virtual ~Delegate() = default;
    // Runs at most one immediate task. True when more work may be waiting.
    virtual bool RunWork() = 0;
    // Runs at most one due delayed task and writes the time (TickClock microseconds) the next
    // one is due to next_time, 0 when none. True when more work may be waiting.
    virtual bool RunDelayedWork(int64_t& next_time) = 0;
    // Runs deferred work or acts on a quit request once nothing else is waiting.
    virtual bool RunIdleWork() = 0;
  };

  virtual ~MessagePump() = default;
  // Runs until Quit; calls may nest, each Quit ends the innermost run.
  virtual void Run(Delegate* delegate) = 0;
  virtual void Quit() = 0;
  // Any thread: makes the pump call RunWork soon.
  virtual void WakeUp() = 0;
  // Loop thread only: the earliest delayed task is due at time (0 = none).
  virtual void SetWakeUpTime(const int64_t& time) = 0;
};

}  // namespace kbase

#endif  // BASE_MESSAGE_PUMP_H_
