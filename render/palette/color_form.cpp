#include "render/palette/color_form.h"

#include "platform/dialogs.h"
#include "platform/forms.h"

namespace {
constexpr const char* kFilter = "PALETA.TXT|PALETA.TXT|Texty (*.TXT)|*.TXT";
std::string Square(int index) { return "S" + std::to_string(index); }
}  // namespace

TFormColor::TFormColor() : form_(std::make_unique<platform::Form>("TFormColor")) {
  for (int i = 0; i < static_cast<int>(squares_.size()); ++i) form_->OnClick(Square(i), [this, i] { PickColour(i); });
  form_->OnClick("b_Load", [this] { LoadFile(); });
  form_->OnClick("b_Save", [this] { SaveFile(); });
  form_->OnClick("b_Orig", [this] {
    squares_ = OriginalColorTable();
    ShowSquares();
  });
}

TFormColor::~TFormColor() = default;

void TFormColor::ShowSquares() {
  for (int i = 0; i < static_cast<int>(squares_.size()); ++i) form_->SetColor(Square(i), squares_[i]);
}

bool TFormColor::Edit(TColorTable& table) {
  squares_ = table;
  ShowSquares();
  if (form_->ShowModal() != platform::mrOk) return false;
  table = squares_;
  return true;
}

void TFormColor::PickColour(int index) {
  std::uint32_t colour = squares_[index];
  if (!platform::ChooseColor(colour)) return;
  squares_[index] = colour;
  ShowSquares();
}

void TFormColor::LoadFile() {
  platform::FileDialogRequest request;
  request.Filter = kFilter;
  if (!platform::PromptForFile(request)) return;
  LoadPalette(request.FileName, squares_);
  SetPaletteFileName(request.FileName);
  ShowSquares();
}

void TFormColor::SaveFile() {
  platform::FileDialogRequest request;
  request.Save = true;
  request.Filter = kFilter;
  if (!platform::PromptForFile(request) || request.FileName.empty()) return;
  if (SavePalette(request.FileName, squares_)) SetPaletteFileName(request.FileName);
}

bool EditColorTable() {
  TFormColor form;
  return form.Edit(ColorTable());
}
