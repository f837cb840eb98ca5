#ifndef TESTS_BASE_BASE_TEST_UTIL_H_
#define TESTS_BASE_BASE_TEST_UTIL_H_

#include <windows.h>

#include <functional>

#include "base/framework_thread.h"
#include "base/message_loop.h"
#include "base/thread_registry.h"

namespace kbase_test {

// Bounds every wait of the tests: a hang becomes a failure, not a stuck test run.
constexpr DWORD kTestWaitMs = 20000;

class ScopedEvent {
 public:
  explicit ScopedEvent(bool manual_reset = true)
      : handle_(CreateEventW(nullptr, manual_reset, FALSE, nullptr)) {}
  ~ScopedEvent() { CloseHandle(handle_); }
  ScopedEvent(const ScopedEvent&) = delete;
  ScopedEvent& operator=(const ScopedEvent&) = delete;
  void Set() { SetEvent(handle_); }
  bool Wait(DWORD ms = kTestWaitMs) { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }
  bool IsSet() { return Wait(0); }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Runs loop until every task waiting in it now (and those they post meanwhile) has run.
inline void RunUntilIdle(kbase::MessageLoop& loop) {
  loop.PostTask([&loop] { loop.QuitWhenIdle(); });
  loop.Run();
}

// A framework thread whose hooks are given by the test; registers under an identifier when one is
// given (as the installer's worker does).
class HookedThread : public kbase::FrameworkThread {
 public:
  explicit HookedThread(const char* name, int identifier = -1)
      : FrameworkThread(name), identifier_(identifier) {}
  ~HookedThread() override { Stop(); }

  std::function<void()> on_init;
  std::function<void()> on_cleanup;
  bool registered = false;
  DWORD init_thread = 0;
  DWORD cleanup_thread = 0;

 protected:
  void Init() override {
    init_thread = GetCurrentThreadId();
    if (identifier_ >= 0)
      registered = kbase::ThreadRegistry::RegisterCurrentThread(identifier_);
    if (on_init)
      on_init();
  }
  void Cleanup() override {
    cleanup_thread = GetCurrentThreadId();
    if (on_cleanup)
      on_cleanup();
    if (identifier_ >= 0)
      kbase::ThreadRegistry::UnregisterCurrentThread();
  }

 private:
  int identifier_;
};

// Runs f on a plain OS thread (no framework thread body) and waits for it.
inline void RunOnPlainThread(std::function<void()> f) {
  struct Holder {
    static DWORD WINAPI Main(void* p) {
      (*static_cast<std::function<void()>*>(p))();
      return 0;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, &Holder::Main, &f, 0, nullptr);
  WaitForSingleObject(thread, kTestWaitMs);
  CloseHandle(thread);
}

}  // namespace kbase_test

#endif  // TESTS_BASE_BASE_TEST_UTIL_H_
