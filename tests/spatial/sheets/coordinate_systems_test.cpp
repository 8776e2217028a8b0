#include "spatial/sheets/coordinate_systems.h"

#include "tests/spatial/spatial_fixture.h"

namespace {

using CoordinateSystemsTest = SpatialTest;

// A system of another kind than the national grid, as a plug-in would add.
class TOtherSystem : public TJTSK {
 public:
  std::uint8_t GetKind() const override { return 2; }
};

// A library answers the first system of the kind asked for; only the national
// grid is made when missing, and only once.
TEST_F(CoordinateSystemsTest, ALibraryFindsASystemByItsKindAndMakesOnlyTheNationalGrid) {
  const struct {
    const char* name;
    std::uint8_t kind;
    const char* found;  // "other", "new grid" or "nil"
    int count;          // of the library's systems afterwards
  } rows[] = {
      {"the national grid behind another kind", 1, "new grid", 2},
      {"a kind the library holds", 2, "other", 1},
      {"a kind the library lacks", 3, "nil", 1},
  };
  for (const auto& row : rows) {
    TWCSLibrary library;
    auto* other = new TOtherSystem;
    library.AddElement(other);
    TWCS* found = library.FindWCS(row.kind);
    const std::string foundText = found == other              ? "other"
                                  : found && found != other && found->GetKind() == 1 ? "new grid"
                                  : found                     ? "another"
                                                              : "nil";
    EXPECT_EQ(foundText, row.found) << row.name;
    EXPECT_EQ(library.GetCount(), row.count) << row.name;
    EXPECT_EQ(library.FindWCS(row.kind), found) << row.name << ": asked again";
    EXPECT_EQ(library.GetCount(), row.count) << row.name << ": asked again";
  }
}

}  // namespace
