#include "app/file_util.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int64_t QueryFileSize(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  FindClose(find);
  return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool CreateDirectoryTree(const std::wstring& path) {
  // SHCreateDirectory (shell32 ordinal 165) creates every missing level in one call.
  int result = SHCreateDirectory(nullptr, path.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_EXISTS || result == ERROR_ALREADY_EXISTS;
}

namespace app {

std::wstring ParentOfPath(const std::wstring& path) {
  size_t pos = path.find_last_of(L"\\/");
  return pos == std::wstring::npos ? std::wstring() : path.substr(0, pos);
}

namespace {

std::wstring FullPath(const std::wstring& path) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

}  // namespace

bool IsPathInsideFolder(const std::wstring& folder, const std::wstring& target) {
  std::wstring base = FullPath(folder);
  std::wstring full = FullPath(target);
  if (base.empty() || full.empty()) return false;
  if (base.back() != L'\\') base += L'\\';
  if (full.size() <= base.size()) return false;
  // A ":" after the drive would address an alternate data stream or a device.
  if (full.find(L':', 2) != std::wstring::npos) return false;
  return CompareStringOrdinal(full.c_str(), static_cast<int>(base.size()), base.c_str(),
                              static_cast<int>(base.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace app
