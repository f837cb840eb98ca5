// The whole installation, run in the installer stand-in (Setup_17_A5.exe) against the local
// package server: what a user's system holds afterwards, the order of the progress reports,
// and what each server fault leaves behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/install_config.h"
#include "app/file_util.h"
#include "app/install_pipeline.h"
#include "app/misc_thread.h"
#include "app/thread_ids.h"
#include "base/thread_registry.h"
#include "app/registration.h"
#include "app/shell_folders.h"
#include "app/shortcuts.h"
#include "tests/app/app_test_support.h"
#include "tests/app/fake_install_window.h"

namespace {

using apptest::ProbeRun;

constexpr wchar_t kSdkProductCode[] = L"{6C1B0D55-3E7A-4F41-9B7D-0F6D2B8A9C31}";
constexpr wchar_t kSdkFixtureKey[] = L"Software\\QuilloSdkFixture";

std::wstring UninstallKey() {
  return std::wstring(InstallConfig::kUninstallKeyRoot) + InstallConfig::kProductKey;
}

bool ReadValue(HKEY root, const std::wstring& key, const wchar_t* name, REGSAM view, std::wstring* text) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | (view == KEY_WOW64_32KEY   ? RRF_SUBKEY_WOW6432KEY
                                                             : view == KEY_WOW64_64KEY ? RRF_SUBKEY_WOW6464KEY
                                                                                       : 0),
                   &type, buffer, &size) != ERROR_SUCCESS) {
    return false;
  }
  *text = buffer;
  return true;
}

bool KeyExists(HKEY root, const std::wstring& key, REGSAM view) {
  HKEY handle;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

DWORD RunAndWait(const std::wstring& command, DWORD timeout_ms) {
  std::vector<wchar_t> buffer(command.begin(), command.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  DWORD exit_code = static_cast<DWORD>(-2);
  if (WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exit_code;
}

std::wstring ResolveLink(const std::wstring& link_path, std::wstring* description) {
  std::wstring target;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return target;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(link_path.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH] = {};
      if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) target = text;
      text[0] = L'\0';
      link->GetDescription(text, MAX_PATH);
      if (description) *description = text;
    }
    file->Release();
  }
  link->Release();
  return target;
}

struct ManifestEntry {
  bool folder;
  std::wstring name;  // with backslashes
  long long size;
  SYSTEMTIME time;
};

std::vector<ManifestEntry> ReadManifest() {
  std::vector<ManifestEntry> entries;
  for (const std::string& line : apptest::ReadLines(apptest::PackageDir() + L"\\package_manifest.txt")) {
    if (line.empty()) continue;
    size_t a = line.find('|');
    size_t b = line.find('|', a + 1);
    size_t c = line.find('|', b + 1);
    ManifestEntry entry = {};
    entry.folder = line.substr(0, a) == "dir";
    entry.name = apptest::Widen(line.substr(a + 1, b - a - 1));
    for (wchar_t& ch : entry.name) {
      if (ch == L'/') ch = L'\\';
    }
    entry.size = atoll(line.substr(b + 1, c - b - 1).c_str());
    int y, mo, d, h, mi, s;
    sscanf(line.c_str() + c + 1, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    entry.time.wYear = static_cast<WORD>(y);
    entry.time.wMonth = static_cast<WORD>(mo);
    entry.time.wDay = static_cast<WORD>(d);
    entry.time.wHour = static_cast<WORD>(h);
    entry.time.wMinute = static_cast<WORD>(mi);
    entry.time.wSecond = static_cast<WORD>(s);
    entries.push_back(entry);
  }
  return entries;
}

class PipelineTest : public ::testing::Test {
 protected:
  PipelineTest() : base_(L"pipeline"), reports_(L"reports") {}

  static void SetUpTestSuite() { CoInitialize(nullptr); }
  static void TearDownTestSuite() { CoUninitialize(); }

  void SetUp() override {
    install_folder_ = base_.path() + L"\\" + InstallConfig::kProductKey + L"\\";
    // The window creates the install folder before it posts the pipeline.
    ASSERT_TRUE(CreateDirectoryW(install_folder_.c_str(), nullptr));
    downloads_ = app::GetKnownFolder(FOLDERID_Downloads);
    ASSERT_FALSE(downloads_.empty());
    package_path_ = downloads_ + L"\\" + InstallConfig::kProductKey + L"_12345_.zip";
    CleanSystemState();
  }

  void TearDown() override {
    SetServerMode("ok");
    CleanSystemState();
  }

  // What an earlier run may have left in the shared prefix.
  void CleanSystemState() {
    RegDeleteTreeW(HKEY_CURRENT_USER, UninstallKey().c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, KEY_WOW64_32KEY, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, KEY_WOW64_64KEY, 0);
    DeleteFileW(app::DesktopShortcutPath(GetDesktopFolder()).c_str());
    std::wstring menu = app::StartMenuFolderPath(GetProgramsFolder());
    apptest::RemoveTree(menu.substr(0, menu.size() - 1));
    DeleteFileW(package_path_.c_str());
    DeleteFileW((package_path_ + L".download").c_str());
    if (sdk_started_) {
      // Bounded: msiexec of the small package takes seconds under Wine.
      RunAndWait(L"\"" + app::GetSystemFolder() + L"\\msiexec.exe\" /x " + kSdkProductCode + L" /quiet", 120000);
      sdk_started_ = false;
    }
  }

  void SetServerMode(const std::string& mode) { ASSERT_TRUE(apptest::SetServerMode(mode)) << mode; }

  ProbeRun Install() {
    std::wstring report = reports_ / L"report.txt";
    // The folder's closing backslash is doubled so that it does not escape the quote.
    ProbeRun run = apptest::RunProbe(L"install \"" + install_folder_ + L"\\\" \"" + report + L"\"", report);
    EXPECT_TRUE(run.run.started);
    EXPECT_FALSE(run.run.timed_out);
    EXPECT_EQ(0u, run.run.exit_code);
    EXPECT_FALSE(run.report.empty());
    if (!run.report.empty()) {
      EXPECT_EQ("ended", run.report.back());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(package_path_.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((package_path_ + L".download").c_str()));
    return run;
  }

  std::vector<std::string> Lines(const ProbeRun& run) {
    std::vector<std::string> lines;
    for (const std::wstring& line : run.run.debug_lines) lines.push_back(apptest::Narrow(line));
    return lines;
  }

  // Nothing was installed: the folder is as the window left it, nothing was registered.
  void ExpectNothingInstalled(const ProbeRun& run) {
    EXPECT_TRUE(apptest::ListFolder(install_folder_.substr(0, install_folder_.size() - 1)).empty());
    EXPECT_EQ((std::vector<std::wstring>{InstallConfig::kProductKey}), apptest::ListFolder(base_.path()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey(), 0));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, KEY_WOW64_32KEY));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(app::DesktopShortcutPath(GetDesktopFolder()).c_str()));
    EXPECT_TRUE(apptest::ReportLines(run.report, "progress").empty());
    EXPECT_TRUE(apptest::ReportLines(run.report, "page").empty());
  }

  apptest::TempFolder base_;
  apptest::TempFolder reports_;
  std::wstring install_folder_;
  std::wstring downloads_;
  std::wstring package_path_;
  bool sdk_started_ = false;
};

// Percent of the bar the window would show for a download report: 2..50.
double DownloadPercent(long long total, long long done) {
  double p = done * 1.0 / total * 1.0 * 50.0;
  return p < 2.0 ? 2.0 : p;
}

TEST_F(PipelineTest, InstallsRegistersAndReportsInOrder) {
  SetServerMode("ok");
  sdk_started_ = true;
  SYSTEMTIME before;
  GetLocalTime(&before);
  ProbeRun run = Install();
  SYSTEMTIME after;
  GetLocalTime(&after);
  EXPECT_TRUE(Lines(run).empty());

  // Every entry with its size and its stored time.
  std::vector<ManifestEntry> manifest = ReadManifest();
  ASSERT_EQ(12u, manifest.size());
  for (const ManifestEntry& entry : manifest) {
    std::wstring path = install_folder_ + entry.name;
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << apptest::Narrow(entry.name);
    if (entry.folder) {
      EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) << apptest::Narrow(entry.name);
      continue;
    }
    EXPECT_EQ(entry.size, (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow)
        << apptest::Narrow(entry.name);
    FILETIME local;
    SYSTEMTIME written;
    ASSERT_TRUE(FileTimeToLocalFileTime(&data.ftLastWriteTime, &local));
    ASSERT_TRUE(FileTimeToSystemTime(&local, &written));
    EXPECT_EQ(entry.time.wYear, written.wYear) << apptest::Narrow(entry.name);
    EXPECT_EQ(entry.time.wMonth, written.wMonth) << apptest::Narrow(entry.name);
    EXPECT_EQ(entry.time.wDay, written.wDay) << apptest::Narrow(entry.name);
    EXPECT_EQ(entry.time.wHour, written.wHour) << apptest::Narrow(entry.name);
    EXPECT_EQ(entry.time.wMinute, written.wMinute) << apptest::Narrow(entry.name);
    EXPECT_EQ(entry.time.wSecond, written.wSecond) << apptest::Narrow(entry.name);
  }
  std::string installed, fixture;
  ASSERT_TRUE(apptest::ReadFileBytes(install_folder_ + L"docweave.exe", &installed));
  ASSERT_TRUE(apptest::ReadFileBytes(apptest::FixtureDir() + L"\\docweave.exe", &fixture));
  EXPECT_TRUE(installed == fixture);

  // The uninstall entry.
  std::wstring text;
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, UninstallKey(), L"DisplayName", 0, &text));
  EXPECT_EQ(L"QuilloPDF转换器", text);
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, UninstallKey(), L"UninstallString", 0, &text));
  EXPECT_EQ(install_folder_ + L"uninst.exe", text);
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, UninstallKey(), L"DisplayIcon", 0, &text));
  EXPECT_EQ(install_folder_ + L"docweave.exe", text);
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, UninstallKey(), L"Publisher", 0, &text));
  EXPECT_EQ(L"上海Pelmora网络科技有限公司", text);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(), KEY_WOW64_32KEY));

  // main.ini, byte for byte; only the install time varies, and lies within the run.
  std::string bytes;
  ASSERT_TRUE(apptest::ReadFileBytes(install_folder_ + L"main.ini", &bytes));
  std::wstring ini = apptest::ReadUtf16File(install_folder_ + L"main.ini");
  ASSERT_GT(ini.size(), 40u);
  std::wstring time = ini.substr(15, 23);
  std::wstring expected = L"[info]\r\nInstDt=" + time +
                          L"\r\nsetup=Setup_17_A5\r\npackdt=3.1.4.15\r\nbdvid=a5\r\n\r\n"
                          L"[uinfo]\r\npos=17\r\nos=\r\nver=3.1.4.15\r\napp=pdf\r\n";
  EXPECT_EQ(expected, ini);
  std::string expected_bytes = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(expected.data()),
                                                         expected.size() * sizeof(wchar_t));
  EXPECT_TRUE(bytes == expected_bytes);
  wchar_t earliest[32], latest[32];
  swprintf(earliest, 32, L"%04d-%02d-%02d %02d:%02d:%02d", before.wYear, before.wMonth, before.wDay, before.wHour,
           before.wMinute, before.wSecond);
  swprintf(latest, 32, L"%04d-%02d-%02d %02d:%02d:%02d", after.wYear, after.wMonth, after.wDay, after.wHour,
           after.wMinute, after.wSecond);
  EXPECT_GE(time.substr(0, 19), std::wstring(earliest).substr(0, 19)) << apptest::Narrow(time);
  EXPECT_LE(time.substr(0, 19), std::wstring(latest).substr(0, 19)) << apptest::Narrow(time);

  // Both DLLs registered, each by the regsvr32 of its own bitness.
  EXPECT_EQ(0u, apptest::ReadUtf16File(install_folder_ + L"Rtf\\beconv.dll.registered")
                    .find(apptest::BeconvBits() == 32 ? L"bits=32\r\n" : L"bits=64\r\n"));
  ASSERT_TRUE(apptest::WaitForFile(install_folder_ + L"docfoldMenu64.dll.registered", 5000));
  Sleep(100);
  EXPECT_EQ(0u, apptest::ReadUtf16File(install_folder_ + L"docfoldMenu64.dll.registered").find(L"bits=64\r\n"));

  // The SDK keys, in the 32-bit view, from either installer.
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, L"LoaderPath", KEY_WOW64_32KEY, &text));
  EXPECT_EQ(install_folder_ + L"Common\\", text);
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, L"ProgramPath", KEY_WOW64_32KEY, &text));
  EXPECT_EQ(install_folder_ + L"Common\\", text);
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, L"RtfPath", KEY_WOW64_32KEY, &text));
  EXPECT_EQ(install_folder_ + L"Rtf\\", text);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, app::kSdkRegistryKey, KEY_WOW64_64KEY));

  // The three shortcuts, loaded back.
  std::wstring description = L"x";
  EXPECT_EQ(install_folder_ + L"docweave.exe", ResolveLink(app::DesktopShortcutPath(GetDesktopFolder()), &description));
  EXPECT_EQ(L"QuilloPDF转换器", description);
  EXPECT_EQ(install_folder_ + L"docweave.exe",
            ResolveLink(app::StartMenuProgramShortcutPath(GetProgramsFolder()), &description));
  EXPECT_EQ(L"", description);
  EXPECT_EQ(install_folder_ + L"uninst.exe", ResolveLink(app::StartMenuUninstallShortcutPath(GetProgramsFolder()), nullptr));

  // Reports: downloads first (2..50), then one unpack report per entry (50..94), then 97, and
  // the finish page last. The worker reports; the page is shown on the UI thread.
  std::vector<std::string> sequence(run.report.begin(), run.report.end() - 1);  // without "ended"
  size_t i = 0;
  size_t downloads = 0;
  for (; i < sequence.size() && sequence[i].compare(0, 9, "download ") == 0; ++i, ++downloads) {
    long long total = 0, done = 0;
    char thread[16] = {};
    ASSERT_EQ(3, sscanf(sequence[i].c_str(), "download %lld %lld %15s", &total, &done, thread));
    EXPECT_STREQ("misc", thread);
    ASSERT_GT(total, 0);
    EXPECT_GE(DownloadPercent(total, done), 2.0);
    EXPECT_LE(DownloadPercent(total, done), 50.0);
  }
  EXPECT_GE(downloads, 1u);
  std::vector<int> unpack;
  for (; i < sequence.size() && sequence[i].compare(0, 9, "progress ") == 0; ++i) {
    int percent = 0;
    char thread[16] = {};
    ASSERT_EQ(2, sscanf(sequence[i].c_str(), "progress %d %15s", &percent, thread));
    EXPECT_STREQ("misc", thread);
    unpack.push_back(percent);
  }
  ASSERT_EQ(manifest.size() + 1, unpack.size());
  EXPECT_EQ(97, unpack.back());
  unpack.pop_back();
  // Twelve entries share the 45 points from 50: entry k reports 50 + 3.75 k, cut to a whole
  // number, before it counts as done.
  EXPECT_EQ((std::vector<int>{50, 53, 57, 61, 65, 68, 72, 76, 80, 83, 87, 91}), unpack);
  ASSERT_EQ(i + 1, sequence.size());
  EXPECT_EQ(0u, sequence[i].find("page 3 ui "));

  // The SDK package was started quietly and installed itself (it runs on after the pipeline).
  bool sdk_installed = false;
  for (int wait = 0; wait < 1200 && !sdk_installed; ++wait) {
    sdk_installed = ReadValue(HKEY_LOCAL_MACHINE, kSdkFixtureKey, L"Installed", KEY_WOW64_32KEY, &text) && text == L"5";
    if (!sdk_installed) Sleep(100);
  }
  EXPECT_TRUE(sdk_installed);
}

TEST_F(PipelineTest, RunningTwiceRewritesEverything) {
  SetServerMode("ok");
  sdk_started_ = true;
  Install();
  ASSERT_TRUE(apptest::WriteFileBytes(install_folder_ + L"readme.txt", "changed by the user"));
  RegDeleteKeyValueW(HKEY_CURRENT_USER, UninstallKey().c_str(), L"Publisher");
  ProbeRun run = Install();
  std::string readme;
  ASSERT_TRUE(apptest::ReadFileBytes(install_folder_ + L"readme.txt", &readme));
  EXPECT_EQ(1200u, readme.size());
  std::wstring text;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, UninstallKey(), L"Publisher", 0, &text));
  EXPECT_FALSE(apptest::ReportLines(run.report, "page").empty());
}

TEST_F(PipelineTest, NotFoundInstallsNothing) {
  SetServerMode("404");
  ProbeRun run = Install();
  std::vector<std::string> lines = Lines(run);
  ASSERT_EQ(4u, lines.size());
  for (int k = 0; k < 3; ++k) EXPECT_EQ("[download] WinHTTP failed, code=404\r\n", lines[k]);
  EXPECT_EQ("[download] URLDownloadToFileW failed, code=404\r\n", lines[3]);
  ExpectNothingInstalled(run);
}

TEST_F(PipelineTest, BodyCutShortInstallsNothing) {
  SetServerMode("short");
  ProbeRun run = Install();
  std::vector<std::string> lines = Lines(run);
  ASSERT_EQ(4u, lines.size());
  for (int k = 0; k < 3; ++k) EXPECT_EQ("[download] WinHTTP failed, code=12030\r\n", lines[k]);
  EXPECT_EQ(0u, lines[3].find("[download] URLDownloadToFileW"));
  ExpectNothingInstalled(run);
}

TEST_F(PipelineTest, BodyUnderFiveHundredTwelveBytesInstallsNothing) {
  SetServerMode("tiny");
  ProbeRun run = Install();
  EXPECT_TRUE(Lines(run).empty());
  ExpectNothingInstalled(run);
  // The download itself succeeded and reported.
  EXPECT_FALSE(apptest::ReportLines(run.report, "download").empty());
}

TEST_F(PipelineTest, RedirectToClearTextInstallsNothing) {
  SetServerMode("redirect-http");
  ProbeRun run = Install();
  std::vector<std::string> lines = Lines(run);
  ASSERT_EQ(4u, lines.size());
  EXPECT_EQ("[download] URLDownloadToFileW failed, code=2147500036\r\n", lines[3]);
  ExpectNothingInstalled(run);
}

TEST_F(PipelineTest, BodyWithoutLengthInstallsWithoutDownloadProgress) {
  SetServerMode("nolength");
  ProbeRun run = Install();
  EXPECT_TRUE(Lines(run).empty());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((install_folder_ + L"docweave.exe").c_str()));
  for (const std::string& line : apptest::ReportLines(run.report, "download")) {
    EXPECT_EQ(0u, line.find("download 0 ")) << line;
  }
  ASSERT_GE(run.report.size(), 2u);
  EXPECT_EQ(0u, run.report[run.report.size() - 2].find("page 3 "));
}

TEST_F(PipelineTest, HostileNamesInstallNothingOutsideTheFolder) {
  SetServerMode("hostile");
  ProbeRun run = Install();
  // Only the one harmless entry, plus main.ini, lands in the install folder.
  std::vector<std::wstring> inside = apptest::ListFolder(install_folder_.substr(0, install_folder_.size() - 1));
  std::vector<std::wstring> names(inside.begin(), inside.end());
  for (const std::wstring& name : names) {
    EXPECT_TRUE(name == L"good.txt" || name == L"main.ini" || name.find(L"escape") != std::wstring::npos)
        << apptest::Narrow(name);
  }
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((install_folder_ + L"good.txt").c_str()));
  // Nothing beside or above it.
  EXPECT_EQ((std::vector<std::wstring>{InstallConfig::kProductKey}), apptest::ListFolder(base_.path()));
  std::wstring temp = GetTempFolder();
  for (int k = 1; k <= 9; ++k) {
    std::wstring name = L"escape" + std::to_wstring(k) + L".txt";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((L"C:\\" + name).c_str())) << k;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((temp + name).c_str())) << k;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((downloads_ + L"\\" + name).c_str())) << k;
  }
  ASSERT_GE(run.report.size(), 2u);
  EXPECT_EQ(0u, run.report[run.report.size() - 2].find("page 3 "));
}

// Points the user's Downloads folder at a folder that does not exist, so that the shell cannot
// resolve it, and puts the value back afterwards.
class ScopedMissingDownloadsFolder {
 public:
  ScopedMissingDownloadsFolder() {
    DWORD size = sizeof(saved_) - sizeof(wchar_t);
    had_value_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                              &type_, saved_, &size) == ERROR_SUCCESS;
    static const wchar_t kMissing[] = L"C:\\no such folder\\Downloads";
    set_ = RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_EXPAND_SZ, kMissing, sizeof(kMissing)) ==
           ERROR_SUCCESS;
  }
  ~ScopedMissingDownloadsFolder() {
    if (had_value_) {
      RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, type_, saved_,
                      static_cast<DWORD>((wcslen(saved_) + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
    }
  }
  bool set() const { return set_; }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr const wchar_t* kValue = L"{374DE290-123F-4565-9164-39C4925E467B}";
  wchar_t saved_[MAX_PATH * 2] = {};
  DWORD type_ = REG_EXPAND_SZ;
  bool had_value_ = false;
  bool set_ = false;
};

TEST_F(PipelineTest, PackageGoesToTheTemporaryFolderWithADoubledSeparatorWithoutDownloads) {
  SetServerMode("ok");
  std::wstring package;
  {
    ScopedMissingDownloadsFolder missing;
    ASSERT_TRUE(missing.set());
    ASSERT_TRUE(app::GetKnownFolder(FOLDERID_Downloads).empty());
    package = app::PackagePath();
  }
  const std::wstring temp = GetTempFolder();
  ASSERT_FALSE(temp.empty());
  ASSERT_EQ(L'\\', temp.back());
  EXPECT_EQ(temp + L"\\" + InstallConfig::kProductKey + L"_12345_.zip", package);
  EXPECT_NE(std::wstring::npos, package.find(std::wstring(L"\\\\") + InstallConfig::kProductKey));

  // The doubled separator names the same file: the package is fetched there and unpacked from there.
  const std::wstring single = temp + InstallConfig::kProductKey + L"_12345_.zip";
  DeleteFileW(single.c_str());
  apptest::FakeInstallWindow window(install_folder_);
  ASSERT_TRUE(app::FetchPackage(&window, package));
  std::string fetched, served;
  ASSERT_TRUE(apptest::ReadFileBytes(single, &fetched));
  ASSERT_TRUE(apptest::ReadFileBytes(apptest::PackageDir() + L"\\package.zip", &served));
  EXPECT_TRUE(fetched == served);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(package_path_.c_str()));
  EXPECT_TRUE(app::UnpackPackage(&window, package));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((install_folder_ + L"docweave.exe").c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(single.c_str()));
}

TEST_F(PipelineTest, ArchiveWithoutEntriesStillRegistersAndFinishes) {
  SetServerMode("empty");
  ProbeRun run = Install();
  std::vector<std::string> progress = apptest::ReportLines(run.report, "progress");
  ASSERT_EQ(1u, progress.size());
  EXPECT_EQ(0u, progress[0].find("progress 97 "));
  std::wstring text;
  EXPECT_TRUE(ReadValue(HKEY_CURRENT_USER, UninstallKey(), L"DisplayName", 0, &text));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((install_folder_ + L"main.ini").c_str()));
  ASSERT_GE(run.report.size(), 2u);
  EXPECT_EQ(0u, run.report[run.report.size() - 2].find("page 3 "));
}

// Holds a target file open without sharing until the unpacking has moved past it, so that its
// first extraction fails the way a file locked by a running program does.
class LockReleasingWindow : public apptest::FakeInstallWindow {
 public:
  LockReleasingWindow(std::wstring folder, HANDLE lock) : FakeInstallWindow(std::move(folder)), lock_(lock) {}
  ~LockReleasingWindow() { Release(); }
  void ShowProgress(int percent) override {
    FakeInstallWindow::ShowProgress(percent);
    if (++reports_ == 3) Release();
  }

 private:
  void Release() {
    if (lock_ != INVALID_HANDLE_VALUE) CloseHandle(lock_);
    lock_ = INVALID_HANDLE_VALUE;
  }
  HANDLE lock_;
  int reports_ = 0;
};

// An empty install folder and a copy of the fixture package `fixture` inside `folder`.
bool PrepareUnpack(const apptest::TempFolder& folder, const wchar_t* fixture, std::wstring* install,
                   std::wstring* package) {
  *install = folder.path() + L"\\VADIZUredizadi\\";
  *package = folder / L"package.zip";
  return CreateDirectoryW(install->c_str(), nullptr) &&
         CopyFileW((apptest::PackageDir() + L"\\" + fixture).c_str(), package->c_str(), FALSE);
}

TEST(UnpackPackage, UnpacksAgainWhatFailedTheFirstTime) {
  apptest::TempFolder folder(L"unpack");
  std::wstring install, package;
  ASSERT_TRUE(PrepareUnpack(folder, L"package.zip", &install, &package));
  // uninst.exe is the second entry: locked with other content while the first pass reaches it.
  HANDLE lock = CreateFileW((install + L"uninst.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(lock, "locked", 6, &written, nullptr));
  LockReleasingWindow window(install, lock);

  EXPECT_TRUE(app::UnpackPackage(&window, package));
  std::string installed, fixture;
  ASSERT_TRUE(apptest::ReadFileBytes(install + L"uninst.exe", &installed));
  ASSERT_TRUE(apptest::ReadFileBytes(apptest::FixtureDir() + L"\\uninst.exe", &fixture));
  EXPECT_EQ(fixture.size(), installed.size());
  EXPECT_TRUE(fixture == installed);
  // The empty entry went through the second pass as well and is still empty.
  EXPECT_EQ(0, QueryFileSize(install + L"empty.dat"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(package.c_str()));
  std::vector<std::string> reports = window.reports();
  ASSERT_EQ(12u, reports.size());
  EXPECT_EQ("progress 50", reports.front());
  EXPECT_EQ("progress 91", reports.back());
}

// Changes files of the install folder at a given progress report, as a user or another program
// could between the two passes: the files the second pass restores are the ones it unpacked again.
class ChangingWindow : public apptest::FakeInstallWindow {
 public:
  ChangingWindow(std::wstring folder, int at_report, std::vector<std::wstring> names)
      : FakeInstallWindow(folder), folder_(std::move(folder)), at_report_(at_report), names_(std::move(names)) {}
  void ShowProgress(int percent) override {
    FakeInstallWindow::ShowProgress(percent);
    if (++reports_ != at_report_) return;
    for (const std::wstring& name : names_) changed_ += apptest::WriteFileBytes(folder_ + name, kChanged) ? 1 : 0;
  }
  int changed() const { return changed_; }
  static constexpr const char* kChanged = "changed between the passes";

 private:
  std::wstring folder_;
  int at_report_;
  std::vector<std::wstring> names_;
  int reports_ = 0;
  int changed_ = 0;
};

std::string FileText(const std::wstring& path) {
  std::string bytes;
  if (!apptest::ReadFileBytes(path, &bytes)) return "<missing>";
  return bytes;
}

// An entry that extracted without error but came out empty is unpacked again; an entry that came
// out with content is not touched by the second pass.
TEST(UnpackPackage, UnpacksAgainWhatCameOutEmptyAndNothingElse) {
  apptest::TempFolder folder(L"unpackempty");
  std::wstring install, package;
  ASSERT_TRUE(PrepareUnpack(folder, L"package.zip", &install, &package));
  // The twelfth report follows the last entry's extraction, just before the second pass.
  ChangingWindow window(install, 12, {L"empty.dat", L"readme.txt"});

  EXPECT_TRUE(app::UnpackPackage(&window, package));
  ASSERT_EQ(2, window.changed());
  EXPECT_EQ("", FileText(install + L"empty.dat"));
  EXPECT_EQ(ChangingWindow::kChanged, FileText(install + L"readme.txt"));
  EXPECT_EQ(12u, window.reports().size());
}

// Two entries of one name: when the name is to be unpacked again, both are, in archive order, so
// the later one wins as it did in the first pass.
TEST(UnpackPackage, SecondPassUnpacksEveryEntryOfARepeatedNameInArchiveOrder) {
  apptest::TempFolder folder(L"unpackdup");
  std::wstring install, package;
  ASSERT_TRUE(PrepareUnpack(folder, L"duplicates.zip", &install, &package));
  // Entries: first_empty.txt empty, then with content; second_empty.txt with content, then empty.
  ChangingWindow window(install, 4, {L"first_empty.txt", L"second_empty.txt"});

  EXPECT_TRUE(app::UnpackPackage(&window, package));
  ASSERT_EQ(2, window.changed());
  std::string later;
  for (int i = 0; i < 40; ++i) later += "later entry\r\n";
  EXPECT_EQ(later, FileText(install + L"first_empty.txt"));
  EXPECT_EQ("", FileText(install + L"second_empty.txt"));
  EXPECT_EQ((std::vector<std::string>{"progress 50", "progress 61", "progress 72", "progress 83"}), window.reports());
}

TEST(UnpackPackage, DeletesAPackageThatIsNoArchive) {
  apptest::TempFolder folder(L"unpackbad");
  std::wstring package = folder / L"package.zip";
  ASSERT_TRUE(apptest::WriteFileBytes(package, std::string(4096, 'z')));
  apptest::FakeInstallWindow window(folder.path() + L"\\");
  EXPECT_FALSE(app::UnpackPackage(&window, package));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(package.c_str()));
  EXPECT_TRUE(window.reports().empty());
}

TEST(MiscThread, IsReachableByItsIdentifierExactlyWhileItRuns) {
  const int identifier = 47;  // not one of the installer's, so no other thread holds it
  EXPECT_FALSE(kbase::ThreadRegistry::PostTask(identifier, [] {}));
  HANDLE ran = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD worker = 0;
  {
    MiscThread thread(identifier, "Global Chores Thread");
    EXPECT_EQ(identifier, thread.identifier());
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(kbase::ThreadRegistry::PostTask(identifier, [ran, &worker] {
      worker = GetCurrentThreadId();
      SetEvent(ran);
    }));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ran, 10000));
    EXPECT_NE(GetCurrentThreadId(), worker);
    thread.Stop();
    EXPECT_FALSE(kbase::ThreadRegistry::PostTask(identifier, [] {}));
  }
  CloseHandle(ran);
  EXPECT_EQ(0, kThreadUI);
  EXPECT_EQ(1, kThreadMisc);
}

TEST(UnpackProgress, RunsFromFiftyToBelowNinetyFive) {
  EXPECT_EQ(50, app::UnpackProgress(0, 100));
  EXPECT_EQ(94, app::UnpackProgress(99, 100));
  EXPECT_EQ(72, app::UnpackProgress(1, 2));
  EXPECT_EQ(50, app::UnpackProgress(0, 1));
  EXPECT_EQ(94, app::UnpackProgress(999999, 1000000));
}

}  // namespace
