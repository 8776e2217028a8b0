#include "block/topology/carry_attributes.h"

#include <exception>

#include "block/props/lumar_props.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "platform/files.h"
#include "platform/gauge_form.h"
#include "spatial/objects/registers.h"
#include "spatial/objects/space_entities.h"

namespace {

const char* const kDifferentBlock = "Diff.Block";

TRegister* RegisterOfTheModel() {
  TObjectModel* model = World() ? World()->ObjectModel() : nullptr;
  return model ? DynamicCast<TRegister>(model->FindElementByClass(TRegister::StaticClass())) : nullptr;
}

std::string Fixed(int width, int decimals, double value) { return FormatFloatWidth(width, decimals, value); }

// X and Y of a reference point in the protocol's widths.
std::string XY(const TRectEntity& entity, int width) {
  return Fixed(width, 2, entity.GetAbsRefX()) + "," + Fixed(width + 1, 2, entity.GetAbsRefY());
}

}  // namespace

void TCarryArToArThroughLines::DoIt() {
  protocolOpen_ = false;
  if (!ProtocolFile.empty()) {
    try {
      platform::WriteTextLines(ProtocolFile, {});
      protocolOpen_ = true;
    } catch (const std::exception&) {
      protocolOpen_ = false;
    }
  }
  auto* areas = DynamicCast<TAreaString>(Input());
  TRegister* registry = RegisterOfTheModel();
  register_.Set(registry);
  if (!areas || !registry) return;
  std::unique_ptr<platform::TF_gaugeForm> gauge = platform::NewGaugeForm();
  gauge->SetCaption("Carry props area-area");
  gauge->SetMaxValue(areas->GetCount());
  gauge->Show();
  for (int i = 0; i < areas->GetCount(); ++i) {
    if (gauge->DoCloseQuery()) {
      gauge->SetDoCloseQuery(false);
      if (gauge->ConfirmAbort("Přerušit přenos atributů ?")) break;
    }
    gauge->SetProgress(i + 1);
    if (auto* area = DynamicCast<TAreaElement>(areas->GetElement(i))) CarryFromArea(area);
  }
  gauge->Hide();
}

TAreaElement* TCarryArToArThroughLines::OldAreaAcross(TElement* Line, bool Origin) {
  auto* props = static_cast<TLumarLineProps*>(static_cast<TSpaceEntity*>(Line)->Properties());
  auto* registry = static_cast<TRegister*>(register_.Get());
  TBlockRegister* block = registry ? registry->FindBlockRegister(props->GetBlockName()) : nullptr;
  if (!block) {
    ReportProblem(Line, "No BlockReg");
    return nullptr;
  }
  auto* old = DynamicCast<TAreaElement>(block->FindObject('P', Origin ? props->LeftArea : props->RightArea));
  if (!old) {
    ReportProblem(Line, "No Reg.Area");
    return nullptr;
  }
  if (!DynamicCast<TLumarProps>(old->Properties())) {
    ReportProblem(Line, "No Area Props");
    return nullptr;
  }
  return old;
}

void TCarryArToArThroughLines::CarryFromArea(TAreaElement* Area) {
  protocolLine_.clear();
  auto* bounded = DynamicCast<TPolyLineAreaElement>(Area);
  TAreaElement* kept = nullptr;
  std::string keptBlock;
  const int count = Area->GetCount();
  for (int i = 0; i < count; ++i) {
    auto* line = DynamicCast<TPolyLineElement>(Area->GetElement(i));
    if (!line || !DynamicCast<TLumarLineProps>(line->Properties())) continue;
    try {
      TAreaElement* old = OldAreaAcross(line, bounded && bounded->GetLineOrigin(i));
      if (!old) continue;
      const std::string block = static_cast<TLumarProps*>(old->Properties())->GetBlockName();
      if (kept && block != keptBlock) ReportProblem(line, kDifferentBlock);
      if (!kept || old->WholeArea() > kept->WholeArea()) {
        kept = old;
        keptBlock = block;
      }
    } catch (const std::exception& e) {
      Log(e.what());
      AddToProtocolLine(std::string(e.what()) + " are:" + XY(*Area, 10) + " line ord:" + std::to_string(i));
    }
  }
  ProtocolCarry(kept, Area);
}

void TCarryArToArThroughLines::AddToProtocolLine(const std::string& Text) { protocolLine_ += "| " + Text; }

void TCarryArToArThroughLines::ReportProblem(TElement* Element, const std::string& Reason) {
  auto* entity = DynamicCast<TSpaceEntity>(Element);
  if (!entity) return;
  if (Reason == kDifferentBlock)
    if (auto* props = DynamicCast<TLumarProps>(entity->Properties())) props->Symbol = -23;
  AddToProtocolLine("L:" + Fixed(0, 2, entity->GetAbsRefX()) + "," + Fixed(0, 2, entity->GetAbsRefY()) + " " + Reason);
}

void TCarryArToArThroughLines::ProtocolCarry(TAreaElement* OldArea, TAreaElement* NewArea) {
  const bool problem = !protocolLine_.empty();
  const bool write = protocolOpen_ && (!ProtocolOnlyProblem || problem);
  if (!OldArea) {
    if (write)
      WriteProtocol(" New area XY:" + XY(*NewArea, 11) + " New area area:" + Fixed(12, 4, NewArea->GetCalculatedArea()) +
                    protocolLine_);
    return;
  }
  const auto* old = static_cast<TLumarProps*>(OldArea->Properties());
  NewArea->SetProperties(old->CloneProps());
  if (auto* props = DynamicCast<TLumarProps>(NewArea->Properties())) props->Vyber = SelectForProblem && problem;
  if (write)
    WriteProtocol(" New XY:" + XY(*NewArea, 11) + " New area:" + Fixed(12, 4, NewArea->GetCalculatedArea()) +
                  " Old XY:" + XY(*OldArea, 11) + " Old area:" + Fixed(12, 4, OldArea->GetCalculatedArea()) +
                  " Old No:" + FormatIntWidth(old->Cislo, 6, false) + " Type:" + FormatIntWidth(old->Druh, 4, false) +
                  protocolLine_);
}

void TCarryArToArThroughLines::WriteProtocol(const std::string& text) {
  try {
    platform::AppendTextLine(ProtocolFile, text);
  } catch (const std::exception&) {
    protocolOpen_ = false;
  }
}

TClass TCarryArToArThroughLines::StaticClass() {
  using C = TCarryArToArThroughLines;
  static const TClassInfo info = DescribeClass<C>(
      "TCarryArToArThroughLines", TTool::StaticClass(), "T_Lumar",
      {FieldProp("SelectForProblem", &C::SelectForProblem), FieldProp("ProtocolOnlyProblem", &C::ProtocolOnlyProblem),
       FieldProp("ProtocolFile", &C::ProtocolFile)});
  return &info;
}

void RegisterCarryAttributesClasses() { RegisterKestuClass(TCarryArToArThroughLines::StaticClass()); }
