// WM_PAINT lays the tree out and paints it into the 32-bit back buffer, then copies the painted
// rectangle to the window; layered windows get per-pixel alpha through UpdateLayeredWindow.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/paint/paint_window.h"

namespace ZQUI {
namespace {

using test::BackBufferPixel;
using test::BackBufferSize;
using test::PaintWindow;

// Paints its rectangle with plain GDI, which leaves the alpha byte at 0.
class GdiFill : public CControlUI {
 public:
  explicit GdiFill(COLORREF color) : m_color(color) {}
  void PaintBkColor(HDC hDC) override {
    HBRUSH brush = CreateSolidBrush(m_color);
    FillRect(hDC, &m_rcItem, brush);
    DeleteObject(brush);
  }

 private:
  COLORREF m_color;
};

class Recorder : public INotifyUI {
 public:
  explicit Recorder(CPaintManagerUI* manager) : m_manager(manager) {}
  void Notify(TNotifyUI& msg) override {
    names.push_back(msg.typeName.GetData());
    painting.push_back(m_manager->IsPainting());
    bufferExisted.push_back(m_manager->GetOffscreenBitmap() != nullptr);
  }
  std::vector<std::wstring> names;
  std::vector<bool> painting;
  std::vector<bool> bufferExisted;

 private:
  CPaintManagerUI* m_manager;
};

// Root (dark blue) with a red band of 100 pixels on top and a green one below it.
struct ColourTree {
  ColourTree() {
    root = new CVerticalLayoutUI();
    root->SetBkColor(0xFF102030);
    red = new CControlUI();
    red->SetFixedHeight(100);
    red->SetBkColor(0xFFFF0000);
    green = new CControlUI();
    green->SetFixedHeight(100);
    green->SetBkColor(0xFF00FF00);
    root->Add(red);
    root->Add(green);
  }
  CVerticalLayoutUI* root;
  CControlUI* red;
  CControlUI* green;
};

DWORD Rgb(DWORD argb) { return argb & 0x00FFFFFF; }

TEST(BackBuffer, FirstPaintLaysOutSendsWindowInitFirstAndWindowSizeAfterwards) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  CPaintManagerUI& manager = window.manager();
  Recorder recorder(&manager);
  manager.AddNotifier(&recorder);
  ASSERT_TRUE(window.Attach(tree.root));
  EXPECT_TRUE(manager.IsUpdateNeeded());
  InvalidateRect(window.hwnd(), nullptr, FALSE);
  UpdateWindow(window.hwnd());
  ASSERT_EQ(recorder.names, (std::vector<std::wstring>{L"windowinit"}));
  EXPECT_TRUE(recorder.painting[0]);
  EXPECT_FALSE(recorder.bufferExisted[0]);  // before anything was drawn
  EXPECT_FALSE(manager.IsPainting());
  EXPECT_FALSE(manager.IsUpdateNeeded());
  RECT client = {0, 0, 600, 400};
  EXPECT_TRUE(EqualRect(&tree.root->GetPos(), &client));
  window.Pump();
  EXPECT_EQ(recorder.names, (std::vector<std::wstring>{L"windowinit", L"windowsize"}));
  EXPECT_FALSE(recorder.painting[1]);
  // A repaint without layout sends nothing.
  InvalidateRect(window.hwnd(), nullptr, FALSE);
  window.PaintNow();
  EXPECT_EQ(recorder.names.size(), 2u);
  manager.RemoveNotifier(&recorder);
}

TEST(BackBuffer, ControlColoursLandInTheBufferAndOnTheWindow) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  CPaintManagerUI& manager = window.manager();
  window.Attach(tree.root);
  window.PaintNow();
  SIZE size = BackBufferSize(manager);
  EXPECT_EQ(size.cx, 600);
  EXPECT_EQ(size.cy, 400);
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 10, 10)), 0xFF0000u);
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 599, 99)), 0xFF0000u);
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 0, 100)), 0x00FF00u);
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 300, 350)), 0x102030u);
  HDC dc = GetDC(window.hwnd());
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 300, 150), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 300, 350), RGB(0x10, 0x20, 0x30));
  ReleaseDC(window.hwnd(), dc);
}

TEST(BackBuffer, RepaintIsClippedToTheInvalidRectangle) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  CPaintManagerUI& manager = window.manager();
  window.Attach(tree.root);
  window.PaintNow();
  // Mark a pixel of the green band in the buffer: a repaint of the red band must not touch it.
  BYTE* bits = manager.GetOffscreenBits();
  ASSERT_NE(bits, nullptr);
  GdiFlush();
  DWORD* marker = reinterpret_cast<DWORD*>(bits) + (400 - 1 - 150) * 600 + 20;
  *marker = 0xFF0000FFu;
  tree.red->SetBkColor(0xFFFFFF00);  // invalidates the red band only
  window.PaintNow();
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 10, 10)), 0xFFFF00u);
  EXPECT_EQ(BackBufferPixel(manager, 20, 150), 0xFF0000FFu);
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 21, 150)), 0x00FF00u);
}

TEST(BackBuffer, BufferFollowsTheClientSizeEvenWithoutAFullLayout) {
  PaintWindow window(300, 200);
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  CPaintManagerUI& manager = window.manager();
  window.Attach(tree.root);
  window.PaintNow();
  EXPECT_EQ(BackBufferSize(manager).cx, 300);
  // The window grows while the manager never hears of it, so no layout is pending.
  window.swallow.push_back(WM_SIZE);
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  manager.SetLayered(true);  // the layered pixel loops walk the whole client area
  window.PaintNow();
  SIZE size = BackBufferSize(manager);
  EXPECT_EQ(size.cx, 600);
  EXPECT_EQ(size.cy, 400);
}

TEST(BackBuffer, WithoutATreeTheWindowIsPaintedBlack) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  HDC dc = GetDC(window.hwnd());
  RECT rc = {0, 0, 600, 400};
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ASSERT_EQ(GetPixel(dc, 50, 50), RGB(255, 255, 255));
  InvalidateRect(window.hwnd(), nullptr, FALSE);
  window.PaintNow();
  EXPECT_EQ(GetPixel(dc, 50, 50), RGB(0, 0, 0));
  ReleaseDC(window.hwnd(), dc);
  EXPECT_EQ(window.manager().GetOffscreenBitmap(), nullptr);
}

TEST(BackBuffer, PaintWithoutAnUpdateRegionDoesNothingButIsHandled) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  CPaintManagerUI& manager = window.manager();
  manager.AttachDialog(tree.root);  // not invalidated
  ValidateRect(window.hwnd(), nullptr);
  LRESULT result = 0;
  EXPECT_TRUE(manager.MessageHandler(WM_PAINT, 0, 0, result));
  EXPECT_TRUE(manager.IsUpdateNeeded());  // no layout happened
  EXPECT_EQ(manager.GetOffscreenBitmap(), nullptr);
}

TEST(BackBuffer, UpdateRectanglesAreOutlinedWhenAsked) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  CPaintManagerUI& manager = window.manager();
  window.Attach(tree.root);
  window.PaintNow();
  manager.SetShowUpdateRect(true);
  EXPECT_TRUE(manager.IsShowUpdateRect());
  RECT part = {100, 150, 200, 180};
  manager.Invalidate(part);
  window.PaintNow();
  HDC dc = GetDC(window.hwnd());
  EXPECT_EQ(GetPixel(dc, 100, 160), RGB(220, 0, 0));  // the outline's left edge
  EXPECT_EQ(GetPixel(dc, 150, 165), RGB(0, 255, 0));  // inside: the control's colour
  ReleaseDC(window.hwnd(), dc);
  EXPECT_EQ(Rgb(BackBufferPixel(manager, 100, 160)), 0x00FF00u);  // the outline is not in the buffer
}

TEST(BackBuffer, InvalidateClampsTheCallersRectangle) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  RECT rc = {-5, -7, 20, 30};
  window.manager().Invalidate(rc);
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.top, 0);
  EXPECT_EQ(rc.right, 20);
  RECT inverted = {50, 50, 10, 10};
  window.manager().Invalidate(inverted);
  EXPECT_EQ(inverted.right, 50);
  EXPECT_EQ(inverted.bottom, 50);
}

TEST(BackBuffer, PrintClientPaintsTheTreeIntoTheCallersDC) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ColourTree tree;
  window.Attach(tree.root);
  window.PaintNow();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 600;
  info.bmiHeader.biHeight = -400;  // top-down, for easy indexing
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(window.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  auto* pixels = static_cast<DWORD*>(bits);
  EXPECT_EQ(Rgb(pixels[50 * 600 + 10]), 0xFF0000u);
  EXPECT_EQ(Rgb(pixels[150 * 600 + 10]), 0x00FF00u);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(BackBuffer, MinAndMaxTrackSizesComeFromTheStoredValues) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  CPaintManagerUI& manager = window.manager();
  manager.SetMinInfo(200, 100);
  manager.SetMaxInfo(800, 0);
  MINMAXINFO info = {};
  info.ptMaxTrackSize = {5000, 4000};
  info.ptMaxSize = {5000, 4000};
  LRESULT result = 0;
  EXPECT_FALSE(manager.MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
  EXPECT_EQ(info.ptMinTrackSize.x, 200);
  EXPECT_EQ(info.ptMinTrackSize.y, 100);
  EXPECT_EQ(info.ptMaxTrackSize.x, 800);
  EXPECT_EQ(info.ptMaxSize.x, 800);
  EXPECT_EQ(info.ptMaxTrackSize.y, 4000);  // 0 leaves the system's value
  manager.SetInitSize(320, 240);
  RECT rc = {};
  GetWindowRect(window.hwnd(), &rc);
  EXPECT_EQ(rc.right - rc.left, 320);  // no tree yet: the window takes the size
  EXPECT_EQ(manager.GetInitSize().cy, 240);
}

TEST(LayeredWindow, GdiDrawingBecomesOpaqueAndUntouchedPixelsStayTransparent) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  auto* root = new CVerticalLayoutUI();
  auto* band = new GdiFill(RGB(0x20, 0x40, 0x60));
  band->SetFixedHeight(100);
  root->Add(band);
  CPaintManagerUI& manager = window.manager();
  window.Attach(root);
  manager.SetLayered(true);
  EXPECT_TRUE(manager.IsLayered());
  window.PaintNow();
  EXPECT_NE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(BackBufferPixel(manager, 10, 10), 0xFF204060u);
  EXPECT_EQ(BackBufferPixel(manager, 10, 300), 0u);
  // Layered windows have no frame to paint or activate.
  LRESULT result = 5;
  EXPECT_TRUE(manager.MessageHandler(WM_NCPAINT, 0, 0, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(manager.MessageHandler(WM_NCACTIVATE, 0, 0, result));
  EXPECT_EQ(result, 1);
}

// A 600 x 400 premultiplied mask: opaque on the left third, half transparent in the middle,
// fully transparent on the right.
HBITMAP MakeThirdsMask() {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 600;
  info.bmiHeader.biHeight = -400;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 600; ++x) pixels[y * 600 + x] = x < 200 ? 0xFFFFFFFFu : x < 400 ? 0x80808080u : 0u;
  }
  return bitmap;
}

TEST(LayeredWindow, LayeredImageAlphaMasksAndPremultipliesWhatTheControlsDrew) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  auto* root = new CVerticalLayoutUI();
  root->SetBkColor(0xFF804020);
  CPaintManagerUI& manager = window.manager();
  window.Attach(root);
  HBITMAP mask = MakeThirdsMask();
  ASSERT_NE(mask, nullptr);
  ASSERT_NE(manager.AddImage(L"layered_mask.png", mask, 600, 400, true), nullptr);
  manager.SetLayered(true);
  manager.SetLayeredImage(L"layered_mask.png");
  EXPECT_STREQ(manager.GetLayeredImage(), L"layered_mask.png");
  window.PaintNow();
  EXPECT_EQ(BackBufferPixel(manager, 100, 200), 0xFF804020u);
  EXPECT_EQ(BackBufferPixel(manager, 300, 200), 0x80402010u);  // each channel * 128 / 255
  EXPECT_EQ(BackBufferPixel(manager, 500, 200), 0u);
  // A repaint reuses the background, and the controls' new colour is masked the same way.
  root->SetBkColor(0xFFFFFFFF);
  window.PaintNow();
  EXPECT_EQ(BackBufferPixel(manager, 100, 10), 0xFFFFFFFFu);
  EXPECT_EQ(BackBufferPixel(manager, 300, 10), 0x80808080u);
  EXPECT_EQ(BackBufferPixel(manager, 599, 399), 0u);
}

TEST(LayeredWindow, InsetMovesTheRootInside) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  auto* root = new CVerticalLayoutUI();
  root->SetBkColor(0xFF808080);
  CPaintManagerUI& manager = window.manager();
  window.Attach(root);
  manager.SetLayered(true);
  RECT inset = {10, 20, 30, 40};
  manager.SetLayeredInset(inset);
  window.PaintNow();
  RECT expected = {10, 20, 570, 360};
  EXPECT_TRUE(EqualRect(&root->GetPos(), &expected));
  EXPECT_EQ(BackBufferPixel(manager, 5, 5), 0u);
  EXPECT_EQ(BackBufferPixel(manager, 15, 25) >> 24, 0xFFu);
}

TEST(LayeredWindow, HostedChildWindowThatWasDestroyedIsDroppedAtTheNextPaint) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  auto* root = new CVerticalLayoutUI();
  auto* host = new CControlUI();
  root->Add(host);
  CPaintManagerUI& manager = window.manager();
  window.Attach(root);
  manager.SetLayered(true);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window.hwnd(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(manager.AddNativeWindow(host, child));
  window.PaintNow();
  EXPECT_EQ(manager.GetNativeWindowCount(), 1);
  DestroyWindow(child);
  manager.Invalidate();
  window.PaintNow();
  EXPECT_EQ(manager.GetNativeWindowCount(), 0);
}

TEST(WindowOpacity, OpacityOnANormalWindowMakesItLayeredWithConstantAlpha) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  window.manager().SetOpacity(128);
  EXPECT_EQ(window.manager().GetOpacity(), 128);
  EXPECT_NE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window.hwnd(), &key, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_NE(flags & LWA_ALPHA, 0u);
  EXPECT_FALSE(window.manager().IsLayered());  // constant alpha only, no per-pixel composition
}

}  // namespace
}  // namespace ZQUI
