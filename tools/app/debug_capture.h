// Runs a program under the Windows debug API and collects what it writes with OutputDebugString,
// so that tests can check the installer's diagnostic lines for real.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CapturedRun {
  bool started = false;
  bool timed_out = false;  // the program was ended because it ran past the time limit
  DWORD exit_code = 0;
  std::vector<std::wstring> debug_lines;  // one element per OutputDebugString call, as written
};

// Starts `command_line` (working folder `folder`, or the caller's when empty) as a debuggee and
// waits until it has ended, at most `timeout_ms` before ending it. Child processes it starts are
// not debugged. Call from the thread that is to be the debugger; one run at a time per thread.
CapturedRun RunUnderDebugger(const std::wstring& command_line, DWORD timeout_ms,
                             const std::wstring& folder = std::wstring());
