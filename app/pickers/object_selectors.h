#pragma once
// Selectors: interactive tools of a graphic window that turn a click into a
// pick, mark what was found, may show its properties and attribute record,
// and hand it to a follow-up tool.
#include <cstdint>

#include "platform/canvas.h"
#include "render/tool_forms/interactive_tool.h"

class TDevice;
class TKestuMouseEvent;
class TPolyElement;

class TObjectSelector : public TInteractiveTool {
  KESTX_CLASS(TObjectSelector)
 public:
  bool ShowProperties = false;
  bool DontViewProps = false;
  bool DontViewDBF = false;
  // The pick tolerance in pixels of the image.
  std::int32_t PixelTolerance = 5;

  // Run on the chosen element; nil for none.
  TTool* OnSelect() const;
  void SetOnSelect(TTool* tool);

  // Shows the element's properties and attribute record beside the pixel
  // point (X, Y) of the window's image.
  void ShowChosenElement(TElement* element, std::int32_t X, std::int32_t Y);

 protected:
  // Hands the element to the follow-up tool, with the window's form-tool
  // manager as its parameter "FTM", and runs it.
  void RunOnSelect(TElement* element);
  // The world point of the event's pixel; false without a projection.
  bool WorldPointOf(const TKestuMouseEvent& mouse, double& X, double& Y) const;
  // Asks the window to show what was drawn on its image.
  void RepaintImage();

 private:
  // The selector's owner: the tool holding it, seen through its tool list.
  TElement* OwningTool() const;

  TElementLink onSelect_;
};

// Picks a polyline with a left click and marks its vertices.
class TLineSelector : public TObjectSelector {
  KESTX_CLASS(TLineSelector)
 public:
  std::int32_t GetCursor() override;
  void MouseUp(TKestuMessage* message, bool& handled) override;
};

// Records the world point of a left click.
class TPointCollector : public TObjectSelector {
  KESTX_CLASS(TPointCollector)
 public:
  double X = 0;
  double Y = 0;

  std::int32_t GetCursor() override;
  void MouseUp(TKestuMessage* message, bool& handled) override;
};

// The colours of the marks of chosen elements.
inline constexpr platform::ColorValue kMarkRed = 255;
inline constexpr platform::ColorValue kMarkWhite = 16777215;
// A solid pen of one pixel in the colour, copied onto the picture.
void UseMarkPen(TDevice& device, platform::ColorValue colour);
// How the arms of a mark's cross run: along the diagonals or upright.
enum class CrossShape { Diagonal, Upright };
// A cross reaching halfSize pixels from (X, Y) each way, drawn with the
// device's pen.
void DrawMarkCross(TDevice& device, double X, double Y, std::int32_t halfSize, CrossShape shape);
// The mark of a picked line: red crosses at its vertices, the first one
// larger, and a white one at its reference point.
void MarkLine(TDevice& device, const TPolyElement& line);

void RegisterObjectSelectorClasses();
