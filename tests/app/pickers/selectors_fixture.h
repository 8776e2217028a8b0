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
#include "tests/app/pickers/editor_stand_in.h"
#include "tests/app/pickers/picker_window.h"
#include "tests/block/block_fixture.h"

class SelectorsTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    RegisterAppClasses();
    RegisterEditorStandIn();
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
  std::vector<EditorSeen> Editors() const { return EditorsOf(*editorsOwner); }
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
