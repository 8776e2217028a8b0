#pragma once
// What the toolkit keeps waiting after windows were made, shown and dropped:
// events of the window system, events posted to objects, objects to be
// deleted once control returns to the event loop.

namespace platform {

// Delivers all of it now, so that a piece of work that made and dropped
// windows leaves nothing of them for whatever runs next.  Framework messages
// are not delivered: they stay queued.
void DeliverToolkitEvents();

}  // namespace platform
