#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include "framework/core/class_registry.h"
#include "framework/stream/kes_loader.h"
#include "framework/stream/kes_saver.h"
#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"
#include "tests/framework/stream/kes_stream_files.h"
#include "tests/platform/file_size_limit.h"
#include "tests/platform/temp_folder.h"

namespace {

// A leaf whose constructor sets non-zero values, so that a value the writer
// omitted shows whether the reader restored it.
class TTestLeaf : public TOwnerElement {
  KESTX_CLASS(TTestLeaf)
 public:
  TTestLeaf() { ++Alive; }
  ~TTestLeaf() override { --Alive; }
  std::int32_t Value = 7;
  double Ratio = 1.5;
  char Letter = 'q';
  std::string Label = "x";
  bool Flag = true;
  TElement* Link() const { return link_.Get(); }
  void SetLink(TElement* element) { link_.Set(element); }
  static inline int Alive = 0;

 private:
  TElementLink link_;
};

// An entity that refers to a leaf through Typed.
class TTestBox : public TOwnerEntity {
  KESTX_CLASS(TTestBox)
 public:
  TTestLeaf* Typed() const { return static_cast<TTestLeaf*>(typed_.Get()); }
  void SetTyped(TTestLeaf* leaf) { typed_.Set(leaf); }

 private:
  TElementLink typed_;
};

class TUnlisted : public TOwnerElement {
  KESTX_CLASS(TUnlisted)
};

}  // namespace

TClass TTestLeaf::StaticClass() {
  static const TClassInfo info = DescribeClass<TTestLeaf>(
      "TTestLeaf", TOwnerElement::StaticClass(), "KesTest",
      {FieldProp("Value", &TTestLeaf::Value), FieldProp("Ratio", &TTestLeaf::Ratio),
       FieldProp("Letter", &TTestLeaf::Letter), FieldProp("Label", &TTestLeaf::Label),
       FieldProp("Flag", &TTestLeaf::Flag), ReadWriteProp("Link", &TTestLeaf::Link, &TTestLeaf::SetLink)});
  return &info;
}

TClass TTestBox::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TTestBox>("TTestBox", TOwnerEntity::StaticClass(), "KesTest",
                              {ReadWriteProp("Typed", &TTestBox::Typed, &TTestBox::SetTyped)});
  return &info;
}

TClass TUnlisted::StaticClass() {
  static const TClassInfo info = DescribeClass<TUnlisted>("TUnlisted", TOwnerElement::StaticClass(), "KesTest", {});
  return &info;
}

namespace {

std::string Node(TElement* element, TEntity* top);

// A reference: the index of a child of the top entity, or the element itself.
std::string Ref(TElement* target, TEntity* top) {
  if (top)
    for (int i = 0; i < top->GetCount(); ++i)
      if (top->GetElement(i) == target) return "#" + std::to_string(i);
  return "(" + Node(target, top) + ")";
}

std::string Node(TElement* element, TEntity* top) {
  std::ostringstream text;
  if (auto* leaf = DynamicCast<TTestLeaf>(element)) {
    if (leaf->HasName()) text << leaf->GetName() << ":";
    text << "L(" << leaf->Value << " " << leaf->Ratio << " " << leaf->Letter << " " << leaf->Label << " "
         << leaf->Flag << ")";
    if (leaf->Link()) text << "->" << Ref(leaf->Link(), top);
    return text.str();
  }
  text << element->ClassName();
  if (element->HasName()) text << " " << element->GetName();
  if (auto* entity = DynamicCast<TEntity>(element)) {
    std::vector<std::string> children;
    for (TElement* child : entity->Children()) children.push_back(Node(child, top));
    text << "[" << Join(children) << "]";
  }
  if (auto* box = DynamicCast<TTestBox>(element); box && box->Typed()) text << "->" << Ref(box->Typed(), top);
  return text.str();
}

// The loaded graph as text, for one comparison per graph: leaves as
// [name:]L(value ratio letter label flag), other elements as class [name]
// [children]; references as ->#i (a child of the root) or ->(the element).
std::string DumpGraph(TElement* root) { return root ? Node(root, DynamicCast<TEntity>(root)) : "nil"; }

// Frees a loaded graph with the inline elements its properties took without
// owning them (the reader leaves those alive, as the file made them).
void FreeLoaded(TElement* root) {
  std::vector<TElementLink> reached;
  std::set<TElement*> seen;
  std::vector<TElement*> work{root};
  while (!work.empty()) {
    TElement* element = work.back();
    work.pop_back();
    if (!element || !seen.insert(element).second) continue;
    if (auto* entity = DynamicCast<TEntity>(element))
      for (TElement* child : entity->Children()) work.push_back(child);
    for (const TPropInfo* info : element->ClassType()->Props()) {
      if (info->Kind != tkClass || !info->GetObj) continue;
      // Only elements a load made: they are unnumbered.
      TElement* target = DynamicCast<TElement>(info->GetObj(*element));
      if (target && target->ID == -1) {
        reached.emplace_back(target);
        work.push_back(target);
      }
    }
  }
  delete root;
  for (const TElementLink& link : reached) delete link.Get();  // nil once its holder freed it
}
struct FreeGraph {
  void operator()(TElement* root) const { FreeLoaded(root); }
};
using Graph = std::unique_ptr<TElement, FreeGraph>;

using kes::Bytes;
using kes::I;
using kes::S;
using Lines = std::vector<std::string>;

class KesStreamTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    if (!FindKestuClass("TTestLeaf")) RegisterKestuClass(TTestLeaf::StaticClass());
    if (!FindKestuClass("TTestBox")) RegisterKestuClass(TTestBox::StaticClass());
    MainTool = &log;
    TTestLeaf::Alive = 0;
  }
  void Save(TElement* root) {
    TSave save;
    save.FileName = file;
    save.SetInput(root);
    save.DoIt();
    RunMessages();
  }
  Graph Load() {
    TLoad load;
    load.FileName = file;
    load.DoIt();
    RunMessages();
    return Graph(load.Output());
  }
  Graph LoadBytes(const Bytes& bytes) {
    kes::WriteFile(file, bytes);
    return Load();
  }
  // The log lines, or the progress messages: each step's number or its text.
  Lines Logged(bool progress = false) const {
    Lines lines;
    for (const TRecorder::Entry& m : log.Messages)
      if ((m.Code == msgLogText) != progress)
        lines.push_back(m.Code == msgProgress ? std::to_string(m.Progress) : m.Text);
    return lines;
  }

  TRecorder log;
  TempFolder folder;
  const std::string file = folder.File("model.kes");
};

// A leaf with the values given: zero and empty unless said, the character 'q'.
TTestLeaf* Leaf(int value, const std::string& name = "", TElement* link = nullptr, double ratio = 0,
                const std::string& label = "", bool flag = false, char letter = 'q') {
  auto* leaf = Named<TTestLeaf>(name);
  std::tie(leaf->Value, leaf->Ratio, leaf->Label, leaf->Flag, leaf->Letter) = std::tie(value, ratio, label, flag, letter);
  leaf->SetLink(link);
  return leaf;
}

TOwnerEntity* Entity(std::initializer_list<TElement*> children, const std::string& name = "") {
  auto* entity = Named(name);
  for (TElement* child : children) entity->AddElement(child);
  return entity;
}

TEST_F(KesStreamTest, WritesASmallGraphByteForByteAndReadsItBack) {
  TTestLeaf* a = Leaf(5, "", nullptr, 0.5, "a", true);
  TTestLeaf* b = Leaf(0, "B", nullptr, 0, "", false, 'z');
  std::unique_ptr<TOwnerEntity> root(Entity({a, b}, "Les"));
  Save(root.get());
  const Bytes expected = kes::Stream({
      // first element record of the walk (post-order): leaf a, after its class record
      kes::ClassRecord("TTestLeaf", 0, {{"ID", 1}, {"Name", 10}, {"OwnersCount", 1}, {"Size", 1}, {"WholeSize", 1},
                                        {"Value", 1}, {"Ratio", 4}, {"Letter", 2}, {"Label", 10}, {"Flag", 3},
                                        {"Link", 7}}),
      kes::Record(0, 0, kes::Concat({I(5), I(5), I(6), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}, I(7), I('q'),
                                     I(8), S("a"), I(9), I(1)})),
      // leaf b: a name of its own, every zero value left out, the character always written
      kes::Record(0, 1, kes::Concat({I(1), S("B"), I(7), I('z')})),
      // the root last, with its child list
      kes::ClassRecord("TOwnerEntity", 1, {{"ID", 1}, {"Name", 10}, {"OwnersCount", 1}, {"Size", 1}, {"WholeSize", 1},
                                           {"Count", 1}, {"WholeCount", 1}, {"NextElement", 7}, {"ElementToRemove", 7},
                                           {"ElementToFree", 7}, {"AddAllFrom", 7}, {"LastIndex", 1}}),
      kes::EntityRecord(1, 2, kes::Concat({I(1), S("Les")}), {0, 1}),
  });
  EXPECT_EQ(kes::ReadFile(file), expected);
  EXPECT_EQ(a->ID + b->ID + root->ID, 0 + 1 + 2);
  EXPECT_EQ(Join(Logged(), "|"), "TOwnerEntity property \"NextElement\" is Read or Write Only!|TOwnerEntity property "
                                 "\"ElementToRemove\" is Read or Write Only!|TOwnerEntity property \"ElementToFree\" "
                                 "is Read or Write Only!|TOwnerEntity property \"AddAllFrom\" is Read or Write Only!");
  Graph loaded = Load();
  EXPECT_EQ(DumpGraph(loaded.get()) + " " + std::to_string(loaded->ID),
            "TOwnerEntity Les[L(5 0.5 q a 1) B:L(0 0 z  0)] -1");
  EXPECT_EQ(static_cast<TEntity*>(loaded.get())->GetElement(1)->GetOwner(0), loaded.get());
}

TEST_F(KesStreamTest, EveryTagBoundaryAndTextSurvivesTheRoundTrip) {
  const std::vector<int> values = {127, 128, -128, -129, 32767, 32768, -32768, -32769, -70000};
  std::unique_ptr<TOwnerEntity> root(Entity({}));
  for (int value : values) root->AddElement(Leaf(value));
  std::string label255(255, 'm');
  label255.replace(0, 2, "ř");  // 254 bytes of UTF-8 around one Windows-1250 byte: still 254 in the stream
  label255 += "x";
  const std::string label256 = std::string(255, 'n') + "ž";
  for (const std::string& label : {label255, label256, std::string("Lesní správa")})
    root->AddElement(Leaf(1, "", nullptr, 0.1, label, true, '\xE8'));
  Save(root.get());
  const Bytes bytes = kes::ReadFile(file);
  for (const Bytes& item : {Bytes{0x02, 0x7F}, Bytes{0x03, 0x80, 0x00}, Bytes{0x02, 0x80}, Bytes{0x03, 0x7F, 0xFF},
                            Bytes{0x04, 0x00, 0x80, 0x00, 0x00}, Bytes{0x04, 0xFF, 0x7F, 0xFF, 0xFF}})
    EXPECT_TRUE(kes::Count(bytes, kes::Concat({I(5), item}))) << int(item[1]);
  EXPECT_TRUE(kes::Count(bytes, kes::Concat({I(8), {0x06, 0xFF}})));
  EXPECT_TRUE(kes::Count(bytes, kes::Concat({I(8), {0x0C, 0x00, 0x01, 0x00, 0x00}})));
  Graph loaded = Load();
  auto* copy = static_cast<TEntity*>(loaded.get());
  ASSERT_EQ(copy->GetCount(), static_cast<int>(values.size()) + 3);
  EXPECT_EQ(DumpGraph(copy), DumpGraph(root.get()));
}

// An empty save, a plain element, values the writer leaves out and a class
// nobody registered still give valid streams.
TEST_F(KesStreamTest, EmptyPlainOmittedAndUnregisteredGiveValidStreams) {
  Save(nullptr);
  EXPECT_EQ(kes::ReadFile(file), kes::Stream({}));
  EXPECT_EQ(Load(), nullptr);
  TTestLeaf leaf;
  leaf.Label = "jedla";
  Save(&leaf);
  Bytes bytes = kes::ReadFile(file);
  EXPECT_EQ(kes::Count(bytes, kes::Concat({I(-1), S("TTestLeaf")})), 1);
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), kes::Concat({{0x00}, I(0), {0x00}}));
  EXPECT_EQ(DumpGraph(Load().get()), "L(7 1.5 q jedla 1)");
  std::unique_ptr<TOwnerEntity> root(Entity({Leaf(0, "", nullptr, 0, "", false, '\0')}));
  Save(root.get());
  // Only the character is written: the element record is position 7, code 0.
  EXPECT_TRUE(kes::Count(kes::ReadFile(file), kes::Concat({I(0), I(0), {0x01}, I(7), I(0), {0x00}, I(0)})));
  // The constructor sets 7, 1.5, "x", true: the file says zero, empty and false.
  EXPECT_EQ(DumpGraph(Load().get()), std::string("TOwnerEntity[L(0 0 \0  0)]", 25));
  log.Messages.clear();
  TUnlisted element;
  Save(&element);
  EXPECT_EQ(Logged(), Lines{"TUnlisted - Unknown class !"});
  EXPECT_EQ(FindKestuClass("TUnlisted"), TUnlisted::StaticClass());
}

TEST_F(KesStreamTest, SharedChildIsWrittenOnceAndLoadedWithBothOwners) {
  TTestLeaf* shared = Leaf(9, "spolecny");
  std::unique_ptr<TOwnerEntity> root(Entity({Entity({shared}), Entity({shared})}));
  Save(root.get());
  EXPECT_EQ(shared->ID, 0);
  EXPECT_EQ(root->ID, 3);
  EXPECT_EQ(kes::Count(kes::ReadFile(file), kes::Concat({I(1), {0x01}, I(0), {0x00}})), 2);  // both lists hold 0
  Graph loaded = Load();
  auto* copy = static_cast<TEntity*>(loaded.get());
  TElement* left = static_cast<TEntity*>(copy->GetElement(0))->GetElement(0);
  EXPECT_TRUE(left == static_cast<TEntity*>(copy->GetElement(1))->GetElement(0) && left->GetOwnersCount() == 2);
  EXPECT_EQ(TTestLeaf::Alive, 2);  // the original and one copy
}

// An element reachable only through properties goes inline at every
// reference; one written later goes inline first and by number after; a
// reference back into an element still being written inline is left out.
TEST_F(KesStreamTest, ReferencesGoInlineOrByNumber) {
  std::unique_ptr<TTestLeaf> outside(Leaf(42, "venku", nullptr, 1.5, "x", true));
  std::unique_ptr<TTestLeaf> root(Leaf(1, "", outside.get(), 1.5, "x", true));
  Save(root.get());  // the output is the root, not the inline element
  EXPECT_TRUE(kes::Count(kes::ReadFile(file), kes::Concat({I(10), I(-2), {0x01}})));
  EXPECT_EQ(outside->ID, -1);
  Graph loaded = Load();
  EXPECT_EQ(DumpGraph(loaded.get()), "L(1 1.5 q x 1)->(venku:L(42 1.5 q x 1))");
  EXPECT_EQ(static_cast<TTestLeaf*>(loaded.get())->Link()->ID, -1);
  loaded.reset();
  std::unique_ptr<TOwnerEntity> twice(Entity({Leaf(1, "", outside.get()), Leaf(2, "", outside.get())}));
  Save(twice.get());
  EXPECT_EQ(kes::Count(kes::ReadFile(file), kes::Concat({I(10), I(-2), {0x01}})), 2);
  EXPECT_EQ(DumpGraph(Load().get()),
            "TOwnerEntity[L(1 0 q  0)->(venku:L(42 1.5 q x 1)) L(2 0 q  0)->(venku:L(42 1.5 q x 1))]");
  EXPECT_EQ(TTestLeaf::Alive, 4);  // each inline copy went with its graph
  TTestLeaf* later = Leaf(2, "pozdejsi");
  std::unique_ptr<TOwnerEntity> ordered(Entity({Leaf(1, "prvni", later), later, Leaf(3, "treti", later)}));
  Save(ordered.get());
  const Bytes bytes = kes::ReadFile(file);
  EXPECT_EQ(kes::Count(bytes, kes::Concat({I(10), I(-2)})), 1);
  // first 0, the inline copy of later used up 1, later 2, third 3 referring to 2
  EXPECT_EQ(later->ID, 2);
  EXPECT_TRUE(kes::Count(bytes, kes::Concat({I(10), I(2)})));
  EXPECT_EQ(DumpGraph(Load().get()), "TOwnerEntity[prvni:L(1 0 q  0)->(pozdejsi:L(2 0 q  0)) pozdejsi:L(2 0 q  0) "
                                     "treti:L(3 0 q  0)->#1]");
  TOwnerEntity inlined;  // written inline; its child refers back to it
  inlined.AddElement(Leaf(2, "vnitrni", &inlined));
  root->SetLink(&inlined);
  Save(root.get());
  EXPECT_THAT(Logged(), ::testing::Contains("TTestLeaf property \"Link\" refers to an element being written!"));
  EXPECT_EQ(DumpGraph(Load().get()), "L(1 1.5 q x 1)->(TOwnerEntity[vnitrni:L(2 0 q  0)])");
}

TEST_F(KesStreamTest, HandMadeStreamsLoadWhatIsSoundAndLogTheRest) {
  using kes::ClassRecord, kes::EntityRecord, kes::Record, kes::Concat;
  const Bytes leafClass = ClassRecord("TTestLeaf", 0, {{"Value", 1}, {"Link", 7}});
  const Bytes ownerClass = ClassRecord("TOwnerEntity", 1);
  const auto value = [](int v) { return Concat({I(0), I(v)}); };
  const auto valueLink = [](int v, int link) { return Concat({I(0), I(v), I(1), I(link)}); };
  const auto inlined = [](const Bytes& record) { return Concat({I(-2), {0x01}, record, {0x00}}); };
  const struct {
    const char* name;
    Bytes body;
    const char* graph;
    Lines logged;
    int alive;
  } cases[] = {
      {"an inline element cannot take the element whose property holds it",
       Concat({leafClass, ownerClass, Record(0, 0, Concat({I(1), inlined(EntityRecord(1, 1, {}, {0}))}))}),
       "L(0 1.5 q x 1)->(TOwnerEntity[])", {"TOwnerEntity child 0 not found!"}, 1},
      {"class evolution: by name in any case, retyped and lost properties logged",
       Concat({ClassRecord("TTestLeaf", 0, {{"Name", 10}, {"VALUE", 4}, {"Gone", 1}, {"label", 5}, {"Flag", 3}}),
               Record(0, 0, Concat({I(0), S("E"), I(1), {0x05, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0x40}, I(2), I(99),
                                    I(3), S("lbl")}))}),
       "E:L(7 1.5 q lbl 0)", {"TTestLeaf property \"VALUE\" type error: 4", "TTestLeaf lost property: Gone"}, 1},
      {"an unknown class is read as an owner entity keeping name and children",
       Concat({leafClass, Record(0, 0, value(3)), ClassRecord("TNeznama", 1, {{"Name", 10}, {"Hloubka", 1}}),
               EntityRecord(1, 1, Concat({I(0), S("Porost"), I(1), I(12)}), {0})}),
       "TOwnerEntity Porost[L(3 1.5 q x 1)]", {"TNeznama - Unknown class !", "TNeznama ? lost property: Hloubka"}, 1},
      {"a bad record is skipped by its tags; children and references use the record's number",
       Concat({leafClass, Record(0, 0, value(11)),
               // class number past the class list, with a nested inline list to step over
               EntityRecord(9, 1, Concat({value(12), I(1), I(-2), {0x01, 0x01, 0x00, 0x00}}), {0}),
               Record(0, 2, valueLink(13, 77)), Record(0, 5, valueLink(14, 0)), ownerClass,
               EntityRecord(1, 6, {}, {0, 5, 2})}),
       "TOwnerEntity[L(11 1.5 q x 1) L(14 1.5 q x 1)->#0]",
       {"Element record skipped: Invalid class number 9", "Element record skipped: Unknown element number 77",
        "TOwnerEntity child 2 not found!"},
       2},
      {"numbers need not follow the records and stay unique across skipped records",
       Concat({leafClass, Record(0, 1, value(10)), Record(0, 0, valueLink(20, 1)), Record(0, 0, value(21)),
               Record(0, 2, value(30)), Record(0, 2, value(31)), Record(0, 5, valueLink(40, 77)),
               Record(0, 5, value(50)), ownerClass, EntityRecord(1, 9, {}, {0, 1, 2, 5})}),
       "TOwnerEntity[L(20 1.5 q x 1)->#1 L(10 1.5 q x 1) L(30 1.5 q x 1) L(50 1.5 q x 1)]",
       {"Element record skipped: Duplicate element number 0", "Element record skipped: Duplicate element number 2",
        "Element record skipped: Unknown element number 77"},
       4},
      {"only entities take children and references must fit the property's class",
       Concat({ClassRecord("TTestLeaf", 0, {{"Value", 1}}), Record(0, 0, value(1)), EntityRecord(0, 1, value(2), {0}),
               ClassRecord("TTestBox", 1, {{"Typed", 7}}), Record(1, 2, value(0)),
               EntityRecord(1, 3, value(2), {0, 1, 2})}),
       "TTestBox[L(1 1.5 q x 1) L(2 1.5 q x 1) TTestBox[]->#0]",
       {"TTestLeaf is not Entity, child 0 skipped!", "TTestBox property \"Typed\" cannot hold TTestBox!"}, 2},
      {"a child list cannot reach forward or into itself",
       Concat({ClassRecord("TOwnerEntity", 0), EntityRecord(0, 0, {}, {0, 1}), EntityRecord(0, 1, {}, {0})}),
       "TOwnerEntity[TOwnerEntity[]]", {"TOwnerEntity child 0 not found!", "TOwnerEntity child 1 not found!"}, 0},
      {"a record failing in its child list gives back the children it took, a later record takes them",
       Concat({leafClass, ownerClass, Record(0, 0, value(1)), Record(0, 1, value(2)), EntityRecord(1, 2, {}, {0, 1}),
               Record(0, 3, value(3)), Record(0, 4, value(4)),
               Concat({I(1), I(5), {0x01, 0x00}, I(1), {0x01}, I(3), I(4), S("x"), {0x00}}),
               Record(0, 6, value(6)), EntityRecord(1, 7, {}, {4, 2, 6, 3})}),
       "TOwnerEntity[L(4 1.5 q x 1) TOwnerEntity[L(1 1.5 q x 1) L(2 1.5 q x 1)] L(6 1.5 q x 1) L(3 1.5 q x 1)]",
       {"Element record skipped: Invalid property value"}, 5},
      {"a position given twice takes its last value and the dropped inline element is freed",
       Concat({leafClass, Record(0, 0, Concat({value(1), I(1), inlined(Record(0, 1, value(10))), I(1),
                                               inlined(Record(0, 2, value(20)))}))}),
       "L(1 1.5 q x 1)->(L(20 1.5 q x 1))", {}, 2},
      {"positions out of order are sorted and the last of a repeat wins wherever it stands",
       Concat({ClassRecord("TTestLeaf", 0, {{"Value", 1}, {"Letter", 2}, {"Label", 10}}),
               Record(0, 0, Concat({I(1), I('a'), I(0), I(5), I(1), I('b'), I(0), I(9), I(1), I('c')}))}),
       "L(9 1.5 c  1)", {}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log.Messages.clear();
    TTestLeaf::Alive = 0;
    Graph loaded = LoadBytes(kes::Stream({c.body}));
    EXPECT_EQ(DumpGraph(loaded.get()), c.graph);
    EXPECT_EQ(Logged(), c.logged);
    EXPECT_EQ(TTestLeaf::Alive, c.alive);
  }
}

TEST_F(KesStreamTest, FatalErrorsFreeWhatWasReadAndSayWhatWentWrong) {
  kes::WriteFile(file, kes::Concat({kes::Header(), I(-1), S("TTestLeaf"), I(0), {0x01}, {0x00}, I(0), I(0), {0x01},
                                    {0x00}, I(0), I(0), I(1), {0x01}, {0x00}, I(0),
                                    // a long string claiming 2 GB where a record should begin
                                    {0x0C, 0xFF, 0xFF, 0xFF, 0x7F}}));
  TLoad load;
  const auto loadFile = [&load] { load.DoIt(); };
  load.FileName = file;
  EXPECT_EQ(ErrorOf<EBadStream>(loadFile), "Chyba čtení souboru " + file + ": Invalid property value");
  EXPECT_EQ(TTestLeaf::Alive, 0);
  EXPECT_EQ(load.Output(), nullptr);
  RunMessages();
  EXPECT_EQ(log.Messages.back().Code, msgProgressEnd);
  load.FileName = "";
  EXPECT_EQ(ErrorOf<EBadStreamName>(loadFile), "Chybné jméno souboru :  !");
  load.FileName = file + ".chybi";
  EXPECT_EQ(ErrorOf<EBadStream>(loadFile), "Soubor " + file + ".chybi neexistuje!");
  load.FileName = file;
  for (const Bytes& content : {Bytes{'K', 'E', 'S', '1', 0x01, 0x00}, Bytes{'K', 'E'}, Bytes{}}) {
    kes::WriteFile(file, content);
    EXPECT_EQ(ErrorOf<EBadStream>(loadFile), file + " ... neznámý typ souboru");
  }
  EXPECT_EQ(load.Output(), nullptr);
}

TEST_F(KesStreamTest, InlineElementsNestedBeyondTheLimitSkipOneRecordWithoutExhaustingTheStack) {
  constexpr int depth = 100000;
  Bytes bytes = kes::Concat({kes::Header(), I(-1), S("TTestLeaf"), I(0), {0x01}, S("Value"), I(1), S("Link"), I(7),
                             {0x00}, I(0), I(0), {0x01}, I(0), I(5), I(1), I(-2), {0x01}});
  for (int i = 1; i <= depth; ++i) {
    const Bytes record = kes::Concat({I(0), I(i), {0x01}, I(1), I(-2), {0x01}});
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  bytes.push_back(0x00);  // the innermost inline list is empty
  for (int i = 0; i <= depth; ++i) bytes.insert(bytes.end(), {0x00, 0x02, 0x00, 0x00});  // list end, no children
  Graph loaded = LoadBytes(bytes);
  auto* leaf = DynamicCast<TTestLeaf>(loaded.get());
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->Value, 5);
  // The chain holds what the limit allows; the record beyond it is skipped whole.
  std::size_t chain = 0;
  for (auto* link = DynamicCast<TTestLeaf>(leaf->Link()); link; link = DynamicCast<TTestLeaf>(link->Link())) ++chain;
  EXPECT_EQ(chain, KesMaxInlineDepth - 1);
  EXPECT_EQ(TTestLeaf::Alive, static_cast<int>(KesMaxInlineDepth));
  EXPECT_EQ(Logged(), Lines{"Element record skipped: Inline elements nested too deep"});
}

// Chains deeper than the stack could follow one level per frame: saved, loaded
// and saved again to the same bytes; cut short, they fail with EBadStream.
TEST_F(KesStreamTest, DeepChainRoundTripsAndATruncatedOneRaisesBadStream) {
  Save(DeepChain<TOwnerEntity>().get());
  const Bytes saved = kes::ReadFile(file);
  Graph loaded = Load();
  int depth = 0;
  for (auto* at = DynamicCast<TEntity>(loaded.get()); at; ++depth) {
    ASSERT_EQ(at->GetName(), "L" + std::to_string(depth));
    at = at->IsEmpty() ? nullptr : DynamicCast<TEntity>(at->GetElement(0));
  }
  EXPECT_EQ(depth, kDeepChainDepth);
  Save(loaded.get());
  EXPECT_EQ(kes::ReadFile(file), saved);
  for (const std::size_t keep : {saved.size() - 1, saved.size() / 2}) {  // without the body's end, in the middle
    kes::WriteFile(file, Bytes(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(keep)));
    TLoad load;
    load.FileName = file;
    EXPECT_THROW(load.DoIt(), EBadStream) << keep;
    EXPECT_EQ(load.Output(), nullptr) << keep;
    RunMessages();
  }
}

// ---------------------------------------------------------------- component stream

TEST_F(KesStreamTest, ASaveThatFailsLeavesTheFileItWasToReplaceAsItWas) {
  std::unique_ptr<TOwnerEntity> root(Entity({}, "Les"));
  for (int i = 0; i < 200; ++i) root->AddElement(Leaf(i, "list", nullptr, 0, std::string(40, 'x')));
  const std::pair<const char*, std::function<void()>> savers[] = {
      {"element stream", [&] { Save(root.get()); }},
      {"component stream",
       [&] {
         TSaver saver;
         saver.SetName(file);
         saver.SetInput(root.get());
         saver.DoIt();
       }},
  };
  for (const auto& [name, save] : savers) {
    kes::WriteFile(file, {'o', 'l', 'd'});
    {
      const FileSizeLimit full(2000);
      EXPECT_THROW(save(), platform::EWriteError) << name;
    }
    EXPECT_EQ(kes::ReadFile(file), (Bytes{'o', 'l', 'd'})) << name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << name << ": nothing beside";
  }
}

TEST_F(KesStreamTest, ComponentStreamIsClassNameNumberChildrenAndNameAndSharesChildren) {
  TNameEntity root;
  root.SetName("R");
  Named<TNameElement>("C", &root);
  TSaver saver;
  saver.SetName(file);
  saver.SetInput(&root);
  saver.DoIt();
  EXPECT_EQ(kes::ReadFile(file), kes::Concat({{'T', 'P', 'F', '0', 0x01}, S("TNameElement"), I(0), S("C"),
                                              S("TNameEntity"), I(1), {0x01}, I(0), {0x00}, S("R"), {0x00}}));
  Graph loaded = Load();
  EXPECT_EQ(DumpGraph(loaded.get()) + " " + std::to_string(loaded->ID), "TNameEntity R[TNameElement C] 1");
  auto* shared = Named<TOwnerElement>("sdileny");
  TEntity graph;
  graph.AddElement(Entity({shared}));
  graph.AddElement(Entity({shared}));
  NewVisitStamp();  // a stamp below -1 that the graph does not carry
  saver.SetInput(&graph);
  saver.DoIt();
  EXPECT_EQ(kes::Count(kes::ReadFile(file), S("sdileny")), 1);
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  std::unique_ptr<TElement> copy(loader.Output());
  auto* top = static_cast<TEntity*>(copy.get());
  EXPECT_EQ(static_cast<TEntity*>(top->GetElement(0))->GetElement(0),
            static_cast<TEntity*>(top->GetElement(1))->GetElement(0));
}

TEST_F(KesStreamTest, ComponentLoaderStopsAtWhatItCannotReadAndFreesWhatItRead) {
  kes::WriteFile(file, kes::Concat({{'T', 'P', 'F', '0', 0x01}, S("TTestLeaf"), I(0), S("a"), S("TNeznama"), I(1),
                                    S("b"), {0x00}}));
  TLoader loader;
  loader.SetName(file);
  loader.DoIt();
  EXPECT_TRUE(loader.Output() == nullptr && TTestLeaf::Alive == 0);
  EXPECT_EQ(Boxes(), Lines{"Neregistrovaný element: TNeznama"});
  EXPECT_EQ(dialogs.Messages[0].Buttons, static_cast<unsigned>(platform::mbOK));
  loader.SetName("");
  EXPECT_EQ(ErrorOf<EBadStreamName>([&] { loader.DoIt(); }), "Chybné jméno streamu :  !");
  kes::WriteFile(file, kes::Concat({{'T', 'P', 'F', '0', 0x01}, S("TOwnerElement"), I(0), S("a"), S("TEntity"), I(1),
                                    {0x01}, I(0), I(1), {0x00}, {0x00}}));  // a child number it has not read
  TLoad load;
  load.FileName = file;
  EXPECT_THROW(load.DoIt(), EBadStream);
  EXPECT_EQ(load.Output(), nullptr);
  // A stream cut right after its signature is of the known kind and fails as a read past its end.
  kes::WriteFile(file, {'T', 'P', 'F', '0'});
  EXPECT_EQ(ErrorOf<EBadStream>([&] { load.DoIt(); }), "Chyba čtení souboru " + file + ": Stream read error");
  loader.SetName(file);
  EXPECT_EQ(ErrorOf<EBadStream>([&] { loader.DoIt(); }), "Chyba čtení souboru " + file + ": Stream read error");
}

// ---------------------------------------------------------------- damaged streams

// Every mutation of the sample files either loads or fails with EBadStream;
// none may crash, hang or leak what it read.
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

std::vector<Bytes> SampleFiles() {
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KESTX_SAMPLES_DIR) / "kes"))
    if (entry.path().extension() == ".kes") paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  std::vector<Bytes> corpus;
  for (const std::string& path : paths) corpus.push_back(kes::ReadFile(path));
  return corpus;
}

TEST_F(KesStreamTest, SampleFilesLoadWholeAndTheirMutationsLoadOrFailWithEBadStream) {
  const std::vector<Bytes> corpus = SampleFiles();
  ASSERT_GE(corpus.size(), 5u);
  for (const Bytes& bytes : corpus) EXPECT_NE(LoadBytes(bytes), nullptr);
  std::mt19937_64 random(20240611);
  constexpr int kRounds = 4000;
  int failed = 0;
  const auto started = std::chrono::steady_clock::now();
  for (int round = 0; round < kRounds; ++round) {
    Bytes bytes = corpus[static_cast<std::size_t>(round) % corpus.size()];
    for (std::size_t i = 1 + random() % 4; i > 0; --i) Mutate(bytes, random);
    try {  // anything but EBadStream escaping fails the test here, with the round to replay
      LoadBytes(bytes);
    } catch (const EBadStream&) {
      ++failed;
    } catch (const std::exception& error) {
      ADD_FAILURE() << "round " << round << ": " << error.what();
    }
    log.Messages.clear();
  }
  // Both outcomes occur, or the mutations are not reaching the reader.
  EXPECT_GT(failed, kRounds / 20);
  EXPECT_LT(failed, kRounds);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

// A long save reports every 500th element written, a long load every
// 200th byte it has read up to; a person sees how far either has come.
TEST_F(KesStreamTest, LongSavesAndLoadsReportHowFarTheyHaveCome) {
  auto* root = Named<TTestBox>("root");
  for (int i = 0; i < 6000; ++i) root->AddElement(Leaf(i, "list " + std::to_string(i), nullptr, 0, std::string(20, 'x')));
  Save(root);
  delete root;
  const Lines saved = Logged(true);
  log.Messages.clear();
  Graph loaded = Load();
  const Lines read = Logged(true);
  Lines expected{"Ukládání modelu do souboru " + file + " -celkem 6000 Elementů"};
  for (int written = 500; written <= 6000; written += 500)
    expected.insert(expected.end(), {std::to_string(written), "Uloženo " + std::to_string(written) + " elementů"});
  expected.push_back("");  // the end of the progress
  EXPECT_EQ(saved, expected);

  // Where the reading stands after an element depends on the reader's
  // buffer; every step it shows is at a multiple of 200 bytes, and a file
  // this long shows some.
  const std::string size = std::to_string(std::filesystem::file_size(file));
  ASSERT_GE(read.size(), 4u);
  EXPECT_EQ(read.front(), "Načítání modelu ze souboru " + file);
  EXPECT_EQ(read.back(), "");
  for (std::size_t i = 1; i + 1 < read.size(); i += 2) {
    EXPECT_EQ(std::stoll(read[i]) % 200, 0) << read[i];
    EXPECT_EQ(read[i + 1], read[i] + " bytů z celkových " + size);
    if (i > 1) {
      EXPECT_GT(std::stoll(read[i]), std::stoll(read[i - 2]));
    }
  }
}

}  // namespace
