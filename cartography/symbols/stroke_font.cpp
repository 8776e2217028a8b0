#include "cartography/symbols/stroke_font.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <new>

#include "cartography/symbols/text_styles.h"
#include "framework/core/class_registry.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "spatial/geometry/projection.h"

namespace {

// The BGI header with its description text comes first.
constexpr std::size_t kHeaderSize = 128;
constexpr char kSignature[] = {'P', 'K', '\x08', '\x08'};
// A typographic point on the map, metres per unit of scale.
constexpr double kPointSize = 0.000376;

const char* const kFontNames[] = {"Simp", "Bold", "Euro", "Goth", "Lcom", "Litt",
                                  "Sans", "Scri", "Simp", "Trip", "Tscr"};

}  // namespace

std::string StrokeFontFileName(std::uint8_t number, std::uint8_t codePage) {
  const char* name = number < std::size(kFontNames) ? kFontNames[number] : "Simp";
  const char* ext = codePage == 0 ? ".CHR" : codePage == 1 ? ".LVF" : ".KVF";
  return std::string(name) + ext;
}

TBGIFont::TBGIFont() : styles_(std::make_unique<TTextStyles>()) {
  styles_->SetFileName(SymbolLibraryFile("Styly.txt"));
}

TBGIFont::~TBGIFont() = default;

void TBGIFont::SetText(TBGIText* text, bool owns) {
  // The text set again keeps living; only who frees it changes.
  if (ownedText_.get() == text) static_cast<void>(ownedText_.release());
  ownedText_.reset(owns ? text : nullptr);
  text_ = text;
}

void TBGIFont::ForgetFont() {
  font_.Clear();
  fontNumber_ = -1;
  codePage_ = -1;
  topErrorShown_ = false;
}

bool TBGIFont::ReadFontFile(const std::string& path, bool needsSignature) {
  ForgetFont();
  const std::string found = platform::FindFileAnyCase(path);
  // Every symbol of a damaged file would read it and show its box again.
  if (const auto failed = failedFiles_.find(found);
      failed != failedFiles_.end() && failed->second == platform::StampOfFile(found))
    return false;
  // Only a plain file: a device or a pipe named instead would never end.
  std::ifstream file;
  if (platform::FileExists(found)) file.open(found, std::ios::binary);
  if (!file.is_open()) {
    ShowFontError(2, path);
    return false;
  }
  const platform::FileStamp version = platform::StampOfFile(found);
  const auto fail = [&](int code) {
    failedFiles_[found] = version;
    if (code != 0) ShowFontError(code, path);
    return false;
  };
  std::string bytes;
  try {
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } catch (const std::bad_alloc&) {
    return fail(3);
  }
  if (needsSignature && (bytes.size() < sizeof kSignature || !std::equal(std::begin(kSignature),
                                                                           std::end(kSignature), bytes.begin())))
    return fail(0);
  if (bytes.size() < kHeaderSize || !font_.Assign(bytes.substr(kHeaderSize))) return fail(4);
  failedFiles_.erase(found);
  return true;
}

bool TBGIFont::LoadFont(std::uint8_t number, std::uint8_t codePage) {
  if (Loaded() && fontNumber_ == number && codePage_ == codePage) return true;
  if (!ReadFontFile(StrokeFontFile(StrokeFontFileName(number, codePage)), false)) return false;
  fontNumber_ = number;
  codePage_ = codePage;
  if (text_) text_->Font = number;
  return true;
}

void TBGIFont::ShowFontError(int code, const std::string& fileName) {
  std::string text;
  switch (code) {
    case 2:
      if (openErrorShown_) return;
      openErrorShown_ = true;
      text = "Nelze otevřít soubor vektorového fontu: " + fileName;
      break;
    case 3:
      text = "Nedostatečná velikost paměti";
      break;
    default:
      text = "Chyba v načtení vektorového fontu " + fileName;
  }
  platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK);
}

double TBGIFont::GetDeviceScale() { return device_ ? device_->Projection()->Scale() : 0; }

double TBGIFont::Points(double value) { return value * kPointSize * GetDeviceScale(); }

double TBGIFont::Millimetres(double value) {
  return device_ ? value / 1000 * device_->Projection()->VirtualScale() : 0;
}

void TBGIFont::SetDevicePenPixels(std::int32_t pixels) {
  if (platform::CanvasPen* pen = device_ ? device_->GetPen() : nullptr) pen->Width = std::max(1, pixels);
}

void TBGIFont::ApplyStyle(std::int32_t kind) {
  const bgi::TTextStyle* style = styles_->FindStyle(kind);
  if (!style || !text_) return;
  text_->HeightMode = style->Rezim;
  text_->Font = style->Font;
  text_->Height = style->Vyska;
  text_->WidthFactor = style->Sirka;
  text_->Slant = style->Sklon * M_PI / 180;
  text_->Spacing = style->Rozestupy;
  text_->Barva = static_cast<std::int16_t>(style->Barva);
  text_->Znacka = static_cast<std::int16_t>(style->DruhCary);
  PenWidth = device_ ? device_->Projection()->WorldToDeviceLength(Millimetres(style->SilaPera)) : 0;
}

double TBGIFont::HeightScale() {
  if (!text_) return 0;
  const bool byMode = text_->Flags & kTextSizedByMode;
  if (!byMode && text_->HeightMode == 1) return text_->Height;
  const double top = font_.Top();
  if (top == 0) {
    if (!topErrorShown_) {
      topErrorShown_ = true;
      ShowFontError(4, "");
    }
    return 0;
  }
  if (byMode && text_->HeightMode == 1) return text_->Height / top;
  if (byMode && text_->HeightMode == 2) return Millimetres(text_->Height) / top;
  return Points(text_->Height) / top;
}

double TBGIFont::SpacingLength() {
  if (!text_) return 0;
  const bool byMode = text_->Flags & kTextSizedByMode;
  if (text_->HeightMode == 1) return text_->Spacing;
  if (byMode && text_->HeightMode == 2) return Millimetres(text_->Spacing);
  return Points(text_->Spacing);
}

double TBGIFont::TextHeight() {
  if (!text_) return 0;
  const bool byMode = text_->Flags & kTextSizedByMode;
  if (byMode && text_->HeightMode == 1) return text_->Height;
  if (byMode && text_->HeightMode == 2) return Millimetres(text_->Height);
  if (!byMode && text_->HeightMode == 1) return font_.Top() * text_->Height;
  return Points(text_->Height);
}

TRealPoint TBGIFont::Place(double x, double y, const TRealPoint& origin) const {
  if (text_->Slant != 0) x += y * std::sin(text_->Slant) / std::cos(text_->Slant);
  if (text_->Direction == 0) return {origin.X + x, origin.Y + y};
  const double c = std::cos(text_->Direction);
  const double s = std::sin(text_->Direction);
  return {origin.X + x * c - y * s, origin.Y + x * s + y * c};
}

void TBGIFont::DrawText() {
  if (!text_ || !device_) return;
  if ((text_->Flags & kTextSizedByMode) && !(text_->Flags & kTextWithoutStyle) && styles_->GetCount() > 0) {
    PenWidth = 0;
    ApplyStyle(text_->Druh);
    SetDevicePenPixels(PenWidth);
  } else {
    SetDevicePenPixels(device_->Projection()->WorldToDeviceLength(TextHeight() / 10));
  }
  if (LoadFont(text_->Font, text_->CodePage)) DrawString(platform::Utf8ToCp1250(text_->Veta));
}

void TBGIFont::DrawString(const std::string& bytes) {
  if (!Loaded() || bytes.empty() || !text_ || !device_) return;
  const double scale = HeightScale();
  const double horizontal = scale * text_->WidthFactor;
  const double spacing = SpacingLength();
  TRealPoint origin{text_->StartPoint()->GetX(), text_->StartPoint()->GetY()};
  device_->MoveTo(origin.X, origin.Y);
  const std::size_t length = std::min(bytes.size(), kMaxTextLength);
  for (std::size_t i = 0; i < length; ++i) {
    TRealPoint last = origin;
    for (const TStroke& stroke : font_.Strokes(static_cast<std::uint8_t>(bytes[i]))) {
      last = Place(stroke.X * horizontal, stroke.Y * scale, origin);
      if (stroke.Draw)
        device_->LineTo(last.X, last.Y);
      else
        device_->MoveTo(last.X, last.Y);
    }
    origin = Place(spacing, 0, last);
  }
}

double TBGIFont::TextWidth(const std::string& bytes) {
  if (!text_ || bytes.empty()) return 0;
  const std::size_t length = std::min(bytes.size(), kMaxTextLength);
  double units = 0;
  for (std::size_t i = 0; i < length; ++i) units += font_.Width(static_cast<std::uint8_t>(bytes[i]));
  return units * HeightScale() * text_->WidthFactor + static_cast<double>(length - 1) * SpacingLength();
}

std::array<TRealPoint, 4> TBGIFont::TextCorners() {
  if (!text_) return {};
  const double width = TextWidth(platform::Utf8ToCp1250(text_->Veta));
  const double height = TextHeight();
  const TRealPoint start{text_->StartPoint()->GetX(), text_->StartPoint()->GetY()};
  return {Place(0, 0, start), Place(width, 0, start), Place(width, height, start), Place(0, height, start)};
}

void TBGIFont::UpdateTextRect() {
  if (!text_) return;
  const std::array<TRealPoint, 4> corners = TextCorners();
  const auto [minX, maxX] = std::minmax({corners[0].X, corners[1].X, corners[2].X, corners[3].X});
  const auto [minY, maxY] = std::minmax({corners[0].Y, corners[1].Y, corners[2].Y, corners[3].Y});
  TRectangle* rect = text_->Rect();
  rect->SetMinX(minX);
  rect->SetMinY(minY);
  rect->SetMaxX(maxX);
  rect->SetMaxY(maxY);
}

TClass TBGIFont::StaticClass() {
  static const TClassInfo info = DescribeClass<TBGIFont>("TBGIFont", TOwnerElement::StaticClass(), "BGIFont", {});
  return &info;
}

void RegisterStrokeFontClasses() {
  RegisterTextStyleClasses();
  RegisterKestuClass(TBGIFont::StaticClass());
}
