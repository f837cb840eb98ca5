#include "base/message_loop_proxy.h"

#include "base/message_loop.h"

namespace kbase {

std::shared_ptr<MessageLoopProxy> MessageLoopProxy::Create(MessageLoop* loop) {
  return std::shared_ptr<MessageLoopProxy>(new MessageLoopProxy(loop),
                                           [](MessageLoopProxy* proxy) {
                                             proxy->DestroyOnOwnerThread();
                                           });
}

bool MessageLoopProxy::PostTask(const Task& task) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  target_->PostTask(task);
  return true;
}

bool MessageLoopProxy::PostDelayedTask(const Task& task, int64_t delay_us) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  if (delay_us == 0)
    target_->PostTask(task);
  else
    target_->PostDelayedTask(task, delay_us);
  return true;
}

bool MessageLoopProxy::PostNonNestableTask(const Task& task) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  target_->PostNonNestableTask(task);
  return true;
}

bool MessageLoopProxy::PostNonNestableDelayedTask(const Task& task, int64_t delay_us) {
  AutoLock hold(lock_);
  if (!target_)
    return false;
  if (delay_us == 0)
    target_->PostNonNestableTask(task);
  else
    target_->PostNonNestableDelayedTask(task, delay_us);
  return true;
}

bool MessageLoopProxy::RunsOnCurrentThread() {
  AutoLock hold(lock_);
  return target_ && target_ == MessageLoop::Current();
}

void MessageLoopProxy::DetachLoop() {
  AutoLock hold(lock_);
  target_ = nullptr;
}

void MessageLoopProxy::DestroyOnOwnerThread() {
  lock_.Lock();
  if (target_ && target_ != MessageLoop::Current()) {
    // The deleting task takes the lock once before deleting: the loop's thread may run it while
    // this thread is still inside the lock, and the lock must not be destroyed under its holder.
    target_->PostNonNestableTask(MakeWeakCallback([this] {
      lock_.Lock();
      lock_.Unlock();
      delete this;
    }));
    lock_.Unlock();
    return;
  }
  lock_.Unlock();
  delete this;
}

}  // namespace kbase
