#include "base/ui_message_loop.h"

#include <memory>

#include "base/win_ui_message_pump.h"

namespace kbase {

UIMessageLoop::UIMessageLoop() : MessageLoop(kbase::kLoopUI, std::make_shared<WinUIMessagePump>()) {}

WinUIMessagePump* UIMessageLoop::ui_pump() const { return static_cast<WinUIMessagePump*>(pump()); }

}  // namespace kbase
