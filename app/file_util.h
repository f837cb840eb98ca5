// File-system helpers used by the download, the pipeline and the registration steps.
#pragma once

#include <cstdint>
#include <string>

bool FileExists(const std::wstring& path);

// Size of the file at `path`, or -1 when it cannot be found.
int64_t QueryFileSize(const std::wstring& path);

// Creates every missing folder of `path`; true when the folder exists afterwards.
bool CreateDirectoryTree(const std::wstring& path);

namespace app {

// The part of `path` before its last "\" or "/", or empty when it has neither.
std::wstring ParentOfPath(const std::wstring& path);

// True when `target`, made absolute, names something strictly inside `folder` (which ends with a
// separator). Guards the unpacking against entry names that would leave the install folder.
bool IsPathInsideFolder(const std::wstring& folder, const std::wstring& target);

}  // namespace app
