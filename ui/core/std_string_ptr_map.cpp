#include "ui/core/std_string_ptr_map.h"

#include <cstdlib>
#include <cwchar>
#include <new>

namespace ZQUI {

CStdStringPtrMap::CStdStringPtrMap(int buckets) {
  if (buckets < kMinBuckets) buckets = kMinBuckets;
  Resize(buckets);
}

CStdStringPtrMap::~CStdStringPtrMap() {
  FreeAll();
  free(m_aT);
}

unsigned CStdStringPtrMap::Hash(const wchar_t* key) {
  unsigned h = 0;
  for (size_t i = wcslen(key); i > 0; --i) h = h * 33u + static_cast<unsigned short>(key[i - 1]);
  return h;
}

void CStdStringPtrMap::FreeAll() {
  for (int i = 0; i < m_nBuckets; ++i) {
    Item* item = m_aT[i];
    while (item != nullptr) {
      Item* next = item->next;
      delete item;
      item = next;
    }
    m_aT[i] = nullptr;
  }
  m_nCount = 0;
}

void CStdStringPtrMap::Resize(int buckets) {
  if (m_aT != nullptr) {
    FreeAll();
    free(m_aT);
    m_aT = nullptr;
    m_nBuckets = 0;
  }
  // At least one bucket, so that hashing never divides by zero.
  if (buckets < 1) buckets = 1;
  m_aT = static_cast<Item**>(calloc(static_cast<size_t>(buckets), sizeof(Item*)));
  if (m_aT == nullptr) buckets = 0;  // out of memory: every lookup misses, every insert fails
  m_nBuckets = buckets;
  m_nCount = 0;
}

CStdStringPtrMap::Item* CStdStringPtrMap::Lookup(const wchar_t* key, unsigned* bucket) const {
  if (m_nBuckets == 0) return nullptr;
  if (key == nullptr) key = L"";
  unsigned slot = Hash(key) % static_cast<unsigned>(m_nBuckets);
  if (bucket) *bucket = slot;
  for (Item* item = m_aT[slot]; item != nullptr; item = item->next) {
    if (wcscmp(item->key.GetData(), key) == 0) return item;
  }
  return nullptr;
}

void* CStdStringPtrMap::Find(const wchar_t* key, bool optimize) const {
  unsigned slot = 0;
  Item* item = Lookup(key, &slot);
  if (item == nullptr) return nullptr;
  if (optimize && item->prev != nullptr) {
    // Move to the head of the chain so frequent keys are found first.
    item->prev->next = item->next;
    if (item->next) item->next->prev = item->prev;
    item->prev = nullptr;
    item->next = m_aT[slot];
    m_aT[slot]->prev = item;
    m_aT[slot] = item;
  }
  return item->data;
}

bool CStdStringPtrMap::Insert(const wchar_t* key, void* data) {
  if (m_nBuckets == 0) return false;
  if (key == nullptr) key = L"";
  // A present key is moved to the head of its chain, as any optimised lookup does.
  Find(key, true);
  unsigned slot = 0;
  if (Lookup(key, &slot) != nullptr) return false;
  Item* item = new (std::nothrow) Item{CDuiString(key), data, nullptr, m_aT[slot]};
  if (item == nullptr) return false;
  if (m_aT[slot]) m_aT[slot]->prev = item;
  m_aT[slot] = item;
  ++m_nCount;
  return true;
}

void* CStdStringPtrMap::Set(const wchar_t* key, void* data) {
  Item* item = Lookup(key, nullptr);
  if (item != nullptr) {
    void* old = item->data;
    item->data = data;
    return old;
  }
  Insert(key, data);
  return nullptr;
}

bool CStdStringPtrMap::Remove(const wchar_t* key) {
  unsigned slot = 0;
  Item* item = Lookup(key, &slot);
  if (item == nullptr) return false;
  if (item->prev) item->prev->next = item->next;
  else m_aT[slot] = item->next;
  if (item->next) item->next->prev = item->prev;
  delete item;
  --m_nCount;
  return true;
}

void CStdStringPtrMap::RemoveAll() { Resize(m_nBuckets); }
int CStdStringPtrMap::GetSize() const { return m_nCount; }
int CStdStringPtrMap::GetBucketCount() const { return m_nBuckets; }

const wchar_t* CStdStringPtrMap::GetAt(int index) const {
  if (index < 0) return nullptr;
  int position = 0;
  for (int b = m_nBuckets; b > 0; --b) {
    for (Item* item = m_aT[b - 1]; item != nullptr; item = item->next) {
      if (position++ == index) return item->key.GetData();
    }
  }
  return nullptr;
}

const wchar_t* CStdStringPtrMap::operator[](int index) const { return GetAt(index); }

}  // namespace ZQUI
