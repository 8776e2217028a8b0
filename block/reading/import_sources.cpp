#include "block/reading/import_sources.h"

#include "framework/core/class_registry.h"

TImportSourceNode::~TImportSourceNode() { Text.clear(); }

void TImportSource::AddSource(const std::string& Text) {
  if (Text.empty()) return;
  auto* node = new TImportSourceNode;
  node->Text = Text;
  AddElement(node);
}

namespace {

// The list held by link, made and added as a child of source when missing.
template <class L>
L* ListOf(TImportSource& source, TElementLink& link) {
  if (auto* list = static_cast<L*>(link.Get())) return list;
  auto* list = new L;
  source.AddElement(list);
  link.Set(list);
  return list;
}

// A command property: written text goes to Set, reading answers "".
template <class C>
TPropInfo CommandProp(std::string name, void (C::*set)(const std::string&)) {
  return NotStored(AccessorProp<C, std::string>(
      std::move(name), [](const C&) { return std::string(); }, [set](C& c, std::string v) { (c.*set)(v); }));
}

}  // namespace

TLumaRImportBlocks* TLumaRImportSource::Blocks() { return ListOf<TLumaRImportBlocks>(*this, blocks_); }
TLumaRImportLibraries* TLumaRImportSource::Libraries() { return ListOf<TLumaRImportLibraries>(*this, libraries_); }
TLumaRImportRasters* TLumaRImportSource::Rasters() { return ListOf<TLumaRImportRasters>(*this, rasters_); }

TClass TImportSourceNode::StaticClass() {
  using E = TImportSourceNode;
  static const TClassInfo info =
      DescribeClass<E>("TImportSourceNode", TOwnerElement::StaticClass(), "T_lumimp", {FieldProp("Text", &E::Text)});
  return &info;
}

TClass TImportSource::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TImportSource>("TImportSource", TOwnerEntity::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumaRImportBlocks::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumaRImportBlocks>("TLumaRImportBlocks", TImportSource::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumaRImportLibraries::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumaRImportLibraries>("TLumaRImportLibraries", TImportSource::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumaRImportRasters::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TLumaRImportRasters>("TLumaRImportRasters", TImportSource::StaticClass(), "T_lumimp", {});
  return &info;
}

TClass TLumaRImportSource::StaticClass() {
  using E = TLumaRImportSource;
  static const TClassInfo info = DescribeClass<E>(
      "TLumaRImportSource", TImportSource::StaticClass(), "T_lumimp",
      {CommandProp("NewBlock", &E::SetNewBlock), CommandProp("NewRaster", &E::SetNewRaster),
       CommandProp("NewLibrary", &E::SetNewLibrary)});
  return &info;
}

void RegisterImportSourceClasses() {
  for (TClass cls : {TImportSourceNode::StaticClass(), TImportSource::StaticClass(), TLumaRImportBlocks::StaticClass(),
                     TLumaRImportLibraries::StaticClass(), TLumaRImportRasters::StaticClass(),
                     TLumaRImportSource::StaticClass()})
    RegisterKestuClass(cls);
}
