#pragma once
// Frames: interface tools that live in a form part placed inside a tool's
// control; frame selectors keeping a world point, and the tools that are
// given the window's current frame selector when they are activated.
#include <cstdint>
#include <memory>

#include "framework/forms/base_forms.h"
#include "render/tool_forms/interface_tool.h"

class TKestuFrame : public TInterfaceTool {
  KESTX_CLASS(TKestuFrame)
 public:
  ~TKestuFrame() override;

  TKestu_Frame* Frame() const { return frame_.get(); }
  // Descendants make their own part; the base makes a plain frame.
  virtual void CreateFrame();

  // The part's place and size; 0 and ignored without a part.
  std::int32_t Left() const;
  void SetLeft(std::int32_t value);
  std::int32_t Top() const;
  void SetTop(std::int32_t value);
  std::int32_t Width() const;
  void SetWidth(std::int32_t value);
  std::int32_t Height() const;
  void SetHeight(std::int32_t value);

  void AfterConstruction() override;

 protected:
  void SetFrame(std::unique_ptr<TKestu_Frame> frame);

 private:
  void ChangeBounds(const std::function<void(platform::Bounds&)>& change);

  std::unique_ptr<TKestu_Frame> frame_;
};

class TFrameSelector : public TTool {
  KESTX_CLASS(TFrameSelector)
 public:
  double X = 0;
  double Y = 0;

  void DoIt() override;
};

class TFrameTool : public TInterfaceTool {
  KESTX_CLASS(TFrameTool)
 public:
  TFrameSelector* FrameSelector() const;
  void SetFrameSelector(TFrameSelector* selector);

 private:
  TElementLink frameSelector_;
};

void RegisterFrameClasses();
