#pragma once
// The token scanner shared by the element paths and by every text that is
// split at a set of delimiter characters.  Positions are 1-based and count
// characters, not UTF-8 bytes.
#include <string>
#include <string_view>

// Scans text from pos to the first character of delimiters (only characters
// 32 to 127 of it count).  token is the text before it, trimmed of blanks;
// delimiter is that character, or NUL at the end of the text; newPos is the
// position after the delimiter (length + 2 at the end).  An empty text gives
// an empty token, NUL and newPos = pos.
void NextToken(const std::string& text, std::string_view delimiters, int pos, std::string& token, int& newPos,
               char& delimiter);
// The same without trimming the token.
void NextRawToken(const std::string& text, std::string_view delimiters, int pos, std::string& token, int& newPos,
                  char& delimiter);
