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

// Threads post while the worker is being stopped and started again: a post either runs exactly
// once or is refused, never accepted and lost.
TEST(Stress, PostsRacingWithStopAreEitherRunOrRefused) {
  constexpr int kRounds = 20;
  constexpr int kPerRound = 500;
  std::atomic<int> accepted{0};
  std::atomic<int> executed{0};
  kbase_test::HookedThread worker("restart", kStressId + 1);
  for (int round = 0; round < kRounds; ++round) {
    ASSERT_TRUE(worker.Start());
    std::thread poster([&] {
      for (int i = 0; i < kPerRound; ++i) {
        if (ThreadRegistry::PostTask(kStressId + 1, [&] { ++executed; }))
          ++accepted;
      }
    });
    Sleep(round % 3);
    worker.Stop();
    poster.join();
  }
  // A post accepted after the final quit task can only be discarded with the loop; everything the
  // registry accepted before the loop's run ended has run.
  EXPECT_GT(executed.load(), 0);
  EXPECT_LE(executed.load(), accepted.load());
  EXPECT_LE(accepted.load() - executed.load(), kRounds * 2);
}

}  // namespace
