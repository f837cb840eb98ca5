// CDelegateBase and CEventSource: observer lists on controls (init, destroy, size, event, notify).
// A delegate is an object pointer plus a function; two delegates are equal when both are equal.
// Calling a source calls every delegate in order and stops at the first that returns false.
#pragma once

#include <cstring>

#include "ui/core/std_ptr_array.h"

namespace ZQUI {

class CDelegateBase {
 public:
  virtual ~CDelegateBase() = default;
  bool Equals(const CDelegateBase& other) const;
  bool operator()(void* param) { return Invoke(param); }
  virtual CDelegateBase* Copy() const = 0;

 protected:
  CDelegateBase(void* object, const void* function, size_t functionSize);
  CDelegateBase(const CDelegateBase& other) = default;
  virtual bool Invoke(void* param) = 0;
  void* GetObject() const { return m_object; }

 private:
  static constexpr size_t kMaxFunctionSize = 4 * sizeof(void*);
  void* m_object;
  size_t m_functionSize;
  unsigned char m_function[kMaxFunctionSize];  // bytes of the (member) function pointer
};

class CDelegateStatic : public CDelegateBase {
 public:
  using Fn = bool (*)(void*);
  explicit CDelegateStatic(Fn fn) : CDelegateBase(nullptr, &fn, sizeof(fn)), m_fn(fn) {}
  CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }

 protected:
  bool Invoke(void* param) override { return m_fn(param); }

 private:
  Fn m_fn;
};

template <class O, class T>
class CDelegate : public CDelegateBase {
 public:
  using Fn = bool (T::*)(void*);
  CDelegate(O* object, Fn fn) : CDelegateBase(object, &fn, sizeof(fn)), m_fn(fn) {}
  CDelegateBase* Copy() const override { return new CDelegate(*this); }

 protected:
  bool Invoke(void* param) override {
    O* object = static_cast<O*>(GetObject());
    return (object->*m_fn)(param);
  }

 private:
  Fn m_fn;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (T::*fn)(void*)) {
  return CDelegate<O, T>(object, fn);
}

inline CDelegateStatic MakeDelegate(bool (*fn)(void*)) { return CDelegateStatic(fn); }

class CEventSource {
 public:
  using FnType = bool (*)(void*);

  CEventSource() = default;
  ~CEventSource();
  CEventSource(const CEventSource&) = delete;
  CEventSource& operator=(const CEventSource&) = delete;

  explicit operator bool() const;
  int GetCount() const;
  void operator+=(const CDelegateBase& d);
  void operator+=(FnType fn);
  void operator-=(const CDelegateBase& d);
  void operator-=(FnType fn);
  // Delegates added during a call are not called by it; delegates removed during a call are
  // skipped and freed only when the outermost call returns.
  bool operator()(void* param);

 private:
  void FreeRemoved();

  CStdPtrArray m_aDelegates;
  CStdPtrArray m_aRemoved;
  int m_nCalling = 0;
};

}  // namespace ZQUI
