// The saver walks the graph with a loop of its own; its records must still
// come in the order of the recursor's walk, which the file format fixes.
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/stream/kes_saver.h"
#include "tests/framework/framework_fixture.h"
#include "tests/platform/temp_folder.h"

namespace {

// The recursor's walk with the saver's tests, noting each element once, where
// the saver would write it.
class TFirstVisits : public TRecursor {
 public:
  bool QProcessAfter(TElement*) override { return true; }
  void Process(TElement* element) override {
    if (seen.insert(element).second) order.push_back(element);
  }
  std::vector<TElement*> order;
  std::unordered_set<TElement*> seen;
};

class KesSaverWalkTest : public FrameworkTest {};

TEST_F(KesSaverWalkTest, RecordsFollowTheRecursorsWalkThroughSharedEntitiesAndCycles) {
  auto root = std::make_unique<TOwnerEntity>();
  auto* a = Named("A", root.get());
  Named<TOwnerElement>("a1", a);
  Named<TOwnerElement>("a2", a);
  auto* b = Named("B", root.get());
  b->AddElement(a);  // a shared entity, walked inside again from each parent
  Named<TOwnerElement>("b1", b);
  Named<TOwnerElement>("c", root.get());
  root->AddElement(a);
  // Lists without ownership may hold themselves and their ancestors.
  auto* q = Named<TQuickEntity>("", root.get());
  q->AddElement(q);
  q->AddElement(b);
  q->AddElement(root.get());

  TFirstVisits visits;
  visits.SetInput(root.get());
  visits.DoIt();
  ASSERT_EQ(visits.order.size(), 8u);

  TempFolder folder;
  TSave save;
  save.FileName = folder.File("walk.kes");
  save.SetInput(root.get());
  save.DoIt();
  RunMessages();
  for (std::size_t i = 0; i < visits.order.size(); ++i)
    EXPECT_EQ(visits.order[i]->ID, static_cast<int>(i)) << visits.order[i]->GetName();
}

}  // namespace
