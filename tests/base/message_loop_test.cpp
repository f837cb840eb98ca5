#include "base/message_loop.h"

#include <windows.h>

#include <atomic>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/default_message_pump.h"
#include "base/message_loop_proxy.h"
#include "base/tick_clock.h"
#include "tests/base/base_test_util.h"
#include "tests/base/import_patch.h"
#include "tests/base/scripted_pump_delegate.h"

namespace {

using kbase::MessageLoop;
using kbase_test::RunUntilIdle;

TEST(MessageLoop, IsTheCurrentLoopOfItsThreadOnly) {
  EXPECT_EQ(MessageLoop::Current(), nullptr);
  {
    MessageLoop loop;
    EXPECT_EQ(MessageLoop::Current(), &loop);
    MessageLoop* seen_elsewhere = &loop;
    kbase_test::RunOnPlainThread([&] { seen_elsewhere = MessageLoop::Current(); });
    EXPECT_EQ(seen_elsewhere, nullptr);
  }
  EXPECT_EQ(MessageLoop::Current(), nullptr);
}

TEST(MessageLoop, TasksFromOneThreadRunInPostingOrder) {
  MessageLoop loop;
  std::vector<int> order;
  for (int i = 0; i < 50; ++i)
    loop.PostTask([&order, i] { order.push_back(i); });
  RunUntilIdle(loop);
  ASSERT_EQ(order.size(), 50u);
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(order[i], i);
}

TEST(MessageLoop, TasksFromSeveralThreadsKeepEachPostersOrder) {
  MessageLoop loop;
  constexpr int kPosters = 4;
  constexpr int kPerPoster = 2000;
  std::vector<std::pair<int, int>> runs;
  std::shared_ptr<kbase::MessageLoopProxy> proxy = loop.proxy();
  std::vector<std::thread> posters;
  for (int p = 0; p < kPosters; ++p) {
    posters.emplace_back([&, p] {
      for (int i = 0; i < kPerPoster; ++i) {
        proxy->PostTask([&, p, i] {
          runs.emplace_back(p, i);
          if (runs.size() == size_t{kPosters} * kPerPoster)
            loop.QuitWhenIdle();
        });
      }
    });
  }
  loop.Run();
  for (auto& poster : posters)
    poster.join();
  ASSERT_EQ(runs.size(), size_t{kPosters} * kPerPoster);
  std::vector<int> next(kPosters, 0);
  for (const auto& run : runs) {
    ASSERT_EQ(run.second, next[run.first]) << "poster " << run.first;
    ++next[run.first];
  }
}

TEST(MessageLoop, DelayedTasksRunInRunTimeOrderAndNeverEarly) {
  MessageLoop loop;
  struct Run {
    int id;
    int64_t due;
    int64_t ran;
  };
  std::vector<Run> runs;
  const int64_t delays_ms[] = {60, 10, 40, 0, 25};
  for (int id = 0; id < 5; ++id) {
    const int64_t delay = delays_ms[id] * 1000;
    const int64_t due = kbase::TickClock::Now() + delay;
    loop.PostDelayedTask([&runs, id, due] { runs.push_back({id, due, kbase::TickClock::Now()}); },
                         delay);
  }
  loop.PostDelayedTask([&loop] { loop.QuitWhenIdle(); }, 80 * 1000);
  loop.Run();
  ASSERT_EQ(runs.size(), 5u);
  const int expected[] = {3, 1, 4, 2, 0};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(runs[i].id, expected[i]);
    EXPECT_GE(runs[i].ran, runs[i].due) << "task " << runs[i].id << " ran early";
  }
}

// Tasks posted back to back with one delay share a run time or have increasing ones; either way
// they run in the order they reached the delayed queue.
TEST(MessageLoop, DelayedTasksWithOneDelayRunInPostingOrder) {
  MessageLoop loop;
  std::vector<int> order;
  for (int i = 0; i < 200; ++i)
    loop.PostDelayedTask([&order, i] { order.push_back(i); }, 15 * 1000);
  loop.PostDelayedTask([&loop] { loop.QuitWhenIdle(); }, 40 * 1000);
  loop.Run();
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(order[i], i);
}

TEST(MessageLoop, DefaultPumpAlternatesImmediateAndDueDelayedTasks) {
  MessageLoop loop;
  std::string order;
  loop.PostDelayedTask([&] { order += "D1 "; }, 0);
  loop.PostDelayedTask([&] { order += "D2 "; }, 0);
  loop.PostTask([&] { order += "I1 "; });
  loop.PostTask([&] { order += "I2 "; });
  loop.PostTask([&] { order += "I3 "; });
  RunUntilIdle(loop);
  EXPECT_EQ(order, "I1 D1 I2 D2 I3 ");
}

TEST(MessageLoop, ZeroDelayOnTheLoopIsDelayedButThroughTheProxyImmediate) {
  {
    MessageLoop loop;
    std::string order;
    loop.PostDelayedTask([&] { order += "delayed "; }, 0);
    loop.PostTask([&] { order += "immediate "; });
    RunUntilIdle(loop);
    EXPECT_EQ(order, "immediate delayed ");
  }
  {
    MessageLoop loop;
    std::string order;
    EXPECT_TRUE(loop.proxy()->PostDelayedTask([&] { order += "zero-delay "; }, 0));
    loop.PostTask([&] { order += "immediate "; });
    RunUntilIdle(loop);
    EXPECT_EQ(order, "zero-delay immediate ");
  }
}

// A far-off delay must not wrap into the past, and a delay far below zero must not produce run
// time 0, which would make the task an immediate one.
TEST(MessageLoop, ExtremeDelaysSaturateAndStayDelayed) {
  MessageLoop loop;
  std::string order;
  bool far_future_ran = false;
  loop.PostDelayedTask([&] { far_future_ran = true; }, std::numeric_limits<int64_t>::max());
  loop.PostDelayedTask([&] { order += "past "; }, std::numeric_limits<int64_t>::min());
  loop.PostTask([&] { order += "immediate "; });
  RunUntilIdle(loop);
  EXPECT_FALSE(far_future_ran);
  EXPECT_EQ(order, "immediate past ");
}

TEST(MessageLoop, QuitFromInsideATaskLetsEveryQueuedTaskRunFirst) {
  MessageLoop loop;
  int ran = 0;
  bool delayed_ran = false;
  loop.PostTask([&] {
    loop.QuitWhenIdle();
    ++ran;
  });
  for (int i = 0; i < 10; ++i)
    loop.PostTask([&] { ++ran; });
  loop.PostDelayedTask([&] { delayed_ran = true; }, 60 * 1000 * 1000);
  loop.Run();
  EXPECT_EQ(ran, 11);
  EXPECT_FALSE(delayed_ran);
}

TEST(MessageLoop, QuitRequestedFromAnotherThreadEndsTheRun) {
  MessageLoop loop;
  std::shared_ptr<kbase::MessageLoopProxy> proxy = loop.proxy();
  std::atomic<int> ran{0};
  std::thread other([&] {
    Sleep(20);
    proxy->PostTask([&] { ++ran; });
    proxy->PostTask([&] {
      ++ran;
      MessageLoop::Current()->QuitWhenIdle();
    });
  });
  loop.Run();  // idle and waiting until the other thread posts
  other.join();
  EXPECT_EQ(ran.load(), 2);
}

TEST(MessageLoop, NoTaskRunsInsideAnother) {
  MessageLoop loop;
  bool inner_ran = false;
  bool run_work = true;
  bool run_delayed = true;
  int64_t next_time = -1;
  loop.PostDelayedTask([&] { inner_ran = true; }, 0);
  loop.PostTask([&] {
    loop.PostTask([&] { inner_ran = true; });
    EXPECT_FALSE(loop.nested_tasks_allowed());
    run_work = loop.RunWork();
    run_delayed = loop.RunDelayedWork(next_time);
    EXPECT_FALSE(inner_ran);
  });
  RunUntilIdle(loop);
  EXPECT_FALSE(run_work);
  EXPECT_FALSE(run_delayed);
  EXPECT_TRUE(inner_ran);
  EXPECT_TRUE(loop.nested_tasks_allowed());
}

class CountingTaskObserver : public MessageLoop::TaskObserver {
 public:
  void OnBeforeTask() override { ++before; }
  void OnAfterTask() override { ++after; }
  int before = 0;
  int after = 0;
};

TEST(MessageLoop, EmptyTaskIsSkippedButObserversAreStillNotified) {
  MessageLoop loop;
  CountingTaskObserver observer;
  loop.AddTaskObserver(&observer);
  loop.PostTask(kbase::Task());
  loop.PostTask([&loop] { loop.QuitWhenIdle(); });
  loop.Run();
  EXPECT_EQ(observer.before, 2);
  EXPECT_EQ(observer.after, 2);
  loop.RemoveTaskObserver(&observer);
}

// Held by a task; its destruction posts a new delayed task holding a new one, as a task whose
// destructor keeps posting would.
struct Reposter {
  explicit Reposter(std::shared_ptr<int> count) : count(std::move(count)) {}
  ~Reposter() {
    ++*count;
    if (MessageLoop* loop = MessageLoop::Current()) {
      auto next = std::make_shared<Reposter>(count);
      loop->PostDelayedTask([next] {}, 1000 * 1000);
    }
  }
  std::shared_ptr<int> count;
};

TEST(MessageLoop, DestructionDiscardsTasksUnrunAndEndsRepostingAfterHundredPasses) {
  auto destroyed = std::make_shared<int>(0);
  bool ran = false;
  {
    MessageLoop loop;
    auto first = std::make_shared<Reposter>(destroyed);
    loop.PostDelayedTask([first, &ran] { ran = true; }, 1000 * 1000);
    first.reset();
    loop.PostTask([&ran] { ran = true; });
  }
  EXPECT_FALSE(ran);
  // One destruction per discard pass, then the last repost is destroyed with the loop.
  EXPECT_GE(*destroyed, 100);
  EXPECT_LE(*destroyed, 101);
}

class RecordingDestructionObserver : public MessageLoop::DestructionObserver {
 public:
  void OnLoopDestroying() override {
    ++calls;
    proxy_still_posts = proxy && proxy->PostTask([] {});
  }
  int calls = 0;
  bool proxy_still_posts = false;
  std::shared_ptr<kbase::MessageLoopProxy> proxy;
};

TEST(MessageLoop, DestructionNotifiesObserversThenProxyRefusesPosts) {
  RecordingDestructionObserver observer;
  std::shared_ptr<kbase::MessageLoopProxy> proxy;
  {
    MessageLoop loop;
    proxy = loop.proxy();
    observer.proxy = proxy;
    loop.AddDestructionObserver(&observer);
  }
  EXPECT_EQ(observer.calls, 1);
  EXPECT_TRUE(observer.proxy_still_posts);
  observer.proxy.reset();

  auto payload = std::make_shared<int>(7);
  bool ran = false;
  kbase::Task task = [payload, &ran] { ran = true; };
  EXPECT_FALSE(proxy->PostTask(task));
  EXPECT_FALSE(proxy->PostDelayedTask(task, 1000));
  EXPECT_FALSE(proxy->PostNonNestableTask(task));
  EXPECT_FALSE(proxy->PostNonNestableDelayedTask(task, 0));
  EXPECT_FALSE(proxy->RunsOnCurrentThread());
  // The refused task is the caller's, untouched: still holding its payload, never run.
  EXPECT_EQ(payload.use_count(), 2);
  EXPECT_FALSE(ran);
}

TEST(MessageLoopProxy, RunsOnCurrentThreadOnlyOnItsLoopsThread) {
  MessageLoop loop;
  std::shared_ptr<kbase::MessageLoopProxy> proxy = loop.proxy();
  EXPECT_TRUE(proxy->RunsOnCurrentThread());
  bool elsewhere = true;
  kbase_test::RunOnPlainThread([&] { elsewhere = proxy->RunsOnCurrentThread(); });
  EXPECT_FALSE(elsewhere);
}

// A proxy's weak flag expires exactly when the proxy object is deleted, wherever that happens.
TEST(MessageLoopProxy, LastReferenceDroppedOnAnotherThreadIsDeletedByATaskOnItsLoopsThread) {
  MessageLoop loop;
  CountingTaskObserver observer;
  loop.AddTaskObserver(&observer);
  std::shared_ptr<kbase::MessageLoopProxy> proxy = kbase::MessageLoopProxy::Create(&loop);
  std::weak_ptr<kbase::WeakFlag> alive = proxy->AcquireWeakFlag();
  bool gone_on_that_thread = true;
  kbase_test::RunOnPlainThread([&] {
    proxy.reset();
    gone_on_that_thread = alive.expired();
  });
  ASSERT_FALSE(proxy);
  EXPECT_FALSE(gone_on_that_thread);
  EXPECT_FALSE(alive.expired());
  RunUntilIdle(loop);
  EXPECT_TRUE(alive.expired());
  EXPECT_EQ(observer.before, 2);  // the deleting task, then the quit task
  loop.RemoveTaskObserver(&observer);
}

TEST(MessageLoopProxy, LastReferenceDroppedOnItsLoopsThreadDeletesItAtOnce) {
  MessageLoop loop;
  CountingTaskObserver observer;
  loop.AddTaskObserver(&observer);
  std::shared_ptr<kbase::MessageLoopProxy> proxy = kbase::MessageLoopProxy::Create(&loop);
  std::weak_ptr<kbase::WeakFlag> alive = proxy->AcquireWeakFlag();
  proxy.reset();
  EXPECT_TRUE(alive.expired());
  RunUntilIdle(loop);
  EXPECT_EQ(observer.before, 1);  // only the quit task: nothing was posted for the deletion
  loop.RemoveTaskObserver(&observer);
}

TEST(MessageLoopProxy, LastReferenceDroppedAfterItsLoopIsGoneDeletesItAtOnceOnAnyThread) {
  std::shared_ptr<kbase::MessageLoopProxy> proxy;
  std::weak_ptr<kbase::WeakFlag> alive;
  {
    MessageLoop loop;
    proxy = loop.proxy();
    alive = proxy->AcquireWeakFlag();
  }
  EXPECT_FALSE(alive.expired());  // this reference outlived the loop's own
  bool gone_on_that_thread = false;
  kbase_test::RunOnPlainThread([&] {
    proxy.reset();
    gone_on_that_thread = alive.expired();
  });
  EXPECT_TRUE(gone_on_that_thread);
}

// The default pump's waits on this thread, recorded and answered at once as if its event were
// signalled: what the pump waits for becomes visible, and no test waits on the clock.
std::vector<kbase_test::RecordedWait>* g_default_pump_waits = nullptr;
const kbase_test::ScriptedPumpDelegate* g_default_pump_script = nullptr;
DWORD g_default_pump_thread = 0;
void* g_original_wait = nullptr;

DWORD WINAPI RecordDefaultPumpWait(HANDLE handle, DWORD timeout) {
  if (GetCurrentThreadId() == g_default_pump_thread && g_default_pump_waits) {
    g_default_pump_waits->push_back({g_default_pump_script->round(), timeout, kbase::TickClock::Now()});
    return WAIT_OBJECT_0;
  }
  return reinterpret_cast<decltype(&WaitForSingleObject)>(g_original_wait)(handle, timeout);
}

// Runs a default pump on this thread under the script, recording its waits.
std::vector<kbase_test::RecordedWait> RunDefaultPump(kbase_test::ScriptedPumpDelegate& script,
                                                     kbase::DefaultMessagePump& pump) {
  std::vector<kbase_test::RecordedWait> waits;
  kbase_test::ScopedImportPatch patch("kernel32.dll", "WaitForSingleObject",
                                      reinterpret_cast<void*>(&RecordDefaultPumpWait));
  EXPECT_TRUE(patch.installed());
  if (!patch.installed())
    return waits;
  g_original_wait = patch.original();
  g_default_pump_script = &script;
  g_default_pump_thread = GetCurrentThreadId();
  g_default_pump_waits = &waits;
  pump.Run(&script);
  g_default_pump_waits = nullptr;
  g_default_pump_thread = 0;
  g_default_pump_script = nullptr;
  return waits;
}

TEST(DefaultMessagePump, PastWakeUpTimeIsClearedWithoutAWaitAndNothingDelayedWaitsWithoutTimeOut) {
  kbase::DefaultMessagePump pump;
  kbase_test::ScriptedPumpDelegate script(&pump, {-5000, kbase_test::ScriptedPumpDelegate::kNothingDelayed});
  std::vector<kbase_test::RecordedWait> waits = RunDefaultPump(script, pump);
  // Round 0 announced a time already past: the pump cleared it and went on without waiting.
  EXPECT_EQ(script.held_at_start(1), 0);
  // Round 1 announced nothing: the only wait, without time-out.
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0].round, 2u);
  EXPECT_EQ(waits[0].timeout, INFINITE);
}

TEST(DefaultMessagePump, WaitForATaskDueInFifteenHundredMicrosecondsIsTwoMilliseconds) {
  kbase::DefaultMessagePump pump;
  constexpr size_t kRounds = 20;
  kbase_test::ScriptedPumpDelegate script(&pump, std::vector<int64_t>(kRounds, 1500));
  std::vector<kbase_test::RecordedWait> waits = RunDefaultPump(script, pump);
  // Exact where the millisecond clock did not move between the announcement and the wait; the
  // pump read it in between.
  int exact = 0;
  for (const kbase_test::RecordedWait& wait : waits) {
    ASSERT_GE(wait.round, 1u);
    if (wait.now != script.announced_at(wait.round - 1))
      continue;
    EXPECT_EQ(wait.timeout, 2u) << "round " << wait.round - 1;
    ++exact;
  }
  EXPECT_GT(exact, 0);
}

TEST(DefaultMessagePump, WaitRoundsUpAndStaysBelowInfinite) {
  struct Case {
    int64_t delay_us;
    DWORD wait_ms;
  } cases[] = {
      {1500, 2},
      {1000, 1},
      {1, 1},
      {999999, 1000},
      {0, 0},
      {-5000, 0},
      {int64_t{INFINITE} * 1000, INFINITE - 1},
      {int64_t{INFINITE - 1} * 1000, INFINITE - 1},
      {int64_t{INFINITE - 2} * 1000, INFINITE - 2},
      {std::numeric_limits<int64_t>::max(), INFINITE - 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kbase::DefaultMessagePump::WaitMillisecondsFor(c.delay_us), c.wait_ms)
        << c.delay_us;
}

// A delayed task a few days ahead must leave the pump waiting with a time-out, still woken by a
// new post.
TEST(DefaultMessagePump, FarDelayedTaskDoesNotStopWakeUps) {
  MessageLoop loop;
  loop.PostDelayedTask([] {}, int64_t{5} * 24 * 3600 * 1000 * 1000);
  std::shared_ptr<kbase::MessageLoopProxy> proxy = loop.proxy();
  bool ran = false;
  std::thread other([&] {
    Sleep(30);
    proxy->PostTask([&] {
      ran = true;
      MessageLoop::Current()->QuitWhenIdle();
    });
  });
  loop.Run();
  other.join();
  EXPECT_TRUE(ran);
}

}  // namespace
