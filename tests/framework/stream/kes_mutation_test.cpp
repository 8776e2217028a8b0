// Damaged element streams: every mutation of the sample files either loads or
// fails with EBadStream; none may crash, hang or leak what it read.
#include <algorithm>
#include <chrono>
#include <random>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/framework/framework_fixture.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/framework/stream/kes_test_classes.h"
#include "framework/stream/kes_loader.h"

namespace {

using kes::Bytes;

// Values that steer a reader into its edge cases: tags, list markers, signs, lengths.
const std::uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x0C,
                                     0x7F, 0x80, 0xFE, 0xFF, 0x10, 0x20, 0x40};

// One mutation from a fixed generator, so that every run tries the same ones everywhere.
void Mutate(Bytes& bytes, std::mt19937_64& random) {
  const auto below = [&random](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random() % n); };
  const auto interesting = [&] { return kInteresting[below(std::size(kInteresting))]; };
  if (bytes.empty()) return bytes.push_back(static_cast<std::uint8_t>(random()));
  const std::size_t at = below(bytes.size());
  const auto it = bytes.begin() + static_cast<std::ptrdiff_t>(at);
  switch (below(8)) {
    case 0: bytes[at] ^= static_cast<std::uint8_t>(1u << below(8)); break;
    case 1: bytes[at] = interesting(); break;
    case 2: bytes.insert(it, interesting()); break;
    case 3: bytes.erase(it, bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + 1 + below(8)))); break;
    case 4: {  // repeat a chunk: duplicated records, lists and numbers
      const Bytes chunk(it, it + static_cast<std::ptrdiff_t>(1 + below(std::min<std::size_t>(32, bytes.size() - at))));
      bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(below(bytes.size())), chunk.begin(), chunk.end());
      break;
    }
    case 5: bytes.resize(at); break;
    case 6:  // a huge or negative length or number
      for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = i == 3 ? 0x7F : 0xFF;
      break;
    default: bytes[at] = static_cast<std::uint8_t>(random());
  }
}

class KesMutationTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterKesTestClasses();
    file = kes::TempFile("mutation");
  }
  void TearDown() override {
    std::filesystem::remove(kes::PathOf(file));
    FrameworkTest::TearDown();
  }
  std::vector<Bytes> Corpus() const {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KESTX_SAMPLES_DIR) / "kes"))
      if (entry.path().extension() == ".kes") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<Bytes> corpus;
    for (const auto& path : paths) {
      const std::u8string name = path.u8string();
      corpus.push_back(kes::ReadFile(std::string(reinterpret_cast<const char*>(name.data()), name.size())));
    }
    return corpus;
  }
  // Loads the bytes; false when the load failed with EBadStream.
  bool Load(const Bytes& bytes) {
    kes::WriteFile(file, bytes);
    TLoad load;
    load.FileName = file;
    bool loaded = true;
    try {
      load.DoIt();
      FreeLoaded(load.Output());
    } catch (const EBadStream&) {
      loaded = false;
    }
    RunMessages();
    return loaded;
  }

  std::string file;
};

TEST_F(KesMutationTest, SampleFilesLoadWhole) {
  const std::vector<Bytes> corpus = Corpus();
  ASSERT_GE(corpus.size(), 5u);
  for (const Bytes& bytes : corpus) EXPECT_TRUE(Load(bytes));
}

TEST_F(KesMutationTest, MutatedSampleFilesLoadOrFailWithEBadStream) {
  const std::vector<Bytes> corpus = Corpus();
  ASSERT_FALSE(corpus.empty());
  std::mt19937_64 random(20240611);
  constexpr int kRounds = 4000;
  int failed = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round) {
    Bytes bytes = corpus[static_cast<std::size_t>(round) % corpus.size()];
    const std::size_t mutations = 1 + random() % 4;
    for (std::size_t i = 0; i < mutations; ++i) Mutate(bytes, random);
    // Anything but EBadStream escaping fails the test here, with the round to replay.
    try {
      if (!Load(bytes)) ++failed;
    } catch (const std::exception& error) {
      ADD_FAILURE() << "round " << round << ": " << error.what();
    }
  }
  // Both outcomes occur, or the mutations are not reaching the reader.
  EXPECT_GT(failed, kRounds / 20);
  EXPECT_LT(failed, kRounds);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

}  // namespace
