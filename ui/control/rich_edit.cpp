#include "ui/control/rich_edit.h"

#include <imm.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "base/system_library.h"
#include "ui/control/scroll_bar.h"
#include "ui/control/text_host.h"
#include "ui/core/render_engine.h"
#include "ui/core/skin_values.h"

namespace ZQUI {

namespace {

enum : UINT {
  kMenuUndo = 101,
  kMenuCut = 102,
  kMenuCopy = 103,
  kMenuPaste = 104,
  kMenuClear = 105,
  kMenuSelectAll = 106,
  kMenuRedo = 107,
};

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
// WM_KEYDOWN (0x100) up to WM_UNICHAR (0x109).
bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_UNICHAR; }
bool IsTrue(const wchar_t* value) { return value != nullptr && wcscmp(value, L"true") == 0; }
bool Contains(const wchar_t* value, const wchar_t* part) { return value != nullptr && wcsstr(value, part) != nullptr; }

// "#FF333333", " 0xff333333" and "FF333333" all give 0xFF333333.
DWORD ParseHexColor(const wchar_t* value) {
  if (value == nullptr) return 0;
  while (*value != L'\0' && *value <= L' ') ++value;
  if (*value == L'#') ++value;
  return static_cast<DWORD>(wcstoul(value, nullptr, 16));
}

// The IME functions are taken from imm32.dll when first needed: only this control uses them, and
// every process that has an input method has that DLL loaded already.
struct ImeFunctions {
  HIMC(WINAPI* getContext)(HWND) = nullptr;
  BOOL(WINAPI* releaseContext)(HWND, HIMC) = nullptr;
  BOOL(WINAPI* setCompositionWindow)(HIMC, LPCOMPOSITIONFORM) = nullptr;
};

const ImeFunctions& Ime() {
  static const ImeFunctions functions = []() {
    ImeFunctions f;
    HMODULE module = kbase::LoadSystemLibrary(L"imm32.dll");
    if (module == nullptr) return f;
    f.getContext = reinterpret_cast<decltype(f.getContext)>(
        reinterpret_cast<void*>(GetProcAddress(module, "ImmGetContext")));
    f.releaseContext = reinterpret_cast<decltype(f.releaseContext)>(
        reinterpret_cast<void*>(GetProcAddress(module, "ImmReleaseContext")));
    f.setCompositionWindow = reinterpret_cast<decltype(f.setCompositionWindow)>(
        reinterpret_cast<void*>(GetProcAddress(module, "ImmSetCompositionWindow")));
    if (f.getContext == nullptr || f.releaseContext == nullptr || f.setCompositionWindow == nullptr) f = ImeFunctions();
    return f;
  }();
  return functions;
}

}  // namespace

CRichEditUI::CRichEditUI() = default;

CRichEditUI::~CRichEditUI() {
  if (m_pTwh != nullptr) {
    if (m_pManager != nullptr) {
      if (m_bFilterRegistered) m_pManager->RemoveMessageFilter(this);
      m_pManager->KillTimer(this, kCaretTimerId);
    }
    CTxtWinHost* host = m_pTwh;
    m_pTwh = nullptr;
    host->Release();
  }
}

CControlUI* CRichEditUI::CreateControl() { return new (std::nothrow) CRichEditUI(); }

const wchar_t* CRichEditUI::GetClass() const { return L"RichEditUI"; }

void* CRichEditUI::GetInterface(const wchar_t* name) {
  if (name != nullptr && wcscmp(name, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const {
  return IsEnabled() ? (ControlFlagTabStop | ControlFlagSetCursor) : 0;
}

// --- properties -------------------------------------------------------------------------------

bool CRichEditUI::IsMultiLine() const { return (m_lTwhStyle & ES_MULTILINE) != 0; }
void CRichEditUI::SetMultiLine(bool multiLine) {
  if (multiLine) {
    m_lTwhStyle |= ES_MULTILINE;
  } else {
    m_lTwhStyle &= ~ES_MULTILINE;
  }
}
bool CRichEditUI::IsWantTab() const { return m_bWantTab; }
void CRichEditUI::SetWantTab(bool want) { m_bWantTab = want; }
bool CRichEditUI::IsWantReturn() const { return m_bWantReturn; }
void CRichEditUI::SetWantReturn(bool want) { m_bWantReturn = want; }
bool CRichEditUI::IsWantCtrlReturn() const { return m_bWantCtrlReturn; }
void CRichEditUI::SetWantCtrlReturn(bool want) { m_bWantCtrlReturn = want; }
bool CRichEditUI::IsTransparent() const { return m_bTransparent; }

void CRichEditUI::SetTransparent(bool transparent) {
  m_bTransparent = transparent;
  if (m_pTwh != nullptr) m_pTwh->SetTransparent(transparent);
}

bool CRichEditUI::IsRich() const { return m_bRich; }

void CRichEditUI::SetRich(bool rich) {
  m_bRich = rich;
  if (m_pTwh != nullptr) m_pTwh->SetRichTextFlag(rich);
}

bool CRichEditUI::IsReadOnly() const { return m_bReadOnly; }

void CRichEditUI::SetReadOnly(bool readOnly) {
  m_bReadOnly = readOnly;
  if (readOnly) {
    m_lTwhStyle |= ES_READONLY;
  } else {
    m_lTwhStyle &= ~ES_READONLY;
  }
  if (m_pTwh != nullptr) m_pTwh->SetReadOnly(readOnly);
}

bool CRichEditUI::IsWordWrap() const { return m_bWordWrap; }

void CRichEditUI::SetWordWrap(bool wordWrap) {
  m_bWordWrap = wordWrap;
  if (m_pTwh != nullptr) m_pTwh->SetWordWrap(wordWrap);
}

int CRichEditUI::GetFont() const { return m_iFont; }

void CRichEditUI::SetFont(int index) {
  m_iFont = index;
  if (m_pTwh != nullptr && m_pManager != nullptr) {
    HFONT font = m_pManager->GetFont(index);
    if (font == nullptr && m_pManager->GetDefaultFontInfo() != nullptr) font = m_pManager->GetDefaultFontInfo()->hFont;
    m_pTwh->SetFont(font);
  }
}

void CRichEditUI::SetFont(const wchar_t* face, int size, bool bold, bool underline, bool italic) {
  if (m_pTwh == nullptr) return;
  LOGFONTW lf = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  if (face != nullptr) {
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
  }
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -size;
  if (bold) lf.lfWeight += FW_BOLD;
  if (underline) lf.lfUnderline = TRUE;
  if (italic) lf.lfItalic = TRUE;
  HFONT font = CreateFontIndirectW(&lf);
  if (font == nullptr) return;
  m_pTwh->SetFont(font);
  DeleteObject(font);
}

LONG CRichEditUI::GetWinStyle() const { return m_lTwhStyle; }
void CRichEditUI::SetWinStyle(LONG style) { m_lTwhStyle = style; }
DWORD CRichEditUI::GetTextColor() const { return m_dwTextColor; }

void CRichEditUI::SetTextColor(DWORD color) {
  m_dwTextColor = color;
  if (m_pTwh != nullptr) m_pTwh->SetColor(color);
}

int CRichEditUI::GetLimitText() const { return m_iLimitText; }

void CRichEditUI::SetLimitText(int chars) {
  m_iLimitText = chars;
  if (m_pTwh != nullptr) m_pTwh->LimitText(chars);
}

// --- plain settings ---------------------------------------------------------------------------

CDuiString CRichEditUI::GetLimitTextString() const { return m_sLimitChars; }
void CRichEditUI::SetLimitTextString(const wchar_t* chars) { m_sLimitChars = chars != nullptr ? chars : L""; }
RECT CRichEditUI::GetTextPadding() const { return m_rcTextPadding; }

void CRichEditUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

CDuiString CRichEditUI::GetTipValue() const { return m_sTipValue; }

void CRichEditUI::SetTipValue(const wchar_t* value) {
  m_sTipValue = value != nullptr ? value : L"";
  Invalidate();
}

DWORD CRichEditUI::GetTipValueColor() const { return m_dwTipValueColor; }

void CRichEditUI::SetTipValueColor(const wchar_t* color) {
  if (color == nullptr) return;
  if (*color == L'#') ++color;
  m_dwTipValueColor = static_cast<DWORD>(wcstoul(color, nullptr, 16));
  Invalidate();
}

UINT CRichEditUI::GetTipValueAlign() const { return m_uTipValueAlign; }

void CRichEditUI::SetTipValueAlign(UINT align) {
  m_uTipValueAlign = align;
  if (GetTextLength(GTL_DEFAULT) == 0) Invalidate();
}

RECT CRichEditUI::GetTipValuePadding() const { return m_rcTipValuePadding; }
void CRichEditUI::SetTipValuePadding(RECT rc) { m_rcTipValuePadding = rc; }

const wchar_t* CRichEditUI::GetNormalImage() const { return m_sNormalImage.GetData(); }
void CRichEditUI::SetNormalImage(const wchar_t* image) {
  m_sNormalImage = image != nullptr ? image : L"";
  Invalidate();
}
const wchar_t* CRichEditUI::GetHotImage() const { return m_sHotImage.GetData(); }
void CRichEditUI::SetHotImage(const wchar_t* image) {
  m_sHotImage = image != nullptr ? image : L"";
  Invalidate();
}
const wchar_t* CRichEditUI::GetFocusedImage() const { return m_sFocusedImage.GetData(); }
void CRichEditUI::SetFocusedImage(const wchar_t* image) {
  m_sFocusedImage = image != nullptr ? image : L"";
  Invalidate();
}
const wchar_t* CRichEditUI::GetDisabledImage() const { return m_sDisabledImage.GetData(); }
void CRichEditUI::SetDisabledImage(const wchar_t* image) {
  m_sDisabledImage = image != nullptr ? image : L"";
  Invalidate();
}

RECT CRichEditUI::GetTextClientRect() const {
  if (m_pTwh == nullptr) return RECT{0, 0, 0, 0};
  return *m_pTwh->GetClientRect();
}

// --- engine bridge ----------------------------------------------------------------------------

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const {
  if (m_pTwh == nullptr || m_pTwh->GetTextServices() == nullptr) return S_FALSE;
  if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
    bool ctrlDown = GetKeyState(VK_CONTROL) < 0;
    if (!m_bWantReturn || (ctrlDown && !m_bWantCtrlReturn)) {
      if (m_pManager != nullptr) m_pManager->SendNotify(const_cast<CRichEditUI*>(this), NotifyName::kReturn);
      if (result != nullptr) *result = 0;
      return S_OK;
    }
  }
  LRESULT local = 0;
  return m_pTwh->GetTextServices()->TxSendMessage(msg, wParam, lParam, result != nullptr ? result : &local);
}

bool CRichEditUI::OnTxViewChanged() { return true; }

void CRichEditUI::OnTxNotify(DWORD code, void* data) {
  switch (code) {
    case EN_CHANGE:
      if (m_pManager != nullptr) m_pManager->SendNotify(this, NotifyName::kTextChanged);
      break;
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE: {
      if (data == nullptr || m_pManager == nullptr) break;
      HWND window = m_pManager->GetPaintWindow();
      if (window == nullptr) break;
      auto* header = static_cast<NMHDR*>(data);
      header->hwndFrom = window;
      header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtrW(window, GWLP_ID));
      header->code = code;
      SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(data));
      break;
    }
    default:
      break;
  }
}

void CRichEditUI::OnTxScrollBarChanged() {
  // Inside SetPos the layout itself settles the bars; elsewhere (text set after layout) the next
  // layout gives the text the right width.
  if (m_nLayoutDepth == 0) NeedUpdate();
}

// --- lifetime ---------------------------------------------------------------------------------

void CRichEditUI::DoInit() {
  if (m_bInited) return;
  CREATESTRUCTW create = {};
  create.style = static_cast<LONG>(m_lTwhStyle);
  create.lpszName = m_sText.GetData();
  auto* host = new (std::nothrow) CTxtWinHost();
  if (host != nullptr && !host->Init(this, &create)) {
    host->Release();
    host = nullptr;
  }
  m_pTwh = host;
  if (m_pTwh != nullptr) {
    if (m_bTransparent) m_pTwh->SetTransparent(true);
    TxSendMessage(EM_SETLANGOPTIONS, 0, 0, nullptr);
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DROPFILES | ENM_LINK, nullptr);
    m_pTwh->OnTxInPlaceActivate(nullptr);
    if (m_pManager != nullptr) {
      m_bFilterRegistered = m_pManager->AddMessageFilter(this);
      if (!IsEnabled()) m_pTwh->SetColor(m_pManager->GetDefaultDisabledColor());
    }
  }
  m_bInited = true;
}

CControlUI* CRichEditUI::Clone() {
  auto* copy = new (std::nothrow) CRichEditUI();
  if (copy == nullptr) return nullptr;
  copy->CopyData(this);
  return copy;
}

void CRichEditUI::CopyData(CControlUI* control) {
  auto* source = control != nullptr ? static_cast<CRichEditUI*>(control->GetInterface(L"RichEdit")) : nullptr;
  if (source != nullptr && source != this) {
    CopyData(source);
    return;
  }
  CContainerUI::CopyData(control);
}

void CRichEditUI::CopyData(CRichEditUI* control) {
  if (control == nullptr || control == this) return;
  m_sLimitChars = control->m_sLimitChars;
  m_bWantTab = control->m_bWantTab;
  m_bWantReturn = control->m_bWantReturn;
  m_bWantCtrlReturn = control->m_bWantCtrlReturn;
  m_bTransparent = control->m_bTransparent;
  m_bRich = control->m_bRich;
  m_bReadOnly = control->m_bReadOnly;
  m_bWordWrap = control->m_bWordWrap;
  m_dwTextColor = control->m_dwTextColor;
  m_iFont = control->m_iFont;
  m_iLimitText = control->m_iLimitText;
  m_lTwhStyle = control->m_lTwhStyle;
  m_fAccumulateDBC = control->m_fAccumulateDBC;
  m_rcTextPadding = control->m_rcTextPadding;
  m_sNormalImage = control->m_sNormalImage;
  m_sHotImage = control->m_sHotImage;
  m_sFocusedImage = control->m_sFocusedImage;
  m_sDisabledImage = control->m_sDisabledImage;
  m_sTipValue = control->m_sTipValue;
  m_dwTipValueColor = control->m_dwTipValueColor;
  m_uTipValueAlign = control->m_uTipValueAlign;
  m_rcTipValuePadding = control->m_rcTipValuePadding;
  CContainerUI::CopyData(control);
  // The copy has no engine yet: its text is the source's current one, given to its own engine at
  // DoInit.
  m_sText = control->m_pTwh != nullptr ? control->GetText() : control->m_sText;
}

// --- attributes -------------------------------------------------------------------------------

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr) return;
  if (value == nullptr) value = L"";
  if (wcscmp(name, L"vscrollbar") == 0) {
    if (IsTrue(value)) m_lTwhStyle |= WS_VSCROLL | ES_DISABLENOSCROLL;
    if (m_pTwh != nullptr) m_pTwh->TxEnableScrollBar(SB_VERT, ESB_ENABLE_BOTH);
  } else if (wcscmp(name, L"autovscroll") == 0) {
    if (IsTrue(value)) m_lTwhStyle |= ES_AUTOVSCROLL;
    if (m_pTwh != nullptr) m_pTwh->TxShowScrollBar(SB_VERT, TRUE);
  } else if (wcscmp(name, L"hscrollbar") == 0) {
    if (IsTrue(value)) m_lTwhStyle |= WS_HSCROLL | ES_DISABLENOSCROLL;
    if (m_pTwh != nullptr) m_pTwh->TxEnableScrollBar(SB_HORZ, ESB_ENABLE_BOTH);
  } else if (wcscmp(name, L"autohscroll") == 0) {
    if (IsTrue(value)) m_lTwhStyle |= ES_AUTOHSCROLL;
    if (m_pTwh != nullptr) m_pTwh->TxShowScrollBar(SB_HORZ, TRUE);
  }

  if (_wcsicmp(name, L"multiline") == 0) {
    SetMultiLine(IsTrue(value));
  } else if (wcscmp(name, L"wanttab") == 0) {
    SetWantTab(IsTrue(value));
  } else if (wcscmp(name, L"wantreturn") == 0) {
    SetWantReturn(IsTrue(value));
  } else if (wcscmp(name, L"wantctrlreturn") == 0) {
    SetWantCtrlReturn(IsTrue(value));
  } else if (wcscmp(name, L"transparent") == 0) {
    SetTransparent(IsTrue(value));
  } else if (wcscmp(name, L"rich") == 0) {
    SetRich(IsTrue(value));
  } else if (wcscmp(name, L"readonly") == 0) {
    if (IsTrue(value)) {
      m_lTwhStyle |= ES_READONLY;
      m_bReadOnly = true;
    }
  } else if (wcscmp(name, L"password") == 0) {
    if (IsTrue(value)) m_lTwhStyle |= ES_PASSWORD;
  } else if (wcscmp(name, L"align") == 0) {
    if (Contains(value, L"left")) m_lTwhStyle &= ~(ES_CENTER | ES_RIGHT);
    if (Contains(value, L"center")) {
      m_lTwhStyle |= ES_CENTER;
      m_lTwhStyle &= ~ES_RIGHT;
    }
    if (Contains(value, L"right")) {
      m_lTwhStyle |= ES_RIGHT;
      m_lTwhStyle &= ~ES_CENTER;
    }
  } else if (wcscmp(name, L"font") == 0) {
    SetFont(static_cast<int>(wcstol(value, nullptr, 10)));
  } else if (wcscmp(name, L"textcolor") == 0) {
    SetTextColor(ParseHexColor(value));
  } else if (_wcsicmp(name, L"maxchar") == 0) {
    SetLimitText(static_cast<int>(wcstol(value, nullptr, 10)));
  } else if (_wcsicmp(name, L"limittext") == 0) {
    SetLimitTextString(value);
  } else if (_wcsicmp(name, L"normalimage") == 0) {
    SetNormalImage(value);
  } else if (_wcsicmp(name, L"hotimage") == 0) {
    SetHotImage(value);
  } else if (_wcsicmp(name, L"focusedimage") == 0) {
    SetFocusedImage(value);
  } else if (_wcsicmp(name, L"disabledimage") == 0) {
    SetDisabledImage(value);
  } else if (_wcsicmp(name, L"textpadding") == 0) {
    SetTextPadding(ParseSkinRect(value));
  } else if (_wcsicmp(name, L"tipvalue") == 0) {
    SetTipValue(value);
  } else if (_wcsicmp(name, L"tipvaluecolor") == 0) {
    SetTipValueColor(value);
  } else if (_wcsicmp(name, L"tipvaluealign") == 0) {
    UINT align = m_uTipValueAlign;
    if (Contains(value, L"left")) align = DT_SINGLELINE;
    if (Contains(value, L"center")) align = DT_SINGLELINE | DT_CENTER;
    if (Contains(value, L"right")) align = DT_SINGLELINE | DT_RIGHT;
    SetTipValueAlign(align);
  } else if (_wcsicmp(name, L"tipvaluepadding") == 0) {
    SetTipValuePadding(ParseSkinRect(value));
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

// --- layout -----------------------------------------------------------------------------------

RECT CRichEditUI::ContentRect(const RECT& item) const {
  RECT inset = GetInset();
  RECT rc = {item.left + inset.left, item.top + inset.top, item.right - inset.right, item.bottom - inset.bottom};
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  }
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  }
  return rc;
}

RECT CRichEditUI::TextRectFor(const RECT& content) const {
  RECT padding = m_rcTextPadding;
  if (m_pManager != nullptr) padding = m_pManager->GetDPIObj()->Scale(padding);
  RECT rc = {content.left + padding.left, content.top + padding.top, content.right - padding.right,
             content.bottom - padding.bottom};
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  return rc;
}

void CRichEditUI::SetPos(RECT rc, bool needInvalidate) {
  ++m_nLayoutDepth;
  CControlUI::SetPos(rc, needInvalidate);
  rc = m_rcItem;
  CScrollBarUI* vbar = m_pVerticalScrollBar;
  CScrollBarUI* hbar = m_pHorizontalScrollBar;
  bool vbarWasVisible = vbar != nullptr && vbar->IsVisible();
  RECT content = ContentRect(rc);
  int barWidth = vbar != nullptr ? vbar->GetFixedWidth() : 0;

  if (m_pTwh != nullptr) {
    RECT text = TextRectFor(content);
    m_pTwh->SetClientRect(&text);
    // The engine may have shown the bar while laying out the new width: make room for it and
    // lay the text out once more, so that no line runs under the bar.
    if (vbar != nullptr && !vbarWasVisible && vbar->IsVisible()) {
      content.right -= barWidth;
      text = TextRectFor(content);
      m_pTwh->SetClientRect(&text);
      vbarWasVisible = vbar->IsVisible();
      if (!vbarWasVisible) {
        content.right += barWidth;
        text = TextRectFor(content);
        m_pTwh->SetClientRect(&text);
      }
    }
    if (vbar != nullptr && ((vbarWasVisible && !vbar->IsVisible()) || m_fixScrollbar)) {
      RECT client = *m_pTwh->GetClientRect();
      LONG clientHeight = client.bottom - client.top;
      SIZE natural = GetNaturalSize(client.right - client.left + barWidth, clientHeight);
      if (clientHeight < natural.cy) {
        vbar->SetVisible(true);
        vbar->SetScrollPos(0);
        m_fixScrollbar = true;
      } else if (m_fixScrollbar) {
        vbar->SetVisible(false);
        m_fixScrollbar = false;
      }
    }
    // The bar went away and the text fits without it: the text takes the bar's room back.
    if (vbar != nullptr && vbarWasVisible && !vbar->IsVisible()) {
      content.right += barWidth;
      text = TextRectFor(content);
      m_pTwh->SetClientRect(&text);
    }
  }

  if (vbar != nullptr && vbar->IsVisible()) {
    RECT bar = {content.right, content.top, content.right + barWidth, content.bottom};
    vbar->SetPos(bar, false);
  }
  if (hbar != nullptr && hbar->IsVisible()) {
    RECT bar = {content.left, content.bottom, content.right, content.bottom + hbar->GetFixedHeight()};
    hbar->SetPos(bar, false);
  }

  SIZE scroll = GetScrollPos();
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items.GetAt(i));
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    SIZE size = child->GetFixedSize();
    size.cx = std::max<LONG>(child->GetMinWidth(), std::min<LONG>(size.cx, child->GetMaxWidth()));
    size.cy = std::max<LONG>(child->GetMinHeight(), std::min<LONG>(size.cy, child->GetMaxHeight()));
    RECT pos = {content.left - scroll.cx, content.top - scroll.cy, content.left - scroll.cx + size.cx,
                content.top - scroll.cy + size.cy};
    child->SetPos(pos, false);
  }
  --m_nLayoutDepth;
}

void CRichEditUI::Move(SIZE offset, bool needInvalidate) {
  CContainerUI::Move(offset, needInvalidate);
  if (m_pTwh == nullptr) return;
  RECT text = TextRectFor(ContentRect(m_rcItem));
  m_pTwh->SetClientRect(&text);
}

void CRichEditUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (m_pTwh != nullptr) {
    m_pTwh->SetColor(enable || m_pManager == nullptr ? m_dwTextColor : m_pManager->GetDefaultDisabledColor());
  }
  Invalidate();
}

// --- scrolling --------------------------------------------------------------------------------

void CRichEditUI::SendScroll(bool vertical, WORD code, WORD position) {
  TxSendMessage(vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position), 0, nullptr);
}

void CRichEditUI::SetScrollPos(SIZE pos, bool, bool) {
  int cx = 0;
  int cy = 0;
  CScrollBarUI* vbar = m_pVerticalScrollBar;
  CScrollBarUI* hbar = m_pHorizontalScrollBar;
  if (vbar != nullptr && vbar->IsVisible()) {
    int old = vbar->GetScrollPos();
    vbar->SetScrollPos(pos.cy);
    cy = vbar->GetScrollPos() - old;
  }
  if (hbar != nullptr && hbar->IsVisible()) {
    int old = hbar->GetScrollPos();
    hbar->SetScrollPos(pos.cx);
    cx = hbar->GetScrollPos() - old;
  }
  if (cy != 0) {
    int target = vbar->GetScrollPos();
    SendScroll(true, SB_THUMBPOSITION, static_cast<WORD>(target));
    // A plain-text engine answers a downward thumb move with its own line-aligned position,
    // which may lie above the one asked for; the bar keeps the asked position.
    if (!m_bRich && cy > 0 && vbar->GetScrollPos() <= target) vbar->SetScrollPos(target);
  }
  if (cx != 0) SendScroll(false, SB_THUMBPOSITION, static_cast<WORD>(hbar->GetScrollPos()));
}

void CRichEditUI::LineUp(bool) { SendScroll(true, SB_LINEUP); }

void CRichEditUI::LineDown(bool) {
  CScrollBarUI* vbar = m_pVerticalScrollBar;
  int before = vbar != nullptr ? vbar->GetScrollPos() : 0;
  SendScroll(true, SB_LINEDOWN);
  if (!m_bRich && vbar != nullptr && vbar->GetScrollPos() == before) vbar->SetScrollPos(vbar->GetScrollRange());
}

void CRichEditUI::PageUp() { SendScroll(true, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(true, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { SendScroll(true, SB_TOP); }
void CRichEditUI::EndDown() { SendScroll(true, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(false, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(false, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(false, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(false, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { SendScroll(false, SB_LEFT); }
void CRichEditUI::EndRight() { SendScroll(false, SB_RIGHT); }

// --- events -----------------------------------------------------------------------------------

void CRichEditUI::InvalidateCaretArea() {
  if (m_pTwh == nullptr || m_pManager == nullptr) return;
  POINT caret = {0, 0};
  GetCaretPos(&caret);
  RECT area = {caret.x, caret.y, caret.x + m_pTwh->GetCaretWidth(), caret.y + m_pTwh->GetCaretHeight()};
  RECT clipped = {0, 0, 0, 0};
  if (!IntersectRect(&clipped, &area, &m_rcItem)) return;
  for (CControlUI* parent = GetParent(); parent != nullptr; parent = parent->GetParent()) {
    RECT within = {0, 0, 0, 0};
    if (!IntersectRect(&within, &clipped, &parent->GetPos())) return;
    clipped = within;
  }
  m_pManager->Invalidate(clipped);
}

void CRichEditUI::DoEvent(TEventUI& event) {
  if (HandOffMouseEventWhenDisabled(event)) return;
  switch (event.type) {
    case UiEventType::SetCursor:
      if (IsEnabled() && m_pTwh != nullptr && m_pTwh->DoSetCursor(nullptr, &event.mousePos)) return;
      break;
    case UiEventType::WindowSize:
      if (m_pTwh != nullptr) m_pTwh->NeedFreshCaret();
      break;
    case UiEventType::SetFocus:
      TxSendMessage(WM_SETFOCUS, 0, 0, nullptr);
      SetTimer(kCaretTimerId, ::GetCaretBlinkTime());
      m_bFocused = true;
      Invalidate();
      return;
    case UiEventType::KillFocus:
      TxSendMessage(WM_KILLFOCUS, 0, 0, nullptr);
      // Only the caret timer: the engine's own timers are its to end through TxKillTimer.
      KillTimer(kCaretTimerId);
      m_bFocused = false;
      Invalidate();
      return;
    case UiEventType::Timer:
      if (event.wParam == kCaretTimerId) {
        HWND window = m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr;
        bool windowFocused = window != nullptr && ::GetFocus() == window;
        if (m_pManager != nullptr && m_pManager->IsLayered() && IsFocused() && m_pTwh != nullptr &&
            m_pTwh->IsShowCaret() && windowFocused) {
          m_bDrawCaret = !m_bDrawCaret;
          InvalidateCaretArea();
        } else if (IsFocused() && m_pTwh != nullptr && windowFocused) {
          m_pTwh->TxShowCaret(!m_pTwh->IsShowCaret());
        }
        return;
      }
      // The container's wheel animation runs on its own timer and must keep reaching it.
      if (event.wParam == kWheelTimerId) break;
      TxSendMessage(WM_TIMER, event.wParam, event.lParam, nullptr);
      return;
    case UiEventType::ScrollWheel:
      if ((event.keyState & KeyModifiers::Control) != 0) return;
      break;
    case UiEventType::KeyDown:
    case UiEventType::KeyUp:
    case UiEventType::Char:
    case UiEventType::SysKey:
    case UiEventType::MouseMove:
    case UiEventType::MouseEnter:
    case UiEventType::ButtonDown:
    case UiEventType::ButtonUp:
    case UiEventType::DblClick:
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

HMENU CRichEditUI::BuildContextMenu() {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  bool readOnly = IsReadOnly();
  long from = 0;
  long to = 0;
  GetSel(from, to);
  bool selection = to != from;
  WORD selectionType = GetSelectionType();
  auto state = [](bool enabled) -> UINT { return MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED); };
  AppendMenuW(menu, state(m_pTwh != nullptr && CanUndo()), kMenuUndo, L"撤销(&U)");
  AppendMenuW(menu, state(m_pTwh != nullptr && CanRedo()), kMenuRedo, L"重做(&R)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(!readOnly && selectionType != SEL_EMPTY), kMenuCut, L"剪切(&X)");
  AppendMenuW(menu, state(selection), kMenuCopy, L"复制(&C)");
  AppendMenuW(menu, state(!readOnly), kMenuPaste, L"粘帖(&V)");
  AppendMenuW(menu, state(!readOnly && selection), kMenuClear, L"清空(&L)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, state(true), kMenuSelectAll, L"全选(&A)");
  return menu;
}

void CRichEditUI::ShowContextMenu(POINT screenPt) {
  HMENU menu = BuildContextMenu();
  if (menu == nullptr) return;
  HWND window = m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr;
  if (window != nullptr) TrackPopupMenu(menu, TPM_RIGHTBUTTON, screenPt.x, screenPt.y, 0, window, nullptr);
  DestroyMenu(menu);
}

LRESULT CRichEditUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (!IsVisible() || !IsEnabled() || m_pManager == nullptr) return 0;
  if (!IsMouseEnabled() && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) return 0;
  if (msg == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0) return 0;
  HWND window = m_pManager->GetPaintWindow();

  if (msg == WM_IME_COMPOSITION) {
    const ImeFunctions& ime = Ime();
    HIMC context = ime.getContext != nullptr ? ime.getContext(window) : nullptr;
    if (context != nullptr) {
      POINT caret = {0, 0};
      GetCaretPos(&caret);
      COMPOSITIONFORM form = {};
      form.dwStyle = CFS_POINT;
      form.ptCurrentPos = caret;
      ime.setCompositionWindow(context, &form);
      ime.releaseContext(window, context);
    }
    return 0;
  }

  bool wasHandled = true;
  bool isMouse = IsMouseMessage(msg);
  if (IsKeyMessage(msg)) {
    if (!IsFocused()) return 0;
  } else if (msg == WM_CONTEXTMENU) {
    if (!IsContextMenuUsed()) return 0;
    POINT screenPt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    POINT pt = screenPt;
    ScreenToClient(window, &pt);
    if (m_pManager->FindControl(pt) != this) return 0;
    ShowContextMenu(screenPt);
  } else if (msg == WM_COMMAND) {
    wasHandled = false;
    if (!IsFocused()) return 0;
    switch (LOWORD(wParam)) {
      case kMenuUndo:
        if (m_pTwh != nullptr) Undo();
        break;
      case kMenuRedo:
        if (m_pTwh != nullptr) Redo();
        break;
      case kMenuCut:
        Cut();
        break;
      case kMenuCopy:
        Copy();
        break;
      case kMenuPaste:
        Paste();
        break;
      case kMenuClear:
        Clear();
        break;
      case kMenuSelectAll:
        SetSelAll();
        break;
      default:
        break;
    }
  } else if (msg == WM_HELP) {
    wasHandled = false;
  } else if (!isMouse && msg != WM_SETCURSOR) {
    return 0;
  }

  if (isMouse || msg == WM_SETCURSOR) {
    if (m_pTwh == nullptr) return 0;
    if (!m_pTwh->IsCaptured()) {
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (msg == WM_SETCURSOR) {
        GetCursorPos(&pt);
        ScreenToClient(window, &pt);
      } else if (msg == WM_MOUSEWHEEL) {
        ScreenToClient(window, &pt);
      }
      if (msg >= WM_MOUSEMOVE && msg <= WM_RBUTTONUP && m_pManager->FindControl(pt) != this) return 0;
      RECT client = *m_pTwh->GetClientRect();
      if (!PtInRect(&client, pt) || m_pManager->IsCaptured()) return 0;
    }
    if (msg == WM_SETCURSOR || msg == WM_MOUSEMOVE) wasHandled = false;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN) {
      if (::GetFocus() != window) ::SetFocus(window);
      SetFocus();
    }
  }

  LRESULT result = 0;
  HRESULT hr = TxSendMessage(msg, wParam, lParam, &result);
  if (hr != S_OK && !IsKeyMessage(msg)) {
    if (msg == WM_IME_CHAR || (isMouse && m_pTwh != nullptr && m_pTwh->IsCaptured())) {
      handled = wasHandled;
    } else {
      handled = false;
    }
  } else {
    handled = wasHandled;
  }
  return result;
}

// --- painting ---------------------------------------------------------------------------------

bool CRichEditUI::DoPaint(HDC hDC, const RECT& paint, CControlUI* stopControl) {
  RECT overlap = {0, 0, 0, 0};
  if (!IntersectRect(&overlap, &paint, &m_rcItem)) return true;
  CRenderClip clip;
  CRenderClip::GenerateClip(hDC, overlap, clip);
  CControlUI::DoPaint(hDC, paint, stopControl);

  CScrollBarUI* vbar = m_pVerticalScrollBar;
  CScrollBarUI* hbar = m_pHorizontalScrollBar;
  if (m_pTwh != nullptr && m_pTwh->GetTextServices() != nullptr) {
    RECT client = *m_pTwh->GetClientRect();
    RECTL bounds = {client.left, client.top, client.right, client.bottom};
    RECT update = paint;
    m_pTwh->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr, &bounds, nullptr, &update,
                                      nullptr, 0, TXTVIEW_ACTIVE);
    if (m_fixScrollbar && vbar != nullptr && IsVisible()) {
      LONG clientHeight = client.bottom - client.top;
      SIZE natural = GetNaturalSize(client.right - client.left + vbar->GetFixedWidth(), clientHeight);
      if (clientHeight >= natural.cy) {
        NeedUpdate();
        m_pManager->NeedUpdate();
        Invalidate();
      }
    }
  }

  if (m_items.GetSize() > 0) {
    RECT content = ContentRect(m_rcItem);
    RECT childArea = {0, 0, 0, 0};
    for (int i = 0; i < m_items.GetSize(); ++i) {
      auto* child = static_cast<CControlUI*>(m_items.GetAt(i));
      RECT temp = {0, 0, 0, 0};
      if (!child->IsVisible() || !IntersectRect(&temp, &paint, &child->GetPos())) continue;
      if (child == stopControl) return false;
      const RECT& area = child->IsFloat() ? m_rcItem : content;
      if (!IntersectRect(&childArea, &area, &child->GetPos())) continue;
      CRenderClip childClip;
      CRenderClip::GenerateClip(hDC, childArea, childClip);
      if (!child->Paint(hDC, paint, stopControl)) return false;
    }
  }

  if (m_pManager != nullptr && m_pManager->IsLayered() && IsFocused() && m_pTwh != nullptr && m_pTwh->IsShowCaret() &&
      m_bDrawCaret) {
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    if (PtInRect(&m_rcItem, caret)) {
      RECT line = {caret.x, caret.y, caret.x, caret.y + m_pTwh->GetCaretHeight()};
      // A caret created with width 0 is as wide as a window border, as CreateCaret has it.
      int width = m_pTwh->GetCaretWidth() > 0 ? m_pTwh->GetCaretWidth() : GetSystemMetrics(SM_CXBORDER);
      CRenderEngine::DrawLine(hDC, line, width, m_dwTextColor);
    }
  }

  CScrollBarUI* bars[] = {vbar, hbar};
  for (CScrollBarUI* bar : bars) {
    if (bar == nullptr || !bar->IsVisible()) continue;
    RECT temp = {0, 0, 0, 0};
    if (!IntersectRect(&temp, &paint, &bar->GetPos())) continue;
    if (bar == stopControl) return false;
    if (!bar->Paint(hDC, paint, stopControl)) return false;
  }

  if (!m_sTipValue.IsEmpty() && !IsFocused() && GetTextLength(GTL_DEFAULT) == 0) {
    RECT rc = {m_rcItem.left + m_rcTipValuePadding.left, m_rcItem.top + m_rcTipValuePadding.top,
               m_rcItem.right - m_rcTipValuePadding.right, m_rcItem.bottom - m_rcTipValuePadding.bottom};
    UINT style = m_uTipValueAlign;
    if (!IsMultiLine()) style |= DT_VCENTER;
    CRenderEngine::DrawText(hDC, m_pManager, rc, m_sTipValue.GetData(), m_dwTipValueColor, m_iFont, style);
  }
  return true;
}

void CRichEditUI::PaintStatusImage(HDC hDC) {
  if (IsFocused()) {
    m_uButtonState |= 0x1;
  } else {
    m_uButtonState &= ~0x1u;
  }
  if (!IsEnabled()) {
    m_uButtonState |= 0x4;
  } else {
    m_uButtonState &= ~0x4u;
  }
  const CDuiString* pick = nullptr;
  if ((m_uButtonState & 0x4) != 0) {
    pick = &m_sDisabledImage;
  } else if ((m_uButtonState & 0x1) != 0) {
    pick = &m_sFocusedImage;
  } else if ((m_uButtonState & 0x8) != 0) {
    pick = &m_sHotImage;
  }
  if (pick != nullptr && !pick->IsEmpty() && DrawImage(hDC, pick->GetData())) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(hDC, m_sNormalImage.GetData());
}

}  // namespace ZQUI
