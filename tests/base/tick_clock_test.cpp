#include "base/tick_clock.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr int64_t kWrapMs = int64_t{1} << 32;

// Scripted tick readings for one clock at a time.
std::vector<DWORD> g_script;
size_t g_script_pos = 0;
DWORD ScriptedTick() { return g_script[g_script_pos++ % g_script.size()]; }

// A tick that moves forward on every reading, from any thread.
std::atomic<DWORD> g_counter{0};
DWORD CountingTick() { return g_counter.fetch_add(1) + 1; }

TEST(TickClock, AddsOneWrapWhenTheTickGoesBackwards) {
  g_script = {0xFFFFFFF0u, 0xFFFFFFFFu, 0x5u, 0x10u};
  g_script_pos = 0;
  kbase::TickClock clock(&ScriptedTick);
  EXPECT_EQ(clock.Read(), int64_t{0xFFFFFFF0} * 1000);
  EXPECT_EQ(clock.Read(), int64_t{0xFFFFFFFF} * 1000);
  EXPECT_EQ(clock.Read(), (kWrapMs + 5) * 1000);
  EXPECT_EQ(clock.Read(), (kWrapMs + 0x10) * 1000);
}

TEST(TickClock, KeepsIncreasingAcrossSeveralWraps) {
  g_script = {0x80000000u, 0xF0000000u, 0x10u, 0x90000000u, 0x20u};
  g_script_pos = 0;
  kbase::TickClock clock(&ScriptedTick);
  int64_t previous = -1;
  for (size_t i = 0; i < g_script.size(); ++i) {
    const int64_t now = clock.Read();
    EXPECT_GT(now, previous) << "reading " << i;
    previous = now;
  }
  EXPECT_EQ(previous, (2 * kWrapMs + 0x20) * 1000);
}

// Each reading of the source is larger than every reading before it, so no reading is a wrap.
// Were the tick read before taking the lock, a thread could store an older reading after a newer
// one and the next caller would add 49.7 days.
TEST(TickClock, ConcurrentReadersNeverSeeASpuriousWrap) {
  g_counter = 0;
  kbase::TickClock clock(&CountingTick);
  constexpr int kThreads = 4;
  constexpr int kReads = 50000;
  std::atomic<int> spurious{0};
  std::atomic<int> backwards{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      int64_t previous = 0;
      for (int i = 0; i < kReads; ++i) {
        const int64_t now = clock.Read();
        if (now >= kWrapMs * 1000)
          ++spurious;
        if (now < previous)
          ++backwards;
        previous = now;
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(spurious.load(), 0);
  EXPECT_EQ(backwards.load(), 0);
  EXPECT_EQ(clock.Read(), (int64_t{kThreads} * kReads + 1) * 1000);
}

TEST(TickClock, ProcessClockFollowsTheSystemTick) {
  const int64_t before = kbase::TickClock::Now();
  Sleep(30);
  const int64_t after = kbase::TickClock::Now();
  EXPECT_GE(after - before, 20 * 1000);
  EXPECT_LT(after - before, 5000 * 1000);
}

TEST(TickClock, SaturatingAddClampsInsteadOfOverflowing) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  struct Case {
    int64_t a, b, sum;
  } cases[] = {
      {5, 7, 12},         {kMax - 1, 1, kMax}, {kMax - 1, 2, kMax}, {1000, kMax, kMax},
      {-5, kMin, kMin},   {0, kMin, kMin},     {kMin + 3, -4, kMin}, {10, -20, -10},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kbase::SaturatingAdd(c.a, c.b), c.sum) << c.a << " + " << c.b;
}

}  // namespace
