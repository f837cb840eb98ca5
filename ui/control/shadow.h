// CShadowUI: the drop shadow of a skinned (frameless) window. It owns a second, layered,
// click-through top-level window owned by the skinned window, a little larger than it and kept
// directly behind it. The shadow shows either a nine-sliced image (image mode) or a shadow computed
// from the window's shape, size, sharpness, darkness, colour and offset. It follows the window by
// subclassing it: moves, sizes, shows, hides, minimise, maximise and re-stacking. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>

#include "ui/core/dui_string.h"

namespace ZQUI {

class CPaintManagerUI;

// The pixels of one shadow: a 32-bit bottom-up DIB section selected into a memory DC. Owns both.
class CShadowBitmap {
 public:
  CShadowBitmap() = default;
  ~CShadowBitmap();
  CShadowBitmap(const CShadowBitmap&) = delete;
  CShadowBitmap& operator=(const CShadowBitmap&) = delete;

  // Makes a width x height bitmap cleared to 0; false (and nothing held) when it cannot be made.
  bool Create(int width, int height);
  void Release();

  HDC GetDC() const { return m_dc; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  uint32_t* GetBits() const { return m_bits; }
  // Premultiplied ARGB of the pixel at (x, y), counted from the top-left; 0 outside the bitmap.
  uint32_t PixelAt(int x, int y) const;

 private:
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  uint32_t* m_bits = nullptr;
  int m_width = 0;
  int m_height = 0;
};

class CShadowUI {
 public:
  // Status bits.
  enum : uint8_t {
    kStatusEnabled = 0x1,      // created for a window
    kStatusShown = 0x2,        // the shadow window is shown
    kStatusParentShown = 0x4,  // the skinned window is shown
  };

  CShadowUI();
  virtual ~CShadowUI();
  // A shadow owns its window and the parent's subclass entry: copying would destroy them twice.
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;

  // Registers the shadow window class once per process; true only for the call that registered it.
  static bool Initialize(HINSTANCE instance);

  // Creates the shadow window for the manager's window and subclasses that window. Does nothing
  // unless the shadow is wanted, or when this shadow already has a window.
  void Create(CPaintManagerUI* manager);

  void ShowShadow(bool show);
  bool IsShowShadow() const;
  void DisableShadow(bool disable);
  bool IsDisableShadow() const;

  bool SetSize(int size);                   // -35..35
  bool SetSharpness(unsigned int sharpness);  // 0..35
  bool SetDarkness(unsigned int darkness);    // 0..255
  bool SetPosition(int x, int y);           // each -35..35
  bool SetColor(COLORREF color);
  bool SetImage(const wchar_t* image);
  bool SetShadowCorner(RECT corner);
  // Copies these settings into `other` through its setters.
  bool CopyShadow(CShadowUI* other);

  int GetSize() const { return m_nSize; }
  unsigned int GetSharpness() const { return m_nSharpness; }
  unsigned int GetDarkness() const { return m_nDarkness; }
  POINT GetPosition() const { return POINT{m_nxOffset, m_nyOffset}; }
  COLORREF GetColor() const { return m_Color; }
  const CDuiString& GetImage() const { return m_sShadowImage; }
  RECT GetShadowCorner() const { return m_rcShadowCorner; }
  bool IsImageMode() const { return m_bIsImageMode; }
  HWND GetShadowWindow() const { return m_hWnd; }
  uint8_t GetStatus() const { return m_Status; }

  // Paints the shadow for `parent` into `bitmap` (sized to the parent's window rectangle grown by
  // the shadow size) without showing it; false when there is nothing to draw or it cannot be made.
  bool RenderShadow(HWND parent, CShadowBitmap& bitmap);

  static std::map<HWND, CShadowUI*>& GetShadowMap();

 protected:
  // Redraws the shadow for `parent` and hands the pixels to the layered window.
  void Update(HWND parent);
  // Computes the shadow from the parent's shape into `bits` (top-down rows of width x height).
  void MakeShadow(uint32_t* bits, int width, int height, HWND parent, const RECT& parentRect);
  static DWORD PreMultiply(COLORREF color, unsigned char alpha);
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  // Where the shadow window's top-left goes for a parent window rectangle.
  POINT ShadowOrigin(const RECT& parentRect) const;
  void MoveShadow(HWND parent);
  void ShowShadowWindow();
  void HideShadowWindow();
  // Status from the parent's style: hidden, minimised/maximised or shown.
  uint8_t StatusFromStyle(HWND parent) const;
  // After an accepted setter: redraw at once when the shadow is shown.
  void RefreshIfShown();
  bool DrawImageShadow(CShadowBitmap& bitmap);
  void Detach();

  CPaintManagerUI* m_pManager = nullptr;
  HWND m_hWnd = nullptr;
  WNDPROC m_OriParentProc = nullptr;
  HWND m_hParent = nullptr;  // the subclassed window, to undo the subclass when destroyed early
  uint8_t m_Status = 0;
  bool m_bIsImageMode = false;
  bool m_bIsShowShadow = false;
  bool m_bIsDisableShadow = false;
  uint8_t m_nDarkness = 150;
  uint8_t m_nSharpness = 5;
  int8_t m_nSize = 0;
  int8_t m_nxOffset = 0;
  int8_t m_nyOffset = 0;
  LPARAM m_WndSize = 0;
  bool m_bUpdate = false;
  COLORREF m_Color = 0;
  CDuiString m_sShadowImage;
  RECT m_rcShadowCorner = {0, 0, 0, 0};
};

}  // namespace ZQUI
