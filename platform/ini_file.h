#pragma once
// The program's settings file: sections in square brackets, lines of a key,
// "=" and a value.  Sections and keys are found regardless of case; a write
// changes only its own line (or adds one at the end of its section, or a new
// section at the end of the file) and keeps every other line as it stood.
// The file is Windows-1250 on disk; each write stores the whole file at once,
// so nothing keeps it open between accesses.
#include <string>
#include <vector>

namespace platform {

class TIniFile {
 public:
  // Reads the file when it exists; a missing file reads as empty.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // The value as a whole number; def when the key is missing or holds none.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // Raises EFCreateError when the file cannot be written.  A value with a
  // character the file's code page lacks is not written (it would come back
  // as another value): false, and the stored value stays.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  // Removes the section's header and every line up to the next section;
  // nothing when the file has no such section.  Raises EFCreateError when
  // the file cannot be written.
  void EraseSection(const std::string& section);

 private:
  // Index of the section's header line, or -1.
  int SectionLine(const std::string& section) const;
  // Index of the key's line within the section starting at header, or -1.
  int KeyLine(int header, const std::string& key) const;
  // One past the section's last line that holds something.
  int SectionEnd(int header) const;
  void Save() const;

  std::string fileName_;
  std::vector<std::string> lines_;
};

}  // namespace platform
