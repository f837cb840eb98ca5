#include "ui/control/text_host.h"

#include <algorithm>
#include <cwchar>

#include "base/system_library.h"
#include "ui/control/rich_edit.h"
#include "ui/control/scroll_bar.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

// MinGW's uuid library has neither of these, so the host carries its own copies.
const IID kIIDTextServices = {0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
const IID kIIDTextHost = {0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

constexpr LONG kDefaultMaxLength = 0x7FFF;
constexpr LONG kDefaultTabTwips = 720;
constexpr int kHimetricPerInch = 2540;

using CreateTextServicesProc = HRESULT(WINAPI*)(IUnknown*, ITextHost*, IUnknown**);

// The engine's DLL stays loaded for the life of the process: text services created from it may
// outlive any one control.
CreateTextServicesProc TextServicesFactory() {
  static CreateTextServicesProc factory = []() -> CreateTextServicesProc {
    HMODULE module = kbase::LoadSystemLibrary(L"Msftedit.dll");
    if (module == nullptr) return nullptr;
    return reinterpret_cast<CreateTextServicesProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "CreateTextServices")));
  }();
  return factory;
}

int LogPixels(HDC dc, int index) {
  int value = 0;
  if (dc != nullptr) value = GetDeviceCaps(dc, index);
  if (value <= 0) {
    HDC screen = GetDC(nullptr);
    value = screen != nullptr ? GetDeviceCaps(screen, index) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
  }
  return value > 0 ? value : 96;
}

// Shows or hides a container bar; the control re-lays itself out when the bar really changed.
void SetBarVisible(CRichEditUI* owner, CScrollBarUI* bar, bool visible) {
  if (bar == nullptr || bar->GetVisible() == visible) return;
  bar->SetVisible(visible);
  owner->OnTxScrollBarChanged();
}

COLORREF ArgbToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

CTxtWinHost::CTxtWinHost() = default;

CTxtWinHost::~CTxtWinHost() {
  if (m_pserv != nullptr) {
    m_pserv->OnTxInPlaceDeactivate();
    m_pserv->Release();
    m_pserv = nullptr;
  }
}

HWND CTxtWinHost::Window() const {
  CPaintManagerUI* manager = m_re != nullptr ? m_re->GetManager() : nullptr;
  return manager != nullptr ? manager->GetPaintWindow() : nullptr;
}

void CTxtWinHost::FormatFromFont(HFONT font) {
  LOGFONTW lf = {};
  if (font == nullptr || GetObjectW(font, sizeof(lf), &lf) == 0) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  }
  CPaintManagerUI* manager = m_re != nullptr ? m_re->GetManager() : nullptr;
  int dpiY = LogPixels(manager != nullptr ? manager->GetPaintDC() : nullptr, LOGPIXELSY);
  COLORREF keep = m_cf.crTextColor;
  m_cf = CHARFORMAT2W{};
  m_cf.cbSize = sizeof(m_cf);
  m_cf.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  m_cf.yHeight = lf.lfHeight * -1440 / dpiY;
  m_cf.yOffset = 0;
  m_cf.crTextColor = keep;
  m_cf.dwEffects = 0;
  if (lf.lfWeight >= FW_BOLD) m_cf.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) m_cf.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) m_cf.dwEffects |= CFE_UNDERLINE;
  m_cf.bCharSet = lf.lfCharSet;
  m_cf.bPitchAndFamily = lf.lfPitchAndFamily;
  static_assert(sizeof(m_cf.szFaceName) == sizeof(lf.lfFaceName), "face name buffers match");
  wcsncpy(m_cf.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
  m_cf.szFaceName[LF_FACESIZE - 1] = L'\0';
}

bool CTxtWinHost::Init(CRichEditUI* owner, const CREATESTRUCTW* create) {
  m_re = owner;
  if (owner == nullptr) return false;
  CPaintManagerUI* manager = owner->GetManager();

  // Default character format: the control's font and colour.
  HFONT font = nullptr;
  if (manager != nullptr) {
    font = owner->GetFont() >= 0 ? manager->GetFont(owner->GetFont()) : nullptr;
    if (font == nullptr && manager->GetDefaultFontInfo() != nullptr) font = manager->GetDefaultFontInfo()->hFont;
  }
  FormatFromFont(font);
  COLORREF color = ArgbToColorRef(owner->GetTextColor());
  // A layered window treats pure black as transparent; the text stays visible one step off it.
  if (color == RGB(0, 0, 0) && manager != nullptr && manager->IsLayered()) color = RGB(0, 0, 1);
  m_cf.crTextColor = color;

  m_pf = PARAFORMAT2{};
  m_pf.cbSize = sizeof(m_pf);
  m_pf.dwMask = PFM_ALL;
  m_pf.wAlignment = PFA_LEFT;
  m_pf.cTabCount = 1;
  m_pf.rgxTabs[0] = kDefaultTabTwips;

  m_dwStyle = create != nullptr ? static_cast<LONG>(create->style) : owner->GetWinStyle();
  m_flags = 0;
  if (owner->IsRich()) m_flags |= kHostRichText;
  if ((m_dwStyle & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0) m_flags |= kHostWordWrap;
  if ((m_dwStyle & ES_CENTER) != 0) {
    m_pf.wAlignment = PFA_CENTER;
  } else if ((m_dwStyle & ES_RIGHT) != 0) {
    m_pf.wAlignment = PFA_RIGHT;
  }
  m_flags |= kHostInPlaceActive;
  m_cchTextMost = kDefaultMaxLength;
  LimitText(owner->GetLimitText());
  if (create != nullptr) {
    RECT rc = {create->x, create->y, create->x + create->cx, create->y + create->cy};
    m_rcClient = rc;
  }

  CreateTextServicesProc factory = TextServicesFactory();
  if (factory == nullptr) return false;
  IUnknown* unknown = nullptr;
  if (FAILED(factory(nullptr, this, &unknown)) || unknown == nullptr) return false;
  HRESULT hr = unknown->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&m_pserv));
  unknown->Release();
  if (FAILED(hr) || m_pserv == nullptr) {
    m_pserv = nullptr;
    return false;
  }
  LimitText(m_cchTextMost);
  if (create != nullptr && create->lpszName != nullptr) {
    if (FAILED(m_pserv->TxSetText(create->lpszName))) return false;
  }
  return true;
}

void CTxtWinHost::PropertyBitsChanged(DWORD mask, DWORD bits) {
  if (m_pserv != nullptr) m_pserv->OnTxPropertyBitsChange(mask, bits);
}

void CTxtWinHost::SetClientRect(const RECT* rect) {
  if (rect == nullptr) return;
  m_rcClient = *rect;
  CPaintManagerUI* manager = m_re != nullptr ? m_re->GetManager() : nullptr;
  HDC dc = manager != nullptr ? manager->GetPaintDC() : nullptr;
  m_sizelExtent.cx = MulDiv(m_rcClient.right - m_rcClient.left, kHimetricPerInch, LogPixels(dc, LOGPIXELSX));
  m_sizelExtent.cy = MulDiv(m_rcClient.bottom - m_rcClient.top, kHimetricPerInch, LogPixels(dc, LOGPIXELSY));
  // Windows' engine re-wraps on either bit; Wine's only on the client-rectangle one.
  PropertyBitsChanged(TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE, TRUE);
}

void CTxtWinHost::SetWordWrap(bool wordWrap) {
  if (wordWrap) {
    m_flags |= kHostWordWrap;
  } else {
    m_flags &= ~kHostWordWrap;
  }
  PropertyBitsChanged(TXTBIT_WORDWRAP, wordWrap ? TXTBIT_WORDWRAP : 0);
}

void CTxtWinHost::SetReadOnly(bool readOnly) {
  if (readOnly) {
    m_dwStyle |= ES_READONLY;
  } else {
    m_dwStyle &= ~ES_READONLY;
  }
  PropertyBitsChanged(TXTBIT_READONLY, readOnly ? TXTBIT_READONLY : 0);
}

void CTxtWinHost::SetFont(HFONT font) {
  if (font == nullptr) return;
  FormatFromFont(font);
  PropertyBitsChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetColor(DWORD color) {
  m_cf.crTextColor = ArgbToColorRef(color);
  PropertyBitsChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetExtent(const SIZEL* extent) {
  if (extent == nullptr) return;
  m_sizelExtent = *extent;
  PropertyBitsChanged(TXTBIT_EXTENTCHANGE, TRUE);
}

void CTxtWinHost::LimitText(LONG chars) {
  m_cchTextMost = chars < 1 ? kDefaultMaxLength : chars;
  PropertyBitsChanged(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
  // Wine's engine does not read the host's maximum back; the limit message works on both.
  if (m_pserv != nullptr) {
    LRESULT ignored = 0;
    m_pserv->TxSendMessage(EM_EXLIMITTEXT, 0, m_cchTextMost, &ignored);
  }
}

void CTxtWinHost::SetAllowBeep(bool allow) {
  if (allow) {
    m_flags |= kHostAllowBeep;
  } else {
    m_flags &= ~kHostAllowBeep;
  }
  PropertyBitsChanged(TXTBIT_ALLOWBEEP, allow ? TXTBIT_ALLOWBEEP : 0);
}

void CTxtWinHost::SetDefaultAlign(WORD align) {
  m_pf.wAlignment = align;
  PropertyBitsChanged(TXTBIT_PARAFORMATCHANGE, 0);
}

void CTxtWinHost::SetRichTextFlag(bool rich) {
  if (rich) {
    m_flags |= kHostRichText;
  } else {
    m_flags &= ~kHostRichText;
  }
  PropertyBitsChanged(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetDefaultLeftIndent(LONG indent) {
  m_pf.dxOffset = indent;
  PropertyBitsChanged(TXTBIT_PARAFORMATCHANGE, 0);
}

bool CTxtWinHost::SetSaveSelection(bool save) {
  bool previous = (m_flags & kHostSaveSelection) != 0;
  if (save) {
    m_flags |= kHostSaveSelection;
  } else {
    m_flags &= ~kHostSaveSelection;
  }
  PropertyBitsChanged(TXTBIT_SAVESELECTION, save ? TXTBIT_SAVESELECTION : 0);
  return previous;
}

HRESULT CTxtWinHost::OnTxInPlaceDeactivate() {
  HRESULT hr = m_pserv != nullptr ? m_pserv->OnTxInPlaceDeactivate() : S_OK;
  if (SUCCEEDED(hr)) m_flags &= ~kHostInPlaceActive;
  return hr;
}

HRESULT CTxtWinHost::OnTxInPlaceActivate(LPCRECT client) {
  m_flags |= kHostInPlaceActive;
  HRESULT hr = m_pserv != nullptr ? m_pserv->OnTxInPlaceActivate(client) : E_FAIL;
  if (FAILED(hr)) m_flags &= ~kHostInPlaceActive;
  return hr;
}

bool CTxtWinHost::DoSetCursor(const RECT* rect, const POINT* pt) {
  if (m_pserv == nullptr || pt == nullptr) return false;
  RECT rc = rect != nullptr ? *rect : m_rcClient;
  if (!PtInRect(&rc, *pt)) return false;
  CPaintManagerUI* manager = m_re->GetManager();
  const RECT* client = GetActiveState() ? nullptr : &rc;
  m_pserv->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, manager != nullptr ? manager->GetPaintDC() : nullptr,
                         nullptr, client, pt->x, pt->y);
  return true;
}

void CTxtWinHost::SetTransparent(bool transparent) {
  if (transparent) {
    m_flags |= kHostTransparent;
  } else {
    m_flags &= ~kHostTransparent;
  }
  PropertyBitsChanged(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::GetControlRect(LPRECT rect) {
  if (rect != nullptr) *rect = m_rcClient;
}

LONG CTxtWinHost::SetAccelPos(LONG position) {
  LONG previous = m_laccelpos;
  m_laccelpos = position;
  PropertyBitsChanged(TXTBIT_SHOWACCELERATOR, 0);
  return previous;
}

WCHAR CTxtWinHost::SetPasswordChar(WCHAR ch) {
  WCHAR previous = m_chPasswordChar;
  m_chPasswordChar = ch;
  PropertyBitsChanged(TXTBIT_USEPASSWORD, ch != 0 ? TXTBIT_USEPASSWORD : 0);
  return previous;
}

void CTxtWinHost::SetDisabled(bool disabled) {
  m_cf.dwMask |= CFM_COLOR | CFM_DISABLED;
  if (disabled) {
    m_cf.dwEffects |= CFE_DISABLED;
  } else {
    m_cf.dwEffects &= ~CFE_DISABLED;
  }
  PropertyBitsChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

LONG CTxtWinHost::SetSelBarWidth(LONG width) {
  LONG previous = m_lSelBarWidth;
  m_lSelBarWidth = std::max<LONG>(width, 0);
  PropertyBitsChanged(TXTBIT_SELBARCHANGE, TXTBIT_SELBARCHANGE);
  return previous;
}

void CTxtWinHost::SetCharFormat(const CHARFORMAT2W& format) {
  m_cf = format;
  m_cf.cbSize = sizeof(m_cf);
}

void CTxtWinHost::SetParaFormat(const PARAFORMAT2& format) {
  m_pf = format;
  m_pf.cbSize = sizeof(m_pf);
}

// --- IUnknown ---------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, kIIDTextHost)) {
    AddRef();
    *object = static_cast<ITextHost*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() { return ++m_cRefs; }

ULONG STDMETHODCALLTYPE CTxtWinHost::Release() {
  ULONG count = --m_cRefs;
  if (count == 0) delete this;
  return count;
}

// --- ITextHost --------------------------------------------------------------------------------

HDC CTxtWinHost::TxGetDC() {
  CPaintManagerUI* manager = m_re->GetManager();
  return manager != nullptr ? manager->GetPaintDC() : nullptr;
}

INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

WINBOOL CTxtWinHost::TxShowScrollBar(INT bar, WINBOOL show) {
  CScrollBarUI* vertical = m_re->GetVerticalScrollBar();
  CScrollBarUI* horizontal = m_re->GetHorizontalScrollBar();
  if (bar == SB_VERT || bar == SB_BOTH) SetBarVisible(m_re, vertical, show == TRUE);
  if (bar == SB_HORZ || bar == SB_BOTH) SetBarVisible(m_re, horizontal, show == TRUE);
  return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows) {
  bool vertical = bars == SB_VERT || bars == SB_BOTH;
  bool horizontal = bars == SB_HORZ || bars == SB_BOTH;
  m_re->EnableScrollBar(vertical ? true : m_re->GetVerticalScrollBar() != nullptr,
                        horizontal ? true : m_re->GetHorizontalScrollBar() != nullptr);
  bool visible = arrows != ESB_DISABLE_BOTH;
  if (vertical) SetBarVisible(m_re, m_re->GetVerticalScrollBar(), visible);
  if (horizontal) SetBarVisible(m_re, m_re->GetHorizontalScrollBar(), visible);
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL) {
  CScrollBarUI* vertical = m_re->GetVerticalScrollBar();
  CScrollBarUI* horizontal = m_re->GetHorizontalScrollBar();
  if (bar == SB_VERT && vertical != nullptr) {
    long long excess = static_cast<long long>(maxPos) - minPos - (m_rcClient.bottom - m_rcClient.top);
    if (excess <= 0) {
      SetBarVisible(m_re, vertical, false);
    } else {
      SetBarVisible(m_re, vertical, true);
      vertical->SetScrollRange(static_cast<int>(std::min<long long>(excess, INT_MAX)));
    }
  } else if (bar == SB_HORZ && horizontal != nullptr) {
    long long excess = static_cast<long long>(maxPos) - minPos - (m_rcClient.right - m_rcClient.left);
    if (excess <= 0) {
      SetBarVisible(m_re, horizontal, false);
    } else {
      SetBarVisible(m_re, horizontal, true);
      horizontal->SetScrollRange(static_cast<int>(std::min<long long>(excess, INT_MAX)));
    }
  }
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, WINBOOL) {
  CScrollBarUI* vertical = m_re->GetVerticalScrollBar();
  CScrollBarUI* horizontal = m_re->GetHorizontalScrollBar();
  if (bar == SB_VERT && vertical != nullptr) {
    vertical->SetScrollPos(pos);
  } else if (bar == SB_HORZ && horizontal != nullptr) {
    horizontal->SetScrollPos(pos);
  }
  return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rect, WINBOOL) {
  RECT rc = rect != nullptr ? *rect : m_rcClient;
  rc.left = std::max<LONG>(rc.left, 0);
  rc.top = std::max<LONG>(rc.top, 0);
  rc.right = std::max(rc.right, rc.left);
  rc.bottom = std::max(rc.bottom, rc.top);
  CPaintManagerUI* manager = m_re->GetManager();
  if (manager == nullptr) return;
  manager->Invalidate(rc);
}

void CTxtWinHost::TxViewChange(WINBOOL) {
  if (m_re->OnTxViewChanged()) m_re->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
  m_iCaretWidth = width;
  m_iCaretHeight = height;
  HWND window = Window();
  return window != nullptr ? CreateCaret(window, bitmap, width, height) : FALSE;
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
  if (show) {
    m_flags |= kHostShowCaret;
  } else {
    m_flags &= ~kHostShowCaret;
  }
  HWND window = Window();
  if (window == nullptr) return FALSE;
  return show ? ShowCaret(window) : HideCaret(window);
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  CPaintManagerUI* manager = m_re->GetManager();
  bool layered = manager != nullptr && manager->IsLayered();
  POINT old = {0, 0};
  GetCaretPos(&old);
  if (manager != nullptr && (layered || (m_flags & kHostNeedFreshCaret) != 0)) {
    RECT oldArea = {old.x, old.y, old.x + m_iCaretLastWidth, old.y + m_iCaretLastHeight};
    manager->Invalidate(oldArea);
    m_flags &= ~kHostNeedFreshCaret;
  }
  if (manager != nullptr && layered) {
    RECT newArea = {x, y, x + m_iCaretWidth, y + m_iCaretHeight};
    manager->Invalidate(newArea);
  }
  m_iCaretLastWidth = m_iCaretWidth;
  m_iCaretLastHeight = m_iCaretHeight;
  return SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
  m_flags |= kHostTimer;
  CPaintManagerUI* manager = m_re->GetManager();
  return manager != nullptr && manager->SetTimer(m_re, id, timeout) ? TRUE : FALSE;
}

void CTxtWinHost::TxKillTimer(UINT id) {
  CPaintManagerUI* manager = m_re->GetManager();
  if (manager != nullptr) manager->KillTimer(m_re, id);
  m_flags &= ~kHostTimer;
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  CPaintManagerUI* manager = m_re->GetManager();
  if (capture) {
    m_flags |= kHostCaptured;
    if (manager != nullptr) {
      manager->SetCapture();
    } else if (Window() != nullptr) {
      ::SetCapture(Window());
    }
  } else {
    m_flags &= ~kHostCaptured;
    if (manager != nullptr) {
      manager->ReleaseCapture();
    } else {
      ::ReleaseCapture();
    }
  }
}

void CTxtWinHost::TxSetFocus() { m_re->SetFocus(); }

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) {
  HWND window = Window();
  return window != nullptr && pt != nullptr ? ScreenToClient(window, pt) : FALSE;
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) {
  HWND window = Window();
  return window != nullptr && pt != nullptr ? ClientToScreen(window, pt) : FALSE;
}

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }
HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  if (rect == nullptr) return E_INVALIDARG;
  *rect = m_rcClient;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  if (rect == nullptr) return E_INVALIDARG;
  *rect = RECT{0, 0, 0, 0};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  if (format == nullptr) return E_INVALIDARG;
  *format = reinterpret_cast<const CHARFORMATW*>(&m_cf);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  if (format == nullptr) return E_INVALIDARG;
  *format = reinterpret_cast<const PARAFORMAT*>(&m_pf);
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  if (style == nullptr) return E_INVALIDARG;
  *style = (m_flags & kHostTransparent) != 0 ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = static_cast<DWORD>(m_cchTextMost);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
  if (scrollBars == nullptr) return E_INVALIDARG;
  *scrollBars = static_cast<DWORD>(m_dwStyle) &
                (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
  if (ch == nullptr) return E_INVALIDARG;
  *ch = m_chPasswordChar;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* position) {
  if (position == nullptr) return E_INVALIDARG;
  *position = m_laccelpos;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent) {
  if (extent == nullptr) return E_INVALIDARG;
  *extent = m_sizelExtent;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }
HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  if (bits == nullptr) return E_INVALIDARG;
  DWORD value = 0;
  if ((m_dwStyle & ES_MULTILINE) != 0) value |= TXTBIT_MULTILINE;
  if ((m_flags & kHostRichText) != 0) value |= TXTBIT_RICHTEXT;
  if ((m_dwStyle & ES_READONLY) != 0) value |= TXTBIT_READONLY;
  if ((m_dwStyle & ES_PASSWORD) != 0) value |= TXTBIT_USEPASSWORD;
  if ((m_dwStyle & ES_NOHIDESEL) == 0) value |= TXTBIT_HIDESELECTION;
  if ((m_flags & kHostAutoWordSelect) != 0) value |= TXTBIT_AUTOWORDSEL;
  if ((m_flags & kHostWordWrap) != 0) value |= TXTBIT_WORDWRAP;
  if ((m_flags & kHostAllowBeep) != 0) value |= TXTBIT_ALLOWBEEP;
  if ((m_flags & kHostSaveSelection) != 0) value |= TXTBIT_SAVESELECTION;
  *bits = value & mask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data) {
  if (code == EN_REQUESTRESIZE) {
    const auto* request = static_cast<const REQRESIZE*>(data);
    if (request != nullptr) {
      RECT rc = m_rcClient;
      rc.right = rc.left + request->rc.right;
      rc.bottom = rc.top + request->rc.bottom;
      SetClientRect(&rc);
    }
    return S_OK;
  }
  m_re->OnTxNotify(code, data);
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }
void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  if (width == nullptr) return E_INVALIDARG;
  *width = m_lSelBarWidth;
  return S_OK;
}

}  // namespace ZQUI
