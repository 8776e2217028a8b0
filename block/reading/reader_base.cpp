#include "block/reading/reader_base.h"

#include <algorithm>

#include "block/props/lumar_registers.h"
#include "framework/condition/condition_compiler.h"
#include "framework/condition/operators.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/registers.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

int LetterSlot(char Letter) {
  const auto& letters = TFiltrDruhuObjektu::Letters;
  const auto* at = std::find(letters.begin(), letters.end(), Letter);
  return at == letters.end() ? -1 : static_cast<int>(at - letters.begin());
}

// Records between two progress reports.
constexpr std::int64_t kProgressStep = 50;

}  // namespace

std::string BlockFilePath(const std::string& BlockDir, const std::string& Name) {
  return platform::IncludeTrailingPathDelimiter(BlockDir) + Name;
}

// ---------------------------------------------------------------- TFiltrDruhuObjektu

const std::vector<std::int32_t>* TFiltrDruhuObjektu::KindList(char Letter) const {
  const int slot = LetterSlot(Letter);
  return slot >= 0 && lists_[static_cast<std::size_t>(slot)] ? &*lists_[static_cast<std::size_t>(slot)] : nullptr;
}

void TFiltrDruhuObjektu::SetKindList(char Letter, std::vector<std::int32_t> Kinds) {
  const int slot = LetterSlot(Letter);
  if (slot < 0) return;
  std::sort(Kinds.begin(), Kinds.end());
  lists_[static_cast<std::size_t>(slot)] = std::move(Kinds);
}

bool TFiltrDruhuObjektu::Accepts(char Letter, const TElement* Object) const {
  int number = 0;
  if (!Object || !TryTextToInt(TrimBlanks(Object->GetPropertyText(PropName)), number)) return Exclude;
  const std::vector<std::int32_t>* list = KindList(Letter);
  if (!list) return true;
  return std::binary_search(list->begin(), list->end(), number) != Exclude;
}

// ---------------------------------------------------------------- TLumarManipulator

TLumarManipulator::TLumarManipulator() = default;
TLumarManipulator::~TLumarManipulator() = default;

TWCS* TLumarManipulator::GetWCS() { return static_cast<TWCS*>(wcs_.Get()); }
void TLumarManipulator::SetWCS(TWCS* WCS) { wcs_.Set(WCS); }

TFiltrDruhuObjektu* TLumarManipulator::ObjectFilter() const {
  return static_cast<TFiltrDruhuObjektu*>(objectFilter_.Get());
}

void TLumarManipulator::SetObjectFilter(TFiltrDruhuObjektu* Filter) { SetLinkedElement(objectFilter_, Filter); }

TRectEntity* TLumarManipulator::ClipRect() const { return static_cast<TRectEntity*>(clipRect_.Get()); }

void TLumarManipulator::SetClipRect(TRectEntity* Rect) { SetLinkedElement(clipRect_, Rect); }

void TLumarManipulator::SetPropertiesFromList(const std::vector<std::string>& List) {
  for (const std::string& line : List) {
    std::string name;
    std::string value;
    if (!SplitAtChar(line, '=', name, value) || name.empty() || name.front() != '@') continue;
    // Parameters come from a script anyone may write: like a KES file's data
    // they set only what is stored (an entity's ElementToFree would free any
    // element of the world).
    if (MayTakeStoredData(*this, name.substr(1))) SetPropertyText(name.substr(1), value);
    else Log("Skript modelu: vlastnost " + name.substr(1) + " se ze skriptu nenastavuje");
  }
}

void TLumarManipulator::Log(const std::string& Text) {
  TTool::Log(Text);
  platform::Application::Instance().ProcessMessages();
}

bool TLumarManipulator::FilterAccepts(char Letter, const TElement* Object) const {
  const TFiltrDruhuObjektu* filter = ObjectFilter();
  return !filter || filter->Accepts(Letter, Object);
}

void TLumarManipulator::ReportConditionError() {
  if (conditionReported_) return;
  conditionReported_ = true;
  platform::ShowMessage("Condition processing Error\r\n" + Condition);
}

bool TLumarManipulator::PrepareCondition() {
  if (condition_ && preparedCondition_ == Condition) return !conditionFailed_;
  condition_.reset();
  preparedCondition_ = Condition;
  conditionFailed_ = false;
  conditionReported_ = false;
  if (Condition.empty()) return true;
  try {
    TCondCreator creator;
    condition_.reset(CompileCondition(creator, Condition));
    return true;
  } catch (const std::exception&) {
    conditionFailed_ = true;
    ReportConditionError();
    return false;
  }
}

bool TLumarManipulator::ConditionAccepts(TElement* Object) {
  if (Condition.empty() || !Object) return true;
  if (preparedCondition_ != Condition || (!condition_ && !conditionFailed_)) PrepareCondition();
  if (!condition_) return true;
  try {
    return ConditionHolds(*condition_, Object);
  } catch (const std::exception&) {
    ReportConditionError();
    return true;
  }
}

bool TLumarManipulator::ClipAccepts(double MaxX, double MaxY, double MinX, double MinY) {
  const TRectEntity* clip = ClipRect();
  if (!clip) return true;
  T2DCoordinate corner1(MaxX, MaxY);
  T2DCoordinate corner2(MinX, MinY);
  if (TWCS* wcs = GetWCS()) {
    wcs->CoordToWorld(&corner1);
    wcs->CoordToWorld(&corner2);
  }
  TRectangle box;
  box.IncludeCoordinate(&corner1);
  box.IncludeCoordinate(&corner2);
  return box.Intersects(clip->BoundRect());
}

// ---------------------------------------------------------------- TLumaRReader

TLumaRReader::TLumaRReader() = default;
TLumaRReader::~TLumaRReader() = default;

void TLumaRReader::SetBarva(std::int16_t value) {
  Barva = value;
  UseBarva = true;
}

void TLumaRReader::SetZnacka(std::int16_t value) {
  Znacka = value;
  UseZnacka = true;
}

std::int64_t TLumaRReader::GetRecordCount() const {
  if (!stream_ || RecordSize < 1) return 0;
  return static_cast<std::int64_t>(stream_->Size() / static_cast<std::uint64_t>(RecordSize));
}

bool TLumaRReader::HasPartialRecord() const {
  return stream_ && RecordSize > 0 && stream_->Size() % static_cast<std::uint64_t>(RecordSize) != 0;
}

void TLumaRReader::Open() {
  if (!platform::FileExists(FileName)) return;
  if (UseMemory) {
    auto memory = std::make_unique<platform::TMemoryStream>();
    memory->LoadFromFile(FileName);
    stream_ = std::move(memory);
  } else if (!stream_) {
    stream_ = std::make_unique<platform::TFileStream>(FileName, platform::TFileStream::Mode::OpenRead);
  }
}

char TLumaRReader::GetObjectTypeLetter() const { return ' '; }

TLumarBlockRegister* TLumaRReader::GetRegister() {
  if (auto* cached = static_cast<TLumarBlockRegister*>(register_.Get())) return cached;
  TWorld* world = World();
  TObjectModel* model = world ? world->ObjectModel() : nullptr;
  if (!model) return nullptr;
  auto* registry = static_cast<TRegister*>(model->FindElementByClass(TRegister::StaticClass()));
  if (!registry) {
    registry = new TRegister;
    model->AddElement(registry);
  }
  auto* block = DynamicCast<TLumarBlockRegister>(registry->GetBlockRegister(BlockName, "TLumarBlockRegister"));
  register_.Set(block);
  return block;
}

void TLumaRReader::FileObject(TElement* Object, std::int64_t Number) {
  if (Number < 1 || Number >= GetRecordCount()) return;
  if (TLumarBlockRegister* block = GetRegister()) block->RegisterSpaceEntity(Object);
}

void TLumaRReader::SeekRecord(std::int64_t Index) {
  if (!stream_ || Index < 0) return;
  // A file stream drops its buffer on every seek; records read in order
  // need none.
  const std::uint64_t position = static_cast<std::uint64_t>(Index) * static_cast<std::uint64_t>(RecordSize);
  if (position != stream_->Position()) stream_->Seek(position);
}

void TLumaRReader::CloseStream() { stream_.reset(); }

void TLumaRReader::SetStream(std::unique_ptr<platform::TStream> stream) { stream_ = std::move(stream); }

void TLumaRReader::RecordDone() {
  if (RecordSize < 1) return;
  const auto record = static_cast<std::int64_t>(stream_->Position() / static_cast<std::uint64_t>(RecordSize));
  if (record % kProgressStep != 0) return;
  SetProgress(static_cast<int>(std::min<std::int64_t>(record, INT32_MAX)));
  platform::Application::Instance().ProcessMessages();
}

bool TLumaRReader::ReadRecord(std::uint8_t* Buffer) {
  if (!stream_ || RecordSize < 1) return false;
  const auto size = static_cast<std::uint64_t>(RecordSize);
  if (stream_->Size() - std::min(stream_->Position(), stream_->Size()) < size) return false;
  if (stream_->Read(Buffer, size) != size) return false;
  RecordDone();
  return true;
}

void TLumaRReader::WriteRecord(const std::uint8_t* Buffer) {
  if (!stream_ || RecordSize < 1) throw platform::EWriteError("No file to write " + FileName);
  stream_->Write(Buffer, static_cast<std::size_t>(RecordSize));
  RecordDone();
}

void TLumaRReader::BeginProgress() {
  platform::CurrentDialogs().SetScreenCursor(platform::Cursor::HourGlass);
  StartProgress(ClassName() + " (" + FileName + ") ", 0, static_cast<int>(std::min<std::int64_t>(GetRecordCount(), INT32_MAX)));
  progressFrame_ = true;
}

void TLumaRReader::EndProgressFrame() {
  if (!progressFrame_) return;
  progressFrame_ = false;
  platform::CurrentDialogs().SetScreenCursor(platform::Cursor::Default);
  EndProgress();
}

// ---------------------------------------------------------------- TLumaRObjectReader

void TLumaRObjectReader::DoNewObject(TElement*& Obj) {
  if (OnNewObject.Code == 0) return;
  reinterpret_cast<TNewObjectProc>(OnNewObject.Code)(reinterpret_cast<void*>(OnNewObject.Data), Obj);
}

void TLumaRObjectReader::Create(const std::string& BlockDir, TWCS* WCS) {
  SetWCS(WCS);
  InitRecordSize();
  FileName = BlockFilePath(BlockDir, GetFileName());
  BlockName = BlockDir;
  UseMemory = false;
  Open();
}

void TLumaRObjectReader::InitRecordSize() { RecordSize = 0; }

std::string TLumaRObjectReader::GetFileName() const { return std::string(); }

// ---------------------------------------------------------------- class descriptions

TClass TFiltrDruhuObjektu::StaticClass() {
  using E = TFiltrDruhuObjektu;
  static const TClassInfo info =
      DescribeClass<E>("TFiltrDruhuObjektu", TOwnerElement::StaticClass(), "T_lumimp",
                       {FieldProp("Exclude", &E::Exclude), FieldProp("PropName", &E::PropName)});
  return &info;
}

TClass TLumarManipulator::StaticClass() {
  using E = TLumarManipulator;
  static const TClassInfo info = DescribeClass<E>(
      "TLumarManipulator", TTool::StaticClass(), "T_lumimp",
      {FieldProp("MinSize", &E::MinSize), FieldProp("Condition", &E::Condition), FieldProp("BlockName", &E::BlockName)});
  return &info;
}

TClass TLumaRReader::StaticClass() {
  using E = TLumaRReader;
  static const TClassInfo info = DescribeClass<E>(
      "TLumaRReader", TLumarManipulator::StaticClass(), "T_lumimp",
      {NotStored(AccessorProp<E, TLumarBlockRegister*>(
           "Register", [](const E& e) { return const_cast<E&>(e).GetRegister(); }, nullptr)),
       FieldProp("UseMemory", &E::UseMemory),
       AccessorProp<E, std::int16_t>(
           "Barva", [](const E& e) { return e.Barva; }, [](E& e, std::int16_t v) { e.SetBarva(v); }),
       AccessorProp<E, std::int16_t>(
           "Znacka", [](const E& e) { return e.Znacka; }, [](E& e, std::int16_t v) { e.SetZnacka(v); }),
       NotStored(FieldProp("OnNewObject", &E::OnNewObject))});
  return &info;
}

TClass TLumaRObjectReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumaRObjectReader>("TLumaRObjectReader", TLumaRReader::StaticClass(), "T_lumimp", {});
  return &info;
}

void RegisterReaderBaseClasses() {
  for (TClass cls : {TFiltrDruhuObjektu::StaticClass(), TLumarManipulator::StaticClass(), TLumaRReader::StaticClass(),
                     TLumaRObjectReader::StaticClass()})
    RegisterKestuClass(cls);
}
