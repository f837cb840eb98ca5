#include "app/registration.h"

#include <windows.h>

#include <vector>

#include "app/install_config.h"
#include "app/process_util.h"
#include "app/registry_key.h"
#include "app/scoped_handles.h"
#include "app/shell_folders.h"
#include "app/text_format.h"

namespace app {

std::wstring FileStem(const std::wstring& file_name) {
  size_t dot = file_name.rfind(L'.');
  return dot == std::wstring::npos ? file_name : file_name.substr(0, dot);
}

std::wstring InstallerNameField(const std::wstring& stem, size_t index) {
  std::wstring lower = stem;
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (;;) {
    size_t underscore = lower.find(L'_', start);
    if (underscore == std::wstring::npos) {
      if (start < lower.size() || pieces.empty()) pieces.push_back(lower.substr(start));
      break;
    }
    pieces.push_back(lower.substr(start, underscore - start));
    start = underscore + 1;
  }
  return pieces.size() > index ? pieces[index] : std::wstring(L"empty");
}

MainIniFields MainIniFieldsFor(const std::wstring& installer_file_name, const std::wstring& version) {
  MainIniFields fields;
  std::wstring stem = FileStem(installer_file_name);
  fields.setup = stem;
  fields.pos = InstallerNameField(stem, 1);
  fields.bdvid = InstallerNameField(stem, 2);
  fields.packdt = version;
  fields.ver = version;
  fields.app = InstallConfig::kAppTag;
  return fields;
}

std::wstring MainIniText(const MainIniFields& fields, const std::wstring& install_time) {
  std::wstring text;
  text += L"[info]\r\n";
  text += L"InstDt=" + install_time + L"\r\n";
  text += L"setup=" + fields.setup + L"\r\n";
  text += L"packdt=" + fields.packdt + L"\r\n";
  text += L"bdvid=" + fields.bdvid + L"\r\n";
  text += L"\r\n";
  text += L"[uinfo]\r\n";
  text += L"pos=" + fields.pos + L"\r\n";
  text += L"os=" + fields.os + L"\r\n";
  text += L"ver=" + fields.ver + L"\r\n";
  text += L"app=" + fields.app + L"\r\n";
  return text;
}

std::wstring RegisterDllCommandLine(const std::wstring& dll_path, bool silent) {
  // By full path from the system folder: the normal executable search would look in the
  // installer's own folder (often Downloads) first, and a planted regsvr32.exe would run with the
  // installer's administrator rights. A 32-bit process is redirected to the 32-bit system
  // folder, as the plain name would have been.
  std::wstring command = L"\"" + GetSystemFolder() + L"\\regsvr32.exe\" ";
  if (silent) command += L"/s ";
  command += L"\"" + dll_path + L"\"";
  return command;
}

}  // namespace app

void WriteUninstallEntry(IInstallWindow* window) {
  const std::wstring folder = window->GetInstallFolder();
  const std::wstring key = std::wstring(InstallConfig::kUninstallKeyRoot) + InstallConfig::kProductKey;
  RegistryKey registry;
  registry.WriteString(key, L"DisplayName", InstallConfig::kDisplayName, REG_SZ, 0);
  registry.WriteString(key, L"UninstallString", folder + L"uninst.exe", REG_SZ, 0);
  registry.WriteString(key, L"DisplayIcon", folder + InstallConfig::kMainExe, REG_SZ, 0);
  registry.WriteString(key, L"Publisher", InstallConfig::kPublisher, REG_SZ, 0);
}

void WriteMainIni(IInstallWindow* window) {
  MainIniFields& fields = window->MainIni();
  fields = app::MainIniFieldsFor(GetOwnFileName(), GetFileVersionString(GetOwnPath()));
  const std::wstring path = window->GetInstallFolder() + L"main.ini";
  const std::wstring text = app::MainIniText(fields, FormatLocalTime());

  app::ScopedHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return;
  static const BYTE kByteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(file.Get(), kByteOrderMark, sizeof(kByteOrderMark), &written, nullptr);
  WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
}

bool RegisterDll(const std::wstring& dll_path, bool silent) {
  return RunProcessHidden(app::RegisterDllCommandLine(dll_path, silent));
}

void InstallSdk(IInstallWindow* window) {
  const std::wstring folder = window->GetInstallFolder();
  ShellOpen(folder + InstallConfig::kSdkMsi, InstallConfig::kSdkMsiArgs, false);

  const std::wstring list = InstallConfig::kRegisterDlls;
  size_t start = 0;
  while (start <= list.size()) {
    size_t bar = list.find(L'|', start);
    if (bar == std::wstring::npos) bar = list.size();
    if (bar > start) RegisterDll(folder + list.substr(start, bar - start), true);
    start = bar + 1;
  }
  RegisterDll(folder + InstallConfig::kMenuDll64, true);

  // The vendor's SDK components are 32-bit and read their keys from the 32-bit registry view: the
  // default view of the 32-bit installer, asked for by name here so that the 64-bit installer
  // leaves the machine in the same state.
  RegistryKey registry;
  registry.SetRoot(HKEY_LOCAL_MACHINE);
  registry.WriteString(app::kSdkRegistryKey, L"LoaderPath", folder + L"Common\\", REG_SZ, KEY_WOW64_32KEY);
  registry.WriteString(app::kSdkRegistryKey, L"ProgramPath", folder + L"Common\\", REG_SZ, KEY_WOW64_32KEY);
  registry.WriteString(app::kSdkRegistryKey, L"RtfPath", folder + L"Rtf\\", REG_SZ, KEY_WOW64_32KEY);
}
