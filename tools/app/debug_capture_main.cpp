// debug_capture.exe <out-file> <command line...>: runs the command under the debugger, writes each
// captured debugger-output line to <out-file> (UTF-8) and returns the program's exit code.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/app/debug_capture.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: debug_capture <out-file> <program> [args...]\n");
    return 2;
  }
  std::wstring command;
  for (int i = 2; i < argc; ++i) {
    if (i > 2) command += L' ';
    command += L'"';
    command += argv[i];
    command += L'"';
  }
  CapturedRun run = RunUnderDebugger(command, 10 * 60 * 1000);
  if (!run.started) return 3;
  FILE* out = _wfopen(argv[1], L"wb");
  if (!out) return 4;
  for (const std::wstring& line : run.debug_lines) {
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], size, nullptr, nullptr);
    fwrite(utf8.data(), 1, utf8.size(), out);
    if (utf8.empty() || utf8.back() != '\n') fputc('\n', out);
  }
  fclose(out);
  return static_cast<int>(run.exit_code);
}
