// Target paths of extraction: splitting, the root for relative targets, and folder chains. Every
// path here fits a MAX_PATH buffer or is refused; none is ever truncated.
#pragma once

#include <string>

struct ZipTargetPath {
  std::wstring base;    // root directory for a relative target, empty for an absolute one
  std::wstring folder;  // directory part of the target up to and including its last separator
  std::wstring file;    // the rest; empty when the target ends with a separator
  std::wstring full;    // base + folder + file
};

// Splits `target` at its last "\" or "/". The target is absolute when its directory part starts
// with a separator or has ":" as its second character; otherwise it lies under `root` (the
// directory at open time, ending in a separator; empty when it was not known). False when the
// target or the full path does not fit MAX_PATH, a relative target has no root, or the target
// holds control characters or a ':' other than an absolute path's drive.
bool ZipSplitTarget(const wchar_t* target, const std::wstring& root, ZipTargetPath* out);

// Creates `base` when it is given and missing, then every folder along `chain` beneath it, parents
// first. Failures are ignored: creating the file afterwards reports them.
void ZipCreateDirectoryChain(const std::wstring& base, const std::wstring& chain);

// The process's current directory ending in a separator; empty when it does not fit MAX_PATH.
std::wstring ZipCurrentDirectoryRoot();
