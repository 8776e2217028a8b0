// Every published property of every registered class reads as text on a new
// instance, and again after each element-typed property has been given the
// instance itself and then its owner: nothing crashes, hangs or leaks, and
// no instance ends up among its own owners (NextElement among them).
#include <memory>
#include <string>
#include <vector>

#include "tests/framework/core/published_properties_sweep.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

using PublishedPropertiesAsTextTest = SpatialTest;

TEST_F(PublishedPropertiesAsTextTest, EveryClassReadsAfterItsElementPropertiesTakeItselfAndItsOwner) {
  EXPECT_GT(sweep::EveryRegisteredClass(), 80);
}

using RegisteredClassesTest = SpatialTest;

TEST_F(RegisteredClassesTest, EveryClassStandsInTheTreeWithItsParentsPropertiesFirst) {
  EXPECT_EQ(sweep::ClassesOutOfTheTree(), std::vector<std::string>{});
}

}  // namespace
