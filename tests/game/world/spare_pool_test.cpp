// Reuse of dropped objects: only once nothing else holds them, always in a new object's state.
#include "game/world/spare_pool.h"

#include <gtest/gtest.h>

namespace {
struct Thing {
  int value = 7;
};

TEST(SparePool, ReusesAnObjectOnlyOnceNothingElseHoldsIt) {
  TSparePool<Thing> pool(4);
  auto thing = pool.Take();
  thing->value = 42;
  Thing* const address = thing.get();
  pool.Keep(thing);
  // Still held here: the pool must hand out a different object.
  auto other = pool.Take();
  EXPECT_NE(other.get(), address);
  thing.reset();
  auto reused = pool.Take();
  EXPECT_EQ(reused.get(), address);
  EXPECT_EQ(reused->value, 7) << "a reused object starts as a new one";
  EXPECT_EQ(reused.use_count(), 1);
}

TEST(SparePool, AFullPoolLetsObjectsGo) {
  TSparePool<Thing> pool(1);
  auto first = std::make_shared<Thing>();
  auto second = std::make_shared<Thing>();
  std::weak_ptr<Thing> watch = second;
  pool.Keep(first);
  pool.Keep(second);
  second.reset();
  EXPECT_TRUE(watch.expired());
  first.reset();
  EXPECT_NE(pool.Take(), nullptr);
}
}  // namespace
