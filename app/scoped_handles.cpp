#include "app/scoped_handles.h"

#include <ole2.h>

namespace app {

ScopedComInit::ScopedComInit(Mode mode, DWORD apartment) {
  com_initialized_ = SUCCEEDED(CoInitializeEx(nullptr, apartment));
  if (mode == kComAndOle) ole_initialized_ = SUCCEEDED(OleInitialize(nullptr));
}

ScopedComInit::~ScopedComInit() {
  if (ole_initialized_) OleUninitialize();
  if (com_initialized_) CoUninitialize();
}

}  // namespace app
