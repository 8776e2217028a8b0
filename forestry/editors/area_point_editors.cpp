#include "forestry/editors/area_point_editors.h"

#include <memory>

#include "app/pickers/pick_uppers.h"
#include "forestry/reconstruction/layer_rebuilding.h"
#include "forestry/reconstruction/lines_to_areas.h"
#include "framework/core/class_registry.h"
#include "render/devices/device.h"
#include "render/interprets/interpret.h"
#include "render/tool_forms/dialog_tools.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interaction_events.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr std::int32_t kAreaPenWidth = 3;
constexpr std::int32_t kStoreAnswer = 1;

// The parts of a comma text, blanks around them dropped, empty ones left out.
std::vector<std::string> CommaParts(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string part = TrimBlanks(text.substr(start, comma - start));
    if (!part.empty()) parts.push_back(part);
    start = comma + 1;
  }
  return parts;
}

void SetPenMode(TDevice& device, platform::PenMode mode) {
  platform::CanvasPen* current = device.GetPen();
  platform::CanvasPen pen = current ? *current : platform::CanvasPen{};
  pen.Mode = mode;
  device.SetPen(pen);
}

}  // namespace

// ---------------------------------------------------------------- TPolyLineAreaEditor

TAreaElement* TPolyLineAreaEditor::PickedArea() const { return DynamicCast<TAreaElement>(Output()); }

void TPolyLineAreaEditor::InitCursors() { AddCursor("SELECTAREA"); }

void TPolyLineAreaEditor::FreeTool(TTool* tool) {
  if (tool == neighbourhoodTool_) neighbourhoodTool_ = nullptr;
  TGraphicEditor::FreeTool(tool);
}

void TPolyLineAreaEditor::GatherLevels(TEntity& entity, const std::string& names, bool copies, TRectEntity& lines) {
  for (const std::string& name : CommaParts(names)) {
    TElement* level = entity.FindElementByName(name);
    if (!level) continue;
    TLineExtractor extractor;
    extractor.CopyLines = copies;
    extractor.SetInput(level);
    extractor.SetOutput(&lines);
    extractor.DoIt();
    extractor.SetOutput(nullptr);
  }
}

TRectEntity* TPolyLineAreaEditor::GatherLines(TEntity& frame) {
  auto* lines = CreateElement<TRectEntity>();
  lines->SetName("Founded lines");
  SetLinkedElement(workingLines_, lines);
  GatherLevels(frame, CopyLinesLevels, true, *lines);
  GatherLevels(frame, WorkingLinesLevels, false, *lines);
  if (TTool* neighbourhood = NeighbourhoodTool()) {
    auto* neighbours = CreateElement<TOwnerEntity>();
    AddElement(neighbours);
    neighbourhood->SetInput(&frame);
    neighbourhood->SetOutput(neighbours);
    neighbourhood->DoIt();
    if (auto* found = DynamicCast<TEntity>(neighbourhood->Output()))
      for (TElement* child : found->Children())
        if (auto* neighbour = DynamicCast<TEntity>(child)) {
          GatherLevels(*neighbour, NeighbourhoodCopyLinesLevels, true, *lines);
          GatherLevels(*neighbour, NeighbourhoodWorkingLinesLevels, false, *lines);
        }
    neighbourhood->SetOutput(nullptr);
    FreeElement(neighbours);
  }
  for (TElement* child : lines->Children())
    if (auto* line = DynamicCast<TPolyElement>(child)) line->CalcBounds();
  lines->UpdateRect();
  return lines;
}

void TPolyLineAreaEditor::ReleaseWorkingLines() { SetLinkedElement(workingLines_, nullptr); }

void TPolyLineAreaEditor::BuildAreaAtCursor(TEntity& frame) {
  TRectEntity* lines = GatherLines(frame);
  if (lines->Children().empty()) {
    Log(GetName() + ": No lines for Area Found! ");
    ReleaseWorkingLines();
    return;
  }
  std::unique_ptr<TCreateAreasFromLinesTool> builder(CreateElement<TCreateAreasFromLinesTool>());
  builder->SetInput(lines);
  builder->DoIt();
  // The built areas are the caller's: all but the one under the click go.
  std::unique_ptr<TElement> built(builder->Output());
  builder->SetOutput(nullptr);
  const T2DCoordinate point(x_, y_);
  if (auto* areas = DynamicCast<TEntity>(built.get()))
    for (TElement* child : areas->Children())
      if (auto* area = DynamicCast<TAreaElement>(child); area && area->HitTest(&point, 0)) {
        SetOutput(area);
        break;
      }
  built.reset();
  // The area keeps its boundary lines; only the collection lets them go.
  ReleaseWorkingLines();
}

void TPolyLineAreaEditor::MouseUp(TKestuMessage* message, bool& handled) {
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (!mouse || mouse->Button != 0 || !MapPointOf(message, x_, y_)) return;
  handled = true;
  TFrameSelector* selector = FrameSelector();
  if (!selector) return;
  selector->X = x_;
  selector->Y = y_;
  selector->DoIt();
  auto* frame = DynamicCast<TEntity>(selector->Output());
  if (!frame) return;
  frame_.Set(frame);
  TElement* level = LevelName.empty() ? frame : frame->FindElementByName(LevelName);
  if (!level) return;
  TPickUpArea picker;
  picker.SetX(x_);
  picker.SetY(y_);
  picker.SetInput(level);
  picker.DoIt();
  // A stored area under the click is the one edited: building it again from
  // its lines would store a second copy of it.
  auto* stored = picker.Found() ? DynamicCast<TAreaElement>(picker.Output()) : nullptr;
  SetInput(stored);
  if (stored) {
    SetOutput(stored);
    PostMessageToOwners(msgElementSelected, stored, false);
  } else {
    BuildAreaAtCursor(*frame);
  }
  TAreaElement* area = PickedArea();
  if (!area) return;
  DrawElement();
  std::int32_t answer = kStoreAnswer;
  if (TTool* dialog = Dialog()) {
    dialog->SetParameter("Frame", frame);
    answer = RunDialogAt(area, NewObject() ? "Nová plocha" : "Stará plocha");
  }
  DrawElement();
  if (answer == kStoreAnswer) {
    if (TTool* store = StoreTool(); store && NewObject()) {
      store->SetParameter("FrameSelector", frame);
      store->SetInput(area);
      store->DoIt();
    }
    PostMessageToOwners(msgReViewArea, area, false);
    PostToMainTool(msgDataChanged);
    ProcessMessages();
  }
  SetOutput(nullptr);
  SetInput(nullptr);
}

void TPolyLineAreaEditor::DrawElement() {
  TAreaElement* picked = PickedArea();
  TDevice* device = GetDevice();
  if (!picked || !device) return;
  std::unique_ptr<TAreaElement> converted;
  if (auto* bounded = DynamicCast<TPolyLineAreaElement>(picked)) converted.reset(bounded->CreateAreaWithHoles());
  device->SetBrush({Color, platform::BrushStyle::BDiagonal});
  device->SetPen({Color, kAreaPenWidth, platform::PenStyle::Solid, platform::PenMode::Xor});
  device->DrawArea(converted ? converted.get() : picked);
  PostMessageToOwners(msgRepaintImage, nullptr, false);
  ProcessMessages();
}

// ---------------------------------------------------------------- TPointEditor

TPointElement* TPointEditor::Point() const { return DynamicCast<TPointElement>(Output()); }

void TPointEditor::SetPoint(TPointElement* point) { SetOutput(point); }

std::string TPointEditor::InterpretName() const {
  TInterpret* interpret = Interpret();
  return interpret ? interpret->ClassName() : std::string();
}

void TPointEditor::SetInterpretName(const std::string& name) {
  SetInterpret(DynamicCast<TInterpret>(CreateElementByClassName(name)));
}

void TPointEditor::InitCursors() { AddCursor("SELECTPOINT"); }

void TPointEditor::DrawElement() {
  TInterpret* interpret = Interpret();
  TDevice* device = GetDevice();
  if (!interpret || !device || !Point()) return;
  SetPenMode(*device, platform::PenMode::Xor);
  interpret->SetInput(Point());
  interpret->DoIt();
}

void TPointEditor::MovePointTo(const TKestuMessage* message) {
  double x = 0, y = 0;
  if (!Point() || !MapPointOf(message, x, y)) return;
  DrawElement();
  Point()->SetBounds({x, y, x, y});
  DrawElement();
}

void TPointEditor::MouseDown(TKestuMessage* message, bool& handled) {
  handled = true;
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  double x = 0, y = 0;
  if (!mouse || mouse->Button != 0 || !MapPointOf(message, x, y)) return;
  auto* point = CreateElement<TPointElement>();
  point->SetBounds({x, y, x, y});
  SetPoint(point);
  finished_ = false;
  if (auto* dialog = DynamicCast<TKestuDialog>(Dialog())) {
    dialog->SetInput(point);
    dialog->DontShowForm = true;
    dialog->DoIt();
    dialog->DontShowForm = false;
  }
  DrawElement();
}

void TPointEditor::MouseMove(TKestuMessage*, bool& handled) { handled = true; }
void TPointEditor::StartDrag(TKestuMessage*, bool& handled) { handled = true; }
void TPointEditor::EndDrag(TKestuMessage*, bool& handled) { handled = true; }

void TPointEditor::DragOver(TKestuMessage* message, bool& handled) {
  handled = true;
  if (moving_) return;
  moving_ = true;
  MovePointTo(message);
  moving_ = false;
}

void TPointEditor::MouseUp(TKestuMessage* message, bool& handled) {
  handled = true;
  auto* mouse = DynamicCast<TKestuMouseEvent>(message);
  if (mouse && mouse->Button == 0) EndGesture(message);
}

void TPointEditor::DragDrop(TKestuMessage* message, bool& handled) {
  handled = true;
  EndGesture(message);
}

void TPointEditor::EndGesture(const TKestuMessage* message) {
  if (finished_ || !Point()) return;
  finished_ = true;
  MovePointTo(message);
  Finish();
}

void TPointEditor::Finish() {
  TPointElement* point = Point();
  TFrameSelector* selector = FrameSelector();
  if (!selector) return;
  selector->X = point->GetAbsRefX();
  selector->Y = point->GetAbsRefY();
  selector->DoIt();
  TElement* frame = selector->Output();
  if (!frame) return;
  std::int32_t answer = kStoreAnswer;
  if (auto* dialog = DynamicCast<TKestuDialog>(Dialog())) {
    dialog->SetInput(point);
    dialog->DoIt();
    if (!dialog->DontShowForm) answer = dialog->Result;
  }
  DrawElement();
  TTool* store = StoreTool();
  const bool stored = store && answer == kStoreAnswer;
  if (stored) {
    store->SetParameter("FrameSelector", frame);
    store->SetInput(point);
    store->DoIt();
  }
  if (TDevice* device = GetDevice()) SetPenMode(*device, platform::PenMode::Copy);
  PostMessageToOwners(msgReView, nullptr, false);
  if (stored) PostToMainTool(msgDataChanged);
}

// ---------------------------------------------------------------- classes

TClass TPolyLineAreaEditor::StaticClass() {
  using E = TPolyLineAreaEditor;
  static const TClassInfo info = DescribeClass<E>(
      "TPolyLineAreaEditor", TGraphicEditor::StaticClass(), "GraphicEditors",
      {FieldProp("LevelName", &E::LevelName), FieldProp("CopyLinesLevels", &E::CopyLinesLevels),
       FieldProp("WorkingLinesLevels", &E::WorkingLinesLevels),
       ReadWriteProp("NeighbourhoodTool", &E::NeighbourhoodTool, &E::SetNeighbourhoodTool),
       FieldProp("NeighbourhoodWorkingLinesLevels", &E::NeighbourhoodWorkingLinesLevels),
       FieldProp("NeighbourhoodCopyLinesLevels", &E::NeighbourhoodCopyLinesLevels)});
  return &info;
}

TClass TPointEditor::StaticClass() {
  using E = TPointEditor;
  static const TClassInfo info =
      DescribeClass<E>("TPointEditor", TGraphicEditor::StaticClass(), "GraphicEditors",
                       {ReadWriteProp("Point", &E::Point, &E::SetPoint),
                        ReadWriteProp("InterpretName", &E::InterpretName, &E::SetInterpretName)});
  return &info;
}

void RegisterAreaPointEditorClasses() {
  RegisterKestuClass(TPolyLineAreaEditor::StaticClass());
  RegisterKestuClass(TPointEditor::StaticClass());
}
