#ifndef BASE_UI_MESSAGE_LOOP_H_
#define BASE_UI_MESSAGE_LOOP_H_

#include "base/message_loop.h"

namespace kbase {

class WinUIMessagePump;

// A loop whose pump dispatches the thread's window messages between tasks (WinUIMessagePump).
class UIMessageLoop : public MessageLoop {
 public:
  UIMessageLoop();
  WinUIMessagePump* ui_pump() const;
};

}  // namespace kbase

#endif  // BASE_UI_MESSAGE_LOOP_H_
