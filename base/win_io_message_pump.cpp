#include "base/win_io_message_pump.h"

namespace kbase {

WinIOMessagePump::WinIOMessagePump()
    : port_(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {
  if (!port_)
    port_ = INVALID_HANDLE_VALUE;
}

WinIOMessagePump::~WinIOMessagePump() {
  if (port_ != INVALID_HANDLE_VALUE)
    CloseHandle(port_);
}

void WinIOMessagePump::WakeUp() {
  if (wake_pending_.exchange(1) != 0)
    return;
  // When the packet cannot be queued, the next WakeUp must try again rather than find a wake-up
  // "in flight" that never arrives.
  if (!PostQueuedCompletionStatus(port_, 0, wake_up_key(), reinterpret_cast<LPOVERLAPPED>(this)))
    wake_pending_.store(0);
}

void WinIOMessagePump::SetWakeUpTime(const int64_t& time) { wake_up_time_ = time; }

bool WinIOMessagePump::RegisterIOHandler(HANDLE file, IOCompletionHandler* handler) {
  if (port_ == INVALID_HANDLE_VALUE || !handler)
    return false;
  return CreateIoCompletionPort(file, port_, reinterpret_cast<ULONG_PTR>(handler), 1) == port_;
}

void WinIOMessagePump::PumpLoop() {
  for (;;) {
    bool more = frame_->delegate->RunWork();
    if (ShouldQuit())
      break;
    more |= WaitForIOCompletion(0);
    if (ShouldQuit())
      break;
    more |= frame_->delegate->RunDelayedWork(wake_up_time_);
    if (ShouldQuit())
      break;
    if (!more) {
      const bool idle_work = frame_->delegate->RunIdleWork();
      if (ShouldQuit())
        break;
      if (!idle_work) {
        WaitForIOCompletion(CurrentWaitTime());
        if (ShouldQuit())
          break;
      }
    }
  }
}

bool WinIOMessagePump::WaitForIOCompletion(DWORD timeout) {
  DWORD bytes = 0;
  ULONG_PTR key = 0;
  OVERLAPPED* overlapped = nullptr;
  DWORD error = ERROR_SUCCESS;
  if (!GetQueuedCompletionStatus(port_, &bytes, &key, &overlapped, timeout)) {
    if (!overlapped)
      return false;  // time-out or a broken port: nothing was dequeued
    error = GetLastError();
    bytes = 0;
  }
  if (key == wake_up_key() && overlapped == reinterpret_cast<OVERLAPPED*>(this)) {
    wake_pending_.store(0);
    return true;
  }
  auto* context = reinterpret_cast<IOContext*>(overlapped);
  if (context->handler) {
    io_observers_.Notify([](IOObserver* o) { o->OnBeforeIOEvent(); });
    reinterpret_cast<IOCompletionHandler*>(key)->OnIOCompleted(context, bytes, error);
    io_observers_.Notify([](IOObserver* o) { o->OnAfterIOEvent(); });
  } else {
    delete context;  // its owner is gone
  }
  return true;
}

}  // namespace kbase
