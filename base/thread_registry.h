#ifndef BASE_THREAD_REGISTRY_H_
#define BASE_THREAD_REGISTRY_H_

#include <cstdint>
#include <memory>

#include "base/task.h"

namespace kbase {

class FrameworkThread;
class MessageLoopProxy;

// Per OS thread running a framework thread body; touched only by that thread.
struct ThreadRecord {
  FrameworkThread* thread = nullptr;
  int register_count = 0;
  int identifier = -1;
};

// Names framework threads by small integer identifiers so that any thread can post to them without
// holding a pointer. Every operation may be called from any thread.
//
// Posting takes a shared reference to the target loop's proxy under the registry lock and posts
// after leaving it, so a post to a thread that is ending or gone returns false instead of touching
// a loop that is being destroyed.
class ThreadRegistry {
 public:
  // Called on the framework thread itself (in Init). False for a negative identifier, for one held
  // by another thread, and on a thread that runs no framework thread body.
  static bool RegisterCurrentThread(int identifier);
  // Called on the framework thread itself (in Cleanup). False when there is nothing to unregister.
  static bool UnregisterCurrentThread();

  // False when no running loop is registered under the identifier; the task is then not queued.
  static bool PostTask(int identifier, const Task& task);
  static bool PostDelayedTask(int identifier, const Task& task, int64_t delay_us);
  static bool PostNonNestableTask(int identifier, const Task& task);
  static bool PostNonNestableDelayedTask(int identifier, const Task& task, int64_t delay_us);

  // The framework thread whose body runs on the calling thread, or null.
  static FrameworkThread* CurrentThread();
  // The identifier the calling thread registered last, or -1.
  static int CurrentThreadIdentifier();
  // True when the calling thread is the one registered under the identifier.
  static bool BelongsToThread(int identifier);

 private:
  friend class FrameworkThread;

  static ThreadRecord* CurrentRecord();
  static void SetCurrentRecord(ThreadRecord* record);
  // Publishes or clears (null) a thread's loop proxy under the registry lock.
  static void SetThreadProxy(FrameworkThread* thread, std::shared_ptr<MessageLoopProxy> proxy);
  static std::shared_ptr<MessageLoopProxy> ThreadProxy(FrameworkThread* thread);
  static std::shared_ptr<MessageLoopProxy> ProxyOf(int identifier);
  // Drops every registration of a thread object that is going away.
  static void ForgetThread(FrameworkThread* thread);
};

}  // namespace kbase

#endif  // BASE_THREAD_REGISTRY_H_
