// CStdValArray: a growable array of fixed-size values copied in by bytes. UI thread only.
#pragma once

namespace ZQUI {

class CStdValArray {
 public:
  explicit CStdValArray(int elementSize, int preallocSize = 0);
  ~CStdValArray();
  CStdValArray(const CStdValArray&) = delete;
  CStdValArray& operator=(const CStdValArray&) = delete;

  // Sets the count to 0 and keeps the storage.
  void Empty();
  bool IsEmpty() const;
  bool Add(const void* element);
  bool Remove(int index);
  int GetSize() const;
  int GetCapacity() const;
  void* GetData();

  void* GetAt(int index) const;
  void* operator[](int index) const;

 private:
  unsigned char* m_pVoid = nullptr;
  int m_iElementSize;
  int m_nCount = 0;
  int m_nAllocated = 0;
};

}  // namespace ZQUI
