#ifndef BASE_WIN_IO_MESSAGE_PUMP_H_
#define BASE_WIN_IO_MESSAGE_PUMP_H_

#include <windows.h>

#include <cstdint>

#include "base/observer_list.h"
#include "base/win_message_pump.h"

namespace kbase {

// The pump of an IO loop: waits on an IO completion port, which also carries its wake-ups.
class WinIOMessagePump : public WinMessagePump {
 public:
  class IOObserver {
   public:
    virtual ~IOObserver() = default;
    virtual void OnBeforeIOEvent() = 0;
    virtual void OnAfterIOEvent() = 0;
  };

  class IOCompletionHandler;

  // The overlapped record of one IO operation, followed by the handler it completes to. An owner
  // that goes away before its operation completes sets handler to null; the pump then deletes the
  // context, which must therefore have been made with new.
  struct IOContext {
    OVERLAPPED overlapped;
    IOCompletionHandler* handler;
  };

  class IOCompletionHandler {
   public:
    virtual ~IOCompletionHandler() = default;
    virtual void OnIOCompleted(IOContext* context, DWORD bytes_transferred, DWORD error) = 0;
  };

  WinIOMessagePump();
  ~WinIOMessagePump() override;

  void WakeUp() override;
  void SetWakeUpTime(const int64_t& time) override;

  // Associates a handle opened for overlapped IO with the port; its completions go to handler.
  bool RegisterIOHandler(HANDLE file, IOCompletionHandler* handler);

  void AddIOObserver(IOObserver* observer) { io_observers_.AddObserver(observer); }
  void RemoveIOObserver(IOObserver* observer) { io_observers_.RemoveObserver(observer); }

  HANDLE completion_port() const { return port_; }

 protected:
  void PumpLoop() override;

 private:
  ULONG_PTR wake_up_key() const { return reinterpret_cast<ULONG_PTR>(this); }
  bool WaitForIOCompletion(DWORD timeout);

  HANDLE port_ = INVALID_HANDLE_VALUE;
  ObserverList<IOObserver> io_observers_;
};

}  // namespace kbase

#endif  // BASE_WIN_IO_MESSAGE_PUMP_H_
