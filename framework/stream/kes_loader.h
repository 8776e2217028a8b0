#pragma once
// Readers of element graphs: the KES element stream, and the older component
// stream that the KES reader also accepts.  A bad record is skipped whole and
// logged; when reading stops with an error, what was read is freed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/tools/tools.h"

class TKestuClass;
class TLoadedElements;
namespace platform {
class TFileStream;
class TReader;
}  // namespace platform

class EBadStreamName : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EBadStream : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One property value of an element record, by the kind the stream gave it.
// Plain data: a text stays in the loader, which lends it by number, so that
// a million values cost no string each.
struct TStreamValue {
  long double Float = 0;
  std::int64_t Ordinal = 0;
  TElement* Element = nullptr;
  std::int64_t InlineCreated = -1;  // the creation place of an element read inline for this value
  std::int32_t Position = -1;
  std::int32_t Kind = 0;
  std::uint32_t Text = 0;  // the loader's text of that number; 0 is the empty text
};

class TKestuLoader : public TTool {
  KESTX_CLASS(TKestuLoader)
 public:
  TKestuLoader();
  ~TKestuLoader() override;

  // Creates a loader of class T that will read fileName.
  template <class T>
  static T* CreateForFile(const std::string& fileName) {
    T* loader = new T;
    loader->FileName = fileName;
    return loader;
  }

  std::string FileName;

  void DoIt() override;
  void GetParameterName(int index, std::string& name) override;

  virtual void StartLoadProgress();
  virtual void EndLoadProgress();
  virtual void LoadProgressStep() = 0;
  virtual std::int64_t GetSourceSize() = 0;
  virtual void CreateMaps();
  virtual void FreeElementMap();
  virtual void NewClassList();
  virtual void ReadHeader() = 0;
  virtual void AfterHeader();
  virtual void ReadClassRecord() = 0;
  virtual void BeginClass(const std::string& name);
  virtual void AddStoredProperty(const std::string& name, int kind);
  // Reads one list of records; answers the element of its last element record.
  virtual TElement* ReadBody() = 0;
  virtual void BeginElement(std::int32_t classNumber);
  virtual void ReadProperties() = 0;
  virtual void SetProperty(const TStreamValue& value);
  virtual void ReadChildren() = 0;
  virtual void AddChild(std::int32_t number);

 protected:
  // The state of the element record being read; an inline element saves and
  // restores its container's.
  struct RecordState {
    TElement* Element = nullptr;
    TEntity* Entity = nullptr;  // Element, when it can take children
    int ClassIndex = -1;
    std::uint32_t Created = 0;  // Element's place in creation order
  };
  struct RecordMark {
    std::size_t Loaded;
    std::size_t Open;
    std::size_t Transferred;
    std::size_t Values;
    std::size_t Taken;
    std::uint32_t Texts;
  };

  // (The steps marked inline are defined in the loader's unit, the only one
  // that takes them: they run for every record.)
  // The element record's number: files the current element under it.
  inline void NumberElement(std::int32_t number);
  // The element filed under the number, or nil.
  TElement* ElementNumbered(std::int32_t number) const;
  // The creation place of an element read lately, or -1.
  std::int64_t CreatedPlaceOf(const TElement* element) const;
  // The stream's kind of a property of the current class record.
  inline int StreamKindAt(int position) const;
  std::vector<TStreamValue>& Values() { return values_; }
  // A text for a value of the record being read: its number, and the string
  // to read it into (valid until the next text is taken).
  std::uint32_t TakeText();
  std::string& TextNumbered(std::uint32_t number) { return texts_[number]; }
  // Where the property list of the record being read stands.  Values are
  // set as they are read while they come in position order and hold no
  // element (as every writer gives them, elements aside); from the first
  // that does not on, the rest wait in the buffer for the end of the list.
  struct PropertyCursor {
    std::size_t NextDefaulted = 0;  // the first omitted-when-zero property not yet passed
    int LastSet = -1;               // the position set last as read
    std::size_t Buffered = SIZE_MAX;  // where the waiting values begin, when some do
  };
  // Whether the value can be set as soon as it is read; when it can, the
  // properties the list passed over have been given their zero values.
  inline bool SetsAsRead(PropertyCursor& cursor, int position, int kind);
  // At the list's end: the waiting values, and zero for what was left out.
  inline void EndProperties(const PropertyCursor& cursor);
  // Applies the values from the buffer position on in class-record order,
  // giving an omitted stored property (from that place in the class's list
  // of them on) the zero value the writer left out.
  void ApplyProperties(std::size_t first, std::size_t defaultedFrom = 0);
  RecordMark MarkRecord() const {
    return {loaded_.size(), openRecords_.size(), transferred_.size(), values_.size(), taken_.size(), textsUsed_};
  }
  // Closes an element record; when it failed, what it created is freed.
  inline void EndRecord(const RecordMark& mark, bool complete);
  // After the property list of a class record; DropClassRecord when it failed.
  void FinishClassRecord();
  void DropClassRecord(std::size_t classMark);
  std::size_t ClassMark() const { return classSlots_.size(); }

  RecordState& Current() { return current_; }

 private:
  struct PropertySlot {
    const TPropInfo* Info = nullptr;  // nil when values of this property are dropped
    int StreamKind = 0;
    // The test that decides whether a defaulted property is stored, when not always.
    const std::function<bool(const TObject&)>* StoredTest = nullptr;
  };
  struct ClassSlot {
    TKestuClass* Record = nullptr;  // nil for a class record that could not be read
    TObject* (*Factory)() = nullptr;  // nil when the class makes no elements
    bool IsEntity = false;
    std::vector<PropertySlot> Properties;
    // Positions whose property takes the zero value when a record omits it.
    std::vector<int> Defaulted;
  };
  static constexpr std::uint32_t kNotHeld = UINT32_MAX;
  // Every element read, in creation order.
  struct Loaded {
    TElement* Element;
    std::uint32_t KeeperSlot;  // in the element map; kNotHeld once a parent holds it instead
    std::int32_t Number;       // -1 until the record gives it
    bool Held() const { return KeeperSlot != kNotHeld; }
  };
  // An inline element that a property of Referrer took.
  struct Taken {
    TElement* Referrer;
    std::uint32_t Value;
  };
  inline std::int64_t CreatedNumbered(std::int32_t number) const;
  std::int64_t CreatedRenumbered(std::int32_t number) const;
  void ForgetNumber(std::int32_t number, std::uint32_t created);
  // The element map keeps the element read at that creation place, or lets it
  // go (false when it did not keep it).
  void Hold(std::uint32_t created);
  // Holds a new element in the map, in an emptied slot where there is one;
  // answers the slot.
  std::uint32_t KeepInMap(TElement* element);
  inline bool Release(std::uint32_t created);
  void KeepTakenInline(TElement* root);
  // Sets a property the record left out to the zero value the writer omitted.
  inline void ApplyDefault(int position);
  void LogChild(const char* before, std::int32_t number, const std::string& after);
  void UndoRecord(const RecordMark& mark);
  void ClearMaps();

  std::unique_ptr<TLoadedElements> elementMap_;
  RecordState current_;
  int describedClass_ = -1;
  TElement* classes_ = nullptr;  // TKestuClasses in stream order, owned as a child
  std::vector<ClassSlot> classSlots_;
  std::vector<Loaded> loaded_;
  // Slots of the element map emptied by a release, for the next element held.
  std::vector<std::uint32_t> freeSlots_;
  // Element numbers to creation order, for the numbers that differ from
  // their element's place in it (no writer's do).
  std::unordered_map<std::int32_t, std::uint32_t> renumbered_;
  // Elements of the records still open (an inline record sits inside its container's).
  std::vector<TElement*> openRecords_;
  // Children the element map handed to a parent in the top-level record being read.
  std::vector<std::uint32_t> transferred_;
  // Inline elements properties took: they live on, owned or not, as long as
  // the element that took them is part of the result.
  std::vector<Taken> taken_;
  std::vector<TStreamValue> values_;
  // Texts of the values being read, kept with their capacity from record to
  // record; the first is the empty text of omitted values.
  std::vector<std::string> texts_{1};
  std::uint32_t textsUsed_ = 1;
};

class TStreamLoader : public TKestuLoader {
  KESTX_CLASS(TStreamLoader)
 public:
  TStreamLoader();
  ~TStreamLoader() override;

  void DoIt() override;
  std::int64_t GetSourceSize() override;
  void LoadProgressStep() override;
  void ReadHeader() override;
  void ReadClassRecord() override;
  TElement* ReadBody() override;
  void ReadProperties() override;
  void ReadChildren() override;
  virtual void LoadComponentStream();

 private:
  // One element record; nil when it was bad and has been skipped.
  TElement* ReadElementRecord(std::uint64_t start, std::int32_t classNumber);
  void SkipElementRecord(std::uint64_t start);
  [[gnu::noinline]] void ShowProgressAt(std::uint64_t position);
  void SkipClassRecord(std::uint64_t start);
  // Reads the value of the buffer's entry at that place (its kind given).
  void ReadValue(std::size_t at);
  // The same for a value of any kind but an element.
  inline void ReadPlainValue(TStreamValue& value);
  TElement* ReadInlineElement();

  std::unique_ptr<platform::TFileStream> stream_;
  std::unique_ptr<platform::TReader> reader_;
  std::uint64_t lastProgress_ = 0;
  std::uint64_t lastSeen_ = 0;  // the stream position at the last step
  std::uint64_t recordStart_ = 0;
  std::size_t inlineDepth_ = 0;
};

class TLoad : public TStreamLoader {
  KESTX_CLASS(TLoad)
};

// Reads the component stream ("TPF0") from the file named by its Name.
class TLoader : public TTool {
  KESTX_CLASS(TLoader)
 public:
  TLoader();
  void DoIt() override;
};

void RegisterLoaderClasses();
