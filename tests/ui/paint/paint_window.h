// A real top-level window for paint-manager tests: every message reaches its own manager, as the
// window base would pass it; a test may swallow chosen messages before the manager sees them.
// Also: controls that log the events they receive, and back-buffer pixel access.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/layout/vertical_layout.h"

namespace ZQUI {
namespace test {

class PaintWindow {
 public:
  // Creates and shows a borderless window of the given client size at (x, y) on the screen.
  PaintWindow(int width = 600, int height = 400, DWORD exStyle = 0, int x = 40, int y = 40);
  ~PaintWindow();
  PaintWindow(const PaintWindow&) = delete;
  PaintWindow& operator=(const PaintWindow&) = delete;

  HWND hwnd() const { return m_hwnd; }
  CPaintManagerUI& manager() { return m_manager; }
  // Dispatches every message already queued for the window (bounded).
  void Pump();
  // Attaches the tree and invalidates the window, as showing it after attaching would.
  bool Attach(CControlUI* root);
  // Paints now if anything is invalid, then pumps.
  void PaintNow();
  // Messages in this list go to DefWindowProc without the manager.
  std::vector<UINT> swallow;
  // Called for every message before the manager (after `swallow`).
  std::function<void(UINT)> onMessage;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND m_hwnd = nullptr;
  CPaintManagerUI m_manager;
};

// One line per event a probe receives: "<Type>:<probe name>" (sender name added when it differs).
class EventLog {
 public:
  void Add(const std::string& entry) { entries.push_back(entry); }
  void Clear() { entries.clear(); }
  std::vector<std::string> entries;
};

const char* EventName(int type);

class ProbeControl : public CControlUI {
 public:
  ProbeControl(EventLog* log, const wchar_t* name, UINT flags = 0);
  UINT GetControlFlags() const override { return m_flags; }
  const wchar_t* GetClass() const override { return m_class.c_str(); }
  void SetClassName(const wchar_t* name) { m_class = name; }
  void DoEvent(TEventUI& event) override;
  bool Activate() override;
  // Called at the start of every event, for checks at delivery time.
  std::function<void(TEventUI&)> onEvent;
  int activations = 0;

 private:
  EventLog* m_log;
  UINT m_flags;
  std::wstring m_class = L"ProbeUI";
};

// Pixel (x, y) of the manager's back buffer as 0xAARRGGBB; 0 when there is no buffer.
DWORD BackBufferPixel(CPaintManagerUI& manager, int x, int y);
SIZE BackBufferSize(CPaintManagerUI& manager);

inline LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace test
}  // namespace ZQUI
