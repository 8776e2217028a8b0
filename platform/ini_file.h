#pragma once
// The program's settings file: sections in square brackets, lines of a key,
// "=" and a value.  Sections and keys are found regardless of case; a write
// changes only its own line (or adds one at the end of its section, or a new
// section at the end of the file) and keeps every other line as it stood.
// The file is Windows-1250 on disk.  Writes change the lines held here;
// UpdateFile stores them, the whole file at once through the one writer of
// whole files, so that a run of writes rewrites the file once and a failure
// or a kill leaves it whole.  Nothing keeps the file open between accesses.
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
  // A value with a character the file's code page lacks is not written (it
  // would come back as another value): false, and the stored value stays.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  // Removes the section's header and every line up to the next section;
  // nothing when the file has no such section.
  void EraseSection(const std::string& section);
  // Stores what was written since the file was read or last stored; nothing
  // when nothing was.  Raises EFCreateError or EWriteError, with the
  // system's reason, when the file cannot be written; the file then stays
  // as it was.
  void UpdateFile();

 private:
  // Index of the section's header line, or -1.
  int SectionLine(const std::string& section) const;
  // Index of the key's line within the section starting at header, or -1.
  int KeyLine(int header, const std::string& key) const;
  // One past the section's last line that holds something.
  int SectionEnd(int header) const;
  std::string fileName_;
  std::vector<std::string> lines_;
  bool changed_ = false;
};

}  // namespace platform
