#include "forestry/editors/element_dialogs.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "block/forest_model/forest_props.h"
#include "block/forest_model/forest_units.h"
#include "framework/core/messages.h"
#include "framework/forms/base_forms.h"
#include "framework/values/typed_values.h"
#include "platform/forms.h"
#include "tests/forestry/forestry_fixture.h"

namespace {

// A rectangle area from (x, y), w wide and h high.
TAreaElement* Rectangle(double x, double y, double w, double h) {
  auto* area = new TAreaElement;
  for (const auto& [px, py] : {std::pair{x, y}, {x, y + h}, {x + w, y + h}, {x + w, y}}) area->AddVertex(px, py);
  area->CalcBounds();
  return area;
}

class ElementDialogTest : public ForestryTest {
 protected:
  void SetUp() override {
    ForestryTest::SetUp();
    MainTool = &log;
  }
  void TearDown() override {
    platform::SetModalAnswerer(nullptr);
    RunMessages();
    ForestryTest::TearDown();
  }
  // The dialog of class D run on the input, a person acting at its form.
  template <class D>
  std::unique_ptr<D> Run(TElement* input, std::function<void(platform::Form&)> act,
                         std::function<void(D&)> prepare = nullptr) {
    std::unique_ptr<D> dialog(CreateElement<D>());
    if (prepare) prepare(*dialog);
    platform::SetModalAnswerer(std::move(act));
    dialog->SetInput(input);
    dialog->DoIt();
    return dialog;
  }
  static void Shoot(platform::Form& form, const std::string& name) {
    std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
    EXPECT_TRUE(form.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/" + name + ".png"));
  }
  // The texts of the areas's harvest properties: VYMERA, NALEHAVOST, ZPUSOB, ZNACKA.
  static std::vector<std::string> HarvestTexts(const TElement& area) {
    std::vector<std::string> texts;
    for (const char* name : {"VYMERA", "NALEHAVOST", "ZPUSOB", "ZNACKA"}) texts.push_back(area.GetPropertyText(name));
    return texts;
  }

  TRecorder log;
  TEntity model;
};

TEST_F(ElementDialogTest, TheLineDialogShowsLengthAndCountAndAnswersEachButton) {
  const struct {
    const char* name;
    std::vector<std::pair<double, double>> vertices;
    const char* button;
    const char* length;
    const char* count;
    int result;
    bool line = true;  // else the input is a point
  } cases[] = {
      {"one vertex: nothing to measure", {{5, 5}}, "bt_OK", "Neni co měřit", "1", 1},
      {"3-4-5, ended", {{0, 0}, {3, 4}}, "bt_OK", "5.000", "2", 1},
      {"two legs, a vertex deleted", {{0, 0}, {0, 1.2345}, {1.0005, 1.2345}}, "b_DeletePoint", "2.235", "3", 4},
      {"closed", {{0, 0}, {0, 2}, {2, 2}}, "b_Close", "4.000", "3", 5},
      {"line deleted", {{0, 0}, {1, 0}}, "b_DeleteLine", "1.000", "2", 3},
      {"cancelled", {{0, 0}, {1, 0}}, "bt_Storno", "1.000", "2", 2},
      {"no line: nothing measured", {}, "bt_OK", "", "", 1, false},
  };
  for (const auto& c : cases) {
    auto* line = c.line ? new TPolyLineElement : nullptr;
    for (const auto& [x, y] : c.vertices) line->AddVertex(x, y);
    TElement* input = line ? static_cast<TElement*>(line) : new TPointElement;
    model.AddElement(input);
    std::vector<std::string> shown;
    const auto dialog = Run<TLineDialog>(input, [&](platform::Form& form) {
      shown = {form.Text("l_length"), form.Text("l_Count")};
      if (c.result == 4) Shoot(form, "line_dialog");
      platform::UserClick(form, c.button);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{c.length, c.count})) << c.name;
    EXPECT_EQ(dialog->Result, c.result) << c.name;
  }
}

// The PSK 101 12 a 3 2 holding in its geometry a frame area with its
// acreage, 0..100 × 0..100.
struct StandGroupWithArea {
  TLHC lhc;
  TPorostniSkupina* group = nullptr;
  TAreaElement* frameArea = nullptr;

  StandGroupWithArea() {
    lhc.SetName("101");
    TElement* owner = &lhc;
    for (auto [cls, name] : {std::pair{TOddeleni::StaticClass(), "12"}, {TDilec::StaticClass(), "a"},
                             {TPorost::StaticClass(), "3"}, {TPorostniSkupina::StaticClass(), "2"}}) {
      TElement* unit = NewElement(cls);
      unit->SetName(name);
      static_cast<TEntity*>(owner)->AddElement(unit);
      owner = unit;
    }
    group = static_cast<TPorostniSkupina*>(owner);
    auto* geometry = new TAreaString;
    geometry->SetName("GEOMETRY");
    group->AddElement(geometry);
    frameArea = Rectangle(0, 0, 100, 100);
    frameArea->SetProperties(new TDynamicProperties);
    frameArea->SetPropertyText("VYMERA", "3.5");
    frameArea->SetPropertyText("PLOCHA_PSK", "0.9");
    geometry->AddElement(frameArea);
  }
};

// The frame is set, or handed over by an editor as the parameter "Frame".
TEST_F(ElementDialogTest, TheHarvestDialogFillsItsFieldsAndWritesThemBackOnOk) {
  StandGroupWithArea stand;
  enum Frame { kNoFrame, kFrameSet, kFrameHanded };
  struct Case {
    const char* name;
    bool withProps;
    bool srfOnly;
    Frame frame;
    bool carry;
    const char* frameProperty;
    std::vector<std::string> shown;  // l_Skupina, l_Area, ed_Area, ed_Nalehavost, ed_Zpusob, ed_Srafa
    std::vector<std::string> typed;  // ed_Area, ed_Nalehavost, ed_Zpusob, ed_Srafa
    const char* button;
    std::vector<std::string> stored;  // VYMERA, NALEHAVOST, ZPUSOB, ZNACKA afterwards
    bool visible = true;
  };
  // The area is 123.456 × 100 = 12,345.6 m².
  const Case cases[] = {
      {"new area: hectares, no frame", false, false, kNoFrame, false, "",
       {"Hic Sunt Leones", "12345.6", "1.2346", "", "", ""}, {"1,25", "2", "3", "40"}, "bt_OK",
       {"1.25", "2", "3", "40"}},
      {"new area in a frame: the carried acreage", false, false, kFrameSet, true, "",
       {"101 12 a 3 2", "12345.6", "3.5", "", "", ""}, {"3.5", "1", "1", "1"}, "bt_OK", {"3.5", "1", "1", "1"}},
      {"carried from a named property of a frame handed over", false, false, kFrameHanded, true, "PLOCHA_PSK",
       {"101 12 a 3 2", "12345.6", "0.9", "", "", ""}, {"0.9", "0", "0", "0"}, "bt_OK", {"0.9", "0", "0", "0"}},
      {"existing props shown, cancelled", true, false, kNoFrame, false, "",
       {"Hic Sunt Leones", "12345.6", "7.5", "4", "5", "600"}, {"1", "1", "1", "1"}, "bt_Storno",
       {"7.5", "4", "5", "600"}},
      {"hatch only", true, true, kFrameSet, false, "", {"101 12 a 3 2", "12345.6", "", "", "", "600"},
       {"", "", "", "-32768"}, "bt_OK", {"7.5", "4", "5", "-32768"}, false},
  };
  for (const Case& c : cases) {
    TAreaElement* area = Rectangle(10, 10, 123.456, 100);
    model.AddElement(area);
    if (c.withProps) {
      auto* props = new TTezPProps;
      props->Vymera = 7.5;
      props->Nalehavost = 4;
      props->Zpusob = 5;
      props->Znacka = 600;
      area->SetProperties(props);
    }
    std::vector<std::string> shown;
    bool visible = false;
    const auto dialog = Run<TTezPDialog>(
        area,
        [&](platform::Form& form) {
          for (const char* control : {"l_Skupina", "l_Area", "ed_Area", "ed_Nalehavost", "ed_Zpusob", "ed_Srafa"})
            shown.push_back(form.Text(control));
          visible = form.ControlVisible("ed_Zpusob") && form.ControlVisible("lb_Vymera");
          if (c.srfOnly) Shoot(form, "harvest_dialog_hatch_only");
          if (c.carry && c.frameProperty[0] == 0) Shoot(form, "harvest_dialog");
          const char* edits[] = {"ed_Area", "ed_Nalehavost", "ed_Zpusob", "ed_Srafa"};
          for (std::size_t i = 0; i < 4; ++i)
            if (!c.typed[i].empty()) form.SetText(edits[i], c.typed[i]);
          platform::UserClick(form, c.button);
        },
        std::function<void(TTezPDialog&)>([&](TTezPDialog& d) {
          d.SRFOnly = c.srfOnly;
          d.CarryAreaFromFrame = c.carry;
          d.FrameAreaPropertyName = c.frameProperty;
          if (c.frame == kFrameSet) d.SetFrame(stand.group);
          if (c.frame == kFrameHanded) d.SetParameter("Frame", stand.group);
        }));
    EXPECT_EQ(shown, c.shown) << c.name;
    EXPECT_EQ(visible, c.visible) << c.name;
    EXPECT_NE(DynamicCast<TTezPProps>(area->Properties()), nullptr) << c.name;
    EXPECT_EQ(HarvestTexts(*area), c.stored) << c.name;
  }
}

// On OK a bad entry is named and gets the focus, and the run goes on: the
// person leaving then writes nothing; one corrected writes every field.
TEST_F(ElementDialogTest, TheHarvestDialogRefusesEntriesOutOfTheirPropertiesRange) {
  const struct {
    const char* edit;
    const char* text;
    const char* box;
  } cases[] = {
      {"ed_Zpusob", "abc", "Neplatná hodnota pole Způsob: abc"},
      {"ed_Nalehavost", "2147483648", "Neplatná hodnota pole Naléhavost: 2147483648"},
      {"ed_Srafa", "32768", "Neplatná hodnota pole Šrafa: 32768"},
      {"ed_Area", "1,2,3", "Neplatná hodnota pole Výměra: 1,2,3"},
      {"ed_Area", "", "Neplatná hodnota pole Výměra: "},
  };
  for (const bool corrected : {false, true}) {
    for (const auto& c : cases) {
      const std::string row = std::string(c.edit) + " '" + c.text + "'" + (corrected ? ", corrected" : ", left");
      TAreaElement* area = Rectangle(0, 0, 10, 10);
      model.AddElement(area);
      auto* props = new TTezPProps;
      props->Znacka = 5;
      area->SetProperties(props);
      dialogs.Messages.clear();
      std::string focused;
      const auto dialog = Run<TTezPDialog>(area, [&](platform::Form& form) {
        for (const char* edit : {"ed_Area", "ed_Nalehavost", "ed_Zpusob", "ed_Srafa"}) form.SetText(edit, "7");
        form.SetText(c.edit, c.text);
        platform::UserClick(form, "bt_OK");
        focused = form.FocusedControl();
        if (!corrected) return;
        form.SetText(c.edit, "8");
        platform::UserClick(form, "bt_OK");
      });
      EXPECT_EQ(Boxes(), std::vector<std::string>{c.box}) << row;
      EXPECT_EQ(focused, c.edit) << row;
      EXPECT_EQ(dialog->Result, corrected ? platform::mrOk : platform::mrCancel) << row;
      std::vector<std::string> stored(4, corrected ? "7" : "");
      if (!corrected) stored = {"0", "0", "0", "5"};
      const char* edits[] = {"ed_Area", "ed_Nalehavost", "ed_Zpusob", "ed_Srafa"};
      for (std::size_t i = 0; i < 4 && corrected; ++i)
        if (c.edit == std::string(edits[i])) stored[i] = "8";
      EXPECT_EQ(HarvestTexts(*area), stored) << row;
    }
  }
}

TEST_F(ElementDialogTest, EnterInTheHarvestDialogMovesOnAndTheAreaButtonRefills) {
  StandGroupWithArea stand;
  TAreaElement* area = Rectangle(10, 10, 100, 50);
  model.AddElement(area);
  std::vector<std::string> focus;
  std::vector<std::string> refills;
  const auto dialog = Run<TTezPDialog>(
      area,
      [&](platform::Form& form) {
        form.Focus("ed_Zpusob");
        for (const char* edit : {"ed_Zpusob", "ed_Nalehavost", "ed_Srafa", "ed_Area"}) {
          form.Focus(edit);
          platform::UserPressEnter(form, edit);
          focus.push_back(form.FocusedControl());
        }
        form.SetText("ed_Area", "x");
        platform::UserClick(form, "b_SetArea");
        refills.push_back(form.Text("ed_Area"));
        platform::UserClick(form, "bt_Storno");
      },
      std::function<void(TTezPDialog&)>([&](TTezPDialog& d) { d.SetFrame(stand.group); }));
  EXPECT_EQ(focus, (std::vector<std::string>{"ed_Nalehavost", "ed_Srafa", "bt_OK", "bt_OK"}));
  EXPECT_EQ(dialog->Result, platform::mrCancel) << "Enter closed the dialog";
  EXPECT_EQ(refills, std::vector<std::string>{"0.5"});
  // The carried value through the published property, also without a form run.
  dialog->CarryAreaFromFrame = true;
  dialog->SetPropertyText("CarryArea", "TRUE");
  EXPECT_EQ(dialog->Form()->Window().Text("ed_Area"), "3.5");
}

TEST_F(ElementDialogTest, ThePointDialogWritesKindSymbolColourAndValue) {
  const struct {
    const char* name;
    const char* colors;
    bool withProps;
    int spin;  // the value the person sets; -1: cancelled
    bool dontShow;
    std::vector<std::string> stored;  // DRUH, Znacka, Barva, NALEHAVOST
  } cases[] = {
      {"value 1 of two colours", "255,65280", true, 1, false, {"7", "1001", "65280", "1"}},
      {"value 2 beyond the list", "255,65280", true, 2, false, {"7", "1001", "0", "2"}},
      {"no colours", "", true, 0, false, {"7", "1001", "0", "0"}},
      {"cancelled", "255", true, -1, false, {"", "", "", "3"}},
      {"without the form: the stored value", "10,20,30,40", true, 0, true, {"7", "1001", "40", "3"}},
      {"a point without props: the named class", "5", false, 0, false, {"7", "1001", "5", "0"}},
  };
  for (const auto& c : cases) {
    auto* point = new TPointElement;
    model.AddElement(point);
    // Dynamic properties: the colours need more than a block colour code.
    if (c.withProps) {
      point->SetProperties(new TDynamicProperties);
      point->SetPropertyText("NALEHAVOST", "3");
    }
    int shownValue = -1;
    const auto dialog = Run<TSimplePointDialog>(
        point,
        [&](platform::Form& form) {
          shownValue = form.Position("ed_Value");
          if (c.spin < 0) return platform::UserClick(form, "bt_Storno");
          form.SetPosition("ed_Value", c.spin);
          platform::UserClick(form, "bt_OK");
        },
        std::function<void(TSimplePointDialog&)>([&](TSimplePointDialog& d) {
          d.ValueName = "NALEHAVOST";
          d.Druh = 7;
          d.Symbol = 1001;
          d.DontShowForm = c.dontShow;
          d.SetColorList(c.colors);
          d.SetPropertyClassName("TDynamicProperties");
        }));
    std::vector<std::string> stored;
    for (const char* name : {"DRUH", "Znacka", "Barva", "NALEHAVOST"}) stored.push_back(point->GetPropertyText(name));
    EXPECT_EQ(stored, c.stored) << c.name;
    EXPECT_EQ(point->Properties()->ClassName(), "TDynamicProperties") << c.name;
    EXPECT_EQ(shownValue, c.dontShow ? -1 : (c.withProps ? 3 : 0)) << c.name;
    EXPECT_EQ(dialog->ColorList(), c.colors) << c.name;
  }
}

TEST_F(ElementDialogTest, ThePointDialogKeepsItsListAndClassOnBadTexts) {
  std::unique_ptr<TSimplePointDialog> dialog(CreateElement<TSimplePointDialog>());
  dialog->SetName("Body");
  dialog->SetColorList("1,2");
  EXPECT_EQ(ErrorOf([&] { dialog->SetColorList("3,x"); }), "'x' is not a valid integer value");
  EXPECT_EQ(dialog->ColorList(), "1,2");
  dialog->SetPropertyText("PropertyClassName", "TTezPProps");
  dialog->SetPropertyText("PropertyClassName", "TNeniTakova");
  RunMessages();
  EXPECT_EQ(dialog->GetPropertyText("PropertyClassName"), "TTezPProps");
  EXPECT_EQ(log.Log(), "8<Body Body: PropertyClass TNeniTakova not found");
  dialog->SetPropertyText("MinValue", "2");
  dialog->SetPropertyText("MaxValue", "9");
  dialog->SetPropertyText("ValueCaption", "Věk:");
  platform::Form& form = dialog->Form()->Window();
  EXPECT_EQ(std::tuple(form.Minimum("ed_Value"), form.Maximum("ed_Value"), dialog->GetPropertyText("ValueCaption")),
            std::tuple(2, 9, std::string("Věk:")));
  // A point given the named class's props, else the harvest point's.
  for (const char* name : {"TTezPProps", ""}) {
    dialog->SetPropertyClassName(name);
    auto* point = new TPointElement;
    model.AddElement(point);
    dialog->DontShowForm = true;
    dialog->SetInput(point);
    dialog->DoIt();
    EXPECT_EQ(point->Properties()->ClassName(), name[0] ? name : "TTezBProps");
  }
}

// Run from a program thread, each dialog shows its form on the user-interface
// thread and gives the answer given there.
TEST_F(ElementDialogTest, FromAProgramThreadEachDialogShowsOnTheUserInterfaceThread) {
  const struct {
    const char* name;
    std::function<TKestuDialog*()> make;
    std::function<TElement*()> input;
  } cases[] = {
      {"line", [] { return CreateElement<TLineDialog>(); }, [] { return new TPolyLineElement; }},
      {"harvest area", [] { return CreateElement<TTezPDialog>(); }, [] { return Rectangle(0, 0, 10, 10); }},
      {"point", [] { return CreateElement<TSimplePointDialog>(); }, [] { return new TPointElement; }},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TKestuDialog> dialog(c.make());
    TElement* input = c.input();
    model.AddElement(input);
    dialog->SetInput(input);
    std::thread::id shownOn;
    platform::SetModalAnswerer([&](platform::Form& form) {
      shownOn = std::this_thread::get_id();
      platform::UserClick(form, "bt_Storno");
    });
    std::atomic<bool> done = false;
    std::thread program([&] {
      dialog->DoIt();
      done = true;
    });
    while (!done) platform::Application::Instance().ProcessMessages();
    program.join();
    EXPECT_EQ(shownOn, std::this_thread::get_id()) << c.name;
    EXPECT_EQ(dialog->Result, platform::mrCancel) << c.name;
  }
}

}  // namespace
