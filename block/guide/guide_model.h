#pragma once
// The guide: the map editor's description of a mapping project, read from a
// ".KES" file.  Its classes are the sheets of the state map series made so
// that every sheet a guide creates is again a guide page, and so that a
// guide keeps only what the user selected.
#include "spatial/sheets/map_sheets.h"

class TGuidePage_2 : public TSMO_2 {
  KESTX_CLASS(TGuidePage_2)
};

class TGuidePage_5 : public TSMO_5 {
  KESTX_CLASS(TGuidePage_5)
 public:
  // The raster flags of a 1:5 000 page; no page has them.
  bool CIT() const { return false; }
  bool RAS() const { return false; }
  bool RAK() const { return false; }
  bool TRAS() const { return false; }
  bool TRAK() const { return false; }

  TSMO_2* CreateSubSheet() override;
  // Compaction at every level of the guide: every sub-sheet is compacted,
  // then those the user did not select and that kept nothing below are
  // freed (a chosen sheet under one not chosen stays with it).
  void Compact() override;
};

class TGuidePage_10 : public TSMO_10 {
  KESTX_CLASS(TGuidePage_10)
 public:
  TSMO_5* CreateSubSheet() override;
  void Compact() override;
};

class TGuidePage_25 : public TSMO_25 {
  KESTX_CLASS(TGuidePage_25)
 public:
  // Compacts every sub-sheet, then drops those left with nothing.
  void Compact() override;
};

class TGuidePage_50 : public TSMO_50 {
  KESTX_CLASS(TGuidePage_50)
 public:
  TSMO_10* CreateSheet10() override;
  TSMO_25* CreateSheet25() override;
  void Compact() override;
};

class TUserMapSpaces : public TRectEntity {
  KESTX_CLASS(TUserMapSpaces)
};

class TVectors : public TOwnerEntity {
  KESTX_CLASS(TVectors)
};

class TZMSpace;
class TMapsZM;

class TGuide : public TSMO {
  KESTX_CLASS(TGuide)
 public:
  std::string GetName() const override;
  // Names are compared as GetName gives them, not as stored.
  bool SameNameAs(std::string_view name) const override { return TElement::SameNameAs(name); }

  // Both make sure the guide's parts exist first.
  TVectors* Vectors();
  TUserMapSpaces* UserMapSpaces();
  // The old part is freed.
  void SetVectors(TVectors* vectors);
  void SetUserMapSpaces(TUserMapSpaces* spaces);
  // The child "ZM", and the first ZM sheet; made when missing.
  TMapsZM* ZM();
  TZMSpace* ZMSpace();

  TSMO_50* CreateSheet() override;
  // The stream lists the parts among the children after setting them: each
  // stays one child.
  void AddElement(TElement* element) override;
  // After the series: the vector drawing and the user map spaces by element
  // number (-1 for none).
  void ReadData(platform::TReader& reader, TQuickEntity& elementMap) override;
  void WriteData(platform::TWriter& writer) const override;

  TVectors* ExistingVectors() const { return static_cast<TVectors*>(vectors_.Get()); }
  TUserMapSpaces* ExistingUserMapSpaces() const { return static_cast<TUserMapSpaces*>(userMapSpaces_.Get()); }

 private:
  void EnsureParts();
  // The element of that number in the stream, or nil for -1.
  static TElement* ReferencedElement(platform::TReader& reader, TQuickEntity& elementMap);

  TElementLink vectors_;
  // A drawing of an older class whose children moved into the vectors: the
  // stream's child list must not bring it back.
  TElementLink replacedVectors_;
  TElementLink userMapSpaces_;
  TElementLink zm_;
  TElementLink zmSpace_;
};

void RegisterGuideClasses();
