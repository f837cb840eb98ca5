#include "ui/core/dui_string.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace ZQUI {

namespace {

int TextLength(const wchar_t* text) { return text ? static_cast<int>(wcslen(text)) : 0; }

// Converts an ANSI text into `out`; false when the conversion fails.
bool FromAnsi(const char* text, CDuiString& out) {
  if (text == nullptr || *text == '\0') {
    out.Empty();
    return true;
  }
  int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (count <= 0) return false;
  wchar_t small[CDuiString::kInlineSize];
  wchar_t* buffer = small;
  if (count > CDuiString::kInlineSize) {
    buffer = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * count));
    if (buffer == nullptr) return false;
  }
  MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, count);
  buffer[count - 1] = L'\0';
  out.Assign(buffer);
  if (buffer != small) free(buffer);
  return true;
}

}  // namespace

CDuiString::CDuiString() : m_pstr(m_szBuffer) { m_szBuffer[0] = L'\0'; }

CDuiString::CDuiString(wchar_t ch) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = ch;
  m_szBuffer[1] = L'\0';
}

CDuiString::CDuiString(const wchar_t* text, int length) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = L'\0';
  Assign(text, length);
}

CDuiString::CDuiString(const CDuiString& src) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = L'\0';
  Assign(src.m_pstr);
}

CDuiString::~CDuiString() {
  if (m_pstr != m_szBuffer) free(m_pstr);
}

void CDuiString::StoreText(const wchar_t* text, int length) {
  if (text == nullptr || length <= 0) {
    Empty();
    return;
  }
  if (length <= kMaxInline) {
    // Copy first: the source may be the heap buffer that is about to be freed.
    wmemmove(m_szBuffer, text, length);
    m_szBuffer[length] = L'\0';
    if (m_pstr != m_szBuffer) {
      free(m_pstr);
      m_pstr = m_szBuffer;
    }
    return;
  }
  if (m_pstr != m_szBuffer && GetLength() >= length) {
    wmemmove(m_pstr, text, length);
    m_pstr[length] = L'\0';
    return;
  }
  wchar_t* buffer = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (static_cast<size_t>(length) + 1)));
  if (buffer == nullptr) return;  // out of memory: the old text stays
  wmemcpy(buffer, text, length);
  buffer[length] = L'\0';
  if (m_pstr != m_szBuffer) free(m_pstr);
  m_pstr = buffer;
}

void CDuiString::Assign(const wchar_t* text, int length) {
  int available = TextLength(text);
  // A negative length, or one beyond the text's end, takes the whole text.
  if (length < 0 || length > available) length = available;
  StoreText(text, length);
}

void CDuiString::Append(const wchar_t* text) {
  int add = TextLength(text);
  if (add == 0) return;
  int old = GetLength();
  int total = old + add;
  if (total <= kMaxInline) {
    if (m_pstr != m_szBuffer) {
      // A heap buffer holding a short text (after SetAt with a null): move both parts inline.
      wmemmove(m_szBuffer, m_pstr, old);
      wmemmove(m_szBuffer + old, text, add);
      m_szBuffer[total] = L'\0';
      free(m_pstr);
      m_pstr = m_szBuffer;
    } else {
      wmemmove(m_szBuffer + old, text, add);
      m_szBuffer[total] = L'\0';
    }
    return;
  }
  wchar_t* buffer = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (static_cast<size_t>(total) + 1)));
  if (buffer == nullptr) return;
  wmemcpy(buffer, m_pstr, old);
  wmemcpy(buffer + old, text, add);  // `text` may lie in the old buffer, still alive here
  buffer[total] = L'\0';
  if (m_pstr != m_szBuffer) free(m_pstr);
  m_pstr = buffer;
}

void CDuiString::Empty() {
  if (m_pstr != m_szBuffer) free(m_pstr);
  m_pstr = m_szBuffer;
  m_szBuffer[0] = L'\0';
}

int CDuiString::GetLength() const { return static_cast<int>(wcslen(m_pstr)); }
bool CDuiString::IsEmpty() const { return m_pstr[0] == L'\0'; }
wchar_t CDuiString::GetAt(int index) const { return m_pstr[index]; }
void CDuiString::SetAt(int index, wchar_t ch) { m_pstr[index] = ch; }
const wchar_t* CDuiString::GetData() const { return m_pstr; }
bool CDuiString::IsOnHeap() const { return m_pstr != m_szBuffer; }
CDuiString::operator const wchar_t*() const { return m_pstr; }
wchar_t CDuiString::operator[](int index) const { return m_pstr[index]; }

const CDuiString& CDuiString::operator=(const CDuiString& src) {
  if (this != &src) Assign(src.m_pstr);
  return *this;
}

const CDuiString& CDuiString::operator=(const wchar_t* text) {
  Assign(text);
  return *this;
}

const CDuiString& CDuiString::operator=(const char* text) {
  FromAnsi(text, *this);
  return *this;
}

const CDuiString& CDuiString::operator=(wchar_t ch) {
  Empty();
  m_szBuffer[0] = ch;
  m_szBuffer[1] = L'\0';
  return *this;
}

const CDuiString& CDuiString::operator+=(const CDuiString& src) {
  if (this == &src) {
    CDuiString copy(src);
    Append(copy.m_pstr);
  } else {
    Append(src.m_pstr);
  }
  return *this;
}

const CDuiString& CDuiString::operator+=(const wchar_t* text) {
  Append(text);
  return *this;
}

const CDuiString& CDuiString::operator+=(const char* text) {
  CDuiString wide;
  if (FromAnsi(text, wide)) Append(wide.m_pstr);
  return *this;
}

const CDuiString& CDuiString::operator+=(wchar_t ch) {
  wchar_t text[2] = {ch, L'\0'};
  Append(text);
  return *this;
}

CDuiString CDuiString::operator+(const CDuiString& src) const {
  CDuiString result(*this);
  result.Append(src.m_pstr);
  return result;
}

CDuiString CDuiString::operator+(const wchar_t* text) const {
  CDuiString result(*this);
  result.Append(text);
  return result;
}

int CDuiString::Compare(const wchar_t* text) const {
  if (text == nullptr) text = L"";
  const wchar_t* a = m_pstr;
  for (;; ++a, ++text) {
    unsigned ca = static_cast<unsigned short>(*a);
    unsigned cb = static_cast<unsigned short>(*text);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

int CDuiString::CompareNoCase(const wchar_t* text) const { return _wcsicmp(m_pstr, text ? text : L""); }

bool CDuiString::operator==(const wchar_t* text) const { return Compare(text) == 0; }
bool CDuiString::operator!=(const wchar_t* text) const { return Compare(text) != 0; }
bool CDuiString::operator<=(const wchar_t* text) const { return Compare(text) <= 0; }
bool CDuiString::operator<(const wchar_t* text) const { return Compare(text) < 0; }
bool CDuiString::operator>=(const wchar_t* text) const { return Compare(text) >= 0; }
bool CDuiString::operator>(const wchar_t* text) const { return Compare(text) > 0; }

void CDuiString::MakeUpper() {
  for (wchar_t* p = m_pstr; *p; ++p) *p = towupper(*p);
}

void CDuiString::MakeLower() {
  for (wchar_t* p = m_pstr; *p; ++p) *p = towlower(*p);
}

CDuiString& CDuiString::TrimLeft() {
  const wchar_t* p = m_pstr;
  while (*p != L'\0' && iswspace(*p)) ++p;
  if (p != m_pstr) Assign(p);
  return *this;
}

CDuiString& CDuiString::TrimRight() {
  int length = GetLength();
  int end = length;
  while (end > 0 && iswspace(m_pstr[end - 1])) --end;
  if (end != length) StoreText(m_pstr, end);
  return *this;
}

CDuiString& CDuiString::Trim() {
  TrimLeft();
  return TrimRight();
}

CDuiString CDuiString::Left(int length) const {
  int total = GetLength();
  if (length < 0) length = 0;
  if (length > total) length = total;
  return CDuiString(m_pstr, length);
}

CDuiString CDuiString::Mid(int start, int length) const {
  int total = GetLength();
  if (start < 0) start = 0;
  if (start > total) start = total;
  int rest = total - start;
  if (length == -1 || length > rest) length = rest;
  if (length <= 0) return CDuiString();
  return CDuiString(m_pstr + start, length);
}

CDuiString CDuiString::Right(int length) const {
  int total = GetLength();
  if (length < 0) return CDuiString();
  if (length > total) length = total;
  return CDuiString(m_pstr + total - length, length);
}

int CDuiString::Find(wchar_t ch, int start) const {
  int total = GetLength();
  if (start != 0 && (start < 0 || start >= total)) return -1;
  const wchar_t* p = wcschr(m_pstr + start, ch);
  if (p == nullptr || ch == L'\0') return -1;
  return static_cast<int>(p - m_pstr);
}

int CDuiString::Find(const wchar_t* text, int start) const {
  int total = GetLength();
  if (start < 0 || start > total) return -1;
  if (text == nullptr || *text == L'\0') return start;  // the empty text is found where the search starts
  const wchar_t* p = wcsstr(m_pstr + start, text);
  return p ? static_cast<int>(p - m_pstr) : -1;
}

int CDuiString::ReverseFind(wchar_t ch) const {
  if (ch == L'\0') return -1;
  const wchar_t* p = wcsrchr(m_pstr, ch);
  return p ? static_cast<int>(p - m_pstr) : -1;
}

int CDuiString::Replace(const wchar_t* from, const wchar_t* to) {
  // An empty search text would match everywhere without advancing.
  int fromLength = TextLength(from);
  if (fromLength == 0) return 0;
  CDuiString replacement(to);
  int toLength = replacement.GetLength();
  int count = 0;
  int position = Find(from, 0);
  while (position >= 0) {
    CDuiString result = Left(position);
    result.Append(replacement.m_pstr);
    result.Append(m_pstr + position + fromLength);
    Assign(result.m_pstr);
    ++count;
    // Resume after the inserted text so it is never searched again.
    position = Find(from, position + toLength);
  }
  return count;
}

int CDuiString::Format(const wchar_t* format, ...) {
  if (format == nullptr) {
    Empty();
    return 0;
  }
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = _vscwprintf(format, copy);
  va_end(copy);
  if (length < 0) {
    va_end(args);
    Empty();
    return -1;
  }
  wchar_t* buffer = static_cast<wchar_t*>(malloc(sizeof(wchar_t) * (static_cast<size_t>(length) + 1)));
  if (buffer == nullptr) {
    va_end(args);
    Empty();
    return -1;
  }
  _vsnwprintf(buffer, static_cast<size_t>(length) + 1, format, args);
  va_end(args);
  buffer[length] = L'\0';  // _vsnwprintf leaves no terminator when it fills the buffer
  Assign(buffer);
  free(buffer);
  return length;
}

int CDuiString::SmallFormat(const wchar_t* format, ...) {
  if (format == nullptr) {
    Empty();
    return 0;
  }
  wchar_t buffer[kInlineSize];
  va_list args;
  va_start(args, format);
  int result = _vsnwprintf(buffer, kInlineSize - 1, format, args);
  va_end(args);
  buffer[kInlineSize - 1] = L'\0';
  if (result >= 0 && result < kInlineSize - 1) buffer[result] = L'\0';
  Assign(buffer);
  return result;
}

}  // namespace ZQUI
