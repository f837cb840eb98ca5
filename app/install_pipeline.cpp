#include "app/install_pipeline.h"

#include <windows.h>
#include <knownfolders.h>

#include <vector>

#include "app/download.h"
#include "app/file_util.h"
#include "app/install_config.h"
#include "app/registration.h"
#include "app/shell_folders.h"
#include "app/shortcuts.h"
#include "app/thread_ids.h"
#include "archive/zip_reader.h"
#include "base/thread_registry.h"

namespace app {

namespace {

constexpr int64_t kMinimumPackageSize = 512;

void DeleteFileAt(const std::wstring& path) { DeleteFileW(path.c_str()); }

int EntryCount(HZIP zip) {
  ZipEntry entry = {};
  ZipGetEntry(zip, -1, &entry);
  return entry.index > 0 ? entry.index : 0;
}

// The target of an entry, or empty when the name would land outside the install folder. The
// reader sanitises names already; this is the pipeline's own guard, as the elevated installer
// must not write anywhere else whatever the archive says.
std::wstring EntryTarget(const std::wstring& folder, const ZipEntry& entry) {
  std::wstring target = folder + entry.name;
  if (entry.name[0] == L'\0' || !IsPathInsideFolder(folder, target)) return std::wstring();
  return target;
}

}  // namespace

std::wstring PackagePath() {
  std::wstring folder = GetKnownFolder(FOLDERID_Downloads);
  if (folder.empty()) folder = GetTempFolder();
  return folder + L"\\" + InstallConfig::kProductKey + L"_12345_.zip";
}

bool FetchPackage(IInstallWindow* window, const std::wstring& package_path) {
  if (!DownloadPackage(InstallConfig::kPackageUrl, package_path, window)) {
    DeleteFileAt(package_path);
    return false;
  }
  // A signed comparison: a failed size query (-1) is no package either.
  if (!FileExists(package_path) || QueryFileSize(package_path) < kMinimumPackageSize) {
    DeleteFileAt(package_path);
    return false;
  }
  return true;
}

int UnpackProgress(int index, int count) {
  return static_cast<int>(index * 1.0 / count * 45.0 + 50.0);
}

bool UnpackPackage(IInstallWindow* window, const std::wstring& package_path) {
  const std::wstring folder = window->GetInstallFolder();
  HZIP zip = ZipOpenFile(package_path.c_str(), nullptr);
  if (!zip) {
    DeleteFileAt(package_path);
    return false;
  }

  // Items to unpack once more: those that came out empty, and those whose extraction reported
  // an error (a locked, read-only or truncated target must not pass silently).
  std::vector<std::wstring> retry;
  int count = EntryCount(zip);
  for (int i = 0; i < count; ++i) {
    ZipEntry entry = {};
    ZipGetEntry(zip, i, &entry);
    std::wstring target = EntryTarget(folder, entry);
    if (!target.empty()) {
      uint32_t result = ZipExtractToFile(zip, i, target.c_str());
      if (result != ZIP_OK || QueryFileSize(target) == 0) retry.push_back(entry.name);
    }
    window->ShowProgress(UnpackProgress(i, count));
  }
  ZipClose(zip);

  if (!retry.empty()) {
    zip = ZipOpenFile(package_path.c_str(), nullptr);
    if (zip) {
      count = EntryCount(zip);
      for (int j = 0; j < count; ++j) {
        ZipEntry entry = {};
        ZipGetEntry(zip, j, &entry);
        bool listed = false;
        for (const std::wstring& name : retry) {
          if (name == entry.name) {
            listed = true;
            break;
          }
        }
        if (!listed) continue;
        std::wstring target = EntryTarget(folder, entry);
        if (target.empty()) continue;
        DeleteFileAt(target);
        ZipExtractToFile(zip, j, target.c_str());
      }
      ZipClose(zip);
    }
  }
  DeleteFileAt(package_path);
  return true;
}

void RegisterProduct(IInstallWindow* window) {
  WriteUninstallEntry(window);
  WriteMainIni(window);
  InstallSdk(window);
  CreateShortcuts(window);
}

}  // namespace app

void RunInstallPipeline(IInstallWindow* window) {
  const std::wstring package_path = app::PackagePath();
  DeleteFileW(package_path.c_str());
  if (!app::FetchPackage(window, package_path)) return;
  if (!app::UnpackPackage(window, package_path)) return;
  app::RegisterProduct(window);
  window->ShowProgress(97);
  // Posted after the 97 report, which the window also hands to the UI thread: the finish page
  // comes last.
  kbase::ThreadRegistry::PostTask(kThreadUI, [window] { window->ShowPage(3); });
}

kbase::Task MakeInstallPipelineTask(IInstallWindow* window) {
  return [window] { RunInstallPipeline(window); };
}
