#include "framework/database/database_elements.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/tools/recursor.h"
#include "platform/dbase_table.h"
#include "tests/framework/framework_fixture.h"
#include "tests/platform/temp_folder.h"

namespace {

// A table of four stands: KOD is the address, NAZEV the name.
class DatabaseElementsTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    platform::ExecuteCreateTable("create table \"" + folder.File("POROSTY.DBF") +
                                 "\" (KOD char(6), NAZEV char(20), PLOCHA decimal(8,2))");
    platform::DbaseTable table;
    table.SetTableName(folder.File("POROSTY.DBF"));
    table.SetReadOnly(false);
    table.Open();
    const std::vector<std::vector<std::string>> rows = {
        {"A1", "Buky", "1.50"}, {"b2", "Smrky", "2.25"}, {"C3", "Jedle", "0.75"}, {"D4", "Duby", "3.00"}};
    for (const auto& row : rows) {
      table.Append();
      for (int i = 0; i < 3; ++i) table.SetFieldText(i, row[static_cast<std::size_t>(i)]);
      table.Post();
    }
    table.Close();
    db.reset(CreateElement<TDatabaseClass>());
    db->SetDataSourcePath(folder.Path());
    db->SetDataSource("POROSTY");
    db->AdressField = "KOD";
    db->NameField = "NAZEV";
  }

  TempFolder folder;
  std::unique_ptr<TDatabaseClass> db;
};

TEST_F(DatabaseElementsTest, RecordsAreElementsNamedAndAddressedByTheirColumns) {
  EXPECT_EQ(std::tuple(db->GetCount(), db->PropertyCount(), db->RecordSize(), db->IsEmpty()),
            std::tuple(4, 3, 6 + 20 + 8, false));
  const char* names[] = {"Buky", "Smrky", "Jedle", "Duby"};
  const char* addresses[] = {"A1;", "b2;", "C3;", "D4;"};
  for (int i : {0, 1, 2, 3, 0, 3, 1}) {
    auto* record = static_cast<TVirtualElement*>(db->GetElement(i));
    EXPECT_EQ(record->GetName() + " " + record->ElementAdress + std::to_string(record->PropertyCount()),
              names[i] + std::string(" ") + addresses[i] + "3")
        << i;
  }
  EXPECT_TRUE(db->GetElement(4) == nullptr && db->GetElement(-1) == nullptr);
}

// Records are made as they are asked for, so a walk over the table must ask
// for them rather than read a list.
TEST_F(DatabaseElementsTest, AWalkOverTheTableMeetsEveryRecord) {
  struct TNames : TRecursor {
    std::vector<std::string> met;
    bool QProcessBefore(TElement* element) override {
      met.push_back(element->GetName());
      return false;
    }
  } walk;
  walk.SetInput(db.get());
  walk.DoIt();
  EXPECT_EQ(walk.met, (std::vector<std::string>{db->GetName(), "Buky", "Smrky", "Jedle", "Duby"}));
}

// Searches start at the current record and wrap round once.
TEST_F(DatabaseElementsTest, FindsRecordsByKeyBeforeAndAfterTheCurrentOne) {
  const std::tuple<int, const char*, const char*> cases[] = {{2, "D4", "Duby"},  {2, "a1", "Buky"}, {3, "B2", "Smrky"},
                                                             {0, "c3", "Jedle"}, {1, "b2", "Smrky"}, {2, "X9", ""}};
  for (const auto& [current, key, name] : cases) {
    db->GetElement(current);
    TElement* found = db->FindElementByName(key);
    EXPECT_EQ(found ? found->GetName() : "", name) << "key " << key << " from record " << current;
  }
  TElement* first = db->GetElement(0);
  TElement* third = db->GetElement(2);
  db->GetElement(3);
  EXPECT_EQ(db->IndexOf(first) + db->IndexOf(third), 0 + 2);
  TVirtualElement stranger;
  stranger.ElementAdress = "Z0;";
  EXPECT_EQ(db->IndexOf(&stranger), -1);
}

TEST_F(DatabaseElementsTest, EachAddressKeepsItsOwnElementAndHeldOnesOutliveTheTable) {
  TElement* second = db->GetElement(1);
  EXPECT_EQ(db->GetElement(1), second);
  TElement* third = db->GetElement(2);
  EXPECT_NE(third, second);
  // A holder of the second record keeps seeing the second record.
  std::unique_ptr<TOwnerEntity> holder(Named("holder"));
  holder->AddElement(second);
  db->GetElement(3);
  EXPECT_EQ(second->GetName() + " " + second->GetPropertyText("KOD"), "Smrky b2");
  EXPECT_EQ(db->FindElementByName("B2"), second);
  db.reset();  // held records outlive their table
  EXPECT_EQ(second->GetPropertyText("KOD") + "|" + second->GetName() + "|" + second->GetPropertyText("PropertyCount"),
            "|Smrky|0");
}

TEST_F(DatabaseElementsTest, KindsThatCannotBeOpenedHaveNoRecordsNoColumnsAndNoElements) {
  const std::pair<const char*, TDSType> rows[] = {
      {"query", TDSType::dstSQL}, {"defined query", TDSType::dstSQLdef},
      {"query by example", TDSType::dstQBE}, {"text table", TDSType::dstText}};
  for (const auto& [name, type] : rows) {
    db->SetDataSourceType(type);
    EXPECT_EQ(std::tuple(db->GetCount(), db->IsEmpty(), db->PropertyCount(), db->RecordSize(), db->GetElement(0),
                         db->AccumulateSize()),
              std::tuple(0, true, 0, 0, nullptr, 0))
        << name;
  }
}

// Parts of an address end in ";"; a text without one is its own first part,
// and a last part without one counts only when it is the first.
TEST(NthFieldTest, APartEndsInASemicolonAndATextWithoutOneIsItsFirstPart) {
  const struct {
    const char* text;
    int n;
    const char* field;
  } rows[] = {
      {"a;b;c;", 1, "a"}, {"a;b;c;", 2, "b"}, {"a;b;c;", 3, "c"}, {"a;b;c;", 4, ""}, {"a;b;c;", 0, ""},
      {"KOD", 1, "KOD"},  {"KOD", 2, ""},     {"a;b", 1, "a"},    {"a;b", 2, ""},    {";b;", 1, ""},
      {";b;", 2, "b"},    {"", 1, ""},
  };
  for (const auto& row : rows) {
    std::string field = "old";
    NthField(row.text, row.n, field);
    EXPECT_EQ(field, row.field) << "\"" << row.text << "\" part " << row.n;
  }
}

}  // namespace
