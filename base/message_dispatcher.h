#ifndef BASE_MESSAGE_DISPATCHER_H_
#define BASE_MESSAGE_DISPATCHER_H_

#include <windows.h>

namespace kbase {

// Takes over translating and dispatching the window messages of a UI loop's run.
class MessageDispatcher {
 public:
  virtual ~MessageDispatcher() = default;
  // False ends the current run, as WM_QUIT would (nothing is posted again).
  virtual bool Dispatch(const MSG& message) = 0;
};

}  // namespace kbase

#endif  // BASE_MESSAGE_DISPATCHER_H_
