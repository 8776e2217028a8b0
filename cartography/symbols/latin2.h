#pragma once
// Texts of code page 3 are held in Windows-1250, while the .LVF stroke fonts
// that draw them are laid out in code page 852.
#include <string>
#include <string_view>

// Windows-1250 bytes in; the Czech and Slovak letters with diacritics become
// their code page 852 bytes, every other byte stays.  The length is kept.
std::string ConvertToLatin2(std::string_view cp1250);
