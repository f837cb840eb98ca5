// Texts the installer shows or records: free space, local time, file versions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Free bytes available to the user on `drive` (for example L"C:"), as FormatByteCount writes
// them; empty when the drive cannot be queried.
std::wstring FormatFreeSpace(const std::wstring& drive);

// The current local time as "2024-03-02 09:05:03 007".
std::wstring FormatLocalTime();

// The file version of `path` as "1.2.3.4", or empty when it has no version resource.
std::wstring GetFileVersionString(const std::wstring& path);

namespace app {

// "%.2f GB|MB|KB|B"; a unit is used only above one whole unit, so 1024 bytes are "1024.00 B".
// The quotient is rounded to single precision before it is printed.
std::wstring FormatByteCount(uint64_t bytes);

// "%d-%02d-%02d %02d:%02d:%02d %03d" of the given calendar time.
std::wstring FormatTimeText(const SYSTEMTIME& time);

}  // namespace app
