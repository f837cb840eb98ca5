// ButtonState: the interaction state bits that buttons, options, check boxes and the parts of a
// scroll bar keep in one UINT. The status-image and text painting choose their resources from them.
#pragma once

#include <windows.h>

namespace ZQUI {

enum ButtonState : UINT {
  StateFocused = 0x01,
  StateSelected = 0x02,
  StateDisabled = 0x04,
  StateHot = 0x08,      // the pointer is over the control
  StatePushed = 0x10,   // pressed, and the pointer is inside
  StateCaptured = 0x40, // a press began on the control and is being tracked
};

}  // namespace ZQUI
