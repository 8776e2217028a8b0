#pragma once
// Scanner of one text line.  The line is held in Windows-1250, so the
// position counts characters and the stop sets are the 256 character codes;
// texts handed back are UTF-8.  It never raises: running out of the line or
// a number that cannot be read sets the end flag, after which the reads give
// empty or zero values.
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// A set of Windows-1250 character codes.
using TCharSet = std::bitset<256>;

class TCtiRadekClass {
 public:
  explicit TCtiRadekClass(std::string_view Line);

  bool IsEnd() const { return FEnd; }
  void Back();
  void Skip();
  // The Windows-1250 code of the character, NUL at the end.
  char ReadChar();
  void SkipBlanks();
  void ReadCount(std::int32_t Count, std::string& Text);
  // Ch is a Windows-1250 code; it stays unread.
  void ReadUntil(char Ch, std::string& Text);
  void ReadUntilSet(const TCharSet& Chars, std::string& Text);
  std::int32_t ReadInteger();
  std::int32_t ReadInteger2() { return ReadInteger(); }
  // In the precision of the six-byte real; a value beyond that type's range
  // is a number that cannot be read.
  double ReadReal();
  // Extended precision.
  long double ReadFloat();
  bool ReadBoolean();

 private:
  bool AtLineEnd() const;
  char Current() const;
  std::string TakeWhile(bool (*Accept)(char Ch, char Previous));
  bool ReadNumber(long double& Value);

  std::string FLine;  // Windows-1250
  std::int32_t FPosition = 1;
  bool FEnd = false;
};
