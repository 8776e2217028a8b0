#pragma once
// The class library's streams and its tagged-value writer and reader, in the
// byte format of the element streams.  Texts are UTF-8 in memory and
// Windows-1250 in the stream; a text's length is counted in Windows-1250
// bytes.  Every length and position read from a stream is checked against
// what the stream holds before anything is allocated.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // The text, and why the system refused, as it said it.
  EStreamError(const std::string& text, std::string reason) : std::runtime_error(text), reason_(std::move(reason)) {}
  // Empty when the system gave no reason.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// The tags of the values the element streams use.
enum class TValueType : std::uint8_t {
  vaNull = 0x00,  // end of list
  vaList = 0x01,
  vaInt8 = 0x02,
  vaInt16 = 0x03,
  vaInt32 = 0x04,
  vaExtended = 0x05,
  vaString = 0x06,
  vaFalse = 0x08,
  vaTrue = 0x09,
  vaLString = 0x0C,
};

// The 80-bit extended float as stored: 64-bit mantissa with its integer bit,
// then 15-bit exponent (bias 16383) and sign, little-endian.
using ExtendedBytes = std::array<std::uint8_t, 10>;
ExtendedBytes LongDoubleToExtended(long double value);
long double ExtendedToLongDouble(const ExtendedBytes& bytes);

class TStream {
 public:
  virtual ~TStream() = default;
  // Reads at most count bytes; answers how many were read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual void Seek(std::uint64_t position) = 0;
  virtual std::uint64_t Size() const = 0;
  // Writes out what the stream still buffers; raises EWriteError when it
  // cannot (a stream without a buffer has nothing to write out).
  virtual void Flush() {}
};

class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  // Replaces the content by the whole file; raises EFOpenError.
  void LoadFromFile(const std::string& fileName);
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override { return position_; }
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

class TFileStream final : public TStream {
 public:
  enum class Mode { Create, OpenRead, OpenReadWrite };
  // Create makes a new file or empties an existing one (EFCreateError);
  // OpenRead opens an existing file (EFOpenError), OpenReadWrite one to
  // update in place (EFOpenError).
  TFileStream(const std::string& fileName, Mode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override;
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override;
  void Flush() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The one way a whole file is written.  A regular file, or a name where
// there is none, gets its new content beside it, under a name of this
// writer's own, synced to the disk and renamed over the file only when
// complete: a write that fails or a kill leaves the file as it was, and two
// writers at once leave one of them whole.  The new file keeps the earlier
// one's permissions.  A link is followed to the file it names, which is
// replaced there.  A device, a pipe or a socket is not a file to replace:
// it is written in place, as it stands.  The stream that is not committed
// removes what it wrote beside the file.
class TReplacingFileStream final : public TStream {
 public:
  // EFCreateError when the file beside the target cannot be made, or the
  // target cannot be opened in place.
  explicit TReplacingFileStream(const std::string& fileName);
  ~TReplacingFileStream() override;
  TReplacingFileStream(const TReplacingFileStream&) = delete;
  TReplacingFileStream& operator=(const TReplacingFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  // EWriteError, with the system's reason, when the disk does not take it all.
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override { return position_; }
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return size_; }
  // Puts the new file in the target's place, written out and synced
  // (EWriteError when it cannot); the stream is closed afterwards.
  void Commit();

 private:
  // The target is written in place, not replaced.
  bool InPlace() const { return partName_.empty(); }

  std::string fileName_;
  std::string target_;    // the file the name leads to
  std::string partName_;  // empty when written in place
  int file_ = -1;
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;
};

// A regular file of that name exists (the name is UTF-8).
bool FileExists(const std::string& fileName);

// Writes tagged values through a buffer.  The owner calls FlushBuffer when it
// is done; the destructor does not write, so a failed save raises once.
class TWriter {
 public:
  TWriter(TStream& stream, std::size_t bufferSize);
  TWriter(const TWriter&) = delete;
  TWriter& operator=(const TWriter&) = delete;

  void Write(const void* data, std::size_t count);
  void WriteValue(TValueType value) {
    if (used_ < buffer_.size()) buffer_[used_++] = static_cast<std::uint8_t>(value);
    else WriteValueSlow(value);
  }
  void WriteListBegin() { WriteValue(TValueType::vaList); }
  void WriteListEnd() { WriteValue(TValueType::vaNull); }
  // With the smallest integer tag that holds the value.
  void WriteInteger(std::int32_t value) {
    // The common case: room in the buffer for the longest form.
    if (buffer_.size() - used_ < 5) return WriteIntegerSlow(value);
    std::uint8_t* at = buffer_.data() + used_;
    const auto bits = static_cast<std::uint32_t>(value);
    if (value >= -128 && value <= 127) {
      at[0] = static_cast<std::uint8_t>(TValueType::vaInt8);
      at[1] = static_cast<std::uint8_t>(bits);
      used_ += 2;
    } else if (value >= -32768 && value <= 32767) {
      at[0] = static_cast<std::uint8_t>(TValueType::vaInt16);
      at[1] = static_cast<std::uint8_t>(bits);
      at[2] = static_cast<std::uint8_t>(bits >> 8);
      used_ += 3;
    } else {
      at[0] = static_cast<std::uint8_t>(TValueType::vaInt32);
      for (int i = 0; i < 4; ++i) at[1 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
      used_ += 5;
    }
  }
  void WriteFloat(long double value);
  // Up to 255 bytes with vaString, longer with vaLString.
  void WriteString(std::string_view utf8);
  void WriteBoolean(bool value) { WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }
  void FlushBuffer();
  std::uint64_t Position() const { return flushed_ + used_; }

 private:
  void WriteValueSlow(TValueType value);
  void WriteIntegerSlow(std::int32_t value);

  TStream& stream_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  std::uint64_t flushed_ = 0;
};

// Reads tagged values through a buffer; raises EReadError on a value of an
// unexpected tag, on a length beyond the stream's end, and at the end.
class TReader {
 public:
  TReader(TStream& stream, std::size_t bufferSize);
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;

  void Read(void* data, std::size_t count);
  TValueType ReadValue() { return static_cast<TValueType>(pos_ < end_ ? buffer_[pos_++] : ReadByteSlow()); }
  TValueType NextValue() { return static_cast<TValueType>(pos_ < end_ ? buffer_[pos_] : PeekByteSlow()); }
  bool EndOfList() { return NextValue() == TValueType::vaNull; }
  void ReadListBegin() { ExpectValue(TValueType::vaList); }
  void ReadListEnd() { ExpectValue(TValueType::vaNull); }
  // Any integer tag.
  std::int32_t ReadInteger() {
    // The common case: an integer wholly in the buffer.
    if (end_ - pos_ >= 5) {
      const std::uint8_t* at = buffer_.data() + pos_;
      switch (static_cast<TValueType>(at[0])) {
        case TValueType::vaInt8:
          pos_ += 2;
          return static_cast<std::int8_t>(at[1]);
        case TValueType::vaInt16:
          pos_ += 3;
          return static_cast<std::int16_t>(Bits16(at + 1));
        case TValueType::vaInt32:
          pos_ += 5;
          return static_cast<std::int32_t>(Bits32(at + 1));
        default:
          break;
      }
    }
    return ReadIntegerSlow();
  }
  // The extended tag or any integer tag.
  long double ReadFloat();
  // Either string tag.
  std::string ReadString();
  // The same into text, whose storage is reused.
  void ReadString(std::string& text);
  bool ReadBoolean();
  // Skips one value; a list is skipped whole, however deeply nested.
  void SkipValue();

  std::uint64_t Position() const { return bufferStart_ + pos_; }
  void SetPosition(std::uint64_t position);
  std::uint64_t Size() const { return size_; }
  std::uint64_t Remaining() const { return size_ - Position(); }

 private:
  static std::uint16_t Bits16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }
  static std::uint32_t Bits32(const std::uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
  }
  std::uint8_t ReadByte() { return pos_ < end_ ? buffer_[pos_++] : ReadByteSlow(); }
  void ExpectValue(TValueType type) {
    if (ReadValue() != type) ThrowValueError();
  }
  [[noreturn]] static void ThrowValueError();
  std::uint8_t ReadByteSlow();
  std::uint8_t PeekByteSlow();
  std::int32_t ReadIntegerSlow();
  void Skip(std::uint64_t count);
  void Fill();
  std::uint64_t ReadLength(TValueType type);

  TStream& stream_;
  std::vector<std::uint8_t> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t bufferStart_ = 0;
  std::uint64_t size_ = 0;
};

}  // namespace platform
