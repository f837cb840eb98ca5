// The installer's fixed configuration. Nothing is read at run time: every product-specific value
// is one of these constants. The package server's host is chosen when the library is built
// (CMake cache variable INSTALLER_PACKAGE_HOST); scheme and path never change.
#pragma once

namespace InstallConfig {

inline constexpr wchar_t kUninstallKeyRoot[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr wchar_t kPublisher[] = L"上海Pelmora网络科技有限公司";
inline constexpr wchar_t kAppTag[] = L"pdf";
inline constexpr wchar_t kDisplayName[] = L"QuilloPDF转换器";
inline constexpr wchar_t kProductKey[] = L"VADIZUredizadi";
inline constexpr wchar_t kRequiredSpaceText[] = L"73MB";
inline constexpr wchar_t kMainExe[] = L"docweave.exe";
inline constexpr wchar_t kMenuDll64[] = L"docfoldMenu64.dll";
inline constexpr wchar_t kRegisterDlls[] = L"Rtf\\beconv.dll";
inline constexpr wchar_t kSdkMsi[] = L"easyConverterSDK_5.msi";
inline constexpr wchar_t kSdkMsiArgs[] = L"/quiet";

// "https://" + the build's package host + "/dl/pdf/package.zip". Defined in install_config.cpp,
// the only file compiled with the host setting, so that one set of objects serves both the
// production library and the library the tests point at their local server.
extern const wchar_t* const kPackageUrl;

}  // namespace InstallConfig
