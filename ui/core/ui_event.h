// tagTEventUI: one input event from the paint manager to a control, with its type numbering and
// the modifier bits of keyState.
#pragma once

#include <windows.h>

namespace ZQUI {

class CControlUI;

// Event types. The values 1, 2, 7, 8, 22 and 28 are range markers and never sent: key events lie
// strictly between KeyBegin and KeyEnd, mouse events strictly between MouseBegin and MouseEnd.
struct UiEventType {
  enum : int {
    First = 1,
    KeyBegin = 2,
    KeyDown = 3,
    KeyUp = 4,
    Char = 5,
    SysKey = 6,
    KeyEnd = 7,
    MouseBegin = 8,
    MouseMove = 9,
    MouseLeave = 10,
    MouseEnter = 11,
    MouseHover = 12,
    ButtonDown = 13,
    ButtonUp = 14,
    RButtonDown = 15,
    RButtonUp = 16,
    MButtonDown = 17,
    MButtonUp = 18,
    DblClick = 19,
    ContextMenu = 20,
    ScrollWheel = 21,
    MouseEnd = 22,
    KillFocus = 23,
    SetFocus = 24,
    WindowSize = 25,
    SetCursor = 26,
    Timer = 27,
    Last = 28,
  };
  static bool IsKeyEvent(int type) { return type > KeyBegin && type < KeyEnd; }
  static bool IsMouseEvent(int type) { return type > MouseBegin && type < MouseEnd; }
};

// Bits of tagTEventUI::keyState for mouse-move, wheel, hover, key and timer events.
struct KeyModifiers {
  enum : WORD {
    LButton = 0x01,
    RButton = 0x02,
    Shift = 0x04,
    Control = 0x08,
    Alt = 0x20,
  };
};

struct tagTEventUI {
  int type = 0;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mousePos = {0, 0};
  wchar_t key = 0;
  WORD keyState = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
using TEventUI = tagTEventUI;

}  // namespace ZQUI
