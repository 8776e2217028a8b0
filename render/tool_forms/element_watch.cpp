#include "render/tool_forms/element_watch.h"

#include <utility>

namespace {

std::function<std::unique_ptr<TElementWatch>()>& Factory() {
  static std::function<std::unique_ptr<TElementWatch>()> factory;
  return factory;
}

}  // namespace

std::unique_ptr<TElementWatch> NewElementWatch() { return Factory() ? Factory()() : nullptr; }

void SetElementWatchFactory(std::function<std::unique_ptr<TElementWatch>()> factory) {
  Factory() = std::move(factory);
}
