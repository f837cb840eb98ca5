#include "base/win_io_message_pump.h"

#include <windows.h>

#include <atomic>
#include <string>

#include <gtest/gtest.h>

#include "base/io_message_loop.h"
#include "base/message_loop_proxy.h"
#include "base/tick_clock.h"
#include "tests/base/base_test_util.h"

namespace {

using kbase::WinIOMessagePump;
using kbase_test::ScopedEvent;

TEST(WinIOMessagePump, LoopRunsPostedAndDelayedTasksInOrder) {
  kbase::IOMessageLoop loop;
  EXPECT_EQ(loop.type(), kbase::kLoopIO);
  std::string order;
  const int64_t due = kbase::TickClock::Now() + 20 * 1000;
  int64_t delayed_ran_at = 0;
  loop.PostDelayedTask([&] {
    order += "delayed ";
    delayed_ran_at = kbase::TickClock::Now();
    loop.QuitWhenIdle();
  }, 20 * 1000);
  loop.PostTask([&] { order += "first "; });
  loop.PostTask([&] { order += "second "; });
  loop.Run();
  EXPECT_EQ(order, "first second delayed ");
  EXPECT_GE(delayed_ran_at, due);
}

TEST(WinIOMessagePump, WakesForEveryBatchPostedFromAnotherThread) {
  kbase_test::HookedThread worker("io");
  ASSERT_TRUE(worker.StartWithLoop(kbase::kLoopIO));
  ASSERT_EQ(worker.message_loop()->type(), kbase::kLoopIO);
  std::shared_ptr<kbase::MessageLoopProxy> proxy = worker.message_loop()->proxy();
  std::atomic<int> ran{0};
  ScopedEvent done;
  for (int i = 0; i < 1000; ++i) {
    proxy->PostTask([&] {
      if (++ran == 1000)
        done.Set();
    });
  }
  ASSERT_TRUE(done.Wait());
  worker.Stop();
  EXPECT_EQ(ran.load(), 1000);
}

class PipeReader : public WinIOMessagePump::IOCompletionHandler {
 public:
  void OnIOCompleted(WinIOMessagePump::IOContext* context, DWORD bytes, DWORD error) override {
    completed_context = context;
    completed_bytes = bytes;
    completed_error = error;
    completed_on = GetCurrentThreadId();
    done.Set();
  }
  WinIOMessagePump::IOContext* completed_context = nullptr;
  DWORD completed_bytes = 0;
  DWORD completed_error = 1;
  DWORD completed_on = 0;
  ScopedEvent done;
};

class CountingIOObserver : public WinIOMessagePump::IOObserver {
 public:
  void OnBeforeIOEvent() override { ++before; }
  void OnAfterIOEvent() override { ++after; }
  std::atomic<int> before{0};
  std::atomic<int> after{0};
};

TEST(WinIOMessagePump, CompletionOfARegisteredHandleReachesItsHandlerOnTheLoopThread) {
  const wchar_t* name = L"\\\\.\\pipe\\kbase_io_pump_test";
  HANDLE server = CreateNamedPipeW(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  HANDLE client = CreateFileW(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(client, INVALID_HANDLE_VALUE);

  kbase_test::HookedThread worker("io handler");
  ASSERT_TRUE(worker.StartWithLoop(kbase::kLoopIO));
  PipeReader reader;
  CountingIOObserver observer;
  WinIOMessagePump::IOContext context = {};
  context.handler = &reader;
  char buffer[16] = {};
  bool registered = false;
  ScopedEvent reading;
  worker.message_loop()->proxy()->PostTask([&] {
    auto* pump = static_cast<WinIOMessagePump*>(kbase::MessageLoop::Current()->pump());
    pump->AddIOObserver(&observer);
    registered = pump->RegisterIOHandler(server, &reader);
    ReadFile(server, buffer, sizeof(buffer), nullptr, &context.overlapped);
    reading.Set();
  });
  ASSERT_TRUE(reading.Wait());
  ASSERT_TRUE(registered);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(client, "hello", 5, &written, nullptr));
  ASSERT_TRUE(reader.done.Wait());
  worker.Stop();

  EXPECT_EQ(reader.completed_context, &context);
  EXPECT_EQ(reader.completed_bytes, 5u);
  EXPECT_EQ(reader.completed_error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(reader.completed_on, worker.init_thread);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(observer.before.load(), 1);
  EXPECT_EQ(observer.after.load(), 1);
  CloseHandle(client);
  CloseHandle(server);
}

}  // namespace
