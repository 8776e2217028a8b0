#include "render/area_symbols/area_symbol_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "platform/files.h"
#include "render/devices/device.h"
#include "spatial/geometry/projection.h"

namespace {

constexpr std::int32_t kLargestLength = 536870911;
constexpr std::size_t kNameLength = 30;

// A diagonal set's widths along the slant, before the one pixel its runs
// gain when drawn.
std::int32_t Diagonal(std::int32_t pixels) {
  const double slanted = std::round(pixels * std::sqrt(2.0));
  if (slanted == 0) return 1;
  return static_cast<std::int32_t>(std::min<double>(slanted, std::numeric_limits<std::int32_t>::max()));
}

// The hatch direction of an angle in degrees, to the nearest 45 and without
// its sense: 0 to 3.  Taken within one half turn first, so that no angle
// leaves the range of an integer; one that is no number counts as 0.
std::uint8_t DirectionOfAngle(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  return static_cast<std::uint8_t>(static_cast<int>(std::round(std::fmod(std::fabs(degrees), 180.0) / 45)) % 4);
}

}  // namespace

TCteniPlosnychZnacek::TCteniPlosnychZnacek(const std::string& fileName, TDevice* device)
    : TCteniParametru(fileName), device_(device) {}

bool TCteniPlosnychZnacek::Next() {
  if (ended_ || !Opened()) return false;
  ReadParameter(isKey_, isSection_, isLast_, key_, value_);
  ended_ = isLast_;
  return true;
}

std::int32_t TCteniPlosnychZnacek::Pixels(bool vertical) {
  const double millimetres = ValueAsReal();
  if (millimetres < 0) {
    negativeLength_ = true;
    return 0;
  }
  if (!device_) return 0;
  const TProjection& projection = *device_->Projection();
  const double world = millimetres / 1000 * projection.VirtualScale();
  std::int32_t pixels = vertical ? projection.WorldToDeviceDY(world) : projection.WorldToDeviceDX(world);
  pixels = std::clamp(pixels, 0, kLargestLength);
  return pixels == 0 && millimetres > 0 ? 1 : pixels;
}

std::unique_ptr<TSrafa> TCteniPlosnychZnacek::ReadSet(std::uint8_t direction) {
  auto set = std::make_unique<TSrafa>();
  // Widths and spacings run across the hatch lines, dashes along them.
  const bool acrossIsVertical = direction == hd0;
  while (Next()) {
    if (isSection_) {
      if (value_ == "END") break;
      continue;
    }
    if (!isKey_) continue;
    if (key_ == "SIRKA") set->Sirka = Pixels(acrossIsVertical);
    else if (key_ == "VZDALENOST") set->Vzdalenost = Pixels(acrossIsVertical);
    else if (key_ == "D1") set->D1 = Pixels(!acrossIsVertical);
    else if (key_ == "DELKAVZORU") set->DelkaVzoru = Pixels(!acrossIsVertical);
    else if (key_ == "D2") set->D2 = Pixels(!acrossIsVertical);
    else if (key_ == "BARVA") {
      set->Barva = static_cast<std::int16_t>(ValueAsInteger());
      if (set->Barva != background_) allBackground_ = false;
    }
  }
  if (set->Sirka < 1) return nullptr;
  set->Dashed = set->DelkaVzoru > 0;
  if (direction == hd45 || direction == hd135) {
    set->Sirka = Diagonal(set->Sirka) - 1;
    set->Vzdalenost = static_cast<std::int32_t>(std::min<std::int64_t>(
        std::int64_t{Diagonal(set->Vzdalenost)} + 1, std::numeric_limits<std::int32_t>::max()));
  }
  return set;
}

std::unique_ptr<TVrstvaSraf> TCteniPlosnychZnacek::ReadLayer() {
  auto layer = std::make_unique<TVrstvaSraf>();
  while (Next()) {
    if (isSection_) {
      if (value_ == "END") break;
      if (value_ == "SRAFA")
        if (auto set = ReadSet(layer->Direction)) layer->Sets.insert(layer->Sets.begin(), std::move(set));
      continue;
    }
    if (isKey_ && key_ == "UHEL")
      layer->Direction = DirectionOfAngle(ValueAsReal());
  }
  if (layer->Sets.empty()) return nullptr;
  return layer;
}

std::unique_ptr<TPlosnaZnacka> TCteniPlosnychZnacek::ReadSymbol(std::int32_t code) {
  if (code < 1000) return nullptr;
  auto symbol = std::make_unique<TPlosnaZnacka>();
  bool found = false;
  while (!found) {
    bool header = false;
    while (!header && Next()) header = isSection_ && value_ == "PLOSNAZNACKA";
    if (!header || !Next()) return nullptr;
    found = isKey_ && key_ == "KOD" && ValueAsInteger() == code && !ConversionError();
  }
  symbol->Kod = code;
  background_ = -1;
  allBackground_ = true;
  negativeLength_ = false;
  while (Next()) {
    if (isSection_) {
      if (value_ == "END") break;
      if (value_ == "VRSTVASRAF")
        if (auto layer = ReadLayer()) symbol->Layers.insert(symbol->Layers.begin(), std::move(layer));
      continue;
    }
    if (!isKey_) continue;
    if (key_ == "KOD") symbol->Kod = ValueAsInteger();
    else if (key_ == "NAZEV") symbol->Nazev = value_.substr(0, kNameLength);
    else if (key_ == "NAHRADNIZNACKA") symbol->Nahradniznacka = ValueAsInteger();
    else if (key_ == "ZAKLADNIZNACKA") symbol->Zakladniznacka = ValueAsInteger();
    else if (key_ == "PODKLAD") {
      background_ = ValueAsInteger();
      symbol->Podklad = static_cast<std::int16_t>(background_);
    }
  }
  symbol->NoHatching = allBackground_;
  if (negativeLength_)
    PostTextMessage(nullptr, msgLogText,
                    "Srafy.txt: záporná délka ve značce " + std::to_string(symbol->Kod) + " čtena jako 0", nullptr);
  if (symbol->Kod < 0 || (symbol->Zakladniznacka <= 0 && symbol->Layers.empty())) return nullptr;
  return symbol;
}

TPlosneZnacky::TPlosneZnacky() = default;

TPlosneZnacky::TPlosneZnacky(const std::string& fileName) { SetName(fileName); }

TPlosnaZnacka* TPlosneZnacky::GetSymbol(std::int32_t code) {
  for (TElement* child : Children())
    if (auto* symbol = DynamicCast<TPlosnaZnacka>(child); symbol && symbol->Kod == code) return symbol;
  return LoadSymbol(code);
}

TPlosnaZnacka* TPlosneZnacky::LoadSymbol(std::int32_t code) {
  if (notFound_.Holds(GetName(), code)) return nullptr;
  TCteniPlosnychZnacek reader(notFound_.File(), device_);
  std::unique_ptr<TPlosnaZnacka> symbol = reader.Opened() ? reader.ReadSymbol(code) : nullptr;
  if (!symbol) {
    notFound_.Add(code);
    return nullptr;
  }
  TPlosnaZnacka* kept = symbol.get();
  AddElement(symbol.release());
  return kept;
}

TClass TPlosneZnacky::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TPlosneZnacky>("TPlosneZnacky", TNameEntity::StaticClass(), "e_PlZn", {});
  return &info;
}

void RegisterAreaSymbolReaderClasses() { RegisterKestuClass(TPlosneZnacky::StaticClass()); }
