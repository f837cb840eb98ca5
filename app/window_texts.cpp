#include "app/window_texts.h"

#include <cwchar>

#include "app/install_config.h"

namespace app {

namespace {

constexpr wchar_t kProgressPrefix[] = L"正在安装，请不要关闭：";

}  // namespace

ProgressReport InstallProgressReport(int percent) {
  ProgressReport report;
  report.value = percent;
  report.text = kProgressPrefix;
  if (percent < 100) report.text += std::to_wstring(percent) + L"%";
  return report;
}

bool DownloadProgressReport(int64_t total, int64_t done, ProgressReport* report) {
  if (total == 0 || done == 0) return false;
  double p = static_cast<double>(done) * 1.0 / (static_cast<double>(total) * 1.0) * 50.0;
  if (p < 2.0) p = 2.0;
  // The download owns 2..50 of the bar; a count beyond the announced length (a gzip-encoded
  // body is counted decoded) or a negative one must not push the bar into the unpacking's share.
  if (p > 50.0) p = 50.0;
  wchar_t figure[32];
  swprintf(figure, sizeof(figure) / sizeof(figure[0]), L"%.0f%%", p);
  report->value = static_cast<int>(p);
  report->text = kProgressPrefix;
  report->text += figure;
  return true;
}

std::wstring InstallFolderInBase(const std::wstring& base) {
  return base + L"\\" + InstallConfig::kProductKey + L"\\";
}

std::wstring InstallFolderInChosen(const std::wstring& chosen) {
  return chosen + L"\\" + InstallConfig::kProductKey + L"\\";
}

std::wstring SpaceText(const std::wstring& required, const std::wstring& free_space) {
  return L"所需空间：" + required + L" 可用空间：" + free_space;
}

}  // namespace app
