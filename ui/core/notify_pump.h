// CNotifyPump routes notifications to member functions through static message maps: each map lists
// (notification name, control name, handler) entries and links to its base class's map. A pump can
// also hand notifications to other pumps registered as named virtual windows. UI thread only.
#pragma once

#include <windows.h>

#include "ui/core/dui_string.h"
#include "ui/core/std_string_ptr_map.h"
#include "ui/core/ui_notify.h"

namespace ZQUI {

class CNotifyPump;

// Handler signatures of a message-map entry.
enum DuiSig : UINT {
  DuiSig_end = 0,  // ends the entry array
  DuiSig_lwl = 1,  // LRESULT handler(WPARAM, LPARAM)
  DuiSig_vn = 2,   // void handler(TNotifyUI&)
};

using DUI_PMSG = void (CNotifyPump::*)(TNotifyUI& msg);
using DUI_PMSG_LWL = LRESULT (CNotifyPump::*)(WPARAM wParam, LPARAM lParam);

struct DUI_MSGMAP_ENTRY {
  CDuiString sMsgType;   // compared with the notification's typeName
  CDuiString sCtrlName;  // the sender's name; empty matches any control
  UINT nSig;
  DUI_PMSG pfn;          // the handler of a DuiSig_vn entry
  DUI_PMSG_LWL pfnLwl;   // the handler of a DuiSig_lwl entry
};

struct DUI_MSGMAP {
  const DUI_MSGMAP* (*pfnGetBaseMap)();
  const DUI_MSGMAP_ENTRY* lpEntries;
};

class CNotifyPump {
 public:
  CNotifyPump();
  virtual ~CNotifyPump() = default;
  CNotifyPump(const CNotifyPump&) = delete;
  CNotifyPump& operator=(const CNotifyPump&) = delete;

  // False when a virtual window of that name is registered already. The pump is not owned.
  bool AddVirtualWnd(CDuiString name, CNotifyPump* pump);
  bool RemoveVirtualWnd(CDuiString name);
  void NotifyPump(TNotifyUI& msg);
  bool LoopDispatch(TNotifyUI& msg);

  virtual const DUI_MSGMAP* GetMessageMap() const;

 protected:
  static const DUI_MSGMAP* _GetBaseMessageMap();
  static const DUI_MSGMAP messageMap;
  static const DUI_MSGMAP_ENTRY _messageEntries[];

 private:
  CStdStringPtrMap m_VirtualWndMap;
};

}  // namespace ZQUI

// Declares the message map of a class derived from CNotifyPump; the class continues in private
// access after it.
#define DUI_DECLARE_MESSAGE_MAP()                                    \
 private:                                                            \
  static const ::ZQUI::DUI_MSGMAP_ENTRY _messageEntries[];           \
                                                                     \
 protected:                                                          \
  static const ::ZQUI::DUI_MSGMAP messageMap;                        \
  static const ::ZQUI::DUI_MSGMAP* _GetBaseMessageMap();             \
                                                                     \
 public:                                                             \
  const ::ZQUI::DUI_MSGMAP* GetMessageMap() const override;          \
                                                                     \
 private:

#define DUI_BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
  const ::ZQUI::DUI_MSGMAP* theClass::_GetBaseMessageMap() { return &baseClass::messageMap; } \
  const ::ZQUI::DUI_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; } \
  const ::ZQUI::DUI_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap,          \
                                                   &theClass::_messageEntries[0]};         \
  const ::ZQUI::DUI_MSGMAP_ENTRY theClass::_messageEntries[] = {

#define DUI_END_MESSAGE_MAP() \
  {L"", L"", ::ZQUI::DuiSig_end, nullptr, nullptr}};

// void theClass::handler(TNotifyUI&) for every control.
#define DUI_ON_MSGTYPE(msgtype, memberFxn) \
  {msgtype, L"", ::ZQUI::DuiSig_vn, static_cast<::ZQUI::DUI_PMSG>(&memberFxn), nullptr},

// void theClass::handler(TNotifyUI&) for one control name.
#define DUI_ON_MSGTYPE_CTRNAME(msgtype, ctrname, memberFxn) \
  {msgtype, ctrname, ::ZQUI::DuiSig_vn, static_cast<::ZQUI::DUI_PMSG>(&memberFxn), nullptr},

#define DUI_ON_CLICK_CTRNAME(ctrname, memberFxn) \
  DUI_ON_MSGTYPE_CTRNAME(::ZQUI::NotifyName::kClick, ctrname, memberFxn)

#define DUI_ON_SELECTCHANGED_CTRNAME(ctrname, memberFxn) \
  DUI_ON_MSGTYPE_CTRNAME(::ZQUI::NotifyName::kSelectChanged, ctrname, memberFxn)

// LRESULT theClass::handler(WPARAM, LPARAM) for one notification name and any control.
#define DUI_ON_MSGTYPE_LWL(msgtype, memberFxn) \
  {msgtype, L"", ::ZQUI::DuiSig_lwl, nullptr, static_cast<::ZQUI::DUI_PMSG_LWL>(&memberFxn)},
