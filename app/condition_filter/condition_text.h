#pragma once
// The condition a table of alternatives stands for: each row a conjunction
// of column = value terms, the rows joined by OR, in the framework's
// condition language after "@CONDITION=".
#include <string>
#include <vector>

using ConditionRows = std::vector<std::vector<std::string>>;

// "@CONDITION=" and ((a=1)AND(b='x'))OR((a=2)AND(b='y')) for two rows of
// two columns; "@CONDITION=" alone without rows.  A value of digits with an
// optional "-" in front stands bare, any other between quotes.
std::string ConditionText(const std::vector<std::string>& columns, const ConditionRows& rows);

// Whether a column's name reads as a property name in a condition: a letter
// or "_" and then letters, digits and "_", and no word of the language.
bool IsConditionPropertyName(const std::string& name);

// What keeps a cell out of a condition: a quote cannot stand inside a quoted
// value, and a parenthesis inside one is counted as a group; empty when the
// value can be written.  row counts the data rows from 1.
std::string UnquotableCell(const std::string& column, int row, const std::string& value);
