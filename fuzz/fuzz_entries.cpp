#include "fuzz/fuzz_entries.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/command_line/command_line.h"
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
    for (const std::string& file : files) std::filesystem::remove(file, ignored);
  }

  Session() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    RegisterSpatialClasses();
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
  ~Run() { DiscardQueuedKestuMessages(); }
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
// its input's name, and touches nothing.
class TFuzzEcho : public TResultTool {
  KESTX_CLASS(TFuzzEcho)
 public:
  std::string Prefix;
  void GetParameterName(int index, std::string& name) override { name = index == 0 ? "Prefix" : ""; }
  void DoIt() override {
    TResultTool::DoIt();
    Result = Prefix + (Input() ? Input()->GetName() : std::string());
  }
};

// Words of a line that reach files, folders, programs or the whole program.
bool ReachesOutside(const std::string& upper) {
  for (const char* word : {"DOIT", "CALL", "FILE", "DIRECTORY", "DRIVE", "COMPUTER", "UNIT", "EXECUTE", "SAVE",
                           "LOAD", "PLUGIN", "PALETTE", "CLOSE", "SERVICE"})
    if (upper.find(word) != std::string::npos) return true;
  return false;
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

void KesStream(const std::uint8_t* data, std::size_t size) {
  Run run;
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
    std::unique_ptr<TCommandLine> interpreter(CreateElement<TCommandLine>());
    interpreter->ByDDE = true;
    std::string line;
    for (std::size_t i = 0; i <= size; ++i) {
      if (i < size && data[i] != '\n') {
        line += static_cast<char>(data[i]);
        continue;
      }
      // A script file's line: Windows-1250 on disk.
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string text = platform::Cp1250ToUtf8(line);
      const std::string upper = platform::AnsiUpperCase(text);
      if (!ReachesOutside(upper) && CallsOnlyHarmlessWords(upper)) interpreter->SetNextLine(text);
      line.clear();
    }
    interpreter->DoIt();
    interpreter->GetFirstResult();
  }
  DiscardQueuedKestuMessages();
  SetWorld(nullptr);
}

}  // namespace fuzz
