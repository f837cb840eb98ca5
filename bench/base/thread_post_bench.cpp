// Prints how many tasks per second cross from one thread to a framework thread and run there,
// through ThreadRegistry::PostTask to a default (event-driven) loop and to a UI loop, beside a
// baseline of the same hand-over with PostThreadMessage (UI) and an event plus a locked queue
// (worker), and the ratio of the two.
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include "base/framework_thread.h"
#include "base/thread_registry.h"

namespace {

constexpr int kTasks = 100000;
constexpr int kWorkerId = 11;
constexpr int kUiId = 12;
constexpr UINT kBaselineMessage = WM_APP + 7;

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

class RegisteredThread : public kbase::FrameworkThread {
 public:
  RegisteredThread(const char* name, int identifier) : FrameworkThread(name), identifier_(identifier) {}
  ~RegisteredThread() override { Stop(); }

 protected:
  void Init() override { kbase::ThreadRegistry::RegisterCurrentThread(identifier_); }
  void Cleanup() override { kbase::ThreadRegistry::UnregisterCurrentThread(); }

 private:
  int identifier_;
};

// Posts kTasks tasks from this thread to `identifier`; the last one signals. Returns tasks/s.
double PostAndRun(int identifier) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  volatile LONG ran = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kTasks; ++i) {
    kbase::ThreadRegistry::PostTask(identifier, [&ran, done] {
      if (InterlockedIncrement(&ran) == kTasks) SetEvent(done);
    });
  }
  bool finished = WaitForSingleObject(done, 120000) == WAIT_OBJECT_0;
  QueryPerformanceCounter(&end);
  CloseHandle(done);
  return finished ? kTasks / Seconds(start, end) : 0.0;
}

// Baseline for the worker: a critical-section queue of std::function and an auto-reset event,
// signalled only when the queue was empty (as a loop's wake-up is).
struct EventQueue {
  CRITICAL_SECTION lock;
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::deque<std::function<void()>> tasks;
  bool quit = false;
  EventQueue() { InitializeCriticalSectionAndSpinCount(&lock, 2000); }
  ~EventQueue() {
    DeleteCriticalSection(&lock);
    CloseHandle(wake);
    CloseHandle(done);
  }
  static DWORD WINAPI Main(void* parameter) {
    EventQueue* q = static_cast<EventQueue*>(parameter);
    for (;;) {
      WaitForSingleObject(q->wake, INFINITE);
      for (;;) {
        EnterCriticalSection(&q->lock);
        if (q->tasks.empty()) {
          bool quit = q->quit;
          LeaveCriticalSection(&q->lock);
          if (quit) return 0;
          break;
        }
        std::function<void()> task = std::move(q->tasks.front());
        q->tasks.pop_front();
        LeaveCriticalSection(&q->lock);
        task();
      }
    }
  }
  void Post(std::function<void()> task, bool last = false) {
    EnterCriticalSection(&lock);
    bool was_empty = tasks.empty();
    tasks.push_back(std::move(task));
    quit = last;
    LeaveCriticalSection(&lock);
    if (was_empty || last) SetEvent(wake);
  }
};

double EventBaseline() {
  EventQueue queue;
  HANDLE thread = CreateThread(nullptr, 0, &EventQueue::Main, &queue, 0, nullptr);
  volatile LONG ran = 0;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kTasks; ++i)
    queue.Post([&ran, &queue] {
      if (InterlockedIncrement(&ran) == kTasks) SetEvent(queue.done);
    }, i == kTasks - 1);
  bool finished = WaitForSingleObject(queue.done, 120000) == WAIT_OBJECT_0;
  QueryPerformanceCounter(&end);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  return finished ? kTasks / Seconds(start, end) : 0.0;
}

// Baseline for the UI thread: PostThreadMessage to a thread running GetMessage/DispatchMessage,
// with the same callable carried per message.
struct MessageThread {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  volatile LONG ran = 0;
  ~MessageThread() {
    CloseHandle(ready);
    CloseHandle(done);
  }
  static DWORD WINAPI Main(void* parameter) {
    MessageThread* self = static_cast<MessageThread*>(parameter);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
    SetEvent(self->ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == kBaselineMessage) {
        auto* task = reinterpret_cast<std::function<void()>*>(msg.lParam);
        (*task)();
        delete task;
        continue;
      }
      DispatchMessageW(&msg);
    }
    return 0;
  }
};

double MessageBaseline() {
  MessageThread state;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &MessageThread::Main, &state, 0, &id);
  WaitForSingleObject(state.ready, 10000);
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  int posted = 0;
  for (int i = 0; i < kTasks; ++i) {
    auto* task = new std::function<void()>([&state] {
      if (InterlockedIncrement(&state.ran) == kTasks) SetEvent(state.done);
    });
    // The thread queue holds 10,000 messages: wait for room as a real sender would.
    while (!PostThreadMessageW(id, kBaselineMessage, 0, reinterpret_cast<LPARAM>(task))) Sleep(0);
    ++posted;
  }
  bool finished = WaitForSingleObject(state.done, 120000) == WAIT_OBJECT_0;
  QueryPerformanceCounter(&end);
  PostThreadMessageW(id, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  return finished && posted == kTasks ? kTasks / Seconds(start, end) : 0.0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

void Report(const char* what, double rate, double baseline) {
  const double ratio = rate > 0 ? baseline / rate : 0.0;
  std::printf("%-34s %12.0f tasks/s   baseline %12.0f tasks/s   baseline/framework %.2f (goal <= 2: %s)\n", what,
              rate, baseline, ratio, rate > 0 && ratio <= 2.0 ? "met" : "MISSED");
}

}  // namespace

int main() {
  RegisteredThread worker("bench worker", kWorkerId);
  RegisteredThread ui("bench ui", kUiId);
  if (!worker.StartWithLoop(kbase::kLoopDefault) || !ui.StartWithLoop(kbase::kLoopUI)) {
    std::printf("could not start the framework threads\n");
    return 1;
  }
  std::printf("%d tasks posted from one thread and run on another (goal: framework within 2x of baseline)\n",
              kTasks);
  // Rounds alternate framework and baseline, so that a busy moment of the machine falls on both;
  // the medians are compared.
  constexpr int kRounds = 9;
  std::vector<double> worker_rates, event_rates, ui_rates, message_rates;
  for (int round = 0; round < kRounds; ++round) {
    worker_rates.push_back(PostAndRun(kWorkerId));
    event_rates.push_back(EventBaseline());
    if (round % 3 == 0) {  // the UI hand-over is a thousand times slower: fewer rounds
      ui_rates.push_back(PostAndRun(kUiId));
      message_rates.push_back(MessageBaseline());
    }
  }
  std::printf("medians of %d rounds (default loop) and %zu rounds (UI loop):\n", kRounds, ui_rates.size());
  Report("PostTask to a default loop", Median(worker_rates), Median(event_rates));
  Report("PostTask to a UI loop", Median(ui_rates), Median(message_rates));
  worker.Stop();
  ui.Stop();
  return 0;
}
