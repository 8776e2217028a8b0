#include "oil/errors/lang_errors.h"

#include <array>
#include <string_view>

namespace {

// Index 0 is unused; the tables reach 25 and 24 records, the rest are empty.
constexpr std::array<std::string_view, 16> kRunTime = {
    "",
    "Nevyčíslitelný výraz",
    "Nevyjádřitelná proměnná",
    "Typová neshoda",
    "Objekt není TElement",
    "Špatné jméno property",
    "Prvek neexistuje",
    "Přiřazení nelze provést",
    "Input musí být prvek nikoliv hodnota",
    "Není zadaný žádný nástroj",
    "Není boolean",
    "Není ordinární typ",
    "Vnitřní chyba",
    "Špatný typ pro case",
    "Objekt není TEntity",
    "Nepoužitelný typ property",
};

constexpr std::array<std::string_view, 22> kCompiler = {
    "",
    "Očekávám ",
    "Zde nesmí být ",
    "Chyba v syntaxi",
    "Není povoleno použití proměnné volané odkazem",
    "Příliš mnoho proměnných",
    "Není ordinální typ",
    "Nepovolený typ",
    "Typová neshoda",
    "Nedává ukazatel na prvek",
    "Neznámý typ",
    "Proměnná již existuje",
    "Properta již byla zadána",
    "Neznámý nástroj",
    "Properta neexistuje",
    "Neznámý identifikátor",
    "Neuzavřený řetězec",
    "Neočekávaný konec souboru",
    "Příliš mnoho parametrů",
    "Kolize mezi NameDivider a OwnerDivider",
    "Tento znak není povolen: ",
    "Identifikátor byl již použit",
};

template <std::size_t N>
std::string Entry(const std::array<std::string_view, N>& table, int code) {
  if (code < 0 || static_cast<std::size_t>(code) >= N) return {};
  return std::string(table[static_cast<std::size_t>(code)]);
}

}  // namespace

std::string RunTimeMessage(int code) { return Entry(kRunTime, code); }
std::string CompilerMessage(int code) { return Entry(kCompiler, code); }

TLangError::TLangError(int code) : TLangError(RunTimeMessage(code), code, -1) {}

TLangError::TLangError(const std::string& message, int code, int line)
    : std::runtime_error(message), Code(code), Line(line) {}

TCompilerError::TCompilerError(int code, int line, int column, const std::string& text)
    : TLangError(CompilerMessage(code) + text, code, 0), ErrorLine(line), ErrorColumn(column) {}
