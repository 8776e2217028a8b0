#pragma once
// What the toolkit keeps waiting after windows were made, shown and dropped:
// events of the window system, events posted to objects, objects to be
// deleted once control returns to the event loop.
#include <memory>

namespace platform {

// Delivers all of it now, so that a piece of work that made and dropped
// windows leaves nothing of them for whatever runs next.  Framework messages
// are not delivered: they stay queued.
void DeliverToolkitEvents();

// Work of that kind left waiting, as windows made, shown and dropped leave
// it: an event posted to an object which, given it, posts itself a second,
// and an object whose deletion is put off.  What checks the delivery sets it.
class WaitingToolkitWork {
 public:
  WaitingToolkitWork();
  ~WaitingToolkitWork();
  WaitingToolkitWork(const WaitingToolkitWork&) = delete;
  WaitingToolkitWork& operator=(const WaitingToolkitWork&) = delete;

  int EventsDelivered() const;
  bool DeferredObjectDeleted() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
