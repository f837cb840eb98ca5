#include "base/framework_thread.h"

#include "base/io_message_loop.h"
#include "base/message_loop_proxy.h"
#include "base/thread_registry.h"
#include "base/ui_message_loop.h"

namespace kbase {

FrameworkThread::FrameworkThread(const char* name)
    : start_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), name_(name ? name : "") {}

FrameworkThread::~FrameworkThread() {
  Stop();
  // Registrations left behind by a thread that never reached its Cleanup (ended by force) must not
  // point at this object once it is gone.
  ThreadRegistry::ForgetThread(this);
  if (start_event_)
    CloseHandle(start_event_);
  loop_factory_.reset();
}

bool FrameworkThread::Start() { return StartWithLoop(kbase::kLoopDefault); }

bool FrameworkThread::StartWithLoop(int loop_type) {
  // A previous thread must have been stopped first, or its handle would be lost.
  if (message_loop() || thread_handle())
    return false;
  loop_type_ = loop_type;
  dispatcher_ = nullptr;
  if (!Create())
    return false;
  // Waiting on the thread as well keeps Start from hanging when the body ends before it is ready.
  HANDLE handles[2] = {start_event_, thread_handle()};
  if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) {
    JoinOrTerminate();
    return false;
  }
  started_ = true;
  return true;
}

void FrameworkThread::RunOnCurrentThread(int loop_type, MessageDispatcher* dispatcher) {
  if (message_loop())
    return;
  loop_type_ = loop_type;
  dispatcher_ = dispatcher;
  started_ = true;
  Run();
}

void FrameworkThread::Run() {
  ThreadRecord* record = ThreadRegistry::CurrentRecord();
  if (!record) {
    record = new ThreadRecord;
    record->thread = this;
    ThreadRegistry::SetCurrentRecord(record);
  }
  set_thread_id(GetCurrentThreadId());

  MessageLoop* loop = nullptr;
  switch (loop_type_) {
    case kbase::kLoopCustom:
      if (loop_factory_)
        loop = loop_factory_->CreateMessageLoop();
      break;
    case kbase::kLoopIO:
      loop = new IOMessageLoop;
      break;
    case kbase::kLoopUI:
      loop = new UIMessageLoop;
      break;
    default:
      break;
  }
  if (!loop)
    loop = new MessageLoop;
  loop_.store(loop, std::memory_order_release);
  ThreadRegistry::SetThreadProxy(this, loop->proxy());

  Init();
  SetEvent(start_event_);

  loop->Run(dispatcher_);

  // From here on the loop runs no more tasks: posts through the registry, Stop or a proxy kept
  // elsewhere are refused rather than accepted into a queue that will only be discarded.
  ThreadRegistry::SetThreadProxy(this, nullptr);
  loop->proxy()->DetachLoop();
  Cleanup();

  delete loop;
  if (loop_type_ == kbase::kLoopCustom)
    loop_factory_.reset();
  loop_.store(nullptr, std::memory_order_release);
  set_thread_id(0);

  delete record;
  ThreadRegistry::SetCurrentRecord(nullptr);
}

void FrameworkThread::Stop() {
  if (!started_)
    return;
  if (!stopping_) {
    // A proxy reference taken under the registry lock: the loop may be ending on its own thread
    // right now, and its raw pointer must not be used from here.
    std::shared_ptr<MessageLoopProxy> proxy = ThreadRegistry::ThreadProxy(this);
    if (proxy) {
      stopping_ = true;
      proxy->PostNonNestableTask(MakeWeakCallback([] { QuitCurrentLoop(); }));
    }
  }
  // Stopping itself, the thread would wait for its own end and then kill itself mid-task: it only
  // asks its loop to end; the owner's later Stop (or destruction) joins it.
  if (thread_handle() && thread_id() == GetCurrentThreadId())
    return;
  const bool had_thread = thread_handle() != nullptr;
  if (JoinOrTerminate() && had_thread && message_loop()) {
    // Ended by force before its Cleanup: nothing may post to the dead loop any more.
    ThreadRegistry::ForgetThread(this);
  }
  started_ = false;
  stopping_ = false;
}

bool FrameworkThread::Terminate() {
  if (!Thread::Terminate())
    return false;
  if (message_loop())
    ThreadRegistry::ForgetThread(this);
  return true;
}

void FrameworkThread::QuitCurrentLoop() {
  MessageLoop* loop = MessageLoop::Current();
  if (loop && loop->frame())
    loop->QuitWhenIdle();
}

}  // namespace kbase
