#include "framework/core/messages.h"

#include <stdexcept>

#include "tests/framework/framework_fixture.h"

namespace {

struct Received {
  int code;
  TElement* receiver;
  TElement* sender;
  std::string text;
};

// Records what it receives; can post more from inside its handler.
class TListener : public TOwnerEntity {
 public:
  std::vector<Received>* log = nullptr;
  std::function<void(TKestuMessage&)> onReceive;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    auto* text = DynamicCast<TKestuTextMessage>(message);
    log->push_back({message->Message, message->Receiver(), message->Sender(), text ? text->Text : ""});
    handled = true;
    if (onReceive) onReceive(*message);
  }
};

class MessageTest : public FrameworkTest {
 protected:
  std::vector<Received> log;
  TListener* Listener(const std::string& name) {
    auto* listener = new TListener;
    listener->SetName(name);
    listener->log = &log;
    keep.AddElement(listener);
    return listener;
  }
  TOwnerEntity keep;
};

TEST_F(MessageTest, MessageWithoutReceiverReachesMainToolAndNamesIt) {
  TListener* main = Listener("main");
  MainTool = main;
  TOwnerElement sender;
  sender.PostMessage(msgFinished, nullptr, nullptr, false);
  EXPECT_TRUE(log.empty());  // posting returns at once
  RunMessages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].code, msgFinished);
  EXPECT_EQ(log[0].receiver, main);
  EXPECT_EQ(log[0].sender, &sender);
}

TEST_F(MessageTest, PostToOwnersDeliversOnePerOwnerInOwnerOrder) {
  TListener* a = Listener("a");
  TListener* b = Listener("b");
  TListener* c = Listener("c");
  auto* child = new TOwnerElement;
  for (TListener* owner : {a, b, c}) owner->AddElement(child);
  child->PostMessageToOwners(msgToolClosed, nullptr, false);
  RunMessages();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].receiver, a);
  EXPECT_EQ(log[1].receiver, b);
  EXPECT_EQ(log[2].receiver, c);
  TOwnerElement orphan;
  orphan.PostMessageToOwners(msgToolClosed, nullptr, false);
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 0u);
}

TEST_F(MessageTest, KillDataFreesThePayloadAfterDeliveryOnlyWhenSet) {
  Tracked<TOwnerElement>::Alive = 0;
  TListener* receiver = Listener("r");
  bool payloadAliveInHandler = false;
  receiver->onReceive = [&](TKestuMessage& m) { payloadAliveInHandler = m.Data() != nullptr; };
  auto* killed = new Tracked<TOwnerElement>;
  auto* kept = new Tracked<TOwnerElement>;
  receiver->PostMessage(msgFinished, receiver, killed, true);
  receiver->PostMessage(msgFinished, receiver, kept, false);
  RunMessages();
  EXPECT_TRUE(payloadAliveInHandler);
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 1);
  delete kept;
}

TEST_F(MessageTest, KillDataPayloadPostedToSeveralOwnersIsFreedOnce) {
  Tracked<TOwnerElement>::Alive = 0;
  TListener* a = Listener("a");
  TListener* b = Listener("b");
  auto* child = new TOwnerElement;
  a->AddElement(child);
  b->AddElement(child);
  child->PostMessageToOwners(msgFinished, new Tracked<TOwnerElement>, true);
  RunMessages();
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 0);
}

TEST_F(MessageTest, PostItWithZeroKeepsTheCodeAndMessagesArriveInPostedOrder) {
  TListener* receiver = Listener("r");
  TListener* other = Listener("o");
  receiver->onReceive = [&](TKestuMessage& m) {
    if (m.Message != 20) return;
    receiver->PostMessage(21, other, nullptr, false);  // A
    receiver->PostMessage(22, other, nullptr, false);  // B
  };
  auto* prepared = new TKestuMessage(20, nullptr, receiver, nullptr, false);
  prepared->SetPropertyInteger("PostIt", 0);
  RunMessages();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].code, 20);
  EXPECT_EQ(log[1].code, 21);
  EXPECT_EQ(log[2].code, 22);
}

TEST_F(MessageTest, HandlerThatLetsMessagesRunReceivesLaterMessagesInside) {
  TListener* receiver = Listener("r");
  receiver->onReceive = [&](TKestuMessage& m) {
    if (m.Message != 1) return;
    receiver->PostMessage(2, receiver, nullptr, false);
    RunMessages();
    log.push_back({99, nullptr, nullptr, "after inner run"});
  };
  receiver->PostMessage(1, receiver, nullptr, false);
  receiver->PostMessage(3, receiver, nullptr, false);
  RunMessages();
  std::vector<int> codes;
  for (const Received& r : log) codes.push_back(r.code);
  EXPECT_EQ(codes, (std::vector<int>{1, 3, 2, 99}));
}

TEST_F(MessageTest, ReceiverExceptionReachesHookAfterMessageIsFreed) {
  Tracked<TOwnerElement>::Alive = 0;
  TListener* receiver = Listener("r");
  receiver->onReceive = [](TKestuMessage& m) {
    if (m.Message == 5) throw std::runtime_error("Chyba v nástroji");
  };
  receiver->PostMessage(5, receiver, new Tracked<TOwnerElement>, true);
  receiver->PostMessage(6, receiver, nullptr, false);
  RunMessages();
  ASSERT_EQ(Exceptions.size(), 1u);
  EXPECT_EQ(Exceptions[0], "Chyba v nástroji");
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 0);
  EXPECT_EQ(log.size(), 2u);  // the loop went on
}

TEST_F(MessageTest, SynchronousSendIsDeliveredAndFreedAtOnce) {
  Tracked<TOwnerElement>::Alive = 0;
  TListener* receiver = Listener("r");
  receiver->SendMessage(7, receiver, new Tracked<TOwnerElement>, true);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 0);
  auto* prepared = new TKestuMessage(0, nullptr, receiver, nullptr, false);
  prepared->SetPropertyInteger("SendIt", 8);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].code, 8);
  platform::Application::Instance().SetMessageHook(nullptr);
  receiver->SendMessage(9, receiver, new Tracked<TOwnerElement>, true);  // nobody takes it, still freed
  EXPECT_EQ(Tracked<TOwnerElement>::Alive, 0);
}

TEST_F(MessageTest, QueuedMessageIsNotQueuedTwice) {
  TListener* receiver = Listener("r");
  auto* message = new TKestuMessage(4, nullptr, receiver, nullptr, false);
  PostKestuMessage(message);
  PostKestuMessage(message);
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 1u);
  RunMessages();
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(MessageTest, FreedElementsNeitherReceiveNorLinger) {
  TListener* main = Listener("main");
  MainTool = main;
  auto* doomed = new TListener;
  doomed->log = &log;
  auto* sender = new TOwnerElement;
  auto* data = new TOwnerElement;
  sender->PostMessage(1, doomed, nullptr, false);
  TListener* survivor = Listener("s");
  sender->PostMessage(2, survivor, data, true);
  delete doomed;
  delete sender;
  delete data;
  RunMessages();
  ASSERT_EQ(log.size(), 1u);  // the message to the freed receiver went nowhere, not to the main tool
  EXPECT_EQ(log[0].code, 2);
  EXPECT_EQ(log[0].sender, nullptr);
}

TEST_F(MessageTest, TextMessagesCarryTheirText) {
  TListener* main = Listener("main");
  MainTool = main;
  PostTextMessage(nullptr, msgLogText, "Začátek exportu souboru průvodce ", nullptr);
  RunMessages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].code, msgLogText);
  EXPECT_EQ(log[0].text, "Začátek exportu souboru průvodce ");
}

TEST_F(MessageTest, EnvelopePassesMessagesToItsWrappedElement) {
  TListener* wrapped = Listener("w");
  TEnvelopeEntity envelope;
  envelope.AddOwner(wrapped);
  envelope.PostMessage(3, &envelope, nullptr, false);
  RunMessages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].receiver, wrapped);
}

TEST_F(MessageTest, PassToOwnersStopsAtTheFirstThatHandles) {
  TListener* a = Listener("a");
  TListener* b = Listener("b");
  auto* child = new TOwnerElement;
  a->AddElement(child);
  b->AddElement(child);
  TKestuMessage* message = new TKestuMessage(3, nullptr, nullptr, nullptr, false);
  bool handled = false;
  child->PassMessageToOwners(message, handled);
  EXPECT_TRUE(handled);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].code, 3);
  delete message;
  TOwnerElement orphan;
  handled = false;
  TKestuMessage* none = nullptr;
  orphan.PassMessageToOwners(none, handled);
  EXPECT_TRUE(handled);
}

TEST_F(MessageTest, MessageRecordsItsCreationTime) {
  TKestuMessage message(1, nullptr, nullptr, nullptr, false);
  EXPECT_GT(message.Time, 46000.0);  // after 2025 in day count
  EXPECT_EQ(message.GetPropertyText("Message"), "1");
  EXPECT_EQ(message.ID, -1);
}

}  // namespace
