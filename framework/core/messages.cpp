#include "framework/core/messages.h"

#include <ctime>
#include <mutex>
#include <unordered_set>

#include "platform/app_queue.h"

namespace {

// Messages handed to the queue and not yet delivered; a queued pointer is
// trusted only while it is listed here.
struct InFlight {
  std::mutex lock;
  std::unordered_set<const TKestuMessage*> messages;
};

InFlight& Flight() {
  static InFlight* flight = new InFlight;
  return *flight;
}

bool Enlist(const TKestuMessage* message) {
  InFlight& flight = Flight();
  std::lock_guard guard(flight.lock);
  return flight.messages.insert(message).second;
}

void Delist(const TKestuMessage* message) {
  InFlight& flight = Flight();
  std::lock_guard guard(flight.lock);
  flight.messages.erase(message);
}

bool IsInFlight(const TKestuMessage* message) {
  InFlight& flight = Flight();
  std::lock_guard guard(flight.lock);
  return flight.messages.count(message) > 0;
}

}  // namespace

double NowAsDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::time_t asUtc = timegm(&local);
  constexpr double kUnixEpochAsDateTime = 25569.0;
  return kUnixEpochAsDateTime + static_cast<double>(asUtc) / 86400.0;
}

TKestuMessage::TKestuMessage(int code, TElement* sender, TElement* receiver, TElement* data, bool killData)
    : Message(code), KillData(killData), Time(NowAsDateTime()) {
  sender_.Set(sender);
  receiver_.Set(receiver);
  data_.Set(data);
}

TKestuMessage::~TKestuMessage() {
  Delist(this);
  // An entity that holds the message and is its data must not free it again.
  DetachFromHolders();
  if (KillData) {
    TElement* data = data_.Get();
    data_.Set(nullptr);
    // The data is the message's own only while nothing else holds or owns it
    // and it may be freed at all (not the world); not the message itself, and
    // not an entity that is freeing the message.
    if (data && data != this && data->HolderCount() == 0 && data->HasNoOwner() && data->CanFree() &&
        !IsFreeingHeldElements(data))
      delete data;
  }
}

void TKestuMessage::SetPostIt(int code) {
  if (code != 0) Message = code;
  PostKestuMessage(this);
}

void TKestuMessage::SetSendIt(int code) {
  if (code != 0) Message = code;
  SendKestuMessage(this);
}

bool KestuMessageQueued(const TKestuMessage* message) { return IsInFlight(message); }

void PostKestuMessage(TKestuMessage* message) {
  if (!message || !Enlist(message)) return;  // already queued
  platform::Application::Instance().PostMessage(
      {platform::WM_USER, 0, reinterpret_cast<std::uintptr_t>(message)});
}

void SendKestuMessage(TKestuMessage* message) {
  if (!message || !Enlist(message)) return;
  platform::Application::Instance().SendMessage({platform::WM_USER, 0, reinterpret_cast<std::uintptr_t>(message)});
  if (IsInFlight(message)) delete message;  // no hook took it
}

void PostTextMessage(TElement* sender, int code, const std::string& text, TElement* receiver) {
  auto* message = new TKestuTextMessage(code, sender, receiver, nullptr, false);
  message->Text = text;
  PostKestuMessage(message);
}

TKestuMessage* KestuMessageOf(const platform::AppMessage& message) {
  if (message.Msg != platform::WM_USER) return nullptr;
  auto* kestu = reinterpret_cast<TKestuMessage*>(message.LParam);
  return IsInFlight(kestu) ? kestu : nullptr;
}

void DeliverKestuMessage(TKestuMessage* message, bool& handled, const std::function<TElement*()>& defaultReceiver) {
  Delist(message);
  struct FreeAfterwards {
    TKestuMessage*& message;
    ~FreeAfterwards() { delete message; }
  } freeAfterwards{message};
  if (message->ReceiverGone()) return;
  TElement* receiver = message->Receiver();
  if (!receiver && defaultReceiver) {
    receiver = defaultReceiver();
    if (!receiver) return;
    message->SetReceiver(receiver);
  }
  if (receiver) receiver->ReceiveMessage(message, handled);
}

void DiscardQueuedKestuMessages() {
  for (const platform::AppMessage& queued : platform::Application::Instance().TakePending())
    delete KestuMessageOf(queued);
}

TClass TKestuMessage::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuMessage>(
      "TKestuMessage", TElement::StaticClass(), "M_Message",
      {AccessorProp<TKestuMessage, TElement*>("Sender", &TKestuMessage::Sender, &TKestuMessage::SetSender),
       AccessorProp<TKestuMessage, TElement*>("Receiver", &TKestuMessage::Receiver, &TKestuMessage::SetReceiver),
       FieldProp("Message", &TKestuMessage::Message),
       AccessorProp<TKestuMessage, TElement*>("Data", &TKestuMessage::Data, &TKestuMessage::SetData),
       FieldProp("KillData", &TKestuMessage::KillData), FieldProp("Time", &TKestuMessage::Time),
       WriteProp("PostIt", &TKestuMessage::SetPostIt), WriteProp("SendIt", &TKestuMessage::SetSendIt)});
  return &info;
}

TClass TKestuTextMessage::StaticClass() {
  static const TClassInfo info = DescribeClass<TKestuTextMessage>(
      "TKestuTextMessage", TKestuMessage::StaticClass(), "M_Message", {FieldProp("Text", &TKestuTextMessage::Text)});
  return &info;
}
