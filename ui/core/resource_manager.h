// CResourceManager: the process-wide table of localised texts (and, later, image and skin-file
// aliases). Present so far: the text table with its query interface; language files and the alias
// maps are not present yet.
#pragma once

#include <windows.h>

#include "ui/core/dui_string.h"
#include "ui/core/std_string_ptr_map.h"

namespace ZQUI {

class IQueryControlText {
 public:
  virtual const wchar_t* QueryControlText(const wchar_t* id, const wchar_t* type) = 0;

 protected:
  ~IQueryControlText() = default;
};

class CResourceManager {
 public:
  static CResourceManager* GetInstance();
  void Release();

  void SetTextQueryInterface(IQueryControlText* query);
  // The text of `id`; a missing text is asked of the query interface and otherwise stands as the id.
  CDuiString GetText(const wchar_t* id, const wchar_t* type = nullptr);
  void ReloadText();
  void ResetTextMap();

 private:
  CResourceManager();
  ~CResourceManager();

  CStdStringPtrMap m_mTextResourceHashMap;
  IQueryControlText* m_pQuerypInterface = nullptr;
};

}  // namespace ZQUI
