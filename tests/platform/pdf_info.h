#pragma once
// What poppler's pdfinfo reads from a PDF file: its page count, title and
// page size in points.
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

struct PdfInfo {
  int Pages = 0;
  std::string Title;
  double WidthPoints = 0;
  double HeightPoints = 0;
};

inline PdfInfo ReadPdfInfo(const std::string& pdf) {
  PdfInfo info;
  const std::string command = "pdfinfo '" + pdf + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return info;
  std::string text;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
  std::istringstream lines(text);
  std::string line;
  const auto valueOf = [&line](const std::string& key) {
    const std::string rest = line.substr(key.size());
    return rest.substr(rest.find_first_not_of(' '));
  };
  while (std::getline(lines, line)) {
    if (line.rfind("Pages:", 0) == 0) info.Pages = std::stoi(valueOf("Pages:"));
    if (line.rfind("Title:", 0) == 0) info.Title = valueOf("Title:");
    if (line.rfind("Page size:", 0) == 0) std::sscanf(valueOf("Page size:").c_str(), "%lf x %lf", &info.WidthPoints, &info.HeightPoints);
  }
  return info;
}
