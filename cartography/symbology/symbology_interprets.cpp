#include "cartography/symbology/symbology_interprets.h"

#include <algorithm>
#include <exception>
#include <numbers>
#include <vector>

#include "block/props/bgi_elements.h"
#include "block/props/lumar_props.h"
#include "cartography/symbology/plain_drawing.h"
#include "cartography/symbols/latin2.h"
#include "cartography/symbols/line_symbols.h"
#include "cartography/symbols/point_symbols.h"
#include "cartography/symbols/stroke_font.h"
#include "framework/core/class_registry.h"
#include "platform/canvas.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "render/area_symbols/area_symbol.h"
#include "render/area_symbols/area_symbol_reader.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

namespace {

// The library file's name when the file exists, else empty.
std::string ExistingLibraryFile(const std::string& name) {
  const std::string file = platform::FindFileAnyCase(SymbolLibraryFile(name));
  return platform::FileExists(file) ? file : std::string();
}

constexpr std::int32_t kFirstSymbolCode = 1000;

}  // namespace

// ----------------------------------------------------------------
// TInterpretLumObject

bool TInterpretLumObject::GetLayerFlag(const std::string& name) const {
  const TElement* properties = LayerProperties();
  return properties && properties->GetPropertyBoolean(name);
}

int TInterpretLumObject::GetLayerNumber(const std::string& name) const {
  const TElement* properties = LayerProperties();
  return properties ? properties->GetPropertyInteger(name) : 0;
}

void TInterpretLumObject::BeforeRun() {
  TRectInterpret::BeforeRun();
  // Each object of a layer comes in a walk of its own after the layer's:
  // the layer's overrides hold for its own objects only.
  TElement* layer = layer_.Get();
  TElement* input = Input();
  if (layer && (input == layer || (input && input->HasOwner(layer)))) return;
  layer_.Set(nullptr);
  layerProperties_.Set(nullptr);
}

bool TInterpretLumObject::MetLayer(TElement* element, TClass layerClass) {
  if (!element || !element->InheritsFrom(layerClass)) return false;
  layer_.Set(element);
  layerProperties_.Set(static_cast<TSpaceEntity*>(element)->Properties());
  return true;
}

std::uint32_t TInterpretLumObject::ObjectColour(std::int16_t colourCode) const {
  if (GetLayerFlag("USECOLOR")) return static_cast<std::uint32_t>(GetLayerNumber("COLOR"));
  return ColourOfCode(colourCode);
}

bool TInterpretLumObject::Inside(const TSpaceEntity& entity) const {
  return entity.IsInsideRect(MinX, MinY, MaxX, MaxY);
}

bool TInterpretLumObject::Meets(const TSpaceEntity& entity) const {
  return entity.IntersectsRect(MinX, MinY, MaxX, MaxY);
}

bool TInterpretLumObject::LayerMayMeet(const TSpaceEntity& layer) const { return !layer.IsValid() || Meets(layer); }

TClass TInterpretLumObject::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretLumObject>("TInterpretLumObject", TRectInterpret::StaticClass(), "I_Lumar", {});
  return &info;
}

// ----------------------------------------------------------------
// TInterpretLumBodu

TInterpretLumBodu::TInterpretLumBodu() = default;
TInterpretLumBodu::~TInterpretLumBodu() = default;

bool TInterpretLumBodu::IsItsClass(TElement* element) {
  return DynamicCast<TPointElement>(element) || DynamicCast<TPointString>(element);
}

bool TInterpretLumBodu::QGoInside(TElement* element) { return DynamicCast<TPointString>(element) != nullptr; }

bool TInterpretLumBodu::QProcessBefore(TElement* element) {
  if (MetLayer(element, TPointString::StaticClass())) return false;
  return DynamicCast<TPointElement>(element) != nullptr;
}

void TInterpretLumBodu::AttachDevice(TDevice* device) {
  TInterpretLumObject::AttachDevice(device);
  symbols_.reset();
  if (const std::string file = ExistingLibraryFile("Fonty.txt"); !file.empty()) {
    symbols_ = std::make_unique<TLumaRSymbols>(file);
    symbols_->SetDevice(device);
  }
}

void TInterpretLumBodu::DetachDevice() {
  symbols_.reset();
  TInterpretLumObject::DetachDevice();
}

void TInterpretLumBodu::Process(TElement* element) {
  auto* point = DynamicCast<TPointElement>(element);
  if (!point) {
    TInterpretLumObject::Process(element);
    return;
  }
  if (!Inside(*point)) return;
  try {
    DrawPoint(*point);
  } catch (const std::exception&) {
    // One point that cannot be drawn must not end the drawing of the rest.
    platform::Beep();
  }
}

void TInterpretLumBodu::DrawPoint(TSpaceEntity& point) {
  const auto* props = DynamicCast<TLumarPointProps>(point.Properties());
  if (!props) return;
  const std::int32_t code = GetLayerFlag("USESYMBOL") ? GetLayerNumber("SYMBOL") : props->Znacka;
  TDevice& device = *Device();
  device.SetPen({ObjectColour(props->Barva), 1, platform::PenStyle::Solid, platform::PenMode::Copy});
  if (symbols_ && code >= kFirstSymbolCode) {
    symbols_->DrawElementSymbol(&point, code);
    return;
  }
  DrawPointCross(device, point);
}

TClass TInterpretLumBodu::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretLumBodu>("TInterpretLumBodu", TInterpretLumObject::StaticClass(), "I_Lumar", {});
  return &info;
}

// ----------------------------------------------------------------
// TInterpretLumTextu

TInterpretLumTextu::TInterpretLumTextu() = default;
TInterpretLumTextu::~TInterpretLumTextu() = default;

bool TInterpretLumTextu::IsItsClass(TElement* element) { return DynamicCast<TTextElement>(element) != nullptr; }

bool TInterpretLumTextu::QProcessBefore(TElement* element) {
  if (MetLayer(element, TTextString::StaticClass())) return false;
  return element && element->ClassType() == TTextElement::StaticClass();
}

void TInterpretLumTextu::AttachDevice(TDevice* device) {
  TInterpretLumObject::AttachDevice(device);
  if (!text_) text_ = std::make_unique<TBGIText>();
  if (!font_) {
    font_ = std::make_unique<TBGIFont>();
    font_->SetText(text_.get(), false);
  }
  font_->SetDevice(device);
  fontFailed_ = false;
}

void TInterpretLumTextu::DetachDevice() {
  font_.reset();
  text_.reset();
  TInterpretLumObject::DetachDevice();
}

void TInterpretLumTextu::ReView(TKestuMessage* message, bool& handled) {
  TDevice* device = Device();
  if (!device) return TInterpretLumObject::ReView(message, handled);
  device->Page()->SetColor(0xFFFFFF);
  device->BeginDraw();
  TInterpretLumObject::ReView(message, handled);
  device->EndDraw();
}

bool TInterpretLumTextu::TakeText(const TTextElement& element) {
  const auto* props = DynamicCast<TLumarTextProps>(element.Properties());
  if (!props) return false;
  TBGIText& text = *text_;
  text.Druh = props->Druh;
  text.Barva = props->Barva;
  text.Znacka = props->Znacka;
  text.Font = props->LumarFont;
  text.Height = props->Height;
  text.WidthFactor = props->WidthCoef;
  text.Direction = props->Direction;
  text.Slant = props->Slope;
  text.Spacing = props->Distance;
  text.Flags = props->TextAtrib;
  text.HeightMode = props->TextMode;
  text.StartPoint()->SetX(props->StartPoint()->GetX());
  text.StartPoint()->SetY(props->StartPoint()->GetY());
  if (props->CodePage == cpWindows) {
    // The stroke fonts of Latin 2 draw these texts: their letters move to
    // the Latin 2 places, kept in memory as every text is.
    text.CodePage = cpLatin2;
    text.Veta = platform::Cp1250ToUtf8(ConvertToLatin2(platform::Utf8ToCp1250(element.Text)));
  } else {
    text.CodePage = props->CodePage;
    text.Veta = element.Text;
  }
  return true;
}

void TInterpretLumTextu::Process(TElement* element) {
  auto* textElement = DynamicCast<TTextElement>(element);
  if (!textElement || !font_) {
    TInterpretLumObject::Process(element);
    return;
  }
  if (fontFailed_) {
    Log("LumaR Text interpret - FontError !");
    return;
  }
  if (!TakeText(*textElement)) return;
  TBGIText& text = *text_;
  // The font reports a file it cannot open once; the texts after it only log.
  if (!font_->LoadFont(text.Font, text.CodePage)) {
    fontFailed_ = true;
    return;
  }
  font_->UpdateTextRect();
  if (!text.Overlaps(MinX, MinY, MaxX, MaxY)) return;
  Device()->SetPen({ObjectColour(text.Barva), 1, platform::PenStyle::Solid, platform::PenMode::Copy});
  font_->DrawText();
}

TClass TInterpretLumTextu::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretLumTextu>("TInterpretLumTextu", TInterpretLumObject::StaticClass(), "I_Lumar", {});
  return &info;
}

// ----------------------------------------------------------------
// TInterpretLumLinii

TInterpretLumLinii::TInterpretLumLinii() = default;
TInterpretLumLinii::~TInterpretLumLinii() = default;

bool TInterpretLumLinii::IsItsClass(TElement* element) {
  return DynamicCast<TPolyLineElement>(element) || DynamicCast<TPolyLineString>(element);
}

bool TInterpretLumLinii::QGoInside(TElement*) { return false; }

bool TInterpretLumLinii::QGoInsideAfter(TElement* element) {
  auto* layer = DynamicCast<TPolyLineString>(element);
  return layer && LayerMayMeet(*layer);
}

bool TInterpretLumLinii::QProcessBefore(TElement* element) {
  if (MetLayer(element, TPolyLineString::StaticClass())) return false;
  return DynamicCast<TPolyLineElement>(element) && !DynamicCast<TAreaElement>(element);
}

void TInterpretLumLinii::AttachDevice(TDevice* device) {
  TInterpretLumObject::AttachDevice(device);
  lineSymbols_.reset();
  symbols_.reset();
  if (!device) return;
  const TPageProjection& projection = *device->Projection();
  thinPen_ = 1;
  thickPen_ = std::min(projection.WorldToDeviceLength(0.0007 * projection.VirtualScale()), 4);
  if (const std::string file = ExistingLibraryFile("linzn.txt"); !file.empty()) {
    lineSymbols_ = std::make_unique<TLinioveZnacky>(file);
    lineSymbols_->VisibleRect = {MinX, MinY, MaxX, MaxY};
    lineSymbols_->SetDevice(device);
  }
  if (const std::string file = ExistingLibraryFile("Fonty.txt"); !file.empty()) {
    symbols_ = std::make_unique<TLumaRSymbols>(file);
    symbols_->SetDevice(device);
  }
}

void TInterpretLumLinii::DetachDevice() {
  lineSymbols_.reset();
  symbols_.reset();
  TInterpretLumObject::DetachDevice();
}

void TInterpretLumLinii::Process(TElement* element) {
  auto* line = DynamicCast<TPolyLineElement>(element);
  if (!line) {
    TInterpretLumObject::Process(element);
    return;
  }
  if (!Meets(*line)) return;
  std::int16_t colourCode = 13;
  std::int32_t code = 0;
  std::int32_t pointSymbol = 0;
  if (const auto* props = DynamicCast<TLumarLineProps>(line->Properties())) {
    colourCode = props->Barva;
    code = props->Znacka;
    pointSymbol = props->Symbol;
  }
  if (colourCode == 0) return;
  if (GetLayerFlag("USESYMBOL")) code = GetLayerNumber("SYMBOL");
  TDevice& device = *Device();
  TLiniovaZnacka* symbol = code >= kFirstSymbolCode && lineSymbols_ ? lineSymbols_->GetSymbol(code) : nullptr;
  if (symbol) {
    symbol->Draw(device, {MinX, MinY, MaxX, MaxY}, true, VerticesOf(*line), colourCode);
  } else if (code >= 0) {
    device.SetPen({ObjectColour(colourCode), code < 4 ? thinPen_ : thickPen_, platform::PenStyle::Solid,
                   platform::PenMode::Copy});
    DrawPolyline(device, *line);
  }
  if (pointSymbol >= kFirstSymbolCode && symbols_)
    symbols_->DrawSymbol(13, pointSymbol, std::numbers::pi / 2 + line->Angle, line->GetAbsRefX(), line->GetAbsRefY());
}

TClass TInterpretLumLinii::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretLumLinii>("TInterpretLumLinii", TInterpretLumObject::StaticClass(), "I_Lumar", {});
  return &info;
}

// ----------------------------------------------------------------
// TInterpretLumPloch

TInterpretLumPloch::TInterpretLumPloch() = default;
TInterpretLumPloch::~TInterpretLumPloch() = default;

bool TInterpretLumPloch::IsItsClass(TElement* element) {
  return DynamicCast<TAreaString>(element) || DynamicCast<TAreaElement>(element);
}

// A layer of areas is walked here, and the universal interpret does not
// hand the areas it met so back to this interpret when it walks the layer
// after it.
bool TInterpretLumPloch::QGoInside(TElement* element) { return !DynamicCast<TAreaElement>(element); }

bool TInterpretLumPloch::QGoInsideAfter(TElement* element) {
  return element && element->ClassType() == TAreaString::StaticClass() &&
         LayerMayMeet(*static_cast<TAreaString*>(element));
}

bool TInterpretLumPloch::QProcessBefore(TElement* element) {
  if (MetLayer(element, TAreaString::StaticClass())) return false;
  auto* area = DynamicCast<TAreaElement>(element);
  if (!area || !Device()) return false;
  return area->GetMaxSide() >= Device()->Projection()->DeviceToWorldLength(3) && Meets(*area);
}

void TInterpretLumPloch::AttachDevice(TDevice* device) {
  TInterpretLumObject::AttachDevice(device);
  areaSymbols_ = std::make_unique<TPlosneZnacky>(SymbolLibraryFile("Srafy.txt"));
  areaSymbols_->SetDevice(device);
}

void TInterpretLumPloch::DetachDevice() {
  areaSymbols_.reset();
  TInterpretLumObject::DetachDevice();
}

void TInterpretLumPloch::Process(TElement* element) {
  auto* area = DynamicCast<TAreaElement>(element);
  if (!area) {
    TInterpretLumObject::Process(element);
    return;
  }
  std::int32_t code = 1;
  if (const auto* props = DynamicCast<TLumarAreaProps>(area->Properties())) code = props->Znacka;
  if (GetLayerFlag("USESYMBOL")) code = GetLayerNumber("SYMBOL");
  // An area bounded by the block's lines holds no vertices itself: what is
  // drawn is its plain geometry with its holes.
  std::unique_ptr<TAreaElement> geometry;
  if (const auto* boundary = DynamicCast<TPolyLineAreaElement>(area)) {
    geometry.reset(boundary->CreateAreaWithHoles());
    area = geometry.get();
  }
  TDevice& device = *Device();
  device.SetBrush({0xFFFFFF, platform::BrushStyle::Clear});
  const platform::CanvasPen pen = device.GetPen() ? *device.GetPen() : platform::CanvasPen{};
  if (GetLayerFlag("USECOLOR")) {
    device.SetBrush({static_cast<std::uint32_t>(GetLayerNumber("COLOR")), platform::BrushStyle::Solid});
    device.SetPen({pen.Color, pen.Width, platform::PenStyle::Clear, pen.Mode});
    device.DrawArea(area);
  } else if (code >= 1 && code < kFirstSymbolCode) {
    // A fill by colour code has no outline either: the area's own lines draw
    // its border.
    device.SetBrush({ColourOfCode(static_cast<std::int16_t>(code)), platform::BrushStyle::Solid});
    device.SetPen({pen.Color, pen.Width, platform::PenStyle::Clear, pen.Mode});
    device.DrawArea(area);
  } else if (code >= kFirstSymbolCode && areaSymbols_) {
    if (TPlosnaZnacka* symbol = areaSymbols_->GetSymbol(code)) {
      TPolyPolygon polygons;
      device.GetAreaPolyPolygon(area, polygons);
      if (polygons.RingCount > 0)
        symbol->Draw(device, polygons.Points.get(), polygons.Counts.get(), polygons.RingCount);
    }
  }
}

TClass TInterpretLumPloch::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TInterpretLumPloch>("TInterpretLumPloch", TInterpretLumObject::StaticClass(), "I_Lumar", {});
  return &info;
}

void RegisterSymbologyInterpretClasses() {
  for (TClass cls :
       {TInterpretLumObject::StaticClass(), TInterpretLumBodu::StaticClass(), TInterpretLumTextu::StaticClass(),
        TInterpretLumLinii::StaticClass(), TInterpretLumPloch::StaticClass()})
    RegisterKestuClass(cls);
}
