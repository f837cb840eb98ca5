// CShadowUI against real top-level windows: the shadow window's place, styles and owner, the
// pixels handed to UpdateLayeredWindow in image and computed mode, the range checks of the
// settings, and how the shadow follows its window through moves, hides, minimise and maximise.
// Xvfb has no compositor, so pixels are checked in the bitmap itself, never on screen.
#include <windows.h>

#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "ui/control/shadow.h"
#include "ui/core/paint_manager.h"
#include "ui/core/skin_values.h"

namespace ZQUI {
namespace {

static_assert(!std::is_copy_constructible<CShadowUI>::value, "a shadow owns window handles");
static_assert(!std::is_copy_assignable<CShadowUI>::value, "a shadow owns window handles");

std::wstring SkinArtDir() {
  std::wstring dir = Z_SKIN_ART_DIR;
  for (wchar_t& ch : dir) {
    if (ch == L'/') ch = L'\\';
  }
  return dir;
}

// Handles every message already queued, a bounded number of times.
void Pump() {
  MSG msg;
  for (int i = 0; i < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

BYTE Alpha(uint32_t pixel) { return static_cast<BYTE>(pixel >> 24); }

RECT WindowRectOf(HWND hwnd) {
  RECT rc = {0, 0, 0, 0};
  GetWindowRect(hwnd, &rc);
  return rc;
}

// A borderless top-level window like the installer's, with a paint manager bound to it.
class SkinnedWindow {
 public:
  SkinnedWindow(int x, int y, int width, int height, bool visible = true) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXW wc = {};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = L"ShadowTestWindow";
      registered = RegisterClassExW(&wc) != 0;
    }
    m_hwnd = CreateWindowExW(0, L"ShadowTestWindow", L"shadow test", WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                             height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(m_hwnd, nullptr) << "CreateWindowExW failed: " << GetLastError();
    m_manager.Init(m_hwnd);
    if (visible) {
      ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
      Pump();
    }
  }
  ~SkinnedWindow() {
    if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
    Pump();
  }
  SkinnedWindow(const SkinnedWindow&) = delete;
  SkinnedWindow& operator=(const SkinnedWindow&) = delete;

  HWND hwnd() const { return m_hwnd; }
  CPaintManagerUI& manager() { return m_manager; }

 private:
  HWND m_hwnd = nullptr;
  CPaintManagerUI m_manager;
};

class ShadowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CPaintManagerUI::SetResourcePath(SkinArtDir().c_str()); }

  // The installer skin's settings: shadow.png with 25-pixel corners, 25 pixels around the window.
  static void UseInstallerSkin(CShadowUI& shadow) {
    shadow.ShowShadow(true);
    ASSERT_TRUE(shadow.SetImage(L"shadow.png"));
    ASSERT_TRUE(shadow.SetShadowCorner(RECT{25, 25, 25, 25}));
    ASSERT_TRUE(shadow.SetSize(25));
  }
};

TEST_F(ShadowTest, SettersRefuseValuesOutOfRangeAndKeepThePreviousOnes) {
  CShadowUI shadow;
  EXPECT_EQ(shadow.GetSize(), 0);
  EXPECT_EQ(shadow.GetSharpness(), 5u);
  EXPECT_EQ(shadow.GetDarkness(), 150u);

  EXPECT_TRUE(shadow.SetSize(25));
  EXPECT_FALSE(shadow.SetSize(40));
  EXPECT_FALSE(shadow.SetSize(-36));
  EXPECT_EQ(shadow.GetSize(), 25);
  EXPECT_TRUE(shadow.SetSize(-35));
  EXPECT_EQ(shadow.GetSize(), -35);

  EXPECT_FALSE(shadow.SetDarkness(300));
  EXPECT_EQ(shadow.GetDarkness(), 150u);
  EXPECT_TRUE(shadow.SetDarkness(255));
  EXPECT_EQ(shadow.GetDarkness(), 255u);

  EXPECT_FALSE(shadow.SetSharpness(36));
  EXPECT_EQ(shadow.GetSharpness(), 5u);

  EXPECT_TRUE(shadow.SetPosition(3, -4));
  EXPECT_FALSE(shadow.SetPosition(5, 36));
  EXPECT_FALSE(shadow.SetPosition(-36, 0));
  EXPECT_EQ(shadow.GetPosition().x, 3);
  EXPECT_EQ(shadow.GetPosition().y, -4);

  EXPECT_FALSE(shadow.SetShadowCorner(RECT{1, -1, 1, 1}));
  EXPECT_TRUE(shadow.SetShadowCorner(RECT{1, 2, 3, 4}));
  EXPECT_EQ(shadow.GetShadowCorner().bottom, 4);

  EXPECT_FALSE(shadow.IsImageMode());
  EXPECT_FALSE(shadow.SetImage(nullptr));
  EXPECT_FALSE(shadow.IsImageMode());
  EXPECT_TRUE(shadow.SetImage(L"shadow.png"));
  EXPECT_TRUE(shadow.IsImageMode());
}

TEST_F(ShadowTest, CopyShadowCarriesTheSettingsOfEachMode) {
  CShadowUI image;
  UseInstallerSkin(image);
  CShadowUI target;
  EXPECT_TRUE(image.CopyShadow(&target));
  EXPECT_TRUE(target.IsImageMode());
  EXPECT_EQ(std::wstring(target.GetImage().GetData()), L"shadow.png");
  EXPECT_EQ(target.GetShadowCorner().left, 25);
  EXPECT_EQ(target.GetSize(), 25);
  EXPECT_TRUE(target.IsShowShadow());

  CShadowUI computed;
  computed.SetSize(-7);
  computed.SetSharpness(12);
  computed.SetDarkness(90);
  computed.SetColor(RGB(1, 2, 3));
  computed.SetPosition(4, 5);
  CShadowUI other;
  EXPECT_TRUE(computed.CopyShadow(&other));
  EXPECT_FALSE(other.IsImageMode());
  EXPECT_EQ(other.GetSize(), -7);
  EXPECT_EQ(other.GetSharpness(), 12u);
  EXPECT_EQ(other.GetDarkness(), 90u);
  EXPECT_EQ(other.GetColor(), RGB(1, 2, 3));
  EXPECT_EQ(other.GetPosition().y, 5);
  EXPECT_FALSE(other.IsShowShadow());
}

TEST_F(ShadowTest, InstallerWindowGetsALayeredClickThroughShadowAroundIt) {
  SkinnedWindow window(100, 100, 600, 400);
  CShadowUI shadow;
  UseInstallerSkin(shadow);
  shadow.Create(&window.manager());
  HWND hwnd = shadow.GetShadowWindow();
  ASSERT_NE(hwnd, nullptr);
  Pump();

  wchar_t className[64] = {0};
  GetClassNameW(hwnd, className, static_cast<int>(sizeof(className) / sizeof(className[0])));
  EXPECT_EQ(std::wstring(className), L"DrellShadowWnd");
  LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_NE(exStyle & WS_EX_LAYERED, 0);
  EXPECT_NE(exStyle & WS_EX_TRANSPARENT, 0);
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), window.hwnd());
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(shadow.GetStatus(), CShadowUI::kStatusEnabled | CShadowUI::kStatusShown | CShadowUI::kStatusParentShown);

  RECT rc = WindowRectOf(hwnd);
  EXPECT_EQ(rc.left, 75);
  EXPECT_EQ(rc.top, 75);
  EXPECT_EQ(rc.right - rc.left, 650);
  EXPECT_EQ(rc.bottom - rc.top, 450);

  // The band around the window belongs to the windows below: the shadow takes no mouse input.
  POINT inBand = {85, 300};
  EXPECT_NE(WindowFromPoint(inBand), hwnd);
  EXPECT_EQ(CShadowUI::GetShadowMap().count(window.hwnd()), 1u);
}

TEST_F(ShadowTest, ImageShadowBitmapHasTheImageCornersAndAnEmptyMiddle) {
  SkinnedWindow window(100, 100, 600, 400);
  CShadowUI shadow;
  UseInstallerSkin(shadow);
  shadow.Create(&window.manager());
  CShadowBitmap bitmap;
  ASSERT_TRUE(shadow.RenderShadow(window.hwnd(), bitmap));
  ASSERT_EQ(bitmap.GetWidth(), 650);
  ASSERT_EQ(bitmap.GetHeight(), 450);

  // Inner edge of each 25-pixel corner: the image is darkest next to the window.
  const POINT innerCorners[] = {{24, 24}, {625, 24}, {24, 425}, {625, 425}};
  for (POINT pt : innerCorners) {
    EXPECT_GT(Alpha(bitmap.PixelAt(pt.x, pt.y)), 60) << pt.x << "," << pt.y;
  }
  // Outer tip of each corner: nearly clear.
  const POINT outerCorners[] = {{0, 0}, {649, 0}, {0, 449}, {649, 449}};
  for (POINT pt : outerCorners) {
    EXPECT_LT(Alpha(bitmap.PixelAt(pt.x, pt.y)), 8) << pt.x << "," << pt.y;
  }
  // Edges stretched along the window's sides, the same all the way along.
  EXPECT_GT(Alpha(bitmap.PixelAt(325, 24)), 60);
  EXPECT_EQ(Alpha(bitmap.PixelAt(100, 24)), Alpha(bitmap.PixelAt(550, 24)));
  EXPECT_GT(Alpha(bitmap.PixelAt(24, 225)), 60);
  EXPECT_GT(Alpha(bitmap.PixelAt(625, 225)), 60);
  EXPECT_GT(Alpha(bitmap.PixelAt(325, 425)), 60);
  // Fades outwards across the band.
  EXPECT_GT(Alpha(bitmap.PixelAt(325, 20)), Alpha(bitmap.PixelAt(325, 5)));
  // The middle slice is not drawn: everything under the window stays fully transparent.
  const POINT middle[] = {{25, 25}, {325, 225}, {624, 424}, {25, 424}, {624, 25}, {300, 26}};
  for (POINT pt : middle) {
    EXPECT_EQ(bitmap.PixelAt(pt.x, pt.y), 0u) << pt.x << "," << pt.y;
  }
  // Premultiplied: no colour channel exceeds the alpha.
  uint32_t edge = bitmap.PixelAt(325, 24);
  EXPECT_LE((edge >> 16) & 0xFF, edge >> 24);
  EXPECT_LE(edge & 0xFF, edge >> 24);
}

TEST_F(ShadowTest, ComputedShadowSurroundsTheWindowAndLeavesItsAreaClear) {
  SkinnedWindow window(100, 100, 200, 120);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(10);
  shadow.SetSharpness(5);
  shadow.SetDarkness(150);
  shadow.SetColor(0x000000FF);  // blue, read as 0x00RRGGBB
  CShadowBitmap bitmap;
  ASSERT_TRUE(shadow.RenderShadow(window.hwnd(), bitmap));
  ASSERT_EQ(bitmap.GetWidth(), 220);
  ASSERT_EQ(bitmap.GetHeight(), 140);

  // Under the window (shifted by the size): transparent.
  EXPECT_EQ(bitmap.PixelAt(110, 70), 0u);
  EXPECT_EQ(bitmap.PixelAt(10, 10), 0u);
  EXPECT_EQ(bitmap.PixelAt(209, 129), 0u);
  // Around it: the shadow, strongest next to the window and fading outwards.
  uint32_t inner = bitmap.PixelAt(110, 8);
  uint32_t outer = bitmap.PixelAt(110, 1);
  EXPECT_GT(Alpha(inner), 0);
  EXPECT_GT(Alpha(inner), Alpha(outer));
  EXPECT_LE(Alpha(inner), 150);
  EXPECT_GT(Alpha(bitmap.PixelAt(5, 70)), 0);
  EXPECT_GT(Alpha(bitmap.PixelAt(214, 70)), 0);
  EXPECT_GT(Alpha(bitmap.PixelAt(110, 134)), 0);
  // Blue premultiplied by alpha; no red or green.
  EXPECT_EQ((inner >> 16) & 0xFF, 0u);
  EXPECT_EQ((inner >> 8) & 0xFF, 0u);
  EXPECT_EQ(inner & 0xFF, Alpha(inner));
}

TEST_F(ShadowTest, SkinShadowColourKeepsEachChannelInItsPlace) {
  // shadowcolor="#FF0000" is red, "#00FF00" green, "#0000FF" blue; each channel is premultiplied by
  // the pixel's alpha (darkness 255 gives the colour itself at the strongest pixels).
  SkinnedWindow window(100, 100, 200, 120);
  const struct {
    const wchar_t* skin_colour;
    int shift;
  } cases[] = {{L"#FF0000", 16}, {L"#00FF00", 8}, {L"#0000FF", 0}, {L"#806040", -1}};
  for (const auto& c : cases) {
    CShadowUI shadow;
    shadow.ShowShadow(true);
    shadow.SetSize(10);
    shadow.SetSharpness(5);
    shadow.SetDarkness(255);
    shadow.SetColor(ParseSkinColor(c.skin_colour, false));
    CShadowBitmap bitmap;
    ASSERT_TRUE(shadow.RenderShadow(window.hwnd(), bitmap));
    const uint32_t pixel = bitmap.PixelAt(110, 8);
    const uint32_t a = Alpha(pixel);
    ASSERT_GT(a, 0u) << c.skin_colour;
    if (c.shift >= 0) {
      for (int shift : {16, 8, 0}) {
        EXPECT_EQ((pixel >> shift) & 0xFF, shift == c.shift ? a : 0u) << c.skin_colour << " channel at bit " << shift;
      }
    } else {
      EXPECT_EQ((pixel >> 16) & 0xFF, 0x80 * a / 255) << c.skin_colour;
      EXPECT_EQ((pixel >> 8) & 0xFF, 0x60 * a / 255) << c.skin_colour;
      EXPECT_EQ(pixel & 0xFF, 0x40 * a / 255) << c.skin_colour;
    }
  }
}

TEST_F(ShadowTest, ComputedShadowFollowsARoundedWindowRegion) {
  SkinnedWindow square(100, 100, 200, 200);
  SkinnedWindow rounded(350, 100, 200, 200);
  SetWindowRgn(rounded.hwnd(), CreateRoundRectRgn(0, 0, 201, 201, 160, 160), TRUE);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  shadow.SetSize(10);
  shadow.SetSharpness(5);
  CShadowBitmap squareBits;
  CShadowBitmap roundedBits;
  ASSERT_TRUE(shadow.RenderShadow(square.hwnd(), squareBits));
  ASSERT_TRUE(shadow.RenderShadow(rounded.hwnd(), roundedBits));
  // (20, 20) of the window lies inside the square window but just outside the rounded corner.
  EXPECT_EQ(squareBits.PixelAt(30, 30), 0u);
  EXPECT_GT(Alpha(roundedBits.PixelAt(30, 30)), 0);
  // The corner tip outer from the rounded outline gets no shadow at all.
  EXPECT_EQ(roundedBits.PixelAt(3, 3), 0u);
  EXPECT_GT(Alpha(squareBits.PixelAt(8, 8)), 0);
  // Along the straight sides both are alike.
  EXPECT_EQ(squareBits.PixelAt(110, 5), roundedBits.PixelAt(110, 5));
}

TEST_F(ShadowTest, ExtremeSettingsStayInsideTheBitmapOrGiveUp) {
  SkinnedWindow small(100, 100, 50, 40);
  CShadowUI shadow;
  shadow.ShowShadow(true);
  // A negative size beyond half the window would need a negative bitmap: nothing is drawn.
  shadow.SetSize(-30);
  CShadowBitmap bitmap;
  EXPECT_FALSE(shadow.RenderShadow(small.hwnd(), bitmap));
  EXPECT_EQ(bitmap.GetBits(), nullptr);

  // Large offsets and sharpness put the kernel outer outside the bitmap; every write is clipped.
  // Darkness 255 and a white shadow: wherever the shadow reaches, at most full alpha and no colour
  // channel above it. Far off, the shadow leaves the bitmap altogether; a moderate one rims it.
  const struct {
    int size, sharpness, offset;
    bool shaded;
  } cases[] = {{3, 35, 35, false}, {10, 5, 4, true}};
  for (const auto& c : cases) {
    shadow.SetSize(c.size);
    shadow.SetSharpness(c.sharpness);
    shadow.SetPosition(c.offset, -c.offset);
    shadow.SetDarkness(255);
    shadow.SetColor(0x00FFFFFF);
    ASSERT_TRUE(shadow.RenderShadow(small.hwnd(), bitmap));
    EXPECT_EQ(bitmap.GetWidth(), 50 + 2 * c.size);
    EXPECT_EQ(bitmap.GetHeight(), 40 + 2 * c.size);
    int shaded = 0;
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
      for (int x = 0; x < bitmap.GetWidth(); ++x) {
        const uint32_t pixel = bitmap.PixelAt(x, y);
        ASSERT_LE((pixel >> 16) & 0xFF, Alpha(pixel)) << x << "," << y;
        if (Alpha(pixel) > 0) ++shaded;
      }
    }
    EXPECT_EQ(shaded > 0, c.shaded) << "size " << c.size << ", offset " << c.offset;
  }

  // An image that does not exist leaves nothing drawn.
  CShadowUI missing;
  missing.ShowShadow(true);
  missing.SetImage(L"no-such-shadow.png");
  missing.SetSize(10);
  missing.Create(&small.manager());
  CShadowBitmap none;
  EXPECT_FALSE(missing.RenderShadow(small.hwnd(), none));
}

TEST_F(ShadowTest, ShadowFollowsMovesHidesMinimiseAndMaximise) {
  SkinnedWindow window(100, 100, 600, 400);
  CShadowUI shadow;
  UseInstallerSkin(shadow);
  shadow.Create(&window.manager());
  HWND hwnd = shadow.GetShadowWindow();
  ASSERT_NE(hwnd, nullptr);

  SetWindowPos(window.hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  RECT rc = WindowRectOf(hwnd);
  EXPECT_EQ(rc.left, 175);
  EXPECT_EQ(rc.top, 125);

  // A larger window: the shadow is redrawn at the window's next paint, at the new size.
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateWindow(window.hwnd());
  Pump();
  rc = WindowRectOf(hwnd);
  EXPECT_EQ(rc.right - rc.left, 690);
  EXPECT_EQ(rc.bottom - rc.top, 470);

  ShowWindow(window.hwnd(), SW_HIDE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(shadow.GetStatus() & (CShadowUI::kStatusShown | CShadowUI::kStatusParentShown), 0);
  ShowWindow(window.hwnd(), SW_SHOWNOACTIVATE);
  Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd));

  ShowWindow(window.hwnd(), SW_MAXIMIZE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  ShowWindow(window.hwnd(), SW_RESTORE);
  UpdateWindow(window.hwnd());
  Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  rc = WindowRectOf(hwnd);
  EXPECT_EQ(rc.left, 175);
  EXPECT_EQ(rc.right - rc.left, 690);

  ShowWindow(window.hwnd(), SW_MINIMIZE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  ShowWindow(window.hwnd(), SW_RESTORE);
  UpdateWindow(window.hwnd());
  Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd));

  shadow.DisableShadow(true);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  shadow.DisableShadow(false);
  EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(ShadowTest, HiddenWindowGetsItsShadowWhenShown) {
  SkinnedWindow window(100, 100, 300, 200, false);
  CShadowUI shadow;
  UseInstallerSkin(shadow);
  shadow.Create(&window.manager());
  HWND hwnd = shadow.GetShadowWindow();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(shadow.GetStatus(), CShadowUI::kStatusEnabled);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  ShowWindow(window.hwnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(window.hwnd());
  Pump();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  RECT rc = WindowRectOf(hwnd);
  EXPECT_EQ(rc.left, 75);
  EXPECT_EQ(rc.right - rc.left, 350);
}

TEST_F(ShadowTest, WithoutShowShadowNothingIsCreatedOrSubclassed) {
  SkinnedWindow window(100, 100, 300, 200);
  LONG_PTR procBefore = GetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC);
  CShadowUI shadow;
  shadow.SetImage(L"shadow.png");
  shadow.Create(&window.manager());
  EXPECT_EQ(shadow.GetShadowWindow(), nullptr);
  EXPECT_EQ(GetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC), procBefore);
  EXPECT_EQ(CShadowUI::GetShadowMap().count(window.hwnd()), 0u);
}

TEST_F(ShadowTest, ShadowGoesWithItsWindowAndUndoesTheSubclassWhenDestroyedFirst) {
  HWND shadowWindow = nullptr;
  HWND parent = nullptr;
  {
    SkinnedWindow window(100, 100, 300, 200);
    parent = window.hwnd();
    CShadowUI shadow;
    UseInstallerSkin(shadow);
    shadow.Create(&window.manager());
    shadowWindow = shadow.GetShadowWindow();
    ASSERT_TRUE(IsWindow(shadowWindow));
    shadow.Create(&window.manager());
    EXPECT_EQ(shadow.GetShadowWindow(), shadowWindow);
    DestroyWindow(window.hwnd());
    EXPECT_FALSE(IsWindow(shadowWindow));
    EXPECT_EQ(shadow.GetShadowWindow(), nullptr);
    EXPECT_EQ(CShadowUI::GetShadowMap().count(parent), 0u);
  }

  SkinnedWindow window(100, 100, 300, 200);
  LONG_PTR procBefore = GetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC);
  {
    CShadowUI shadow;
    UseInstallerSkin(shadow);
    shadow.Create(&window.manager());
    shadowWindow = shadow.GetShadowWindow();
    EXPECT_NE(GetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC), procBefore);
  }
  // The window outlives its shadow and keeps working.
  EXPECT_FALSE(IsWindow(shadowWindow));
  EXPECT_EQ(GetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC), procBefore);
  SetWindowPos(window.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  EXPECT_EQ(WindowRectOf(window.hwnd()).left, 10);
}

}  // namespace
}  // namespace ZQUI

namespace {
// The shadow window has WS_SYSMENU, which makes Wine hand it to a window manager; Xvfb has none,
// so every hide would wait for an answer that never comes. The test prefix turns that off before
// the first window exists (Wine reads the setting when its display driver loads).
struct UnmanagedWindows {
  UnmanagedWindows() {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed", REG_SZ, L"N", sizeof(L"N"));
  }
} g_unmanagedWindows;
}  // namespace
