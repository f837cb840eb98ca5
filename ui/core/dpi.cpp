#include "ui/core/dpi.h"

#include "base/system_library.h"

namespace ZQUI {

namespace {

bool IsWindows81OrLater() {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  info.dwMajorVersion = 6;
  info.dwMinorVersion = 3;
  info.wServicePackMajor = 0;
  DWORDLONG mask = 0;
  mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

// Shcore is optional: it exists from Windows 8.1 on.
FARPROC ShcoreFunction(const char* name) {
  HMODULE shcore = kbase::LoadSystemLibrary(L"Shcore.dll");
  if (shcore == nullptr) return nullptr;
  return GetProcAddress(shcore, name);
}

}  // namespace

CDPI::CDPI() : m_nScaleFactor(0), m_nScaleFactorSDA(0), m_awareness(kDpiPerMonitorAware) { SetScale(96); }

int CDPI::GetDPIOfMonitor(HMONITOR monitor) {
  if (IsWindows81OrLater()) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    auto fn = reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(ShcoreFunction("GetDpiForMonitor")));
    if (fn == nullptr) return 96;
    UINT dpiX = 96;
    UINT dpiY = 96;
    if (FAILED(fn(monitor, 0, &dpiX, &dpiY))) {
      MessageBoxW(nullptr, L"GetDpiForMonitor failed", L"Notification", MB_OK);
      return 96;
    }
    return static_cast<int>(dpiX);
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int CDPI::GetDPIOfMonitorNearestToPoint(POINT pt) {
  return GetDPIOfMonitor(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST));
}

int CDPI::GetMainMonitorDPI() {
  POINT pt = {1, 1};
  return GetDPIOfMonitorNearestToPoint(pt);
}

int CDPI::GetDPIAwareness() {
  if (IsWindows81OrLater()) {
    using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
    auto fn = reinterpret_cast<GetProcessDpiAwarenessFn>(
        reinterpret_cast<void*>(ShcoreFunction("GetProcessDpiAwareness")));
    if (fn != nullptr) {
      HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());
      int awareness = m_awareness;
      if (SUCCEEDED(fn(process, &awareness))) m_awareness = awareness;
      if (process) CloseHandle(process);
    }
  }
  return m_awareness;
}

bool CDPI::SetDPIAwareness(int awareness) {
  if (IsWindows81OrLater()) {
    using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int);
    auto fn = reinterpret_cast<SetProcessDpiAwarenessFn>(
        reinterpret_cast<void*>(ShcoreFunction("SetProcessDpiAwareness")));
    if (fn != nullptr && SUCCEEDED(fn(awareness))) {
      m_awareness = awareness;
      return true;
    }
    return false;
  }
  m_awareness = awareness;
  return false;
}

int CDPI::EffectiveScale() const {
  if (m_awareness == kDpiUnaware) return 100;
  if (m_awareness == kDpiSystemAware) return m_nScaleFactorSDA;
  return m_nScaleFactor;
}

UINT CDPI::GetDPI() const {
  if (m_awareness == kDpiUnaware) return 96;
  return static_cast<UINT>(MulDiv(EffectiveScale(), 96, 100));
}

UINT CDPI::GetScale() const { return static_cast<UINT>(EffectiveScale()); }

void CDPI::SetScale(UINT dpi) {
  m_nScaleFactor = MulDiv(static_cast<int>(dpi), 100, 96);
  if (m_nScaleFactorSDA == 0) m_nScaleFactorSDA = m_nScaleFactor;
}

int CDPI::Scale(int value) const {
  if (m_awareness == kDpiUnaware) return value;
  int result = MulDiv(value, EffectiveScale(), 100);
  // A length that exists never scales away to nothing.
  if (result == 0 && value > 0) return 1;
  if (result == 0 && value < 0) return -1;
  return result;
}

int CDPI::ScaleBack(int value) const {
  if (m_awareness == kDpiUnaware) return value;
  int scale = EffectiveScale();
  if (scale == 0) return value;
  return MulDiv(value, 100, scale);
}

RECT CDPI::Scale(RECT rc) const {
  Scale(&rc);
  return rc;
}

void CDPI::Scale(RECT* rc) const {
  int width = Scale(rc->right - rc->left);
  int height = Scale(rc->bottom - rc->top);
  rc->left = Scale(rc->left);
  rc->top = Scale(rc->top);
  rc->right = rc->left + width;
  rc->bottom = rc->top + height;
}

void CDPI::ScaleBack(RECT* rc) const {
  int width = ScaleBack(rc->right - rc->left);
  int height = ScaleBack(rc->bottom - rc->top);
  rc->left = ScaleBack(rc->left);
  rc->top = ScaleBack(rc->top);
  rc->right = rc->left + width;
  rc->bottom = rc->top + height;
}

void CDPI::Scale(SIZE* size) const {
  size->cx = Scale(static_cast<int>(size->cx));
  size->cy = Scale(static_cast<int>(size->cy));
}

SIZE CDPI::Scale(SIZE size) const {
  Scale(&size);
  return size;
}

}  // namespace ZQUI
