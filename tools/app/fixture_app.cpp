// Stand-in for the product's programs in the test package (docweave.exe, uninst.exe): records
// that it was started, with its working folder, in "<own path>.launched" beside itself, then ends.
#include <windows.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::vector<wchar_t> own(32768);
  DWORD length = GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size()));
  if (length == 0 || length >= own.size()) return 2;
  std::vector<wchar_t> folder(32768);
  DWORD folder_length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  if (folder_length == 0 || folder_length >= folder.size()) return 3;

  std::wstring record = L"cwd=" + std::wstring(folder.data(), folder_length) + L"\r\n";
  std::wstring marker = std::wstring(own.data(), length) + L".launched";
  HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 4;
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(file);
  return 0;
}
