#ifndef BASE_FRAMEWORK_THREAD_H_
#define BASE_FRAMEWORK_THREAD_H_

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/message_dispatcher.h"
#include "base/message_loop.h"
#include "base/thread.h"
#include "base/weak_callback.h"

namespace kbase {

class MessageLoopProxy;

// Makes the loop of a kLoopCustom framework thread.
class MessageLoopFactory {
 public:
  virtual ~MessageLoopFactory() = default;
  virtual MessageLoop* CreateMessageLoop() = 0;
};

// A thread that owns one message loop for its whole life. Subclasses put start-up and shut-down
// work into Init and Cleanup, which run on the thread itself around the loop.
//
// Threads: Start, Stop and the destructor are called by the owner, on another thread than the
// framework thread itself; Init, Run and Cleanup run on the framework thread.
class FrameworkThread : public Thread, public virtual SupportWeakCallback {
 public:
  static constexpr LoopType kLoopDefault = kbase::kLoopDefault;
  static constexpr LoopType kLoopUI = kbase::kLoopUI;
  static constexpr LoopType kLoopIO = kbase::kLoopIO;
  static constexpr LoopType kLoopCustom = kbase::kLoopCustom;

  explicit FrameworkThread(const char* name);
  ~FrameworkThread() override;

  // Starts a new thread with a default loop. Returns once the thread has created its loop and run
  // Init; false when the thread already has a loop or cannot be started.
  bool Start();
  // As Start, with a loop of another type.
  bool StartWithLoop(int loop_type);
  // Runs the body on the calling thread with a loop of the given type; returns when the loop has
  // ended and Cleanup has run.
  void RunOnCurrentThread(int loop_type, MessageDispatcher* dispatcher = nullptr);
  // Lets the tasks posted so far run, ends the loop, and waits up to kJoinTimeoutMs for the thread
  // before terminating it. Called on the framework thread itself it only asks the loop to end.
  void Stop();
  // Ends the OS thread at once, wherever it is; its loop and record are not freed, and nothing
  // can post to it any more. True when there is no thread any more.
  bool Terminate();

  // The loop the body created; null before and after the body runs. Only the framework thread
  // may use the loop itself; other threads post through ThreadRegistry.
  MessageLoop* message_loop() const { return loop_.load(std::memory_order_acquire); }
  const std::string& thread_name() const { return name_; }
  bool started() const { return started_; }
  // Only for kLoopCustom; set before starting.
  void set_loop_factory(std::shared_ptr<MessageLoopFactory> factory) {
    loop_factory_ = std::move(factory);
  }

 protected:
  // The thread body: record, loop, Init, run, Cleanup, loop deleted.
  void Run() override;
  virtual void Init() {}
  virtual void Cleanup() {}

 private:
  friend class ThreadRegistry;

  // Runs on the stopped thread: the current run ends once the loop is idle.
  static void QuitCurrentLoop();

  bool started_ = false;
  bool stopping_ = false;
  int loop_type_ = kbase::kLoopDefault;
  std::atomic<MessageLoop*> loop_{nullptr};
  std::shared_ptr<MessageLoopFactory> loop_factory_;
  MessageDispatcher* dispatcher_ = nullptr;
  HANDLE start_event_;
  std::string name_;
  // The loop's proxy while the loop runs; set and cleared by the body and read by Stop and
  // ThreadRegistry, all under the registry lock. Other threads reach the loop only through it.
  std::shared_ptr<MessageLoopProxy> loop_proxy_;
};

}  // namespace kbase

#endif  // BASE_FRAMEWORK_THREAD_H_
