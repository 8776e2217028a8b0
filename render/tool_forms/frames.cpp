#include "render/tool_forms/frames.h"

#include "framework/core/class_registry.h"

namespace {

constexpr const char* kPlainFrame = "TKestu_Frame";

}  // namespace

TKestuFrame::~TKestuFrame() = default;

void TKestuFrame::CreateFrame() { SetFrame(std::make_unique<TKestu_Frame>(kPlainFrame)); }

void TKestuFrame::SetFrame(std::unique_ptr<TKestu_Frame> frame) {
  frame_ = std::move(frame);
  if (frame_) frame_->SetTool(this);
}

void TKestuFrame::AfterConstruction() {
  TInterfaceTool::AfterConstruction();
  CreateFrame();
}

void TKestuFrame::ChangeBounds(const std::function<void(platform::Bounds&)>& change) {
  if (!frame_) return;
  platform::Bounds bounds = frame_->Window().GetBounds();
  change(bounds);
  frame_->Window().SetBounds(bounds);
}

std::int32_t TKestuFrame::Left() const { return frame_ ? frame_->Window().GetBounds().Left : 0; }
std::int32_t TKestuFrame::Top() const { return frame_ ? frame_->Window().GetBounds().Top : 0; }
std::int32_t TKestuFrame::Width() const { return frame_ ? frame_->Window().GetBounds().Width : 0; }
std::int32_t TKestuFrame::Height() const { return frame_ ? frame_->Window().GetBounds().Height : 0; }
void TKestuFrame::SetLeft(std::int32_t value) {
  ChangeBounds([value](platform::Bounds& b) { b.Left = value; });
}
void TKestuFrame::SetTop(std::int32_t value) {
  ChangeBounds([value](platform::Bounds& b) { b.Top = value; });
}
void TKestuFrame::SetWidth(std::int32_t value) {
  ChangeBounds([value](platform::Bounds& b) { b.Width = value; });
}
void TKestuFrame::SetHeight(std::int32_t value) {
  ChangeBounds([value](platform::Bounds& b) { b.Height = value; });
}

void TFrameSelector::DoIt() {}

TFrameSelector* TFrameTool::FrameSelector() const { return static_cast<TFrameSelector*>(frameSelector_.Get()); }

void TFrameTool::SetFrameSelector(TFrameSelector* selector) { frameSelector_.Set(selector); }

TClass TKestuFrame::StaticClass() {
  using F = TKestuFrame;
  static const TClassInfo info = DescribeClass<F>(
      "TKestuFrame", TInterfaceTool::StaticClass(), "t_KestuFrame",
      {NotStored(ReadWriteProp("Left", &F::Left, &F::SetLeft)), NotStored(ReadWriteProp("Top", &F::Top, &F::SetTop)),
       NotStored(ReadWriteProp("Width", &F::Width, &F::SetWidth)),
       NotStored(ReadWriteProp("Height", &F::Height, &F::SetHeight))});
  return &info;
}

TClass TFrameSelector::StaticClass() {
  using S = TFrameSelector;
  static const TClassInfo info = DescribeClass<S>("TFrameSelector", TTool::StaticClass(), "t_KestuFrame",
                                                  {FieldProp("X", &S::X), FieldProp("Y", &S::Y)});
  return &info;
}

TClass TFrameTool::StaticClass() {
  using T = TFrameTool;
  static const TClassInfo info =
      DescribeClass<T>("TFrameTool", TInterfaceTool::StaticClass(), "t_KestuFrame",
                       {ReadWriteProp("FrameSelector", &T::FrameSelector, &T::SetFrameSelector)});
  return &info;
}

void RegisterFrameClasses() {
  RegisterKestuClass(TKestuFrame::StaticClass());
  RegisterKestuClass(TFrameSelector::StaticClass());
  RegisterKestuClass(TFrameTool::StaticClass());
}
