#include "platform/streams.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/code_page.h"
#include "platform/files.h"

namespace platform {
namespace {

constexpr int kExponentBias = 16383;
constexpr int kExponentMax = 0x7FFF;
constexpr std::uint64_t kIntegerBit = 0x8000000000000000ull;

const char* const kReadError = "Stream read error";
const char* const kValueError = "Invalid property value";
const char* const kWriteError = "Stream write error";

std::filesystem::path PathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// Little-endian, the low count bytes of bits.
void PutBits(std::uint8_t* at, std::uint32_t bits, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace

// ---------------------------------------------------------------- extended float

ExtendedBytes LongDoubleToExtended(long double value) {
  std::uint64_t mantissa = 0;
  int exponent = 0;
  const bool negative = std::signbit(value);
  if (std::isnan(value)) {
    exponent = kExponentMax;
    mantissa = kIntegerBit | (kIntegerBit >> 1);
  } else if (std::isinf(value)) {
    exponent = kExponentMax;
    mantissa = kIntegerBit;
  } else if (value != 0) {
    const long double magnitude = std::fabs(value);
    int binary = 0;
    // magnitude = fraction * 2^binary, fraction in [0.5, 1)
    const long double fraction = std::frexp(magnitude, &binary);
    exponent = binary - 1 + kExponentBias;
    if (exponent >= kExponentMax) {  // beyond the format (only where long double is wider)
      exponent = kExponentMax;
      mantissa = kIntegerBit;
    } else if (exponent <= 0) {  // denormal: no integer bit, exponent as for 1
      exponent = 0;
      mantissa = static_cast<std::uint64_t>(std::ldexp(magnitude, kExponentBias - 1 + 63));
    } else {
      mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    }
  }
  ExtendedBytes bytes{};
  for (int i = 0; i < 8; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  const unsigned top = static_cast<unsigned>(exponent) | (negative ? 0x8000u : 0u);
  bytes[8] = static_cast<std::uint8_t>(top);
  bytes[9] = static_cast<std::uint8_t>(top >> 8);
  return bytes;
}

long double ExtendedToLongDouble(const ExtendedBytes& bytes) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[static_cast<std::size_t>(i)];
  const unsigned top = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
  const bool negative = (top & 0x8000u) != 0;
  const int exponent = static_cast<int>(top & 0x7FFFu);
  long double value;
  if (exponent == kExponentMax) {
    value = (mantissa & ~kIntegerBit) == 0 ? std::numeric_limits<long double>::infinity()
                                           : std::numeric_limits<long double>::quiet_NaN();
  } else {
    // Denormals scale as if their exponent were 1; any integer bit is taken as it stands.
    const int scale = (exponent == 0 ? 1 : exponent) - kExponentBias - 63;
    value = std::ldexp(static_cast<long double>(mantissa), scale);
  }
  return negative ? -value : value;
}

// ---------------------------------------------------------------- memory stream

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  std::ifstream file(PathOf(fileName), std::ios::binary);
  if (!file) throw EFOpenError("Cannot open file " + fileName);
  std::vector<std::uint8_t> bytes;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  file.seekg(0, std::ios::beg);
  if (size > 0) {
    bytes.resize(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), size);
    if (file.gcount() != size) throw EReadError(kReadError);
  }
  bytes_ = std::move(bytes);
  position_ = 0;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  const std::size_t n = std::min(count, available);
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
}

void TMemoryStream::Seek(std::uint64_t position) {
  position_ = static_cast<std::size_t>(std::min<std::uint64_t>(position, bytes_.size()));
}

// ---------------------------------------------------------------- file stream

struct TFileStream::Impl {
  std::fstream file;
  std::uint64_t size = 0;
  std::uint64_t position = 0;
};

TFileStream::TFileStream(const std::string& fileName, Mode mode) : impl_(std::make_unique<Impl>()) {
  const std::filesystem::path path = PathOf(fileName);
  if (mode == Mode::Create) {
    if (IsWriteProtected(fileName)) throw EFCreateError("Cannot create file " + fileName);
    impl_->file.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!impl_->file) throw EFCreateError("Cannot create file " + fileName);
    return;
  }
  if (mode == Mode::OpenReadWrite && IsWriteProtected(fileName)) throw EFOpenError("Cannot open file " + fileName);
  const auto access = mode == Mode::OpenReadWrite ? std::ios::in | std::ios::out : std::ios::in;
  impl_->file.open(path, std::ios::binary | access);
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(path, error);
  if (!impl_->file || !regular) throw EFOpenError("Cannot open file " + fileName);
  impl_->size = std::filesystem::file_size(path, error);
  if (error) throw EFOpenError("Cannot open file " + fileName);
}

TFileStream::~TFileStream() = default;

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  impl_->file.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
  const auto n = static_cast<std::size_t>(impl_->file.gcount());
  if (impl_->file.eof()) impl_->file.clear();
  impl_->position += n;
  return n;
}

void TFileStream::Write(const void* buffer, std::size_t count) {
  impl_->file.write(static_cast<const char*>(buffer), static_cast<std::streamsize>(count));
  if (!impl_->file) throw EWriteError(kWriteError);
  impl_->position += count;
  impl_->size = std::max(impl_->size, impl_->position);
}

std::uint64_t TFileStream::Position() const { return impl_->position; }

void TFileStream::Seek(std::uint64_t position) {
  position = std::min(position, impl_->size);
  impl_->file.clear();
  impl_->file.seekg(static_cast<std::streamoff>(position));
  impl_->file.seekp(static_cast<std::streamoff>(position));
  if (!impl_->file) throw EReadError(kReadError);
  impl_->position = position;
}

std::uint64_t TFileStream::Size() const { return impl_->size; }

void TFileStream::Flush() {
  impl_->file.flush();
  if (!impl_->file) throw EWriteError(kWriteError);
}

// ---------------------------------------------------------------- replacing file

namespace {

std::string SystemReason(int error) { return std::generic_category().message(error); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file the name leads to: a link is followed, link after link, to what
// its last one names (which need not exist).  The text is never tidied up
// on the way ("lnk/.." is where the system takes it, not where the text
// would), a link's relative target is taken from the link's own folder.
// Empty, with errno set, when the links lead round or past the system's
// limit, or a name on the way cannot be read.
std::string FollowedLinks(std::string path) {
  for (int links = 0; links <= 40; ++links) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return errno == ENOENT ? path : std::string();
    if (!S_ISLNK(status.st_mode)) return path;
    std::string target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 256) + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return {};
    // A link made longer since it was looked at is looked at again.
    if (static_cast<std::size_t>(length) == target.size()) {
      --links;
      continue;
    }
    target.resize(static_cast<std::size_t>(length));
    path = target.starts_with('/') || path.find('/') == std::string::npos ? target : FolderOf(path) + "/" + target;
  }
  errno = ELOOP;
  return {};
}

// Made only by this process and count: a second writer of the same file,
// here or in another process, writes beside it under another name.
std::string UniquePartName(const std::string& target) {
  static std::atomic<unsigned> count{0};
  return target + ".~part-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
}

}  // namespace

TReplacingFileStream::TReplacingFileStream(const std::string& fileName) : fileName_(fileName) {
  const std::string cannot = "Cannot create file " + fileName;
  target_ = FollowedLinks(fileName);
  if (target_.empty()) throw EFCreateError(cannot, SystemReason(errno));
  struct stat status {};
  const bool exists = ::stat(target_.c_str(), &status) == 0;
  if (exists && S_ISDIR(status.st_mode)) throw EFCreateError(cannot, SystemReason(EISDIR));
  if (exists && !S_ISREG(status.st_mode)) {
    // A device or a pipe takes what is written as it comes; the reader of
    // a pipe is waited for, as any writer of one waits.
    if (IsWriteProtected(target_)) throw EFCreateError(cannot);
    do file_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    while (file_ < 0 && errno == EINTR);
    if (file_ < 0) throw EFCreateError(cannot, SystemReason(errno));
    return;
  }
  // A file its owner made read-only is not written over by a rename.
  if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
    throw EFCreateError(cannot, SystemReason(errno));
  // Made with no more permissions than the earlier file has, even for a
  // moment.
  const mode_t mode = exists ? status.st_mode & 07777 : 0666;
  do {
    partName_ = UniquePartName(target_);
    if (IsWriteProtected(partName_)) throw EFCreateError(cannot);
    file_ = ::open(partName_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777);
  } while (file_ < 0 && (errno == EEXIST || errno == EINTR));
  if (file_ < 0) throw EFCreateError(cannot, SystemReason(errno));
  if (!exists) return;
  // The new file is the earlier one's: its permissions, and its owner where
  // the writer may give it (only the superuser writes another's file so).
  const bool owned = status.st_uid == ::geteuid() && status.st_gid == ::getegid();
  if ((!owned && ::geteuid() == 0 && ::fchown(file_, status.st_uid, status.st_gid) != 0) ||
      ::fchmod(file_, mode) != 0) {
    const int error = errno;
    ::close(file_);
    ::unlink(partName_.c_str());
    file_ = -1;
    throw EFCreateError(cannot, SystemReason(error));
  }
}

TReplacingFileStream::~TReplacingFileStream() {
  if (file_ < 0) return;
  ::close(file_);
  // Nothing to tell: the target was not touched.
  if (!InPlace()) ::unlink(partName_.c_str());
}

std::size_t TReplacingFileStream::Read(void* buffer, std::size_t count) {
  ssize_t n;
  do n = ::read(file_, buffer, count);
  while (n < 0 && errno == EINTR);
  if (n < 0) throw EReadError(kReadError, SystemReason(errno));
  position_ += static_cast<std::uint64_t>(n);
  return static_cast<std::size_t>(n);
}

void TReplacingFileStream::Write(const void* buffer, std::size_t count) {
  if (file_ < 0) throw EWriteError(kWriteError);
  const auto* bytes = static_cast<const char*>(buffer);
  // A write the disk took in part goes on from where it stopped: the next
  // one tells why it stopped.
  while (count > 0) {
    const ssize_t n = ::write(file_, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw EWriteError(kWriteError, SystemReason(n < 0 ? errno : ENOSPC));
    bytes += n;
    count -= static_cast<std::size_t>(n);
    position_ += static_cast<std::uint64_t>(n);
  }
  size_ = std::max(size_, position_);
}

void TReplacingFileStream::Seek(std::uint64_t position) {
  position = std::min(position, size_);
  if (::lseek(file_, static_cast<off_t>(position), SEEK_SET) < 0) throw EReadError(kReadError, SystemReason(errno));
  position_ = position;
}

void TReplacingFileStream::Commit() {
  if (file_ < 0) throw EWriteError(kWriteError);
  const int file = std::exchange(file_, -1);
  if (InPlace()) {
    if (::close(file) != 0 && errno != EINTR) throw EWriteError(kWriteError, SystemReason(errno));
    return;
  }
  // What the disk has not taken yet shows here, before anything is renamed.
  int error = ::fsync(file) == 0 ? 0 : errno;
  if (::close(file) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error == 0 && ::rename(partName_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(partName_.c_str());
    throw EWriteError("Cannot replace file " + fileName_, SystemReason(error));
  }
  if (const int folder = SyncFolder(FolderOf(target_)); folder != 0)
    throw EWriteError("Cannot replace file " + fileName_, SystemReason(folder));
}

bool FileExists(const std::string& fileName) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathOf(fileName), error);
}

// ---------------------------------------------------------------- writer

TWriter::TWriter(TStream& stream, std::size_t bufferSize)
    : stream_(stream), buffer_(std::max<std::size_t>(bufferSize, 16)) {}

void TWriter::Write(const void* data, std::size_t count) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (count > 0) {
    if (used_ == buffer_.size()) FlushBuffer();
    const std::size_t n = std::min(count, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes, n);
    used_ += n;
    bytes += n;
    count -= n;
  }
}

void TWriter::WriteValueSlow(TValueType value) {
  const auto tag = static_cast<std::uint8_t>(value);
  Write(&tag, 1);
}

void TWriter::WriteIntegerSlow(std::int32_t value) {
  std::uint8_t bytes[5];
  std::size_t size;
  if (value >= -128 && value <= 127) {
    bytes[0] = static_cast<std::uint8_t>(TValueType::vaInt8);
    size = 1;
  } else if (value >= -32768 && value <= 32767) {
    bytes[0] = static_cast<std::uint8_t>(TValueType::vaInt16);
    size = 2;
  } else {
    bytes[0] = static_cast<std::uint8_t>(TValueType::vaInt32);
    size = 4;
  }
  PutBits(bytes + 1, static_cast<std::uint32_t>(value), size);
  Write(bytes, 1 + size);
}

void TWriter::WriteFloat(long double value) {
  WriteValue(TValueType::vaExtended);
  const ExtendedBytes bytes = LongDoubleToExtended(value);
  Write(bytes.data(), bytes.size());
}

void TWriter::WriteString(std::string_view utf8) {
  // Plain ASCII is the same in both code pages: no converted copy is needed.
  if (utf8.size() <= 255 &&
      std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    const std::uint8_t head[2] = {static_cast<std::uint8_t>(TValueType::vaString),
                                  static_cast<std::uint8_t>(utf8.size())};
    Write(head, 2);
    Write(utf8.data(), utf8.size());
    return;
  }
  const std::string text = Utf8ToCp1250(utf8);
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw EWriteError(kWriteError);
  if (text.size() <= 255) {
    const std::uint8_t head[2] = {static_cast<std::uint8_t>(TValueType::vaString),
                                  static_cast<std::uint8_t>(text.size())};
    Write(head, 2);
  } else {
    std::uint8_t head[5] = {static_cast<std::uint8_t>(TValueType::vaLString)};
    PutBits(head + 1, static_cast<std::uint32_t>(text.size()), 4);
    Write(head, 5);
  }
  Write(text.data(), text.size());
}

void TWriter::FlushBuffer() {
  if (used_ == 0) return;
  const std::size_t count = used_;
  used_ = 0;
  stream_.Write(buffer_.data(), count);
  flushed_ += count;
}

// ---------------------------------------------------------------- reader

TReader::TReader(TStream& stream, std::size_t bufferSize)
    : stream_(stream),
      buffer_(std::max<std::size_t>(bufferSize, 16)),
      bufferStart_(stream.Position()),
      size_(std::max(stream.Size(), stream.Position())) {}

void TReader::Fill() {
  bufferStart_ += end_;
  pos_ = 0;
  end_ = stream_.Read(buffer_.data(), buffer_.size());
  if (end_ == 0) throw EReadError(kReadError);
}

std::uint8_t TReader::ReadByteSlow() {
  if (pos_ == end_) Fill();
  return buffer_[pos_++];
}

std::uint8_t TReader::PeekByteSlow() {
  if (pos_ == end_) Fill();
  return buffer_[pos_];
}

void TReader::Read(void* data, std::size_t count) {
  if (count > Remaining()) throw EReadError(kReadError);
  auto* out = static_cast<std::uint8_t*>(data);
  while (count > 0) {
    if (pos_ == end_) Fill();
    const std::size_t n = std::min(count, end_ - pos_);
    std::memcpy(out, buffer_.data() + pos_, n);
    pos_ += n;
    out += n;
    count -= n;
  }
}

void TReader::Skip(std::uint64_t count) {
  if (count > Remaining()) throw EReadError(kReadError);
  const std::uint64_t inBuffer = end_ - pos_;
  if (count <= inBuffer) {
    pos_ += static_cast<std::size_t>(count);
    return;
  }
  SetPosition(Position() + count);
}

void TReader::SetPosition(std::uint64_t position) {
  if (position > size_) throw EReadError(kReadError);
  // Back to a place still in the buffer (a reader stepping over a record it
  // has begun), the stream is not read again.
  if (position >= bufferStart_ && position - bufferStart_ < end_) {
    pos_ = static_cast<std::size_t>(position - bufferStart_);
    return;
  }
  stream_.Seek(position);
  bufferStart_ = position;
  pos_ = 0;
  end_ = 0;
}

void TReader::ThrowValueError() { throw EReadError(kValueError); }

std::int32_t TReader::ReadIntegerSlow() {
  switch (ReadValue()) {
    case TValueType::vaInt8:
      return static_cast<std::int8_t>(ReadByte());
    case TValueType::vaInt16: {
      std::uint8_t bytes[2];
      Read(bytes, 2);
      return static_cast<std::int16_t>(Bits16(bytes));
    }
    case TValueType::vaInt32: {
      std::uint8_t bytes[4];
      Read(bytes, 4);
      return static_cast<std::int32_t>(Bits32(bytes));
    }
    default:
      throw EReadError(kValueError);
  }
}

long double TReader::ReadFloat() {
  if (NextValue() != TValueType::vaExtended) return ReadInteger();
  ReadValue();
  ExtendedBytes bytes;
  Read(bytes.data(), bytes.size());
  return ExtendedToLongDouble(bytes);
}

std::uint64_t TReader::ReadLength(TValueType type) {
  std::uint64_t length;
  if (type == TValueType::vaString) {
    length = ReadByte();
  } else {
    std::uint8_t bytes[4];
    Read(bytes, 4);
    length = Bits32(bytes);
  }
  if (length > Remaining()) throw EReadError(kReadError);
  return length;
}

std::string TReader::ReadString() {
  std::string text;
  ReadString(text);
  return text;
}

void TReader::ReadString(std::string& text) {
  const TValueType type = ReadValue();
  if (type != TValueType::vaString && type != TValueType::vaLString) throw EReadError(kValueError);
  const auto length = static_cast<std::size_t>(ReadLength(type));
  // Plain ASCII is the same in both encodings: taken straight from the buffer.
  if (length <= end_ - pos_) {
    const auto* first = reinterpret_cast<const char*>(buffer_.data() + pos_);
    if (std::all_of(first, first + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
      text.assign(first, length);
      pos_ += length;
      return;
    }
  }
  std::string bytes(length, '\0');
  Read(bytes.data(), bytes.size());
  text = Cp1250ToUtf8(bytes);
}

bool TReader::ReadBoolean() {
  const TValueType type = ReadValue();
  if (type != TValueType::vaFalse && type != TValueType::vaTrue) throw EReadError(kValueError);
  return type == TValueType::vaTrue;
}

void TReader::SkipValue() {
  std::uint64_t depth = 0;
  do {
    const TValueType type = ReadValue();
    switch (type) {
      case TValueType::vaNull:
        if (depth == 0) throw EReadError(kValueError);
        --depth;
        break;
      case TValueType::vaList:
        ++depth;
        break;
      case TValueType::vaInt8:
        Skip(1);
        break;
      case TValueType::vaInt16:
        Skip(2);
        break;
      case TValueType::vaInt32:
        Skip(4);
        break;
      case TValueType::vaExtended:
        Skip(10);
        break;
      case TValueType::vaString:
      case TValueType::vaLString:
        Skip(ReadLength(type));
        break;
      default:
        throw EReadError(kValueError);
    }
  } while (depth > 0);
}

}  // namespace platform
