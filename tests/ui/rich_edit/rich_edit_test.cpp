// CRichEditUI over the real text services of Msftedit.dll, in a real window under Xvfb whose
// messages reach the paint manager (and so the control's message filter). Where Wine's text
// services differ from Windows' (line breaks read back, exact scroll steps), only what both agree
// on is checked.
#include <windows.h>
#include <richedit.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/control/rich_edit.h"
#include "ui/control/scroll_bar.h"
#include "ui/core/paint_manager.h"

namespace ZQUI {
namespace {

constexpr wchar_t kVScrollDefaults[] = L"width=\"14\" showbutton1=\"false\" showbutton2=\"false\"";

std::wstring LicenceText() {
  std::ifstream in(Z_LICENCE_TXT, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::string utf8 = bytes.str();
  if (utf8.size() >= 3 && utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.erase(0, 3);
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
  return text;
}

// Handles what is queued; with `ms`, keeps doing so (timers included) for that long.
void Pump(DWORD ms = 0) {
  DWORD end = GetTickCount() + ms;
  MSG msg;
  for (int round = 0; round < 1000; ++round) {
    for (int i = 0; i < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (static_cast<LONG>(GetTickCount() - end) >= 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

class Recorder : public INotifyUI {
 public:
  void Notify(TNotifyUI& msg) override { types.push_back(msg.typeName.GetData()); }
  int Count(const wchar_t* type) const {
    int n = 0;
    for (const auto& t : types) n += t == type ? 1 : 0;
    return n;
  }
  std::vector<std::wstring> types;
};

// A borderless window whose messages go to its paint manager, holding one rich edit as its tree,
// configured with skin attributes the way the dialog builder applies them.
class EditWindow {
 public:
  EditWindow(int width, int height, const std::vector<std::pair<const wchar_t*, const wchar_t*>>& attributes,
             const std::function<void(CPaintManagerUI&)>& prepare = nullptr) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXW wc = {};
      wc.cbSize = sizeof(wc);
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = WndProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = L"RichEditTestWindow";
      registered = RegisterClassExW(&wc) != 0;
    }
    m_hwnd = CreateWindowExW(0, L"RichEditTestWindow", L"rich edit test", WS_POPUP, 100, 100, width, height, nullptr,
                             nullptr, GetModuleHandleW(nullptr), this);
    EXPECT_NE(m_hwnd, nullptr) << "CreateWindowExW failed: " << GetLastError();
    m_manager.Init(m_hwnd);
    m_manager.AddDefaultAttributeList(L"VScrollBar", kVScrollDefaults);
    m_manager.AddNotifier(&recorder);
    if (prepare) prepare(m_manager);
    m_edit = new CRichEditUI();
    m_edit->SetManager(&m_manager, nullptr, false);
    for (const auto& attribute : attributes) m_edit->SetAttribute(attribute.first, attribute.second);
    m_edit->SetManager(nullptr, nullptr, false);
    // The root itself is never initialised (it has no parent): the edit sits in a plain container
    // that gives it the whole window, as the skin's layouts do.
    auto* root = new CContainerUI();
    root->Add(m_edit);
    m_manager.AttachDialog(root);
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    Paint();
  }
  ~EditWindow() {
    m_manager.RemoveNotifier(&recorder);
    DestroyWindow(m_hwnd);
    Pump();
  }
  EditWindow(const EditWindow&) = delete;
  EditWindow& operator=(const EditWindow&) = delete;

  // Lays out and paints until nothing is pending.
  void Paint() {
    for (int i = 0; i < 4; ++i) {
      InvalidateRect(m_hwnd, nullptr, FALSE);
      UpdateWindow(m_hwnd);
      Pump();
    }
  }
  void Focus() {
    ::SetFocus(m_hwnd);
    m_edit->SetFocus();
    Pump();
  }
  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return SendMessageW(m_hwnd, msg, wParam, lParam); }
  void Key(WPARAM vk) {
    Send(WM_KEYDOWN, vk, 1);
    Send(WM_KEYUP, vk, 0xC0000001);
  }

  HWND hwnd() const { return m_hwnd; }
  CPaintManagerUI& manager() { return m_manager; }
  CRichEditUI* edit() const { return m_edit; }
  int FirstVisibleLine() const {
    LRESULT line = 0;
    m_edit->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &line);
    return static_cast<int>(line);
  }
  CScrollBarUI* VBar() const { return m_edit->GetVerticalScrollBar(); }

  Recorder recorder;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<EditWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg != WM_NCDESTROY) {
      LRESULT result = 0;
      if (self->m_manager.MessageHandler(msg, wParam, lParam, result)) return result;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  HWND m_hwnd = nullptr;
  CPaintManagerUI m_manager;
  CRichEditUI* m_edit = nullptr;
};

// The licence control of the installer's skin.
const std::vector<std::pair<const wchar_t*, const wchar_t*>> kLicenceAttributes = {
    {L"name", L"edt_shouquan"}, {L"multiline", L"true"}, {L"wantreturnmsg", L"true"}, {L"vscrollbar", L"true"},
    {L"readonly", L"true"},     {L"text", L""},          {L"rich", L"true"},          {L"font", L"7"},
    {L"textcolor", L"0xff333333"}};

const std::vector<std::pair<const wchar_t*, const wchar_t*>> kPlainAttributes = {{L"multiline", L"true"},
                                                                                  {L"rich", L"false"}};

TEST(RichEditTest, ControlWithoutTextServicesIsAnEmptyBox) {
  CRichEditUI edit;
  EXPECT_FALSE(edit.HasTextServices());
  edit.SetText(L"kept until the engine exists");
  EXPECT_TRUE(edit.GetText().IsEmpty());
  LRESULT result = 7;
  EXPECT_EQ(edit.TxSendMessage(EM_GETLINECOUNT, 0, 0, &result), S_FALSE);
  EXPECT_EQ(edit.GetNaturalSize(100, 100).cx, 0);
  EXPECT_TRUE(edit.GetTextRange(0, -1).IsEmpty());
  EXPECT_TRUE(edit.GetLine(0, 10).IsEmpty());
  EXPECT_EQ(std::wstring(edit.GetClass()), L"RichEditUI");
  EXPECT_EQ(edit.GetInterface(L"RichEdit"), static_cast<void*>(&edit));
  EXPECT_EQ(edit.GetControlFlags(), 3u);
  edit.SetEnabled(false);
  EXPECT_EQ(edit.GetControlFlags(), 0u);
}

TEST(RichEditTest, AttributesSetStyleBitsColoursAndPlaceholder) {
  CRichEditUI edit;
  edit.SetAttribute(L"textcolor", L"#FF333333");
  EXPECT_EQ(edit.GetTextColor(), 0xFF333333u);
  edit.SetAttribute(L"textcolor", L" 0xff333333");
  EXPECT_EQ(edit.GetTextColor(), 0xFF333333u);
  edit.SetAttribute(L"readonly", L"true");
  EXPECT_TRUE(edit.IsReadOnly());
  EXPECT_NE(edit.GetWinStyle() & ES_READONLY, 0);
  edit.SetAttribute(L"vscrollbar", L"true");
  EXPECT_NE(edit.GetWinStyle() & WS_VSCROLL, 0);
  EXPECT_NE(edit.GetWinStyle() & ES_DISABLENOSCROLL, 0);
  EXPECT_NE(edit.GetVerticalScrollBar(), nullptr);  // the container made its bar as well
  edit.SetAttribute(L"multiline", L"false");
  EXPECT_FALSE(edit.IsMultiLine());
  edit.SetAttribute(L"align", L"right");
  EXPECT_NE(edit.GetWinStyle() & ES_RIGHT, 0);
  edit.SetAttribute(L"align", L"center");
  EXPECT_EQ(edit.GetWinStyle() & (ES_RIGHT | ES_CENTER), ES_CENTER);
  edit.SetAttribute(L"rich", L"True");  // exact "true" only
  EXPECT_FALSE(edit.IsRich());
  edit.SetAttribute(L"tipvalue", L"type here");
  edit.SetAttribute(L"tipvaluecolor", L"#FF112233");
  edit.SetAttribute(L"tipvaluealign", L"center");
  EXPECT_EQ(std::wstring(edit.GetTipValue().GetData()), L"type here");
  EXPECT_EQ(edit.GetTipValueColor(), 0xFF112233u);
  EXPECT_EQ(edit.GetTipValueAlign(), static_cast<UINT>(DT_SINGLELINE | DT_CENTER));
  edit.SetAttribute(L"maxchar", L"12");
  EXPECT_EQ(edit.GetLimitText(), 12);
}

TEST(RichEditTest, TextRoundTripsThroughTheEngine) {
  EditWindow window(400, 200, kPlainAttributes);
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());

  const wchar_t* text = L"Licence 许可协议 \x00e9t\x00e9";
  edit->SetText(text);
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), text);
  EXPECT_EQ(edit->GetTextLength(), static_cast<long>(wcslen(text)));

  // Line breaks: Windows and Wine agree on the lines, not on how a break reads back.
  edit->SetText(L"first line\r\nsecond");
  EXPECT_EQ(edit->GetLineCount(), 2);
  EXPECT_EQ(std::wstring(edit->GetTextRange(0, 5).GetData()), L"first");
  EXPECT_EQ(std::wstring(edit->GetLine(0, 5).GetData()), L"first");
  EXPECT_EQ(std::wstring(edit->GetLine(1, 100).GetData()).substr(0, 6), L"second");

  edit->SetText(L"0123456789");
  // Ranges are clamped: an open end, an end past the text, a reversed or empty range.
  EXPECT_EQ(std::wstring(edit->GetTextRange(0, -1).GetData()), L"0123456789");
  EXPECT_EQ(std::wstring(edit->GetTextRange(7, 1000).GetData()), L"789");
  EXPECT_TRUE(edit->GetTextRange(6, 2).IsEmpty());
  EXPECT_TRUE(edit->GetTextRange(4, 4).IsEmpty());
  EXPECT_EQ(std::wstring(edit->GetTextRange(-5, 2).GetData()), L"01");
  // The size word of EM_GETLINE bounds what comes back.
  EXPECT_EQ(std::wstring(edit->GetLine(0, 3).GetData()), L"012");
  EXPECT_TRUE(edit->GetLine(0, 0).IsEmpty());
  EXPECT_TRUE(edit->GetLine(0, -4).IsEmpty());

  edit->SetSel(2, 5);
  EXPECT_EQ(std::wstring(edit->GetSelText().GetData()), L"234");
  edit->ReplaceSelW(L"-", false);
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"01-56789");
  edit->AppendText(L"!");
  edit->InsertText(0, L"[");
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"[01-56789!");

  edit->SetLimitTextString(L"0123456789");
  edit->SetText(L"a1b2");
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"12");
  edit->SetLimitTextString(L"");

  // "textchanged" follows edits through the engine, but not SetShowText.
  int changes = window.recorder.Count(L"textchanged");
  EXPECT_GT(changes, 0);
  edit->SetShowText(L"quiet");
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"quiet");
  EXPECT_EQ(window.recorder.Count(L"textchanged"), changes);
}

TEST(RichEditTest, ReadOnlyControlIgnoresTypingAndGreysEditingCommands) {
  EditWindow window(400, 200, kLicenceAttributes);
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  edit->SetText(L"agreement");
  window.Focus();
  ASSERT_TRUE(edit->IsFocused());
  window.Send(WM_CHAR, L'x', 1);
  window.Key(VK_BACK);
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"agreement");

  auto greyed = [](HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  HMENU menu = edit->BuildContextMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(greyed(menu, 102));  // cut
  EXPECT_TRUE(greyed(menu, 103));  // copy: nothing selected
  EXPECT_TRUE(greyed(menu, 104));  // paste
  EXPECT_TRUE(greyed(menu, 105));  // clear
  EXPECT_FALSE(greyed(menu, 106));  // select all
  DestroyMenu(menu);
  edit->SetSelAll();
  menu = edit->BuildContextMenu();
  EXPECT_FALSE(greyed(menu, 103));
  EXPECT_TRUE(greyed(menu, 102));
  DestroyMenu(menu);

  // The menu's commands arrive as WM_COMMAND at the focused control.
  edit->SetSelNone();
  window.Send(WM_COMMAND, 106, 0);
  EXPECT_EQ(std::wstring(edit->GetSelText().GetData()), L"agreement");

  // The same control made writable takes the keys.
  edit->SetReadOnly(false);
  edit->SetSel(-1, -1);
  window.Send(WM_CHAR, L'x', 1);
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"agreementx");
  menu = edit->BuildContextMenu();
  EXPECT_FALSE(greyed(menu, 104));
  DestroyMenu(menu);
}

TEST(RichEditTest, ReturnKeyFollowsTheWantReturnSettings) {
  EditWindow window(400, 200, {{L"multiline", L"true"}, {L"wantctrlreturn", L"false"}});
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  window.Focus();
  window.Key(VK_RETURN);
  EXPECT_EQ(edit->GetLineCount(), 2);
  EXPECT_EQ(window.recorder.Count(L"return"), 0);

  BYTE keys[256] = {0};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  ASSERT_LT(GetKeyState(VK_CONTROL), 0);
  window.Send(WM_KEYDOWN, VK_RETURN, 1);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(edit->GetLineCount(), 2);
  EXPECT_EQ(window.recorder.Count(L"return"), 1);

  edit->SetWantReturn(false);
  window.Send(WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(edit->GetLineCount(), 2);
  EXPECT_EQ(window.recorder.Count(L"return"), 2);
}

TEST(RichEditTest, TypingStopsAtTheCharacterLimit) {
  EditWindow window(300, 120, {{L"multiline", L"false"}, {L"maxchar", L"5"}});
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  window.Focus();
  for (wchar_t ch : std::wstring(L"abcdefgh")) window.Send(WM_CHAR, ch, 1);
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"abcde");
  edit->SetLimitText(0);  // below 1: the default limit again
  EXPECT_EQ(edit->GetLimitText(), 0);
  window.Send(WM_CHAR, L'f', 1);
  EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"abcdef");
}

TEST(RichEditTest, LicenceShowsTheVerticalBarAndAShortTextHidesIt) {
  EditWindow window(510, 230, kLicenceAttributes);
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  ASSERT_NE(window.VBar(), nullptr);
  const std::wstring licence = LicenceText();
  ASSERT_GT(licence.size(), 1000u);

  edit->SetText(licence.c_str());
  window.Paint();
  EXPECT_TRUE(window.VBar()->IsVisible());
  EXPECT_GT(window.VBar()->GetScrollRange(), 230);
  // The text makes room for the bar at the right edge of the control.
  RECT bar = window.VBar()->GetPos();
  RECT text = edit->GetTextClientRect();
  EXPECT_EQ(bar.right, 510);
  EXPECT_EQ(bar.right - bar.left, 14);
  EXPECT_LE(text.right, bar.left);
  SIZE natural = edit->GetNaturalSize(text.right - text.left, text.bottom - text.top);
  EXPECT_GT(natural.cy, text.bottom - text.top);

  edit->SetText(L"Short.");
  window.Paint();
  EXPECT_FALSE(window.VBar()->IsVisible());
  EXPECT_EQ(edit->GetTextClientRect().right, 510);

  edit->SetText(licence.c_str());
  window.Paint();
  EXPECT_TRUE(window.VBar()->IsVisible());

  // A window wide enough for the whole licence: the bar goes and the text takes its room back.
  SIZE whole = edit->GetNaturalSize(1000, 100);
  ASSERT_GT(whole.cy, 230);
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 1000, whole.cy + 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  window.Paint();
  EXPECT_FALSE(window.VBar()->IsVisible());
  EXPECT_EQ(edit->GetTextClientRect().right, 1000);
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 510, 230, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  window.Paint();
  EXPECT_TRUE(window.VBar()->IsVisible());
  EXPECT_LE(edit->GetTextClientRect().right, window.VBar()->GetPos().left);
}

TEST(RichEditTest, KeyboardWheelAndBarScrollTheLicence) {
  EditWindow window(510, 230, kLicenceAttributes);
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  edit->SetText(LicenceText().c_str());
  window.Paint();
  ASSERT_TRUE(window.VBar()->IsVisible());
  ASSERT_EQ(window.FirstVisibleLine(), 0);
  ASSERT_EQ(window.VBar()->GetScrollPos(), 0);

  // Keyboard: Page Down moves the view and the bar; Ctrl+Home brings both back.
  window.Focus();
  window.Key(VK_NEXT);
  window.Paint();
  int afterPage = window.FirstVisibleLine();
  EXPECT_GT(afterPage, 0);
  EXPECT_GT(window.VBar()->GetScrollPos(), 0);
  window.Key(VK_NEXT);
  window.Paint();
  EXPECT_GT(window.FirstVisibleLine(), afterPage);
  edit->HomeUp();
  window.Paint();
  EXPECT_EQ(window.FirstVisibleLine(), 0);
  EXPECT_EQ(window.VBar()->GetScrollPos(), 0);

  // Moving the bar's position (as dragging its thumb does) moves the text with it.
  edit->SetScrollPos(SIZE{0, 150});
  window.Paint();
  EXPECT_GT(window.VBar()->GetScrollPos(), 100);
  EXPECT_GT(window.FirstVisibleLine(), 0);
  edit->HomeUp();
  window.Paint();
  ASSERT_EQ(window.FirstVisibleLine(), 0);

  // Wheel without Ctrl: the container scrolls the text through the bar.
  RECT rc;
  GetWindowRect(window.hwnd(), &rc);
  LPARAM at = MAKELPARAM(rc.left + 100, rc.top + 100);
  for (int i = 0; i < 2; ++i) {
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), at);
    Pump(40);
  }
  Pump(300);
  window.Paint();
  int wheeled = window.VBar()->GetScrollPos();
  int lineAfterWheel = window.FirstVisibleLine();
  EXPECT_GT(wheeled, 0);
  EXPECT_GT(lineAfterWheel, 0);
  EXPECT_LT(wheeled, window.VBar()->GetScrollRange());

  // With Ctrl the wheel belongs to the engine (zoom), and the container does not scroll.
  // Wine's engine reads Ctrl from the key state, Windows' from the message: both are given.
  BYTE keys[256] = {0};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  window.Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), at);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  Pump(300);
  int numerator = 0;
  int denominator = 0;
  edit->GetZoom(numerator, denominator);
  EXPECT_GT(numerator, 0);
  EXPECT_NE(numerator, denominator);
  edit->SetZoomOff();
  window.Paint();
  EXPECT_EQ(window.VBar()->GetScrollPos(), wheeled);

  edit->EndDown();
  window.Paint();
  EXPECT_GT(window.FirstVisibleLine(), lineAfterWheel);
  EXPECT_GE(window.VBar()->GetScrollPos(), window.VBar()->GetScrollRange() - 20);
  edit->LineUp();
  window.Paint();
  EXPECT_LT(window.VBar()->GetScrollPos(), window.VBar()->GetScrollRange());
}

TEST(RichEditTest, SkinFontAndColourBecomeTheEnginesDefaultFormat) {
  // The skin's font 7 and colour, as the licence control has them when its engine is created.
  EditWindow window(300, 120, {{L"multiline", L"true"}, {L"font", L"7"}, {L"textcolor", L"0xff336699"}},
                    [](CPaintManagerUI& manager) { manager.AddFont(7, L"Arial", 20, true, false, true, false); });
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  CHARFORMAT2W format = {};
  edit->GetDefaultCharFormat(format);
  EXPECT_EQ(format.crTextColor, RGB(0x33, 0x66, 0x99));
  LOGFONTW lf = {};
  GetObjectW(window.manager().GetFont(7), sizeof(lf), &lf);
  int dpi = GetDeviceCaps(window.manager().GetPaintDC(), LOGPIXELSY);
  EXPECT_EQ(format.yHeight, -lf.lfHeight * 1440 / dpi);
  EXPECT_EQ(std::wstring(format.szFaceName), L"Arial");
  EXPECT_NE(format.dwEffects & CFE_BOLD, 0u);
  EXPECT_NE(format.dwEffects & CFE_ITALIC, 0u);
  EXPECT_EQ(format.dwEffects & CFE_UNDERLINE, 0u);
}

// Paints the control alone into a white 32-bit bitmap of the window's size and counts the pixels
// that `match` accepts inside the control.
template <class Match>
int PaintAndCount(CRichEditUI* edit, int width, int height, Match match) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) pixels[i] = 0x00FFFFFF;
  RECT item = edit->GetPos();
  edit->DoPaint(dc, item, nullptr);
  GdiFlush();
  int count = 0;
  for (int y = item.top; y < item.bottom && y < height; ++y) {
    for (int x = item.left; x < item.right && x < width; ++x) {
      uint32_t p = pixels[y * width + x];
      count += match((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) ? 1 : 0;
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return count;
}

TEST(RichEditTest, PaintsTheTextAndThePlaceholderOnlyWhenEmptyAndUnfocused) {
  EditWindow window(300, 120, {{L"multiline", L"true"}, {L"textcolor", L"#FF333333"}, {L"tipvalue", L"Type here"},
                               {L"tipvaluecolor", L"#FFFF0000"}});
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  auto red = [](unsigned r, unsigned g, unsigned b) { return r > 200 && g < 120 && b < 120; };
  auto dark = [](unsigned r, unsigned g, unsigned b) { return r < 140 && g < 140 && b < 140; };

  // The first paint gave the only tab stop the focus; the placeholder shows without it.
  window.manager().SetFocus(nullptr);
  ASSERT_FALSE(edit->IsFocused());
  EXPECT_GT(PaintAndCount(edit, 300, 120, red), 10);
  EXPECT_EQ(PaintAndCount(edit, 300, 120, dark), 0);

  edit->SetText(L"Licence agreement");
  EXPECT_EQ(PaintAndCount(edit, 300, 120, red), 0);
  EXPECT_GT(PaintAndCount(edit, 300, 120, dark), 10);

  edit->SetText(L"");
  window.Focus();
  EXPECT_EQ(PaintAndCount(edit, 300, 120, red), 0);
}

TEST(RichEditTest, LayeredWindowDrawsAndBlinksTheCaretItself) {
  EditWindow window(300, 120, {{L"multiline", L"true"}, {L"textcolor", L"#FF0000FF"}},
                    [](CPaintManagerUI& manager) { manager.SetLayered(true); });
  CRichEditUI* edit = window.edit();
  ASSERT_TRUE(edit->HasTextServices());
  ASSERT_TRUE(window.manager().IsLayered());
  SetForegroundWindow(window.hwnd());
  window.Focus();
  ASSERT_EQ(::GetFocus(), window.hwnd());
  ASSERT_TRUE(edit->IsFocused());
  auto blue = [](unsigned r, unsigned g, unsigned b) { return b > 200 && r < 100 && g < 100; };

  // The caret after the text: the blink phase adds or removes its pixels in the text colour.
  edit->SetText(L"ab");
  edit->SetSel(-1, -1);
  window.Paint();
  TEventUI blink;
  blink.type = UiEventType::Timer;
  blink.sender = edit;
  blink.wParam = CRichEditUI::kCaretTimerId;
  int shown = PaintAndCount(edit, 300, 120, blue);
  edit->DoEvent(blink);
  int hidden = PaintAndCount(edit, 300, 120, blue);
  edit->DoEvent(blink);
  int shownAgain = PaintAndCount(edit, 300, 120, blue);
  EXPECT_GT(shown, hidden + 5);
  EXPECT_GT(hidden, 0);  // the text itself
  EXPECT_EQ(shownAgain, shown);
}

}  // namespace
}  // namespace ZQUI
