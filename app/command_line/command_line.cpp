#include "app/command_line/command_line.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "framework/core/class_registry.h"
#include "framework/core/messages.h"
#include "framework/tools/world.h"
#include "platform/app_queue.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/streams.h"

namespace {

constexpr const char* kDelimiters = "\"'(),.:";

bool IsDelimiter(char c) { return std::string_view(kDelimiters).find(c) != std::string_view::npos; }

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Upper(const std::string& text) { return platform::AnsiUpperCase(text); }

// "Syntaktická chyba - na pozici " with the 1-based position in the line.
[[noreturn]] void SyntaxError(std::size_t position, const std::string& what) {
  throw std::runtime_error("Syntaktická chyba - na pozici " + std::to_string(position + 1) + " " + what);
}

// A literal argument loses its quotes (an apostrophe literal is trimmed too).
bool Unquote(const std::string& argument, std::string& text) {
  const std::string trimmed = Trim(argument);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
    text = trimmed.substr(1, trimmed.size() - 2);
    return true;
  }
  if (trimmed.size() >= 2 && trimmed.front() == '\'' && trimmed.back() == '\'') {
    text = Trim(trimmed.substr(1, trimmed.size() - 2));
    return true;
  }
  text = trimmed;
  return false;
}

// An argument of a call and where it starts in the path.
struct TArgument {
  std::string Text;
  std::size_t At = 0;
};

// Where the trimmed text starts within text.
std::size_t LeadingBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  return first == std::string::npos ? 0 : first;
}

// The arguments of a call from just after "(" to its ")", split at the
// commas that lie outside quotes and inner parentheses; pos ends after ")".
// offset places the path in the line.
std::vector<TArgument> ReadArguments(const std::string& path, std::size_t offset, std::size_t& pos) {
  std::vector<TArgument> arguments;
  std::string current;
  std::size_t currentAt = pos;
  int depth = 0;
  char quote = 0;
  for (; pos < path.size(); ++pos) {
    const char c = path[pos];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && depth > 0) {
      --depth;
    } else if (c == ')') {
      if (!Trim(current).empty() || !arguments.empty()) arguments.push_back({current, currentAt});
      ++pos;
      return arguments;
    } else if (c == ',' && depth == 0) {
      arguments.push_back({current, currentAt});
      current.clear();
      currentAt = pos + 1;
      continue;
    }
    current += c;
  }
  SyntaxError(offset + pos, "očekávám  \")\"");
}

std::string ClassNameWithT(std::string name) { return EnsureTPrefix(name); }

// The class a command names, a leading "T" added when missing: a name that
// begins with T of its own ("ToolModel") still gets one when it names no
// class as written.  Not registered: the registry's error.
TClass CommandClass(const std::string& name) {
  const std::string withT = ClassNameWithT(name);
  if (TClass cls = FindKestuClassWithOrWithoutT(withT)) return cls;
  return GetKestuClass(withT);
}

template <class T>
T* Required(TElement* element, std::size_t position, const char* what) {
  auto* required = DynamicCast<T>(element);
  if (!required)
    throw std::runtime_error("Objekt na pozici " + std::to_string(position + 1) + " " + what);
  return required;
}

// The interpreters whose lines run now, outermost first.
std::vector<TCommandLine*>& RunningLines() {
  static std::vector<TCommandLine*> running;
  return running;
}

class TRunningLine {
 public:
  explicit TRunningLine(TCommandLine* interpreter) { RunningLines().push_back(interpreter); }
  ~TRunningLine() { RunningLines().pop_back(); }
  TRunningLine(const TRunningLine&) = delete;
  TRunningLine& operator=(const TRunningLine&) = delete;
};

// The script runs of this thread.  A CALL, a general interpret's FileName
// and a script tool each run their script with an interpreter of their own,
// so the nesting, the calls and the files read are counted here, once for
// all of them: a script that calls itself twice would otherwise make 2^64
// calls, and one that sets its own interpret's FileName would nest without
// end.
struct TScriptRuns {
  int Depth = 0;
  int Calls = 0;  // made since the outermost run began
  // A bound was passed: the called scripts end, and the outermost script
  // goes on.  Left to go on, the callers of a script that calls itself
  // twice would be refused once for each of their calls, a box each.
  bool Exhausted = false;
  struct TFile {
    platform::FileStamp Stamp;
    std::vector<std::string> Lines;
  };
  std::unordered_map<std::string, TFile> Files;  // read since the outermost run began
};

TScriptRuns& ScriptRuns() {
  thread_local TScriptRuns runs;
  return runs;
}

// One run of a script's lines.
class TScriptRun {
 public:
  // Why the run of the file may not start now (empty when it may); a run
  // inside another counts as a call.
  static std::string Refusal(const std::string& fileName) {
    TScriptRuns& runs = ScriptRuns();
    if (runs.Depth > TCommandLine::kMaxCallDepth) {
      runs.Exhausted = true;
      return "Příliš mnoho vnořených volání skriptů (nejvýše " + std::to_string(TCommandLine::kMaxCallDepth) +
             "): " + fileName;
    }
    if (runs.Depth > 0 && ++runs.Calls > TCommandLine::kMaxCalls) {
      runs.Exhausted = true;
      return "Příliš mnoho volání skriptů v jednom běhu (nejvýše " + std::to_string(TCommandLine::kMaxCalls) +
             "): " + fileName;
    }
    return {};
  }
  // A called script stops after its line that passed a bound.
  static bool Exhausted() { return ScriptRuns().Exhausted && ScriptRuns().Depth > 1; }

  TScriptRun() : runs_(ScriptRuns()) { ++runs_.Depth; }
  ~TScriptRun() {
    // Back in the outermost script, the scripts it calls next run again
    // (unless the bound on calls refuses them).
    if (--runs_.Depth == 1) runs_.Exhausted = false;
    if (runs_.Depth > 0) return;
    runs_.Calls = 0;
    runs_.Exhausted = false;
    runs_.Files.clear();
  }
  TScriptRun(const TScriptRun&) = delete;
  TScriptRun& operator=(const TScriptRun&) = delete;

  // The file's lines, read once in the outermost run unless it changed.
  std::vector<std::string> Lines(const std::string& file) {
    const platform::FileStamp stamp = platform::StampOfFile(file);
    auto found = runs_.Files.find(file);
    if (found == runs_.Files.end() || !(found->second.Stamp == stamp))
      found = runs_.Files.insert_or_assign(file, TScriptRuns::TFile{stamp, platform::ReadTextLines(file)}).first;
    return found->second.Lines;
  }

 private:
  TScriptRuns& runs_;
};

}  // namespace

TCommandLine::TCommandLine() { activeElement_.Set(World()); }

TCommandLine::~TCommandLine() { FreeCreated(false); }

bool TCommandLine::Running() const {
  const auto& running = RunningLines();
  return std::find(running.begin(), running.end(), this) != running.end() || (SmartMode && Busy());
}

TCommandLine* TCommandLine::Innermost() { return RunningLines().empty() ? nullptr : RunningLines().back(); }

std::unordered_set<const TElement*> TCommandLine::HeldByVariables() const {
  std::unordered_set<const TElement*> held;
  auto* vars = static_cast<TOwnerEntity*>(vars_.Get());
  if (!vars) return held;
  for (TElement* child : vars->Children()) {
    auto* var = DynamicCast<TVar>(child);
    TElement* element = var ? var->Element() : nullptr;
    if (!element) continue;
    held.insert(element);
    if (auto* tool = DynamicCast<TTool>(element)) held.insert(tool->Output());
  }
  return held;
}

void TCommandLine::FreeCreated(bool keepVariables) {
  std::vector<TElementLink> created;
  created.swap(created_);
  const std::unordered_set<const TElement*> held =
      keepVariables ? HeldByVariables() : std::unordered_set<const TElement*>();
  for (const TElementLink& link : created) {
    TElement* element = link.Get();
    if (!element || element->HolderCount() > 0 || !element->HasNoOwner()) continue;
    // A message the script posted belongs to the queue until delivered.
    if (auto* message = DynamicCast<TKestuMessage>(element); message && KestuMessageQueued(message)) continue;
    if (held.count(element)) {
      created_.push_back(link);
      continue;
    }
    delete element;
  }
}

void TCommandLine::TakeHandedOut(TTool& tool, const TElementLink& outputBefore) {
  TElement* output = tool.Output();
  if (!output || output == outputBefore.Get() || output == &tool || output == tool.Input()) return;
  TWorld* world = World();
  if (output == world || (world && output == world->MainTool())) return;
  if (output->HolderCount() > 0 || !output->HasNoOwner()) return;
  created_.emplace_back(output);
}

void TCommandLine::CheckFree(TElement* element, std::size_t position, bool childrenOnly) const {
  if (!element) return;
  TWorld* world = World();
  bool refused = element == world || (world && element == world->MainTool());
  auto* entity = DynamicCast<TEntity>(element);
  for (TCommandLine* running : RunningLines()) {
    if (refused) break;
    refused = childrenOnly ? running != element && running->IsSelfOrAncestor(element)
                           : running->IsSelfOrAncestor(element);
  }
  if (!refused && childrenOnly && entity && world && world->MainTool())
    refused = world->MainTool() != element && world->MainTool()->IsSelfOrAncestor(element);
  if (refused) throw std::runtime_error("Objekt na pozici " + std::to_string(position + 1) + " nelze uvolnit");
}

void TCommandLine::CallScript(const std::string& folder, const std::string& fileName) {
  std::unique_ptr<TCommandLine> called(CreateElement<TCommandLine>());
  called->SetActiveElement(ActiveElement());
  called->ByDDE = ByDDE;
  if (!folder.empty()) called->SetActualDirectory(folder);
  called->SetFileName(fileName);
  called->DoIt();
  if (called->Failed()) failed_ = true;
}

void TCommandLine::SetActualDirectory(const std::string& directory) {
  actualDirectory_ = platform::IncludeTrailingPathDelimiter(directory);
}

void TCommandLine::SetFileName(const std::string& name) {
  Line.clear();
  lines_.clear();
  fileName_ = name;
}

TOwnerEntity* TCommandLine::Vars() {
  if (auto* vars = static_cast<TOwnerEntity*>(vars_.Get())) return vars;
  auto* vars = new TOwnerEntity();
  vars->SetName("VAR:");
  AddElement(vars);
  vars_.Set(vars);
  return vars;
}

TVar* TCommandLine::FindVar(const std::string& name) {
  auto* vars = static_cast<TOwnerEntity*>(vars_.Get());
  return vars ? DynamicCast<TVar>(vars->FindElementByName(Upper(name))) : nullptr;
}

void TCommandLine::SetInput(TElement* element) {
  TTool::SetInput(element);
  if (element) SetActiveElement(element);
}

void TCommandLine::GetParameterName(int index, std::string& name) {
  if (index == 0) name = "FileName";
  else if (index == 1) name = "ActualDirectory";
  else name.clear();
}

void TCommandLine::ReportCommandError(const std::string& text, int code) {
  failed_ = true;
  if (ByDDE) {
    results_.push_back("ERROR " + std::to_string(code) + ": " + text);
    return;
  }
  platform::MessageDlg(text, platform::MsgDlgType::Error, platform::mbOK);
}

void TCommandLine::DoIt() {
  TTool::DoIt();
  lineIndex_ = 0;
  failed_ = false;
  if (!Line.empty()) {
    RunLine(Line);
    return;
  }
  const std::string file = actualDirectory_.empty() ? fileName_ : actualDirectory_ + fileName_;
  if (lines_.empty() && !fileName_.empty() && !platform::FileExists(file)) {
    ReportCommandError("Skriptový soubor " + file + " nenalezen !", 1);
    return;
  }
  if (lines_.empty() && fileName_.empty()) return;
  if (const std::string refused = TScriptRun::Refusal(fileName_); !refused.empty()) {
    // An error of the line that asked for the run (a CALL, a general
    // interpret's FileName): the property's setter would take an exception
    // for a value it cannot be filled with.
    if (TCommandLine* asking = Innermost()) asking->ReportCommandError(asking->Located(refused), 0);
    else ReportCommandError(refused, 0);
    return;
  }
  TScriptRun run;
  if (lines_.empty()) lines_ = run.Lines(file);
  if (!lines_.empty()) RunLines();
}

void TCommandLine::RunLines() {
  if (SmartMode) {
    SetBusy(true);
    PostMessage(msgNextLine, this, nullptr, false);
    return;
  }
  const TElementLink alive(this);
  // A print a line starts may fail after it, while the messages run, and a
  // rebuild that lost areas goes on: both tell nobody but the world.  (A
  // block that fails raises to whoever runs its export.)
  const TWorld* world = World();
  const auto failedOnTheirOwn = [world] {
    return world ? world->FailedWork(TFailedWork::Print) + world->FailedWork(TFailedWork::Rebuild) : 0;
  };
  const int failedBefore = failedOnTheirOwn();
  for (lineIndex_ = 0; lineIndex_ < lines_.size() && !TScriptRun::Exhausted(); ++lineIndex_) {
    Line = lines_[lineIndex_];
    if (!Line.empty()) RunLine(Line);
    platform::Application::Instance().ProcessMessages();
    if (!alive.Get()) return;
    if (failedOnTheirOwn() > failedBefore) failed_ = true;
  }
  lineIndex_ = 0;
  Line.clear();
  FreeCreated(true);
}

void TCommandLine::ReceiveMessage(TKestuMessage*& message, bool& handled) {
  TTool::ReceiveMessage(message, handled);
  if (handled || !message || message->Message != msgNextLine) return;
  handled = true;
  while (lineIndex_ < lines_.size() && lines_[lineIndex_].empty()) ++lineIndex_;
  if (lineIndex_ < lines_.size()) {
    // The index names the running line until it has run (errors carry it).
    Line = lines_[lineIndex_];
    const TElementLink alive(this);
    RunLine(Line);
    if (!alive.Get()) return;
    ++lineIndex_;
    PostMessage(msgNextLine, this, nullptr, false);
    return;
  }
  lineIndex_ = 0;
  Line.clear();
  FreeCreated(true);
  SetBusy(false);
  PostMessage(msgFinished, nullptr, nullptr, false);
}

std::string TCommandLine::Located(const std::string& text) const {
  return text + "\n" + fileName_ + " ř.č." + std::to_string(lineIndex_ + 1) + "\n" + Line;
}

void TCommandLine::RunLine(const std::string& line) {
  // A failing line reports its error; the script goes on with the next one.
  const TRunningLine running(this);
  try {
    RunOneLine(line);
  } catch (const ECommandError& error) {
    ReportCommandError(error.what(), error.Code);
  } catch (const std::exception& error) {
    ReportCommandError(Located(error.what()), 0);
  }
}

void TCommandLine::RunOneLine(const std::string& line) {
  left_ = {};
  right_ = {};
  hasRight_ = false;
  results_.clear();
  const auto equals = line.find('=');
  const std::string leftText = Trim(line.substr(0, equals));
  const std::string rightText = equals == std::string::npos ? std::string() : Trim(line.substr(equals + 1));
  if (!leftText.empty() && leftText.front() == '*') {
    blockComment_ = !blockComment_;
    if (blockComment_) return;
  } else if (blockComment_) {
    return;
  }
  if (!leftText.empty() && leftText.front() == ';') return;
  const std::size_t leftAt = LeadingBlanks(line);
  const std::size_t rightAt =
      equals == std::string::npos ? line.size() : equals + 1 + LeadingBlanks(line.substr(equals + 1));
  if (Upper(leftText) == "ACTIVEELEMENT") {
    if (equals == std::string::npos) throw ECommandError(3, "Chyba .. nastavení aktivního elementu: " + line);
    Evaluate(rightText, rightAt, right_);
    AssignActiveElement(line);
    return;
  }
  Evaluate(leftText, leftAt, left_);
  if (equals == std::string::npos) {
    for (const std::string& value : ValuesOf(left_)) results_.push_back(value);
    return;
  }
  Evaluate(rightText, rightAt, right_);
  hasRight_ = true;
  AssignValue(line);
}

void TCommandLine::Evaluate(const std::string& path, std::size_t offset, TPathRecord& record) {
  // Arguments are paths evaluated here again: their nesting is bounded, not
  // the stack.
  if (argumentDepth_ >= kMaxArgumentDepth)
    throw std::runtime_error("Příliš hluboko vnořené argumenty na pozici " + std::to_string(offset + 1));
  struct Nested {
    int& depth;
    explicit Nested(int& d) : depth(++d) {}
    ~Nested() { --depth; }
  } nested(argumentDepth_);
  record = {};
  TElement* current = ActiveElement();
  record.Element.Set(current);
  std::size_t pos = 0;
  while (pos <= path.size()) {
    const std::size_t start = pos;
    while (pos < path.size() && !IsDelimiter(path[pos])) ++pos;
    const std::string word = Trim(path.substr(start, pos - start));
    const std::string upper = Upper(word);
    if (pos == path.size()) {
      // The last word of the path.
      if (upper == "WORLD") {
        record.Element.Set(World());
      } else if (upper == "ACTIVEELEMENT") {
        record.Element.Set(ActiveElement());
      } else if (TVar* var = word.empty() ? nullptr : FindVar(word)) {
        record.Element.Set(var->Element());
        record.IsVariable = true;
        SetActualVar(var);
      } else if (upper != "VAR") {
        record.Name = word;
      }
      return;
    }
    const char delimiter = path[pos];
    if (delimiter == '"' || delimiter == '\'') {
      const auto close = path.find(delimiter, pos + 1);
      if (close == std::string::npos)
        SyntaxError(offset + path.size(), std::string("očekávám  \"") + delimiter + "\"");
      const std::string literal = path.substr(pos + 1, close - pos - 1);
      record.IsText = true;
      record.Text = delimiter == '\'' ? Trim(literal) : literal;
      return;
    }
    if (delimiter == '.') {
      ++pos;
      if (upper == "ELEMENT") {
        record.IsList = true;
        continue;
      }
      if (upper == "WORLD") current = World();
      else if (upper == "ACTIVEELEMENT") current = ActiveElement();
      else if (upper == "SELF") current = this;
      else if (TVar* var = FindVar(word)) current = var->Element();
      else {
        TElement* next = nullptr;
        if (current) {
          next = DynamicCast<TElement>(GetObjectPropByName(*current, word));
          if (!next && current->HasProperty(word)) {
            int handle = 0;
            if (TryTextToInt(current->GetPropertyText(word), handle) && handle > 0)
              next = ElementOfHandle(static_cast<std::uint32_t>(handle));
          }
          if (!next) {
            if (auto* entity = DynamicCast<TEntity>(current)) next = entity->FindElementByName(word);
          }
        }
        if (!next) throw std::runtime_error("Nemohu nalézt element " + word);
        current = next;
      }
      record.Element.Set(current);
      continue;
    }
    if (delimiter == ':') {
      ++pos;
      const std::size_t classStart = pos;
      while (pos < path.size() && !IsDelimiter(path[pos])) ++pos;
      const std::string className = Trim(path.substr(classStart, pos - classStart));
      if (!FindKestuClassWithOrWithoutT(className)) throw std::runtime_error("Neexistující třída: " + className);
      TVar* var = FindVar(word);
      if (!var) {
        var = new TVar();
        var->SetName(Upper(word));
        var->DeclaredClass = className;
        Vars()->AddElement(var);
      }
      SetActualVar(var);
      record.Element.Set(var->Element());
      record.IsVariable = true;
      if (pos < path.size() && path[pos] == '.') ++pos;
      if (pos >= path.size()) return;
      continue;
    }
    if (delimiter != '(') SyntaxError(offset + pos, "očekávám \".\" nebo nic");
    // A command or a tool call.
    const std::size_t at = offset + start;
    ++pos;
    const std::vector<TArgument> arguments = ReadArguments(path, offset, pos);
    auto argument = [&arguments](std::size_t i) {
      std::string text;
      if (i < arguments.size()) Unquote(arguments[i].Text, text);
      return text;
    };
    if (upper == "CLOSE") {
      PostMessage(msgClose, nullptr, nullptr, false);
    } else if (upper == "FREE") {
      CheckFree(current, at, false);
      delete current;
      current = nullptr;
    } else if (upper == "FREEALL") {
      auto* entity = Required<TEntity>(current, at, "není Entita");
      CheckFree(entity, at, true);
      entity->Clear();
    } else if (upper == "DOIT") {
      auto* tool = Required<TTool>(current, at, "není Tool");
      const TElementLink alive(tool);
      // A link: an output freed by the run may leave its place to a new one.
      const TElementLink outputBefore(tool->Output());
      tool->DoIt();
      if (alive.Get()) TakeHandedOut(*tool, outputBefore);
    } else if (upper == "FINDELEMENTBYNAME") {
      current = Required<TEntity>(current, at, "není Entita")->FindElementByName(argument(0));
    } else if (upper == "FINDELEMENTBYCLASS") {
      auto* entity = Required<TEntity>(current, at, "není Entita");
      current = entity->FindElementByClass(CommandClass(argument(0)));
    } else if (upper == "CREATE") {
      TElement* made = NewElement(CommandClass(argument(0)));
      if (made) {
        made->SetName(argument(1));
        created_.emplace_back(made);
      }
      current = made;
    } else if (upper == "CREATEELEMENT") {
      auto* entity = Required<TEntity>(current, at, "není Entita");
      entity->AddNew(CommandClass(argument(0))->ClassName, argument(1));
    } else if (upper == "CREATETOOL") {
      auto* technology = Required<TTechnology>(current, at, "není Technology");
      technology->AddNewTool(CommandClass(argument(0))->ClassName, argument(1));
    } else if (upper == "CALL") {
      CallScript(actualDirectory_, argument(0));
    } else {
      TClass cls = FindKestuClassWithOrWithoutT(ClassNameWithT(word));
      if (!cls || !cls->InheritsFrom(TTool::StaticClass())) throw std::runtime_error("chybná funkce: " + word);
      std::unique_ptr<TTool> tool(static_cast<TTool*>(NewElement(cls)));
      tool->SetInput(current ? current : ActiveElement());
      for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string literal;
        const bool quoted = Unquote(arguments[i].Text, literal);
        const std::size_t literalAt = offset + arguments[i].At + LeadingBlanks(arguments[i].Text);
        const auto colon = literal.find(':');
        if (quoted || colon == std::string::npos) {
          TPathRecord value;
          if (quoted) {
            value.IsText = true;
            value.Text = literal;
          } else {
            Evaluate(literal, literalAt, value);
          }
          tool->SetParameterByIndex(static_cast<int>(i), ValueOf(value));
        } else if (colon + 1 < literal.size() && literal[colon + 1] == ':') {
          tool->SetParameterByIndex(static_cast<int>(i), literal);
        } else {
          TPathRecord value;
          const std::string valuePath = literal.substr(colon + 1);
          Evaluate(Trim(valuePath), literalAt + colon + 1 + LeadingBlanks(valuePath), value);
          tool->SetPropertyText(Trim(literal.substr(0, colon)), ValueOf(value));
        }
      }
      const TElementLink outputBefore(tool->Output());
      tool->DoIt();
      TakeHandedOut(*tool, outputBefore);
      if (auto* result = DynamicCast<TResultTool>(tool.get())) {
        record.IsText = true;
        record.Text = result->Result;
      }
      // The output outlives the tool only when something else holds it.
      const TElementLink output(tool->Output() == tool.get() ? nullptr : tool->Output());
      tool.reset();
      current = output.Get();
    }
    record.Element.Set(current);
    if (pos < path.size()) {
      if (path[pos] != '.') SyntaxError(offset + pos, "očekávám \".\" nebo nic");
      ++pos;
      if (pos >= path.size()) return;
    } else {
      return;
    }
  }
}

std::string TCommandLine::ValueOf(const TPathRecord& record) const {
  if (record.IsText) return record.Text;
  TElement* element = record.Element.Get();
  if (!element) return {};
  if (record.Name.empty()) return std::to_string(HandleOfElement(element));
  std::string value = element->GetPropertyText(record.Name);
  if (value.empty()) {
    if (auto* entity = DynamicCast<TEntity>(element)) {
      if (TElement* child = entity->FindElementByName(record.Name)) value = std::to_string(HandleOfElement(child));
    }
  }
  return value;
}

// A path ending in a name that is neither a property of its element nor, for
// an entity, a child (a technology's sub-tools are children of its tool
// list, not of the technology) gives an empty value: set into an object
// property it would clear the property instead of naming an element.
bool TCommandLine::NamesNothing(const TPathRecord& record) {
  if (record.IsText || record.IsList || record.Name.empty()) return false;
  TElement* element = record.Element.Get();
  if (!element) return true;
  if (element->HasProperty(record.Name)) return false;
  auto* entity = DynamicCast<TEntity>(element);
  return !entity || !entity->FindElementByName(record.Name);
}

bool TCommandLine::HoldsObject(const TElement& element, const std::string& name) {
  const TPropInfo* info = element.ClassType()->FindProp(name);
  return info && info->Kind == tkClass;
}

std::vector<std::string> TCommandLine::ValuesOf(const TPathRecord& record) const {
  if (!record.IsList) return {ValueOf(record)};
  std::vector<std::string> values;
  auto* entity = DynamicCast<TEntity>(record.Element.Get());
  if (!entity) return values;
  for (int i = 0; i < entity->GetCount(); ++i) {
    TPathRecord child = record;
    child.IsList = false;
    child.Element.Set(entity->GetElement(i));
    values.push_back(ValueOf(child));
  }
  return values;
}

void TCommandLine::AssignActiveElement(const std::string& line) {
  if (right_.IsList)
    throw ECommandError(4,
                        "Chyba .. jako aktivní element nelze přiřadit seznam (klíčové slovo ELEMENT nahraďte "
                        "názvem property): " + line);
  TElement* element = right_.Element.Get();
  if (!right_.Name.empty()) {
    TElement* found = element ? DynamicCast<TElement>(GetObjectPropByName(*element, right_.Name)) : nullptr;
    if (!found) {
      if (auto* entity = DynamicCast<TEntity>(element)) found = entity->FindElementByName(right_.Name);
    }
    if (!found) throw ECommandError(5, "Chyba .. Nemohu nalézt objekt " + right_.Name);
    element = found;
  }
  SetActiveElement(element);
}

namespace {
ECommandError BadLeftSide(const std::string& line) {
  return ECommandError(9, "Chyba .. Chybný objekt nebo properta na levé straně výrazu : " + line);
}
}  // namespace

void TCommandLine::AssignValue(const std::string& line) {
  const bool rightIsElement = right_.Name.empty() && !right_.IsText && !right_.IsList;
  TElement* rightElement = rightIsElement ? right_.Element.Get() : nullptr;
  if (rightIsElement && !rightElement)
    throw ECommandError(6, "výsledný objekt na pravé straně výrazu je chybný " + line);
  const std::vector<std::string> values = rightIsElement ? std::vector<std::string>{} : ValuesOf(right_);
  const std::string text = values.empty() ? std::string() : values.front();

  if (left_.IsVariable) {
    if (TVar* var = ActualVar()) {
      if (rightElement) var->SetElement(rightElement);
      else {
        int handle = 0;
        var->SetElement(TryTextToInt(text, handle) && handle > 0 ? ElementOfHandle(static_cast<std::uint32_t>(handle))
                                                                 : nullptr);
      }
    }
    return;
  }
  TElement* leftElement = left_.Element.Get();
  if (!leftElement || left_.Name.empty())
    throw BadLeftSide(line);
  auto setOne = [&](TElement& target) {
    if (rightElement) SetObjectPropByName(target, left_.Name, rightElement);
    else target.SetPropertyText(left_.Name, text);
  };
  if (!left_.IsList) {
    if (rightElement) {
      // An element the property does not take (another class, or no object
      // property of that name) would leave it unchanged without a word.
      if (!SetObjectPropByName(*leftElement, left_.Name, rightElement))
        throw ECommandError(6, "výsledný objekt na pravé straně výrazu je chybný " + line);
      return;
    }
    if (text.empty() && HoldsObject(*leftElement, left_.Name) && NamesNothing(right_))
      throw ECommandError(5, "Chyba .. Nemohu nalézt objekt " + right_.Name);
    const TElementLink target(leftElement);
    setOne(*leftElement);
    // A name the element neither publishes nor took as one of its own (a
    // dynamic property, a list item) was set nowhere.
    if (target.Get() && !leftElement->HasProperty(left_.Name))
      throw BadLeftSide(line);
    return;
  }
  auto* entity = DynamicCast<TEntity>(leftElement);
  if (!entity)
    throw ECommandError(7,
                        "Chyba .. Základ seznamu na levé straně není entita (nebo je objekt poškozen) : " + line);
  for (int i = 0; i < entity->GetCount(); ++i) {
    if (TElement* child = entity->GetElement(i)) setOne(*child);
  }
}

TClass TVar::StaticClass() {
  static const TClassInfo info = DescribeClass<TVar>(
      "TVar", TOwnerElement::StaticClass(), "T_cmdln",
      {AccessorProp<TVar, TElement*>(
          "Element", [](const TVar& v) { return v.Element(); }, [](TVar& v, TElement* e) { v.SetElement(e); })});
  return &info;
}

TClass TCommandLine::StaticClass() {
  static const TClassInfo info = DescribeClass<TCommandLine>(
      "TCommandLine", TTool::StaticClass(), "T_cmdln",
      {FieldProp("Line", &TCommandLine::Line),
       NotStored(WriteProp("NextLine", &TCommandLine::SetNextLine)),
       ReadWriteProp("FileName", &TCommandLine::FileName, &TCommandLine::SetFileName),
       ReadWriteProp("ActualDirectory", &TCommandLine::ActualDirectory, &TCommandLine::SetActualDirectory),
       NotStored(AccessorProp<TCommandLine, TOwnerEntity*>(
           "Vars", [](const TCommandLine& c) { return const_cast<TCommandLine&>(c).Vars(); }, nullptr)),
       AccessorProp<TCommandLine, TVar*>(
           "ActualVar", [](const TCommandLine& c) { return c.ActualVar(); },
           [](TCommandLine& c, TVar* v) { c.SetActualVar(v); }),
       FieldProp("ByDDE", &TCommandLine::ByDDE), FieldProp("SmartMode", &TCommandLine::SmartMode)});
  return &info;
}

void RegisterCommandLineClasses() {
  RegisterKestuClass(TVar::StaticClass());
  RegisterKestuClass(TCommandLine::StaticClass());
}
