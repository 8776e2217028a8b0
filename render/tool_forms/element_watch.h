#pragma once
// A window that watches properties of one element: the explorer opens one on
// the selected element.  The application shell makes them (its command line
// evaluates the watched expressions) and installs the factory here.
#include <functional>
#include <memory>

class TElement;

class TElementWatch {
 public:
  virtual ~TElementWatch() = default;
  // Points the watch at the element and evaluates its rows again.
  virtual void Watch(TElement* element) = 0;
  // Called when the user closes the watch's window; the holder frees the
  // watch afterwards (not from inside the call).
  virtual void OnClosed(std::function<void()> closed) = 0;
};

// Nil while no factory is installed.
std::unique_ptr<TElementWatch> NewElementWatch();
void SetElementWatchFactory(std::function<std::unique_ptr<TElementWatch>()> factory);
