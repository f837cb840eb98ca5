#include "base/lazy_tls_slot.h"

namespace kbase {

DWORD LazyTlsSlot::Index() {
  if (state_.load(std::memory_order_acquire) == kReady)
    return index_;
  LONG expected = kUnallocated;
  if (state_.compare_exchange_strong(expected, kAllocating, std::memory_order_acq_rel)) {
    index_ = TlsAlloc();
    state_.store(kReady, std::memory_order_release);
    return index_;
  }
  // Another thread is allocating; it publishes kReady right after storing the index.
  while (state_.load(std::memory_order_acquire) != kReady)
    Sleep(0);
  return index_;
}

void* LazyTlsSlot::Get() {
  const DWORD index = Index();
  return index == TLS_OUT_OF_INDEXES ? nullptr : TlsGetValue(index);
}

void LazyTlsSlot::Set(void* value) {
  const DWORD index = Index();
  if (index != TLS_OUT_OF_INDEXES)
    TlsSetValue(index, value);
}

}  // namespace kbase
