#include "app/command_line/command_line.h"

#include <gmock/gmock.h>

#include <memory>

#include "framework/core/class_registry.h"
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

class CommandLineTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    RegisterCommandLineClasses();
    RegisterKestuClass(TEchoTool::StaticClass());
    forest = new TOwnerEntity();
    forest->SetName("LES");
    for (const char* name : {"a", "b"}) forest->AddNew("TOwnerEntity", name);
    world->AddElement(forest);
    interpreter.reset(CreateElement<TCommandLine>());
    interpreter->ByDDE = true;
  }
  void TearDown() override {
    interpreter.reset();
    ToolFormsTest::TearDown();
  }
  std::vector<std::string> Run(const std::string& line) {
    interpreter->Line = line;
    interpreter->DoIt();
    return interpreter->Results();
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

}  // namespace
