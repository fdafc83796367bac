#include "runtime/core/object_registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zeb {
namespace {

struct Record {
  uintptr_t handle;
  int64_t data;
};

int64_t NumberOf(const void* record) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(record)); }

// Plays a library: its release routine logs the number and frees the record, and
// the registry is taken apart afterwards so that leak checks stay meaningful.
class ObjectRegistryTest : public ::testing::Test {
 protected:
  static void Release(int64_t number) {
    released.push_back(number);
    FreeObjectRecord(registry, number);
  }

  void Make(int32_t growthStep, ReleaseRoutine release) {
    Destroy();
    registry = NewObjectRegistry(sizeof(Record), growthStep, release);
    ASSERT_NE(registry, nullptr);
    released.clear();
  }

  // An object with a handle, as a library makes it.
  Record* Create(int64_t number) {
    auto* record = static_cast<Record*>(AllocateObject(registry, number));
    if (record != nullptr) record->handle = 1;
    return record;
  }

  void Destroy() {
    if (registry == nullptr) return;
    while (registry->dynamicList != nullptr) {
      RemoveListNode(&registry->dynamicList, NodeRecord(registry->dynamicList));
    }
    for (int64_t i = 0; i < registry->capacity; ++i) FreeBlock(registry->slots[i]);
    FreeBlock(registry->slots);
    FreeBlock(registry);
    registry = nullptr;
  }
  void TearDown() override { Destroy(); }

  static inline ObjectRegistry* registry = nullptr;
  static inline std::vector<int64_t> released;
};

TEST_F(ObjectRegistryTest, ANumberInUseIsReleasedBeforeItIsGivenAgain) {
  Make(8, Release);
  Record* record = Create(3);
  record->data = 42;
  EXPECT_EQ(AllocateObject(registry, 3), record);
  EXPECT_EQ(released, std::vector<int64_t>{3});
  EXPECT_EQ(record->data, 0);
  // Without a release routine the record comes back as it is, and nothing
  // is released at the end either.
  Make(8, nullptr);
  record = Create(3);
  EXPECT_EQ(AllocateObject(registry, 3), record);
  FreeAllObjects(registry);
  EXPECT_EQ(IsObject(registry, 3), record);
}

TEST_F(ObjectRegistryTest, BadNumbersAndAbsurdRequestsAreRefused) {
  EXPECT_EQ(NewObjectRegistry(sizeof(void*) - 1, 8, nullptr), nullptr);
  EXPECT_EQ(NewObjectRegistry(sizeof(Record), 0, nullptr), nullptr);
  EXPECT_EQ(NewObjectRegistry(sizeof(Record), INT32_MAX, nullptr), nullptr);
  Make(8, Release);
  Record* numbered = Create(2);
  Record* dynamic = Create(DynamicNumber);
  const int64_t stale = NumberOf(Create(DynamicNumber));
  FreeObjectRecord(registry, stale);
  EXPECT_EQ(IsObject(registry, NumberOf(AllocateObject(registry, DynamicNumber))), nullptr);  // no handle
  // Only numbers of existing records are read or freed.
  Record outside{1, 0};
  for (int64_t number : {stale, NumberOf(&outside), int64_t{-1}, int64_t{-2}, INT64_MIN, INT64_MAX, int64_t{8}}) {
    EXPECT_EQ(IsObject(registry, number), nullptr) << number;
    FreeObjectRecord(registry, number);
  }
  EXPECT_EQ(IsObject(registry, 2), numbered);
  EXPECT_EQ(IsObject(registry, NumberOf(dynamic)), dynamic);
  EXPECT_EQ(outside.handle, 1u);
  // number + growth step wraps, the slot array's byte size wraps, or the slot array
  // would not fit in one memory block.
  for (int64_t number : {INT64_MAX, INT64_MAX - 3, INT64_MAX / 8, int64_t{INT32_MAX / 8}, INT64_C(1) << 40,
                         int64_t{-2}, INT64_MIN}) {
    EXPECT_EQ(AllocateObject(registry, number), nullptr) << number;
  }
  EXPECT_EQ(registry->capacity, 8);
}

TEST_F(ObjectRegistryTest, FreeAllObjectsReleasesEachObjectOnce) {
  // Releasing the oldest dynamic object also frees the one the walk goes to next.
  static int64_t trigger;
  static int64_t doomed;
  Make(4, [](int64_t number) {
    Release(number);
    if (number == trigger) FreeObjectRecord(registry, doomed);
  });
  Create(9);
  trigger = NumberOf(Create(DynamicNumber));
  doomed = NumberOf(Create(DynamicNumber));
  const int64_t newest = NumberOf(Create(DynamicNumber));
  FreeAllObjects(registry);
  EXPECT_EQ(released, (std::vector<int64_t>{9, trigger, newest}));
  EXPECT_EQ(IsObject(registry, 9), nullptr);
  EXPECT_EQ(registry->dynamicList, nullptr);
}

}  // namespace
}  // namespace zeb
