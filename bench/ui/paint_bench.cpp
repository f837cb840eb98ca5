// Times the paint manager on a tree shaped like the installer's start page (600 x 400): a full
// layout and paint into the back buffer, and the repaint of one button's rectangle, each beside
// a plain BitBlt of the whole back buffer in the same run. Prints the figures and their ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ui/control/button.h"
#include "ui/control/label.h"
#include "ui/control/option.h"
#include "ui/core/font_face_cache.h"
#include "ui/core/paint_manager.h"
#include "ui/layout/horizontal_layout.h"
#include "ui/layout/vertical_layout.h"

using namespace ZQUI;

namespace {

CPaintManagerUI* g_manager = nullptr;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_manager != nullptr) {
    LRESULT result = 0;
    if (g_manager->MessageHandler(msg, wParam, lParam, result)) return result;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

CHorizontalLayoutUI* Row(int height) {
  auto* row = new CHorizontalLayoutUI();
  if (height > 0) row->SetFixedHeight(height);
  return row;
}

// The start page: title row (icon, product name, close button), an empty middle, the install
// button centred, and the agreement row with option, licence link and custom-install link.
CControlUI* BuildStartPage(CButtonUI** installButton) {
  auto* page = new CVerticalLayoutUI();
  page->SetBkColor(0xFF2A6FDB);
  page->SetBkColor2(0xFF6FA8FF);
  page->SetGradient(L"vertical");

  auto* title = Row(35);
  RECT titlePadding = {15, 10, 0, 0};
  title->SetPadding(titlePadding);
  auto* titleLeft = new CHorizontalLayoutUI();
  auto* icon = new CLabelUI();
  icon->SetFixedWidth(24);
  icon->SetFixedHeight(24);
  icon->SetBkColor(0xFFFFFFFF);
  auto* name = new CLabelUI();
  name->SetFixedHeight(24);
  name->SetText(L"PDF Converter Setup");
  name->SetTextColor(0xFFFFFFFF);
  titleLeft->Add(icon);
  titleLeft->Add(name);
  auto* closeBox = Row(10);
  closeBox->SetFixedWidth(20);
  auto* close = new CButtonUI();
  close->SetFixedWidth(10);
  close->SetFixedHeight(10);
  close->SetBkColor(0xFFE0E0E0);
  closeBox->Add(close);
  title->Add(titleLeft);
  title->Add(closeBox);
  page->Add(title);

  page->Add(new CVerticalLayoutUI());

  auto* middle = Row(0);
  middle->Add(new CHorizontalLayoutUI());
  auto* install = new CButtonUI();
  install->SetFixedWidth(219);
  install->SetFixedHeight(64);
  RECT installPadding = {0, 82, 0, 0};
  install->SetPadding(installPadding);
  install->SetBkColor(0xFFFF8A00);
  install->SetBorderSize(1);
  install->SetBorderColor(0xFFFFFFFF);
  install->SetText(L"Install now");
  install->SetTextColor(0xFFFFFFFF);
  middle->Add(install);
  middle->Add(new CHorizontalLayoutUI());
  page->Add(middle);
  *installButton = install;

  auto* agreement = Row(28);
  RECT agreementPadding = {17, 5, 20, 0};
  agreement->SetPadding(agreementPadding);
  auto* option = new COptionUI();
  option->SetFixedHeight(16);
  option->SetFixedWidth(120);
  option->SetText(L"I have read and agree");
  option->SetTextColor(0xFF333333);
  auto* licence = new CButtonUI();
  licence->SetFixedHeight(16);
  licence->SetFixedWidth(160);
  licence->SetText(L"the licence agreement");
  licence->SetTextColor(0xFF3083FE);
  auto* custom = new CButtonUI();
  custom->SetFixedWidth(70);
  custom->SetFixedHeight(16);
  custom->SetText(L"Custom");
  custom->SetTextColor(0xFF333333);
  agreement->Add(option);
  agreement->Add(licence);
  agreement->Add(new CLabelUI());
  agreement->Add(custom);
  page->Add(agreement);

  auto* root = new CVerticalLayoutUI();
  root->Add(page);
  return root;
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// Median of `runs` timings of `body`, in milliseconds.
template <class Body>
double MedianMs(int runs, Body body) {
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  std::vector<double> times;
  times.reserve(static_cast<size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    body();
    GdiFlush();
    QueryPerformanceCounter(&end);
    times.push_back(Ms(start, end, freq));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

// An optional argument keeps the window up that many milliseconds afterwards (for a screenshot).
int wmain(int argc, wchar_t** argv) {
  const DWORD holdMs = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 0;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = BenchProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZquiPaintBench";
  RegisterClassExW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"paint bench", WS_POPUP, 20, 20, 600, 400, nullptr, nullptr,
                              wc.hInstance, nullptr);
  if (hwnd == nullptr) {
    std::printf("ui_paint_bench: no window (is there a display?)\n");
    return 1;
  }
  CPaintManagerUI::SetInstance(wc.hInstance);
  int status = 0;
  {
    CPaintManagerUI manager;
    g_manager = &manager;
    manager.Init(hwnd, L"bench");
    CButtonUI* install = nullptr;
    CControlUI* root = BuildStartPage(&install);
    manager.AttachDialog(root);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);

    const int kRuns = 200;
    double full = MedianMs(kRuns, [&] {
      root->NeedUpdate();  // the root's own flag: full layout, as after a resize
      InvalidateRect(hwnd, nullptr, FALSE);
      UpdateWindow(hwnd);
    });
    // Where the full pass goes: the layout alone, and painting the laid-out tree (with the copy).
    RECT client = {0, 0, 600, 400};
    double layout = MedianMs(kRuns, [&] {
      root->NeedUpdate();
      root->SetPos(client, true);
    });
    double paint = MedianMs(kRuns, [&] {
      InvalidateRect(hwnd, nullptr, FALSE);
      UpdateWindow(hwnd);
    });
    double button = MedianMs(kRuns, [&] {
      install->Invalidate();
      UpdateWindow(hwnd);
    });
    // The floor: copying the whole finished back buffer to the window.
    HDC windowDc = GetDC(hwnd);
    HDC source = CreateCompatibleDC(windowDc);
    HGDIOBJ old = SelectObject(source, manager.GetOffscreenBitmap());
    double blit = MedianMs(kRuns, [&] { BitBlt(windowDc, 0, 0, 600, 400, source, 0, 0, SRCCOPY); });
    SelectObject(source, old);
    DeleteDC(source);
    ReleaseDC(hwnd, windowDc);
    for (int i = 0; i < 1000 && PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);

    std::printf("ui_paint_bench: 600x400 start-page tree, median of %d runs\n", kRuns);
    std::printf("  full layout + paint into back buffer + copy: %8.3f ms  (%.1fx BitBlt; goal <= 3 ms: %s)\n", full,
                blit > 0 ? full / blit : 0.0, full <= 3.0 ? "met" : "MISSED");
    std::printf("    of which layout of the tree:               %8.3f ms\n", layout);
    std::printf("    of which painting the laid-out tree + copy: %7.3f ms\n", paint);
    std::printf("  repaint of one button's rectangle:           %8.3f ms  (%.1fx BitBlt)\n", button,
                blit > 0 ? button / blit : 0.0);
    std::printf("  plain BitBlt of the whole back buffer:       %8.3f ms\n", blit);
    CFontFaceCache& fonts = CFontFaceCache::Instance();
    std::printf("  FreeType font files: %zu, %.1f MB in all; bytes read from them: %.1f KB\n", fonts.GetBufferCount(),
                static_cast<double>(fonts.GetFontFileBytes()) / (1024.0 * 1024.0),
                static_cast<double>(fonts.GetFontBytesRead()) / 1024.0);
    if (manager.GetOffscreenBitmap() == nullptr) status = 1;
    std::fflush(stdout);
    for (DWORD start = GetTickCount(); GetTickCount() - start < holdMs;) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
    g_manager = nullptr;
  }
  DestroyWindow(hwnd);
  return status;
}
