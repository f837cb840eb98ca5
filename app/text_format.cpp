#include "app/text_format.h"

#include <cstdio>
#include <vector>

namespace app {

std::wstring FormatByteCount(uint64_t bytes) {
  double value = static_cast<double>(bytes);
  const wchar_t* format;
  float quotient;
  if (bytes > 0x40000000ull) {
    format = L"%.2f GB";
    quotient = static_cast<float>(value / 1024 / 1024 / 1024);
  } else if (bytes > 0x100000ull) {
    format = L"%.2f MB";
    quotient = static_cast<float>(value / 1024 / 1024);
  } else if (bytes > 1024ull) {
    format = L"%.2f KB";
    quotient = static_cast<float>(value / 1024);
  } else {
    format = L"%.2f B";
    quotient = static_cast<float>(value);
  }
  wchar_t text[64];
  int length = swprintf(text, sizeof(text) / sizeof(text[0]), format, static_cast<double>(quotient));
  return length > 0 ? std::wstring(text, length) : std::wstring();
}

std::wstring FormatTimeText(const SYSTEMTIME& time) {
  wchar_t text[64];
  int length = swprintf(text, sizeof(text) / sizeof(text[0]), L"%d-%02d-%02d %02d:%02d:%02d %03d", time.wYear,
                        time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
  return length > 0 ? std::wstring(text, length) : std::wstring();
}

}  // namespace app

std::wstring FormatFreeSpace(const std::wstring& drive) {
  ULARGE_INTEGER available;
  // The query fails for a path that is no drive (a UNC install folder gives "\\"): show nothing
  // rather than an uninitialised figure.
  if (!GetDiskFreeSpaceExW(drive.c_str(), &available, nullptr, nullptr)) return std::wstring();
  return app::FormatByteCount(available.QuadPart);
}

std::wstring FormatLocalTime() {
  // Milliseconds come from the same clock reading as the seconds, so they never disagree.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SYSTEMTIME utc;
  SYSTEMTIME local;
  if (!FileTimeToSystemTime(&now, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    return std::wstring();
  }
  return app::FormatTimeText(local);
}

std::wstring GetFileVersionString(const std::wstring& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::wstring();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT info_size = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &info_size) || !info ||
      info_size < sizeof(VS_FIXEDFILEINFO)) {
    return std::wstring();
  }
  wchar_t text[64];
  int length = swprintf(text, sizeof(text) / sizeof(text[0]), L"%u.%u.%u.%u",
                        static_cast<unsigned>(HIWORD(info->dwFileVersionMS)),
                        static_cast<unsigned>(LOWORD(info->dwFileVersionMS)),
                        static_cast<unsigned>(HIWORD(info->dwFileVersionLS)),
                        static_cast<unsigned>(LOWORD(info->dwFileVersionLS)));
  return length > 0 ? std::wstring(text, length) : std::wstring();
}
