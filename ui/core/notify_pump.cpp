#include "ui/core/notify_pump.h"

#include "ui/core/control.h"

namespace ZQUI {

const DUI_MSGMAP_ENTRY CNotifyPump::_messageEntries[] = {
    {L"", L"", DuiSig_end, nullptr, nullptr},
};

const DUI_MSGMAP CNotifyPump::messageMap = {&CNotifyPump::_GetBaseMessageMap,
                                            &CNotifyPump::_messageEntries[0]};

const DUI_MSGMAP* CNotifyPump::_GetBaseMessageMap() { return nullptr; }

const DUI_MSGMAP* CNotifyPump::GetMessageMap() const { return &CNotifyPump::messageMap; }

CNotifyPump::CNotifyPump() : m_VirtualWndMap(83) {}

bool CNotifyPump::AddVirtualWnd(CDuiString name, CNotifyPump* pump) {
  if (pump == nullptr || m_VirtualWndMap.Find(name) != nullptr) return false;
  return m_VirtualWndMap.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(CDuiString name) {
  if (m_VirtualWndMap.Find(name) == nullptr) return false;
  return m_VirtualWndMap.Remove(name);
}

void CNotifyPump::NotifyPump(TNotifyUI& msg) {
  if (!msg.virtualWindow.IsEmpty()) {
    for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
      const wchar_t* key = m_VirtualWndMap.GetAt(i);
      if (key == nullptr || msg.virtualWindow.CompareNoCase(key) != 0) continue;
      auto* pump = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
      if (pump != nullptr && pump->LoopDispatch(msg)) return;
    }
  }
  LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
  CDuiString senderName;
  if (msg.sender != nullptr) senderName = msg.sender->GetName();
  for (const DUI_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    const DUI_MSGMAP_ENTRY* exact = nullptr;
    const DUI_MSGMAP_ENTRY* fallback = nullptr;
    for (const DUI_MSGMAP_ENTRY* entry = map->lpEntries; entry != nullptr && entry->nSig != DuiSig_end;
         ++entry) {
      if (entry->sMsgType != msg.typeName.GetData()) continue;
      if (entry->sCtrlName.IsEmpty()) {
        fallback = entry;
      } else if (entry->sCtrlName == senderName.GetData()) {
        exact = entry;
        break;
      }
    }
    const DUI_MSGMAP_ENTRY* found = exact != nullptr ? exact : fallback;
    if (found == nullptr) continue;
    switch (found->nSig) {
      case DuiSig_lwl:
        if (found->pfnLwl == nullptr) return false;
        (this->*(found->pfnLwl))(msg.wParam, msg.lParam);
        return true;
      case DuiSig_vn:
        if (found->pfn == nullptr) return false;
        (this->*(found->pfn))(msg);
        return true;
      default:
        return false;
    }
  }
  return false;
}

}  // namespace ZQUI
