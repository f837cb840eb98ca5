#include "base/observer_list.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace {

class Observer {
 public:
  virtual ~Observer() = default;
  virtual void OnEvent() = 0;
};

class Recorder : public Observer {
 public:
  Recorder(std::vector<int>* log, int id) : log_(log), id_(id) {}
  void OnEvent() override {
    log_->push_back(id_);
    if (action)
      action();
  }
  std::function<void()> action;

 private:
  std::vector<int>* log_;
  int id_;
};

void NotifyAll(kbase::ObserverList<Observer>& list) {
  list.Notify([](Observer* o) { o->OnEvent(); });
}

TEST(ObserverList, NotifiesInAddingOrderAndAddsOnce) {
  std::vector<int> log;
  Recorder a(&log, 1), b(&log, 2);
  kbase::ObserverList<Observer> list;
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&a);
  NotifyAll(list);
  EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(ObserverList, ObserverRemovedDuringNotificationIsSkippedAndOthersAreNot) {
  std::vector<int> log;
  Recorder a(&log, 1), b(&log, 2), c(&log, 3);
  kbase::ObserverList<Observer> list;
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&c);
  // a removes itself and b; c must still be reached exactly once.
  a.action = [&] {
    list.RemoveObserver(&a);
    list.RemoveObserver(&b);
  };
  NotifyAll(list);
  EXPECT_EQ(log, (std::vector<int>{1, 3}));
  EXPECT_EQ(list.size(), 1u);
  log.clear();
  NotifyAll(list);
  EXPECT_EQ(log, (std::vector<int>{3}));
}

TEST(ObserverList, ObserverAddedDuringNotificationIsNotifiedInTheSameWalk) {
  std::vector<int> log;
  Recorder a(&log, 1), b(&log, 2);
  kbase::ObserverList<Observer> list;
  list.AddObserver(&a);
  a.action = [&] { list.AddObserver(&b); };
  NotifyAll(list);
  EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(ObserverList, NestedNotificationCompactsOnlyAtTheOutermostLevel) {
  std::vector<int> log;
  Recorder a(&log, 1), b(&log, 2), c(&log, 3);
  kbase::ObserverList<Observer> list;
  list.AddObserver(&a);
  list.AddObserver(&b);
  list.AddObserver(&c);
  bool nested = false;
  b.action = [&] {
    if (nested)
      return;
    nested = true;
    list.RemoveObserver(&a);
    NotifyAll(list);  // inner walk: a is gone, b and c are notified
  };
  NotifyAll(list);
  EXPECT_EQ(log, (std::vector<int>{1, 2, 2, 3, 3}));
  EXPECT_FALSE(list.HasObserver(&a));
  EXPECT_EQ(list.size(), 2u);
}

}  // namespace
