#pragma once
// Stroke fonts: a text element drawn on a device as moves and lines in world
// coordinates, so that texts scale and turn with the map.  One font file is
// loaded at a time; texts of a kind may take their style from "Styly.txt".
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "block/props/bgi_elements.h"
#include "cartography/symbols/stroke_font_data.h"
#include "framework/core/elements.h"
#include "platform/files.h"
#include "spatial/geometry/geometry_types.h"

class TDevice;
class TTextStyles;

// Flag bit values of a text.
constexpr std::uint8_t kTextSizedByMode = 8;
constexpr std::uint8_t kTextWithoutStyle = 4;

// At most this many characters of a text are drawn and measured.
constexpr std::size_t kMaxTextLength = 255;

class TBGIFont : public TOwnerElement {
  KESTX_CLASS(TBGIFont)
 public:
  TBGIFont();
  ~TBGIFont() override;

  TDevice* Device() const { return device_; }
  void SetDevice(TDevice* device) { device_ = device; }
  TBGIText* Text() const { return text_; }
  // An owned text is freed with the font or when another is set.
  void SetText(TBGIText* text, bool owns);
  TTextStyles* Styles() const { return styles_.get(); }

  // False (after its message) when the file cannot be read or is no font.
  bool LoadFont(std::uint8_t number, std::uint8_t codePage);
  bool Loaded() const { return !font_.Empty(); }

  // Copies the style of that kind into the text.
  virtual void ApplyStyle(std::int32_t kind);
  // The map scale of the device's projection.
  virtual double GetDeviceScale();
  virtual void ShowFontError(int code, const std::string& fileName);

  void DrawText();
  // Bytes of the font's code page, drawn with the text's parameters.
  void DrawString(const std::string& bytes);
  double TextWidth(const std::string& bytes);
  double TextHeight();
  // The box of the text from its start point: along the baseline, then up.
  std::array<TRealPoint, 4> TextCorners();
  void UpdateTextRect();

  // World units of one font unit, and the spacing between characters.
  double HeightScale();
  double SpacingLength();

  // The pen width the last style applied asked for, pixels.
  std::int32_t PenWidth = 0;

 protected:
  // The file whole; false (after its message) when it cannot be read or its
  // tables do not fit.  Whatever was loaded is forgotten first.  A file that
  // was read and was no font is not read again, nor reported again, while
  // it stays as it was.
  bool ReadFontFile(const std::string& path, bool needsSignature);
  void ForgetFont();
  const TStrokeFontData& FontData() const { return font_; }

 private:
  double Points(double value);
  double Millimetres(double value);
  // The text's slant, turn and start point applied to a point of the text.
  TRealPoint Place(double x, double y, const TRealPoint& origin) const;
  void SetDevicePenPixels(std::int32_t pixels);

  TDevice* device_ = nullptr;
  TBGIText* text_ = nullptr;
  std::unique_ptr<TBGIText> ownedText_;
  std::unique_ptr<TTextStyles> styles_;
  TStrokeFontData font_;
  std::int32_t fontNumber_ = -1;
  std::int32_t codePage_ = -1;
  bool openErrorShown_ = false;
  bool topErrorShown_ = false;
  // The files read in vain, as found on the disk, with their state then.
  std::map<std::string, platform::FileStamp> failedFiles_;
};

// The file a font number and code page name: "Simp" for 0 and unknown numbers;
// ".CHR", ".LVF", ".KVF" by code page.
std::string StrokeFontFileName(std::uint8_t number, std::uint8_t codePage);

void RegisterStrokeFontClasses();
