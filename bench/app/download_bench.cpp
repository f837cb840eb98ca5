// Download throughput of DownloadPackage for the 100 MB package from the local package server,
// beside curl's for the same URL (measured just before by curl_reference.sh), and the whole
// installation's time for that package split into download, unpack and registration.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/download.h"
#include "app/file_util.h"
#include "app/install_config.h"
#include "app/install_pipeline.h"
#include "app/registration.h"
#include "app/shell_folders.h"
#include "app/shortcuts.h"
#include "tests/app/app_test_support.h"
#include "tests/app/fake_install_window.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

void CleanRegistration() {
  RegDeleteTreeW(HKEY_CURRENT_USER,
                 (std::wstring(InstallConfig::kUninstallKeyRoot) + InstallConfig::kProductKey).c_str());
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, KEY_WOW64_32KEY, 0);
  DeleteFileW(app::DesktopShortcutPath(GetDesktopFolder()).c_str());
  std::wstring menu = app::StartMenuFolderPath(GetProgramsFolder());
  apptest::RemoveTree(menu.substr(0, menu.size() - 1));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring curl_file = argc > 1 ? argv[1] : L"";
  apptest::TempFolder folder(L"bench");
  std::wstring target = folder / L"big.zip";
  std::wstring url = apptest::ServerUrl(L"/fault/big/package.zip");

  double best = 0;
  for (int run = 1; run <= 3; ++run) {
    DeleteFileW(target.c_str());
    LARGE_INTEGER start = Now();
    bool ok = DownloadPackage(url, target, nullptr);
    double seconds = Seconds(start, Now());
    int64_t size = QueryFileSize(target);
    if (!ok || size <= 0) {
      printf("DownloadPackage run %d failed\n", run);
      return 1;
    }
    double rate = static_cast<double>(size) / 1048576.0 / seconds;
    if (rate > best) best = rate;
    printf("DownloadPackage run %d: %lld bytes in %.3fs = %.1f MB/s\n", run, static_cast<long long>(size), seconds,
           rate);
  }
  DeleteFileW(target.c_str());
  std::string curl;
  if (!curl_file.empty() && apptest::ReadFileBytes(curl_file, &curl)) {
    while (!curl.empty() && (curl.back() == '\n' || curl.back() == '\r')) curl.pop_back();
  }
  printf("download throughput (best of 3): DownloadPackage %.1f MB/s, curl %s MB/s\n", best,
         curl.empty() ? "(not measured)" : curl.c_str());

  // The installation of the same package, stage by stage, as the pipeline runs them.
  if (!apptest::SetServerMode("big")) {
    printf("cannot switch the server to the big package\n");
    return 1;
  }
  std::wstring install = folder.path() + L"\\" + InstallConfig::kProductKey + L"\\";
  CreateDirectoryW(install.c_str(), nullptr);
  apptest::FakeInstallWindow window(install);
  CleanRegistration();
  std::wstring package = app::PackagePath();
  DeleteFileW(package.c_str());
  LARGE_INTEGER t0 = Now();
  bool fetched = app::FetchPackage(&window, package);
  LARGE_INTEGER t1 = Now();
  bool unpacked = fetched && app::UnpackPackage(&window, package);
  LARGE_INTEGER t2 = Now();
  if (unpacked) app::RegisterProduct(&window);
  LARGE_INTEGER t3 = Now();
  apptest::SetServerMode("ok");
  if (!unpacked) {
    printf("pipeline failed (fetched=%d)\n", fetched);
    return 1;
  }
  printf("pipeline for the 100 MB package: download %.3fs, unpack %.3fs, registration %.3fs, total %.3fs\n",
         Seconds(t0, t1), Seconds(t1, t2), Seconds(t2, t3), Seconds(t0, t3));
  // The SDK package was started and runs on its own; give it its time, then remove it again.
  Sleep(5000);
  std::wstring msiexec = L"\"" + app::GetSystemFolder() + L"\\msiexec.exe\" /x {6C1B0D55-3E7A-4F41-9B7D-0F6D2B8A9C31} /quiet";
  std::vector<wchar_t> command(msiexec.begin(), msiexec.end());
  command.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 120000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CleanRegistration();
  return 0;
}
