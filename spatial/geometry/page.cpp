#include "spatial/geometry/page.h"

#include <algorithm>
#include <limits>

#include "framework/core/class_registry.h"
#include "platform/streams.h"
#include "spatial/geometry/little_endian.h"

namespace {

std::int32_t SaturatedDifference(std::int32_t a, std::int32_t b) {
  const std::int64_t difference = std::int64_t{a} - b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(difference, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

constexpr std::size_t kBlockSize = 56;

void PutRect(std::uint8_t* at, const TDeviceRect& R) {
  little_endian::PutInt32(at, R.Left);
  little_endian::PutInt32(at + 4, R.Top);
  little_endian::PutInt32(at + 8, R.Right);
  little_endian::PutInt32(at + 12, R.Bottom);
}

TDeviceRect GetRect(const std::uint8_t* at) {
  return {little_endian::GetInt32(at), little_endian::GetInt32(at + 4), little_endian::GetInt32(at + 8),
          little_endian::GetInt32(at + 12)};
}

}  // namespace

void T_Page::SetResolution(double HRes, double VRes) {
  hRes_ = HRes;
  vRes_ = VRes;
}

std::int32_t T_Page::Width() const { return SaturatedDifference(PageRect.Right, PageRect.Left); }
std::int32_t T_Page::Height() const { return SaturatedDifference(PageRect.Bottom, PageRect.Top); }

void T_Page::Assign(const TElement* Source) {
  const auto* source = DynamicCast<T_Page>(Source);
  if (!source) return;
  color_ = source->color_;
  ClipRect = source->ClipRect;
  ClipActive = source->ClipActive;
  CentreOnClip = source->CentreOnClip;
  PageRect = source->PageRect;
  hRes_ = source->hRes_;
  vRes_ = source->vRes_;
}

void T_Page::ReadData(platform::TReader& reader, TQuickEntity& elementMap) {
  TOwnerElement::ReadData(reader, elementMap);
  std::uint8_t block[kBlockSize];
  reader.Read(block, sizeof block);
  color_ = little_endian::GetUInt32(block + 2);
  hRes_ = little_endian::GetDouble(block + 6);
  vRes_ = little_endian::GetDouble(block + 14);
  PageRect = GetRect(block + 22);
  ClipRect = GetRect(block + 38);
  ClipActive = block[54] != 0;
  CentreOnClip = block[55] != 0;
}

void T_Page::WriteData(platform::TWriter& writer) const {
  TOwnerElement::WriteData(writer);
  std::uint8_t block[kBlockSize] = {};
  little_endian::PutUInt32(block + 2, color_);
  little_endian::PutDouble(block + 6, hRes_);
  little_endian::PutDouble(block + 14, vRes_);
  PutRect(block + 22, PageRect);
  PutRect(block + 38, ClipRect);
  block[54] = ClipActive ? 1 : 0;
  block[55] = CentreOnClip ? 1 : 0;
  writer.Write(block, sizeof block);
}

TClass T_Page::StaticClass() {
  static const TClassInfo info = DescribeClass<T_Page>(
      "T_Page", TOwnerElement::StaticClass(), "E_page",
      {NotStored(ReadProp("Width", &T_Page::Width)), NotStored(ReadProp("Height", &T_Page::Height)),
       NotStored(ReadProp("HRes", &T_Page::HRes)), NotStored(ReadProp("VRes", &T_Page::VRes))});
  return &info;
}

void RegisterE_pageClasses() { RegisterKestuClass(T_Page::StaticClass()); }
