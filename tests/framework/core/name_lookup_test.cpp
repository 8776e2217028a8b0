// Looking a child up by name, letter case aside.
#include <gtest/gtest.h>

#include <string>

#include "tests/framework/framework_fixture.h"

namespace {

class NameLookupTest : public FrameworkTest {};

TEST_F(NameLookupTest, FindsTheFirstChildWhoseNameMatchesInAnyLetterCase) {
  TOwnerEntity entity;
  auto* unnamed = new TOwnerElement;  // answers its class name
  auto* plain = new TElement;         // has no name of its own at all
  const char* names[] = {"Alfa", "žluťoučký kůň", "ж", "alfa", "a name well beyond any short string buffer"};
  for (const char* name : names) {
    auto* child = new TOwnerElement;
    child->SetName(name);
    entity.AddElement(child);
  }
  entity.AddElement(unnamed);
  entity.AddElement(plain);
  struct Case {
    const char* wanted;
    int index;  // -1 for none
  };
  const Case cases[] = {
      {"ALFA", 0},  {"alfa", 0},  {"ŽLUŤOUČKÝ KŮŇ", 1}, {"ж", 2},     {"я", -1},
      {"Ж", -1},    {"ALF", -1},  {"ALFAX", -1},        {"A NAME WELL BEYOND ANY SHORT STRING BUFFER", 4},
      {"townerelement", 5},       {"TELEMENT", 6},      {"", -1},
  };
  for (const Case& c : cases) {
    TElement* expected = c.index < 0 ? nullptr : entity.GetElement(c.index);
    EXPECT_EQ(entity.FindElementByName(c.wanted), expected) << c.wanted;
  }
}

}  // namespace
