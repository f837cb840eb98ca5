#include "base/tick_clock.h"

#include <mmsystem.h>

#include <limits>

#include "base/system_library.h"

namespace kbase {

namespace {

// winmm's millisecond clock, bound from the system folder on first use (winmm is not a DLL that
// Windows always maps from there, so it is not imported). GetTickCount stands in should it be missing.
DWORD SystemTick() {
  static const auto time_get_time = GetSystemProc<decltype(&timeGetTime)>(L"winmm.dll", "timeGetTime");
  return time_get_time != nullptr ? time_get_time() : GetTickCount();
}

}  // namespace

TickClock::TickClock(TickSource source) : source_(source ? source : &SystemTick) {}

int64_t TickClock::Read() {
  AutoLock hold(lock_);
  const DWORD reading = source_();
  if (reading < previous_)
    offset_ += int64_t{1} << 32;
  previous_ = reading;
  return (static_cast<int64_t>(reading) + offset_) * 1000;
}

int64_t TickClock::Now() {
  // Never destroyed: threads still running while the process exits may read it.
  static TickClock* const clock = new TickClock();
  return clock->Read();
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  if (b > 0 && a > std::numeric_limits<int64_t>::max() - b)
    return std::numeric_limits<int64_t>::max();
  if (b < 0 && a < std::numeric_limits<int64_t>::min() - b)
    return std::numeric_limits<int64_t>::min();
  return a + b;
}

}  // namespace kbase
