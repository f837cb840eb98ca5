#ifndef BASE_IO_MESSAGE_LOOP_H_
#define BASE_IO_MESSAGE_LOOP_H_

#include "base/message_loop.h"

namespace kbase {

class WinIOMessagePump;

// A loop whose pump waits on an IO completion port (WinIOMessagePump).
class IOMessageLoop : public MessageLoop {
 public:
  IOMessageLoop();
  WinIOMessagePump* io_pump() const;
};

}  // namespace kbase

#endif  // BASE_IO_MESSAGE_LOOP_H_
