#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/framework/framework_fixture.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/framework/stream/kes_test_classes.h"
#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"

namespace {

using kes::Bytes;
using kes::I;
using kes::S;

class KesStreamTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    RegisterKesTestClasses();
    MainTool = &log;
    TTestLeaf::Alive = 0;
    file = kes::TempFile(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    std::filesystem::remove(kes::PathOf(file));
    FrameworkTest::TearDown();
  }

  void Save(TElement* root) {
    TSave save;
    save.FileName = file;
    save.SetInput(root);
    save.DoIt();
    RunMessages();
  }
  // The loaded root, owned by the caller.
  std::unique_ptr<TElement> Load() {
    TLoad load;
    load.FileName = file;
    load.DoIt();
    RunMessages();
    return std::unique_ptr<TElement>(load.Output());
  }
  std::unique_ptr<TElement> LoadBytes(const Bytes& bytes) {
    kes::WriteFile(file, bytes);
    return Load();
  }
  void SaveComponents(TElement* root) {
    TSaver saver;
    saver.SetName(file);
    saver.SetInput(root);
    saver.DoIt();
  }

  TMessageLog log;
  std::string file;
};

class TUnlisted : public TOwnerElement {
  KESTX_CLASS(TUnlisted)
};

TClass TUnlisted::StaticClass() {
  static const TClassInfo info = DescribeClass<TUnlisted>("TUnlisted", TOwnerElement::StaticClass(), "KesTest", {});
  return &info;
}

// The text of the E that run raises; a failure when it raises nothing.
template <class E, class Run>
std::string RaisedText(Run run) {
  try {
    run();
  } catch (const E& error) {
    return error.what();
  }
  ADD_FAILURE() << "nothing raised";
  return "";
}

TTestLeaf* Leaf(int value, const std::string& name = "") {
  auto* leaf = new TTestLeaf;
  leaf->Value = value;
  leaf->Ratio = 0;
  leaf->Label.clear();
  leaf->Flag = false;
  if (!name.empty()) leaf->SetName(name);
  return leaf;
}

TEST_F(KesStreamTest, WritesASmallGraphByteForByteWithClassRecordsBeforeFirstUse) {
  TOwnerEntity root;
  root.SetName("Les");
  TTestLeaf* a = Leaf(5);
  a->Ratio = 0.5;
  a->Label = "a";
  a->Flag = true;
  TTestLeaf* b = Leaf(0, "B");
  b->Letter = 'z';
  root.AddElement(a);
  root.AddElement(b);
  Save(&root);

  const Bytes expected = kes::Concat({
      {'K', 'E', 'S', '0'}, S("KARTIR32"), S("3.01 BETA"), S("No comment"), {0x01},
      // first element record of the walk (post-order): leaf a, after its class record
      I(-1), S("TTestLeaf"), I(0), {0x01},
      S("ID"), I(1), S("Name"), I(10), S("OwnersCount"), I(1), S("Size"), I(1), S("WholeSize"), I(1),
      S("Value"), I(1), S("Ratio"), I(4), S("Letter"), I(2), S("Label"), I(10), S("Flag"), I(3), S("Link"), I(7),
      {0x00},
      I(0), I(0), {0x01}, I(5), I(5), I(6), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}, I(7), I('q'), I(8), S("a"),
      I(9), I(1), {0x00}, I(0),
      // leaf b: a name of its own, every zero value left out, the character always written
      I(0), I(1), {0x01}, I(1), S("B"), I(7), I('z'), {0x00}, I(0),
      // the root last, with its child list
      I(-1), S("TOwnerEntity"), I(1), {0x01},
      S("ID"), I(1), S("Name"), I(10), S("OwnersCount"), I(1), S("Size"), I(1), S("WholeSize"), I(1),
      S("Count"), I(1), S("WholeCount"), I(1), S("NextElement"), I(7),
      S("ElementToRemove"), I(7), S("ElementToFree"), I(7), S("AddAllFrom"), I(7), S("LastIndex"), I(1), {0x00},
      I(1), I(2), {0x01}, I(1), S("Les"), {0x00}, I(1), {0x01}, I(0), I(1), {0x00},
      {0x00},
  });
  EXPECT_EQ(kes::ReadFile(file), expected);
  EXPECT_EQ(a->ID, 0);
  EXPECT_EQ(b->ID, 1);
  EXPECT_EQ(root.ID, 2);
  const std::vector<std::string> lines = log.Lines(msgLogText);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "TOwnerEntity property \"NextElement\" is Read or Write Only!");
  EXPECT_EQ(lines[3], "TOwnerEntity property \"AddAllFrom\" is Read or Write Only!");
}

TEST_F(KesStreamTest, ReadsTheSmallGraphBackWithEveryValueAndFreshNumbers) {
  TOwnerEntity root;
  root.SetName("Les");
  TTestLeaf* a = Leaf(5);
  a->Ratio = 0.1;
  a->Label = "Lesní správa";
  a->Flag = true;
  a->Letter = '\xE8';
  root.AddElement(a);
  root.AddElement(Leaf(-70000, "B"));
  Save(&root);

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = DynamicCast<TOwnerEntity>(loaded.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetName(), "Les");
  EXPECT_EQ(copy->ID, -1);
  ASSERT_EQ(copy->GetCount(), 2);
  auto* first = DynamicCast<TTestLeaf>(copy->GetElement(0));
  auto* second = DynamicCast<TTestLeaf>(copy->GetElement(1));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Value, 5);
  EXPECT_EQ(first->Ratio, 0.1);
  EXPECT_EQ(first->Label, "Lesní správa");
  EXPECT_TRUE(first->Flag);
  EXPECT_EQ(first->Letter, '\xE8');
  EXPECT_FALSE(first->HasName());
  EXPECT_EQ(first->ID, -1);
  EXPECT_EQ(second->GetName(), "B");
  EXPECT_EQ(second->Value, -70000);
  EXPECT_EQ(second->GetOwner(0), copy);
}

TEST_F(KesStreamTest, EveryIntegerTagBoundaryAndBothStringTagsSurviveTheRoundTrip) {
  const std::vector<int> values = {127, 128, -128, -129, 32767, 32768, -32768, -32769};
  TOwnerEntity root;
  for (int value : values) root.AddElement(Leaf(value));
  std::string label255(255, 'm');
  label255.replace(0, 2, "ř");  // 254 bytes of UTF-8 around one Windows-1250 byte: still 254 in the stream
  label255 += "x";
  const std::string label256 = std::string(255, 'n') + "ž";
  TTestLeaf* shortText = Leaf(1);
  shortText->Label = label255;
  TTestLeaf* longText = Leaf(2);
  longText->Label = label256;
  root.AddElement(shortText);
  root.AddElement(longText);
  Save(&root);

  const Bytes bytes = kes::ReadFile(file);
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(5), {0x02, 0x7F}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(5), {0x03, 0x80, 0x00}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(5), {0x02, 0x80}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(5), {0x03, 0x7F, 0xFF}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(5), {0x04, 0x00, 0x80, 0x00, 0x00}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(5), {0x04, 0xFF, 0x7F, 0xFF, 0xFF}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(8), {0x06, 0xFF}})));
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(8), {0x0C, 0x00, 0x01, 0x00, 0x00}})));

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = static_cast<TEntity*>(loaded.get());
  ASSERT_EQ(copy->GetCount(), static_cast<int>(values.size()) + 2);
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(static_cast<TTestLeaf*>(copy->GetElement(static_cast<int>(i)))->Value, values[i]);
  EXPECT_EQ(static_cast<TTestLeaf*>(copy->GetElement(8))->Label, label255);
  EXPECT_EQ(static_cast<TTestLeaf*>(copy->GetElement(9))->Label, label256);
}

TEST_F(KesStreamTest, OmittedZeroEmptyFalseAndNilValuesReadBackAsThoseValues) {
  TOwnerEntity root;
  TTestLeaf* zero = Leaf(0);
  zero->Letter = '\0';
  root.AddElement(zero);
  Save(&root);
  // Only the character is written: the element record is position 7, code 0.
  EXPECT_TRUE(kes::Contains(kes::ReadFile(file), kes::Concat({I(0), I(0), {0x01}, I(7), I(0), {0x00}, I(0)})));

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = static_cast<TTestLeaf*>(static_cast<TEntity*>(loaded.get())->GetElement(0));
  // The constructor sets 7, 1.5, "x", true: the file says zero, empty and false.
  EXPECT_EQ(copy->Value, 0);
  EXPECT_EQ(copy->Ratio, 0.0);
  EXPECT_EQ(copy->Label, "");
  EXPECT_FALSE(copy->Flag);
  EXPECT_EQ(copy->Letter, '\0');
  EXPECT_EQ(copy->Link(), nullptr);
}

TEST_F(KesStreamTest, SharedChildIsWrittenOnceAndLoadedWithBothOwners) {
  TOwnerEntity root;
  auto* left = new TOwnerEntity;
  auto* right = new TOwnerEntity;
  TTestLeaf* shared = Leaf(9, "spolecny");
  left->AddElement(shared);
  right->AddElement(shared);
  root.AddElement(left);
  root.AddElement(right);
  Save(&root);
  EXPECT_EQ(shared->ID, 0);
  EXPECT_EQ(left->ID, 1);
  EXPECT_EQ(right->ID, 2);
  EXPECT_EQ(root.ID, 3);
  // Both child lists hold number 0.
  const Bytes childList = kes::Concat({I(1), {0x01}, I(0), {0x00}});
  const Bytes bytes = kes::ReadFile(file);
  EXPECT_EQ(kes::Count(bytes, childList), 2);

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = static_cast<TEntity*>(loaded.get());
  auto* a = static_cast<TEntity*>(copy->GetElement(0));
  auto* b = static_cast<TEntity*>(copy->GetElement(1));
  ASSERT_EQ(a->GetCount(), 1);
  ASSERT_EQ(b->GetCount(), 1);
  EXPECT_EQ(a->GetElement(0), b->GetElement(0));
  EXPECT_EQ(a->GetElement(0)->GetOwnersCount(), 2);
  EXPECT_EQ(TTestLeaf::Alive, 2);  // the original and one copy
}

TEST_F(KesStreamTest, SavingWithoutInputWritesAValidEmptyStream) {
  Save(nullptr);
  EXPECT_EQ(kes::ReadFile(file),
            kes::Concat({{'K', 'E', 'S', '0'}, S("KARTIR32"), S("3.01 BETA"), S("No comment"), {0x01, 0x00}}));
  EXPECT_EQ(Load(), nullptr);
}

TEST_F(KesStreamTest, SavingAPlainElementGivesOneClassRecordAndOneRecordWithoutChildren) {
  TTestLeaf leaf;
  leaf.Label = "jedla";
  Save(&leaf);
  const Bytes bytes = kes::ReadFile(file);
  EXPECT_EQ(kes::Count(bytes, kes::Concat({I(-1), S("TTestLeaf")})), 1);
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), kes::Concat({{0x00}, I(0), {0x00}}));
  std::unique_ptr<TElement> loaded = Load();
  ASSERT_NE(DynamicCast<TTestLeaf>(loaded.get()), nullptr);
  EXPECT_EQ(static_cast<TTestLeaf*>(loaded.get())->Label, "jedla");
}

TEST_F(KesStreamTest, OutputIsTheRootEvenWhenItsPropertiesHoldInlineElements) {
  TTestLeaf outside;  // reachable only through the property
  outside.Value = 42;
  outside.SetName("venku");
  TTestLeaf root;
  root.Value = 1;
  root.SetLink(&outside);
  Save(&root);
  EXPECT_TRUE(kes::Contains(kes::ReadFile(file), kes::Concat({I(10), I(-2), {0x01}})));
  EXPECT_EQ(outside.ID, -1);

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Value, 1);
  auto* inlined = DynamicCast<TTestLeaf>(copy->Link());
  ASSERT_NE(inlined, nullptr);
  EXPECT_NE(inlined, &outside);
  EXPECT_EQ(inlined->Value, 42);
  EXPECT_EQ(inlined->GetName(), "venku");
  EXPECT_EQ(inlined->ID, -1);
  delete inlined;
}

TEST_F(KesStreamTest, ElementReachableOnlyThroughPropertiesIsWrittenInlineAtEveryReference) {
  TTestLeaf outside;
  outside.Value = 77;
  TOwnerEntity root;
  TTestLeaf* a = Leaf(1);
  TTestLeaf* b = Leaf(2);
  a->SetLink(&outside);
  b->SetLink(&outside);
  root.AddElement(a);
  root.AddElement(b);
  Save(&root);
  EXPECT_EQ(kes::Count(kes::ReadFile(file), kes::Concat({I(10), I(-2), {0x01}})), 2);

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = static_cast<TEntity*>(loaded.get());
  auto* first = static_cast<TTestLeaf*>(static_cast<TTestLeaf*>(copy->GetElement(0))->Link());
  auto* second = static_cast<TTestLeaf*>(static_cast<TTestLeaf*>(copy->GetElement(1))->Link());
  ASSERT_TRUE(first && second);
  EXPECT_NE(first, second);
  EXPECT_EQ(first->Value, 77);
  EXPECT_EQ(second->Value, 77);
  delete first;
  delete second;
}

TEST_F(KesStreamTest, ReferenceToAnElementWrittenLaterGoesInlineAndEachOccurrenceIsACopy) {
  TOwnerEntity root;
  TTestLeaf* first = Leaf(1, "prvni");
  TTestLeaf* later = Leaf(2, "pozdejsi");
  first->SetLink(later);  // later's record comes after first's
  TTestLeaf* third = Leaf(3, "treti");
  third->SetLink(later);  // by now later has its number
  root.AddElement(first);
  root.AddElement(later);
  root.AddElement(third);
  Save(&root);
  const Bytes bytes = kes::ReadFile(file);
  EXPECT_EQ(kes::Count(bytes, kes::Concat({I(10), I(-2)})), 1);
  // first 0, the inline copy of later used up 1, later 2, third 3 referring to 2
  EXPECT_EQ(later->ID, 2);
  EXPECT_TRUE(kes::Contains(bytes, kes::Concat({I(10), I(2)})));

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = static_cast<TEntity*>(loaded.get());
  ASSERT_EQ(copy->GetCount(), 3);
  auto* firstCopy = static_cast<TTestLeaf*>(copy->GetElement(0));
  auto* laterCopy = static_cast<TTestLeaf*>(copy->GetElement(1));
  auto* thirdCopy = static_cast<TTestLeaf*>(copy->GetElement(2));
  EXPECT_EQ(thirdCopy->Link(), laterCopy);
  ASSERT_NE(firstCopy->Link(), nullptr);
  EXPECT_NE(firstCopy->Link(), laterCopy);
  EXPECT_EQ(firstCopy->Link()->GetName(), "pozdejsi");
  delete firstCopy->Link();
}

TEST_F(KesStreamTest, ReferenceBackIntoAnElementStillBeingWrittenInlineIsLeftOutAndLogged) {
  TOwnerEntity outside;  // written inline; its child refers back to it
  TTestLeaf* inner = Leaf(2, "vnitrni");
  inner->SetLink(&outside);
  outside.AddElement(inner);
  TTestLeaf root;
  root.SetLink(&outside);
  Save(&root);
  const std::vector<std::string> lines = log.Lines(msgLogText);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "TTestLeaf property \"Link\" refers to an element being written!"),
            lines.end());

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(copy, nullptr);
  auto* outsideCopy = DynamicCast<TOwnerEntity>(copy->Link());
  ASSERT_NE(outsideCopy, nullptr);
  ASSERT_EQ(outsideCopy->GetCount(), 1);
  auto* innerCopy = static_cast<TTestLeaf*>(outsideCopy->GetElement(0));
  EXPECT_EQ(innerCopy->GetName(), "vnitrni");
  EXPECT_EQ(innerCopy->Link(), nullptr);
  delete outsideCopy;
}

TEST_F(KesStreamTest, InlineElementCannotTakeTheElementWhosePropertyHoldsIt) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Link"), I(7), {0x00},
      I(-1), S("TOwnerEntity"), I(1), {0x01}, {0x00},
      I(0), I(0), {0x01}, I(0), I(-2), {0x01}, I(1), I(1), {0x01}, {0x00}, I(1), {0x01}, I(0), {0x00}, {0x00},
      {0x00}, I(0),
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* leaf = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(leaf, nullptr);
  auto* inlined = DynamicCast<TOwnerEntity>(leaf->Link());
  ASSERT_NE(inlined, nullptr);
  EXPECT_TRUE(inlined->IsEmpty());
  EXPECT_EQ(leaf->GetOwnersCount(), 0);
  const std::vector<std::string> expected = {"TOwnerEntity child 0 not found!"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
  delete inlined;
}

TEST_F(KesStreamTest, ProgressMessagesOfSavingAndLoadingTwelveHundredElementsComeInOrder) {
  TOwnerEntity root;
  for (int i = 0; i < 1199; ++i) root.AddElement(Leaf(i));
  Save(&root);
  std::vector<std::pair<int, std::string>> progress;
  for (const PostedMessage& m : log.Messages)
    if (m.Code != msgLogText)
      progress.emplace_back(m.Code, m.Code == msgProgress ? std::to_string(m.Progress) : m.Text);
  const std::vector<std::pair<int, std::string>> expected = {
      {msgProgressStart, "Ukládání modelu do souboru " + file + " -celkem 1199 Elementů"},
      {msgProgress, "500"},
      {msgProgressText, "Uloženo 500 elementů"},
      {msgProgress, "1000"},
      {msgProgressText, "Uloženo 1000 elementů"},
      {msgProgressEnd, ""},
  };
  EXPECT_EQ(progress, expected);
  EXPECT_EQ(log.Messages.front().Max, 1199);

  log.Messages.clear();
  std::unique_ptr<TElement> loaded = Load();
  EXPECT_EQ(static_cast<TEntity*>(loaded.get())->GetCount(), 1199);
  ASSERT_GE(log.Messages.size(), 2u);
  EXPECT_EQ(log.Messages.front().Code, msgProgressStart);
  EXPECT_EQ(log.Messages.front().Text, "Načítání modelu ze souboru " + file);
  EXPECT_EQ(log.Messages.front().Max, static_cast<int>(std::filesystem::file_size(kes::PathOf(file))));
  EXPECT_EQ(log.Messages.back().Code, msgProgressEnd);
}

TEST_F(KesStreamTest, LoadingReportsProgressAtStreamPositionsThatAreMultiplesOf200) {
  // Enough records to move the stream past 102400 bytes, the first buffer end that is a multiple of 200.
  TOwnerEntity root;
  for (int i = 0; i < 4000; ++i) root.AddElement(Leaf(i, std::string(20, 'a')));
  Save(&root);
  log.Messages.clear();
  std::unique_ptr<TElement> loaded = Load();
  std::vector<std::pair<int, std::string>> steps;
  for (const PostedMessage& m : log.Messages)
    if (m.Code == msgProgress || m.Code == msgProgressText)
      steps.emplace_back(m.Code, m.Code == msgProgress ? std::to_string(m.Progress) : m.Text);
  const std::string size = std::to_string(std::filesystem::file_size(kes::PathOf(file)));
  ASSERT_GE(steps.size(), 2u);
  EXPECT_EQ(steps[0], std::make_pair(static_cast<int>(msgProgress), std::string("102400")));
  EXPECT_EQ(steps[1], std::make_pair(static_cast<int>(msgProgressText), "102400 bytů z celkových " + size));
}

TEST_F(KesStreamTest, ClassEvolutionMatchesByNameLogsLostAndRetypedPropertiesAndReadsOn) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01},
      S("Name"), I(10), S("VALUE"), I(4), S("Gone"), I(1), S("label"), I(5), S("Flag"), I(3), {0x00},
      I(0), I(0), {0x01}, I(0), S("E"), I(1), {0x05, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0x40}, I(2), I(99), I(3),
      S("lbl"), {0x00}, I(0),
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* leaf = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->GetName(), "E");
  EXPECT_EQ(leaf->Value, 7);        // retyped: dropped, constructor's value kept
  EXPECT_EQ(leaf->Label, "lbl");    // short string into a long string, name in another case
  EXPECT_FALSE(leaf->Flag);         // listed, left out: false
  EXPECT_EQ(leaf->Ratio, 1.5);      // gained since: constructor's value
  EXPECT_EQ(leaf->Letter, 'q');
  const std::vector<std::string> expected = {"TTestLeaf property \"VALUE\" type error: 4",
                                             "TTestLeaf lost property: Gone"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
}

TEST_F(KesStreamTest, UnknownClassIsReadAsOwnerEntityKeepingNameAndChildren) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), {0x00},
      I(0), I(0), {0x01}, I(0), I(3), {0x00}, I(0),
      I(-1), S("TNeznama"), I(1), {0x01}, S("Name"), I(10), S("Hloubka"), I(1), {0x00},
      I(1), I(1), {0x01}, I(0), S("Porost"), I(1), I(12), {0x00}, I(1), {0x01}, I(0), {0x00},
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->ClassType(), TOwnerEntity::StaticClass());
  EXPECT_EQ(loaded->GetName(), "Porost");
  auto* entity = static_cast<TEntity*>(loaded.get());
  ASSERT_EQ(entity->GetCount(), 1);
  EXPECT_EQ(static_cast<TTestLeaf*>(entity->GetElement(0))->Value, 3);
  const std::vector<std::string> expected = {"TNeznama - Unknown class !", "TNeznama ? lost property: Hloubka"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
}

TEST_F(KesStreamTest, WritingAnUnregisteredClassRegistersItAndLogsIt) {
  TUnlisted element;
  Save(&element);
  const std::vector<std::string> lines = log.Lines(msgLogText);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "TUnlisted - Unknown class !");
  EXPECT_EQ(FindKestuClass("TUnlisted"), TUnlisted::StaticClass());
}

TEST_F(KesStreamTest, BadRecordIsSkippedByItsTagsAndLoggedWithoutTouchingItsNeighbours) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), S("Link"), I(7), {0x00},
      I(0), I(0), {0x01}, I(0), I(11), {0x00}, I(0),
      // class number past the class list, with a nested inline list to step over
      I(9), I(1), {0x01}, I(0), I(12), I(1), I(-2), {0x01, 0x01, 0x00, 0x00}, {0x00}, I(1), {0x01}, I(0), {0x00},
      // unknown reference: the record is dropped, the previous element keeps its value
      I(0), I(2), {0x01}, I(0), I(13), I(1), I(77), {0x00}, I(0),
      // numbered 5: children and references use the record's own number
      I(0), I(5), {0x01}, I(0), I(14), I(1), I(0), {0x00}, I(0),
      I(-1), S("TOwnerEntity"), I(1), {0x01}, {0x00},
      I(1), I(6), {0x01}, {0x00}, I(1), {0x01}, I(0), I(5), I(2), {0x00},
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* root = DynamicCast<TOwnerEntity>(loaded.get());
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->GetCount(), 2);
  auto* first = static_cast<TTestLeaf*>(root->GetElement(0));
  auto* fifth = static_cast<TTestLeaf*>(root->GetElement(1));
  EXPECT_EQ(first->Value, 11);
  EXPECT_EQ(fifth->Value, 14);
  EXPECT_EQ(fifth->Link(), first);
  EXPECT_EQ(TTestLeaf::Alive, 2);
  const std::vector<std::string> expected = {"Element record skipped: Invalid class number 9",
                                             "Element record skipped: Unknown element number 77",
                                             "TOwnerEntity child 2 not found!"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
}

TEST_F(KesStreamTest, ElementNumbersNeedNotFollowTheRecordsAndStayUniqueAcrossSkippedRecords) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), S("Link"), I(7), {0x00},
      I(0), I(1), {0x01}, I(0), I(10), {0x00}, I(0),
      I(0), I(0), {0x01}, I(0), I(20), I(1), I(1), {0x00}, I(0),
      I(0), I(0), {0x01}, I(0), I(21), {0x00}, I(0),
      I(0), I(2), {0x01}, I(0), I(30), {0x00}, I(0),
      I(0), I(2), {0x01}, I(0), I(31), {0x00}, I(0),
      // a skipped record gives its number back
      I(0), I(5), {0x01}, I(0), I(40), I(1), I(77), {0x00}, I(0),
      I(0), I(5), {0x01}, I(0), I(50), {0x00}, I(0),
      I(-1), S("TOwnerEntity"), I(1), {0x01}, {0x00},
      I(1), I(9), {0x01}, {0x00}, I(1), {0x01}, I(0), I(1), I(2), I(5), {0x00},
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* root = DynamicCast<TOwnerEntity>(loaded.get());
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(root->GetCount(), 4);
  std::vector<int> values;
  for (int i = 0; i < root->GetCount(); ++i) values.push_back(static_cast<TTestLeaf*>(root->GetElement(i))->Value);
  EXPECT_EQ(values, (std::vector<int>{20, 10, 30, 50}));
  EXPECT_EQ(static_cast<TTestLeaf*>(root->GetElement(0))->Link(), root->GetElement(1));
  EXPECT_EQ(TTestLeaf::Alive, 4);
  const std::vector<std::string> expected = {"Element record skipped: Duplicate element number 0",
                                             "Element record skipped: Duplicate element number 2",
                                             "Element record skipped: Unknown element number 77"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
}

TEST_F(KesStreamTest, OnlyEntitiesTakeChildrenAndReferencesMustFitThePropertyClass) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), {0x00},
      I(0), I(0), {0x01}, I(0), I(1), {0x00}, I(0),
      I(0), I(1), {0x01}, I(0), I(2), {0x00}, I(1), {0x01}, I(0), {0x00},
      I(-1), S("TTestBox"), I(1), {0x01}, S("Typed"), I(7), {0x00},
      I(1), I(2), {0x01}, I(0), I(0), {0x00}, I(0),
      I(1), I(3), {0x01}, I(0), I(2), {0x00}, I(1), {0x01}, I(0), I(1), I(2), {0x00},
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* box = DynamicCast<TTestBox>(loaded.get());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetCount(), 3);
  EXPECT_EQ(box->Typed(), nullptr);
  const std::vector<std::string> expected = {"TTestLeaf is not Entity, child 0 skipped!",
                                             "TTestBox property \"Typed\" cannot hold TTestBox!"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
}

TEST_F(KesStreamTest, ChildListCannotReachForwardOrIntoItself) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TOwnerEntity"), I(0), {0x01}, {0x00},
      I(0), I(0), {0x01}, {0x00}, I(1), {0x01}, I(0), I(1), {0x00},
      I(0), I(1), {0x01}, {0x00}, I(1), {0x01}, I(0), {0x00},
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* root = static_cast<TEntity*>(loaded.get());
  ASSERT_EQ(root->GetCount(), 1);
  EXPECT_TRUE(static_cast<TEntity*>(root->GetElement(0))->IsEmpty());
  const std::vector<std::string> expected = {"TOwnerEntity child 0 not found!", "TOwnerEntity child 1 not found!"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
}

TEST_F(KesStreamTest, ElementsReadBeforeAFatalErrorAreFreedAndTheErrorIsClear) {
  const Bytes bytes = kes::Concat({kes::Header(),
                                   I(-1), S("TTestLeaf"), I(0), {0x01}, {0x00},
                                   I(0), I(0), {0x01}, {0x00}, I(0),
                                   I(0), I(1), {0x01}, {0x00}, I(0),
                                   // a long string claiming 2 GB where a record should begin
                                   {0x0C, 0xFF, 0xFF, 0xFF, 0x7F}});
  kes::WriteFile(file, bytes);
  TLoad load;
  load.FileName = file;
  EXPECT_EQ(RaisedText<EBadStream>([&] { load.DoIt(); }), "Chyba čtení souboru " + file + ": Invalid property value");
  EXPECT_EQ(TTestLeaf::Alive, 0);
  EXPECT_EQ(load.Output(), nullptr);
  RunMessages();
  ASSERT_FALSE(log.Messages.empty());
  EXPECT_EQ(log.Messages.back().Code, msgProgressEnd);
}

TEST_F(KesStreamTest, InlineElementsNestedBeyondTheLimitSkipOneRecordWithoutExhaustingTheStack) {
  constexpr int depth = 100000;
  Bytes bytes = kes::Concat({kes::Header(), I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), S("Link"), I(7),
                             {0x00}, I(0), I(0), {0x01}, I(0), I(5), I(1), I(-2), {0x01}});
  for (int i = 1; i <= depth; ++i) kes::Append(bytes, kes::Concat({I(0), I(i), {0x01}, I(1), I(-2), {0x01}}));
  bytes.push_back(0x00);  // the innermost inline list is empty
  for (int i = 1; i <= depth; ++i) kes::Append(bytes, kes::Concat({{0x00}, I(0), {0x00}}));
  kes::Append(bytes, kes::Concat({{0x00}, I(0), {0x00}}));
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* leaf = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->Value, 5);
  // The chain holds what the limit allows; the record beyond it is skipped whole.
  std::vector<TElement*> chain;
  for (auto* link = DynamicCast<TTestLeaf>(leaf->Link()); link; link = DynamicCast<TTestLeaf>(link->Link()))
    chain.push_back(link);
  EXPECT_EQ(chain.size(), KesMaxInlineDepth - 1);
  EXPECT_EQ(TTestLeaf::Alive, static_cast<int>(KesMaxInlineDepth));
  const std::vector<std::string> expected = {"Element record skipped: Inline elements nested too deep"};
  EXPECT_EQ(log.Lines(msgLogText), expected);
  for (TElement* link : chain) delete link;
}

TEST_F(KesStreamTest, PositionGivenTwiceTakesItsLastValueAndTheDroppedInlineElementIsFreed) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), S("Link"), I(7), {0x00},
      I(0), I(0), {0x01}, I(0), I(1),
      I(1), I(-2), {0x01}, I(0), I(1), {0x01}, I(0), I(10), {0x00}, I(0), {0x00},
      I(1), I(-2), {0x01}, I(0), I(2), {0x01}, I(0), I(20), {0x00}, I(0), {0x00},
      {0x00}, I(0),
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* leaf = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(leaf, nullptr);
  auto* link = DynamicCast<TTestLeaf>(leaf->Link());
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Value, 20);
  EXPECT_EQ(TTestLeaf::Alive, 2);
  delete link;
}

TEST_F(KesStreamTest, PositionsOutOfOrderAreSortedAndTheLastOfARepeatWinsWhereverItStands) {
  const Bytes bytes = kes::Stream({
      I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), S("Letter"), I(2), S("Label"), I(10), {0x00},
      I(0), I(0), {0x01}, I(1), I('a'), I(0), I(5), I(1), I('b'), I(0), I(9), I(1), I('c'), {0x00}, I(0),
  });
  std::unique_ptr<TElement> loaded = LoadBytes(bytes);
  auto* leaf = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->Value, 9);
  EXPECT_EQ(leaf->Letter, 'c');
  EXPECT_EQ(leaf->Label, "");  // omitted, so empty, not the constructor's "x"
}

TEST_F(KesStreamTest, ErrorTextsForEmptyNameMissingFileAndUnknownFileType) {
  TLoad load;
  const auto loadFile = [&load] { load.DoIt(); };
  load.FileName = "";
  EXPECT_EQ(RaisedText<EBadStreamName>(loadFile), "Chybné jméno souboru :  !");
  load.FileName = file + ".chybi";
  EXPECT_EQ(RaisedText<EBadStream>(loadFile), "Soubor " + file + ".chybi neexistuje!");
  load.FileName = file;
  for (const Bytes& content : {Bytes{'K', 'E', 'S', '1', 0x01, 0x00}, Bytes{'K', 'E'}, Bytes{}}) {
    kes::WriteFile(file, content);
    EXPECT_EQ(RaisedText<EBadStream>(loadFile), file + " ... neznámý typ souboru");
  }
  EXPECT_EQ(load.Output(), nullptr);
}

TEST_F(KesStreamTest, SaveAndLoadAnswerFileNameForEveryPositionalParameter) {
  TClass saveClass = FindKestuClass("TSave");
  TClass loadClass = FindKestuClass("tload");
  ASSERT_NE(saveClass, nullptr);
  ASSERT_NE(loadClass, nullptr);
  EXPECT_EQ(FindKestuClass("TKestuSaver"), nullptr);
  EXPECT_EQ(FindKestuClass("TStreamLoader"), nullptr);
  std::unique_ptr<TElement> save(NewElement(saveClass));
  std::unique_ptr<TLoad> load(TKestuLoader::CreateForFile<TLoad>("a.kes"));
  EXPECT_EQ(load->FileName, "a.kes");
  std::string name;
  for (int index : {0, 1, 7}) {
    static_cast<TTool*>(save.get())->GetParameterName(index, name);
    EXPECT_EQ(name, "FileName");
    load->GetParameterName(index, name);
    EXPECT_EQ(name, "FileName");
  }
  static_cast<TTool*>(save.get())->SetParameterByIndex(0, "b.kes");
  EXPECT_EQ(static_cast<TSave*>(save.get())->FileName, "b.kes");
}

// ---------------------------------------------------------------- component stream

TEST_F(KesStreamTest, ComponentStreamRecordsAreClassNameNumberChildrenAndName) {
  TNameEntity root;
  root.SetName("R");
  auto* child = new TNameElement;
  child->SetName("C");
  root.AddElement(child);
  SaveComponents(&root);
  const Bytes expected = kes::Concat({{'T', 'P', 'F', '0', 0x01},
                                      S("TNameElement"), I(0), S("C"),
                                      S("TNameEntity"), I(1), {0x01}, I(0), {0x00}, S("R"),
                                      {0x00}});
  EXPECT_EQ(kes::ReadFile(file), expected);

  std::unique_ptr<TElement> loaded = Load();
  auto* copy = DynamicCast<TNameEntity>(loaded.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetName(), "R");
  EXPECT_EQ(copy->ID, 1);
  ASSERT_EQ(copy->GetCount(), 1);
  EXPECT_EQ(copy->GetElement(0)->GetName(), "C");
}

TEST_F(KesStreamTest, ComponentSaverWritesAnUnstampedGraphWholeAndSharedChildrenOnce) {
  TEntity root;
  auto* a = new TEntity;
  auto* b = new TEntity;
  auto* shared = new TOwnerElement;
  shared->SetName("sdileny");
  a->AddElement(shared);
  b->AddElement(shared);
  root.AddElement(a);
  root.AddElement(b);
  NewVisitStamp();  // a stamp below -1 that the graph does not carry
  SaveComponents(&root);
  EXPECT_EQ(kes::Count(kes::ReadFile(file), S("sdileny")), 1);
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  std::unique_ptr<TElement> loaded(loader.Output());
  auto* copy = DynamicCast<TEntity>(loaded.get());
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->GetCount(), 2);
  EXPECT_EQ(static_cast<TEntity*>(copy->GetElement(0))->GetElement(0),
            static_cast<TEntity*>(copy->GetElement(1))->GetElement(0));
}

TEST_F(KesStreamTest, ComponentLoaderStopsAtAnUnregisteredClassAndFreesWhatItRead) {
  kes::WriteFile(file, kes::Concat({{'T', 'P', 'F', '0', 0x01},
                                    S("TTestLeaf"), I(0), S("a"),
                                    S("TNeznama"), I(1), S("b"),
                                    {0x00}}));
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  EXPECT_EQ(loader.Output(), nullptr);
  EXPECT_EQ(TTestLeaf::Alive, 0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, "Neregistrovaný element: TNeznama");
  EXPECT_EQ(dialogs.Messages[0].Buttons, static_cast<unsigned>(platform::mbOK));

  loader.SetName("");
  EXPECT_EQ(RaisedText<EBadStreamName>([&] { loader.DoIt(); }), "Chybné jméno streamu :  !");
}

TEST_F(KesStreamTest, ComponentLoaderRejectsChildNumbersItHasNotRead) {
  kes::WriteFile(file, kes::Concat({{'T', 'P', 'F', '0', 0x01},
                                    S("TOwnerElement"), I(0), S("a"),
                                    S("TEntity"), I(1), {0x01}, I(0), I(1), {0x00},
                                    {0x00}}));
  TLoad load;
  load.FileName = file;
  EXPECT_THROW(load.DoIt(), EBadStream);
  EXPECT_EQ(load.Output(), nullptr);
}

}  // namespace
