// CMainWnd: the installer's only window and the controller of its five pages. It reacts to clicks
// by control name, switches pages by showing one child of "maintab" at a time, lets the user pick
// the install folder and read the licence, starts the install pipeline on the worker thread, shows
// its progress and finally starts the installed application.
//
// Threads: everything runs on the UI thread (kThreadUI) except ShowProgress and
// ShowDownloadProgress, which the worker calls; they compute their value and text on the calling
// thread and post a task that applies them to the controls, so updates arrive in calling order.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "app/install_window.h"
#include "base/weak_callback.h"
#include "ui/core/window_impl_base.h"

namespace ZQUI {
class CContainerUI;
class CLabelUI;
class COptionUI;
class CProgressUI;
}  // namespace ZQUI

class CMainWnd : public ZQUI::WindowImplBase,
                 public kbase::SupportWeakCallback,
                 public IInstallWindow {
 public:
  // Page indexes of "maintab".
  enum Page : int {
    kPageStart = 0,
    kPageCustom = 1,
    kPageProgress = 2,
    kPageFinish = 3,
    kPageLicence = 4,
  };

  // Resources of the executable the window reads.
  static constexpr UINT kWindowIconId = 108;
  static constexpr UINT kLicenceResourceId = 134;

  CMainWnd();
  ~CMainWnd() override;

  // CWindowWnd / WindowImplBase.
  const wchar_t* GetWindowClassName() const override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hwnd) override;
  void InitWindow() override;
  void OnClick(ZQUI::TNotifyUI& msg) override;
  ZQUI::CDuiString GetSkinFile() override;
  void Notify(ZQUI::TNotifyUI& msg) override;
  ZQUI::CControlUI* CreateControl(const wchar_t* className) override;

  // Shows page `index` only; page 1 first gets its folder and space texts. UI thread.
  void ShowPage(int index) override;
  // Fixes the install folder when it is still empty and fills the custom-install page's labels.
  void UpdatePathPage();

  // IInstallWindow: callable from any thread.
  void ShowProgress(int percent) override;
  void ShowDownloadProgress(int64_t total, int64_t done) override;
  std::wstring GetInstallFolder() const override;
  MainIniFields& MainIni() override;

  // True from the moment the install task is posted until it has returned on the worker. Read by
  // the shut-down, which must not stop a worker that is still inside the pipeline.
  bool IsInstallRunning() const { return install_running_.load(std::memory_order_acquire); }

  // The licence text as loaded by the licence page (empty until then, or when it is not valid).
  const std::wstring& licence_text() const { return licence_text_; }

 private:
  void OnSelectPath();
  void OnShowLicence();
  void OnExit();
  void OnInstall();
  void OnOpenMain();

  // Applies a progress value and text on the UI thread.
  void ApplyProgress(int value, const std::wstring& text);
  // Posts ApplyProgress to kThreadUI.
  void PostProgress(int value, std::wstring text);

  std::wstring install_folder_;
  std::wstring licence_text_;
  MainIniFields main_ini_;
  ZQUI::CLabelUI* progress_text_ = nullptr;
  ZQUI::COptionUI* agreement_option_ = nullptr;
  ZQUI::CProgressUI* progress_bar_ = nullptr;
  ZQUI::CContainerUI* page_container_ = nullptr;
  std::atomic<bool> install_running_{false};
};
