#pragma once
// Framework messages: numbered codes with a sender, a receiver and a payload,
// travelling through the application's queue.  A queued message is owned by
// the queue and freed right after its delivery.
#include <functional>
#include <string>

#include "framework/core/elements.h"

namespace platform {
struct AppMessage;
}

enum KestuMessageCode : int {
  msgToolControl = 0,
  msgToolClosed = 1,
  msgClose = 2,
  msgFinished = 3,
  // An element was chosen in a window (the data); an edit changed one.
  msgElementSelected = 7,
  msgLogText = 8,
  msgProgressStart = 10,
  msgProgress = 11,
  msgProgressEnd = 12,
  msgProgressText = 13,
  msgElementEdited = 27,
  msgStatusText = 44,
  msgPropertyEdit = 68,
  msgOpenCommandLine = 73,
  msgOilTerminated = 74,
  msgOilError = 75,
  msgOilLine = 76,
  msgOilResumed = 78,
};

class TKestuMessage : public TElement {
  KESTX_CLASS(TKestuMessage)
 public:
  TKestuMessage() = default;
  TKestuMessage(int code, TElement* sender, TElement* receiver, TElement* data, bool killData);
  ~TKestuMessage() override;

  // Sender, receiver and payload read nil once their elements are freed.
  TElement* Sender() const { return sender_.Get(); }
  void SetSender(TElement* sender) { sender_.Set(sender); }
  TElement* Receiver() const { return receiver_.Get(); }
  void SetReceiver(TElement* receiver) { receiver_.Set(receiver); }
  // A receiver was named but has been freed since.
  bool ReceiverGone() const { return receiver_.IsDangling(); }
  TElement* Data() const { return data_.Get(); }
  void SetData(TElement* data) { data_.Set(data); }

  int Message = 0;
  bool KillData = false;
  double Time = 0;

  void SetPostIt(int code);
  void SetSendIt(int code);

 private:
  TElementLink sender_;
  TElementLink receiver_;
  TElementLink data_;
};

class TKestuTextMessage : public TKestuMessage {
  KESTX_CLASS(TKestuTextMessage)
 public:
  using TKestuMessage::TKestuMessage;
  std::string Text;
};

// The current date and time as the class library counts it (days since
// 30 December 1899, local time).
double NowAsDateTime();

void PostKestuMessage(TKestuMessage* message);
// Posted or sent and not yet delivered: the queue's to free.
bool KestuMessageQueued(const TKestuMessage* message);
void SendKestuMessage(TKestuMessage* message);
void PostTextMessage(TElement* sender, int code, const std::string& text, TElement* receiver);

// The message a queued application message carries, or nil when it carries
// none (another window message, or a message freed while queued).
TKestuMessage* KestuMessageOf(const platform::AppMessage& message);

// Delivers one framework message to its receiver, or when it names none to
// the default receiver (which then becomes its Receiver); a message whose
// receiver has been freed goes nowhere.  The message is freed afterwards,
// also when the receiver raises (the exception then propagates).
void DeliverKestuMessage(TKestuMessage* message, bool& handled, const std::function<TElement*()>& defaultReceiver);

// Frees every framework message still queued, undelivered.
void DiscardQueuedKestuMessages();
