#include "block/guide/guide_model.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "tests/block/block_fixture.h"
#include "tests/block/guide/sample_guide.h"

namespace {


// Class, name and selection of every element under root, one line each,
// indented by depth.  Guides are shallow, so recursion is fine here.
void Dump(TElement* element, int depth, std::ostringstream& out) {
  out << std::string(depth * 2, ' ') << element->ClassName() << " \"" << element->GetName() << '"';
  if (auto* space = DynamicCast<TMapSpace>(element); space && space->Selected) out << " selected";
  out << '\n';
  if (auto* entity = DynamicCast<TEntity>(element))
    for (int i = 0; i < entity->GetCount(); ++i) Dump(entity->GetElement(i), depth + 1, out);
}

std::string DumpOf(TElement* root) {
  std::ostringstream out;
  Dump(root, 0, out);
  return out.str();
}

// The classes of an entity's children, each followed by a space.
std::string ClassesOf(const TEntity& entity) {
  std::string classes;
  for (TElement* child : entity.Children()) classes += child->ClassName() + " ";
  return classes;
}

class GuideTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    SetWorld(&world);
  }
  void TearDown() override {
    SetWorld(nullptr);
    BlockTest::TearDown();
  }
  TWCSWorld world;
};

TEST_F(GuideTest, TheSampleGuideIsWhatItsWriterMakesAndRoundTripsWithEachPartOnce) {
  const std::string written = folder.File("sample.kes");
  WriteSampleGuide(written);
  EXPECT_EQ(FileContent(written), FileContent(std::string(KESTX_SAMPLES_DIR) + "/guide/sample.kes"));

  std::unique_ptr<TGuide> guide(BuildSampleGuide());
  guide->Vectors()->AddElement(new TOwnerEntity());
  TSave save;
  save.FileName = written;
  save.SetInput(guide.get());
  save.DoIt();
  std::unique_ptr<TLoad> load(TKestuLoader::CreateForFile<TLoad>(written));
  load->DoIt();
  std::unique_ptr<TElement> loaded(load->Output());
  RunMessages();
  auto* read = DynamicCast<TGuide>(loaded.get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(DumpOf(read), DumpOf(guide.get()));
}

TEST_F(GuideTest, AnOlderDrawingClassMovesIntoVectorsOfTheSameNameAndNoDrawingKeepsNone) {
  // The record of a guide without parts and without user map spaces whose
  // drawing is the element of that number (-1 for none): a guide without
  // parts ends with two references of -1 (02 FF each).
  TGuide empty;
  const Bytes written = WrittenRecord(empty);
  ASSERT_EQ(Bytes(written.end() - 4, written.end()), (Bytes{0x02, 0xFF, 0x02, 0xFF}));
  const auto record = [&](std::int32_t drawing) {
    platform::TMemoryStream stream;
    platform::TWriter writer(stream, 4096);
    writer.Write(written.data(), written.size() - 4);
    writer.WriteInteger(drawing);
    writer.WriteInteger(-1);
    writer.FlushBuffer();
    return stream.Bytes();
  };
  TGuide none;
  TQuickEntity noneMap;
  noneMap.AddElement(&none);
  ReadRecord(record(-1), none, noneMap);
  EXPECT_EQ(none.ExistingVectors(), nullptr);
  EXPECT_EQ(none.GetCount(), 0);

  // The stream's map of read records holds each record until the end.
  TGuide guide;
  TOwnerEntity readRecords;
  TQuickEntity elementMap;
  auto* old = Named<TOwnerEntity>("Kresba", &readRecords);
  old->AddElement(new TOwnerEntity());
  old->AddElement(new TOwnerEntity());
  elementMap.AddElement(&guide);
  elementMap.AddElement(old);
  guide.AddElement(old);
  ReadRecord(record(1), guide, elementMap);
  TVectors* vectors = guide.ExistingVectors();
  ASSERT_NE(vectors, nullptr);
  EXPECT_EQ(vectors->GetName(), "Kresba");
  EXPECT_EQ(vectors->GetCount(), 2);
  EXPECT_EQ(guide.IndexOf(old), -1);
  EXPECT_EQ(old->GetOwnersCount(), 1);
  EXPECT_EQ(guide.ExistingUserMapSpaces(), nullptr);
  // Parts made later go before the drawing, the ZM sheet before its locator.
  guide.UserMapSpaces();
  EXPECT_EQ(ClassesOf(guide), "TZMSpace TMapsZM TVectors TUserMapSpaces ");
}

// Compaction leaves of a 1:50 000 sheet what is exported: the 1:10 000
// sheets the user chose (whether or not anything below them is chosen) and
// those holding a chosen 1:5 000 sheet, each with only its chosen sheets.
TEST_F(GuideTest, CompactionKeepsTheChosenSheetsAndThoseAboveChosenOnes) {
  using Sheet = std::pair<int, int>;
  const struct {
    const char* name;
    Sheet at;
    bool selected, detail;
    std::vector<Sheet> chosenBelow;
    bool kept;
  } rows[] = {
      {"chosen, no detail", {0, 0}, true, false, {}, true},
      {"chosen, nothing chosen below", {2, 0}, true, true, {}, true},
      {"one chosen below", {4, 0}, false, true, {{5, 1}}, true},
      {"two chosen below", {6, 6}, false, true, {{6, 6}, {7, 7}}, true},
      {"chosen and one below", {0, 8}, true, true, {{1, 8}}, true},
      {"nothing chosen below", {8, 8}, false, true, {}, false},
      {"not chosen, no detail", {2, 2}, false, false, {}, false},
  };
  TGuide guide;
  TSMO_50* fifty = guide.CreateSheet50(26, 53, "Nymburk", "NY");
  fifty->CreateDetail10();
  for (const auto& row : rows) {
    TSMO_10* ten = fifty->FindSheet10(row.at.first, row.at.second);
    ten->Selected = row.selected;
    if (row.detail) ten->CreateDetail();
    for (const auto& [c, r] : row.chosenBelow) fifty->FindSheet5(c, r)->Selected = true;
  }
  fifty->Compact();
  int left = 0;
  for (int c = 0; c < 10; c += 2)
    for (int r = 0; r < 10; r += 2) left += fifty->FindSheet10(c, r) != nullptr;
  EXPECT_EQ(left, 5);
  for (const auto& row : rows) {
    TSMO_10* ten = fifty->FindSheet10(row.at.first, row.at.second);
    ASSERT_EQ(ten != nullptr, row.kept) << row.name;
    if (!ten) continue;
    std::vector<Sheet> below;
    for (int c = row.at.first; c < row.at.first + 2; ++c)
      for (int r = row.at.second; r < row.at.second + 2; ++r)
        if (fifty->FindSheet5(c, r)) below.emplace_back(c, r);
    EXPECT_EQ(below, row.chosenBelow) << row.name;
  }
}

// The names of the map sheets under a sheet, depth first.
std::vector<std::string> SheetNamesUnder(TEntity& sheet) {
  std::vector<std::string> names;
  std::vector<TEntity*> pending{&sheet};
  while (!pending.empty()) {
    TEntity* entity = pending.back();
    pending.pop_back();
    for (TElement* child : entity->Children()) {
      if (DynamicCast<TMapSpace>(child)) names.push_back(child->GetName());
      if (auto* sub = DynamicCast<TEntity>(child)) pending.push_back(sub);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(GuideTest, CompactionAtEveryLevelKeepsChosenSheetsUnderSheetsNotChosen) {
  // One 1:5 000 sheet of a 1:10 000 sheet with its 1:2 000 quarters: which
  // are chosen, and whether the 1:5 000 sheet stays (the chosen quarters
  // stay with it; every other sheet goes).
  const struct {
    const char* name;
    bool fiveChosen;
    std::array<bool, 4> twosChosen;
    bool fiveStays;
  } cases[] = {
      {"a sheet not chosen keeps its chosen quarter", false, {true, false, false, false}, true},
      {"a sheet not chosen with nothing chosen below goes", false, {false, false, false, false}, false},
      {"a chosen sheet stays without its quarters", true, {false, false, false, false}, true},
      {"a chosen sheet keeps its chosen quarters", true, {false, true, true, false}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TGuide> guide(new TGuide);
    TSMO_50* fifty = guide->CreateSheet50(26, 53, "Nymburk", "NY");
    fifty->CreateDetail10();
    TSMO_10* ten = fifty->FindSheet10(0, 0);
    ten->CreateDetail();
    TSMO_5* five = fifty->FindSheet5(0, 0);
    five->Selected = c.fiveChosen;
    five->CreateDetail();
    std::vector<std::string> staying;
    if (c.fiveStays) staying.push_back(five->GetName());
    for (int i = 0; i < 4; ++i) {
      auto* two = static_cast<TMapSpace*>(five->GetRow(i / 2)->GetCell(i % 2));
      two->Selected = c.twosChosen[static_cast<std::size_t>(i)];
      if (two->Selected) staying.push_back(two->GetName());
    }
    std::sort(staying.begin(), staying.end());
    ten->Compact();
    EXPECT_EQ(SheetNamesUnder(*ten), staying);
  }
}

}  // namespace
