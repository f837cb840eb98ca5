// CTxtWinHost: the host side (ITextHost) of the windowless rich edit text services behind
// CRichEditUI. It maps the engine's requests (device context, caret, timers, scroll bars,
// invalidation, default formats, property bits) onto the owning control, its paint manager and
// the container's scroll bars, and owns the ITextServices it created. Reference counted; the
// control holds the first reference. UI thread only.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <textserv.h>

namespace ZQUI {

class CRichEditUI;

// Host flags.
enum : DWORD {
  kHostAutoWordSelect = 0x1,
  kHostWordWrap = 0x2,
  kHostAllowBeep = 0x4,
  kHostRichText = 0x8,
  kHostSaveSelection = 0x10,
  kHostInPlaceActive = 0x20,
  kHostTransparent = 0x40,
  kHostTimer = 0x80,
  kHostCaptured = 0x100,
  kHostShowCaret = 0x200,
  kHostNeedFreshCaret = 0x400,
};

class CTxtWinHost : public ITextHost {
 public:
  CTxtWinHost();
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // Prepares the formats and flags for `owner` and creates the text services; false when the
  // engine cannot be had (the caller then releases the host).
  bool Init(CRichEditUI* owner, const CREATESTRUCTW* create);

  ITextServices* GetTextServices() const { return m_pserv; }
  void SetClientRect(const RECT* rect);
  RECT* GetClientRect() { return &m_rcClient; }
  bool IsWordWrap() const { return (m_flags & kHostWordWrap) != 0; }
  void SetWordWrap(bool wordWrap);
  bool IsReadOnly() const { return (m_dwStyle & ES_READONLY) != 0; }
  void SetReadOnly(bool readOnly);
  void SetFont(HFONT font);
  void SetColor(DWORD color);
  SIZEL* GetExtent() { return &m_sizelExtent; }
  void SetExtent(const SIZEL* extent);
  void LimitText(LONG chars);
  bool IsCaptured() const { return (m_flags & kHostCaptured) != 0; }
  bool IsShowCaret() const { return (m_flags & kHostShowCaret) != 0; }
  void NeedFreshCaret() { m_flags |= kHostNeedFreshCaret; }
  INT GetCaretWidth() const { return m_iCaretWidth; }
  INT GetCaretHeight() const { return m_iCaretHeight; }
  bool GetAllowBeep() const { return (m_flags & kHostAllowBeep) != 0; }
  void SetAllowBeep(bool allow);
  WORD GetDefaultAlign() const { return m_pf.wAlignment; }
  void SetDefaultAlign(WORD align);
  bool IsRichMode() const { return (m_flags & kHostRichText) != 0; }
  void SetRichTextFlag(bool rich);
  LONG GetDefaultLeftIndent() const { return m_pf.dxOffset; }
  void SetDefaultLeftIndent(LONG indent);
  bool SetSaveSelection(bool save);
  HRESULT OnTxInPlaceDeactivate();
  HRESULT OnTxInPlaceActivate(LPCRECT client);
  bool GetActiveState() const { return (m_flags & kHostInPlaceActive) != 0; }
  bool DoSetCursor(const RECT* rect, const POINT* pt);
  void SetTransparent(bool transparent);
  void GetControlRect(LPRECT rect);
  LONG SetAccelPos(LONG position);
  WCHAR SetPasswordChar(WCHAR ch);
  void SetDisabled(bool disabled);
  LONG SetSelBarWidth(LONG width);
  bool GetTimerState() const { return (m_flags & kHostTimer) != 0; }
  void SetCharFormat(const CHARFORMAT2W& format);
  void SetParaFormat(const PARAFORMAT2& format);
  LONG GetStyle() const { return m_dwStyle; }
  void SetStyle(LONG style) { m_dwStyle = style; }
  const CHARFORMAT2W& GetCharFormat() const { return m_cf; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ITextHost
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC hdc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT bars, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN updateRegion, LPRECT update,
                        UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT pt) override;
  WINBOOL TxClientToScreen(LPPOINT pt) override;
  HRESULT TxActivate(LONG* oldState) override;
  HRESULT TxDeactivate(LONG newState) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* scrollBars) override;
  HRESULT TxGetPasswordChar(TCHAR* ch) override;
  HRESULT TxGetAcceleratorPos(LONG* position) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD code, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC himc) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

 protected:
  // Deleted through Release only.
  virtual ~CTxtWinHost();

 private:
  HWND Window() const;
  // Fills the default character format from a font handle.
  void FormatFromFont(HFONT font);
  void PropertyBitsChanged(DWORD mask, DWORD bits);

  CRichEditUI* m_re = nullptr;
  ULONG m_cRefs = 1;
  ITextServices* m_pserv = nullptr;
  DWORD m_flags = 0;
  INT m_iCaretWidth = 0;
  INT m_iCaretHeight = 0;
  INT m_iCaretLastWidth = 0;
  INT m_iCaretLastHeight = 0;
  LONG m_lSelBarWidth = 0;
  LONG m_cchTextMost = 0x7FFF;
  RECT m_rcClient = {0, 0, 0, 0};
  SIZEL m_sizelExtent = {0, 0};
  CHARFORMAT2W m_cf = {};
  PARAFORMAT2 m_pf = {};
  LONG m_laccelpos = -1;
  WCHAR m_chPasswordChar = 0;
  LONG m_dwStyle = 0;
};

}  // namespace ZQUI
