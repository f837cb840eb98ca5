#ifndef BASE_THREAD_H_
#define BASE_THREAD_H_

#include <windows.h>

#include <atomic>

namespace kbase {

// An OS thread running the object's Run. The owner ends it; the destructor waits up to
// kJoinTimeoutMs for the thread and terminates it after that.
class Thread {
 public:
  static constexpr DWORD kJoinTimeoutMs = 2000;

  Thread() = default;
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Begins the OS thread (default stack, no flags). False when it cannot be created.
  bool Create();
  // Ends the OS thread at once, wherever it is. True when there is no thread any more.
  bool Terminate();

  DWORD thread_id() const { return thread_id_.load(std::memory_order_acquire); }
  HANDLE thread_handle() const { return handle_; }

 protected:
  // The thread body; runs on the new thread.
  virtual void Run() {}

  void set_thread_id(DWORD id) { thread_id_.store(id, std::memory_order_release); }
  // Waits up to kJoinTimeoutMs for the thread to end, terminates it otherwise, then releases the
  // handle. False only when the thread could be neither joined nor terminated (the handle stays).
  bool JoinOrTerminate();

 private:
  static unsigned __stdcall ThreadMain(void* param);

  std::atomic<DWORD> thread_id_{0};
  HANDLE handle_ = nullptr;
};

}  // namespace kbase

#endif  // BASE_THREAD_H_
