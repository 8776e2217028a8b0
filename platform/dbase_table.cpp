#include "platform/dbase_table.h"

#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <set>

#include "platform/code_page.h"
#include "platform/decimal_text.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace platform {
namespace {

// The library derives the names it opens from the one it is given (another
// extension, lower case); the hooks lead every table name back to the file
// the caller named.
thread_local const std::string* tFileName = nullptr;
thread_local std::string tLastError;
// What the last table closed on this thread could not write.
thread_local bool tCloseFailed = false;

bool EndsWithTableExtension(const char* name) {
  const std::string_view text(name);
  if (text.size() < 4) return false;
  const std::string_view ext = text.substr(text.size() - 4);
  return ext == ".dbf" || ext == ".DBF";
}

// The library seeks before every record it writes, also to where the file
// already stands, and a seek hands the file's buffer to the system: an
// export of many records made one write call per record.  The table's file
// keeps its own position and seeks only when it must move or when reading
// follows writing (or the other way round), which a C stream needs a seek
// between.
struct TableFile {
  std::FILE* file = nullptr;
  SAOffset position = 0;
  // The stream is not at position: the next read or write seeks there.
  bool moved = false;
  enum class Step { None, Read, Write } last = Step::None;
  // Buffered records did not reach the file (a full disk): the library
  // learns of it only for the record being written, so the table asks.
  bool failed = false;

  bool PrepareFor(Step step) {
    if (moved || (last != Step::None && last != step)) {
      if (std::fseek(file, static_cast<long>(position), SEEK_SET) != 0) {
        failed = failed || last == Step::Write;
        return false;
      }
      moved = false;
    }
    last = step;
    return true;
  }
  // A short transfer leaves the stream somewhere in between.
  void Advance(Step step, SAOffset size, SAOffset asked, SAOffset done) {
    position += size * done;
    if (done == asked) return;
    moved = true;
    failed = failed || step == Step::Write;
  }
  // What the buffer holds out to the file; false when any write failed.
  bool FlushAll() {
    failed = std::fflush(file) != 0 || failed;
    return !failed;
  }
};

TableFile& FileOf(SAFile handle) { return *reinterpret_cast<TableFile*>(handle); }

SAFile OpenHook(const char* name, const char* access) {
  const char* real = tFileName && EndsWithTableExtension(name) ? tFileName->c_str() : name;
  const std::string_view mode(access);
  const bool writes = mode.find_first_of("wa+") != std::string_view::npos;
  if (writes && IsWriteProtected(real)) return nullptr;
  std::FILE* file = std::fopen(real, access);
  if (!file) return nullptr;
  return reinterpret_cast<SAFile>(new TableFile{file});
}

// A read or a write of count items at the file's position.
SAOffset Transfer(TableFile::Step step, void* data, SAOffset size, SAOffset count, SAFile handle) {
  TableFile& f = FileOf(handle);
  if (!f.PrepareFor(step)) return 0;
  const SAOffset done = step == TableFile::Step::Read ? std::fread(data, size, count, f.file)
                                                       : std::fwrite(data, size, count, f.file);
  f.Advance(step, size, count, done);
  return done;
}

SAOffset ReadHook(void* data, SAOffset size, SAOffset count, SAFile handle) {
  return Transfer(TableFile::Step::Read, data, size, count, handle);
}

SAOffset WriteHook(void* data, SAOffset size, SAOffset count, SAFile handle) {
  return Transfer(TableFile::Step::Write, data, size, count, handle);
}

SAOffset SeekHook(SAFile handle, SAOffset offset, int whence) {
  TableFile& f = FileOf(handle);
  if (whence == SEEK_SET) {
    if (offset != f.position) {
      f.position = offset;
      f.moved = true;
    }
    return 0;
  }
  if (std::fseek(f.file, static_cast<long>(offset), whence) != 0) return static_cast<SAOffset>(-1);
  f.position = static_cast<SAOffset>(std::ftell(f.file));
  f.moved = false;
  f.last = TableFile::Step::None;
  return 0;
}

SAOffset TellHook(SAFile handle) { return FileOf(handle).position; }

int FlushHook(SAFile handle) { return FileOf(handle).FlushAll() ? 0 : EOF; }

// The library closes without asking how it went: the table asks afterwards.
int CloseHook(SAFile handle) {
  std::unique_ptr<TableFile> f(&FileOf(handle));
  const bool written = f->FlushAll();
  const bool closed = std::fclose(f->file) == 0;
  tCloseFailed = !written || !closed;
  return tCloseFailed ? EOF : 0;
}

void ErrorHook(const char* message) { tLastError = message; }

class HookedCall {
 public:
  explicit HookedCall(const std::string& fileName) {
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = OpenHook;
    hooks.FRead = ReadHook;
    hooks.FWrite = WriteHook;
    hooks.FSeek = SeekHook;
    hooks.FTell = TellHook;
    hooks.FFlush = FlushHook;
    hooks.FClose = CloseHook;
    hooks.Error = ErrorHook;
    tFileName = &fileName;
    tLastError.clear();
  }
  ~HookedCall() { tFileName = nullptr; }
  HookedCall(const HookedCall&) = delete;
  HookedCall& operator=(const HookedCall&) = delete;

  SAHooks hooks;
};

std::string ErrorText(const std::string& what) {
  return tLastError.empty() ? what : what + ": " + tLastError;
}

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool SameAsciiText(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

std::string_view TrimmedRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return TrimmedRight(text);
}

void StampToday(DBFHandle handle) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  DBFSetLastModifiedDate(handle, local.tm_year, local.tm_mon + 1, local.tm_mday);
}

// ---------------------------------------------------------------- values

bool IsPlainDecimal(std::string_view number) {
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) number.remove_prefix(1);
  return !number.empty() && number.find_first_not_of("0123456789.") == std::string_view::npos &&
         number.find('.') == number.rfind('.') && number != ".";
}

std::string NumberText(const DbaseField& field, const std::string& text) {
  std::string number(Trimmed(text));
  if (number.empty()) return std::string();
  std::replace(number.begin(), number.end(), ',', '.');
  const char* first = number.data();
  if (*first == '+') ++first;
  double value = 0;
  const auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
    throw EDatabaseError("'" + text + "' is not a valid number for field " + field.Name);
  std::string formatted;
  if (IsPlainDecimal(number)) {
    formatted = RoundDecimalText(number, field.Decimals);
  } else {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", field.Decimals, value);
    formatted = buffer;
    if (formatted.front() == '-' && formatted.find_first_not_of("-0.") == std::string::npos) formatted.erase(0, 1);
  }
  if (static_cast<int>(formatted.size()) > field.Length)
    throw EDatabaseError("Value " + text + " does not fit field " + field.Name);
  return formatted;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool ValidDate(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

// Reads the digits of text[from, to) into value; false when any is no digit.
bool Digits(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// YYYYMMDD, YYYY-MM-DD or D.M.YYYY.
std::string DateText(const DbaseField& field, const std::string& text) {
  const std::string_view date = Trimmed(text);
  if (date.empty()) return std::string();
  int year = 0, month = 0, day = 0;
  bool parsed = false;
  if (date.size() == 8 && date.find_first_not_of("0123456789") == std::string_view::npos) {
    parsed = Digits(date.substr(0, 4), year) && Digits(date.substr(4, 2), month) && Digits(date.substr(6, 2), day);
  } else if (date.size() == 10 && date[4] == '-' && date[7] == '-') {
    parsed = Digits(date.substr(0, 4), year) && Digits(date.substr(5, 2), month) && Digits(date.substr(8, 2), day);
  } else if (const std::size_t dot1 = date.find('.'), dot2 = date.rfind('.');
             dot1 != std::string_view::npos && dot2 != dot1) {
    parsed = Digits(date.substr(0, dot1), day) && Digits(date.substr(dot1 + 1, dot2 - dot1 - 1), month) &&
             Digits(date.substr(dot2 + 1), year);
  }
  if (!parsed || !ValidDate(year, month, day))
    throw EDatabaseError("'" + text + "' is not a valid date for field " + field.Name);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", year, month, day);
  return buffer;
}

std::string LogicalText(const DbaseField& field, const std::string& text) {
  const std::string value = AsciiUpper(Trimmed(text));
  if (value.empty()) return std::string();
  if (value == "T" || value == "TRUE" || value == "Y" || value == "1" || value == "A") return "T";
  if (value == "F" || value == "FALSE" || value == "N" || value == "0") return "F";
  throw EDatabaseError("'" + text + "' is not a valid logical value for field " + field.Name);
}

// The code page a table's header names: its language driver byte, or the
// number its code page file gives; Windows-1250 when it names none this
// layer knows.
int TableCodePage(DBFHandle handle) {
  const char* named = DBFGetCodePage(handle);
  std::string_view text = named ? named : "";
  if (text.starts_with("LDID/")) {
    int driver = 0;
    Digits(text.substr(5), driver);
    switch (driver) {
      case 0x01:
        return 437;
      case 0x03: case 0x57: case 0x58: case 0x59:
        return 1252;
      case 0x64:
        return 852;
      case 0x68:
        return 895;
      default:
        return 1250;
    }
  }
  while (!text.empty() && !std::isdigit(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  int number = 0;
  return Digits(TrimmedRight(text), number) ? number : 1250;
}

// The bytes the field stores, padded to its length, put at field: the
// padding goes straight into the record, as every value of an export passes
// here.
void StoreText(const DbaseField& field, const std::string& text, int codePage, char* into) {
  std::string stored;
  bool rightAligned = false;
  switch (field.Type) {
    case 'N':
      stored = NumberText(field, text);
      rightAligned = true;
      break;
    case 'D':
      stored = DateText(field, text);
      break;
    case 'L':
      stored = LogicalText(field, text);
      break;
    default:
      stored = Utf8ToCodePage(codePage, text);
      break;
  }
  const auto length = static_cast<std::size_t>(field.Length);
  const std::size_t size = std::min(stored.size(), length);
  const std::size_t padding = length - size;
  std::fill_n(into + (rightAligned ? 0 : size), padding, ' ');
  std::copy_n(stored.data(), size, into + (rightAligned ? padding : 0));
}

// ---------------------------------------------------------------- create table

class StatementScanner {
 public:
  explicit StatementScanner(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }
  std::string Word() {
    SkipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
      ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }
  bool Symbol(char symbol) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != symbol) return false;
    ++pos_;
    return true;
  }
  bool Quoted(std::string& value) {
    if (!Symbol('"')) return false;
    const std::size_t close = text_.find('"', pos_);
    if (close == std::string_view::npos) return false;
    value = std::string(text_.substr(pos_, close - pos_));
    pos_ = close + 1;
    return true;
  }
  bool Number(int& value) { return Digits(Word(), value); }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

[[noreturn]] void BadStatement(const std::string& why) { throw EDatabaseError("Invalid create table statement: " + why); }

DbaseField ParseField(StatementScanner& scanner) {
  DbaseField field;
  field.Name = AsciiUpper(scanner.Word());
  const std::string type = AsciiUpper(scanner.Word());
  if (type == "CHAR") {
    field.Type = 'C';
    if (!scanner.Symbol('(') || !scanner.Number(field.Length) || !scanner.Symbol(')')) BadStatement("char size");
  } else if (type == "DECIMAL") {
    field.Type = 'N';
    if (!scanner.Symbol('(') || !scanner.Number(field.Length) || !scanner.Symbol(',') ||
        !scanner.Number(field.Decimals) || !scanner.Symbol(')'))
      BadStatement("decimal size");
  } else if (type == "DATE") {
    field.Type = 'D';
    field.Length = 8;
  } else if (type == "BOOLEAN") {
    field.Type = 'L';
    field.Length = 1;
  } else {
    BadStatement("field type '" + type + "'");
  }
  if (!IsValidDbaseField(field)) throw EDatabaseError("Invalid field: " + field.Name);
  return field;
}

void CreateTableFile(const std::string& fileName, const std::vector<DbaseField>& fields) {
  if (FileExists(fileName)) throw EDatabaseError("Table already exists: " + fileName);
  HookedCall call(fileName);
  DBFHandle handle = DBFCreateLL(fileName.c_str(), "LDID/200", &call.hooks);
  if (!handle) throw EDatabaseError(ErrorText("Cannot create table " + fileName));
  bool added = true;
  for (const DbaseField& field : fields)
    added = added && DBFAddNativeFieldType(handle, field.Name.c_str(), field.Type, field.Length, field.Decimals) >= 0;
  StampToday(handle);
  DBFClose(handle);
  if (!added) {
    DeleteFile(fileName);
    throw EDatabaseError(ErrorText("Cannot create table " + fileName));
  }
}

}  // namespace

bool IsValidDbaseFieldName(std::string_view name) {
  if (name.empty() || name.size() > 10) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 && (std::isalnum(u) || c == '_');
  });
}

bool IsValidDbaseField(const DbaseField& field) {
  if (!IsValidDbaseFieldName(field.Name)) return false;
  switch (field.Type) {
    case 'C':
      return field.Length >= 1 && field.Length <= 254;
    case 'N':
      return field.Length >= 1 && field.Length <= 20 && field.Decimals >= 0 && field.Decimals < field.Length;
    case 'D':
    case 'L':
      return true;
    default:
      return false;
  }
}

void ExecuteCreateTable(const std::string& statement) {
  StatementScanner scanner(statement);
  if (AsciiUpper(scanner.Word()) != "CREATE" || AsciiUpper(scanner.Word()) != "TABLE") BadStatement("create table");
  std::string fileName;
  if (!scanner.Quoted(fileName) || fileName.empty()) BadStatement("table name");
  if (!scanner.Symbol('(')) BadStatement("(");
  std::vector<DbaseField> fields;
  std::set<std::string> names;
  do {
    fields.push_back(ParseField(scanner));
    if (!names.insert(fields.back().Name).second) throw EDatabaseError("Duplicate field name: " + fields.back().Name);
  } while (scanner.Symbol(','));
  if (!scanner.Symbol(')') || !scanner.AtEnd()) BadStatement(")");
  CreateTableFile(fileName, fields);
}

// ---------------------------------------------------------------- DbaseTable

struct DbaseTable::Impl {
  std::string tableName;
  bool readOnly = true;
  DBFHandle handle = nullptr;
  std::vector<DbaseField> fields;
  std::vector<std::size_t> offsets;
  std::size_t recordLength = 0;  // as the header gives it: the fields and any padding after them
  int codePage = 1250;
  State state = State::Inactive;
  int current = -1;  // record index from 0
  bool eof = true;
  std::string buffer;
  // Records were posted since the header last named their count.
  bool headerStale = false;
  int headerRecords = 0;  // as the header gave them at opening

  void RequireActive() const {
    if (!handle) throw EDatabaseError("Cannot perform this operation on a closed dataset");
  }
  void RequireInactive() const {
    if (handle) throw EDatabaseError("Cannot perform this operation on an open dataset");
  }
  void RequireWritable() const {
    RequireActive();
    if (readOnly) throw EDatabaseError("Cannot modify a read-only dataset");
  }
  void Load(int index) {
    const char* tuple = DBFReadTuple(handle, index);
    if (!tuple) throw EDatabaseError(ErrorText("Cannot read record " + std::to_string(index + 1)));
    buffer.assign(tuple, recordLength);
    current = index;
  }
  bool Deleted(int index) { return DBFIsRecordDeleted(handle, index) != 0; }
  // The first live record from index on; false when none.
  bool LoadFrom(int index) {
    const int count = DBFGetRecordCount(handle);
    while (index < count && Deleted(index)) ++index;
    if (index >= count) return false;
    Load(index);
    return true;
  }
  void DropChanges() {
    if (state == State::Edit || state == State::Insert) {
      state = State::Browse;
      if (current >= 0) Load(current);
      else buffer.clear();
    }
  }
};

DbaseTable::DbaseTable() : impl_(std::make_unique<Impl>()) {}

// A destructor has nobody to tell: callers that must hear of a failed
// write close the table themselves.
DbaseTable::~DbaseTable() {
  if (impl_->handle) DBFClose(impl_->handle);
}

const std::string& DbaseTable::TableName() const { return impl_->tableName; }

void DbaseTable::SetTableName(const std::string& fileName) {
  impl_->RequireInactive();
  impl_->tableName = fileName;
}

bool DbaseTable::ReadOnly() const { return impl_->readOnly; }

void DbaseTable::SetReadOnly(bool readOnly) {
  impl_->RequireInactive();
  impl_->readOnly = readOnly;
}

std::string DbaseTable::ShortName() const { return ChangeFileExt(ExtractFileName(impl_->tableName), ""); }

void DbaseTable::Open() {
  if (impl_->handle) return;
  Impl& t = *impl_;
  if (!FileExists(t.tableName)) throw EDatabaseError("Table does not exist: " + t.tableName);
  DBFHandle handle = nullptr;
  {
    HookedCall call(t.tableName);
    handle = DBFOpenLL(t.tableName.c_str(), t.readOnly ? "rb" : "rb+", &call.hooks);
  }
  if (!handle) throw EDatabaseError(ErrorText("Cannot open table " + t.tableName));
  t.handle = handle;
  t.fields.clear();
  t.offsets.clear();
  std::size_t offset = 1;  // after the deletion mark
  for (int i = 0; i < DBFGetFieldCount(handle); ++i) {
    char name[XBASE_FLDNAME_LEN_READ + 1] = {};
    int width = 0;
    int decimals = 0;
    DBFGetFieldInfo(handle, i, name, &width, &decimals);
    t.fields.push_back(DbaseField{name, DBFGetNativeFieldType(handle, i), width, decimals});
    t.offsets.push_back(offset);
    offset += static_cast<std::size_t>(width);
  }
  // (The library refuses a table whose fields do not fit its records.)
  t.recordLength = static_cast<std::size_t>(handle->nRecordLength);
  // A header that claims more records than the file holds is read as far as
  // the records are whole: appends then follow the last of them, and the
  // next write puts the true count into the header.
  const long long size = FileSize(t.tableName);
  const long long whole = size > handle->nHeaderLength ? (size - handle->nHeaderLength) / handle->nRecordLength : 0;
  t.headerRecords = handle->nRecords;
  if (handle->nRecords > whole) handle->nRecords = static_cast<int>(whole);
  t.codePage = TableCodePage(handle);
  if (!t.readOnly) StampToday(handle);
  t.state = State::Browse;
  t.current = -1;
  t.buffer.clear();
  t.eof = !t.LoadFrom(0);
}

void DbaseTable::Close() {
  Impl& t = *impl_;
  if (!t.handle) return;
  tLastError.clear();
  tCloseFailed = false;
  DBFClose(t.handle);
  const bool failed = tCloseFailed || !tLastError.empty();
  t.handle = nullptr;
  t.headerStale = false;
  t.state = State::Inactive;
  t.current = -1;
  t.eof = true;
  t.buffer.clear();
  if (failed) throw EDatabaseError(ErrorText("Cannot write the records of " + t.tableName));
}

bool DbaseTable::Active() const { return impl_->handle != nullptr; }

DbaseTable::State DbaseTable::GetState() const { return impl_->state; }

int DbaseTable::FieldCount() const { return static_cast<int>(impl_->fields.size()); }

const DbaseField& DbaseTable::Field(int index) const { return impl_->fields.at(static_cast<std::size_t>(index)); }

int DbaseTable::FindField(std::string_view name) const {
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
    if (!SameAsciiText(name.substr(0, dot), ShortName())) return -1;
    name.remove_prefix(dot + 1);
  }
  for (std::size_t i = 0; i < impl_->fields.size(); ++i)
    if (SameAsciiText(impl_->fields[i].Name, name)) return static_cast<int>(i);
  return -1;
}

std::string DbaseTable::GetFieldText(int index) const {
  const Impl& t = *impl_;
  const DbaseField& field = Field(index);
  if (t.buffer.size() != t.recordLength) return std::string();
  const std::string_view raw = std::string_view(t.buffer).substr(t.offsets[static_cast<std::size_t>(index)],
                                                                  static_cast<std::size_t>(field.Length));
  // Texts keep their leading blanks.
  const std::string_view stored = field.Type == 'C' ? TrimmedRight(raw) : Trimmed(raw);
  if (field.Type == 'L') {
    const char c = stored.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(stored[0])));
    if (c == 'T' || c == 'Y') return "True";
    if (c == 'F' || c == 'N') return "False";
    return std::string();
  }
  return CodePageToUtf8(t.codePage, stored);
}

void DbaseTable::SetFieldText(int index, const std::string& text) {
  Impl& t = *impl_;
  if (t.state != State::Edit && t.state != State::Insert) throw EDatabaseError("Dataset not in edit or insert mode");
  const DbaseField& field = Field(index);
  StoreText(field, text, t.codePage, t.buffer.data() + t.offsets[static_cast<std::size_t>(index)]);
}

int DbaseTable::HeaderRecordCount() const {
  impl_->RequireActive();
  return impl_->headerRecords;
}

int DbaseTable::RecordCount() const {
  impl_->RequireActive();
  return DBFGetRecordCount(impl_->handle);
}

int DbaseTable::RecNo() const { return impl_->current + 1; }

void DbaseTable::First() {
  Impl& t = *impl_;
  t.RequireActive();
  t.DropChanges();
  t.eof = !t.LoadFrom(0);
}

void DbaseTable::Next() {
  Impl& t = *impl_;
  t.RequireActive();
  t.DropChanges();
  if (!t.eof) t.eof = !t.LoadFrom(t.current + 1);
}

bool DbaseTable::Eof() const { return impl_->eof; }

void DbaseTable::MoveTo(int recNo) {
  Impl& t = *impl_;
  t.RequireActive();
  if (recNo < 1 || recNo > DBFGetRecordCount(t.handle))
    throw EDatabaseError("Record number " + std::to_string(recNo) + " out of range");
  t.DropChanges();
  t.Load(recNo - 1);
  t.eof = false;
}

void DbaseTable::Append() {
  Impl& t = *impl_;
  t.RequireWritable();
  t.DropChanges();
  t.buffer.assign(t.recordLength, ' ');
  t.state = State::Insert;
}

void DbaseTable::Edit() {
  Impl& t = *impl_;
  t.RequireWritable();
  if (t.state == State::Edit || t.state == State::Insert) return;
  if (t.current < 0) throw EDatabaseError("No current record to edit");
  t.state = State::Edit;
}

void DbaseTable::Post() {
  Impl& t = *impl_;
  if (t.state != State::Edit && t.state != State::Insert) throw EDatabaseError("Dataset not in edit or insert mode");
  const bool appending = t.state == State::Insert;
  const int index = appending ? DBFGetRecordCount(t.handle) : t.current;
  tLastError.clear();
  // An append writes out the record before it.  Without the end-of-file
  // mark after that record the new one follows where it ended, so appends
  // stream on without a seek (and a flush of the file buffer) each; the mark
  // follows the last record when that is written out by a flush, a close or
  // any other step.
  if (appending) DBFSetWriteEndOfFileChar(t.handle, 0);
  const bool written = DBFWriteTuple(t.handle, index, t.buffer.data()) != 0;
  DBFSetWriteEndOfFileChar(t.handle, 1);
  if (!written) throw EDatabaseError(ErrorText("Cannot write record " + std::to_string(index + 1)));
  t.headerStale = true;
  // The buffer holds what was written: it stays the current record as it is.
  t.state = State::Browse;
  t.current = index;
  t.eof = false;
}

void DbaseTable::Flush() {
  Impl& t = *impl_;
  if (!t.handle || !t.headerStale) return;
  tLastError.clear();
  DBFUpdateHeader(t.handle);
  t.headerStale = false;
  if (!tLastError.empty()) throw EDatabaseError(ErrorText("Cannot write the header of " + t.tableName));
  if (!FileOf(t.handle->fp).FlushAll()) throw EDatabaseError("Cannot write the records of " + t.tableName);
}

void DbaseTable::Cancel() { impl_->DropChanges(); }

}  // namespace platform
