// Shared helpers of the installer back-end tests: where the fixtures are, files and folders,
// the local package server's controls, and running the installer stand-in under the debugger.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/app/debug_capture.h"

namespace apptest {

// Build-time paths, as Windows paths.
std::wstring FixtureDir();   // docweave.exe, uninst.exe, beconv.dll, docfoldMenu64.dll, the MSI
std::wstring PackageDir();   // package.zip, package_manifest.txt, hostile.zip, empty.zip, duplicates.zip
std::wstring ProbePath();    // Setup_17_A5.exe, the installer stand-in
int ServerPort();
// Bitness of the fixture beconv.dll: 32 as in the product where this machine runs 32-bit code,
// 64 where it cannot. The first call says which case runs.
int BeconvBits();
// A fixture DLL of this test program's own bitness, for tests that load one into the process.
std::wstring LoadableFixtureDll();
std::wstring ServerUrl(const std::wstring& path);  // https://localhost:<port><path>

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& tag);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // no trailing backslash
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

bool RemoveTree(const std::wstring& path);
bool ReadFileBytes(const std::wstring& path, std::string* bytes);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::vector<std::string> ReadLines(const std::wstring& path);  // UTF-8 lines without line ends
std::wstring ReadUtf16File(const std::wstring& path);           // skips a leading BOM
std::vector<std::wstring> ListFolder(const std::wstring& folder);  // names, without "." and ".."
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

// Waits up to `timeout_ms` for `path` to exist.
bool WaitForFile(const std::wstring& path, DWORD timeout_ms);

// The server's package mode for /dl/pdf/package.zip; true when the server accepted it.
bool SetServerMode(const std::string& mode);
// Requests the plain-HTTP listener has received so far; -1 when the server cannot be asked.
int PlainHttpHits();

// Runs the installer stand-in with `arguments` under the debugger, waiting at most `timeout_ms`.
struct ProbeRun {
  CapturedRun run;
  std::vector<std::string> report;  // the report file's lines
};
ProbeRun RunProbe(const std::wstring& arguments, const std::wstring& report_path, DWORD timeout_ms = 240000,
                  const std::wstring& probe = std::wstring());

// Lines of the report that start with `prefix` followed by a blank.
std::vector<std::string> ReportLines(const std::vector<std::string>& report, const std::string& prefix);

}  // namespace apptest
