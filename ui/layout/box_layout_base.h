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

// A child's size held within its minimum and maximum; the maximum wins when they cross.
inline int64_t ClampToLimits(int64_t value, int64_t minimum, int64_t maximum) {
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
  return value;
}

// How a child sits across the layout's axis.
enum class CrossPlacement { kNear, kCentre, kFar };

// Start of a child of `size` across the layout between `nearEdge` and `farEdge`, moved by the
// scroll bar along that direction (range and position 0 when it does not show).
inline int64_t CrossAxisStart(CrossPlacement placement, LONG nearEdge, LONG farEdge, int barRange, int barPos,
                              LONG padNear, LONG padFar, int64_t size) {
  if (placement == CrossPlacement::kCentre) {
    int64_t centre = (static_cast<int64_t>(nearEdge) + farEdge) / 2 + (barRange / 2 - barPos);
    return centre - size / 2;
  }
  if (placement == CrossPlacement::kFar) {
    int64_t edge = static_cast<int64_t>(farEdge) + (static_cast<int64_t>(barRange) - barPos);
    return edge - padFar - size;
  }
  return static_cast<int64_t>(nearEdge) - barPos + padNear;
}

// The separator strip of a layout at `rc`: `sep` pixels at the bottom (or right) edge when it is
// positive, -`sep` pixels at the top (or left) edge when negative, never beyond the rectangle.
inline RECT SeparatorThumb(const RECT& rc, int sep, bool vertical) {
  RECT thumb = rc;
  LONG& nearEdge = vertical ? thumb.top : thumb.left;
  LONG& farEdge = vertical ? thumb.bottom : thumb.right;
  if (sep >= 0) {
    int start = farEdge - sep;
    if (start < nearEdge) start = nearEdge;
    nearEdge = start;
  } else {
    int end = nearEdge - sep;
    if (end > farEdge) end = farEdge;
    farEdge = end;
  }
  return thumb;
}

// Moves the separator edge of `rc` by a drag of `delta` along the axis, keeping the extent within
// its limits; the edge opposite the separator stays. Returns the new extent.
inline int64_t DragSeparatorEdge(RECT& rc, int64_t delta, int sep, int64_t minimum, int64_t maximum, bool vertical) {
  LONG& nearEdge = vertical ? rc.top : rc.left;
  LONG& farEdge = vertical ? rc.bottom : rc.right;
  int64_t extent = static_cast<int64_t>(farEdge) - nearEdge + (sep >= 0 ? delta : -delta);
  extent = MinValue(MaxValue(extent, minimum), maximum);
  if (sep >= 0) {
    farEdge = ClampLayoutValue(nearEdge + extent);
  } else {
    nearEdge = ClampLayoutValue(farEdge - extent);
  }
  return extent;
}

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
