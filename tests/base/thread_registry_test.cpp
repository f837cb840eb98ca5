#include "base/thread_registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/base/base_test_util.h"

namespace {

using kbase::ThreadRegistry;
using kbase_test::HookedThread;
using kbase_test::ScopedEvent;

enum : int {
  kSharedId = 301,
  kTwiceId,
  kSecondId,
};

// Runs f on the worker's thread and waits for it.
template <class F>
void RunOn(HookedThread& worker, F f) {
  ScopedEvent done;
  ASSERT_TRUE(worker.message_loop()->proxy()->PostTask([&] {
    f();
    done.Set();
  }));
  ASSERT_TRUE(done.Wait());
}

TEST(ThreadRegistry, RefusesNegativeIdentifiersAndThreadsWithoutAFrameworkBody) {
  EXPECT_FALSE(ThreadRegistry::RegisterCurrentThread(5));  // the test's own thread
  EXPECT_FALSE(ThreadRegistry::UnregisterCurrentThread());
  HookedThread worker("negative");
  ASSERT_TRUE(worker.Start());
  bool negative = true;
  bool unregister_nothing = true;
  RunOn(worker, [&] {
    negative = ThreadRegistry::RegisterCurrentThread(-1);
    unregister_nothing = ThreadRegistry::UnregisterCurrentThread();
  });
  EXPECT_FALSE(negative);
  EXPECT_FALSE(unregister_nothing);
}

TEST(ThreadRegistry, AnIdentifierHeldByOneThreadIsRefusedToAnother) {
  HookedThread first("first", kSharedId);
  HookedThread second("second", kSharedId);
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(second.Start());
  EXPECT_TRUE(first.registered);
  EXPECT_FALSE(second.registered);
  DWORD ran_on = 0;
  ScopedEvent done;
  ASSERT_TRUE(ThreadRegistry::PostTask(kSharedId, [&] {
    ran_on = GetCurrentThreadId();
    done.Set();
  }));
  ASSERT_TRUE(done.Wait());
  EXPECT_EQ(ran_on, first.thread_id());
}

TEST(ThreadRegistry, TwoRegistrationsNeedTwoUnregistrations) {
  HookedThread worker("twice");
  ASSERT_TRUE(worker.Start());
  bool results[4] = {};
  RunOn(worker, [&] {
    results[0] = ThreadRegistry::RegisterCurrentThread(kTwiceId);
    results[1] = ThreadRegistry::RegisterCurrentThread(kTwiceId);
    results[2] = ThreadRegistry::UnregisterCurrentThread();
  });
  EXPECT_TRUE(results[0] && results[1] && results[2]);
  EXPECT_TRUE(ThreadRegistry::PostTask(kTwiceId, [] {}));
  RunOn(worker, [&] { results[3] = ThreadRegistry::UnregisterCurrentThread(); });
  EXPECT_TRUE(results[3]);
  EXPECT_FALSE(ThreadRegistry::PostTask(kTwiceId, [] {}));
}

TEST(ThreadRegistry, UnknownIdentifierIsRefusedAndTheTaskIsNotRun) {
  bool ran = false;
  EXPECT_FALSE(ThreadRegistry::PostTask(9999, [&] { ran = true; }));
  EXPECT_FALSE(ThreadRegistry::PostDelayedTask(9999, [&] { ran = true; }, 10));
  EXPECT_FALSE(ThreadRegistry::PostNonNestableTask(9999, [&] { ran = true; }));
  EXPECT_FALSE(ThreadRegistry::PostNonNestableDelayedTask(9999, [&] { ran = true; }, 0));
  EXPECT_FALSE(ran);
}

TEST(ThreadRegistry, DelayedPostRunsOnTheRegisteredThreadNoEarlierThanAsked) {
  HookedThread worker("delayed", kSecondId);
  ASSERT_TRUE(worker.Start());
  ScopedEvent done;
  const DWORD posted = GetTickCount();
  DWORD ran = 0;
  ASSERT_TRUE(ThreadRegistry::PostDelayedTask(kSecondId, [&] {
    ran = GetTickCount();
    done.Set();
  }, 50 * 1000));
  ASSERT_TRUE(done.Wait());
  // GetTickCount may tick a little coarser than the loop's clock.
  EXPECT_GE(ran - posted, 40u);
}

}  // namespace
