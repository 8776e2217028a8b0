#pragma once
// The grid of printer pages laid over a layout: how many paper pages a
// desktop takes at a print scale, with neighbouring pages overlapping.  Its
// bounds are the union of the pages.
#include <cstdint>

#include "spatial/geometry/geometry_elements.h"

class TDevice;

// More pages than this are refused: a tiny scale would make millions.
constexpr int kMaxPrintPages = 1000;

class TPrintPages : public TRectEntity {
  KESTX_CLASS(TPrintPages)
 public:
  TRectEntity* Layout() const;
  void SetLayout(TRectEntity* layout);
  // Sheet units per paper unit; a value of 0 or below (or no number) reads,
  // and is kept, as 1.
  double Scale();
  void SetScale(double value);
  TDevice* Device() const;
  void SetDevice(TDevice* device);
  // One TDrawRectangle per printer page, made on first use.
  TRectEntity* Pages();
  std::int32_t Rows = 0;
  std::int32_t Columns = 0;
  // Paper units (metres).
  double Overlap() const { return overlap_; }
  void SetOverlap(double value);
  bool Centered() const { return centered_; }
  void SetCentered(bool value);
  bool SinglePage = false;

  virtual void ClearPages();
  virtual void CenterPages();
  // Frees the old grid and lays the pages anew.
  void Rebuild();

 private:
  TElementLink layout_;
  TElementLink device_;
  TElementLink pages_;
  double scale_ = 1;
  double overlap_ = 0;
  bool centered_ = false;
};
