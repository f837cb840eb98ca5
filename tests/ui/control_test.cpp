#include "ui/core/control.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/core/paint_manager.h"
#include "ui/core/resource_manager.h"

namespace ZQUI {
namespace {

using test::Rect;
using test::Size;

struct AttributeCase {
  const wchar_t* name;
  const wchar_t* value;
  std::function<void(CControlUI&)> check;
};

void PrintTo(const AttributeCase& c, std::ostream* os) {
  std::wstring text = std::wstring(c.name) + L"=\"" + c.value + L"\"";
  *os << std::string(text.begin(), text.end());
}

class ControlAttributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(ControlAttributes, ReadTheirValueSyntax) {
  const AttributeCase& c = GetParam();
  CControlUI control;
  control.SetAttribute(c.name, c.value);
  c.check(control);
}

INSTANTIATE_TEST_SUITE_P(
    Syntaxes, ControlAttributes,
    ::testing::Values(
        AttributeCase{L"padding", L"15,10", [](CControlUI& c) { EXPECT_EQ(c.GetPadding(), Rect(15, 10, 0, 0)); }},
        AttributeCase{L"padding", L"10", [](CControlUI& c) { EXPECT_EQ(c.GetPadding(), Rect(10, 0, 0, 0)); }},
        AttributeCase{L"padding", L"17,5,20,0", [](CControlUI& c) { EXPECT_EQ(c.GetPadding(), Rect(17, 5, 20, 0)); }},
        AttributeCase{L"padding", L"-3;4;x;9", [](CControlUI& c) { EXPECT_EQ(c.GetPadding(), Rect(-3, 4, 0, 0)); }},
        AttributeCase{L"PADDING", L"1,2,3,4", [](CControlUI& c) { EXPECT_EQ(c.GetPadding(), Rect(1, 2, 3, 4)); }},
        AttributeCase{L"bkcolor", L"#FF000000", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xFF000000u); }},
        AttributeCase{L"bkcolor", L"0xFF000000", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xFF000000u); }},
        AttributeCase{L"bkcolor", L"  FF000000", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xFF000000u); }},
        AttributeCase{L"bkcolor", L"  #FF336699", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xFF336699u); }},
        AttributeCase{L"bkcolor", L"bk_main_wnd_Color", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xBu); }},
        AttributeCase{L"BkColor1", L"ff00ff00", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor(), 0xFF00FF00u); }},
        AttributeCase{L"bkcolor2", L"#80112233", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor2(), 0x80112233u); }},
        AttributeCase{L"bkcolor3", L"12", [](CControlUI& c) { EXPECT_EQ(c.GetBkColor3(), 0x12u); }},
        AttributeCase{L"disabledbkcolor", L"#FFAABBCC", [](CControlUI& c) { EXPECT_EQ(c.GetDisableBkColor(), 0xFFAABBCCu); }},
        AttributeCase{L"focusbkcolor", L"#01020304", [](CControlUI& c) { EXPECT_EQ(c.GetFocusBKColor(), 0x01020304u); }},
        AttributeCase{L"forecolor", L"zz", [](CControlUI& c) { EXPECT_EQ(c.GetForeColor(), 0u); }},
        AttributeCase{L"bordercolor", L"#FF3083FE", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0xFF3083FEu); }},
        // Without the whitespace skip a blank before '#' leaves nothing readable.
        AttributeCase{L"bordercolor", L" #FF3083FE", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0u); }},
        AttributeCase{L"focusbordercolor", L"0xff0167fe", [](CControlUI& c) { EXPECT_EQ(c.GetFocusBorderColor(), 0xFF0167FEu); }},
        // Nor is a blank before the digits skipped, or a sign taken.
        AttributeCase{L"bordercolor", L"  FF000000", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0u); }},
        AttributeCase{L"bordercolor", L"-1", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0u); }},
        AttributeCase{L"focusbordercolor", L"\tFF", [](CControlUI& c) { EXPECT_EQ(c.GetFocusBorderColor(), 0u); }},
        AttributeCase{L"focusbordercolor", L"+12", [](CControlUI& c) { EXPECT_EQ(c.GetFocusBorderColor(), 0u); }},
        AttributeCase{L"bordercolor", L"#0xAB", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0xABu); }},
        AttributeCase{L"bordercolor", L"0x", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0u); }},
        AttributeCase{L"bordercolor", L"FF00AA11zz", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0xFF00AA11u); }},
        AttributeCase{L"bordercolor", L"123456789", [](CControlUI& c) { EXPECT_EQ(c.GetBorderColor(), 0xFFFFFFFFu); }},
        AttributeCase{L"pos", L"10,20,5,40",
                      [](CControlUI& c) {
                        EXPECT_EQ(c.GetFixedXY(), Size(10, 20));
                        EXPECT_EQ(c.GetFixedSize(), Size(5, 20));
                      }},
        AttributeCase{L"xy", L"-4,9", [](CControlUI& c) { EXPECT_EQ(c.GetFixedXY(), Size(-4, 9)); }},
        AttributeCase{L"float", L"0.5,0.25",
                      [](CControlUI& c) {
                        EXPECT_TRUE(c.IsFloat());
                        TPercentInfo p = c.GetFloatPercent();
                        EXPECT_DOUBLE_EQ(p.left, 0.5);
                        EXPECT_DOUBLE_EQ(p.top, 0.25);
                        EXPECT_DOUBLE_EQ(p.right, 0.0);
                        EXPECT_DOUBLE_EQ(p.bottom, 0.0);
                      }},
        AttributeCase{L"float", L"TRUE",
                      [](CControlUI& c) {
                        EXPECT_TRUE(c.IsFloat());
                        EXPECT_DOUBLE_EQ(c.GetFloatPercent().left, 0.0);
                      }},
        AttributeCase{L"float", L"1", [](CControlUI& c) { EXPECT_FALSE(c.IsFloat()); }},
        AttributeCase{L"floatalign", L"right,bottom", [](CControlUI& c) { EXPECT_EQ(c.GetFloatAlign(), 0xAu); }},
        AttributeCase{L"floatalign", L"center null", [](CControlUI& c) { EXPECT_EQ(c.GetFloatAlign(), 0u); }},
        AttributeCase{L"floatalign", L"center vcenter, left", [](CControlUI& c) { EXPECT_EQ(c.GetFloatAlign(), 0x4u); }},
        AttributeCase{L"floatalign", L"bottom top right", [](CControlUI& c) { EXPECT_EQ(c.GetFloatAlign(), 0x2u); }},
        AttributeCase{L"cursor", L"hand", [](CControlUI& c) { EXPECT_EQ(c.GetCursor(), 32649); }},
        AttributeCase{L"cursor", L"SizeNS", [](CControlUI& c) { EXPECT_EQ(c.GetCursor(), 32645); }},
        AttributeCase{L"cursor", L"pointer", [](CControlUI& c) { EXPECT_EQ(c.GetCursor(), 0); }},
        AttributeCase{L"tooltipmode", L"2", [](CControlUI& c) { EXPECT_EQ(c.GetToolTipShowMode(), ToolTipRight); }},
        AttributeCase{L"tooltipmode", L"7", [](CControlUI& c) { EXPECT_EQ(c.GetToolTipShowMode(), ToolTipBottom); }},
        AttributeCase{L"tooltipgap", L"3,4", [](CControlUI& c) { EXPECT_EQ(c.GetToolTipGap(), Size(3, 4)); }},
        AttributeCase{L"width", L"219", [](CControlUI& c) { EXPECT_EQ(c.GetFixedWidth(), 219); }},
        AttributeCase{L"height", L"-5", [](CControlUI& c) { EXPECT_EQ(c.GetFixedHeight(), 0); }},
        AttributeCase{L"minwidth", L"+12px", [](CControlUI& c) { EXPECT_EQ(c.GetMinWidth(), 12); }},
        AttributeCase{L"maxheight", L"300", [](CControlUI& c) { EXPECT_EQ(c.GetMaxHeight(), 300); }},
        AttributeCase{L"bordersize", L"2",
                      [](CControlUI& c) {
                        EXPECT_EQ(c.GetBorderSize(), 2);
                        EXPECT_EQ(c.GetBorderRectSize(), Rect(0, 0, 0, 0));
                      }},
        AttributeCase{L"bordersize", L"0,0,0,1",
                      [](CControlUI& c) {
                        EXPECT_EQ(c.GetBorderSize(), 0);
                        EXPECT_EQ(c.GetBorderRectSize(), Rect(0, 0, 0, 1));
                      }},
        AttributeCase{L"borderround", L"4,4", [](CControlUI& c) { EXPECT_EQ(c.GetBorderRound(), Size(4, 4)); }},
        AttributeCase{L"visible", L"False", [](CControlUI& c) { EXPECT_FALSE(c.IsVisible()); }},
        AttributeCase{L"VISIBLE", L"yes", [](CControlUI& c) { EXPECT_FALSE(c.GetVisible()); }},
        AttributeCase{L"enabled", L"false", [](CControlUI& c) { EXPECT_FALSE(c.IsEnabled()); }},
        AttributeCase{L"mouse", L"false", [](CControlUI& c) { EXPECT_FALSE(c.IsMouseEnabled()); }},
        AttributeCase{L"keyboard", L"False", [](CControlUI& c) { EXPECT_FALSE(c.IsKeyboardEnabled()); }},
        AttributeCase{L"menu", L"true", [](CControlUI& c) { EXPECT_TRUE(c.IsContextMenuUsed()); }},
        AttributeCase{L"drag", L"true", [](CControlUI& c) { EXPECT_TRUE(c.IsDragEnabled()); }},
        AttributeCase{L"richevent", L"true", [](CControlUI& c) { EXPECT_TRUE(c.IsRichEvent()); }},
        AttributeCase{L"shortcut", L"Quit", [](CControlUI& c) { EXPECT_EQ(c.GetShortcut(), L'Q'); }},
        AttributeCase{L"name", L"exitbtn", [](CControlUI& c) { EXPECT_STREQ(c.GetName().GetData(), L"exitbtn"); }},
        AttributeCase{L"text", L"a{\\n}b", [](CControlUI& c) { EXPECT_STREQ(c.GetText().GetData(), L"a\nb"); }},
        AttributeCase{L"tooltip", L"one<n>two", [](CControlUI& c) { EXPECT_STREQ(c.GetToolTip().GetData(), L"one\r\ntwo"); }},
        AttributeCase{L"userdata", L"42", [](CControlUI& c) { EXPECT_STREQ(c.GetUserData().GetData(), L"42"); }},
        AttributeCase{L"virtualwnd", L"page", [](CControlUI& c) { EXPECT_STREQ(c.GetVirtualWnd().GetData(), L"page"); }},
        AttributeCase{L"gradient", L"hor", [](CControlUI& c) { EXPECT_STREQ(c.GetGradient(), L"hor"); }},
        AttributeCase{L"bkimage", L"file='12.png' corner='5,5,5,5'",
                      [](CControlUI& c) { EXPECT_STREQ(c.GetBkImage(), L"file='12.png' corner='5,5,5,5'"); }},
        AttributeCase{L"valign", L"center", [](CControlUI& c) { EXPECT_STREQ(c.GetCustomAttribute(L"valign"), L"center"); }},
        // Without a manager a style name goes on down the table and is kept as a custom attribute.
        AttributeCase{L"style", L"big", [](CControlUI& c) { EXPECT_STREQ(c.GetCustomAttribute(L"style"), L"big"); }}));

TEST(Control, CustomAttributesKeepTheFirstValueAndIgnoreEmptyOnes) {
  CControlUI c;
  c.SetAttribute(L"foo", L"x");
  c.SetAttribute(L"foo", L"y");
  c.SetAttribute(L"bar", L"");
  EXPECT_STREQ(c.GetCustomAttribute(L"foo"), L"x");
  EXPECT_EQ(c.GetCustomAttribute(L"bar"), nullptr);
  EXPECT_EQ(c.GetCustomAttribute(L""), nullptr);
  EXPECT_TRUE(c.RemoveCustomAttribute(L"foo"));
  EXPECT_FALSE(c.RemoveCustomAttribute(L"foo"));
  c.AddCustomAttribute(L"foo", L"z");
  EXPECT_STREQ(c.GetCustomAttribute(L"foo"), L"z");
  c.RemoveAllCustomAttribute();
  EXPECT_EQ(c.GetCustomAttribute(L"foo"), nullptr);
}

struct ListCase {
  const wchar_t* list;
  int width;
  int height;
  int minWidth;
};

class AttributeLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(AttributeLists, ApplyUntilTheFirstMalformedPair) {
  const ListCase& c = GetParam();
  CControlUI control;
  control.ApplyAttributeList(c.list);
  EXPECT_EQ(control.GetFixedWidth(), c.width);
  EXPECT_EQ(control.GetFixedHeight(), c.height);
  EXPECT_EQ(control.GetMinWidth(), c.minWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, AttributeLists,
    ::testing::Values(ListCase{L"width=\"1\",height=\"2\" minwidth=\"3\"", 1, 2, 3},
                      ListCase{L"width=\"1\"height=\"2\"", 1, 0, 0},
                      ListCase{L"width = \"1\" height=\"2\"", 0, 0, 0},
                      ListCase{L"  \r\n\twidth=\"4\"\r\n\theight=\"5\"\t ", 4, 5, 0},
                      ListCase{L"width=&quot;6&quot; height=&quot;7&quot;", 6, 7, 0},
                      ListCase{L"width=\"8\" height=\"9", 8, 0, 0},
                      ListCase{L"", 0, 0, 0}));

TEST(Control, StylesApplyThroughTheManagerAndSelfReferenceIsBounded) {
  CPaintManagerUI manager;
  manager.AddStyle(L"big", L"width=\"219\" height=\"64\"");
  manager.AddStyle(L"big", L"width=\"1\"");  // the first definition stays
  manager.AddStyle(L"loop", L"style=\"loop\" minwidth=\"5\"");
  manager.AddStyle(L"ping", L"style=\"pong\" minheight=\"6\"");
  manager.AddStyle(L"pong", L"style=\"ping\" maxwidth=\"70\"");
  CControlUI c;
  c.SetManager(&manager, nullptr, false);
  c.SetAttribute(L"style", L"big");
  EXPECT_EQ(c.GetFixedSize(), Size(219, 64));
  EXPECT_EQ(c.GetCustomAttribute(L"style"), nullptr);
  c.SetAttribute(L"style", L"loop");
  EXPECT_EQ(c.GetMinWidth(), 5);
  c.SetAttribute(L"style", L"ping");
  EXPECT_EQ(c.GetMinHeight(), 6);
  EXPECT_EQ(c.GetMaxWidth(), 70);
  CControlUI d;
  d.SetManager(&manager, nullptr, false);
  d.ApplyAttributeList(L"big");  // a list that names a style applies the style
  EXPECT_EQ(d.GetFixedWidth(), 219);
  c.SetManager(nullptr, nullptr, false);
  d.SetManager(nullptr, nullptr, false);
}

TEST(Control, SetPosNormalisesAndWidensToTheFixedWidth) {
  CControlUI c;
  c.SetPos(Rect(50, 10, 20, 5));
  EXPECT_EQ(c.GetPos(), Rect(50, 10, 50, 10));
  c.SetFixedWidth(40);
  c.SetPos(Rect(0, 0, 10, 10));
  EXPECT_EQ(c.GetPos(), Rect(0, 0, 40, 10));
  c.SetPos(Rect(0, 0, 100, 10));
  EXPECT_EQ(c.GetPos(), Rect(0, 0, 100, 10));
  c.SetFixedWidth(kMaxControlLength);
  c.SetPos(Rect(2147483000, 0, 2147483000, 10));
  EXPECT_EQ(c.GetPos().right, 2147483647);  // widened without overflowing
  EXPECT_EQ(c.GetWidth(), 647);
}

TEST(Control, DimensionsScaleWithTheManagersDpi) {
  CPaintManagerUI manager;
  CControlUI c;
  c.SetFixedWidth(10);
  c.SetFixedHeight(3);
  c.SetPadding(Rect(10, 0, 0, 0));
  c.SetMinWidth(1);
  c.SetAttribute(L"bordersize", L"2");
  c.SetManager(&manager, nullptr, false);
  EXPECT_EQ(c.GetFixedWidth(), 10);
  manager.GetDPIObj()->SetScale(144);  // 150 %
  EXPECT_EQ(manager.GetDPIObj()->GetScale(), 150u);
  EXPECT_EQ(c.GetFixedSize(), Size(15, 5));  // 4.5 rounds away from zero
  EXPECT_EQ(c.GetPadding().left, 15);
  EXPECT_EQ(c.GetBorderSize(), 3);
  c.SetFixedWidth(20);  // the cached copy is refreshed after a setter
  EXPECT_EQ(c.GetFixedWidth(), 30);
  manager.GetDPIObj()->SetScale(38);  // 40 %: a length that exists never scales to nothing
  EXPECT_EQ(c.GetMinWidth(), 1);
  EXPECT_EQ(manager.GetDPIObj()->Scale(-1), -1);
  EXPECT_EQ(manager.GetDPIObj()->Scale(0), 0);
  c.SetManager(nullptr, nullptr, false);
  EXPECT_EQ(c.GetFixedWidth(), 20);  // stored values are unscaled
}

TEST(Dpi, RectanglesScaleTheirOriginAndSizeSeparately) {
  CDPI dpi;
  EXPECT_EQ(dpi.GetScale(), 100u);
  EXPECT_EQ(dpi.GetDPI(), 96u);
  dpi.SetScale(144);
  EXPECT_EQ(dpi.Scale(Rect(10, 10, 20, 20)), Rect(15, 15, 30, 30));
  EXPECT_EQ(dpi.Scale(3), 5);
  EXPECT_EQ(dpi.ScaleBack(15), 10);
  EXPECT_EQ(dpi.GetDPI(), 144u);
  RECT back = Rect(15, 15, 30, 30);
  dpi.ScaleBack(&back);
  EXPECT_EQ(back, Rect(10, 10, 20, 20));
}

TEST(Control, HidingAFocusedControlDropsTheFocus) {
  CPaintManagerUI manager;
  CControlUI c;
  c.SetManager(&manager, nullptr, false);
  manager.SetFocus(&c);
  ASSERT_EQ(manager.GetFocus(), &c);
  EXPECT_TRUE(c.IsFocused());
  c.SetVisible(false, false);
  EXPECT_FALSE(c.IsFocused());
  EXPECT_EQ(manager.GetFocus(), &c);  // without sendFocus the manager keeps it
  c.SetVisible(true);
  manager.SetFocus(&c);
  c.SetVisible(false, true);
  EXPECT_EQ(manager.GetFocus(), nullptr);
  c.SetVisible(true);
  manager.SetFocus(&c);
  c.SetInternVisible(false);
  EXPECT_EQ(manager.GetFocus(), nullptr);
  EXPECT_FALSE(c.IsVisible());
  EXPECT_TRUE(c.GetVisible());
  c.SetManager(nullptr, nullptr, false);
}

TEST(Control, ResourceTextsComeFromTheTextTable) {
  struct Query : IQueryControlText {
    const wchar_t* QueryControlText(const wchar_t* id, const wchar_t*) override {
      return wcscmp(id, L"install") == 0 ? L"\x7ACB\x5373\x5B89\x88C5" : nullptr;
    }
  } query;
  CResourceManager::GetInstance()->SetTextQueryInterface(&query);
  CControlUI c;
  c.SetText(L"install");
  c.SetHotText(L"unknown");
  c.SetResourceText(true);
  EXPECT_STREQ(c.GetText().GetData(), L"\x7ACB\x5373\x5B89\x88C5");
  EXPECT_STREQ(c.GetHotText().GetData(), L"unknown");  // a missing text stands as its id
  c.SetResourceText(false);
  EXPECT_STREQ(c.GetHotText().GetData(), L"unknown");
  c.SetHotText(L"");
  EXPECT_STREQ(c.GetHotText().GetData(), L"install");
  CResourceManager::GetInstance()->Release();
}

TEST(Control, MapUserDataAndVirtualWindowInheritance) {
  CContainerUI parent;
  auto* child = new CControlUI();
  ASSERT_TRUE(parent.Add(child));
  parent.SetVirtualWnd(L"pageA");
  EXPECT_STREQ(child->GetVirtualWnd().GetData(), L"pageA");
  child->SetVirtualWnd(L"own");
  EXPECT_STREQ(child->GetVirtualWnd().GetData(), L"own");

  child->SetMapUserData(L"k", L"v");
  child->SetMapUserData(L"", L"ignored");
  child->SetMapUserData(L"k2", L"");
  EXPECT_STREQ(child->GetMapUserData(L"k"), L"v");
  EXPECT_STREQ(child->GetMapUserData(L"k2"), L"");
  child->SetMapUserData(L"k", L"w");
  EXPECT_STREQ(child->GetMapUserData(L"k"), L"w");
  child->EraseMapUserData(L"k");
  EXPECT_STREQ(child->GetMapUserData(L"k"), L"");
}

TEST(Control, CloneCopiesEveryProperty) {
  CControlUI c;
  c.ApplyAttributeList(L"name=\"n\" text=\"t\" width=\"5\" height=\"6\" padding=\"1,2,3,4\" bkcolor=\"#FF112233\" "
                       L"float=\"0.5,0.5\" floatalign=\"right\" visible=\"false\" enabled=\"false\" foo=\"bar\" "
                       L"tooltip=\"tip\" cursor=\"hand\" bordersize=\"0,1,0,1\"");
  CControlUI* copy = c.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy->GetName().GetData(), L"n");
  EXPECT_STREQ(copy->GetText().GetData(), L"t");
  EXPECT_EQ(copy->GetFixedSize(), Size(5, 6));
  EXPECT_EQ(copy->GetPadding(), Rect(1, 2, 3, 4));
  EXPECT_EQ(copy->GetBkColor(), 0xFF112233u);
  EXPECT_TRUE(copy->IsFloat());
  EXPECT_EQ(copy->GetFloatAlign(), 0x2u);
  EXPECT_FALSE(copy->GetVisible());
  EXPECT_FALSE(copy->IsEnabled());
  EXPECT_STREQ(copy->GetCustomAttribute(L"foo"), L"bar");
  EXPECT_STREQ(copy->GetToolTip().GetData(), L"tip");
  EXPECT_EQ(copy->GetCursor(), 32649);
  EXPECT_EQ(copy->GetBorderRectSize(), Rect(0, 1, 0, 1));
  delete copy;
}

TEST(Control, IdentityOfThePlainControl) {
  CControlUI c;
  EXPECT_STREQ(c.GetClass(), L"ControlUI");
  EXPECT_EQ(c.GetInterface(L"control"), &c);
  EXPECT_EQ(c.GetInterface(L"Container"), nullptr);
  EXPECT_EQ(c.GetControlFlags(), 0u);
  EXPECT_FALSE(c.IsContainerControl());
  EXPECT_TRUE(c.Activate());
  c.SetEnabled(false);
  EXPECT_FALSE(c.Activate());
  EXPECT_FALSE(c.SetTimer(1, 10));  // no manager
  CControlUI* made = CControlUI::CreateControl();
  EXPECT_STREQ(made->GetClass(), L"ControlUI");
  delete made;
}

}  // namespace
}  // namespace ZQUI
