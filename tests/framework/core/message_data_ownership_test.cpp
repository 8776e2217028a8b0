// A message that frees its data (KillData) frees only data that is its own:
// never itself, never data held elsewhere, and never an entity that is
// freeing the message; nothing is freed twice whichever goes first.
#include <functional>
#include <memory>
#include <string>

#include "tests/framework/framework_fixture.h"
#include "framework/core/messages.h"

namespace {

using MessageDataOwnershipTest = FrameworkTest;
using TrackedEntity = Tracked<TOwnerEntity>;
using TrackedMessage = Tracked<TKestuMessage>;

TrackedMessage* NewMessage(TElement* data) {
  auto* message = new TrackedMessage;
  message->SetData(data);
  message->KillData = true;
  return message;
}

struct Row {
  const char* Name;
  // Builds the case, frees what it frees first, and answers what remains to free.
  std::function<TElement*()> Run;
  int EntitiesLeft;  // alive right after the first free
};

const Row kRows[] = {
    {"data of its own", [] {
       delete NewMessage(new TrackedEntity);
       return nullptr;
     }, 0},
    {"data held elsewhere", [] {
       auto* holder = new TrackedEntity;
       auto* data = new TrackedEntity;
       holder->AddElement(data);
       delete NewMessage(data);
       return holder;
     }, 2},
    {"itself as data", [] {
       auto* message = NewMessage(nullptr);
       message->SetData(message);
       delete message;
       return nullptr;
     }, 0},
    {"an entity holding it as data, the message freed first", [] {
       // The message leaves the entity first; then nothing holds the entity.
       auto* data = new TrackedEntity;
       auto* message = NewMessage(data);
       data->AddElement(message);
       delete message;
       return nullptr;
     }, 0},
    {"an entity holding it as data, the entity freed first", [] {
       auto* data = new TrackedEntity;
       data->AddElement(NewMessage(data));
       delete data;
       return nullptr;
     }, 0},
};

TEST_F(MessageDataOwnershipTest, KillDataFreesOnlyDataOfItsOwn) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.Name);
    TrackedEntity::Alive = 0;
    TrackedMessage::Alive = 0;
    std::unique_ptr<TElement> left(row.Run());
    EXPECT_EQ(TrackedEntity::Alive, row.EntitiesLeft);
    EXPECT_EQ(TrackedMessage::Alive, 0);
    left.reset();
    EXPECT_EQ(TrackedEntity::Alive, 0);
  }
}

}  // namespace
