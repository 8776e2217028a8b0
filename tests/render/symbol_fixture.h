#pragma once
// Devices that record the moves and lines the symbols draw, and the fixture
// that points the symbol library and the text fonts at the samples.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/palette/library_paths.h"
#include "tests/render/drawing_fixture.h"
#include "tests/spatial/spatial_fixture.h"

// "M x y" or "L x y", coordinates rounded to 3 decimals.
inline std::string Op(char kind, double x, double y) {
  char text[64];
  std::snprintf(text, sizeof text, "%c %.3f %.3f", kind, x + 0.0, y + 0.0);
  std::string op = text;
  // -0.000 and 0.000 are the same point.
  for (std::size_t at; (at = op.find("-0.000")) != std::string::npos;) op.erase(at, 1);
  return op;
}

// A bitmap device that keeps what it was asked to draw.
class TRecordingDevice : public TBitmapDevice {
 public:
  std::vector<std::string> Ops;
  void MoveTo(double x, double y) override {
    Ops.push_back(Op('M', x, y));
    TBitmapDevice::MoveTo(x, y);
  }
  void LineTo(double x, double y) override {
    Ops.push_back(Op('L', x, y));
    TBitmapDevice::LineTo(x, y);
  }
};

template <class D = TRecordingDevice>
std::unique_ptr<D> MakeRecordingDevice(int width, int height) {
  auto device = std::make_unique<D>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(width, height).release());
  OnePixelAUnit(*device);
  return device;
}

// A map at 254 dots per inch and scale 1 : 1000 with a virtual scale of
// 1000: one world unit is 1 mm on the map and 10 pixels; world (0, 0) lies
// at the bitmap's bottom left corner.
template <class D = TRecordingDevice>
std::unique_ptr<D> MakeMapDevice(int width, int height) {
  auto device = MakeRecordingDevice<D>(width, height);
  T_Page& page = *device->Page();
  page.SetResolution(10000, 10000);
  device->Projection()->Calculate({width * 0.05, height * 0.05}, &page, 1000);
  device->Projection()->SetVirtualScale(1000);
  return device;
}

// The model drawn on the device by the default symbology script under the
// universal interpret, as a graphic window draws it.
inline void DrawWithDefaultScript(TElement& model, TDevice& device) {
  TUniversalLumarScriptCreator creator;
  creator.DoIt();
  TUniversalInterpret universal;
  universal.SetScript(DynamicCast<TInterpretScript>(creator.Output()));
  universal.SetInput(&model);
  universal.AttachDevice(&device);
  universal.DoIt();
  universal.DetachDevice();
}

// Writes the lines and puts the file's last-write time at that second, as
// if the file had been written then.
inline void WriteLinesAt(const std::string& fileName, const std::vector<std::string>& lines, int second) {
  // Written in place, as the same file: only its size and time tell it changed.
  std::string bytes;
  for (const std::string& line : lines) bytes += platform::Utf8ToCp1250(line) + "\r\n";
  std::ofstream(fileName, std::ios::binary | std::ios::trunc) << bytes;
  std::filesystem::last_write_time(fileName, std::filesystem::file_time_type(std::chrono::seconds(second)));
}

// One state of a symbol file: its symbol's code and name, when it was
// written, the code asked for, and whether the collection has it then.
struct FileStateRow {
  std::string name;
  int fileCode;
  std::string symbolName;
  int second;
  int asked;
  bool found;
};

// A file that lacks the code asked for (base), then holds it.  Rewritten
// alike, with its time put back, the file cannot be told from what it was:
// were it read again, the code would be found.
inline std::vector<FileStateRow> LackingCodeStates(int base) {
  const std::string code = std::to_string(base);
  const std::string other = std::to_string(base + 2);
  return {
      {"the file lacks " + code, base + 1, "a", 1000, base, false},
      {code + " written in at the same size and time: not read again", base, "a", 1000, base, false},
      {"written again later: read", base, "a", 2000, base, true},
      {"the file lacks " + other, base + 1, "a", 3000, base + 2, false},
      {other + " written in at another size: read", base + 2, "ab", 3000, base + 2, true},
  };
}

inline std::string SamplesSymbols() { return std::string(KESTX_SAMPLES_DIR) + "/symbols"; }

class SymbolLibraryTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    RegisterClasses();
    SetSymbolLibraryDirectory(SamplesSymbols());
    SetStrokeFontDirectory(SamplesSymbols() + "/fonts");
    MainTool = &log;
  }
  void TearDown() override {
    RestoreProgramPalette();
    SetStrokeFontDirectory("");
    RenderTest::TearDown();
  }
  // The classes the tests draw besides the rendering's own.
  virtual void RegisterClasses() {}
  std::vector<std::string> LogLines() {
    RunMessages();
    return log.Lines;
  }

  TLogLines log;
  TempFolder folder;
};
