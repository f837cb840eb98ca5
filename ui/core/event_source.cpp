#include "ui/core/event_source.h"

namespace ZQUI {

CDelegateBase::CDelegateBase(void* object, const void* function, size_t functionSize)
    : m_object(object), m_functionSize(functionSize) {
  memset(m_function, 0, sizeof(m_function));
  if (m_functionSize > sizeof(m_function)) m_functionSize = sizeof(m_function);
  memcpy(m_function, function, m_functionSize);
}

bool CDelegateBase::Equals(const CDelegateBase& other) const {
  return m_object == other.m_object && m_functionSize == other.m_functionSize &&
         memcmp(m_function, other.m_function, m_functionSize) == 0;
}

CEventSource::~CEventSource() {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
  FreeRemoved();
}

CEventSource::operator bool() const { return m_aDelegates.GetSize() > 0; }
int CEventSource::GetCount() const { return m_aDelegates.GetSize(); }

void CEventSource::operator+=(const CDelegateBase& d) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    auto* existing = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    if (existing != nullptr && existing->Equals(d)) return;
  }
  CDelegateBase* copy = d.Copy();
  if (!m_aDelegates.Add(copy)) delete copy;
}

void CEventSource::operator+=(FnType fn) { (*this) += MakeDelegate(fn); }

void CEventSource::operator-=(const CDelegateBase& d) {
  for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
    auto* existing = static_cast<CDelegateBase*>(m_aDelegates.GetAt(i));
    if (existing != nullptr && existing->Equals(d)) {
      m_aDelegates.Remove(i);
      if (m_nCalling > 0 && m_aRemoved.Add(existing)) return;
      delete existing;
      return;
    }
  }
}

void CEventSource::operator-=(FnType fn) { (*this) -= MakeDelegate(fn); }

bool CEventSource::operator()(void* param) {
  if (m_aDelegates.GetSize() == 0) return true;
  CStdPtrArray snapshot(m_aDelegates);
  ++m_nCalling;
  bool result = true;
  for (int i = 0; i < snapshot.GetSize(); ++i) {
    auto* d = static_cast<CDelegateBase*>(snapshot.GetAt(i));
    if (m_aDelegates.Find(d) < 0) continue;  // removed by an earlier delegate of this call
    if (!(*d)(param)) {
      result = false;
      break;
    }
  }
  if (--m_nCalling == 0) FreeRemoved();
  return result;
}

void CEventSource::FreeRemoved() {
  for (int i = 0; i < m_aRemoved.GetSize(); ++i) delete static_cast<CDelegateBase*>(m_aRemoved.GetAt(i));
  m_aRemoved.Empty();
}

}  // namespace ZQUI
