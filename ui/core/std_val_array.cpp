#include "ui/core/std_val_array.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace ZQUI {

CStdValArray::CStdValArray(int elementSize, int preallocSize)
    : m_iElementSize(elementSize > 0 ? elementSize : 1) {
  if (preallocSize > 0 && preallocSize <= INT_MAX / m_iElementSize) {
    m_pVoid = static_cast<unsigned char*>(malloc(static_cast<size_t>(preallocSize) * m_iElementSize));
    if (m_pVoid != nullptr) m_nAllocated = preallocSize;
  }
}

CStdValArray::~CStdValArray() { free(m_pVoid); }

void CStdValArray::Empty() { m_nCount = 0; }
bool CStdValArray::IsEmpty() const { return m_nCount == 0; }

bool CStdValArray::Add(const void* element) {
  if (m_nCount + 1 >= m_nAllocated) {
    int capacity = m_nAllocated == 0 ? 11 : m_nAllocated;
    if (m_nAllocated != 0) {
      if (m_nAllocated > INT_MAX / 2) return false;
      capacity = m_nAllocated * 2;
    }
    if (capacity > INT_MAX / m_iElementSize) return false;
    auto* data = static_cast<unsigned char*>(realloc(m_pVoid, static_cast<size_t>(capacity) * m_iElementSize));
    if (data == nullptr) return false;
    m_pVoid = data;
    m_nAllocated = capacity;
  }
  memcpy(m_pVoid + static_cast<size_t>(m_nCount) * m_iElementSize, element, m_iElementSize);
  ++m_nCount;
  return true;
}

bool CStdValArray::Remove(int index) {
  if (index < 0 || index >= m_nCount) return false;
  if (index < m_nCount - 1) {
    memmove(m_pVoid + static_cast<size_t>(index) * m_iElementSize,
            m_pVoid + static_cast<size_t>(index + 1) * m_iElementSize,
            static_cast<size_t>(m_nCount - index - 1) * m_iElementSize);
  }
  --m_nCount;
  return true;
}

int CStdValArray::GetSize() const { return m_nCount; }
int CStdValArray::GetCapacity() const { return m_nAllocated; }
void* CStdValArray::GetData() { return m_pVoid; }

void* CStdValArray::GetAt(int index) const {
  if (index < 0 || index >= m_nCount) return nullptr;
  return m_pVoid + static_cast<size_t>(index) * m_iElementSize;
}

void* CStdValArray::operator[](int index) const { return m_pVoid + static_cast<size_t>(index) * m_iElementSize; }

}  // namespace ZQUI
