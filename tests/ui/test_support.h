// Helpers shared by the UI library tests: fixture paths, rectangle printing, controls that count
// their live instances, a message-only window bound to a paint manager, and a small tree builder
// that turns skin XML into layouts and plain controls.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "ui/core/control.h"
#include "ui/core/markup.h"
#include "ui/core/paint_manager.h"
#include "ui/layout/container.h"
#include "ui/layout/horizontal_layout.h"
#include "ui/layout/vertical_layout.h"

// gtest prints RECT and SIZE readably, and compares them by value.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
inline void PrintTo(const RECT& rc, std::ostream* os) {
  *os << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")";
}
inline void PrintTo(const SIZE& sz, std::ostream* os) { *os << "{" << sz.cx << "," << sz.cy << "}"; }

namespace ZQUI {
namespace test {

inline RECT Rect(int l, int t, int r, int b) {
  RECT rc = {l, t, r, b};
  return rc;
}
inline SIZE Size(int cx, int cy) {
  SIZE sz = {cx, cy};
  return sz;
}

// Windows path of a file the build placed in the test data folder.
std::wstring DataPath(const wchar_t* name);
// A fresh empty folder under the system's temporary folder, removed with its files by the caller.
std::wstring MakeTempFolder();
void RemoveFolder(const std::wstring& folder);
bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);
std::string ReadFileBytes(const std::wstring& path);

// Counts live instances so tests can prove that nothing is freed early or leaked.
template <class Base>
class Tracked : public Base {
 public:
  Tracked() { ++s_live; }
  ~Tracked() override { --s_live; }
  static int s_live;
};
template <class Base>
int Tracked<Base>::s_live = 0;

using TrackedControl = Tracked<CControlUI>;
using TrackedContainer = Tracked<CContainerUI>;
using TrackedVertical = Tracked<CVerticalLayoutUI>;

// A message-only window whose messages reach a paint manager, for queued work and timers.
class ManagerWindow {
 public:
  ManagerWindow();
  ~ManagerWindow();
  ManagerWindow(const ManagerWindow&) = delete;
  ManagerWindow& operator=(const ManagerWindow&) = delete;

  HWND hwnd() const { return m_hwnd; }
  CPaintManagerUI& manager() { return m_manager; }
  // Dispatches every message already queued for the window.
  void Pump();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND m_hwnd = nullptr;
  CPaintManagerUI m_manager;
};

// Back-buffer pixel (x, y) of a painted window as 0x00RRGGBB (0xFFFFFFFF outside it).
DWORD BackBufferPixel(CPaintManagerUI& pm, int x, int y);

// Dispatches the thread's messages for `ms` milliseconds (windows, timers, hover tracking).
void PumpFor(DWORD ms);

// Builds controls for the children of `node`: layouts by name, every other element a plain control
// (a stand-in for the basic controls, which measure text). Attributes apply in document order.
// Resource elements (Font, Default, Style, Image, Import) are skipped.
CControlUI* BuildChildren(CMarkupNode node, CContainerUI* parent);
// Loads `xml` into `markup` and builds the tree below its root; null when the text does not load.
CControlUI* BuildTree(CMarkup& markup, const wchar_t* xml);

}  // namespace test
}  // namespace ZQUI
