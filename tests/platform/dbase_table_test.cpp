#include "platform/dbase_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files.h"
#include "platform/streams.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_folder.h"

namespace {

using platform::DbaseField;
using platform::DbaseTable;
using platform::EDatabaseError;

class DbaseTableTest : public TempFolderTest {
 protected:
  std::string Create(const std::string& name, const std::string& fields) {
    const std::string file = File(name);
    platform::ExecuteCreateTable("create table \"" + file + "\" (\n" + fields + ")");
    return file;
  }
  // The table of the file, opened.
  static std::unique_ptr<DbaseTable> Open(const std::string& file, bool writable = false) {
    auto table = std::make_unique<DbaseTable>();
    table->SetTableName(file);
    table->SetReadOnly(!writable);
    table->Open();
    return table;
  }
  // A little-endian 16-bit number of the file's header.
  static std::size_t Word(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) | std::size_t{static_cast<std::uint8_t>(bytes[at + 1])} << 8;
  }
};

TEST_F(DbaseTableTest, CreatesTheFieldsWithTheWindows1250CodePageAndStoresValuesAsDBaseTextsOrRefusesThem) {
  struct Case {
    const char* field;
    const char* written;
    const char* stored;  // the field's bytes in the file (Windows-1250)
    const char* read;
    bool refused = false;  // the field cannot hold the value: it stays empty
  };
  const Case cases[] = {
      {"NAZEV", "Žluťoučký kůň", "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2   ", "Žluťoučký kůň"},
      {"NAZEV", "  odsazeno ", "  odsazeno         ", "  odsazeno"},
      {"NAZEV", "příliš dlouhý text nad délku", "p\xF8\xEDli\x9A dlouh\xFD te", "příliš dlouhý te"},
      {"PLOCHA", "12.345", "     12.35", "12.35"},
      {"PLOCHA", "12,5", "     12.50", "12.50"},
      {"PLOCHA", "-0.004", "      0.00", "0.00"},
      {"PLOCHA", "-2.675", "     -2.68", "-2.68"},
      {"PLOCHA", "999999.995", "1000000.00", "1000000.00"},
      {"PLOCHA", "1e3", "   1000.00", "1000.00"},
      {"PLOCHA", "-1e-5", "      0.00", "0.00"},
      {"PLOCHA", "", "          ", ""},
      {"CISLO", "41.5", "    42", "42"},
      {"CISLO", "-7", "    -7", "-7"},
      {"DATUM", "20261207", "20261207", "20261207"},
      {"DATUM", "2024-02-29", "20240229", "20240229"},
      {"DATUM", "7.12.2026", "20261207", "20261207"},
      {"DATUM", "", "        ", ""},
      {"PLATNY", "True", "T", "True"},
      {"PLATNY", "n", "F", "False"},
      {"PLATNY", "", " ", ""},
      {"PLOCHA", "abc", "          ", "", true},
      {"PLOCHA", "1.2.3", "          ", "", true},
      {"PLOCHA", "12345678.9", "          ", "", true},
      {"CISLO", "1234567", "      ", "", true},
      {"DATUM", "20230229", "        ", "", true},
      {"DATUM", "2023-13-01", "        ", "", true},
      {"DATUM", "zítra", "        ", "", true},
      {"PLATNY", "možná", " ", "", true},
  };
  const std::string file =
      Create("T0001.DBF", "nazev char(16),\nDATUM date,\nPLATNY boolean,\nPLOCHA decimal(10,2),\nCISLO decimal(6,0)");
  EXPECT_TRUE(platform::FileExists(file));  // the name as given, not a lower-case extension
  {
    const auto table = Open(file, true);
    EXPECT_EQ(std::tuple(table->RecordCount(), table->Eof(), table->RecNo(), table->ShortName()),
              std::tuple(0, true, 0, "T0001"));
    for (const Case& c : cases) {
      table->Append();
      if (c.refused) {
        EXPECT_THROW(table->SetFieldText(table->FindField(c.field), c.written), EDatabaseError) << c.written;
      } else {
        table->SetFieldText(table->FindField(c.field), c.written);
      }
      table->Post();
    }
  }
  const std::string bytes = FileBytes(file);
  ASSERT_GE(bytes.size(), 32u + 5 * 32 + 1);
  const std::size_t header = Word(bytes, 8), length = Word(bytes, 10);
  // dBASE III without memo, header and record lengths, the Windows-1250 mark, the ends of the fields and the file
  EXPECT_EQ(std::tuple(bytes[0], header, length, bytes[29], bytes[32 + 5 * 32], bytes.size(), bytes.back()),
            std::tuple('\x03', 32u + 5 * 32 + 1, 1u + 16 + 8 + 1 + 10 + 6, '\xC8', '\x0D',
                       header + length * std::size(cases) + 1, '\x1A'));
  const auto table = Open(file);
  std::vector<DbaseField> fields;
  for (int i = 0; i < table->FieldCount(); ++i) fields.push_back(table->Field(i));
  EXPECT_EQ(fields, (std::vector<DbaseField>{{"NAZEV", 'C', 16, 0}, {"DATUM", 'D', 8, 0}, {"PLATNY", 'L', 1, 0},
                                             {"PLOCHA", 'N', 10, 2}, {"CISLO", 'N', 6, 0}}));
  ASSERT_EQ(table->RecordCount(), static_cast<int>(std::size(cases)));
  for (std::size_t record = 0; record < std::size(cases); ++record) {
    const Case& c = cases[record];
    const int field = table->FindField(c.field);
    std::size_t offset = header + length * record + 1;  // after the deletion mark
    for (int i = 0; i < field; ++i) offset += static_cast<std::size_t>(table->Field(i).Length);
    EXPECT_EQ(bytes.substr(offset, std::string(c.stored).size()), c.stored) << c.field << " " << c.written;
    table->MoveTo(static_cast<int>(record) + 1);
    EXPECT_EQ(table->GetFieldText(field), c.read) << c.field << " " << c.written;
  }
}

TEST_F(DbaseTableTest, FieldsAreFoundWithoutRegardToCaseAndThroughTheTableName) {
  const auto table = Open(Create("P0007.DBF", "PLOCHA decimal(10,2), CISLO decimal(6,0)"));
  const std::pair<const char*, int> cases[] = {{"CISLO", 1},       {"cislo", 1}, {"P0007.Plocha", 0},
                                               {"p0007.CISLO", 1}, {"L0007.CISLO", -1}, {"DRUH", -1},
                                               {"", -1},           {"P0007.", -1}};
  for (const auto& [name, index] : cases) EXPECT_EQ(table->FindField(name), index) << name;
}

TEST_F(DbaseTableTest, WalksLiveRecordsAndMovesToPhysicalNumbers) {
  const std::string file = Create("B0001.DBF", "CISLO decimal(6,0)");
  {
    const auto table = Open(file, true);
    for (const char* n : {"10", "20", "30", "40"}) {
      table->Append();
      table->SetFieldText(0, n);
      table->Post();
    }
  }
  std::string bytes = FileBytes(file);  // record 3 marked deleted, as another program would
  bytes[Word(bytes, 8) + 2 * Word(bytes, 10)] = '*';
  platform::TFileStream(file, platform::TFileStream::Mode::Create).Write(bytes.data(), bytes.size());
  const auto table = Open(file);
  std::vector<std::string> walked;  // value@record number
  for (table->First(); !table->Eof(); table->Next())
    walked.push_back(table->GetFieldText(0) + "@" + std::to_string(table->RecNo()));
  EXPECT_EQ(walked, (std::vector<std::string>{"10@1", "20@2", "40@4"}));
  table->MoveTo(3);
  EXPECT_EQ(std::pair(table->RecordCount(), table->GetFieldText(0)), std::pair(4, std::string("30")));
  EXPECT_THROW(table->MoveTo(0), EDatabaseError);
  EXPECT_THROW(table->MoveTo(5), EDatabaseError);
}

// A table as another program writes it, made by hand from the dBASE layout:
// fields NAZEV C(20) and CISLO N(6,0), the records given (texts already in
// the table's code page), then padding of the record up to recordLength.
struct ForeignTable {
  std::uint8_t languageDriver = 0xC8;
  std::uint32_t claimedRecords = 0;  // 0: as many as there are
  std::uint16_t recordLength = 27;
  std::vector<std::pair<std::string, int>> records;
  char padding = '#';

  std::string Bytes() const {
    std::string header(32, '\0');
    header[0] = 0x03;
    const std::uint32_t count = claimedRecords ? claimedRecords : static_cast<std::uint32_t>(records.size());
    for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<char>(count >> (8 * i));
    const std::uint16_t headerLength = 32 + 2 * 32 + 1;
    header[8] = static_cast<char>(headerLength & 0xFF);
    header[9] = static_cast<char>(headerLength >> 8);
    header[10] = static_cast<char>(recordLength & 0xFF);
    header[11] = static_cast<char>(recordLength >> 8);
    header[29] = static_cast<char>(languageDriver);
    std::string bytes = header;
    for (const auto& [name, type, length] : {std::tuple{"NAZEV", 'C', 20}, {"CISLO", 'N', 6}}) {
      std::string descriptor(32, '\0');
      descriptor.replace(0, std::string(name).size(), name);
      descriptor[11] = type;
      descriptor[16] = static_cast<char>(length);
      bytes += descriptor;
    }
    bytes += '\x0D';
    for (const auto& [nazev, cislo] : records) {
      std::string record = " " + nazev + std::string(20 - nazev.size(), ' ');
      const std::string number = std::to_string(cislo);
      record += std::string(6 - number.size(), ' ') + number;
      record.resize(recordLength, padding);
      bytes += record;
    }
    return bytes + '\x1A';
  }
};

TEST_F(DbaseTableTest, ForeignTablesAreReadInTheirCodePageAndAsFarAsTheyAreWhole) {
  const std::string zdar852 = "\xA6\xD4\xA0r nad S\xA0zavou";
  const struct {
    const char* name;
    ForeignTable table;
    std::vector<std::string> rows;  // NAZEV/CISLO of the records walked
    std::string appended;           // written as the NAZEV of a new record, read back as its bytes
    std::string appendedBytes;
  } cases[] = {
      {"code page 852", {.languageDriver = 0x64, .records = {{zdar852, 1}}}, {"Žďár nad Sázavou/1"}, "Říčany",
       "\xFC\xA1\x9F" "any"},
      {"code page 1252", {.languageDriver = 0x57, .records = {{"M\xFCller", 2}}}, {"Müller/2"}, "Straße", "Stra\xDF" "e"},
      {"code page 1250", {.records = {{"\x8E\xEF\xE1r", 3}}}, {"Žďár/3"}, "Říčany", "\xD8\xED\xE8\x61ny"},
      {"no code page named", {.languageDriver = 0, .records = {{"\x8E\xEF\xE1r", 3}}}, {"Žďár/3"}, "ř", "\xF8"},
      {"a header that claims a thousand records", {.claimedRecords = 1000, .records = {{"a", 1}, {"b", 2}}},
       {"a/1", "b/2"}, "c", "c"},
      {"records longer than their fields", {.recordLength = 40, .records = {{"a", 1}}}, {"a/1"}, "c", "c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = File("F.DBF");
    const std::string bytes = c.table.Bytes();
    platform::TFileStream(file, platform::TFileStream::Mode::Create).Write(bytes.data(), bytes.size());
    const std::size_t headerLength = Word(bytes, 8), recordLength = c.table.recordLength;
    std::vector<std::string> rows;
    {
      const auto table = Open(file, true);
      for (table->First(); !table->Eof(); table->Next())
        rows.push_back(table->GetFieldText(0) + "/" + table->GetFieldText(1));
      EXPECT_EQ(table->RecordCount(), static_cast<int>(c.table.records.size()));
      // What the header claimed stays known to the table's users.
      EXPECT_EQ(table->HeaderRecordCount(),
                static_cast<int>(c.table.claimedRecords ? c.table.claimedRecords : c.table.records.size()));
      // An edit keeps the record's padding as read; a new record's is blank.
      table->MoveTo(1);
      table->Edit();
      table->SetFieldText(1, "9");
      table->Post();
      table->Append();
      table->SetFieldText(0, c.appended);
      table->Post();
    }
    EXPECT_EQ(rows, c.rows);
    const std::string after = FileBytes(file);
    const std::size_t records = c.table.records.size() + 1;
    ASSERT_EQ(after.size(), headerLength + records * recordLength + 1);
    EXPECT_EQ(after.substr(headerLength + 27, recordLength - 27), std::string(recordLength - 27, '#'));
    const std::string appended = after.substr(headerLength + (records - 1) * recordLength, recordLength);
    EXPECT_EQ(appended.substr(1, c.appendedBytes.size()), c.appendedBytes);
    EXPECT_EQ(appended.substr(27), std::string(recordLength - 27, ' '));
    EXPECT_EQ(Word(after, 4), records);
  }
}

// Posted records stay current as written; the header names them, and the
// end-of-file mark follows the last, from the next flush or close on, while
// the writer's own walk sees them at once.
TEST_F(DbaseTableTest, PostedRecordsReachTheHeaderAndTheEndMarkOnFlushOrClose) {
  const std::string file = Create("C0001.DBF", "CISLO decimal(6,0)");
  const std::size_t header = Word(FileBytes(file), 8);
  constexpr std::size_t kRecord = 7;  // the deletion mark and six digits
  const char* const stored[] = {"1", "3", "-3", "40", "5"};  // each posted value as read back
  const struct {
    const char* name;
    std::vector<const char*> appended;
    bool close;  // else flush and stay open
  } openings[] = {
      {"a new table, flushed", {"1", "2.5"}, false},
      {"more, closed", {"-3"}, true},
      {"reopened, flushed", {"40", "5"}, false},
      {"nothing appended, closed", {}, true},
  };
  DbaseTable table;
  table.SetTableName(file);
  table.SetReadOnly(false);
  int records = 0;
  for (const auto& opening : openings) {
    SCOPED_TRACE(opening.name);
    table.Open();
    const std::string before = FileBytes(file);
    for (const char* value : opening.appended) {
      table.Append();
      table.SetFieldText(0, value);
      table.Post();
      ++records;
      EXPECT_EQ(std::tuple(table.RecNo(), table.GetFieldText(0), table.RecordCount(), table.Eof()),
                std::tuple(records, std::string(stored[records - 1]), records, false))
          << value;
    }
    if (!opening.appended.empty()) {
      EXPECT_EQ(Word(FileBytes(file), 4), Word(before, 4)) << "the header before the flush";
    }
    std::vector<std::string> walked;
    for (table.First(); !table.Eof(); table.Next()) walked.push_back(table.GetFieldText(0));
    EXPECT_EQ(walked, std::vector<std::string>(std::begin(stored), std::begin(stored) + records));
    if (opening.close) table.Close();
    else table.Flush();
    const std::string bytes = FileBytes(file);
    EXPECT_EQ(Word(bytes, 4), static_cast<std::size_t>(records));
    ASSERT_EQ(bytes.size(), header + kRecord * static_cast<std::size_t>(records) + 1);
    EXPECT_EQ(bytes.back(), '\x1A');
    if (!opening.close) {
      const auto reader = Open(file);
      EXPECT_EQ(reader->RecordCount(), records) << "another reader after the flush";
      table.Close();
    }
  }
}

TEST_F(DbaseTableTest, ReadsAndEditsBetweenAppendsLandAtTheirOwnRecords) {
  // Steps: "+v" appends v, "=n:v" edits record n to v, "?n" moves to record
  // n and reads it (the value it must have follows "?n:"), "w" walks all.
  const struct {
    const char* name;
    std::vector<std::string> steps;
    std::vector<std::string> stored;  // the records at the end, in order
  } rows[] = {
      {"appends only", {"+1", "+2", "+3"}, {"1", "2", "3"}},
      {"an earlier record read between appends", {"+1", "+2", "?1:1", "+3", "?2:2", "+4"}, {"1", "2", "3", "4"}},
      {"an earlier record edited between appends", {"+1", "+2", "+3", "=1:7", "+4", "=3:8", "+5"},
       {"7", "2", "8", "4", "5"}},
      {"the last record edited, then appends", {"+1", "+2", "=2:9", "+3"}, {"1", "9", "3"}},
      {"walks between appends and edits", {"+1", "+2", "w", "+3", "=2:6", "w", "+4", "?4:4"}, {"1", "6", "3", "4"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = Create(std::string("I") + std::to_string(&row - rows) + ".DBF", "CISLO decimal(6,0)");
    const std::size_t header = Word(FileBytes(file), 8);
    {
      const auto table = Open(file, true);
      std::vector<std::string> values;  // what the table must hold so far
      for (const std::string& step : row.steps) {
        const std::size_t colon = step.find(':');
        if (step[0] == '+') {
          table->Append();
          table->SetFieldText(0, step.substr(1));
          table->Post();
          values.push_back(step.substr(1));
        } else if (step[0] == '=') {
          const int record = std::stoi(step.substr(1, colon - 1));
          table->MoveTo(record);
          table->Edit();
          table->SetFieldText(0, step.substr(colon + 1));
          table->Post();
          values[static_cast<std::size_t>(record - 1)] = step.substr(colon + 1);
        } else if (step[0] == '?') {
          table->MoveTo(std::stoi(step.substr(1, colon - 1)));
          EXPECT_EQ(table->GetFieldText(0), step.substr(colon + 1)) << step;
        } else {
          std::vector<std::string> walked;
          for (table->First(); !table->Eof(); table->Next()) walked.push_back(table->GetFieldText(0));
          EXPECT_EQ(walked, values) << step;
        }
      }
    }
    // The file as dBASE lays it out: the records after the header, then the
    // end mark.
    std::string records;
    for (const std::string& value : row.stored) records += " " + std::string(6 - value.size(), ' ') + value;
    const std::string bytes = FileBytes(file);
    EXPECT_EQ(bytes.substr(header), records + '\x1A');
    EXPECT_EQ(Word(bytes, 4), row.stored.size());
  }
}

TEST_F(DbaseTableTest, RecordsThatDoNotReachAFullDiskAreReportedByThePostOrTheFlush) {
  constexpr std::size_t kRecord = 7;  // the deletion mark and six digits
  const struct {
    const char* name;
    std::size_t records;  // whole records the disk takes
    std::size_t more;     // and bytes of the next
  } rows[] = {{"no record", 0, 0}, {"three records and part of a fourth", 3, 3}, {"all but the end mark", 10, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = Create(std::string("F") + std::to_string(&row - rows) + ".DBF", "CISLO decimal(6,0)");
    const std::size_t header = Word(FileBytes(file), 8);
    const auto table = Open(file, true);
    bool reported = false;
    {
      const FileSizeLimit full(header + kRecord * row.records + row.more);
      try {
        for (int i = 1; i <= 10; ++i) {
          table->Append();
          table->SetFieldText(0, std::to_string(i));
          table->Post();
        }
        table->Flush();
      } catch (const EDatabaseError&) {
        reported = true;
      }
    }
    EXPECT_TRUE(reported);
    EXPECT_LT(FileBytes(file).size(), header + kRecord * 10 + 1);
  }
}

// Records posted into the buffer reach the disk only when the table is
// closed: a close that cannot write them says so, and the table is closed
// all the same.  Its destructor cannot say so and does not throw.
TEST_F(DbaseTableTest, AClosingThatCannotWriteThePostedRecordsIsReported) {
  constexpr std::size_t kRecord = 7;  // the deletion mark and six digits
  const struct {
    const char* name;
    std::size_t takes;  // bytes the disk takes beyond the header
    bool reported;
  } rows[] = {{"room for all", 3 * kRecord + 1, false},
              {"room for one record", kRecord, true},
              {"no room", 0, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = Create(std::string("C") + std::to_string(&row - rows) + ".DBF", "CISLO decimal(6,0)");
    const std::size_t header = Word(FileBytes(file), 8);
    const auto table = Open(file, true);
    bool reported = false;
    {
      const FileSizeLimit full(header + row.takes);
      for (int i = 1; i <= 3; ++i) {
        table->Append();
        table->SetFieldText(0, std::to_string(i));
        table->Post();
      }
      try {
        table->Close();
      } catch (const EDatabaseError&) {
        reported = true;
      }
    }
    EXPECT_EQ(std::tuple(reported, table->Active()), std::tuple(row.reported, false));
  }
  const std::string file = Create("D.DBF", "CISLO decimal(6,0)");
  const FileSizeLimit full(Word(FileBytes(file), 8));
  const auto destroyed = Open(file, true);
  destroyed->Append();
  destroyed->SetFieldText(0, "4");
  destroyed->Post();
}

TEST_F(DbaseTableTest, RefusesWhatTheStateDoesNotAllow) {
  const std::string file = Create("X0001.DBF", "CISLO decimal(6,0)");
  DbaseTable table;
  EXPECT_THROW(table.RecordCount(), EDatabaseError);
  table.SetTableName(File("missing.DBF"));
  EXPECT_THROW(table.Open(), EDatabaseError);
  WriteCp1250File(File("text.DBF"), "not a table at all");
  table.SetTableName(File("text.DBF"));
  EXPECT_THROW(table.Open(), EDatabaseError);
  EXPECT_FALSE(table.Active());
  table.SetTableName(file);
  table.Open();
  EXPECT_THROW(table.Append(), EDatabaseError);  // read-only
  table.Close();
  table.SetReadOnly(false);
  table.Open();
  table.Append();
  table.SetFieldText(0, "5");
  table.Close();  // not posted: dropped
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0);
}

TEST(DbaseFieldRules, NamesAndSizes) {
  const std::pair<DbaseField, bool> cases[] = {  // the field, whether it is valid
      {{"CISLO", 'N', 6, 0}, true},        {{"A_1", 'C', 1, 0}, true},          {{"ABCDEFGHIJ", 'C', 254, 0}, true},
      {{"ABCDEFGHIJK", 'C', 10, 0}, false}, {{"", 'C', 10, 0}, false},          {{"MÍSTO", 'C', 10, 0}, false},
      {{"A B", 'C', 10, 0}, false},         {{"A-B", 'C', 10, 0}, false},       {{"NAZEV", 'C', 0, 0}, false},
      {{"NAZEV", 'C', 255, 0}, false},      {{"N", 'N', 20, 19}, true},         {{"N", 'N', 21, 0}, false},
      {{"N", 'N', 5, 5}, false},            {{"N", 'N', 0, 0}, false},          {{"D", 'D', 0, 0}, true},
      {{"L", 'L', 0, 0}, true},             {{"M", 'M', 10, 0}, false},         {{"F", 'F', 10, 2}, false},
  };
  for (const auto& [field, valid] : cases)
    EXPECT_EQ(platform::IsValidDbaseField(field), valid)
        << field.Name << " " << field.Type << "(" << field.Length << "," << field.Decimals << ")";
}

TEST_F(DbaseTableTest, AcceptsOnlyTheCreateTableStatementItKnows) {
  const std::string file = File("BAD.DBF");
  const std::string head = "create table \"" + file + "\" (";
  std::vector<std::string> statements = {"drop table \"" + file + "\"", "create table " + file + " (A char(1))"};
  for (const char* fields : {")", "A char(1)", "A char(1),)", "A char(1)) extra", "A varchar(1))", "A char)",
                             "A decimal(5))", "A char(0))", "A decimal(3,3))", "TOO_LONG_NAME char(1))",
                             "A char(1), a date)", "Č char(1))"})
    statements.push_back(head + fields);
  for (const std::string& statement : statements) {
    EXPECT_THROW(platform::ExecuteCreateTable(statement), EDatabaseError) << statement;
    EXPECT_FALSE(platform::FileExists(file)) << statement;
  }
  const std::string good = Create("GOOD.DBF", "A char(1)");
  EXPECT_THROW(platform::ExecuteCreateTable("create table \"" + good + "\" (B char(1))"), EDatabaseError);
  // Blanks between the parts are optional.
  const std::string tight = File("TIGHT.DBF");
  platform::ExecuteCreateTable("CREATE TABLE\"" + tight + "\"(A char(1),B decimal(5,2))");
  EXPECT_TRUE(platform::FileExists(tight));
}

}  // namespace
