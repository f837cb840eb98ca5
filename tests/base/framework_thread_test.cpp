#include "base/framework_thread.h"

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/message_loop_proxy.h"
#include "base/thread_registry.h"
#include "tests/base/base_test_util.h"

namespace {

using kbase::ThreadRegistry;
using kbase_test::HookedThread;
using kbase_test::ScopedEvent;

// Identifiers of this file; each test uses its own so that a failure cannot leak into another.
enum : int {
  kStartId = 201,
  kOrderId,
  kStopId,
  kCleanupId,
  kTerminateId,
  kSelfStopId,
  kDestroyId,
  kRunHereId,
};

TEST(FrameworkThread, StartReturnsOnlyAfterTheThreadRegisteredInInit) {
  HookedThread worker("slow init", kStartId);
  worker.on_init = [] { Sleep(150); };
  EXPECT_FALSE(ThreadRegistry::PostTask(kStartId, [] {}));
  ASSERT_TRUE(worker.Start());
  EXPECT_TRUE(worker.registered);
  EXPECT_NE(worker.message_loop(), nullptr);
  ScopedEvent ran;
  EXPECT_TRUE(ThreadRegistry::PostTask(kStartId, [&] { ran.Set(); }));
  EXPECT_TRUE(ran.Wait());
  EXPECT_EQ(worker.init_thread, worker.thread_id());
}

TEST(FrameworkThread, TaskPostedToAnIdentifierRunsOnThatThreadAfterEarlierOnes) {
  HookedThread worker("order", kOrderId);
  ASSERT_TRUE(worker.Start());
  std::vector<int> order;
  std::vector<DWORD> threads;
  ScopedEvent done;
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(ThreadRegistry::PostTask(kOrderId, [&, i] {
      order.push_back(i);
      threads.push_back(GetCurrentThreadId());
      if (i == 99)
        done.Set();
    }));
  }
  ASSERT_TRUE(done.Wait());
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(order[i], i);
    EXPECT_EQ(threads[i], worker.init_thread);
  }
  EXPECT_FALSE(ThreadRegistry::BelongsToThread(kOrderId));
}

TEST(FrameworkThread, StopRunsEarlierTasksThenCleanupOnTheWorkerAndEndsTheThread) {
  HookedThread worker("stop", kStopId);
  ASSERT_TRUE(worker.Start());
  std::atomic<int> ran{0};
  ScopedEvent release;
  // The first task holds the worker so that the others are still queued when Stop is called.
  ThreadRegistry::PostTask(kStopId, [&] { release.Wait(); });
  for (int i = 0; i < 50; ++i)
    ThreadRegistry::PostTask(kStopId, [&] { ++ran; });
  const DWORD worker_id = worker.thread_id();
  release.Set();
  worker.Stop();
  EXPECT_EQ(ran.load(), 50);
  EXPECT_EQ(worker.cleanup_thread, worker_id);
  EXPECT_EQ(worker.thread_handle(), nullptr);
  EXPECT_EQ(worker.message_loop(), nullptr);
  EXPECT_FALSE(worker.started());
  EXPECT_FALSE(ThreadRegistry::PostTask(kStopId, [] {}));
}

TEST(FrameworkThread, StopOnANeverStartedThreadDoesNothing) {
  HookedThread worker("idle");
  worker.Stop();
  EXPECT_FALSE(worker.started());
  EXPECT_EQ(worker.cleanup_thread, 0u);
}

TEST(FrameworkThread, SecondStartWhileTheLoopExistsFailsAndRestartAfterStopWorks) {
  HookedThread worker("twice");
  ASSERT_TRUE(worker.Start());
  EXPECT_FALSE(worker.Start());
  worker.Stop();
  ASSERT_TRUE(worker.Start());
  worker.Stop();
  EXPECT_NE(worker.cleanup_thread, 0u);
}

// Once the loop's last run has ended the thread is "ending": posts must be refused, not accepted
// into a queue that is only going to be discarded.
TEST(FrameworkThread, PostingToAThreadInItsCleanupReturnsFalse) {
  HookedThread worker("cleanup", kCleanupId);
  ScopedEvent in_cleanup;
  ScopedEvent leave_cleanup;
  worker.on_cleanup = [&] {
    in_cleanup.Set();
    leave_cleanup.Wait();
  };
  ASSERT_TRUE(worker.Start());
  std::thread stopper([&worker] { worker.Stop(); });
  ASSERT_TRUE(in_cleanup.Wait());
  bool ran = false;
  EXPECT_FALSE(ThreadRegistry::PostTask(kCleanupId, [&] { ran = true; }));
  leave_cleanup.Set();
  stopper.join();
  EXPECT_FALSE(ran);
}

TEST(FrameworkThread, TerminateThenStopEndsPromptlyAndNothingPostsToTheDeadLoop) {
  auto worker = std::make_unique<HookedThread>("killed", kTerminateId);
  ASSERT_TRUE(worker->Start());
  ScopedEvent running;
  ScopedEvent never;
  ThreadRegistry::PostTask(kTerminateId, [&] {
    running.Set();
    never.Wait(INFINITE);
  });
  ASSERT_TRUE(running.Wait());
  const DWORD start = GetTickCount();
  EXPECT_TRUE(worker->Terminate());
  worker->Stop();
  EXPECT_LT(GetTickCount() - start, 1500u);
  EXPECT_EQ(worker->thread_handle(), nullptr);
  EXPECT_FALSE(worker->started());
  EXPECT_EQ(worker->cleanup_thread, 0u);
  EXPECT_FALSE(ThreadRegistry::PostTask(kTerminateId, [] {}));
  worker.reset();
  EXPECT_FALSE(ThreadRegistry::PostTask(kTerminateId, [] {}));
}

TEST(FrameworkThread, StopCalledOnTheThreadItselfOnlyEndsItsLoop) {
  HookedThread worker("self", kSelfStopId);
  ASSERT_TRUE(worker.Start());
  ScopedEvent returned;
  ThreadRegistry::PostTask(kSelfStopId, [&] {
    worker.Stop();
    returned.Set();
  });
  ASSERT_TRUE(returned.Wait());
  worker.Stop();  // the owner joins it
  EXPECT_NE(worker.cleanup_thread, 0u) << "the thread ended without its Cleanup";
  EXPECT_EQ(worker.thread_handle(), nullptr);
}

TEST(FrameworkThread, DestroyingTheObjectStopsTheThreadAndForgetsItsRegistration) {
  auto worker = std::make_unique<HookedThread>("destroyed", kDestroyId);
  ASSERT_TRUE(worker->Start());
  EXPECT_TRUE(ThreadRegistry::PostTask(kDestroyId, [] {}));
  worker.reset();
  EXPECT_FALSE(ThreadRegistry::PostTask(kDestroyId, [] {}));
}

TEST(FrameworkThread, RunOnCurrentThreadReturnsAfterTheLoopEndedAndCleanupRan) {
  bool ran_task = false;
  HookedThread runner("here", kRunHereId);
  runner.on_init = [&] {
    EXPECT_TRUE(ThreadRegistry::BelongsToThread(kRunHereId));
    EXPECT_EQ(ThreadRegistry::CurrentThread(), &runner);
    EXPECT_EQ(ThreadRegistry::CurrentThreadIdentifier(), kRunHereId);
    ThreadRegistry::PostTask(kRunHereId, [&] {
      ran_task = true;
      kbase::MessageLoop::Current()->QuitWhenIdle();
    });
  };
  kbase_test::RunOnPlainThread([&] {
    runner.RunOnCurrentThread(kbase::kLoopDefault);
    EXPECT_EQ(ThreadRegistry::CurrentThread(), nullptr);
  });
  EXPECT_TRUE(ran_task);
  EXPECT_NE(runner.cleanup_thread, 0u);
  EXPECT_EQ(runner.message_loop(), nullptr);
  EXPECT_FALSE(ThreadRegistry::PostTask(kRunHereId, [] {}));
}

TEST(FrameworkThread, WorkerLoopQuitFromAnotherThreadEndsTheThreadBody) {
  HookedThread worker("quit elsewhere");
  ScopedEvent ended;
  worker.on_cleanup = [&] { ended.Set(); };
  ASSERT_TRUE(worker.Start());
  std::shared_ptr<kbase::MessageLoopProxy> proxy = worker.message_loop()->proxy();
  EXPECT_TRUE(proxy->PostTask([] { kbase::MessageLoop::Current()->QuitWhenIdle(); }));
  EXPECT_TRUE(ended.Wait());
  worker.Stop();
  EXPECT_FALSE(proxy->PostTask([] {}));
}

}  // namespace
