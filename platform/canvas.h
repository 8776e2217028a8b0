#pragma once
// The drawing surface of the output devices: a canvas over a bitmap or over
// the printer's page.  Colours are 0x00BBGGRR.  Drawing is aliased and follows
// fixed pixel rules, so that tests can compute every pixel from the geometry:
// - a line from A to B covers the pixels of A up to, not including, B;
// - a rectangle (L, T, R, B) covers columns L..R-1 and rows T..B-1;
// - polygons fill the pixels whose centres lie inside by the even-odd rule,
//   then the pen draws the closed outline;
// - a pen of width 1 or less is one pixel wide and keeps its style; a wider
//   one is solid whatever its style;
// - the XOR mode works on bitmaps; on the printer it draws as copy.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace platform {

using ColorValue = std::uint32_t;

struct PixelPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// The class library's numbering of the styles and modes.
enum class PenStyle : std::uint8_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Clear = 5 };
enum class PenMode : std::uint8_t { Copy = 4, Xor = 14 };
enum class BrushStyle : std::uint8_t { Solid = 0, Clear = 1, FDiagonal = 4, BDiagonal = 5 };

struct CanvasPen {
  ColorValue Color = 0;
  std::int32_t Width = 1;
  PenStyle Style = PenStyle::Solid;
  PenMode Mode = PenMode::Copy;
};

struct CanvasBrush {
  ColorValue Color = 0xFFFFFF;
  BrushStyle Style = BrushStyle::Solid;
};

struct CanvasFont {
  std::string Name = "Arial";
  // Pixels; a negative height is the character height, a positive one the
  // height of the whole cell.
  std::int32_t Height = -11;
  ColorValue Color = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  // Tenths of a degree, counter-clockwise.
  std::int32_t Escapement = 0;
  std::uint8_t Charset = 1;
  std::uint8_t Pitch = 0;
};

class Bitmap;

class Canvas {
 public:
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CanvasPen Pen;
  CanvasBrush Brush;
  CanvasFont Font;

  // The whole surface.
  PixelRect ClipRect() const;
  // Where the hatch patterns of brushes start: a canvas that shows a part of
  // a larger picture sets it to where the picture's pixel (0, 0) would lie,
  // so that its hatching is the picture's own.  (0, 0) until set.
  void SetBrushOrigin(const PixelPoint& origin);
  // Until unlimited, every drawing operation changes only pixels inside
  // rect (and on the surface).
  void LimitDrawingTo(const PixelRect& rect);
  void UnlimitDrawing();
  std::int32_t PixelsPerInchX() const;
  std::int32_t PixelsPerInchY() const;
  bool IsPrinter() const;
  // Font height for a size in points at this canvas's resolution.
  void SetFontSize(std::int32_t points);

  PixelPoint PenPos() const;
  void MoveTo(std::int32_t x, std::int32_t y);
  void LineTo(std::int32_t x, std::int32_t y);
  // Lines through the points; the pen position is left alone.
  void Polyline(std::span<const PixelPoint> points);
  // False when there is nothing to fill (fewer than two points).
  bool Polygon(std::span<const PixelPoint> points);
  // Rings one after the other, filled together even-odd; false when the
  // counts do not match the points.
  bool PolyPolygon(std::span<const PixelPoint> points, std::span<const std::int32_t> counts);
  // Filled with the brush, framed with the pen inside the rectangle.
  void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  void FillRect(const PixelRect& rect);
  // A one-pixel frame in the brush colour.
  void FrameRect(const PixelRect& rect);

  // Transparent text in the font's colour, its cell's upper-left corner at
  // (x, y), turned about that corner by the font's escapement.
  void TextOut(std::int32_t x, std::int32_t y, const std::string& text);
  std::int32_t TextWidth(const std::string& text) const;
  std::int32_t TextHeight(const std::string& text) const;

  // 0 outside the surface and on the printer.
  ColorValue Pixel(std::int32_t x, std::int32_t y) const;
  void SetPixel(std::int32_t x, std::int32_t y, ColorValue color);

  void Draw(std::int32_t x, std::int32_t y, const Bitmap& bitmap);
  // The source canvas's part (nothing from a printer) into dest.
  void CopyRect(const PixelRect& dest, const Canvas& source, const PixelRect& sourceRect);
  // The source part of the bitmap (all of it without one) stretched into dest.
  void StretchDraw(const PixelRect& dest, const Bitmap& bitmap, const PixelRect* source = nullptr);

 private:
  friend class Bitmap;
  friend class Printer;
  struct Impl;
  explicit Canvas(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// A 24-bit picture in memory.
class Bitmap {
 public:
  // Nil when the picture cannot be made (too large, or failed on purpose by
  // FailNextCreations).
  static std::unique_ptr<Bitmap> Create(std::int32_t width, std::int32_t height);
  // The next n creations fail: the low-memory paths are tested through it.
  static void FailNextCreations(int n);
  // Bytes of all bitmaps alive now, and the most alive at once since the last
  // ResetPeakLiveBytes.
  static std::int64_t LiveBytes();
  static std::int64_t PeakLiveBytes();
  static void ResetPeakLiveBytes();
  // Bytes a row of that width takes.
  static std::int64_t RowBytes(std::int32_t width);

  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  std::int32_t Width() const;
  std::int32_t Height() const;
  // Keeps the top rows; false (and unchanged) when it cannot be done.
  bool SetHeight(std::int32_t height);
  Canvas& GetCanvas();
  bool SavePng(const std::string& path) const;
  // The bytes of a row: three a pixel (red, green, blue), for code that
  // fills or reads whole pictures.
  std::uint8_t* ScanLine(std::int32_t row);
  const std::uint8_t* ScanLine(std::int32_t row) const;
  // A new size; what fits of the picture stays at the upper left, the rest
  // is white.  False (and unchanged) when it cannot be done.
  bool SetSize(std::int32_t width, std::int32_t height);
  // Bitmap files: false (and unchanged) when the file cannot be written, or
  // is no readable bitmap file or holds more than a window ever shows.
  bool SaveToFile(const std::string& path) const;
  bool LoadFromFile(const std::string& path);
  // Told before each drawing into the bitmap and after it is replaced (one
  // handler; empty to stop).
  void OnChange(std::function<void()> handler);

 private:
  friend class Canvas;
  friend struct BitmapAccess;
  friend void PaintPolylinesWithQt(Bitmap&, std::span<const PixelPoint>, std::span<const std::int32_t>, ColorValue);
  friend void PaintTextsWithQt(Bitmap&, std::span<const std::string>, std::span<const PixelPoint>, std::int32_t,
                               ColorValue);
  friend void PaintHatchedPolygonsWithQt(Bitmap&, std::span<const PixelPoint>, std::span<const std::int32_t>,
                                         ColorValue);
  struct Impl;
  explicit Bitmap(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// A print document that cannot begin: its file cannot be written.
class EPrinter : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One print document into a PDF file: it begins when the printer is made and
// ends with End, else when it is destroyed, or when it is aborted.  A page is
// drawn on a picture at the printer's resolution and goes into the file as
// it is.  The file is written from the first page on that something is
// drawn or that is turned, or once the document is asked for (Begin); a
// document with none of these leaves no file, and an abort deletes only a
// file the document wrote.  A file the disk does not take whole is no
// document: the page or end that finds it out raises EPrinter and aborts.
class Printer {
 public:
  // A page of the paper size (PrintPaperSize) at the given resolution;
  // EPrinter when the file cannot be written.
  explicit Printer(const std::string& pdfPath, std::int32_t dotsPerInch = 300);
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // Asks for the document: it is written at its end also with nothing drawn
  // (a blank page).
  void Begin();
  // The printer's name: the path of its PDF file.
  const std::string& Name() const;
  // Names the document; taken when its first page is written.
  void SetTitle(const std::string& title);
  const std::string& Title() const;
  // The page being drawn, from 1.
  int PageNumber() const;
  // EPrinter when the file does not take the page drawn so far.
  void NewPage();
  // Writes the last page and ends the document; EPrinter, with the document
  // aborted, when the file does not take it whole.  Nothing after an abort.
  void End();
  // Ends the document at once and deletes its file; what is drawn after it
  // goes nowhere.
  void Abort();
  bool Aborted() const;
  Canvas& GetCanvas();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Whether a print document is open: from a printer's making to its end or
// abort.
bool Printing();
// The PDF file printed documents go to: KESTX_PRINT_FILE of the environment
// when set, else "kestx.pdf" in the current folder, until a test names another.
std::string PrintFileName();
void SetPrintFileName(const std::string& path);
// The printer's resolution, dots per inch (300 until set).
std::int32_t PrintResolution();
void SetPrintResolution(std::int32_t dotsPerInch);
// The paper, portrait, in millimetres (A4, 210 x 297, until set).
struct PaperSize {
  double WidthMm = 210;
  double HeightMm = 297;
};
PaperSize PrintPaperSize();
void SetPrintPaperSize(const PaperSize& paper);

// The system's warning sound; tests count it through the hook (nullptr
// restores the sound).
void Beep();
void SetBeepHook(void (*hook)());

}  // namespace platform
