#include "framework/core/messages.h"

#include <functional>
#include <stdexcept>

#include "framework/tools/world.h"
#include "platform/clock.h"
#include "tests/framework/framework_fixture.h"

namespace {

using Payload = Tracked<TOwnerElement>;

std::string NameOf(TElement* element) { return element ? element->GetName() : "nil"; }

// Notes "code receiver<sender text" for each message; can act inside its handler.
class TListener : public TOwnerEntity {
 public:
  std::vector<std::string>* log = nullptr;
  std::function<void(TKestuMessage&)> onReceive;
  void ReceiveMessage(TKestuMessage*& message, bool& handled) override {
    auto* text = DynamicCast<TKestuTextMessage>(message);
    log->push_back(std::to_string(message->Message) + " " + NameOf(message->Receiver()) + "<" +
                   NameOf(message->Sender()) + (text ? " " + text->Text : ""));
    handled = true;
    if (onReceive) onReceive(*message);
  }
};

class MessageTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    Payload::Alive = 0;
    MainTool = Listener("main");
    sender.SetName("s");
  }
  TListener* Listener(const std::string& name) {
    auto* listener = new TListener;
    listener->SetName(name);
    listener->log = &log;
    keep.AddElement(listener);
    return listener;
  }
  std::string Delivered() {
    RunMessages();
    std::string text = Join(log, ", ");
    log.clear();
    return text;
  }

  std::vector<std::string> log;
  TOwnerEntity keep;
  TOwnerElement sender;
};

TEST_F(MessageTest, UnaddressedMessagesReachTheMainToolAndOwnersGetOneEachInOrder) {
  sender.PostMessage(msgFinished, nullptr, nullptr, false);
  PostTextMessage(&sender, msgLogText, "Začátek exportu souboru průvodce ", nullptr);
  EXPECT_TRUE(log.empty());  // posting returns at once
  EXPECT_EQ(Delivered(), "3 main<s, 8 main<s Začátek exportu souboru průvodce ");
  auto* child = new TOwnerElement;
  child->SetName("c");
  for (const char* name : {"a", "b", "c"}) Listener(name)->AddElement(child);
  child->PostMessageToOwners(msgToolClosed, nullptr, false);
  child->PostMessageToOwners(msgFinished, new Payload, true);
  EXPECT_EQ(Delivered(), "1 a<c, 1 b<c, 1 c<c, 3 a<c, 3 b<c, 3 c<c");
  EXPECT_EQ(Payload::Alive, 0);  // one payload for several owners, freed once
}

// KillData frees the payload after delivery, only when set, and also when the
// receiver raises: the error reaches the hook after the message is freed.
TEST_F(MessageTest, KillDataFreesThePayloadAfterDeliveryOrAnErrorOnlyWhenSet) {
  TListener* receiver = Listener("r");
  bool payloadAliveInHandler = false;
  receiver->onReceive = [&](TKestuMessage& m) { payloadAliveInHandler = m.Data() != nullptr; };
  auto* kept = new Payload;
  receiver->PostMessage(msgFinished, receiver, new Payload, true);
  receiver->PostMessage(msgFinished, receiver, kept, false);
  RunMessages();
  EXPECT_TRUE(payloadAliveInHandler && Payload::Alive == 1);
  delete kept;
  log.clear();
  receiver->onReceive = [](TKestuMessage& m) {
    if (m.Message == 5) throw std::runtime_error("Chyba v nástroji");
  };
  receiver->PostMessage(5, receiver, new Payload, true);
  receiver->PostMessage(6, receiver, nullptr, false);
  EXPECT_EQ(Delivered(), "5 r<r, 6 r<r");  // the loop went on
  EXPECT_TRUE(Exceptions == std::vector<std::string>{"Chyba v nástroji"} && Payload::Alive == 0);
}

TEST_F(MessageTest, MessagesArriveInPostedOrderAlsoFromInsideHandlers) {
  TListener* receiver = Listener("r");
  receiver->onReceive = [&](TKestuMessage& m) {
    if (m.Message == 20) {
      receiver->PostMessage(21, receiver, nullptr, false);  // A
      receiver->PostMessage(22, receiver, nullptr, false);  // B
    } else if (m.Message == 1) {
      receiver->PostMessage(2, receiver, nullptr, false);
      RunMessages();  // a handler that lets messages run gets later ones inside
      log.push_back("after inner run");
    }
  };
  auto* prepared = new TKestuMessage(20, nullptr, receiver, nullptr, false);
  prepared->SetPropertyInteger("PostIt", 0);  // zero keeps the code
  EXPECT_EQ(Delivered(), "20 r<nil, 21 r<r, 22 r<r");
  receiver->PostMessage(1, receiver, nullptr, false);
  receiver->PostMessage(3, receiver, nullptr, false);
  EXPECT_EQ(Delivered(), "1 r<r, 3 r<r, 2 r<r, after inner run");
  auto* message = new TKestuMessage(4, nullptr, receiver, nullptr, false);
  PostKestuMessage(message);
  PostKestuMessage(message);  // never queued twice
  EXPECT_EQ(platform::Application::Instance().PendingCount(), 1u);
  EXPECT_EQ(Delivered(), "4 r<nil");
}

TEST_F(MessageTest, SynchronousSendIsDeliveredAndFreedAtOnceEvenWithoutAHook) {
  TListener* receiver = Listener("r");
  receiver->SendMessage(7, receiver, new Payload, true);
  EXPECT_EQ(Payload::Alive, 0);
  auto* prepared = new TKestuMessage(0, nullptr, receiver, nullptr, false);
  prepared->SetPropertyInteger("SendIt", 8);
  auto* kept = new TKestuMessage(6, nullptr, receiver, nullptr, false);
  kept->SetPropertyInteger("SendIt", 0);  // zero keeps the code
  EXPECT_EQ(Join(log, ", "), "7 r<r, 8 r<nil, 6 r<nil");
  platform::Application::Instance().SetMessageHook(nullptr);
  receiver->SendMessage(9, receiver, new Payload, true);  // nobody takes it, still freed
  EXPECT_EQ(Payload::Alive, 0);
}

// Posted or sent, a message travels as window message 1024 with word
// parameter 0 and the message itself as the long parameter.
TEST_F(MessageTest, AMessageTravelsAsWindowMessage1024WithWordParameterZero) {
  TListener* receiver = Listener("r");
  std::vector<platform::AppMessage> seen;
  platform::Application::Instance().SetMessageHook([&seen](platform::AppMessage& message, bool& handled) {
    seen.push_back(message);
    if (TKestuMessage* kestu = KestuMessageOf(message)) DeliverKestuMessage(kestu, handled, [] { return nullptr; });
  });
  for (const bool send : {false, true}) {
    seen.clear();
    auto* message = new TKestuMessage(7, nullptr, receiver, nullptr, false);
    const auto address = reinterpret_cast<std::uintptr_t>(message);
    if (send) {
      SendKestuMessage(message);
    } else {
      PostKestuMessage(message);
      RunMessages();
    }
    ASSERT_EQ(seen.size(), 1u) << (send ? "sent" : "posted");
    EXPECT_EQ(std::tuple(seen[0].Msg, seen[0].WParam, seen[0].LParam), std::tuple(1024u, std::uintptr_t{0}, address))
        << (send ? "sent" : "posted");
  }
  EXPECT_EQ(Join(log, ", "), "7 r<nil, 7 r<nil");
}

// A message carries the local date and time of its making as a day count
// from 30 December 1899, to the whole second.
TEST_F(MessageTest, AMessageIsStampedWithTheLocalDateAndTimeOfItsMaking) {
  constexpr double kSecond = 1.0 / 86400;
  const double before = platform::Now();
  TKestuMessage message(msgFinished, nullptr, nullptr, nullptr, false);
  const double after = platform::Now();
  EXPECT_GE(message.Time, before - kSecond);
  EXPECT_LE(message.Time, after);
}

TEST_F(MessageTest, FreedElementsNeitherReceiveNorLinger) {
  auto* doomed = new TListener;
  doomed->log = &log;
  auto* from = new TOwnerElement;
  auto* data = new TOwnerElement;
  from->PostMessage(1, doomed, nullptr, false);
  from->PostMessage(2, Listener("r"), data, true);
  delete doomed;
  delete from;
  delete data;
  // the message to the freed receiver went nowhere, not to the main tool
  EXPECT_EQ(Delivered(), "2 r<nil");
}

// A script may post a message its model holds (PostIt) and free the model
// before the message's turn: the queue then holds a message that is gone,
// which is skipped.
TEST_F(MessageTest, AMessageFreedBeforeItsTurnIsSkipped) {
  const struct {
    const char* name;
    bool heldByAModel;
  } rows[] = {{"freed with the model holding it", true}, {"freed by itself", false}};
  for (const auto& row : rows) {
    TListener* receiver = Listener(row.name);
    auto* model = new TOwnerEntity;
    auto* message = new TKestuMessage(5, nullptr, receiver, nullptr, false);
    if (row.heldByAModel) model->AddElement(message);
    message->SetPropertyInteger("PostIt", 0);
    EXPECT_TRUE(KestuMessageQueued(message)) << row.name;
    if (!row.heldByAModel) delete message;
    delete model;
    EXPECT_EQ(Delivered(), "") << row.name;
  }
}

// A message that frees its data (KillData) frees only data that is its own:
// never itself, never data held elsewhere, and never an entity that is
// freeing the message; nothing is freed twice whichever goes first.
TEST_F(MessageTest, KillDataFreesOnlyDataOfItsOwn) {
  using Entity = Tracked<TOwnerEntity>;
  using Message = Tracked<TKestuMessage>;
  const char* const rows[] = {"data of its own", "data held elsewhere", "itself as data",
                              "an entity holding it as data, the message freed first",
                              "an entity holding it as data, the entity freed first"};
  for (int row = 0; row < 5; ++row) {
    Entity::Alive = Message::Alive = 0;
    auto* message = new Message;
    message->KillData = true;
    TElement* data = row == 2 ? static_cast<TElement*>(message) : new Entity;
    message->SetData(data);
    std::unique_ptr<Entity> holder(row == 1 ? new Entity : nullptr);
    if (holder) holder->AddElement(data);
    if (row >= 3) static_cast<TEntity*>(data)->AddElement(message);
    delete (row == 4 ? data : message);
    EXPECT_EQ(Entity::Alive + Message::Alive, row == 1 ? 2 : 0) << rows[row];
    holder.reset();
    EXPECT_EQ(Entity::Alive, 0) << rows[row];
  }
}

// Nor is data that an owner has, or the world, freed with the message: a
// script that sends the world for a review that frees its data keeps it.
TEST_F(MessageTest, KillDataFreesNeitherDataThatHasAnOwnerNorTheWorld) {
  TOwnerEntity owner;
  const struct {
    const char* name;
    std::function<TElement*()> make;
  } rows[] = {
      {"an element with an owner",
       [&]() -> TElement* {
         auto* data = new Payload;
         data->AddOwner(&owner);
         return data;
       }},
      {"the world", []() -> TElement* { return new TWorld; }},
  };
  for (const auto& row : rows) {
    TElement* data = row.make();
    const TElementLink link(data);
    auto* message = new TKestuMessage(msgFinished, &sender, nullptr, data, true);
    delete message;
    EXPECT_EQ(link.Get(), data) << row.name;
    if (link.Get()) {
      data->RemoveOwner(&owner);
      delete data;
    }
  }
}

}  // namespace
