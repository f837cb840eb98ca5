#include "app/registry_key.h"

#include <vector>

#include "app/scoped_handles.h"

namespace {

// Query value, set value, enumerate sub-keys, notify and read-control rights.
constexpr REGSAM kWriteAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | READ_CONTROL;

}  // namespace

bool RegistryKey::WriteString(const std::wstring& sub_key, const std::wstring& value_name,
                              const std::wstring& text, DWORD value_type, REGSAM extra_access) {
  app::ScopedRegKey key;
  if (RegCreateKeyExW(root_, sub_key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess | extra_access,
                      nullptr, key.Receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.Get(), value_name.c_str(), 0, value_type, reinterpret_cast<const BYTE*>(text.c_str()),
                        bytes) == ERROR_SUCCESS;
}

bool RegistryKey::ReadString(const std::wstring& sub_key, const std::wstring& value_name, std::wstring* text,
                             DWORD* value_type, REGSAM extra_access) {
  app::ScopedRegKey key;
  if (RegOpenKeyExW(root_, sub_key.c_str(), 0, KEY_READ | extra_access, key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  if (value_type) *value_type = 0;
  DWORD type = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExW(key.Get(), value_name.c_str(), nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return false;

  // The value can change between the two queries; grow and ask again while it does.
  std::vector<wchar_t> buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    // Two spare bytes beyond the rounded-up character count: the data may lack its terminator
    // or end in half a character.
    buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
    DWORD capacity = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    DWORD got = capacity;
    result = RegQueryValueExW(key.Get(), value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                              &got);
    if (result == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (result != ERROR_SUCCESS) return false;
    size = got;
    break;
  }
  if (result != ERROR_SUCCESS) return false;

  size_t chars = (size + 1) / sizeof(wchar_t);
  if (chars > buffer.size() - 1) chars = buffer.size() - 1;
  if (type == REG_SZ) {
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0') ++length;
    text->assign(buffer.data(), length);
  } else if (type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    while (chars > 0 && buffer[chars - 1] == L'\0') --chars;
    text->assign(buffer.data(), chars);
  }
  if (value_type) *value_type = type;
  return true;
}
