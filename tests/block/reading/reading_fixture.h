#pragma once
#include <fstream>

#include "block/reading/block_reader.h"
#include "tests/block/block_fixture.h"

// The files of one block as bytes, record by record; Flush writes them.
class BlockFiles {
 public:
  explicit BlockFiles(std::string dir) : dir_(std::move(dir)) {}

  // Puts a record at index; records before it that were never put are zero.
  template <class R>
  BlockFiles& Put(const char* file, std::int64_t index, const R& record) {
    return PutBytes(file, index, record.Encode());
  }
  template <std::size_t N>
  BlockFiles& PutBytes(const char* file, std::int64_t index, const std::array<std::uint8_t, N>& bytes) {
    Bytes& content = files_[file];
    const auto at = static_cast<std::size_t>(index) * N;
    if (content.size() < at + N) content.resize(at + N, 0);
    std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(at));
    return *this;
  }
  // Appends vertices to TN.CRD; answers the index of the first.
  std::int32_t Coords(const std::vector<std::pair<double, double>>& points) {
    Bytes& content = files_[kCoordFileName];
    const auto first = static_cast<std::int32_t>(content.size() / TCoordRecord::Size);
    for (const auto& [x, y] : points) {
      const auto bytes = TCoordRecord{x, y}.Encode();
      content.insert(content.end(), bytes.begin(), bytes.end());
    }
    return first;
  }
  // Raw bytes of a whole file (a text file's Windows-1250 lines included).
  BlockFiles& Raw(const char* file, Bytes bytes) {
    files_[file] = std::move(bytes);
    return *this;
  }
  Bytes& Content(const char* file) { return files_[file]; }
  void Flush() const {
    for (const auto& [name, bytes] : files_) {
      std::ofstream out(dir_ + "/" + name, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }

 private:
  std::string dir_;
  std::map<std::string, Bytes> files_;
};

// A live line record over the vertex range, with its box from the stored
// corners given.
inline TLineRecord LineRecord(std::int32_t number, std::int32_t first, std::int32_t last, TBlockBox box = {}) {
  return {.Number = number, .FirstVertex = first, .LastVertex = last, .Box = box};
}

// A square ring line of side size from (x0, x0) at record index, closing on
// itself, with area left on its left.
inline void SquareLine(BlockFiles& files, std::int32_t index, double x0, double size, std::int32_t left,
                       std::int32_t right = 0) {
  const double x1 = x0 + size;
  const std::int32_t first = files.Coords({{x0, x0}, {x0, x1}, {x1, x1}, {x1, x0}, {x0, x0}});
  files.Put(kLineFileName, index,
            TLineRecord{.Number = index, .FirstVertex = first, .LastVertex = first + 4,
                        .Links = {TLineLink{}, {index, 1}, {index, 0}, {}}, .LeftArea = left, .RightArea = right,
                        .Box = {9, 9, 0, 0}});
}

// Area 3 between line 3 (walked forward) and line 4 (walked backward).
inline void TwoLineArea(BlockFiles& files) {
  const std::int32_t p = files.Coords({{20, 0}, {20, 5}, {25, 5}});
  const std::int32_t q = files.Coords({{20, 0}, {25, 0}, {25, 5}});
  files.Put(kLineFileName, 3,
            TLineRecord{.Number = 3, .FirstVertex = p, .LastVertex = p + 2, .Links = {TLineLink{}, {4, 0}, {}, {}},
                        .LeftArea = 3, .Box = {25, 5, 20, 0}});
  files.Put(kLineFileName, 4,
            TLineRecord{.Number = 4, .FirstVertex = q, .LastVertex = q + 2, .Links = {TLineLink{}, {}, {3, 1}, {}},
                        .RightArea = 3, .Box = {25, 5, 20, 0}});
}

// A live area record (of area 1).
inline TAreaRecord AreaRecord(std::int32_t number, std::int32_t firstLine, std::int32_t parent,
                              std::pair<double, double> label) {
  return {.Number = number, .FirstLine = firstLine, .Parent = parent, .LabelX = label.first, .LabelY = label.second,
          .Box = {}, .Area = 1};
}

// The block fixture with a coordinate world (the national grid as system 1),
// a main tool that records log lines, and a block folder whose files are
// written when a reader is made.
class ReadingTest : public BlockTest {
 protected:
  void SetUp() override {
    BlockTest::SetUp();
    std::filesystem::create_directories(dir);
    world = new TWCSWorld;
    SetWorld(world);
    MainTool = &log;
  }
  void TearDown() override {
    RunMessages();
    SetWorld(nullptr);
    delete world;
    BlockTest::TearDown();
  }
  TWCS* Grid() { return world->GetWCS(TJTSK::Kind); }
  std::vector<std::string> LogLines() {
    RunMessages();
    return log.Lines;
  }
  std::unique_ptr<TLumaRBlokReader> Reader() {
    files.Flush();
    auto reader = std::make_unique<TLumaRBlokReader>();
    reader->Create(dir);
    return reader;
  }
  template <class L>
  static std::unique_ptr<L> Layer(L* list) {
    return std::unique_ptr<L>(list);
  }
  template <class E>
  static E* Child(const TEntity& list, std::size_t i) {
    return static_cast<E*>(list.Children().at(i));
  }

  TWCSWorld* world = nullptr;
  TLogLines log;
  const std::string dir = folder.Path() + "/LES.BLK";
  BlockFiles files{dir};
};
