#include "cartography/models/layer_scripts.h"

#include <algorithm>
#include <vector>

#include "framework/core/class_registry.h"
#include "framework/environment/directory_walker.h"
#include "framework/values/typed_values.h"
#include "platform/file_system.h"

namespace {

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

// Paths found on this system are written with its own separator.
std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path.front() == '/' || path.front() == '\\')) || path.find(':') != std::string::npos;
}

// The base folder with one separator, then the relative part.
std::string Join(const std::string& base, const std::string& relative) {
  std::string joined = WithSlashes(base);
  if (joined.empty() || joined.back() != '/') joined += '/';
  return joined + WithSlashes(relative);
}

// The folder a search runs in: the base for none, under the base when
// relative.
std::string SearchFolder(const std::string& directory, const std::string& base) {
  if (directory.empty()) return WithSlashes(base);
  return IsAbsolute(directory) ? WithSlashes(directory) : Join(base, directory);
}

bool IsBlockKind(const std::string& kind) {
  static const std::vector<std::string> kinds{"LIN", "PNT", "ARE", "TXT", "LINSYM"};
  return std::find(kinds.begin(), kinds.end(), AsciiUpperCase(kind)) != kinds.end();
}

// A block is a folder; every other layer reads plain files.
std::uint16_t EntryFilter(const std::string& kind) {
  return IsBlockKind(kind) ? platform::faDirectory
                           : platform::faReadOnly | platform::faHidden | platform::faSysFile | platform::faVolumeID |
                                 platform::faArchive;
}

}  // namespace

std::string DirectoryPart(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

std::string NamePart(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ---------------------------------------------------------------- TLayerScript

bool TLayerScript::GetGoIntoDirs() const { return !description_.empty() && description_.front() == '+'; }

void TLayerScript::SetGoIntoDirs(bool value) {
  if (value && !GetGoIntoDirs()) description_.insert(0, "+");
  if (!value && GetGoIntoDirs()) description_.erase(0, 1);
}

void TLayerScript::Clear() {
  TRectEntity::Clear();
  parameters_.Set(nullptr);
  description_.clear();
}

TPropertyList* TLayerScript::Parameters() const { return static_cast<TPropertyList*>(parameters_.Get()); }

void TLayerScript::ShareParameters(TPropertyList* list) {
  AddElement(list);
  parameters_.Set(list);
}

void TLayerScript::AddParameter(TElement* element) {
  TPropertyList* list = Parameters();
  if (!list) {
    list = CreateElement<TPropertyList>();
    ShareParameters(list);
  }
  list->AddElement(element);
}

void TLayerScript::ExpandPaths(const std::string& baseDirectory) {
  const std::string kind = GetName();
  if (AsciiUpperCase(kind) == "ELEMENT") return;
  for (int i = GetCount(); i-- > 0;)
    if (TElement* child = GetElement(i); child && child->InheritsFrom(TPathElement::StaticClass())) FreeElement(child);
  if (description_.empty()) return;

  const std::uint16_t filter = EntryFilter(kind);
  std::vector<std::string> found;
  if (GetGoIntoDirs()) {
    const std::string spec = description_.substr(1);
    found = RecursiveFileSearch(SearchFolder(DirectoryPart(spec), baseDirectory), NamePart(spec), filter);
  } else {
    const std::string directory = DirectoryPart(description_);
    const std::string mask = NamePart(description_);
    if (mask.find('*') != std::string::npos)
      // An absolute folder is searched as well: taken as one path, a mask
      // would name no file at all.
      found = FlatFileSearch(SearchFolder(directory, baseDirectory), mask, filter);
    else if (IsAbsolute(directory) || IsAbsolute(description_))
      found = {WithSlashes(description_)};
    else
      found = {Join(baseDirectory, directory.empty() ? mask : description_)};
  }
  for (const std::string& path : found) InsertElement(0, TPathElement::CreateNameValue("PATH", path));
}

TClass TLayerScript::StaticClass() {
  using E = TLayerScript;
  static const TClassInfo info = DescribeClass<E>(
      "TLayerScript", TRectEntity::StaticClass(), "ModelScripts",
      {AccessorProp<E, std::string>(
           "Description", [](const E& e) { return e.GetDescription(); },
           [](E& e, std::string value) { e.SetDescription(value); }),
       NotStored(ReadWriteProp("GoIntoDirs", &E::GetGoIntoDirs, &E::SetGoIntoDirs))});
  return &info;
}

// ---------------------------------------------------------------- TModelScript

void TModelScript::ExpandAll(const std::string& baseDirectory) {
  for (int i = 0; i < GetCount(); ++i)
    if (auto* layer = DynamicCast<TLayerScript>(GetElement(i))) layer->ExpandPaths(baseDirectory);
}

TClass TModelScript::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TModelScript>("TModelScript", TRectEntity::StaticClass(), "ModelScripts", {});
  return &info;
}

void RegisterLayerScriptClasses() {
  for (TClass cls : {TModelScript::StaticClass(), TLayerScript::StaticClass()}) RegisterKestuClass(cls);
}
