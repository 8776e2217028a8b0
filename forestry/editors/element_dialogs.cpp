#include "forestry/editors/element_dialogs.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "app/pickers/pick_uppers.h"
#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/forms/base_forms.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "spatial/objects/space_entities.h"

namespace {


// A dialog's run shows its form on the user-interface thread; true when the
// call was handed over there (and has run).
template <class Run>
bool RunOnUiThread(Run run) {
  platform::Application& application = platform::Application::Instance();
  if (application.IsUiThread()) return false;
  application.Call(run);
  return true;
}

std::string NameOf(const TElement* unit) { return unit ? unit->GetName() : std::string(); }

// The five level names of the stand group, blank-separated.
std::string StandNotation(const TElement* frame) {
  const auto* group = DynamicCast<TPorostniSkupina>(frame);
  if (!group) return NameOf(frame);
  return NameOf(group->GetLHC()) + " " + NameOf(group->GetOddeleni()) + " " + NameOf(group->GetDilec()) + " " +
         NameOf(group->GetPorost()) + " " + group->GetName();
}

bool WholeNumberIn(const std::string& text, long long low, long long high) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && !text.empty() && value >= low && value <= high;
}

// A decimal number with either separator, as the properties read it.
std::string DecimalText(std::string text) {
  for (char& c : text)
    if (c == ',') c = '.';
  return text;
}

bool DecimalNumber(const std::string& text) {
  const std::string decimal = DecimalText(text);
  double value = 0;
  const char* end = decimal.data() + decimal.size();
  const auto [stop, error] = std::from_chars(decimal.data(), end, value);
  return error == std::errc() && stop == end && !decimal.empty() && std::isfinite(value);
}

}  // namespace

// ---------------------------------------------------------------- TLineDialog

void TLineDialog::CreateForm() { MakeForm("TLineDialog_Form"); }

void TLineDialog::DoIt() {
  if (RunOnUiThread([this] { DoIt(); })) return;
  const auto* line = DynamicCast<TPolyLineElement>(Input());
  if (line && Form()) {
    platform::Form& window = Form()->Window();
    const double length = line->Length();
    window.SetText("l_length", length == 0 ? "Neni co měřit" : FormatDecimals(length, 3, 3));
    window.SetText("l_Count", std::to_string(line->GetCoordsCount()));
  }
  TKestuDialog::DoIt();
}

// ---------------------------------------------------------------- TTezPDialog

void TTezPDialog::CreateForm() {
  MakeForm("TTezPDialog_Form");
  platform::Form& window = Form()->Window();
  const std::pair<const char*, const char*> enterOrder[] = {
      {"ed_Zpusob", "ed_Nalehavost"}, {"ed_Nalehavost", "ed_Srafa"}, {"ed_Srafa", "bt_OK"}, {"ed_Area", "bt_OK"}};
  for (const auto& step : enterOrder) {
    const char* next = step.second;
    window.OnEnterKey(step.first, [&window, next] { window.Focus(next); });
  }
  window.OnClick("b_SetArea", [this] { SetCarryArea("TRUE"); });
}

TAreaElement* TTezPDialog::InputArea() const { return DynamicCast<TAreaElement>(Input()); }

std::string TTezPDialog::CarriedAreaText() const {
  TAreaElement* area = InputArea();
  if (!area || !Frame()) return {};
  std::unique_ptr<TPickUpArea> picker(CreateElement<TPickUpArea>());
  picker->SetX(area->GetAbsRefX());
  picker->SetY(area->GetAbsRefY());
  picker->Tolerance = 0;
  picker->SetInput(Frame());
  picker->DoIt();
  const TElement* picked = picker->Found() ? picker->Output() : nullptr;
  return picked ? picked->GetPropertyText(FrameAreaPropertyName.empty() ? "VYMERA" : FrameAreaPropertyName)
                : std::string();
}

std::string TTezPDialog::NewAreaText() const {
  if (CarryAreaFromFrame) return CarriedAreaText();
  const TAreaElement* area = InputArea();
  return area ? FormatDecimals(area->GetCalculatedArea() / 10000, 0, 4) : std::string();
}

void TTezPDialog::SetParameter(const std::string& name, TElement* element) {
  TKestuDialog::SetParameter(name, element);
  if (name == "Frame") SetFrame(element);
}

void TTezPDialog::SetCarryArea(const std::string& /*text*/) {
  if (SRFOnly || !Form()) return;
  Form()->Window().SetText("ed_Area", NewAreaText());
  platform::Application::Instance().ProcessMessages();
}

bool TTezPDialog::EntriesValid() {
  platform::Form& window = Form()->Window();
  struct Entry {
    const char* edit;
    const char* caption;
    bool valid;
  };
  const auto integer = [&window](const char* edit, long long low, long long high) {
    return WholeNumberIn(window.Text(edit), low, high);
  };
  const Entry entries[] = {
      {"ed_Zpusob", "Způsob", SRFOnly || integer("ed_Zpusob", INT32_MIN, INT32_MAX)},
      {"ed_Nalehavost", "Naléhavost", SRFOnly || integer("ed_Nalehavost", INT32_MIN, INT32_MAX)},
      {"ed_Srafa", "Šrafa", integer("ed_Srafa", INT16_MIN, INT16_MAX)},
      {"ed_Area", "Výměra", SRFOnly || DecimalNumber(window.Text("ed_Area"))},
  };
  for (const Entry& entry : entries) {
    if (entry.valid) continue;
    platform::ShowMessage("Neplatná hodnota pole " + std::string(entry.caption) + ": " + window.Text(entry.edit));
    window.Focus(entry.edit);
    return false;
  }
  return true;
}

void TTezPDialog::DoIt() {
  if (RunOnUiThread([this] { DoIt(); })) return;
  TAreaElement* area = InputArea();
  if (!area || !Form()) return TKestuDialog::DoIt();
  platform::Form& window = Form()->Window();
  for (const char* control : {"ed_Nalehavost", "ed_Zpusob", "ed_Area", "lb_Zpusob", "lb_Nalehavost", "lb_Vymera"})
    window.SetControlVisible(control, !SRFOnly);
  window.SetText("l_Skupina", Frame() ? StandNotation(Frame()) : "Hic Sunt Leones");
  window.SetText("l_Area", FormatDecimals(area->GetCalculatedArea(), 0, 4));
  if (area->Properties()) {
    if (!SRFOnly) {
      window.SetText("ed_Area", area->GetPropertyText("VYMERA"));
      window.SetText("ed_Nalehavost", area->GetPropertyText("NALEHAVOST"));
      window.SetText("ed_Zpusob", area->GetPropertyText("ZPUSOB"));
    }
    window.SetText("ed_Srafa", area->GetPropertyText("ZNACKA"));
  } else {
    area->SetProperties(CreateElement<TTezPProps>());
    if (!SRFOnly) window.SetText("ed_Area", NewAreaText());
  }
  window.OnModalButton([this](int result) { return result != platform::mrOk || EntriesValid(); });
  TKestuDialog::DoIt();
  if (Result != platform::mrOk) return;
  if (!SRFOnly) {
    area->SetPropertyText("VYMERA", DecimalText(window.Text("ed_Area")));
    area->SetPropertyText("NALEHAVOST", window.Text("ed_Nalehavost"));
    area->SetPropertyText("ZPUSOB", window.Text("ed_Zpusob"));
  }
  area->SetPropertyText("ZNACKA", window.Text("ed_Srafa"));
}

// ---------------------------------------------------------------- TSimplePointDialog

void TSimplePointDialog::CreateForm() { MakeForm("TSimplePointDialog_Form"); }

TIntegerListElement& TSimplePointDialog::Colors() const {
  auto* colors = DynamicCast<TIntegerListElement>(FindElementByName("COLORS"));
  if (!colors) {
    colors = CreateElement<TIntegerListElement>();
    colors->SetName("COLORS");
    const_cast<TSimplePointDialog*>(this)->AddElement(colors);
  }
  return *colors;
}

std::string TSimplePointDialog::ColorList() const {
  std::string text;
  TIntegerListElement& colors = Colors();
  for (int i = 0; i < colors.GetCount(); ++i) text += (i ? "," : "") + std::to_string(colors.GetInteger(i));
  return text;
}

void TSimplePointDialog::SetColorList(const std::string& text) {
  // Parsed aside first, so that a bad part leaves the list as it was.
  std::unique_ptr<TIntegerListElement> parsed(CreateElement<TIntegerListElement>());
  parsed->Duplicates = true;
  if (!TrimBlanks(text).empty()) parsed->AddCommaText(text);
  TIntegerListElement& colors = Colors();
  colors.Clear();
  for (int i = 0; i < parsed->GetCount(); ++i) colors.AddInteger(parsed->GetInteger(i));
}

std::int32_t TSimplePointDialog::Color() const {
  TIntegerListElement& colors = Colors();
  return Value_ >= 0 && Value_ < colors.GetCount() ? colors.GetInteger(Value_) : 0;
}

std::string TSimplePointDialog::ValueCaption() const {
  return Form() ? Form()->Window().Text("lb_Value") : std::string();
}

void TSimplePointDialog::SetValueCaption(const std::string& caption) {
  if (Form()) Form()->Window().SetText("lb_Value", caption);
}

void TSimplePointDialog::SetMinValue(std::int32_t value) {
  if (Form()) Form()->Window().SetRange("ed_Value", value, Form()->Window().Maximum("ed_Value"));
}

void TSimplePointDialog::SetMaxValue(std::int32_t value) {
  if (Form()) Form()->Window().SetRange("ed_Value", Form()->Window().Minimum("ed_Value"), value);
}

void TSimplePointDialog::SetPropertyClassName(const std::string& name) {
  if (!name.empty() && !FindKestuClassWithOrWithoutT(name)) {
    PostTextMessage(this, msgLogText, GetName() + ": PropertyClass " + name + " not found", nullptr);
    return;
  }
  propertyClassName_ = name;
}

void TSimplePointDialog::DoIt() {
  if (RunOnUiThread([this] { DoIt(); })) return;
  auto* point = DynamicCast<TPointElement>(Input());
  if (!point) return;
  if (point->Properties()) {
    Value_ = static_cast<std::int32_t>(std::strtol(point->GetPropertyText(ValueName).c_str(), nullptr, 10));
  } else {
    TElement* props = propertyClassName_.empty() ? CreateElement<TTezBProps>()
                                                 : NewElement(FindKestuClassWithOrWithoutT(propertyClassName_));
    point->SetProperties(props);
  }
  if (!DontShowForm && Form()) Form()->Window().SetPosition("ed_Value", Value_);
  TKestuDialog::DoIt();
  if (!DontShowForm && Result != platform::mrOk) return;
  if (!DontShowForm && Form()) Value_ = Form()->Window().Position("ed_Value");
  point->SetPropertyText("DRUH", std::to_string(Druh));
  point->SetPropertyText("Znacka", std::to_string(Symbol));
  point->SetPropertyText("Barva", std::to_string(Color()));
  point->SetPropertyText(ValueName, std::to_string(Value_));
}

// ---------------------------------------------------------------- classes

TClass TLineDialog::StaticClass() {
  static const TClassInfo info = DescribeClass<TLineDialog>("TLineDialog", TKestuDialog::StaticClass(), "Dialogs", {});
  return &info;
}

TClass TTezPDialog::StaticClass() {
  using E = TTezPDialog;
  static const TClassInfo info = DescribeClass<E>(
      "TTezPDialog", TKestuDialog::StaticClass(), "Dialogs",
      {ReadWriteProp("Frame", &E::Frame, &E::SetFrame), FieldProp("SRFOnly", &E::SRFOnly),
       FieldProp("CarryAreaFromFrame", &E::CarryAreaFromFrame),
       FieldProp("FrameAreaPropertyName", &E::FrameAreaPropertyName),
       NotStored(WriteProp("CarryArea", &E::SetCarryArea))});
  return &info;
}

TClass TSimplePointDialog::StaticClass() {
  using E = TSimplePointDialog;
  static const TClassInfo info = DescribeClass<E>(
      "TSimplePointDialog", TKestuDialog::StaticClass(), "Dialogs",
      {FieldProp("Value_", &E::Value_), FieldProp("Druh", &E::Druh), FieldProp("Symbol", &E::Symbol),
       FieldProp("ValueName", &E::ValueName), NotStored(WriteProp("MinValue", &E::SetMinValue)),
       NotStored(WriteProp("MaxValue", &E::SetMaxValue)),
       ReadWriteProp("ValueCaption", &E::ValueCaption, &E::SetValueCaption),
       ReadWriteProp("ColorList", &E::ColorList, &E::SetColorList), NotStored(ReadProp("Color", &E::Color)),
       ReadWriteProp("PropertyClassName", &E::PropertyClassName, &E::SetPropertyClassName)});
  return &info;
}

void RegisterElementDialogClasses() {
  RegisterKestuClass(TLineDialog::StaticClass());
  RegisterKestuClass(TTezPDialog::StaticClass());
  RegisterKestuClass(TSimplePointDialog::StaticClass());
}
