// Frames: the place and size of a frame's part, and a frame without one.
#include "render/tool_forms/frames.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "framework/core/class_registry.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

// A frame whose part was never made.
class TFrameWithoutPart : public TKestuFrame {
 public:
  void CreateFrame() override {}
};

using FramesTest = ToolFormsTest;

TEST_F(FramesTest, TheFramesPlaceAndSizeAreItsPartsAndReadZeroWithoutOne) {
  std::unique_ptr<TKestuFrame> frame(CreateElement<TKestuFrame>());
  std::unique_ptr<TKestuFrame> empty(new TFrameWithoutPart);
  empty->AfterConstruction();
  ASSERT_NE(frame->Frame(), nullptr);
  EXPECT_EQ(frame->Frame()->Tool(), frame.get());
  for (TKestuFrame* tool : {frame.get(), empty.get()}) {
    tool->SetPropertyText("Left", "12");
    tool->SetPropertyText("Top", "7");
    tool->SetPropertyText("Width", "150");
    tool->SetPropertyText("Height", "24");
  }
  const platform::Bounds part = frame->Frame()->Window().GetBounds();
  EXPECT_EQ(std::tuple(part.Left, part.Top, part.Width, part.Height), std::tuple(12, 7, 150, 24));
  EXPECT_EQ(std::tuple(frame->Left(), frame->Top(), frame->Width(), frame->Height()), std::tuple(12, 7, 150, 24));
  EXPECT_EQ(std::tuple(empty->Left(), empty->Top(), empty->Width(), empty->Height()), std::tuple(0, 0, 0, 0));
}

// Tool groups make their tools from models by class name; the monitor
// frames of the forestry tools descend from the frame.
TEST_F(FramesTest, TheFrameClassesAreMadeByTheirNames) {
  for (const char* name : {"TKestuFrame", "TFrameSelector", "TFrameTool"}) {
    const TClass cls = FindKestuClass(name);
    EXPECT_TRUE(cls && cls->ClassName == name) << name;
  }
}

}  // namespace
