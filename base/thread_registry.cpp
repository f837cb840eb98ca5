#include "base/thread_registry.h"

#include <map>
#include <utility>

#include "base/critical_section.h"
#include "base/framework_thread.h"
#include "base/lazy_tls_slot.h"
#include "base/message_loop_proxy.h"

namespace kbase {

namespace {

struct Registry {
  CriticalSection lock;
  std::map<int, FrameworkThread*> threads;  // guarded by lock
};

// Made once, by whichever thread comes first, and never destroyed: a thread still running while the
// process exits may post.
Registry& TheRegistry() {
  static Registry* const registry = new Registry;
  return *registry;
}

LazyTlsSlot g_thread_record;

}  // namespace

ThreadRecord* ThreadRegistry::CurrentRecord() {
  return static_cast<ThreadRecord*>(g_thread_record.Get());
}

void ThreadRegistry::SetCurrentRecord(ThreadRecord* record) { g_thread_record.Set(record); }

bool ThreadRegistry::RegisterCurrentThread(int identifier) {
  if (identifier < 0)
    return false;
  ThreadRecord* record = CurrentRecord();
  if (!record)
    return false;
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  auto inserted = registry.threads.emplace(identifier, record->thread);
  if (!inserted.second && inserted.first->second != record->thread)
    return false;
  ++record->register_count;
  record->identifier = identifier;
  return true;
}

bool ThreadRegistry::UnregisterCurrentThread() {
  ThreadRecord* record = CurrentRecord();
  if (!record || record->register_count < 1)
    return false;
  if (--record->register_count == 0) {
    Registry& registry = TheRegistry();
    AutoLock hold(registry.lock);
    auto it = registry.threads.find(record->identifier);
    if (it != registry.threads.end() && it->second == record->thread)
      registry.threads.erase(it);
    record->identifier = -1;
  }
  return true;
}

std::shared_ptr<MessageLoopProxy> ThreadRegistry::ProxyOf(int identifier) {
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  auto it = registry.threads.find(identifier);
  if (it == registry.threads.end())
    return nullptr;
  return it->second->loop_proxy_;
}

bool ThreadRegistry::PostTask(int identifier, const Task& task) {
  std::shared_ptr<MessageLoopProxy> proxy = ProxyOf(identifier);
  return proxy && proxy->PostTask(task);
}

bool ThreadRegistry::PostDelayedTask(int identifier, const Task& task, int64_t delay_us) {
  std::shared_ptr<MessageLoopProxy> proxy = ProxyOf(identifier);
  return proxy && proxy->PostDelayedTask(task, delay_us);
}

bool ThreadRegistry::PostNonNestableTask(int identifier, const Task& task) {
  std::shared_ptr<MessageLoopProxy> proxy = ProxyOf(identifier);
  return proxy && proxy->PostNonNestableTask(task);
}

bool ThreadRegistry::PostNonNestableDelayedTask(int identifier, const Task& task,
                                                int64_t delay_us) {
  std::shared_ptr<MessageLoopProxy> proxy = ProxyOf(identifier);
  return proxy && proxy->PostNonNestableDelayedTask(task, delay_us);
}

FrameworkThread* ThreadRegistry::CurrentThread() {
  ThreadRecord* record = CurrentRecord();
  return record ? record->thread : nullptr;
}

int ThreadRegistry::CurrentThreadIdentifier() {
  ThreadRecord* record = CurrentRecord();
  return record ? record->identifier : -1;
}

bool ThreadRegistry::BelongsToThread(int identifier) {
  ThreadRecord* record = CurrentRecord();
  if (!record)
    return false;
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  auto it = registry.threads.find(identifier);
  return it != registry.threads.end() && it->second == record->thread;
}

void ThreadRegistry::SetThreadProxy(FrameworkThread* thread,
                                    std::shared_ptr<MessageLoopProxy> proxy) {
  {
    Registry& registry = TheRegistry();
    AutoLock hold(registry.lock);
    thread->loop_proxy_.swap(proxy);
  }
  // The previous reference is released here, outside the registry lock.
}

std::shared_ptr<MessageLoopProxy> ThreadRegistry::ThreadProxy(FrameworkThread* thread) {
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  return thread->loop_proxy_;
}

void ThreadRegistry::ForgetThread(FrameworkThread* thread) {
  // Declared before the lock guard, so the proxy reference is released after the lock is left.
  std::shared_ptr<MessageLoopProxy> released;
  Registry& registry = TheRegistry();
  AutoLock hold(registry.lock);
  for (auto it = registry.threads.begin(); it != registry.threads.end();) {
    if (it->second == thread)
      it = registry.threads.erase(it);
    else
      ++it;
  }
  released.swap(thread->loop_proxy_);
}

}  // namespace kbase
