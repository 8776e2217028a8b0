#pragma once
// Map sheets: named rectangles of the national grid with a number, an
// abbreviation and a scale, the levels of the state map series (1:50 000 down
// to 1:2 000), the series itself, user sheets and ZM base-map sheets.
//
// Inside a 1:50 000 sheet the 1:5 000 column c counts 2500 m steps westwards
// from its east edge and the row r 2000 m steps southwards from its north
// edge, both 0 .. 9; a 1:10 000 sheet starts at an even c and r, the
// 1:25 000 quarters are the halves at 5, and the 1:2 000 quarters of a
// 1:5 000 sheet are 1 (north-west), 2 (north-east), 3 (south-west) and
// 4 (south-east).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "spatial/sheets/space_tree.h"

class TSMO;
class TMapsZM;
class TWCS;
class TJTSK;

class TMapSpace : public TSpaceTree {
  KESTX_CLASS(TMapSpace)
 public:
  static constexpr std::size_t ZkratkaLength = 4;

  std::int32_t Cislo = 0;
  bool Selected = false;

  std::string GetZkratka() const { return zkratka_; }
  // Keeps the first four characters.
  void SetZkratka(const std::string& value);
  std::string GetJmeno() const { return GetName(); }

  // Metres of paper; zero while the sheet has no scale.
  virtual double GetPageWidth() const;
  virtual double GetPageHeight() const;
  virtual double GetScale() const;
  virtual void SetScale(double value);
  virtual TMapSpace* GetTopMS() const;
  virtual TMapSpace* GetBottomMS() const;
  virtual TMapSpace* GetLeftMS() const;
  virtual TMapSpace* GetRightMS() const;
  virtual std::string GetTopMSName() const;
  virtual std::string GetBottomMSName() const;
  virtual std::string GetLeftMSName() const;
  virtual std::string GetRightMSName() const;
  virtual std::string GetTopMSFullName() const;
  virtual std::string GetBottomMSFullName() const;
  virtual std::string GetLeftMSFullName() const;
  virtual std::string GetRightMSFullName() const;
  // The series holding the sheet.
  virtual TSMO* GetSMO() const;
  // A detached copy with its detail made; the caller owns it.
  virtual TMapSpace* GetSelfCopyWithDetail() const;
  virtual std::string GetFullName() const;
  virtual std::string GetColRowText() const;
  virtual void CreateDetail();

  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 protected:
  // A new sheet of this class by plain construction, with this one's
  // bounds, name, abbreviation and number.
  TMapSpace* PlainCopy() const;

 private:
  std::string zkratka_;
};

class TUserMapSpace : public TMapSpace {
  KESTX_CLASS(TUserMapSpace)
 public:
  double GetScale() const override { return scale_; }
  void SetScale(double value) override { scale_ = value; }

 private:
  double scale_ = 0;
};

// A sheet of the ZM base map; its locator is the child named "ZM", made on
// first use.  Reading the scale or the angle makes no locator: they answer
// what a new one would.  A scale written while there is no locator waits for
// the one that GetZM makes; a file sets the stored scale before it adds the
// stored locator, and the locator's own values win.
class TZMSpace : public TMapSpace {
  KESTX_CLASS(TZMSpace)
 public:
  static constexpr const char* LocatorName = "ZM";

  TMapsZM* GetZM() const;
  double GetScale() const override;
  void SetScale(double value) override;
  double GetAngle() const;
  double GetRAngle() const { return -GetAngle(); }

 private:
  TMapsZM* ExistingZM() const;

  mutable TElementLink zm_;
  std::optional<int> pendingScale_;
};

// A 1:2 000 sheet, and the base of every level of the series: the neighbour
// lookups of all levels go through the series by the level's scale.
class TSMO_2 : public TMapSpace {
  KESTX_CLASS(TSMO_2)
 public:
  std::int32_t Col = 0;
  std::int32_t Row = 0;

  double GetScale() const override { return 2000; }
  TMapSpace* GetTopMS() const override;
  TMapSpace* GetBottomMS() const override;
  TMapSpace* GetLeftMS() const override;
  TMapSpace* GetRightMS() const override;
  std::string GetTopMSName() const override;
  std::string GetBottomMSName() const override;
  std::string GetLeftMSName() const override;
  std::string GetRightMSName() const override;
  std::string GetTopMSFullName() const override;
  std::string GetBottomMSFullName() const override;
  std::string GetLeftMSFullName() const override;
  std::string GetRightMSFullName() const override;
  std::string GetColRowText() const override;

  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

 private:
  // The centre of the sheet one sheet size away in the given direction.
  TRealPoint NeighbourPoint(int dx, int dy) const;
  TMapSpace* NeighbourMS(int dx, int dy) const;
  std::string NeighbourName(int dx, int dy, bool full) const;
};

class TSMO_5 : public TSMO_2 {
  KESTX_CLASS(TSMO_5)
 public:
  double GetScale() const override { return 5000; }
  std::string GetColRowText() const override;
  TMapSpace* GetSelfCopyWithDetail() const override;
  // The four 1:2 000 quarters.
  void CreateDetail() override;
  virtual TSMO_2* CreateSubSheet();
  TSMO_2* CreateQuarter(bool Left, bool Lower);

  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;
};

class TSMO_10 : public TSMO_5 {
  KESTX_CLASS(TSMO_10)
 public:
  double GetScale() const override { return 10000; }
  // The four 1:5 000 sheets.
  void CreateDetail() override;
  TSMO_5* CreateSubSheet() override;
  TSMO_5* CreateSubSheet5(int c, int r);
};

class TSMO_25 : public TSMO_5 {
  KESTX_CLASS(TSMO_25)
 public:
  double GetScale() const override { return 25000; }
  std::string GetColRowText() const override;
  TMapSpace* GetSelfCopyWithDetail() const override;
  void CreateDetail() override;
  // Adds the 25 existing 1:5 000 sheets it covers as children.
  virtual void FillDetail();
};

class TSMO_50 : public TSMO_10 {
  KESTX_CLASS(TSMO_50)
 public:
  double GetScale() const override { return 50000; }
  std::string GetColRowText() const override;
  void CreateDetail() override;
  virtual TSMO_10* CreateSheet10();
  virtual TSMO_25* CreateSheet25();
  // The 25 sheets of 1:10 000; those already there are kept.
  virtual void CreateDetail10();
  // The four 1:25 000 quarters, made anew on every call.
  virtual void CreateDetail25();
  virtual TMapSpace* GetSelfCopyWithDetail10() const;
  virtual TMapSpace* GetSelfCopyWithDetail25() const;

  TSMO_10* CreateSheet10At(int c, int r);
  TSMO_25* CreateSheet25At(int q);
  TSMO_10* FindSheet10(int c, int r) const;
  TSMO_5* FindSheet5(int c, int r) const;
  TSMO_25* FindSheet25(int c, int r) const;

 private:
  TMapSpace* CopyWithDetail(void (TSMO_50::*detail)()) const;
};

// The series: the 1:50 000 sheets of one project in national-grid
// placement, and the lookups of every level at a point.
class TSMO : public TSMO_50 {
  KESTX_CLASS(TSMO)
 public:
  TSMO();
  ~TSMO() override;

  // The world's national grid, taken at construction.
  TWCS* GetWCS() const;

  virtual TSMO_50* CreateSheet();
  virtual void AddSheet50(TRectEntity* Sheet);
  // Sheet Col, Row of the 25 x 20 km grid.
  virtual TSMO_50* CreateSheet50(int Col, int Row, const std::string& Name, const std::string& Zkratka);
  virtual void AddSheet(TRectEntity* Sheet);

  TSMO_50* FindSheet50At(double X, double Y) const;
  TSMO_25* FindSheet25At(double X, double Y) const;
  TSMO_10* FindSheet10At(double X, double Y) const;
  TSMO_5* FindSheet5At(double X, double Y) const;
  // The sheet of the level of that scale (50000 .. 5000); nil for others.
  TMapSpace* FindSheetOfScaleAt(double scale, double X, double Y) const;

  std::string SheetName50At(double X, double Y) const;
  std::string SheetName25At(double X, double Y) const;
  std::string SheetName10At(double X, double Y) const;
  std::string SheetName5At(double X, double Y) const;
  std::string SheetName2At(double X, double Y) const;
  std::string SheetFullName50At(double X, double Y) const;
  std::string SheetFullName25At(double X, double Y) const;
  std::string SheetFullName10At(double X, double Y) const;
  std::string SheetFullName5At(double X, double Y) const;
  std::string SheetFullName2At(double X, double Y) const;
  // The name or full name of the sheet of the level of that scale
  // (50000 .. 2000); empty for others.
  std::string SheetNameOfScaleAt(double scale, double X, double Y, bool full) const;

  static int QuarterOf(int c, int r);

  // The series stands for itself.
  TElement* CreateEnvelope() const override;

 private:
  struct TPlace;
  bool PlaceAt(double X, double Y, TPlace& place) const;

  TElementLink wcs_;
  // Used only when no world offers the national grid.
  mutable std::unique_ptr<TJTSK> ownGrid_;
};

void RegisterE_MSpaceClasses();
