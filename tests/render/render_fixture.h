#pragma once
// A device that draws nothing, and the fixture of the rendering tests.
#include <string>
#include <vector>

#include "render/devices/device.h"
#include "render/render_base_classes.h"
#include "tests/framework/framework_fixture.h"

class TNullDevice : public TDevice {
 public:
  void BeginDraw() override {}
  void Clear() override {}
  void SetupPage() override {}
  void WriteText(const std::string& text) override { Lines.back() += text; }
  void WriteLine(const std::string& text) override { Lines.push_back(text); }
  std::vector<std::string> Lines{""};
};

class RenderTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterRenderBaseClasses();
  }
};
