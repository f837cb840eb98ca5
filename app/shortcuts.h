// Shell links for the installed product: one on the desktop, two in a Start-menu folder.
#pragma once

#include <windows.h>

#include <string>

class IInstallWindow;

// Writes a shell link at `link_path` pointing at `target`; replaces an existing link file.
HRESULT CreateShortcut(const std::wstring& target, const std::wstring& link_path, const std::wstring& description);

// Desktop link and Start-menu program link to the main executable, Start-menu uninstall link.
void CreateShortcuts(IInstallWindow* window);

namespace app {

// The paths CreateShortcuts writes, for a given desktop and programs folder.
std::wstring DesktopShortcutPath(const std::wstring& desktop);
std::wstring StartMenuFolderPath(const std::wstring& programs);
std::wstring StartMenuProgramShortcutPath(const std::wstring& programs);
std::wstring StartMenuUninstallShortcutPath(const std::wstring& programs);

}  // namespace app
