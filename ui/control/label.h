// CLabelUI: a control that draws its text with its own colours, font, padding and alignment and can
// size itself to the text (single-line width, multi-line height). The base of buttons and progress
// bars. UI thread only.
#pragma once

#include "ui/core/control.h"

namespace ZQUI {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  UINT GetControlFlags() const override;
  bool IsContainerControl() const override;
  void SetText(const wchar_t* text) override;
  CControlUI* Clone() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintText(HDC hDC) override;

  virtual bool GetAutoCalcWidth() const;
  virtual void SetAutoCalcWidth(bool autoCalcWidth);
  virtual bool GetAutoCalcHeight() const;
  virtual void SetAutoCalcHeight(bool autoCalcHeight);
  using CControlUI::CopyData;
  virtual void CopyData(CLabelUI* control);

  void SetTextStyle(UINT style);
  UINT GetTextStyle() const;
  void SetTextColor(DWORD color);
  DWORD GetTextColor() const;
  void SetDisabledTextColor(DWORD color);
  DWORD GetDisabledTextColor() const;
  void SetFont(int index);
  int GetFont() const;
  void SetTextPadding(RECT rc);
  // The DPI-scaled padding when a manager is attached, else the stored one.
  RECT GetTextPadding() const;
  void SetShowHtml(bool showHtml = true);
  bool IsShowHtml() const;
  void SetFollowSize(bool followSize);
  bool GetFollowSize() const;

 protected:
  // Replaces text colours of 0 by the manager's defaults and keeps the replacement.
  void ResolveDefaultTextColors();
  // The position deflated by the scaled text padding.
  RECT TextRect() const;
  // Draws `m_sText` as plain or HTML text into `rc`.
  void DrawLabelText(HDC hDC, RECT& rc, DWORD color, int font, UINT style);

  DWORD m_dwTextColor = 0;
  DWORD m_dwDisabledTextColor = 0;
  int m_iFont = -1;
  UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
  RECT m_rcTextPadding = {0, 0, 0, 0};
  bool m_bShowHtml = false;
  bool m_bAutoCalcWidth = false;
  bool m_bAutoCalcHeight = false;
  bool m_bFollowSize = false;
  SIZE m_szAvailableLast = {0, 0};
  SIZE m_szEstimate = {0, 0};
  bool m_bNeedEstimateSize = false;
};

}  // namespace ZQUI
