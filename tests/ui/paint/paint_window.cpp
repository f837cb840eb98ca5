#include "tests/ui/paint/paint_window.h"

#include <algorithm>
#include <cstdio>

namespace ZQUI {
namespace test {

namespace {

constexpr wchar_t kClassName[] = L"ZquiPaintTestWindow";
std::vector<UINT> g_creationMessages;

std::string Narrow(const CDuiString& text) {
  std::string out;
  for (const wchar_t* p = text.GetData(); p != nullptr && *p; ++p) out.push_back(static_cast<char>(*p));
  return out;
}

}  // namespace

PaintWindow::PaintWindow(int width, int height, DWORD exStyle, int x, int y) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  g_creationMessages.clear();
  m_hwnd = CreateWindowExW(exStyle, kClassName, L"paint test", WS_POPUP, x, y, width, height, nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (m_hwnd == nullptr) {
    fprintf(stderr, "PaintWindow: CreateWindowExW failed, error %lu, messages:", GetLastError());
    for (UINT m : g_creationMessages) fprintf(stderr, " %x", m);
    fprintf(stderr, "\n");
    return;
  }
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_manager.Init(m_hwnd, L"paint-test");
  ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
  Pump();
}

PaintWindow::~PaintWindow() {
  if (m_hwnd != nullptr) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
}

void PaintWindow::Pump() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageW(&msg, m_hwnd, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
}

bool PaintWindow::Attach(CControlUI* root) {
  bool attached = m_manager.AttachDialog(root);
  InvalidateRect(m_hwnd, nullptr, FALSE);
  return attached;
}

void PaintWindow::PaintNow() {
  UpdateWindow(m_hwnd);
  Pump();
}

LRESULT CALLBACK PaintWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PaintWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) g_creationMessages.push_back(msg);
  if (self != nullptr && std::find(self->swallow.begin(), self->swallow.end(), msg) == self->swallow.end()) {
    if (self->onMessage) self->onMessage(msg);
    LRESULT result = 0;
    if (self->m_manager.MessageHandler(msg, wParam, lParam, result)) return result;
  }
  // The test owns the window's lifetime: closing only runs the manager's close handling.
  if (msg == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const char* EventName(int type) {
  switch (type) {
    case UiEventType::KeyDown: return "KeyDown";
    case UiEventType::KeyUp: return "KeyUp";
    case UiEventType::Char: return "Char";
    case UiEventType::SysKey: return "SysKey";
    case UiEventType::MouseMove: return "Move";
    case UiEventType::MouseLeave: return "Leave";
    case UiEventType::MouseEnter: return "Enter";
    case UiEventType::MouseHover: return "Hover";
    case UiEventType::ButtonDown: return "Down";
    case UiEventType::ButtonUp: return "Up";
    case UiEventType::RButtonDown: return "RDown";
    case UiEventType::RButtonUp: return "RUp";
    case UiEventType::MButtonDown: return "MDown";
    case UiEventType::MButtonUp: return "MUp";
    case UiEventType::DblClick: return "DblClick";
    case UiEventType::ContextMenu: return "Menu";
    case UiEventType::ScrollWheel: return "Wheel";
    case UiEventType::KillFocus: return "KillFocus";
    case UiEventType::SetFocus: return "SetFocus";
    case UiEventType::WindowSize: return "WindowSize";
    case UiEventType::SetCursor: return "SetCursor";
    case UiEventType::Timer: return "Timer";
    default: return "?";
  }
}

ProbeControl::ProbeControl(EventLog* log, const wchar_t* name, UINT flags) : m_log(log), m_flags(flags) {
  SetName(name);
}

void ProbeControl::DoEvent(TEventUI& event) {
  if (onEvent) onEvent(event);
  if (m_log != nullptr) {
    std::string entry = std::string(EventName(event.type)) + ":" + Narrow(GetName());
    if (event.sender != this) entry += "<" + (event.sender != nullptr ? Narrow(event.sender->GetName()) : "null");
    m_log->Add(entry);
  }
  CControlUI::DoEvent(event);
}

bool ProbeControl::Activate() {
  ++activations;
  return CControlUI::Activate();
}

DWORD BackBufferPixel(CPaintManagerUI& manager, int x, int y) {
  SIZE size = BackBufferSize(manager);
  const BYTE* bits = manager.GetOffscreenBits();
  if (bits == nullptr || x < 0 || y < 0 || x >= size.cx || y >= size.cy) return 0;
  GdiFlush();
  const BYTE* p = bits + (static_cast<size_t>(size.cy - 1 - y) * size.cx + x) * 4;
  return (static_cast<DWORD>(p[3]) << 24) | (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
}

SIZE BackBufferSize(CPaintManagerUI& manager) {
  SIZE size = {0, 0};
  BITMAP bm = {};
  if (manager.GetOffscreenBitmap() != nullptr && GetObjectW(manager.GetOffscreenBitmap(), sizeof(bm), &bm) != 0) {
    size.cx = bm.bmWidth;
    size.cy = bm.bmHeight;
  }
  return size;
}

}  // namespace test
}  // namespace ZQUI
