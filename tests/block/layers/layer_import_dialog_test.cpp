#include "block/layers/layer_import_dialog.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "block/block_classes.h"
#include "framework/values/typed_values.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "tests/platform/temp_folder.h"

namespace {

using ::testing::ElementsAre;

constexpr const char* kGrid = "OutLayers";

class LayerImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBlockClasses();
    platform::SetDialogs(&dialogs);
  }
  void TearDown() override {
    platform::SetModalAnswerer(nullptr);
    platform::SetDialogs(nullptr);
    delete dialog.Output();
    delete dialog.Input();
  }

  // Runs the dialog with a person acting at the form as told; a run left
  // without a button pressed ends as cancelled.
  void Run(const std::function<void(platform::Form&)>& act) {
    platform::SetModalAnswerer([&](platform::Form& form) { act(form); });
    dialog.DoIt();
  }

  // An input list of these lines.
  TStringListElement* Input(const std::vector<std::string>& lines) {
    auto* list = CreateElement<TStringListElement>();
    for (const std::string& line : lines) list->NextValue(line);
    dialog.SetInput(list);
    return list;
  }

  std::vector<std::string> OutputLines() {
    auto* list = DynamicCast<TStringListElement>(dialog.Output());
    return list ? list->GetValueList() : std::vector<std::string>();
  }

  platform::RecordingDialogs dialogs;
  TLayerImportDialog dialog;
  TempFolder folder;
};

void Touch(const std::string& file, int bytes) { std::ofstream(file) << std::string(static_cast<std::size_t>(bytes), 'x'); }

TEST_F(LayerImportDialogTest, TheFormHoldsTheControlsHintsFiltersAndMenuInOrder) {
  Run([](platform::Form& form) {
    const platform::Bounds bounds = form.GetBounds();
    EXPECT_EQ(bounds.Width, 504);
    EXPECT_EQ(bounds.Height, 429);
    const std::pair<const char*, const char*> hints[] = {
        {"InDrive", "Výběr zařízení"},
        {"InDir", "Výběr adresáře"},
        {"InFile", "Dvojitým kliknutím myši  přidáte vrstvu do předpisu vpravo"},
        {"InFilter", "Výběr typu vrstvy"},
        {"SB_Up", "Přesun vrstvy (řádku) nahoru"},
        {"SB_Down", "Přesun vrstvy (řádku) dolů"},
        {"bt_Plus", "Pokyn k prohledávání podadresářů"},
        {"bt_Star", "Zkrácení cesty a nahrazení jména souboru divokou značkou"},
        {"bt_Include", "Výčtová vlastnost ... seznam hodnot pro kladný výběr"},
        {"bt_Exclude", "Výčtová vlastnost ... seznam hodnot pro záporný výběr"},
        {"bt_Color", "Nastavení barvy pro vrstvu"},
        {"bt_UseColor", "Zapnutí/vypnutí použití barvy pro vrstvu"},
        {"bt_Symbol", "Nastavení symbolu (značky) pro vrstvu"},
        {"bt_UseSymbol", "Zapnutí/vypnutí použití symbolu (značky) pro vrstvu"},
        {"bt_Condition", "Vložení podmínkového výrazu"},
        {"bt_Expert", "Velmi interaktivní průvodce vkládáním vrstev pro středně pokročilé začátečníky"},
    };
    for (const auto& [control, hint] : hints) EXPECT_EQ(form.Hint(control), hint) << control;
    EXPECT_EQ(form.GridRows(kGrid).size(), 50u);
    EXPECT_EQ(form.FileMask("InFile"), "tn.are;tn.pnt;tn.lin;tn.ttx");
    EXPECT_THAT(form.Items("InFilter"),
                ElementsAre("Lumar objekty", "Rastry", "Kestu objekty", "ArcView Shape Files", "Microstation DGN",
                            "Tabulka *.DBF", "Tabulka *.DB", "ARC ASC", "Všechny soubory"));
    EXPECT_THAT(form.PopupMenuItems(kGrid),
                ElementsAre("Vložit řádek", "Smazat řádek", "Zkrátit cestu", "-", "+ (přidat/ubrat)", "*", "!",
                            "- (přidat/ubrat)", "-", "@", "@DRUH=", "@COLOR=", "@USECOLOR", "@SYMBOL=",
                            "@USESYMBOL", "@CONDITION="));
    EXPECT_EQ(form.DefaultResult(), platform::mrOk);
    const std::string shot = std::string(KESTX_SCREENSHOTS_DIR) + "/TF_layimpForm.png";
    std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
    ASSERT_TRUE(form.SaveImage(shot));
    // The picture's size, from the PNG header.
    std::ifstream png(shot, std::ios::binary);
    unsigned char header[24] = {};
    png.read(reinterpret_cast<char*>(header), sizeof header);
    EXPECT_EQ((header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19]), 504);
    EXPECT_EQ((header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23]), 429);
  });
}

TEST_F(LayerImportDialogTest, OkGivesEveryRowAndFreesTheInputCancelSplitsTheInput) {
  struct Row {
    const char* Case;
    bool Ok;
  } rows[] = {{"OK", true}, {"cancel", false}};
  for (const Row& row : rows) {
    TElementLink input(Input({"LIN=/data/XY.BLK", "!DRUH=1,2"}));
    Run([&](platform::Form& form) {
      const std::vector<std::string> shown = form.GridRows(kGrid);
      EXPECT_THAT(std::vector<std::string>(shown.begin(), shown.begin() + 3),
                  ElementsAre("LIN=/data/XY.BLK", "!DRUH=1,2", ""))
          << row.Case;
      platform::UserEditCell(form, kGrid, 2, "@COLOR=12");
      if (row.Ok) platform::UserClick(form, "BitBtn1");
      else platform::UserClick(form, "BitBtn2");
    });
    if (row.Ok) {
      EXPECT_EQ(input.Get(), nullptr) << row.Case;
      const std::vector<std::string> lines = OutputLines();
      ASSERT_EQ(lines.size(), 50u) << row.Case;
      EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 4),
                  ElementsAre("LIN=/data/XY.BLK", "!DRUH=1,2", "@COLOR=12", ""))
          << row.Case;
    } else {
      ASSERT_EQ(dialog.Output(), input.Get()) << row.Case;
      auto* list = DynamicCast<TStringListElement>(dialog.Output());
      EXPECT_EQ(list->GetItemName(0), "LIN") << row.Case;
      EXPECT_EQ(list->GetValue(0), "/data/XY.BLK") << row.Case;
      EXPECT_EQ(list->GetItemName(1), "!DRUH") << row.Case;
      EXPECT_EQ(list->GetValue(1), "1,2") << row.Case;
    }
    delete dialog.Output();
    dialog.SetOutput(nullptr);
    dialog.SetInput(nullptr);
  }
}

TEST_F(LayerImportDialogTest, StartsInTheInitialFolderAndAddsDoubleClickedFiles) {
  const std::string block = folder.File("XY.BLK");
  std::filesystem::create_directory(block);
  Touch(block + "/TN.LIN", 103);
  Touch(block + "/tn.are", 7);
  Touch(block + "/mapa.tif", 5);
  dialog.InitialDir = block;
  Input({"", "RAS=/m/a.tif", ""});
  Run([&](platform::Form& form) {
    EXPECT_EQ(form.Directory("InDir"), block);
    EXPECT_THAT(form.Items("InFile"), ElementsAre("TN.LIN", "tn.are"));
    platform::SetDialogs(nullptr);
    EXPECT_FALSE(form.Text("InDrive").empty());
    // The selection starts on the first row, where a first double click goes.
    EXPECT_EQ(form.CurrentRow(kGrid), 0);
    form.SetCurrentRow(kGrid, 1);
    platform::UserClickItem(form, "InFile", 0);
    EXPECT_EQ(form.Text("lbSize"), "103");
    platform::UserDoubleClickItem(form, "InFile", 0);
    platform::UserDoubleClickItem(form, "InFile", 1);
    platform::UserChooseItem(form, "InFilter", 1);
    EXPECT_THAT(form.Items("InFile"), ElementsAre("mapa.tif"));
    platform::UserDoubleClickItem(form, "InFile", 0);
    const std::vector<std::string> rows = form.GridRows(kGrid);
    EXPECT_THAT(std::vector<std::string>(rows.begin(), rows.begin() + 5),
                ElementsAre("", "RAS=/m/a.tif", "LIN=" + block, "ARE=" + block, "RAS=" + block + "/mapa.tif"));
  });
}

// Each filter the user chooses gives the file list its masks; the first is
// chosen last, back from another one.
TEST_F(LayerImportDialogTest, EachChosenFilterGivesTheFileListItsMasks) {
  const std::pair<int, const char*> rows[] = {
      {1, "*.ras;*.rak;*.tif;*.bmp;*.cit"}, {2, "*.KES"}, {3, "*.SHP"}, {4, "*.DGN"}, {5, "*.DBF"},
      {6, "*.DB"},                          {7, "*.ASC"}, {8, "*.*"},   {0, "tn.are;tn.pnt;tn.lin;tn.ttx"},
  };
  Run([&](platform::Form& form) {
    for (const auto& [index, masks] : rows) {
      platform::UserChooseItem(form, "InFilter", index);
      EXPECT_EQ(form.FileMask("InFile"), masks) << "filter " << index;
    }
  });
}

TEST_F(LayerImportDialogTest, ButtonsAndMenuItemsEditTheCurrentRow) {
  struct Row {
    const char* Case;
    std::function<void(platform::Form&)> Press;
    std::vector<std::string> Before;
    int Current;
    std::vector<std::string> After;
  };
  const auto menu = [](const char* caption) {
    return [caption](platform::Form& form) { platform::UserChoosePopupItem(form, kGrid, caption); };
  };
  const auto button = [](const char* name) { return [name](platform::Form& form) { platform::UserClick(form, name); }; };
  const Row rows[] = {
      {"bang button", button("bt_Include"), {"!DRUH=1,2", ""}, 0, {"-DRUH=1,2", ""}},
      {"bang menu", menu("!"), {"-DRUH=1,2"}, 0, {"!DRUH=1,2"}},
      {"plus menu", menu("+ (přidat/ubrat)"), {"LIN=C:\\DATA"}, 0, {"LIN=+C:\\DATA"}},
      {"shorten menu", menu("Zkrátit cestu"), {"x", "LIN=+/a/b/XY.BLK"}, 1, {"x", "LIN=+XY.BLK"}},
      {"insert row", menu("Vložit řádek"), {"A", "B"}, 0, {"", "A", "B"}},
      {"delete row", menu("Smazat řádek"), {"A", "B"}, 0, {"B"}},
      {"row up", button("SB_Up"), {"A", "B"}, 1, {"B", "A"}},
      {"row down", button("SB_Down"), {"A", "B"}, 0, {"B", "A"}},
      {"at menu", menu("@"), {"X=1"}, 0, {"@=1"}},
      {"kind filter menu", menu("@DRUH="), {"X=1"}, 0, {"!DRUH=1"}},
      {"use colour button", button("bt_UseColor"), {"a"}, 0, {"@USECOLOR=TRUE"}},
      {"symbol menu", menu("@SYMBOL="), {"a=5"}, 0, {"@SYMBOL=0"}},
      {"expert does nothing", button("bt_Expert"), {"a=5"}, 0, {"a=5"}},
  };
  for (const Row& row : rows) {
    Run([&](platform::Form& form) {
      form.SetGridRows(kGrid, row.Before);
      form.SetCurrentRow(kGrid, row.Current);
      row.Press(form);
      EXPECT_EQ(form.GridRows(kGrid), row.After) << row.Case;
    });
  }
}

TEST_F(LayerImportDialogTest, TheColourDialogStartsFromTheLineAndCancelKeepsIt) {
  struct Row {
    const char* Case;
    const char* Control;
    std::deque<std::uint32_t> Answers;
    std::string After;
  } rows[] = {
      {"button, chosen", "bt_Color", {0x0000FFu}, "@COLOR=255"},
      {"menu, chosen", "mi_Color", {65280u}, "@COLOR=65280"},
      {"cancelled", "bt_Color", {}, "@COLOR=4660"},
  };
  for (const Row& row : rows) {
    dialogs.ColorAnswers = row.Answers;
    Run([&](platform::Form& form) {
      form.SetGridRows(kGrid, {"@COLOR=4660"});
      form.SetCurrentRow(kGrid, 0);
      platform::UserClick(form, row.Control);
      EXPECT_THAT(form.GridRows(kGrid), ElementsAre(row.After)) << row.Case;
    });
  }
}

}  // namespace
