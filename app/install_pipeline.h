// The installation task: download the package, unpack it into the install folder, register the
// product, report progress and completion to the window. Runs on the worker thread (kThreadMisc)
// from start to end; each failure ends it silently, leaving the progress page as it is.
#pragma once

#include <string>

#include "app/install_window.h"
#include "base/task.h"

// The task the window posts to kThreadMisc when the user starts the installation. `window` must
// outlive the task (the installer never frees its window).
kbase::Task MakeInstallPipelineTask(IInstallWindow* window);

// The whole pipeline on the calling thread, completion posted to kThreadUI.
void RunInstallPipeline(IInstallWindow* window);

namespace app {

// "<Downloads>\VADIZUredizadi_12345_.zip", or the same name in the temporary folder when the
// Downloads folder cannot be resolved.
std::wstring PackagePath();

// Downloads the package to `package_path` and checks that it can be one (at least 512 bytes).
// On failure the package path is deleted. Reports download progress.
bool FetchPackage(IInstallWindow* window, const std::wstring& package_path);

// Unpacks every entry into the install folder (progress 50..94), unpacks again the entries that
// came out empty or failed, then deletes the package. False, with the package deleted, when the
// archive cannot be opened.
bool UnpackPackage(IInstallWindow* window, const std::wstring& package_path);

// Uninstall entry, main.ini, SDK package, DLL registrations, SDK keys and shortcuts.
void RegisterProduct(IInstallWindow* window);

// The unpacking progress for item `index` of `count`: 50..94.
int UnpackProgress(int index, int count);

}  // namespace app
