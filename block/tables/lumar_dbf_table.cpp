#include "block/tables/lumar_dbf_table.h"

#include <array>
#include <cstdio>
#include <vector>

#include "block/tables/table_creation.h"
#include "block/tables/transfer_script.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/values/typed_values.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr std::size_t kEntrySize = 4;

void Warn(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Warning, platform::mbOK); }

}  // namespace

std::string BlockTableName(const std::string& BlockDir, char Letter, std::int16_t Druh) {
  char kind[16];
  std::snprintf(kind, sizeof kind, "%4.4d", Druh);
  return platform::IncludeTrailingPathDelimiter(BlockDir) + Letter + kind + ".DBF";
}

TLumarDBFTable::TLumarDBFTable() = default;
TLumarDBFTable::~TLumarDBFTable() = default;

void TLumarDBFTable::SetCislo(std::int32_t Cislo) {
  cislo_ = Cislo;
  FindCislo(Cislo);
}

void TLumarDBFTable::SetTransferScript(const std::string& FileName) {
  if (transfer_ && transfer_->FileName() == FileName) return;
  if (!transfer_ && FileName == missingTransfer_) return;
  transfer_.reset();
  missingTransfer_.clear();
  if (FileName.empty() || !platform::FileExists(FileName)) {
    missingTransfer_ = FileName;
    return;
  }
  transfer_ = std::make_unique<TMovedItemContainer>();
  transfer_->SetFileName(FileName);
}

bool TLumarDBFTable::CreateTable(const std::string& TableName) {
  if (CreateFileName.empty() || !platform::FileExists(CreateFileName)) return false;
  if (platform::SameFile(table_.TableName(), TableName) || table_.TableName() == TableName) {
    CloseTable();
    DropIndex();
  }
  bool done = false;
  if (AsciiUpperCase(platform::ExtractFileExt(CreateFileName)) == ".DBF") CreateFromDBF(CreateFileName, TableName, done);
  else CreateFromTemplate(CreateFileName, TableName, done);
  return done;
}

void TLumarDBFTable::SetName(const std::string& TableName) {
  table_.Close();
  if (table_.TableName() != TableName) {
    DropIndex();
    indexRecords_ = -1;
  }
  table_.SetTableName(TableName);
}

void TLumarDBFTable::ReportOnce(const std::string& text) {
  if (reported_.insert(table_.TableName()).second) PostTextMessage(nullptr, msgLogText, text, nullptr);
}

void TLumarDBFTable::ReportUnreadable(const std::string& TableName) {
  if (unreadable_.insert(TableName).second)
    PostTextMessage(nullptr, msgLogText, "Tabulku " + TableName + " nelze číst", nullptr);
}

void TLumarDBFTable::OpenReported() {
  table_.Open();
  if (const int held = table_.RecordCount(); table_.HeaderRecordCount() > held)
    ReportOnce("Tabulka " + table_.TableName() + " uvádí " + std::to_string(table_.HeaderRecordCount()) +
               " záznamů, obsahuje jen " + std::to_string(held));
}

bool TLumarDBFTable::OpenTable(const std::string& TableName) {
  if (table_.TableName() == TableName && table_.Active()) return true;
  if (!platform::FileExists(TableName)) return false;
  SetName(TableName);
  table_.SetReadOnly(true);
  OpenReported();
  return true;
}

bool TLumarDBFTable::OpenForUpdate(const std::string& TableName) {
  // The table open for update is taken without asking the disk: an export
  // appends to it once per object.
  if (table_.TableName() == TableName && table_.Active() && !table_.ReadOnly()) return true;
  if (!platform::FileExists(TableName)) return false;
  SetName(TableName);
  table_.SetReadOnly(false);
  OpenReported();
  return true;
}

void TLumarDBFTable::CloseTable() {
  table_.Close();
  table_.SetReadOnly(true);
  missingTransfer_.clear();
}

void TLumarDBFTable::Flush() {
  table_.Flush();
  missingTransfer_.clear();
}

bool TLumarDBFTable::Locate(const std::string& TableName, std::int32_t Cislo) {
  return OpenTable(TableName) && FindCislo(Cislo);
}

bool TLumarDBFTable::FindRecord(const std::string& BlockDir, char TypeLetter, std::int16_t Druh, std::int32_t Cislo) {
  return Locate(BlockTableName(BlockDir, TypeLetter, Druh), Cislo);
}

std::string TLumarDBFTable::IndexFileName() const { return platform::ChangeFileExt(table_.TableName(), ".IND"); }

void TLumarDBFTable::DropIndex() { index_.reset(); }

bool TLumarDBFTable::BuildIndex() {
  DropIndex();
  const std::string tableName = table_.TableName();
  platform::DeleteFile(IndexFileName());
  std::vector<std::int32_t> entries;
  std::int32_t cislo = 0;
  try {
    table_.Open();
    const int records = table_.RecordCount();
    // A number held by several records is the first one's, as the search
    // without an index finds it; the others are named.
    std::vector<std::string> duplicates;
    for (table_.First(); !table_.Eof(); table_.Next()) {
      cislo = ReadCislo();
      if (cislo < 0 || cislo > MaxIndexedCislo) {
        // Such a record cannot be found through the index; the others can.
        Warn("Chyba práce s DBF " + tableName + " při čtení záznamu pro CISLO = " + std::to_string(cislo));
        continue;
      }
      if (entries.size() <= static_cast<std::size_t>(cislo)) entries.resize(static_cast<std::size_t>(cislo) + 1, -1);
      std::int32_t& entry = entries[static_cast<std::size_t>(cislo)];
      if (entry < 0)
        entry = table_.RecNo();
      else
        duplicates.push_back("Tabulka " + tableName + ": záznam " + std::to_string(table_.RecNo()) + " má CISLO " +
                             std::to_string(cislo) + " jako záznam " + std::to_string(entry) + ", platí první");
    }
    for (const std::string& line : duplicates) PostTextMessage(nullptr, msgLogText, line, nullptr);
    table_.Close();
    std::string bytes(entries.size() * kEntrySize, '\0');
    for (std::size_t i = 0; i < entries.size(); ++i)
      for (std::size_t b = 0; b < kEntrySize; ++b)
        bytes[i * kEntrySize + b] = static_cast<char>(static_cast<std::uint32_t>(entries[i]) >> (8 * b));
    platform::WriteWholeFile(IndexFileName(), bytes);
    indexRecords_ = records;
  } catch (const platform::EDatabaseError&) {
    Warn("Chyba práce s DBF " + tableName + " při čtení záznamu pro CISLO = " + std::to_string(cislo));
    table_.Close();
    platform::DeleteFile(IndexFileName());
    return false;
  } catch (const platform::EStreamError&) {
    table_.Close();
    return false;
  }
  return true;
}

bool TLumarDBFTable::EnsureIndex() {
  if (index_) return true;
  const std::string name = IndexFileName();
  if (!platform::FileExists(name) && !BuildIndex()) {
    Warn("Index " + name + " je nepřístupný");
    return false;
  }
  try {
    index_ = std::make_unique<platform::TFileStream>(name, platform::TFileStream::Mode::OpenRead);
  } catch (const platform::EStreamError&) {
    Warn("Index " + name + " nelze vytvořit");
    return false;
  }
  return true;
}

std::int32_t TLumarDBFTable::IndexEntry(std::int32_t Cislo) {
  if (!index_ || Cislo < 0) return 0;
  const std::uint64_t at = static_cast<std::uint64_t>(Cislo) * kEntrySize;
  if (at + kEntrySize > index_->Size()) return 0;
  std::array<std::uint8_t, kEntrySize> bytes{};
  index_->Seek(at);
  if (index_->Read(bytes.data(), bytes.size()) != bytes.size()) return 0;
  std::uint32_t bits = 0;
  for (std::size_t b = 0; b < kEntrySize; ++b) bits |= static_cast<std::uint32_t>(bytes[b]) << (8 * b);
  const auto entry = static_cast<std::int32_t>(bits);
  return entry >= 1 && entry <= table_.RecordCount() ? entry : 0;
}

bool TLumarDBFTable::FindCislo(std::int32_t Cislo) {
  if (!platform::FileExists(table_.TableName())) return false;
  for (bool rebuilt = false;; rebuilt = true) {
    if (!EnsureIndex()) return SearchWithoutIndex(Cislo);
    table_.Open();
    const std::int32_t recNo = IndexEntry(Cislo);
    if (recNo > 0) {
      table_.MoveTo(recNo);
      if (ReadCislo() == Cislo) return true;
    }
    // An entry that leads to a record of another number proves the index
    // stale (another program renumbered the records); a missing entry does
    // so only when the table has changed since this object built the index.
    const bool stale = recNo > 0 || indexRecords_ != table_.RecordCount();
    if (rebuilt || !stale) return false;
    // An index that cannot be replaced (a folder the user cannot write) is
    // left alone and the records are searched one by one.
    if (!BuildIndex()) return SearchWithoutIndex(Cislo);
  }
}

bool TLumarDBFTable::SearchWithoutIndex(std::int32_t Cislo) {
  table_.Open();
  for (table_.First(); !table_.Eof(); table_.Next())
    if (ReadCislo() == Cislo) return true;
  return false;
}

bool TLumarDBFTable::HasField(const std::string& Name) const { return table_.Active() && table_.FindField(Name) >= 0; }

bool TLumarDBFTable::GetFieldString(const std::string& Name, std::string& Value) const {
  if (!HasField(Name)) return false;
  Value = table_.GetFieldText(table_.FindField(Name));
  return true;
}

bool TLumarDBFTable::SetFieldString(const std::string& Name, const std::string& Value) {
  if (!HasField(Name)) return false;
  table_.SetFieldText(table_.FindField(Name), Value);
  return true;
}

std::int32_t TLumarDBFTable::ReadCislo() const {
  std::string text;
  if (!GetFieldString("CISLO", text)) return 0;
  int value = 0;
  return TryTextToInt(TrimBlanks(text), value) ? value : 0;
}

void TLumarDBFTable::Transfer(const TLumarDBFTable& Source) {
  auto copy = [&](const std::string& from, const std::string& to) {
    std::string value;
    if (!HasField(to) || !Source.GetFieldString(from, value)) return;
    try {
      SetFieldString(to, value);
    } catch (const platform::EDatabaseError&) {
      // A value the field cannot hold is left out; the others go on.
    }
  };
  if (transfer_) {
    for (const TElement* child : transfer_->Children())
      if (const auto* pair = DynamicCast<TSourTarNames>(child); pair && !pair->IsComment() && !pair->IsProperty())
        copy(pair->Source, pair->Target);
    return;
  }
  const platform::DbaseTable& source = Source.Table();
  for (int i = 0; i < source.FieldCount(); ++i)
    if (AsciiUpperCase(source.Field(i).Name) != "CISLO") copy(source.Field(i).Name, source.Field(i).Name);
}

void TLumarDBFTable::ApplyElementProps(const TElement* Element) {
  if (!transfer_ || !Element) return;
  for (const TElement* child : transfer_->Children())
    if (const auto* pair = DynamicCast<TSourTarNames>(child); pair && pair->IsProperty() && HasField(pair->Target))
      SetFieldString(pair->Target, Element->GetPropertyText(pair->PropertyName()));
}

void TLumarDBFTable::ApplyDynamicProps(const TElement* /*Element*/, const TElement* DynamicProps) {
  const auto* values = DynamicCast<TEntity>(DynamicProps);
  if (!values) return;
  for (const TElement* child : values->Children())
    if (const auto* value = DynamicCast<TTypeElement>(child); value && HasField(child->GetName()))
      SetFieldString(child->GetName(), value->GetAsString());
}

TClass TLumarDBFTable::StaticClass() {
  using E = TLumarDBFTable;
  static const TClassInfo info = DescribeClass<E>(
      "TLumarDBFTable", TPersistent::StaticClass(), "C_LMDBF",
      {WriteProp("Cislo", &E::SetCislo), FieldProp("CreateFileName", &E::CreateFileName),
       WriteProp("TransferScript", &E::SetTransferScript), NotStored(ReadProp("ShortTableName", &E::ShortTableName))});
  return &info;
}
