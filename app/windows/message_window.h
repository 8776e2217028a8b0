#pragma once
// Text output that goes to devices instead of pictures: the text window (the
// message window when the main tool owns it) through TMemoFormDevice, and a
// text file through TTextFileDevice.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/forms/base_forms.h"
#include "render/devices/device.h"

namespace platform {
class TFileStream;
}

class TMemoFormDevice;

// True exactly when the user answers "&Ano".
bool AskYesNo(const std::string& question);

class TStdtxtForm : public TKESTUForm {
 public:
  TStdtxtForm();

  TMemoFormDevice* Device() const;
  void SetDevice(TMemoFormDevice* device);
  bool Modified() const { return modified_; }
  bool Busy() const { return busy_; }
  void SetBusy(bool busy) { busy_ = busy; }
  bool Closing() const { return closing_; }
  const std::string& CurrentLine() const { return currentLine_; }

  void Clear();
  void WriteText(const std::string& text);
  void WriteLine(const std::string& text);

  // The window's actions.
  void Open();
  // False when no file was chosen or it could not be written.
  bool Save();
  // Writes the editor's text: plain text for ".TXT" (any case), else rich text.
  void SaveToFile(const std::string& fileName);
  void LoadFromFile(const std::string& fileName);
  void FindText();
  // From one character after the selection's start; selects the hit.
  bool Find(const std::string& text);
  void SetFont();
  void Abort();
  bool CloseQuery();

 private:
  void ShowCaret();

  TElementLink device_;
  std::string currentLine_;
  std::string findText_;
  std::string directory_;
  bool closing_ = false;
  bool modified_ = false;
  bool busy_ = false;
};

class TMemoFormDevice : public TDevice {
  KESTX_CLASS(TMemoFormDevice)
 public:
  // Opens its window at once.
  TMemoFormDevice();
  ~TMemoFormDevice() override;

  TStdtxtForm* Window() const { return window_; }
  // The window lets go of its device as it closes.
  void ForgetWindow() { window_ = nullptr; }

  void BeginDraw() override;
  void EndDraw() override;
  void Clear() override;
  void SetupPage() override {}
  void SetVisible(bool visible) override;
  void WriteText(const std::string& text) override;
  void WriteLine(const std::string& text) override;

  std::int32_t Left() const;
  void SetLeft(std::int32_t value);
  std::int32_t Top() const;
  void SetTop(std::int32_t value);
  std::int32_t Width() const;
  void SetWidth(std::int32_t value);
  std::int32_t Height() const;
  void SetHeight(std::int32_t value);
  std::string Caption() const;
  void SetCaption(const std::string& caption);

 private:
  TStdtxtForm* window_ = nullptr;
};

class TTextFileDevice : public TDevice {
  KESTX_CLASS(TTextFileDevice)
 public:
  ~TTextFileDevice() override;

  bool IsOpen() const { return file_ != nullptr; }
  // The name while the file is open for output, else nothing.
  std::string FileName() const;
  // Closes the open file and creates the new one empty (EFCreateError).
  void SetFileName(const std::string& fileName);

  // Reopens the file to append (EFOpenError).
  void BeginDraw() override;
  void EndDraw() override;
  void Clear() override {}
  void SetupPage() override {}
  void WriteText(const std::string& text) override;
  void WriteLine(const std::string& text) override;

 private:
  std::string fileName_;
  std::unique_ptr<platform::TFileStream> file_;
};

// Windows whose device is gone stay open until the user closes them; they
// are kept here and freed at the end of the program.
void ReleaseClosedTextWindows();
void ReleaseAllTextWindows();

void RegisterMessageWindowClasses();
