#ifndef BASE_OBSERVER_LIST_H_
#define BASE_OBSERVER_LIST_H_

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kbase {

// Removes entries that were nulled while a notification was walking the list.
class LazyEraser {
 public:
  virtual ~LazyEraser() = default;
  virtual void Compact() = 0;
};

// A list of observers of one interface, owned by one thread. Observers may be added or removed from
// inside a notification: removal then only nulls the entry, and the list is compacted once the
// outermost notification has finished, so the walk never skips or repeats an observer.
template <class T>
class ObserverList : public LazyEraser {
 public:
  ObserverList() = default;
  ObserverList(const ObserverList&) = delete;
  ObserverList& operator=(const ObserverList&) = delete;

  // Adds an observer once; adding one already in the list does nothing.
  void AddObserver(T* observer) {
    if (!observer || std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
      return;
    observers_.push_back(observer);
  }

  void RemoveObserver(T* observer) {
    auto it = std::find(observers_.begin(), observers_.end(), observer);
    if (it == observers_.end())
      return;
    if (notify_depth_ > 0)
      *it = nullptr;
    else
      observers_.erase(it);
  }

  bool HasObserver(const T* observer) const {
    return observer &&
           std::find(observers_.begin(), observers_.end(), observer) != observers_.end();
  }

  // Live observers (nulled entries not counted).
  size_t size() const {
    return static_cast<size_t>(
        std::count_if(observers_.begin(), observers_.end(), [](T* o) { return o != nullptr; }));
  }

  // Calls f(observer) on every non-null entry. The size is re-read before every step, so
  // observers added during the walk are notified too.
  template <class F>
  void Notify(F&& f) {
    ++notify_depth_;
    for (size_t i = 0; i < observers_.size(); ++i) {
      if (T* observer = observers_[i])
        f(observer);
    }
    --notify_depth_;
    if (notify_depth_ < 1)
      Compact();
  }

  void Compact() override {
    if (notify_depth_ > 0)
      return;
    observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr), observers_.end());
  }

 private:
  int notify_depth_ = 0;
  std::vector<T*> observers_;
};

}  // namespace kbase

#endif  // BASE_OBSERVER_LIST_H_
