#ifndef TESTS_BASE_SCRIPTED_PUMP_DELEGATE_H_
#define TESTS_BASE_SCRIPTED_PUMP_DELEGATE_H_

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "base/message_pump.h"
#include "base/tick_clock.h"

namespace kbase_test {

// Plays the loop's part for a pump under test, so that the test decides which wake-up time the
// pump holds before each wait. Round k lasts from the k-th idle call to the next: in it,
// RunDelayedWork announces the next delayed task at the clock reading plus delays[k]
// microseconds, or no delayed task for kNothingDelayed. No task ever runs. At the idle call after
// the last round the delegate ends the run.
class ScriptedPumpDelegate : public kbase::MessagePump::Delegate {
 public:
  static constexpr int64_t kNothingDelayed = std::numeric_limits<int64_t>::min();
  static constexpr int64_t kNotSeen = -1;

  ScriptedPumpDelegate(kbase::MessagePump* pump, std::vector<int64_t> delays)
      : pump_(pump),
        delays_(std::move(delays)),
        announced_at_(delays_.size(), 0),
        held_at_start_(delays_.size() + 1, kNotSeen) {}

  bool RunWork() override { return false; }

  bool RunDelayedWork(int64_t& next_time) override {
    // What the pump kept from the round before, seen before this round writes anything.
    if (held_at_start_[round_] == kNotSeen)
      held_at_start_[round_] = next_time;
    if (round_ < delays_.size() && delays_[round_] != kNothingDelayed) {
      const int64_t now = kbase::TickClock::Now();
      announced_at_[round_] = now;
      next_time = now + delays_[round_];
    } else {
      next_time = 0;
    }
    return false;
  }

  bool RunIdleWork() override {
    if (round_ == delays_.size())
      pump_->Quit();
    else
      ++round_;
    return false;
  }

  // The round in progress; a wait that follows round k's idle call sees k + 1.
  size_t round() const { return round_; }
  // Clock reading of round k's (last) announcement.
  int64_t announced_at(size_t k) const { return announced_at_[k]; }
  // The wake-up time the pump passed in at round k's first RunDelayedWork.
  int64_t held_at_start(size_t k) const { return held_at_start_[k]; }

 private:
  kbase::MessagePump* pump_;
  std::vector<int64_t> delays_;
  std::vector<int64_t> announced_at_;
  std::vector<int64_t> held_at_start_;
  size_t round_ = 0;
};

// One wait of a pump, as an import replacement saw it.
struct RecordedWait {
  size_t round;     // ScriptedPumpDelegate::round() at the call
  DWORD timeout;    // milliseconds, INFINITE for none
  int64_t now;      // TickClock reading at the call
};

}  // namespace kbase_test

#endif  // TESTS_BASE_SCRIPTED_PUMP_DELEGATE_H_
