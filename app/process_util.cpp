#include "app/process_util.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/scoped_handles.h"

void LaunchProcess(const std::wstring& exe_path) {
  std::wstring command_line = L"\"" + exe_path + L"\"";
  std::vector<wchar_t> buffer(command_line.begin(), command_line.end());
  buffer.push_back(L'\0');
  size_t separator = exe_path.find_last_of(L"\\/");
  std::wstring folder = separator == std::wstring::npos ? std::wstring() : exe_path.substr(0, separator);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(exe_path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

bool ShellOpen(const std::wstring& file, const std::wstring& parameters, bool wait) {
  app::ScopedHandle process;
  BOOL executed;
  {
    app::ScopedComInit com(app::ScopedComInit::kComAndOle);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // NOASYNC: the shell may finish starting the program on another thread; it must be done
    // before COM is uninitialised below and before this worker moves on. FLAG_NO_UI: a missing
    // file must not raise the shell's error box, which would block the worker for good (the
    // installer shows no messages).
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOW;
    executed = ShellExecuteExW(&info);
    if (executed) process.Reset(info.hProcess);
  }
  if (!executed) return false;
  if (!wait) return true;
  if (!process.IsValid()) return false;
  if (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0) return false;
  DWORD exit_code = 1;
  return GetExitCodeProcess(process.Get(), &exit_code) && exit_code == 0;
}

bool RunProcessHidden(const std::wstring& command_line) {
  std::vector<wchar_t> buffer(command_line.begin(), command_line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  app::ScopedHandle process(info.hProcess);
  app::ScopedHandle thread(info.hThread);
  return WaitForSingleObject(process.Get(), 2000) == WAIT_OBJECT_0;
}
