#ifndef BASE_LAZY_TLS_SLOT_H_
#define BASE_LAZY_TLS_SLOT_H_

#include <windows.h>

#include <atomic>

namespace kbase {

// A thread-local pointer slot whose index is allocated on first use and kept for the life of the
// process. Constant-initialised, so it is usable from any static constructor or thread.
class LazyTlsSlot {
 public:
  constexpr LazyTlsSlot() = default;
  LazyTlsSlot(const LazyTlsSlot&) = delete;
  LazyTlsSlot& operator=(const LazyTlsSlot&) = delete;

  void* Get();
  void Set(void* value);

 private:
  enum : LONG { kUnallocated = 0, kAllocating = 1, kReady = 2 };
  DWORD Index();

  std::atomic<LONG> state_{kUnallocated};
  DWORD index_ = TLS_OUT_OF_INDEXES;
};

}  // namespace kbase

#endif  // BASE_LAZY_TLS_SLOT_H_
