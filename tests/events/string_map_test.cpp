// StringMap: finding, and deleting while walking.
#include "runtime/events/string_map.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zeb {
namespace {

TEST(StringMap, DeletingWhileWalkingVisitsEveryOtherElementOnce) {
  // Few buckets, so chains are long and deletions happen inside them.
  StringMap* map = NewStringMap(sizeof(int64_t), 3);
  ASSERT_NE(map, nullptr);
  for (int64_t i = 0; i < 200; ++i) {
    *static_cast<int64_t*>(AddStringMapElement(map, std::to_string(i).c_str())) = i;
  }
  EXPECT_EQ(map->elementCount, 200);
  // Delete the even values, several of them back to back in a chain.
  std::set<int64_t> seen;
  ResetStringMap(map);
  for (auto* value = static_cast<int64_t*>(NextStringMapElement(map)); value != nullptr;) {
    EXPECT_TRUE(seen.insert(*value).second);
    if (*value % 2 == 0 || *value < 40) DeleteStringMapElement(map);
    value = static_cast<int64_t*>(NextStringMapElement(map));
  }
  EXPECT_EQ(seen.size(), 200u);
  EXPECT_EQ(map->elementCount, 80);
  for (int64_t i = 0; i < 200; ++i) {
    const bool kept = i >= 40 && i % 2 == 1;
    EXPECT_EQ(FindStringMapElement(map, std::to_string(i).c_str()) != nullptr, kept) << i;
  }
  EXPECT_EQ(NextStringMapElement(map) != nullptr, true);  // a walk after a find starts over
  FreeStringMap(map);
}

}  // namespace
}  // namespace zeb
