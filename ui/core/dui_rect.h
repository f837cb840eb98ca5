// CDuiRect, CDuiSize, CDuiPoint: the platform's rectangle, size and point records with operations.
#pragma once

#include <windows.h>

namespace ZQUI {

class CDuiSize : public tagSIZE {
 public:
  CDuiSize();
  CDuiSize(const SIZE& src);
  CDuiSize(const RECT& rc);
  CDuiSize(int cx, int cy);
};

class CDuiPoint : public tagPOINT {
 public:
  CDuiPoint();
  CDuiPoint(const POINT& src);
  CDuiPoint(int x, int y);
  CDuiPoint(LPARAM lParam);
};

class CDuiRect : public tagRECT {
 public:
  CDuiRect();
  CDuiRect(const RECT& src);
  CDuiRect(int left, int top, int right, int bottom);

  int GetWidth() const;
  int GetHeight() const;
  void Empty();
  bool IsNull() const;
  // Grows to include the other rectangle's edges without testing either for emptiness.
  void Join(const RECT& rc);
  void ResetOffset();
  void Normalize();
  void Offset(int dx, int dy);
  void Inflate(int dx, int dy);
  void Deflate(int dx, int dy);
  // The platform's union, which ignores empty rectangles.
  void Union(CDuiRect& rc);
};

}  // namespace ZQUI
