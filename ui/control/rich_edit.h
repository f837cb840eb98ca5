// CRichEditUI: a windowless rich-text edit control. The text engine is the system's rich edit text
// services (created from "Msftedit.dll"); the control is its host through CTxtWinHost, forwards the
// window's messages to it through a message filter of the paint manager, draws its output inside the
// control rectangle and bridges its scroll requests to the container's scroll bars. It adds a
// placeholder text, state images, a context menu and the notifications "textchanged" and "return".
// Without text services the control stays an empty, usable box. UI thread only.
#pragma once

#include <windows.h>
#include <richedit.h>

#include "ui/core/paint_manager.h"
#include "ui/layout/container.h"

struct IDropTarget;

namespace ZQUI {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
 public:
  // Timer of the caret blink in layered windows.
  static constexpr UINT kCaretTimerId = 20;

  CRichEditUI();
  ~CRichEditUI() override;
  CRichEditUI(const CRichEditUI&) = delete;
  CRichEditUI& operator=(const CRichEditUI&) = delete;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;

  // Added operations, in this order.
  virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const;
  virtual bool OnTxViewChanged();
  virtual void OnTxNotify(DWORD code, void* data);
  virtual void CopyData(CRichEditUI* control);

  bool IsMultiLine() const;
  void SetMultiLine(bool multiLine);
  bool IsWantTab() const;
  void SetWantTab(bool want = true);
  bool IsWantReturn() const;
  void SetWantReturn(bool want = true);
  bool IsWantCtrlReturn() const;
  void SetWantCtrlReturn(bool want = true);
  bool IsTransparent() const;
  void SetTransparent(bool transparent = true);
  bool IsRich() const;
  void SetRich(bool rich = true);
  bool IsReadOnly() const;
  void SetReadOnly(bool readOnly = true);
  bool IsWordWrap() const;
  void SetWordWrap(bool wordWrap = true);
  int GetFont() const;
  void SetFont(int index);
  void SetFont(const wchar_t* face, int size, bool bold, bool underline, bool italic);
  LONG GetWinStyle() const;
  void SetWinStyle(LONG style);
  DWORD GetTextColor() const;
  void SetTextColor(DWORD color);
  int GetLimitText() const;
  void SetLimitText(int chars);
  long GetTextLength(DWORD flags = GTL_DEFAULT) const;
  CDuiString GetText() const override;
  void SetText(const wchar_t* text) override;
  // Replaces the whole text without a "textchanged" notification.
  void SetShowText(const wchar_t* text);
  bool IsModify() const;
  void SetModify(bool modified = true) const;
  void GetSel(CHARRANGE& range) const;
  void GetSel(long& startChar, long& endChar) const;
  int SetSel(CHARRANGE& range);
  int SetSel(long startChar, long endChar);
  void ReplaceSelW(const wchar_t* text, bool canUndo);
  // Replaces the selection without a "textchanged" notification.
  void ReplaceShowSel(const wchar_t* text, bool canUndo);
  CDuiString GetSelText() const;
  int SetSelAll();
  int SetSelNone();
  WORD GetSelectionType() const;
  bool GetZoom(int& numerator, int& denominator) const;
  bool SetZoom(int numerator, int denominator);
  bool SetZoomOff();
  bool GetAutoURLDetect() const;
  bool SetAutoURLDetect(bool autoDetect = true);
  DWORD GetEventMask() const;
  DWORD SetEventMask(DWORD mask);
  // The characters from `from` up to `to`; `to` below 0 or past the end means the end of the text.
  CDuiString GetTextRange(long from, long to) const;
  void HideSelection(bool hide = true, bool changeStyle = false);
  void ScrollCaret();
  int InsertText(long position, const wchar_t* text, bool canUndo = false);
  int AppendText(const wchar_t* text, bool canUndo = false);
  DWORD GetDefaultCharFormat(CHARFORMAT2W& format) const;
  bool SetDefaultCharFormat(CHARFORMAT2W& format);
  DWORD GetSelectionCharFormat(CHARFORMAT2W& format) const;
  bool SetSelectionCharFormat(CHARFORMAT2W& format);
  bool SetWordCharFormat(CHARFORMAT2W& format);
  DWORD GetParaFormat(PARAFORMAT2& format) const;
  bool SetParaFormat(PARAFORMAT2& format);
  bool CanUndo();
  bool CanRedo();
  bool CanPaste();
  bool Redo();
  bool Undo();
  void Clear();
  void Copy();
  void Cut();
  void Paste();
  int GetLineCount() const;
  // Line `line`, at most `maxChars` characters.
  CDuiString GetLine(int line, int maxChars) const;
  int LineIndex(int line = -1) const;
  int LineLength(int line = -1) const;
  bool LineScroll(int lines, int chars = 0);
  POINT GetCharPos(long charIndex) const;
  long LineFromChar(long charIndex) const;
  POINT PosFromChar(UINT charIndex) const;
  int CharFromPos(POINT pt) const;
  void EmptyUndoBuffer();
  UINT SetUndoLimit(UINT limit);
  long StreamIn(int format, EDITSTREAM& stream);
  long StreamOut(int format, EDITSTREAM& stream);
  void SetAccumulateDBCMode(bool accumulate);
  bool IsAccumulateDBCMode() const;
  bool SetDropAcceptFile(bool accept);
  IDropTarget* GetTxDropTarget();
  // The text's natural size at the given width (and height), fitted to the content.
  SIZE GetNaturalSize(LONG width, LONG height);

  CDuiString GetLimitTextString() const;
  void SetLimitTextString(const wchar_t* chars);
  RECT GetTextPadding() const;
  void SetTextPadding(RECT rc);
  CDuiString GetTipValue() const;
  void SetTipValue(const wchar_t* value);
  DWORD GetTipValueColor() const;
  void SetTipValueColor(const wchar_t* color);
  UINT GetTipValueAlign() const;
  void SetTipValueAlign(UINT align);
  RECT GetTipValuePadding() const;
  void SetTipValuePadding(RECT rc);
  const wchar_t* GetNormalImage() const;
  void SetNormalImage(const wchar_t* image);
  const wchar_t* GetHotImage() const;
  void SetHotImage(const wchar_t* image);
  const wchar_t* GetFocusedImage() const;
  void SetFocusedImage(const wchar_t* image);
  const wchar_t* GetDisabledImage() const;
  void SetDisabledImage(const wchar_t* image);

  // True while the control made the vertical bar visible itself (the engine did not ask for it).
  bool IsScrollBarFixing() const { return m_fixScrollbar; }
  // Whether the text services were created (false: the empty-box fallback).
  bool HasTextServices() const { return m_pTwh != nullptr; }
  // The host's client rectangle (where the engine lays out and draws the text).
  RECT GetTextClientRect() const;
  // The context menu for the current state (commands 101-107, greyed where they cannot apply);
  // the caller destroys it.
  HMENU BuildContextMenu();
  // Called by the host when the engine showed or hid a scroll bar: the control lays out again so
  // that the text makes room for the bar (or takes the room back).
  void OnTxScrollBarChanged();

  // Container scroll operations, carried to the engine.
  void SetScrollPos(SIZE pos, bool notify = true, bool tools = true) override;
  void LineUp(bool notify = true) override;
  void LineDown(bool tools = true) override;
  void PageUp() override;
  void PageDown() override;
  void HomeUp() override;
  void EndDown() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void HomeLeft() override;
  void EndRight() override;

  void SetPos(RECT rc, bool needInvalidate = true) override;
  void Move(SIZE offset, bool needInvalidate = true) override;
  void SetEnabled(bool enable = true) override;
  CControlUI* Clone() override;
  void CopyData(CControlUI* control) override;
  void DoInit() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  bool DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl) override;
  void PaintStatusImage(HDC hDC) override;

  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  // Content rectangle: the item rectangle minus the inset and the visible bars.
  RECT ContentRect(const RECT& item) const;
  // The engine's client rectangle for a content rectangle (text padding taken off).
  RECT TextRectFor(const RECT& content) const;
  void ShowContextMenu(POINT screenPt);
  void InvalidateCaretArea();
  // Sends a scroll command to the engine for one axis.
  void SendScroll(bool vertical, WORD code, WORD position = 0);

  CDuiString m_sLimitChars;
  CTxtWinHost* m_pTwh = nullptr;
  bool m_fixScrollbar = false;
  bool m_bWantTab = true;
  bool m_bWantReturn = true;
  bool m_bWantCtrlReturn = true;
  bool m_bTransparent = true;
  bool m_bRich = true;
  bool m_bReadOnly = false;
  bool m_bWordWrap = false;
  DWORD m_dwTextColor = 0;
  int m_iFont = -1;
  int m_iLimitText = 0x7FFF;
  LONG m_lTwhStyle = ES_MULTILINE;
  bool m_bDrawCaret = true;
  bool m_bInited = false;
  bool m_fAccumulateDBC = false;
  RECT m_rcTextPadding = {0, 0, 0, 0};
  UINT m_uButtonState = 0;
  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sFocusedImage;
  CDuiString m_sDisabledImage;
  CDuiString m_sTipValue;
  DWORD m_dwTipValueColor = 0xFFBAC0C5;
  UINT m_uTipValueAlign = DT_SINGLELINE;
  RECT m_rcTipValuePadding = {0, 0, 0, 0};
  bool m_bFilterRegistered = false;
  int m_nLayoutDepth = 0;  // inside SetPos: bar changes are settled there
};

}  // namespace ZQUI
