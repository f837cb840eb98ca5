#ifndef BASE_MESSAGE_LOOP_H_
#define BASE_MESSAGE_LOOP_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "base/critical_section.h"
#include "base/message_dispatcher.h"
#include "base/message_loop_proxy.h"
#include "base/message_pump.h"
#include "base/observer_list.h"
#include "base/task.h"

namespace kbase {


enum LoopType : int {
  kLoopDefault = 0,  // DefaultMessagePump
  kLoopUI = 1,       // WinUIMessagePump: window messages interleaved with tasks
  kLoopIO = 2,       // WinIOMessagePump: an IO completion port
  kLoopCustom = 3,   // made by a FrameworkThread's loop factory
};

// One active run of a loop; lives on the running thread's stack.
struct RunFrame {
  int depth = 1;               // 1 for the outermost run
  bool quit_received = false;  // the run ends once the loop is idle
  MessageDispatcher* dispatcher = nullptr;
};

// Runs tasks on the thread that constructed it, one at a time.
//
// Ordering: immediate tasks run in the order they entered the incoming queue; delayed tasks run
// no earlier than their run time, in run-time order and, for equal times, in the order they reached
// the delayed queue; non-nestable tasks met during a nested run wait until the outermost run is
// idle. No task runs inside another task.
//
// Threads: the Post* operations may be called from any thread while the loop exists (other threads
// should post through proxy(), which refuses once the loop is gone). Everything else belongs to the
// loop's own thread.
class MessageLoop : public MessagePump::Delegate {
 public:
  using Type = LoopType;
  static constexpr LoopType kLoopDefault = kbase::kLoopDefault;
  static constexpr LoopType kLoopUI = kbase::kLoopUI;
  static constexpr LoopType kLoopIO = kbase::kLoopIO;
  static constexpr LoopType kLoopCustom = kbase::kLoopCustom;

  class TaskObserver {
   public:
    virtual ~TaskObserver() = default;
    virtual void OnBeforeTask() = 0;
    virtual void OnAfterTask() = 0;
  };

  class DestructionObserver {
   public:
    virtual ~DestructionObserver() = default;
    virtual void OnLoopDestroying() = 0;
  };

  // A default loop with a DefaultMessagePump; becomes the calling thread's current loop.
  MessageLoop();
  ~MessageLoop() override;
  MessageLoop(const MessageLoop&) = delete;
  MessageLoop& operator=(const MessageLoop&) = delete;

  // The calling thread's loop, or null.
  static MessageLoop* Current();

  void PostTask(const Task& task);
  // Runs no earlier than delay_us microseconds from now. A delay of 0 still makes a delayed task,
  // due at once; a far-off delay saturates instead of overflowing.
  void PostDelayedTask(const Task& task, int64_t delay_us);
  void PostNonNestableTask(const Task& task);
  void PostNonNestableDelayedTask(const Task& task, int64_t delay_us);

  // Loop thread: runs the loop in a new RunFrame (one level deeper than the current one) until a
  // quit request for that frame is met while the loop is idle.
  void Run(MessageDispatcher* dispatcher = nullptr);
  // Loop thread: asks the innermost run to end once every waiting task has run.
  void QuitWhenIdle();

  LoopType type() const { return type_; }
  // The innermost run's depth, 0 while the loop is not running.
  int run_depth() const { return frame_ ? frame_->depth : 0; }
  const RunFrame* frame() const { return frame_; }
  bool in_modal_loop() const { return in_modal_loop_; }
  void set_in_modal_loop(bool value) { in_modal_loop_ = value; }
  bool nested_tasks_allowed() const { return nested_tasks_allowed_; }
  MessagePump* pump() const { return pump_.get(); }
  // The handle other threads post through.
  const std::shared_ptr<MessageLoopProxy>& proxy() const { return proxy_; }

  void AddTaskObserver(TaskObserver* observer) { task_observers_.AddObserver(observer); }
  void RemoveTaskObserver(TaskObserver* observer) { task_observers_.RemoveObserver(observer); }
  void AddDestructionObserver(DestructionObserver* observer) {
    destruction_observers_.AddObserver(observer);
  }
  void RemoveDestructionObserver(DestructionObserver* observer) {
    destruction_observers_.RemoveObserver(observer);
  }

  // MessagePump::Delegate; called by the pump on the loop's thread.
  bool RunWork() override;
  bool RunDelayedWork(int64_t& next_time) override;
  bool RunIdleWork() override;

 protected:
  // For loops with a Windows pump (UIMessageLoop, IOMessageLoop).
  MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump);

  // Any thread: appends to the incoming queue and wakes the pump on the empty-to-non-empty
  // transition only.
  virtual void EnqueueIncoming(QueuedTask&& task);

 private:
  // Orders the delayed heap so that its front is the earliest task (then the smallest sequence).
  struct LaterFirst {
    bool operator()(const QueuedTask& a, const QueuedTask& b) const {
      if (a.run_time != b.run_time)
        return a.run_time > b.run_time;
      return a.sequence > b.sequence;
    }
  };

  void PostQueued(const Task& task, int64_t run_time, bool nestable);
  void ReloadWorkQueue();
  bool DeferOrRun(QueuedTask&& task);
  void RunTask(QueuedTask&& task);
  void PushDelayed(QueuedTask&& task);
  QueuedTask PopDelayed();
  int32_t NextSequence();
  bool DiscardPendingTasks();

  LoopType type_;
  RunFrame* frame_ = nullptr;
  std::shared_ptr<MessagePump> pump_;
  bool in_modal_loop_ = false;
  bool nested_tasks_allowed_ = true;

  CriticalSection incoming_lock_;
  std::deque<QueuedTask> incoming_queue_;  // guarded by incoming_lock_

  std::deque<QueuedTask> work_queue_;
  std::deque<QueuedTask> deferred_queue_;
  std::vector<QueuedTask> delayed_queue_;  // a heap ordered by LaterFirst
  int32_t next_sequence_ = 0;
  int64_t cached_now_ = 0;

  ObserverList<TaskObserver> task_observers_;
  ObserverList<DestructionObserver> destruction_observers_;
  std::shared_ptr<MessageLoopProxy> proxy_;
};

}  // namespace kbase

#endif  // BASE_MESSAGE_LOOP_H_
