// A window built from a test skin with labels, buttons, an option, a progress bar and a scrolling
// container: the layout it gets, the states the skin gives, and the colours in the back buffer.
// With UI_WINDOW_HOLD_MS set, the window stays up that long so a screenshot can be taken.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/control/option.h"
#include "ui/control/progress.h"
#include "ui/core/control.h"
#include "ui/core/window_impl_base.h"
#include "ui/layout/container.h"

namespace ZQUI {
namespace {

using test::Rect;

// A solid 24-bit bitmap file of `size` x `size` pixels, optionally with a frame of `frame`.
std::string SolidBitmap(int size, COLORREF fill, COLORREF frame, int frameWidth) {
  int rowBytes = (size * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = size;
  info.biHeight = size;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(rowBytes * size);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  for (int y = 0; y < size; ++y) {
    std::string row(static_cast<size_t>(rowBytes), '\0');
    for (int x = 0; x < size; ++x) {
      bool edge = x < frameWidth || y < frameWidth || x >= size - frameWidth || y >= size - frameWidth;
      COLORREF c = edge ? frame : fill;
      row[x * 3] = static_cast<char>(GetBValue(c));
      row[x * 3 + 1] = static_cast<char>(GetGValue(c));
      row[x * 3 + 2] = static_cast<char>(GetRValue(c));
    }
    bytes += row;
  }
  return bytes;
}

const wchar_t* const kShowcaseSkin =
    L"<Window size=\"600,400\" caption=\"0,0,0,40\">"
    L"<Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\"/>"
    L"<Font id=\"1\" name=\"Tahoma\" size=\"16\" bold=\"true\"/>"
    L"<Default name=\"Button\" value=\"textcolor=&quot;#FFFFFFFF&quot; bkcolor=&quot;#FF2D6CDF&quot; "
    L"hotbkcolor=&quot;#FF4C86F0&quot;\"/>"
    L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\">"
    L" <HorizontalLayout name=\"titlebar\" height=\"40\" bkcolor=\"#FF1F3A5F\">"
    L"  <Label name=\"title\" text=\"Window base test skin\" font=\"1\" textcolor=\"#FFFFFFFF\" "
    L"padding=\"14,0,0,0\"/>"
    L"  <Button name=\"closebtn\" width=\"40\" text=\"X\" bkcolor=\"#FFC0392B\"/>"
    L" </HorizontalLayout>"
    L" <HorizontalLayout name=\"body\" inset=\"20,20,20,20\" childpadding=\"20\">"
    L"  <VerticalLayout name=\"left\" width=\"260\" childpadding=\"10\">"
    L"   <Label name=\"label1\" height=\"24\" text=\"A plain label\" textcolor=\"#FF202020\"/>"
    L"   <Label name=\"label2\" height=\"24\" text=\"A grey label\" textcolor=\"#FF808080\"/>"
    L"   <Button name=\"okbtn\" height=\"36\" text=\"Install\"/>"
    L"   <Button name=\"offbtn\" height=\"36\" text=\"Disabled\" enabled=\"false\" "
    L"disabledbkcolor=\"#FFD0D0D0\" disabledtextcolor=\"#FF909090\"/>"
    L"   <Option name=\"agree\" height=\"24\" text=\"I agree\" selected=\"true\" align=\"left\" textpadding=\"24,0,0,0\" "
    L"textcolor=\"#FF202020\" normalimage=\"file='box.bmp' dest='0,4,16,20'\" "
    L"selectedimage=\"file='boxsel.bmp' dest='0,4,16,20'\"/>"
    L"   <Progress name=\"progress\" height=\"16\" min=\"0\" max=\"100\" value=\"40\" "
    L"bkcolor=\"#FFE3E3E3\" foreimage=\"fill.bmp\"/>"
    L"  </VerticalLayout>"
    L"  <VerticalLayout name=\"scroller\" vscrollbar=\"true\" bkcolor=\"#FFF2F2F2\" inset=\"4,4,4,4\" "
    L"childpadding=\"4\" vscrollbarstyle=\"width=&quot;10&quot; showbutton1=&quot;false&quot; "
    L"showbutton2=&quot;false&quot; thumbnormalimage=&quot;file='thumb.bmp'&quot; "
    L"bknormalimage=&quot;file='track.bmp'&quot;\">"
    L"   <Label height=\"30\" text=\"Row 1\" bkcolor=\"#FFDDE8FF\" padding=\"0,0,0,0\"/>"
    L"   <Label height=\"30\" text=\"Row 2\" bkcolor=\"#FFFFFFFF\"/>"
    L"   <Label height=\"30\" text=\"Row 3\" bkcolor=\"#FFDDE8FF\"/>"
    L"   <Label height=\"30\" text=\"Row 4\" bkcolor=\"#FFFFFFFF\"/>"
    L"   <Label height=\"30\" text=\"Row 5\" bkcolor=\"#FFDDE8FF\"/>"
    L"   <Label height=\"30\" text=\"Row 6\" bkcolor=\"#FFFFFFFF\"/>"
    L"   <Label height=\"30\" text=\"Row 7\" bkcolor=\"#FFDDE8FF\"/>"
    L"   <Label height=\"30\" text=\"Row 8\" bkcolor=\"#FFFFFFFF\"/>"
    L"   <Label height=\"30\" text=\"Row 9\" bkcolor=\"#FFDDE8FF\"/>"
    L"   <Label height=\"30\" text=\"Row 10\" bkcolor=\"#FFFFFFFF\"/>"
    L"   <Label height=\"30\" text=\"Row 11\" bkcolor=\"#FFDDE8FF\"/>"
    L"   <Label height=\"30\" text=\"Row 12\" bkcolor=\"#FFFFFFFF\"/>"
    L"  </VerticalLayout>"
    L" </HorizontalLayout>"
    L"</VerticalLayout></Window>";

class ShowcaseWindow : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ZquiShowcaseWindow"; }
  CDuiString GetSkinFile() override { return kShowcaseSkin; }
  CPaintManagerUI& pm() { return m_pm; }
};

using test::PumpFor;

using test::BackBufferPixel;

class SkinWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_saved = CPaintManagerUI::GetResourcePath().GetData();
    m_folder = test::MakeTempFolder();
    Write(L"fill.bmp", SolidBitmap(8, RGB(0x2D, 0x9C, 0x5A), RGB(0x2D, 0x9C, 0x5A), 0));
    Write(L"box.bmp", SolidBitmap(16, RGB(0xFF, 0xFF, 0xFF), RGB(0x70, 0x70, 0x70), 2));
    Write(L"boxsel.bmp", SolidBitmap(16, RGB(0x2D, 0x6C, 0xDF), RGB(0x1F, 0x3A, 0x5F), 2));
    Write(L"thumb.bmp", SolidBitmap(8, RGB(0x90, 0x90, 0x90), RGB(0x90, 0x90, 0x90), 0));
    Write(L"track.bmp", SolidBitmap(8, RGB(0xE6, 0xE6, 0xE6), RGB(0xE6, 0xE6, 0xE6), 0));
    CPaintManagerUI::SetResourcePath(m_folder.c_str());
  }
  void TearDown() override {
    if (IsWindow(window.GetHWND())) DestroyWindow(window.GetHWND());
    PumpFor(10);
    CPaintManagerUI::SetResourcePath(m_saved.c_str());
    test::RemoveFolder(m_folder);
  }
  void Write(const wchar_t* name, const std::string& bytes) {
    ASSERT_TRUE(test::WriteFileBytes(m_folder + L"\\" + name, bytes.data(), bytes.size()));
  }
  RECT PosOf(const wchar_t* name) {
    CControlUI* control = window.pm().FindControl(name);
    return control != nullptr ? control->GetPos() : Rect(-1, -1, -1, -1);
  }
  std::wstring m_saved;
  std::wstring m_folder;
  ShowcaseWindow window;
};

TEST_F(SkinWindowTest, TheShowcaseSkinLaysOutPaintsAndKeepsItsStates) {
  HWND hwnd = window.Create(nullptr, L"ZQUI showcase", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                            0, 0, 0, 0);
  ASSERT_NE(hwnd, nullptr);
  window.CenterWindow();
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::UpdateWindow(hwnd);
  PumpFor(100);

  EXPECT_EQ(PosOf(L"root"), Rect(0, 0, 600, 400));
  EXPECT_EQ(PosOf(L"titlebar"), Rect(0, 0, 600, 40));
  EXPECT_EQ(PosOf(L"closebtn"), Rect(560, 0, 600, 40));
  EXPECT_EQ(PosOf(L"left"), Rect(20, 60, 280, 380));
  EXPECT_EQ(PosOf(L"label1"), Rect(20, 60, 280, 84));
  EXPECT_EQ(PosOf(L"label2"), Rect(20, 94, 280, 118));
  EXPECT_EQ(PosOf(L"okbtn"), Rect(20, 128, 280, 164));
  EXPECT_EQ(PosOf(L"offbtn"), Rect(20, 174, 280, 210));
  EXPECT_EQ(PosOf(L"agree"), Rect(20, 220, 280, 244));
  EXPECT_EQ(PosOf(L"progress"), Rect(20, 254, 280, 270));
  EXPECT_EQ(PosOf(L"scroller"), Rect(300, 60, 580, 380));

  auto* agree = static_cast<COptionUI*>(window.pm().FindControl(L"agree"));
  EXPECT_TRUE(agree->IsSelected());
  auto* progress = static_cast<CProgressUI*>(window.pm().FindControl(L"progress"));
  EXPECT_EQ(progress->GetValue(), 40);
  EXPECT_FALSE(window.pm().FindControl(L"offbtn")->IsEnabled());
  // Twelve rows of 30 with 4 between them and the inset: more than the 320 pixels shown.
  auto* scroller = static_cast<CContainerUI*>(window.pm().FindControl(L"scroller")->GetInterface(L"Container"));
  EXPECT_EQ(scroller->GetScrollRange().cy, 12 * 30 + 11 * 4 + 8 - 320);

  // Colours reached the back buffer where nothing draws over them.
  EXPECT_EQ(BackBufferPixel(window.pm(), 300, 3), 0x1F3A5Fu);
  EXPECT_EQ(BackBufferPixel(window.pm(), 563, 3), 0xC0392Bu);
  EXPECT_EQ(BackBufferPixel(window.pm(), 22, 130), 0x2D6CDFu);
  EXPECT_EQ(BackBufferPixel(window.pm(), 22, 176), 0xD0D0D0u);
  EXPECT_EQ(BackBufferPixel(window.pm(), 10, 200), 0xFFFFFFu);
  // The progress bar is filled for 40 % of its width.
  EXPECT_EQ(BackBufferPixel(window.pm(), 22, 262), 0x2D9C5Au);
  EXPECT_EQ(BackBufferPixel(window.pm(), 20 + 260 * 40 / 100 - 2, 262), 0x2D9C5Au);
  EXPECT_EQ(BackBufferPixel(window.pm(), 20 + 260 * 40 / 100 + 2, 262), 0xE3E3E3u);
  // The selected option shows its selected box.
  EXPECT_EQ(BackBufferPixel(window.pm(), 28, 232), 0x2D6CDFu);

  const char* hold = getenv("UI_WINDOW_HOLD_MS");
  if (hold != nullptr) {
    DWORD ms = static_cast<DWORD>(strtoul(hold, nullptr, 10));
    PumpFor(ms > 60000 ? 60000 : ms);
  }
}

}  // namespace
}  // namespace ZQUI
