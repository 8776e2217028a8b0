#include <cstdio>
#include <string>
#include <vector>

#include "framework/values/typed_values.h"
#include "tests/framework/framework_fixture.h"
#include "tests/framework/stream/kes_stream_files.h"

namespace {

using StringListRoundTripTest = FrameworkTest;

struct Item {
  bool Named;
  std::string Name;
  std::string Value;
  bool operator==(const Item&) const = default;
};

std::vector<Item> Items(const TStringListElement& list) {
  std::vector<Item> items;
  for (TElement* child : list.Children()) {
    auto* item = DynamicCast<TStringElement>(child);
    items.push_back({item->HasName(), item->HasName() ? item->GetName() : "", item->GetAsString()});
  }
  return items;
}

std::string Describe(const std::vector<Item>& items) {
  std::string text;
  for (const Item& item : items) text += (item.Named ? item.Name : "(no name)") + "=" + item.Value + "; ";
  return text;
}

// Every item keeps whether it has a name, its name and its value.
TEST_F(StringListRoundTripTest, AListSavedAndLoadedAgainIsEqual) {
  const std::vector<std::vector<Item>> lists = {
      {{false, "", "abc"}},
      {{true, "Klíč", ""}},
      {{true, "Název", "Žluťoučký kůň"}, {false, "", "jen hodnota"}, {true, "X", ""}, {false, "", ""}},
      {{true, "a", "b=c"}, {false, "", "1,5"}},
  };
  for (const std::vector<Item>& items : lists) {
    TStringListElement list;
    for (const Item& item : items) {
      if (item.Named) list.AddNameValue(item.Name, item.Value);
      else list.NextValue(item.Value);
    }
    const std::string path = kes::TempFile("string_list_round_trip");
    list.SaveToFile(path);
    TStringListElement loaded;
    loaded.LoadFromFile(path);
    std::remove(path.c_str());
    EXPECT_EQ(Items(loaded), items) << Describe(items) << " came back as " << Describe(Items(loaded));
  }
}

}  // namespace
