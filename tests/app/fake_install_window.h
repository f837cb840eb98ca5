// An install window for in-process tests: a fixed install folder, main.ini fields, and every
// report kept in calling order.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/install_window.h"

namespace apptest {

class FakeInstallWindow : public IInstallWindow {
 public:
  explicit FakeInstallWindow(std::wstring folder) : folder_(std::move(folder)) {}

  std::wstring GetInstallFolder() const override { return folder_; }
  MainIniFields& MainIni() override { return fields_; }
  void ShowProgress(int percent) override { Add("progress " + std::to_string(percent)); }
  void ShowDownloadProgress(int64_t total, int64_t done) override {
    Add("download " + std::to_string(total) + " " + std::to_string(done));
  }
  void ShowPage(int index) override { Add("page " + std::to_string(index)); }

  std::vector<std::string> reports() {
    std::lock_guard<std::mutex> lock(mutex_);
    return reports_;
  }

 private:
  void Add(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    reports_.push_back(line);
  }

  std::wstring folder_;
  MainIniFields fields_;
  std::mutex mutex_;
  std::vector<std::string> reports_;
};

}  // namespace apptest
