// The DPI scale: CDPI arithmetic, SetDPI growing the window and the tree's lengths, and the
// geometry properties that pass through the scale.
#include <gtest/gtest.h>

#include "tests/ui/paint/paint_window.h"

namespace ZQUI {
namespace {

using test::PaintWindow;

TEST(DpiScale, ArithmeticRoundsAndKeepsTinyLengths) {
  CDPI dpi;
  EXPECT_EQ(dpi.GetScale(), 100u);
  EXPECT_EQ(dpi.GetDPI(), 96u);
  dpi.SetScale(144);
  EXPECT_EQ(dpi.GetScale(), 150u);
  EXPECT_EQ(dpi.GetDPI(), 144u);
  EXPECT_EQ(dpi.Scale(100), 150);
  EXPECT_EQ(dpi.Scale(3), 5);  // 4.5 rounds away from zero
  EXPECT_EQ(dpi.ScaleBack(150), 100);
  RECT rc = {10, 10, 20, 20};
  RECT scaled = dpi.Scale(rc);
  EXPECT_EQ(scaled.left, 15);
  EXPECT_EQ(scaled.top, 15);
  EXPECT_EQ(scaled.right, 30);
  EXPECT_EQ(scaled.bottom, 30);
  SIZE size = dpi.Scale(SIZE{600, 400});
  EXPECT_EQ(size.cx, 900);
  EXPECT_EQ(size.cy, 600);
  dpi.SetScale(38);  // 40 %
  EXPECT_EQ(dpi.GetScale(), 40u);
  EXPECT_EQ(dpi.Scale(1), 1);
  EXPECT_EQ(dpi.Scale(-1), -1);
  EXPECT_EQ(dpi.Scale(0), 0);
}

TEST(DpiScale, SetDpi144GrowsTheWindowAndTheTreeTo150Percent) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  CPaintManagerUI& manager = window.manager();
  auto* root = new CVerticalLayoutUI();
  auto* band = new CControlUI();
  band->SetFixedHeight(100);
  root->Add(band);
  window.Attach(root);
  ASSERT_TRUE(IsWindow(window.hwnd()));
  window.PaintNow();
  ASSERT_TRUE(IsWindow(window.hwnd()));
  EXPECT_EQ(band->GetPos().bottom, 100);
  RECT sizeBox = {4, 4, 4, 4};
  manager.SetSizeBox(sizeBox);
  RECT caption = {0, 0, 0, 30};
  manager.SetCaptionRect(caption);
  manager.SetRoundCorner(6, 6);
  manager.SetMinInfo(400, 300);

  manager.SetDPI(144);
  EXPECT_EQ(manager.GetDPIObj()->GetScale(), 150u);
  RECT rc = {};
  GetWindowRect(window.hwnd(), &rc);
  EXPECT_EQ(rc.right - rc.left, 900);
  EXPECT_EQ(rc.bottom - rc.top, 600);
  EXPECT_EQ(rc.left, 40);  // stays where it was
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, window.hwnd(), kMsgScaleChanged, kMsgScaleChanged, PM_REMOVE));
  window.PaintNow();
  EXPECT_EQ(band->GetPos().bottom, 150);
  EXPECT_EQ(manager.GetSizeBox().left, 6);
  EXPECT_EQ(manager.GetCaptionRect().bottom, 45);
  EXPECT_EQ(manager.GetRoundCorner().cx, 9);
  EXPECT_EQ(manager.GetMinInfo().cx, 600);
  // The stored values stay in skin units.
  MINMAXINFO info = {};
  LRESULT result = 0;
  manager.MessageHandler(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result);
  EXPECT_EQ(info.ptMinTrackSize.x, 400);
}

int FontHeight(HFONT font) {
  LOGFONTW lf = {};
  if (font == nullptr || GetObjectW(font, sizeof(lf), &lf) == 0) return 0;
  return lf.lfHeight;
}

TEST(DpiScale, SetDpiRebuildsOwnAndSharedFontsAtTheNewScale) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  CPaintManagerUI& manager = window.manager();
  ASSERT_NE(manager.AddFont(71, L"Arial", 12, false, false, false, false), nullptr);
  ASSERT_NE(manager.AddFont(72, L"Arial", 16, true, false, false, false, true), nullptr);
  EXPECT_EQ(FontHeight(manager.GetFont(71)), -12);
  EXPECT_EQ(FontHeight(manager.GetFont(72)), -16);
  manager.SetDPI(144);
  EXPECT_EQ(FontHeight(manager.GetFont(71)), -18);
  EXPECT_EQ(FontHeight(manager.GetFont(72)), -24);  // the shared one as well
  EXPECT_GT(manager.GetFontInfo(71)->tm.tmHeight, 12);
  manager.RemoveFont(72, true);
}

TEST(DpiScale, SetDpiRebuildsShadowedSharedFontsHighIdsAndTheSharedDefault) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  CPaintManagerUI& manager = window.manager();
  CPaintManagerUI other;  // no fonts of its own: it shows the shared ones
  const TFontInfo sharedDefault = *other.GetDefaultFontInfo();
  const CDuiString sharedDefaultName = sharedDefault.sFontName;

  // Id 73 twice: the manager's own shadows the shared one for this manager's lookups.
  ASSERT_NE(manager.AddFont(73, L"Arial", 10, false, false, false, false), nullptr);
  ASSERT_NE(manager.AddFont(73, L"Arial", 20, false, false, false, false, true), nullptr);
  ASSERT_NE(manager.AddFont(5000, L"Arial", 14, false, false, false, false), nullptr);
  manager.SetDefaultFont(L"Arial", 11, false, false, false, false);
  manager.SetDefaultFont(L"Arial", 13, false, false, false, false, true);
  ASSERT_EQ(FontHeight(other.GetFont(73)), -20);
  ASSERT_EQ(FontHeight(other.GetDefaultFontInfo()->hFont), -13);

  manager.SetDPI(144);
  EXPECT_EQ(FontHeight(manager.GetFont(73)), -15);
  EXPECT_EQ(FontHeight(other.GetFont(73)), -30);  // the shadowed shared record
  EXPECT_EQ(FontHeight(manager.GetFont(5000)), -21);
  EXPECT_EQ(FontHeight(manager.GetDefaultFontInfo()->hFont), -17);
  EXPECT_EQ(FontHeight(other.GetDefaultFontInfo()->hFont), -20);  // the shared default as well

  manager.SetDPI(96);
  manager.RemoveFont(73, true);
  manager.SetDefaultFont(sharedDefaultName.GetData(), sharedDefault.iSize, sharedDefault.bBold,
                         sharedDefault.bUnderline, sharedDefault.bItalic, sharedDefault.bStrikeout, true);
}

TEST(DpiScale, SetDpiIgnoresZeroAndNegativeValues) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  CPaintManagerUI& manager = window.manager();
  manager.SetDPI(0);
  manager.SetDPI(-96);
  EXPECT_EQ(manager.GetDPIObj()->GetScale(), 100u);
  EXPECT_EQ(manager.GetDPIObj()->Scale(10), 10);
  RECT rc = {};
  GetWindowRect(window.hwnd(), &rc);
  EXPECT_EQ(rc.right - rc.left, 600);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, window.hwnd(), kMsgScaleChanged, kMsgScaleChanged, PM_REMOVE));
}

TEST(DpiScale, MaximizedWindowKeepsItsRectangle) {
  PaintWindow window;
  ASSERT_TRUE(IsWindow(window.hwnd()));
  ShowWindow(window.hwnd(), SW_MAXIMIZE);
  window.Pump();
  if (!IsZoomed(window.hwnd())) GTEST_SKIP() << "this display cannot maximize";
  RECT before = {};
  GetWindowRect(window.hwnd(), &before);
  window.manager().SetDPI(192);
  RECT after = {};
  GetWindowRect(window.hwnd(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(window.manager().GetDPIObj()->GetScale(), 200u);
}

TEST(DpiScale, MainMonitorDpiIsReadable) {
  int dpi = CDPI::GetMainMonitorDPI();
  EXPECT_GE(dpi, 72);
  EXPECT_LE(dpi, 480);
}

}  // namespace
}  // namespace ZQUI
