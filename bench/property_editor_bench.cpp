// The property editor filling and refilling its grids for an object of
// 10,000 published properties, against a table filled by plain Qt code with
// the same texts in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/framework_classes.h"
#include "platform/string_grid_reference.h"
#include "render/tool_forms/property_editor.h"
#include "render/tool_forms/tool_form_classes.h"

namespace {

constexpr int kProperties = 10000;

// An element that publishes kProperties integers of its own.
class TWideElement : public TNameElement {
  KESTX_CLASS(TWideElement)
 public:
  std::vector<std::int32_t> Values = std::vector<std::int32_t>(kProperties);
};

}  // namespace

TClass TWideElement::StaticClass() {
  static const TClassInfo info = [] {
    std::vector<TPropInfo> props;
    for (int i = 0; i < kProperties; ++i)
      props.push_back(AccessorProp<TWideElement, std::int32_t>(
          "Vlastnost" + std::to_string(i), [i](const TWideElement& e) { return e.Values[static_cast<std::size_t>(i)]; },
          [i](TWideElement& e, std::int32_t v) { e.Values[static_cast<std::size_t>(i)] = v; }));
    return DescribeClass<TWideElement>("TWideElement", TNameElement::StaticClass(), "PropertyEditorBench",
                                       std::move(props));
  }();
  return &info;
}

namespace {

TWideElement& Wide() {
  static TWideElement element;
  static const bool filled = [] {
    for (int i = 0; i < kProperties; ++i) element.Values[static_cast<std::size_t>(i)] = i * 7919;
    return true;
  }();
  (void)filled;
  return element;
}

// Each run makes a fresh editor with its window (untimed): the first fill
// appends the rows, the refill writes them again.
void BM_PropertyEditorFillAndRefill(benchmark::State& state) {
  RegisterFrameworkClasses();
  RegisterToolFormClasses();
  Wide().ClassType()->Props();
  for (auto _ : state) {
    state.PauseTiming();
    auto editor = std::make_unique<TObjectPropertyEditor>();
    editor->SetInput(&Wide());
    editor->Form();
    state.ResumeTiming();
    editor->DoIt();
    editor->Fill();
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PropertyEditorFillAndRefill)->Unit(benchmark::kMillisecond);

// The anchor: the same name and value texts, every property's row, into a
// fresh table (made and freed untimed) that is shown after its first fill.
void BM_PropertyTableWithPlainQt(benchmark::State& state) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const TPropInfo* info : Wide().ClassType()->Props())
    rows.emplace_back(info->Name, Wide().GetPropertyText(info->Name));
  for (auto _ : state) {
    state.PauseTiming();
    auto table = std::make_unique<platform::QtTable>();
    state.ResumeTiming();
    table->FillAndRefill(rows);
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PropertyTableWithPlainQt)->Unit(benchmark::kMillisecond);

}  // namespace
