#include "cartography/symbols/point_symbols.h"

#include <algorithm>

#include "framework/core/class_registry.h"
#include "framework/values/line_scanner.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr double kSmallestSize = 0.0001;

std::uint8_t ModeOfLetter(char letter) {
  switch (letter) {
    case 'D':
      return 1;
    case 'M':
      return 2;
    default:
      return 0;
  }
}

}  // namespace

bool TBGISymbol::LoadFile(std::int32_t number, const std::string& path) {
  if (Loaded() && (number == loadedEntry_ || (HasName() && path == GetName()))) return true;
  loadedEntry_ = -1;
  SetName("");
  if (!ReadFontFile(path, true)) return false;
  loadedEntry_ = number;
  SetName(path);
  return true;
}

TLumaRSymbols::TLumaRSymbols() = default;

TLumaRSymbols::TLumaRSymbols(const std::string& listFile) { ReadList(listFile); }

TLumaRSymbols::~TLumaRSymbols() = default;

void TLumaRSymbols::ReadList(const std::string& listFile) {
  const std::string found = platform::FindFileAnyCase(listFile);
  if (!platform::FileExists(found)) return;
  font_ = std::make_unique<TBGISymbol>();
  text_ = std::make_unique<TBGIText>();
  font_->SetText(text_.get(), false);
  font_->SetDevice(device_);
  for (const std::string& line : platform::ReadTextLines(found)) {
    if (line.empty()) continue;
    TCtiRadekClass scanner(line);
    auto entry = std::make_unique<TBGIFontFile>();
    entry->Number = scanner.ReadInteger();
    scanner.SkipBlanks();
    scanner.ReadUntil(' ', entry->Name);
    entry->Name = TrimBlanks(entry->Name);
    scanner.SkipBlanks();
    entry->HeightMode = ModeOfLetter(platform::UpperCp1250(scanner.ReadChar()));
    scanner.SkipBlanks();
    entry->Size = scanner.ReadReal();
    scanner.SkipBlanks();
    entry->PenSize = scanner.ReadReal();
    if (entry->Number >= 1 && entry->Size >= kSmallestSize) AddElement(entry.release());
  }
}

void TLumaRSymbols::SetDevice(TDevice* device) {
  device_ = device;
  if (font_) font_->SetDevice(device);
}

TBGIFontFile* TLumaRSymbols::FindFontFile(std::int32_t number) const {
  for (TElement* child : Children())
    if (auto* entry = DynamicCast<TBGIFontFile>(child); entry && entry->Number == number) return entry;
  return nullptr;
}

TBGIFontFile* TLumaRSymbols::LoadedEntryOf(std::int32_t code) {
  // A remainder past one byte names no character.
  if (!font_ || !device_ || code < 0 || code % 1000 > 255) return nullptr;
  TBGIFontFile* entry = FindFontFile(code / 1000);
  if (!entry || !font_->LoadFile(entry->Number, SymbolLibraryFile(entry->Name))) return nullptr;
  return entry;
}

void TLumaRSymbols::Draw(const TBGIFontFile& entry, std::int32_t code, double direction, double X, double Y) {
  TProjection* projection = device_->Projection();
  if (platform::CanvasPen* pen = device_->GetPen())
    pen->Width = std::max(1, projection->WorldToDeviceLength(entry.PenSize / 1000 * projection->VirtualScale()));
  text_->StartPoint()->SetX(X);
  text_->StartPoint()->SetY(Y);
  text_->Height = entry.Size;
  text_->WidthFactor = 1;
  text_->Direction = direction;
  text_->Slant = 0;
  text_->Spacing = 0;
  text_->Flags = kTextSizedByMode;
  text_->HeightMode = entry.HeightMode;
  font_->DrawString(std::string(1, static_cast<char>(code % 1000)));
}

void TLumaRSymbols::DrawSymbol(std::int16_t colourCode, std::int32_t code, double direction, double X, double Y) {
  TBGIFontFile* entry = LoadedEntryOf(code);
  if (!entry) return;
  if (platform::CanvasPen* pen = device_->GetPen()) pen->Color = ColourOfCode(colourCode);
  Draw(*entry, code, direction, X, Y);
}

void TLumaRSymbols::DrawElementSymbol(TSpaceEntity* element, std::int32_t code) {
  if (!element) return;
  if (TBGIFontFile* entry = LoadedEntryOf(code))
    Draw(*entry, code, element->Angle, element->GetAbsRefX(), element->GetAbsRefY());
}

TClass TBGIFontFile::StaticClass() {
  using E = TBGIFontFile;
  static const TClassInfo info = DescribeClass<E>("TBGIFontFile", TOwnerElement::StaticClass(), "LumaRSymbols", {});
  return &info;
}

TClass TBGISymbol::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TBGISymbol>("TBGISymbol", TBGIFont::StaticClass(), "LumaRSymbols", {});
  return &info;
}

TClass TLumaRSymbols::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumaRSymbols>("TLumaRSymbols", TOwnerEntity::StaticClass(), "LumaRSymbols", {});
  return &info;
}

void RegisterPointSymbolClasses() {
  RegisterKestuClass(TBGIFontFile::StaticClass());
  RegisterKestuClass(TBGISymbol::StaticClass());
  RegisterKestuClass(TLumaRSymbols::StaticClass());
}
