#include "archive/zip_path.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Longest path a MAX_PATH buffer holds with its terminator.
constexpr size_t kMaxPathLength = MAX_PATH - 1;

void EnsureDirectory(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryW(path.c_str(), nullptr);
  }
}

}  // namespace

bool ZipSplitTarget(const wchar_t* target, const std::wstring& root, ZipTargetPath* out) {
  if (target == nullptr) return false;
  const std::wstring path(target);
  if (path.empty() || path.size() > kMaxPathLength) return false;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] < 0x20) return false;
    // Only a drive's colon is allowed; any other names an alternate data stream or a
    // drive-relative path.
    if (path[i] == L':' && !(i == 1 && path.size() > 2 && IsSeparator(path[2]))) return false;
  }
  const size_t last = path.find_last_of(L"\\/");
  out->folder = last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
  out->file = last == std::wstring::npos ? path : path.substr(last + 1);
  const bool absolute =
      !out->folder.empty() && (IsSeparator(out->folder[0]) ||
                               (out->folder.size() > 1 && out->folder[1] == L':'));
  if (absolute) {
    out->base.clear();
  } else {
    if (root.empty()) return false;
    out->base = root;
  }
  out->full = out->base + out->folder + out->file;
  return out->full.size() <= kMaxPathLength;
}

void ZipCreateDirectoryChain(const std::wstring& base, const std::wstring& chain) {
  // Unpacking a package puts many files in each folder: when the folder is already there, one
  // query replaces the walk over all its parents.
  const DWORD existing = GetFileAttributesW((base + chain).c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
  if (!base.empty()) EnsureDirectory(base);
  if (chain.empty()) return;
  // Each separator after the first character ends a parent folder.
  for (size_t i = 1; i < chain.size(); ++i) {
    if (IsSeparator(chain[i])) EnsureDirectory(base + chain.substr(0, i));
  }
  EnsureDirectory(base + chain);
}

std::wstring ZipCurrentDirectoryRoot() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring root(buffer, length);
  if (!IsSeparator(root.back())) {
    if (root.size() >= kMaxPathLength) return std::wstring();
    root.push_back(L'\\');
  }
  return root;
}
