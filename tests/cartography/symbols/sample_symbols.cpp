#include "tests/cartography/symbols/sample_symbols.h"

#include <filesystem>
#include <fstream>

#include "platform/code_page.h"

namespace {

void PutWord(std::string& bytes, int value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>(value >> 8 & 0xFF);
}

// Seven-bit signed coordinates; a move has bit 7 of its first byte set so
// that a move to (0, 0) is not the end pair.
void PutStroke(std::string& bytes, const SampleStroke& stroke) {
  bytes += static_cast<char>(0x80 | (stroke.X & 0x7F));
  bytes += static_cast<char>((stroke.Draw ? 0x80 : 0) | (stroke.Y & 0x7F));
}

std::string Header(bool signature) {
  std::string header = signature ? std::string("PK\x08\x08", 4) : std::string("NOPE");
  header += "BGI Stroke Font V1.1 - KESTX sample\r\n\x1A";
  header.resize(128, '\0');
  return header;
}

// Windows-1250 text with CR LF line ends, as the library's files are kept.
std::string TextFile(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += platform::Utf8ToCp1250(line) + "\r\n";
  return bytes;
}

std::vector<SampleGlyph> GlyphRange(std::uint8_t first, std::uint8_t last, int variant, bool letterA) {
  std::vector<SampleGlyph> glyphs;
  for (int code = first; code <= last; ++code)
    glyphs.push_back(letterA && code == 'A' ? SampleLetterA() : SampleGlyphOf(static_cast<std::uint8_t>(code), variant));
  return glyphs;
}

// A symbol of one chain of one dash of 4 mm and a gap of 1.5 mm, with the
// extra keys of its dash.
std::vector<std::string> DashSymbol(int code, const std::string& name, const std::vector<std::string>& keys) {
  std::vector<std::string> lines = {"[LINIOVAZNACKA]", "KOD=" + std::to_string(code), "NAZEV=" + name,
                                    "[RETEZ]",         "SILA=0.1",                    "[CLANEK]",
                                    "VELIKOST=4",      "VZDALENOST=1.5"};
  lines.insert(lines.end(), keys.begin(), keys.end());
  lines.insert(lines.end(), {"[END]", "[END]", "[END]", ""});
  return lines;
}

void Append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

std::vector<std::string> LineSymbolLines() {
  std::vector<std::string> lines = {"; line symbols of the tests: lengths in millimetres on the map", ""};
  Append(lines, DashSymbol(1001, "Čárkovaná", {}));
  Append(lines, DashSymbol(1002, "Bez zbytku", {"KRESLITZBYTEK=0"}));
  Append(lines, DashSymbol(1003, "Nelámaná", {"LAMATZNACKU=0"}));
  Append(lines, DashSymbol(1004, "Přes vrchol", {"LAMATZNACKU=ne", "KRESLITPOSLEDNI=ano"}));
  Append(lines, {"[LiniovaZnacka]", "KOD = 1005", "NAZEV = Čárky s příčkami", "[RETEZ]", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=4", "VZDALENOST=1", "[END]",
                 "[CLANEK]", "VELIKOST=1", "UHEL=90", "VZDALENOST=1", "[END]",
                 "[CLANEK]", "VELIKOST=4", "VZDALENOST=1", "[END]",
                 "[CLANEK]", "VELIKOST=1", "UHEL=-90", "VZDALENOST=1", "[END]",
                 "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1006", "NAZEV=Písmena", "[RETEZ]", "SILA=0.1",
                 "[PETRKLIC]", "SOUBOR=ZNACKY1.CHR", "KOD=0", "VELIKOST=2", "[END]",
                 "[PETRKLIC]", "SOUBOR=ZNACKY1.CHR", "KOD=65", "VELIKOST=2", "VZDALENOST=1", "[END]",
                 "[PETRKLIC]", "SOUBOR=ZNACKY1.CHR", "KOD=256", "VELIKOST=2", "[END]",
                 "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1007", "NAZEV=Dva řetězy", "[RETEZ]", "BARVA=4", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=4", "VZDALENOST=1.5", "[END]", "[END]",
                 "[RETEZ]", "BARVA=1", "VZDALENOST=1", "STRANA=P", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=2", "VZDALENOST=1", "[END]", "[END]",
                 "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1008", "NAZEV=Harmonika", "[RETEZ]", "HARMONIKA=1", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=2", "UHEL=90", "[END]",
                 "[CLANEK]", "VELIKOST=4", "VZDALENOST=1.5", "[END]", "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1009", "NAZEV=Harmonika sama", "[RETEZ]", "HARMONIKA=1",
                 "[CLANEK]", "VELIKOST=2", "UHEL=90", "[END]", "[END]", "[END]", ""});
  Append(lines, DashSymbol(1010, "Mezera zpět", {"LOMBOD1=1"}));
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1011", "NAZEV=Drobná", "[RETEZ]", "SILA=0.2",
                 "[CLANEK]", "VELIKOST=0.2", "VZDALENOST=0.1", "[END]", "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1012", "NAZEV=Prázdná", "[RETEZ]", "ZAKLADNIZNACKA=-1", "[END]",
                 "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1013", "NAZEV=Barva čáry", "[RETEZ]", "BARVA=-1", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=4", "VZDALENOST=1.5", "[END]", "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "; the code must follow the header", "KOD=1014", "[RETEZ]",
                 "[CLANEK]", "VELIKOST=4", "[END]", "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1015", "NAZEV=Záporná", "[RETEZ]", "VZDALENOST=-2", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=-4", "VZDALENOST=2", "[END]", "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1016", "NAZEV=Plná", "[RETEZ]", "ZAKLADNIZNACKA=0", "SILA=0.3",
                 "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1017", "NAZEV=Záporné pero", "[RETEZ]", "SILA=-0.3", "[CLANEK]",
                 "VELIKOST=4", "[END]", "[END]", "[END]", ""});
  Append(lines, {"[LINIOVAZNACKA]", "KOD=1018", "NAZEV=Dvě nelámané", "[RETEZ]", "SILA=0.1",
                 "[CLANEK]", "VELIKOST=4", "VZDALENOST=1", "LAMATZNACKU=0", "[END]",
                 "[CLANEK]", "VELIKOST=2", "VZDALENOST=1", "LAMATZNACKU=0", "[END]",
                 "[END]", "[END]", ""});
  Append(lines, DashSymbol(1019, "Přes konec", {"LAMATZNACKU=0", "KRESLITPOSLEDNI=1", "KRESLITZBYTEK=0"}));
  return lines;
}

// An area symbol of the code with the lines of its body.
std::vector<std::string> AreaSymbol(int code, const std::string& name, const std::vector<std::string>& body) {
  std::vector<std::string> lines = {"[PLOSNAZNACKA]", "KOD=" + std::to_string(code), "NAZEV=" + name};
  lines.insert(lines.end(), body.begin(), body.end());
  lines.insert(lines.end(), {"[END]", ""});
  return lines;
}

// A layer of one set 0.1 mm wide every 0.4 mm in colour 13 at that angle.
std::vector<std::string> ThinLayer(const std::string& angle) {
  return {"[VRSTVASRAF]", "UHEL=" + angle, "[SRAFA]", "SIRKA=0.1", "BARVA=13", "VZDALENOST=0.3", "[END]", "[END]"};
}

std::vector<std::string> AreaSymbolLines() {
  std::vector<std::string> lines = {"; area symbols of the tests: lengths in millimetres on the map", ""};
  Append(lines, AreaSymbol(2001, "Vodorovné", ThinLayer("0")));
  Append(lines, AreaSymbol(2002, "Svislé", ThinLayer("90")));
  Append(lines, AreaSymbol(2003, "Šikmé", ThinLayer("45")));
  Append(lines, AreaSymbol(2004, "Šikmé záporné", ThinLayer("-45")));
  Append(lines, AreaSymbol(2005, "Šikmé zpět", ThinLayer("135")));
  Append(lines, AreaSymbol(2006, "Obrácené", ThinLayer("180")));
  Append(lines, AreaSymbol(2007, "Dvě sady", {"[VRSTVASRAF]", "UHEL=0",
                                               "[SRAFA]", "SIRKA=0.1", "BARVA=13", "VZDALENOST=0.1", "[END]",
                                               "[SRAFA]", "SIRKA=0.2", "BARVA=11", "VZDALENOST=0.1", "[END]",
                                               "[END]"}));
  std::vector<std::string> twoLayers = ThinLayer("0");
  Append(twoLayers, {"[VRSTVASRAF]", "UHEL=90", "[SRAFA]", "SIRKA=0.1", "BARVA=11", "VZDALENOST=0.3", "[END]",
                     "[END]"});
  Append(lines, AreaSymbol(2008, "Dvě vrstvy", twoLayers));
  Append(lines, AreaSymbol(2009, "Čárkované", {"[VRSTVASRAF]", "UHEL=0", "[SRAFA]", "SIRKA=0.1", "BARVA=13",
                                                "VZDALENOST=0.3", "D1=0.2", "DELKAVZORU=0.5", "D2=0.3", "[END]",
                                                "[END]"}));
  Append(lines, AreaSymbol(2010, "Jen podklad", {"PODKLAD=9", "ZAKLADNIZNACKA=1"}));
  Append(lines, AreaSymbol(2011, "Barvou podkladu", {"PODKLAD=9", "[VRSTVASRAF]", "UHEL=0", "[SRAFA]", "SIRKA=0.1",
                                                      "BARVA=9", "VZDALENOST=0.3", "[END]", "[END]"}));
  Append(lines, AreaSymbol(2012, "Tenká", {"[VRSTVASRAF]", "UHEL=0",
                                           "[SRAFA]", "SIRKA=0.04", "BARVA=13", "VZDALENOST=0.3", "[END]",
                                           "[SRAFA]", "SIRKA=0", "BARVA=11", "VZDALENOST=0.3", "[END]", "[END]"}));
  Append(lines, AreaSymbol(2013, "Úhel po sadě", {"[VRSTVASRAF]", "[SRAFA]", "SIRKA=0.1", "BARVA=13",
                                                   "VZDALENOST=0.3", "D1=0.2", "[END]", "UHEL=90", "[END]"}));
  Append(lines, AreaSymbol(2014, "Záporná", {"PODKLAD=9", "ZAKLADNIZNACKA=1", "[VRSTVASRAF]", "[SRAFA]",
                                             "SIRKA=-0.1", "BARVA=13", "[END]", "[END]"}));
  Append(lines, AreaSymbol(2015, "Nic", {"[VRSTVASRAF]", "UHEL=0", "[END]"}));
  // 2 to the 80th degrees: 76 past a whole number of half turns.
  Append(lines, AreaSymbol(2016, "Obří úhel", ThinLayer("-1208925819614629174706176")));
  return lines;
}

}  // namespace

std::string BuildStrokeFont(std::uint8_t first, std::uint8_t last, std::int8_t top, bool signature,
                            const std::vector<SampleGlyph>& glyphs) {
  const int count = last - first + 1;
  std::string strokes;
  std::string offsets;
  std::string widths;
  for (const SampleGlyph& glyph : glyphs) {
    PutWord(offsets, static_cast<int>(strokes.size()));
    widths += static_cast<char>(glyph.Width);
    for (const SampleStroke& stroke : glyph.Strokes) PutStroke(strokes, stroke);
    strokes += std::string(2, '\0');
  }
  std::string font = "+";
  PutWord(font, count);
  font += '\0';
  font += static_cast<char>(first);
  PutWord(font, 16 + 3 * count);
  font += '\0';
  font += static_cast<char>(top);
  font += '\0';
  font += static_cast<char>(-7);
  font += std::string(5, '\0');
  return Header(signature) + font + offsets + widths + strokes;
}

SampleGlyph SampleLetterA() {
  return {{{false, 0, 0}, {true, 10, 40}, {true, 20, 0}, {false, 5, 20}, {true, 15, 20}, {false, 24, 0}}, 24};
}

SampleGlyph SampleGlyphOf(std::uint8_t code, int variant) {
  return {{{false, 0, 0}, {true, variant + 1, code / 16 + 1}, {true, variant + 2, -(code % 16 + 1)}, {false, 6, 0}},
          6};
}

std::map<std::string, std::string> SampleSymbolLibrary() {
  std::map<std::string, std::string> files;
  files["fonts/Simp.CHR"] = BuildStrokeFont(0x20, 0x7E, 40, true, GlyphRange(0x20, 0x7E, 0, true));
  files["fonts/Simp.LVF"] = BuildStrokeFont(0x20, 0xFF, 40, true, GlyphRange(0x20, 0xFF, 1, false));
  files["fonts/Simp.KVF"] = BuildStrokeFont(0x20, 0xFF, 40, true, GlyphRange(0x20, 0xFF, 2, false));
  files["fonts/Sans.CHR"] = BuildStrokeFont(0x20, 0x7E, 40, true, GlyphRange(0x20, 0x7E, 3, false));
  files["ZNACKY1.CHR"] = BuildStrokeFont('A', 'B', 40, true, {SampleLetterA(), {{{false, 0, 0}, {true, 0, 10}}, 0}});
  files["znacky2.chr"] = BuildStrokeFont(0x20, 0x7E, 40, true, GlyphRange(0x20, 0x7E, 4, false));
  files["NOSIG.CHR"] = BuildStrokeFont('A', 'A', 40, false, {SampleLetterA()});
  files["Fonty.txt"] = TextFile({
      "1 ZNACKY1.CHR D 2 0.25",
      "2 ZNACKY2.CHR d 3 0.1",
      "3 CHYBI.CHR M 2 0.2",
      "0 ZNACKY1.CHR D 2 0.2",
      "4 ZNACKY1.CHR D 0.00001 0.2",
      "2 ZNACKY1.CHR S 5 0.3",
      "",
      "5 NOSIG.CHR D 2 0.2",
  });
  files["Styly.txt"] = TextFile({
      "; text styles",
      "[STYL]",
      "NAZEV = Popis porostu",
      "DRUH = 5",
      "REZIM = m",
      "FONT = 6",
      "VYSKA = 2,5",
      "SIRKA = 1.5",
      "SKLON = 30",
      "ROZESTUPY = 0.5",
      "BARVA = 4",
      "DRUHCARY = 2",
      "SILAPERA = 0.3",
      "[END]",
      "[STYL]",
      "NAZEV = Chybný druh",
      "DRUH = 7x",
      "REZIM = S",
      "VYSKA = 3",
      "[END]",
      "[Styl]",
      "NAZEV = Neuzavřený",
      "DRUH = 9",
  });
  files["linzn.txt"] = TextFile(LineSymbolLines());
  files["Srafy.txt"] = TextFile(AreaSymbolLines());
  return files;
}

void WriteSampleSymbolLibrary(const std::string& folder) {
  for (const auto& [name, bytes] : SampleSymbolLibrary()) {
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
}
