// Message maps: exact control names before the any-control fallback, base maps after derived
// ones, both handler signatures, and routing through named virtual windows.
#include "ui/core/notify_pump.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/core/control.h"

namespace ZQUI {
namespace {

std::vector<std::wstring>& Log() {
  static std::vector<std::wstring> log;
  return log;
}

class BasePump : public CNotifyPump {
 public:
  void OnAnyClick(TNotifyUI& msg) { Log().push_back(L"base-any:" + std::wstring(msg.sender->GetName())); }
  void OnBaseOnly(TNotifyUI&) { Log().push_back(L"base-only"); }
  DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(BasePump, CNotifyPump)
DUI_ON_MSGTYPE(NotifyName::kClick, BasePump::OnAnyClick)
DUI_ON_MSGTYPE(L"baseonly", BasePump::OnBaseOnly)
DUI_END_MESSAGE_MAP()

// A second base so the pump is not the first base: handlers need the this-adjustment.
struct Padding {
  virtual ~Padding() = default;
  int pad[7] = {};
};

class DerivedPump : public Padding, public BasePump {
 public:
  void OnOk(TNotifyUI&) { Log().push_back(L"ok:" + std::to_wstring(marker)); }
  void OnFirstFallback(TNotifyUI&) { Log().push_back(L"fallback-1"); }
  void OnLastFallback(TNotifyUI&) { Log().push_back(L"fallback-2"); }
  LRESULT OnValues(WPARAM wParam, LPARAM lParam) {
    Log().push_back(L"values:" + std::to_wstring(wParam) + L"," + std::to_wstring(lParam));
    return 0;
  }
  int marker = 42;
  DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(DerivedPump, BasePump)
DUI_ON_MSGTYPE(L"select", DerivedPump::OnFirstFallback)
DUI_ON_CLICK_CTRNAME(L"okbtn", DerivedPump::OnOk)
DUI_ON_MSGTYPE(L"select", DerivedPump::OnLastFallback)
DUI_ON_MSGTYPE_LWL(L"values", DerivedPump::OnValues)
DUI_END_MESSAGE_MAP()

TNotifyUI Note(const wchar_t* type, CControlUI* sender) {
  TNotifyUI msg;
  msg.typeName = type;
  msg.sender = sender;
  return msg;
}

class NotifyPumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    ok.SetName(L"okbtn");
    other.SetName(L"other");
  }
  CControlUI ok;
  CControlUI other;
};

TEST_F(NotifyPumpTest, ExactNamesWinThenTheLastFallbackThenBaseMaps) {
  DerivedPump pump;
  TNotifyUI click = Note(NotifyName::kClick, &ok);
  EXPECT_TRUE(pump.LoopDispatch(click));
  TNotifyUI otherClick = Note(NotifyName::kClick, &other);
  EXPECT_TRUE(pump.LoopDispatch(otherClick));
  TNotifyUI select = Note(L"select", &ok);
  EXPECT_TRUE(pump.LoopDispatch(select));
  TNotifyUI baseOnly = Note(L"baseonly", &other);
  EXPECT_TRUE(pump.LoopDispatch(baseOnly));
  TNotifyUI values = Note(L"values", &other);
  values.wParam = 7;
  values.lParam = -3;
  EXPECT_TRUE(pump.LoopDispatch(values));
  TNotifyUI unknown = Note(L"nothing", &ok);
  EXPECT_FALSE(pump.LoopDispatch(unknown));
  std::vector<std::wstring> expected = {L"ok:42", L"base-any:other", L"fallback-2", L"base-only",
                                        L"values:7,-3"};
  EXPECT_EQ(Log(), expected);
}

TEST_F(NotifyPumpTest, VirtualWindowsGetTheirNotificationsFirst) {
  DerivedPump window;
  DerivedPump page;
  page.marker = 7;
  EXPECT_TRUE(window.AddVirtualWnd(L"Page", &page));
  EXPECT_FALSE(window.AddVirtualWnd(L"Page", &window));

  TNotifyUI routed = Note(NotifyName::kClick, &ok);
  routed.virtualWindow = L"page";
  window.NotifyPump(routed);
  // A virtual window that matches nothing hands over to the window's own map.
  TNotifyUI unrouted = Note(NotifyName::kClick, &ok);
  unrouted.virtualWindow = L"elsewhere";
  window.NotifyPump(unrouted);
  TNotifyUI plain = Note(NotifyName::kClick, &ok);
  window.NotifyPump(plain);
  std::vector<std::wstring> expected = {L"ok:7", L"ok:42", L"ok:42"};
  EXPECT_EQ(Log(), expected);

  EXPECT_TRUE(window.RemoveVirtualWnd(L"Page"));
  EXPECT_FALSE(window.RemoveVirtualWnd(L"Page"));
  Log().clear();
  window.NotifyPump(routed);
  EXPECT_EQ(Log(), std::vector<std::wstring>{L"ok:42"});
}

TEST_F(NotifyPumpTest, ThePlainPumpHandlesNothing) {
  CNotifyPump pump;
  TNotifyUI click = Note(NotifyName::kClick, &ok);
  EXPECT_FALSE(pump.LoopDispatch(click));
  EXPECT_TRUE(Log().empty());
}

}  // namespace
}  // namespace ZQUI
