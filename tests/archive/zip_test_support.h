// Helpers shared by the archive tests: fixture paths, scratch folders, file contents.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "archive/zip_reader.h"

// Full path of a generated fixture (forward slashes; Win32 accepts them).
std::wstring FixturePath(const std::wstring& name);

std::vector<unsigned char> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool PathExists(const std::wstring& path);

// Every file and folder below `root`, relative to it, with "\" separators, sorted.
std::vector<std::wstring> ListTree(const std::wstring& root);

// The names directly inside `folder`, sorted.
std::vector<std::wstring> ListFolder(const std::wstring& folder);

// Deletes a folder tree, clearing read-only bits on the way.
void RemoveTree(const std::wstring& root);

// A fresh, empty folder under the temporary folder, removed again at destruction. path() ends in
// a backslash.
class ScratchFolder {
 public:
  explicit ScratchFolder(const wchar_t* tag);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Closes an archive handle at scope exit.
class ZipHandle {
 public:
  explicit ZipHandle(HZIP zip) : zip_(zip) {}
  ~ZipHandle() {
    if (zip_ != nullptr) ZipClose(zip_);
  }
  ZipHandle(const ZipHandle&) = delete;
  ZipHandle& operator=(const ZipHandle&) = delete;
  HZIP get() const { return zip_; }

 private:
  HZIP zip_;
};

uint64_t FileTimeValue(const FILETIME& time);
