#include "base/message_loop.h"

#include <algorithm>
#include <utility>

#include "base/default_message_pump.h"
#include "base/lazy_tls_slot.h"
#include "base/message_loop_proxy.h"
#include "base/tick_clock.h"
#include "base/win_ui_message_pump.h"

namespace kbase {

namespace {

LazyTlsSlot g_current_loop;

// Destroying a task may post new ones to the dying loop; the passes that pick those up stop here
// so that a task which always re-posts cannot keep the destructor busy forever.
constexpr int kMaxDiscardPasses = 100;

}  // namespace

MessageLoop::MessageLoop() : MessageLoop(kbase::kLoopDefault, std::make_shared<DefaultMessagePump>()) {}

MessageLoop::MessageLoop(LoopType type, std::shared_ptr<MessagePump> pump)
    : type_(type), pump_(std::move(pump)) {
  g_current_loop.Set(this);
  proxy_ = MessageLoopProxy::Create(this);
}

MessageLoop::~MessageLoop() {
  for (int pass = 0; pass < kMaxDiscardPasses; ++pass) {
    DiscardPendingTasks();
    ReloadWorkQueue();
    if (!DiscardPendingTasks())
      break;
  }

  destruction_observers_.Notify([](DestructionObserver* o) { o->OnLoopDestroying(); });

  proxy_->DetachLoop();
  proxy_.reset();

  if (g_current_loop.Get() == this)
    g_current_loop.Set(nullptr);

  // What is still in the incoming queue is destroyed unrun here rather than by the queue's own
  // destructor: a task's destructor may post again, which must not reach a queue being destroyed.
  for (int pass = 0; pass < kMaxDiscardPasses; ++pass) {
    std::deque<QueuedTask> leftover;
    {
      AutoLock hold(incoming_lock_);
      leftover.swap(incoming_queue_);
    }
    if (leftover.empty())
      break;
  }
}

MessageLoop* MessageLoop::Current() { return static_cast<MessageLoop*>(g_current_loop.Get()); }

void MessageLoop::PostTask(const Task& task) { PostQueued(task, 0, true); }

// A run time of 0 marks an immediate task; a delayed task whose time would come out at 0 or below
// (a negative delay) is due at once but stays delayed, keeping the delayed ordering rules.
static int64_t DelayedRunTime(int64_t delay_us) {
  const int64_t run_time = SaturatingAdd(TickClock::Now(), delay_us);
  return run_time < 1 ? 1 : run_time;
}

void MessageLoop::PostDelayedTask(const Task& task, int64_t delay_us) {
  PostQueued(task, DelayedRunTime(delay_us), true);
}

void MessageLoop::PostNonNestableTask(const Task& task) { PostQueued(task, 0, false); }

void MessageLoop::PostNonNestableDelayedTask(const Task& task, int64_t delay_us) {
  PostQueued(task, DelayedRunTime(delay_us), false);
}

void MessageLoop::PostQueued(const Task& task, int64_t run_time, bool nestable) {
  QueuedTask queued;
  queued.run_time = run_time;
  queued.nestable = nestable;
  queued.task = task;
  EnqueueIncoming(std::move(queued));
}

void MessageLoop::EnqueueIncoming(QueuedTask&& task) {
  std::shared_ptr<MessagePump> pump;
  {
    AutoLock hold(incoming_lock_);
    const bool was_empty = incoming_queue_.empty();
    incoming_queue_.push_back(std::move(task));
    if (!was_empty)
      return;  // rides on the wake-up of the task before it
    pump = pump_;
  }
  pump->WakeUp();
}

void MessageLoop::Run(MessageDispatcher* dispatcher) {
  RunFrame frame;
  frame.depth = frame_ ? frame_->depth + 1 : 1;
  frame.dispatcher = dispatcher;
  RunFrame* const previous = frame_;
  frame_ = &frame;
  if (frame.dispatcher && type_ == kbase::kLoopUI)
    static_cast<WinUIMessagePump*>(pump_.get())->RunWithDispatcher(this, frame.dispatcher);
  else
    pump_->Run(this);
  frame_ = previous;
}

void MessageLoop::QuitWhenIdle() {
  if (frame_)
    frame_->quit_received = true;
}

void MessageLoop::ReloadWorkQueue() {
  if (!work_queue_.empty())
    return;
  AutoLock hold(incoming_lock_);
  if (!incoming_queue_.empty())
    incoming_queue_.swap(work_queue_);
}

int32_t MessageLoop::NextSequence() {
  const int32_t sequence = next_sequence_;
  // Wraps instead of overflowing; only ties of equal run times compare sequences.
  next_sequence_ = static_cast<int32_t>(static_cast<uint32_t>(next_sequence_) + 1u);
  return sequence;
}

void MessageLoop::PushDelayed(QueuedTask&& task) {
  task.sequence = NextSequence();
  delayed_queue_.push_back(std::move(task));
  std::push_heap(delayed_queue_.begin(), delayed_queue_.end(), LaterFirst());
}

QueuedTask MessageLoop::PopDelayed() {
  std::pop_heap(delayed_queue_.begin(), delayed_queue_.end(), LaterFirst());
  QueuedTask task = std::move(delayed_queue_.back());
  delayed_queue_.pop_back();
  return task;
}

void MessageLoop::RunTask(QueuedTask&& queued) {
  QueuedTask task = std::move(queued);
  nested_tasks_allowed_ = false;
  task_observers_.Notify([](TaskObserver* o) { o->OnBeforeTask(); });
  if (task.task)
    task.task();
  task_observers_.Notify([](TaskObserver* o) { o->OnAfterTask(); });
  nested_tasks_allowed_ = true;
}

bool MessageLoop::DeferOrRun(QueuedTask&& task) {
  const int depth = frame_ ? frame_->depth : 1;
  if (task.nestable || depth == 1) {
    RunTask(std::move(task));
    return true;
  }
  deferred_queue_.push_back(std::move(task));
  return false;
}

bool MessageLoop::RunWork() {
  if (!nested_tasks_allowed_)
    return false;
  ReloadWorkQueue();
  if (work_queue_.empty())
    return false;
  for (;;) {
    QueuedTask task = std::move(work_queue_.front());
    work_queue_.pop_front();
    if (task.run_time != 0) {
      const int64_t run_time = task.run_time;
      PushDelayed(std::move(task));
      const int32_t sequence = static_cast<int32_t>(static_cast<uint32_t>(next_sequence_) - 1u);
      if (delayed_queue_.front().sequence == sequence && delayed_queue_.front().run_time == run_time)
        pump_->SetWakeUpTime(run_time);
    } else if (DeferOrRun(std::move(task))) {
      return true;
    }
    if (work_queue_.empty()) {
      ReloadWorkQueue();
      if (work_queue_.empty())
        break;
    }
  }
  return false;
}

bool MessageLoop::RunDelayedWork(int64_t& next_time) {
  if (!nested_tasks_allowed_ || delayed_queue_.empty()) {
    cached_now_ = 0;
    next_time = 0;
    return false;
  }
  const int64_t run_time = delayed_queue_.front().run_time;
  if (run_time > cached_now_) {
    cached_now_ = TickClock::Now();
    if (run_time > cached_now_) {
      next_time = run_time;
      return false;
    }
  }
  QueuedTask task = PopDelayed();
  if (!delayed_queue_.empty())
    next_time = delayed_queue_.front().run_time;
  return DeferOrRun(std::move(task));
}

bool MessageLoop::RunIdleWork() {
  if (frame_ && frame_->depth == 1 && nested_tasks_allowed_ && !deferred_queue_.empty()) {
    QueuedTask task = std::move(deferred_queue_.front());
    deferred_queue_.pop_front();
    RunTask(std::move(task));
    return true;
  }
  if (frame_ && frame_->quit_received)
    pump_->Quit();
  return false;
}

bool MessageLoop::DiscardPendingTasks() {
  while (!work_queue_.empty()) {
    QueuedTask task = std::move(work_queue_.front());
    work_queue_.pop_front();
    if (task.run_time != 0)
      PushDelayed(std::move(task));
  }
  while (!deferred_queue_.empty()) {
    QueuedTask task = std::move(deferred_queue_.front());
    deferred_queue_.pop_front();
  }
  const bool had_delayed = !delayed_queue_.empty();
  while (!delayed_queue_.empty())
    PopDelayed();
  return had_delayed;
}

}  // namespace kbase
