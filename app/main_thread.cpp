#include "app/main_thread.h"

#include <objbase.h>
#include <ole2.h>

#include "app/main_wnd.h"
#include "app/misc_thread.h"
#include "app/thread_ids.h"
#include "base/thread_registry.h"
#include "resources/resource_ids.h"
#include "ui/core/paint_manager.h"

namespace {

HINSTANCE g_installer_instance = nullptr;

// The skin archive lives in the executable's image for the whole run, so the paint manager reads
// it in place.
void HandSkinArchiveToUi(HINSTANCE instance) {
  HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(IDR_SKIN_ZIP), L"ZIP");
  if (!info) return;
  HGLOBAL loaded = LoadResource(instance, info);
  const DWORD size = SizeofResource(instance, info);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size == 0) return;
  ZQUI::CPaintManagerUI::SetResourceZip(data, size, nullptr);
}

}  // namespace

void SetInstallerInstance(HINSTANCE instance) { g_installer_instance = instance; }

HINSTANCE GetInstallerInstance() { return g_installer_instance; }

MainThread::MainThread() : kbase::FrameworkThread("MainThread") {}

MainThread::~MainThread() = default;

void MainThread::Init() {
  CoInitialize(nullptr);
  OleInitialize(nullptr);

  // Started (and registered) before anything can post an installation to it.
  misc_thread_ = std::make_unique<MiscThread>(kThreadMisc, "Global Chores Thread");
  misc_thread_->Start();

  kbase::ThreadRegistry::RegisterCurrentThread(kThreadUI);
  ZQUI::CPaintManagerUI::SetInstance(g_installer_instance);
  HandSkinArchiveToUi(g_installer_instance);

  // Never deleted: its final message only detaches it from the paint manager, and the worker may
  // still hold it while the process ends.
  window_ = new CMainWnd();
  const HWND hwnd = window_->Create(nullptr, L"", WS_VISIBLE | WS_OVERLAPPEDWINDOW, WS_EX_WINDOWEDGE,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  if (!hwnd) {
    // Without a window nothing could ever end the loop; end it now instead of running unseen
    // with the single-instance mutex held.
    PostQuitMessage(0);
    return;
  }
  window_->CenterWindow();
  window_->ShowWindow(true, true);
}

void MainThread::Cleanup() {
  ZQUI::CPaintManagerUI::Term();
  OleUninitialize();
  CoUninitialize();

  if (misc_thread_) {
    if (window_ && window_->IsInstallRunning()) {
      // The pipeline has no cancellation points, and killing the worker could leave a lock
      // (heap, loader, a loop's queue) held for ever, deadlocking whatever needs it next. The
      // worker is left running; the entry point ends the process without waiting for it.
      worker_abandoned_ = true;
      misc_thread_.release();
    } else {
      misc_thread_->Stop();
      misc_thread_.reset();
    }
  }

  kbase::ThreadRegistry::UnregisterCurrentThread();
}
