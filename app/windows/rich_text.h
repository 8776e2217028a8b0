#pragma once
// The message window's texts as rich text: plain lines written as a
// Windows-1250 RTF document, and the plain text read back out of one.
#include <string>
#include <vector>

// The document's bytes (7-bit: other characters are written as \'xx of
// their Windows-1250 byte).
std::string LinesToRtf(const std::vector<std::string>& lines);
// Whether the bytes begin as an RTF document.
bool IsRtf(const std::string& bytes);
// The lines of an RTF document's text (groups of fonts, colours, styles and
// pictures skipped); UTF-8.
std::vector<std::string> RtfToLines(const std::string& rtf);
