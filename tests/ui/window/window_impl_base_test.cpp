// A real skinned window under Xvfb: creation from skin text, caption and border hit testing,
// size limits, the rounded region, clicks posted at client coordinates reaching OnClick, the
// maximise and restore buttons, DPI scaling, and windows whose skin does not load.
#include "ui/core/window_impl_base.h"

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/core/control.h"

namespace ZQUI {
namespace {

using test::Rect;

constexpr const wchar_t* kSkin =
    L"<Window size=\"600,400\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" mininfo=\"300,200\" "
    L"maxinfo=\"800,700\" roundcorner=\"10,10\">"
    L"<VerticalLayout name=\"root\" bkcolor=\"#FFF0F0F0\">"
    L"<HorizontalLayout name=\"titlebar\" height=\"40\" bkcolor=\"#FF3060A0\">"
    L"<Label name=\"title\" text=\"Test\" width=\"400\"/><Control name=\"gap\"/>"
    L"<Button name=\"minbtn\" width=\"30\"/><Button name=\"maxbtn\" width=\"30\"/>"
    L"<Button name=\"restorebtn\" width=\"30\" visible=\"false\"/><Button name=\"closebtn\" width=\"30\"/>"
    L"</HorizontalLayout>"
    L"<Button name=\"okbtn\" height=\"60\" text=\"OK\"/>"
    L"<Button name=\"special\" height=\"60\" text=\"Special\"/>"
    L"<Label name=\"filler\"/>"
    L"</VerticalLayout></Window>";

// Dispatches the thread's messages for `ms` milliseconds (bounded), or until `done` holds.
template <class Done>
void PumpUntil(DWORD ms, Done done) {
  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return;
    Sleep(5);
  }
}
void Pump(DWORD ms) {
  PumpUntil(ms, [] { return false; });
}

class TestWindow : public WindowImplBase {
 public:
  explicit TestWindow(const wchar_t* skin) : m_skin(skin) {}

  const wchar_t* GetWindowClassName() const override { return L"ZquiWindowImplTest"; }
  CDuiString GetSkinFile() override { return m_skin; }
  void InitWindow() override {
    ++initCount;
    rootAtInit = m_pm.GetRoot();
  }
  void OnClick(TNotifyUI& msg) override {
    clicks.push_back(msg.sender != nullptr ? msg.sender->GetName().GetData() : L"?");
    WindowImplBase::OnClick(msg);
  }
  void OnSpecial(TNotifyUI&) { specials.push_back(L"special"); }
  void OnFinalMessage(HWND hwnd) override {
    WindowImplBase::OnFinalMessage(hwnd);
    ++finalCount;
  }
  CPaintManagerUI& pm() { return m_pm; }
  HWND Open(HWND owner = nullptr, DWORD style = WS_OVERLAPPEDWINDOW) {
    return Create(owner, L"ZQUI window test", style | WS_CLIPCHILDREN, 0, 40, 40, 200, 200);
  }
  // Shows the window and lets it lay out and paint.
  void ShowAndPaint() {
    ::ShowWindow(GetHWND(), SW_SHOWNOACTIVATE);
    Paint();
  }
  // Lets the window lay out and paint in its present show state.
  void Paint() {
    ::InvalidateRect(GetHWND(), nullptr, FALSE);
    ::UpdateWindow(GetHWND());
    Pump(50);
  }
  LRESULT HitTest(int x, int y) {
    POINT pt = {x, y};
    ::ClientToScreen(GetHWND(), &pt);
    return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
  }
  POINT CentreOf(const wchar_t* name) {
    CControlUI* control = m_pm.FindControl(name);
    RECT rc = control != nullptr ? control->GetPos() : RECT{0, 0, 0, 0};
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  void PostClick(POINT pt) {
    PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  }

  int initCount = 0;
  int finalCount = 0;
  CControlUI* rootAtInit = nullptr;
  std::vector<std::wstring> clicks;
  std::vector<std::wstring> specials;

  DUI_DECLARE_MESSAGE_MAP()

 private:
  CDuiString m_skin;
};

DUI_BEGIN_MESSAGE_MAP(TestWindow, WindowImplBase)
DUI_ON_CLICK_CTRNAME(L"special", TestWindow::OnSpecial)
DUI_END_MESSAGE_MAP()

SIZE WindowSize(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

class WindowImplBaseTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (IsWindow(window.GetHWND())) DestroyWindow(window.GetHWND());
    Pump(10);
  }
  TestWindow window{kSkin};
};

TEST_F(WindowImplBaseTest, CreationBuildsTheSkinBindsTheObjectAndDropsTheCaption) {
  HWND hwnd = window.Open();
  ASSERT_NE(hwnd, nullptr) << "error " << GetLastError();
  EXPECT_EQ(window.GetHWND(), hwnd);
  EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));
  EXPECT_EQ(window.initCount, 1);
  ASSERT_NE(window.rootAtInit, nullptr);
  EXPECT_EQ(window.rootAtInit, window.pm().GetRoot());
  EXPECT_EQ(window.pm().GetPaintWindow(), hwnd);
  LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  EXPECT_EQ(GetClassLongPtrW(hwnd, GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
  EXPECT_EQ(WindowSize(hwnd), test::Size(600, 400));
  // No frame: the client area is the whole window.
  RECT client = {};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client, Rect(0, 0, 600, 400));
  EXPECT_NE(window.pm().FindControl(L"okbtn"), nullptr);
}

TEST_F(WindowImplBaseTest, HitTestingGivesBordersCaptionAndButtons) {
  ASSERT_NE(window.Open(), nullptr);
  window.ShowAndPaint();
  ASSERT_EQ(window.pm().FindControl(L"closebtn")->GetPos(), Rect(570, 0, 600, 40));
  struct Case {
    int x, y;
    LRESULT expected;
  };
  const Case cases[] = {
      {2, 2, HTTOPLEFT},       {300, 2, HTTOP},       {597, 2, HTTOPRIGHT},
      {2, 200, HTLEFT},        {598, 200, HTRIGHT},   {2, 398, HTBOTTOMLEFT},
      {300, 398, HTBOTTOM},    {598, 398, HTBOTTOMRIGHT},
      {100, 20, HTCAPTION},    {450, 20, HTCAPTION},  {520, 20, HTCLIENT},
      {550, 20, HTMAXBUTTON},  {585, 20, HTCLIENT},   {300, 70, HTCLIENT},
      {300, 300, HTCLIENT},    {100, 39, HTCAPTION},  {100, 40, HTCLIENT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(window.HitTest(c.x, c.y), c.expected) << c.x << "," << c.y;
  }
  // A caption whose bottom is negative reaches the bottom of the client area.
  RECT caption = Rect(0, 0, 0, -1);
  window.pm().SetCaptionRect(caption);
  EXPECT_EQ(window.HitTest(300, 300), HTCAPTION);
  EXPECT_EQ(window.HitTest(300, 70), HTCLIENT);
  // Caption margins on the sides are client area.
  caption = Rect(50, 0, 50, 40);
  window.pm().SetCaptionRect(caption);
  EXPECT_EQ(window.HitTest(40, 20), HTCLIENT);
  EXPECT_EQ(window.HitTest(100, 20), HTCAPTION);
}

// Real input through SendInput from another thread while this one runs the system's move loop.
DWORD WINAPI DragWithMouse(LPVOID param) {
  auto* points = static_cast<POINT*>(param);
  auto send = [](DWORD flags, POINT pt) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(pt.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(pt.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    Sleep(30);
  };
  POINT from = points[0];
  POINT to = points[1];
  send(0, from);
  send(MOUSEEVENTF_LEFTDOWN, from);
  for (int i = 1; i <= 5; ++i) {
    send(0, POINT{from.x + (to.x - from.x) * i / 5, from.y + (to.y - from.y) * i / 5});
  }
  send(MOUSEEVENTF_LEFTUP, to);
  return 0;
}

TEST_F(WindowImplBaseTest, DraggingTheCaptionMovesTheWindow) {
  // A popup without a sizing frame, like the installer's window. A sizeable window is handed to
  // the desktop's window manager, which then moves it itself by following the X pointer; input
  // sent with SendInput never reaches that pointer.
  ASSERT_NE(window.Open(nullptr, WS_POPUP), nullptr);
  window.ShowAndPaint();
  RECT before = {};
  GetWindowRect(window.GetHWND(), &before);
  POINT points[2] = {{before.left + 100, before.top + 20}, {before.left + 160, before.top + 60}};
  HANDLE mover = CreateThread(nullptr, 0, DragWithMouse, points, 0, nullptr);
  ASSERT_NE(mover, nullptr);
  PumpUntil(3000, [&] { return WaitForSingleObject(mover, 0) == WAIT_OBJECT_0; });
  Pump(100);
  CloseHandle(mover);
  RECT after = {};
  GetWindowRect(window.GetHWND(), &after);
  EXPECT_EQ(after.left - before.left, 60);
  EXPECT_EQ(after.top - before.top, 40);
  EXPECT_EQ(after.right - after.left, 600);
  EXPECT_TRUE(window.clicks.empty());

  // The same gesture starting on a button is client input: the window stays.
  POINT onButton[2] = {{after.left + 300, after.top + 70}, {after.left + 360, after.top + 110}};
  mover = CreateThread(nullptr, 0, DragWithMouse, onButton, 0, nullptr);
  ASSERT_NE(mover, nullptr);
  PumpUntil(3000, [&] { return WaitForSingleObject(mover, 0) == WAIT_OBJECT_0; });
  Pump(100);
  CloseHandle(mover);
  RECT still = {};
  GetWindowRect(window.GetHWND(), &still);
  EXPECT_EQ(still, after);
}

TEST_F(WindowImplBaseTest, MaximisedWindowsHaveNoResizeBordersAndSwapTheirButtons) {
  ASSERT_NE(window.Open(), nullptr);
  window.ShowAndPaint();
  CControlUI* maxButton = window.pm().FindControl(L"maxbtn");
  CControlUI* restoreButton = window.pm().FindControl(L"restorebtn");
  ASSERT_TRUE(maxButton->IsVisible());
  ASSERT_FALSE(restoreButton->IsVisible());

  window.SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(window.GetHWND()));
  EXPECT_FALSE(maxButton->IsVisible());
  EXPECT_TRUE(restoreButton->IsVisible());
  // Asked at once: without a window manager, Wine lets the X server's view of the window
  // restore it once its events are pumped. The layout is still that of the restored window.
  EXPECT_EQ(window.HitTest(2, 2), HTCAPTION);

  window.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_FALSE(IsZoomed(window.GetHWND()));
  EXPECT_TRUE(maxButton->IsVisible());
  EXPECT_FALSE(restoreButton->IsVisible());
  window.Paint();
  EXPECT_EQ(window.HitTest(2, 2), HTTOPLEFT);
}

TEST_F(WindowImplBaseTest, MinMaxInfoUsesTheSkinLimitsAndTheWorkArea) {
  ASSERT_NE(window.Open(), nullptr);
  MINMAXINFO info = {};
  window.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  EXPECT_EQ(info.ptMinTrackSize.y, 200);
  EXPECT_EQ(info.ptMaxTrackSize.x, 800);
  EXPECT_EQ(info.ptMaxTrackSize.y, 700);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_EQ(info.ptMaxPosition.x, monitor.rcWork.left);
  EXPECT_EQ(info.ptMaxPosition.y, monitor.rcWork.top);
  EXPECT_EQ(info.ptMaxSize.x, monitor.rcWork.right - monitor.rcWork.left);
  EXPECT_EQ(info.ptMaxSize.y, monitor.rcWork.bottom - monitor.rcWork.top);
  // A zero limit falls back to the work area.
  window.pm().SetMaxInfo(0, 500);
  window.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxTrackSize.x, monitor.rcWork.right - monitor.rcWork.left);
  EXPECT_EQ(info.ptMaxTrackSize.y, 500);
}

TEST_F(WindowImplBaseTest, TheWindowRegionIsRounded) {
  ASSERT_NE(window.Open(), nullptr);
  window.ShowAndPaint();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window.GetHWND(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_FALSE(PtInRegion(region, 599, 0));
  EXPECT_TRUE(PtInRegion(region, 5, 5));
  EXPECT_TRUE(PtInRegion(region, 300, 0));
  EXPECT_TRUE(PtInRegion(region, 300, 200));
  DeleteObject(region);
}

TEST_F(WindowImplBaseTest, PostedClicksReachOnClickAndTheMessageMap) {
  ASSERT_NE(window.Open(), nullptr);
  window.ShowAndPaint();
  ASSERT_EQ(window.pm().FindControl(L"okbtn")->GetPos(), Rect(0, 40, 600, 100));
  window.PostClick(window.CentreOf(L"okbtn"));
  PumpUntil(1000, [&] { return !window.clicks.empty(); });
  ASSERT_EQ(window.clicks, std::vector<std::wstring>{L"okbtn"});
  // The derived map's exact entry wins over the base's any-control OnClick.
  window.PostClick(window.CentreOf(L"special"));
  PumpUntil(1000, [&] { return !window.specials.empty(); });
  EXPECT_EQ(window.specials.size(), 1u);
  EXPECT_EQ(window.clicks.size(), 1u);
  // A click on a label is no click.
  window.PostClick(window.CentreOf(L"filler"));
  Pump(50);
  EXPECT_EQ(window.clicks.size(), 1u);
  // "minbtn" minimises through the base class.
  window.PostClick(window.CentreOf(L"minbtn"));
  PumpUntil(1000, [&] { return IsIconic(window.GetHWND()) != FALSE; });
  EXPECT_TRUE(IsIconic(window.GetHWND()));
  EXPECT_EQ(window.clicks.back(), L"minbtn");
}

TEST_F(WindowImplBaseTest, SetDpi144GrowsTheWindowToNineHundredBySixHundred) {
  ASSERT_NE(window.Open(), nullptr);
  window.ShowAndPaint();
  window.pm().SetDPI(144);
  EXPECT_EQ(WindowSize(window.GetHWND()), test::Size(900, 600));
  EXPECT_EQ(window.pm().GetMinInfo(), test::Size(450, 300));
  MINMAXINFO info = {};
  window.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 450);
  EXPECT_EQ(info.ptMaxTrackSize.y, 1050);
  window.ShowAndPaint();
  EXPECT_EQ(window.pm().GetRoot()->GetPos(), Rect(0, 0, 900, 600));
  // The caption and size box scale with the window.
  EXPECT_EQ(window.HitTest(4, 4), HTTOPLEFT);
  EXPECT_EQ(window.HitTest(150, 55), HTCAPTION);
  EXPECT_EQ(window.HitTest(150, 61), HTCLIENT);
}

TEST_F(WindowImplBaseTest, TwoDpiChangesCloseTogetherRescaleOnce) {
  ASSERT_NE(window.Open(), nullptr);
  Sleep(WindowImplBase::kDpiChangeInterval + 20);
  window.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  window.SendMessage(WM_DPICHANGED, MAKEWPARAM(192, 192), 0);
  EXPECT_EQ(window.pm().GetDPIObj()->GetScale(), 150u);
  EXPECT_EQ(WindowSize(window.GetHWND()), test::Size(900, 600));
  Sleep(WindowImplBase::kDpiChangeInterval + 20);
  window.SendMessage(WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
  EXPECT_EQ(window.pm().GetDPIObj()->GetScale(), 100u);
  EXPECT_EQ(WindowSize(window.GetHWND()), test::Size(600, 400));
}

TEST_F(WindowImplBaseTest, CentringPlacesTheWindowInTheMiddleOfTheWorkArea) {
  ASSERT_NE(window.Open(), nullptr);
  window.CenterWindow();
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
  RECT rc = {};
  GetWindowRect(window.GetHWND(), &rc);
  EXPECT_EQ(rc.left, (monitor.rcWork.left + monitor.rcWork.right) / 2 - 300);
  EXPECT_EQ(rc.top, (monitor.rcWork.top + monitor.rcWork.bottom) / 2 - 200);
  EXPECT_EQ(rc.right - rc.left, 600);
}

TEST_F(WindowImplBaseTest, DestroyingUnbindsTheObjectAndCallsOnFinalMessageLast) {
  HWND hwnd = window.Open();
  ASSERT_NE(hwnd, nullptr);
  DestroyWindow(hwnd);
  EXPECT_EQ(window.finalCount, 1);
  EXPECT_EQ(window.GetHWND(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowImplBaseTest, ReturnAndEscapeReachTheDefaultKeyResponse) {
  ASSERT_NE(window.Open(), nullptr);
  IMessageFilterUI& filter = window;
  bool handled = false;
  EXPECT_EQ(filter.MessageHandler(WM_KEYDOWN, VK_ESCAPE, 0, handled), TRUE);
  EXPECT_EQ(filter.MessageHandler(WM_KEYDOWN, VK_RETURN, 0, handled), FALSE);
  EXPECT_EQ(filter.MessageHandler(WM_KEYUP, VK_ESCAPE, 0, handled), 0);
  EXPECT_FALSE(handled);
}

// A window of its own class on the plain wrapper: every message reaches HandleMessage.
class PlainWindow : public CWindowWnd {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ZquiPlainWindow"; }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    ++messages;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
  int messages = 0;
};

// A superclass of the system's edit control: its own class name, the edit's behaviour.
class SuperEdit : public CWindowWnd {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ZquiSuperEdit"; }
  const wchar_t* GetSuperClassName() const override { return L"EDIT"; }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SETTEXT) ++texts;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
  int texts = 0;
};

TEST(WindowWndTest, SuperclassesAndForeignWindowsOfTheClass) {
  SuperEdit edit;
  HWND hwnd = edit.Create(nullptr, L"start", WS_POPUP, 0, 0, 0, 100, 20);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetPropW(hwnd, L"WndX"), static_cast<HANDLE>(&edit));
  SetWindowTextW(hwnd, L"typed");
  EXPECT_EQ(edit.texts, 1);
  wchar_t text[16] = {0};
  GetWindowTextW(hwnd, text, 16);
  EXPECT_STREQ(text, L"typed");
  // The edit control's own messages work through the superclass.
  EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 5);
  DestroyWindow(hwnd);
  EXPECT_EQ(edit.GetHWND(), nullptr);
  EXPECT_EQ(GetPropW(hwnd, L"WndX"), nullptr);

  // A window of a wrapper's class made without its object is left to the default procedure.
  PlainWindow plain;
  ASSERT_TRUE(plain.RegisterWindowClass());
  EXPECT_TRUE(plain.RegisterWindowClass());
  HWND foreign = CreateWindowExW(0, L"ZquiPlainWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(foreign, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(foreign, GWLP_USERDATA), 0);
  DestroyWindow(foreign);
  EXPECT_EQ(plain.messages, 0);
}

TEST_F(WindowImplBaseTest, ResizeClientKeepsThePositionAndSetsTheClientSize) {
  ASSERT_NE(window.Open(), nullptr);
  RECT before = {};
  GetWindowRect(window.GetHWND(), &before);
  window.ResizeClient(500, -1);
  RECT client = {};
  GetClientRect(window.GetHWND(), &client);
  EXPECT_EQ(client, Rect(0, 0, 500, 400));
  RECT after = {};
  GetWindowRect(window.GetHWND(), &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);

  // A plain window with a system frame gets the same client size.
  PlainWindow plain;
  ASSERT_NE(plain.Create(nullptr, L"plain", WS_OVERLAPPEDWINDOW, 0, 10, 10, 100, 100), nullptr);
  EXPECT_GT(plain.messages, 0);
  plain.ResizeClient(300, 200);
  GetClientRect(plain.GetHWND(), &client);
  EXPECT_EQ(client, Rect(0, 0, 300, 200));
  DestroyWindow(plain.GetHWND());
}

TEST_F(WindowImplBaseTest, AModalWindowReturnsTheCloseResultAndReleasesItsOwner) {
  ASSERT_NE(window.Open(), nullptr);
  TestWindow dialog(kSkin);
  ASSERT_NE(dialog.Create(window.GetHWND(), L"dialog", WS_POPUP, 0, 0, 0, 0, 0), nullptr);
  dialog.Close(7);
  EXPECT_EQ(dialog.ShowModal(), 7u);
  EXPECT_FALSE(IsWindow(dialog.GetHWND()));
  EXPECT_EQ(dialog.finalCount, 1);
  EXPECT_TRUE(IsWindowEnabled(window.GetHWND()));

  // A quit message ends the modal loop and is posted again for the outer loop.
  TestWindow second(kSkin);
  ASSERT_NE(second.Create(window.GetHWND(), L"dialog", WS_POPUP, 0, 0, 0, 0, 0), nullptr);
  PostQuitMessage(3);
  EXPECT_EQ(second.ShowModal(), 0u);
  EXPECT_TRUE(IsWindowEnabled(window.GetHWND()));
  MSG msg = {};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  DestroyWindow(second.GetHWND());
}

// Counts the text changes of a subclassed system control.
class TextCounter : public CWindowWnd {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ZquiTextCounter"; }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SETTEXT) ++texts;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
  }
  int texts = 0;
};

TEST_F(WindowImplBaseTest, ASubclassedControlKeepsItsOwnBehaviour) {
  ASSERT_NE(window.Open(), nullptr);
  HWND edit = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 50, 20, window.GetHWND(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  TextCounter counter;
  ASSERT_EQ(counter.Subclass(edit), edit);
  SetWindowTextW(edit, L"one");
  EXPECT_EQ(counter.texts, 1);
  wchar_t text[16] = {0};
  GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"one");
  counter.Unsubclass();
  SetWindowTextW(edit, L"two");
  EXPECT_EQ(counter.texts, 1);
  GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"two");
  DestroyWindow(edit);
}

TEST_F(WindowImplBaseTest, ASecondaryWindowWithoutItsSkinFailsItsCreation) {
  ASSERT_NE(window.Open(), nullptr);
  TestWindow popup(L"no_such_tooltip_skin.xml");
  HWND hwnd = popup.Create(window.GetHWND(), L"popup", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 10, 10);
  EXPECT_EQ(hwnd, nullptr);
  EXPECT_EQ(popup.GetHWND(), nullptr);
  EXPECT_EQ(popup.initCount, 0);
  EXPECT_EQ(popup.finalCount, 1);
  // The main window lives on.
  EXPECT_TRUE(IsWindow(window.GetHWND()));
}

// Closes the skin-failure message box once it shows; ends the process with 3 if its text is
// not the expected one (the death test then sees the wrong exit code).
DWORD WINAPI DismissSkinFailureBox(LPVOID) {
  for (int i = 0; i < 400; ++i) {
    HWND box = FindWindowW(nullptr, WindowImplBase::kSkinLoadFailedCaption);
    if (box != nullptr) {
      wchar_t text[256] = {0};
      if (GetDlgItemTextW(box, 0xFFFF, text, 256) == 0) GetDlgItemTextW(box, 100, text, 256);
      std::wstring expected = std::wstring(WindowImplBase::kSkinLoadFailedText) + L"missing_main.xml";
      if (expected != text) ExitProcess(3);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(25);
  }
  ExitProcess(4);
}

TEST(WindowImplBaseDeathTest, TheMainWindowWithoutItsSkinShowsTheBoxAndEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        HANDLE dismisser = CreateThread(nullptr, 0, DismissSkinFailureBox, nullptr, 0, nullptr);
        TestWindow main(L"missing_main.xml");
        main.Open();
        CloseHandle(dismisser);
        ExitProcess(5);
      },
      ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace ZQUI
