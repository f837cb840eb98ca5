// Shared pieces of the box layouts: the separator (splitter) strip and drag, the placement of
// children across an axis and the layout pass itself, written once for either axis. Sums along an
// axis are kept in 64 bits and clamped where they become coordinates, so children with huge sizes
// cannot overflow a rectangle.
#pragma once

#include <climits>
#include <cstdint>

#include "ui/core/control.h"

namespace ZQUI {

class CContainerUI;
class CStdPtrArray;

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

// Where children sit along one axis: at the near (left, top) edge, centred, or at the far edge.
enum class BoxPlacement { kNear, kCentre, kFar };

// The placements the child alignment attributes name: horizontally 1 centre and 2 right,
// vertically 4 centre and 8 bottom; anything else is the near edge.
inline BoxPlacement HorizontalPlacement(UINT childAlign) {
  return childAlign == 1 ? BoxPlacement::kCentre : childAlign == 2 ? BoxPlacement::kFar : BoxPlacement::kNear;
}
inline BoxPlacement VerticalPlacement(UINT childVAlign) {
  return childVAlign == 4 ? BoxPlacement::kCentre : childVAlign == 8 ? BoxPlacement::kFar : BoxPlacement::kNear;
}

// Start of a child of `size` across the layout between `nearEdge` and `farEdge`, moved by the
// scroll bar along that direction (range and position 0 when it does not show).
inline int64_t CrossAxisStart(BoxPlacement placement, LONG nearEdge, LONG farEdge, int barRange, int barPos,
                              LONG padNear, LONG padFar, int64_t size) {
  if (placement == BoxPlacement::kCentre) {
    int64_t centre = (static_cast<int64_t>(nearEdge) + farEdge) / 2 + (barRange / 2 - barPos);
    return centre - size / 2;
  }
  if (placement == BoxPlacement::kFar) {
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

// What one box-layout pass needs to know about its layout. The main axis is the one children are
// stacked along (vertical: top to bottom); the cross axis runs across it.
struct BoxLayoutPass {
  bool vertical = true;
  RECT client = {0, 0, 0, 0};  // the client area without inset and scroll bars
  int64_t availableMain = 0;
  int64_t availableCross = 0;
  int64_t childPadding = 0;
  // Where the run starts when nothing is adjustable and the main axis does not scroll.
  BoxPlacement mainPlacement = BoxPlacement::kNear;
  BoxPlacement crossPlacement = BoxPlacement::kNear;
  bool mainBar = false;  // the scroll bar along the main axis shows
  int mainBarPos = 0;
  int crossBarRange = 0;  // 0 when the cross scroll bar does not show
  int crossBarPos = 0;
  // Across the axis a child takes its estimated size (vertical), or else its size limit, which a
  // child without a fixed size fills.
  bool crossFromEstimate = true;
};

// Sizes a box layout's run of children.
struct BoxLayoutExtent {
  int64_t main = 0;   // everything along the main axis, paddings included
  int64_t cross = 0;  // the widest (or tallest) child with its padding
};

// Places `items` of `layout` along the main axis: children with a size keep it, adjustable ones
// share what is left and the last of them takes the remainder; floating children go through
// SetFloatPos. Returns the extent the children need, for the scroll bars.
BoxLayoutExtent LayOutBoxChildren(CContainerUI& layout, const CStdPtrArray& items, const BoxLayoutPass& pass);

}  // namespace ZQUI
