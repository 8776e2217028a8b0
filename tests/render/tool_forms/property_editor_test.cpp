#include "render/tool_forms/property_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/class_registry.h"
#include "platform/string_grid.h"
#include "platform/tab_pages.h"
#include "render/tool_forms/explorer.h"
#include "spatial/objects/properties.h"
#include "tests/render/tool_forms/tool_forms_fixture.h"

namespace {

// A named element with a property of each kind the editor shows apart.
class TEditedProbe : public TNameElement {
  KESTX_CLASS(TEditedProbe)
 public:
  std::int32_t Count = 5;
  double Value = 2.5;
  std::string Label = "les";
  bool Flag = true;
  TElement* Link = nullptr;
  TMethod Handler;
  TMethod OnDraw;
};

// Notes the thread that reads its one property.
class TThreadProbe : public TNameElement {
  KESTX_CLASS(TThreadProbe)
 public:
  static std::thread::id& Reader() {
    static std::thread::id reader;
    return reader;
  }
};

}  // namespace

TClass TThreadProbe::StaticClass() {
  static const TClassInfo info = DescribeClass<TThreadProbe>(
      "TThreadProbe", TNameElement::StaticClass(), "PropertyEditorTest",
      {AccessorProp<TThreadProbe, std::int32_t>(
          "Reader",
          [](const TThreadProbe&) {
            TThreadProbe::Reader() = std::this_thread::get_id();
            return 1;
          },
          nullptr)});
  return &info;
}

TClass TEditedProbe::StaticClass() {
  using E = TEditedProbe;
  static const TClassInfo info = DescribeClass<E>(
      "TEditedProbe", TNameElement::StaticClass(), "PropertyEditorTest",
      {FieldProp("Count", &E::Count), FieldProp("Value", &E::Value), FieldProp("Label", &E::Label),
       FieldProp("Handler", &E::Handler), FieldProp("Flag", &E::Flag), FieldProp("Link", &E::Link),
       FieldProp("OnDraw", &E::OnDraw)});
  return &info;
}

namespace {

using platform::StringGrid;

class PropertyEditorTest : public ToolFormsTest {
 protected:
  void SetUp() override {
    ToolFormsTest::SetUp();
    probe = Named<TEditedProbe>("sonda", world->ObjectModel());
  }
  void TearDown() override {
    editor.reset();
    ToolFormsTest::TearDown();
  }

  TObjectPropertyEditor& Open(TElement* input) {
    editor.reset(CreateElement<TObjectPropertyEditor>());
    editor->SetInput(input);
    editor->DoIt();
    return *editor;
  }
  platform::Form& Window(TObjectPropertyEditor& of) { return of.Form()->Window(); }
  platform::Form& Window() { return Window(*editor); }
  // "name=value" of every row of a grid, joined by blanks.
  static std::string Rows(platform::Form& window, const char* grid) {
    StringGrid cells(window, grid);
    std::vector<std::string> rows;
    for (int row = 0; row < cells.RowCount(); ++row) rows.push_back(cells.Cell(0, row) + "=" + cells.Cell(1, row));
    return Join(rows);
  }
  // The row of the grid that names the property.
  static int RowOf(platform::Form& window, const char* grid, const std::string& property) {
    StringGrid cells(window, grid);
    for (int row = 0; row < cells.RowCount(); ++row)
      if (cells.Cell(0, row) == property) return row;
    return -1;
  }
  // The user clicks the value cell of the property's row on the page of the grid.
  void ClickValue(platform::Form& window, int page, const std::string& property) {
    platform::TabPages pages(window, "PageControl");
    if (pages.ActivePage() != page) platform::UserChooseTab(window, "PageControl", page);
    const char* grid = TFProp::kGrids[page];
    const platform::Bounds cell = StringGrid(window, grid).CellRect(1, RowOf(window, grid, property));
    platform::MouseInput input;
    input.X = cell.Left + 2;
    input.Y = cell.Top + 2;
    input.Shift = 8;
    platform::UserGridMouse(window, grid, platform::MouseAction::Down, input);
    input.Shift = 0;
    platform::UserGridMouse(window, grid, platform::MouseAction::Up, input);
  }
  // The user types the text into the property's value cell and confirms it
  // with the one Enter that ends the edit, or leaves the cell for another
  // row's and double-clicks it.
  void Enter(const std::string& property, const std::string& text, bool doubleClick, int page = 1) {
    ClickValue(Window(), page, property);
    const char* grid = TFProp::kGrids[page];
    const int row = RowOf(Window(), grid, property);
    platform::UserGridEditCell(Window(), grid, 1, row, text, doubleClick ? 0 : platform::vkReturn);
    if (doubleClick) {
      ClickValue(Window(), page, StringGrid(Window(), grid).Cell(0, row == 0 ? 1 : 0));
      const platform::Bounds cell = StringGrid(Window(), grid).CellRect(1, row);
      platform::UserGridDoubleClick(Window(), grid, cell.Left + 2, cell.Top + 2);
    }
    RunMessages();
  }

  // The program's main tool, which keeps the nested editors.
  TTechnology& Host() {
    if (!world->MainTool()) world->SetMainTool(CreateElement<TTechnology>());
    return *world->MainTool();
  }
  std::vector<TObjectPropertyEditor*> NestedEditors() {
    std::vector<TObjectPropertyEditor*> editors;
    for (int i = 0; i < Host().ToolCount(); ++i)
      if (auto* found = DynamicCast<TObjectPropertyEditor>(Host().GetTool(i))) editors.push_back(found);
    return editors;
  }

  TEditedProbe* probe = nullptr;
  std::unique_ptr<TObjectPropertyEditor> editor;
};

TEST_F(PropertyEditorTest, EachPropertyGoesToTheGridOfItsKindUnderTheFrameworkBaseClass) {
  auto* held = Named<TNameElement>("cíl", world->ObjectModel());
  probe->Link = held;
  struct Row {
    const char* name;
    TElement* input;
    const char* label;
    const char* firstPage;
    const char* element, *other, *methods;
  };
  auto* model = Named("model", world->ObjectModel());
  const auto size = [](TElement* element) { return std::to_string(element->GetSize()); };
  const std::string entityRows = "ID=-1 Name=model OwnersCount=1 Size=" + size(model) + " WholeSize=" + size(model) +
                                 " Count=0 WholeCount=0 NextElement=nil ElementToRemove=nil ElementToFree=nil "
                                 "AddAllFrom=nil LastIndex=-1";
  const std::string probeRows =
      "ID=-1 Name=sonda OwnersCount=0 Size=" + size(probe) + " WholeSize=" + size(probe);
  const Row rows[] = {
      {"a named element with its own properties", probe, "TEditedProbe_Instance : TEditedProbe", "TNameElement",
       probeRows.c_str(), "Count=5 Value=2.5 Label=les Flag=True Link=cíl", "Handler=0;0 OnDraw=0;0"},
      {"an owner entity publishes nothing of its own", model, "TOwnerEntity_Instance : TOwnerEntity",
       "TOwnerEntity", entityRows.c_str(), "=", "="},
  };
  for (const Row& row : rows) {
    Open(row.input);
    EXPECT_TRUE(Window().Visible()) << row.name;
    EXPECT_EQ(Window().Caption(), "Properties") << row.name;
    EXPECT_EQ(Window().Text("lbClassName"), row.label) << row.name;
    platform::TabPages pages(Window(), "PageControl");
    EXPECT_EQ(pages.PageCaption(0) + " " + pages.PageCaption(1) + " " + pages.PageCaption(2),
              std::string(row.firstPage) + " Vlastnosti Metody")
        << row.name;
    EXPECT_TRUE(pages.PageVisible(0)) << row.name;
    EXPECT_EQ(Rows(Window(), "sgElementProperties"), row.element) << row.name;
    EXPECT_EQ(Rows(Window(), "sgAscProperties"), row.other) << row.name;
    EXPECT_EQ(Rows(Window(), "sgMethods"), row.methods) << row.name;
    EXPECT_TRUE(editor->Refilling) << row.name;
  }
  probe->Link = nullptr;
  Open(probe);
  EXPECT_NE(Rows(Window(), "sgAscProperties").find("Link=nil"), std::string::npos) << "nothing held shows nil";
}

TEST_F(PropertyEditorTest, AnEntryIsWrittenWhenOfItsKindAndEveryGridIsRefilledInItsRows) {
  struct Row {
    const char* name;
    const char* property;
    const char* text;
    bool doubleClick;
    const char* shown;  // the property's row afterwards
    std::vector<std::string> boxes;
  };
  const Row rows[] = {
      {"an integer, confirmed with Enter", "Count", "42", false, "Count=42", {}},
      {"an integer, by a double click", "Count", "-7", true, "Count=-7", {}},
      {"not an integer: refused, value kept", "Count", "12abc", false, "Count=5",
       {"Error filling property Count by string 12abc"}},
      {"an empty integer: refused", "Count", "", true, "Count=5", {"Error filling property Count by string "}},
      {"a number with a comma", "Value", "1,5", false, "Value=1.5", {}},
      {"no number", "Value", "abc", false, "Value=2.5", {"Error filling property Value by string abc"}},
      {"a number beyond the double's range", "Value", "1e400", false, "Value=2.5",
       {"Error filling property Value by string 1e400"}},
      {"a text", "Label", "Průhon", true, "Label=Průhon", {}},
      {"a Boolean by name", "Flag", "false", false, "Flag=False", {}},
      {"no Boolean", "Flag", "ano", false, "Flag=True", {"Error filling property Flag by string ano"}},
  };
  for (const Row& row : rows) {
    probe->Count = 5, probe->Value = 2.5, probe->Label = "les", probe->Flag = true;
    Open(probe);
    const std::string before = Rows(Window(), "sgAscProperties");
    dialogs.Messages.clear();
    Enter(row.property, row.text, row.doubleClick);
    EXPECT_EQ(Boxes(), row.boxes) << row.name;
    const int at = RowOf(Window(), "sgAscProperties", row.property);
    StringGrid grid(Window(), "sgAscProperties");
    EXPECT_EQ(probe->GetPropertyText(row.property), grid.Cell(1, at)) << row.name << ": the grid shows the object";
    // The edited row shows its value, every other row reads as before, each in its place.
    std::vector<std::string> expected;
    for (std::size_t from = 0; from <= before.size();) {
      const std::size_t blank = std::min(before.find(' ', from), before.size());
      const std::string cell = before.substr(from, blank - from);
      expected.push_back(cell.rfind(std::string(row.property) + "=", 0) == 0 ? row.shown : cell);
      from = blank + 1;
    }
    EXPECT_EQ(Rows(Window(), "sgAscProperties"), Join(expected)) << row.name;
    EXPECT_EQ(Rows(Window(), "sgMethods"), "Handler=0;0 OnDraw=0;0") << row.name;
  }
}

// Each page's grid keeps its own current row: Enter on a page goes to the
// row chosen there, whatever row was chosen on another page since.
TEST_F(PropertyEditorTest, EnterEditsTheRowChosenOnItsOwnPage) {
  Open(probe);
  Enter("OnDraw", "0;0", false, 2);
  Enter("Count", "8", false, 1);
  platform::UserChooseTab(Window(), "PageControl", 2);
  const int row = RowOf(Window(), "sgMethods", "OnDraw");
  dialogs.Messages.clear();
  platform::UserGridEditCell(Window(), "sgMethods", 1, row, "x");
  RunMessages();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Error filling property OnDraw by string x"});
  EXPECT_EQ(Rows(Window(), "sgMethods"), "Handler=0;0 OnDraw=0;0");
}

TEST_F(PropertyEditorTest, ANameCellIsNeitherSelectedNorEditedAndAMethodTakesOnlyItsOwnText) {
  struct Row {
    const char* name;
    int page;
    const char* property;
    const char* text;
    std::vector<std::string> boxes;
    const char* methods;
  };
  const Row rows[] = {
      {"a method's own text goes back through the text path", 2, "Handler", "0;0", {}, "Handler=0;0 OnDraw=0;0"},
      {"no text sets a method", 2, "OnDraw", "1;2", {"Error filling property OnDraw by string 1;2"},
       "Handler=0;0 OnDraw=0;0"},
  };
  for (const Row& row : rows) {
    Open(probe);
    dialogs.Messages.clear();
    Enter(row.property, row.text, true, row.page);
    EXPECT_EQ(Boxes(), row.boxes) << row.name;
    EXPECT_EQ(Rows(Window(), "sgMethods"), row.methods) << row.name;
  }
  // A click on a name keeps the value cell selected; a double click there edits nothing.
  Open(probe);
  ClickValue(Window(), 1, "Count");
  const int countRow = RowOf(Window(), "sgAscProperties", "Count");
  platform::UserGridEditCell(Window(), "sgAscProperties", 1, countRow, "77", 0);
  StringGrid grid(Window(), "sgAscProperties");
  const platform::Bounds name = grid.CellRect(0, RowOf(Window(), "sgAscProperties", "Label"));
  platform::UserGridDoubleClick(Window(), "sgAscProperties", name.Left + 2, name.Top + 2);
  RunMessages();
  EXPECT_EQ(grid.Row(), countRow) << "the name's cell was not selected";
  EXPECT_EQ(grid.Col(), 1);
  EXPECT_EQ(probe->Count, 5) << "a double click on a name writes nothing";
  EXPECT_EQ(grid.Cell(1, countRow), "77") << "and refills nothing";
}

TEST_F(PropertyEditorTest, AnObjectValuedPropertyOpensANestedEditorOnTheObjectItHolds) {
  auto* held = Named<TOwnerEntity>("cíl", world->ObjectModel());
  struct Row {
    const char* name;
    TElement* link;
    const char* label;  // of the nested editor, empty for none
  };
  const Row rows[] = {
      {"an element held", held, "TOwnerEntity_Instance : TOwnerEntity"},
      {"nothing held opens nothing", nullptr, ""},
  };
  for (const Row& row : rows) {
    probe->Link = row.link;
    Open(probe);
    Host();
    Enter("Link", row.link ? row.link->GetName() : "nil", true);
    const std::vector<TObjectPropertyEditor*> editors = NestedEditors();
    ASSERT_LE(editors.size(), 1u) << row.name;
    TObjectPropertyEditor* nested = editors.empty() ? nullptr : editors.front();
    EXPECT_EQ(nested ? Window(*nested).Text("lbClassName") : "", row.label) << row.name;
    EXPECT_EQ(probe->Link, row.link) << row.name << ": the link itself is not written";
    if (nested) {
      EXPECT_EQ(nested->Input(), row.link) << row.name;
      TElementLink gone(nested);
      EXPECT_TRUE(platform::UserCloseWindow(Window(*nested))) << row.name;
      RunMessages();
      EXPECT_TRUE(gone.IsDangling()) << row.name << ": closing its window frees the editor";
    }
  }
}

TEST_F(PropertyEditorTest, AnObjectThatIsNoElementIsEditedWithoutTheElementPage) {
  Host();
  Open(probe);
  // An editor on the editor: it closes by itself when the editor goes.
  auto* outer = CreateElement<TObjectPropertyEditor>();
  TElementLink outerLink(outer);
  outer->SetInput(editor.get());
  outer->DoIt();
  platform::Form& window = Window(*outer);
  EXPECT_EQ(StringGrid(window, "sgAscProperties").Cell(1, RowOf(window, "sgAscProperties", "Form")), "TFProp");
  // Its Form row opens an editor on the form, which publishes nothing.
  ClickValue(window, 1, "Form");
  const platform::Bounds cell =
      StringGrid(window, "sgAscProperties").CellRect(1, RowOf(window, "sgAscProperties", "Form"));
  platform::UserGridDoubleClick(window, "sgAscProperties", cell.Left + 2, cell.Top + 2);
  RunMessages();
  ASSERT_EQ(NestedEditors().size(), 1u);
  TObjectPropertyEditor* nested = NestedEditors().front();
  TElementLink nestedLink(nested);
  platform::Form& form = Window(*nested);
  EXPECT_EQ(nested->Edited(), editor->Form());
  EXPECT_EQ(form.Text("lbClassName"), "TFProp_Instance : TFProp");
  platform::TabPages pages(form, "PageControl");
  EXPECT_FALSE(pages.PageVisible(0)) << "no element page for an object that is no element";
  EXPECT_EQ(pages.ActivePage(), 1);
  EXPECT_EQ(Rows(form, "sgAscProperties") + " / " + Rows(form, "sgMethods"), "= / =") << "empty grids";
  EXPECT_FALSE(form.Enabled("btExplore")) << "the main tool takes elements only";
  // The editor whose form it is goes: the nested editor closes, reading nothing.
  editor.reset();
  RunMessages();
  EXPECT_TRUE(nestedLink.IsDangling());
  EXPECT_TRUE(outerLink.IsDangling());
}

TEST_F(PropertyEditorTest, TheButtonsHandTheObjectToTheMainToolInOrder) {
  Open(probe);
  for (const char* button : {"btExplore", "btZobraz", "btOwners"}) platform::UserClick(Window(), button);
  RunMessages();
  EXPECT_EQ(mainTool.codes, (std::vector<int>{36, 30, 37}));
  EXPECT_EQ(mainTool.data, (std::vector<TElement*>{probe, probe, probe}));
}

TEST_F(PropertyEditorTest, TheEditorClosesWhenItsObjectIsFreedAndReadsNothingOfIt) {
  struct Row {
    const char* name;
    bool editQueued;  // an edit was on its way when the object went
  };
  const Row rows[] = {{"freed while idle", false}, {"freed with an edit queued", true}};
  for (const Row& row : rows) {
    auto* freed = Named<TEditedProbe>("pryč", world->ObjectModel());
    TElementLink editorLink(&Open(freed));
    TObjectPropertyEditor* open = editor.release();
    if (row.editQueued) {
      ClickValue(Window(*open), 1, "Count");
      platform::UserGridKey(Window(*open), "sgAscProperties", platform::vkReturn);
    }
    world->ObjectModel()->Clear();  // as opening a guide does
    RunMessages();
    EXPECT_TRUE(editorLink.IsDangling()) << row.name;
    EXPECT_TRUE(Boxes().empty()) << row.name;
  }
}

TEST_F(PropertyEditorTest, ClosingTheWindowOrCodeOneFreesTheEditor) {
  struct Row {
    const char* name;
    bool byWindow;
  };
  const Row rows[] = {{"the window's close box", true}, {"code 1", false}};
  for (const Row& row : rows) {
    TElementLink link(&Open(probe));
    TObjectPropertyEditor* open = editor.release();
    if (row.byWindow) EXPECT_TRUE(platform::UserCloseWindow(Window(*open))) << row.name;
    else open->PostMessage(msgToolClosed, open, nullptr, false);
    RunMessages();
    EXPECT_TRUE(link.IsDangling()) << row.name;
  }
}

TEST_F(PropertyEditorTest, NoObjectOpensNoWindow) {
  Open(nullptr);
  EXPECT_FALSE(Window().Visible());
  EXPECT_EQ(editor->Properties(), nullptr);
}

TEST_F(PropertyEditorTest, TheValueColumnTakesTheWidthTheNamesLeave) {
  Open(probe);
  platform::UserChooseTab(Window(), "PageControl", 1);
  platform::UserResize(Window(), 500, 400);
  StringGrid grid(Window(), "sgAscProperties");
  EXPECT_EQ(grid.ColWidth(0) + grid.ColWidth(1) + 1, grid.ClientWidth()) << "after a resize";
  platform::UserGridResizeColumn(Window(), "sgAscProperties", 0, 150);
  EXPECT_EQ(grid.ColWidth(0), 150);
  EXPECT_EQ(150 + grid.ColWidth(1) + 1, grid.ClientWidth()) << "after sizing the names' column";
}

// A grid the window's resize found on a page not shown keeps its columns
// until a mouse-up on it fits them; a mouse-down only notes where it was.
TEST_F(PropertyEditorTest, AMouseUpOnAGridFitsItsValueColumnAndAMouseDownDoesNot) {
  Open(probe);
  platform::UserChooseTab(Window(), "PageControl", 1);
  platform::UserResize(Window(), 500, 400);
  platform::UserChooseTab(Window(), "PageControl", 0);
  platform::UserResize(Window(), 640, 480);
  platform::UserChooseTab(Window(), "PageControl", 1);
  StringGrid grid(Window(), "sgAscProperties");
  const int left = grid.ColWidth(1);
  ASSERT_NE(grid.ColWidth(0) + left + 1, grid.ClientWidth()) << "the hidden grid was fitted by the resize";
  const struct {
    platform::MouseAction action;
    bool fits;
  } rows[] = {{platform::MouseAction::Down, false}, {platform::MouseAction::Up, true}};
  for (const auto& row : rows) {
    platform::UserGridMouse(Window(), "sgAscProperties", row.action, {0, 0, 5, 5});
    EXPECT_EQ(grid.ColWidth(1), row.fits ? grid.ClientWidth() - grid.ColWidth(0) - 1 : left) << row.fits;
  }
}

TEST_F(PropertyEditorTest, AProgramsThreadHasTheEditorMadeOnTheUserInterfaceThread) {
  auto* object = Named<TThreadProbe>("vlákno", world->ObjectModel());
  editor.reset(CreateElement<TObjectPropertyEditor>());
  editor->SetInput(object);
  std::atomic<bool> done = false;
  std::thread program([&] {
    editor->DoIt();
    done = true;
  });
  while (!done) platform::Application::Instance().RunPendingTasks();
  program.join();
  EXPECT_EQ(TThreadProbe::Reader(), std::this_thread::get_id()) << "the grids were filled here";
  EXPECT_TRUE(Window().Visible());
}

TEST_F(PropertyEditorTest, Screenshot) {
  std::filesystem::create_directories(KESTX_SCREENSHOTS_DIR);
  Open(probe);
  platform::UserChooseTab(Window(), "PageControl", 1);
  EXPECT_TRUE(Window().SaveImage(KESTX_SCREENSHOTS_DIR "/property_editor.png"));
}

}  // namespace
