#include "archive/zip_name.h"

#include <windows.h>

#include <cwctype>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Drops one hostile prefix or parent step; false when the name is already clean.
bool SanitiseOnce(std::wstring* name) {
  if (name->size() >= 2 && (*name)[1] == L':') {
    name->erase(0, 2);
    return true;
  }
  if (!name->empty() && IsSeparator((*name)[0])) {
    name->erase(0, 1);
    return true;
  }
  if (name->size() >= 3 && (*name)[0] == L'.' && (*name)[1] == L'.' && IsSeparator((*name)[2])) {
    name->erase(0, 3);
    return true;
  }
  static const wchar_t* const kParentSteps[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
  for (const wchar_t* step : kParentSteps) {
    const size_t at = name->find(step);
    if (at != std::wstring::npos) {
      name->erase(0, at + 4);
      return true;
    }
  }
  return false;
}

bool IsReservedDeviceName(const std::wstring& component) {
  // The device is addressed whatever extension follows, and trailing spaces are ignored.
  size_t end = component.find(L'.');
  if (end == std::wstring::npos) end = component.size();
  while (end > 0 && component[end - 1] == L' ') --end;
  std::wstring base;
  for (size_t i = 0; i < end; ++i) base.push_back(static_cast<wchar_t>(std::towupper(component[i])));
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices) {
    if (base == device) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
      base[3] >= L'1' && base[3] <= L'9') {
    return true;
  }
  return false;
}

bool IsSafeComponent(const std::wstring& component) {
  if (component.empty() || component == L".") return true;  // "a//b" and "./b" stay in place
  bool only_dots_and_spaces = true;
  for (wchar_t c : component) {
    if (c != L'.' && c != L' ') only_dots_and_spaces = false;
  }
  return !only_dots_and_spaces && !IsReservedDeviceName(component);
}

}  // namespace

size_t ZipKeptNameLength(const char* bytes, size_t stored_length, size_t limit) {
  if (stored_length <= limit) return stored_length;
  // bytes[limit] is the first byte left out; when it continues a sequence, that sequence started
  // at most three bytes earlier and is left out whole.
  size_t cut = limit;
  while (cut > 0 && limit - cut < 3 && IsContinuationByte(bytes[cut])) --cut;
  if (IsContinuationByte(bytes[cut])) cut = limit;  // malformed anyway; cut where the limit is
  return cut;
}

std::wstring ZipDecodeName(const char* bytes, size_t length) {
  if (length == 0) return std::wstring();
  const int count = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), nullptr, 0);
  if (count <= 0) return std::wstring();
  std::wstring name(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), &name[0], count);
  return name;
}

std::wstring ZipSanitiseName(std::wstring name) {
  while (SanitiseOnce(&name)) {
  }
  return name;
}

bool ZipNameIsSafe(const std::wstring& name) {
  if (name.empty()) return false;
  std::wstring component;
  for (size_t i = 0; i <= name.size(); ++i) {
    const wchar_t c = i < name.size() ? name[i] : L'/';
    if (IsSeparator(c)) {
      if (!IsSafeComponent(component)) return false;
      component.clear();
      continue;
    }
    if (c < 0x20 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' ||
        c == L'|') {
      return false;
    }
    component.push_back(c);
  }
  // A name made of separators only would address the target folder itself.
  return name.find_first_not_of(L"\\/") != std::wstring::npos;
}
