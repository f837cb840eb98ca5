// The texts and figures the installer window shows, computed apart from the controls so that the
// worker can compute them on its own thread: progress values and texts, the install folder rules
// and the custom-install page's space line.
#pragma once

#include <cstdint>
#include <string>

namespace app {

struct ProgressReport {
  int value = 0;       // what the progress bar is set to
  std::wstring text;   // what "progress_msg" shows
};

// "正在安装，请不要关闭：<percent>%" below 100, the same without the figure from 100 on.
ProgressReport InstallProgressReport(int percent);

// The download's share of the bar: done / total × 50, at least 2 and at most 50 (a gzip-encoded
// transfer can count more decoded bytes than the length announced). The bar takes the value
// truncated, the text rounds it. False, with `report` untouched, when either count is 0.
bool DownloadProgressReport(int64_t total, int64_t done, ProgressReport* report);

// The product folder inside `base` (no trailing backslash expected): base + "\" + key + "\".
// An empty base gives "\VADIZUredizadi\", the root of the current drive.
std::wstring InstallFolderInBase(const std::wstring& base);

// The product folder inside a folder the user chose: chosen + "\" + key + "\"; the backslash is
// added even when `chosen` already ends with one, as a drive root does ("D:\\VADIZUredizadi\").
std::wstring InstallFolderInChosen(const std::wstring& chosen);

// "所需空间：<required> 可用空间：<free>".
std::wstring SpaceText(const std::wstring& required, const std::wstring& free_space);

}  // namespace app
