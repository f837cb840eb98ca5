// CControlFactory: the process-wide table from control class names ("CButtonUI") to the functions
// that create them. The dialog builder asks it first for every element. Created on first use,
// deleted by Release (CPaintManagerUI::Term). The map is not locked: UI thread only after creation.
#pragma once

#include <map>

#include "ui/core/dui_string.h"

namespace ZQUI {

class CControlUI;

using CreateClass = CControlUI* (*)();

class CControlFactory {
 public:
  static CControlFactory* GetInstance();
  void Release();

  // Null when the class is not registered. The name is matched ignoring case.
  CControlUI* CreateControl(CDuiString className);
  // Registers a creation function; an existing entry of that name stays.
  void RegistControl(CDuiString className, CreateClass createFunction);

 private:
  struct NameLess {
    bool operator()(const CDuiString& a, const CDuiString& b) const;
  };

  CControlFactory();
  ~CControlFactory() = default;
  CControlFactory(const CControlFactory&) = delete;
  CControlFactory& operator=(const CControlFactory&) = delete;

  // Lower-cases with the wide-character mapping, so non-ASCII names fold as well.
  static void LowerName(CDuiString& name);

  std::map<CDuiString, CreateClass, NameLess> m_mapControl;
};

}  // namespace ZQUI
