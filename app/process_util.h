// Starting other programs: the installed application, the SDK package, regsvr32.
#pragma once

#include <string>

// Starts `exe_path` in its own folder and returns at once.
void LaunchProcess(const std::wstring& exe_path);

// Opens `file` through the shell with the "open" verb. With `wait`, true only when the started
// process ended with exit code 0; without, true when the shell started it.
bool ShellOpen(const std::wstring& file, const std::wstring& parameters, bool wait);

// Runs `command_line` with a hidden window; true when it ended within 2 seconds. The program is
// never waited for longer: a slow one keeps running on its own.
bool RunProcessHidden(const std::wstring& command_line);

