// Small owners for the raw Windows handles the installer opens, so that every early return of a
// step closes what it opened.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace app {

// A kernel handle closed with CloseHandle. Both null and INVALID_HANDLE_VALUE count as "none",
// because CreateFileW and the process functions disagree on the failure value.
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  void Close() {
    if (IsValid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// An open registry key.
class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ~ScopedRegKey() {
    if (key_) RegCloseKey(key_);
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Memory handed out by COM (known-folder paths, display names, item lists). Freed in every case:
// SHGetKnownFolderPath may allocate even when it fails, and CoTaskMemFree accepts null.
template <typename T>
class ScopedCoMem {
 public:
  ScopedCoMem() = default;
  ~ScopedCoMem() { CoTaskMemFree(ptr_); }
  ScopedCoMem(const ScopedCoMem&) = delete;
  ScopedCoMem& operator=(const ScopedCoMem&) = delete;

  T** Receive() { return &ptr_; }
  T* Get() const { return ptr_; }

 private:
  T* ptr_ = nullptr;
};

// A COM interface pointer released on scope exit.
template <typename T>
class ScopedComPtr {
 public:
  ScopedComPtr() = default;
  ~ScopedComPtr() { Reset(); }
  ScopedComPtr(const ScopedComPtr&) = delete;
  ScopedComPtr& operator=(const ScopedComPtr&) = delete;

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T** Receive() { return &ptr_; }
  void** ReceiveVoid() { return reinterpret_cast<void**>(&ptr_); }
  void Reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }

 private:
  T* ptr_ = nullptr;
};

// COM (and optionally OLE) initialisation of the calling thread for one call's duration. The
// uninitialisation runs only when the matching initialisation succeeded (S_OK or S_FALSE): a
// failed CoInitialize, for example RPC_E_CHANGED_MODE on a thread in another apartment, must not
// be balanced, or it would tear down the caller's own COM initialisation.
class ScopedComInit {
 public:
  enum Mode { kCom, kComAndOle };
  explicit ScopedComInit(Mode mode, DWORD apartment = COINIT_APARTMENTTHREADED);
  ~ScopedComInit();
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

  bool com_initialized() const { return com_initialized_; }

 private:
  bool com_initialized_ = false;
  bool ole_initialized_ = false;
};

}  // namespace app
