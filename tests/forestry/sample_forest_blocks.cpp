#include "tests/forestry/sample_forest_blocks.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "bench/stand_map.h"
#include "block/export/area_export.h"
#include "block/export/line_export.h"
#include "block/export/point_export.h"
#include "block/props/lumar_props.h"
#include "block/reading/block_reader.h"
#include "block/topology/area_building.h"
#include "platform/code_page.h"
#include "platform/dbase_table.h"
#include "spatial/objects/space_entities.h"

namespace {

constexpr std::uint64_t kSeed = 20261207;

struct Record {
  std::vector<std::string> Values;  // in the order of the table's fields
};

// The keys of the stand in the cell (col, row): the left half is LHC 101,
// the right 202; the stands of cells (0, 0) and (1, 0) share one stand
// group, which so has two areas.
std::vector<std::string> StandKeys(int col, int row) {
  const std::string lhc = col < kSampleForestSide / 2 ? "101" : "202";
  const int group = col == 1 && row == 0 ? 1 : 1 + col % 2;
  return {lhc, std::to_string(1 + row / 2), std::string(1, static_cast<char>('a' + (col % 4) / 2)),
          std::to_string(1 + row % 2), std::to_string(group)};
}

void WriteTable(const std::string& file, const std::string& fields, const std::vector<Record>& records) {
  // The export's empty table goes, and its index with it.
  std::filesystem::remove(file);
  std::filesystem::remove(std::filesystem::path(file).replace_extension(".IND"));
  platform::ExecuteCreateTable("create table \"" + file + "\" (" + fields + ")");
  platform::DbaseTable table;
  table.SetTableName(file);
  table.SetReadOnly(false);
  table.Open();
  for (const Record& record : records) {
    table.Append();
    for (std::size_t i = 0; i < record.Values.size(); ++i) table.SetFieldText(static_cast<int>(i), record.Values[i]);
    table.Post();
  }
  table.Close();
}

std::string TableName(const std::string& block, char letter, int kind) {
  char name[16];
  std::snprintf(name, sizeof name, "%c%04d.DBF", letter, kind);
  return block + "/" + name;
}

TPolyLineElement* NewLine(const std::vector<std::pair<double, double>>& points, int kind) {
  auto* line = new TPolyLineElement;
  for (const auto& [x, y] : points) line->AddVertex(x, y);
  line->CalcBounds();
  auto* props = new TLumarLineProps;
  props->Druh = static_cast<std::int16_t>(kind);
  line->SetProperties(props);
  return line;
}

// Writes the areas the lines enclose into the block, and answers them as
// the block gives them back (numbered, labelled).
std::unique_ptr<TAreaString> SaveAreas(TPolyLineString& lines, const std::string& block) {
  std::filesystem::create_directories(block);
  TMakeNodesAndAreas topology;
  topology.SetInput(&lines);
  topology.DoIt();
  std::unique_ptr<TAreaString> built(DynamicCast<TAreaString>(topology.Output()));
  TSaveAreasToBlok save;
  save.BlockDir = block;
  save.SetInput(built.get());
  save.DoIt();
  TLumaRBlokReader reader;
  reader.Create(block);
  return std::unique_ptr<TAreaString>(reader.ReadAreas());
}

int Cell(double coordinate) { return static_cast<int>(std::floor((coordinate - kSampleForestOrigin) / 100)); }

// A point of the grid as the map's.
double At(double gridCoordinate) { return gridCoordinate + kSampleForestOrigin; }

void WriteStands(const std::string& folder) {
  const TStandMap map = MakeStandMap(kSampleForestSide, kSeed);
  std::unique_ptr<TPolyLineString> lines(MakeStandMapLines(map));
  for (TElement* line : lines->Children()) {
    auto* poly = static_cast<TPolyLineElement*>(line);
    for (int i = 0; i < poly->GetCoordsCount(); ++i) {
      poly->SetCoordX(i, At(poly->GetCoordX(i)));
      poly->SetCoordY(i, At(poly->GetCoordY(i)));
    }
    poly->CalcBounds();
    auto* props = new TLumarLineProps;
    props->Druh = 5;
    static_cast<TSpaceEntity*>(line)->SetProperties(props);
  }
  const std::string block = folder + "/DET.BLK";
  std::unique_ptr<TAreaString> areas = SaveAreas(*lines, block);
  std::vector<Record> records;
  int kind = 0;
  for (TElement* child : areas->Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    const auto& props = *static_cast<TLumarAreaProps*>(area->Properties());
    kind = props.Druh;
    // An island has no record: it goes under the groups "___".
    if (props.PaterNo > 0) continue;
    std::vector<std::string> values = StandKeys(Cell(area->GetAbsRefX()), Cell(area->GetAbsRefY()));
    values.push_back(std::to_string(props.Cislo));
    records.push_back({values});
  }
  // A record no area has.
  records.push_back({{"303", "9", "z", "9", "9", "999"}});
  WriteTable(TableName(block, 'P', kind),
             "LHC char(10), ODDELENI char(4), DILEC char(2), POROST char(2), SKUPINA char(2), CISLO decimal(6,0)",
             records);
}

// Harvest squares of 30 m round points, with the keys they are given.
struct Harvest {
  double X, Y;
  std::vector<std::string> Keys;
  int Method, Urgency;
};

void WriteHarvests(const std::string& folder) {
  const Harvest harvests[] = {
      {150, 150, StandKeys(1, 1), 1, 3},
      {550, 250, StandKeys(5, 2), 2, 1},
      {350, 650, StandKeys(2, 6), 1, 2},  // the keys of another stand: the point decides
      {-100, 50, StandKeys(0, 0), 3, 1},  // outside every stand: placed by its keys
      {-100, 350, {"404", "1", "a", "1", "1"}, 3, 2},  // outside, keys naming nothing
      {750, 750, StandKeys(7, 7), 2, 3},
  };
  TPolyLineString lines;
  for (const Harvest& h : harvests) {
    const double x = At(h.X), y = At(h.Y);
    lines.AddEntity(
        NewLine({{x - 15, y - 15}, {x - 15, y + 15}, {x + 15, y + 15}, {x + 15, y - 15}, {x - 15, y - 15}}, 6));
  }
  const std::string block = folder + "/TEZ.BLK";
  std::unique_ptr<TAreaString> areas = SaveAreas(lines, block);
  std::vector<Record> records;
  int kind = 0;
  for (TElement* child : areas->Children()) {
    auto* area = static_cast<TAreaElement*>(child);
    const auto& props = *static_cast<TLumarAreaProps*>(area->Properties());
    kind = props.Druh;
    for (const Harvest& h : harvests) {
      if (std::fabs(area->GetCenterX() - At(h.X)) > 1 || std::fabs(area->GetCenterY() - At(h.Y)) > 1) continue;
      std::vector<std::string> values = {std::to_string(h.Method), std::to_string(h.Urgency), "0.09"};
      values.insert(values.end(), h.Keys.begin(), h.Keys.end());
      values.push_back(std::to_string(props.Cislo));
      records.push_back({values});
    }
  }
  WriteTable(TableName(block, 'P', kind),
             "ZPUSOB decimal(2,0), NALEHAVOST decimal(2,0), VYMERA decimal(8,2), LHC char(10), ODDELENI char(4), "
             "DILEC char(2), POROST char(2), SKUPINA char(2), CISLO decimal(6,0)",
             records);
}

// Skidding lines, the last outside every stand; survey points likewise.
void WriteLinesAndPoints(const std::string& folder) {
  TPolyLineString lines;
  lines.AddEntity(NewLine({{At(120), At(130)}, {At(140), At(160)}, {At(170), At(170)}}, 7));
  lines.AddEntity(NewLine({{At(630), At(420)}, {At(660), At(440)}}, 7));
  lines.AddEntity(NewLine({{At(-300), At(20)}, {At(-250), At(40)}}, 7));
  TExportLinesToLumar lineExport;
  lineExport.SetBlockName(folder + "/SLU.BLK");
  lineExport.SetInput(&lines);
  lineExport.DoIt();
  TPointString points;
  for (const auto& [gx, gy] : {std::pair{250.0, 250.0}, {450.0, 750.0}, {-400.0, 100.0}}) {
    const double x = At(gx), y = At(gy);
    auto* point = new TPointElement;
    point->SetBounds({x, y, x, y});
    auto* props = new TLumarPointProps;
    props->Druh = 8;
    point->SetProperties(props);
    points.AddEntity(point);
  }
  std::filesystem::create_directories(folder + "/BOD.BLK");
  TExportPointsToLumar pointExport;
  pointExport.SetBlockName(folder + "/BOD.BLK");
  pointExport.SetInput(&points);
  pointExport.DoIt();
}

void WriteText(const std::string& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
}

// The attribute table of the exported harvest areas (kind 12): how it is
// made and what fills it.
constexpr const char* kHarvestTable =
    "; Areas of the harvest layer: kind 12\n"
    "CISLO N 6 0\nDRUH N 4 0\nPLOCHA N 12 4\n"
    "; the stand group of the area\n"
    "LHC C 10 0\nODDELENI C 10 0\nDILEC C 10 0\nPOROST C 10 0\nSKUPINA C 10 0\nNALEHAV N 3 0\n";
constexpr const char* kHarvestTransfer =
    "; property of the exported area and target field\n"
    "*LHC LHC\n*Oddeleni ODDELENI\n*Dilec DILEC\n*Porost POROST\n*Skupina SKUPINA\n*Nalehavost NALEHAV\n";

// Run in the folder: every file name is the folder's.
constexpr const char* kDay =
    "; A forester's day on the sample forest, run in its folder: the hierarchy\n"
    "; built, a stand group found by its names and by a point, the harvest,\n"
    "; skidding and survey layers assigned, the harvest areas taken out of the\n"
    "; hierarchy, a boundary vertex moved, the harvest layer rebuilt, assigned\n"
    "; and taken out again, and exported into the new block TEZ2.BLK.\n"
    "ACTIVEELEMENT = WORLD.ObjectModel\n"
    "CREATEELEMENT(StringListElement, 'DATAMODEL')\n"
    "DATAMODEL.LoadFromFile = 'model.txt'\n"
    "CREATEELEMENT(OwnerEntity, 'DATA')\n"
    "DATA.CREATEELEMENT(RectEntity, 'HIERARCHY')\n"
    "DATA.CREATEELEMENT(RectEntity, 'LAYERS')\n"
    "Nacti:THeleNacti = CREATE(HeleNacti, 'nacti')\n"
    "Nacti.Directory = '.'\n"
    "Nacti.DOIT()\n"
    "Hier:THeleHier = CREATE(HeleHier, 'hier')\n"
    "Hier.Input = DATA.HIERARCHY\n"
    "Hier.LHC = '101'\n"
    "Hier.Odd = '1'\n"
    "Hier.Dil = 'a'\n"
    "Hier.Por = '2'\n"
    "Hier.PSK = '2'\n"
    "Hier.DOIT()\n"
    "ByName:TRectEntity = Hier.Output\n"
    "Skupina:THeleSkupina = CREATE(HeleSkupina, 'skupina')\n"
    "Skupina.Input = DATA.HIERARCHY\n"
    "Skupina.X = '-850'\n"
    "Skupina.Y = '-850'\n"
    "Skupina.DOIT()\n"
    "ByPoint:TRectEntity = Skupina.PSKObject\n"
    "HeleZaradLHC(LayerName:'TEZ', PropertyClassName:'TTezPProps', HolesGroup:'99', Group:'12')\n"
    "HeleNactiSlu()\n"
    "LocateIntoPSK(LayerName:'BOD', FeatureName:'PNT', PropertyClassName:'TTezBProps')\n"
    "ExtractLHC(LayerName:'TEZ')\n"
    "; the first corner of the harvest area of the stand group found by its\n"
    "; names, 40 cm to the east\n"
    "Corner:T2DCoordinate = "
    "ByName.TEZ.FINDELEMENTBYCLASS(PolyLineAreaElement).FINDELEMENTBYCLASS(PolyLineElement).FINDELEMENTBYCLASS("
    "2DCoordinate)\n"
    "Corner.X = '-864.6'\n"
    "HeleClearLHC(LayerName:'TEZ', HolesGroup:'99', SnapDistance:'1')\n"
    "HeleZaradLHC(LayerName:'TEZ', PropertyClassName:'TTezPProps', HolesGroup:'99', Group:'12')\n"
    "ExtractLHC(LayerName:'TEZ')\n"
    "ExportLHC(LayerName:'TEZ', BlockName:'TEZ2.BLK', ControlDIR:'.', Group:'12', HolesGroup:'99', PropertyClassName:'TTezPProps')\n";

// The store of a line editor and its dialog, the same for new and picked lines.
constexpr const char* kLineStoreAndDialog =
    "M.NewToolName = 'Uložení linie'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TStoreLineToLHC'\n"
    "S.AttachToPropertyName = 'StoreTool'\n"
    "S.NewPropertyName = 'FrameStorePath'\n"
    "S.LastPropertyModel.Value = 'LINIE'\n"
    "S.NewPropertyName = 'GlobalStorePath'\n"
    "S.LastPropertyModel.Value = 'WORLD.ObjectModel.DATA.LINIE'\n"
    "M.NewToolName = 'Linie'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TLineDialog'\n"
    "S.AttachToPropertyName = 'Dialog'\n";

// Run in the folder after the day: a graphic window on the forest with the
// editors and selectors in groups, in three parts around the line editors'
// stores.  Written in the scripts' code page.
constexpr const char* kEditingHead =
    "; Editing on the sample forest in a graphic window, run in its folder\n"
    "; after the forester's day (day.oil).  The window Editace shows the forest\n"
    "; hierarchy; the stand group under a click is the frame of every tool.\n"
    "; Its group Editory holds the editors of new lines, of picked lines, of\n"
    "; shapes, areas and points, each with its dialog and store (and the second\n"
    "; with its selector): lines go into each stand group's LINIE and into\n"
    "; DATA.LINIE, shapes into TVARY and DATA.TVARY, areas built from the lines\n"
    "; into TEZ and DATA.PLOCHY, points into BODY and DATA.BODY.  The group\n"
    "; Výběr picks skidding lines, stand areas and survey points into\n"
    "; SELECT.VYBER and selects stand groups; the monitors show the cursor's\n"
    "; place and the scale.  Each tool is made from its model, which sets its\n"
    "; properties and makes the tools it holds.  The caller shows the window.\n"
    "ACTIVEELEMENT = WORLD.ObjectModel\n"
    "DATA.CREATEELEMENT(RectEntity, 'LINIE')\n"
    "DATA.CREATEELEMENT(RectEntity, 'TVARY')\n"
    "DATA.CREATEELEMENT(RectEntity, 'PLOCHY')\n"
    "DATA.CREATEELEMENT(RectEntity, 'BODY')\n"
    "CREATEELEMENT(OwnerEntity, 'SELECT')\n"
    "SELECT.CREATEELEMENT(RectEntity, 'VYBER')\n"
    "Editace:TGraphicForm = CREATE(TGraphicForm, 'Editace')\n"
    "Editace.Caption = 'Editace lesa'\n"
    "Editace.Width = '720'\n"
    "Editace.Height = '560'\n"
    "Editace.PageColor = '16777215'\n"
    "Editace.InterpretScript = UniversalLumarScriptCreator()\n"
    "ModelEditory:TToolModel = CREATE(TToolModel, 'Editory')\n"
    "ModelEditory.ElementClassName = 'TExtendedToolGroup'\n"
    "; new lines, stored into the stand groups they cross\n"
    "ModelEditory.NewToolName = 'Kresba'\n"
    "M:TToolModel = ModelEditory.LastToolModel\n"
    "M.ElementClassName = 'TPolyLineEditor'\n"
    "M.Comment = 'Kreslí novou linii'\n"
    "M.NewPropertyName = 'CanCreateNewObject'\n"
    "M.LastPropertyModel.Value = 'True'\n"
    "M.NewPropertyName = 'ConfirmText'\n"
    "M.LastPropertyModel.Value = 'Uložit novou linii?'\n";

constexpr const char* kEditingPicked =
    "; a line of the stand group picked and changed\n"
    "ModelEditory.NewToolName = 'Oprava'\n"
    "M:TToolModel = ModelEditory.LastToolModel\n"
    "M.ElementClassName = 'TPolyLineEditor'\n"
    "M.Comment = 'Upraví vybranou linii'\n"
    "M.NewPropertyName = 'ConfirmText'\n"
    "M.LastPropertyModel.Value = 'Uložit změněnou linii?'\n"
    "M.NewToolName = 'Výběr linie'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TPolyLineSelector'\n"
    "S.AttachToPropertyName = 'SelectTool'\n"
    "S.NewPropertyName = 'LevelName'\n"
    "S.LastPropertyModel.Value = 'LINIE'\n"
    "S.NewPropertyName = 'PixelTolerance'\n"
    "S.LastPropertyModel.Value = '5'\n";

constexpr const char* kEditingTail =
    "; new shapes\n"
    "ModelEditory.NewToolName = 'Tvar'\n"
    "M:TToolModel = ModelEditory.LastToolModel\n"
    "M.ElementClassName = 'TShapeEditor'\n"
    "M.Comment = 'Kreslí nový tvar'\n"
    "M.NewPropertyName = 'CanCreateNewObject'\n"
    "M.LastPropertyModel.Value = 'True'\n"
    "M.NewPropertyName = 'ConfirmText'\n"
    "M.LastPropertyModel.Value = 'Uložit nový tvar?'\n"
    "M.NewToolName = 'Uložení tvaru'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TStoreLineToLHC'\n"
    "S.AttachToPropertyName = 'StoreTool'\n"
    "S.NewPropertyName = 'FrameStorePath'\n"
    "S.LastPropertyModel.Value = 'TVARY'\n"
    "S.NewPropertyName = 'GlobalStorePath'\n"
    "S.LastPropertyModel.Value = 'WORLD.ObjectModel.DATA.TVARY'\n"
    "M.NewToolName = 'Tvar'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TLineDialog'\n"
    "S.AttachToPropertyName = 'Dialog'\n"
    "; a harvest area picked, or built from the lines of the stand group and\n"
    "; its neighbours, shown hatched in red\n"
    "ModelEditory.NewToolName = 'Plocha'\n"
    "M:TToolModel = ModelEditory.LastToolModel\n"
    "M.ElementClassName = 'TPolyLineAreaEditor'\n"
    "M.Comment = 'Těžební plocha z linií'\n"
    "M.NewPropertyName = 'Color'\n"
    "M.LastPropertyModel.Value = '255'\n"
    "M.NewPropertyName = 'LevelName'\n"
    "M.LastPropertyModel.Value = 'TEZ'\n"
    "M.NewPropertyName = 'WorkingLinesLevels'\n"
    "M.LastPropertyModel.Value = 'LINIE'\n"
    "M.NewPropertyName = 'NeighbourhoodWorkingLinesLevels'\n"
    "M.LastPropertyModel.Value = 'LINIE'\n"
    "M.NewToolName = 'Sousedé'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TFindOkolniSkupiny'\n"
    "S.AttachToPropertyName = 'NeighbourhoodTool'\n"
    "M.NewToolName = 'Uložení plochy'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TStoreAreaToLHC'\n"
    "S.AttachToPropertyName = 'StoreTool'\n"
    "S.NewPropertyName = 'FrameStorePath'\n"
    "S.LastPropertyModel.Value = 'TEZ'\n"
    "S.NewPropertyName = 'GlobalStorePath'\n"
    "S.LastPropertyModel.Value = 'WORLD.ObjectModel.DATA.PLOCHY'\n"
    "M.NewToolName = 'Těžba'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TTezPDialog'\n"
    "S.AttachToPropertyName = 'Dialog'\n"
    "; survey points of the harvest with their urgency\n"
    "ModelEditory.NewToolName = 'Bod'\n"
    "M:TToolModel = ModelEditory.LastToolModel\n"
    "M.ElementClassName = 'TPointEditor'\n"
    "M.Comment = 'Umístí bod'\n"
    "M.NewPropertyName = 'InterpretName'\n"
    "M.LastPropertyModel.Value = 'TSelectedSpaceElementInterpret'\n"
    "M.NewToolName = 'Uložení bodu'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TStorePointToLHC'\n"
    "S.AttachToPropertyName = 'StoreTool'\n"
    "S.NewPropertyName = 'FrameStorePath'\n"
    "S.LastPropertyModel.Value = 'BODY'\n"
    "S.NewPropertyName = 'GlobalStorePath'\n"
    "S.LastPropertyModel.Value = 'WORLD.ObjectModel.DATA.BODY'\n"
    "M.NewToolName = 'Bod'\n"
    "S:TToolModel = M.LastToolModel\n"
    "S.ElementClassName = 'TSimplePointDialog'\n"
    "S.AttachToPropertyName = 'Dialog'\n"
    "S.NewPropertyName = 'PropertyClassName'\n"
    "S.LastPropertyModel.Value = 'TTezBProps'\n"
    "S.NewPropertyName = 'ValueName'\n"
    "S.LastPropertyModel.Value = 'Nalehavost'\n"
    "S.NewPropertyName = 'Druh'\n"
    "S.LastPropertyModel.Value = '8'\n"
    "Editace.NewToolByModel = ModelEditory\n"
    "ModelVyber:TToolModel = CREATE(TToolModel, 'Výběr')\n"
    "ModelVyber.ElementClassName = 'TExtendedToolGroup'\n"
    "ModelVyber.NewToolName = 'Linie'\n"
    "M:TToolModel = ModelVyber.LastToolModel\n"
    "M.ElementClassName = 'TPolyLineSelector'\n"
    "M.Comment = 'Vybere přibližovací linii'\n"
    "M.NewPropertyName = 'LevelName'\n"
    "M.LastPropertyModel.Value = 'SLUCLIN'\n"
    "M.NewPropertyName = 'PixelTolerance'\n"
    "M.LastPropertyModel.Value = '5'\n"
    "M.NewPropertyName = 'MultiSelect'\n"
    "M.LastPropertyModel.Value = 'True'\n"
    "M.NewPropertyName = 'GlobalSelectPath'\n"
    "M.LastPropertyModel.Value = 'WORLD.ObjectModel.SELECT.VYBER'\n"
    "ModelVyber.NewToolName = 'Plocha'\n"
    "M:TToolModel = ModelVyber.LastToolModel\n"
    "M.ElementClassName = 'TAreaSelector'\n"
    "M.Comment = 'Vybere porostní plochu'\n"
    "M.NewPropertyName = 'LevelName'\n"
    "M.LastPropertyModel.Value = 'GEOMETRY'\n"
    "M.NewPropertyName = 'GlobalSelectPath'\n"
    "M.LastPropertyModel.Value = 'WORLD.ObjectModel.SELECT.VYBER'\n"
    "ModelVyber.NewToolName = 'Bod'\n"
    "M:TToolModel = ModelVyber.LastToolModel\n"
    "M.ElementClassName = 'TPointSelector'\n"
    "M.Comment = 'Vybere bod'\n"
    "M.NewPropertyName = 'LevelName'\n"
    "M.LastPropertyModel.Value = 'BOD_PNT'\n"
    "M.NewPropertyName = 'PixelTolerance'\n"
    "M.LastPropertyModel.Value = '5'\n"
    "M.NewPropertyName = 'GlobalSelectPath'\n"
    "M.LastPropertyModel.Value = 'WORLD.ObjectModel.SELECT.VYBER'\n"
    "ModelVyber.NewToolName = 'Skupina'\n"
    "ModelVyber.LastToolModel.ElementClassName = 'TSelectSkupina'\n"
    "ModelVyber.LastToolModel.Comment = 'Vybere porostní skupinu'\n"
    "Editace.NewToolByModel = ModelVyber\n"
    "ModelMonitory:TToolModel = CREATE(TToolModel, 'MONITORS')\n"
    "ModelMonitory.ElementClassName = 'TExtendedToolGroup'\n"
    "ModelMonitory.NewToolName = 'Souřadnice'\n"
    "ModelMonitory.LastToolModel.ElementClassName = 'TCoordMonitorFrame'\n"
    "ModelMonitory.NewToolName = 'Měřítko'\n"
    "ModelMonitory.LastToolModel.ElementClassName = 'TScaleMonitorFrame'\n"
    "Editace.NewToolByModel = ModelMonitory\n"
    "Editace.Groups.MONITORS.Align = '2'\n"
    "ModelRamce:TToolModel = CREATE(TToolModel, 'FRAMESELECTORS')\n"
    "ModelRamce.ElementClassName = 'TTechnology'\n"
    "ModelRamce.NewToolName = 'PSK'\n"
    "ModelRamce.LastToolModel.ElementClassName = 'TSkupinaSelector'\n"
    "ModelRamce.LastToolModel.AttachToPropertyName = 'ActiveTool'\n"
    "Editace.NewToolByModel = ModelRamce\n"
    "Editace.Input = DATA.HIERARCHY\n";

}  // namespace

void WriteSampleForest(const std::string& folder) {
  // Written from inside the folder: the files that name their block name it
  // without the folder, wherever it lies.
  struct InFolder {
    std::filesystem::path home = std::filesystem::current_path();
    explicit InFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~InFolder() { std::filesystem::current_path(home); }
  } inFolder(folder);
  WriteStands(".");
  WriteHarvests(".");
  WriteLinesAndPoints(".");
  WriteText("./model.txt", "ARE=DET.BLK\nARE=TEZ.BLK\nLIN=SLU.BLK\nPNT=BOD.BLK\n");
  WriteText("./P0012.CRT", kHarvestTable);
  WriteText("./P0012.TDS", kHarvestTransfer);
  WriteText("./day.oil", kDay);
  WriteText("./editing.oil", platform::Utf8ToCp1250(std::string(kEditingHead) + kLineStoreAndDialog + kEditingPicked +
                                                           kLineStoreAndDialog + kEditingTail));
}
