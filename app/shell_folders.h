// Where the standard folders are, and where the running installer itself lives.
#pragma once

#include <windows.h>
#include <shtypes.h>

#include <string>

// Known folders, without a trailing backslash; empty when the folder cannot be had.
std::wstring GetDesktopFolder();
std::wstring GetDefaultBaseFolder();  // the roaming application-data folder
std::wstring GetKnownFolderDynamic(REFKNOWNFOLDERID folder_id);

// The per-user Start-menu programs folder from "Shell Folders", or the Start Menu folder itself
// when that value is missing.
std::wstring GetProgramsFolder();

// The temporary folder, ending with a backslash.
std::wstring GetTempFolder();

// The running module's path and its two halves. Both halves split at the last "\" or "/", so
// that GetOwnDirectory() + GetOwnFileName() is always the whole path.
std::wstring GetOwnPath();
std::wstring GetOwnDirectory();
std::wstring GetOwnFileName();

namespace app {

// SHGetKnownFolderPath of `folder_id` (flags 0, no token); empty on failure.
std::wstring GetKnownFolder(REFKNOWNFOLDERID folder_id);

// The directory and file-name halves of any path, by the rule of GetOwnDirectory/GetOwnFileName.
std::wstring DirectoryPart(const std::wstring& path);
std::wstring FileNamePart(const std::wstring& path);

// The full path of the module containing `address`, read without truncation.
std::wstring ModulePathOf(const void* address);

// The system folder (System32, or what a 32-bit process sees under that name).
std::wstring GetSystemFolder();

}  // namespace app
