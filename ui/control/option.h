// COptionUI: a button with a selected state. Options that share a group name form a radio group
// kept by the paint manager: selecting one deselects the others (except those of the same non-empty
// group type). While selected the option paints its selected colours, font and images. UI thread only.
#pragma once

#include "ui/control/button.h"

namespace ZQUI {

class COptionUI : public CButtonUI {
 public:
  COptionUI();
  ~COptionUI() override;

  static CControlUI* CreateControl();

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  bool Activate() override;
  CControlUI* Clone() override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  void PaintBkColor(HDC hDC) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintForeImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  virtual const wchar_t* GetSelectedStateImage() const;
  virtual void SetSelectedStateImage(const wchar_t* image);
  virtual void Selected(bool selected, bool triggerEvent = true);
  using CButtonUI::CopyData;
  virtual void CopyData(COptionUI* control);

  bool IsSelected() const;
  const wchar_t* GetGroup() const;
  void SetGroup(const wchar_t* groupName = nullptr);
  const wchar_t* GetGroupType() const;
  void SetGroupType(const wchar_t* groupType);

  const wchar_t* GetSelectedImage() const;
  void SetSelectedImage(const wchar_t* image);
  const wchar_t* GetSelectedHotImage() const;
  void SetSelectedHotImage(const wchar_t* image);
  const wchar_t* GetSelectedPushedImage() const;
  void SetSelectedPushedImage(const wchar_t* image);
  const wchar_t* GetSelectedForedImage() const;
  void SetSelectedForedImage(const wchar_t* image);
  void SetSelectedTextColor(DWORD color);
  // A stored 0 is replaced by the manager's default font colour, permanently.
  DWORD GetSelectedTextColor();
  void SetSelectedBkColor(DWORD color);
  DWORD GetSelectBkColor() const;
  void SetSelectedStateCount(int count);
  int GetSelectedStateCount() const;
  void SetSelectedFont(int index);
  int GetSelectedFont() const;

 protected:
  // Stores the selected flag and the StateSelected bit together.
  void StoreSelected(bool selected);
  // Writes the selected images from equal slices of the selected state image.
  void SliceSelectedStateImage();
  // Deselects the other members of this option's group. With `keepSameType`, members of this
  // option's non-empty group type stay selected.
  void DeselectGroupPeers(bool triggerEvent, bool keepSameType);

  bool m_bSelected = false;
  CDuiString m_sGroupName;
  CDuiString m_sGroupType;
  int m_iSelectedFont = -1;
  DWORD m_dwSelectedBkColor = 0;
  DWORD m_dwSelectedTextColor = 0;
  CDuiString m_sSelectedImage;
  CDuiString m_sSelectedHotImage;
  CDuiString m_sSelectedPushedImage;
  CDuiString m_sSelectedForeImage;
  int m_nSelectedStateCount = 0;
  CDuiString m_sSelectedStateImage;
};

}  // namespace ZQUI
