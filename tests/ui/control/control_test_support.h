// Helpers for the control tests: a notifier that records what it receives, a message-only window
// bound to a paint manager (for timers), event records, and a 32-bit DIB to paint into.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& rc, std::ostream* os) {
  *os << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")";
}

namespace ZQUI {
namespace test {

inline RECT Rect(int l, int t, int r, int b) {
  RECT rc = {l, t, r, b};
  return rc;
}

// One received notification, with the sender's name for readable expectations.
struct Received {
  std::wstring type;
  std::wstring sender;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingNotifier : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override;
  // "type:sender" entries joined by spaces, e.g. "click:ok selectchanged:ok".
  std::wstring Joined() const;
  // Only the entries of one type.
  std::vector<Received> OfType(const wchar_t* type) const;
  void Clear() { received.clear(); }

  std::vector<Received> received;
};

// A message-only window whose messages reach a paint manager; the manager has a real window for
// timers and a recording notifier.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return m_hwnd; }
  CPaintManagerUI& manager() { return m_manager; }
  RecordingNotifier& notifier() { return m_notifier; }
  // Dispatches messages for up to `ms` milliseconds (bounded), or until `done` returns true.
  template <class Pred>
  bool PumpUntil(Pred done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > ms) return false;
      MSG msg;
      while (PeekMessageW(&msg, m_hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND m_hwnd = nullptr;
  CPaintManagerUI m_manager;
  RecordingNotifier m_notifier;
};

// An event record of `type` at (x, y).
TEventUI MakeEvent(int type, int x = 0, int y = 0, WPARAM wParam = 0);
// Delivers an event the way the paint manager does (through Event, so observers see it).
void Send(CControlUI& control, int type, int x = 0, int y = 0, WPARAM wParam = 0);

// A 32-bit top-down DIB selected into a memory DC, cleared to `fill` (0xAARRGGBB).
class Canvas {
 public:
  Canvas(int width, int height, DWORD fill = 0xFF000000);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return m_dc; }
  // The pixel as 0x00RRGGBB (alpha dropped).
  DWORD Pixel(int x, int y) const;
  int width() const { return m_width; }
  int height() const { return m_height; }

 private:
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  DWORD* m_bits = nullptr;
  int m_width;
  int m_height;
};

// A solid 32-bit bitmap of `width` × `height` in `color` (0x00RRGGBB, opaque), owned by the caller.
HBITMAP MakeSolidBitmap(int width, int height, DWORD color);
// A bitmap of `slices` equal vertical bands, band i in colors[i].
HBITMAP MakeBandedBitmap(int width, int height, const std::vector<DWORD>& colors);

}  // namespace test
}  // namespace ZQUI
