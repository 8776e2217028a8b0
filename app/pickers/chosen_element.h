#pragma once
// What a selector shows of the element it chose: the property editor on it
// and, for a block object, its attribute record in a window of its own.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/interprets/interpret.h"

class TLumarDBFTable;
namespace platform {
class Form;
}

class TChoicedElementInterpret : public TInterpret {
  KESTX_CLASS(TChoicedElementInterpret)
 public:
  bool DontViewProps = false;
  bool DontViewDBF = false;
  // Screen pixels where the windows open.
  std::int32_t Left = 0;
  std::int32_t Top = 0;

  // Shows the Input; no walk.
  void DoIt() override;

 private:
  void OpenPropertyEditor(TElement* element);
  void OpenRecordWindow(TElement* element);
};

// The size of the record window for these field values: column 0 is 100
// pixels wide, column 1 ten pixels per character of the longest value (400
// characters at most), the window 120 pixels wider than column 1; 20 rows
// high at most.
struct TRecordWindowSize {
  std::int32_t ValueColumnWidth = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool operator==(const TRecordWindowSize&) const = default;
};
TRecordWindowSize RecordWindowSize(const std::vector<std::string>& values, std::int32_t rowHeight);

// The attribute record of a block object: one row per field, its name and
// its value.  The window frees itself when closed.
class TF_dbfrecForm {
 public:
  // Opens the window on the element's record at (left, top) and closes the
  // table again.  Nil, and no window, when the element's block has no such
  // table or the table no such record.  A table that cannot be read raises
  // platform::EDatabaseError.
  static TF_dbfrecForm* ShowRecord(const TElement* element, std::int32_t left, std::int32_t top);
  // The windows open now, oldest first.
  static const std::vector<TF_dbfrecForm*>& OpenWindows();

  ~TF_dbfrecForm();
  TF_dbfrecForm(const TF_dbfrecForm&) = delete;
  TF_dbfrecForm& operator=(const TF_dbfrecForm&) = delete;

  platform::Form& Window() { return *window_; }

 private:
  TF_dbfrecForm();
  // The grid takes the fields of the table's current record; answers their
  // values.
  std::vector<std::string> Fill();
  // Agrees to every close and frees the window once its event has ended.
  bool Closing();

  std::unique_ptr<platform::Form> window_;
  std::unique_ptr<TLumarDBFTable> table_;
  bool closing_ = false;
};

void RegisterChosenElementClasses();
