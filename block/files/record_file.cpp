#include "block/files/record_file.h"

#include <vector>

namespace {

platform::TFileStream::Mode StreamMode(TRecordFile::Mode mode) {
  switch (mode) {
    case TRecordFile::Mode::Create:
      return platform::TFileStream::Mode::Create;
    case TRecordFile::Mode::Read:
      return platform::TFileStream::Mode::OpenRead;
    case TRecordFile::Mode::Update:
      break;
  }
  return platform::TFileStream::Mode::OpenReadWrite;
}

}  // namespace

TRecordFile::TRecordFile(const std::string& fileName, std::size_t recordSize, Mode mode)
    : recordSize_(recordSize), stream_(std::make_unique<platform::TFileStream>(fileName, StreamMode(mode))) {}

std::int64_t TRecordFile::RecordCount() const { return static_cast<std::int64_t>(stream_->Size() / recordSize_); }

bool TRecordFile::ReadRecord(std::int64_t index, std::uint8_t* record) {
  if (index < 0 || index >= RecordCount()) return false;
  stream_->Seek(static_cast<std::uint64_t>(index) * recordSize_);
  return stream_->Read(record, recordSize_) == recordSize_;
}

void TRecordFile::WriteRecord(std::int64_t index, const std::uint8_t* record) {
  if (index < 0) throw platform::EWriteError("Stream write error");
  const std::uint64_t at = static_cast<std::uint64_t>(index) * recordSize_;
  if (stream_->Size() < at) {
    // The gap's records read as zero bytes.
    stream_->Seek(stream_->Size());
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(at - stream_->Size()), 0);
    stream_->Write(zeros.data(), zeros.size());
  }
  stream_->Seek(at);
  stream_->Write(record, recordSize_);
}

std::int64_t TRecordFile::AppendRecord(const std::uint8_t* record) {
  const std::int64_t index = RecordCount();
  WriteRecord(index, record);
  return index;
}
