// CResourceManager: the process-wide tables of localised texts and of image and skin-file aliases
// (id -> path), filled from small XML documents. Created on first use; released by
// CPaintManagerUI::Term. UI thread only after creation.
#pragma once

#include <windows.h>

#include "ui/core/dialog_builder.h"
#include "ui/core/dui_string.h"
#include "ui/core/markup.h"
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
  // The singleton when it exists, without creating it.
  static CResourceManager* PeekInstance();
  void Release();

  // Reads "Image" and "Xml" elements (attributes id and path) anywhere in the document; the first
  // path given for an id stays. `xml` is document text beginning with '<', a file name, or a
  // resource id of `type` in the resource module.
  bool LoadResource(STRINGorID xml, const wchar_t* type = nullptr);
  const wchar_t* GetImagePath(const wchar_t* id) const;
  const wchar_t* GetXmlPath(const wchar_t* id) const;
  void ResetResourceMap();

  // Reads "Text" elements (attributes id and value); a later value replaces an earlier one.
  bool LoadLanguage(const wchar_t* xml);
  void SetLanguage(const wchar_t* language);
  const wchar_t* GetLanguage() const;

  void SetTextQueryInterface(IQueryControlText* query);
  // The text of `id`; a missing text is asked of the query interface and otherwise stands as the id.
  CDuiString GetText(const wchar_t* id, const wchar_t* type = nullptr);
  void ReloadText();
  void ResetTextMap();

 private:
  CResourceManager();
  ~CResourceManager();
  CResourceManager(const CResourceManager&) = delete;
  CResourceManager& operator=(const CResourceManager&) = delete;

  bool LoadDocument(STRINGorID xml, const wchar_t* type);
  void CollectAliases(CMarkupNode node, int depth);
  void CollectTexts(CMarkupNode node, int depth);

  CStdStringPtrMap m_mTextResourceHashMap;
  CStdStringPtrMap m_mImageHashMap;
  CStdStringPtrMap m_mXmlHashMap;
  IQueryControlText* m_pQuerypInterface = nullptr;
  CMarkup m_xml;
  CDuiString m_sLauguage;
};

}  // namespace ZQUI
