// The installer's entry point: one copy at a time, the UI thread on the process's first thread,
// and the result 1 in every case.
#include <windows.h>

#include "app/install_config.h"
#include "app/main_thread.h"
#include "base/system_library.h"

namespace {

// The elevated installer usually runs from Downloads, where a planted DLL would otherwise be found
// first by name. Its static imports are all DLLs that Windows maps from the system folder; the
// search for everything loaded later is restricted here, in the first constructor the runtime runs,
// before any other code of the program.
__attribute__((constructor(101))) void RestrictDllSearchFirst() { kbase::RestrictDllSearchPath(); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // A mutex that cannot be had at all counts as another copy running, as does an existing one.
  // The handle stays open until the process ends.
  HANDLE mutex = CreateMutexW(nullptr, TRUE, InstallConfig::kProductKey);
  if (!mutex) return 1;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return 1;
  }

  SetInstallerInstance(instance);
  bool abandoned = false;
  {
    MainThread main_thread;
    main_thread.RunOnCurrentThread(kbase::FrameworkThread::kLoopUI);
    abandoned = main_thread.worker_abandoned();
  }
  if (abandoned) {
    // The worker is still inside the installation. An orderly exit would run library and DLL
    // shut-down code that may need a lock the worker holds; end the process here instead.
    TerminateProcess(GetCurrentProcess(), 1);
  }
  return 1;
}
