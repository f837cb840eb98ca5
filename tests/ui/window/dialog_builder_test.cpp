// The dialog builder over skin text, files and module resources: classes by element name, the
// order in which children, parents, defaults and attributes meet, resource elements, Include, and
// subtrees that cannot be attached.
#include "ui/core/dialog_builder.h"

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "tests/ui/window/window_test_skin_ids.h"
#include "ui/core/control.h"
#include "ui/control/shadow.h"
#include "ui/core/paint_manager.h"
#include "ui/layout/container.h"
#include "ui/layout/vertical_layout.h"

namespace ZQUI {
namespace {

using test::Tracked;

// What one SetAttribute call saw.
struct AttributeCall {
  std::wstring control;  // the control's name when the call arrived
  std::wstring name;
  std::wstring value;
  bool hadManager;
  bool hadParent;
};

std::vector<AttributeCall>& Calls() {
  static std::vector<AttributeCall> calls;
  return calls;
}

// A container that records every attribute it is given.
class RecorderUI : public Tracked<CContainerUI> {
 public:
  const wchar_t* GetClass() const override { return L"RecorderUI"; }
  void SetAttribute(const wchar_t* name, const wchar_t* value) override {
    Calls().push_back({GetName().GetData(), name, value, GetManager() != nullptr,
                       GetParent() != nullptr});
    Tracked<CContainerUI>::SetAttribute(name, value);
  }
};

class TrackedLeafUI : public Tracked<CControlUI> {
 public:
  const wchar_t* GetClass() const override { return L"TrackedLeafUI"; }
};

// Creates "Recorder" and "Leaf"; counts what it was asked for.
class Callback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const wchar_t* className) override {
    asked.push_back(className);
    if (wcscmp(className, L"Recorder") == 0) return new RecorderUI;
    if (wcscmp(className, L"Leaf") == 0) return new TrackedLeafUI;
    return nullptr;
  }
  std::vector<std::wstring> asked;
};

CContainerUI* AsContainer(CControlUI* control) {
  return static_cast<CContainerUI*>(control->GetInterface(L"Container"));
}

class DialogBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Calls().clear();
    RecorderUI::s_live = 0;
    TrackedLeafUI::s_live = 0;
  }
};

TEST_F(DialogBuilderTest, ElementNamesSelectControlClasses) {
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout name=\"v\"><Label/><Button/><Option/><CheckBox/><Progress/>"
      L"<HorizontalLayout/><Control/><Container/><ScrollBar/><RichEdit/></VerticalLayout></Window>");
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetClass(), L"VerticalLayoutUI");
  EXPECT_EQ(root->GetName(), L"v");
  const wchar_t* expected[] = {L"LabelUI",      L"ButtonUI",    L"OptionUI",  L"CheckBoxUI",
                               L"ProgressUI",   L"HorizontalLayoutUI", L"ControlUI", L"ContainerUI",
                               L"ScrollBarUI",  L"RichEditUI"};
  CContainerUI* box = AsContainer(root);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->GetCount(), static_cast<int>(sizeof(expected) / sizeof(expected[0])));
  for (int i = 0; i < box->GetCount(); ++i) {
    EXPECT_STREQ(box->GetItemAt(i)->GetClass(), expected[i]) << i;
    EXPECT_EQ(box->GetItemAt(i)->GetParent(), root) << i;
  }
  delete root;
}

TEST_F(DialogBuilderTest, FirstTopLevelControlIsReturnedAndLaterOnesStayWithTheParent) {
  CVerticalLayoutUI parent;
  CDialogBuilder builder;
  CControlUI* first =
      builder.Create(L"<Window><Label name=\"a\"/><Button name=\"b\"/></Window>", nullptr, nullptr,
                     nullptr, &parent);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetName(), L"a");
  ASSERT_EQ(parent.GetCount(), 2);
  EXPECT_EQ(parent.GetItemAt(1)->GetName(), L"b");
  EXPECT_EQ(parent.GetItemAt(1)->GetParent(), &parent);
}

TEST_F(DialogBuilderTest, UnknownElementsAreSkippedWithTheirChildren) {
  Callback callback;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout><Foo><Leaf name=\"inner\"/></Foo><ListHeader/><Combo/>"
      L"<Label name=\"after\"/></VerticalLayout></Window>",
      nullptr, &callback);
  ASSERT_NE(root, nullptr);
  CContainerUI* box = AsContainer(root);
  ASSERT_EQ(box->GetCount(), 1);
  EXPECT_EQ(box->GetItemAt(0)->GetName(), L"after");
  // Classes that are not built are asked of the callback by their element name; nothing below
  // a skipped element is even created.
  EXPECT_EQ(TrackedLeafUI::s_live, 0);
  std::vector<std::wstring> asked = {L"Foo", L"ListHeader", L"Combo"};
  EXPECT_EQ(callback.asked, asked);
  delete root;
}

TEST_F(DialogBuilderTest, ChildrenComeFirstThenLinkDefaultsAndOwnAttributesInDocumentOrder) {
  test::ManagerWindow window;
  CPaintManagerUI& pm = window.manager();
  Callback callback;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><Default name=\"Recorder\" value=\"d=&quot;0&quot;\"/>"
      L"<Recorder name=\"p\" a=\"1\" a=\"3\"><Recorder name=\"c\" b=\"2\"/></Recorder></Window>",
      nullptr, &callback, &pm);
  ASSERT_NE(root, nullptr);
  const std::vector<AttributeCall>& calls = Calls();
  ASSERT_EQ(calls.size(), 7u);
  // The child: class defaults first, then its own attributes, already linked and attached.
  EXPECT_EQ(calls[0].name, L"d");
  EXPECT_EQ(calls[0].control, L"");
  EXPECT_TRUE(calls[0].hadManager);
  EXPECT_TRUE(calls[0].hadParent);
  EXPECT_EQ(calls[1].name, L"name");
  EXPECT_EQ(calls[2].name, L"b");
  EXPECT_EQ(calls[2].control, L"c");
  // Then the parent, whose duplicated attribute is applied twice, the last value winning.
  EXPECT_EQ(calls[3].name, L"d");
  EXPECT_FALSE(calls[3].hadParent);
  EXPECT_EQ(calls[4].value, L"p");
  EXPECT_EQ(calls[5].name, L"a");
  EXPECT_EQ(calls[5].value, L"1");
  EXPECT_EQ(calls[6].name, L"a");
  EXPECT_EQ(calls[6].value, L"3");
  // The finished tree is detached again; the window attaches it later.
  EXPECT_EQ(root->GetManager(), nullptr);
  CControlUI* child = AsContainer(root)->GetItemAt(0);
  EXPECT_EQ(child->GetManager(), nullptr);
  EXPECT_EQ(child->GetParent(), root);
  delete root;
}

TEST_F(DialogBuilderTest, ResourceElementsGiveFontsStylesAndClassDefaults) {
  test::ManagerWindow window;
  CPaintManagerUI& pm = window.manager();
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window>"
      L"<Font id=\"3\" name=\"Arial\" size=\"14\" bold=\"true\" default=\"true\"/>"
      L"<Font name=\"NoId\" size=\"30\" default=\"true\"/>"
      L"<Font id=\"4\" name=\"Tahoma\"/>"
      L"<Style name=\"red\" value=\"bkcolor=&quot;#FFFF0000&quot;\"/>"
      L"<Style name=\"red\" value=\"bkcolor=&quot;#FF00FF00&quot;\"/>"
      L"<Default name=\"Label\" value=\"bkcolor=&quot;#FF112233&quot; text=&quot;def&quot;\"/>"
      L"<Nothing/>"
      L"<VerticalLayout name=\"top\"><Label name=\"plain\"/><Label name=\"own\" bkcolor=\"#FF445566\"/>"
      L"<Control name=\"styled\" style=\"red\"/></VerticalLayout></Window>",
      nullptr, nullptr, &pm);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), L"top");
  CContainerUI* box = AsContainer(root);
  ASSERT_EQ(box->GetCount(), 3);
  EXPECT_EQ(box->GetItemAt(0)->GetBkColor(), 0xFF112233u);
  EXPECT_EQ(box->GetItemAt(0)->GetText(), L"def");
  EXPECT_EQ(box->GetItemAt(1)->GetBkColor(), 0xFF445566u);
  EXPECT_EQ(box->GetItemAt(1)->GetText(), L"def");
  EXPECT_EQ(box->GetItemAt(2)->GetBkColor(), 0xFFFF0000u);

  EXPECT_EQ(pm.GetCustomFontCount(false), 2u);
  TFontInfo* font = pm.GetFontInfo(3);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->sFontName, L"Arial");
  EXPECT_EQ(font->iSize, 14);
  EXPECT_TRUE(font->bBold);
  TFontInfo* tahoma = pm.GetFontInfo(4);
  ASSERT_NE(tahoma, nullptr);
  EXPECT_EQ(tahoma->iSize, 12);
  // A font without an id adds nothing, not even a default.
  EXPECT_EQ(pm.GetDefaultFontInfo()->sFontName, L"Arial");
  EXPECT_EQ(pm.GetDefaultFontInfo()->iSize, 14);
  delete root;
}

TEST_F(DialogBuilderTest, ASubtreeForAParentThatCannotHoldChildrenIsDeleted) {
  Callback callback;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><Label name=\"l\"><Recorder name=\"r\"><Leaf/><Leaf/></Recorder>"
      L"<Leaf/></Label></Window>",
      nullptr, &callback);
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetClass(), L"LabelUI");
  EXPECT_EQ(RecorderUI::s_live, 0);
  EXPECT_EQ(TrackedLeafUI::s_live, 0);
  // The builder gave up on that level at once: the second Leaf was never created.
  EXPECT_EQ(callback.asked.size(), 3u);
  delete root;
}

TEST_F(DialogBuilderTest, AControlTheParentRefusesIsDeleted) {
  // A chain as deep as a container accepts: one more level cannot be added below it.
  CVerticalLayoutUI top;
  CContainerUI* deepest = &top;
  for (int i = 0; i < CContainerUI::kMaxTreeDepth - 1; ++i) {
    auto* next = new CVerticalLayoutUI;
    ASSERT_TRUE(deepest->Add(next)) << i;
    deepest = next;
  }
  Callback callback;
  CDialogBuilder builder;
  CControlUI* result = builder.Create(
      L"<Window><Recorder name=\"refused\"><Leaf/></Recorder></Window>", nullptr, &callback,
      nullptr, deepest);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(deepest->GetCount(), 0);
  EXPECT_EQ(RecorderUI::s_live, 0);
  EXPECT_EQ(TrackedLeafUI::s_live, 0);
}

TEST_F(DialogBuilderTest, ADocumentThatFailsToLoadBuildsNothingAndKeepsTheMessage) {
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create(L"<Window><Label></Window>"), nullptr);
  wchar_t message[100] = {0};
  builder.GetLastErrorMessage(message, sizeof(message) / sizeof(message[0]));
  EXPECT_NE(message[0], L'\0');
  CDialogBuilder empty;
  EXPECT_EQ(empty.Create(L"<Window/>"), nullptr);
  CDialogBuilder missing;
  EXPECT_EQ(missing.Create(L"no_such_skin_file.xml"), nullptr);
}

TEST_F(DialogBuilderTest, TheInstallerSkinBuildsItsWindowFontsAndPages) {
  const char* unixPath = getenv("UI_WINDOW_INSTALLER_SKIN");
  ASSERT_NE(unixPath, nullptr);
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p != '\0'; ++p) path += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
  test::ManagerWindow window;
  CPaintManagerUI& pm = window.manager();
  CDialogBuilder builder;
  CControlUI* root = builder.Create(path.c_str(), nullptr, nullptr, &pm);
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->GetClass(), L"VerticalLayoutUI");
  EXPECT_EQ(root->GetName(), L"maintab");
  EXPECT_EQ(AsContainer(root)->GetCount(), 5);
  EXPECT_EQ(AsContainer(root)->GetItemAt(0)->GetName(), L"page1");

  EXPECT_EQ(pm.GetInitSize(), test::Size(600, 400));
  EXPECT_EQ(pm.GetCaptionRect(), test::Rect(0, 0, 0, 400));
  CShadowUI* shadow = pm.GetShadow();
  EXPECT_TRUE(shadow->IsShowShadow());
  EXPECT_TRUE(shadow->IsImageMode());
  EXPECT_EQ(shadow->GetImage(), L"shadow.png");
  EXPECT_EQ(shadow->GetShadowCorner(), test::Rect(25, 25, 25, 25));
  EXPECT_EQ(shadow->GetSize(), 25);

  // Fonts 0 to 21 are shared, 22 is the window's own; font 1 is the default.
  EXPECT_EQ(pm.GetCustomFontCount(true), 22u);
  EXPECT_EQ(pm.GetCustomFontCount(false), 1u);
  TFontInfo* font17 = pm.GetFontInfo(17);
  ASSERT_NE(font17, nullptr);
  EXPECT_EQ(font17->iSize, 29);
  EXPECT_EQ(font17->sFontName, L"微软雅黑");
  EXPECT_EQ(pm.GetDefaultFontInfo()->iSize, 12);
  EXPECT_FALSE(pm.GetDefaultFontInfo()->bBold);
  EXPECT_NE(pm.GetDefaultAttributeList(L"VScrollBar"), nullptr);
  delete root;
}

TEST_F(DialogBuilderTest, WindowAttributesReachTheManagerAndTheShadow) {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(hwnd, nullptr);
  {
    CPaintManagerUI pm;
    pm.Init(hwnd);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window Size=\"300,200\" opacity=\"300\" Layered=\"true\" sizebox=\"1,2,3,4\" "
        L"roundcorner=\"5,6\" mininfo=\"10,20\" maxinfo=\"30,40\" shadowsize=\"40\" "
        L"noactivate=\"true\" defaultfontcolor=\"#FF123456\" tooltiphovertime=\"700\"><Label/></Window>",
        nullptr, nullptr, &pm);
    ASSERT_NE(root, nullptr);
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
    EXPECT_EQ(pm.GetInitSize(), test::Size(300, 200));
    // The opacity byte is the value modulo 256, set on the window as a layered attribute.
    EXPECT_EQ(pm.GetOpacity(), 44);
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    // "layered" is matched exactly: "Layered" is not it.
    EXPECT_FALSE(pm.IsLayered());
    EXPECT_EQ(pm.GetSizeBox(), test::Rect(1, 2, 3, 4));
    EXPECT_EQ(pm.GetRoundCorner(), test::Size(5, 6));
    EXPECT_EQ(pm.GetMinInfo(), test::Size(10, 20));
    EXPECT_EQ(pm.GetMaxInfo(), test::Size(30, 40));
    EXPECT_EQ(pm.GetShadow()->GetSize(), 0);
    EXPECT_TRUE(pm.IsNoActivate());
    EXPECT_EQ(pm.GetDefaultFontColor(), 0xFF123456u);
    EXPECT_EQ(pm.GetHoverTime(), 700);
    delete root;

    CDialogBuilder second;
    root = second.Create(
        L"<Window layered=\"true\" shadowsize=\"-35\" shadowposition=\"3,-4\" "
        L"shadowposition=\"40,0\" shadowcolor=\"#00FF00\" shadowsharpness=\"36\" "
        L"shadowdarkness=\"200\" shadowcorner=\"1,-1,1,1\"><Label/></Window>",
        nullptr, nullptr, &pm);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(pm.IsLayered());
    CShadowUI* shadow = pm.GetShadow();
    EXPECT_EQ(shadow->GetSize(), -35);
    EXPECT_EQ(shadow->GetPosition().x, 3);
    EXPECT_EQ(shadow->GetPosition().y, -4);
    EXPECT_EQ(shadow->GetColor(), 0x0000FF00u);
    EXPECT_EQ(shadow->GetSharpness(), 5u);
    EXPECT_EQ(shadow->GetDarkness(), 200u);
    EXPECT_EQ(shadow->GetShadowCorner(), test::Rect(0, 0, 0, 0));
    delete root;
  }
  DestroyWindow(hwnd);
}

TEST_F(DialogBuilderTest, STRINGorIDHoldsATextOrASixteenBitId) {
  STRINGorID text(L"1.xml");
  EXPECT_FALSE(text.IsId());
  EXPECT_STREQ(text.m_lpstr, L"1.xml");
  STRINGorID id(0x12345u);
  EXPECT_TRUE(id.IsId());
  EXPECT_EQ(id.GetId(), 0x2345);
}

// Files on disk below the resource path; the path is restored afterwards.
class DialogBuilderFileTest : public DialogBuilderTest {
 protected:
  void SetUp() override {
    DialogBuilderTest::SetUp();
    m_saved = CPaintManagerUI::GetResourcePath().GetData();
    m_folder = test::MakeTempFolder();
    CPaintManagerUI::SetResourcePath(m_folder.c_str());
  }
  void TearDown() override {
    CPaintManagerUI::SetResourcePath(m_saved.c_str());
    test::RemoveFolder(m_folder);
  }
  void Write(const wchar_t* name, const char* text) {
    ASSERT_TRUE(test::WriteFileBytes(m_folder + L"\\" + name, text, strlen(text)));
  }
  std::wstring m_saved;
  std::wstring m_folder;
};

TEST_F(DialogBuilderFileTest, ANameIsLoadedAsAFileAndIncludesRepeatTheirSource) {
  Write(L"part.xml", "<Window><Label name=\"part\"/><Button name=\"part2\"/></Window>");
  Write(L"1.xml",
        "<Window><VerticalLayout name=\"main\"><Include source=\"part.xml\" count=\"2\"/>"
        "<Include/><Include source=\"part.xml\" count=\"0\"/><Label name=\"end\"/>"
        "</VerticalLayout></Window>");
  CDialogBuilder builder;
  CControlUI* root = builder.Create(L"1.xml");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), L"main");
  CContainerUI* box = AsContainer(root);
  ASSERT_EQ(box->GetCount(), 5);
  const wchar_t* names[] = {L"part", L"part2", L"part", L"part2", L"end"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(box->GetItemAt(i)->GetName(), names[i]) << i;
    EXPECT_EQ(box->GetItemAt(i)->GetParent(), root) << i;
  }
  delete root;
}

TEST_F(DialogBuilderFileTest, ASelfIncludingDocumentStopsAtTheDepthCap) {
  Write(L"self.xml", "<Window><Label name=\"level\"/><Include source=\"self.xml\"/></Window>");
  CVerticalLayoutUI parent;
  CDialogBuilder builder;
  CControlUI* first = builder.Create(L"self.xml", nullptr, nullptr, nullptr, &parent);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(parent.GetCount(), CDialogBuilder::kMaxIncludeDepth + 1);
}

TEST_F(DialogBuilderFileTest, RepeatedSelfIncludesStopAtTheDocumentBudget) {
  // Three copies at every level would be 3^16 documents; the build ends after its budget.
  Write(L"fan.xml", "<Window><Label/><Include source=\"fan.xml\" count=\"3\"/></Window>");
  CVerticalLayoutUI parent;
  CDialogBuilder builder;
  ASSERT_NE(builder.Create(L"fan.xml", nullptr, nullptr, nullptr, &parent), nullptr);
  EXPECT_EQ(parent.GetCount(), CDialogBuilder::kMaxIncludedDocuments + 1);
}

TEST_F(DialogBuilderTest, ResourceSkinsLoadByIdAndIncludeByDecimalId) {
  CDialogBuilder builder;
  builder.SetInstance(GetModuleHandleW(nullptr));
  CControlUI* root = builder.Create(STRINGorID(IDR_SKIN_PAGE), L"SKIN");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), L"page");
  CContainerUI* box = AsContainer(root);
  ASSERT_EQ(box->GetCount(), 3);
  EXPECT_EQ(box->GetItemAt(0)->GetText(), L"页面");
  EXPECT_STREQ(box->GetItemAt(1)->GetClass(), L"ButtonUI");
  EXPECT_EQ(box->GetItemAt(2)->GetName(), L"part");
  delete root;

  CDialogBuilder wrongType;
  wrongType.SetInstance(GetModuleHandleW(nullptr));
  EXPECT_EQ(wrongType.Create(STRINGorID(IDR_SKIN_PAGE), L"OTHER"), nullptr);
}

}  // namespace
}  // namespace ZQUI
