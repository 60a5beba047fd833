#include "platform/core/object_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
struct Item {
  int id;
};

std::vector<int> Visit(TList<Item>& list) {
  std::vector<int> seen;
  for (const auto& item : list) seen.push_back(item ? item->id : -1);
  return seen;
}

struct ListOfThree : ::testing::Test {
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      items.push_back(std::make_shared<Item>(Item{i}));
      list.AddLast(items.back());
    }
  }
  TList<Item> list;
  std::vector<std::shared_ptr<Item>> items;
};
}  // namespace

TEST_F(ListOfThree, IteratesInAppendOrder) {
  EXPECT_EQ(Visit(list), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list.Count(), 3u);
}

TEST_F(ListOfThree, RemovingTheObjectJustReturnedContinuesWithTheNext) {
  std::vector<int> seen;
  for (const auto& item : list) {
    seen.push_back(item->id);
    list.Remove(item.get());
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(list.IsEmpty());
}

TEST_F(ListOfThree, LinkRemovedAheadOfTheIterationYieldsNullOnce) {
  std::vector<int> seen;
  for (const auto& item : list) {
    seen.push_back(item ? item->id : -1);
    if (item && item->id == 0) list.Remove(items[1].get());
  }
  EXPECT_EQ(seen, (std::vector<int>{0, -1, 2}));
  EXPECT_EQ(Visit(list), (std::vector<int>{0, 2}));
}

TEST_F(ListOfThree, ObjectsAppendedDuringIterationAreReached) {
  std::vector<int> seen;
  for (const auto& item : list) {
    seen.push_back(item->id);
    if (item->id == 2) list.AddLast(std::make_shared<Item>(Item{3}));
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(ListOfThree, RemoveThenAppendWhileOnTheLastLinkReachesTheNewObject) {
  // The game replaces a lost ball this way: the last ball removes itself and serves a new one.
  std::vector<int> seen;
  for (const auto& item : list) {
    seen.push_back(item->id);
    if (item->id == 2) {
      list.Remove(item.get());
      list.AddLast(std::make_shared<Item>(Item{7}));
    }
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 7}));
  EXPECT_EQ(Visit(list), (std::vector<int>{0, 1, 7}));
}

TEST_F(ListOfThree, RemoveUnlinksOnlyTheFirstLinkHoldingTheObject) {
  list.AddLast(items[0]);
  EXPECT_TRUE(list.Remove(items[0].get()));
  EXPECT_EQ(Visit(list), (std::vector<int>{1, 2, 0}));
  Item stranger{9};
  EXPECT_FALSE(list.Remove(&stranger));
}

TEST_F(ListOfThree, ListOwnsReferencesUntilRemovedOrCleared) {
  std::weak_ptr<Item> watch = items[1];
  items.clear();
  EXPECT_FALSE(watch.expired());
  list.Clear();
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(list.IsEmpty());
}

TEST(ObjectList, DestroyingTheListReleasesEveryObject) {
  std::weak_ptr<Item> watch;
  {
    TList<Item> list;
    auto item = std::make_shared<Item>(Item{1});
    watch = item;
    list.AddLast(std::move(item));
  }
  EXPECT_TRUE(watch.expired());
}

TEST(ListLinks, RemovedLinksAreReusedByLaterAppends) {
  TList<Item> list;
  auto a = std::make_shared<Item>(Item{1});
  auto b = std::make_shared<Item>(Item{2});
  list.AddLast(a);
  list.Remove(a.get());
  EXPECT_EQ(a.use_count(), 1) << "the list keeps no reference to a removed object";
  list.AddLast(b);
  list.AddLast(a);
  EXPECT_EQ(Visit(list), (std::vector<int>{2, 1}));
  EXPECT_EQ(list.Count(), 2u);
}

TEST(ListLinks, ALinkAnIterationStandsOnIsNotReusedUnderIt) {
  TList<Item> list;
  std::vector<std::shared_ptr<Item>> items;
  for (int i = 0; i < 4; ++i) {
    items.push_back(std::make_shared<Item>(Item{i}));
    list.AddLast(items.back());
  }
  std::vector<int> seen;
  for (const auto& item : list) {
    if (!item) {
      seen.push_back(-1);
      continue;
    }
    seen.push_back(item->id);
    if (item->id == 0) {
      // Item 1's link is the one the iteration stands on: it must still lead on to item 2 even
      // though appends happen after its removal.
      list.Remove(items[1].get());
      items.push_back(std::make_shared<Item>(Item{4}));
      list.AddLast(items.back());
    }
  }
  EXPECT_EQ(seen, (std::vector<int>{0, -1, 2, 3, 4}));
  EXPECT_EQ(Visit(list), (std::vector<int>{0, 2, 3, 4}));
}

TEST(ListLinks, ChurnKeepsTheOrderAndTheCount) {
  TList<Item> list;
  std::vector<std::shared_ptr<Item>> items;
  for (int i = 0; i < 5; ++i) {
    items.push_back(std::make_shared<Item>(Item{i}));
    list.AddLast(items.back());
  }
  // Remove and re-append every item in turn while iterating, as the background field does.
  for (const auto& item : list) {
    if (!item || item->id >= 100) continue;
    list.Remove(item.get());
    items.push_back(std::make_shared<Item>(Item{item->id + 100}));
    list.AddLast(items.back());
  }
  EXPECT_EQ(Visit(list), (std::vector<int>{100, 101, 102, 103, 104}));
  EXPECT_EQ(list.Count(), 5u);
}
