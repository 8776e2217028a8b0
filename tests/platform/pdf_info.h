#pragma once
// What poppler reads from a PDF file: pdfinfo its page count, title and page
// size in points; pdftoppm a page as pixels, without smoothing.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

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
    const std::size_t start = rest.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : rest.substr(start);  // an empty title
  };
  while (std::getline(lines, line)) {
    if (line.rfind("Pages:", 0) == 0) info.Pages = std::stoi(valueOf("Pages:"));
    if (line.rfind("Title:", 0) == 0) info.Title = valueOf("Title:");
    if (line.rfind("Page size:", 0) == 0) std::sscanf(valueOf("Page size:").c_str(), "%lf x %lf", &info.WidthPoints, &info.HeightPoints);
  }
  return info;
}

// Page n drawn by pdftoppm at the resolution; empty when it cannot be.
struct PdfPagePixels {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> Rgb;
  // 0x00BBGGRR.
  unsigned At(int x, int y) const {
    const unsigned char* p = &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
    return p[0] | p[1] << 8 | p[2] << 16;
  }
};

inline PdfPagePixels RasterisePdfPage(const std::string& pdf, int n, int dotsPerInch, const std::string& stem) {
  const std::string command = "pdftoppm -r " + std::to_string(dotsPerInch) + " -aa no -aaVector no -f " +
                              std::to_string(n) + " -l " + std::to_string(n) + " -singlefile '" + pdf + "' '" + stem +
                              "'";
  PdfPagePixels page;
  if (std::system(command.c_str()) != 0) return page;
  std::ifstream in(stem + ".ppm", std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> page.Width >> page.Height >> maxValue;
  in.get();
  if (magic != "P6" || maxValue != 255) return {};
  page.Rgb.resize(static_cast<std::size_t>(page.Width) * page.Height * 3);
  in.read(reinterpret_cast<char*>(page.Rgb.data()), static_cast<std::streamsize>(page.Rgb.size()));
  return page;
}
