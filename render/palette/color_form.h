#pragma once
// The colour dialog of the program-wide colour table: sixteen squares to pick
// colours for, a palette file to load into them or save from them, and the
// starting colours to go back to.
#include <memory>

#include "render/palette/palette.h"

namespace platform {
class Form;
}

class TFormColor {
 public:
  TFormColor();
  ~TFormColor();

  platform::Form& Window() { return *form_; }
  const TColorTable& Squares() const { return squares_; }

  // Shows the dialog on the table; true when OK took the squares into it.
  bool Edit(TColorTable& table);

 private:
  void ShowSquares();
  void PickColour(int index);
  void LoadFile();
  void SaveFile();

  std::unique_ptr<platform::Form> form_;
  TColorTable squares_{};
};

// The dialog on the program's colour table.
bool EditColorTable();
