#include "cartography/symbology/general_interprets.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <numbers>

#include "block/props/lumar_props.h"
#include "cartography/symbology/plain_drawing.h"
#include "cartography/symbology/symbol_color_tool.h"
#include "cartography/symbols/line_symbols.h"
#include "cartography/symbols/point_symbols.h"
#include "framework/core/class_registry.h"
#include "framework/tools/tools.h"
#include "platform/canvas.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "render/area_symbols/area_symbol.h"
#include "render/area_symbols/area_symbol_reader.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/space_entities.h"

double ValueOfText(const std::string& text) {
  long double value = 0;
  return TryTextToFloat(TrimBlanks(text), value) ? static_cast<double>(value) : 0;
}

namespace {

std::string NameOfClass(TClass cls) { return cls ? cls->ClassName : std::string(); }

template <class T>
T* Linked(const TElementLink& link) {
  return static_cast<T*>(link.Get());
}

}  // namespace

// ---------------------------------------------------------------- TGeneralInterpret

void TGeneralInterpret::SetFileName(const std::string& name) {
  fileName_ = name;
  // The command line lies above rendering: it is known here by name only.
  std::unique_ptr<TElement> commandLine(CreateElementByClassName("TCommandLine"));
  auto* tool = DynamicCast<TTool>(commandLine.get());
  if (!tool) return;
  tool->SetInput(this);
  tool->SetPropertyText("FileName", name);
  tool->DoIt();
}

std::string TGeneralInterpret::GetInsideClassName() const { return NameOfClass(insideClass_); }
void TGeneralInterpret::SetInsideClassName(const std::string& name) { insideClass_ = FindKestuClass(name); }
std::string TGeneralInterpret::GetProcessClassName() const { return NameOfClass(processClass_); }
void TGeneralInterpret::SetProcessClassName(const std::string& name) { processClass_ = FindKestuClass(name); }

bool TGeneralInterpret::QGoInside(TElement* element) {
  return insideClass_ && element && element->InheritsFrom(insideClass_);
}

bool TGeneralInterpret::QProcessBefore(TElement* element) {
  return processClass_ && element && element->InheritsFrom(processClass_);
}

bool TGeneralInterpret::IsItsClass(TElement* element) { return TGeneralInterpret::QProcessBefore(element); }

TClass TGeneralInterpret::StaticClass() {
  using E = TGeneralInterpret;
  static const TClassInfo info = DescribeClass<E>(
      "TGeneralInterpret", TRectInterpret::StaticClass(), "I_Gen",
      {ReadWriteProp("FileName", &E::GetFileName, &E::SetFileName), FieldProp("SymbolsFile", &E::SymbolsFile),
       ReadWriteProp("InsideClassName", &E::GetInsideClassName, &E::SetInsideClassName),
       ReadWriteProp("ProcessClassName", &E::GetProcessClassName, &E::SetProcessClassName)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralColorInterpret

TResultTool* TGeneralColorInterpret::ToolColor() const { return Linked<TResultTool>(toolColor_); }
void TGeneralColorInterpret::SetToolColor(TResultTool* tool) { toolColor_.Set(tool); }
TColorPalette* TGeneralColorInterpret::Palette() const { return Linked<TColorPalette>(palette_); }

void TGeneralColorInterpret::SetPalette(TColorPalette* palette) {
  if (TElement* old = palette_.Get(); old && old != palette) FreeElement(old);
  palette_.Set(palette);
  if (palette && IndexOf(palette) < 0) AddElement(palette);
}

double TGeneralColorInterpret::Resolve(TElement* element, bool useConstant, double constant, TResultTool* tool,
                                       const std::string& property, double fallback) {
  if (useConstant) return constant;
  if (tool) {
    tool->SetInput(element);
    tool->DoIt();
    return ValueOfText(tool->Result);
  }
  if (!property.empty() && element) return ValueOfText(element->GetPropertyText(property));
  return fallback;
}

std::int32_t TGeneralColorInterpret::ResolveColor(TElement* element) {
  return static_cast<std::int32_t>(Resolve(element, UseColor, Color, ToolColor(), PropColor, Color));
}

std::uint32_t TGeneralColorInterpret::ColourOfValue(std::int32_t value) {
  return ColourOfColourValue(value, ColorByPalette ? Palette() : nullptr, ColorByLumar);
}

TClass TGeneralColorInterpret::StaticClass() {
  using E = TGeneralColorInterpret;
  static const TClassInfo info = DescribeClass<E>(
      "TGeneralColorInterpret", TGeneralInterpret::StaticClass(), "I_Gen",
      {FieldProp("Color", &E::Color), FieldProp("UseColor", &E::UseColor), FieldProp("PropColor", &E::PropColor),
       ReadWriteProp("ToolColor", &E::ToolColor, &E::SetToolColor), FieldProp("ColorByLumar", &E::ColorByLumar),
       FieldProp("ColorByPalette", &E::ColorByPalette), ReadWriteProp("Palette", &E::Palette, &E::SetPalette)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralXYInterpret

TResultTool* TGeneralXYInterpret::ToolX() const { return Linked<TResultTool>(toolX_); }
void TGeneralXYInterpret::SetToolX(TResultTool* tool) { toolX_.Set(tool); }
TResultTool* TGeneralXYInterpret::ToolY() const { return Linked<TResultTool>(toolY_); }
void TGeneralXYInterpret::SetToolY(TResultTool* tool) { toolY_.Set(tool); }
TResultTool* TGeneralXYInterpret::ToolHeight() const { return Linked<TResultTool>(toolHeight_); }
void TGeneralXYInterpret::SetToolHeight(TResultTool* tool) { toolHeight_.Set(tool); }

double TGeneralXYInterpret::ResolveX(TElement* element) { return Resolve(element, false, 0, ToolX(), PropX, ValX); }
double TGeneralXYInterpret::ResolveY(TElement* element) { return Resolve(element, false, 0, ToolY(), PropY, ValY); }
double TGeneralXYInterpret::ResolveHeight(TElement* element) {
  return Resolve(element, false, 0, ToolHeight(), PropHeight, ValHeight);
}

TClass TGeneralXYInterpret::StaticClass() {
  using E = TGeneralXYInterpret;
  static const TClassInfo info = DescribeClass<E>(
      "TGeneralXYInterpret", TGeneralColorInterpret::StaticClass(), "I_Gen",
      {FieldProp("ValX", &E::ValX), FieldProp("ValY", &E::ValY), FieldProp("ValHeight", &E::ValHeight),
       FieldProp("PropX", &E::PropX), FieldProp("PropY", &E::PropY), FieldProp("PropHeight", &E::PropHeight),
       ReadWriteProp("ToolX", &E::ToolX, &E::SetToolX), ReadWriteProp("ToolY", &E::ToolY, &E::SetToolY),
       ReadWriteProp("ToolHeight", &E::ToolHeight, &E::SetToolHeight)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralBrushInterpret

TResultTool* TGeneralBrushInterpret::ToolBrush() const { return Linked<TResultTool>(toolBrush_); }
void TGeneralBrushInterpret::SetToolBrush(TResultTool* tool) { toolBrush_.Set(tool); }

std::int32_t TGeneralBrushInterpret::ResolveBrush(TElement* element) {
  return static_cast<std::int32_t>(Resolve(element, UseBrush, Brush, ToolBrush(), PropBrush, 0));
}

TClass TGeneralBrushInterpret::StaticClass() {
  using E = TGeneralBrushInterpret;
  static const TClassInfo info = DescribeClass<E>(
      "TGeneralBrushInterpret", TGeneralXYInterpret::StaticClass(), "I_Gen",
      {FieldProp("Brush", &E::Brush), FieldProp("UseBrush", &E::UseBrush), FieldProp("PropBrush", &E::PropBrush),
       ReadWriteProp("ToolBrush", &E::ToolBrush, &E::SetToolBrush)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralSymbolColorInterpret

TSetUserSymbolColor* TGeneralSymbolColorInterpret::SymbolColorTool() const {
  return Linked<TSetUserSymbolColor>(symbolColorTool_);
}
void TGeneralSymbolColorInterpret::SetSymbolColorTool(TSetUserSymbolColor* tool) { symbolColorTool_.Set(tool); }

void TGeneralSymbolColorInterpret::ColourSymbol(TElement* symbol, TElement* element, bool fillBackground) {
  TSetUserSymbolColor* tool = SymbolColorTool();
  if (!tool) return;
  tool->SetInput(symbol);
  tool->FillBackground = fillBackground;
  tool->SetPalette(Palette());
  tool->SetToolColor(ToolColor());
  tool->Color = Color;
  tool->UseColor = UseColor;
  tool->ColorByLumar = ColorByLumar;
  tool->ColorByPalette = ColorByPalette;
  tool->SetElem(element);
  tool->DoIt();
}

TClass TGeneralSymbolColorInterpret::StaticClass() {
  using E = TGeneralSymbolColorInterpret;
  static const TClassInfo info =
      DescribeClass<E>("TGeneralSymbolColorInterpret", TGeneralBrushInterpret::StaticClass(), "I_Gen",
                       {ReadWriteProp("SymbolColorTool", &E::SymbolColorTool, &E::SetSymbolColorTool)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralAreaInterpret

TGeneralAreaInterpret::TGeneralAreaInterpret() = default;
TGeneralAreaInterpret::~TGeneralAreaInterpret() = default;

bool TGeneralAreaInterpret::IsItsClass(TElement* element) {
  return DynamicCast<TAreaElement>(element) || DynamicCast<TAreaString>(element);
}
bool TGeneralAreaInterpret::QGoInside(TElement*) { return false; }
bool TGeneralAreaInterpret::QGoInsideAfter(TElement* element) {
  return element && element->ClassType() == TAreaString::StaticClass();
}
bool TGeneralAreaInterpret::QProcessBefore(TElement* element) { return DynamicCast<TAreaElement>(element) != nullptr; }

void TGeneralAreaInterpret::AttachDevice(TDevice* device) {
  TGeneralSymbolColorInterpret::AttachDevice(device);
  if (SymbolsFile.empty()) SymbolsFile = SymbolLibraryFile("Srafy.txt");
  areaSymbols_ = std::make_unique<TPlosneZnacky>(SymbolsFile);
  areaSymbols_->SetDevice(device);
}

void TGeneralAreaInterpret::DetachDevice() {
  areaSymbols_.reset();
  TGeneralSymbolColorInterpret::DetachDevice();
}

void TGeneralAreaInterpret::Process(TElement* element) {
  auto* area = DynamicCast<TAreaElement>(element);
  if (!area) {
    TGeneralSymbolColorInterpret::Process(element);
    return;
  }
  if (auto* boundary = DynamicCast<TPolyLineAreaElement>(area)) {
    // The copy lends only its outline and holes.  Handing it the properties
    // would re-point them at the copy, and the area would lose its number,
    // its block and its record when the copy goes.
    const std::unique_ptr<TAreaElement> shape(boundary->CreateAreaWithHoles());
    DrawArea(*area, *shape, true);
    return;
  }
  DrawArea(*area, *area, false);
}

void TGeneralAreaInterpret::DrawArea(TAreaElement& area, TAreaElement& shape, bool converted) {
  // The sum's sign tells the winding only: an area wound either way is drawn.
  if (std::fabs(shape.GetCalculatedArea()) <= 0) return;
  const std::int32_t colour = ResolveColor(&area);
  const std::int32_t code = ResolveBrush(&area);
  TDevice& device = *Device();
  if (code < 1000) {
    device.SetBrush({ColourOfValue(colour), platform::BrushStyle::Solid});
    device.SetPen({0, 1, converted ? platform::PenStyle::Clear : platform::PenStyle::Solid, platform::PenMode::Copy});
    device.DrawArea(&shape);
    return;
  }
  if (area.IsHole || !areaSymbols_) return;
  TPlosnaZnacka* symbol = areaSymbols_->GetSymbol(code);
  if (!symbol) return;
  ColourSymbol(symbol, &area, FillBackground);
  TPolyPolygon rings;
  device.GetAreaPolyPolygon(&shape, rings);
  if (rings.RingCount > 0) symbol->Draw(device, rings.Points.get(), rings.Counts.get(), rings.RingCount);
}

TClass TGeneralAreaInterpret::StaticClass() {
  using E = TGeneralAreaInterpret;
  static const TClassInfo info = DescribeClass<E>("TGeneralAreaInterpret", TGeneralSymbolColorInterpret::StaticClass(),
                                                  "I_Gen", {FieldProp("FillBackground", &E::FillBackground)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralLineInterpret

TGeneralLineInterpret::TGeneralLineInterpret() = default;
TGeneralLineInterpret::~TGeneralLineInterpret() = default;

bool TGeneralLineInterpret::IsItsClass(TElement* element) {
  return DynamicCast<TPolyLineElement>(element) || DynamicCast<TPolyLineString>(element);
}
bool TGeneralLineInterpret::QGoInside(TElement*) { return false; }
bool TGeneralLineInterpret::QGoInsideAfter(TElement* element) {
  return DynamicCast<TPolyLineString>(element) != nullptr;
}
bool TGeneralLineInterpret::QProcessBefore(TElement* element) {
  return DynamicCast<TPolyLineElement>(element) && !DynamicCast<TAreaElement>(element);
}

void TGeneralLineInterpret::AttachDevice(TDevice* device) {
  TGeneralSymbolColorInterpret::AttachDevice(device);
  lineSymbols_.reset();
  symbols_.reset();
  if (!device) return;
  const TPageProjection& projection = *device->Projection();
  thinPen_ = 1;
  thickPen_ = std::min(projection.WorldToDeviceDX(0.0007 * projection.VirtualScale()), 4);
  if (const std::string file = platform::FindFileAnyCase(SymbolLibraryFile("linzn.txt")); platform::FileExists(file)) {
    lineSymbols_ = std::make_unique<TLinioveZnacky>(file);
    lineSymbols_->VisibleRect = {MinX, MinY, MaxX, MaxY};
    lineSymbols_->SetDevice(device);
  }
  if (SymbolsFile.empty()) SymbolsFile = SymbolLibraryFile("Fonty.txt");
  if (platform::FileExists(platform::FindFileAnyCase(SymbolsFile))) {
    symbols_ = std::make_unique<TLumaRSymbols>(SymbolsFile);
    symbols_->SetDevice(device);
  }
}

void TGeneralLineInterpret::DetachDevice() {
  lineSymbols_.reset();
  symbols_.reset();
  TGeneralSymbolColorInterpret::DetachDevice();
}

void TGeneralLineInterpret::Process(TElement* element) {
  auto* line = DynamicCast<TPolyLineElement>(element);
  if (!line) {
    TGeneralSymbolColorInterpret::Process(element);
    return;
  }
  if (!line->IntersectsRect(MinX, MinY, MaxX, MaxY)) return;
  TDevice& device = *Device();
  const std::int32_t code = ResolveBrush(line);
  const auto* props = DynamicCast<TLumarProps>(line->Properties());
  TLiniovaZnacka* symbol = code >= 1000 && lineSymbols_ ? lineSymbols_->GetSymbol(code) : nullptr;
  if (symbol) {
    ColourSymbol(symbol, line, false);
    symbol->Draw(device, {MinX, MinY, MaxX, MaxY}, true, VerticesOf(*line), props ? props->Barva : 0);
  } else if (const std::int32_t colour = ResolveColor(line); !(ColorByLumar && colour == 0)) {
    device.SetPen(
        {ColourOfValue(colour), code < 4 ? thinPen_ : thickPen_, platform::PenStyle::Solid, platform::PenMode::Copy});
    DrawPolyline(device, *line);
  }
  const auto* lineProps = DynamicCast<TLumarLineProps>(props);
  if (lineProps && lineProps->Symbol >= 1000 && symbols_)
    symbols_->DrawSymbol(13, lineProps->Symbol, std::numbers::pi / 2 + line->Angle, line->GetAbsRefX(),
                         line->GetAbsRefY());
}

TClass TGeneralLineInterpret::StaticClass() {
  using E = TGeneralLineInterpret;
  static const TClassInfo info = DescribeClass<E>("TGeneralLineInterpret", TGeneralSymbolColorInterpret::StaticClass(),
                                                  "I_Gen", {FieldProp("PropSymbol", &E::PropSymbol)});
  return &info;
}

// ---------------------------------------------------------------- TGeneralPointInterpret

TGeneralPointInterpret::TGeneralPointInterpret() = default;
TGeneralPointInterpret::~TGeneralPointInterpret() = default;

bool TGeneralPointInterpret::IsItsClass(TElement* element) {
  return DynamicCast<TPointElement>(element) || DynamicCast<TPointString>(element);
}
bool TGeneralPointInterpret::QGoInside(TElement* element) { return DynamicCast<TPointString>(element) != nullptr; }
bool TGeneralPointInterpret::QProcessBefore(TElement* element) {
  return DynamicCast<TPointElement>(element) != nullptr;
}

void TGeneralPointInterpret::AttachDevice(TDevice* device) {
  TGeneralXYInterpret::AttachDevice(device);
  if (SymbolsFile.empty()) SymbolsFile = SymbolLibraryFile("Fonty.txt");
  symbols_ = std::make_unique<TLumaRSymbols>(SymbolsFile);
  symbols_->SetDevice(device);
}

void TGeneralPointInterpret::DetachDevice() {
  symbols_.reset();
  TGeneralXYInterpret::DetachDevice();
}

void TGeneralPointInterpret::Process(TElement* element) {
  auto* point = DynamicCast<TPointElement>(element);
  if (!point) {
    TGeneralXYInterpret::Process(element);
    return;
  }
  if (!point->IsInsideRect(MinX, MinY, MaxX, MaxY) || !point->Properties()) return;
  TDevice& device = *Device();
  device.SetPen({ColourOfValue(ResolveColor(point)), 1, platform::PenStyle::Solid, platform::PenMode::Copy});
  const auto* props = DynamicCast<TLumarProps>(point->Properties());
  const std::int32_t code = props ? props->Znacka : 0;
  if (!symbols_ || code < 1000) {
    DrawPointCross(device, *point);
    return;
  }
  try {
    symbols_->DrawElementSymbol(point, code);
  } catch (const std::exception&) {
    platform::Beep();
  }
}

TClass TGeneralPointInterpret::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TGeneralPointInterpret>("TGeneralPointInterpret", TGeneralXYInterpret::StaticClass(), "I_Gen", {});
  return &info;
}

void RegisterGeneralInterpretClasses() {
  for (TClass cls : {TGeneralInterpret::StaticClass(), TGeneralColorInterpret::StaticClass(),
                     TGeneralXYInterpret::StaticClass(), TGeneralBrushInterpret::StaticClass(),
                     TGeneralSymbolColorInterpret::StaticClass(), TGeneralAreaInterpret::StaticClass(),
                     TGeneralLineInterpret::StaticClass(), TGeneralPointInterpret::StaticClass()})
    RegisterKestuClass(cls);
}
