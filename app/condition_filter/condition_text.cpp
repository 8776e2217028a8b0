#include "app/condition_filter/condition_text.h"

#include "framework/condition/condition_syntax.h"

namespace {

bool IsBareNumber(const std::string& value) {
  const std::size_t digits = !value.empty() && value.front() == '-' ? 1 : 0;
  if (value.size() == digits) return false;
  for (std::size_t i = digits; i < value.size(); ++i)
    if (value[i] < '0' || value[i] > '9') return false;
  return true;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string ConditionText(const std::vector<std::string>& columns, const ConditionRows& rows) {
  std::string text = "@CONDITION=";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    text += r == 0 ? "(" : "OR(";
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const std::string& value = c < rows[r].size() ? rows[r][c] : std::string();
      text += c == 0 ? "(" : "AND(";
      text += columns[c] + "=" + (IsBareNumber(value) ? value : "'" + value + "'") + ")";
    }
    text += ")";
  }
  return text;
}

bool IsConditionPropertyName(const std::string& name) {
  if (name.empty() || !(IsLetter(name.front()) || name.front() == '_')) return false;
  for (char c : name)
    if (!IsIdentChar(c)) return false;
  if (HoldsWordOperator(name)) return false;
  // The first four words of the table are read as property names.
  const int keyword = FindConditionKeyword(name);
  return keyword == ckNone || keyword <= ckFindToLevel;
}

std::string UnquotableCell(const std::string& column, int row, const std::string& value) {
  if (value.find_first_of("'()") == std::string::npos) return {};
  return "Hodnotu " + value + " ve sloupci " + column + ", řádku " + std::to_string(row) +
         " nelze zapsat do podmínky: nesmí obsahovat apostrof ani závorku.";
}
