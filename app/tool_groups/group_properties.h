#pragma once
// The published properties of a tool group's bar and actions.  The group
// publishes them of itself; a task form publishes most of them for the group
// that shows its bar.
#include <type_traits>
#include <vector>

#include "app/tool_groups/tool_groups.h"
#include "platform/type_info.h"

namespace tool_groups {

using G = TExtendedToolGroup;

// A property of C read and written on the group of(c).
template <class C, class V, class W>
TPropInfo Forwarded(const char* name, G& (*of)(const C&), V (G::*get)() const, void (G::*set)(W)) {
  return AccessorProp<C, V>(
      name, [of, get](const C& c) { return (of(c).*get)(); }, [of, set](C& c, V v) { (of(c).*set)(v); });
}

// A write-only property of C given to the group of(c); never stored.
template <class C, class W>
TPropInfo ForwardedWrite(const char* name, G& (*of)(const C&), void (G::*set)(W)) {
  using V = std::remove_cvref_t<W>;
  return NotStored(AccessorProp<C, V>(name, nullptr, [of, set](C& c, V v) { (of(c).*set)(v); }));
}

// Every property but the separator, wrapping, shortcut and docking ones,
// which a task form's bar lacks; wholeBar adds them.
template <class C>
std::vector<TPropInfo> GroupProperties(G& (*of)(const C&), bool wholeBar) {
  std::vector<TPropInfo> properties = {
      Forwarded("Flat", of, &G::Flat, &G::SetFlat),
      Forwarded("ButtonHeight", of, &G::ButtonHeight, &G::SetButtonHeight),
      Forwarded("ButtonWidth", of, &G::ButtonWidth, &G::SetButtonWidth),
      Forwarded("ShowCaptions", of, &G::ShowCaptions, &G::SetShowCaptions),
      Forwarded("ImageHeight", of, &G::ImageHeight, &G::SetImageHeight),
      Forwarded("ImageWidth", of, &G::ImageWidth, &G::SetImageWidth),
      ForwardedWrite("NewImage", of, &G::NewImage),
      ForwardedWrite("NewScriptAction", of, &G::NewScriptAction),
      ForwardedWrite("NewToolAction", of, &G::NewToolAction),
      ForwardedWrite("FindActionName", of, &G::FindActionName),
      NotStored(Forwarded("ActualCaption", of, &G::ActualCaption, &G::SetActualCaption)),
      NotStored(Forwarded("ActualHint", of, &G::ActualHint, &G::SetActualHint)),
      NotStored(Forwarded("ActualImageIndex", of, &G::ActualImageIndex, &G::SetActualImageIndex)),
      NotStored(Forwarded("ActualScript", of, &G::ActualScript, &G::SetActualScript)),
      NotStored(Forwarded("ActualTool", of, &G::ActualTool, &G::SetActualTool)),
      NotStored(Forwarded("ActualVisible", of, &G::ActualVisible, &G::SetActualVisible)),
  };
  if (wholeBar) {
    properties.push_back(Forwarded("Wrapable", of, &G::Wrapable, &G::SetWrapable));
    properties.push_back(Forwarded("AutoDock", of, &G::AutoDock, &G::SetAutoDock));
    properties.push_back(ForwardedWrite("NewSeparator", of, &G::NewSeparator));
    properties.push_back(NotStored(Forwarded("ActualShortCut", of, &G::ActualShortCut, &G::SetActualShortCut)));
  }
  return properties;
}

}  // namespace tool_groups
