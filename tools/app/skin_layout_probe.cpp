// Prints where the named controls of the installer's skin lie on each of its pages, in client
// coordinates of the 600 x 400 window, as the UI library itself lays them out. The GUI test and
// `make run` click at these points with real input, so the clicks follow the skin instead of
// numbers copied from it.
// Usage: skin_layout_probe.exe <installer.exe>   (output: "<page> <name> <left> <top> <right> <bottom>")
#include <windows.h>

#include <cstdio>

#include "resources/resource_ids.h"
#include "ui/core/control.h"
#include "ui/core/paint_manager.h"
#include "ui/core/window_impl_base.h"
#include "ui/layout/container.h"

namespace {

class ProbeWindow : public ZQUI::WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"SkinLayoutProbe"; }
  ZQUI::CDuiString GetSkinFile() override { return ZQUI::CDuiString(L"1.xml"); }
  ZQUI::CPaintManagerUI& pm() { return m_pm; }
};

constexpr const wchar_t* kNames[] = {L"installPage", L"progresss_ag", L"btn_user", L"opt_custom", L"exitbtn",
                                     L"opt_back", L"savepath", L"btn_selpath", L"progress", L"openmain",
                                     L"edt_shouquan"};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: skin_layout_probe <installer.exe>\n");
    return 2;
  }
  HMODULE resources = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  HRSRC info = resources ? FindResourceW(resources, MAKEINTRESOURCEW(IDR_SKIN_ZIP), L"ZIP") : nullptr;
  HGLOBAL data = info ? LoadResource(resources, info) : nullptr;
  if (!data) {
    fwprintf(stderr, L"no skin archive in %ls\n", argv[1]);
    return 3;
  }
  ZQUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  ZQUI::CPaintManagerUI::SetResourceZip(LockResource(data), SizeofResource(resources, info), nullptr);

  ProbeWindow window;
  if (!window.Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr)) return 4;
  RECT client = {};
  GetClientRect(window.GetHWND(), &client);
  auto* pages = dynamic_cast<ZQUI::CContainerUI*>(window.pm().FindControl(L"maintab"));
  ZQUI::CControlUI* root = window.pm().GetRoot();
  if (!pages || !root) return 5;
  wprintf(L"window %ld %ld\n", client.right - client.left, client.bottom - client.top);
  for (int index = 0; index < pages->GetCount(); ++index) {
    for (int i = 0; i < pages->GetCount(); ++i) pages->GetItemAt(i)->SetVisible(i == index, false);
    root->SetPos(client, false);
    ZQUI::CControlUI* page = pages->GetItemAt(index);
    for (const wchar_t* name : kNames) {
      ZQUI::CControlUI* control = window.pm().FindSubControlByName(page, name);
      if (!control || !control->IsVisible()) continue;
      const RECT& pos = control->GetPos();
      wprintf(L"%d %ls %ld %ld %ld %ld\n", index, name, pos.left, pos.top, pos.right, pos.bottom);
    }
  }
  fflush(stdout);
  DestroyWindow(window.GetHWND());
  ZQUI::CPaintManagerUI::Term();
  return 0;
}
