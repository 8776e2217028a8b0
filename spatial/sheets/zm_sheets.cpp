#include "spatial/sheets/zm_sheets.h"

#include <cctype>

#include "framework/core/class_registry.h"
#include "platform/dialogs.h"
#include "spatial/geometry/plane_math.h"

namespace {

struct TGridPoint {
  double A;
  double B;
};

// National-grid corners of the 1:200 000 sheets, numbered 1 .. 58 in rows of
// ten; the points no sheet uses are (0, 0).
constexpr TGridPoint kCornerTable[59] = {
    {0, 0},
    // 1 .. 10
    {909652.431, 898025.984}, {924005.96, 805128.319}, {936890.985, 712015.612}, {948304.295, 618711.076},
    {958243.045, 525237.972}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0},
    // 11 .. 20
    {984669.564, 910223.928}, {999206.329, 816140.335}, {1012255.843, 721838.956}, {1023814.856, 627343.298},
    {1033880.484, 532676.92}, {1042450.217, 437863.421}, {0, 0}, {0, 0}, {0, 0}, {0, 0},
    // 21 .. 30
    {1059686.696, 922421.873}, {1074406.698, 827152.352}, {1087620.702, 731662.299}, {1099325.417, 635975.52},
    {1109517.92, 540115.869}, {1118195.676, 444107.241}, {1125356.52, 347973.572}, {1130998.67, 251738.83},
    {1135120.7, 155427.0}, {0, 0},
    // 31 .. 40
    {1134703.829, 934619.816}, {1149607.067, 838164.368}, {1162985.561, 741485.642}, {1174835.977, 644607.742},
    {1185155.36, 547554.817}, {1193941.137, 450351.061}, {1201191.119, 353020.707}, {1206903.5, 255588.02},
    {1211076.85, 158077.29}, {0, 0},
    // 41 .. 50
    {0, 0}, {1224807.436, 849176.384}, {1238350.418, 751308.986}, {1250346.538, 653239.964},
    {1260792.797, 554993.765}, {1269686.596, 456594.881}, {1277025.72, 358067.84}, {1282808.33, 259437.21},
    {1287033.0, 160727.58}, {0, 0},
    // 51 .. 58
    {0, 0}, {0, 0}, {0, 0}, {1325857.1, 661872.19}, {1336430.24, 562432.71}, {1345432.06, 462838.7},
    {1352860.32, 363114.98}, {1358713.16, 263286.4}};

constexpr int kFirstSheet = 1;
constexpr int kLastSheet = 35;

bool IsQuarter(int number) { return number >= 1 && number <= 4; }

TRealPoint ModelPoint(int number) {
  const TGridPoint& p = kCornerTable[number];
  return {-p.B, -p.A};
}

TZMCorners Sheet200Corners(int i) { return {ModelPoint(i), ModelPoint(i + 1), ModelPoint(i + 10), ModelPoint(i + 11)}; }

TRealPoint Between(const TRealPoint& from, const TRealPoint& to, double fraction) {
  return {from.X + fraction * (to.X - from.X), from.Y + fraction * (to.Y - from.Y)};
}

TZMCorners Quarter(const TZMCorners& c, int q) {
  const TRealPoint m12 = Between(c[0], c[1], 0.5);
  const TRealPoint m13 = Between(c[0], c[2], 0.5);
  const TRealPoint m24 = Between(c[1], c[3], 0.5);
  const TRealPoint m34 = Between(c[2], c[3], 0.5);
  const TRealPoint centre = Between(m12, m34, 0.5);
  switch (q) {
    case 1: return {c[0], m12, m13, centre};
    case 2: return {m12, c[1], centre, m24};
    case 3: return {m13, centre, c[2], m34};
    default: return {centre, m24, m34, c[3]};
  }
}

// Part n of the 5 x 5 division, counted along edge 1-2 first.
TZMCorners FifthPart(const TZMCorners& c, int n) {
  const int k = n % 5 == 0 ? 5 : n % 5;
  const int m = (n - 1) / 5 + 1;
  auto at = [&c](int column, int row) {
    const double across = column / 5.0;
    return Between(Between(c[0], c[1], across), Between(c[2], c[3], across), row / 5.0);
  };
  return {at(k - 1, m - 1), at(k, m - 1), at(k - 1, m), at(k, m)};
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? std::string("0").append(text) : text;
}

// The digits of text from position first (0-based), count of them; false
// when any is not a digit.
bool DigitsAt(const std::string& text, std::size_t first, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = first; i < first + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

TMapsZM::TMapsZM() {
  TRectangle* bounds = BoundRect();
  for (int i = kFirstSheet; i <= kLastSheet; ++i) {
    if (!ValidMap200(i)) continue;
    for (const TRealPoint& corner : Sheet200Corners(i)) bounds->IncludePoint(corner.X, corner.Y);
  }
}

bool TMapsZM::ValidMap200(int i) {
  return (i >= 1 && i <= 4) || (i >= 11 && i <= 15) || (i >= 21 && i <= 25) || (i >= 32 && i <= 35);
}

bool TMapsZM::Derive(Level level, int number, TZMCorners& corners) const {
  switch (level) {
    case kLevel200:
      if (!ValidMap200(number)) return false;
      corners = Sheet200Corners(number);
      return true;
    case kLevel100:
      if (!ValidMap200(map_[kLevel200]) || !IsQuarter(number)) return false;
      corners = Quarter(corners_[kLevel200], number);
      return true;
    case kLevel50:
      if (!IsQuarter(map_[kLevel100]) || !IsQuarter(number)) return false;
      corners = Quarter(corners_[kLevel100], number);
      return true;
    case kLevel25:
      if (!IsQuarter(map_[kLevel50]) || !IsQuarter(number)) return false;
      corners = Quarter(corners_[kLevel50], number);
      return true;
    case kLevel10:
      if (!IsQuarter(map_[kLevel50]) || number < 1 || number > 25) return false;
      corners = FifthPart(corners_[kLevel50], number);
      return true;
    default:
      return false;
  }
}

void TMapsZM::ApplyLevel(Level level, int number, bool written) {
  TZMCorners corners{};
  if (Derive(level, number, corners)) {
    map_[level] = number;
    corners_[level] = corners;
  } else {
    map_[level] = 0;
    // The level written keeps its last corners (drawing loops rely on it);
    // a level below it must not show a sheet its parent no longer has.
    if (!written) corners_[level] = TZMCorners{};
  }
  switch (level) {
    case kLevel200: ApplyLevel(kLevel100, map_[kLevel100], false); break;
    case kLevel100: ApplyLevel(kLevel50, map_[kLevel50], false); break;
    case kLevel50:
      ApplyLevel(kLevel25, map_[kLevel25], false);
      ApplyLevel(kLevel10, map_[kLevel10], false);
      break;
    default: break;
  }
}

void TMapsZM::SetMap200(int i) { ApplyLevel(kLevel200, i, true); }
void TMapsZM::SetMap100(int q) { ApplyLevel(kLevel100, q, true); }
void TMapsZM::SetMap50(int q) { ApplyLevel(kLevel50, q, true); }
void TMapsZM::SetMap25(int q) { ApplyLevel(kLevel25, q, true); }
void TMapsZM::SetMap10(int n) { ApplyLevel(kLevel10, n, true); }

const TZMCorners& TMapsZM::CurrentCorners() const {
  switch (scale_) {
    case 200000: return corners_[kLevel200];
    case 100000: return corners_[kLevel100];
    case 25000: return corners_[kLevel25];
    case 10000: return corners_[kLevel10];
    default: return corners_[kLevel50];
  }
}

double TMapsZM::CornerX(int k) const { return k < 1 || k > 4 ? 0.0 : CurrentCorners()[k - 1].X; }
double TMapsZM::CornerY(int k) const { return k < 1 || k > 4 ? 0.0 : CurrentCorners()[k - 1].Y; }

double TMapsZM::GetZMCenterX() const {
  const TZMCorners& c = CurrentCorners();
  return (c[0].X + c[1].X + c[2].X + c[3].X) / 4;
}

double TMapsZM::GetZMCenterY() const {
  const TZMCorners& c = CurrentCorners();
  return (c[0].Y + c[1].Y + c[2].Y + c[3].Y) / 4;
}

double TMapsZM::GetAngle() const {
  const TZMCorners& c = CurrentCorners();
  return Mathlib::VectorAngle(c[3].X - c[2].X, c[3].Y - c[2].Y);
}

std::string TMapsZM::GetMapName() const {
  if (!ValidMap200(map_[kLevel200])) return {};
  std::string name = TwoDigits(map_[kLevel200]);
  if (scale_ < 200000) name.append("-").append(std::to_string(map_[kLevel100]));
  if (scale_ < 100000) name += std::to_string(map_[kLevel50]);
  if (scale_ == 25000) name += std::to_string(map_[kLevel25]);
  if (scale_ == 10000) name.append("-").append(TwoDigits(map_[kLevel10]));
  return name;
}

void TMapsZM::SetMapName(const std::string& Text) {
  // The forms the reader writes: "12", "12-3", "12-34", "12-342", "12-34-07",
  // and no text while there is no sheet.
  const std::size_t length = Text.size();
  if (length == 0) {
    SetMap200(0);
    return;
  }
  const bool dashes = length == 2 || (length >= 4 && Text[2] == '-' && (length != 8 || Text[5] == '-'));
  int n200 = 0;
  int n100 = 0;
  int n50 = 0;
  int last = 0;
  bool ok = dashes && DigitsAt(Text, 0, 2, n200);
  if (ok && length >= 4) ok = DigitsAt(Text, 3, 1, n100);
  if (ok && length >= 5) ok = DigitsAt(Text, 4, 1, n50);
  switch (length) {
    case 2: case 4: case 5: break;
    case 6: ok = ok && DigitsAt(Text, 5, 1, last); break;
    case 8: ok = ok && DigitsAt(Text, 6, 2, last); break;
    default: ok = false;
  }
  if (!ok) {
    platform::ShowMessage("Špatné jméno mapy ZM: " + Text);
    return;
  }
  static constexpr int kScaleOfLength[9] = {0, 0, 200000, 0, 100000, 50000, 25000, 0, 10000};
  scale_ = kScaleOfLength[length];
  SetMap200(n200);
  if (length >= 4) SetMap100(n100);
  if (length >= 5) SetMap50(n50);
  if (length == 6) SetMap25(last);
  if (length == 8) SetMap10(last);
}

TRectangle* TMapsZM::QuadBounds(const TZMCorners& corners) {
  auto* bounds = new TRectangle;
  for (const TRealPoint& corner : corners) bounds->IncludePoint(corner.X, corner.Y);
  return bounds;
}

// ---------------------------------------------------------------- descriptions

TClass TMapsZM::StaticClass() {
  using Z = TMapsZM;
  static const TClassInfo info = DescribeClass<Z>(
      "TMapsZM", TRectEntity::StaticClass(), "E_zm",
      {FieldProp("Color", &Z::Color), FieldProp("PenWidth", &Z::PenWidth), FieldProp("PenStyle", &Z::PenStyle),
       ReadWriteProp("Scale", &Z::GetScale, &Z::SetScale), ReadWriteProp("Map200", &Z::GetMap200, &Z::SetMap200),
       ReadWriteProp("Map100", &Z::GetMap100, &Z::SetMap100), ReadWriteProp("Map50", &Z::GetMap50, &Z::SetMap50),
       ReadWriteProp("Map25", &Z::GetMap25, &Z::SetMap25), ReadWriteProp("Map10", &Z::GetMap10, &Z::SetMap10),
       NotStored(ReadProp("ZMCenterX", &Z::GetZMCenterX)), NotStored(ReadProp("ZMCenterY", &Z::GetZMCenterY)),
       NotStored(ReadProp("Angle", &Z::GetAngle)), ReadWriteProp("MapName", &Z::GetMapName, &Z::SetMapName)});
  return &info;
}

void RegisterE_zmClasses() { RegisterKestuClass(TMapsZM::StaticClass()); }
