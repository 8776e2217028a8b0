#pragma once
// The export tools: tools that write the space entities of one list into a
// GIS block or a text file.  Each is parameterised through its published
// properties, given its input, run once and freed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "block/writing/block_creation.h"
#include "framework/tools/tools.h"

class TPropertyList;
class TDynamicProperties;
class TBlockRegister;
namespace platform {
class TF_gaugeForm;
}

class TExportElements : public TTool {
  KESTX_CLASS(TExportElements)
 public:
  TExportElements();
  ~TExportElements() override;

  // The names of the properties to export; owned, made on first read.
  TPropertyList* ExpProps();
  // Appends one property name.
  void SetNextPropName(const std::string& name);
  // What the values are joined with.
  void SetDelimiter(const std::string& text);

 private:
  std::unique_ptr<TPropertyList> expProps_;
};

// One line per child: the texts of the properties ExpProps names.
class TExportElementsToText : public TExportElements {
  KESTX_CLASS(TExportElementsToText)
 public:
  std::string FileName;

  // The lines replace the file only once all of them are written.  When the
  // file cannot be made or written, the file stays as it was and the error,
  // naming the file, is logged and raised.
  void DoIt() override;
};

// The handler of each exported object, held the way a published event holds
// one: Code is a TExportObjectProc, Data its object.
using TExportObjectProc = void (*)(void* Data, TElement* Element, TDynamicProperties* DynamicProps);

template <class C, void (C::*Method)(TElement*, TDynamicProperties*)>
TMethod ExportObjectHandler(C* object) {
  TExportObjectProc code = [](void* data, TElement* element, TDynamicProperties* props) {
    (static_cast<C*>(data)->*Method)(element, props);
  };
  return TMethod{reinterpret_cast<std::uintptr_t>(code), reinterpret_cast<std::uintptr_t>(object)};
}

class TExportLumarElements : public TExportElements {
  KESTX_CLASS(TExportLumarElements)
 public:
  // Called for each exported element; nobody here assigns it.
  TMethod OnExportObject;
  // Write attribute records.
  bool ExportDBF = false;
  // The folder of the table templates and transfer scripts.
  std::string ControlDir;
  bool CreateFromSource = false;
  // One kind for all objects when 1 or more; 0 keeps each object's own.
  std::int32_t JedenDruh = 0;
  // File each exported object in the block's register.
  bool RegisterObject = false;
  // Areas in hectares in the attribute tables.
  bool PlochyVHa = false;
  bool BothSources = false;

  const std::string& BlockName() const { return blockName_; }
  void SetBlockName(const std::string& name) { blockName_ = name; }
  // Where the block's files are written: while ExportBlock runs, the folder
  // that takes the block's place once the block is complete.
  TBlockFolder WriteFolder() const;
  // Made on first read and added as a child.
  TDynamicProperties* DynamicProps();

  // The attribute writer named by the object's letter and kind, made when
  // missing, runs on the element; only for block objects.
  virtual void WriteDBFRecord(TElement* Element);
  // Notes the attribute table the element's properties name now as the one
  // its source record is looked up in: a caller about to change the
  // element's kind (which names the table) keeps its record so.
  void KeepSourceTable(const TElement* Element);
  virtual void ExportAttributes(TElement* Element);
  // The attribute tables written so far out to their files, which are
  // closed; once per run.
  void CloseTables();
  virtual void DoExportObject(TElement* Element);

  // The register of this tool's block in the object model, made when
  // missing; kept.
  TBlockRegister* GetBlockRegister();

 protected:
  // Runs the export into a new block made beside the block (a copy of it,
  // or nothing where there is none), writes out its attribute tables and
  // puts it in the block's place.  A failure on the way is logged with the
  // block's name, counted against the run and raised again: the block then
  // stays as it was, as it does when the run is killed.
  void ExportBlock(const std::function<void()>& Export);

 private:
  std::string blockName_;
  // The new block's folder while ExportBlock runs, else empty.
  std::string writeDir_;
  std::unordered_map<const TElement*, std::string> sourceTables_;
  TElementLink dynamicProps_;
  TElementLink blockRegister_;
};

// Restores a value when the scope ends, however it ends.
template <class T>
class TRestore {
 public:
  TRestore(T& field, T value) : field_(field), saved_(field) { field_ = value; }
  ~TRestore() { field_ = saved_; }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

 private:
  T& field_;
  T saved_;
};

// The log line of an export a failure ended; its block stays as it was
// before.
std::string UnfinishedExportText(const std::string& BlockName, const std::string& Reason);
// The log line of an export whose block cannot be replaced whole, so that
// each of its files written anew is replaced on its own.
std::string FileByFileExportText(const std::string& BlockName, const std::string& Reason);

// A block's folder from the export folder and the block's name.
class TExpBlockName : public TNameElement {
  KESTX_CLASS(TExpBlockName)
 public:
  std::string BlockDir;
  std::string BlockName;

  // BlockDir with its delimiter + BlockName + ".BLK".
  std::string FullBlockName() const;
};

// Shows a progress form for a loop over count objects and answers, before
// each object, whether the user confirmed the question after asking to close
// the form; a cancelled question lets the loop go on.
class TExportProgress {
 public:
  TExportProgress(const std::string& caption, int count, std::string question);
  ~TExportProgress();
  TExportProgress(const TExportProgress&) = delete;
  TExportProgress& operator=(const TExportProgress&) = delete;

  // Before object index: false when the loop is to stop; else shows index
  // and lets the events run once.
  bool Next(int index);

 private:
  std::unique_ptr<platform::TF_gaugeForm> form_;
  std::string question_;
};
