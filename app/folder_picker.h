// The folder-picker dialog of the custom-install page.
#pragma once

#include <windows.h>

#include <string>

// Lets the user pick a folder; true with a non-empty `path` when one was picked. Runs on the UI
// thread; initialises COM for its own duration only.
bool BrowseForFolder(HWND owner, std::wstring* path, const std::wstring& title);
