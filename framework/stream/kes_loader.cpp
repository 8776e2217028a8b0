#include "framework/stream/kes_loader.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>
#include <unordered_set>

#include "framework/core/class_registry.h"
#include "framework/stream/kes_saver.h"
#include "platform/app_queue.h"
#include "platform/streams.h"
#include "platform/dialogs.h"

// Holds each element read until a parent takes it over, so that no property
// setter can free an element a later record still refers to; what nothing
// else holds when the load is over is freed with it.
class TLoadedElements : public TQuickEntity {
 public:
  using TEntity::AppendHeld;
  using TEntity::ReleaseHeld;
  using TEntity::HoldInSlot;
};

namespace {

constexpr std::uint64_t kProgressBytes = 200;
// The KES file is read through the reader's buffer, not into memory whole: a
// model of a million elements then needs no copy of its file beside it.  A
// multiple of the progress step, so that every read of the file can show one.
constexpr std::size_t kStreamBuffer = 64000;
static_assert(kStreamBuffer % kProgressBytes == 0);
constexpr std::size_t kComponentBuffer = 64000;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool IsStringKind(int kind) { return kind == tkString || kind == tkLString; }

bool KindsFit(int current, int stream) { return current == stream || (IsStringKind(current) && IsStringKind(stream)); }

// Kinds whose zero value the writer leaves out.
bool IsOmittedWhenZero(int kind) {
  switch (kind) {
    case tkInteger: case tkEnumeration: case tkSet: case tkFloat: case tkString: case tkLString: case tkClass:
      return true;
    default:
      return false;
  }
}

std::string ReadErrorText(const std::string& fileName, const std::exception& error) {
  return "Chyba čtení souboru " + fileName + ": " + error.what();
}

// Runs a load; whatever it raises leaves the reader as EBadStream (a value a
// setter refuses, a record an element cannot read), never as anything else.
template <class Load>
void RaisingBadStream(const std::string& fileName, Load load) {
  try {
    load();
  } catch (const EBadStream&) {
    throw;
  } catch (const EBadStreamName&) {
    throw;
  } catch (const std::exception& error) {
    throw EBadStream(ReadErrorText(fileName, error));
  }
}

// Out of line, so that the record readers that call it keep their fast paths small.
[[noreturn]] void ThrowBadRecord(const char* before, std::int64_t number, const char* after = "") {
  throw EBadStream(before + std::to_string(number) + after);
}

void SkipList(platform::TReader& reader) {
  if (reader.NextValue() != platform::TValueType::vaList) throw platform::EReadError("Invalid property value");
  reader.SkipValue();
}

}  // namespace

// ---------------------------------------------------------------- TKestuLoader

// The small steps of every record (numbering, the kind of a value, setting
// what a record left out, closing it) are inline: only this unit takes them.

TKestuLoader::TKestuLoader() = default;
TKestuLoader::~TKestuLoader() = default;

void TKestuLoader::GetParameterName(int, std::string& name) { name = "FileName"; }

void TKestuLoader::DoIt() {
  platform::WaitCursor hourglass;
  StartLoadProgress();
  try {
    CreateMaps();
    ReadHeader();
    AfterHeader();
    SetOutput(ReadBody());
    FreeElementMap();
  } catch (...) {
    // Nothing read survives a failed load.
    elementMap_.reset();
    ClearMaps();
    EndLoadProgress();
    throw;
  }
  EndLoadProgress();
}

void TKestuLoader::StartLoadProgress() {
  const std::int64_t size = std::min<std::int64_t>(GetSourceSize(), std::numeric_limits<int>::max());
  StartProgress("Načítání modelu ze souboru " + FileName, 0, static_cast<int>(size));
  platform::Application::Instance().ProcessMessages();
}

void TKestuLoader::EndLoadProgress() { EndProgress(); }

void TKestuLoader::ClearMaps() {
  std::vector<Loaded>().swap(loaded_);
  freeSlots_.clear();
  renumbered_.clear();
  openRecords_.clear();
  transferred_.clear();
  taken_.clear();
  values_.clear();
  textsUsed_ = 1;
  current_ = {};
}

void TKestuLoader::CreateMaps() {
  elementMap_ = std::make_unique<TLoadedElements>();
  ClearMaps();
  // No element record is shorter than eight bytes; what is reserved and not
  // used is never touched.
  loaded_.reserve(static_cast<std::size_t>(std::max<std::int64_t>(GetSourceSize(), 0) / 8));
  NewClassList();
}

void TKestuLoader::NewClassList() {
  SetOwnedElement(classes_, new TKestuClasses);
  classSlots_.clear();
  describedClass_ = -1;
}

void TKestuLoader::FreeElementMap() {
  // The result stays with what it holds and the inline elements it took;
  // whatever else no element took goes with the map.
  if (TElement* root = Output()) {
    if (const std::int64_t place = CreatedPlaceOf(root); place >= 0) Release(static_cast<std::uint32_t>(place));
    KeepTakenInline(root);
  }
  elementMap_.reset();
  ClearMaps();
}

void TKestuLoader::KeepTakenInline(TElement* root) {
  if (taken_.empty()) return;
  std::unordered_multimap<const TElement*, std::uint32_t> takenBy;
  for (const Taken& taken : taken_) takenBy.emplace(taken.Referrer, taken.Value);
  std::unordered_set<const TElement*> reached;
  std::vector<const TElement*> work{root};
  while (!work.empty()) {
    const TElement* element = work.back();
    work.pop_back();
    if (!reached.insert(element).second) continue;
    if (auto* entity = DynamicCast<TEntity>(element))
      for (TElement* child : entity->Children())
        if (child) work.push_back(child);
    auto [first, last] = takenBy.equal_range(element);
    for (auto it = first; it != last; ++it) work.push_back(loaded_[it->second].Element);
  }
  for (const Taken& taken : taken_)
    if (reached.contains(loaded_[taken.Value].Element)) Release(taken.Value);
}

void TKestuLoader::AfterHeader() {}

void TKestuLoader::BeginClass(const std::string& name) {
  auto* record = new TKestuClass;
  if (TClass cls = FindKestuClass(name)) {
    record->SetElementClass(cls);
  } else {
    Log(name + " - Unknown class !");
    record->SetElementClass(TOwnerEntity::StaticClass());
    record->SetName(name + " ?");
  }
  static_cast<TKestuClasses*>(classes_)->AddElement(record);
  TClass cls = record->ElementClass();
  const bool makesElements = cls->Factory && cls->InheritsFrom(TElement::StaticClass());
  classSlots_.push_back(
      {record, makesElements ? cls->Factory : nullptr, cls->InheritsFrom(TEntity::StaticClass()), {}, {}});
  describedClass_ = static_cast<int>(classSlots_.size()) - 1;
}

void TKestuLoader::AddStoredProperty(const std::string& name, int kind) {
  ClassSlot& slot = classSlots_[static_cast<std::size_t>(describedClass_)];
  TKestuClass* record = slot.Record;
  auto* property = new TKestuClassProperty;
  property->SetName(name);
  property->StoredKind = static_cast<TTypeKind>(kind >= 0 && kind <= 255 ? kind : tkUnknown);
  record->AddElement(property);
  slot.Properties.push_back({nullptr, property->StoredKind});
  const int index = record->IndexOfProperty(name);
  property->PropIndex = index;
  const std::string className = record->GetName();
  if (index < 0) {
    property->LostProperty = true;
    Log(className + " lost property: " + name);
    return;
  }
  const TPropInfo* info = record->PropertyInfo(index);
  property->Bind(info);
  const bool stored = record->IsStoredProperty(index);
  const std::string prefix = className + " property " + Quoted(name);
  if (!KindsFit(info->Kind, kind)) {
    property->PropIndex = -1;
    Log(prefix + " type error: " + std::to_string(kind));
  } else if (stored && kind == tkClass) {
    TClass propertyClass = record->PropertyClass(index);
    if (!propertyClass || !propertyClass->InheritsFrom(TElement::StaticClass())) Log(prefix + " is not Element!");
  }
  if (stored && record->IsReadOrWriteOnly(index)) Log(prefix + " is Read or Write Only!");
  // A property the class never stores is not data of the file: its setter
  // may act (rename a file, post a message), which reading must not do.
  if (property->PropIndex >= 0 && IsStoredData(*info)) slot.Properties.back().Info = info;
}

void TKestuLoader::FinishClassRecord() {
  ClassSlot& slot = classSlots_[static_cast<std::size_t>(describedClass_)];
  for (std::size_t i = 0; i < slot.Properties.size(); ++i) {
    const PropertySlot& property = slot.Properties[i];
    if (property.Info && IsOmittedWhenZero(property.StreamKind) && property.Info->StoredConstant != false) {
      slot.Defaulted.push_back(static_cast<int>(i));
      if (!property.Info->StoredConstant && property.Info->StoredTest)
        slot.Properties[i].StoredTest = &property.Info->StoredTest;
    }
  }
}

void TKestuLoader::DropClassRecord(std::size_t classMark) {
  // The slot stays, so that the class numbers after it keep their meaning.
  if (classSlots_.size() == classMark) classSlots_.emplace_back();
  else classSlots_.back() = {};
}

void TKestuLoader::BeginElement(std::int32_t classNumber) {
  if (classNumber < 0 || static_cast<std::size_t>(classNumber) >= classSlots_.size())
    ThrowBadRecord("Invalid class number ", classNumber);
  const ClassSlot& slot = classSlots_[static_cast<std::size_t>(classNumber)];
  if (!slot.Record) ThrowBadRecord("Class record ", classNumber, " unreadable");
  if (!slot.Factory) throw EBadStream("Cannot create " + slot.Record->GetName());
  // The class was checked once: its factory makes elements, finished as every
  // element made by class name is, before its values are read.
  auto* element = static_cast<TElement*>(slot.Factory());
  element->AfterConstruction();
  const auto created = static_cast<std::uint32_t>(loaded_.size());
  loaded_.push_back({element, KeepInMap(element), -1});
  openRecords_.push_back(element);
  current_ = {element, slot.IsEntity ? static_cast<TEntity*>(element) : nullptr, classNumber, created};
}

inline void TKestuLoader::NumberElement(std::int32_t number) {
  // A writer numbers by creation order, and while every number is its
  // element's place no other element can hold this one.
  if (static_cast<std::uint32_t>(number) == current_.Created && renumbered_.empty()) [[likely]] {
    loaded_[current_.Created].Number = number;
    return;
  }
  if (number < 0) ThrowBadRecord("Invalid element number ", number);
  if (CreatedNumbered(number) >= 0) ThrowBadRecord("Duplicate element number ", number);
  if (static_cast<std::uint32_t>(number) != current_.Created) renumbered_.emplace(number, current_.Created);
  loaded_[current_.Created].Number = number;
}

inline std::int64_t TKestuLoader::CreatedNumbered(std::int32_t number) const {
  const auto place = static_cast<std::size_t>(number);
  if (number >= 0 && place < loaded_.size() && loaded_[place].Number == number) return number;
  if (renumbered_.empty()) return -1;
  return CreatedRenumbered(number);
}

std::int64_t TKestuLoader::CreatedRenumbered(std::int32_t number) const {
  auto found = renumbered_.find(number);
  return found == renumbered_.end() ? -1 : static_cast<std::int64_t>(found->second);
}

std::int64_t TKestuLoader::CreatedPlaceOf(const TElement* element) const {
  for (std::size_t i = loaded_.size(); i-- > 0;)
    if (loaded_[i].Element == element) return static_cast<std::int64_t>(i);
  return -1;
}

TElement* TKestuLoader::ElementNumbered(std::int32_t number) const {
  const std::int64_t created = CreatedNumbered(number);
  return created < 0 ? nullptr : loaded_[static_cast<std::size_t>(created)].Element;
}

void TKestuLoader::ForgetNumber(std::int32_t number, std::uint32_t created) {
  // A number that is its element's place goes with the element's entry.
  auto found = renumbered_.find(number);
  if (found != renumbered_.end() && found->second == created) renumbered_.erase(found);
}

void TKestuLoader::Hold(std::uint32_t created) {
  Loaded& loaded = loaded_[created];
  if (loaded.Held()) return;
  loaded.KeeperSlot = KeepInMap(loaded.Element);
}

std::uint32_t TKestuLoader::KeepInMap(TElement* element) {
  while (!freeSlots_.empty()) {
    const std::uint32_t slot = freeSlots_.back();
    freeSlots_.pop_back();
    if (elementMap_->HoldInSlot(slot, element)) return slot;
  }
  return static_cast<std::uint32_t>(elementMap_->AppendHeld(element));
}

inline bool TKestuLoader::Release(std::uint32_t created) {
  Loaded& loaded = loaded_[created];
  if (!loaded.Held() || !elementMap_->ReleaseHeld(loaded.Element, loaded.KeeperSlot)) return false;
  // Parents take their children in runs, often long before they are taken
  // in turn: the slot serves the next element read, so that the map stays as
  // long as the elements waiting for a parent, not as the file.
  freeSlots_.push_back(loaded.KeeperSlot);
  loaded.KeeperSlot = kNotHeld;
  return true;
}

inline void TKestuLoader::EndRecord(const RecordMark& mark, bool complete) {
  openRecords_.resize(mark.Open);
  values_.resize(mark.Values);
  textsUsed_ = mark.Texts;
  if (!complete) [[unlikely]]
    UndoRecord(mark);
  else if (openRecords_.empty())
    transferred_.clear();
}

void TKestuLoader::UndoRecord(const RecordMark& mark) {
  taken_.resize(std::min(taken_.size(), mark.Taken));
  // Children handed to parents of this record go back to the map first, so
  // that freeing those parents cannot free elements other records name.
  for (std::size_t i = transferred_.size(); i-- > mark.Transferred;) Hold(transferred_[i]);
  transferred_.resize(mark.Transferred);
  for (std::size_t i = loaded_.size(); i-- > mark.Loaded;) {
    const auto place = static_cast<std::uint32_t>(i);
    TElement* undone = loaded_[i].Element;
    ForgetNumber(loaded_[i].Number, place);
    if (Release(place) && undone->HolderCount() == 0 && undone->CanFree()) DisposeElement(undone);
  }
  loaded_.resize(mark.Loaded);
  current_ = {};
}

inline int TKestuLoader::StreamKindAt(int position) const {
  const ClassSlot& slot = classSlots_[static_cast<std::size_t>(current_.ClassIndex)];
  if (position < 0 || static_cast<std::size_t>(position) >= slot.Properties.size())
    ThrowBadRecord("Invalid property position ", position);
  return slot.Properties[static_cast<std::size_t>(position)].StreamKind;
}

void TKestuLoader::LogChild(const char* before, std::int32_t number, const std::string& after) {
  const std::string className = classSlots_[static_cast<std::size_t>(current_.ClassIndex)].Record->GetName();
  Log(className + before + std::to_string(number) + after);
}

std::uint32_t TKestuLoader::TakeText() {
  if (textsUsed_ == texts_.size()) texts_.emplace_back();
  return textsUsed_++;
}

inline void TKestuLoader::ApplyDefault(int position) {
  const ClassSlot& slot = classSlots_[static_cast<std::size_t>(current_.ClassIndex)];
  const PropertySlot& property = slot.Properties[static_cast<std::size_t>(position)];
  // Only properties stored always or by a test are defaulted: the test, when
  // there is one, is called straight.
  if (property.StoredTest && !(*property.StoredTest)(*current_.Element)) return;
  TStreamValue zero;
  zero.Position = position;
  zero.Kind = property.StreamKind;
  SetProperty(zero);
}

inline bool TKestuLoader::SetsAsRead(PropertyCursor& cursor, int position, int kind) {
  if (cursor.Buffered != SIZE_MAX) return false;
  if (kind == tkClass || position <= cursor.LastSet) {
    cursor.Buffered = values_.size();
    return false;
  }
  const std::vector<int>& defaulted = classSlots_[static_cast<std::size_t>(current_.ClassIndex)].Defaulted;
  std::size_t next = cursor.NextDefaulted;
  for (; next < defaulted.size() && defaulted[next] < position; ++next) ApplyDefault(defaulted[next]);
  if (next < defaulted.size() && defaulted[next] == position) ++next;
  cursor.NextDefaulted = next;
  cursor.LastSet = position;
  return true;
}

inline void TKestuLoader::EndProperties(const PropertyCursor& cursor) {
  if (cursor.Buffered != SIZE_MAX) {
    ApplyProperties(cursor.Buffered, cursor.NextDefaulted);
    return;
  }
  const std::vector<int>& defaulted = classSlots_[static_cast<std::size_t>(current_.ClassIndex)].Defaulted;
  for (std::size_t next = cursor.NextDefaulted; next < defaulted.size(); ++next) ApplyDefault(defaulted[next]);
}

void TKestuLoader::ApplyProperties(std::size_t first, std::size_t defaultedFrom) {
  if (!current_.Element) return;
  const std::size_t end = values_.size();
  const std::vector<int>& allDefaulted = classSlots_[static_cast<std::size_t>(current_.ClassIndex)].Defaulted;
  const std::span<const int> defaulted(allDefaulted.begin() + static_cast<std::ptrdiff_t>(defaultedFrom),
                                       allDefaulted.end());
  // Writers give each position once, in order: the values and the omitted
  // properties merge in one pass.
  bool ascending = true;
  for (std::size_t at = first + 1; at < end && ascending; ++at)
    ascending = values_[at - 1].Position < values_[at].Position;
  if (ascending) [[likely]] {
    auto next = defaulted.begin();
    for (std::size_t at = first; at < end; ++at) {
      const int position = values_[at].Position;
      for (; next != defaulted.end() && *next < position; ++next) ApplyDefault(*next);
      if (next != defaulted.end() && *next == position) ++next;
      SetProperty(values_[at]);
    }
    for (; next != defaulted.end(); ++next) ApplyDefault(*next);
    return;
  }
  // Anything else is sorted, keeping the order of repeats; a position given
  // twice takes its last value.
  const auto byPosition = [](const TStreamValue& a, const TStreamValue& b) { return a.Position < b.Position; };
  std::stable_sort(values_.begin() + static_cast<std::ptrdiff_t>(first), values_.end(), byPosition);
  const auto isLastOfPosition = [&](std::size_t at) {
    return at + 1 == end || values_[at + 1].Position != values_[at].Position;
  };
  std::size_t next = first;
  for (const int position : defaulted) {
    for (; next < end && values_[next].Position < position; ++next)
      if (isLastOfPosition(next)) SetProperty(values_[next]);
    if (next < end && values_[next].Position == position) continue;
    ApplyDefault(position);
  }
  for (; next < end; ++next)
    if (isLastOfPosition(next)) SetProperty(values_[next]);
}

void TKestuLoader::SetProperty(const TStreamValue& value) {
  TElement* element = current_.Element;
  if (!element || current_.ClassIndex < 0) return;
  const ClassSlot& slot = classSlots_[static_cast<std::size_t>(current_.ClassIndex)];
  if (!slot.Record || value.Position < 0 || static_cast<std::size_t>(value.Position) >= slot.Properties.size())
    return;
  const TPropInfo* info = slot.Properties[static_cast<std::size_t>(value.Position)].Info;
  if (!info) return;
  if (info->Kind == tkClass && value.Element && info->PropClass && !value.Element->InheritsFrom(info->PropClass)) {
    Log(slot.Record->GetName() + " property " + Quoted(info->Name) + " cannot hold " + value.Element->ClassName() +
        "!");
    return;
  }
  try {
    switch (info->Kind) {
      case tkInteger: case tkEnumeration: case tkSet: case tkChar: {
        if (!info->SetOrd) return;
        const std::int64_t ordinal = info->Kind == tkChar ? (value.Ordinal & 0xFF) : value.Ordinal;
        if (ordinal < info->Range.Min || ordinal > info->Range.Max) throw std::out_of_range(info->Name);
        info->SetOrd(*element, ordinal);
        break;
      }
      case tkFloat:
        if (info->SetFloat) info->SetFloat(*element, value.Float);
        break;
      case tkString: case tkLString:
        if (info->SetStr) info->SetStr(*element, texts_[value.Text]);
        break;
      case tkClass:
        if (!info->SetObj) return;
        info->SetObj(*element, value.Element);
        if (value.InlineCreated >= 0) taken_.push_back({element, static_cast<std::uint32_t>(value.InlineCreated)});
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    platform::MessageDlg("Property Set Error " + slot.Record->GetName() + " " + info->Name,
                         platform::MsgDlgType::Error, platform::mbOK);
  }
}

void TKestuLoader::AddChild(std::int32_t number) {
  TEntity* entity = current_.Entity;
  if (!entity) {
    LogChild(" is not Entity, child ", number, " skipped!");
    return;
  }
  // Only an element whose record was complete before this one began can be a
  // child, so no stream can make an element contain itself.
  // (The records still open besides this one enclose it and were created before it.)
  const std::int64_t created = CreatedNumbered(number);
  if (created < 0 || created >= current_.Created ||
      (openRecords_.size() > 1 &&
       std::find(openRecords_.begin(), openRecords_.end(), loaded_[static_cast<std::size_t>(created)].Element) !=
           openRecords_.end())) {
    LogChild(" child ", number, " not found!");
    return;
  }
  // The first parent takes the child over from the map (a failed record gives it back).
  const auto place = static_cast<std::uint32_t>(created);
  TElement* child = loaded_[place].Element;
  const bool handOver = Release(place);
  try {
    entity->AddElement(child);
  } catch (const std::exception& error) {
    if (handOver) Hold(place);
    LogChild(" child ", number, std::string(" skipped: ") + error.what());
    return;
  }
  if (!handOver) return;
  if (child->HolderCount() == 0) Hold(place);  // an entity that does not hold its children
  else transferred_.push_back(place);
}

// ---------------------------------------------------------------- TStreamLoader

TStreamLoader::TStreamLoader() = default;
TStreamLoader::~TStreamLoader() = default;

void TStreamLoader::DoIt() {
  if (FileName.empty()) throw EBadStreamName("Chybné jméno souboru : " + FileName + " !");
  if (!platform::FileExists(FileName)) throw EBadStream("Soubor " + FileName + " neexistuje!");
  struct Close {
    TStreamLoader& loader;
    ~Close() {
      loader.reader_.reset();
      loader.stream_.reset();
    }
  } close{*this};
  char magic[4] = {};
  RaisingBadStream(FileName, [&] {
    stream_ = std::make_unique<platform::TFileStream>(FileName, platform::TFileStream::Mode::OpenRead);
    reader_ = std::make_unique<platform::TReader>(*stream_, kStreamBuffer);
    if (reader_->Remaining() >= sizeof magic) reader_->Read(magic, sizeof magic);
  });
  if (std::memcmp(magic, "TPF0", 4) == 0) {
    reader_.reset();
    stream_.reset();
    LoadComponentStream();
    return;
  }
  if (std::memcmp(magic, "KES0", 4) != 0) throw EBadStream(FileName + " ... neznámý typ souboru");
  lastProgress_ = 0;
  lastSeen_ = 0;
  inlineDepth_ = 0;
  RaisingBadStream(FileName, [this] { TKestuLoader::DoIt(); });
}

std::int64_t TStreamLoader::GetSourceSize() { return stream_ ? static_cast<std::int64_t>(stream_->Size()) : 0; }

void TStreamLoader::LoadProgressStep() {
  // The position of the file stream moves a reader buffer at a time: most
  // records leave it where it was, and this step is kept small for them.
  const std::uint64_t position = stream_->Position();
  if (position != lastSeen_) [[unlikely]]
    ShowProgressAt(position);
}

void TStreamLoader::ShowProgressAt(std::uint64_t position) {
  lastSeen_ = position;
  if (position % kProgressBytes != 0 || position == lastProgress_) return;
  lastProgress_ = position;
  SetProgress(static_cast<int>(std::min<std::uint64_t>(position, std::numeric_limits<int>::max())));
  SetProgressText(std::to_string(position) + " bytů z celkových " + std::to_string(stream_->Size()));
  platform::Application::Instance().ProcessMessages();
}

void TStreamLoader::ReadHeader() {
  for (int i = 0; i < 3; ++i) reader_->ReadString();
}

TElement* TStreamLoader::ReadBody() {
  TElement* last = nullptr;
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) {
    const std::uint64_t start = reader_->Position();
    const std::int32_t number = reader_->ReadInteger();
    if (number == -1) {
      recordStart_ = start;
      ReadClassRecord();
    } else if (TElement* element = ReadElementRecord(start, number)) {
      last = element;
    }
    LoadProgressStep();
  }
  reader_->ReadListEnd();
  return last;
}

TElement* TStreamLoader::ReadElementRecord(std::uint64_t start, std::int32_t classNumber) {
  const RecordMark mark = MarkRecord();
  try {
    BeginElement(classNumber);
    NumberElement(reader_->ReadInteger());
    ReadProperties();
    ReadChildren();
    TElement* element = Current().Element;
    EndRecord(mark, true);
    return element;
  } catch (const std::exception& error) {
    Log("Element record skipped: " + std::string(error.what()));
    EndRecord(mark, false);
  }
  // Every value is tagged, so a record can be stepped over whatever it held.
  SkipElementRecord(start);
  return nullptr;
}

void TStreamLoader::SkipElementRecord(std::uint64_t start) {
  reader_->SetPosition(start);
  reader_->ReadInteger();
  reader_->ReadInteger();
  SkipList(*reader_);
  if ((reader_->ReadInteger() & 0xFF) != 0) SkipList(*reader_);
}

void TStreamLoader::ReadClassRecord() {
  const std::uint64_t start = recordStart_;
  const std::size_t mark = ClassMark();
  try {
    const std::string name = reader_->ReadString();
    reader_->ReadInteger();  // class records count by their order in the stream
    BeginClass(name);
    reader_->ReadListBegin();
    while (!reader_->EndOfList()) {
      const std::string property = reader_->ReadString();
      const std::int32_t kind = reader_->ReadInteger();
      AddStoredProperty(property, kind);
    }
    reader_->ReadListEnd();
    FinishClassRecord();
    return;
  } catch (const std::exception& error) {
    Log("Class record skipped: " + std::string(error.what()));
    DropClassRecord(mark);
  }
  SkipClassRecord(start);
}

void TStreamLoader::SkipClassRecord(std::uint64_t start) {
  reader_->SetPosition(start);
  reader_->ReadInteger();
  reader_->ReadString();
  reader_->ReadInteger();
  SkipList(*reader_);
}

void TStreamLoader::ReadProperties() {
  PropertyCursor cursor;
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) {
    const std::int32_t position = reader_->ReadInteger();
    const int kind = StreamKindAt(position);
    if (SetsAsRead(cursor, position, kind)) {
      TStreamValue value;
      value.Position = position;
      value.Kind = kind;
      ReadPlainValue(value);
      SetProperty(value);
      continue;
    }
    // Filled in place: an inline element's records use the buffer after it meanwhile.
    TStreamValue& value = Values().emplace_back();
    value.Position = position;
    value.Kind = kind;
    ReadValue(Values().size() - 1);
  }
  reader_->ReadListEnd();
  EndProperties(cursor);
}

inline void TStreamLoader::ReadPlainValue(TStreamValue& value) {
  switch (value.Kind) {
    case tkInteger: case tkEnumeration: case tkSet: case tkChar:
      value.Ordinal = reader_->ReadInteger();
      break;
    case tkFloat:
      value.Float = reader_->ReadFloat();
      break;
    case tkString: case tkLString: {
      const std::uint32_t text = TakeText();
      reader_->ReadString(TextNumbered(text));
      value.Text = text;
      break;
    }
    default:
      break;
  }
}

void TStreamLoader::ReadValue(std::size_t at) {
  switch (Values()[at].Kind) {
    case tkClass: {
      const std::int32_t reference = reader_->ReadInteger();
      TElement* element = nullptr;
      if (reference == -2) {
        element = ReadInlineElement();
        if (element) Values()[at].InlineCreated = CreatedPlaceOf(element);
      } else if (reference != -1) {
        element = ElementNumbered(reference);
        if (!element) ThrowBadRecord("Unknown element number ", reference);
      }
      Values()[at].Element = element;
      break;
    }
    default:
      ReadPlainValue(Values()[at]);
      break;
  }
}

TElement* TStreamLoader::ReadInlineElement() {
  if (inlineDepth_ >= KesMaxInlineDepth) throw EBadStream("Inline elements nested too deep");
  struct Restore {
    TStreamLoader& loader;
    const RecordState saved;
    ~Restore() {
      --loader.inlineDepth_;
      loader.Current() = saved;
    }
  } restore{*this, Current()};
  ++inlineDepth_;
  TElement* element = ReadBody();
  // A nested list without a readable record (each bad one is logged) gives nil.
  if (element) element->ID = -1;
  return element;
}

void TStreamLoader::ReadChildren() {
  if ((reader_->ReadInteger() & 0xFF) == 0) return;
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) AddChild(reader_->ReadInteger());
  reader_->ReadListEnd();
}

void TStreamLoader::LoadComponentStream() {
  auto loader = std::make_unique<TLoader>();
  loader->SetName(FileName);
  loader->DoIt();
  SetOutput(loader->Output());
}

// ---------------------------------------------------------------- TLoader

TLoader::TLoader() { SetName("KESTU.KES"); }

void TLoader::DoIt() {
  platform::WaitCursor hourglass;
  if (!HasName()) throw EBadStreamName("Chybné jméno streamu :  !");
  const std::string fileName = GetName();
  if (!platform::FileExists(fileName)) throw EBadStream("Soubor " + fileName + " neexistuje!");
  // Declared first, so that on any failure it frees what was read after the file has closed.
  TLoadedElements elementMap;
  bool complete = false;
  RaisingBadStream(fileName, [&] {
    platform::TFileStream file(fileName, platform::TFileStream::Mode::OpenRead);
    platform::TReader reader(file, kComponentBuffer);
    char signature[4] = {};
    if (reader.Remaining() >= sizeof signature) reader.Read(signature, sizeof signature);
    if (std::memcmp(signature, "TPF0", 4) != 0) throw EBadStream(fileName + " ... neznámý typ souboru");
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
      const std::string className = reader.ReadString();
      TClass cls = FindKestuClass(className);
      std::unique_ptr<TElement> element(cls ? NewElement(cls) : nullptr);
      if (!element) {
        platform::MessageDlg("Neregistrovaný element: " + className, platform::MsgDlgType::Error, platform::mbOK);
        return;
      }
      // A record holds no length, so one an element cannot read ends the load.
      element->ReadData(reader, elementMap);
      elementMap.AppendHeld(element.release());
    }
    reader.ReadListEnd();
    complete = true;
  });
  if (!complete) return;
  const auto& read = elementMap.Children();
  TElement* root = read.empty() ? nullptr : read.back();
  if (root) elementMap.ReleaseHeld(root, read.size() - 1);
  SetOutput(root);
}

// ---------------------------------------------------------------- classes

TClass TKestuLoader::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuLoader>("TKestuLoader", TTool::StaticClass(), "T_loader",
                                                             {FieldProp("FileName", &TKestuLoader::FileName)});
  return &info;
}

TClass TStreamLoader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TStreamLoader>("TStreamLoader", TKestuLoader::StaticClass(), "T_loader", {});
  return &info;
}

TClass TLoad::StaticClass() {
  static const TClassInfo info = DescribeClass<TLoad>("TLoad", TStreamLoader::StaticClass(), "T_loader", {});
  return &info;
}

TClass TLoader::StaticClass() {
  static const TClassInfo info = DescribeClass<TLoader>("TLoader", TTool::StaticClass(), "T_loader", {});
  return &info;
}

void RegisterLoaderClasses() {
  RegisterKestuClass(TLoad::StaticClass());
  RegisterKestuClass(TLoader::StaticClass());
}
