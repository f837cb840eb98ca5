#include "app/main_wnd.h"

#include <cwchar>
#include <utility>

#include "app/file_util.h"
#include "app/folder_picker.h"
#include "app/install_config.h"
#include "app/install_pipeline.h"
#include "app/main_thread.h"
#include "app/process_util.h"
#include "app/shell_folders.h"
#include "app/strict_utf8.h"
#include "app/text_format.h"
#include "app/thread_ids.h"
#include "app/window_texts.h"
#include "base/thread_registry.h"
#include "ui/control/label.h"
#include "ui/control/option.h"
#include "ui/control/progress.h"
#include "ui/control/rich_edit.h"
#include "ui/layout/container.h"

namespace {

// The licence text resource, decoded; empty when it is missing or not well-formed UTF-8.
std::wstring LoadLicenceText(HINSTANCE instance, UINT id) {
  HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(id), L"TXT");
  if (!info) return std::wstring();
  HGLOBAL loaded = LoadResource(instance, info);
  const DWORD size = SizeofResource(instance, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  std::wstring text;
  if (data) app::DecodeUtf8Strict(data, size, &text);
  return text;
}

}  // namespace

CMainWnd::CMainWnd() = default;

CMainWnd::~CMainWnd() = default;

const wchar_t* CMainWnd::GetWindowClassName() const { return L"Base"; }

ZQUI::CDuiString CMainWnd::GetSkinFile() { return ZQUI::CDuiString(L"1.xml"); }

ZQUI::CControlUI* CMainWnd::CreateControl(const wchar_t*) { return nullptr; }

void CMainWnd::OnFinalMessage(HWND hwnd) {
  // Only detached from the paint manager: the object lives until the process ends, because the
  // worker may still report to it.
  ZQUI::WindowImplBase::OnFinalMessage(hwnd);
}

void CMainWnd::InitWindow() {
  page_container_ = dynamic_cast<ZQUI::CContainerUI*>(m_pm.FindControl(L"maintab"));
  for (const wchar_t* name : {L"setup_name_pg1", L"setup_name_pg4"}) {
    if (ZQUI::CControlUI* label = m_pm.FindControl(name)) label->SetText(InstallConfig::kDisplayName);
  }
  progress_bar_ = dynamic_cast<ZQUI::CProgressUI*>(m_pm.FindControl(L"progress"));
  progress_text_ = dynamic_cast<ZQUI::CLabelUI*>(m_pm.FindControl(L"progress_msg"));
  agreement_option_ = dynamic_cast<ZQUI::COptionUI*>(m_pm.FindControl(L"progresss_ag"));
  SetIcon(kWindowIconId);
  SetForegroundWindow(m_hWnd);
}

void CMainWnd::Notify(ZQUI::TNotifyUI& msg) {
  if (msg.typeName == ZQUI::NotifyName::kWindowInit) {
    SetIcon(kWindowIconId);
    SetForegroundWindow(m_hWnd);
  }
  ZQUI::WindowImplBase::Notify(msg);
}

void CMainWnd::OnClick(ZQUI::TNotifyUI& msg) {
  if (!msg.sender) return;
  const ZQUI::CDuiString name = msg.sender->GetName();
  if (name == L"btn_selpath") {
    OnSelectPath();
  } else if (name == L"btn_user") {
    OnShowLicence();
  } else if (name == L"opt_custom") {
    ShowPage(kPageCustom);
  } else if (name == L"opt_back") {
    ShowPage(kPageStart);
  } else if (name == L"exitbtn") {
    OnExit();
  } else if (name == L"installPage") {
    OnInstall();
  } else if (name == L"openmain") {
    OnOpenMain();
  }
}

LRESULT CMainWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    DestroyWindow(m_hWnd);
    PostQuitMessage(0);
  }
  return ZQUI::WindowImplBase::HandleMessage(msg, wParam, lParam);
}

void CMainWnd::OnSelectPath() {
  std::wstring chosen;
  if (!BrowseForFolder(m_hWnd, &chosen, L"选择安装路径")) return;
  install_folder_ = app::InstallFolderInChosen(chosen);
  UpdatePathPage();
  // The picker may have moved the current folder to the choice; put it back beside the
  // installer so that nothing keeps the chosen folder in use.
  SetCurrentDirectoryW(GetOwnDirectory().c_str());
}

void CMainWnd::OnShowLicence() {
  ZQUI::CControlUI* edit = m_pm.FindControl(L"edt_shouquan");
  const bool loaded = !licence_text_.empty();
  if (!loaded) {
    licence_text_ = LoadLicenceText(GetInstallerInstance(), kLicenceResourceId);
    if (edit) {
      edit->SetText(licence_text_.c_str());
      if (auto* rich = dynamic_cast<ZQUI::CRichEditUI*>(edit)) rich->SetRich(true);
    }
  }
  ShowPage(kPageLicence);
  // Focus goes only to a visible control: the page is shown first.
  if (loaded && edit) edit->SetFocus();
}

void CMainWnd::OnExit() {
  DestroyWindow(m_hWnd);
  PostQuitMessage(0);
}

void CMainWnd::OnInstall() {
  if (install_folder_.empty()) install_folder_ = app::InstallFolderInBase(GetDefaultBaseFolder());
  if (!agreement_option_ || !agreement_option_->IsSelected()) return;
  // Only one installation per run: the install buttons live on pages that are hidden from now
  // on, and a click that still reaches one must not start a second pipeline.
  if (install_running_.exchange(true, std::memory_order_acq_rel)) return;
  CreateDirectoryTree(install_folder_);
  ShowPage(kPageProgress);
  kbase::Task pipeline = MakeInstallPipelineTask(this);
  std::atomic<bool>* running = &install_running_;
  const bool posted = kbase::ThreadRegistry::PostTask(kThreadMisc, [pipeline, running] {
    pipeline();
    running->store(false, std::memory_order_release);
  });
  if (!posted) install_running_.store(false, std::memory_order_release);
}

void CMainWnd::OnOpenMain() {
  LaunchProcess(install_folder_ + InstallConfig::kMainExe);
  PostQuitMessage(0);
}

void CMainWnd::ShowPage(int index) {
  if (index == kPageCustom) UpdatePathPage();
  if (!page_container_) return;
  for (int i = 0; i < page_container_->GetCount(); ++i) {
    if (ZQUI::CControlUI* page = page_container_->GetItemAt(i)) page->SetVisible(i == index, true);
  }
}

void CMainWnd::UpdatePathPage() {
  if (install_folder_.empty()) install_folder_ = app::InstallFolderInBase(GetDefaultBaseFolder());
  if (ZQUI::CControlUI* path = m_pm.FindControl(L"savepath")) path->SetText(install_folder_.c_str());
  const std::wstring free_space = FormatFreeSpace(install_folder_.substr(0, 2));
  if (ZQUI::CControlUI* space = m_pm.FindControl(L"savepath_msg")) {
    space->SetText(app::SpaceText(InstallConfig::kRequiredSpaceText, free_space).c_str());
  }
}

void CMainWnd::ShowProgress(int percent) {
  app::ProgressReport report = app::InstallProgressReport(percent);
  PostProgress(report.value, std::move(report.text));
}

void CMainWnd::ShowDownloadProgress(int64_t total, int64_t done) {
  app::ProgressReport report;
  if (!app::DownloadProgressReport(total, done, &report)) return;
  PostProgress(report.value, std::move(report.text));
}

void CMainWnd::PostProgress(int value, std::wstring text) {
  // Always through the UI thread's queue, also when called on it, so that reports from both
  // threads keep their order.
  kbase::ThreadRegistry::PostTask(kThreadUI, [this, value, text] { ApplyProgress(value, text); });
}

void CMainWnd::ApplyProgress(int value, const std::wstring& text) {
  if (progress_bar_) progress_bar_->SetValue(value);
  if (progress_text_) progress_text_->SetText(text.c_str());
}

std::wstring CMainWnd::GetInstallFolder() const { return install_folder_; }

MainIniFields& CMainWnd::MainIni() { return main_ini_; }
