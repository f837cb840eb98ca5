// CStdPtrArray: a growable array of untyped pointers; the items are not owned. UI thread only.
#pragma once

namespace ZQUI {

class CStdPtrArray {
 public:
  explicit CStdPtrArray(int preallocSize = 0);
  CStdPtrArray(const CStdPtrArray& src);
  CStdPtrArray& operator=(const CStdPtrArray& src);
  ~CStdPtrArray();

  void Empty();
  // Discards every item and holds `size` null items.
  void Resize(int size);
  bool IsEmpty() const;
  int Find(void* item) const;
  bool Add(void* item);
  bool SetAt(int index, void* item);
  bool InsertAt(int index, void* item);
  bool Remove(int index);
  int GetSize() const;
  int GetCapacity() const;
  void** GetData();

  void* GetAt(int index) const;
  void* operator[](int index) const;

 private:
  // Makes room for `count` items; false (nothing changed) when memory runs out.
  bool Grow(int count);

  void** m_ppVoid = nullptr;
  int m_nCount = 0;
  int m_nAllocated = 0;
};

}  // namespace ZQUI
