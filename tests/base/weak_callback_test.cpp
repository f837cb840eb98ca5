#include "base/weak_callback.h"

#include <memory>

#include <gtest/gtest.h>

#include "base/message_loop.h"
#include "tests/base/base_test_util.h"

namespace {

class Target : public kbase::SupportWeakCallback {
 public:
  void Hit() { ++hits; }
  int hits = 0;
};

TEST(WeakCallback, RunsWhileItsTargetLives) {
  Target target;
  auto callback = target.MakeWeakCallback([&target] { target.Hit(); });
  callback();
  callback();
  EXPECT_EQ(target.hits, 2);
  EXPECT_FALSE(callback.Expired());
}

TEST(WeakCallback, DoesNothingOnceItsTargetIsGone) {
  int calls = 0;
  auto target = std::make_unique<Target>();
  auto callback = target->MakeWeakCallback([&calls] { ++calls; });
  auto copy = callback;
  target.reset();
  callback();
  copy();
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(callback.Expired());
  EXPECT_TRUE(copy.Expired());
}

TEST(WeakCallback, PostedCallbackOfADestroyedObjectDoesNothingWhenItsTurnComes) {
  kbase::MessageLoop loop;
  int calls = 0;
  auto target = std::make_unique<Target>();
  loop.PostTask(target->MakeWeakCallback([&calls] { ++calls; }));
  auto survivor = std::make_unique<Target>();
  loop.PostTask(survivor->MakeWeakCallback([&calls] { calls += 10; }));
  target.reset();
  kbase_test::RunUntilIdle(loop);
  EXPECT_EQ(calls, 10);
}

TEST(WeakCallback, CallbackMayDestroyItsOwnTarget) {
  Target* target = new Target;
  bool after = false;
  auto callback = target->MakeWeakCallback([&] {
    delete target;
    after = true;
  });
  callback();
  EXPECT_TRUE(after);
  after = false;
  callback();  // the target is gone now
  EXPECT_FALSE(after);
}

TEST(WeakCallback, EveryCallbackOfOneObjectSharesOneFlag) {
  Target target;
  std::weak_ptr<kbase::WeakFlag> first = target.AcquireWeakFlag();
  std::weak_ptr<kbase::WeakFlag> second = target.AcquireWeakFlag();
  EXPECT_FALSE(first.owner_before(second) || second.owner_before(first));
}

}  // namespace
