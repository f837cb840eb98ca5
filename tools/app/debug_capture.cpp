#include "tools/app/debug_capture.h"

#include <vector>

namespace {

std::wstring ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (!info.lpDebugStringData || info.nDebugStringLength == 0) return std::wstring();
  if (info.fUnicode) {
    std::vector<wchar_t> text(info.nDebugStringLength + 1, L'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, info.lpDebugStringData, text.data(), info.nDebugStringLength * sizeof(wchar_t), &read);
    text[read / sizeof(wchar_t) < info.nDebugStringLength ? read / sizeof(wchar_t) : info.nDebugStringLength] = L'\0';
    return std::wstring(text.data());
  }
  std::vector<char> text(info.nDebugStringLength + 1, '\0');
  SIZE_T read = 0;
  ReadProcessMemory(process, info.lpDebugStringData, text.data(), info.nDebugStringLength, &read);
  text[read < info.nDebugStringLength ? read : info.nDebugStringLength] = '\0';
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::vector<wchar_t> wide(length);
  MultiByteToWideChar(CP_ACP, 0, text.data(), -1, wide.data(), length);
  return std::wstring(wide.data());
}

}  // namespace

CapturedRun RunUnderDebugger(const std::wstring& command_line, DWORD timeout_ms, const std::wstring& folder) {
  CapturedRun run;
  std::vector<wchar_t> buffer(command_line.begin(), command_line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return run;
  }
  run.started = true;
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  bool first_breakpoint = true;
  bool exited = false;
  // Ending the debuggee after the deadline makes the loop end too; the extra bound keeps a
  // debuggee that cannot be ended from holding the test for ever.
  ULONGLONG hard_deadline = deadline + 30000;
  while (!exited && GetTickCount64() < hard_deadline) {
    if (!run.timed_out && GetTickCount64() >= deadline) {
      run.timed_out = true;
      TerminateProcess(process.hProcess, 0xDEAD);
    }
    DEBUG_EVENT event = {};
    if (!WaitForDebugEvent(&event, 100)) continue;
    DWORD continue_status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case OUTPUT_DEBUG_STRING_EVENT:
        run.debug_lines.push_back(ReadDebugString(process.hProcess, event.u.DebugString));
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader's initial breakpoint is ours to swallow; every other exception goes back
        // to the program, which handles it or dies as it would without a debugger.
        if (first_breakpoint && event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
          first_breakpoint = false;
        } else {
          continue_status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        if (event.dwProcessId == process.dwProcessId) {
          run.exit_code = event.u.ExitProcess.dwExitCode;
          exited = true;
        }
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continue_status);
  }
  if (!exited) {
    DebugActiveProcessStop(process.dwProcessId);
    run.timed_out = true;
  }
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
