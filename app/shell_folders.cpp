#include "app/shell_folders.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "app/registry_key.h"
#include "app/scoped_handles.h"
#include "base/system_library.h"

namespace app {

std::wstring GetKnownFolder(REFKNOWNFOLDERID folder_id) {
  ScopedCoMem<wchar_t> path;
  HRESULT hr = SHGetKnownFolderPath(folder_id, 0, nullptr, path.Receive());
  if (FAILED(hr) || !path.Get()) return std::wstring();
  return path.Get();
}

std::wstring DirectoryPart(const std::wstring& path) {
  size_t pos = path.find_last_of(L"\\/");
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos + 1);
}

std::wstring FileNamePart(const std::wstring& path) {
  size_t pos = path.find_last_of(L"\\/");
  return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring ModulePathOf(const void* address) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(address, &info, sizeof(info)) == 0) return std::wstring();
  HMODULE module = static_cast<HMODULE>(info.AllocationBase);
  // A path longer than MAX_PATH is read again with a larger buffer; a truncated result would
  // name another file.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return std::wstring();
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring GetSystemFolder() { return kbase::SystemFolder(); }

}  // namespace app

std::wstring GetDesktopFolder() { return app::GetKnownFolder(FOLDERID_Desktop); }

std::wstring GetDefaultBaseFolder() { return app::GetKnownFolder(FOLDERID_RoamingAppData); }

std::wstring GetKnownFolderDynamic(REFKNOWNFOLDERID folder_id) {
  using GetKnownFolderPathFn = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
  // From the system folder only: the installer often runs from the Downloads folder, where a
  // planted Shell32.dll must not be picked up.
  HMODULE shell = kbase::LoadSystemLibrary(L"Shell32.dll");
  if (!shell) return std::wstring();
  std::wstring result;
  auto get_path = reinterpret_cast<GetKnownFolderPathFn>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetKnownFolderPath")));
  if (get_path) {
    app::ScopedCoMem<wchar_t> path;
    if (get_path(folder_id, 0, nullptr, path.Receive()) == S_OK && path.Get()) result = path.Get();
  }
  FreeLibrary(shell);
  return result;
}

std::wstring GetProgramsFolder() {
  RegistryKey key;
  std::wstring programs;
  DWORD type = 0;
  if (!key.ReadString(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      L"Programs", &programs, &type, 0)) {
    programs.clear();
  }
  if (programs.empty()) programs = GetKnownFolderDynamic(FOLDERID_StartMenu);
  return programs;
}

std::wstring GetTempFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::wstring();
    // A result that does not fit reports the size it needs, terminator included.
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

std::wstring GetOwnPath() { return GetOwnDirectory() + GetOwnFileName(); }

std::wstring GetOwnDirectory() {
  return app::DirectoryPart(app::ModulePathOf(reinterpret_cast<const void*>(&GetOwnDirectory)));
}

std::wstring GetOwnFileName() {
  return app::FileNamePart(app::ModulePathOf(reinterpret_cast<const void*>(&GetOwnFileName)));
}
