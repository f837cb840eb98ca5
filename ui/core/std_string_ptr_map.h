// CStdStringPtrMap: a chained hash map from wide-string keys (copied, compared case-sensitively) to
// untyped pointers (not owned). Enumeration by index walks the buckets from the last to the first,
// each chain from its head; a lookup with `optimize` moves the hit to the head of its chain.
#pragma once

#include "ui/core/dui_string.h"

namespace ZQUI {

class CStdStringPtrMap {
 public:
  static constexpr int kMinBuckets = 16;

  explicit CStdStringPtrMap(int buckets = 83);
  ~CStdStringPtrMap();
  CStdStringPtrMap(const CStdStringPtrMap&) = delete;
  CStdStringPtrMap& operator=(const CStdStringPtrMap&) = delete;

  // Discards every entry and makes `buckets` empty buckets (at least one).
  void Resize(int buckets = 83);
  void* Find(const wchar_t* key, bool optimize = true) const;
  bool Insert(const wchar_t* key, void* data);
  // Replaces the value of an existing key and returns the old one; otherwise inserts, null.
  void* Set(const wchar_t* key, void* data);
  bool Remove(const wchar_t* key);
  void RemoveAll();
  int GetSize() const;
  int GetBucketCount() const;
  // Key of the index-th entry in enumeration order, null past the end. Never reorders the map.
  const wchar_t* GetAt(int index) const;
  const wchar_t* operator[](int index) const;

 private:
  struct Item {
    CDuiString key;
    void* data;
    Item* prev;
    Item* next;
  };

  static unsigned Hash(const wchar_t* key);
  Item* Lookup(const wchar_t* key, unsigned* bucket) const;
  void FreeAll();

  Item** m_aT = nullptr;
  int m_nBuckets = 0;
  int m_nCount = 0;
};

}  // namespace ZQUI
