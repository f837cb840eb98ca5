#include "tests/ui/control/control_test_support.h"

namespace ZQUI {
namespace test {

void RecordingNotifier::Notify(TNotifyUI& msg) {
  Received entry;
  entry.type = msg.typeName.GetData();
  entry.sender = msg.sender != nullptr ? msg.sender->GetName().GetData() : L"";
  entry.wParam = msg.wParam;
  entry.lParam = msg.lParam;
  received.push_back(entry);
}

std::wstring RecordingNotifier::Joined() const {
  std::wstring text;
  for (const Received& entry : received) {
    if (!text.empty()) text += L' ';
    text += entry.type + L":" + entry.sender;
  }
  return text;
}

std::vector<Received> RecordingNotifier::OfType(const wchar_t* type) const {
  std::vector<Received> out;
  for (const Received& entry : received) {
    if (entry.type == type) out.push_back(entry);
  }
  return out;
}

HostWindow::HostWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ZquiControlTestHost";
  RegisterClassW(&wc);
  m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (m_hwnd != nullptr) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_manager.Init(m_hwnd, L"controls");
  }
  m_manager.AddNotifier(&m_notifier);
}

HostWindow::~HostWindow() {
  m_manager.RemoveNotifier(&m_notifier);
  if (m_hwnd != nullptr) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
}

LRESULT CALLBACK HostWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self != nullptr) {
    LRESULT result = 0;
    if (self->m_manager.MessageHandler(msg, wParam, lParam, result)) return result;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEventUI MakeEvent(int type, int x, int y, WPARAM wParam) {
  TEventUI event;
  event.type = type;
  event.mousePos.x = x;
  event.mousePos.y = y;
  event.wParam = wParam;
  event.timestamp = GetTickCount();
  return event;
}

void Send(CControlUI& control, int type, int x, int y, WPARAM wParam) {
  TEventUI event = MakeEvent(type, x, y, wParam);
  event.sender = &control;
  control.Event(event);
}

Canvas::Canvas(int width, int height, DWORD fill) : m_width(width), m_height(height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  m_bits = static_cast<DWORD*>(bits);
  m_dc = CreateCompatibleDC(nullptr);
  if (m_dc != nullptr && m_bitmap != nullptr) m_old = SelectObject(m_dc, m_bitmap);
  if (m_bits != nullptr) {
    for (int i = 0; i < width * height; ++i) m_bits[i] = fill;
  }
}

Canvas::~Canvas() {
  if (m_dc != nullptr) {
    if (m_old != nullptr) SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
  }
  if (m_bitmap != nullptr) DeleteObject(m_bitmap);
}

DWORD Canvas::Pixel(int x, int y) const {
  if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xFFFFFFFF;
  GdiFlush();
  return m_bits[y * m_width + x] & 0x00FFFFFF;
}

HBITMAP MakeBandedBitmap(int width, int height, const std::vector<DWORD>& colors) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr || colors.empty()) return bitmap;
  auto* pixels = static_cast<DWORD*>(bits);
  const int band = width / static_cast<int>(colors.size());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int index = band > 0 ? x / band : 0;
      if (index >= static_cast<int>(colors.size())) index = static_cast<int>(colors.size()) - 1;
      pixels[y * width + x] = 0xFF000000 | (colors[index] & 0x00FFFFFF);
    }
  }
  return bitmap;
}

HBITMAP MakeSolidBitmap(int width, int height, DWORD color) {
  return MakeBandedBitmap(width, height, std::vector<DWORD>{color});
}

}  // namespace test
}  // namespace ZQUI
