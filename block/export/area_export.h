#pragma once
// The area export: the areas of one list are numbered with their nesting,
// their boundary lines are written with the numbers of the areas on either
// side, then the areas themselves.  A variant fills each area's attributes
// from the areas of another layer found under its label point.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "block/export/export_tools.h"

class TAreaElement;
class TPolyLineElement;
class TMovedItemContainer;
class TSpaceEntity;
class TSpaceEntityQTree;

// Numbers the input's areas that are not holes 1, 2, 3 ... (each once),
// gives them block props, and names each area found in the holes of
// another area of the input as that area's child.  The input becomes the
// output.
class TPrepareExportAreasToLumar : public TTool {
  KESTX_CLASS(TPrepareExportAreasToLumar)
 public:
  TPrepareExportAreasToLumar();
  ~TPrepareExportAreasToLumar() override;

  // Forced on every numbered area when above 0.
  std::int32_t Druh = 0;

  // The boundary lines of the input's areas, each once; unless set, the
  // first read extracts them into a list this tool owns.
  TEntity* GetLines();
  void SetLines(TEntity* Lines);
  // The extracted list, handed over; nil when the lines were set.
  std::unique_ptr<TEntity> TakeLines();

  void DoIt() override;

 private:
  std::unique_ptr<TEntity> extracted_;
  TElementLink lines_;
  std::int32_t counter_ = 0;
};

// Writes the input's areas and their boundary lines into the block
// BlockName: TN.LIN, TN.CRD and TN.ARE are started anew.  A failure on the
// way, also that of the files' last writes, is logged with the block's name
// and raised again.
class TExportAreasToLumar : public TExportLumarElements {
  KESTX_CLASS(TExportAreasToLumar)
 public:
  TExportAreasToLumar();
  ~TExportAreasToLumar() override;

  // Kind of the boundary lines when above 0, else their own.
  std::int16_t DruhLinii = 0;
  // Attribute records for the boundary lines too.
  bool DBFLinii = false;
  // Kind forced on the areas when above 0.
  std::int16_t DruhPloch = 0;

  void DoIt() override;
  virtual void ExportLines();
  virtual void ExportAreas();

  // The user stopped the last run before its last object.
  bool StoppedByUser() const { return stoppedByUser_; }

 private:
  // Which input areas hold which line, and in which directions: made once
  // per run so that no area's line list is searched.
  struct TLineSides;
  void Export(TEntity& input);
  // Lines read from a block, or left by a tool that freed its graph, have
  // no nodes: a graph is built for the time the links are filled.
  void PrepareLines();
  // The number of the first owner of the line that is an input area walking
  // the line forward (or backward); -1 when none.
  std::int32_t SideArea(const TPolyLineElement& Line, bool Forward) const;
  // Logs an area whose label is outside it or whose written links do not
  // lead round it.
  void CheckArea(const TAreaElement& Area);

  TEntity* input_ = nullptr;
  std::unique_ptr<TEntity> ownedLines_;
  TEntity* lines_ = nullptr;
  std::unique_ptr<TLineSides> sides_;
  // The written lines by number (none at 0).
  std::vector<TPolyLineElement*> byNumber_;
  bool stoppedByUser_ = false;
};

// The area export that fills each area's attributes from the areas of
// AreaQTree whose outline holds its label point, through the script
// P + kind + ".TDS" of ControlDir.
class TExportAreasToLumarPropsFromAreaQTree : public TExportAreasToLumar {
  KESTX_CLASS(TExportAreasToLumarPropsFromAreaQTree)
 public:
  TExportAreasToLumarPropsFromAreaQTree();
  ~TExportAreasToLumarPropsFromAreaQTree() override;

  TSpaceEntityQTree* GetAreaQTree() const;
  void SetAreaQTree(TSpaceEntityQTree* Tree);

  void ExportAttributes(TElement* Element) override;

 private:
  // Loaded once per name.
  const TMovedItemContainer& Script(const std::string& FileName);
  void CollectValues(const TSpaceEntity& Entity, const TMovedItemContainer& Script);

  TElementLink areaQTree_;
  std::unique_ptr<TMovedItemContainer> script_;
};

// The areas of the input written into the block BlockDir with their
// attribute records.
class TSaveAreasToBlok : public TTool {
  KESTX_CLASS(TSaveAreasToBlok)
 public:
  // Stored; the export takes only BlockDir.
  std::int32_t DruhLinii = 0;
  std::int32_t DruhPloch = 0;
  std::string BlockDir;
  std::string CreateDBFFileName;
  std::string TransferDBFScript;

  void DoIt() override;
  // Clears the done mark of every line of the input.
  virtual void UnmarkLines();
};

// Registers the area and point export tools.
void RegisterAreaExportClasses();
