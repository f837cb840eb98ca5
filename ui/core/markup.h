// CMarkup: the UI library's small XML reader for skin documents. It parses destructively, in one
// pass, over one wide-character copy of the text and keeps only offsets into it; CMarkupNode is a
// light handle onto one element. It knows elements, double-quoted attributes, character data before
// the first child, five named entities, comments and processing instructions — nothing else.
// A node must not outlive its document; reloading the document invalidates every node.
#pragma once

#include <windows.h>

namespace ZQUI {

// Encoding codes of LoadFromMem and LoadFromFile (plain ints, so callers may pass 0).
struct XmlEncoding {
  enum : int { Utf8 = 0, Utf16 = 1, Ansi = 2 };
};

class CMarkup;

class CMarkupNode {
  friend class CMarkup;

 public:
  static constexpr int kMaxAttributes = 64;

  CMarkupNode();
  CMarkupNode(CMarkup* owner, int position);

  bool IsValid() const;

  CMarkupNode GetParent();
  CMarkupNode GetSibling();
  CMarkupNode GetChild();
  // First child whose name equals `name`, case ignored.
  CMarkupNode GetChild(const wchar_t* name);

  bool HasSiblings() const;
  bool HasChildren() const;
  const wchar_t* GetName() const;
  const wchar_t* GetValue() const;

  bool HasAttributes();
  bool HasAttribute(const wchar_t* name);
  int GetAttributeCount();
  const wchar_t* GetAttributeName(int index);
  const wchar_t* GetAttributeValue(int index);
  const wchar_t* GetAttributeValue(const wchar_t* name);
  bool GetAttributeValue(int index, wchar_t* value, SIZE_T size);
  bool GetAttributeValue(const wchar_t* name, wchar_t* value, SIZE_T size);

 private:
  void _MapAttributes();

  struct XMLATTRIBUTE {
    ULONG iName;
    ULONG iValue;
  };

  int m_iPos;
  int m_nAttributes;
  XMLATTRIBUTE m_aAttributes[kMaxAttributes];
  CMarkup* m_pOwner;
};

class CMarkup {
  friend class CMarkupNode;

 public:
  // Deeper documents fail to load rather than exhausting the stack of any tree walk.
  static constexpr int kMaxNestingDepth = 256;
  // Files and archive items above this size are refused.
  static constexpr DWORD kMaxFileSize = 4194304;

  explicit CMarkup(const wchar_t* xml = nullptr);
  ~CMarkup();
  CMarkup(const CMarkup&) = delete;
  CMarkup& operator=(const CMarkup&) = delete;

  bool Load(const wchar_t* xml);
  bool LoadFromMem(BYTE* bytes, DWORD size, int encoding = XmlEncoding::Utf8);
  bool LoadFromFile(const wchar_t* file, int encoding = XmlEncoding::Utf8);
  void Release();
  bool IsValid() const;

  void SetPreserveWhitespace(bool preserve = true);
  // Copy into the caller's buffer of `size` characters, cut to fit, always terminated; a zero size
  // writes nothing.
  void GetLastErrorMessage(wchar_t* message, SIZE_T size) const;
  void GetLastErrorLocation(wchar_t* source, SIZE_T size) const;

  CMarkupNode GetRoot();

 private:
  struct tagXMLELEMENT {
    ULONG iStart;   // name offset
    ULONG iChild;   // first child, 0 for none
    ULONG iNext;    // next sibling, 0 for none
    ULONG iParent;  // parent, 0 at the top level
    ULONG iData;    // character data offset
  };
  using XMLELEMENT = tagXMLELEMENT;

  bool _Parse();
  bool _Parse(wchar_t*& text, ULONG parent);
  XMLELEMENT* _ReserveElement();
  static void _SkipWhitespace(wchar_t*& text);
  static void _SkipWhitespace(const wchar_t*& text);
  static void _SkipIdentifier(wchar_t*& text);
  static void _SkipIdentifier(const wchar_t*& text);
  bool _ParseData(wchar_t*& text, wchar_t*& dest, wchar_t end);
  void _ParseMetaChar(wchar_t*& text, wchar_t*& dest);
  bool _ParseAttributes(wchar_t*& text);
  bool _Failed(const wchar_t* error, const wchar_t* location = nullptr);
  bool LoadFromArchive(const wchar_t* file, int encoding);
  bool LoadFromDisk(const wchar_t* file, int encoding);

  wchar_t* m_pstrXML = nullptr;
  XMLELEMENT* m_pElements = nullptr;
  ULONG m_nElements = 0;
  ULONG m_nReservedElements = 0;
  wchar_t m_szErrorMsg[100];
  wchar_t m_szErrorXML[50];
  bool m_bPreserveWhitespace = true;
  int m_nDepth = 0;  // nesting depth of the running parse
};

}  // namespace ZQUI
