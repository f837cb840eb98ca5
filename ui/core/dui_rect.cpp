#include "ui/core/dui_rect.h"

namespace ZQUI {

CDuiSize::CDuiSize() { cx = cy = 0; }
CDuiSize::CDuiSize(const SIZE& src) {
  cx = src.cx;
  cy = src.cy;
}
CDuiSize::CDuiSize(const RECT& rc) {
  cx = rc.right - rc.left;
  cy = rc.bottom - rc.top;
}
CDuiSize::CDuiSize(int width, int height) {
  cx = width;
  cy = height;
}

CDuiPoint::CDuiPoint() { x = y = 0; }
CDuiPoint::CDuiPoint(const POINT& src) {
  x = src.x;
  y = src.y;
}
CDuiPoint::CDuiPoint(int px, int py) {
  x = px;
  y = py;
}
CDuiPoint::CDuiPoint(LPARAM lParam) {
  x = static_cast<short>(LOWORD(lParam));
  y = static_cast<short>(HIWORD(lParam));
}

CDuiRect::CDuiRect() { left = top = right = bottom = 0; }
CDuiRect::CDuiRect(const RECT& src) {
  left = src.left;
  top = src.top;
  right = src.right;
  bottom = src.bottom;
}
CDuiRect::CDuiRect(int l, int t, int r, int b) {
  left = l;
  top = t;
  right = r;
  bottom = b;
}

int CDuiRect::GetWidth() const { return right - left; }
int CDuiRect::GetHeight() const { return bottom - top; }
void CDuiRect::Empty() { left = top = right = bottom = 0; }
bool CDuiRect::IsNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }

void CDuiRect::Join(const RECT& rc) {
  if (rc.left < left) left = rc.left;
  if (rc.top < top) top = rc.top;
  if (rc.right > right) right = rc.right;
  if (rc.bottom > bottom) bottom = rc.bottom;
}

void CDuiRect::ResetOffset() { ::OffsetRect(this, -left, -top); }

void CDuiRect::Normalize() {
  if (left > right) {
    int t = left;
    left = right;
    right = t;
  }
  if (top > bottom) {
    int t = top;
    top = bottom;
    bottom = t;
  }
}

void CDuiRect::Offset(int dx, int dy) { ::OffsetRect(this, dx, dy); }
void CDuiRect::Inflate(int dx, int dy) { ::InflateRect(this, dx, dy); }
void CDuiRect::Deflate(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
void CDuiRect::Union(CDuiRect& rc) { ::UnionRect(this, this, &rc); }

}  // namespace ZQUI
