#pragma once
// The keyword text of the symbol library, one logical line at a time: a
// section header, a key with its value, or nothing.  The readers of the line
// and area symbol files drive it and decide what the keys mean.
#include <cstdint>
#include <fstream>
#include <set>
#include <string>

#include "platform/files.h"

class TCteniParametru {
 public:
  // A file that cannot be opened or is empty leaves Opened false.
  explicit TCteniParametru(const std::string& fileName);
  virtual ~TCteniParametru();
  TCteniParametru(const TCteniParametru&) = delete;
  TCteniParametru& operator=(const TCteniParametru&) = delete;

  // Interprets the current line and reads the next one.  IsLast tells that
  // no line follows the one just interpreted.  Key and value are UTF-8; a
  // section's name comes back as the value.
  void ReadParameter(bool& IsKey, bool& IsSection, bool& IsLast, std::string& Key, std::string& Value);
  // The number in the last value; 0 and ConversionError when there is none.
  double ValueAsReal();
  std::int32_t ValueAsInteger();
  // The tokenizer's Boolean reading of the last value.
  bool ValueAsBoolean() const;

  bool Opened() const { return opened_; }
  bool ConversionError() const { return conversionError_; }
  const std::string& LastValue() const { return lastValue_; }

 private:
  void ReadNextLine();

  std::ifstream file_;
  // Windows-1250 bytes of the line the next call interprets.
  std::string currentLine_;
  bool moreLines_ = false;
  std::string lastValue_;
  bool opened_ = false;
  bool conversionError_ = true;
};

// The codes a symbol file was searched for in vain, kept while the file stays
// as it was: the whole file is read for each search, and a map may name a
// code the file lacks on every one of its objects.
class TCodesNotFound {
 public:
  // Whether the code was searched for in vain in the file as it is now;
  // what was kept of another file or an earlier state is forgotten.
  bool Holds(const std::string& fileName, std::int32_t code);
  void Add(std::int32_t code) { codes_.insert(code); }
  // The file as found on the disk (in any case) by the last Holds.
  const std::string& File() const { return found_; }

 private:
  std::string name_;
  std::string found_;
  platform::FileStamp version_;
  std::set<std::int32_t> codes_;
};
