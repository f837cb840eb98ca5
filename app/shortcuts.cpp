#include "app/shortcuts.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "app/file_util.h"
#include "app/install_config.h"
#include "app/install_window.h"
#include "app/scoped_handles.h"
#include "app/shell_folders.h"

namespace app {

std::wstring DesktopShortcutPath(const std::wstring& desktop) {
  return desktop + L"\\" + InstallConfig::kDisplayName + L".lnk";
}

std::wstring StartMenuFolderPath(const std::wstring& programs) {
  return programs + L"\\" + InstallConfig::kDisplayName + L"\\";
}

std::wstring StartMenuProgramShortcutPath(const std::wstring& programs) {
  return programs + L"\\" + InstallConfig::kDisplayName + L"\\" + InstallConfig::kDisplayName + L".lnk";
}

std::wstring StartMenuUninstallShortcutPath(const std::wstring& programs) {
  return programs + L"\\" + InstallConfig::kDisplayName + L"\\卸载.lnk";
}

}  // namespace app

HRESULT CreateShortcut(const std::wstring& target, const std::wstring& link_path, const std::wstring& description) {
  app::ScopedComInit com(app::ScopedComInit::kComAndOle);
  app::ScopedComPtr<IShellLinkW> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid());
  if (FAILED(hr)) return hr;
  link->SetPath(target.c_str());
  link->SetDescription(description.c_str());
  size_t separator = target.find_last_of(L'\\');
  if (separator != std::wstring::npos) link->SetWorkingDirectory(target.substr(0, separator).c_str());
  app::ScopedComPtr<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  if (SUCCEEDED(hr)) hr = file->Save(link_path.c_str(), TRUE);
  return hr;
}

void CreateShortcuts(IInstallWindow* window) {
  const std::wstring folder = window->GetInstallFolder();
  const std::wstring main_exe = folder + InstallConfig::kMainExe;
  const std::wstring desktop_link = app::DesktopShortcutPath(GetDesktopFolder());
  const std::wstring menu_folder = app::StartMenuFolderPath(GetProgramsFolder());
  const std::wstring program_link = app::StartMenuProgramShortcutPath(GetProgramsFolder());
  const std::wstring uninstall_link = app::StartMenuUninstallShortcutPath(GetProgramsFolder());
  CreateDirectoryTree(menu_folder);
  CreateShortcut(main_exe, desktop_link, InstallConfig::kDisplayName);
  CreateShortcut(main_exe, program_link, L"");
  CreateShortcut(folder + L"uninst.exe", uninstall_link, L"");
}
