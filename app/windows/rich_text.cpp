#include "app/windows/rich_text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/code_page.h"

std::string LinesToRtf(const std::vector<std::string>& lines) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset238 Courier New;}}\r\n\\f0\\fs20 ";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) rtf += "\\par\r\n";
    for (const char c : platform::Utf8ToCp1250(lines[i])) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '\\' || c == '{' || c == '}') {
        rtf += '\\';
        rtf += c;
      } else if (byte < 0x20 || byte >= 0x80) {
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\'%02x", byte);
        rtf += escaped;
      } else {
        rtf += c;
      }
    }
  }
  return rtf + "\r\n}\r\n";
}

bool IsRtf(const std::string& bytes) { return bytes.rfind("{\\rtf", 0) == 0; }

namespace {

// Destinations whose text is not part of the document's text.
bool SkippedDestination(const std::string& word) {
  static const char* const kSkipped[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "header",
                                         "footer", "generator", "listtable", "listoverridetable"};
  for (const char* skipped : kSkipped)
    if (word == skipped) return true;
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<std::string> RtfToLines(const std::string& rtf) {
  std::vector<std::string> lines(1);
  std::string bytes;  // Windows-1250 bytes of the current line
  auto endLine = [&] {
    lines.back() += platform::Cp1250ToUtf8(bytes);
    bytes.clear();
    lines.emplace_back();
  };
  // Depth of the group being skipped, or 0; groups are counted, never recursed.
  int depth = 0;
  int skipFrom = 0;
  std::size_t i = 0;
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      ++i;
      if (rtf.compare(i, 2, "\\*") == 0 && skipFrom == 0) skipFrom = depth;
      continue;
    }
    if (c == '}') {
      if (skipFrom == depth) skipFrom = 0;
      --depth;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      if (skipFrom == 0) bytes += c;
      ++i;
      continue;
    }
    ++i;
    if (i >= rtf.size()) break;
    const char next = rtf[i];
    if (next == '\'' && i + 2 < rtf.size() && HexDigit(rtf[i + 1]) >= 0 && HexDigit(rtf[i + 2]) >= 0) {
      if (skipFrom == 0) bytes += static_cast<char>(HexDigit(rtf[i + 1]) * 16 + HexDigit(rtf[i + 2]));
      i += 3;
      continue;
    }
    if (!std::isalpha(static_cast<unsigned char>(next))) {
      if (skipFrom == 0 && (next == '\\' || next == '{' || next == '}')) bytes += next;
      ++i;
      continue;
    }
    std::string word;
    while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) word += rtf[i++];
    std::string number;
    if (i < rtf.size() && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i])))) {
      number += rtf[i++];
      while (i < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[i]))) number += rtf[i++];
    }
    if (i < rtf.size() && rtf[i] == ' ') ++i;
    if (skipFrom != 0) continue;
    if (SkippedDestination(word)) {
      skipFrom = depth;
    } else if (word == "par" || word == "line") {
      endLine();
    } else if (word == "tab") {
      bytes += '\t';
    } else if (word == "u" && !number.empty()) {
      lines.back() += platform::Cp1250ToUtf8(bytes);
      bytes.clear();
      const long code = std::strtol(number.c_str(), nullptr, 10);
      const unsigned point = static_cast<unsigned>(code < 0 ? code + 65536 : code);
      std::string utf8;
      if (point < 0x80) {
        utf8 += static_cast<char>(point);
      } else if (point < 0x800) {
        utf8 += static_cast<char>(0xC0 | (point >> 6));
        utf8 += static_cast<char>(0x80 | (point & 0x3F));
      } else {
        utf8 += static_cast<char>(0xE0 | (point >> 12));
        utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (point & 0x3F));
      }
      lines.back() += utf8;
      // The substitute character that follows \u is not text of its own.
      if (i < rtf.size() && rtf[i] == '\\' && i + 1 < rtf.size() && rtf[i + 1] == '\'') i += 4;
      else if (i < rtf.size() && rtf[i] != '\\' && rtf[i] != '{' && rtf[i] != '}') ++i;
    }
  }
  lines.back() += platform::Cp1250ToUtf8(bytes);
  return lines;
}
