#pragma once
// A device that draws nothing, and the fixture of the rendering tests.
#include <string>
#include <vector>

#include "platform/forms.h"
#include "render/devices/device.h"
#include "render/palette/library_paths.h"
#include "render/palette/palette.h"
#include "render/render_classes.h"
#include "tests/framework/framework_fixture.h"
#include "tests/platform/temp_folder.h"

class TNullDevice : public TDevice {
 public:
  void BeginDraw() override {}
  void Clear() override {}
  void SetupPage() override {}
  void WriteText(const std::string&) override {}
  void WriteLine(const std::string&) override {}
};

// The colour table, the palette file's name and the symbol library's folder are the program's own: tests that change
// them put them back.
inline void RestoreProgramPalette() {
  ColorTable() = OriginalColorTable();
  SetPaletteFileName("PALETA.TXT");
  SetSymbolLibraryDirectory("");
}

class RenderTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterRenderClasses();
  }
};

class PaletteTest : public RenderTest {
 protected:
  void TearDown() override {
    platform::SetAttended();
    RestoreProgramPalette();
    RenderTest::TearDown();
  }
  TempFolder folder;
};
