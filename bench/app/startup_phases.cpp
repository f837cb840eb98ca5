// Where the installer's start-up goes: the steps its UI thread takes before the first page is on
// the screen, one by one with the installer's own code and skin, each with its time and the
// process's private memory after it. (app_startup_bench measures the whole from outside.)
// Run under a display; the window is shown as the installer shows it, then closed.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "app/main_wnd.h"
#include "app/misc_thread.h"
#include "app/thread_ids.h"
#include "base/thread_registry.h"
#include "resources/resource_ids.h"
#include "ui/core/font_face_cache.h"
#include "ui/core/paint_manager.h"

namespace {

double NowMs() {
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

double PrivateMb() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof(counters))) {
    return -1;
  }
  const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double g_last = 0;
double g_total = 0;
void Phase(const char* name) {
  const double now = NowMs();
  g_total += now - g_last;
  std::printf("  %-44s %7.1f ms   private memory after: %5.1f MB\n", name, now - g_last, PrivateMb());
  g_last = now;
}

// Lets the window take every message that is waiting, as the installer's loop would before idling.
void PumpUntilIdle(HWND hwnd) {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (hwnd) UpdateWindow(hwnd);
}

}  // namespace

int wmain() {
  // The process's own start: from its creation to this line (loader, DLLs, runtime).
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER c, n;
  c.LowPart = created.dwLowDateTime;
  c.HighPart = created.dwHighDateTime;
  n.LowPart = now.dwLowDateTime;
  n.HighPart = now.dwHighDateTime;
  const double process_ms = static_cast<double>(n.QuadPart - c.QuadPart) / 10000.0;
  std::printf("installer start-up, phase by phase (x%d build)\n", static_cast<int>(sizeof(void*) * 8));
  std::printf("  %-44s %7.1f ms   private memory after: %5.1f MB\n", "process and DLLs", process_ms, PrivateMb());
  g_total = process_ms;
  g_last = NowMs();

  CoInitialize(nullptr);
  Phase("COM");
  OleInitialize(nullptr);
  Phase("OLE");
  MiscThread worker(kThreadMisc, "Global Chores Thread");
  worker.Start();
  kbase::ThreadRegistry::RegisterCurrentThread(kThreadUI);
  Phase("the worker thread, started and registered");

  HINSTANCE instance = GetModuleHandleW(nullptr);
  ZQUI::CPaintManagerUI::SetInstance(instance);
  HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(IDR_SKIN_ZIP), L"ZIP");
  HGLOBAL loaded = info ? LoadResource(instance, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) {
    std::printf("no skin archive in this program\n");
    return 1;
  }
  ZQUI::CPaintManagerUI::SetResourceZip(data, SizeofResource(instance, info), nullptr);
  Phase("skin archive handed to the UI library");

  // Created hidden: the skin document, the control tree, its fonts and the shadow window.
  auto* window = new CMainWnd();
  HWND hwnd = window->Create(nullptr, L"", WS_OVERLAPPEDWINDOW, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  if (!hwnd) {
    std::printf("the window could not be created\n");
    return 1;
  }
  Phase("window: skin XML, control tree, fonts, shadow");

  window->CenterWindow();
  window->ShowWindow(true, true);
  UpdateWindow(hwnd);
  Phase("first layout and paint (images decoded, text)");

  PumpUntilIdle(hwnd);
  Phase("shadow drawn, queued messages handled");
  std::printf("  %-44s %7.1f ms\n", "in all", g_total);

  ZQUI::CFontFaceCache& fonts = ZQUI::CFontFaceCache::Instance();
  std::printf("  FreeType font files: %zu, %.1f MB in all; bytes read from them: %.1f KB\n", fonts.GetBufferCount(),
              static_cast<double>(fonts.GetFontFileBytes()) / (1024.0 * 1024.0),
              static_cast<double>(fonts.GetFontBytesRead()) / 1024.0);
  std::fflush(stdout);
  // Ends at once, as the installer does when its window is closed before any installation.
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}
