#include "app/install_config.h"

#ifndef INSTALLER_PACKAGE_HOST
#error "INSTALLER_PACKAGE_HOST must name the package server (host or host:port)"
#endif

#define INSTALLER_WIDEN2(text) L##text
#define INSTALLER_WIDEN(text) INSTALLER_WIDEN2(text)

namespace InstallConfig {

const wchar_t* const kPackageUrl =
    L"https://" INSTALLER_WIDEN(INSTALLER_PACKAGE_HOST) L"/dl/pdf/package.zip";

}  // namespace InstallConfig
