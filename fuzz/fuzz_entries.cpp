#include "fuzz/fuzz_entries.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/app_classes.h"
#include "app/command_line/command_line.h"
#include "app/condition_filter/condition_filter.h"
#include "app/extended_forms/extended_form_tool.h"
#include "app/startup/main_tool.h"
#include "app/tool_groups/tool_groups.h"
#include "block/block_classes.h"
#include "block/forest_model/forest_props.h"
#include "block/layers/layer_lines.h"
#include "block/props/lumar_props.h"
#include "block/reading/block_reader.h"
#include "block/tables/lumar_dbf_table.h"
#include "block/tables/table_creation.h"
#include "cartography/cartography_classes.h"
#include "cartography/layouts/desktop_interprets.h"
#include "cartography/layouts/text_block.h"
#include "cartography/models/layer_scripts.h"
#include "cartography/models/model_script_text.h"
#include "cartography/models/script_models.h"
#include "cartography/symbology/interpret_tables.h"
#include "cartography/symbols/line_symbols.h"
#include "cartography/symbols/point_symbols.h"
#include "cartography/symbols/stroke_font.h"
#include "cartography/symbols/text_styles.h"
#include "forestry/editors/element_dialogs.h"
#include "forestry/forestry_classes.h"
#include "forestry/hierarchy/groupper.h"
#include "forestry/hierarchy/hierarchy_lookup.h"
#include "framework/condition/condition_compiler.h"
#include "framework/condition/condition_syntax.h"
#include "framework/condition/operators.h"
#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "framework/tools/tools.h"
#include "framework/tools/world.h"
#include "framework/values/typed_values.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/pictures.h"
#include "platform/string_grid.h"
#include "platform/tab_pages.h"
#include "platform/toolkit_events.h"
#include "platform/world_files.h"
#include "render/area_symbols/area_symbol_reader.h"
#include "render/devices/bitmap_device.h"
#include "render/interprets/interpret_layers.h"
#include "render/interprets/interpret_script.h"
#include "render/interprets/interpret_timers.h"
#include "render/interprets/script_creator.h"
#include "render/interprets/universal_interpret.h"
#include "render/palette/library_paths.h"
#include "render/render_classes.h"
#include "render/tool_forms/property_editor.h"
#include "render/tool_forms/tool_form_classes.h"
#include "spatial/geometry/page.h"
#include "spatial/geometry/projection.h"
#include "spatial/objects/properties.h"
#include "spatial/objects/space_entities.h"
#include "spatial/sheets/coordinate_systems.h"
#include "spatial/sheets/map_sheets.h"
#include "spatial/spatial_classes.h"

namespace fuzz {

namespace {

// Set up once per process: the classes, message boxes that answer without a
// display, and delivery of framework messages as the program does it.  The
// files the entries write go with the process.
struct Session {
  platform::RecordingDialogs dialogs;
  std::vector<std::string> files;

  ~Session() {
    std::error_code ignored;
    for (const std::string& file : files) std::filesystem::remove_all(file, ignored);
  }

  Session() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    RegisterSpatialClasses();
    RegisterBlockClasses();
    platform::SetDialogs(&dialogs);
    platform::Application& application = platform::Application::Instance();
    application.SetMessageHook([](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message))
        DeliverKestuMessage(kestu, handled, [] { return static_cast<TElement*>(nullptr); });
    });
    // A receiver's exception ends in a message box, as in the program.
    application.SetExceptionHook([](std::exception_ptr) {});
  }
};

// One input: nothing recorded or queued carries over to the next.
Session& TheSession() {
  static Session session;
  return session;
}

class Run {
 public:
  Run() {
    Session& session = TheSession();
    session.dialogs.Messages.clear();
    session.dialogs.Answers.clear();
  }
  // What the input made is gone when it ends, so that libFuzzer sees no
  // allocation outlive it (which costs a whole leak scan per input).
  ~Run() {
    DiscardQueuedKestuMessages();
    platform::DeliverToolkitEvents();
    Session& session = TheSession();
    std::vector<platform::RecordingDialogs::Shown>().swap(session.dialogs.Messages);
    session.dialogs.Answers.clear();
  }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
};

// Files of this process only: fuzzing jobs run side by side.
std::string TempPath(const std::string& name) {
  const std::string unique = "kestx_fuzz_" + std::to_string(getpid()) + "_" + name;
  const std::string path = (std::filesystem::temp_directory_path() / unique).string();
  std::vector<std::string>& files = TheSession().files;
  if (std::find(files.begin(), files.end(), path) == files.end()) files.push_back(path);
  return path;
}

void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size, const char* prefix = "") {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << prefix;
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// What a reader handed over and nothing else holds is the caller's to free.
std::unique_ptr<TElement> Result(TTool& reader) {
  TElement* root = reader.Output();
  return std::unique_ptr<TElement>(root && root->HolderCount() == 0 ? root : nullptr);
}

// A world for the block readers' register and coordinate systems, made
// for one input and cleared with it.
class BlockWorld {
 public:
  BlockWorld() { SetWorld(&world_); }
  ~BlockWorld() {
    world_.ObjectModel()->Clear();
    SetWorld(nullptr);
  }
  BlockWorld(const BlockWorld&) = delete;
  BlockWorld& operator=(const BlockWorld&) = delete;

 private:
  TWCSWorld world_;
};

// A folder of this process, emptied.
std::string EmptyFolder(const std::string& name) {
  const std::string path = TempPath(name);
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  std::filesystem::create_directories(path, ignored);
  return path;
}

std::unique_ptr<TElement> LoadKes(const std::string& path) {
  TLoad load;
  load.FileName = path;
  try {
    load.DoIt();
  } catch (const EBadStream&) {
    return nullptr;
  }
  return Result(load);
}

// Reads the input from its front; past the end every read gives zeros.
class Script {
 public:
  Script(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool More() const { return at_ < size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  unsigned Number() { return Byte() | (static_cast<unsigned>(Byte()) << 8); }
  std::string Text() {
    const std::size_t length = std::min<std::size_t>(Byte(), size_ - at_);
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Numbers that sit on the edges of the value types.
const char* const kNumbers[] = {"0",    "-1",  "1",        "2147483647", "2147483648", "-2147483649", "4294967296",
                                "1e308", "-1e308", "1e-320", "nan",       "inf",        "1,5",         "0.5",
                                "255",   "256", "-128",     "65536",      "TRUE",       "FALSE",       ""};

// Texts that name files would make the fuzzer write anywhere.
bool SkippedWrite(const std::string& name) { return name == "SaveToFile" || name == "LoadFromFile"; }

class ElementPool {
 public:
  static constexpr std::size_t kSize = 16;

  ~ElementPool() {
    // Free what nothing holds until nothing changes: holders free the rest.
    for (bool freed = true; freed;) {
      freed = false;
      for (TElementLink& link : pool_) {
        TElement* element = link.Get();
        if (element && element->HolderCount() == 0) {
          delete element;
          freed = true;
        }
      }
    }
  }

  void Add(TElement* element) {
    if (pool_.size() < kSize) pool_.emplace_back(element);
    else delete element;
  }
  TElement* Pick(Script& script) const {
    return pool_.empty() ? nullptr : pool_[script.Byte() % pool_.size()].Get();
  }

 private:
  std::vector<TElementLink> pool_;
};

std::string PropertyName(Script& script, const TElement& element) {
  const auto& props = element.ClassType()->Props();
  return props.empty() ? std::string() : props[script.Number() % props.size()]->Name;
}

std::string HandleText(TElement* element) { return std::to_string(HandleOfElement(element)); }

std::string ValueText(Script& script, const ElementPool& pool, TElement* target) {
  switch (script.Byte() % 6) {
    case 0:
      return HandleText(pool.Pick(script));
    case 1: {  // an owner, or an owner's owner: the values that close cycles
      TElement* owner = target->GetOwner(0);
      if (owner && script.Byte() % 2) owner = owner->GetOwner(0);
      return HandleText(owner);
    }
    case 2:
      return HandleText(target);
    case 3:
      return kNumbers[script.Byte() % std::size(kNumbers)];
    case 4:
      return std::to_string(static_cast<int>(script.Number()) - 32768);
    default:
      return script.Text();
  }
}

void ReadEveryProperty(const TElement& element) {
  for (const TPropInfo* info : element.ClassType()->Props())
    element.GetPropertyText(info->Name);
}

TStringListElement* NewValues() {
  TStringListElement* values = TStringListElement::CreateFromStrings({"COUNT=12", "X=2,5", "A=x(y)z"});
  values->SetName("abc");
  return values;
}

// The one tool the command-line scripts may call: it answers its prefix and
// its input's name, hands out a new element of that text, and touches
// nothing else.
class TFuzzEcho : public TResultTool {
  KESTX_CLASS(TFuzzEcho)
 public:
  std::string Prefix;
  void GetParameterName(int index, std::string& name) override { name = index == 0 ? "Prefix" : ""; }
  void DoIt() override {
    TResultTool::DoIt();
    Result = Prefix + (Input() ? Input()->GetName() : std::string());
    SetOutput(TStringElement::CreateValue(Result));
  }
};

// Words of a line that reach files, folders, programs or the whole program.
bool ReachesOutside(const std::string& upper) {
  for (const char* word : {"DOIT", "CALL", "FILE", "DIRECTORY", "DRIVE", "COMPUTER", "UNIT", "EXECUTE", "SAVE",
                           "LOAD", "PLUGIN", "PALETTE", "CLOSE", "SERVICE"})
    if (upper.find(word) != std::string::npos) return true;
  return false;
}

// The line without blanks and quotes.
std::string Compact(const std::string& upper) {
  std::string compact;
  for (char c : upper)
    if (c != ' ' && c != '\t' && c != '\'' && c != '"') compact += c;
  return compact;
}

// The two lines that reach further than a path and stay harmless: a call of
// the script's own file, and a run of a new echo tool.
bool CallsItsOwnFile(const std::string& upper) { return Compact(upper) == "CALL(S.OIL)"; }
bool RunsANewEcho(const std::string& upper) {
  static const std::regex run(R"(CREATE\(T?FUZZECHO,[A-Z0-9_]*\)\.DOIT\(\)(\.[A-Z0-9_]+)*)");
  return std::regex_match(Compact(upper), run);
}

// Every word before "(" is a command of the language or the echo tool.
bool CallsOnlyHarmlessWords(const std::string& upper) {
  static const std::unordered_set<std::string> allowed = {
      "FREE", "FREEALL", "FINDELEMENTBYNAME", "FINDELEMENTBYCLASS", "CREATE", "CREATEELEMENT", "CREATETOOL",
      "FUZZECHO", "TFUZZECHO"};
  for (std::size_t open = upper.find('('); open != std::string::npos; open = upper.find('(', open + 1)) {
    std::size_t start = open;
    while (start > 0 && upper[start - 1] != '.' && upper[start - 1] != '(' && upper[start - 1] != ',' &&
           upper[start - 1] != '=' && upper[start - 1] != ':')
      --start;
    std::string word = upper.substr(start, open - start);
    word.erase(0, word.find_first_not_of(" \t\"'"));
    word.erase(word.find_last_not_of(" \t") + 1);
    if (!word.empty() && !allowed.count(word)) return false;
  }
  return true;
}

}  // namespace

TClass TFuzzEcho::StaticClass() {
  static const TClassInfo info = DescribeClass<TFuzzEcho>("TFuzzEcho", TResultTool::StaticClass(), "fuzz",
                                                          {FieldProp("Prefix", &TFuzzEcho::Prefix)});
  return &info;
}

namespace {

// The element drawn with the default symbology on a small bitmap, fitted to
// the element's rectangle when it has one.
void DrawLoaded(TElement& element) {
  TBitmapDevice device;
  device.SetOwnsBitmap(true);
  device.SetBitmap(platform::Bitmap::Create(64, 64).release());
  device.Page()->SetResolution(10000, 10000);
  device.Projection()->Calculate({0, 0}, device.Page(), 1000);
  if (auto* rect = DynamicCast<TRectEntity>(&element); rect && rect->IsValid())
    device.Projection()->FitRectangle(rect->BoundRect(), device.Page());
  TUniversalLumarScriptCreator creator;
  creator.DoIt();
  TUniversalInterpret interpret;
  interpret.SetScript(DynamicCast<TInterpretScript>(creator.Output()));
  interpret.AttachDevice(&device);
  interpret.SetInput(&element);
  interpret.DoIt();
  interpret.DetachDevice();
}

}  // namespace

void KesStream(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterCartographyClasses();
  const std::string input = TempPath("input.kes");
  WriteBytes(input, data, size);
  std::unique_ptr<TElement> root = LoadKes(input);
  if (!root) return;
  const std::string saved = TempPath("saved.kes");
  {
    TSave save;
    save.FileName = saved;
    save.SetInput(root.get());
    save.DoIt();
  }
  LoadKes(saved);
  DrawLoaded(*root);
}

void ComponentStream(const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string input = TempPath("input.tpf");
  WriteBytes(input, data, size, "TPF0");
  TLoader loader;
  loader.SetName(input);
  try {
    loader.DoIt();
  } catch (const EBadStream&) {
    return;
  }
  Result(loader);
}

void PropertyTexts(const std::uint8_t* data, std::size_t size) {
  Run run;
  TKestuClasses& registry = *KestuClasses();
  Script script(data, size);
  ElementPool pool;
  while (script.More()) {
    const std::uint8_t operation = script.Byte() % 8;
    if (operation < 2) {
      const int count = registry.GetCount();
      if (TKestuClass* entry = count > 0 ? registry.Entry(static_cast<int>(script.Number() % count)) : nullptr)
        if (TElement* element = NewElement(entry->ElementClass())) pool.Add(element);
      continue;
    }
    TElement* target = pool.Pick(script);
    if (!target) continue;
    switch (operation) {
      case 2: case 3: {
        const std::string name = PropertyName(script, *target);
        if (!SkippedWrite(name)) target->SetPropertyText(name, ValueText(script, pool, target));
        break;
      }
      case 4: {
        const std::string name = PropertyName(script, *target);
        target->GetPropertyText(name);
        break;
      }
      case 5:
        ReadEveryProperty(*target);
        break;
      case 6:  // freed the way its first owner lets go of it, or as an unowned element
        if (auto* owner = DynamicCast<TEntity>(target->GetOwner(0))) owner->FreeElement(target);
        else if (target->HolderCount() == 0) delete target;
        break;
      default: {  // a name the class does not publish: dynamic values, items, property objects
        const std::string name = script.Text();
        if (SkippedWrite(name)) break;
        target->SetPropertyText(name, ValueText(script, pool, target));
        target->GetPropertyText(name);
        break;
      }
    }
  }
}

void Conditions(const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<TStringListElement> element(NewValues());
  TCondCreator creator;
  std::unique_ptr<TCondition> condition;
  try {
    condition.reset(CompileCondition(creator, text));
  } catch (const SyntaxExcept&) {
    return;
  }
  condition->Test();  // nothing stored yet
  condition->SetResultItem(0, element.get());
  condition->Test();
  condition->DoIt();
}

void ElementPaths(const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string path(reinterpret_cast<const char*>(data), size);
  TOwnerEntity root;
  root.SetName("ROOT");
  TStringListElement* values = NewValues();
  root.AddElement(values);
  auto* sub = new TOwnerEntity;
  sub->SetName("SUB");
  root.AddElement(sub);
  sub->AddElement(values);
  auto* tool = new TTool;
  tool->SetName("TOOL");
  tool->SetInput(values);
  tool->SetParameter("P", values);
  sub->AddElement(tool);
  try {
    root.GetPathValue(path);
    root.GetPathValueList(path);
    root.FindPathElement(path);
  } catch (const Exception&) {
  } catch (const EClassNotFound&) {  // FINDELEMENTBYCLASS of a class nobody registered
  }
}

void StringListFiles(const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string input = TempPath("input.txt");
  WriteBytes(input, data, size);
  TStringListElement list;
  list.LoadFromFile(input);
  list.GetValueList();
  ReadEveryProperty(list);
  for (int i = 0; i < list.GetCount(); ++i) list.GetPropertyText(list.GetItemName(i));
  const std::string saved = TempPath("saved.txt");
  list.SaveToFile(saved);
  TStringListElement again;
  again.LoadFromFile(saved);
}

void BitmapFiles(const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string input = TempPath("input.bmp");
  WriteBytes(input, data, size);
  std::unique_ptr<platform::Bitmap> bitmap = platform::Bitmap::Create(4, 4);
  if (!bitmap || !bitmap->LoadFromFile(input)) return;
  const std::string saved = TempPath("saved.bmp");
  if (!bitmap->SaveToFile(saved)) std::abort();
  std::unique_ptr<platform::Bitmap> again = platform::Bitmap::Create(1, 1);
  // A picture the program wrote it reads back whole.
  if (!again->LoadFromFile(saved) || again->Width() != bitmap->Width() || again->Height() != bitmap->Height())
    std::abort();
}

void CommandLines(const std::uint8_t* data, std::size_t size) {
  Run run;
  static const bool registered = [] {
    RegisterCommandLineClasses();
    RegisterKestuClass(TFuzzEcho::StaticClass());
    return true;
  }();
  static_cast<void>(registered);
  TWorld world;
  SetWorld(&world);
  auto* model = new TOwnerEntity;
  model->SetName("LES");
  world.ObjectModel()->AddElement(model);
  for (const char* name : {"a", "b"}) model->AddNew("TOwnerEntity", name);
  model->AddElement(NewValues());
  {
    // The lines the script may run, as its file: Windows-1250 on disk.
    const std::string folder = EmptyFolder("command_lines");
    std::string script;
    std::string line;
    for (std::size_t i = 0; i <= size; ++i) {
      if (i < size && data[i] != '\n') {
        line += static_cast<char>(data[i]);
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string upper = platform::AnsiUpperCase(platform::Cp1250ToUtf8(line));
      if (CallsItsOwnFile(upper) || RunsANewEcho(upper) || (!ReachesOutside(upper) && CallsOnlyHarmlessWords(upper)))
        script += line + "\r\n";
      line.clear();
    }
    WriteBytes(folder + "/s.oil", reinterpret_cast<const std::uint8_t*>(script.data()), script.size());
    std::unique_ptr<TCommandLine> interpreter(CreateElement<TCommandLine>());
    interpreter->ByDDE = true;
    interpreter->SetActualDirectory(folder);
    interpreter->SetFileName("s.oil");
    interpreter->DoIt();
    interpreter->GetFirstResult();
  }
  DiscardQueuedKestuMessages();
  SetWorld(nullptr);
}

void BlockDirectories(const std::uint8_t* data, std::size_t size) {
  Run run;
  BlockWorld world;
  static const char* const kFiles[] = {"TN.CRD", "TN.LIN", "TN.ARE", "TN.PNT", "TN.TBX", "TN.TTX", "INFO.TXT"};
  const std::string block = EmptyFolder("block.BLK");
  for (std::size_t at = 0; at + 3 <= size;) {
    const char* name = kFiles[data[at] % std::size(kFiles)];
    const std::size_t length = std::min<std::size_t>(data[at + 1] | (data[at + 2] << 8), size - at - 3);
    WriteBytes(block + "/" + name, data + at + 3, length);
    at += 3 + length;
  }
  BlockMeetsRect(block, TRealRect{-1e6, -1e6, 1e6, 1e6});
  TLumaRBlokReader reader;
  reader.Create(block);
  const auto layer = [](TSpaceEntityString* list) { std::unique_ptr<TSpaceEntityString> freed(list); };
  layer(reader.ReadPoints());
  layer(reader.ReadLineSymbols());
  layer(reader.ReadTexts());
  // Read again, the objects come from the block's register.
  for (int pass = 0; pass < 2; ++pass) {
    layer(reader.ReadLines());
    layer(reader.ReadAreas());
  }
  reader.ReadAreaAsBoundary = true;
  layer(reader.ReadAreas());
}

namespace {

void WorkOnTable(const std::string& folder, const std::string& file) {
  TLumarDBFTable table;
  if (!table.OpenTable(file)) return;
  platform::DbaseTable& engine = table.Table();
  const int records = engine.RecordCount();
  for (engine.First(); !engine.Eof(); engine.Next())
    for (int i = 0; i < engine.FieldCount(); ++i) engine.GetFieldText(i);
  for (const std::int32_t cislo : {0, 1, 2, 3, records, 9999999}) table.FindCislo(cislo);
  table.CloseTable();
  if (!table.OpenForUpdate(file)) return;
  const auto fill = [&] {
    for (int i = 0; i < engine.FieldCount(); ++i) {
      try {
        engine.SetFieldText(i, i % 2 ? "Žďár 12,5" : "7");
      } catch (const platform::EDatabaseError&) {  // a value the field cannot hold
      }
    }
    engine.Post();
  };
  if (records > 0) {
    engine.MoveTo(1);
    engine.Edit();
    fill();
  }
  engine.Append();
  fill();
  table.CloseTable();
  bool done = false;
  CreateFromDBF(file, folder + "/P0002.DBF", done);
}

}  // namespace

void DbaseTables(const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string folder = EmptyFolder("tables");
  const std::string file = folder + "/P0001.DBF";
  WriteBytes(file, data, size);
  try {
    WorkOnTable(folder, file);
  } catch (const platform::EDatabaseError&) {  // the engine refuses the table
  }
}

namespace {

// "#k" stands for the handle of the k-th model element.
std::string ResolveValue(const std::string& value, const std::vector<TElement*>& model) {
  if (value.size() < 2 || value[0] != '#') return value;
  int index = 0;
  if (!TryTextToInt(value.substr(1), index) || model.empty()) return value;
  const auto at = static_cast<std::size_t>(index < 0 ? -static_cast<long long>(index) : index) % model.size();
  return std::to_string(HandleOfElement(model[at]));
}

// A model of a line, an area with a hole, a point, a map sheet and a layer
// holding a second line.
struct DrawnModel {
  TOwnerEntity root;
  TInterpretLayer* layer = nullptr;
  std::vector<TElement*> elements;

  DrawnModel() {
    auto* line = new TPolyLineElement;
    for (const auto& [x, y] : {std::pair(5.0, 5.0), std::pair(60.0, 30.0), std::pair(-40.0, 70.0)}) line->AddVertex(x, y);
    line->CalcBounds();
    auto* area = new TAreaElement;
    for (const auto& [x, y] : {std::pair(10.0, 10.0), std::pair(50.0, 10.0), std::pair(30.0, 50.0)}) area->AddVertex(x, y);
    area->CalcBounds();
    auto* hole = new TAreaElement;
    for (const auto& [x, y] : {std::pair(25.0, 15.0), std::pair(35.0, 15.0), std::pair(30.0, 25.0)}) hole->AddVertex(x, y);
    hole->CalcBounds();
    area->AddHole(hole);
    auto* point = new TPointElement;
    point->SetBounds({32, 32, 32, 32});
    auto* sheet = new TSMO_5;
    sheet->SetName("5-1");
    sheet->SetBounds({0, 0, 40, 40});
    layer = new TInterpretLayer;
    auto* inner = new TPolyLineElement;
    inner->AddVertex(0, 60);
    inner->AddVertex(60, 0);
    inner->CalcBounds();
    layer->AddElement(inner);
    for (TElement* element : std::initializer_list<TElement*>{line, area, point, sheet, layer}) root.AddElement(element);
    elements = {&root, line, area, hole, point, sheet, layer, inner};
  }
};

}  // namespace

void InterpretScripts(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterRenderClasses();
  DrawnModel model;
  TTimeElement timer;
  TUniversalInterpret universal;
  universal.SetScript(new TInterpretScript);
  universal.SetInput(&model.root);
  auto* device = new TBitmapDevice;
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(64, 64).release());
  device->Projection()->Calculate({32, 32}, device->Page(), device->Page()->HRes());
  universal.AttachDevice(device);
  const std::string text(reinterpret_cast<const char*>(data), size);
  int draws = 0;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(from, end - from);
    from = end + 1;
    if (line == "D" || line == "D\r") {
      if (draws++ < 8) universal.DoIt();
      continue;
    }
    std::string name, value;
    if (line.size() < 3 || line[1] != ' ' || !SplitNameValue(line.substr(2), name, value)) continue;
    TElement* target = nullptr;
    switch (line[0]) {
      case 'S': target = universal.Script(); break;
      case 'L': target = model.layer; break;
      case 'T': target = &timer; break;
      case 'U': target = &universal; break;
      default: break;
    }
    if (!target || SkippedWrite(name)) continue;
    target->SetPropertyText(name, ResolveValue(value, model.elements));
    target->GetPropertyText(name);
  }
  universal.DoIt();
  // The device is the entry's to free, whatever the lines made of it.
  universal.SetDevice(device);
  universal.SetDevice(nullptr);
  delete device;
}

void LayerLines(const std::uint8_t* data, std::size_t size) {
  using Edit = std::string (*)(const std::string&);
  static constexpr Edit kEdits[] = {ShortenLayerPath,  ToggleSubfolderSearch, WildcardLayerFile, ToggleIncludeFilter,
                                    ToggleExcludeFilter, MarkReaderProperty,  MakeKindFilter,    ToggleUseColor,
                                    ToggleUseSymbol,   SetLayerSymbol,        SetLayerCondition};
  const std::string text(reinterpret_cast<const char*>(data), size);
  LayerRows list;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    list.Rows.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& line : list.Rows) {
    for (Edit edit : kEdits) edit(edit(line));
    SetLayerColor(line, LayerColorOf(line));
    SetLayerColor(line, std::nullopt);
    LayerLineForFile(line);
    BlockLayerName(line);
  }
  // The bytes steer the row operations: which one, and on which row.
  for (std::size_t i = 0; i < size && i < 4096; ++i) {
    const std::size_t before = list.Rows.size();
    list.Current = static_cast<int>(data[i] / 8 % (before + 2)) - 1;
    const bool hadCurrent = list.HasCurrent();
    std::size_t expected = before;
    switch (data[i] % 6) {
      case 0: list.InsertRow(); expected += hadCurrent ? 1 : 0; break;
      case 1: list.DeleteRow(); expected -= hadCurrent && before > 1 ? 1 : 0; break;
      case 2: list.MoveUp(); break;
      case 3: list.MoveDown(); break;
      case 4: {
        const int row = list.Place(text.substr(i, 8));
        if (row < 0 || static_cast<std::size_t>(row) >= list.Rows.size()) std::abort();
        expected = list.Rows.size();
        if (expected != before && expected != before + 1) std::abort();
        break;
      }
      default: list.Edit(kEdits[data[i] % std::size(kEdits)]);
    }
    if (list.Rows.size() != expected) std::abort();
  }
}

namespace {

// The texts a key byte stands for: ordinary keys and outside text.
const std::string& KeyText(std::uint8_t byte) {
  static const std::string kTexts[] = {"", "1", "2", "12", "a", "A", " ", "\\", ".", "ř", "___",
                                       std::string(250, 'x'), "1/2", "Ž.b"};
  return kTexts[byte % std::size(kTexts)];
}

constexpr const char* kKeyNames[] = {"LHC", "ODDELENI", "DILEC", "POROST", "SKUPINA"};
constexpr std::size_t kRecordSize = 7;  // five keys, then the column and row of a 10 m cell
constexpr std::size_t kMaxRecords = 400;

TOwnerEntity* ForestCriterion() {
  auto* criterion = new TOwnerEntity;
  const char* classes[] = {"TLHC", "TOddeleni", "TDilec", "TPorost", "TPorostniSkupina"};
  for (std::size_t i = 0; i < 5; ++i) {
    auto* level = new TPropsAndClass;
    level->NextName(kKeyNames[i]);
    level->OwnerClassName = classes[i];
    if (i == 4) {
      level->SocketClassName = "TAreaString";
      level->SocketName = "GEOMETRY";
    }
    criterion->AddElement(level);
  }
  return criterion;
}

int GeometryHolders(const TElement& area) {
  int count = 0;
  for (int i = 0; i < area.GetOwnersCount(); ++i)
    if (const TElement* owner = area.GetOwner(i); owner && owner->GetName() == "GEOMETRY") ++count;
  return count;
}

}  // namespace

void ForestAttributes(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterForestryClasses();
  TOwnerEntity stands;
  TRectEntity hierarchy;
  TGroupper groupper;
  groupper.SetCriterion(ForestCriterion());
  groupper.SetOutput(&hierarchy);
  struct Placed {
    TAreaElement* Area;
    std::string Keys[5];
    double X, Y;
  };
  std::vector<Placed> placed;
  for (std::size_t at = 0; at + kRecordSize <= size && placed.size() < kMaxRecords; at += kRecordSize) {
    Placed stand{new TAreaElement, {}, (data[at + 5] % 32) * 10.0, (data[at + 6] % 32) * 10.0};
    stand.Area->SetProperties(new TDynamicProperties);
    for (std::size_t k = 0; k < 5; ++k) {
      stand.Keys[k] = KeyText(data[at + k]);
      stand.Area->SetPropertyText(kKeyNames[k], stand.Keys[k]);
    }
    for (const auto& [dx, dy] : {std::pair{1.0, 1.0}, {1.0, 9.0}, {9.0, 9.0}, {9.0, 1.0}})
      stand.Area->AddVertex(stand.X + dx, stand.Y + dy);
    stand.Area->CalcBounds();
    stands.AddElement(stand.Area);
    groupper.SetInput(stand.Area);
    groupper.DoIt();
    placed.push_back(std::move(stand));
  }
  THeleSkupina finder;
  finder.SetInput(&hierarchy);
  for (const Placed& stand : placed) {
    if (GeometryHolders(*stand.Area) != 1) std::abort();
    THeleHier down;
    down.SetInput(&hierarchy);
    const char* levels[] = {"LHC", "Odd", "Dil", "Por", "PSK"};
    for (std::size_t k = 0; k < 5; ++k) down.SetPropertyText(levels[k], stand.Keys[k].empty() ? "___" : stand.Keys[k]);
    down.DoIt();
    auto* group = DynamicCast<TEntity>(down.Output());
    auto* geometry = group ? DynamicCast<TEntity>(group->FindElementByName("GEOMETRY")) : nullptr;
    if (!geometry || geometry->IndexOf(stand.Area) < 0) std::abort();
    finder.X = stand.X + 5;
    finder.Y = stand.Y + 5;
    finder.Found = false;
    finder.DoIt();
    // Stands of one cell overlap: any of them may answer.
    auto* found = DynamicCast<TAreaElement>(finder.Output());
    if (!finder.Found || !found || !found->ContainsPointOutsideHoles(finder.X, finder.Y)) std::abort();
  }
}

namespace {

// A 64 x 64 bitmap at 254 dots per inch, scale 1 : 1000: 1 mm is 10 px.
std::unique_ptr<TBitmapDevice> SymbolDevice() {
  auto device = std::make_unique<TBitmapDevice>();
  device->SetOwnsBitmap(true);
  device->SetBitmap(platform::Bitmap::Create(64, 64).release());
  device->Page()->SetResolution(10000, 10000);
  device->Projection()->Calculate({3.2, 3.2}, device->Page(), 1000);
  device->Projection()->SetVirtualScale(1000);
  return device;
}

// The symbol library and the text fonts in a folder of this process, put
// back to the program's own when the input is done.  The folder is made once:
// each input writes every file it names whole, and what else it left in the
// folder goes when it is done, so making files anew (the slowest part of an
// input) is left to the files that were not there.
class SymbolFolder {
 public:
  explicit SymbolFolder(const std::string& name) : path_(FolderOf(name)) {
    RegisterCartographyClasses();
    SetSymbolLibraryDirectory(path_);
    SetStrokeFontDirectory(path_);
  }
  ~SymbolFolder() {
    SetSymbolLibraryDirectory("");
    SetStrokeFontDirectory("");
    std::error_code ignored;
    std::vector<std::filesystem::path> left;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ignored))
      if (!named_.contains(entry.path().filename().string())) left.push_back(entry.path());
    for (const auto& path : left) std::filesystem::remove_all(path, ignored);
  }
  SymbolFolder(const SymbolFolder&) = delete;
  SymbolFolder& operator=(const SymbolFolder&) = delete;
  std::string File(const std::string& name) {
    named_.insert(name);
    return path_ + "/" + name;
  }

 private:
  static std::string FolderOf(const std::string& name) {
    static std::set<std::string> made;
    return made.insert(name).second ? EmptyFolder(name) : TempPath(name);
  }

  std::string path_;
  std::set<std::string> named_;
};

std::int32_t CodeOfFirstBytes(const std::uint8_t* data, std::size_t size) {
  std::int32_t code = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(size, 2); ++i) code = code << 8 | data[i];
  return code;
}

}  // namespace

void KeywordFiles(const std::uint8_t* data, std::size_t size) {
  Run run;
  SymbolFolder folder("keyword_files");
  WriteBytes(folder.File("linzn.txt"), data, size);
  WriteBytes(folder.File("Srafy.txt"), data, size);
  auto device = SymbolDevice();
  TLinioveZnacky lines(folder.File("linzn.txt"));
  lines.SetDevice(device.get());
  TPlosneZnacky areas(folder.File("Srafy.txt"));
  areas.SetDevice(device.get());
  const std::vector<TRealPoint> line = {{-1, 1}, {3, 5}, {5, 2}, {5, 2}, {2, 2.5}, {8, 6}};
  const TDevicePoint points[] = {{2, 2}, {60, 5}, {50, 60}, {5, 40}, {20, 20}, {40, 20}, {30, 40}};
  const std::int32_t counts[] = {4, 3};
  std::vector<std::int32_t> codes = {CodeOfFirstBytes(data, size)};
  for (std::int32_t code = 1000; code < 1010; ++code) codes.push_back(code);
  for (std::int32_t code = 2000; code < 2010; ++code) codes.push_back(code);
  for (std::int32_t code : codes) {
    if (TLiniovaZnacka* symbol = lines.GetSymbol(code)) {
      symbol->Draw(*device, {0, 0, 6.4, 6.4}, true, line, 3);
      symbol->Draw(*device, {}, false, line, 3);
    }
    if (TPlosnaZnacka* symbol = areas.GetSymbol(code)) symbol->Draw(*device, points, counts, 2);
  }
}

void StrokeFonts(const std::uint8_t* data, std::size_t size) {
  Run run;
  SymbolFolder folder("stroke_fonts");
  WriteBytes(folder.File("Simp.CHR"), data, size);
  WriteBytes(folder.File("ZNACKY.CHR"), data, size);
  const std::uint8_t list[] = "1 ZNACKY.CHR D 2 0.1\n";
  WriteBytes(folder.File("Fonty.txt"), list, sizeof list - 1);
  auto device = SymbolDevice();
  std::string every;
  for (int c = 0; c < 256; ++c) every += static_cast<char>(c);
  TBGIFont font;
  font.SetDevice(device.get());
  auto* text = new TBGIText;
  font.SetText(text, true);
  text->StartPoint()->SetX(1);
  text->StartPoint()->SetY(1);
  text->Height = 2;
  text->Spacing = 0.5;
  text->Slant = 0.3;
  text->Direction = 1;
  for (std::uint8_t flags : {0, 8}) {
    text->Flags = flags;
    if (font.LoadFont(0, 0)) {
      font.DrawString(every);
      font.TextWidth(every);
      text->Veta = "Ab";
      font.UpdateTextRect();
    }
  }
  TLumaRSymbols symbols(folder.File("Fonty.txt"));
  symbols.SetDevice(device.get());
  for (std::int32_t code = 1000; code < 1256; ++code) symbols.DrawSymbol(1, code, 0.5, 3, 3);
}

void SymbolLists(const std::uint8_t* data, std::size_t size) {
  Run run;
  SymbolFolder folder("symbol_lists");
  WriteBytes(folder.File("Fonty.txt"), data, size);
  WriteBytes(folder.File("Styly.txt"), data, size);
  auto device = SymbolDevice();
  TLumaRSymbols symbols(folder.File("Fonty.txt"));
  symbols.SetDevice(device.get());
  for (std::int32_t code : {1065, 2065, 3065, CodeOfFirstBytes(data, size)}) symbols.DrawSymbol(1, code, 0, 3, 3);
  TBGIFont font;
  font.SetDevice(device.get());
  for (TElement* child : font.Styles()->Children())
    if (auto* style = dynamic_cast<bgi::TTextStyle*>(child)) {
      auto* text = new TBGIText;
      font.SetText(text, true);
      text->Druh = style->Druh;
      text->Flags = 8;
      text->Veta = "Ab";
      font.DrawText();
    }
}

// ---------------------------------------------------------------- pictures, world files, model scripts

namespace {

// A decoded picture is whole: its size within the bound and every pixel
// there; a refused one names its file.
void CheckPicture(const char* extension, const std::uint8_t* data, std::size_t size) {
  Run run;
  const std::string file = TempPath(std::string("picture") + extension);
  WriteBytes(file, data, size);
  try {
    const platform::DecodedPicture picture = platform::DecodePictureFile(file);
    if (picture.Width <= 0 || picture.Height <= 0 ||
        std::int64_t(picture.Width) * picture.Height > platform::MaxPicturePixels ||
        picture.Rgb.size() != std::size_t(picture.Width) * std::size_t(picture.Height) * 3)
      std::abort();
  } catch (const platform::EPictureError& error) {
    if (std::string(error.what()).rfind(file + ": ", 0) != 0) std::abort();
  }
}

// "kind=description [name=value]..." of each layer.
std::string LayersText(TEntity* script) {
  std::string text;
  for (int i = 0; script && i < script->GetCount(); ++i) {
    auto* layer = DynamicCast<TLayerScript>(script->GetElement(i));
    if (!layer) continue;
    text += layer->GetName() + "=" + layer->GetDescription();
    if (TPropertyList* params = layer->Parameters())
      for (int p = 0; p < params->GetCount(); ++p)
        text += " [" + static_cast<TStringElement*>(params->GetElement(p))->GetNameIsValue() + "]";
    text += "\n";
  }
  return text;
}

// The script the creator makes of the lines, expanded in an empty folder.
std::unique_ptr<TEntity> ScriptOf(TStringListElement* input, const std::string& dataDirectory) {
  TModelScriptCreator creator;
  creator.DataDirectory = dataDirectory;
  creator.SetInput(input);
  creator.DoIt();
  return std::unique_ptr<TEntity>(DynamicCast<TEntity>(creator.Output()));
}

}  // namespace

void PicturesJpeg(const std::uint8_t* data, std::size_t size) { CheckPicture(".jpg", data, size); }
void PicturesGif(const std::uint8_t* data, std::size_t size) { CheckPicture(".gif", data, size); }
void PicturesBmp(const std::uint8_t* data, std::size_t size) { CheckPicture(".bmp", data, size); }
void PicturesPng(const std::uint8_t* data, std::size_t size) { CheckPicture(".png", data, size); }

void WorldFile(const std::uint8_t* data, std::size_t size) {
  platform::WorldFile placed;
  std::string reason;
  const bool valid =
      platform::ParseWorldFile(std::string(reinterpret_cast<const char*>(data), size), placed, reason);
  if (valid != reason.empty()) std::abort();
  if (valid && !(placed.PixelWidth > 0 && placed.PixelHeight > 0 && std::isfinite(placed.Left) &&
                 std::isfinite(placed.Top)))
    std::abort();
  // A picture as long as a decoded one may be: the rectangle a raster
  // takes from an accepted world file is finite.
  constexpr std::int32_t side = 1 << 27;
  if (!valid || !platform::WorldExtentIsFinite(placed, side, side, reason)) return;
  const double extentX = placed.PixelWidth * side, extentY = placed.PixelHeight * side;
  const double right = placed.Left + extentX;
  if (!std::isfinite(right - extentX) || !std::isfinite(placed.Top - extentY)) std::abort();
}

void ModelScript(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterCartographyClasses();
  // The data folder holds one file, which building the model must leave as
  // it was.
  const std::string empty = EmptyFolder("model_data");
  const std::string watched = empty + "/watched.txt";
  WriteBytes(watched, reinterpret_cast<const std::uint8_t*>("x"), 1);
  const auto stamp = std::filesystem::last_write_time(watched);
  const auto mode = std::filesystem::status(watched).permissions();
  // Folders stay inside the data folder: no search leaves it.  "$" stands
  // for the folder, so that a script can name its file.
  std::string text(reinterpret_cast<const char*>(data), size);
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '_');
  for (std::size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at + empty.size() + 1))
    text.replace(at, 1, empty + "/");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size() && lines.size() < 2000;) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::unique_ptr<TStringListElement> input(TStringListElement::CreateFromStrings(lines));
  std::unique_ptr<TEntity> script = ScriptOf(input.get(), empty);
  if (!script) return;
  TStringListFromModelScript writer;
  writer.SetInput(script.get());
  writer.DoIt();
  std::unique_ptr<TStringListElement> written(static_cast<TStringListElement*>(writer.Output()));
  std::unique_ptr<TEntity> reread = ScriptOf(written.get(), empty);
  if (LayersText(script.get()) != LayersText(reread.get())) std::abort();
  BlockWorld world;
  TModelByScriptCreator builder;
  builder.SetInput(script.get());
  builder.DoIt();
  std::unique_ptr<TElement> model(Result(builder));
  // A model script may come from anyone: building it changes nothing on disk.
  std::error_code error;
  const auto entries = std::distance(std::filesystem::directory_iterator(empty, error),
                                     std::filesystem::directory_iterator());
  if (entries != 1 || std::filesystem::last_write_time(watched, error) != stamp ||
      std::filesystem::status(watched, error).permissions() != mode)
    std::abort();
}

void PropertyEntries(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterToolFormClasses();
  if (size == 0) return;
  std::unique_ptr<TElement> object;
  switch (data[0] % 3) {
    case 0: object.reset(CreateElement<TModelByScriptCreator>()); break;
    case 1: object.reset(CreateElement<TLayerScript>()); break;
    default: object.reset(CreateElement<TConditionFilterDialog>()); break;
  }
  std::unique_ptr<TObjectPropertyEditor> editor(CreateElement<TObjectPropertyEditor>());
  editor->SetInput(object.get());
  editor->DoIt();
  platform::Form& window = editor->Form()->Window();
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::size_t start = 0;
  for (int entries = 0; start < text.size() && entries < 64; ++entries) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const auto steer = static_cast<unsigned char>(line[0]);
    const int page = steer % 3;
    platform::TabPages pages(window, "PageControl");
    if (!pages.PageVisible(page)) continue;
    if (pages.ActivePage() != page) platform::UserChooseTab(window, "PageControl", page);
    const char* gridName = TFProp::kGrids[page];
    platform::StringGrid grid(window, gridName);
    const int row = steer / 3 % grid.RowCount();
    const std::string name = grid.Cell(0, row);
    if (name.empty()) continue;
    const std::string before = object->GetPropertyText(name);
    const std::size_t boxes = TheSession().dialogs.Messages.size();
    grid.SetCurrentCell(1, row);
    platform::UserGridEditCell(window, gridName, 1, row, line.substr(1));
    platform::Application::Instance().ProcessMessages();
    const bool refused = TheSession().dialogs.Messages.size() > boxes;
    const std::string after = object->GetPropertyText(name);
    // An element's ID is the stamp every walk leaves: it moves on by itself.
    if (name == "ID") continue;
    // A refused entry keeps the value; whatever stands is what the grid shows.
    if (refused && after != before) std::abort();
    const int kind = object->ClassType()->FindProp(name)->Kind;
    if (kind != tkClass && grid.Cell(1, row) != after) std::abort();
  }
}

void ConditionFilter(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterAppClasses();
  const std::string program = ProgramFile();
  const std::string folder = TempPath("condition_filter");
  std::filesystem::create_directories(folder);
  SetProgramFile(folder + "/kestx");
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<TConditionFilterDialog> dialog(CreateElement<TConditionFilterDialog>());
  std::vector<std::string> lines;
  std::filesystem::remove_all(TConditionFilterDialog::TableFileName());
  // A stored table is the filter's file as it stands; a text is the columns
  // on its first line and, on each further one, a row of cells split by tabs.
  if (bytes.rfind("KES0", 0) == 0 || bytes.rfind("TPF0", 0) == 0) {
    std::ofstream(TConditionFilterDialog::TableFileName(), std::ios::binary) << bytes;
    dialog->FilterProperties = "DRUH, BARVA";
  } else {
    for (std::size_t start = 0; start <= bytes.size() && lines.size() < 64;) {
      const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
      lines.push_back(bytes.substr(start, end - start));
      start = end + 1;
    }
    dialog->FilterProperties = lines.front();
  }
  dialog->Condition = "\x01";
  platform::SetModalAnswerer([&lines](platform::Form& form) {
    platform::StringGrid grid(form, TConditionFilterForm::kGrid);
    for (std::size_t r = 1; r < lines.size() && grid.ColCount() > 0; ++r) {
      const int row = static_cast<int>(r);
      if (grid.RowCount() <= row) grid.SetRowCount(row + 1);
      std::size_t from = 0;
      for (int col = 0; col < grid.ColCount() && from <= lines[r].size(); ++col) {
        const std::size_t tab = std::min(lines[r].find('\t', from), lines[r].size());
        platform::UserGridEditCell(form, TConditionFilterForm::kGrid, col, row, lines[r].substr(from, tab - from));
        from = tab + 1;
      }
    }
    platform::UserClick(form, "b_OK");
  });
  dialog->DoIt();
  platform::SetModalAnswerer(nullptr);
  platform::Application::Instance().ProcessMessages();
  SetProgramFile(program);
  // OK took the table: its condition compiles.
  const std::string prefix = "@CONDITION=";
  if (dialog->Condition == "\x01") return;
  if (dialog->Condition.rfind(prefix, 0) != 0) std::abort();
  const std::string condition = dialog->Condition.substr(prefix.size());
  if (condition.empty()) return;
  try {
    TCondCreator creator;
    std::unique_ptr<TCondition>(CompileCondition(creator, condition));
  } catch (const SyntaxExcept&) {
    std::abort();
  }
}

namespace {

// A group on a window of its own, freed before the window.
struct GroupOnWindow {
  GroupOnWindow() : group(CreateElement<TExtendedToolGroup>()) {
    group->SetName("Fuzz");
    group->SetForm(&form);
  }
  TExtendedKESTU_Form form;
  std::unique_ptr<TExtendedToolGroup> group;
};

}  // namespace

void ToolImages(const std::uint8_t* data, std::size_t size) {
  Run run;
  if (size < 2) return;
  GroupOnWindow window;
  window.group->SetImageWidth(data[0]);
  window.group->SetImageHeight(data[1]);
  const std::string file = TempPath("image.bmp");
  WriteBytes(file, data + 2, size - 2);
  window.group->NewImage(file);
  window.group->NewToolAction("a");
  window.group->SetActualImageIndex(0);
}

void ShortCutTexts(const std::uint8_t* data, std::size_t size) {
  Run run;
  GroupOnWindow window;
  window.group->NewToolAction("a");
  window.group->SetActualShortCut(std::string(reinterpret_cast<const char*>(data), size));
  const std::string shown = window.group->ActualShortCut();
  window.group->SetActualShortCut(shown);
  if (window.group->ActualShortCut() != shown) std::abort();
}

void TextBlockFile(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterCartographyClasses();
  const std::string file = TempPath("block.txt");
  WriteBytes(file, data, size);
  TTextBlock block;
  block.SetBounds({0, 0, 6.4, 6.4});
  block.LineHeight = 0.5;
  block.TextHeight = 0.4;
  block.Delimiter = ";";
  block.SetSorted(size % 2 == 1);
  block.SetFileName(file);
  const int count = block.LinesCount();
  auto same = std::make_unique<TStringListElement>();
  for (const std::string& line : block.LineTexts()) same->NextValue(line);
  block.SetLinesPlus(same.get());
  if (block.LinesCount() != count) std::abort();
  auto device = SymbolDevice();
  TTextBlockInterpret interpret;
  interpret.AttachDevice(device.get());
  interpret.SetInput(&block);
  interpret.DoIt();
  interpret.DetachDevice();
}

void InterpretTables(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterCartographyClasses();
  const std::string file = TempPath("table.txt");
  WriteBytes(file, data, size);
  TLumarPointProps object;
  object.Barva = 3;
  object.Znacka = 1200;
  TInterpretTable table;
  table.SetFileName(file);
  table.SetInput(&object);
  table.DoIt();
  TSimpleInterpretTable simple;
  for (const std::string& line : platform::ReadTextLines(file)) simple.SetNextItem(line);
  simple.PropertyName = "Barva";
  simple.SetInput(&object);
  simple.DoIt();
}

namespace {

// The harvest properties as the area answers them.
std::vector<std::string> HarvestTexts(const TElement& area) {
  std::vector<std::string> texts;
  for (const char* name : {"ZPUSOB", "NALEHAVOST", "ZNACKA", "VYMERA"}) texts.push_back(area.GetPropertyText(name));
  return texts;
}

}  // namespace

void ForestDialogEntries(const std::uint8_t* data, std::size_t size) {
  Run run;
  RegisterForestryClasses();
  // Five texts split at line ends: the harvest dialog's four entries and a
  // colour list.
  std::vector<std::string> texts(1);
  for (std::size_t at = 0; at < size && texts.size() <= 5; ++at) {
    if (data[at] == '\n') texts.emplace_back();
    else texts.back() += static_cast<char>(data[at]);
  }
  texts.resize(5);
  TAreaElement area;
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.0, 10.0}, {10.0, 10.0}, {10.0, 0.0}}) area.AddVertex(x, y);
  area.CalcBounds();
  auto* props = new TTezPProps;
  props->Zpusob = 1;
  props->Nalehavost = 2;
  props->Znacka = 3;
  props->Vymera = 4.5;
  area.SetProperties(props);
  const std::vector<std::string> before = HarvestTexts(area);
  std::vector<std::string> typed;
  platform::SetModalAnswerer([&](platform::Form& form) {
    const char* edits[] = {"ed_Zpusob", "ed_Nalehavost", "ed_Srafa", "ed_Area"};
    for (std::size_t i = 0; i < 4; ++i) form.SetText(edits[i], texts[i]);
    for (const char* edit : edits) typed.push_back(form.Text(edit));
    platform::UserClick(form, "bt_OK");
  });
  std::unique_ptr<TTezPDialog> harvest(CreateElement<TTezPDialog>());
  harvest->SetInput(&area);
  harvest->DoIt();
  platform::SetModalAnswerer(nullptr);
  const std::vector<std::string> after = HarvestTexts(area);
  if (harvest->Result == platform::mrOk) {
    // Every entry went in as the property reads it back.
    for (std::size_t i = 0; i < 3; ++i)
      if (std::stoll(after[i]) != std::stoll(typed[i])) std::abort();
    std::string area_text = typed[3];
    std::replace(area_text.begin(), area_text.end(), ',', '.');
    if (std::abs(std::stod(after[3]) - std::stod(area_text)) > 1e-9 * std::max(1.0, std::abs(std::stod(area_text))))
      std::abort();
  } else if (after != before) {
    std::abort();
  }
  // A colour list: taken whole or refused whole.
  std::unique_ptr<TSimplePointDialog> point(CreateElement<TSimplePointDialog>());
  point->SetColorList("7,8");
  try {
    point->SetColorList(texts[4]);
  } catch (const std::exception&) {
    if (point->ColorList() != "7,8") std::abort();
  }
  point->DontShowForm = true;
  TPointElement place;
  point->ValueName = "NALEHAVOST";
  point->SetInput(&place);
  point->DoIt();
}

}  // namespace fuzz
