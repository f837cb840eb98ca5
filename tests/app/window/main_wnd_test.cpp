// The installer window's controller against a real window built from the real skin of the
// built installer.exe (its resources are read from the executable itself), clicked with posted
// mouse messages at the controls' own coordinates, and the real install pipeline behind it
// against the local package server.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/file_util.h"
#include "app/install_config.h"
#include "app/main_thread.h"
#include "app/main_wnd.h"
#include "app/misc_thread.h"
#include "app/process_util.h"
#include "app/shell_folders.h"
#include "app/strict_utf8.h"
#include "app/text_format.h"
#include "app/thread_ids.h"
#include "base/system_library.h"
#include "base/thread_registry.h"
#include "resources/resource_ids.h"
#include "tests/app/app_test_support.h"
#include "ui/control/label.h"
#include "ui/control/option.h"
#include "ui/control/progress.h"
#include "ui/control/rich_edit.h"
#include "ui/core/paint_manager.h"
#include "ui/layout/container.h"

namespace {

using ZQUI::CControlUI;

const std::wstring kProgressPrefix = L"正在安装，请不要关闭：";

// Runs `fn` on the UI thread and waits for it, at most `timeout_ms`.
bool OnUi(const std::function<void()>& fn, DWORD timeout_ms = 15000) {
  std::shared_ptr<void> done(CreateEventW(nullptr, TRUE, FALSE, nullptr), CloseHandle);
  if (!kbase::ThreadRegistry::PostTask(kThreadUI, [fn, done] {
        fn();
        SetEvent(done.get());
      }))
    return false;
  return WaitForSingleObject(done.get(), timeout_ms) == WAIT_OBJECT_0;
}

// The process-wide set-up: the UI thread (a UI loop registered as kThreadUI, OLE for the rich
// edit), the worker, and the installer executable as the source of skin, licence and icons.
class WindowEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    resources_ = LoadLibraryExW(Z_INSTALLER_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(resources_, nullptr) << "cannot read the resources of " << apptest::Narrow(Z_INSTALLER_EXE);
    SetInstallerInstance(resources_);

    ui_thread_ = std::make_unique<MiscThread>(kThreadUI, "test UI thread");
    ASSERT_TRUE(ui_thread_->StartWithLoop(kbase::FrameworkThread::kLoopUI));
    misc_thread_ = std::make_unique<MiscThread>(kThreadMisc, "Global Chores Thread");
    ASSERT_TRUE(misc_thread_->Start());

    HMODULE resources = resources_;
    ASSERT_TRUE(OnUi([resources] {
      CoInitialize(nullptr);
      OleInitialize(nullptr);
      ZQUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
      HRSRC info = FindResourceW(resources, MAKEINTRESOURCEW(IDR_SKIN_ZIP), L"ZIP");
      HGLOBAL data = info ? LoadResource(resources, info) : nullptr;
      if (data) ZQUI::CPaintManagerUI::SetResourceZip(LockResource(data), SizeofResource(resources, info), nullptr);
    }));
  }

  void TearDown() override {
    // The last test quits the UI loop itself ("openmain"); stopping a loop that has ended is
    // harmless.
    misc_thread_.reset();
    ui_thread_.reset();
  }

 private:
  HMODULE resources_ = nullptr;
  std::unique_ptr<MiscThread> ui_thread_;
  std::unique_ptr<MiscThread> misc_thread_;
};

// One installer window, created as the UI thread's Init hook creates it. The window object is
// never deleted, as in the installer.
class MainWndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OnUi([this] {
      window_ = new CMainWnd();
      hwnd_ = window_->Create(nullptr, L"", WS_VISIBLE | WS_OVERLAPPEDWINDOW, WS_EX_WINDOWEDGE, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
      if (!hwnd_) return;
      window_->CenterWindow();
      window_->ShowWindow(true, true);
      UpdateWindow(hwnd_);
    }));
    ASSERT_NE(hwnd_, nullptr);
  }

  void TearDown() override {
    // The window stays, as the installer's does (it is never deleted), only out of the way:
    // destroying a top-level window costs Wine two seconds without a window manager.
    if (window_ && !quit_) {
      HWND hwnd = hwnd_;
      OnUi([hwnd] { SetWindowPos(hwnd, HWND_BOTTOM, -2000, -2000, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE); });
    }
  }

  ZQUI::CPaintManagerUI* pm() { return window_->GetPaintManager(); }

  ZQUI::CContainerUI* Pages() {
    return dynamic_cast<ZQUI::CContainerUI*>(pm()->FindControl(L"maintab"));
  }

  // Indexes of the visible pages, read on the UI thread.
  std::vector<int> VisiblePages() {
    std::vector<int> visible;
    OnUi([&] {
      ZQUI::CContainerUI* pages = Pages();
      if (!pages) return;
      for (int i = 0; i < pages->GetCount(); ++i)
        if (pages->GetItemAt(i)->IsVisible()) visible.push_back(i);
    });
    return visible;
  }

  // The control `name` on the visible page (names repeat across pages), after a fresh layout.
  CControlUI* VisibleControl(const wchar_t* name) {
    UpdateWindow(hwnd_);
    ZQUI::CContainerUI* pages = Pages();
    if (!pages) return nullptr;
    for (int i = 0; i < pages->GetCount(); ++i) {
      CControlUI* page = pages->GetItemAt(i);
      if (!page->IsVisible()) continue;
      CControlUI* control = pm()->FindSubControlByName(page, name);
      if (control && control->IsVisible()) return control;
    }
    return nullptr;
  }

  // Posts a click at the centre of the visible control `name` and lets the window handle it.
  bool Click(const wchar_t* name) {
    RECT pos = {};
    bool found = false;
    OnUi([&] {
      if (CControlUI* control = VisibleControl(name)) {
        pos = control->GetPos();
        found = true;
      }
    });
    if (!found) return false;
    const LPARAM point = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
    PostMessageW(hwnd_, WM_MOUSEMOVE, 0, point);
    PostMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(hwnd_, WM_LBUTTONUP, 0, point);
    // The posted messages are handled before or inside this task, whichever the pump reaches
    // first: the task drains what is still queued for the window.
    HWND hwnd = hwnd_;
    return OnUi([hwnd] {
      MSG msg;
      for (int i = 0; i < 64 && PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    });
  }

  std::wstring TextOf(const wchar_t* name) {
    std::wstring text;
    OnUi([&] {
      if (CControlUI* control = pm()->FindControl(name)) text = control->GetText().GetData();
    });
    return text;
  }

  static std::wstring DefaultFolder() {
    return GetDefaultBaseFolder() + L"\\" + InstallConfig::kProductKey + L"\\";
  }

  CMainWnd* window_ = nullptr;
  HWND hwnd_ = nullptr;
  bool quit_ = false;
};

TEST_F(MainWndTest, SkinHasEveryControlAndShowsTheStartPage) {
  bool ok = false;
  OnUi([&] {
    ZQUI::CContainerUI* pages = Pages();
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->GetCount(), 5);
    for (const wchar_t* name :
         {L"setup_name_pg1", L"installPage", L"progresss_ag", L"btn_user", L"opt_custom", L"exitbtn", L"opt_back",
          L"savepath", L"btn_selpath", L"savepath_msg", L"progress", L"progress_msg", L"setup_name_pg4",
          L"openmain", L"edt_shouquan"}) {
      EXPECT_NE(pm()->FindControl(name), nullptr) << apptest::Narrow(name);
    }
    EXPECT_NE(dynamic_cast<ZQUI::CProgressUI*>(pm()->FindControl(L"progress")), nullptr);
    EXPECT_NE(dynamic_cast<ZQUI::COptionUI*>(pm()->FindControl(L"progresss_ag")), nullptr);
    EXPECT_NE(dynamic_cast<ZQUI::CRichEditUI*>(pm()->FindControl(L"edt_shouquan")), nullptr);
    ok = true;
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  EXPECT_EQ(TextOf(L"setup_name_pg1"), InstallConfig::kDisplayName);
  EXPECT_EQ(TextOf(L"setup_name_pg4"), InstallConfig::kDisplayName);
  EXPECT_TRUE(window_->GetInstallFolder().empty());

  // The window is the skin's 600 x 400, without a caption.
  RECT client = {};
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(client.right - client.left, 600);
  EXPECT_EQ(client.bottom - client.top, 400);
  EXPECT_EQ(GetWindowLongW(hwnd_, GWL_STYLE) & WS_CAPTION, 0);
  wchar_t class_name[64] = {};
  GetClassNameW(hwnd_, class_name, static_cast<int>(sizeof(class_name) / sizeof(class_name[0])));
  EXPECT_STREQ(class_name, L"Base");
}

TEST_F(MainWndTest, CustomPageKeepsOneFolderAndShowsItsSpace) {
  ASSERT_TRUE(Click(L"opt_custom"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{1});
  const std::wstring folder = DefaultFolder();
  EXPECT_EQ(window_->GetInstallFolder(), folder);
  EXPECT_EQ(TextOf(L"savepath"), folder);
  const std::wstring space = TextOf(L"savepath_msg");
  // The free space of the folder's drive, as FormatFreeSpace writes it (the figure itself moves
  // with whatever else writes to the disk meanwhile).
  const std::wstring prefix = L"所需空间：73MB 可用空间：";
  ASSERT_EQ(space.substr(0, prefix.size()), prefix) << apptest::Narrow(space);
  const std::wstring free_space = space.substr(prefix.size());
  const std::wstring now = FormatFreeSpace(folder.substr(0, 2));
  ASSERT_FALSE(now.empty());
  EXPECT_EQ(free_space.substr(free_space.find(L' ')), now.substr(now.find(L' ')));  // same unit
  EXPECT_NEAR(std::stod(free_space), std::stod(now), std::stod(now) * 0.05);

  ASSERT_TRUE(Click(L"opt_back"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  ASSERT_TRUE(Click(L"opt_custom"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{1});
  EXPECT_EQ(TextOf(L"savepath"), folder);
  EXPECT_EQ(window_->GetInstallFolder(), folder);
  ASSERT_TRUE(Click(L"opt_back"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
}

// The folder picker owned by the window, answered from this thread as a user would: the drive
// root typed into it, then accepted.
struct PickerSearch {
  HWND owner;
  HWND dialog;
};

BOOL CALLBACK FindPicker(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<PickerSearch*>(lparam);
  wchar_t class_name[32] = {};
  GetClassNameW(hwnd, class_name, static_cast<int>(sizeof(class_name) / sizeof(class_name[0])));
  if (wcscmp(class_name, L"#32770") == 0 && GetWindow(hwnd, GW_OWNER) == search->owner && IsWindowVisible(hwnd)) {
    search->dialog = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForPicker(HWND owner, DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
    PickerSearch search = {owner, nullptr};
    EnumWindows(FindPicker, reinterpret_cast<LPARAM>(&search));
    if (search.dialog) return search.dialog;
    Sleep(50);
  }
  return nullptr;
}

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM lparam) {
  wchar_t class_name[32] = {};
  GetClassNameW(hwnd, class_name, static_cast<int>(sizeof(class_name) / sizeof(class_name[0])));
  if (_wcsicmp(class_name, L"Edit") == 0 && IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(lparam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST_F(MainWndTest, BrowseButtonPutsTheProductFolderIntoTheChosenFolder) {
  // The click opens the modal picker on the UI thread; this thread answers it.
  HWND hwnd = hwnd_;
  ASSERT_TRUE(Click(L"opt_custom"));
  RECT pos = {};
  OnUi([&] { pos = VisibleControl(L"btn_selpath")->GetPos(); });
  const LPARAM point = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, point);
  HWND picker = WaitForPicker(hwnd, 10000);
  ASSERT_NE(picker, nullptr) << "no folder picker";
  wchar_t title[64] = {};
  GetWindowTextW(picker, title, static_cast<int>(sizeof(title) / sizeof(title[0])));
  EXPECT_STREQ(title, L"选择安装路径");
  HWND edit = nullptr;
  EnumChildWindows(picker, FindEdit, reinterpret_cast<LPARAM>(&edit));
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\"));
  // The first OK may only open the typed folder; accept again until the picker is gone.
  for (int i = 0; i < 5 && IsWindow(picker); ++i) {
    PostMessageW(picker, WM_COMMAND, IDOK, 0);
    for (int k = 0; k < 20 && IsWindow(picker); ++k) Sleep(50);
  }
  ASSERT_FALSE(IsWindow(picker));
  ASSERT_TRUE(OnUi([] {}));
  EXPECT_EQ(window_->GetInstallFolder(), L"C:\\\\VADIZUredizadi\\");
  EXPECT_EQ(TextOf(L"savepath"), L"C:\\\\VADIZUredizadi\\");
  EXPECT_EQ(VisiblePages(), std::vector<int>{1});
  std::wstring current;
  OnUi([&] {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    current = folder;
  });
  std::wstring own = GetOwnDirectory();
  if (!own.empty() && own.back() == L'\\') own.pop_back();
  EXPECT_EQ(current, own);
  ASSERT_TRUE(Click(L"opt_back"));
}

TEST_F(MainWndTest, LicencePageShowsTheDecodedLicence) {
  std::string bytes;
  ASSERT_TRUE(apptest::ReadFileBytes(Z_LICENCE_TXT, &bytes));
  std::wstring expected;
  ASSERT_TRUE(app::DecodeUtf8Strict(bytes.data(), bytes.size(), &expected));
  ASSERT_FALSE(expected.empty());

  ASSERT_TRUE(Click(L"btn_user"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{4});
  EXPECT_EQ(window_->licence_text(), expected);
  long length = 0;
  OnUi([&] {
    if (auto* edit = dynamic_cast<ZQUI::CRichEditUI*>(pm()->FindControl(L"edt_shouquan")))
      length = edit->GetTextLength();
  });
  EXPECT_GT(length, 100);

  ASSERT_TRUE(Click(L"opt_back"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  // The second time the text is kept and the edit takes the focus.
  ASSERT_TRUE(Click(L"btn_user"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{4});
  EXPECT_EQ(window_->licence_text(), expected);
  bool focused = false;
  OnUi([&] { focused = pm()->GetFocus() == pm()->FindControl(L"edt_shouquan"); });
  EXPECT_TRUE(focused);
  ASSERT_TRUE(Click(L"opt_back"));
}

TEST_F(MainWndTest, InstallNeedsTheAgreementButFixesTheFolder) {
  ASSERT_TRUE(Click(L"progresss_ag"));
  bool selected = true;
  OnUi([&] { selected = dynamic_cast<ZQUI::COptionUI*>(pm()->FindControl(L"progresss_ag"))->IsSelected(); });
  ASSERT_FALSE(selected);

  ASSERT_TRUE(Click(L"installPage"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  EXPECT_EQ(window_->GetInstallFolder(), DefaultFolder());
  EXPECT_FALSE(window_->IsInstallRunning());

  // The licence page's install button is gated the same way.
  ASSERT_TRUE(Click(L"btn_user"));
  ASSERT_TRUE(Click(L"installPage"));
  EXPECT_EQ(VisiblePages(), std::vector<int>{4});
  EXPECT_FALSE(window_->IsInstallRunning());
}

TEST_F(MainWndTest, ProgressReportsFromTheWorkerArriveInOrder) {
  // Every report is followed by a probe posted from the worker that reads the controls back.
  std::vector<std::pair<int, std::wstring>> seen;
  auto probe = [this, &seen] {
    kbase::ThreadRegistry::PostTask(kThreadUI, [this, &seen] {
      auto* bar = dynamic_cast<ZQUI::CProgressUI*>(pm()->FindControl(L"progress"));
      seen.emplace_back(bar ? bar->GetValue() : -1, pm()->FindControl(L"progress_msg")->GetText().GetData());
    });
  };
  CMainWnd* window = window_;
  std::shared_ptr<void> done(CreateEventW(nullptr, TRUE, FALSE, nullptr), CloseHandle);
  ASSERT_TRUE(kbase::ThreadRegistry::PostTask(kThreadMisc, [window, probe, done] {
    window->ShowDownloadProgress(1000, 0);  // ignored
    window->ShowDownloadProgress(0, 10);    // ignored
    window->ShowDownloadProgress(100000, 5);
    probe();
    window->ShowDownloadProgress(1000, 512);
    probe();
    window->ShowDownloadProgress(1000, 1000);
    window->ShowProgress(51);
    probe();
    for (int p = 52; p <= 94; ++p) window->ShowProgress(p);
    probe();
    window->ShowProgress(100);
    probe();
    SetEvent(done.get());
  }));
  ASSERT_EQ(WaitForSingleObject(done.get(), 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(OnUi([] {}));  // the probes were posted before this
  const std::vector<std::pair<int, std::wstring>> expected = {
      {2, kProgressPrefix + L"2%"},
      {25, kProgressPrefix + L"26%"},
      {51, kProgressPrefix + L"51%"},
      {94, kProgressPrefix + L"94%"},
      {100, kProgressPrefix},
  };
  EXPECT_EQ(seen, expected);
}

// The user's whole way: start page, install, the worker's progress, the finish page and the
// installed application. Last in this program: "openmain" ends the UI loop.
TEST_F(MainWndTest, InstallRunsToTheFinishPageAndStartsTheProduct) {
  ASSERT_TRUE(apptest::SetServerMode("slow"));
  const std::wstring folder = DefaultFolder();
  apptest::RemoveTree(folder.substr(0, folder.size() - 1));

  ASSERT_TRUE(Click(L"installPage"));
  EXPECT_EQ(window_->GetInstallFolder(), folder);
  EXPECT_EQ(VisiblePages(), std::vector<int>{2});
  EXPECT_TRUE(FileExists(folder.substr(0, folder.size() - 1)));

  // Sample the bar while the pipeline runs: it only moves forward and stays in range.
  std::vector<int> values;
  std::wstring text;
  bool finished = false;
  for (int i = 0; i < 1200 && !finished; ++i) {
    Sleep(100);
    OnUi([&] {
      values.push_back(dynamic_cast<ZQUI::CProgressUI*>(pm()->FindControl(L"progress"))->GetValue());
      text = pm()->FindControl(L"progress_msg")->GetText().GetData();
      ZQUI::CContainerUI* pages = Pages();
      finished = pages->GetItemAt(3)->IsVisible();
    });
  }
  ASSERT_TRUE(finished) << "no finish page within two minutes";
  EXPECT_FALSE(window_->IsInstallRunning());
  EXPECT_EQ(VisiblePages(), std::vector<int>{3});
  ASSERT_FALSE(values.empty());
  for (size_t i = 1; i < values.size(); ++i) EXPECT_LE(values[i - 1], values[i]) << "sample " << i;
  EXPECT_EQ(values.back(), 97);
  EXPECT_EQ(text, kProgressPrefix + L"97%");
  bool saw_download = false;
  for (int v : values) saw_download |= v >= 2 && v <= 50;
  EXPECT_TRUE(saw_download);
  EXPECT_TRUE(FileExists(folder + InstallConfig::kMainExe));
  EXPECT_TRUE(FileExists(folder + L"main.ini"));

  const std::wstring launched = folder + InstallConfig::kMainExe + L".launched";
  DeleteFileW(launched.c_str());
  ASSERT_TRUE(Click(L"openmain"));
  quit_ = true;
  EXPECT_TRUE(apptest::WaitForFile(launched, 20000));
  apptest::SetServerMode("ok");
}

// The entry point restricts the DLL search before anything loads; what the window needs must
// still load by name from the system folder.
TEST(DllSearchPath, RestrictedSearchStillLoadsWhatTheWindowNeeds) {
  ASSERT_TRUE(kbase::RestrictDllSearchPath());
  for (const wchar_t* dll : {L"gdiplus.dll", L"Msftedit.dll", L"shell32.dll", L"ole32.dll", L"comctl32.dll"}) {
    HMODULE module = LoadLibraryW(dll);
    EXPECT_NE(module, nullptr) << apptest::Narrow(dll) << " error " << GetLastError();
    if (module) FreeLibrary(module);
  }
  // A DLL in the current folder is not found by name any more, though it loads by its path.
  apptest::TempFolder folder(L"dllsearch");
  const std::wstring planted = folder / L"planted_by_name.dll";
  ASSERT_TRUE(CopyFileW(apptest::LoadableFixtureDll().c_str(), planted.c_str(), FALSE));
  ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
  HMODULE by_name = LoadLibraryW(L"planted_by_name.dll");
  EXPECT_EQ(by_name, nullptr);
  if (by_name) FreeLibrary(by_name);
  HMODULE by_path = LoadLibraryW(planted.c_str());
  EXPECT_NE(by_path, nullptr);
  if (by_path) FreeLibrary(by_path);
  SetCurrentDirectoryW(GetOwnDirectory().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new WindowEnvironment);
  return RUN_ALL_TESTS();
}
