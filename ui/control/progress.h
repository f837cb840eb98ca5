// CProgressUI: a label that fills part of its area in proportion to a value between a minimum and
// a maximum, with the fore colour, the fore image or both, and can show the percentage as its
// text. UI thread only.
#pragma once

#include "ui/control/label.h"

namespace ZQUI {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  CControlUI* Clone() override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintForeColor(HDC hDC) override;
  void PaintForeImage(HDC hDC) override;

  virtual void UpdateText();
  using CLabelUI::CopyData;
  virtual void CopyData(CProgressUI* control);

  bool IsShowText() const;
  void SetShowText(bool showText = true);
  bool IsHorizontal() const;
  void SetHorizontal(bool horizontal = true);
  int GetMinValue() const;
  void SetMinValue(int min);
  int GetMaxValue() const;
  void SetMaxValue(int max);
  int GetValue() const;
  void SetValue(int value);
  bool IsStretchForeImage() const;
  void SetStretchForeImage(bool stretch = true);
  void SetForeImagePadding(SIZE padding);
  SIZE GetForeImagePadding() const;

  // The filled part of the position after the range and value are normalised.
  RECT GetFillRect();

 protected:
  // Repairs an inverted range and pulls the value into it (stored), before painting.
  void NormaliseRange();

  bool m_bShowText = false;
  bool m_bHorizontal = true;
  bool m_bStretchForeImage = true;
  int m_nMax = 100;
  int m_nMin = 0;
  int m_nValue = 0;
  SIZE m_szForeImagePadding = {0, 0};
  CDuiString m_sForeImageModify;
};

}  // namespace ZQUI
