// Unfinished: the control without its text services yet (the empty-box state).
#include "ui/control/rich_edit.h"

namespace ZQUI {

CRichEditUI::CRichEditUI() = default;
CRichEditUI::~CRichEditUI() = default;
CControlUI* CRichEditUI::CreateControl() { return new CRichEditUI(); }
const wchar_t* CRichEditUI::GetClass() const { return L"RichEditUI"; }
void* CRichEditUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && wcscmp(name, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
  return CContainerUI::GetInterface(name);
}
UINT CRichEditUI::GetControlFlags() const { return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0; }
HRESULT CRichEditUI::TxSendMessage(UINT, WPARAM, LPARAM, LRESULT*) const { return S_FALSE; }
bool CRichEditUI::OnTxViewChanged() { return true; }
void CRichEditUI::OnTxNotify(DWORD, void*) {}
void CRichEditUI::CopyData(CRichEditUI* control) { CContainerUI::CopyData(control); }
CDuiString CRichEditUI::GetText() const { return CDuiString(); }
void CRichEditUI::SetText(const wchar_t* text) { m_sText = text; }
void CRichEditUI::SetScrollPos(SIZE pos, bool notify, bool tools) { CContainerUI::SetScrollPos(pos, notify, tools); }
void CRichEditUI::LineUp(bool notify) { CContainerUI::LineUp(notify); }
void CRichEditUI::LineDown(bool tools) { CContainerUI::LineDown(tools); }
void CRichEditUI::PageUp() { CContainerUI::PageUp(); }
void CRichEditUI::PageDown() { CContainerUI::PageDown(); }
void CRichEditUI::HomeUp() { CContainerUI::HomeUp(); }
void CRichEditUI::EndDown() { CContainerUI::EndDown(); }
void CRichEditUI::LineLeft() { CContainerUI::LineLeft(); }
void CRichEditUI::LineRight() { CContainerUI::LineRight(); }
void CRichEditUI::PageLeft() { CContainerUI::PageLeft(); }
void CRichEditUI::PageRight() { CContainerUI::PageRight(); }
void CRichEditUI::HomeLeft() { CContainerUI::HomeLeft(); }
void CRichEditUI::EndRight() { CContainerUI::EndRight(); }
void CRichEditUI::SetPos(RECT rc, bool needInvalidate) { CContainerUI::SetPos(rc, needInvalidate); }
void CRichEditUI::Move(SIZE offset, bool needInvalidate) { CContainerUI::Move(offset, needInvalidate); }
void CRichEditUI::SetEnabled(bool enable) { CContainerUI::SetEnabled(enable); }
CControlUI* CRichEditUI::Clone() { return new CRichEditUI(); }
void CRichEditUI::CopyData(CControlUI* control) { CContainerUI::CopyData(control); }
void CRichEditUI::DoInit() { m_bInited = true; }
void CRichEditUI::DoEvent(TEventUI& event) { CContainerUI::DoEvent(event); }
void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) { CContainerUI::SetAttribute(name, value); }
bool CRichEditUI::DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl) {
  return CContainerUI::DoPaint(hDC, paint, stopControl);
}
void CRichEditUI::PaintStatusImage(HDC) {}
LRESULT CRichEditUI::MessageHandler(UINT, WPARAM, LPARAM, bool&) { return 0; }

}  // namespace ZQUI
