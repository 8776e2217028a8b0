#include "platform/streams.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <iostream>
#include <latch>
#include <thread>
#include <tuple>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_folder.h"

namespace {

using platform::EReadError;
using platform::TMemoryStream;
using platform::TReader;
using platform::TValueType;
using platform::TWriter;
using Bytes = std::vector<std::uint8_t>;

// A small buffer, so that values straddle buffer refills.
constexpr std::size_t kSmallBuffer = 16;

template <class Fill>
Bytes Written(Fill fill) {
  TMemoryStream stream;
  TWriter writer(stream, kSmallBuffer);
  fill(writer);
  writer.FlushBuffer();
  return stream.Bytes();
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(ClassesTest, IntegerTakesTheSmallestTagAtEveryBoundary) {
  const std::pair<std::int32_t, Bytes> cases[] = {
      {0, {0x02, 0x00}},           {127, {0x02, 0x7F}},           {128, {0x03, 0x80, 0x00}},
      {-128, {0x02, 0x80}},        {-129, {0x03, 0x7F, 0xFF}},    {32767, {0x03, 0xFF, 0x7F}},
      {-32768, {0x03, 0x00, 0x80}}, {32768, {0x04, 0x00, 0x80, 0x00, 0x00}}, {-32769, {0x04, 0xFF, 0x7F, 0xFF, 0xFF}},
      {std::numeric_limits<std::int32_t>::min(), {0x04, 0x00, 0x00, 0x00, 0x80}}};
  for (const auto& [value, bytes] : cases) {
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteInteger(value); }), bytes) << value;
    TMemoryStream stream(bytes);
    TReader reader(stream, kSmallBuffer);
    EXPECT_EQ(reader.ReadInteger(), value);
  }
}

TEST(ClassesTest, StringLengthCountsWindows1250BytesAndSwitchesTagAbove255) {
  std::string short255;
  for (int i = 0; i < 255; ++i) short255 += "č";  // two bytes in UTF-8, one in the stream
  const Bytes shortBytes = Written([&](TWriter& w) { w.WriteString(short255); });
  EXPECT_EQ(shortBytes, Concat({{0x06, 0xFF}, Bytes(255, 0xE8)}));

  const std::string long256 = short255 + "č";
  const Bytes longBytes = Written([&](TWriter& w) { w.WriteString(long256); });
  EXPECT_EQ(longBytes, Concat({{0x0C, 0x00, 0x01, 0x00, 0x00}, Bytes(256, 0xE8)}));

  TMemoryStream stream(Concat({shortBytes, longBytes}));
  TReader reader(stream, kSmallBuffer);
  EXPECT_EQ(reader.ReadString(), short255);
  EXPECT_EQ(reader.ReadString(), long256);
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ClassesTest, ExtendedFloatIsWrittenByteForByte) {
  const std::pair<long double, Bytes> cases[] = {
      {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.5L, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},  // the double nearest 0.1
      {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {-0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
      {std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
      {-std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
      {std::numeric_limits<double>::denorm_min(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},  // 2^-1074
      {1e308, {0x00, 0x00, 0x45, 0x5E, 0x2F, 0x9C, 0x67, 0x8E, 0xFE, 0x43}},
      {std::ldexp(1.0L, -16445), {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},  // the smallest extended denormal
      {1.0L / 3.0L, {0xAB, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xFD, 0x3F}},  // every long double bit
  };
  static_assert(std::numeric_limits<long double>::digits == 64, "the extended type is x87's");
  for (const auto& [value, bytes] : cases) {
    const Bytes written = Written([&](TWriter& w) { w.WriteFloat(value); });
    EXPECT_EQ(written, Concat({{0x05}, bytes})) << static_cast<double>(value);
    TMemoryStream stream(written);
    TReader reader(stream, kSmallBuffer);
    const long double back = reader.ReadFloat();
    EXPECT_EQ(std::pair(back, std::signbit(back)), std::pair(value, std::signbit(value)));
  }
  const platform::ExtendedBytes nan = platform::LongDoubleToExtended(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(std::pair(nan[9] & 0x7F, std::isnan(platform::ExtendedToLongDouble(nan))), std::pair(0x7F, true));
  // An unnormal (exponent set, integer bit clear) still reads as its value.
  EXPECT_EQ(platform::ExtendedToLongDouble({0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}), 0.5L);
}

// Unexpected tags and list markers, and lengths beyond the stream, raise before anything is allocated.
TEST(ClassesTest, ReaderRaisesOnUnexpectedTagsAndLengthsBeyondTheStream) {
  const auto integer = [](TReader& r) { r.ReadInteger(); };
  const auto string = [](TReader& r) { r.ReadString(); };
  const auto skip = [](TReader& r) { r.SkipValue(); };
  const auto list = [](TReader& r) { r.ReadListBegin(), r.ReadListEnd(); };
  const std::pair<Bytes, std::function<void(TReader&)>> cases[] = {
      {{0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, integer}, {{0x06, 0x00}, integer}, {{0x02, 0x01}, string},
      {{0x00}, list}, {{0x01, 0x01}, list}, {{0x07, 0x00}, skip}, {{0x00}, skip},  // an end marker is no value
      {{}, [](TReader& r) { r.ReadValue(); }}, {{0x0C, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, string},  // 2 GB in 6 bytes
      {{0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}, skip}, {{0x06, 0x05, 'a', 'b'}, string}, {{0x04, 0x01, 0x02}, integer},
      {{0x05, 0x00, 0x00}, [](TReader& r) { r.ReadFloat(); }}, {{0x01, 0x02}, skip},
      {{0x02}, [](TReader& r) { r.SetPosition(2); }},
      {{0x09, 0x02, 0x01}, [](TReader& r) { r.ReadBoolean(), r.ReadBoolean(); }},  // an integer is no Boolean
  };
  for (const auto& [bytes, read] : cases) {
    TMemoryStream stream(bytes);
    TReader reader(stream, kSmallBuffer);
    EXPECT_THROW(read(reader), EReadError) << ::testing::PrintToString(bytes);
  }
}

TEST(ClassesTest, BooleansHaveTagsOfTheirOwnAndTheReaderTakesKindredTagsAndPeeksAtListEnds) {
  const Bytes bytes = Written([](TWriter& w) {
    w.WriteBoolean(false);
    w.WriteBoolean(true);
    w.WriteInteger(1);
  });
  EXPECT_EQ(bytes, (Bytes{0x08, 0x09, 0x02, 0x01}));
  // Any integer tag reads as a float, either string tag as a string.
  TMemoryStream stream(Concat({bytes, {0x03, 0x00, 0x01, 0x0C, 0x02, 0x00, 0x00, 0x00, 'a', 'b', 0x02, 0xFF},
                               {0x01, 0x02, 0x05, 0x00}}));
  TReader reader(stream, kSmallBuffer);
  EXPECT_FALSE(reader.ReadBoolean());
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_EQ(reader.ReadInteger(), 1);
  EXPECT_EQ(reader.ReadFloat(), 256.0L);
  EXPECT_EQ(reader.ReadString(), "ab");
  EXPECT_EQ(reader.ReadFloat(), -1.0L);
  reader.ReadListBegin();  // the end of a list is peeked at, not consumed; the position counts bytes read
  EXPECT_EQ(std::pair(reader.EndOfList(), reader.Position()), std::pair(false, std::uint64_t{17}));
  EXPECT_EQ(reader.ReadInteger(), 5);
  EXPECT_TRUE(reader.EndOfList());
  reader.ReadListEnd();
  EXPECT_EQ(reader.Position(), 20u);
  reader.SetPosition(17);
  EXPECT_EQ(reader.ReadInteger(), 5);
}

// A memory stream that counts what the reader asks of it.
class TCountingStream : public platform::TStream {
 public:
  explicit TCountingStream(Bytes bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    ++Reads;
    return bytes_.Read(buffer, count);
  }
  void Write(const void* buffer, std::size_t count) override { bytes_.Write(buffer, count); }
  std::uint64_t Position() const override { return bytes_.Position(); }
  void Seek(std::uint64_t position) override {
    ++Seeks;
    bytes_.Seek(position);
  }
  std::uint64_t Size() const override { return bytes_.Size(); }
  int Reads = 0;
  int Seeks = 0;

 private:
  TMemoryStream bytes_;
};

// Going back to a place still in the buffer reads nothing again (a reader
// stepping over each of many bad records would otherwise read its buffer
// anew for each); anywhere else the stream is sought and read from there.
TEST(ClassesTest, ReaderGoesBackWithinItsBufferWithoutReadingTheStreamAgain) {
  Bytes bytes;
  for (int i = 0; i < 40; ++i) bytes.insert(bytes.end(), {0x02, static_cast<std::uint8_t>(i)});
  const struct {
    const char* name;
    std::uint64_t readFirst;  // bytes read before going back
    std::uint64_t position;
    int seeks;
    int reads;
  } rows[] = {{"to the buffer's first byte", 10, 0, 0, 1},
              {"inside the buffer", 14, 6, 0, 1},
              {"to the place already reached", 8, 8, 0, 1},
              {"before the buffer", 40, 6, 1, 4},
              {"past the buffer", 2, 40, 1, 2}};
  for (const auto& row : rows) {
    TCountingStream stream(bytes);
    TReader reader(stream, 16);
    for (std::uint64_t i = 0; i < row.readFirst; i += 2) reader.ReadInteger();
    reader.SetPosition(row.position);
    EXPECT_EQ(reader.Position(), row.position) << row.name;
    EXPECT_EQ(reader.ReadInteger(), static_cast<int>(row.position / 2)) << row.name;
    EXPECT_EQ(reader.Position(), row.position + 2) << row.name;
    EXPECT_EQ(stream.Seeks, row.seeks) << row.name;
    EXPECT_EQ(stream.Reads, row.reads) << row.name;
  }
}

TEST(ClassesTest, SkipValueStepsOverListsNestedAHundredThousandDeep) {
  constexpr std::size_t depth = 100000;
  Bytes bytes = Concat({Bytes(depth, 0x01), {0x06, 0x01, 'z'}, Bytes(depth, 0x00), {0x02, 0x2A}});
  TMemoryStream stream(std::move(bytes));
  TReader reader(stream, 4096);
  reader.SkipValue();
  EXPECT_EQ(reader.ReadInteger(), 42);
}

// The files a writer left beside its target in the folder.
int PartsLeft(const TempFolder& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path()))
    count += entry.path().filename().string().find(".~part") != std::string::npos;
  return count;
}

TEST(ReplacingFileStreamTest, TheOldContentStaysUntilTheNewIsCompleteAndNothingIsLeftBeside) {
  TempFolder folder;
  const std::string target = folder.File("model.kes");
  const std::string content(3000, 'n');
  struct Row {
    const char* name;
    bool commit;
    rlim_t limit;  // 0: none
    bool raises;
    std::string after;
  };
  const Row rows[] = {
      {"committed", true, 0, false, content},
      {"abandoned", false, 0, false, "old"},
      {"the disk fills up", true, 1000, true, "old"},
  };
  for (const Row& row : rows) {
    std::ofstream(target, std::ios::binary | std::ios::trunc) << "old";
    bool raised = false;
    try {
      const FileSizeLimit limit(row.limit ? row.limit : RLIM_INFINITY);
      platform::TReplacingFileStream stream(target);
      stream.Write(content.data(), content.size());
      if (row.commit) stream.Commit();
    } catch (const platform::EWriteError&) {
      raised = true;
    }
    std::ifstream in(target, std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(std::tuple(raised, after == row.after, PartsLeft(folder)), std::tuple(row.raises, true, 0))
        << row.name;
  }
  EXPECT_THROW(platform::TReplacingFileStream(folder.File("chybi/model.kes")), platform::EFCreateError);
}

// What stands under a name, not following a link.
std::string KindOf(const std::string& name) {
  struct stat status {};
  if (::lstat(name.c_str(), &status) != 0) return "missing";
  if (S_ISLNK(status.st_mode)) return "link";
  if (S_ISFIFO(status.st_mode)) return "pipe";
  if (S_ISCHR(status.st_mode)) return "device";
  if (S_ISREG(status.st_mode)) return "file";
  return "other";
}

unsigned ModeOf(const std::string& name) {
  struct stat status {};
  return ::stat(name.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Writes the content in pieces, letting other threads run between them.
void WriteWhole(const std::string& name, const std::string& content) {
  platform::TReplacingFileStream stream(name);
  for (std::size_t at = 0; at < content.size(); at += 4096) {
    stream.Write(content.data() + at, std::min<std::size_t>(4096, content.size() - at));
    std::this_thread::yield();
  }
  stream.Commit();
}

// A regular file or a missing name is replaced whole, with the earlier
// file's permissions; a link leads to the file it names, which is replaced
// there; a device or a pipe takes the content where it stands; of two
// writers at once one leaves its content whole.  Nothing is left beside.
TEST(ReplacingFileStreamTest, EachKindOfTargetIsReplacedOrWrittenWhereItStands) {
  const std::string content(300000, 'n');  // more than a pipe holds
  struct Row {
    const char* name;
    // Makes what the row writes to, in the folder; answers the name, or
    // an empty one when the row cannot be made here.
    std::function<std::string(const TempFolder&)> make;
    // The name after the write, and where the content is read back ("" for
    // what the row's reader took).
    const char* kind;
    const char* readBack;
    unsigned mode;  // 0: not checked
  };
  std::string piped;
  std::thread reader;
  int keeper = -1;
  const auto file = [](const TempFolder& folder, const char* name, unsigned mode) {
    std::ofstream(folder.File(name)) << "old";
    std::filesystem::permissions(folder.File(name), std::filesystem::perms(mode));
  };
  const Row rows[] = {
      {"a regular file", [&](const TempFolder& f) { file(f, "a.txt", 0640); return f.File("a.txt"); }, "file",
       "a.txt", 0640},
      {"a missing name", [](const TempFolder& f) { return f.File("new.txt"); }, "file", "new.txt", 0},
      {"a device node",
       [](const TempFolder& f) {
         // Only the superuser makes one, and only where devices may be opened.
         const std::string node = f.File("null");
         if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) return std::string();
         const int probe = ::open(node.c_str(), O_WRONLY);
         if (probe < 0) return std::string();
         ::close(probe);
         return node;
       },
       "device", nullptr, 0},
      {"a named pipe",
       [&](const TempFolder& f) {
         const std::string pipe = f.File("roura");
         ::mkfifo(pipe.c_str(), 0600);
         // Opened before the writer, and kept open by a writer of the test's
         // own until the writer is done, the pipe ends where the writer does.
         const int in = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
         keeper = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
         ::fcntl(in, F_SETFL, 0);
         reader = std::thread([in, &piped] {
           char buffer[8192];
           for (ssize_t n; (n = ::read(in, buffer, sizeof buffer)) > 0;) piped.append(buffer, std::size_t(n));
           ::close(in);
         });
         return pipe;
       },
       "pipe", "", 0},
      {"a link to a file",
       [&](const TempFolder& f) {
         file(f, "cil.txt", 0600);
         std::filesystem::create_symlink("cil.txt", f.File("odkaz"));
         return f.File("odkaz");
       },
       "link", "cil.txt", 0600},
      {"links in a chain, through a linked folder",
       [&](const TempFolder& f) {
         std::filesystem::create_directories(f.File("data/sub"));
         std::filesystem::create_directory_symlink("data", f.File("slozka"));
         std::filesystem::create_symlink("sub/dalsi", f.File("data/prvni"));  // relative to data/
         std::filesystem::create_symlink("../konec.txt", f.File("data/sub/dalsi"));  // relative to data/sub/
         return f.File("slozka/prvni");
       },
       "link", "data/konec.txt", 0},
      {"a link that leads nowhere yet",
       [](const TempFolder& f) {
         std::filesystem::create_symlink("vznikne.txt", f.File("visici"));
         return f.File("visici");
       },
       "link", "vznikne.txt", 0},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    const std::string name = row.make(folder);
    if (name.empty()) {
      std::cout << "[ SKIPPED  ] " << row.name << ": cannot be made here\n";
      continue;
    }
    try {
      WriteWhole(name, content);
    } catch (const platform::EStreamError& error) {
      ADD_FAILURE() << row.name << ": " << error.what() << " " << error.Reason();
    }
    if (keeper >= 0) ::close(std::exchange(keeper, -1));
    if (reader.joinable()) reader.join();
    const std::string written =
        !row.readBack ? content : *row.readBack ? FileBytes(folder.File(row.readBack)) : std::exchange(piped, {});
    EXPECT_EQ(std::tuple(KindOf(name), written.size(), written == content, PartsLeft(folder)),
              std::tuple(std::string(row.kind), content.size(), true, 0))
        << row.name;
    if (row.mode) {
      EXPECT_EQ(ModeOf(folder.File(row.readBack)), row.mode) << row.name;
    }
  }

  // Two writers of one file at once, again and again.
  TempFolder folder;
  const std::string name = folder.File("tisk.pdf");
  const std::string first(1 << 20, 'a'), second(1 << 20, 'b');
  for (int round = 0; round < 5; ++round) {
    std::latch start(2);
    std::string failures[2];
    const auto writer = [&](const std::string& mine, std::string& failure) {
      start.arrive_and_wait();
      try {
        WriteWhole(name, mine);
      } catch (const platform::EStreamError& error) {
        failure = error.what();
      }
    };
    std::thread one(writer, std::cref(first), std::ref(failures[0]));
    std::thread two(writer, std::cref(second), std::ref(failures[1]));
    one.join();
    two.join();
    EXPECT_EQ(failures[0] + failures[1], "") << "round " << round;
    const std::string after = FileBytes(name);
    EXPECT_TRUE(after == first || after == second) << "round " << round << ": " << after.size() << " bytes, mixed";
    EXPECT_EQ(PartsLeft(folder), 0) << "round " << round;
  }
}

}  // namespace
