// CDialogBuilder turns a skin document into a tree of controls: it loads the document (text, file,
// resource archive or module resource), hands the root's resource declarations and the Window
// element's attributes to the paint manager and its shadow, then creates one control per element
// and links it to its parent. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/dui_string.h"
#include "ui/core/markup.h"

namespace ZQUI {

class CControlUI;
class CPaintManagerUI;

// One pointer-sized value: either a wide string or a 16-bit resource identifier (below 0x10000).
class STRINGorID {
 public:
  STRINGorID(const wchar_t* text) : m_lpstr(text) {}
  STRINGorID(unsigned int id) : m_lpstr(MAKEINTRESOURCEW(id & 0xFFFFu)) {}

  bool IsId() const { return IS_INTRESOURCE(m_lpstr); }
  WORD GetId() const { return static_cast<WORD>(reinterpret_cast<uintptr_t>(m_lpstr)); }

  const wchar_t* m_lpstr;
};

// Implemented by a window that creates controls the factory does not know.
class IDialogBuilderCallback {
 public:
  virtual CControlUI* CreateControl(const wchar_t* className) = 0;

 protected:
  ~IDialogBuilderCallback() = default;
};

class CDialogBuilder {
 public:
  // An Include that includes itself (directly or through others) stops at this nesting depth.
  static constexpr int kMaxIncludeDepth = 16;
  // Documents one top-level build may include in all: with a count above 1 at every level, a
  // depth cap alone still allows count^depth builds.
  static constexpr int kMaxIncludedDocuments = 1024;
  // Longest Include source name read, in characters.
  static constexpr int kMaxIncludeSource = 498;

  CDialogBuilder();
  ~CDialogBuilder();
  CDialogBuilder(const CDialogBuilder&) = delete;
  CDialogBuilder& operator=(const CDialogBuilder&) = delete;

  // Loads `xml` (document text beginning with '<', a file name, or a resource id of `type`) and
  // builds it; the first control built at the top level, or null.
  CControlUI* Create(STRINGorID xml, const wchar_t* type = nullptr,
                     IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                     CControlUI* parent = nullptr);
  // Builds from the document already loaded.
  CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                     CControlUI* parent = nullptr);

  CMarkup* GetMarkup();
  void GetLastErrorMessage(wchar_t* message, SIZE_T size) const;
  void GetLastErrorLocation(wchar_t* source, SIZE_T size) const;
  void SetInstance(HINSTANCE instance);

 private:
  CControlUI* _Parse(CMarkupNode* node, CControlUI* parent = nullptr,
                     CPaintManagerUI* manager = nullptr);
  void ParseResources(CMarkupNode& root, CPaintManagerUI* manager);
  void ApplyWindowAttributes(CMarkupNode& root, CPaintManagerUI* manager);
  CControlUI* BuildInclude(CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager);
  CControlUI* CreateByName(const wchar_t* elementName);

  CMarkup m_xml;
  IDialogBuilderCallback* m_pCallback = nullptr;
  // The resource type of a document loaded from a module resource: a resource-id type as given, or
  // a pointer into m_sType (a copy, so the caller's text may go away).
  const wchar_t* m_pstrtype = nullptr;
  CDuiString m_sType;
  HINSTANCE m_instance = nullptr;
  // Include nesting of the build that created this builder (0 for a top-level builder).
  int m_nIncludeDepth = 0;
  // Includes still allowed; a top-level builder owns the count, included builders share it.
  int m_nIncludeBudget = kMaxIncludedDocuments;
  int* m_pIncludeBudget = &m_nIncludeBudget;
};

}  // namespace ZQUI
