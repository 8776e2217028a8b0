#include "platform/locale_conventions.h"

#include <clocale>

namespace platform {

void FixConversionLocale() {
  std::setlocale(LC_NUMERIC, "C");
  std::setlocale(LC_COLLATE, "C");
  std::setlocale(LC_MONETARY, "C");
  // UTF-8 keeps the system's messages in the user's language readable; a
  // C library without it still classifies bytes as "C" does.
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "C");
}

}  // namespace platform
