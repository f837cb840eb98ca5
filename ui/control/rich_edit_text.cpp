// The text and editing operations of CRichEditUI: each is one message (or two) to the text
// services through TxSendMessage, and does nothing useful without them. Buffers handed to the
// engine are sized from the text itself and what it writes back is trusted only up to their size.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <vector>

#include "ui/control/rich_edit.h"
#include "ui/control/text_host.h"

namespace ZQUI {

namespace {

constexpr UINT kCodePageUnicode = 1200;
constexpr int kMaxZoom = 64;

}  // namespace

long CRichEditUI::GetTextLength(DWORD flags) const {
  GETTEXTLENGTHEX length = {};
  length.flags = flags;
  length.codepage = kCodePageUnicode;
  LRESULT result = 0;
  TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0, &result);
  return result > 0 ? static_cast<long>(result) : 0;
}

CDuiString CRichEditUI::GetText() const {
  if (m_pTwh == nullptr) return CDuiString();
  long length = GetTextLength(GTL_DEFAULT);
  if (length <= 0) return CDuiString();
  // The engine is told the buffer's size in bytes; the count it returns is trusted only up to it.
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  GETTEXTEX request = {};
  request.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  request.flags = GT_DEFAULT;
  request.codepage = kCodePageUnicode;
  LRESULT result = 0;
  TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(buffer.data()), &result);
  size_t copied = result > 0 ? std::min(static_cast<size_t>(result), buffer.size() - 1) : 0;
  buffer[copied] = L'\0';
  return CDuiString(buffer.data(), static_cast<int>(copied));
}

void CRichEditUI::SetText(const wchar_t* text) {
  if (text == nullptr) text = L"";
  if (m_sLimitChars.IsEmpty()) {
    m_sText = text;
  } else {
    CDuiString kept;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
      if (m_sLimitChars.Find(*p) >= 0) kept += *p;
    }
    m_sText = kept;
  }
  if (m_pTwh == nullptr) return;
  SetSel(0, -1);
  ReplaceSelW(m_sText.GetData(), false);
}

void CRichEditUI::SetShowText(const wchar_t* text) {
  DWORD mask = GetEventMask();
  SetEventMask(mask & ~static_cast<DWORD>(ENM_CHANGE));
  SetSelAll();
  ReplaceShowSel(text, false);
  SetEventMask(mask);
}

bool CRichEditUI::IsModify() const {
  LRESULT result = 0;
  TxSendMessage(EM_GETMODIFY, 0, 0, &result);
  return result == 1;
}

void CRichEditUI::SetModify(bool modified) const {
  TxSendMessage(EM_SETMODIFY, modified ? TRUE : FALSE, 0, nullptr);
}

void CRichEditUI::GetSel(CHARRANGE& range) const {
  range.cpMin = range.cpMax = 0;
  TxSendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range), nullptr);
}

void CRichEditUI::GetSel(long& startChar, long& endChar) const {
  CHARRANGE range = {0, 0};
  GetSel(range);
  startChar = range.cpMin;
  endChar = range.cpMax;
}

int CRichEditUI::SetSel(CHARRANGE& range) {
  LRESULT result = 0;
  TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &result);
  return static_cast<int>(result);
}

int CRichEditUI::SetSel(long startChar, long endChar) {
  CHARRANGE range = {startChar, endChar};
  return SetSel(range);
}

void CRichEditUI::ReplaceSelW(const wchar_t* text, bool canUndo) {
  TxSendMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : L""), nullptr);
}

void CRichEditUI::ReplaceShowSel(const wchar_t* text, bool canUndo) {
  DWORD mask = GetEventMask();
  SetEventMask(mask & ~static_cast<DWORD>(ENM_CHANGE));
  ReplaceSelW(text, canUndo);
  SetEventMask(mask);
}

CDuiString CRichEditUI::GetSelText() const {
  if (m_pTwh == nullptr) return CDuiString();
  CHARRANGE range = {0, 0};
  GetSel(range);
  long length = GetTextLength(GTL_DEFAULT);
  long from = std::max(0L, std::min(static_cast<long>(range.cpMin), length));
  long to = range.cpMax < 0 ? length : std::min(static_cast<long>(range.cpMax), length);
  if (to <= from) return CDuiString();
  std::vector<wchar_t> buffer(static_cast<size_t>(to - from) + 1, L'\0');
  LRESULT result = 0;
  TxSendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()), &result);
  size_t copied = result > 0 ? std::min(static_cast<size_t>(result), buffer.size() - 1) : 0;
  buffer[copied] = L'\0';
  return CDuiString(buffer.data(), static_cast<int>(copied));
}

int CRichEditUI::SetSelAll() { return SetSel(0, -1); }
int CRichEditUI::SetSelNone() { return SetSel(-1, 0); }

WORD CRichEditUI::GetSelectionType() const {
  LRESULT result = 0;
  TxSendMessage(EM_SELECTIONTYPE, 0, 0, &result);
  return static_cast<WORD>(result);
}

bool CRichEditUI::GetZoom(int& numerator, int& denominator) const {
  LRESULT result = 0;
  TxSendMessage(EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator), &result);
  return result != 0;
}

bool CRichEditUI::SetZoom(int numerator, int denominator) {
  if (numerator > kMaxZoom || denominator > kMaxZoom) return false;
  LRESULT result = 0;
  TxSendMessage(EM_SETZOOM, static_cast<WPARAM>(numerator), static_cast<LPARAM>(denominator), &result);
  return result != 0;
}

bool CRichEditUI::SetZoomOff() {
  LRESULT result = 0;
  TxSendMessage(EM_SETZOOM, 0, 0, &result);
  return result != 0;
}

bool CRichEditUI::GetAutoURLDetect() const {
  LRESULT result = 0;
  TxSendMessage(EM_GETAUTOURLDETECT, 0, 0, &result);
  return result != 0;
}

bool CRichEditUI::SetAutoURLDetect(bool autoDetect) {
  LRESULT result = 0;
  TxSendMessage(EM_AUTOURLDETECT, autoDetect ? TRUE : FALSE, 0, &result);
  return result == 0;
}

DWORD CRichEditUI::GetEventMask() const {
  LRESULT result = 0;
  TxSendMessage(EM_GETEVENTMASK, 0, 0, &result);
  return static_cast<DWORD>(result);
}

DWORD CRichEditUI::SetEventMask(DWORD mask) {
  LRESULT result = 0;
  TxSendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(mask), &result);
  return static_cast<DWORD>(result);
}

CDuiString CRichEditUI::GetTextRange(long from, long to) const {
  if (m_pTwh == nullptr) return CDuiString();
  // The engine writes to - from characters and a terminator: a reversed, open or too long range
  // would overrun the buffer, so the range is clamped to the text first.
  long length = GetTextLength(GTL_DEFAULT);
  if (to < 0 || to > length) to = length;
  if (from < 0) from = 0;
  if (from >= to) return CDuiString();
  std::vector<wchar_t> buffer(static_cast<size_t>(to - from) + 1, L'\0');
  TEXTRANGEW range = {};
  range.chrg.cpMin = from;
  range.chrg.cpMax = to;
  range.lpstrText = buffer.data();
  LRESULT result = 0;
  TxSendMessage(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range), &result);
  size_t copied = result > 0 ? std::min(static_cast<size_t>(result), buffer.size() - 1) : 0;
  buffer[copied] = L'\0';
  return CDuiString(buffer.data(), static_cast<int>(copied));
}

void CRichEditUI::HideSelection(bool hide, bool changeStyle) {
  TxSendMessage(EM_HIDESELECTION, hide ? TRUE : FALSE, changeStyle ? TRUE : FALSE, nullptr);
}

void CRichEditUI::ScrollCaret() { TxSendMessage(EM_SCROLLCARET, 0, 0, nullptr); }

int CRichEditUI::InsertText(long position, const wchar_t* text, bool canUndo) {
  int result = SetSel(position, position);
  ReplaceSelW(text, canUndo);
  return result;
}

int CRichEditUI::AppendText(const wchar_t* text, bool canUndo) {
  int result = SetSel(-1, -1);
  ReplaceSelW(text, canUndo);
  return result;
}

DWORD CRichEditUI::GetDefaultCharFormat(CHARFORMAT2W& format) const {
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format), &result);
  return static_cast<DWORD>(result);
}

bool CRichEditUI::SetDefaultCharFormat(CHARFORMAT2W& format) {
  if (m_pTwh == nullptr) return false;
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format), &result);
  if (result == 0) return false;
  CHARFORMAT2W current = {};
  current.cbSize = sizeof(current);
  TxSendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&current), nullptr);
  m_pTwh->SetCharFormat(current);
  return true;
}

DWORD CRichEditUI::GetSelectionCharFormat(CHARFORMAT2W& format) const {
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format), &result);
  return static_cast<DWORD>(result);
}

bool CRichEditUI::SetSelectionCharFormat(CHARFORMAT2W& format) {
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format), &result);
  return result != 0;
}

bool CRichEditUI::SetWordCharFormat(CHARFORMAT2W& format) {
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, reinterpret_cast<LPARAM>(&format), &result);
  return result != 0;
}

DWORD CRichEditUI::GetParaFormat(PARAFORMAT2& format) const {
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format), &result);
  return static_cast<DWORD>(result);
}

bool CRichEditUI::SetParaFormat(PARAFORMAT2& format) {
  format.cbSize = sizeof(format);
  LRESULT result = 0;
  TxSendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format), &result);
  return result != 0;
}

namespace {
bool SendBool(const CRichEditUI* edit, UINT msg) {
  LRESULT result = 0;
  edit->TxSendMessage(msg, 0, 0, &result);
  return result != 0;
}
}  // namespace

bool CRichEditUI::CanUndo() { return SendBool(this, EM_CANUNDO); }
bool CRichEditUI::CanRedo() { return SendBool(this, EM_CANREDO); }
bool CRichEditUI::CanPaste() { return SendBool(this, EM_CANPASTE); }
bool CRichEditUI::Redo() { return SendBool(this, EM_REDO); }
bool CRichEditUI::Undo() { return SendBool(this, EM_UNDO); }
void CRichEditUI::Clear() { TxSendMessage(WM_CLEAR, 0, 0, nullptr); }
void CRichEditUI::Copy() { TxSendMessage(WM_COPY, 0, 0, nullptr); }
void CRichEditUI::Cut() { TxSendMessage(WM_CUT, 0, 0, nullptr); }
void CRichEditUI::Paste() { TxSendMessage(WM_PASTE, 0, 0, nullptr); }

int CRichEditUI::GetLineCount() const {
  LRESULT result = 0;
  TxSendMessage(EM_GETLINECOUNT, 0, 0, &result);
  return static_cast<int>(result);
}

CDuiString CRichEditUI::GetLine(int line, int maxChars) const {
  if (m_pTwh == nullptr || maxChars <= 0) return CDuiString();
  // The first word of the buffer tells the engine its size in characters: it must fit a WORD and
  // leave room for the terminator we add.
  int capacity = std::min(maxChars, 0xFFFF);
  std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + 1, L'\0');
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(capacity);
  LRESULT result = 0;
  TxSendMessage(EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()), &result);
  size_t copied = result > 0 ? std::min(static_cast<size_t>(result), static_cast<size_t>(capacity)) : 0;
  buffer[copied] = L'\0';
  return CDuiString(buffer.data(), static_cast<int>(copied));
}

int CRichEditUI::LineIndex(int line) const {
  LRESULT result = 0;
  TxSendMessage(EM_LINEINDEX, static_cast<WPARAM>(line), 0, &result);
  return static_cast<int>(result);
}

int CRichEditUI::LineLength(int line) const {
  LRESULT result = 0;
  TxSendMessage(EM_LINELENGTH, static_cast<WPARAM>(line), 0, &result);
  return static_cast<int>(result);
}

bool CRichEditUI::LineScroll(int lines, int chars) {
  LRESULT result = 0;
  TxSendMessage(EM_LINESCROLL, static_cast<WPARAM>(chars), static_cast<LPARAM>(lines), &result);
  return result != 0;
}

POINT CRichEditUI::GetCharPos(long charIndex) const {
  POINT pt = {0, 0};
  TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), static_cast<LPARAM>(charIndex), nullptr);
  return pt;
}

long CRichEditUI::LineFromChar(long charIndex) const {
  LRESULT result = 0;
  TxSendMessage(EM_EXLINEFROMCHAR, 0, static_cast<LPARAM>(charIndex), &result);
  return static_cast<long>(result);
}

POINT CRichEditUI::PosFromChar(UINT charIndex) const {
  POINTL pt = {0, 0};
  TxSendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), static_cast<LPARAM>(charIndex), nullptr);
  return POINT{pt.x, pt.y};
}

int CRichEditUI::CharFromPos(POINT pt) const {
  POINTL ptl = {pt.x, pt.y};
  LRESULT result = 0;
  TxSendMessage(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&ptl), &result);
  return static_cast<int>(result);
}

void CRichEditUI::EmptyUndoBuffer() { TxSendMessage(EM_EMPTYUNDOBUFFER, 0, 0, nullptr); }

UINT CRichEditUI::SetUndoLimit(UINT limit) {
  LRESULT result = 0;
  TxSendMessage(EM_SETUNDOLIMIT, static_cast<WPARAM>(limit), 0, &result);
  return static_cast<UINT>(result);
}

long CRichEditUI::StreamIn(int format, EDITSTREAM& stream) {
  LRESULT result = 0;
  TxSendMessage(EM_STREAMIN, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream), &result);
  return static_cast<long>(result);
}

long CRichEditUI::StreamOut(int format, EDITSTREAM& stream) {
  LRESULT result = 0;
  TxSendMessage(EM_STREAMOUT, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&stream), &result);
  return static_cast<long>(result);
}

void CRichEditUI::SetAccumulateDBCMode(bool accumulate) { m_fAccumulateDBC = accumulate; }
bool CRichEditUI::IsAccumulateDBCMode() const { return m_fAccumulateDBC; }

bool CRichEditUI::SetDropAcceptFile(bool) {
  LRESULT result = 0;
  TxSendMessage(EM_SETEVENTMASK, 0, ENM_DROPFILES | ENM_LINK, &result);
  return result == 0;
}

IDropTarget* CRichEditUI::GetTxDropTarget() {
  IDropTarget* target = nullptr;
  if (m_pTwh != nullptr && m_pTwh->GetTextServices() != nullptr) m_pTwh->GetTextServices()->TxGetDropTarget(&target);
  return target;
}

SIZE CRichEditUI::GetNaturalSize(LONG width, LONG height) {
  SIZE size = {0, 0};
  if (m_pTwh == nullptr || m_pTwh->GetTextServices() == nullptr) return size;
  LONG w = std::max<LONG>(width, 0);
  LONG h = std::max<LONG>(height, 0);
  SIZEL extent = {-1, -1};
  HDC dc = m_pManager != nullptr ? m_pManager->GetPaintDC() : nullptr;
  m_pTwh->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, dc, nullptr, nullptr, TXTNS_FITTOCONTENT, &extent,
                                              &w, &h);
  size.cx = w;
  size.cy = h;
  return size;
}

}  // namespace ZQUI
