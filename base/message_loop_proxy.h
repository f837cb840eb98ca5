#ifndef BASE_MESSAGE_LOOP_PROXY_H_
#define BASE_MESSAGE_LOOP_PROXY_H_

#include <cstdint>
#include <memory>

#include "base/critical_section.h"
#include "base/task.h"
#include "base/weak_callback.h"

namespace kbase {

class MessageLoop;

// The cross-thread handle of a MessageLoop. Any thread may post through it; once the loop is
// destroyed every post returns false and the caller's task is left untouched. The proxy lock stays
// held while a post reaches into the loop, so the loop cannot finish detaching halfway through a
// post (lock order: proxy lock, then the loop's incoming lock).
//
// Owned only through shared references made by Create; when the last one goes, the proxy is
// deleted on its loop's thread (DestroyOnOwnerThread).
class MessageLoopProxy : public SupportWeakCallback {
 public:
  static std::shared_ptr<MessageLoopProxy> Create(MessageLoop* loop);

  ~MessageLoopProxy() override = default;

  virtual bool PostTask(const Task& task);
  // A delay of exactly 0 posts an immediate task.
  virtual bool PostDelayedTask(const Task& task, int64_t delay_us);
  virtual bool PostNonNestableTask(const Task& task);
  virtual bool PostNonNestableDelayedTask(const Task& task, int64_t delay_us);
  // True only on the thread whose current loop is this proxy's live target.
  virtual bool RunsOnCurrentThread();
  // Called by the loop's destructor: from now on posts are refused.
  virtual void DetachLoop();
  // The deleter of the shared ownership.
  virtual void DestroyOnOwnerThread();

 protected:
  explicit MessageLoopProxy(MessageLoop* loop) : target_(loop) {}

 private:
  CriticalSection lock_;
  MessageLoop* target_;  // guarded by lock_
};

}  // namespace kbase

#endif  // BASE_MESSAGE_LOOP_PROXY_H_
