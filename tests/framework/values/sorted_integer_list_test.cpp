// A sorted integer list takes each addition at its place among the others.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"

namespace {

std::vector<std::int32_t> Values(TIntegerListElement& list) {
  std::vector<std::int32_t> values;
  for (int i = 0; i < list.GetCount(); ++i) values.push_back(list.GetInteger(i));
  return values;
}

class SortedIntegerListTest : public FrameworkTest {};

TEST_F(SortedIntegerListTest, AdditionsLandInOrderAndRepeatsOnlyWhereAllowed) {
  struct Case {
    const char* name;
    std::vector<std::int32_t> fed;
  };
  std::mt19937 random(3);
  std::vector<std::int32_t> shuffled;
  for (int i = 0; i < 300; ++i) shuffled.push_back(static_cast<std::int32_t>(random() % 40) - 20);
  const Case cases[] = {
      {"repeats among others", {5, 3, 5, 4}},
      {"descending", {9, 7, 5, 3, 1}},
      {"ascending with repeats", {1, 1, 2, 2, 3}},
      {"extremes", {0, INT32_MAX, INT32_MIN, -1, INT32_MAX}},
      {"many in no order", shuffled},
  };
  for (const Case& c : cases) {
    for (const bool duplicates : {false, true}) {
      TIntegerListElement list;
      list.Sorted = true;
      list.Duplicates = duplicates;
      for (const std::int32_t value : c.fed) list.AddInteger(value);
      const std::multiset<std::int32_t> all(c.fed.begin(), c.fed.end());
      const std::set<std::int32_t> once(c.fed.begin(), c.fed.end());
      const std::vector<std::int32_t> expected =
          duplicates ? std::vector<std::int32_t>(all.begin(), all.end()) : std::vector<std::int32_t>(once.begin(), once.end());
      EXPECT_EQ(Values(list), expected) << c.name << (duplicates ? " with duplicates" : "");
    }
  }
}

TEST_F(SortedIntegerListTest, EqualValueGoesAfterItsEqualsSoTheEarlierElementStaysFirst) {
  TIntegerListElement list;
  list.Sorted = true;
  list.Duplicates = true;
  list.AddInteger(4);
  list.AddInteger(2);
  TElement* firstFour = list.GetElement(1);
  list.AddInteger(4);
  EXPECT_EQ(list.GetElement(1), firstFour);
  EXPECT_NE(list.GetElement(2), firstFour);
}

}  // namespace
