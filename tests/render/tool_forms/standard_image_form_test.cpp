#include "render/tool_forms/standard_image_form.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <tuple>
#include <vector>

#include "render/tool_forms/explorer.h"
#include "render/tool_forms/form_tool_manager.h"
#include "render/tool_forms/interactive_tool.h"
#include "spatial/geometry/geometry_elements.h"
#include "spatial/objects/space_entities.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

// The form's tool: notes each message as "code" with the event's fields,
// whether it frees its data, and the messages of its own that reach it.
class TFormRecorder : public TInteractiveTool {
 public:
  std::vector<std::string> seen;
  std::vector<TElement*> data;
  std::vector<bool> kills;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    std::string line = std::to_string(message->Message);
    if (auto* mouse = DynamicCast<TKestuMouseEvent>(message))
      line += " " + std::to_string(mouse->X) + "," + std::to_string(mouse->Y) + " b" + std::to_string(mouse->Button) +
              (mouse->Armed ? " armed" : "");
    if (auto* key = DynamicCast<TKestuKeyEvent>(message)) line += " key " + std::to_string(key->Key);
    seen.push_back(line);
    data.push_back(message->Data());
    kills.push_back(message->KillData);
    handled = true;
  }
};

class StandardImageFormTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    tool = new TFormRecorder();
    tool->AfterConstruction();
    owner.AddElement(tool);
    form = std::make_unique<TStandardImageForm>();
    form->SetTool(tool);
  }
  void TearDown() override {
    form.reset();
    owner.Clear();
    ToolFormsTest::TearDown();
  }
  platform::Form& Window() { return form->Window(); }
  std::vector<std::string> Seen() {
    RunMessages();
    std::vector<std::string> seen = tool->seen;
    tool->seen.clear();
    return seen;
  }

  TCodeRecorder owner;
  TFormRecorder* tool = nullptr;
  std::unique_ptr<TStandardImageForm> form;
};

TEST_F(StandardImageFormTest, TheLayoutHoldsEveryComponentAndMenuItemWithItsCaption) {
  std::vector<std::string> captions;
  for (const char* menu : {"mi_Soubor", "mi_Tisk", "mi_Zobrazeni"})
    for (const std::string& item : Window().Items(menu)) captions.push_back(item);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Otevřít", "&Uložit pod názvem", "&Tiskni", "&Nastavení",
                                                "Tisknout jako bitmapu", "&Přezobraz", "&Měřítko",
                                                "Zvětšení      F5", "Zmenšení    F6", "&Struktura",
                                                "Objekty z Exploreru"}));
  EXPECT_EQ(Window().Items("MainMenu"), (std::vector<std::string>{"&Soubor", "&Tisk", "&Zobrazení", "&Nástroje",
                                                                  "&Model", "&Storno"}));
  EXPECT_EQ(Window().PopupMenuItems("ToolBar"),
            (std::vector<std::string>{"Nahoře", "Dole", "Vlevo", "Vpravo", "Plovoucí", "Nastavení", "-", "Storno"}));
  EXPECT_EQ(Window().Items("pm_Image"), (std::vector<std::string>{"Přezobraz", "Měřítko", "Vše ve výřezu"}));
  EXPECT_EQ(std::tuple(Window().Caption(), Window().GetBounds().Width, Window().GetBounds().Height,
                       Window().Hint("b_QuickView"), Window().Text("btn_Link"), Window().Text("lb_x"),
                       Window().Text("lb_y"), Window().Text("lb_M"), Window().FindMenuItem("TOOLS")),
            std::tuple(std::string("Zobrazovač"), 400, 354, std::string("Rychlé, informativní zobrazení"),
                       std::string("Link"), std::string("x:"), std::string("y:"), std::string("M 1 :"),
                       std::string("Tools")));
  for (const char* component : {"PrintDialog", "PrinterSetupDialog", "OpenDialog", "SaveDialog", "l_x", "l_y", "l_M"})
    EXPECT_TRUE(Window().HasControl(component)) << component;
}

TEST_F(StandardImageFormTest, EachMenuItemAndButtonPostsItsCodes) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"mi_Otevrit", {"23"}},
      {"mi_UlozitPodNazvem", {"24"}},
      {"mi_Tiskni", {"40"}},
      {"mi_Prezobraz", {"9", "31"}},
      {"mi_Meritko", {"9", "45"}},
      {"mi_Zvetseni", {"60 key 116"}},
      {"mi_Zmenseni", {"60 key 117"}},
      {"mi_Storno", {"60 key 27"}},
      {"b_QuickView", {"50"}},
      {"pm_Prezobraz", {"9", "31"}},
      {"pm_Meritko", {"9", "45"}},
      {"pm_VseVeVyrezu", {"9", "46"}},
  };
  for (const auto& [control, codes] : cases) {
    platform::UserClick(Window(), control);
    EXPECT_EQ(Seen(), codes) << control;
  }
  // The structure and the model go to the main tool: the manager, and the manager's input.
  auto* input = Named<TRectEntity>("vstup", &owner);
  tool->SetInput(input);
  platform::UserClick(Window(), "mi_Struktura");
  platform::UserClick(Window(), "mi_Model");
  RunMessages();
  EXPECT_EQ(std::tuple(mainTool.codes, mainTool.data),
            std::tuple(std::vector<int>{36, 36}, std::vector<TElement*>{tool, input}));
  // The printer set-up is the system's dialog; the bitmap item checks itself.
  platform::RecordingDialogs dialogs;
  platform::SetDialogs(&dialogs);
  platform::UserClick(Window(), "mi_Nastaveni");
  platform::UserClick(Window(), "Tile");
  platform::SetDialogs(nullptr);
  EXPECT_EQ(std::tuple(dialogs.PrinterSetups, Window().Checked("Tile"), Seen()),
            std::tuple(1, true, std::vector<std::string>{}));
}

TEST_F(StandardImageFormTest, MouseEventsCarryArmedWhichADeactivationClearsUntilTheNextMouseUp) {
  using platform::MouseAction;
  platform::UserMouse(Window(), "Image", MouseAction::Down, {0, 8, 10, 20});
  platform::UserMouse(Window(), "Image", MouseAction::Move, {0, 8, 11, 21});
  platform::UserMouse(Window(), "Image", MouseAction::Up, {0, 0, 12, 22});
  platform::UserDeactivate(Window());
  platform::UserMouse(Window(), "Image", MouseAction::Down, {1, 16, 5, 6});
  platform::UserMouse(Window(), "Image", MouseAction::Up, {1, 0, 5, 6});
  platform::UserMouse(Window(), "Image", MouseAction::Move, {0, 0, 7, 8});
  EXPECT_EQ(Seen(), (std::vector<std::string>{"61 10,20 b0 armed", "63 11,21 b0 armed", "62 12,22 b0 armed",
                                              "61 5,6 b1", "62 5,6 b1", "63 7,8 b0 armed"}));
}

TEST_F(StandardImageFormTest, TheFormsOwnMouseEventsCarryArmedLikeTheImages) {
  using platform::MouseAction;
  // Bare client area: nothing covers the form there.
  for (const char* control : {"Image", "ToolBar", "p_Status"}) Window().SetControlVisible(control, false);
  const struct {
    const char* name;
    MouseAction action;
    platform::MouseInput input;
    bool deactivateFirst;
    std::vector<std::string> codes;
  } steps[] = {
      {"down", MouseAction::Down, {0, 8, 200, 200}, false, {"61 200,200 b0 armed"}},
      {"move", MouseAction::Move, {0, 8, 201, 202}, false, {"63 201,202 b0 armed"}},
      {"up", MouseAction::Up, {0, 0, 203, 204}, false, {"62 203,204 b0 armed"}},
      {"down after deactivation", MouseAction::Down, {1, 16, 150, 160}, true, {"61 150,160 b1"}},
      {"up after deactivation", MouseAction::Up, {1, 0, 150, 160}, false, {"62 150,160 b1"}},
      {"move after that up", MouseAction::Move, {0, 0, 151, 161}, false, {"63 151,161 b0 armed"}},
  };
  for (const auto& step : steps) {
    if (step.deactivateFirst) platform::UserDeactivate(Window());
    platform::UserMouse(Window(), step.action, step.input);
    EXPECT_EQ(Seen(), step.codes) << step.name;
  }
}

TEST_F(StandardImageFormTest, KeysArriveAsVirtualKeyCodesAndKeysWithoutOneAreNotPosted) {
  for (std::uint16_t key : std::initializer_list<std::uint16_t>{platform::vkReturn, platform::vkEscape, platform::vkDown, platform::vkF1, platform::vkF5,
                            platform::vkF6, std::uint16_t('Q'), std::uint16_t('7'), std::uint16_t('~')})
    platform::UserKey(Window(), key);
  // '~' has no virtual key code: the platform gives 0, which is not posted.
  EXPECT_EQ(Seen(), (std::vector<std::string>{"60 key 13", "60 key 27", "60 key 40", "60 key 112", "60 key 116",
                                              "60 key 117", "60 key 81", "60 key 55"}));
}

TEST_F(StandardImageFormTest, TheCloseBoxAsksTheManagerOnceAndThenAllows) {
  EXPECT_FALSE(platform::UserCloseWindow(Window()));
  EXPECT_EQ(std::tuple(form->Closing, Seen()), std::tuple(true, std::vector<std::string>{"2"}));
  EXPECT_TRUE(platform::UserCloseWindow(Window()));
  EXPECT_EQ(Seen(), std::vector<std::string>{});
}

TEST_F(StandardImageFormTest, OnlyAVisibleWindowResizesItsBitmapAndSaysSo) {
  platform::UserResize(Window(), 500, 400);
  EXPECT_EQ(std::tuple(form->ImageBitmap()->Width() < 400, Seen()), std::tuple(true, std::vector<std::string>{}));
  Window().Show();
  platform::UserResize(Window(), 600, 500);
  const platform::Bounds image = Window().ControlBounds("Image");
  EXPECT_EQ(std::tuple(form->ImageBitmap()->Width(), form->ImageBitmap()->Height(), Seen()),
            std::tuple(image.Width, image.Height, std::vector<std::string>{"47"}));
  EXPECT_GT(image.Width, 500);
}

TEST_F(StandardImageFormTest, AnExplorerNodeDroppedGivesItsEnvelopeCopyWhichARectInputTakes) {
  auto* element = Named<TPolyLineElement>("čára", &owner);
  element->SetBounds({0, 0, 10, 10});
  std::unique_ptr<TExplorer> explorer(CreateElement<TExplorer>());
  explorer->SetInput(element);
  explorer->DoIt();
  platform::Form& source = explorer->ExplorerForm()->Window();
  const int node = source.TreeChildren("tv_Tree", 0).at(0);
  auto* rectInput = Named<TRectEntity>("vstup", &owner);
  auto* plainInput = Named<TOwnerEntity>("jiný", &owner);
  struct Case {
    const char* name;
    const char* target;
    bool objectsChecked;
    TElement* input;
    std::vector<std::string> codes;
    bool taken;
  };
  const Case cases[] = {
      {"image, not accepting", "Image", false, rectInput, {}, false},
      {"image", "Image", true, rectInput, {"65 0,0 b0 armed", "66 0,0 b0 armed", "33"}, true},
      {"link", "btn_Link", false, rectInput, {"33"}, true},
      {"link, input no rect", "btn_Link", false, plainInput, {"33"}, false},
  };
  for (const Case& test : cases) {
    tool->SetInput(test.input);
    Window().SetChecked("ObjektyzExploreru", test.objectsChecked);
    const int before = static_cast<TEntity*>(test.input)->GetCount();
    tool->data.clear();
    tool->kills.clear();
    platform::UserDropTreeNode(source, "tv_Tree", node, Window(), test.target);
    EXPECT_EQ(Seen(), test.codes) << test.name;
    const bool taken = static_cast<TEntity*>(test.input)->GetCount() == before + 1;
    EXPECT_EQ(taken, test.taken) << test.name;
    if (test.codes.empty()) continue;
    // The copy is the 33's data; one the input does not hold ends with the message.
    EXPECT_EQ(std::tuple(tool->data.back() != nullptr, bool(tool->kills.back())), std::tuple(true, !test.taken))
        << test.name;
  }
}

TEST(ScaleTextTest, OnlyANumberAboveZeroIsAScale) {
  const std::pair<const char*, double> cases[] = {
      {"5000", 5000}, {" 2500 ", 2500}, {"2,5", 2.5},  {"0.5", 0.5}, {"", 0},   {"abc", 0},
      {"-5", 0},      {"0", 0},         {",", 0},      {"12x", 0},   {"nan", 0}, {"-1e400", 0},
      // No double holds it: infinity, which no window takes.
      {"1e400", HUGE_VAL}, {"1e-400", HUGE_VAL}, {"inf", HUGE_VAL},
  };
  for (const auto& [text, scale] : cases) EXPECT_EQ(ScaleFromText(text), scale) << "'" << text << "'";
}

}  // namespace
