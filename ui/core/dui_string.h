// CDuiString: the UI library's wide string. Texts of up to kMaxInline characters live in an inline
// buffer, so most names and attribute values never touch the heap. UI thread only.
#pragma once

#include <windows.h>

namespace ZQUI {

class CDuiString {
 public:
  static constexpr int kInlineSize = 64;  // wide characters in the inline buffer
  static constexpr int kMaxInline = 62;   // longest text kept inline

  CDuiString();
  CDuiString(wchar_t ch);
  CDuiString(const wchar_t* text, int length = -1);
  CDuiString(const CDuiString& src);
  ~CDuiString();

  void Empty();
  int GetLength() const;
  bool IsEmpty() const;
  wchar_t GetAt(int index) const;
  void SetAt(int index, wchar_t ch);
  void Append(const wchar_t* text);
  void Assign(const wchar_t* text, int length = -1);
  const wchar_t* GetData() const;
  // True when the text lives in a heap buffer (the inline threshold shows through in tests).
  bool IsOnHeap() const;

  operator const wchar_t*() const;
  wchar_t operator[](int index) const;

  const CDuiString& operator=(const CDuiString& src);
  const CDuiString& operator=(const wchar_t* text);
  const CDuiString& operator=(const char* text);
  const CDuiString& operator=(wchar_t ch);
  const CDuiString& operator+=(const CDuiString& src);
  const CDuiString& operator+=(const wchar_t* text);
  const CDuiString& operator+=(const char* text);
  const CDuiString& operator+=(wchar_t ch);
  CDuiString operator+(const CDuiString& src) const;
  CDuiString operator+(const wchar_t* text) const;

  bool operator==(const wchar_t* text) const;
  bool operator!=(const wchar_t* text) const;
  bool operator<=(const wchar_t* text) const;
  bool operator<(const wchar_t* text) const;
  bool operator>=(const wchar_t* text) const;
  bool operator>(const wchar_t* text) const;

  int Compare(const wchar_t* text) const;
  int CompareNoCase(const wchar_t* text) const;

  void MakeUpper();
  void MakeLower();

  CDuiString& TrimLeft();
  CDuiString& TrimRight();
  CDuiString& Trim();

  CDuiString Left(int length) const;
  CDuiString Mid(int start, int length = -1) const;
  CDuiString Right(int length) const;

  int Find(wchar_t ch, int start = 0) const;
  int Find(const wchar_t* text, int start = 0) const;
  int ReverseFind(wchar_t ch) const;
  int Replace(const wchar_t* from, const wchar_t* to);

  int Format(const wchar_t* format, ...);
  int SmallFormat(const wchar_t* format, ...);

 private:
  // Stores `length` characters of `text`; the source may lie inside this string's own buffer.
  void StoreText(const wchar_t* text, int length);

  wchar_t* m_pstr;
  wchar_t m_szBuffer[kInlineSize];
};

}  // namespace ZQUI
