// CButtonUI: a label that tracks hot, pushed, captured, focused and disabled states, paints
// per-state colours, fonts and images (or slices one state image), and sends "click" when a press
// that began on it is released inside it, or on space/return. UI thread only.
#pragma once

#include "ui/control/button_state.h"
#include "ui/control/label.h"
#include "ui/layout/tab_select.h"

namespace ZQUI {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  bool Activate() override;
  void SetEnabled(bool enable = true) override;
  CControlUI* Clone() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintText(HDC hDC) override;
  void PaintBkColor(HDC hDC) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintForeImage(HDC hDC) override;
  void PaintBorder(HDC hDC) override;

  virtual const wchar_t* GetNormalImage() const;
  virtual void SetNormalImage(const wchar_t* image);
  virtual const wchar_t* GetHotImage() const;
  virtual void SetHotImage(const wchar_t* image);
  virtual const wchar_t* GetPushedImage() const;
  virtual void SetPushedImage(const wchar_t* image);
  virtual const wchar_t* GetFocusedImage() const;
  virtual void SetFocusedImage(const wchar_t* image);
  virtual const wchar_t* GetDisabledImage() const;
  virtual void SetDisabledImage(const wchar_t* image);
  virtual const wchar_t* GetHotForeImage() const;
  virtual void SetHotForeImage(const wchar_t* image);
  virtual const wchar_t* GetPushedForeImage() const;
  virtual void SetPushedForeImage(const wchar_t* image);
  virtual const wchar_t* GetStateImage() const;
  // Empties the normal image so that the next paint slices the state image anew.
  virtual void SetStateImage(const wchar_t* image);
  using CLabelUI::CopyData;
  virtual void CopyData(CButtonUI* control);

  void SetHotFont(int index);
  int GetHotFont() const;
  void SetPushedFont(int index);
  int GetPushedFont() const;
  void SetFocusedFont(int index);
  int GetFocusedFont() const;
  void SetHotBkColor(DWORD color);
  DWORD GetHotBkColor() const;
  void SetPushedBkColor(DWORD color);
  DWORD GetPushedBkColor() const;
  void SetDisabledBkColor(DWORD color);
  DWORD GetDisabledBkColor() const;
  void SetHotTextColor(DWORD color);
  DWORD GetHotTextColor() const;
  void SetPushedTextColor(DWORD color);
  DWORD GetPushedTextColor() const;
  void SetFocusedTextColor(DWORD color);
  DWORD GetFocusedTextColor() const;
  void SetHotBorderColor(DWORD color);
  DWORD GetHotBorderColor() const;
  void SetPushedBorderColor(DWORD color);
  DWORD GetPushedBorderColor() const;
  void SetDisabledBorderColor(DWORD color);
  DWORD GetDisabledBorderColor() const;
  void SetStateCount(int count);
  int GetStateCount() const;
  // Replaces the whole state word.
  void SetState(UINT state);
  UINT GetState() const;

  void BindTabIndex(int index);
  void BindTabLayoutName(const wchar_t* name);
  // Selects a page of the bound tab layout without sending "click"; `index` < 0 uses the bound one.
  // Selects page `index` (or the bound page when negative) of the bound tab layout without a
  // "click". False when there is no page to select or no tree to find the layout in.
  bool BindTriggerTabSel(int index = -1);
  void RemoveBindTabIndex();
  int GetBindTabLayoutIndex() const;
  const wchar_t* GetBindTabLayoutName() const;

 protected:
  // Draws an image description over the position; false when nothing was drawn.
  bool DrawStateImage(HDC hDC, const CDuiString& image);
  // Writes the normal, hot, pushed and disabled images from equal slices of the state image.
  void SliceStateImage();
  // Writes `normal`, `hot`, `pushed` and, when given, `disabled` from `count` equal side-by-side
  // slices of `stateImage`; nothing while `normal` is set or the image cannot be loaded. With
  // `withCorner` each slice keeps the description's corner.
  void SliceImageStates(const CDuiString& stateImage, int count, bool withCorner, CDuiString& normal,
                        CDuiString& hot, CDuiString& pushed, CDuiString* disabled);
  // Stores an image description and repaints when it changed (compared case-sensitively).
  void UpdateImage(CDuiString& target, const wchar_t* image);
  // The colour of the disabled, pushed or hot state, first match in that order; 0 in none of them.
  DWORD StateColor(DWORD disabled, DWORD pushed, DWORD hot) const;
  // Refreshes StateFocused and StateDisabled from the control's flags.
  void RefreshFocusAndDisabled();
  // Outline in `color` with the stored border geometry; nothing for colour 0.
  void DrawStateBorder(HDC hDC, DWORD color);
  // Selects the bound tab layout's page `index`; false when there is none to drive.
  bool SelectBoundTab(int index);

  UINT m_uButtonState = 0;
  int m_iHotFont = -1;
  int m_iPushedFont = -1;
  int m_iFocusedFont = -1;
  DWORD m_dwHotBkColor = 0;
  DWORD m_dwPushedBkColor = 0;
  DWORD m_dwStateDisabledBkColor = 0;
  DWORD m_dwHotTextColor = 0;
  DWORD m_dwPushedTextColor = 0;
  DWORD m_dwFocusedTextColor = 0;
  DWORD m_dwHotBorderColor = 0;
  DWORD m_dwPushedBorderColor = 0;
  DWORD m_dwDisabledBorderColor = 0;
  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sHotForeImage;
  CDuiString m_sPushedImage;
  CDuiString m_sPushedForeImage;
  CDuiString m_sFocusedImage;
  CDuiString m_sDisabledImage;
  int m_nStateCount = 0;
  CDuiString m_sStateImage;
  int m_iBindTabIndex = -1;
  CDuiString m_sBindTabLayoutName;
};

}  // namespace ZQUI
