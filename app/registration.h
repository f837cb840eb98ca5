// Making the unpacked product known to the system: the per-user uninstall entry, main.ini, the
// vendor SDK package, the DLL registrations and the vendor SDK keys. No step reports a result;
// a failure of one value or one step does not stop the others.
#pragma once

#include <string>

#include "app/install_window.h"

void WriteUninstallEntry(IInstallWindow* window);
void WriteMainIni(IInstallWindow* window);
void InstallSdk(IInstallWindow* window);

// Runs regsvr32 from the system folder on `dll_path`; true when it ended within 2 seconds.
bool RegisterDll(const std::wstring& dll_path, bool silent);

namespace app {

// Field `index` of the lower-cased installer stem split at "_" (a trailing empty piece is not
// counted), or "empty" when there are not more than `index` pieces.
std::wstring InstallerNameField(const std::wstring& stem, size_t index);

// The file name without its last extension.
std::wstring FileStem(const std::wstring& file_name);

// The main.ini fields for an installer file of this name and version text.
MainIniFields MainIniFieldsFor(const std::wstring& installer_file_name, const std::wstring& version);

// main.ini's text, without the byte-order mark: eleven CR LF-terminated lines.
std::wstring MainIniText(const MainIniFields& fields, const std::wstring& install_time);

// The regsvr32 command line RegisterDll runs.
std::wstring RegisterDllCommandLine(const std::wstring& dll_path, bool silent);

// Key of the vendor SDK under HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kSdkRegistryKey[] = L"SOFTWARE\\BCL Technologies\\easyConverter SDK 5";

}  // namespace app
