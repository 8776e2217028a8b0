#include "app/console/watch_form.h"

#include <filesystem>

#include "platform/string_grid.h"
#include "tests/app/console/console_fixture.h"

namespace {

using platform::UserClick;

class WatchTest : public ConsoleTest {
 protected:
  // The console's watch window, opened by its button.
  TWatchForm& OpenWatches(TCommandLineDlg& console) {
    UserClick(console.Window(), "b_Watches");
    return *console.Watches();
  }
  // The first line of the first four values (an error goes on with where it happened).
  static std::vector<std::string> Values(TWatchForm& watches) {
    platform::StringGrid grid(watches.Window(), "SG");
    std::vector<std::string> values;
    for (int row = grid.FixedRows(); row < grid.FixedRows() + 4; ++row) {
      const std::string value = grid.Cell(1, row);
      values.push_back(value.substr(0, value.find('\n')));
    }
    return values;
  }
};

TEST_F(WatchTest, EveryRowIsEvaluatedAfterARunAFailingRowShowingItsError) {
  TCommandLineDlg* console = Open();
  TWatchForm& watches = OpenWatches(*console);
  // Scripts and the property editor know the window by its own class.
  EXPECT_EQ(watches.ClassName(), "TWatchForm");
  platform::Form& grid = watches.Window();
  const int first = platform::StringGrid(grid, "SG").FixedRows();
  // A value left in a row without an expression is cleared.
  platform::StringGrid(grid, "SG").SetCell(1, first + 2, "stará");
  const char* expressions[] = {"Name", "Nic.Name", "", "LES.ELEMENT.Name"};
  for (int i = 0; i < 4; ++i)
    if (expressions[i][0]) platform::UserGridEditCell(grid, "SG", 0, first + i, expressions[i]);
  console->Window().SetText("CMemo", "LES.a.Name = 'A'");
  UserClick(console->Window(), "b_Eval");
  EXPECT_EQ(Values(watches),
            (std::vector<std::string>{World()->GetName(), "ERROR 0: Nemohu nalézt element Nic", "", "b"}));
  EXPECT_TRUE(Boxes().empty()) << "a failing row shows no box";

  // A double click evaluates the rows again.
  forest->GetElement(0)->SetName("c");
  platform::UserGridDoubleClick(grid, "SG", 5, 5);
  EXPECT_EQ(Values(watches)[3], "c");
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  EXPECT_TRUE(grid.SaveImage(std::string(KESTX_SCREENSHOTS_DIR) + "/watch_form.png"));
}

TEST_F(WatchTest, TheButtonOpensAndFreesTheWindowAndItsCloseBoxFreesItToo) {
  struct Case {
    const char* name;
    std::function<void(TCommandLineDlg&)> action;
    bool open;
  };
  const Case cases[] = {
      {"the button opens one on the console's root",
       [](TCommandLineDlg& console) { UserClick(console.Window(), "b_Watches"); }, true},
      {"the button again frees it", [](TCommandLineDlg& console) { UserClick(console.Window(), "b_Watches"); },
       false},
      {"its close box frees it",
       [](TCommandLineDlg& console) {
         UserClick(console.Window(), "b_Watches");
         platform::UserCloseWindow(console.Watches()->Window());
         RunMessages();
       },
       false},
      {"a run after that refreshes nothing", [](TCommandLineDlg& console) { UserClick(console.Window(), "b_Eval"); },
       false},
  };
  TCommandLineDlg* console = Open();
  // A root of its own, so that the watches are seen to start on it.
  console->SetRootElement(World()->ObjectModel());
  for (const Case& c : cases) {
    c.action(*console);
    ASSERT_EQ(console->Watches() != nullptr, c.open) << c.name;
    if (c.open) {
      EXPECT_EQ(console->Watches()->Interpreter().ActiveElement(), World()->ObjectModel()) << c.name;
    }
  }
}

// The explorer lies below the shell: the shell hands it its watch windows.
TEST_F(WatchTest, TheExplorerGetsTheShellsWatchWindowShownAndPointedAtItsSelection) {
  std::unique_ptr<TElementWatch> watch = NewElementWatch();
  auto* window = dynamic_cast<TWatchForm*>(watch.get());
  ASSERT_NE(window, nullptr);
  platform::UserGridEditCell(window->Window(), "SG", 0, platform::StringGrid(window->Window(), "SG").FixedRows(),
                             "Name");
  watch->Watch(forest);
  EXPECT_EQ(std::tuple(window->Window().Visible(), window->Interpreter().ActiveElement(), Values(*window)[0]),
            std::tuple(true, static_cast<TElement*>(forest), std::string("LES")));
}

TEST_F(WatchTest, TheValueColumnFillsTheGridButTwentyPixels) {
  TCommandLineDlg* console = Open();
  TWatchForm& watches = OpenWatches(*console);
  RunMessages();
  for (const int width : {0, 500, 700}) {
    if (width) platform::UserResize(watches.Window(), width, 240);
    RunMessages();
    const platform::StringGrid grid(watches.Window(), "SG");
    EXPECT_EQ(std::pair(grid.ColWidth(0), grid.ColWidth(1)), std::pair(200, grid.ClientWidth() - 200 - 20)) << width;
  }
}

}  // namespace
