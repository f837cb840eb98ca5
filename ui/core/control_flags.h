// Search flags of CControlUI::FindControl and the control flags of GetControlFlags.
#pragma once

#include <windows.h>

namespace ZQUI {

class CControlUI;

// Callback of a tree search: returns the control that ends the search, or null to go on.
using FINDCONTROLPROC = CControlUI*(CALLBACK*)(CControlUI*, LPVOID);

enum : UINT {
  FindAll = 0x00000000,
  FindVisible = 0x00000001,
  FindEnabled = 0x00000002,
  FindHitTest = 0x00000004,
  FindUpdateTest = 0x00000008,
  FindTopFirst = 0x00000010,
  FindMeFirst = 0x80000000,
};

enum : UINT {
  ControlFlagTabStop = 0x00000001,    // the control takes part in Tab navigation
  ControlFlagSetCursor = 0x00000002,  // the manager sends the control SetCursor events
};

}  // namespace ZQUI
