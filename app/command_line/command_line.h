#pragma once
// The command-line language: each line evaluates a path over the element
// world and reports its value, or assigns a value to a published property, a
// variable or the active element.  Paths call tools by class name on the
// object reached so far.  Start-up scripts, menu scripts and the script
// console run it.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/tools/tools.h"

enum : int { msgNextLine = 22 };

// A named variable of the language; names are kept in upper case.
class TVar : public TOwnerElement {
  KESTX_CLASS(TVar)
 public:
  TElement* Element() const { return element_.Get(); }
  void SetElement(TElement* element) { element_.Set(element); }
  std::string DeclaredClass;

 private:
  TElementLink element_;
};

// A failure of one line: its text and the code the line reports it with.
class ECommandError : public std::runtime_error {
 public:
  ECommandError(int code, const std::string& text) : std::runtime_error(text), Code(code) {}
  int Code;
};

class TCommandLine : public TTool {
  KESTX_CLASS(TCommandLine)
 public:
  TCommandLine();
  ~TCommandLine() override;

  std::string Line;
  std::string ActualDirectory() const { return actualDirectory_; }
  // Kept with one trailing delimiter.
  void SetActualDirectory(const std::string& directory);
  std::string FileName() const { return fileName_; }
  // Forgets the line and the script lines.
  void SetFileName(const std::string& name);
  void SetNextLine(const std::string& line) { lines_.push_back(line); }
  // "VAR:", made on first use.
  TOwnerEntity* Vars();
  TVar* ActualVar() const { return static_cast<TVar*>(actualVar_.Get()); }
  void SetActualVar(TVar* var) { actualVar_.Set(var); }
  bool ByDDE = false;
  bool SmartMode = false;

  TElement* ActiveElement() const { return activeElement_.Get(); }
  void SetActiveElement(TElement* element) { activeElement_.Set(element); }
  // What the last line that ran reported, and the error lines it added.
  const std::vector<std::string>& Results() const { return results_; }
  std::string GetFirstResult() const { return results_.empty() ? std::string() : results_.front(); }

  void ReportCommandError(const std::string& text, int code);
  // Runs the script file (folder + name) with an interpreter of its own that
  // starts on this one's active element, and frees it; this one goes on
  // after it.
  void CallScript(const std::string& folder, const std::string& fileName);
  // A line or a script of this interpreter is being run (a smart script
  // counts until its last line has run).
  bool Running() const;
  // A line of the last run (or of a script it called) reported an error, or
  // work its lines started failed on its own (a print run shows its box).
  bool Failed() const { return failed_; }
  // The interpreter whose line runs now (the innermost of nested calls).
  static TCommandLine* Innermost();
  // Scripts run inside the run of another on the same thread (by CALL, a
  // general interpret's FileName, a script tool) are its calls: they nest
  // at most kMaxCallDepth deep, and the outermost run makes at most
  // kMaxCalls of them.  A run beyond either is refused: an error of the
  // line that asked for it, after which the called scripts end and the
  // outermost one goes on.  Within one outermost run a script file is read
  // once, and again only when it has changed.
  static constexpr int kMaxCallDepth = 64;
  static constexpr int kMaxCalls = 10000;
  // Tool calls nested in the arguments of tool calls, at most.
  static constexpr int kMaxArgumentDepth = 64;

  void DoIt() override;
  void SetInput(TElement* element) override;
  void GetParameterName(int index, std::string& name) override;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override;

  // Where a path stands: the element reached and how the path ended.
  struct TPathRecord {
    TElementLink Element;
    bool IsList = false;      // ends in ELEMENT: all children
    bool IsText = false;      // a literal or a tool's result, not a property
    bool IsVariable = false;  // names a variable
    std::string Name;         // the property or child the path ends in
    std::string Text;
  };

 private:
  void RunLines();
  void RunLine(const std::string& line);
  void RunOneLine(const std::string& line);
  // Frees what CREATE made and what tools handed out (DOIT, tool calls) that
  // nothing else took; at the end of a script what a variable of this
  // interpreter holds, and the output of a tool a variable holds, is kept
  // for its later lines (the console's, a caller's) and goes with the
  // interpreter.
  void FreeCreated(bool keepVariables);
  // The elements and the tools' outputs that variables hold.
  std::unordered_set<const TElement*> HeldByVariables() const;
  // Takes the tool's output into what the script made when the run made it
  // (it was not the output before) and nothing holds it.
  void TakeHandedOut(TTool& tool, const TElementLink& outputBefore);
  // What FREE and FREEALL may not free: the world, the main tool, a running
  // interpreter and what holds one (a free of those would pull the line's
  // own state away under it).
  void CheckFree(TElement* element, std::size_t position, bool childrenOnly) const;
  // The text of a failure with the place of the line in its script.
  std::string Located(const std::string& text) const;
  // offset: where the path starts in the line, so that positions in errors
  // count within the line.
  void Evaluate(const std::string& path, std::size_t offset, TPathRecord& record);
  std::vector<std::string> ValuesOf(const TPathRecord& record) const;
  std::string ValueOf(const TPathRecord& record) const;
  static bool NamesNothing(const TPathRecord& record);
  static bool HoldsObject(const TElement& element, const std::string& name);
  TVar* FindVar(const std::string& name);
  void AssignValue(const std::string& line);
  void AssignActiveElement(const std::string& line);

  std::vector<std::string> lines_;
  std::vector<std::string> results_;
  std::size_t lineIndex_ = 0;
  std::string actualDirectory_;
  std::string fileName_;
  bool blockComment_ = false;
  TElementLink activeElement_;
  TElementLink vars_;
  TElementLink actualVar_;
  TPathRecord left_;
  TPathRecord right_;
  bool hasRight_ = false;
  // What CREATE made and tools handed out, held until the script ends.
  std::vector<TElementLink> created_;
  int argumentDepth_ = 0;
  bool failed_ = false;
};

void RegisterCommandLineClasses();
