// The control factory: class names ignoring case, the aliases, the tab layout, the classes that
// are not built, and registration that never replaces an entry.
#include "ui/core/control_factory.h"

#include <gtest/gtest.h>

#include "ui/core/control.h"

namespace ZQUI {
namespace {

class MarkerUI : public CControlUI {
 public:
  explicit MarkerUI(int id) : id(id) {}
  const wchar_t* GetClass() const override { return L"MarkerUI"; }
  int id;
};

CControlUI* MakeFirst() { return new MarkerUI(1); }
CControlUI* MakeSecond() { return new MarkerUI(2); }

struct Case {
  const wchar_t* name;
  const wchar_t* klass;  // null: not created
};

TEST(ControlFactoryTest, CreatesEveryBuiltClassByNameIgnoringCase) {
  const Case cases[] = {
      {L"CControlUI", L"ControlUI"},
      {L"ccontainerui", L"ContainerUI"},
      {L"CBUTTONUI", L"ButtonUI"},
      {L"CLabelUI", L"LabelUI"},
      {L"COptionUI", L"OptionUI"},
      {L"CCheckBoxUI", L"CheckBoxUI"},
      {L"CProgressUI", L"ProgressUI"},
      {L"CRichEditUI", L"RichEditUI"},
      {L"CScrollBarUI", L"ScrollBarUI"},
      {L"CHorizontalLayoutUI", L"HorizontalLayoutUI"},
      {L"CVerticalLayoutUI", L"VerticalLayoutUI"},
      {L"Box", L"ContainerUI"},
      {L"hbox", L"HorizontalLayoutUI"},
      {L"VBox", L"VerticalLayoutUI"},
      // The tab layout, which the tooltip window's skin needs, is the one further control built.
      {L"CTabLayoutUI", L"TabLayoutUI"},
      {L"tabbox", L"TabLayoutUI"},
      // The others are not: nothing pretends to be them.
      {L"CListUI", nullptr},
      {L"CComboUI", nullptr},
      {L"CEditUI", nullptr},
      {L"CAnimationTabLayoutUI", nullptr},
      {L"CMenuUI", nullptr},
      {L"CSliderUI", nullptr},
      {L"CTreeViewUI", nullptr},
      {L"", nullptr},
      {L"CNoSuchUI", nullptr},
  };
  CControlFactory* factory = CControlFactory::GetInstance();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory, CControlFactory::GetInstance());
  for (const Case& c : cases) {
    CControlUI* control = factory->CreateControl(c.name);
    if (c.klass == nullptr) {
      EXPECT_EQ(control, nullptr) << testing::PrintToString(std::wstring(c.name));
    } else {
      ASSERT_NE(control, nullptr) << testing::PrintToString(std::wstring(c.name));
      EXPECT_STREQ(control->GetClass(), c.klass);
    }
    delete control;
  }
}

TEST(ControlFactoryTest, RegistrationKeepsTheFirstEntryAndFoldsWideCharacters) {
  CControlFactory* factory = CControlFactory::GetInstance();
  factory->RegistControl(L"CÄrgerÉtéUI", &MakeFirst);
  factory->RegistControl(L"cärgerétéui", &MakeSecond);
  CControlUI* control = factory->CreateControl(L"CÄRGERÉTÉUI");
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(static_cast<MarkerUI*>(control)->id, 1);
  delete control;
  // An existing built-in class is not replaced either.
  factory->RegistControl(L"CLabelUI", &MakeSecond);
  control = factory->CreateControl(L"CLabelUI");
  ASSERT_NE(control, nullptr);
  EXPECT_STREQ(control->GetClass(), L"LabelUI");
  delete control;
}

TEST(ControlFactoryTest, ReleaseDeletesTheTableAndALaterUseStartsAFreshOne) {
  CControlFactory* factory = CControlFactory::GetInstance();
  factory->RegistControl(L"CTemporaryUI", &MakeFirst);
  factory->Release();
  CControlFactory* fresh = CControlFactory::GetInstance();
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->CreateControl(L"CTemporaryUI"), nullptr);
  CControlUI* label = fresh->CreateControl(L"CLabelUI");
  ASSERT_NE(label, nullptr);
  delete label;
}

}  // namespace
}  // namespace ZQUI
