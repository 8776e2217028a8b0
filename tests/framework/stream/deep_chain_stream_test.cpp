// Element streams of graphs nested far deeper than the stack could follow.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/framework/stream/kes_test_classes.h"

namespace {

constexpr int kDepth = kDeepChainDepth;

class DeepChainStreamTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterKesTestClasses();
    MainTool = &log;
    file = kes::TempFile(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    std::filesystem::remove(kes::PathOf(file));
    FrameworkTest::TearDown();
  }
  void Save(TElement* root, const std::string& to) {
    TSave save;
    save.FileName = to;
    save.SetInput(root);
    save.DoIt();
    RunMessages();
  }
  std::unique_ptr<TElement> Load() {
    TLoad load;
    load.FileName = file;
    load.DoIt();
    RunMessages();
    return std::unique_ptr<TElement>(load.Output());
  }

  TMessageLog log;
  std::string file;
};

TEST_F(DeepChainStreamTest, DeepChainIsSavedLoadedAndSavedAgainToTheSameBytes) {
  std::unique_ptr<TOwnerEntity> built = DeepChain<TOwnerEntity>();
  Save(built.get(), file);
  built.reset();
  const kes::Bytes saved = kes::ReadFile(file);

  std::unique_ptr<TElement> loaded = Load();
  ASSERT_NE(loaded, nullptr);
  int depth = 0;
  bool namesInOrder = true;
  for (auto* at = DynamicCast<TEntity>(loaded.get()); at;) {
    namesInOrder = namesInOrder && at->GetName() == "L" + std::to_string(depth);
    ++depth;
    at = at->IsEmpty() ? nullptr : DynamicCast<TEntity>(at->GetElement(0));
  }
  EXPECT_EQ(depth, kDepth);
  EXPECT_TRUE(namesInOrder);

  const std::string again = file + ".again";
  Save(loaded.get(), again);
  EXPECT_EQ(kes::ReadFile(again), saved);
  std::filesystem::remove(kes::PathOf(again));
}

TEST_F(DeepChainStreamTest, TruncatedDeepFileRaisesBadStreamAndFreesWhatItRead) {
  std::unique_ptr<TOwnerEntity> built = DeepChain<TOwnerEntity>();
  Save(built.get(), file);
  built.reset();
  const kes::Bytes whole = kes::ReadFile(file);
  struct Case {
    const char* name;
    std::size_t keep;
  };
  const Case cases[] = {
      {"without the body's end", whole.size() - 1},
      {"in the middle of the records", whole.size() / 2},
  };
  for (const Case& c : cases) {
    kes::WriteFile(file, kes::Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.keep)));
    TLoad load;
    load.FileName = file;
    EXPECT_THROW(load.DoIt(), EBadStream) << c.name;
    EXPECT_EQ(load.Output(), nullptr) << c.name;
    RunMessages();
  }
}

}  // namespace
