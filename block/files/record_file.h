#pragma once
// A file of fixed-size records without a header: the record count is the
// file size divided by the record size (a remainder is ignored), and
// writing past the end first fills the gap with zero records.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/streams.h"

class TRecordFile {
 public:
  enum class Mode { Create, Read, Update };

  // Create makes a new empty file; Read and Update open an existing one.
  // Raises the platform's file errors.
  TRecordFile(const std::string& fileName, std::size_t recordSize, Mode mode);

  std::size_t RecordSize() const { return recordSize_; }
  std::int64_t RecordCount() const;
  // False (and nothing read) for a record beyond the end.
  bool ReadRecord(std::int64_t index, std::uint8_t* record);
  // A negative index is refused with EWriteError.
  void WriteRecord(std::int64_t index, const std::uint8_t* record);
  // Writes after the last whole record; answers its index.
  std::int64_t AppendRecord(const std::uint8_t* record);

 private:
  std::size_t recordSize_;
  std::unique_ptr<platform::TFileStream> stream_;
};
