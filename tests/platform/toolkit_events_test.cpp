#include "platform/toolkit_events.h"

#include <gtest/gtest.h>

#include "platform/app_queue.h"
#include "platform/forms.h"
#include "platform/timer.h"

namespace platform {
namespace {

// What the window system holds waiting (here a timer that is due) is
// delivered at once, but a framework message posted meanwhile stays in the
// queue for the loop that delivers those.
TEST(ToolkitEventsTest, WaitingEventsRunAndFrameworkMessagesStayQueued) {
  Application& application = Application::Instance();
  application.TakePending();
  Timer timer(0);
  int ticks = 0;
  timer.OnTimer([&] { ++ticks; });
  timer.SetEnabled(true);
  application.PostMessage({WM_USER, 0, 0});
  DeliverToolkitEvents();
  timer.SetEnabled(false);
  EXPECT_GE(ticks, 1) << "the due timer ticked";
  EXPECT_EQ(application.PendingCount(), 1u) << "the posted message is still queued";
  application.TakePending();
}

// Nothing the work left waiting survives the delivery: events posted while
// others were delivered, and objects whose deletion was put off.
TEST(ToolkitEventsTest, EventsPostedMeanwhileAndDeferredDeletionsAreDeliveredToo) {
  const WaitingToolkitWork waiting;
  DeliverToolkitEvents();
  EXPECT_EQ(waiting.EventsDelivered(), 2) << "the event posted by the first one";
  EXPECT_TRUE(waiting.DeferredObjectDeleted()) << "the object deleted later";
}

}  // namespace
}  // namespace platform
