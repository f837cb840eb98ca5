#include "ui/core/markup.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "archive/zip_reader.h"
#include "ui/core/dui_string.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {

namespace {

// Copies `text` into `buffer` of `size` characters, cut to fit and terminated.
void CopyBounded(wchar_t* buffer, SIZE_T size, const wchar_t* text) {
  if (buffer == nullptr || size == 0) return;
  if (text == nullptr) text = L"";
  SIZE_T length = wcslen(text);
  if (length > size - 1) length = size - 1;
  wmemcpy(buffer, text, length);
  buffer[length] = L'\0';
}

// Counts the nesting of _Parse calls for the depth bound.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
  ~DepthGuard() { --m_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& m_depth;
};

// Owns a zip handle opened for one load; a cached archive handle is never handed to it.
class ScopedZip {
 public:
  explicit ScopedZip(HZIP zip) : m_zip(zip) {}
  ~ScopedZip() {
    if (m_zip) ZipClose(m_zip);
  }
  ScopedZip(const ScopedZip&) = delete;
  ScopedZip& operator=(const ScopedZip&) = delete;

 private:
  HZIP m_zip;
};

class ScopedFile {
 public:
  explicit ScopedFile(HANDLE file) : m_file(file) {}
  ~ScopedFile() {
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  HANDLE get() const { return m_file; }

 private:
  HANDLE m_file;
};

// The archive password in the ANSI code page; empty when no password is set.
void PasswordToAnsi(const CDuiString& password, char* out, int size) {
  out[0] = '\0';
  if (password.IsEmpty()) return;
  int n = WideCharToMultiByte(CP_ACP, 0, password.GetData(), -1, out, size, nullptr, nullptr);
  if (n <= 0) out[0] = '\0';
  out[size - 1] = '\0';
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CMarkupNode

CMarkupNode::CMarkupNode() : m_iPos(0), m_nAttributes(0), m_pOwner(nullptr) {}

CMarkupNode::CMarkupNode(CMarkup* owner, int position) : m_iPos(position), m_nAttributes(0), m_pOwner(owner) {}

bool CMarkupNode::IsValid() const { return m_pOwner != nullptr; }

CMarkupNode CMarkupNode::GetParent() {
  if (m_pOwner == nullptr) return CMarkupNode();
  ULONG parent = m_pOwner->m_pElements[m_iPos].iParent;
  if (parent == 0) return CMarkupNode();
  return CMarkupNode(m_pOwner, static_cast<int>(parent));
}

CMarkupNode CMarkupNode::GetSibling() {
  if (m_pOwner == nullptr) return CMarkupNode();
  ULONG next = m_pOwner->m_pElements[m_iPos].iNext;
  if (next == 0) return CMarkupNode();
  return CMarkupNode(m_pOwner, static_cast<int>(next));
}

CMarkupNode CMarkupNode::GetChild() {
  if (m_pOwner == nullptr) return CMarkupNode();
  ULONG child = m_pOwner->m_pElements[m_iPos].iChild;
  if (child == 0) return CMarkupNode();
  return CMarkupNode(m_pOwner, static_cast<int>(child));
}

CMarkupNode CMarkupNode::GetChild(const wchar_t* name) {
  if (m_pOwner == nullptr || name == nullptr) return CMarkupNode();
  ULONG position = m_pOwner->m_pElements[m_iPos].iChild;
  while (position != 0) {
    if (_wcsicmp(m_pOwner->m_pstrXML + m_pOwner->m_pElements[position].iStart, name) == 0) {
      return CMarkupNode(m_pOwner, static_cast<int>(position));
    }
    position = m_pOwner->m_pElements[position].iNext;
  }
  return CMarkupNode();
}

bool CMarkupNode::HasSiblings() const {
  if (m_pOwner == nullptr) return false;
  return m_pOwner->m_pElements[m_iPos].iNext > 0;
}

bool CMarkupNode::HasChildren() const {
  if (m_pOwner == nullptr) return false;
  return m_pOwner->m_pElements[m_iPos].iChild != 0;
}

const wchar_t* CMarkupNode::GetName() const {
  if (m_pOwner == nullptr) return nullptr;
  return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
}

const wchar_t* CMarkupNode::GetValue() const {
  if (m_pOwner == nullptr) return nullptr;
  return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iData;
}

bool CMarkupNode::HasAttributes() {
  if (m_pOwner == nullptr) return false;
  if (m_nAttributes == 0) _MapAttributes();
  return m_nAttributes > 0;
}

bool CMarkupNode::HasAttribute(const wchar_t* name) {
  if (m_pOwner == nullptr || name == nullptr) return false;
  if (m_nAttributes == 0) _MapAttributes();
  for (int i = 0; i < m_nAttributes; ++i) {
    if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) == 0) return true;
  }
  return false;
}

int CMarkupNode::GetAttributeCount() {
  if (m_pOwner == nullptr) return 0;
  if (m_nAttributes == 0) _MapAttributes();
  return m_nAttributes;
}

const wchar_t* CMarkupNode::GetAttributeName(int index) {
  if (m_pOwner == nullptr) return nullptr;
  if (m_nAttributes == 0) _MapAttributes();
  if (index < 0 || index >= m_nAttributes) return L"";
  return m_pOwner->m_pstrXML + m_aAttributes[index].iName;
}

const wchar_t* CMarkupNode::GetAttributeValue(int index) {
  if (m_pOwner == nullptr) return nullptr;
  if (m_nAttributes == 0) _MapAttributes();
  if (index < 0 || index >= m_nAttributes) return L"";
  return m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

const wchar_t* CMarkupNode::GetAttributeValue(const wchar_t* name) {
  if (m_pOwner == nullptr) return nullptr;
  if (m_nAttributes == 0) _MapAttributes();
  if (name == nullptr) return L"";
  for (int i = 0; i < m_nAttributes; ++i) {
    if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) == 0) {
      return m_pOwner->m_pstrXML + m_aAttributes[i].iValue;
    }
  }
  return L"";
}

bool CMarkupNode::GetAttributeValue(int index, wchar_t* value, SIZE_T size) {
  if (m_pOwner == nullptr) return false;
  if (m_nAttributes == 0) _MapAttributes();
  if (index < 0 || index >= m_nAttributes) return false;
  CopyBounded(value, size, m_pOwner->m_pstrXML + m_aAttributes[index].iValue);
  return true;
}

bool CMarkupNode::GetAttributeValue(const wchar_t* name, wchar_t* value, SIZE_T size) {
  if (m_pOwner == nullptr || name == nullptr) return false;
  if (m_nAttributes == 0) _MapAttributes();
  for (int i = 0; i < m_nAttributes; ++i) {
    if (_wcsicmp(m_pOwner->m_pstrXML + m_aAttributes[i].iName, name) == 0) {
      CopyBounded(value, size, m_pOwner->m_pstrXML + m_aAttributes[i].iValue);
      return true;
    }
  }
  return false;
}

void CMarkupNode::_MapAttributes() {
  m_nAttributes = 0;
  const wchar_t* base = m_pOwner->m_pstrXML;
  const wchar_t* p = base + m_pOwner->m_pElements[m_iPos].iStart;
  const wchar_t* end = base + m_pOwner->m_pElements[m_iPos].iData;
  p += wcslen(p) + 1;
  while (p < end) {
    CMarkup::_SkipWhitespace(p);
    m_aAttributes[m_nAttributes].iName = static_cast<ULONG>(p - base);
    p += wcslen(p) + 1;
    if (p > end) return;
    CMarkup::_SkipWhitespace(p);
    if (*p++ != L'"') return;
    m_aAttributes[m_nAttributes++].iValue = static_cast<ULONG>(p - base);
    if (m_nAttributes >= kMaxAttributes) return;
    p += wcslen(p) + 1;
  }
}

// ---------------------------------------------------------------------------------------------
// CMarkup

CMarkup::CMarkup(const wchar_t* xml) {
  m_szErrorMsg[0] = L'\0';
  m_szErrorXML[0] = L'\0';
  if (xml != nullptr) Load(xml);
}

CMarkup::~CMarkup() { Release(); }

bool CMarkup::IsValid() const { return m_pElements != nullptr; }

void CMarkup::SetPreserveWhitespace(bool preserve) { m_bPreserveWhitespace = preserve; }

bool CMarkup::Load(const wchar_t* xml) {
  Release();
  if (xml == nullptr) xml = L"";
  SIZE_T length = wcslen(xml);
  m_pstrXML = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (length + 1)));
  if (m_pstrXML == nullptr) return _Failed(L"Out of memory");
  wmemcpy(m_pstrXML, xml, length + 1);
  bool ok = _Parse();
  if (!ok) Release();
  return ok;
}

bool CMarkup::LoadFromMem(BYTE* bytes, DWORD size, int encoding) {
  // Callers use a fresh document; releasing first keeps a second load from leaking the first.
  Release();
  if (bytes == nullptr) size = 0;
  if (encoding == XmlEncoding::Utf8 || encoding == XmlEncoding::Ansi) {
    UINT codePage = CP_UTF8;
    if (encoding == XmlEncoding::Utf8) {
      if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        size -= 3;
      }
    } else {
      codePage = CP_ACP;
    }
    int count = 0;
    if (size > 0) {
      count = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), nullptr, 0);
      if (count < 0) count = 0;
    }
    m_pstrXML = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (static_cast<size_t>(count) + 1)));
    if (m_pstrXML == nullptr) return _Failed(L"Out of memory");
    if (count > 0) {
      MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size), m_pstrXML, count);
    }
    m_pstrXML[count] = L'\0';
  } else {
    DWORD count = size / 2;
    const BYTE* first = bytes;
    if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
      if (bytes[0] == 0xFE) {
        for (DWORD i = 1; i < count; ++i) {
          BYTE t = bytes[i * 2];
          bytes[i * 2] = bytes[i * 2 + 1];
          bytes[i * 2 + 1] = t;
        }
      }
      first = bytes + 2;
      count -= 1;
    }
    // Without a byte-order mark the text is read as little-endian.
    m_pstrXML = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (static_cast<size_t>(count) + 1)));
    if (m_pstrXML == nullptr) return _Failed(L"Out of memory");
    if (count > 0) memcpy(m_pstrXML, first, static_cast<size_t>(count) * sizeof(wchar_t));
    m_pstrXML[count] = L'\0';
  }
  bool ok = _Parse();
  if (!ok) Release();
  return ok;
}

bool CMarkup::LoadFromFile(const wchar_t* file, int encoding) {
  Release();
  if (file == nullptr) file = L"";
  if (!CPaintManagerUI::GetResourceZip().IsEmpty()) return LoadFromArchive(file, encoding);
  return LoadFromDisk(file, encoding);
}

bool CMarkup::LoadFromArchive(const wchar_t* file, int encoding) {
  CDuiString archivePath = CPaintManagerUI::GetResourcePath();
  archivePath += CPaintManagerUI::GetResourceZip();
  HZIP zip = nullptr;
  HZIP opened = nullptr;
  if (CPaintManagerUI::IsCachedResourceZip()) {
    zip = CPaintManagerUI::GetResourceZipHandle();
  } else {
    char password[256];
    PasswordToAnsi(CPaintManagerUI::GetResourceZipPwd(), password, static_cast<int>(sizeof(password)));
    opened = ZipOpenFile(archivePath.GetData(), password[0] ? password : nullptr);
    zip = opened;
  }
  ScopedZip closer(opened);
  if (zip == nullptr) return _Failed(L"Error opening zip file");

  CDuiString itemName(file);
  itemName.Replace(L"\\", L"/");
  ZipEntry entry;
  int index = -1;
  if (ZipFindEntry(zip, itemName.GetData(), true, &index, &entry) != ZIP_OK) {
    return _Failed(L"Could not find ziped file");
  }
  if (entry.unpacked_size <= 0) return _Failed(L"File is empty");
  DWORD size = static_cast<DWORD>(entry.unpacked_size);
  if (size > kMaxFileSize) return _Failed(L"File too large");
  BYTE* bytes = static_cast<BYTE*>(malloc(size));
  if (bytes == nullptr) return _Failed(L"Out of memory");
  uint32_t result = ZipExtractToMemory(zip, index, bytes, size);
  if (result != ZIP_OK && result != ZIP_MORE_DATA) {
    free(bytes);
    return _Failed(L"Could not unzip file");
  }
  bool ok = LoadFromMem(bytes, size, encoding);
  free(bytes);
  return ok;
}

bool CMarkup::LoadFromDisk(const wchar_t* file, int encoding) {
  CDuiString path = CPaintManagerUI::GetResourcePath();
  path += file;
  ScopedFile handle(CreateFileW(path.GetData(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) return _Failed(L"Error opening file");
  DWORD high = 0;
  DWORD size = GetFileSize(handle.get(), &high);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return _Failed(L"Could not read file");
  if (high != 0 || size > kMaxFileSize) return _Failed(L"File too large");
  if (size == 0) return _Failed(L"File is empty");
  BYTE* bytes = static_cast<BYTE*>(malloc(size));
  if (bytes == nullptr) return _Failed(L"Out of memory");
  DWORD read = 0;
  if (!ReadFile(handle.get(), bytes, size, &read, nullptr) || read != size) {
    free(bytes);
    Release();
    return _Failed(L"Could not read file");
  }
  bool ok = LoadFromMem(bytes, size, encoding);
  free(bytes);
  return ok;
}

void CMarkup::Release() {
  free(m_pstrXML);
  free(m_pElements);
  m_pstrXML = nullptr;
  m_pElements = nullptr;
  m_nElements = 0;
}

void CMarkup::GetLastErrorMessage(wchar_t* message, SIZE_T size) const { CopyBounded(message, size, m_szErrorMsg); }

void CMarkup::GetLastErrorLocation(wchar_t* source, SIZE_T size) const { CopyBounded(source, size, m_szErrorXML); }

CMarkupNode CMarkup::GetRoot() {
  if (m_nElements <= 1) return CMarkupNode();
  return CMarkupNode(this, 1);
}

bool CMarkup::_Parse() {
  _ReserveElement();  // slot 0 never describes an element
  if (m_pElements == nullptr) return _Failed(L"Out of memory");
  wmemset(m_szErrorMsg, 0, sizeof(m_szErrorMsg) / sizeof(m_szErrorMsg[0]));
  wmemset(m_szErrorXML, 0, sizeof(m_szErrorXML) / sizeof(m_szErrorXML[0]));
  m_nDepth = 0;
  wchar_t* text = m_pstrXML;
  return _Parse(text, 0);
}

bool CMarkup::_Parse(wchar_t*& text, ULONG parent) {
  DepthGuard depth(m_nDepth);
  if (m_nDepth > kMaxNestingDepth) return _Failed(L"Elements nested too deeply", text);
  _SkipWhitespace(text);
  ULONG previous = 0;
  for (;;) {
    if (*text == L'\0' && parent <= 1) return true;
    _SkipWhitespace(text);
    if (*text != L'<') return _Failed(L"Expected start tag", text);
    if (text[1] == L'/') return true;
    *text++ = L'\0';
    _SkipWhitespace(text);
    if (*text == L'!' || *text == L'?') {
      wchar_t endMark = *text == L'!' ? L'-' : L'?';
      while (*text != L'\0' && !(*text == endMark && text[1] == L'>')) text = CharNextW(text);
      if (*text != L'\0') text += 2;
      _SkipWhitespace(text);
      continue;
    }
    _SkipWhitespace(text);
    XMLELEMENT* element = _ReserveElement();
    if (element == nullptr) return _Failed(L"Out of memory");
    ULONG position = static_cast<ULONG>(element - m_pElements);
    element->iStart = static_cast<ULONG>(text - m_pstrXML);
    element->iParent = parent;
    element->iNext = element->iChild = 0;
    if (previous != 0) {
      m_pElements[previous].iNext = position;
    } else if (parent > 0) {
      m_pElements[parent].iChild = position;
    }
    previous = position;

    const wchar_t* name = text;
    _SkipIdentifier(text);
    wchar_t* nameEnd = text;
    if (*text == L'\0') return _Failed(L"Error parsing element name", text);
    if (!_ParseAttributes(text)) return false;
    _SkipWhitespace(text);
    if (text[0] == L'/' && text[1] == L'>') {
      m_pElements[position].iData = static_cast<ULONG>(text - m_pstrXML);
      *text = L'\0';
      text += 2;
    } else {
      if (*text != L'>') return _Failed(L"Expected start-tag closing", text);
      m_pElements[position].iData = static_cast<ULONG>(++text - m_pstrXML);
      wchar_t* dest = text;
      if (!_ParseData(text, dest, L'<')) return false;
      if (*text == L'\0' && parent <= 1) {
        // An element left open at the end of the text: its value and name still end cleanly.
        *dest = L'\0';
        *nameEnd = L'\0';
        return true;
      }
      if (*text != L'<') return _Failed(L"Expected end-tag start", text);
      if (text[0] == L'<' && text[1] != L'/') {
        if (!_Parse(text, position)) return false;
      }
      if (text[0] == L'<' && text[1] == L'/') {
        *dest = L'\0';
        *text = L'\0';
        text += 2;
        _SkipWhitespace(text);
        SIZE_T nameLength = static_cast<SIZE_T>(nameEnd - name);
        if (wcsncmp(text, name, nameLength) != 0) return _Failed(L"Unmatched closing tag", text);
        text += nameLength;
        _SkipWhitespace(text);
        if (*text++ != L'>') {
          // Stepping over a terminator would leave the buffer; stay on it.
          if (text[-1] == L'\0') --text;
          return _Failed(L"Unmatched closing tag", text);
        }
      } else {
        *dest = L'\0';
      }
    }
    *nameEnd = L'\0';
    _SkipWhitespace(text);
  }
}

CMarkup::XMLELEMENT* CMarkup::_ReserveElement() {
  if (m_nElements == 0) m_nReservedElements = 0;
  if (m_nElements >= m_nReservedElements) {
    ULONG reserved = m_nReservedElements + m_nReservedElements / 2 + 500;
    if (reserved < m_nReservedElements || reserved > SIZE_MAX / sizeof(XMLELEMENT)) return nullptr;
    auto* elements = static_cast<XMLELEMENT*>(realloc(m_pElements, reserved * sizeof(XMLELEMENT)));
    if (elements == nullptr) return nullptr;
    m_pElements = elements;
    m_nReservedElements = reserved;
  }
  return &m_pElements[m_nElements++];
}

void CMarkup::_SkipWhitespace(wchar_t*& text) {
  while (*text > L'\0' && *text <= L' ') text = CharNextW(text);
}

void CMarkup::_SkipWhitespace(const wchar_t*& text) {
  while (*text > L'\0' && *text <= L' ') text = CharNextW(text);
}

void CMarkup::_SkipIdentifier(wchar_t*& text) {
  while (*text != L'\0' && (*text == L'_' || *text == L':' || iswalnum(*text))) text = CharNextW(text);
}

void CMarkup::_SkipIdentifier(const wchar_t*& text) {
  while (*text != L'\0' && (*text == L'_' || *text == L':' || iswalnum(*text))) text = CharNextW(text);
}

bool CMarkup::_ParseAttributes(wchar_t*& text) {
  if (*text == L'>' || (text[0] == L'/' && text[1] == L'>')) return true;
  *text++ = L'\0';
  _SkipWhitespace(text);
  while (*text != L'\0' && *text != L'>' && *text != L'/') {
    _SkipIdentifier(text);
    wchar_t* nameEnd = text;
    _SkipWhitespace(text);
    if (*text != L'=') return _Failed(L"Error while parsing attributes", text);
    *text++ = L' ';
    *nameEnd = L'\0';
    _SkipWhitespace(text);
    if (*text == L'\0') return _Failed(L"Expected attribute value", text);
    if (*text++ != L'"') return _Failed(L"Expected attribute value", text);
    wchar_t* dest = text;
    if (!_ParseData(text, dest, L'"')) return false;
    if (*text == L'\0') return _Failed(L"Error while parsing attribute string", text);
    *dest = L'\0';
    if (text != dest) *text = L' ';
    ++text;
    _SkipWhitespace(text);
  }
  return true;
}

bool CMarkup::_ParseData(wchar_t*& text, wchar_t*& dest, wchar_t end) {
  while (*text != L'\0' && *text != end) {
    if (*text == L'&') {
      while (*text == L'&') _ParseMetaChar(++text, dest);
      if (*text == end) break;
    }
    if (*text == L' ') {
      *dest++ = *text++;
      if (!m_bPreserveWhitespace) _SkipWhitespace(text);
    } else {
      wchar_t* next = CharNextW(text);
      while (text < next) *dest++ = *text++;
    }
  }
  // Decoding shortened the data: blank everything from just after the write end up to the read
  // position, so attribute mapping never meets a stale character of the encoded text there.
  for (wchar_t* fill = dest + 1; fill < text; ++fill) *fill = L' ';
  return true;
}

void CMarkup::_ParseMetaChar(wchar_t*& text, wchar_t*& dest) {
  if (text[0] == L'a' && text[1] == L'm' && text[2] == L'p' && text[3] == L';') {
    *dest++ = L'&';
    text += 4;
  } else if (text[0] == L'l' && text[1] == L't' && text[2] == L';') {
    *dest++ = L'<';
    text += 3;
  } else if (text[0] == L'g' && text[1] == L't' && text[2] == L';') {
    *dest++ = L'>';
    text += 3;
  } else if (text[0] == L'q' && text[1] == L'u' && text[2] == L'o' && text[3] == L't' && text[4] == L';') {
    *dest++ = L'"';
    text += 5;
  } else if (text[0] == L'a' && text[1] == L'p' && text[2] == L'o' && text[3] == L's' && text[4] == L';') {
    *dest++ = L'\'';
    text += 5;
  } else {
    *dest++ = L'&';
  }
}

bool CMarkup::_Failed(const wchar_t* error, const wchar_t* location) {
  CopyBounded(m_szErrorMsg, sizeof(m_szErrorMsg) / sizeof(m_szErrorMsg[0]), error);
  CopyBounded(m_szErrorXML, sizeof(m_szErrorXML) / sizeof(m_szErrorXML[0]), location ? location : L"");
  return false;
}

}  // namespace ZQUI
