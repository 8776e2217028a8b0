#include <memory>
#include <string>

#include "framework/core/class_registry.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/sheets/map_sheets.h"
#include "tests/spatial/spatial_fixture.h"

namespace {

class PublishedCopiesTest : public SpatialTest {
 protected:
  void SetUp() override {
    SpatialTest::SetUp();
    world = std::make_unique<TWCSWorld>();
    SetWorld(world.get());
  }
  void TearDown() override {
    SetWorld(nullptr);
    world.reset();
    SpatialTest::TearDown();
  }
  std::unique_ptr<TWCSWorld> world;
};

// Property texts, element paths and the property editor read the copies with
// detail; such a read must leave the series as it was and make nothing that
// nobody owns.
TEST_F(PublishedCopiesTest, ReadingACopyWithDetailChangesNothing) {
  TSMO smo;
  TSMO_50* sheet = smo.CreateSheet50(0, 0, "N", "Z");
  sheet->CreateDetail();
  sheet->FindSheet10(0, 0)->CreateDetail();
  struct Case {
    const char* Name;
    TElement* Sheet;
    const char* Property;
  };
  const Case cases[] = {
      {"1:50 000 with 1:10 000 detail", sheet, "SelfCopyWithDetail10"},
      {"1:50 000 with 1:25 000 detail", sheet, "SelfCopyWithDetail25"},
      {"1:50 000", sheet, "SelfCopyWithDetail"},
      {"1:25 000", sheet->FindSheet25(9, 9), "SelfCopyWithDetail"},
      {"1:10 000", sheet->FindSheet10(0, 0), "SelfCopyWithDetail"},
      {"1:5 000", sheet->FindSheet5(1, 1), "SelfCopyWithDetail"},
  };
  const int before = smo.WholeCount();
  for (const Case& c : cases) {
    ASSERT_NE(c.Sheet, nullptr) << c.Name;
    EXPECT_EQ(
        std::tuple(c.Sheet->GetPropertyText(c.Property), GetObjectPropByName(*c.Sheet, c.Property), smo.WholeCount()),
        std::tuple("0", nullptr, before))
        << c.Name;
  }
}

// Every published property of every registered class, read as text on a new
// instance: what a class-typed one answers is nil, the instance, or an element
// someone holds.  (Under LeakSanitizer anything left unowned fails the test.)
TEST_F(PublishedCopiesTest, ReadingEveryPublishedPropertyMakesNothingUnowned) {
  TKestuClasses* registry = KestuClasses();
  int read = 0;
  for (int i = 0; i < registry->GetCount(); ++i) {
    const TClass cls = registry->Entry(i)->ElementClass();
    std::unique_ptr<TElement> instance(NewElement(cls));
    if (!instance) continue;
    for (const TPropInfo* info : cls->Props()) {
      std::string text;
      PropInfoToText(*instance, info, text);
      ++read;
      if (info->Kind != tkClass || !info->GetObj) continue;
      const auto* value = dynamic_cast<TElement*>(info->GetObj(*instance));
      EXPECT_TRUE(!value || value == instance.get() || value->HolderCount() > 0 || value->GetOwnersCount() > 0)
          << cls->ClassName << "." << info->Name << " hands out an element nobody owns";
    }
  }
  EXPECT_GT(read, 500);
}

}  // namespace
