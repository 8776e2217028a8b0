#pragma once
// Text lives in memory as UTF-8; files and the orderings the system relies on
// use Windows-1250.  These are the only conversions the rest of the code uses.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 to Windows-1250 bytes; a character the code page lacks becomes '?'.
std::string Utf8ToCp1250(std::string_view utf8);
// Every character of the text has a Windows-1250 byte.
bool EncodableInCp1250(std::string_view utf8);
// Windows-1250 bytes to UTF-8; the five bytes without a character map to
// the C1 controls U+0081, U+0083, U+0088, U+0090 and U+0098 and back.
std::string Cp1250ToUtf8(std::string_view cp1250);

// Texts of files made by other programs, in the code page the file names:
// 437 (IBM PC), 852 (PC Latin 2), 895 (Kamenický), 1250 and 1252.  Any
// other number is taken as Windows-1250, the system's own.  A character the
// code page lacks is written as '?'.
std::string CodePageToUtf8(int codePage, std::string_view bytes);
std::string Utf8ToCodePage(int codePage, std::string_view utf8);

// Upper and lower case of Windows-1250 bytes (accented letters included).
char UpperCp1250(char c);
char LowerCp1250(char c);

// UTF-8 in, UTF-8 out, by the Windows-1250 letter rules.
std::string AnsiUpperCase(std::string_view utf8);
std::string AnsiLowerCase(std::string_view utf8);
// AnsiUpperCase (a) == AnsiUpperCase (b), without building either.
bool AnsiSameUpperCase(std::string_view a, std::string_view b);

// Case-insensitive comparison of two UTF-8 texts: both are taken to
// Windows-1250, upper-cased, and compared byte by byte as unsigned.
// Negative, zero or positive like strcmp.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// Number of bytes the UTF-8 text takes in Windows-1250.
std::size_t Cp1250Length(std::string_view utf8);

}  // namespace platform
