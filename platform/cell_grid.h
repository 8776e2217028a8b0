#pragma once
// A grid control of a form as a table of text cells, by row and column
// from 0, with its column widths and its rows' height in pixels.  A control
// that is no grid raises EFormLayoutError; a cell outside the grid reads
// empty and is not written.
#include <string>

namespace platform {

class Form;

void SetGridSize(Form& form, const std::string& control, int rows, int columns);
int GridRowCount(const Form& form, const std::string& control);
int GridColumnCount(const Form& form, const std::string& control);
std::string GridCell(const Form& form, const std::string& control, int row, int column);
void SetGridCell(Form& form, const std::string& control, int row, int column, const std::string& text);
int GridColumnWidth(const Form& form, const std::string& control, int column);
void SetGridColumnWidth(Form& form, const std::string& control, int column, int width);
// The height every row is made with.
int GridDefaultRowHeight(const Form& form, const std::string& control);

}  // namespace platform
