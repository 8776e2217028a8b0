#include "platform/type_info.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameAsciiText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

int TEnumType::ValueOf(const std::string& text) const {
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (SameAsciiText(Names[i], text)) return static_cast<int>(i);
  return -1;
}

const TEnumType& BooleanType() {
  static const TEnumType type{"Boolean", {"False", "True"}};
  return type;
}

bool TPropInfo::HasRead() const {
  return GetOrd || GetFloat || GetStr || GetObj || GetMethod;
}

bool TPropInfo::HasWrite() const {
  return SetOrd || SetFloat || SetStr || SetObj || SetMethod;
}

bool TPropInfo::IsStoredOn(const TObject& instance) const {
  if (StoredConstant) return *StoredConstant;
  return !StoredTest || StoredTest(instance);
}

TPropInfo NotStored(TPropInfo info) {
  info.StoredConstant = false;
  info.StoredTest = nullptr;
  return info;
}

TPropInfo StoredWhen(TPropInfo info, std::function<bool(const TObject&)> test) {
  info.StoredConstant.reset();
  info.StoredTest = std::move(test);
  return info;
}

const std::vector<const TPropInfo*>& TClassInfo::Props() const {
  if (!propsBuilt_) {
    if (Parent) allProps_ = Parent->Props();
    for (const TPropInfo& own : OwnProps) {
      auto same = std::find_if(allProps_.begin(), allProps_.end(),
                               [&](const TPropInfo* p) { return SameAsciiText(p->Name, own.Name); });
      if (same != allProps_.end()) *same = &own;
      else allProps_.push_back(&own);
    }
    propsBuilt_ = true;
  }
  return allProps_;
}

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
  for (const TPropInfo* p : Props())
    if (SameAsciiText(p->Name, name)) return p;
  return nullptr;
}

TClass TObject::StaticClass() {
  static const TClassInfo info = DescribeClass<TObject>("TObject", nullptr, "System", {});
  return &info;
}

TClass TPersistent::StaticClass() {
  static const TClassInfo info = DescribeClass<TPersistent>("TPersistent", TObject::StaticClass(), "Classes", {});
  return &info;
}
