#include "tests/archive/zip_test_support.h"

#include <algorithm>
#include <cstdio>

std::wstring FixturePath(const std::wstring& name) {
  return std::wstring(L"" ARCHIVE_FIXTURE_DIR) + L"/" + name;
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
  std::vector<unsigned char> bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  unsigned char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr) &&
                                    written == bytes.size());
  CloseHandle(file);
  return ok;
}

bool PathExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

void Walk(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>* out,
          bool remove) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring item = relative + name;
    if (out != nullptr) out->push_back(item);
    const std::wstring full = root + item;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      Walk(root, item + L"\\", out, remove);
      if (remove) {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(full.c_str());
      }
    } else if (remove) {
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(full.c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

std::vector<std::wstring> ListTree(const std::wstring& root) {
  std::vector<std::wstring> items;
  std::wstring base = root;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L"\\";
  Walk(base, L"", &items, false);
  std::sort(items.begin(), items.end());
  return items;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> items;
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L"\\";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return items;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") items.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(items.begin(), items.end());
  return items;
}

void RemoveTree(const std::wstring& root) {
  std::wstring base = root;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L"\\";
  Walk(base, L"", nullptr, true);
  RemoveDirectoryW(base.c_str());
}

ScratchFolder::ScratchFolder(const wchar_t* tag) {
  static unsigned counter = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  wchar_t name[64];
  swprintf(name, sizeof(name) / sizeof(name[0]), L"zt_%ls_%lu_%u\\", tag,
           static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
  path_ = std::wstring(temp) + name;
  RemoveTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
