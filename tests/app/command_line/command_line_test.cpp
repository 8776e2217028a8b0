#include "app/command_line/command_line.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "framework/core/class_registry.h"
#include "platform/app_queue.h"
#include "framework/values/typed_values.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "tests/platform/temp_folder.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

// Answers "<Prefix><input's name><Suffix>"; Prefix is its first parameter.
class TEchoTool : public TResultTool {
  KESTX_CLASS(TEchoTool)
 public:
  std::string Prefix;
  std::string Suffix;
  void GetParameterName(int index, std::string& name) override { name = index == 0 ? "Prefix" : ""; }
  void DoIt() override {
    TResultTool::DoIt();
    Result = Prefix + (Input() ? Input()->GetName() : std::string("-")) + Suffix;
  }
};

TClass TEchoTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TEchoTool>(
      "TEchoTool", TResultTool::StaticClass(), "test",
      {FieldProp("Prefix", &TEchoTool::Prefix), FieldProp("Suffix", &TEchoTool::Suffix)});
  return &info;
}

// A tool whose run does what the test at hand gives it.
class TTestTool : public TTool {
  KESTX_CLASS(TTestTool)
 public:
  static inline std::function<void(TTool&)> Run;
  void DoIt() override {
    TTool::DoIt();
    if (Run) Run(*this);
  }
};

TClass TTestTool::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestTool>("TTestTool", TTool::StaticClass(), "test", {});
  return &info;
}

class CommandLineTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterCommandLineClasses();
    RegisterKestuClass(TEchoTool::StaticClass());
    RegisterKestuClass(TTestTool::StaticClass());
    forest = new TOwnerEntity();
    forest->SetName("LES");
    for (const char* name : {"a", "b"}) forest->AddNew("TOwnerEntity", name);
    world->AddElement(forest);
    interpreter.reset(CreateElement<TCommandLine>());
    interpreter->ByDDE = true;
  }
  void TearDown() override {
    interpreter.reset();
    TTestTool::Run = nullptr;
    ToolFormsTest::TearDown();
  }
  std::vector<std::string> Run(const std::string& line) {
    interpreter->Line = line;
    interpreter->DoIt();
    return interpreter->Results();
  }
  // Runs the lines as one script: what it reported.
  std::vector<std::string> RunScript(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) interpreter->SetNextLine(line);
    interpreter->DoIt();
    std::vector<std::string> results = interpreter->Results();
    interpreter->SetFileName("");
    return results;
  }
  std::string Children() const {
    std::vector<std::string> names;
    for (int i = 0; i < forest->GetCount(); ++i) names.push_back(forest->GetElement(i)->GetName());
    return Join(names);
  }

  TempFolder dir;
  TOwnerEntity* forest = nullptr;
  std::unique_ptr<TCommandLine> interpreter;
};

TEST_F(CommandLineTest, FailuresAreReportedWithTheirCodesAndTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {"ACTIVEELEMENT", "ERROR 3: Chyba .. nastavení aktivního elementu: ACTIVEELEMENT"},
      {"ACTIVEELEMENT = LES.ELEMENT.Name", "ERROR 4: Chyba .. jako aktivní element nelze přiřadit seznam"},
      {"ACTIVEELEMENT = LES.zzz", "ERROR 5: Chyba .. Nemohu nalézt objekt zzz"},
      {"LES.Name = LES.FINDELEMENTBYNAME('nic')", "ERROR 6: výsledný objekt na pravé straně výrazu je chybný"},
      {"LES.Name.ELEMENT.X = 1", "ERROR 0: Nemohu nalézt element Name"},
      {"LES.FINDELEMENTBYNAME('nic').Name = 'x'",
       "ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : LES.FINDELEMENTBYNAME('nic').Name = 'x'"},
      {"Zzz.Name", "ERROR 0: Nemohu nalézt element Zzz"},
      {"LES.Nic(1)", "ERROR 0: chybná funkce: Nic"},
      {"LES.EchoTool(1", "ERROR 0: Syntaktická chyba - na pozici 15 očekávám  \")\""},
      {"LES.EchoTool(1)x", "ERROR 0: Syntaktická chyba - na pozici 16 očekávám \".\" nebo nic"},
      {"X:TNeni", "ERROR 0: Neexistující třída: TNeni"},
      {"LES.a.DOIT()", "ERROR 0: Objekt na pozici 7 není Tool"},
  };
  for (const auto& [line, start] : cases) EXPECT_THAT(Run(line), ElementsAre(StartsWith(start))) << line;
  interpreter->ByDDE = false;
  Run("LES.FINDELEMENTBYNAME('nic').Name = 'x'");
  EXPECT_THAT(Boxes(), ElementsAre(StartsWith("Chyba .. Chybný objekt")));
}

// A technology's sub-tools are children of its tool list: a path cannot name
// one from the technology itself, and an object property must not be cleared
// or left unchanged as if it had been.
TEST_F(CommandLineTest, AnElementAssignmentThatCannotTakeIsReportedAndChangesNothing) {
  struct Row {
    const char* line;
    std::string result;
    std::string active;
  };
  const Row rows[] = {
      {"LES.SKUPINA.ActiveTool = LES.SKUPINA.PSK", "ERROR 5: Chyba .. Nemohu nalézt objekt PSK", "Druhy"},
      {"LES.SKUPINA.ActiveTool = WORLD",
       "ERROR 6: výsledný objekt na pravé straně výrazu je chybný LES.SKUPINA.ActiveTool = WORLD", "Druhy"},
      {"LES.SKUPINA.Nic = NASTROJE.FINDELEMENTBYNAME('PSK')",
       "ERROR 6: výsledný objekt na pravé straně výrazu je chybný "
       "LES.SKUPINA.Nic = NASTROJE.FINDELEMENTBYNAME('PSK')",
       "Druhy"},
      {"LES.SKUPINA.ActiveTool = NASTROJE.FINDELEMENTBYNAME('PSK')", "", "PSK"},
      {"LES.SKUPINA.ActiveTool = NASTROJE.PSK", "", "PSK"},
      {"LES.SKUPINA.ActiveTool = LES.SKUPINA.Output", "", "nil"},
      // A text property takes the empty text of a path that names nothing.
      {"LES.SKUPINA.Name = LES.SKUPINA.Nic", "", "Druhy"},
      {"LES.SKUPINA.Nic = LES.SKUPINA.Zadny",
       "ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : LES.SKUPINA.Nic = LES.SKUPINA.Zadny",
       "Druhy"},
  };
  for (const Row& row : rows) {
    auto* technology = new TTechnology;
    technology->SetName("SKUPINA");
    forest->AddElement(technology);
    technology->AddNewTool("TTool", "PSK");
    // The tool list has no name: a variable reaches it.
    auto* tools = new TVar;
    tools->SetName("NASTROJE");
    tools->SetElement(technology->GetTools());
    interpreter->Vars()->AddElement(tools);
    technology->SetActiveTool(static_cast<TTool*>(technology->AddNewTool("TTool", "Druhy")));
    const std::vector<std::string> results = Run(row.line);
    EXPECT_EQ(results.empty() ? std::string() : results.front(), row.result) << row.line;
    TTool* active = technology->GetActiveTool();
    EXPECT_EQ(active ? active->GetName() : "nil", row.active) << row.line;
    delete technology;
    interpreter->Vars()->Clear();
  }
}

// A text set to a name the element neither publishes nor takes as its own
// (a dynamic property, a list item, its instance's property) is set nowhere.
TEST_F(CommandLineTest, ATextSetToANameNothingTakesIsAnErrorOfTheLine) {
  auto* list = new TStringListElement;
  auto* points = new TPointString;
  auto* spaceEntity = new TSpaceEntity;
  auto* view = new TInstanceProperties;
  auto* echo = new TEchoTool;
  const std::pair<const char*, TElement*> named[] = {
      {"SEZNAM", list}, {"BODY", points}, {"PLOCHA", spaceEntity}, {"POHLED", view}, {"ECHO", echo}};
  view->SetInstance(echo);  // names the view after the instance's class
  for (const auto& [name, element] : named) {
    element->SetName(name);
    forest->AddElement(element);
  }
  const struct {
    const char* line;
    const char* error;  // empty: the value is set
    std::function<std::string()> value;
    const char* valueAfter;
  } rows[] = {
      {"LES.a.Nic = '1'", "ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : LES.a.Nic = '1'",
       [this] { return forest->GetElement(0)->GetPropertyText("Nic"); }, ""},
      {"LES.a.Name = 'c'", "", [this] { return forest->GetElement(0)->GetName(); }, "c"},
      {"LES.SEZNAM.Nic = '1'", "", [list] { return list->GetValueByName("Nic"); }, "1"},
      {"LES.BODY.Nic = '2'", "", [points] { return points->GetPropertyText("Nic"); }, "2"},
      {"LES.PLOCHA.Nic = '3'",
       "ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : LES.PLOCHA.Nic = '3'",
       [spaceEntity] { return spaceEntity->GetPropertyText("Nic"); }, ""},
      {"LES.POHLED.Suffix = 'x'", "", [echo] { return echo->Suffix; }, "x"},
      {"LES.POHLED.Nic = '4'",
       "ERROR 9: Chyba .. Chybný objekt nebo properta na levé straně výrazu : LES.POHLED.Nic = '4'",
       [view] { return view->GetPropertyText("Nic"); }, ""},
  };
  for (const auto& row : rows) {
    const std::vector<std::string> results = Run(row.line);
    EXPECT_EQ(results.empty() ? std::string() : results.front(), row.error) << row.line;
    EXPECT_EQ(row.value(), row.valueAfter) << row.line;
  }
}

// A tool call's arguments: a literal or a path without a colon is the next
// parameter, "name:path" sets a property, "name::text" is a parameter again.
TEST_F(CommandLineTest, ToolCallArgumentsAreParametersOrPropertiesByTheirColons) {
  const struct {
    const char* line;
    const char* result;
  } rows[] = {
      {"LES.a.EchoTool('ahoj-')", "ahoj-a"},
      {"LES.a.EchoTool(LES.b.Name)", "ba"},
      {"LES.a.EchoTool(Suffix:LES.b.Name)", "ab"},
      {"LES.a.EchoTool(x::y)", "x::ya"},
  };
  for (const auto& row : rows) {
    const std::vector<std::string> results = Run(row.line);
    ASSERT_FALSE(results.empty()) << row.line;
    EXPECT_EQ(results.back(), row.result) << row.line;
  }
}

TEST_F(CommandLineTest, AHandleInAPropertyLeadsOnlyToTheLiveElementItWasIssuedFor) {
  auto* target = Named<TOwnerEntity>("cíl", forest);
  const std::uint32_t live = HandleOfElement(target);
  std::uint32_t stale = 0;
  {
    TOwnerEntity gone;
    stale = HandleOfElement(&gone);
  }
  const struct {
    const char* name;
    std::uint32_t handle;
    const char* result;
  } rows[] = {
      {"live", live, "cíl"},
      {"stale", stale, "ERROR 0: Nemohu nalézt element Value"},
  };
  auto* number = TIntegerElement::CreateValue(0);
  number->SetName("h");
  forest->AddElement(number);
  for (const auto& row : rows) {
    number->SetAsInteger(static_cast<std::int32_t>(row.handle));
    EXPECT_THAT(Run("LES.h.Value.Name"), ElementsAre(StartsWith(row.result))) << row.name;
  }
}

TEST_F(CommandLineTest, ScriptsRunLineByLineWithCommentsCallsAndFailingLinesOrOneLinePerMessage) {
  WriteCp1250File(dir.File("called.oil"), "LES.a.Name = 'z volaného'\r\n");
  WriteCp1250File(dir.File("main.oil"),
                  "LES.b.Name = 'první'\n*\nLES.b.Name = 'přeskočeno'\n*\n"
                  "Nic.Name = 1\nCALL('called.oil')\nLES.ELEMENT.Name\n");
  interpreter->SetActualDirectory(dir.Path());
  interpreter->SetFileName("main.oil");
  interpreter->DoIt();
  EXPECT_EQ(Children(), "z volaného první");
  EXPECT_THAT(interpreter->Results(), ElementsAre("z volaného", "první"));
  EXPECT_EQ(interpreter->Line, "");

  interpreter->SetFileName("chybí.oil");
  interpreter->DoIt();
  ASSERT_EQ(interpreter->Results().size(), 3u);
  EXPECT_EQ(interpreter->Results().back(), "ERROR 1: Skriptový soubor " + dir.File("chybí.oil") + " nenalezen !");

  // A smart script runs one line per message and reports its end.
  interpreter->SetFileName("");
  interpreter->SmartMode = true;
  for (const char* line : {"LES.ELEMENT.Name = 'jedna'", "", "LES.jedna.Name = 'dvě'"}) interpreter->SetNextLine(line);
  interpreter->DoIt();
  EXPECT_EQ(std::tuple(interpreter->Busy(), Children()), std::tuple(true, "z volaného první"));
  RunMessages();
  EXPECT_EQ(std::tuple(interpreter->Busy(), Children()), std::tuple(false, "dvě jedna"));
  EXPECT_THAT(mainTool.codes, ElementsAre(msgFinished));
}

TEST_F(CommandLineTest, WhatRunsTheLineIsNotFreedAndOtherElementsAre) {
  // A second interpreter held inside the model, with the world's main tool.
  auto* holder = new TOwnerEntity();
  holder->SetName("DRZAK");
  forest->AddElement(holder);
  auto* held = CreateElement<TCommandLine>();
  held->ByDDE = true;
  holder->AddElement(held);
  auto* tool = new TTechnology();
  world->SetMainTool(tool);
  struct Row {
    const char* line;
    const char* error;  // empty: the line frees what it names
    const char* childrenAfter;
  };
  const Row rows[] = {
      {"FREE()", "ERROR 0: Objekt na pozici 1 nelze uvolnit", "a b DRZAK"},
      {"WORLD.FREE()", "ERROR 0: Objekt na pozici 7 nelze uvolnit", "a b DRZAK"},
      {"WORLD.MainTool.FREE()", "ERROR 0: Objekt na pozici 16 nelze uvolnit", "a b DRZAK"},
      {"SELF.FREE()", "ERROR 0: Objekt na pozici 6 nelze uvolnit", "a b DRZAK"},
      {"LES.DRZAK.FREE()", "ERROR 0: Objekt na pozici 11 nelze uvolnit", "a b DRZAK"},
      {"LES.FREE()", "ERROR 0: Objekt na pozici 5 nelze uvolnit", "a b DRZAK"},
      {"LES.FREEALL()", "ERROR 0: Objekt na pozici 5 nelze uvolnit", "a b DRZAK"},
      {"WORLD.FREEALL()", "ERROR 0: Objekt na pozici 7 nelze uvolnit", "a b DRZAK"},
      {"LES.a.FREE()", "", "b DRZAK"},
  };
  for (const Row& row : rows) {
    held->Line = row.line;
    held->DoIt();
    const std::vector<std::string> expected = *row.error ? std::vector<std::string>{std::string(row.error) +
                                                                                   "\n ř.č.1\n" + row.line}
                                                         : std::vector<std::string>{""};
    EXPECT_EQ(held->Results(), expected) << row.line;
    EXPECT_EQ(Children(), row.childrenAfter) << row.line;
    EXPECT_EQ(world->MainTool(), tool) << row.line;
  }
  // Another interpreter frees the holder of one that is not running.
  const TElementLink heldLink(held);
  EXPECT_EQ(Run("LES.DRZAK.FREE()"), std::vector<std::string>{""});
  EXPECT_EQ(Children(), "b");
  EXPECT_EQ(heldLink.Get(), nullptr);
}

TEST_F(CommandLineTest, SyntaxErrorsNameTheirPositionInTheLineAndTheLineThatRuns) {
  const std::pair<const char*, const char*> cases[] = {
      {"LES.Name = LES.EchoTool(1", "Syntaktická chyba - na pozici 26 očekávám  \")\""},
      {"  LES.EchoTool(1)x", "Syntaktická chyba - na pozici 18 očekávám \".\" nebo nic"},
      {"LES.Name =   LES.EchoTool(1)x", "Syntaktická chyba - na pozici 29 očekávám \".\" nebo nic"},
      {"LES.Name = LES.EchoTool(LES.a.EchoTool(2)x)", "Syntaktická chyba - na pozici 42 očekávám \".\" nebo nic"},
      {"LES.EchoTool(Suffix: LES.a.EchoTool(2)x)", "Syntaktická chyba - na pozici 39 očekávám \".\" nebo nic"},
      {"LES.Name = LES.a.DOIT()", "Objekt na pozici 18 není Tool"},
  };
  for (const auto& [line, error] : cases)
    EXPECT_THAT(Run(line), ElementsAre("ERROR 0: " + std::string(error) + "\n ř.č.1\n" + line)) << line;

  // A smart script names the line that failed, not the one after it.
  interpreter->SetFileName("");
  interpreter->ByDDE = false;
  for (const char* line : {"LES.a.Name = 'x'", "", "LES.EchoTool(1", "LES.x.Name = 'a'"})
    interpreter->SetNextLine(line);
  interpreter->SmartMode = true;
  interpreter->DoIt();
  RunMessages();
  EXPECT_THAT(Boxes(), ElementsAre("Syntaktická chyba - na pozici 15 očekávám  \")\"\n ř.č.3\nLES.EchoTool(1"));
}

TEST_F(CommandLineTest, AScriptThatCallsItselfStopsAtTheNestingLimitAndTheCalledScriptsEnd) {
  // Line 3 runs only in a run whose call came back: in the outermost one.
  WriteCp1250File(dir.File("rekurze.oil"), "LES.CREATEELEMENT(OwnerEntity, x)\nCALL('rekurze.oil')\nTestTool()\n");
  int ends = 0;
  TTestTool::Run = [&ends](TTool&) { ++ends; };
  interpreter->ByDDE = false;
  interpreter->SetActualDirectory(dir.Path());
  interpreter->SetFileName("rekurze.oil");
  interpreter->DoIt();
  // The first run and 64 nested calls each made one child; the 65th call was refused once.
  EXPECT_EQ(forest->GetCount(), 2 + 1 + TCommandLine::kMaxCallDepth);
  EXPECT_EQ(ends, 1);
  EXPECT_THAT(Boxes(), ElementsAre(StartsWith("Příliš mnoho vnořených volání skriptů (nejvýše 64): rekurze.oil")));
}

// A script that calls itself twice makes 2^64 calls when only the depth is
// bounded: the refused call ends the called scripts, and the outermost
// script's next call starts a chain of its own.
TEST_F(CommandLineTest, AScriptThatCallsItselfTwiceIsRefusedOnceForEachCallOfTheOutermostScript) {
  WriteCp1250File(dir.File("dvakrat.oil"), "TestTool()\nCALL('dvakrat.oil')\nCALL('dvakrat.oil')\n");
  int runs = 0;
  TTestTool::Run = [&runs](TTool&) { ++runs; };
  interpreter->ByDDE = false;
  interpreter->SetActualDirectory(dir.Path());
  interpreter->SetFileName("dvakrat.oil");
  interpreter->DoIt();
  EXPECT_EQ(runs, 1 + 2 * TCommandLine::kMaxCallDepth);
  const std::string refused = "Příliš mnoho vnořených volání skriptů (nejvýše 64): dvakrat.oil\ndvakrat.oil ř.č.2";
  EXPECT_THAT(Boxes(), ElementsAre(StartsWith(refused), StartsWith(refused)));
}

TEST_F(CommandLineTest, AShallowTreeOfCallsEndsAtTheBoundOnTheCallsOfItsRun) {
  // The outermost script calls b.oil 200 times, each b.oil run calls c.oil 60 times: 12,200 calls.
  std::string outer, middle;
  for (int i = 0; i < 200; ++i) outer += "CALL('b.oil')\n";
  for (int i = 0; i < 60; ++i) middle += "CALL('c.oil')\n";
  WriteCp1250File(dir.File("a.oil"), outer);
  WriteCp1250File(dir.File("b.oil"), middle);
  WriteCp1250File(dir.File("c.oil"), "TestTool()\n");
  int runs = 0;
  TTestTool::Run = [&runs](TTool&) { ++runs; };
  interpreter->ByDDE = false;
  interpreter->SetActualDirectory(dir.Path());
  // The bound holds for each run anew.
  for (int run = 1; run <= 2; ++run) {
    runs = 0;
    dialogs.Messages.clear();
    interpreter->SetFileName("a.oil");
    interpreter->DoIt();
    // Each line of a.oil makes 61 calls: 163 lines make 9,943, and the 164th line's b.oil run makes 57 more calls
    // to c.oil before its 58th passes the bound; each of a.oil's 36 later lines is refused in its turn.
    EXPECT_EQ(runs, 163 * 60 + 56) << "run " << run;
    EXPECT_TRUE(interpreter->Failed()) << "run " << run;
    const std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 37u) << "run " << run;
    EXPECT_EQ(boxes.front(),
              "Příliš mnoho volání skriptů v jednom běhu (nejvýše 10000): c.oil\nb.oil ř.č.57\nCALL('c.oil')")
        << "run " << run;
    EXPECT_EQ(boxes.back(),
              "Příliš mnoho volání skriptů v jednom běhu (nejvýše 10000): b.oil\na.oil ř.č.200\nCALL('b.oil')")
        << "run " << run;
  }
}

TEST_F(CommandLineTest, AFileCalledAgainInOneRunIsReadOnceUnlessItChanged) {
  struct Row {
    const char* name;
    bool keepTime;
    const char* children;  // after the run
  };
  const Row rows[] = {
      {"unchanged since: read once", true, "a b one one"},
      {"written since: read again", false, "a b one two"},
  };
  const std::string called = dir.File("volany.oil");
  WriteCp1250File(dir.File("hlavni.oil"), "CALL('volany.oil')\nTestTool()\nCALL('volany.oil')\n");
  interpreter->SetActualDirectory(dir.Path());
  for (const Row& row : rows) {
    WriteCp1250File(called, "LES.CREATEELEMENT(OwnerEntity, one)");
    // Between the calls the file gets a text of the same length, its time
    // of writing kept or moved on by a second.
    TTestTool::Run = [&called, &row](TTool&) {
      const auto written = std::filesystem::last_write_time(called);
      std::ofstream(called, std::ios::binary | std::ios::trunc) << "LES.CREATEELEMENT(OwnerEntity, two)";
      std::filesystem::last_write_time(called, row.keepTime ? written : written + std::chrono::seconds(1));
    };
    interpreter->SetFileName("hlavni.oil");
    interpreter->DoIt();
    EXPECT_EQ(Children(), row.children) << row.name;
    EXPECT_FALSE(interpreter->Failed()) << row.name;
    // The next run reads the file as it is now.
    interpreter->SetFileName("volany.oil");
    interpreter->DoIt();
    EXPECT_EQ(Children(), std::string(row.children) + " two") << row.name;
    while (forest->GetCount() > 2) forest->FreeElement(forest->GetElement(2));
  }
}

TEST_F(CommandLineTest, WhatAToolHandsOutIsFreedWhenTheScriptEndsUnlessSomethingTookIt) {
  auto* outside = new TOwnerEntity();
  const std::string before = std::to_string(HandleOfElement(outside));
  const auto makes = [](TTool& tool) { tool.SetOutput(new TOwnerEntity()); };
  const auto passes = [](TTool& tool) { tool.SetOutput(tool.Input()); };
  struct Row {
    const char* name;
    std::function<void(TTool&)> run;
    std::vector<std::string> script;  // its last line reports the element handed out
    bool afterScript, afterInterpreter;
  };
  const Row rows[] = {
      {"a tool nothing keeps", makes, {"CREATE(TestTool, m).DOIT().Output"}, false, false},
      {"a tool call's output nobody takes", makes, {"LES.TestTool()"}, false, false},
      {"a variable takes a tool call's output", makes, {"X:TOwnerEntity", "X = LES.TestTool()", "X"}, true, false},
      {"the output of a tool a variable keeps", makes,
       {"M:TTestTool", "M = CREATE(TestTool, m)", "M.DOIT()", "M.Output"}, true, false},
      {"the model takes it", makes,
       {"M:TTestTool", "M = CREATE(TestTool, m)", "M.DOIT()", "LES.NextElement = M.Output", "M.Output"}, true, true},
      {"it was there before", passes,
       {"X:TOwnerEntity", "X = '" + before + "'", "P:TTestTool", "P = CREATE(TestTool, p)", "P.Input = X",
        "P.DOIT()", "P.Output"},
       true, true},
  };
  std::vector<std::uint32_t> handles;
  for (const Row& row : rows) {
    TTestTool::Run = row.run;
    for (const std::string& line : row.script) interpreter->SetNextLine(line);
    interpreter->DoIt();
    ASSERT_EQ(interpreter->Results().size(), 1u) << row.name;
    int handle = 0;
    ASSERT_TRUE(TryTextToInt(interpreter->GetFirstResult(), handle)) << row.name << ": " << interpreter->GetFirstResult();
    handles.push_back(static_cast<std::uint32_t>(handle));
    EXPECT_EQ(ElementOfHandle(handles.back()) != nullptr, row.afterScript) << row.name;
    interpreter->SetFileName("");
  }
  interpreter.reset();
  for (std::size_t i = 0; i < handles.size(); ++i)
    EXPECT_EQ(ElementOfHandle(handles[i]) != nullptr, rows[i].afterInterpreter) << rows[i].name;
  EXPECT_EQ(handles.back(), HandleOfElement(outside));
  delete outside;
}

// An output that a list held when the tool handed it out was not made for the
// script: it stays when the list lets go of it later in the same line.
TEST_F(CommandLineTest, AnOutputAListHeldWhenHandedOutIsNotTheScriptsToFree) {
  // An element of no owner list: a list holds it without owning it.
  TEntity list;
  auto* held = new TNameElement();
  list.AddElement(held);
  const std::uint32_t handle = HandleOfElement(held);
  int calls = 0;
  TTestTool::Run = [&](TTool& tool) {
    if (calls++ == 0) tool.SetOutput(held);
    else list.RemoveElement(held);
  };
  interpreter->SetNextLine("LES.TestTool().TestTool()");
  interpreter->DoIt();
  ASSERT_EQ(calls, 2) << interpreter->GetFirstResult();
  EXPECT_EQ(list.GetCount(), 0);
  ASSERT_EQ(ElementOfHandle(handle), held) << "freed by the script";
  delete held;
}

TEST_F(CommandLineTest, WhatCreateMadeIsFreedWhenTheScriptEndsUnlessSomethingTookIt) {
  struct Row {
    const char* name;
    std::vector<std::string> script;  // its last line reports the created element's number
    bool afterScript, afterInterpreter;
  };
  const Row rows[] = {
      {"nobody takes it", {"CREATE(OwnerEntity, volny)"}, false, false},
      {"a variable keeps it for later lines", {"X:TOwnerEntity", "X = CREATE(OwnerEntity, v)", "X"}, true, false},
      {"the world takes it", {"WORLD.SystemRegister = CREATE(SystemRegister, novy)", "WORLD.SystemRegister"}, true,
       true},
      {"the queue holds the message it posted until it is delivered",
       {"E:TKestuMessage", "E = CREATE(KestuMessage, zprava)", "E.PostIt = '1000'", "E.Name = 'jina'", "E"}, true,
       false},
  };
  std::vector<std::uint32_t> handles;
  for (const Row& row : rows) {
    for (const std::string& line : row.script) interpreter->SetNextLine(line);
    {
      // Posted messages stay queued while the script runs.
      const platform::MessageHold hold;
      interpreter->DoIt();
    }
    ASSERT_EQ(interpreter->Results().size(), 1u) << row.name;
    int handle = 0;
    ASSERT_TRUE(TryTextToInt(interpreter->GetFirstResult(), handle)) << row.name;
    handles.push_back(static_cast<std::uint32_t>(handle));
    EXPECT_EQ(ElementOfHandle(handles.back()) != nullptr, row.afterScript) << row.name;
    interpreter->SetFileName("");
  }
  RunMessages();
  EXPECT_THAT(mainTool.codes, ElementsAre(1000)) << "the posted message was delivered";
  interpreter.reset();
  for (std::size_t i = 0; i < handles.size(); ++i)
    EXPECT_EQ(ElementOfHandle(handles[i]) != nullptr, rows[i].afterInterpreter) << rows[i].name;
}

// A class named without its leading "T" is found also when the name begins
// with a T of its own; a name no class bears is the registry's error.
TEST_F(CommandLineTest, CommandsFindAClassWrittenWithoutItsLeadingTEvenWhenItsNameBeginsWithT) {
  struct Row {
    const char* name;
    std::vector<std::string> script;
    std::string result;  // the last line's report
  } rows[] = {
      {"CREATE", {"X:TToolModel", "X = CREATE(ToolModel, vzor)", "X.Name"}, "vzor"},
      {"CREATE of a name without T", {"X:TOwnerEntity", "X = CREATE(OwnerEntity, o)", "X.Name"}, "o"},
      {"CREATEELEMENT", {"LES.CREATEELEMENT(ToolModel, m)", "LES.FINDELEMENTBYCLASS(TToolModel).Name"}, "m"},
      {"FINDELEMENTBYCLASS", {"LES.FINDELEMENTBYCLASS(ToolModel).Name"}, "m"},
      {"CREATETOOL",
       {"T:TTechnology", "T = CREATE(Technology, t)", "T.CREATETOOL(Technology, pod).Name"},
       "t"},  // the path stays on the technology
      {"a class no one bears", {"CREATE(Neni, x)"}, "ERROR 0: Kestu nenašel třídu TNeni"},
      {"a T name no one bears", {"CREATE(Tneni, x)"}, "ERROR 0: Kestu nenašel třídu Tneni"},
  };
  for (const Row& row : rows) EXPECT_THAT(RunScript(row.script), ElementsAre(StartsWith(row.result))) << row.name;
}

TEST_F(CommandLineTest, ADeclarationKeepsTheVariableOfItsNameAndMayEndInAPropertyOfItsElement) {
  struct Row {
    const char* name;
    std::vector<std::string> script;
    std::string result;  // the last line's report
  } rows[] = {
      {"declared again in lower case", {"X:TOwnerEntity", "X = CREATE(OwnerEntity, v)", "x:TOwnerEntity", "X.Name"}, "v"},
      {"a property after the class", {"X:TOwnerEntity", "X = CREATE(OwnerEntity, w)", "X:TOwnerEntity.Name"}, "w"},
  };
  for (const Row& row : rows) EXPECT_THAT(RunScript(row.script), ElementsAre(row.result)) << row.name;
}

TEST_F(CommandLineTest, ToolCallsNestInArgumentsUpToTheLimitAndDeeperNestingIsAnErrorOfTheLine) {
  auto nested = [](int depth) {
    std::string path = "LES.a.Name";
    for (int i = 0; i < depth; ++i) path = "LES.EchoTool(" + path + ")";
    return "LES.b.Name = " + path;
  };
  // The path on the right side counts as one level, each tool call's argument as one more.
  Run(nested(TCommandLine::kMaxArgumentDepth - 1));
  EXPECT_EQ(interpreter->Results(), std::vector<std::string>{});
  std::string echoed = "a";
  for (int i = 0; i < TCommandLine::kMaxArgumentDepth - 1; ++i) echoed += "LES";
  EXPECT_EQ(Children(), "a " + echoed);
  forest->GetElement(1)->SetName("b");
  EXPECT_THAT(Run(nested(TCommandLine::kMaxArgumentDepth)),
              ElementsAre(StartsWith("ERROR 0: Příliš hluboko vnořené argumenty na pozici ")));
  EXPECT_THAT(Run(nested(20000)), ElementsAre(StartsWith("ERROR 0: Příliš hluboko vnořené argumenty")));
}

}  // namespace
