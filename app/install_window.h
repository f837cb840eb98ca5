// What the installation back end needs from the installer window: the install folder to work in,
// the window's main.ini fields, and the three progress operations. The window (CMainWnd)
// implements it; tests implement it to watch the reports. Kept to these operations so that the
// pipeline never touches a control.
#pragma once

#include <cstdint>
#include <string>

// Receives download progress. Called on the worker thread, in the order the bytes arrive; an
// implementation that shows it hands the values to the UI thread itself.
class IDownloadProgress {
 public:
  // Byte counts of the current transfer; total is 0 when the server sent no length. The window
  // turns them into 2..50 percent and ignores a call where either is 0.
  virtual void ShowDownloadProgress(int64_t total, int64_t done) = 0;

 protected:
  ~IDownloadProgress() = default;
};

// The seven values main.ini records, kept by the window and filled by WriteMainIni just before
// it writes the file.
struct MainIniFields {
  std::wstring setup;
  std::wstring packdt;
  std::wstring app;
  std::wstring pos;
  std::wstring ver;
  std::wstring os;
  std::wstring bdvid;
};

class IInstallWindow : public IDownloadProgress {
 public:
  // Absolute path ending with a backslash. Read on the worker thread; the UI thread does not
  // change it while the installation runs.
  virtual std::wstring GetInstallFolder() const = 0;

  // The window's main.ini fields; written on the worker thread only, by WriteMainIni.
  virtual MainIniFields& MainIni() = 0;

  // Percent 0..100. Called on the worker thread; the window applies it on the UI thread, in
  // calling order.
  virtual void ShowProgress(int percent) = 0;

  // Shows page `index` only. Called on the UI thread: the pipeline's completion task, posted to
  // kThreadUI after the last progress report, calls ShowPage(3).
  virtual void ShowPage(int index) = 0;

 protected:
  ~IInstallWindow() = default;
};
