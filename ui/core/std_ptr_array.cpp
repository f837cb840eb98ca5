#include "ui/core/std_ptr_array.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace ZQUI {

CStdPtrArray::CStdPtrArray(int preallocSize) {
  if (preallocSize > 0) {
    m_ppVoid = static_cast<void**>(calloc(static_cast<size_t>(preallocSize), sizeof(void*)));
    if (m_ppVoid != nullptr) m_nAllocated = preallocSize;
  }
}

CStdPtrArray::CStdPtrArray(const CStdPtrArray& src) {
  for (int i = 0; i < src.GetSize(); ++i) Add(src.GetAt(i));
}

CStdPtrArray& CStdPtrArray::operator=(const CStdPtrArray& src) {
  if (this != &src) {
    Empty();
    for (int i = 0; i < src.GetSize(); ++i) Add(src.GetAt(i));
  }
  return *this;
}

CStdPtrArray::~CStdPtrArray() { free(m_ppVoid); }

void CStdPtrArray::Empty() {
  free(m_ppVoid);
  m_ppVoid = nullptr;
  m_nCount = m_nAllocated = 0;
}

void CStdPtrArray::Resize(int size) {
  Empty();
  if (size <= 0) return;
  m_ppVoid = static_cast<void**>(calloc(static_cast<size_t>(size), sizeof(void*)));
  if (m_ppVoid == nullptr) return;
  m_nAllocated = m_nCount = size;
}

bool CStdPtrArray::IsEmpty() const { return m_nCount == 0; }

bool CStdPtrArray::Grow(int count) {
  if (count < m_nAllocated) return true;
  // Doubling from 11 leaves one spare slot after every growth.
  int capacity = m_nAllocated == 0 ? 11 : m_nAllocated;
  if (m_nAllocated != 0) {
    if (m_nAllocated > INT_MAX / 2) return false;
    capacity = m_nAllocated * 2;
  }
  void** items = static_cast<void**>(realloc(m_ppVoid, static_cast<size_t>(capacity) * sizeof(void*)));
  if (items == nullptr) return false;
  m_ppVoid = items;
  m_nAllocated = capacity;
  return true;
}

bool CStdPtrArray::Add(void* item) {
  if (!Grow(m_nCount + 1)) return false;
  m_ppVoid[m_nCount++] = item;
  return true;
}

bool CStdPtrArray::InsertAt(int index, void* item) {
  if (index == m_nCount) return Add(item);
  if (index < 0 || index > m_nCount) return false;
  if (!Grow(m_nCount + 1)) return false;
  memmove(&m_ppVoid[index + 1], &m_ppVoid[index], static_cast<size_t>(m_nCount - index) * sizeof(void*));
  m_ppVoid[index] = item;
  ++m_nCount;
  return true;
}

bool CStdPtrArray::SetAt(int index, void* item) {
  if (index < 0 || index >= m_nCount) return false;
  m_ppVoid[index] = item;
  return true;
}

bool CStdPtrArray::Remove(int index) {
  if (index < 0 || index >= m_nCount) return false;
  if (index < m_nCount - 1) {
    memmove(&m_ppVoid[index], &m_ppVoid[index + 1], static_cast<size_t>(m_nCount - index - 1) * sizeof(void*));
  }
  --m_nCount;
  return true;
}

int CStdPtrArray::Find(void* item) const {
  for (int i = 0; i < m_nCount; ++i) {
    if (m_ppVoid[i] == item) return i;
  }
  return -1;
}

int CStdPtrArray::GetSize() const { return m_nCount; }
int CStdPtrArray::GetCapacity() const { return m_nAllocated; }
void** CStdPtrArray::GetData() { return m_ppVoid; }

void* CStdPtrArray::GetAt(int index) const {
  if (index < 0 || index >= m_nCount) return nullptr;
  return m_ppVoid[index];
}

void* CStdPtrArray::operator[](int index) const { return m_ppVoid[index]; }

}  // namespace ZQUI
