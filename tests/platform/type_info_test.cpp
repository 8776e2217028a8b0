#include "platform/type_info.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// TObject - TPersistent - TBranchA - TBranchAA, and TBranchB beside TBranchA.
class TBranchA : public TPersistent {
  KESTX_CLASS(TBranchA)
};
class TBranchAA : public TBranchA {
  KESTX_CLASS(TBranchAA)
};
class TBranchB : public TPersistent {
  KESTX_CLASS(TBranchB)
};

TClass TBranchA::StaticClass() {
  static const TClassInfo info = DescribeClass<TBranchA>("TBranchA", TPersistent::StaticClass(), "test", {});
  return &info;
}
TClass TBranchAA::StaticClass() {
  static const TClassInfo info = DescribeClass<TBranchAA>("TBranchAA", TBranchA::StaticClass(), "test", {});
  return &info;
}
TClass TBranchB::StaticClass() {
  static const TClassInfo info = DescribeClass<TBranchB>("TBranchB", TPersistent::StaticClass(), "test", {});
  return &info;
}

TEST(TypeInfoTest, AClassInheritsFromItselfAndEachAncestorOnly) {
  const struct {
    const char* name;
    TClass cls;
    TClass ancestor;
    bool inherits;
  } rows[] = {
      {"itself", TBranchAA::StaticClass(), TBranchAA::StaticClass(), true},
      {"parent", TBranchAA::StaticClass(), TBranchA::StaticClass(), true},
      {"two up", TBranchAA::StaticClass(), TPersistent::StaticClass(), true},
      {"root", TBranchAA::StaticClass(), TObject::StaticClass(), true},
      {"sibling at the parent's depth", TBranchAA::StaticClass(), TBranchB::StaticClass(), false},
      {"descendant", TBranchA::StaticClass(), TBranchAA::StaticClass(), false},
      {"root asked for a descendant", TObject::StaticClass(), TPersistent::StaticClass(), false},
      {"nil", TBranchA::StaticClass(), nullptr, false},
  };
  for (const auto& row : rows) EXPECT_EQ(row.cls->InheritsFrom(row.ancestor), row.inherits) << row.name;
  TBranchAA deep;
  TBranchB other;
  EXPECT_EQ(DynamicCast<TBranchA>(static_cast<TObject*>(&deep)), &deep);
  EXPECT_EQ(DynamicCast<TBranchA>(static_cast<TObject*>(&other)), nullptr);
  EXPECT_EQ(deep.ClassType(), TBranchAA::StaticClass());
}

// A published property is read through any one getter and written through
// any one setter of its kind; without one it is read-only or write-only.
TEST(TypeInfoTest, APropertyReadsAndWritesThroughAnyAccessorOfItsKind) {
  const struct {
    const char* name;
    void (*give)(TPropInfo&);
    bool read, write;
  } rows[] = {
      {"none", [](TPropInfo&) {}, false, false},
      {"ordinal getter", [](TPropInfo& p) { p.GetOrd = [](const TObject&) { return std::int64_t{0}; }; }, true, false},
      {"ordinal setter", [](TPropInfo& p) { p.SetOrd = [](TObject&, std::int64_t) {}; }, false, true},
      {"float getter", [](TPropInfo& p) { p.GetFloat = [](const TObject&) { return 0.0L; }; }, true, false},
      {"float setter", [](TPropInfo& p) { p.SetFloat = [](TObject&, long double) {}; }, false, true},
      {"text getter", [](TPropInfo& p) { p.GetStr = [](const TObject&) { return std::string(); }; }, true, false},
      {"text setter", [](TPropInfo& p) { p.SetStr = [](TObject&, const std::string&) {}; }, false, true},
      {"object getter", [](TPropInfo& p) { p.GetObj = [](const TObject&) -> TObject* { return nullptr; }; }, true,
       false},
      {"object setter", [](TPropInfo& p) { p.SetObj = [](TObject&, TObject*) {}; }, false, true},
      {"method getter", [](TPropInfo& p) { p.GetMethod = [](const TObject&) { return TMethod{}; }; }, true, false},
      {"method setter", [](TPropInfo& p) { p.SetMethod = [](TObject&, const TMethod&) {}; }, false, true},
  };
  for (const auto& row : rows) {
    TPropInfo info;
    row.give(info);
    EXPECT_EQ(info.HasRead(), row.read) << row.name;
    EXPECT_EQ(info.HasWrite(), row.write) << row.name;
  }
}

// A class's published properties are its parent's first, then its own; one
// republished under the same name (in any case) keeps the parent's place.
TEST(TypeInfoTest, PublishedPropertiesAreInheritedFirstAndARepublishedOneKeepsItsPlace) {
  const auto described = [](const char* name, TClass parent, std::vector<const char*> props) {
    auto info = std::make_unique<TClassInfo>();
    info->ClassName = name;
    info->Parent = parent;
    for (const char* prop : props) {
      info->OwnProps.emplace_back();
      info->OwnProps.back().Name = prop;
    }
    return info;
  };
  const auto base = described("TBase", nullptr, {"Name", "ID"});
  const auto derived = described("TDerived", base.get(), {"id", "Area"});
  const std::vector<const TPropInfo*> expected{&base->OwnProps[0], &derived->OwnProps[0], &derived->OwnProps[1]};
  EXPECT_EQ(derived->Props(), expected);
  EXPECT_EQ(derived->Props(), expected) << "asked again";
  EXPECT_EQ(base->Props(), (std::vector<const TPropInfo*>{&base->OwnProps[0], &base->OwnProps[1]}));
  const struct {
    const char* name;
    const TPropInfo* found;
  } rows[] = {{"AREA", &derived->OwnProps[1]}, {"Id", &derived->OwnProps[0]}, {"name", &base->OwnProps[0]},
              {"Volume", nullptr}};
  for (const auto& row : rows) EXPECT_EQ(derived->FindProp(row.name), row.found) << row.name;
}

}  // namespace
