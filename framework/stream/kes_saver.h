#pragma once
// Writers of element graphs: the KES element stream (each class described
// once by its published properties, each element by its stored values and
// the numbers of its children) and the older component stream.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "framework/tools/recursor.h"

class TKestuClass;
namespace platform {
class TReplacingFileStream;
class TWriter;
}  // namespace platform

// The deepest nesting of inline elements the writer produces and the reader
// accepts.
inline constexpr std::size_t KesMaxInlineDepth = 200;

class TKestuSaver : public TRecursor {
  KESTX_CLASS(TKestuSaver)
 public:
  std::string FileName;

  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;
  void GoInside(TElement* element) override;
  bool QGoInside(TElement* element) override;
  bool QProcessAfter(TElement* element) override;
  void Process(TElement* element) override;

  virtual void PrepareSave();
  virtual void WriteHeader() = 0;
  // The class entry of the current element; writes its class record first
  // when this save has not described the class yet.
  virtual TKestuClass* ClassKnown();
  virtual void WriteClassRecord(TKestuClass* entry) = 0;
  virtual void WriteElementHead() = 0;
  virtual void WriteProperties();
  virtual void WriteChildren() = 0;
  virtual void WriteOrdinalValue(std::int32_t value) = 0;
  virtual void WriteCharValue(std::uint8_t code) = 0;
  virtual void WriteFloatValue(long double value) = 0;
  virtual void WriteStringValue(const std::string& value) = 0;
  virtual void WriteElementValue(TElement* element) = 0;

 protected:
  // The number this save gave the element, or -1 when it has not written it.
  std::int32_t NumberOf(const TElement* element) const;
  std::int32_t ClassNumberOf(const TKestuClass* entry) const;
  // Writes the records of an element that has no number yet (its unwritten
  // descendants, then itself) and takes its number back afterwards.
  void WriteInlineRecords(TElement* element);
  // Whether the current element is an entity (by its class).
  bool CurrentIsEntity() const;
  // The log lines of a class record about the current element's properties.
  void ReportPropertyProblems(const TKestuClass* entry);

  TElement* CurrentElement() const { return current_; }
  TKestuClass* CurrentEntry() const { return currentEntry_; }
  std::int32_t PropertyPosition() const { return position_; }
  const std::string& Comment() const { return comment_; }

 private:
  // The properties of a class that can be written at all (readable,
  // writable, of a kind the stream holds, not marked as never stored), by
  // position; whether one stored by a test is stored is asked of each element.
  struct StoredProperty {
    std::int32_t Position;
    const TPropInfo* Info;
  };
  // What this save knows of a class it has described.
  struct SavedClass {
    TKestuClass* Entry;
    std::int32_t Number;  // the entry's ID is the class number only until someone walks the registry
    bool IsEntity;
    std::vector<StoredProperty> Stored;
  };
  bool IsOpenInline(const TElement* element) const;
  bool CanReference(const TElement* element) const;
  const SavedClass* SavedClassOf(const TKestuClass* entry) const;
  // Asked by the walk, which must not describe a class before its first record.
  bool IsEntityClass(TClass cls);
  bool IsWritten(const TElement* element) const {
    return element->ID >= 0 && static_cast<std::size_t>(element->ID) < numbered_.size() &&
           numbered_[static_cast<std::size_t>(element->ID)] == element;
  }

  std::int32_t counter_ = 0;
  TElement* classes_ = nullptr;  // TKestuClasses, owned as a child
  TElement* current_ = nullptr;
  std::int32_t position_ = 0;
  std::string comment_ = "No comment";
  TKestuClass* currentEntry_ = nullptr;
  const SavedClass* currentClass_ = nullptr;
  // Whether counting the elements for the progress has just stamped the graph.
  bool stamped_ = false;

  // What this save wrote, by number: an element is written when the entry
  // at its ID is the element itself, so that an ID left from an earlier
  // save or a walk's stamp never passes for a number of this one.
  std::vector<const TElement*> numbered_;
  // Node-based, so that a SavedClass stays in place; the last one asked for
  // answers without a look-up (like elements come in runs).
  std::unordered_map<TClass, SavedClass> classNumbers_;
  TClass lastClass_ = nullptr;
  const SavedClass* lastSaved_ = nullptr;
  TClass testedClass_ = nullptr;
  bool testedIsEntity_ = false;
  // Elements being written inline, outermost first.
  std::vector<const TElement*> inline_;
};

class TStreamSaver : public TKestuSaver {
  KESTX_CLASS(TStreamSaver)
 public:
  TStreamSaver();
  ~TStreamSaver() override;

  void DoIt() override;
  void WriteHeader() override;
  void WriteClassRecord(TKestuClass* entry) override;
  void WriteElementHead() override;
  void WriteProperties() override;
  void WriteChildren() override;
  void WriteOrdinalValue(std::int32_t value) override;
  void WriteCharValue(std::uint8_t code) override;
  void WriteFloatValue(long double value) override;
  void WriteStringValue(const std::string& value) override;
  void WriteElementValue(TElement* element) override;

 private:
  std::unique_ptr<platform::TWriter> writer_;
  std::unique_ptr<platform::TReplacingFileStream> file_;
};

class TSave : public TStreamSaver {
  KESTX_CLASS(TSave)
};

// Writes the component stream ("TPF0") of the graph under Input into the
// file named by its Name.
class TSaver : public TRecursor {
  KESTX_CLASS(TSaver)
 public:
  TSaver();
  ~TSaver() override;

  void DoIt() override;
  bool QProcessAfter(TElement* element) override;
  void Process(TElement* element) override;

 private:
  std::int32_t counter_ = 0;
  std::unique_ptr<platform::TWriter> writer_;
  std::unique_ptr<platform::TReplacingFileStream> file_;
  std::unordered_set<const TElement*> written_;
};

void RegisterSaverClasses();
