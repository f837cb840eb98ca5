// The installer's UI thread: a framework thread run on the process's first thread with a UI loop.
// Its Init hook starts the worker, hands the skin archive to the UI library and shows the window;
// its Cleanup hook tears the same things down once the loop has quit.
#pragma once

#include <windows.h>

#include <memory>

#include "base/framework_thread.h"

class CMainWnd;
class MiscThread;

// The module whose resources (skin archive, licence, icons) the installer uses. Set by the entry
// point before the UI thread starts.
void SetInstallerInstance(HINSTANCE instance);
HINSTANCE GetInstallerInstance();

class MainThread : public kbase::FrameworkThread {
 public:
  MainThread();
  ~MainThread() override;

  // The window Init created; it lives until the process ends. Null before Init.
  CMainWnd* window() const { return window_; }

  // True when Cleanup found the worker still inside the installation and left it running: the
  // caller must then end the process without waiting for it or running further clean-up.
  bool worker_abandoned() const { return worker_abandoned_; }

 protected:
  void Init() override;
  void Cleanup() override;

 private:
  std::unique_ptr<MiscThread> misc_thread_;
  CMainWnd* window_ = nullptr;
  bool worker_abandoned_ = false;
};
