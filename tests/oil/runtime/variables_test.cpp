#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "oil/errors/lang_errors.h"
#include "oil/runtime/program_objects.h"
#include "tests/oil/oil_fixture.h"

namespace {

class Variables : public OilTest {};

// An INTEGER variable of a block whose frame slot holds each row's element: what it reads, as "type:text" or
// "error:code".  The slot's class is known from the declaration, but the element there decides; the STACK is an
// element a script can change, so the slot may also be gone.
TEST_F(Variables, ReadTheElementInTheirSlotWhateverItsClass) {
  const struct {
    const char* name;
    std::function<TElement*()> make;
    std::string read;
  } cases[] = {
      {"the declared class", [] { return TIntegerElement::CreateValue(5); }, "5:5"},
      {"a text where an integer was declared", [] { return TStringElement::CreateValue("7"); }, "4:7"},
      {"no value element", [] { return new TOwnerEntity; }, "error:12"},
      {"the slot taken off the stack", nullptr, "error:12"},
  };
  for (const auto& c : cases) {
    TOilBlock block;
    block.AddVariable(otInteger, "");
    block.PushVariables();
    TElement* declared = block.GetStack()->GetElement(0);
    if (c.make) {
      block.GetStack()->SetElement(0, c.make());
      delete declared;
    } else {
      block.GetStack()->FreeElement(declared);
    }
    TNormalVariable variable;
    variable.VarIndex = 0;
    variable.SetBlock(&block);
    std::string read;
    try {
      const TOilValue value = variable.GetValue();
      read = std::to_string(TypeCodeOf(value)) + ":" + value.GetAsString();
    } catch (const TRunTimeError& error) {
      read = "error:" + std::to_string(error.Code);
    }
    EXPECT_EQ(read, c.read) << c.name;
  }
}

}  // namespace
