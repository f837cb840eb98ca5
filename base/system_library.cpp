#include "base/system_library.h"

#include <string>

namespace kbase {

std::wstring SystemFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    UINT length = GetSystemDirectoryW(&folder[0], static_cast<UINT>(folder.size()));
    if (length == 0) return std::wstring();
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    folder.resize(length);
  }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (name == nullptr || *name == L'\0') return nullptr;
  // A name with a folder in it is not a system DLL's name.
  for (const wchar_t* c = name; *c != L'\0'; ++c) {
    if (*c == L'\\' || *c == L'/' || *c == L':') return nullptr;
  }
  HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // Windows without the loader update refuses the flag: name the file by its full path instead.
  std::wstring path = SystemFolder();
  if (path.empty()) return nullptr;
  path += L'\\';
  path += name;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RestrictDllSearchPath() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return false;
  SetDllDirectoryW(L"");
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  return set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace kbase

