#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/test_support.h"
#include "ui/core/dui_rect.h"
#include "ui/core/std_ptr_array.h"
#include "ui/core/std_string_ptr_map.h"
#include "ui/core/std_val_array.h"

namespace ZQUI {
namespace {

using test::Rect;

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

TEST(StdPtrArray, GrowsTo11ThenDoublesKeepingOneSpareSlot) {
  CStdPtrArray a;
  std::vector<int> capacities;
  for (int i = 1; i <= 44; ++i) {
    ASSERT_TRUE(a.Add(P(i)));
    if (i == 1 || i == 10 || i == 11 || i == 21 || i == 22 || i == 43 || i == 44) capacities.push_back(a.GetCapacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{11, 11, 22, 22, 44, 44, 88}));
  for (int i = 0; i < 44; ++i) EXPECT_EQ(a.GetAt(i), P(i + 1));
}

TEST(StdPtrArray, RangeCheckedOperationsRefuseBadIndices) {
  CStdPtrArray a(4);
  EXPECT_EQ(a.GetCapacity(), 4);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_FALSE(a.InsertAt(1, P(1)));
  EXPECT_FALSE(a.InsertAt(-1, P(1)));
  EXPECT_TRUE(a.InsertAt(0, P(2)));   // equal to the count: an add
  EXPECT_TRUE(a.InsertAt(0, P(1)));
  EXPECT_TRUE(a.InsertAt(2, P(4)));
  EXPECT_TRUE(a.InsertAt(2, P(3)));
  ASSERT_EQ(a.GetSize(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i], P(i + 1));
  EXPECT_EQ(a.GetAt(4), nullptr);
  EXPECT_EQ(a.GetAt(-1), nullptr);
  EXPECT_FALSE(a.SetAt(4, P(9)));
  EXPECT_TRUE(a.SetAt(3, P(9)));
  EXPECT_EQ(a.Find(P(9)), 3);
  EXPECT_EQ(a.Find(P(77)), -1);
  EXPECT_FALSE(a.Remove(4));
  EXPECT_TRUE(a.Remove(0));
  EXPECT_EQ(a.GetAt(0), P(2));
  EXPECT_EQ(a.GetSize(), 3);

  CStdPtrArray copy(a);
  EXPECT_EQ(copy.GetSize(), 3);
  EXPECT_EQ(copy.GetAt(2), P(9));

  a.Resize(5);
  EXPECT_EQ(a.GetSize(), 5);
  EXPECT_EQ(a.GetAt(4), nullptr);
  a.Empty();
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.GetCapacity(), 0);
}

TEST(StdValArray, CopiesElementBytesAndKeepsStorageOnEmpty) {
  struct Pair {
    int a;
    double b;
  };
  CStdValArray v(sizeof(Pair));
  for (int i = 0; i < 30; ++i) {
    Pair p = {i, i * 0.5};
    ASSERT_TRUE(v.Add(&p));
  }
  EXPECT_EQ(v.GetSize(), 30);
  EXPECT_EQ(v.GetCapacity(), 44);
  EXPECT_EQ(static_cast<Pair*>(v.GetAt(17))->a, 17);
  EXPECT_DOUBLE_EQ(static_cast<Pair*>(v[29])->b, 14.5);
  EXPECT_EQ(v.GetAt(30), nullptr);
  EXPECT_TRUE(v.Remove(0));
  EXPECT_EQ(static_cast<Pair*>(v.GetAt(0))->a, 1);
  EXPECT_FALSE(v.Remove(29));
  v.Empty();
  EXPECT_TRUE(v.IsEmpty());
  EXPECT_EQ(v.GetCapacity(), 44);
}

TEST(StdStringPtrMap, HasAtLeast16BucketsAndCaseSensitiveKeys) {
  CStdStringPtrMap map(5);
  EXPECT_EQ(map.GetBucketCount(), 16);
  EXPECT_TRUE(map.Insert(L"Button", P(1)));
  EXPECT_TRUE(map.Insert(L"button", P(2)));
  EXPECT_FALSE(map.Insert(L"Button", P(3)));
  EXPECT_EQ(map.GetSize(), 2);
  EXPECT_EQ(map.Find(L"Button"), P(1));
  EXPECT_EQ(map.Find(L"button"), P(2));
  EXPECT_EQ(map.Find(L"BUTTON"), nullptr);
  EXPECT_EQ(map.Set(L"Button", P(7)), P(1));
  EXPECT_EQ(map.Set(L"Label", P(8)), nullptr);
  EXPECT_EQ(map.Find(L"Label"), P(8));
  EXPECT_TRUE(map.Remove(L"button"));
  EXPECT_FALSE(map.Remove(L"button"));
  EXPECT_EQ(map.GetSize(), 2);
  map.RemoveAll();
  EXPECT_EQ(map.GetSize(), 0);
  EXPECT_EQ(map.GetBucketCount(), 16);
}

TEST(StdStringPtrMap, ResizeToNothingKeepsOneWorkingBucket) {
  CStdStringPtrMap map;
  EXPECT_EQ(map.GetBucketCount(), 83);
  map.Resize(0);
  EXPECT_EQ(map.GetBucketCount(), 1);
  EXPECT_TRUE(map.Insert(L"a", P(1)));
  EXPECT_TRUE(map.Insert(L"b", P(2)));
  EXPECT_EQ(map.Find(L"a"), P(1));
  map.Resize(-5);
  EXPECT_EQ(map.GetBucketCount(), 1);
  EXPECT_EQ(map.GetSize(), 0);
  EXPECT_EQ(map.Find(L"a"), nullptr);
}

TEST(StdStringPtrMap, EnumeratesBucketsFromLastToFirstWithoutReordering) {
  // With 16 buckets "a" (97) goes to bucket 1, "b" (98) to 2 and "q" (113) to 1 as well.
  CStdStringPtrMap map(16);
  map.Insert(L"a", P(1));
  map.Insert(L"b", P(2));
  map.Insert(L"q", P(3));
  ASSERT_EQ(map.GetSize(), 3);
  EXPECT_STREQ(map.GetAt(0), L"b");
  EXPECT_STREQ(map.GetAt(1), L"q");  // head of bucket 1: inserted last
  EXPECT_STREQ(map.GetAt(2), L"a");
  EXPECT_EQ(map.GetAt(3), nullptr);
  EXPECT_EQ(map[-1], nullptr);

  // Walking the map while reading every value lists each key once.
  std::set<std::wstring> seen;
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    ASSERT_NE(key, nullptr);
    seen.insert(key);
    EXPECT_NE(map.Find(key, false), nullptr);
  }
  EXPECT_EQ(seen.size(), 3u);

  // An optimised lookup moves the hit to the head of its chain.
  EXPECT_EQ(map.Find(L"a", true), P(1));
  EXPECT_STREQ(map.GetAt(1), L"a");
  EXPECT_STREQ(map.GetAt(2), L"q");
}

TEST(StdStringPtrMap, HashesWithTimes33FromTheLastCharacter) {
  // "ab": h = 'b'; h = h * 33 + 'a' = 98 * 33 + 97 = 3331, 3331 mod 16 = 3; "ba" = 97 * 33 + 98 = 3299 -> 3.
  // "c" (99) -> 3 as well; inserted last, it heads bucket 3, the only non-empty bucket.
  CStdStringPtrMap map(16);
  map.Insert(L"ab", P(1));
  map.Insert(L"ba", P(2));
  map.Insert(L"c", P(3));
  EXPECT_STREQ(map.GetAt(0), L"c");
  EXPECT_STREQ(map.GetAt(1), L"ba");
  EXPECT_STREQ(map.GetAt(2), L"ab");
}

TEST(DuiRect, OperationsFollowThePlatformRectangle) {
  CDuiRect rc(10, 20, 30, 60);
  EXPECT_EQ(rc.GetWidth(), 20);
  EXPECT_EQ(rc.GetHeight(), 40);
  rc.Offset(5, -5);
  EXPECT_EQ(static_cast<RECT>(rc), Rect(15, 15, 35, 55));
  rc.Inflate(2, 3);
  EXPECT_EQ(static_cast<RECT>(rc), Rect(13, 12, 37, 58));
  rc.Deflate(2, 3);
  EXPECT_EQ(static_cast<RECT>(rc), Rect(15, 15, 35, 55));
  rc.ResetOffset();
  EXPECT_EQ(static_cast<RECT>(rc), Rect(0, 0, 20, 40));

  CDuiRect reversed(30, 40, 10, 20);
  reversed.Normalize();
  EXPECT_EQ(static_cast<RECT>(reversed), Rect(10, 20, 30, 40));

  CDuiRect joined(0, 0, 0, 0);
  joined.Join(Rect(5, 5, 10, 10));  // Join does not skip the empty rectangle
  EXPECT_EQ(static_cast<RECT>(joined), Rect(0, 0, 10, 10));
  CDuiRect united(0, 0, 0, 0);
  CDuiRect other(5, 5, 10, 10);
  united.Union(other);  // Union ignores it
  EXPECT_EQ(static_cast<RECT>(united), Rect(5, 5, 10, 10));

  EXPECT_TRUE(CDuiRect().IsNull());
  rc.Empty();
  EXPECT_TRUE(rc.IsNull());
  CDuiPoint pt(MAKELPARAM(-3 & 0xFFFF, 7));
  EXPECT_EQ(pt.x, -3);
  EXPECT_EQ(pt.y, 7);
  CDuiSize size(Rect(1, 2, 11, 22));
  EXPECT_EQ(size.cx, 10);
  EXPECT_EQ(size.cy, 20);
}

}  // namespace
}  // namespace ZQUI
