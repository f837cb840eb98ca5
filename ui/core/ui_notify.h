// tagTNotifyUI: a notification from a control to the window's notifiers, the receiver interface
// and the notification names sent by the library.
#pragma once

#include <windows.h>

#include "ui/core/dui_string.h"

namespace ZQUI {

class CControlUI;

struct tagTNotifyUI {
  CDuiString typeName;
  CDuiString virtualWindow;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mousePos = {0, 0};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
using TNotifyUI = tagTNotifyUI;

class INotifyUI {
 public:
  virtual void Notify(TNotifyUI& msg) = 0;

 protected:
  ~INotifyUI() = default;
};

namespace NotifyName {
constexpr const wchar_t* kWindowInit = L"windowinit";
constexpr const wchar_t* kWindowSize = L"windowsize";
constexpr const wchar_t* kSetFocus = L"setfocus";
constexpr const wchar_t* kKillFocus = L"killfocus";
constexpr const wchar_t* kTimer = L"timer";
constexpr const wchar_t* kMenu = L"menu";
constexpr const wchar_t* kClick = L"click";
constexpr const wchar_t* kButtonDown = L"buttondown";
constexpr const wchar_t* kMouseEnter = L"mouseenter";
constexpr const wchar_t* kMouseLeave = L"mouseleave";
constexpr const wchar_t* kSelectChanged = L"selectchanged";
constexpr const wchar_t* kUnselected = L"unselected";
constexpr const wchar_t* kCheckClick = L"checkclick";
constexpr const wchar_t* kScroll = L"scroll";
constexpr const wchar_t* kScrollTools = L"scrolltools";
constexpr const wchar_t* kSplitMove = L"splitmove";
constexpr const wchar_t* kSplitMoveUp = L"splitmoveup";
constexpr const wchar_t* kReturn = L"return";
constexpr const wchar_t* kTextChanged = L"textchanged";
constexpr const wchar_t* kTabSelect = L"tabselect";
}  // namespace NotifyName

}  // namespace ZQUI
