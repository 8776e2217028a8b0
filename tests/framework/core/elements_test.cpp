#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "framework/tools/tools.h"
#include "tests/framework/deep_chains.h"
#include "tests/framework/framework_fixture.h"

namespace {

using ElementsTest = FrameworkTest;
using Leaf = Tracked<TOwnerElement>;
using Plain = Tracked<TElement>;

// A property reads as true when its text begins with T in either case.
TEST_F(ElementsTest, APropertyIsTrueWhenItsTextBeginsWithT) {
  const struct {
    const char* text;
    bool value;
  } rows[] = {{"True", true}, {"true", true}, {"T", true}, {"False", false}, {"f", false}, {"1", false}, {"x", false}};
  TOwnerEntity element;
  for (const auto& row : rows) {
    element.SetName(row.text);
    EXPECT_EQ(element.GetPropertyBoolean("Name"), row.value) << row.text;
  }
}

TEST_F(ElementsTest, ElementIsFreedOnlyWhenNoEntityHoldsItWhateverItsClass) {
  Leaf::Alive = Plain::Alive = 0;
  {
    TOwnerEntity a, b;
    auto* child = Named<Leaf>("", &a);
    b.AddElement(child);
    a.FreeElement(child);
    EXPECT_TRUE(Leaf::Alive + a.GetCount() == 1 && child->GetOwner(0) == &b);
    b.FreeElement(child);
    EXPECT_EQ(Leaf::Alive, 0);
    TEntity keeper;
    auto* cleared = new TOwnerEntity;
    auto* freed = new TEntity;
    auto* leaf = new Leaf;
    auto* plain = new Plain;  // keeps no owner list, yet is held
    for (TEntity* holder : {static_cast<TEntity*>(cleared), freed, &keeper}) {
      holder->AddElement(leaf);
      holder->AddElement(plain);
    }
    cleared->Clear();
    EXPECT_TRUE(cleared->IsEmpty());
    freed->FreeElement(plain);
    delete freed;
    delete cleared;
    // the published count keeps its meaning
    EXPECT_TRUE(Leaf::Alive + Plain::Alive == 2 && plain->GetOwnersCount() + leaf->GetOwnersCount() == 1);
  }
  EXPECT_EQ(Leaf::Alive + Plain::Alive, 0);
  TEntity a, b;
  auto* child = Named<TEntity>("", &a);
  b.AddElement(child);
  delete child;  // leaves every list it is in
  EXPECT_EQ(a.GetCount() + b.GetCount(), 0);
  auto* map = new TQuickEntity;  // never becomes an owner
  Leaf element;
  map->AddElement(&element);
  EXPECT_EQ(element.GetOwnersCount(), 0);
  delete map;
  EXPECT_EQ(Leaf::Alive, 1);
}

TEST_F(ElementsTest, ChildListEditsKeepTheRule) {
  Leaf::Alive = 0;
  EXPECT_EQ(TEntity().GetElement(5), nullptr);  // no list yet: nothing there
  TOwnerEntity entity;
  auto* old = new Leaf;
  entity.InsertElement(3, old);  // without a list only at index 0
  EXPECT_TRUE(entity.IsEmpty());
  entity.InsertElement(0, old);
  entity.SetElement(0, old);  // the same element again changes nothing
  EXPECT_EQ(Leaf::Alive + old->GetOwnersCount(), 2);
  for (int index : {5, 1, -1}) EXPECT_THROW(entity.GetElement(index), std::out_of_range) << index;
  EXPECT_THROW(entity.SetElement(5, old), std::out_of_range);
  TOwnerEntity empty;  // an empty list takes an element set at index 0 as its first
  auto* set = new TOwnerElement;
  empty.SetElement(0, set);
  EXPECT_TRUE(empty.GetCount() == 1 && empty.GetElement(0) == set);
  EXPECT_EQ(entity.IndexOf(nullptr), -1);
  entity.RemoveElement(old);
  EXPECT_EQ(old->GetOwnersCount(), 0);
  delete old;
  TElement* field = nullptr;
  auto* first = new Leaf;
  entity.SetOwnedElement(field, first);
  entity.SetOwnedElement(field, first);
  EXPECT_EQ(Leaf::Alive + entity.GetCount(), 2);
  entity.SetOwnedElement(field, new Leaf);
  EXPECT_TRUE(Leaf::Alive == 1 && field != first);
}

// An entity keeping an element in a field of its own, as property objects
// and hole containers are kept.
class FieldHolder : public TEntity {
 public:
  ~FieldHolder() override { ReleaseField(field_); }
  void Hold(TElement* element) { HoldInField(field_, element); }

 private:
  TElement* field_ = nullptr;
};

TEST_F(ElementsTest, AFieldLetsGoOfItsElementWhenReplacedOrWithItsEntity) {
  const struct {
    const char* name;
    bool heldElsewhere;
    bool replaced;
    int alive;  // of the first element, after the field let go of it
  } rows[] = {{"freed with the entity", false, false, 0},
              {"freed when replaced", false, true, 0},
              {"kept by another holder", true, false, 1},
              {"kept by another holder when replaced", true, true, 1}};
  for (const auto& row : rows) {
    Leaf::Alive = 0;
    TEntity other;
    auto* first = new Leaf;
    if (row.heldElsewhere) other.AddElement(first);
    {
      FieldHolder holder;
      holder.Hold(first);
      if (row.replaced) {
        holder.Hold(new Leaf);
        EXPECT_EQ(Leaf::Alive, row.alive + 1) << row.name;
      }
    }
    EXPECT_EQ(Leaf::Alive, row.alive) << row.name;
    if (row.heldElsewhere) {
      EXPECT_EQ(first->GetOwnersCount(), 1) << row.name;
    }
  }
}

TEST_F(ElementsTest, AnEntityWithoutAListTakesAnInsertedElementOnlyAtIndexZero) {
  const struct {
    int index;
    bool taken;
  } rows[] = {{0, true}, {1, false}, {3, false}, {-1, false}};
  for (const auto& row : rows) {
    Leaf::Alive = 0;
    auto* leaf = new Leaf;
    {
      TEntity entity;
      entity.InsertElement(row.index, leaf);
      EXPECT_EQ(entity.GetCount(), row.taken ? 1 : 0) << row.index;
      EXPECT_EQ(leaf->GetOwnersCount(), row.taken ? 1 : 0) << row.index;
    }
    // A taken element goes with the entity; a refused one stays the caller's.
    EXPECT_EQ(Leaf::Alive, row.taken ? 0 : 1) << row.index;
    if (!row.taken) delete leaf;
  }
}

// A script's "add new" makes an element of a registered class by its exact
// name in any case, names it and appends it as an owned child; a name no
// class bears (the T is not tried) adds nothing and shows nothing.
TEST_F(ElementsTest, AddNewAppendsANamedElementOfARegisteredClassOnly) {
  const struct {
    const char* className;
    const char* made;  // "class name" of the new last child, or nil
    int owners;        // recorded by owner classes only
  } rows[] = {
      {"TOwnerEntity", "TOwnerEntity LIN", 1},
      {"townerentity", "TOwnerEntity LIN", 1},
      {"TNameElement", "TNameElement LIN", 0},
      {"OwnerEntity", "nil", 0},
      {"TNoSuchClass", "nil", 0},
  };
  for (const auto& row : rows) {
    TOwnerEntity entity;
    entity.AddElement(Named<TOwnerElement>("first"));
    dialogs.Messages.clear();
    TElement* made = entity.AddNew(row.className, "LIN");
    const std::string madeText = made ? made->ClassType()->ClassName + " " + made->GetName() : "nil";
    EXPECT_EQ(madeText, row.made) << row.className;
    EXPECT_EQ(entity.GetCount(), made ? 2 : 1) << row.className;
    if (made) {
      EXPECT_TRUE(entity.GetElement(1) == made && made->GetOwnersCount() == row.owners &&
                  made->HasOwner(&entity) == (row.owners == 1))
          << row.className << ": appended";
    }
    EXPECT_TRUE(Boxes().empty()) << row.className;
  }
}

// An envelope is a new element of its source's class, numbered 0 (a made
// element is -1) and named for its source; an entity's envelope holds, in
// order, its children that have owners themselves and envelopes of the rest.
TEST_F(ElementsTest, AnEnvelopeIsNumberedZeroNamedForItsSourceAndSharesOnlyOwnedChildren) {
  TOwnerEntity source;
  source.SetName("Porost");
  auto* alone = Named<TNameElement>("bod", &source);
  auto* shared = Named<TOwnerElement>("hranice", &source);
  std::unique_ptr<TElement> made(NewElement(TOwnerEntity::StaticClass()));
  ASSERT_EQ(made->ID, -1);
  std::unique_ptr<TElement> envelope(source.CreateEnvelope());
  ASSERT_NE(envelope, nullptr);
  auto* entity = DynamicCast<TOwnerEntity>(envelope.get());
  ASSERT_NE(entity, nullptr);
  ASSERT_EQ(entity->GetCount(), 2);
  const struct {
    const char* name;
    TElement* element;
    std::string className, elementName;
    bool isSource;  // the child itself, not a copy
  } rows[] = {
      {"the envelope", envelope.get(), "TOwnerEntity", "Obálka: Porost", false},
      {"a child without owners", entity->GetElement(0), "TNameElement", "Obálka: bod", false},
      {"a child with owners", entity->GetElement(1), "TOwnerElement", "hranice", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(std::tuple(row.element->ClassType()->ClassName, row.element->GetName()),
              std::tuple(row.className, row.elementName))
        << row.name;
    if (!row.isSource) {
      EXPECT_EQ(row.element->ID, 0) << row.name;
    }
  }
  EXPECT_NE(entity->GetElement(0), alone);
  EXPECT_EQ(entity->GetElement(1), shared);
  EXPECT_EQ(shared->GetOwnersCount(), 2);
}

// An owner element that goes leaves the child list of every entity that holds
// it, however many there are.
TEST_F(ElementsTest, AFreedOwnerElementLeavesEveryEntityThatHeldIt) {
  for (int holders = 1; holders <= 3; ++holders) {
    std::vector<std::unique_ptr<TOwnerEntity>> entities;
    auto* element = new Leaf;
    for (int i = 0; i < holders; ++i) {
      entities.push_back(std::make_unique<TOwnerEntity>());
      entities.back()->AddElement(Named<TOwnerElement>("before"));
      entities.back()->AddElement(element);
    }
    delete element;
    for (const auto& entity : entities)
      EXPECT_EQ(std::pair(entity->GetCount(), entity->IndexOf(element)), std::pair(1, -1)) << holders << " holders";
  }
}

// A named entity's size grows by its name's length in the file's code page
// and one byte; an unnamed one's does not.
TEST_F(ElementsTest, ANamedEntityIsLargerByItsNameAndOneByte) {
  const int unnamed = TNameEntity().GetSize();
  const struct {
    const char* name;
    int more;
  } rows[] = {{"", 0}, {"Porost", 7}, {"Dílec", 6}};
  for (const auto& row : rows) {
    TNameEntity entity;
    entity.SetName(row.name);
    EXPECT_EQ(entity.GetSize() - unnamed, row.more) << row.name;
  }
}

// An owner entity's recorded owners are entities; one that is not (nil, or a
// plain element put there by hand) is named in a box when it is asked for and
// when the entity goes, and is skipped, while entity owners let go of it.
TEST_F(ElementsTest, AnOwnerThatIsNoEntityIsReportedAndSkipped) {
  TElement plain;
  const struct {
    const char* name;
    TElement* owner;  // recorded besides the entity that holds it
    std::vector<std::string> askedBoxes, freedBoxes;
  } rows[] = {
      {"entities only", nullptr, {}, {}},
      {"a plain element",
       &plain,
       {"TOwnerEntity(Porost).GetOwner: Objekt vlastníka není TEntity"},
       {"TOwnerEntity.Destroy: Špatný vlastník"}},
      {"nil", nullptr, {"TOwnerEntity(Porost).GetOwner: Objekt vlastníka je prázdný"},
       {"TOwnerEntity.Destroy: Špatný vlastník"}},
  };
  for (const auto& row : rows) {
    TEntity holder;
    auto* element = Named<TOwnerEntity>("Porost", &holder);
    const bool recorded = !row.askedBoxes.empty();
    if (recorded) element->AddOwner(row.owner);
    dialogs.Messages.clear();
    EXPECT_EQ(std::pair(element->GetOwner(0), element->GetOwner(1)),
              std::pair(static_cast<TElement*>(&holder), static_cast<TElement*>(nullptr)))
        << row.name;
    EXPECT_EQ(Boxes(), row.askedBoxes) << row.name;
    dialogs.Messages.clear();
    delete element;
    EXPECT_EQ(std::pair(Boxes(), holder.GetCount()), std::pair(row.freedBoxes, 0)) << row.name;
  }
}

// SetElement replaces a slot and frees nothing, while every element keeps true
// lists of the entities that hold and own it.
TEST_F(ElementsTest, SetElementFreesNothingAndKeepsHoldersTrue) {
  struct Case {
    const char* Name;
    std::vector<std::pair<int, int>> Sets;  // slot (-1 adds) and which of a, b, c; the entity holds a, b, other c
    std::vector<int> Slots;                 // which the entity holds afterwards
  };
  const Case cases[] = {
      {"swap of two children", {{0, 1}, {1, 0}}, {1, 0}},
      {"a child seated twice, then its first slot replaced", {{1, 0}, {0, 1}}, {1, 0}},
      {"an element of another entity seated here", {{0, 2}}, {2, 1}},
      {"a child replaced and then added again", {{0, 2}, {-1, 0}}, {2, 1, 0}},
  };
  for (const Case& c : cases) {
    Leaf::Alive = 0;
    Leaf* children[] = {new Leaf, new Leaf, new Leaf};
    {
      TOwnerEntity entity, other;
      entity.AddElement(children[0]);
      entity.AddElement(children[1]);
      other.AddElement(children[2]);
      for (auto [slot, which] : c.Sets) {
        if (slot < 0) entity.AddElement(children[which]);
        else entity.SetElement(slot, children[which]);
      }
      ASSERT_EQ(Leaf::Alive, 3) << c.Name;
      std::vector<int> slots;
      for (TElement* held : entity.Children())
        slots.push_back(static_cast<int>(std::find(children, children + 3, held) - children));
      EXPECT_EQ(slots, c.Slots) << c.Name;
      for (int i = 0; i < 3; ++i) {
        const int here = static_cast<int>(std::count(slots.begin(), slots.end(), i));
        EXPECT_EQ(std::tuple(children[i]->HolderCount(), children[i]->GetOwnersCount(), children[i]->HasOwner(&entity)),
                  std::tuple(here + (i == 2), here + (i == 2), here > 0))
            << c.Name << ", child " << i;
      }
      for (Leaf* child : children)  // what no entity holds any more is the caller's to free
        if (child->HolderCount() == 0) delete child;
    }
    EXPECT_EQ(Leaf::Alive, 0) << c.Name;
  }
}

TEST_F(ElementsTest, WalksCountASharedSubgraphOnceAndStampsNeverRepeat) {
  TEntity a;  // a holds b and c; both hold d, which holds three plain elements
  auto* d = Named<TEntity>("", Named<TEntity>("", &a));
  Named<TEntity>("", &a)->AddElement(d);
  for (int i = 0; i < 3; ++i) d->AddElement(new TElement);
  EXPECT_EQ(std::to_string(a.WholeCount()) + " " + a.GetPropertyText("WholeCount") + " " +
                a.GetPropertyText("WholeSize"),
            "7 7 " + std::to_string(4 * sizeof(TEntity) + 3 * sizeof(TElement)));
  TElement leaf;  // an element that holds nothing is all it reaches, and is stamped
  const std::string leafSize = leaf.GetPropertyText("WholeSize");
  EXPECT_EQ(std::pair(leafSize, leaf.ID), std::pair(std::to_string(sizeof(TElement)), CurrentVisitStamp()));
  a.MarkReachable();
  for (TElement* reached : {static_cast<TElement*>(&a), a.GetElement(1), static_cast<TElement*>(d), d->GetElement(2)})
    EXPECT_EQ(reached->ID, CurrentVisitStamp());
  for (int i = 0, previous = NewVisitStamp(), stamp; i < 100000; ++i, previous = stamp) {
    stamp = NewVisitStamp();
    ASSERT_TRUE(stamp < -1 && stamp != previous) << stamp;
  }
}

// Chains deeper than the stack could follow one level per frame.
TEST_F(ElementsTest, DeepChainsAreWalkedAndFreedWithoutNestingOnTheStack) {
  using Owner = Tracked<TOwnerEntity>;
  using Entity = Tracked<TEntity>;
  const auto chain = [](auto made) {
    TEntity* deepest = nullptr;
    auto root = DeepChain<typename decltype(made)::element_type>(kDeepChainDepth, &deepest);
    deepest->AddElement(new TOwnerElement);
    return root;
  };
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"owner entities, root deleted", [&] { chain(std::unique_ptr<Owner>()).reset(); }},
      {"plain entities, root deleted", [&] { chain(std::unique_ptr<Entity>()).reset(); }},
      {"freed by a holder's FreeElement", [&] {
         TOwnerEntity holder;
         holder.AddElement(chain(std::unique_ptr<Owner>()).release());
         holder.FreeElement(holder.GetElement(0));
       }},
      {"freed by a holder's Clear", [&] {
         TOwnerEntity holder;
         holder.AddElement(chain(std::unique_ptr<Owner>()).release());
         holder.Clear();
       }},
  };
  for (const auto& [name, run] : cases) {
    run();
    EXPECT_EQ(Owner::Alive + Entity::Alive, 0) << name;
  }
  auto root = chain(std::unique_ptr<TOwnerEntity>());
  EXPECT_EQ(root->WholeCount(), kDeepChainDepth);  // one child slot per level
  int sizes = 0;
  TElement* at = root.get();
  for (TEntity* entity = root.get(); entity; entity = DynamicCast<TEntity>(at = entity->GetElement(0)))
    sizes += entity->GetSize();
  EXPECT_EQ(root->GetWholeSize(), sizes + at->GetSize());
  root->MarkReachable();
  EXPECT_EQ(at->ID, CurrentVisitStamp());
}

TEST_F(ElementsTest, FindElementByNameMatchesInAnyCaseAsEachClassGivesItsName) {
  // FindElementByName: the first child whose name matches in any letter case,
  // as classes without a name of their own give it.
  TOwnerEntity entity;
  entity.SetName("Oddělení");
  for (const char* name : {"Alfa", "žluťoučký kůň", "ж", "alfa", "a name well beyond any short string buffer", ""})
    Named<TOwnerElement>(name, &entity);
  entity.AddElement(new TElement);
  const std::pair<const char*, int> lookups[] = {
      {"ALFA", 0}, {"ŽLUŤOUČKÝ KŮŇ", 1}, {"ж", 2},  {"Ж", -1}, {"ALF", -1}, {"ALFAX", -1}, {"Zlutoucky kun", -1},
      {"A NAME WELL BEYOND ANY SHORT STRING BUFFER", 4}, {"townerelement", 5}, {"TELEMENT", 6}, {"", -1},
  };
  for (const auto& [wanted, index] : lookups)
    EXPECT_EQ(entity.FindElementByName(wanted), index < 0 ? nullptr : entity.GetElement(index)) << wanted;
}

// ---------------------------------------------------------------- cycles

// An entity never comes to hold itself or one of its owners, whichever path
// adds the child: the graph of holders stays acyclic, walks up the owners
// end, and freeing the top frees everything once.
// top holds middle holds entity; every one a tool, so that every path of a
// tool can be tried with any of them.
struct Chain {
  std::unique_ptr<TTechnology> top{new TTechnology};
  TTechnology* middle = new TTechnology;
  TSelectTechnology* entity = new TSelectTechnology;
  Chain() {
    top->AddElement(middle);
    middle->AddElement(entity);
  }
};

struct Path {
  const char* Name;
  // The published property that adds the child, or empty for a C++ call.
  const char* Property;
  std::function<void(TSelectTechnology& entity, TElement* candidate)> Add;
};

const Path kPaths[] = {
    {"NextElement", "NextElement", nullptr},
    {"AddAllFrom", "AddAllFrom", nullptr},
    {"NextParameter", "NextParameter", nullptr},
    {"ToolToAdd", "ToolToAdd", nullptr},
    {"ElseTool", "ElseTool", nullptr},
    {"AddElement", "", [](TSelectTechnology& e, TElement* c) { e.AddElement(c); }},
    {"InsertElement", "", [](TSelectTechnology& e, TElement* c) { e.InsertElement(0, c); }},
    {"SetElement", "", [](TSelectTechnology& e, TElement* c) { e.SetElement(0, c); }},
    {"AddAliased", "", [](TSelectTechnology& e, TElement* c) { e.AddAliased("x", c); }},
    {"SetParameter", "", [](TSelectTechnology& e, TElement* c) { e.SetParameter("x", c); }},
    {"AddTool", "", [](TSelectTechnology& e, TElement* c) { e.AddTool(static_cast<TTool*>(c)); }},
    {"SetElseTool", "", [](TSelectTechnology& e, TElement* c) { e.SetElseTool(static_cast<TTool*>(c)); }},
};

TEST_F(ElementsTest, EveryPathRefusesTheEntityItselfAndItsOwners) {
  const char* const levels[] = {"itself", "its owner", "its owner's owner"};
  for (const Path& path : kPaths) {
    for (int level = 0; level < 3; ++level) {
      SCOPED_TRACE(std::string(path.Name) + " given " + levels[level]);
      Chain chain;
      TSelectTechnology& entity = *chain.entity;
      entity.AddElement(new TOwnerEntity);  // SetElement replaces a child
      TElement* const candidates[] = {&entity, chain.middle, chain.top.get()};
      TElement* candidate = candidates[level];
      // AddAllFrom takes the children of an entity that also holds the candidate.
      TOwnerEntity source;
      auto* harmless = new TOwnerElement;
      source.AddElement(harmless);
      source.AddElement(candidate);
      const int holders = candidate->HolderCount();
      dialogs.Messages.clear();
      if (*path.Property) {
        const std::string text = Handle(path.Name == std::string("AddAllFrom") ? &source : candidate);
        entity.SetPropertyText(path.Property, text);
        ASSERT_EQ(dialogs.Messages.size(), 1u);
        EXPECT_EQ(dialogs.Messages[0].Text, "Error filling property " + std::string(path.Property) + " by string " + text);
      } else {
        EXPECT_THROW(path.Add(entity, candidate), ECircularOwnership);
      }
      EXPECT_EQ(candidate->HolderCount(), holders);
      EXPECT_EQ(harmless->HolderCount(), 1) << "AddAllFrom takes all or nothing";
      // the walk up ends
      EXPECT_TRUE(entity.ElseTool() == nullptr && entity.FindUpByClass(TKestuMessage::StaticClass()) == nullptr);
      source.RemoveElement(candidate);
    }
  }
}

TEST_F(ElementsTest, DescendantsAndElementsHeldElsewhereAreTaken) {
  Chain chain;
  auto* grandchild = new TOwnerEntity;
  auto* child = new TOwnerEntity;
  child->AddElement(grandchild);
  chain.entity->AddElement(child);
  TOwnerEntity elsewhere;
  auto* shared = new TOwnerEntity;
  elsewhere.AddElement(shared);
  shared->AddElement(new TOwnerEntity);  // holds something, so the walk up runs
  for (TElement* taken : {static_cast<TElement*>(grandchild), static_cast<TElement*>(shared)}) {
    chain.entity->AddElement(taken);
    EXPECT_EQ(chain.entity->IndexOf(taken), static_cast<int>(chain.entity->Children().size()) - 1);
  }
  // A child given to its own descendant is refused from below as well.
  EXPECT_THROW(grandchild->AddElement(chain.middle), ECircularOwnership);
  EXPECT_TRUE(grandchild->IsEmpty());
  elsewhere.RemoveElement(shared);
}

// Many candidates asked at once answer as each asked alone: the entity is
// held along two lines, one of them longer than the walk follows without a
// visited set.
TEST_F(ElementsTest, ManyCandidatesAskedAtOnceAnswerWhetherAnyHoldsTheEntity) {
  // The second line first: it lets the entity go last.
  TOwnerEntity side;
  auto* between = new TOwnerEntity;
  side.AddElement(between);
  auto* entity = new TOwnerEntity;
  between->AddElement(entity);
  entity->AddElement(new TOwnerElement);
  // The first line: 70 entities, each held by the next, the last by the test.
  std::vector<TOwnerEntity*> line{new TOwnerEntity};
  line[0]->AddElement(entity);
  while (line.size() < 70) {
    line.push_back(new TOwnerEntity);
    line.back()->AddElement(line[line.size() - 2]);
  }
  const std::unique_ptr<TOwnerEntity> top(line.back());
  TOwnerEntity unrelated;
  unrelated.AddElement(new TOwnerEntity);
  TOwnerEntity empty;
  TOwnerElement plain;
  const struct {
    const char* name;
    std::vector<const TElement*> candidates;
    bool any;
  } rows[] = {
      {"no candidate", {}, false},
      {"none holds it", {&unrelated, &empty, nullptr, &plain}, false},
      {"its owner's owner among others", {&unrelated, line[1], &empty}, true},
      {"itself among others", {&plain, entity}, true},
      {"the top of its second line", {&unrelated, &side}, true},
      {"the top of its first line, 70 above it", {&empty, top.get()}, true},
      {"its own child", {entity->Children()[0]}, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(entity->AnyIsSelfOrAncestor(row.candidates), row.any) << row.name;
    const bool alone = std::any_of(row.candidates.begin(), row.candidates.end(),
                                   [entity](const TElement* e) { return entity->IsSelfOrAncestor(e); });
    EXPECT_EQ(alone, row.any) << row.name << ", each alone";
  }
}

TEST_F(ElementsTest, AToolGivenItselfAsParameterKeepsItsParameterList) {
  auto tool = std::make_unique<TTool>();
  TParameters* parameters = tool->GetParameters();
  tool->SetPropertyText("NextParameter", Handle(tool.get()));
  EXPECT_TRUE(tool->GetParameters() == parameters && parameters->IsEmpty() && dialogs.Messages.size() == 1);
  // Replacing the parameter later works on an intact list.
  auto* value = new TOwnerEntity;
  value->SetName(tool->GetName());
  tool->SetPropertyText("NextParameter", Handle(value));
  EXPECT_TRUE(tool->GetParameter(tool->GetName()) == value && dialogs.Messages.size() == 1);
}

// Freeing a graph clears every entity in it, inner ones inside outer ones:
// the hourglass shows once for the whole graph.
TEST_F(ElementsTest, FreeingAGraphShowsTheHourglassOnce) {
  const struct {
    const char* name;
    int depth;
  } rows[] = {{"one entity", 1}, {"three levels", 3}, {"deeper than the nested frees go", 200}};
  for (const auto& row : rows) {
    dialogs.CursorChanges.clear();
    auto root = std::make_unique<TOwnerEntity>();
    TEntity* at = root.get();
    for (int level = 1; level < row.depth; ++level) {
      auto* next = new TOwnerEntity;
      at->AddElement(next);
      at->AddElement(new TOwnerElement);
      at = next;
    }
    at->AddElement(new TOwnerElement);
    root.reset();
    EXPECT_EQ(dialogs.CursorChanges, (std::vector<platform::Cursor>{platform::Cursor::HourGlass,
                                                                    platform::Cursor::Default}))
        << row.name;
  }
}

// ---------------------------------------------------------------- child lists

// Children and holders leave their lists one by one, from either end or the
// middle, keeping the order of the rest.
using Model = std::vector<TElement*>;

TEST(GapListTest, EveryEditKeepsTheSameEntriesInTheSameOrderAsAVector) {
  std::vector<std::unique_ptr<TElement>> pool;
  for (int i = 0; i < 8; ++i) pool.push_back(std::make_unique<TElement>());
  std::mt19937 random(15);
  for (int round = 0; round < 200; ++round) {
    TGapList<TElement> list;
    Model model;
    for (int step = 0; step < 300; ++step) {
      const auto size = model.size();
      const auto at = size == 0 ? 0 : random() % (size + 1);
      TElement* item = pool[random() % pool.size()].get();
      switch (random() % 5) {
        case 0:
        case 1:
          list.insert(at, item);
          model.insert(model.begin() + static_cast<std::ptrdiff_t>(std::min(at, size)), item);
          break;
        case 2:
          list.push_back(item);
          model.push_back(item);
          break;
        default:
          if (size == 0) break;
          list.erase(at % size);
          model.erase(model.begin() + static_cast<std::ptrdiff_t>(at % size));
          break;
      }
      ASSERT_TRUE(list == model) << "round " << round << " step " << step;
      const auto first = std::find(model.begin(), model.end(), item);
      const std::ptrdiff_t expected = first == model.end() ? -1 : first - model.begin();
      ASSERT_EQ(list.IndexOfFirst(item), expected) << "round " << round << " step " << step;
      if (std::count(model.begin(), model.end(), item) <= 1) {
        ASSERT_EQ(list.IndexOfFirst(item, true), expected) << "round " << round << " step " << step;
      }
    }
  }
}

// Holder and owner lists: one entry inline, more in a block whose header
// also counts the entries of a long list.  Every edit keeps the entries and
// their order as a vector does, through one entry, short lists, counted long
// ones and back to empty, with entries listed more than once.
TEST(PointerListTest, EveryEditKeepsTheSameEntriesInTheSameOrderAsAVector) {
  std::vector<std::unique_ptr<TElement>> pool;
  for (int i = 0; i < 48; ++i) pool.push_back(std::make_unique<TElement>());
  std::mt19937 random(30);
  for (int round = 0; round < 60; ++round) {
    TPointerList<TElement> list;
    Model model;
    // Rounds lean to growing or to shrinking, so lists cross the counted
    // length both ways.
    const unsigned grow = round % 2 == 0 ? 6 : 3;
    for (int step = 0; step < 400; ++step) {
      const int size = static_cast<int>(model.size());
      TElement* item = pool[random() % (round % 3 == 0 ? 4 : pool.size())].get();
      const auto trace = [&] { return "round " + std::to_string(round) + " step " + std::to_string(step); };
      const unsigned action = random() % 10;
      if (action < grow) {
        const int at = static_cast<int>(random() % static_cast<unsigned>(size + 2));
        list.Insert(at, item);
        if (at <= 0 || at >= size) model.push_back(item);
        else model.insert(model.begin() + at, item);
      } else if (action < 8) {
        const auto first = std::find(model.begin(), model.end(), item);
        ASSERT_EQ(list.Remove(item), first != model.end()) << trace();
        if (first != model.end()) model.erase(first);
      } else {
        // Whichever occurrence goes, an entry listed once leaves its place.
        const auto listed = std::count(model.begin(), model.end(), item);
        if (listed > 1) continue;
        ASSERT_EQ(list.RemoveAny(item), listed == 1) << trace();
        std::erase(model, item);
      }
      ASSERT_EQ(list.Count(), static_cast<int>(model.size())) << trace();
      for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(list.At(i), model[static_cast<std::size_t>(i)]) << trace();
      EXPECT_EQ(list.At(list.Count()), nullptr) << trace();
      for (int probe = 0; probe < 4; ++probe) {
        TElement* other = pool[static_cast<std::size_t>(probe * 11)].get();
        ASSERT_EQ(list.Contains(other), std::find(model.begin(), model.end(), other) != model.end()) << trace();
      }
    }
  }
}

// A copy (made or assigned) lists the same entries in its own block: editing
// one leaves the other as it was, and a list that never held anything copies
// as such.
TEST(GapListTest, ACopyListsTheSameEntriesApartFromTheOriginal) {
  std::vector<std::unique_ptr<TElement>> pool;
  for (int i = 0; i < 100; ++i) pool.push_back(std::make_unique<TElement>());
  const struct {
    const char* name;
    std::function<void(TGapList<TElement>&)> fill;
  } rows[] = {
      {"never made", [](TGapList<TElement>&) {}},
      {"made, then emptied",
       [&](TGapList<TElement>& list) {
         list.push_back(pool[0].get());
         list.erase(0);
       }},
      {"with a gap at the front",
       [&](TGapList<TElement>& list) {
         for (int i = 0; i < 40; ++i) list.push_back(pool[static_cast<std::size_t>(i)].get());
         for (int i = 0; i < 10; ++i) list.erase(0);
       }},
      {"grown past its first block",
       [&](TGapList<TElement>& list) {
         for (const auto& element : pool) list.push_back(element.get());
       }},
  };
  for (const auto& row : rows) {
    TGapList<TElement> original;
    row.fill(original);
    const Model before(original.begin(), original.end());
    TGapList<TElement> copied(original);
    TGapList<TElement> assigned;
    assigned.push_back(pool[99].get());
    assigned = original;
    for (TGapList<TElement>* copy : {&copied, &assigned}) {
      EXPECT_TRUE(*copy == before) << row.name;
      EXPECT_EQ(copy->Made(), original.Made()) << row.name;
      copy->insert(0, pool[50].get());
    }
    EXPECT_TRUE(original == before) << row.name;
  }
}

TEST_F(ElementsTest, ChildListedTwiceLeavesByItsFirstSlotWhereverTheOtherOneIs) {
  const struct {
    const char* name;
    int first;  // slots of the twice-listed child among six
    int second;
    bool freeIt;  // FreeElement instead of RemoveElement
  } cases[] = {
      {"both near the front", 0, 1, false},   {"front and back", 0, 5, false},
      {"both near the back", 4, 5, false},    {"middle and back", 2, 5, false},
      {"front and back, freed", 1, 5, true},  {"both near the back, freed", 3, 4, true},
  };
  for (const auto& c : cases) {
    TOwnerEntity entity;
    auto* twice = new TOwnerElement;
    Model expected;
    for (int slot = 0; slot < 6; ++slot) {
      TElement* child = slot == c.first || slot == c.second ? twice : new TOwnerElement;
      entity.AddElement(child);
      if (slot != c.first) expected.push_back(child);
    }
    if (c.freeIt) entity.FreeElement(twice);
    else entity.RemoveElement(twice);
    EXPECT_TRUE(entity.Children() == expected && entity.IndexOf(twice) == c.second - 1 && twice->HolderCount() == 1)
        << c.name;
  }
}

TEST_F(ElementsTest, ChildrenLeavingOneByOneFromEitherEndKeepTheRestInOrder) {
  for (int how = 0; how < 6; ++how) {  // removed, freed or dying on its own; from the front or the back
    const bool fromFront = how % 2 == 0;
    TOwnerEntity entity;
    Model model;
    for (int i = 0; i < 100; ++i) model.push_back(Named<TOwnerElement>("", &entity));
    while (!model.empty()) {
      TElement* leaving = fromFront ? model.front() : model.back();
      model.erase(fromFront ? model.begin() : model.end() - 1);
      if (how < 2) entity.RemoveElement(leaving);
      if (how < 2 || how >= 4) delete leaving;
      else entity.FreeElement(leaving);
      ASSERT_TRUE(entity.Children() == model) << "way " << how << " with " << model.size() << " left";
    }
  }
  // An element held by many is unlinked by all but the last, from the first holder on, then freed.
  std::vector<std::unique_ptr<TOwnerEntity>> holders;
  auto* shared = new TOwnerElement;
  for (int i = 0; i < 50; ++i) {
    holders.push_back(std::make_unique<TOwnerEntity>());
    holders.back()->AddElement(new TOwnerElement);
    holders.back()->AddElement(shared);
  }
  for (const auto& holder : holders) holder->FreeElement(shared);
  for (const auto& holder : holders) EXPECT_TRUE(holder->GetCount() == 1 && holder->GetElement(0) != shared);
}

TEST_F(ElementsTest, RemovingEntriesInOnePassLeavesWhatRemovingThemOneByOneLeaves) {
  // Each letter one element; a repeated letter is the same element listed
  // again, a capital is also held by a second entity.
  const struct {
    const char* name;
    const char* list;
    const char* drop;
  } rows[] = {
      {"nothing dropped", "abcd", ""},      {"everything dropped", "abcd", "abcd"},
      {"every other one", "abcdef", "bdf"}, {"front and back", "abcdef", "af"},
      {"listed twice, both go", "abcab", "a"}, {"listed twice, held elsewhere", "aBcBd", "b"},
      {"an empty list", "", "a"},
  };
  for (const auto& row : rows) {
    TOwnerEntity onePass, oneByOne, elsewhere;
    std::vector<TElement*> first, second;  // the elements of each letter, by letter
    for (int letter = 0; letter < 26; ++letter) {
      first.push_back(new TOwnerElement);
      second.push_back(new TOwnerElement);
    }
    const std::string list = row.list;
    const std::string drop = row.drop;
    auto letterOf = [](char c) { return (c | 0x20) - 'a'; };
    for (char c : list) {
      onePass.AddElement(first[letterOf(c)]);
      oneByOne.AddElement(second[letterOf(c)]);
      if (c != (c | 0x20)) {
        elsewhere.AddElement(first[letterOf(c)]);
        elsewhere.AddElement(second[letterOf(c)]);
      }
    }
    auto dropped = [&](const std::vector<TElement*>& of, const TElement* e) {
      for (char c : drop)
        if (of[letterOf(c)] == e) return true;
      return false;
    };
    int asked = 0;
    const std::vector<TElement*> removed = onePass.RemoveElementsIf([&](TElement* e) {
      ++asked;
      return dropped(first, e);
    });
    std::string expectedRemoved;
    for (char c : list)
      if (drop.find(static_cast<char>(c | 0x20)) != std::string::npos) {
        expectedRemoved += static_cast<char>(c | 0x20);
        oneByOne.RemoveElement(second[letterOf(c)]);
      }
    auto letters = [&](const std::vector<TElement*>& of, auto&& entries) {
      std::string text;
      for (const TElement* e : entries)
        text += static_cast<char>('a' + (std::find(of.begin(), of.end(), e) - of.begin()));
      return text;
    };
    EXPECT_EQ(asked, static_cast<int>(list.size())) << row.name;
    EXPECT_EQ(letters(first, removed), expectedRemoved) << row.name;
    EXPECT_EQ(letters(first, onePass.Children()), letters(second, oneByOne.Children())) << row.name;
    for (int letter = 0; letter < 26; ++letter) {
      EXPECT_EQ(first[letter]->HolderCount(), second[letter]->HolderCount()) << row.name << " " << letter;
      EXPECT_EQ(first[letter]->GetOwnersCount(), second[letter]->GetOwnersCount()) << row.name << " " << letter;
    }
    for (auto* of : {&first, &second}) {
      for (TElement* e : *of)
        if (e->HolderCount() == 0 && e->GetOwnersCount() == 0) delete e;
    }
  }
}

}  // namespace

// A keeper that takes and lets go of many elements in turn (the stream
// reader's element map) puts a new one into a slot it emptied, and only there.
class TSlotKeeper : public TQuickEntity {
 public:
  using TEntity::AppendHeld;
  using TEntity::HoldInSlot;
  using TEntity::ReleaseHeld;
};

TEST_F(ElementsTest, AnEmptiedSlotTakesANewHeldElementAndNoOtherSlotDoes) {
  Leaf::Alive = 0;
  const struct {
    const char* name;
    std::size_t slot;  // of three held elements, the middle one let go
    bool self;
    bool holds;
  } rows[] = {{"the emptied slot", 1, false, true},
              {"a slot still holding its element", 0, false, false},
              {"a slot past the end", 3, false, false},
              {"the keeper itself", 1, true, false}};
  for (const auto& row : rows) {
    TSlotKeeper keeper;
    Leaf* held[3];
    for (Leaf*& each : held) each = new Leaf;
    for (Leaf* each : held) keeper.AppendHeld(each);
    ASSERT_TRUE(keeper.ReleaseHeld(held[1], 1)) << row.name;
    delete held[1];
    auto* fresh = new Leaf;
    TElement* offered = row.self ? static_cast<TElement*>(&keeper) : fresh;
    EXPECT_EQ(keeper.HoldInSlot(row.slot, offered), row.holds) << row.name;
    const std::vector<TElement*> expected{held[0], row.holds ? fresh : nullptr, held[2]};
    EXPECT_EQ(keeper.Children(), expected) << row.name;
    EXPECT_EQ(fresh->HolderCount(), row.holds ? 1 : 0) << row.name;
    EXPECT_EQ(held[0]->HolderCount(), 1) << row.name;
    if (!row.holds) delete fresh;
  }
  EXPECT_EQ(Leaf::Alive, 0);
}

// A held element is let go from the hinted slot when that still holds it, else
// from wherever it is; one not held is refused and nothing changes.
TEST_F(ElementsTest, LettingGoOfAHeldElementFindsItWhereverTheHintPoints) {
  Leaf::Alive = 0;
  const struct {
    const char* name;
    int element;  // among three held ones; 3 for one not held
    std::size_t hint;
    bool released;
  } rows[] = {{"the hint holds it", 1, 1, true},
              {"a stale hint", 2, 0, true},
              {"the first, hinted at the last", 0, 2, true},
              {"a hint past the end", 1, 7, true},
              {"not held", 3, 1, false}};
  for (const auto& row : rows) {
    TSlotKeeper keeper;
    Leaf* elements[4];
    for (Leaf*& each : elements) each = new Leaf;
    for (int i = 0; i < 3; ++i) keeper.AppendHeld(elements[i]);
    EXPECT_EQ(keeper.ReleaseHeld(elements[row.element], row.hint), row.released) << row.name;
    std::vector<TElement*> expected(elements, elements + 3);
    if (row.released) expected[static_cast<std::size_t>(row.element)] = nullptr;
    EXPECT_EQ(keeper.Children(), expected) << row.name;
    EXPECT_EQ(elements[row.element]->HolderCount(), row.element < 3 && !row.released ? 1 : 0) << row.name;
    for (std::size_t i = 0; i < 3; ++i) keeper.ReleaseHeld(elements[i], i);
    for (Leaf* each : elements) delete each;
  }
  EXPECT_EQ(Leaf::Alive, 0);
}
