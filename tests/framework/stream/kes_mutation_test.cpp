// Damaged element streams: every mutation of the sample files either loads or
// fails with EBadStream; none may crash, hang or leak what it read.
#include <algorithm>
#include <chrono>
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

// A fixed generator, so that every run tries the same mutations everywhere.
class SplitMix {
 public:
  explicit SplitMix(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }

 private:
  std::uint64_t state_;
};

// Values that steer a reader into its edge cases: tags, list markers, signs, lengths.
const std::uint8_t kInteresting[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x0C,
                                     0x7F, 0x80, 0xFE, 0xFF, 0x10, 0x20, 0x40};

void Mutate(Bytes& bytes, SplitMix& random) {
  if (bytes.empty()) {
    bytes.push_back(static_cast<std::uint8_t>(random.Next()));
    return;
  }
  const std::size_t at = random.Below(bytes.size());
  switch (random.Below(8)) {
    case 0:
      bytes[at] ^= static_cast<std::uint8_t>(1u << random.Below(8));
      break;
    case 1:
      bytes[at] = kInteresting[random.Below(std::size(kInteresting))];
      break;
    case 2:
      bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   kInteresting[random.Below(std::size(kInteresting))]);
      break;
    case 3:
      bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                  bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + 1 + random.Below(8))));
      break;
    case 4: {  // repeat a chunk: duplicated records, lists and numbers
      const std::size_t length = 1 + random.Below(std::min<std::size_t>(32, bytes.size() - at));
      const Bytes chunk(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
      const std::size_t to = random.Below(bytes.size());
      bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(to), chunk.begin(), chunk.end());
      break;
    }
    case 5:
      bytes.resize(at);
      break;
    case 6: {  // a huge or negative length or number
      const std::uint8_t big[] = {0xFF, 0xFF, 0xFF, 0x7F};
      for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = big[i];
      break;
    }
    default:
      bytes[at] = static_cast<std::uint8_t>(random.Next());
      break;
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
  SplitMix random(20240611);
  constexpr int kRounds = 4000;
  int failed = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round) {
    Bytes bytes = corpus[static_cast<std::size_t>(round) % corpus.size()];
    const std::size_t mutations = 1 + random.Below(4);
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
