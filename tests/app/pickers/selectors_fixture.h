#pragma once
// The fixture of the selectors' tests: the program's classes, a world whose
// main tool holds the property editors opened, block objects with attribute
// tables, and the record windows closed after each test.
#include <memory>
#include <string>
#include <vector>

#include "app/app_classes.h"
#include "app/pickers/chosen_element.h"
#include "block/props/lumar_props.h"
#include "block/props/lumar_registers.h"
#include "framework/core/class_registry.h"
#include "framework/tools/world.h"
#include "tests/app/pickers/picker_window.h"
#include "tests/block/block_fixture.h"

// Stands in for the property editor: notes where it was to open and that
// it ran.
class TEditorStandIn : public TTool {
 public:
  static TClass StaticClass() {
    static const TClassInfo info = DescribeClass<TEditorStandIn>(
        "TObjectPropertyEditor", TTool::StaticClass(), "PickersTest",
        {FieldProp("Left", &TEditorStandIn::Left), FieldProp("Top", &TEditorStandIn::Top)});
    return &info;
  }
  TClass ClassType() const override { return StaticClass(); }
  void DoIt() override { Shown = true; }
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  bool Shown = false;
};

class SelectorsTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    RegisterAppClasses();
    if (!FindKestuClass("TObjectPropertyEditor")) RegisterKestuClass(TEditorStandIn::StaticClass());
    world = std::make_unique<TWorld>();
    SetWorld(world.get());
    editorsOwner = new TTechnology;
    world->SetMainTool(editorsOwner);
    MainTool = &owner;
    block.SetName(folder.Path());
  }
  void TearDown() override {
    while (!TF_dbfrecForm::OpenWindows().empty()) delete TF_dbfrecForm::OpenWindows().front();
    owner.Clear();
    SetWorld(nullptr);
    world.reset();
    BlockTest::TearDown();
  }
  // The property editors the main tool holds.
  std::vector<TEditorStandIn*> Editors() const {
    std::vector<TEditorStandIn*> editors;
    for (int i = 0; i < editorsOwner->ToolCount(); ++i)
      if (auto* editor = dynamic_cast<TEditorStandIn*>(editorsOwner->GetTool(i))) editors.push_back(editor);
    return editors;
  }
  // A line of the block with its record in the table "L0001.DBF" (fields
  // NAZEV, CISLO, POPIS); the number 13 has none.
  TPolyLineElement* BlockLine(std::int32_t cislo) {
    if (table.empty())
      table = MakeTable("L0001.DBF", "NAZEV char(20), CISLO decimal(6,0), POPIS char(40)",
                        {{"Žďárská", "12", "hraniční linie"}, {"druhá", "14", ""}});
    return Filed<TPolyLineElement, TLumarLineProps>(block, cislo, 1);
  }

  std::unique_ptr<TWorld> world;
  TTechnology* editorsOwner = nullptr;
  TLineRecorder owner;
  TLumarBlockRegister block;
  std::string table;
};
