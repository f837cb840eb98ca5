#include "base/thread.h"

#include <process.h>

namespace kbase {

Thread::~Thread() { JoinOrTerminate(); }

unsigned __stdcall Thread::ThreadMain(void* param) {
  if (param)
    static_cast<Thread*>(param)->Run();
  return 0;
}

bool Thread::Create() {
  unsigned id = 0;
  const uintptr_t handle = _beginthreadex(nullptr, 0, &ThreadMain, this, 0, &id);
  // _beginthreadex reports failure as 0; a value of 1 is no usable handle either.
  if (handle < 2) {
    handle_ = nullptr;
    set_thread_id(0);
    return false;
  }
  handle_ = reinterpret_cast<HANDLE>(handle);
  set_thread_id(id);
  return true;
}

bool Thread::Terminate() {
  if (!handle_)
    return true;
  if (!TerminateThread(handle_, 0))
    return false;
  CloseHandle(handle_);
  handle_ = nullptr;
  set_thread_id(0);
  return true;
}

bool Thread::JoinOrTerminate() {
  if (!handle_)
    return true;
  if (WaitForSingleObject(handle_, kJoinTimeoutMs) != WAIT_OBJECT_0 &&
      !TerminateThread(handle_, 0))
    return false;
  CloseHandle(handle_);
  handle_ = nullptr;
  set_thread_id(0);
  return true;
}

}  // namespace kbase
