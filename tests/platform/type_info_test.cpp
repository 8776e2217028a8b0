#include "platform/type_info.h"

#include <gtest/gtest.h>

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

}  // namespace
