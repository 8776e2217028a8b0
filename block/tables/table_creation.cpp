#include "block/tables/table_creation.h"

#include <array>
#include <exception>
#include <memory>
#include <set>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/values/line_scanner.h"
#include "platform/code_page.h"
#include "platform/dbase_table.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kMaxFields = 255;

void ShowError(const std::string& text) { platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK); }

// Collects the fields of a template or source table, line by line (or
// descriptor by descriptor), refusing what a dBASE table cannot hold.
class TFieldCollector {
 public:
  explicit TFieldCollector(std::string shownName) : shown_(std::move(shownName)) {}

  void BadLine(int line) { ShowError(shown_ + ": Spatny radek c." + std::to_string(line)); }
  // False (after the message) for a field that cannot be made.
  bool Add(int line, const std::string& name, char type, int length, int decimals) {
    const std::string upper = AsciiUpperCase(name);
    if (!platform::IsValidDbaseFieldName(name) || names_.count(upper)) {
      ShowError(shown_ + ": Spatne jmeno polozky, radek c." + std::to_string(line));
      return false;
    }
    const char kind = platform::UpperCp1250(type);
    if (!platform::IsValidDbaseField(platform::DbaseField{upper, kind, length, decimals})) {
      ShowError(shown_ + ": Spatny typ polozky, radek c." + std::to_string(line));
      return false;
    }
    names_.insert(upper);
    auto* field = new TFieldDefElement;
    field->SetName(upper);
    field->FieldType = kind;
    field->Length = static_cast<std::uint16_t>(kind == 'D' ? 8 : kind == 'L' ? 1 : length);
    field->Decimals = static_cast<std::uint16_t>(kind == 'N' ? decimals : 0);
    defs_.AddElement(field);
    return true;
  }
  bool Has(const std::string& name) const { return names_.count(name) != 0; }
  const TEntity& Defs() const { return defs_; }
  int Count() const { return static_cast<int>(defs_.Children().size()); }

 private:
  std::string shown_;
  std::set<std::string> names_;
  TEntity defs_;
};

std::uint16_t Word16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

std::string TFieldDefElement::SQLType() const {
  switch (FieldType) {
    case 'C':
      return "char(" + std::to_string(Length) + ")";
    case 'D':
      return "date";
    case 'L':
      return "boolean";
    case 'N':
      return "decimal(" + std::to_string(Length) + "," + std::to_string(Decimals) + ")";
    default:
      return std::string();
  }
}

std::string CreateTableStatement(const std::string& TableName, const TEntity& FieldDefs) {
  std::string statement = "create table \"" + TableName + "\" (";
  std::vector<const TFieldDefElement*> fields;
  for (const TElement* child : FieldDefs.Children())
    if (const auto* field = DynamicCast<TFieldDefElement>(child)) fields.push_back(field);
  for (std::size_t i = 0; i < fields.size(); ++i)
    statement += "\r\n" + fields[i]->GetName() + " " + fields[i]->SQLType() + (i + 1 < fields.size() ? "," : ")");
  return statement;
}

bool CreateTableBySQL(const std::string& TableName, const TEntity& FieldDefs) {
  // An old table that cannot be deleted makes the statement fail: it is
  // never taken for the new one.
  platform::DeleteFile(TableName);
  try {
    platform::ExecuteCreateTable(CreateTableStatement(TableName, FieldDefs));
  } catch (const platform::EDatabaseError& error) {
    ShowError("Nemohu vytvořit tabulku " + TableName + "\r\nChybové hlášení: \r\n" + error.what());
    return false;
  }
  return true;
}

void CreateFromTemplate(const std::string& TemplateFile, const std::string& TableName, bool& Done) {
  Done = false;
  try {
    const std::vector<std::string> lines = platform::ReadTextLines(TemplateFile);
    TFieldCollector fields(platform::ExtractFileName(TemplateFile));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const int number = static_cast<int>(i) + 1;
      if (line.empty() || line.front() == '(' || line.front() == ';' || line.front() == '{') continue;
      TCtiRadekClass scanner(line);
      scanner.SkipBlanks();
      std::string name;
      scanner.ReadUntil(' ', name);
      if (name.empty()) {
        fields.BadLine(number);
        continue;
      }
      scanner.SkipBlanks();
      const char type = scanner.ReadChar();
      const std::int32_t length = scanner.ReadInteger();
      const std::int32_t decimals = scanner.ReadInteger();
      fields.Add(number, name, type, length, decimals);
    }
    if (fields.Count() == 0) return;
    if (!fields.Has("CISLO")) fields.Add(static_cast<int>(lines.size()) + 1, "CISLO", 'N', 6, 0);
    if (fields.Count() > 1) Done = CreateTableBySQL(TableName, fields.Defs());
  } catch (const std::exception&) {
    ShowError("Problém s vytvořením DBF dle " + TemplateFile);
    Done = false;
  }
}

void CreateFromDBF(const std::string& SourceTable, const std::string& TableName, bool& Done) {
  Done = false;
  try {
    // The structure is read before anything is deleted, and a table is never
    // made from itself.
    if (platform::SameFile(SourceTable, TableName)) throw std::runtime_error("same table");
    platform::TFileStream source(SourceTable, platform::TFileStream::Mode::OpenRead);
    std::array<std::uint8_t, kHeaderSize> head{};
    if (source.Read(head.data(), head.size()) != head.size()) throw std::runtime_error("short header");
    const std::size_t headerLength = Word16(head.data() + 8);
    if (headerLength < kHeaderSize || headerLength > source.Size()) throw std::runtime_error("bad header length");
    std::vector<std::uint8_t> descriptors(headerLength - kHeaderSize);
    if (source.Read(descriptors.data(), descriptors.size()) != descriptors.size())
      throw std::runtime_error("short header");
    TFieldCollector fields(platform::ExtractFileName(SourceTable));
    const std::size_t count = std::min(headerLength / kDescriptorSize - 1, kMaxFields);
    for (std::size_t i = 0; i < count && (i + 1) * kDescriptorSize <= descriptors.size(); ++i) {
      const std::uint8_t* d = descriptors.data() + i * kDescriptorSize;
      if (d[0] == 0x0D) break;
      std::string name(reinterpret_cast<const char*>(d), 11);
      name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
      fields.Add(static_cast<int>(i) + 1, platform::Cp1250ToUtf8(name), static_cast<char>(d[11]), d[16], d[17]);
    }
    if (fields.Count() == 0) return;
    platform::DeleteFile(TableName);
    if (fields.Count() > 1) Done = CreateTableBySQL(TableName, fields.Defs());
  } catch (const std::exception&) {
    ShowError("Problém s vytvořením DBF dle " + SourceTable);
    Done = false;
  }
}

TClass TFieldDefElement::StaticClass() {
  using E = TFieldDefElement;
  static const TClassInfo info = DescribeClass<E>("TFieldDefElement", TNameElement::StaticClass(), "CreaDBF",
                                                  {NotStored(ReadProp("SQLType", &E::SQLType))});
  return &info;
}
