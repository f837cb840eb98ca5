// Start-up of the installer: the time from process start until its start page is painted and
// the process waits for input, and its private memory then, beside the same figures for a plain
// Win32 window program and for a minimal NSIS modern-wizard installer (the peer) in the same run,
// measured alike. Figures are medians of several runs each.
// Usage: app_startup_bench.exe <installer.exe> <minimal_window.exe> <nsis_installer.exe>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
  double ms = -1;
  double private_mb = -1;
  double working_set_mb = -1;
};

// The window a program shows first: 600 x 400 for the installer and the plain window (the
// installer's shadow is a second, larger window); any captioned top-level window for the peer.
struct FindData {
  DWORD pid;
  bool exact_size;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lparam) {
  auto* data = reinterpret_cast<FindData*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  RECT rc = {};
  if (pid != data->pid || !IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &rc)) return TRUE;
  const bool matches = data->exact_size ? rc.right - rc.left == 600 && rc.bottom - rc.top == 400
                                        : (GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  if (matches) {
    data->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Starts `exe`, waits (at most 30 s) until its window is visible and the process is idle waiting
// for input (its first WM_PAINT handled), then measures and ends it.
Sample Measure(const std::wstring& exe, bool exact_size) {
  Sample sample;
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" + exe + L"\"";
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    fprintf(stderr, "cannot start %ls: %lu\n", exe.c_str(), GetLastError());
    return sample;
  }
  const DWORD deadline = GetTickCount() + 30000;
  while (GetTickCount() < deadline) {
    FindData data = {pi.dwProcessId, exact_size, nullptr};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&data));
    if (data.found && WaitForInputIdle(pi.hProcess, 0) == 0) {
      QueryPerformanceCounter(&now);
      sample.ms = static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
      PROCESS_MEMORY_COUNTERS_EX counters = {};
      counters.cb = sizeof(counters);
      if (GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        // Private bytes are the commit charge; some systems leave PrivateUsage 0 and report
        // the same figure as the page-file usage.
        const SIZE_T private_bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        sample.private_mb = static_cast<double>(private_bytes) / (1024.0 * 1024.0);
        sample.working_set_mb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
      }
      break;
    }
    if (WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0) break;
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return sample;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Report(const char* name, const std::wstring& exe, bool exact_size, int runs, double* ms_out) {
  std::vector<double> ms, mb, ws;
  for (int i = 0; i < runs; ++i) {
    Sample s = Measure(exe, exact_size);
    if (s.ms >= 0) ms.push_back(s.ms);
    if (s.private_mb >= 0) mb.push_back(s.private_mb);
    if (s.working_set_mb >= 0) ws.push_back(s.working_set_mb);
  }
  *ms_out = Median(ms);
  printf("%-16s start to first painted window: %8.1f ms   private memory then: %6.1f MB"
         "   working set: %6.1f MB   (%zu of %d runs)\n",
         name, *ms_out, Median(mb), Median(ws), ms.size(), runs);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: app_startup_bench <installer.exe> <minimal_window.exe> <nsis_installer.exe>\n");
    return 2;
  }
  const int runs = 7;
  double installer_ms = -1, minimal_ms = -1, nsis_ms = -1;
  // Interleaved rounds, so that a slow moment of the machine does not fall on one program alone.
  Report("minimal window", argv[2], true, runs, &minimal_ms);
  Report("nsis", argv[3], false, runs, &nsis_ms);
  Report("installer", argv[1], true, runs, &installer_ms);
  if (installer_ms > 0 && minimal_ms > 0) {
    printf("installer / minimal window: %.2f x   (goal: at most 1.5 x: %s)\n", installer_ms / minimal_ms,
           installer_ms <= 1.5 * minimal_ms ? "met" : "MISSED");
  }
  if (installer_ms > 0 && nsis_ms > 0) {
    printf("installer / nsis:           %.2f x   (goal: no slower than the peer: %s)\n", installer_ms / nsis_ms,
           installer_ms <= nsis_ms ? "met" : "MISSED");
  }
  return installer_ms > 0 && minimal_ms > 0 && nsis_ms > 0 ? 0 : 1;
}
