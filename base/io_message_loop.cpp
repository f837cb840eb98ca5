#include "base/io_message_loop.h"

#include <memory>

#include "base/win_io_message_pump.h"

namespace kbase {

IOMessageLoop::IOMessageLoop() : MessageLoop(kbase::kLoopIO, std::make_shared<WinIOMessagePump>()) {}

WinIOMessagePump* IOMessageLoop::io_pump() const { return static_cast<WinIOMessagePump*>(pump()); }

}  // namespace kbase
