#pragma once
// The base of the classes that read and write the fixed-record files of a
// GIS block: a manipulator carries what restricts a read (kind filter, clip
// rectangle, minimum size, condition) and the coordinate system of the
// block; a reader adds the file itself (name, record size, stream, record
// seek and count), the block register its objects are filed in and the
// colour and symbol that may replace those of the records.  The block
// writers descend from the readers of their files.
//
// Creation is two-step because its steps are virtual: an object reader is
// made by its (default) constructor and then Create(BlockDir, WCS) runs
// InitRecordSize, GetFileName and Open of the most derived class.
// NewObjectReader does both.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/tools/tools.h"

namespace platform {
class TStream;
}
class TCondition;
class TLumarBlockRegister;
class TRectEntity;
class TSpaceEntity;
class TWCS;

// Which objects a layer keeps, by a numeric property (the object kind,
// DRUH, as a rule) and the object's kind letter.
class TFiltrDruhuObjektu : public TOwnerElement {
  KESTX_CLASS(TFiltrDruhuObjektu)
 public:
  // The listed numbers are the ones dropped rather than the ones kept.
  bool Exclude = false;
  // The property compared, upper case.
  std::string PropName;

  // The kind letters with a list: B points, L lines, P areas, T texts.
  static constexpr std::array<char, 4> Letters{'B', 'L', 'P', 'T'};

  // Nil when the letter has no list (any other letter never has one).
  const std::vector<std::int32_t>* KindList(char Letter) const;
  // Stores the numbers as the letter's list; ignored for other letters.
  void SetKindList(char Letter, std::vector<std::int32_t> Kinds);

  // The object's PropName read as text: not a number gives Exclude; a
  // number is accepted without a list for the letter, else when listed
  // (inverted by Exclude).
  bool Accepts(char Letter, const TElement* Object) const;

 private:
  std::array<std::optional<std::vector<std::int32_t>>, 4> lists_;  // sorted
};

// The handler of every new object a reader makes: an object method taking
// the object by reference (it may replace or clear it), held the way a
// published event holds one.  Code is a TNewObjectProc, Data its object.
using TNewObjectProc = void (*)(void* Data, TElement*& Object);

template <class C, void (C::*Method)(TElement*&)>
TMethod NewObjectHandler(C* object) {
  TNewObjectProc code = [](void* data, TElement*& element) { (static_cast<C*>(data)->*Method)(element); };
  return TMethod{reinterpret_cast<std::uintptr_t>(code), reinterpret_cast<std::uintptr_t>(object)};
}

class TLumarManipulator : public TTool {
  KESTX_CLASS(TLumarManipulator)
 public:
  TLumarManipulator();
  ~TLumarManipulator() override;

  // Lines whose box is smaller are read as their two end points only.
  double MinSize = 0;
  // A condition-language text; empty accepts everything.
  std::string Condition;
  // The block directory.
  std::string BlockName;

  // The system through which block coordinates become world coordinates;
  // not owned.
  virtual TWCS* GetWCS();
  virtual void SetWCS(TWCS* WCS);

  // Nil when there is none.  Setting frees the old one (as its holder) and
  // adds the new one as a child; one filter or rectangle may serve several
  // manipulators.
  TFiltrDruhuObjektu* ObjectFilter() const;
  void SetObjectFilter(TFiltrDruhuObjektu* Filter);
  TRectEntity* ClipRect() const;
  void SetClipRect(TRectEntity* Rect);

  // For every name=value line whose name begins with "@": the published
  // property of that name (without "@") := value.
  void SetPropertiesFromList(const std::vector<std::string>& List);

  // A line for the message window; pending window messages then run.
  void Log(const std::string& Text);

  // True without a filter, else the filter's answer.
  bool FilterAccepts(char Letter, const TElement* Object) const;
  // Compiles Condition for the tests that follow.  False (after one message
  // box with the text) when it cannot be parsed: the caller then reads
  // nothing rather than asking once per object.
  bool PrepareCondition();
  // True for an empty condition or a nil object; else whether the prepared
  // (or, when none is, the freshly compiled) condition holds.  A failure
  // is shown once per prepared condition and accepts the object.
  bool ConditionAccepts(TElement* Object);
  // True without a clip rectangle; else whether the box, its corners taken
  // through the WCS, meets the clip rectangle (edges included).
  bool ClipAccepts(double MaxX, double MaxY, double MinX, double MinY);

 private:
  void ReportConditionError();

  TElementLink objectFilter_;
  TElementLink clipRect_;
  TElementLink wcs_;
  std::unique_ptr<TCondition> condition_;
  std::string preparedCondition_;
  bool conditionFailed_ = false;
  bool conditionReported_ = false;
};

class TLumaRReader : public TLumarManipulator {
  KESTX_CLASS(TLumaRReader)
 public:
  TLumaRReader();
  ~TLumaRReader() override;

  // The file is loaded into memory when opened instead of read from disk.
  bool UseMemory = false;
  // When written, they replace the records' values on every object read.
  std::int16_t Barva = 0;
  std::int16_t Znacka = 0;
  bool UseBarva = false;
  bool UseZnacka = false;
  // Called for every object made; see NewObjectHandler.
  TMethod OnNewObject;

  std::int32_t RecordSize = 0;
  std::string FileName;

  void SetBarva(std::int16_t value);
  void SetZnacka(std::int16_t value);

  // Whole records in the stream: 0 without one or without a record size.
  virtual std::int64_t GetRecordCount() const;
  // Only when the file exists: with UseMemory the whole file into memory,
  // else (when there is no stream yet) a read-only file stream.  A missing
  // file leaves the stream nil.
  virtual void Open();
  // The kind letter of the objects in the file; ' ' when none.
  virtual char GetObjectTypeLetter() const;
  // The block's register in the world's object model, made when missing
  // and kept.
  virtual TLumarBlockRegister* GetRegister();
  virtual void SeekRecord(std::int64_t Index);

  platform::TStream* Stream() const { return stream_.get(); }
  void CloseStream();
  // The stream's size is not a whole number of records.
  bool HasPartialRecord() const;

  // RecordSize bytes at the current position into Buffer; false (nothing
  // taken) when fewer remain.  Every 50th record sets the progress and lets
  // pending window messages run.
  bool ReadRecord(std::uint8_t* Buffer);
  // The twin for writers: RecordSize bytes at the current position, with
  // the same progress rule.  Raises when there is no stream.
  void WriteRecord(const std::uint8_t* Buffer);

  // The progress frame of a pass over the file: hourglass and progress
  // started with the class name, the file name and the record count.
  void BeginProgress();
  void EndProgressFrame();

 protected:
  void SetStream(std::unique_ptr<platform::TStream> stream);
  // The reader's overrides of a record's colour and symbol.
  std::int16_t ColourOf(std::int16_t Record) const { return UseBarva ? Barva : Record; }
  std::int16_t SymbolOf(std::int16_t Record) const { return UseZnacka ? Znacka : Record; }

 private:
  void RecordDone();

  TElementLink register_;
  std::unique_ptr<platform::TStream> stream_;
  bool progressFrame_ = false;
};

class TLumaRObjectReader : public TLumaRReader {
  KESTX_CLASS(TLumaRObjectReader)
 public:
  // Calls OnNewObject when one is set.
  virtual void DoNewObject(TElement*& Obj);
  // Stores WCS; InitRecordSize; FileName := BlockDir + delimiter +
  // GetFileName; BlockName := BlockDir; UseMemory := false; Open.
  virtual void Create(const std::string& BlockDir, TWCS* WCS);
  virtual void InitRecordSize();
  virtual std::string GetFileName() const;
};

// Makes a reader (or writer) of class R and runs its creation.
template <class R>
std::unique_ptr<R> NewObjectReader(const std::string& BlockDir, TWCS* WCS) {
  auto reader = std::make_unique<R>();
  reader->Create(BlockDir, WCS);
  return reader;
}

// The block directory's file of that name.
std::string BlockFilePath(const std::string& BlockDir, const std::string& Name);

void RegisterReaderBaseClasses();
