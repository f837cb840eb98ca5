// String values read and written under one root key. No key stays open between calls.
#pragma once

#include <windows.h>

#include <string>

class RegistryKey {
 public:
  RegistryKey() = default;

  void SetRoot(HKEY root) { root_ = root; }
  HKEY root() const { return root_; }

  // Creates `sub_key` when needed and stores `text` with its terminating null.
  bool WriteString(const std::wstring& sub_key, const std::wstring& value_name, const std::wstring& text,
                   DWORD value_type, REGSAM extra_access);

  // Reads a string value. REG_SZ yields the text up to its first null; REG_EXPAND_SZ and
  // REG_MULTI_SZ yield all their characters unexpanded, trailing nulls removed; other types
  // leave `text` as it was. The stored data need not be null-terminated and may have an odd
  // byte count: the buffer always has room for a terminator.
  bool ReadString(const std::wstring& sub_key, const std::wstring& value_name, std::wstring* text,
                  DWORD* value_type, REGSAM extra_access);

 private:
  HKEY root_ = HKEY_CURRENT_USER;
};
