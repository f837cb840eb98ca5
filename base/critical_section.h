#ifndef BASE_CRITICAL_SECTION_H_
#define BASE_CRITICAL_SECTION_H_

#include <windows.h>

namespace kbase {

// A Windows critical section with the spin count every lock of the framework uses. Spinning a
// little before sleeping suits these locks: each guards a few pointer moves, never a task.
class CriticalSection {
 public:
  static constexpr DWORD kSpinCount = 2000;

  CriticalSection() { InitializeCriticalSectionAndSpinCount(&section_, kSpinCount); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Lock() { EnterCriticalSection(&section_); }
  void Unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

// Holds a CriticalSection for the lifetime of the scope.
class AutoLock {
 public:
  explicit AutoLock(CriticalSection& lock) : lock_(lock) { lock_.Lock(); }
  ~AutoLock() { lock_.Unlock(); }
  AutoLock(const AutoLock&) = delete;
  AutoLock& operator=(const AutoLock&) = delete;

 private:
  CriticalSection& lock_;
};

}  // namespace kbase

#endif  // BASE_CRITICAL_SECTION_H_
