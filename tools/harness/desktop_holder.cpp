// Keeps the Wine desktop alive for a whole test run. Wine closes a desktop about a second after
// the last program using it exits; a test program starting in that moment attaches to the dying
// desktop and cannot create a single top-level window. This program stays attached (it owns a
// hidden window) until the run's wineserver ends it.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"TestRunDesktopHolder";
  if (!RegisterClassExW(&window_class)) return 1;
  // A real top-level window (never shown): the desktop window must exist and stay.
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, window_class.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
