#include "cartography/symbols/line_symbols.h"

#include <cmath>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "spatial/geometry/plane_math.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr std::size_t kNameLength = 30;

}  // namespace

TLiniovaZnacka::TLiniovaZnacka() = default;
TLiniovaZnacka::~TLiniovaZnacka() = default;

void TLiniovaZnacka::Draw(TDevice& device, const TRealRect& visible, bool clip, const std::vector<TRealPoint>& line,
                          std::int16_t lineColour) {
  for (auto& chain : Chains) {
    chain->UpdateTooSmall(device);
    chain->DrawChain(device, visible, clip, line, lineColour);
  }
}

std::string TLinZnLibrary::VratSouborCislo(std::int32_t number) const {
  for (TElement* child : Children())
    if (auto* file = DynamicCast<TSouborLinZn>(child); file && file->Number == number) return file->GetName();
  return {};
}

bool TPaklicNaPetrklic::LoadFile(const std::string& path) {
  if (Loaded() && path == path_) return true;
  path_.clear();
  if (!ReadFontFile(path, true)) return false;
  path_ = path;
  return true;
}

void TPaklicNaPetrklic::BuildPoints(TPetrklicZn& element) const {
  element.Points.clear();
  if (!Loaded() || !FontData().HasGlyph(element.Kod)) return;
  const std::uint8_t width = FontData().Width(element.Kod);
  const double scale = element.Velikost / (width == 0 ? 1 : width);
  const double c = std::cos(element.Uhel);
  const double s = std::sin(element.Uhel);
  for (const TStroke& stroke : FontData().Strokes(element.Kod)) {
    const double x = stroke.X * scale;
    const double y = stroke.Y * scale;
    element.Points.push_back({static_cast<std::uint8_t>(stroke.Draw ? 1 : 0), {x * c - y * s, x * s + y * c}, {}});
  }
}

TCteniLiniovychZnacek::TCteniLiniovychZnacek(const std::string& fileName, TDevice* device)
    : TCteniParametru(fileName), device_(device) {}

TCteniLiniovychZnacek::~TCteniLiniovychZnacek() = default;

bool TCteniLiniovychZnacek::Next() {
  if (ended_ || !Opened()) return false;
  ReadParameter(isKey_, isSection_, isLast_, key_, value_);
  ended_ = isLast_;
  return true;
}

double TCteniLiniovychZnacek::Millimetres() {
  const double virtualScale = device_ ? device_->Projection()->VirtualScale() : TProjection::DefaultVirtualScale;
  return ValueAsReal() / 1000 * virtualScale;
}

double TCteniLiniovychZnacek::Length() { return NonNegative(Millimetres()); }

double TCteniLiniovychZnacek::NonNegative(double value) {
  if (value >= 0) return value;
  negativeLength_ = true;
  return 0;
}

void TCteniLiniovychZnacek::SetFlag(TLinZnacka& element, std::uint16_t bit) {
  if (ValueAsBoolean())
    element.Flags |= bit;
  else
    element.Flags &= static_cast<std::uint16_t>(~bit);
}

std::unique_ptr<TLinZnacka> TCteniLiniovychZnacek::ReadElement(bool glyph) {
  std::unique_ptr<TLinZnacka> element = glyph ? std::make_unique<TPetrklicZn>() : std::make_unique<TLinZnacka>();
  auto* petrklic = glyph ? static_cast<TPetrklicZn*>(element.get()) : nullptr;
  struct FlagKey {
    const char* key;
    std::uint16_t bit;
  };
  static const FlagKey flagKeys[] = {{"CENTROVAT", kCentrovat},      {"NATACET", kNatacet},
                                     {"LAMATZNACKU", kLamatZnacku},  {"PRVNIBOD", kPrvniBod},
                                     {"POSLEDNIBOD", kPosledniBod},  {"LOMBOD", kLomBod},
                                     {"LOMBOD0", kLomBod0},          {"LOMBOD1", kLomBod1},
                                     {"KRESLITPOSLEDNI", kKreslitPosledni}, {"KRESLITZBYTEK", kKreslitZbytek}};
  while (Next()) {
    if (isSection_) {
      if (value_ == "END") break;
      continue;
    }
    if (!isKey_) continue;
    if (key_ == "VELIKOST") element->Velikost = Length();
    else if (key_ == "UHEL") element->Uhel = ValueAsReal() * M_PI / 180;
    else if (key_ == "VZDALENOST") element->Vzdalenost = Length();
    else if (key_ == "SILA") element->Sila = NonNegative(ValueAsReal());
    else if (key_ == "LAMATMEZERU" && !glyph) SetFlag(*element, kLamatMezeru);
    else if (key_ == "SOUBOR" && glyph) petrklic->Soubor = value_;
    else if (key_ == "KOD" && glyph) {
      const std::int32_t code = ValueAsInteger();
      petrklic->Kod = code >= 1 && code <= 255 ? static_cast<std::uint8_t>(code) : 0;
    } else {
      for (const FlagKey& flag : flagKeys)
        if (key_ == flag.key) SetFlag(*element, flag.bit);
    }
  }
  if (!glyph) {
    if (element->Velikost == 0 && element->Vzdalenost == 0) return nullptr;
    element->Prepare();
    return element;
  }
  if (petrklic->Kod == 0 || !(petrklic->Velikost > 0)) return nullptr;
  if (!glyphs_) {
    glyphs_ = std::make_unique<TPaklicNaPetrklic>();
    glyphs_->SetDevice(device_);
  }
  if (glyphs_->LoadFile(SymbolLibraryFile(petrklic->Soubor))) glyphs_->BuildPoints(*petrklic);
  return element;
}

std::unique_ptr<TRetezovaZnacka> TCteniLiniovychZnacek::ReadChain() {
  auto chain = std::make_unique<TRetezovaZnacka>();
  while (Next()) {
    if (isSection_) {
      if (value_ == "END") break;
      if (value_ == "CLANEK" || value_ == "PETRKLIC")
        if (auto element = ReadElement(value_ == "PETRKLIC")) chain->AddElement(std::move(element));
      continue;
    }
    if (!isKey_) continue;
    if (key_ == "ZAKLADNIZNACKA") chain->Zakladniznacka = ValueAsInteger();
    else if (key_ == "VZDALENOST") chain->Vzdalenost = Length();
    else if (key_ == "STRANA") {
      const std::string side = platform::AnsiUpperCase(value_);
      const std::size_t first = side.find_first_of("LPR");
      chain->Strana = first != std::string::npos && side[first] == 'L' ? 1 : 0;
    } else if (key_ == "BARVA") chain->Color = ValueAsInteger();
    else if (key_ == "KRESLITPRVNI") SetFlag(*chain, kKreslitPrvni);
    else if (key_ == "HARMONIKA") SetFlag(*chain, kHarmonika);
    else if (key_ == "SILA") chain->Sila = NonNegative(ValueAsReal());
  }
  if (chain->Zakladniznacka < 0 && chain->Elements.empty()) return nullptr;
  return chain;
}

std::unique_ptr<TLiniovaZnacka> TCteniLiniovychZnacek::ReadSymbol(std::int32_t code) {
  auto symbol = std::make_unique<TLiniovaZnacka>();
  negativeLength_ = false;
  if (code != 0) {
    while (symbol->Kod != code) {
      bool header = false;
      while (!header && Next()) header = isSection_ && value_ == "LINIOVAZNACKA";
      // The code must be the very next line after the header.
      if (!header || !Next()) return nullptr;
      symbol->Kod = -1;
      if (isKey_ && key_ == "KOD") symbol->Kod = ValueAsInteger();
      else if (isKey_ && key_ == "NAZEV") symbol->Nazev = value_.substr(0, kNameLength);
    }
  }
  while (Next()) {
    if (isSection_) {
      if (value_ == "END") break;
      if (value_ == "RETEZ")
        if (auto chain = ReadChain()) symbol->Chains.insert(symbol->Chains.begin(), std::move(chain));
      continue;
    }
    if (!isKey_) continue;
    if (key_ == "KOD") symbol->Kod = ValueAsInteger();
    else if (key_ == "NAZEV") symbol->Nazev = value_.substr(0, kNameLength);
    else if (key_ == "NAHRADNIZNACKA") symbol->Nahradniznacka = ValueAsInteger();
  }
  if (negativeLength_)
    PostTextMessage(nullptr, msgLogText,
                    "linzn.txt: záporná délka ve značce " + std::to_string(symbol->Kod) + " čtena jako 0", nullptr);
  if (symbol->Kod < 0 || symbol->Chains.empty()) return nullptr;
  return symbol;
}

TLinioveZnacky::TLinioveZnacky() = default;

TLinioveZnacky::TLinioveZnacky(const std::string& fileName) {
  const std::string found = platform::FindFileAnyCase(fileName);
  if (!platform::FileExists(found)) return;
  library_ = std::make_unique<TLinZnLibrary>();
  auto* file = new TSouborLinZn;
  file->SetName(found);
  library_->AddElement(file);
}

TLinioveZnacky::~TLinioveZnacky() = default;

TLiniovaZnacka* TLinioveZnacky::GetSymbol(std::int32_t code) {
  for (TElement* child : Children())
    if (auto* symbol = DynamicCast<TLiniovaZnacka>(child); symbol && symbol->Kod == code) return symbol;
  return LoadSymbol(code);
}

TLiniovaZnacka* TLinioveZnacky::LoadSymbol(std::int32_t code) {
  if (!Ready()) return nullptr;
  const std::string path = library_->VratSouborCislo(0);
  if (path.empty() || notFound_.Holds(path, code)) return nullptr;
  TCteniLiniovychZnacek reader(notFound_.File(), device_);
  std::unique_ptr<TLiniovaZnacka> symbol = reader.Opened() ? reader.ReadSymbol(code) : nullptr;
  if (!symbol) {
    notFound_.Add(code);
    return nullptr;
  }
  symbol->Kod = code;
  TLiniovaZnacka* kept = symbol.get();
  AddElement(symbol.release());
  return kept;
}

TClass TLiniovaZnacka::StaticClass() {
  static const TClassInfo info = DescribeClass<TLiniovaZnacka>(
      "TLiniovaZnacka", TElement::StaticClass(), "LinZnacky", {FieldProp("ByTrueColor", &TLiniovaZnacka::ByTrueColor)});
  return &info;
}

TClass TSouborLinZn::StaticClass() {
  static const TClassInfo info = DescribeClass<TSouborLinZn>("TSouborLinZn", TOwnerElement::StaticClass(), "LinZnacky", {});
  return &info;
}

TClass TLinZnLibrary::StaticClass() {
  static const TClassInfo info = DescribeClass<TLinZnLibrary>("TLinZnLibrary", TEntity::StaticClass(), "LinZnacky", {});
  return &info;
}

TClass TPaklicNaPetrklic::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPaklicNaPetrklic>("TPaklicNaPetrklic", TBGIFont::StaticClass(), "LinZnacky", {});
  return &info;
}

TClass TLinioveZnacky::StaticClass() {
  static const TClassInfo info = DescribeClass<TLinioveZnacky>("TLinioveZnacky", TEntity::StaticClass(), "LinZnacky", {});
  return &info;
}

void RegisterLineSymbolClasses() {
  RegisterLineSymbolElementClasses();
  RegisterKestuClass(TLiniovaZnacka::StaticClass());
  RegisterKestuClass(TSouborLinZn::StaticClass());
  RegisterKestuClass(TLinZnLibrary::StaticClass());
  RegisterKestuClass(TPaklicNaPetrklic::StaticClass());
  RegisterKestuClass(TLinioveZnacky::StaticClass());
}
