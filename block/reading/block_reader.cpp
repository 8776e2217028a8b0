#include "block/reading/block_reader.h"

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_set>

#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "block/reading/layer_readers.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "render/rasters/raster.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"

namespace {

// The frame of one layer's pass: its progress, ended however the pass ends,
// and the program's messages held meanwhile, as the walkers hold them: a
// message that clears the model must not free the objects the pass holds.
class TProgressFrame {
 public:
  explicit TProgressFrame(TLumaRReader& reader) : reader_(reader) { reader_.BeginProgress(); }
  ~TProgressFrame() { reader_.EndProgressFrame(); }
  TProgressFrame(const TProgressFrame&) = delete;
  TProgressFrame& operator=(const TProgressFrame&) = delete;

 private:
  platform::MessageHold hold_;
  TLumaRReader& reader_;
};

char LetterOfLayer(const std::string& type) {
  if (type == "ARE") return 'P';
  if (type == "PNT") return 'B';
  if (type == "LIN") return 'L';
  if (type == "TXT") return 'T';
  return 'X';
}

// The numbers of a list such as "5, 7 12"; other words are passed over.
std::vector<std::int32_t> KindNumbers(const std::string& text) {
  std::vector<std::int32_t> numbers;
  std::string word;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ' ';
    if (c != ',' && c != ';' && c != ' ' && c != '\t') {
      word += c;
      continue;
    }
    int number = 0;
    if (!word.empty() && TryTextToInt(word, number)) numbers.push_back(number);
    word.clear();
  }
  return numbers;
}

}  // namespace

// ---------------------------------------------------------------- TLumaRBlokInfoReader

void TLumaRBlokInfoReader::ReadInfo(const std::string& Block) {
  BlockName = Block;
  info_ = ReadBlockInfo(Block);
}

TWCS* TLumaRBlokInfoReader::GetWCS() {
  auto* world = DynamicCast<TWCSWorld>(World());
  return world ? world->GetWCS(TJTSK::Kind) : nullptr;
}

// ---------------------------------------------------------------- TLumaRBlokReader

TLumaRBlokReader::TLumaRBlokReader() = default;
TLumaRBlokReader::~TLumaRBlokReader() = default;

void TLumaRBlokReader::Create(const std::string& Block) {
  infoReader_ = std::make_unique<TLumaRBlokInfoReader>();
  infoReader_->ReadInfo(Block);
  BlockName = Block;
  SetWCS(infoReader_->GetWCS());
  codePage_ = infoReader_->Info().CodePage;
}

void TLumaRBlokReader::HandOver(TLumaRReader& Reader, bool Everything) {
  Reader.SetObjectFilter(ObjectFilter());
  Reader.SetClipRect(ClipRect());
  if (!Everything) return;
  Reader.MinSize = MinSize;
  Reader.Condition = Condition;
  Reader.OnNewObject = OnNewObject;
  if (UseBarva) Reader.SetBarva(Barva);
  if (UseZnacka) Reader.SetZnacka(Znacka);
  if (UseMemory) {
    Reader.UseMemory = true;
    Reader.Open();
  }
}

bool TLumaRBlokReader::InsideClip(const TElement* Object) const {
  const TRectEntity* clip = ClipRect();
  if (!clip) return true;
  if (const auto* point = DynamicCast<TPointElement>(Object))
    return clip->ContainsPoint(point->GetAbsRefX(), point->GetAbsRefY());
  const auto* entity = DynamicCast<TRectEntity>(Object);
  return entity && entity->IntersectsRect(clip->GetMinX(), clip->GetMinY(), clip->GetMaxX(), clip->GetMaxY());
}

void TLumaRBlokReader::AddClipped(TLumaRReader& Reader, TSpaceEntityString& List, TElement* Object,
                                  bool TestCondition) {
  if (!InsideClip(Object)) {
    if (Object->GetOwnersCount() < 2 && Object->HolderCount() < 2) {
      TElement* doomed = Object;
      FreeAndNil(doomed);
    }
    return;
  }
  List.AddElement(Object);
  if (TestCondition && !Reader.ConditionAccepts(Object)) List.FreeElement(Object);
}

void TLumaRBlokReader::LogPartial(const TLumaRReader& Reader) {
  if (Reader.HasPartialRecord())
    Log(BlockName + ": Soubor " + Reader.FileName + " není celý, čte se " + std::to_string(Reader.GetRecordCount()) +
        " celých záznamů");
}

namespace {

// A new layer list of the block.
template <class L>
std::unique_ptr<L> NewLayer(const std::string& block, const std::string& type) {
  auto list = std::make_unique<L>();
  list->SetName(block + " " + type);
  list->SetPropertyText("BlockName", block);
  list->SetPropertyText("TYPE", type);
  return list;
}

// Makes the layer's file reader, logging BadFile + block when it cannot.
template <class R>
std::unique_ptr<R> OpenLayerReader(TLumaRBlokReader& block, const std::string& badFile) {
  try {
    return NewObjectReader<R>(block.BlockName, block.GetWCS());
  } catch (const std::exception&) {
    block.Log(badFile + block.BlockName);
    return nullptr;
  }
}

}  // namespace

TPointString* TLumaRBlokReader::ReadPoints() {
  auto reader = OpenLayerReader<TLumarPointReader>(*this, "Chybný soubor Bodů -");
  if (!reader) return nullptr;
  HandOver(*reader, true);
  if (!reader->PrepareCondition()) return nullptr;
  auto list = NewLayer<TPointString>(BlockName, "PNT");
  LogPartial(*reader);
  TProgressFrame frame(*reader);
  try {
    reader->SeekRecord(0);
    const std::int64_t count = reader->GetRecordCount();
    for (std::int64_t i = 0; i < count; ++i)
      if (TPointElement* point = reader->ReadNextPoint()) AddClipped(*reader, *list, point, false);
  } catch (const std::exception&) {
    Log("Chyba čtení Bodů -" + BlockName);
  }
  return list.release();
}

TPolyLineString* TLumaRBlokReader::ReadLines() {
  auto reader = OpenLayerReader<TLumarLinReader>(*this, "Chybný soubor Linií -");
  if (!reader) return nullptr;
  HandOver(*reader, true);
  if (!reader->PrepareCondition()) return nullptr;
  auto list = NewLayer<TPolyLineString>(BlockName, "LIN");
  LogPartial(*reader);
  LogPartial(*reader->CoordReader());
  TProgressFrame frame(*reader);
  try {
    const std::int64_t count = reader->GetRecordCount();
    for (std::int64_t i = 0; i < count; ++i)
      if (TPolyLineElement* line = reader->ReadLineAt(i)) list->AddElement(line);
  } catch (const std::exception&) {
    Log("Chyba čtení Linií -" + BlockName);
  }
  return list.release();
}

TPointString* TLumaRBlokReader::ReadLineSymbols() {
  auto reader = OpenLayerReader<TLumarLinReader>(*this, "Chybný soubor Linií -");
  if (!reader) return nullptr;
  HandOver(*reader, false);
  // The condition stays the block reader's: the layer applies it.
  if (!PrepareCondition()) return nullptr;
  auto list = NewLayer<TPointString>(BlockName, "LINSYM");
  LogPartial(*reader);
  TProgressFrame frame(*reader);
  try {
    const std::int64_t count = reader->GetRecordCount();
    for (std::int64_t i = 0; i < count; ++i)
      if (TPointElement* point = reader->ReadLineSymbolAt(i)) AddClipped(*this, *list, point, true);
  } catch (const std::exception&) {
    Log("Chyba čtení liniových symbolů -" + BlockName);
  }
  return list.release();
}

TTextString* TLumaRBlokReader::ReadTexts() {
  auto reader = OpenLayerReader<TLumarTextReader>(*this, "Chybný soubor Textů -");
  if (!reader) return nullptr;
  HandOver(*reader, true);
  reader->CodePage = codePage_;
  if (!reader->PrepareCondition()) return nullptr;
  auto list = NewLayer<TTextString>(BlockName, "TXT");
  LogPartial(*reader);
  const std::int64_t count = reader->GetRecordCount();
  if (reader->TextLineCount() < count)
    Log(BlockName + ": Soubor " + kTextFileName + " má méně řádků (" + std::to_string(reader->TextLineCount()) +
        ") než záznamů v " + kTextBoxFileName + " (" + std::to_string(count) + ")");
  TProgressFrame frame(*reader);
  try {
    reader->SeekRecord(0);
    for (std::int64_t i = 0; i < count; ++i) {
      bool read = false;
      TTextElement* text = reader->ReadNextText(i, read);
      if (!read) break;
      if (text) AddClipped(*reader, *list, text, true);
    }
  } catch (const std::exception&) {
    Log("Chyba čtení Textů - " + BlockName);
  }
  return list.release();
}

// ---------------------------------------------------------------- areas

namespace {

// One pass of the area layer: every area is built (or found) once, its
// parent chain followed without recursion, and a parent link that would
// close a cycle or leads out of the file is dropped.
class TAreaLayerPass {
 public:
  TAreaLayerPass(TLumaRBlokReader& block, TLumarAreaBoundaryReader& reader, TAreaString& list)
      : block_(block), reader_(reader), list_(list), count_(reader.GetRecordCount()),
        state_(static_cast<std::size_t>(count_), kUnread), area_(static_cast<std::size_t>(count_), nullptr),
        isNew_(static_cast<std::size_t>(count_), false), parent_(static_cast<std::size_t>(count_), 0) {}

  void Run() {
    for (std::int64_t i = 1; i < count_; ++i) Process(i);
  }

 private:
  enum : std::uint8_t { kUnread, kInChain, kDone };

  // The chain from Index up to the first ancestor already done or without
  // a parent; each link of it is checked once.
  void Process(std::int64_t Index) {
    if (state_[U(Index)] != kUnread) return;
    std::vector<std::int64_t> chain{Index};
    state_[U(Index)] = kInChain;
    while (true) {
      const std::int64_t current = chain.back();
      Obtain(current);
      const std::int64_t parent = ParentOf(current);
      if (parent == 0 || state_[U(parent)] == kDone) break;
      if (state_[U(parent)] == kInChain) {
        block_.Log("Plocha č." + std::to_string(current) + " má v řetězu otců cyklus, otec č." +
                   std::to_string(parent) + " se nepoužije");
        parent_[U(current)] = 0;
        break;
      }
      state_[U(parent)] = kInChain;
      chain.push_back(parent);
    }
    // Parents first, as the layer lists them.
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) Finish(*at);
  }

  static std::size_t U(std::int64_t index) { return static_cast<std::size_t>(index); }

  // The area's parent index as its record gives it, checked; 0 for none.
  std::int64_t ParentOf(std::int64_t Index) {
    TAreaRecord record;
    if (!area_[U(Index)] || !reader_.ReadAreaRecordAt(Index, record)) return 0;
    std::int64_t parent = record.Parent;
    if (parent == record.Number) {
      block_.Log("Jako otce má plocha č." + std::to_string(record.Number) + " sama sebe !");
      parent = 0;
    } else if (parent >= count_) {
      block_.Log("Plocha č." + std::to_string(record.Number) + " má otce č." + std::to_string(parent) +
                 " mimo soubor ploch");
      parent = 0;
    } else if (parent < 0) {
      parent = 0;
    }
    parent_[U(Index)] = parent;
    return parent;
  }

  // The area at Index: from the register, or built; nil when its record is
  // no live area, misses the clip rectangle or cannot be built.
  void Obtain(std::int64_t Index) {
    TAreaRecord record;
    if (!reader_.ReadAreaRecordAt(Index, record) || !record.IsLiveArea()) return;
    if (!reader_.ClipAccepts(record.Box.MaxX, record.Box.MaxY, record.Box.MinX, record.Box.MinY)) return;
    TLumarBlockRegister* registry = reader_.GetRegister();
    if (auto* found = registry ? DynamicCast<TAreaElement>(registry->FindObject('P', record.Number)) : nullptr) {
      area_[U(Index)] = found;
      return;
    }
    reader_.SeekRecord(Index);
    area_[U(Index)] = reader_.ReadNextObject();
    isNew_[U(Index)] = area_[U(Index)] != nullptr;
  }

  void Finish(std::int64_t Index) {
    state_[U(Index)] = kDone;
    TAreaElement* area = area_[U(Index)];
    if (!area) return;
    const std::int64_t parent = parent_[U(Index)];
    if (TAreaElement* outer = parent > 0 ? area_[U(parent)] : nullptr) AddAsHole(Index, *area, *outer);
    if (!isNew_[U(Index)]) {
      if (inList_.insert(area).second) list_.AddElement(area);
      return;
    }
    reader_.FileObject(area, area->GetSpaceID());
    if (reader_.FilterAccepts('P', area) && reader_.ConditionAccepts(area)) {
      TElement* made = area;
      reader_.DoNewObject(made);
      inList_.insert(area);
      list_.AddElement(area);
    } else if (area->HolderCount() == 0) {
      TElement* doomed = area;
      FreeAndNil(doomed);
      area_[U(Index)] = nullptr;
    }
  }

  // The area's outline once more, as a hole of its parent, unless the
  // parent has a hole there already.
  void AddAsHole(std::int64_t Index, const TAreaElement& area, TAreaElement& outer) {
    if (outer.FindHoleAt(area.GetAbsRefX(), area.GetAbsRefY()) || HasHoleLabelledAs(area, outer)) return;
    reader_.SeekRecord(Index);
    auto* lines = dynamic_cast<TLumarAreaReader*>(&reader_);
    if (TAreaElement* hole = lines ? lines->ReadNextBoundary() : reader_.ReadNextObject()) outer.AddHole(hole);
  }

  // A hole read before for the area carries the area's label point as its
  // own reference point; it is found so even when the label point does not
  // lie inside the outline.
  static bool HasHoleLabelledAs(const TAreaElement& area, const TAreaElement& outer) {
    if (!outer.Holes()) return false;
    const auto& holes = outer.Holes()->Children();
    return std::any_of(holes.begin(), holes.end(), [&](const TElement* child) {
      const auto* hole = DynamicCast<TAreaElement>(child);
      return hole && hole->GetAbsRefX() == area.GetAbsRefX() && hole->GetAbsRefY() == area.GetAbsRefY();
    });
  }

  TLumaRBlokReader& block_;
  TLumarAreaBoundaryReader& reader_;
  TAreaString& list_;
  std::int64_t count_;
  std::vector<std::uint8_t> state_;
  std::vector<TAreaElement*> area_;
  std::vector<bool> isNew_;
  std::vector<std::int64_t> parent_;
  std::unordered_set<const TElement*> inList_;
};

}  // namespace

TAreaString* TLumaRBlokReader::ReadAreas() {
  std::unique_ptr<TLumarAreaBoundaryReader> reader;
  try {
    reader = ReadAreaAsBoundary ? NewObjectReader<TLumarAreaBoundaryReader>(BlockName, GetWCS())
                                : NewObjectReader<TLumarAreaReader>(BlockName, GetWCS());
  } catch (const std::exception&) {
    Log("Chybný soubor Ploch -" + BlockName);
    return nullptr;
  }
  HandOver(*reader, true);
  if (!reader->PrepareCondition()) return nullptr;
  auto list = NewLayer<TAreaString>(BlockName, "ARE");
  LogPartial(*reader);
  TProgressFrame frame(*reader);
  try {
    TAreaLayerPass(*this, *reader, *list).Run();
  } catch (const std::exception&) {
    Log("Chyba čtení Ploch - " + BlockName);
  }
  return list.release();
}

// ---------------------------------------------------------------- helpers

bool BlockMeetsRect(const std::string& BlockName, const TRealRect& Rect) {
  TLumaRBlokInfoReader info;
  info.ReadInfo(BlockName);
  if (info.MinX() == 0 && info.MaxX() == 0) return true;
  TRectEntity box;
  box.SetBounds(TRealRect{std::min(info.MinX(), info.MaxX()), std::min(info.MinY(), info.MaxY()),
                          std::max(info.MinX(), info.MaxX()), std::max(info.MinY(), info.MaxY())});
  return box.IntersectsRect(Rect.MinX, Rect.MinY, Rect.MaxX, Rect.MaxY);
}

TFiltrDruhuObjektu* CreateKindFilter(const std::string& LayerType, const std::vector<std::string>& Params) {
  for (const std::string& param : Params) {
    std::string name;
    std::string value;
    SplitAtChar(param, '=', name, value);
    if (name.empty() || (name.front() != '!' && name.front() != '-')) continue;
    std::vector<std::int32_t> kinds = KindNumbers(value);
    if (kinds.empty()) return nullptr;
    auto* filter = new TFiltrDruhuObjektu;
    filter->Exclude = name.front() == '-';
    filter->PropName = AsciiUpperCase(TrimBlanks(name.substr(1)));
    filter->SetKindList(LetterOfLayer(LayerType), std::move(kinds));
    return filter;
  }
  return nullptr;
}

TRaster* CreateRasterFromFile(const std::string& FileName) {
  if (!platform::FileExists(FileName)) return nullptr;
  // A file the raster server cannot open raises: the raster goes with it.
  std::unique_ptr<TRaster> raster(CreateElement<TRaster>());
  raster->SetFileName(FileName);
  return raster.release();
}

TSpaceEntityString* ReadBlockLayer(const std::string& LayerType, const std::string& BlockName,
                                   const std::vector<std::string>& Params, const TRealRect& Rect, bool Clip,
                                   const TMethod& OnNewObject) {
  const bool useRect = Rect.MinX != 0 && Rect.MinY != 0 && Rect.MaxX != 0 && Rect.MaxY != 0;
  if (useRect && !BlockMeetsRect(BlockName, Rect)) return nullptr;
  TLumaRBlokReader reader;
  reader.Create(BlockName);
  reader.SetObjectFilter(CreateKindFilter(LayerType, Params));
  reader.SetPropertiesFromList(Params);
  reader.OnNewObject = OnNewObject;
  if (useRect && Clip) {
    auto* clip = new TRectEntity;
    clip->SetBounds(Rect);
    reader.SetClipRect(clip);
  }
  const std::map<std::string, std::function<TSpaceEntityString*()>> layers{
      {"LIN", [&] { return reader.ReadLines(); }},       {"PNT", [&] { return reader.ReadPoints(); }},
      {"ARE", [&] { return reader.ReadAreas(); }},       {"TXT", [&] { return reader.ReadTexts(); }},
      {"LINSYM", [&] { return reader.ReadLineSymbols(); }}};
  const auto layer = layers.find(LayerType);
  TSpaceEntityString* list = layer == layers.end() ? nullptr : layer->second();
  if (!list) return nullptr;
  for (const std::string& param : Params) {
    std::string name;
    std::string value;
    if (!SplitAtChar(param, '=', name, value)) continue;
    if (!name.empty() && name.front() == '@') name.erase(0, 1);
    // As for the reader: only what the list stores.
    if (!name.empty() && MayTakeStoredData(*list, name)) list->SetPropertyText(name, value);
  }
  return list;
}

// ---------------------------------------------------------------- class descriptions

TClass TLumaRBlokInfoReader::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumaRBlokInfoReader>("TLumaRBlokInfoReader", TLumarManipulator::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumaRBlokReader::StaticClass() {
  using E = TLumaRBlokReader;
  static const TClassInfo info = DescribeClass<E>(
      "TLumaRBlokReader", TLumaRReader::StaticClass(), "T_lumimp",
      {NotStored(ReadProp("CodePage", &E::CodePage)), FieldProp("ReadAreaAsBoundary", &E::ReadAreaAsBoundary)});
  return &info;
}

void RegisterBlockReaderClasses() {
  for (TClass cls : {TLumaRBlokInfoReader::StaticClass(), TLumaRBlokReader::StaticClass()}) RegisterKestuClass(cls);
}
