// Shared pieces of the box layouts: the separator (splitter) state and the per-child records of a
// layout pass. Sums along an axis are kept in 64 bits and clamped where they become coordinates, so
// children with huge sizes cannot overflow a rectangle.
#pragma once

#include <climits>
#include <cstdint>

#include "ui/core/control.h"

namespace ZQUI {

// Button state bit set while a separator drag is in progress.
constexpr UINT kStateSeparatorCaptured = 0x40;

inline int ClampLayoutValue(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

inline int64_t MinValue(int64_t a, int64_t b) { return a < b ? a : b; }
inline int64_t MaxValue(int64_t a, int64_t b) { return a > b ? a : b; }

// One child of a layout pass.
struct LayoutEntry {
  CControlUI* control = nullptr;
  int64_t width = 0;
  int64_t height = 0;
  RECT padding = {0, 0, 0, 0};
  bool visible = false;
  bool floating = false;
  bool adjustable = false;
  int64_t widthLimit = 0;
  int64_t heightLimit = 0;
};

}  // namespace ZQUI
