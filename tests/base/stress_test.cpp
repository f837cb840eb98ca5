// Several threads post a bounded number of tasks of every kind to a worker at once; every task
// must run exactly once and each poster's immediate tasks in its own order.
#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/thread_registry.h"
#include "tests/base/base_test_util.h"

namespace {

using kbase::ThreadRegistry;

constexpr int kStressId = 401;
constexpr int kPosters = 4;
constexpr int kPerPoster = 20000;
constexpr int kTotal = kPosters * kPerPoster;

TEST(Stress, EveryTaskFromSeveralPostersRunsExactlyOnce) {
  kbase_test::HookedThread worker("stress", kStressId);
  ASSERT_TRUE(worker.Start());

  std::unique_ptr<std::atomic<int>[]> runs(new std::atomic<int>[kTotal]);
  for (int i = 0; i < kTotal; ++i)
    runs[i] = 0;
  std::atomic<int> finished{0};
  std::atomic<int> refused{0};
  std::vector<int> last_immediate(kPosters, -1);  // worker thread only
  std::atomic<int> out_of_order{0};
  kbase_test::ScopedEvent all_ran;

  auto ran = [&](int index) {
    runs[index].fetch_add(1);
    if (finished.fetch_add(1) + 1 == kTotal)
      all_ran.Set();
  };

  std::vector<std::thread> posters;
  for (int p = 0; p < kPosters; ++p) {
    posters.emplace_back([&, p] {
      for (int i = 0; i < kPerPoster; ++i) {
        const int index = p * kPerPoster + i;
        bool ok = false;
        switch (i % 4) {
          case 0:
          case 1:
            ok = ThreadRegistry::PostTask(kStressId, [&, p, i, index] {
              if (i < last_immediate[p])
                ++out_of_order;
              last_immediate[p] = i;
              ran(index);
            });
            break;
          case 2:
            ok = ThreadRegistry::PostNonNestableTask(kStressId, [&, index] { ran(index); });
            break;
          case 3:
            ok = ThreadRegistry::PostDelayedTask(kStressId, [&, index] { ran(index); },
                                                 (i % 3) * 1000);
            break;
        }
        if (!ok)
          ++refused;
        if (i % 1000 == 0)
          Sleep(0);
      }
    });
  }
  for (auto& poster : posters)
    poster.join();
  ASSERT_EQ(refused.load(), 0);
  ASSERT_TRUE(all_ran.Wait(60000)) << finished.load() << " of " << kTotal << " ran";
  worker.Stop();

  int never = 0;
  int twice = 0;
  for (int i = 0; i < kTotal; ++i) {
    if (runs[i] == 0)
      ++never;
    if (runs[i] > 1)
      ++twice;
  }
  EXPECT_EQ(never, 0);
  EXPECT_EQ(twice, 0);
  EXPECT_EQ(finished.load(), kTotal);
  EXPECT_EQ(out_of_order.load(), 0);
}

// A thread posts while the worker is being stopped, over and over: a post either runs exactly
// once or is refused, never accepted and lost. The rounds order only what the framework orders:
// the posts made before Stop was called precede its quit task and must all run; posts racing with
// Stop may run or be discarded with the loop; once Stop has returned, every post is refused.
TEST(Stress, PostsRacingWithStopAreEitherRunOrRefused) {
  constexpr int kRounds = 20;
  constexpr int kBeforeStop = 200;
  constexpr int kMaxRacing = 200000;
  kbase_test::HookedThread worker("restart", kStressId + 1);
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_TRUE(worker.Start());
    std::atomic<int> executed{0};
    int accepted_before = 0;
    int accepted_racing = 0;
    kbase_test::ScopedEvent posted;
    std::thread poster([&] {
      for (int i = 0; i < kBeforeStop; ++i) {
        if (ThreadRegistry::PostTask(kStressId + 1, [&] { ++executed; }))
          ++accepted_before;
      }
      posted.Set();
      // Until the registry refuses, which it does once the loop has ended.
      for (int i = 0; i < kMaxRacing; ++i) {
        if (!ThreadRegistry::PostTask(kStressId + 1, [&] { ++executed; }))
          break;
        ++accepted_racing;
      }
    });
    const bool ready = posted.Wait(30000);
    worker.Stop();
    poster.join();
    ASSERT_TRUE(ready) << "round " << round;
    EXPECT_FALSE(ThreadRegistry::PostTask(kStressId + 1, [&] { ++executed; })) << "round " << round;
    ASSERT_EQ(accepted_before, kBeforeStop) << "round " << round;
    EXPECT_GE(executed.load(), kBeforeStop) << "round " << round;
    EXPECT_LE(executed.load(), kBeforeStop + accepted_racing) << "round " << round;
  }
}

}  // namespace
