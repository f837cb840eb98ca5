#ifndef BASE_TICK_CLOCK_H_
#define BASE_TICK_CLOCK_H_

#include <windows.h>

#include <cstdint>

#include "base/critical_section.h"

namespace kbase {

// A monotonic clock in microseconds built on the 32-bit millisecond tick, which wraps every
// 49.7 days. Every wrap seen adds 2^32 ms to an offset kept beside the previous reading.
//
// The tick is read inside the lock: were it read outside, a thread holding an older reading could
// enter the lock after a newer one was stored and its reading would look like a wrap-around.
class TickClock {
 public:
  // Supplies the millisecond tick; timeGetTime unless a test injects its own.
  using TickSource = DWORD (*)();

  explicit TickClock(TickSource source = nullptr);
  TickClock(const TickClock&) = delete;
  TickClock& operator=(const TickClock&) = delete;

  // Microseconds since the tick source's zero, never decreasing. Any thread.
  int64_t Read();

  // The process-wide clock over timeGetTime. Any thread.
  static int64_t Now();

 private:
  TickSource source_;
  CriticalSection lock_;
  DWORD previous_ = 0;   // guarded by lock_
  int64_t offset_ = 0;   // milliseconds; guarded by lock_
};

// a + b for microsecond times, saturating at the int64 limits instead of overflowing.
int64_t SaturatingAdd(int64_t a, int64_t b);

}  // namespace kbase

#endif  // BASE_TICK_CLOCK_H_
