#ifndef BASE_WEAK_CALLBACK_H_
#define BASE_WEAK_CALLBACK_H_

#include <memory>
#include <utility>

namespace kbase {

// Marker object whose control block tells weak callbacks whether their target still exists.
struct WeakFlag {};

// A callable that runs only while the object that made it still exists. It protects against a
// target destroyed before the callback runs on the same thread as the destruction, or after it;
// it does not make a concurrent destruction on another thread safe.
template <class F>
class WeakCallback {
 public:
  WeakCallback(std::weak_ptr<WeakFlag> flag, F f) : flag_(std::move(flag)), f_(std::move(f)) {}

  template <class... Args>
  void operator()(Args&&... args) const {
    // The strong reference keeps the flag's control block alive across the call, also when f
    // destroys the object that made the callback.
    if (std::shared_ptr<WeakFlag> alive = flag_.lock())
      f_(std::forward<Args>(args)...);
  }

  bool Expired() const { return flag_.expired(); }

 private:
  std::weak_ptr<WeakFlag> flag_;
  F f_;
};

// Base of classes that hand out weak callbacks. Destroying the object makes every callback it made
// a no-op.
class SupportWeakCallback {
 public:
  SupportWeakCallback() = default;
  virtual ~SupportWeakCallback() = default;
  SupportWeakCallback(const SupportWeakCallback&) = delete;
  SupportWeakCallback& operator=(const SupportWeakCallback&) = delete;

  // The weak reference every callback of this object checks. The flag is made on first use; two
  // threads asking at once get the same flag.
  std::weak_ptr<WeakFlag> AcquireWeakFlag() {
    std::shared_ptr<WeakFlag> flag = std::atomic_load(&weak_flag_);
    if (!flag) {
      std::shared_ptr<WeakFlag> fresh = std::make_shared<WeakFlag>();
      std::shared_ptr<WeakFlag> expected;
      if (std::atomic_compare_exchange_strong(&weak_flag_, &expected, fresh))
        flag = fresh;
      else
        flag = expected;
    }
    return flag;
  }

  template <class F>
  WeakCallback<F> MakeWeakCallback(F f) {
    return WeakCallback<F>(AcquireWeakFlag(), std::move(f));
  }

 private:
  std::shared_ptr<WeakFlag> weak_flag_;
};

}  // namespace kbase

#endif  // BASE_WEAK_CALLBACK_H_
