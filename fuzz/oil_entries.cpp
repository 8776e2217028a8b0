#include "fuzz/oil_entries.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/messages.h"
#include "oil/compiler/program_compiler.h"
#include "oil/errors/lang_errors.h"
#include "oil/oil_classes.h"
#include "oil/runtime/program_run.h"
#include "platform/app_queue.h"

namespace fuzz {

void OilProgramText(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    RegisterOilClasses();
    // The compiler's progress messages are delivered (to nobody) and freed.
    platform::Application::Instance().SetMessageHook([](platform::AppMessage& message, bool& handled) {
      if (TKestuMessage* kestu = KestuMessageOf(message)) DeliverKestuMessage(kestu, handled, [] { return nullptr; });
    });
    return true;
  }();
  static_cast<void>(registered);
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') lines.emplace_back();
    else lines.back().push_back(static_cast<char>(data[i]));
  }
  // The debugging twins come from the same grammar: the same text fails
  // at the same place either way.
  std::string failures[2];
  for (const bool debug : {false, true}) {
    try {
      CompileOilProgram(lines, debug);
    } catch (const TCompilerError& error) {
      const bool inside = error.ErrorLine >= 0 && static_cast<std::size_t>(error.ErrorLine) < lines.size() &&
                          error.ErrorColumn >= 1 &&
                          static_cast<std::size_t>(error.ErrorColumn) <=
                              lines[static_cast<std::size_t>(error.ErrorLine)].size() + 1;
      if (!inside) throw std::logic_error("a compiler error outside the text");
      failures[debug] = std::to_string(error.ErrorLine) + ":" + std::to_string(error.ErrorColumn) + " " + error.what();
    }
  }
  if (failures[0] != failures[1]) throw std::logic_error("debugging changes how the text compiles");
}

}  // namespace fuzz
