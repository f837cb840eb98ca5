// The tooltip window under Xvfb: hovering a control with tooltip text makes a skinned "TooltipWnd"
// owned by the window, on the page of the control's show mode, with the text in that page's label,
// sized to the wrapped text and placed beside the control by the gap, inside the work area, topmost
// and never active; later requests reuse it. Without its skin no tooltip appears and the program
// goes on. The skins are archives packed from tooltip.xml and skin_part.xml. With UI_WINDOW_HOLD_MS
// set, the tooltip shown by the resting pointer stays up that long so a screenshot can be taken.
#include "ui/core/tooltip_wnd.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/core/control.h"
#include "ui/core/render_engine.h"
#include "ui/layout/tab_layout.h"

namespace ZQUI {
namespace {

using test::Rect;
using test::Size;

// Geometry of tooltip.xml: label text padding 5,3,5,3 and a 6-pixel arrow strip on the side that
// faces the control; the strip's colour.
constexpr int kPadX = 10;
constexpr int kPadY = 6;
constexpr int kArrow = 6;
constexpr DWORD kArrowColor = 0x3060A0;
constexpr DWORD kTooltipBackground = 0xFFFFE1;

constexpr const wchar_t* kHostSkin =
    L"<Window size=\"400,300\">"
    L"<VerticalLayout name=\"root\" bkcolor=\"#FFF0F0F0\">"
    L"<Button name=\"plain\" height=\"40\" text=\"plain\"/>"
    L"<Button name=\"left\" height=\"40\" tooltip=\"Left tip\" tooltipmode=\"0\" tooltipgap=\"3,4\"/>"
    L"<Button name=\"top\" height=\"40\" tooltip=\"Top tip\" tooltipmode=\"1\" tooltipgap=\"5,2\"/>"
    L"<Button name=\"right\" height=\"40\" tooltip=\"Right tip\" tooltipmode=\"2\" tooltipgap=\"7,1\"/>"
    L"<Button name=\"bottom\" height=\"40\" tooltip=\"Bottom tip\" tooltipmode=\"3\" tooltipgap=\"2,9\"/>"
    L"<Button name=\"long\" height=\"40\" "
    L"tooltip=\"A tooltip text long enough that it has to wrap onto several lines\"/>"
    L"</VerticalLayout></Window>";

// Windows path of a file the build packed for these tests.
std::wstring TestData(const wchar_t* name) {
  const char* unixPath = getenv("UI_WINDOW_TEST_DATA");
  std::wstring path = L"Z:";
  for (const char* p = unixPath != nullptr ? unixPath : ""; *p != '\0'; ++p) {
    path += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
  }
  return path + L"\\" + name;
}

using test::PumpFor;

BOOL CALLBACK CountTooltipWindow(HWND hwnd, LPARAM param) {
  wchar_t name[64] = {0};
  GetClassNameW(hwnd, name, 64);
  if (std::wstring(name) == TooltipWnd::kClassName) ++*reinterpret_cast<int*>(param);
  return TRUE;
}

// Tooltip windows of this thread, shown or not.
int CountTooltipWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTooltipWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

RECT WindowRect(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}

RECT WorkArea() {
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

using test::BackBufferPixel;

// The skin archive in use while it lives; the skin location is reset afterwards.
class SkinArchive {
 public:
  explicit SkinArchive(const wchar_t* archive) {
    std::wstring path = TestData(archive);
    size_t slash = path.rfind(L'\\');
    CPaintManagerUI::SetResourcePath(path.substr(0, slash + 1).c_str());
    CPaintManagerUI::SetResourceZip(path.substr(slash + 1).c_str(), false);
  }
  ~SkinArchive() {
    CPaintManagerUI::SetResourceZip(static_cast<const wchar_t*>(nullptr), false);
    CPaintManagerUI::SetResourcePath(L"");
  }
  SkinArchive(const SkinArchive&) = delete;
  SkinArchive& operator=(const SkinArchive&) = delete;
};

class HostWindow : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ZquiTooltipHost"; }
  CDuiString GetSkinFile() override { return kHostSkin; }
  CPaintManagerUI& pm() { return m_pm; }
  HWND Open(int x, int y) { return Create(nullptr, L"ZQUI tooltip host", WS_POPUP, 0, x, y, 0, 0); }
  // Screen rectangle of a control.
  RECT ScreenRectOf(const wchar_t* name) {
    CControlUI* control = m_pm.FindControl(name);
    RECT rc = control != nullptr ? control->GetPos() : Rect(0, 0, 0, 0);
    MapWindowPoints(GetHWND(), nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  // The manager's hover path at the centre of a control; the tooltip window afterwards.
  HWND HoverOver(const wchar_t* name) {
    CControlUI* control = m_pm.FindControl(name);
    RECT rc = control != nullptr ? control->GetPos() : Rect(0, 0, 0, 0);
    SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    return m_pm.GetTooltipWindow();
  }
};

// The window object bound to a tooltip window.
TooltipWnd* TooltipOf(HWND hwnd) {
  auto* object = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return dynamic_cast<TooltipWnd*>(object);
}

class TooltipWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keep the real pointer away, so only the hovers sent here show tooltips.
    SetCursorPos(1010, 760);
    ASSERT_NE(host.Open(300, 200), nullptr);
    ::ShowWindow(host.GetHWND(), SW_SHOWNORMAL);
    ::UpdateWindow(host.GetHWND());
    PumpFor(50);
  }
  void TearDown() override {
    if (IsWindow(host.GetHWND())) DestroyWindow(host.GetHWND());
    PumpFor(10);
  }

  // What the tooltip's skin makes of `text`: the label's text block wrapped at `wrap`.
  SIZE TextBlock(TooltipWnd* tooltip, const wchar_t* text, int wrap) {
    CPaintManagerUI* pm = tooltip->GetPaintManager();
    RECT rc = {0, 0, wrap, 10000};
    // The labels name no font: the skin's default one.
    CRenderEngine::DrawText(pm->GetPaintDC(), pm, rc, text, 0, -1, DT_WORDBREAK | DT_CALCRECT);
    return Size(rc.right - rc.left, rc.bottom - rc.top);
  }

  SkinArchive skin{L"tooltip_skin.zip"};
  HostWindow host;
};

TEST_F(TooltipWndTest, HoverShowsTheSkinnedTooltipOnThePageOfItsModeBesideTheControl) {
  struct Case {
    const wchar_t* control;
    int mode;
    const wchar_t* text;
    SIZE gap;
  };
  const Case cases[] = {
      {L"left", ToolTipLeft, L"Left tip", Size(3, 4)},
      {L"top", ToolTipTop, L"Top tip", Size(5, 2)},
      {L"right", ToolTipRight, L"Right tip", Size(7, 1)},
      {L"bottom", ToolTipBottom, L"Bottom tip", Size(2, 9)},
  };
  const wchar_t* const pages[] = {L"tooltip_left", L"tooltip_top", L"tooltip_right", L"tooltip_bottom"};
  const wchar_t* const labels[] = {L"tootip_left_text", L"tooltip_top_text", L"tooltip_right_text",
                                   L"tooltip_bottom_text"};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.control)));
    HWND hwnd = host.HoverOver(c.control);
    ASSERT_NE(hwnd, nullptr);
    wchar_t className[64] = {0};
    GetClassNameW(hwnd, className, 64);
    EXPECT_STREQ(className, L"TooltipWnd");
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), host.GetHWND());
    // The system drops WS_EX_WINDOWEDGE once the caption is gone; the creation test sees it asked for.
    LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW), WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    TooltipWnd* tooltip = TooltipOf(hwnd);
    ASSERT_NE(tooltip, nullptr);
    CPaintManagerUI* pm = tooltip->GetPaintManager();
    auto* tabs = static_cast<CTabLayoutUI*>(pm->FindControl(L"tab_layout")->GetInterface(L"TabLayout"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCurSel(), c.mode);
    EXPECT_EQ(tabs->GetItemAt(c.mode)->GetName(), pages[c.mode]);
    for (int page = 0; page < 4; ++page) EXPECT_EQ(tabs->GetItemAt(page)->IsVisible(), page == c.mode);
    CControlUI* label = pm->FindControl(labels[c.mode]);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), c.text);

    // The text block, its padding and the arrow strip on the control's side.
    SIZE text = TextBlock(tooltip, c.text, 300);
    bool sideways = c.mode == ToolTipLeft || c.mode == ToolTipRight;
    SIZE size = Size(text.cx + kPadX + (sideways ? kArrow : 0), text.cy + kPadY + (sideways ? 0 : kArrow));
    RECT rc = WindowRect(hwnd);
    EXPECT_EQ(Size(rc.right - rc.left, rc.bottom - rc.top), size);
    RECT control = host.ScreenRectOf(c.control);
    switch (c.mode) {
      case ToolTipLeft:
        EXPECT_EQ(rc.right, control.left - c.gap.cx);
        EXPECT_EQ(rc.top, control.top + c.gap.cy);
        break;
      case ToolTipTop:
        EXPECT_EQ(rc.left, control.left + c.gap.cx);
        EXPECT_EQ(rc.bottom, control.top - c.gap.cy);
        break;
      case ToolTipRight:
        EXPECT_EQ(rc.left, control.right + c.gap.cx);
        EXPECT_EQ(rc.top, control.top + c.gap.cy);
        break;
      default:
        EXPECT_EQ(rc.left, control.left + c.gap.cx);
        EXPECT_EQ(rc.top, control.bottom + c.gap.cy);
        break;
    }

    // Painted at its own size: the label holds the padded text, the strip faces the control.
    // Nothing (no desktop window manager either) moves it meanwhile.
    ::UpdateWindow(hwnd);
    PumpFor(150);
    EXPECT_EQ(WindowRect(hwnd), rc);
    RECT placed = label->GetPos();
    EXPECT_EQ(Size(placed.right - placed.left, placed.bottom - placed.top),
              Size(text.cx + kPadX, text.cy + kPadY));
    // A point of the strip, and one of the label's padding on the far side from it.
    POINT strip = {size.cx / 2, size.cy / 2};
    POINT away = {1, 1};
    if (c.mode == ToolTipLeft) strip.x = size.cx - 2;
    if (c.mode == ToolTipTop) strip.y = size.cy - 2;
    if (c.mode == ToolTipRight) strip.x = 1;
    if (c.mode == ToolTipBottom) strip.y = 1;
    if (c.mode == ToolTipRight || c.mode == ToolTipBottom) away = POINT{size.cx - 2, size.cy - 2};
    EXPECT_EQ(BackBufferPixel(*pm, strip.x, strip.y), kArrowColor);
    EXPECT_EQ(BackBufferPixel(*pm, away.x, away.y), kTooltipBackground);
  }
}

// What the thread's "TooltipWnd" windows were created with, as the system reports it before
// their first message.
struct Creation {
  int count = 0;
  HWND parent = nullptr;
  std::wstring title = L"?";
  LONG style = -1;
  DWORD exStyle = 0;
};
Creation g_creation;

LRESULT CALLBACK RecordTooltipCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    wchar_t name[64] = {0};
    GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
    const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
    if (std::wstring(name) == TooltipWnd::kClassName && cs != nullptr) {
      ++g_creation.count;
      g_creation.parent = cs->hwndParent;
      g_creation.title = cs->lpszName != nullptr ? cs->lpszName : L"(null)";
      g_creation.style = cs->style;
      g_creation.exStyle = cs->dwExStyle;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(TooltipWndTest, TheFirstTooltipCreatesOneOwnedToolWindowWithTheTooltipStyles) {
  // Asked for: no-activate, window edge and tool window.
  EXPECT_EQ(TooltipWnd::kExStyle, 0x08000180u);
  g_creation = Creation();
  HHOOK hook = SetWindowsHookExW(WH_CBT, RecordTooltipCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(host.pm().GetTooltipWindow(), nullptr);
  HWND hwnd = host.HoverOver(L"left");
  host.HoverOver(L"right");
  host.HoverOver(L"top");
  UnhookWindowsHookEx(hook);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(g_creation.count, 1);
  EXPECT_EQ(g_creation.parent, host.GetHWND());
  EXPECT_EQ(g_creation.title, L"");
  // The system reports the creation after its own adjustments: an overlapped window (style 0)
  // always gets a caption, the default place and size are filled in, and WS_EX_WINDOWEDGE
  // follows the frame. Nothing else was asked for.
  EXPECT_EQ(g_creation.style & ~static_cast<LONG>(WS_CAPTION | WS_CLIPSIBLINGS), 0);
  EXPECT_EQ(g_creation.exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE), WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
  EXPECT_EQ(CountTooltipWindows(), 1);
  EXPECT_EQ(host.pm().GetTooltipWindow(), hwnd);
  wchar_t title[16] = {L'x', 0};
  GetWindowTextW(hwnd, title, 16);
  EXPECT_STREQ(title, L"");
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), host.GetHWND());
  // The skin, not a caption or frame, makes its look: the caption the system gave it is gone.
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION, 0);
}

TEST_F(TooltipWndTest, ASecondRequestReusesTheWindowAndMovingAwayHidesIt) {
  HWND first = host.HoverOver(L"left");
  ASSERT_NE(first, nullptr);
  HWND second = host.HoverOver(L"bottom");
  EXPECT_EQ(second, first);
  EXPECT_EQ(CountTooltipWindows(), 1);
  TooltipWnd* tooltip = TooltipOf(second);
  ASSERT_NE(tooltip, nullptr);
  EXPECT_EQ(tooltip->GetPaintManager()->FindControl(L"tooltip_bottom_text")->GetText(), L"Bottom tip");
  auto* tabs = static_cast<CTabLayoutUI*>(
      tooltip->GetPaintManager()->FindControl(L"tab_layout")->GetInterface(L"TabLayout"));
  EXPECT_EQ(tabs->GetCurSel(), ToolTipBottom);
  // A control without tooltip text leaves the window as it is.
  host.HoverOver(L"plain");
  EXPECT_EQ(host.pm().GetTooltipWindow(), first);
  // The pointer moving on to another control hides the tooltip; the window stays for reuse.
  RECT plain = host.pm().FindControl(L"plain")->GetPos();
  host.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(plain.left + 5, plain.top + 5));
  host.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 45));
  EXPECT_FALSE(IsWindowVisible(first));
  EXPECT_EQ(host.HoverOver(L"top"), first);
  EXPECT_TRUE(IsWindowVisible(first));
  // Closing the window it belongs to destroys it.
  DestroyWindow(host.GetHWND());
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(CountTooltipWindows(), 0);
}

TEST_F(TooltipWndTest, TheTooltipNeverTakesActivation) {
  SetForegroundWindow(host.GetHWND());
  SetActiveWindow(host.GetHWND());
  PumpFor(50);
  HWND active = GetActiveWindow();
  HWND foreground = GetForegroundWindow();
  HWND hwnd = host.HoverOver(L"right");
  ASSERT_NE(hwnd, nullptr);
  PumpFor(100);
  EXPECT_NE(GetActiveWindow(), hwnd);
  EXPECT_NE(GetForegroundWindow(), hwnd);
  EXPECT_EQ(GetActiveWindow(), active);
  EXPECT_EQ(GetForegroundWindow(), foreground);
  // A click on it does not activate it either.
  EXPECT_EQ(SendMessageW(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host.GetHWND()),
                         MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  host.HoverOver(L"top");
  PumpFor(50);
  EXPECT_EQ(GetActiveWindow(), active);
}

TEST_F(TooltipWndTest, LongTextWrapsWithinTheControlsTooltipWidth) {
  host.pm().FindControl(L"long")->SetToolTipWidth(120);
  HWND hwnd = host.HoverOver(L"long");
  ASSERT_NE(hwnd, nullptr);
  TooltipWnd* tooltip = TooltipOf(hwnd);
  ASSERT_NE(tooltip, nullptr);
  const wchar_t* text = L"A tooltip text long enough that it has to wrap onto several lines";
  SIZE block = TextBlock(tooltip, text, 120);
  SIZE oneLine = TextBlock(tooltip, L"A", 120);
  EXPECT_LE(block.cx, 121);
  EXPECT_GE(block.cy, 3 * oneLine.cy);
  RECT rc = WindowRect(hwnd);
  EXPECT_EQ(Size(rc.right - rc.left, rc.bottom - rc.top), Size(block.cx + kPadX, block.cy + kPadY + kArrow));
  // A short text keeps the window narrower than the width it may use.
  hwnd = host.HoverOver(L"bottom");
  rc = WindowRect(hwnd);
  EXPECT_LT(rc.right - rc.left, 120);
  EXPECT_EQ(rc.bottom - rc.top, oneLine.cy + kPadY + kArrow);
}

TEST_F(TooltipWndTest, RequestsNearTheScreenEdgesStayInsideTheWorkArea) {
  HWND hwnd = host.HoverOver(L"bottom");
  ASSERT_NE(hwnd, nullptr);
  RECT work = WorkArea();
  const int w = work.right - work.left;
  const int h = work.bottom - work.top;
  struct Case {
    RECT control;
    int mode;
  };
  const Case cases[] = {
      {Rect(work.right - 20, 100, work.right, 120), ToolTipRight},
      {Rect(work.right - 20, 100, work.right, 120), ToolTipBottom},
      {Rect(work.left, 100, work.left + 20, 120), ToolTipLeft},
      {Rect(100, work.top, 140, work.top + 10), ToolTipTop},
      {Rect(100, work.bottom - 10, 140, work.bottom), ToolTipBottom},
      {Rect(work.right - 5, work.bottom - 5, work.right, work.bottom), 7},  // other modes go below
      {Rect(w / 2, h / 2, w / 2 + 40, h / 2 + 20), ToolTipLeft},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.control) + " mode " + std::to_string(c.mode));
    auto* request = new TToolTipRequest();
    request->text = L"Edge";
    request->controlRect = c.control;
    request->showMode = c.mode;
    request->gap = Size(4, 4);
    request->width = 300;
    SendMessageW(hwnd, kMsgShowToolTip, 0, reinterpret_cast<LPARAM>(request));
    RECT rc = WindowRect(hwnd);
    SIZE size = Size(rc.right - rc.left, rc.bottom - rc.top);
    POINT expected = TooltipWnd::PlaceBeside(c.control, c.mode, Size(4, 4), size, work);
    EXPECT_EQ(rc.left, expected.x);
    EXPECT_EQ(rc.top, expected.y);
    EXPECT_GE(rc.left, work.left);
    EXPECT_GE(rc.top, work.top);
    EXPECT_LE(rc.right, work.right);
    EXPECT_LE(rc.bottom, work.bottom);
    EXPECT_TRUE(IsWindowVisible(hwnd));
  }
  // The mode outside the known ones used the bottom page.
  auto* tabs = static_cast<CTabLayoutUI*>(
      TooltipOf(hwnd)->GetPaintManager()->FindControl(L"tab_layout")->GetInterface(L"TabLayout"));
  SendMessageW(hwnd, kMsgShowToolTip, 0, reinterpret_cast<LPARAM>(new TToolTipRequest{L"x", {}, 9, {}, 0}));
  EXPECT_EQ(tabs->GetCurSel(), ToolTipBottom);
  // A request without text hides the tooltip; a missing request is ignored.
  SendMessageW(hwnd, kMsgShowToolTip, 0, reinterpret_cast<LPARAM>(new TToolTipRequest{L"", {}, 0, {}, 0}));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(SendMessageW(hwnd, kMsgShowToolTip, 0, 0), 0);
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(TooltipWndTest, ThePointerRestingOnAControlShowsItsTooltip) {
  // The real input path: the system's hover tracking, started by the first mouse move.
  RECT control = host.ScreenRectOf(L"right");
  SetCursorPos((control.left + control.right) / 2, (control.top + control.bottom) / 2);
  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < 3000) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    HWND tooltip = host.pm().GetTooltipWindow();
    if (tooltip != nullptr && IsWindowVisible(tooltip)) break;
    Sleep(10);
  }
  HWND tooltip = host.pm().GetTooltipWindow();
  ASSERT_NE(tooltip, nullptr);
  PumpFor(150);
  EXPECT_TRUE(IsWindowVisible(tooltip));
  EXPECT_EQ(WindowRect(tooltip).left, control.right + 7);
  EXPECT_EQ(WindowRect(tooltip).top, control.top + 1);
  EXPECT_NE(GetActiveWindow(), tooltip);
  const char* hold = getenv("UI_WINDOW_HOLD_MS");
  if (hold != nullptr) {
    DWORD ms = static_cast<DWORD>(strtoul(hold, nullptr, 10));
    PumpFor(ms > 60000 ? 60000 : ms);
  }
  SetCursorPos(1010, 760);
  PumpFor(50);
}

TEST(TooltipPlacement, TheModeNamesTheSideAndTheWorkAreaLimitsThePlace) {
  const RECT work = Rect(0, 0, 1000, 700);
  const RECT control = Rect(400, 300, 500, 330);
  const SIZE size = Size(80, 20);
  const SIZE gap = Size(3, 5);
  struct Case {
    RECT control;
    int mode;
    POINT expected;
  };
  const Case cases[] = {
      {control, ToolTipLeft, {400 - 80 - 3, 300 + 5}},
      {control, ToolTipTop, {400 + 3, 300 - 20 - 5}},
      {control, ToolTipRight, {500 + 3, 300 + 5}},
      {control, ToolTipBottom, {400 + 3, 330 + 5}},
      {control, -1, {400 + 3, 330 + 5}},
      {control, 4, {400 + 3, 330 + 5}},
      {Rect(0, 300, 30, 330), ToolTipLeft, {0, 305}},
      {Rect(400, 0, 500, 10), ToolTipTop, {403, 0}},
      {Rect(950, 300, 1000, 330), ToolTipRight, {920, 305}},
      {Rect(400, 690, 500, 700), ToolTipBottom, {403, 680}},
      {Rect(990, 690, 1000, 700), ToolTipBottom, {920, 680}},
  };
  for (const Case& c : cases) {
    POINT at = TooltipWnd::PlaceBeside(c.control, c.mode, gap, size, work);
    EXPECT_EQ(at.x, c.expected.x) << testing::PrintToString(c.control) << " mode " << c.mode;
    EXPECT_EQ(at.y, c.expected.y) << testing::PrintToString(c.control) << " mode " << c.mode;
  }
  // A tooltip larger than the work area keeps its top-left corner in view.
  POINT huge = TooltipWnd::PlaceBeside(control, ToolTipBottom, gap, Size(1200, 900), work);
  EXPECT_EQ(huge.x, 0);
  EXPECT_EQ(huge.y, 0);
}

TEST(TooltipPlacement, EveryShowModeHasItsPageAndLabel) {
  EXPECT_STREQ(TooltipWnd::PageName(ToolTipLeft), L"tooltip_left");
  EXPECT_STREQ(TooltipWnd::LabelName(ToolTipLeft), L"tootip_left_text");
  EXPECT_STREQ(TooltipWnd::PageName(ToolTipTop), L"tooltip_top");
  EXPECT_STREQ(TooltipWnd::LabelName(ToolTipTop), L"tooltip_top_text");
  EXPECT_STREQ(TooltipWnd::PageName(ToolTipRight), L"tooltip_right");
  EXPECT_STREQ(TooltipWnd::LabelName(ToolTipRight), L"tooltip_right_text");
  EXPECT_STREQ(TooltipWnd::PageName(ToolTipBottom), L"tooltip_bottom");
  EXPECT_STREQ(TooltipWnd::LabelName(ToolTipBottom), L"tooltip_bottom_text");
  EXPECT_STREQ(TooltipWnd::PageName(12), L"tooltip_bottom");
  EXPECT_STREQ(TooltipWnd::LabelName(-3), L"tooltip_bottom_text");
}

// Closes a skin-failure message box should one appear, and records that it did, so that a
// regression fails the test instead of blocking it.
struct BoxWatch {
  volatile LONG stop = 0;
  volatile LONG seen = 0;
};
DWORD WINAPI WatchForSkinFailureBox(LPVOID param) {
  auto* watch = static_cast<BoxWatch*>(param);
  while (InterlockedCompareExchange(&watch->stop, 0, 0) == 0) {
    HWND box = FindWindowW(nullptr, WindowImplBase::kSkinLoadFailedCaption);
    if (box != nullptr) {
      InterlockedExchange(&watch->seen, 1);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(20);
  }
  return 0;
}

TEST(TooltipWithoutSkin, AMissingTooltipSkinShowsNothingAndTheProgramGoesOn) {
  SkinArchive skin(L"plain_skin.zip");
  BoxWatch watch;
  HANDLE watcher = CreateThread(nullptr, 0, WatchForSkinFailureBox, &watch, 0, nullptr);
  ASSERT_NE(watcher, nullptr);
  {
    HostWindow host;
    ASSERT_NE(host.Open(300, 200), nullptr);
    ::ShowWindow(host.GetHWND(), SW_SHOWNOACTIVATE);
    PumpFor(30);
    for (int i = 0; i < 3; ++i) {
      LRESULT result = 1;
      // The hover is still handled; only the tooltip is missing.
      RECT rc = host.pm().FindControl(L"left")->GetPos();
      EXPECT_TRUE(host.pm().MessageHandler(WM_MOUSEHOVER, 0, MAKELPARAM(rc.left + 5, rc.top + 5), result));
      EXPECT_EQ(host.pm().GetTooltipWindow(), nullptr);
      EXPECT_EQ(CountTooltipWindows(), 0);
    }
    PumpFor(100);
    EXPECT_TRUE(IsWindow(host.GetHWND()));
    EXPECT_TRUE(IsWindowVisible(host.GetHWND()));
    // Nor does a hover over another control.
    host.HoverOver(L"bottom");
    EXPECT_EQ(host.pm().GetTooltipWindow(), nullptr);
    DestroyWindow(host.GetHWND());
  }
  InterlockedExchange(&watch.stop, 1);
  WaitForSingleObject(watcher, 2000);
  CloseHandle(watcher);
  EXPECT_EQ(watch.seen, 0) << "the skin-failure message box was shown";
}

}  // namespace
}  // namespace ZQUI
