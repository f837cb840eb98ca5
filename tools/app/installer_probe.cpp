// Stands in for the installer executable in tests (built as "Setup_17_A5.exe", with a version
// resource, so that main.ini's name and version fields come out as for a real installer). It runs
// the back end the way the installer does, with a recording window, and writes what it saw.
//
//   Setup_17_A5.exe install <install folder> <report>   the whole pipeline on kThreadMisc
//   Setup_17_A5.exe download <url> <path> <report>      DownloadPackage on the calling thread
//   Setup_17_A5.exe dll-search <dll name> <report> [unrestricted]
//                                                       RestrictDllSearchPath (unless told not to),
//                                                       then LoadLibraryW of the name
//   Setup_17_A5.exe own-path <report>                   GetOwnPath and its halves, GetTempFolder
//   Setup_17_A5.exe sleep <ms>                          sleeps, then exits with 0
//   Setup_17_A5.exe exit <code>                         exits with that code
//
// Report lines (UTF-8): "download <total> <done> <thread> <ms>", "progress <percent> <thread> <ms>",
// "page <index> <thread> <ms>", "result <0|1>", "restricted <0|1>", "loaded <0|1>", "system <0|1>",
// "path <text>", "directory <text>", "file <text>", "temp <text>", "ended".
// <thread> is "misc", "ui" or "other": the thread that called the window.
#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "app/download.h"
#include "app/install_pipeline.h"
#include "app/install_window.h"
#include "app/misc_thread.h"
#include "app/process_util.h"
#include "app/shell_folders.h"
#include "app/thread_ids.h"
#include "base/system_library.h"
#include "base/thread_registry.h"

namespace {

class Report {
 public:
  void Add(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
  }
  bool Write(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& line : lines_) fprintf(file, "%s\n", line.c_str());
    fclose(file);
    return true;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

ULONGLONG g_start = GetTickCount64();

std::string Stamp() {
  const char* thread = "other";
  if (kbase::ThreadRegistry::BelongsToThread(kThreadMisc)) thread = "misc";
  if (kbase::ThreadRegistry::BelongsToThread(kThreadUI)) thread = "ui";
  char text[64];
  snprintf(text, sizeof(text), " %s %llu", thread, static_cast<unsigned long long>(GetTickCount64() - g_start));
  return text;
}

// Records each call, then, like the installer window, applies it on the UI thread in calling
// order: the report's order is the order the window would show.
class RecordingWindow : public IInstallWindow {
 public:
  RecordingWindow(std::wstring folder, Report* report, bool post_to_ui)
      : folder_(std::move(folder)), report_(report), post_to_ui_(post_to_ui) {}

  std::wstring GetInstallFolder() const override { return folder_; }
  MainIniFields& MainIni() override { return fields_; }

  void ShowProgress(int percent) override {
    char text[64];
    snprintf(text, sizeof(text), "progress %d", percent);
    Apply(text + Stamp());
  }
  void ShowDownloadProgress(int64_t total, int64_t done) override {
    char text[96];
    snprintf(text, sizeof(text), "download %lld %lld", static_cast<long long>(total), static_cast<long long>(done));
    Apply(text + Stamp());
  }
  void ShowPage(int index) override {
    char text[32];
    snprintf(text, sizeof(text), "page %d", index);
    report_->Add(text + Stamp());
  }

 private:
  void Apply(const std::string& line) {
    if (!post_to_ui_ || !kbase::ThreadRegistry::PostTask(kThreadUI, [this, line] { report_->Add(line); })) {
      report_->Add(line);
    }
  }

  std::wstring folder_;
  MainIniFields fields_;
  Report* report_;
  bool post_to_ui_;
};

int RunInstall(const std::wstring& folder, const std::wstring& report_path) {
  Report report;
  RecordingWindow window(folder, &report, true);
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    // The probe's UI thread is a plain framework thread: the pipeline only posts to it.
    MiscThread ui(kThreadUI, "Probe UI Thread");
    MiscThread misc(kThreadMisc, "Global Chores Thread");
    if (!misc.Start() || !ui.Start()) return 20;
    kbase::ThreadRegistry::PostTask(kThreadMisc, MakeInstallPipelineTask(&window));
    // Queued behind the pipeline on the worker, then behind everything it posted on the UI
    // thread: when it runs, every report has been applied.
    kbase::ThreadRegistry::PostTask(kThreadMisc, [finished] {
      kbase::ThreadRegistry::PostTask(kThreadUI, [finished] { SetEvent(finished); });
    });
    DWORD wait = WaitForSingleObject(finished, 10 * 60 * 1000);
    report.Add(wait == WAIT_OBJECT_0 ? "ended" : "timeout");
  }
  CloseHandle(finished);
  return report.Write(report_path) ? 0 : 21;
}

int RunDownload(const std::wstring& url, const std::wstring& path, const std::wstring& report_path) {
  Report report;
  RecordingWindow window(L"", &report, false);
  bool ok = DownloadPackage(url, path, &window);
  report.Add(ok ? "result 1" : "result 0");
  report.Add("ended");
  return report.Write(report_path) ? 0 : 21;
}

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

int RunOwnPath(const std::wstring& report_path) {
  Report report;
  report.Add("path " + Utf8(GetOwnPath()));
  report.Add("directory " + Utf8(GetOwnDirectory()));
  report.Add("file " + Utf8(GetOwnFileName()));
  report.Add("temp " + Utf8(GetTempFolder()));
  report.Add("ended");
  return report.Write(report_path) ? 0 : 21;
}

int RunDllSearch(const std::wstring& name, const std::wstring& report_path, bool restrict_search) {
  Report report;
  bool restricted = restrict_search && kbase::RestrictDllSearchPath();
  HMODULE module = LoadLibraryW(name.c_str());
  report.Add(restricted ? "restricted 1" : "restricted 0");
  report.Add(module ? "loaded 1" : "loaded 0");
  // A system DLL loaded by name must still come from the system folder.
  HMODULE system = LoadLibraryW(L"version.dll");
  report.Add(system ? "system 1" : "system 0");
  report.Add("ended");
  return report.Write(report_path) ? 0 : 21;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"install") return RunInstall(argv[2], argv[3]);
  if (argc == 5 && std::wstring(argv[1]) == L"download") return RunDownload(argv[2], argv[3], argv[4]);
  if ((argc == 4 || argc == 5) && std::wstring(argv[1]) == L"dll-search") {
    return RunDllSearch(argv[2], argv[3], argc == 4);
  }
  if (argc == 3 && std::wstring(argv[1]) == L"own-path") return RunOwnPath(argv[2]);
  if (argc == 3 && std::wstring(argv[1]) == L"sleep") {
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    return 0;
  }
  if (argc == 3 && std::wstring(argv[1]) == L"exit") return _wtoi(argv[2]);
  fwprintf(stderr, L"usage: %ls install|download|dll-search ...\n", argv[0]);
  return 2;
}
