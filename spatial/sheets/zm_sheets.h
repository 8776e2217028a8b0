#pragma once
// The ZM base map: quadrilateral 1:200 000 sheets from a fixed corner table,
// quartered down to 1:25 000 and cut into 25 parts at 1:10 000.  The locator
// holds the current sheet at every level and names it ("12-34-07").
#include <array>
#include <cstdint>
#include <string>

#include "spatial/geometry/geometry_elements.h"
#include "spatial/geometry/geometry_types.h"

// Corners 1, 2, 3, 4: edges 1-2 and 3-4 run the same way, 1-3 and 2-4 too.
using TZMCorners = std::array<TRealPoint, 4>;

class TMapsZM : public TRectEntity {
  KESTX_CLASS(TMapsZM)
 public:
  TMapsZM();

  static constexpr int DefaultScale = 200000;

  TColor Color = 0;
  double PenWidth = 0;
  std::uint8_t PenStyle = 0;

  static bool ValidMap200(int i);

  int GetScale() const { return scale_; }
  void SetScale(int value) { scale_ = value; }
  int GetMap200() const { return map_[kLevel200]; }
  int GetMap100() const { return map_[kLevel100]; }
  int GetMap50() const { return map_[kLevel50]; }
  int GetMap25() const { return map_[kLevel25]; }
  int GetMap10() const { return map_[kLevel10]; }
  // A refused number leaves 0; the corners of the levels below always follow
  // their numbers under the new sheet.
  void SetMap200(int i);
  void SetMap100(int q);
  void SetMap50(int q);
  void SetMap25(int q);
  void SetMap10(int n);

  // Corner k (1 .. 4) of the current level; 0 outside.
  double CornerX(int k) const;
  double CornerY(int k) const;
  double GetZMCenterX() const;
  double GetZMCenterY() const;
  double GetAngle() const;
  std::string GetMapName() const;
  // Takes every form the reader produces (no text: no sheet); shows an
  // error for any other text.
  void SetMapName(const std::string& Text);

  // A new rectangle round the corners; the caller owns it.
  static TRectangle* QuadBounds(const TZMCorners& corners);

 private:
  enum Level { kLevel200, kLevel100, kLevel50, kLevel25, kLevel10, kLevelCount };

  const TZMCorners& CurrentCorners() const;
  // Sets the number of one level from its parent's corners (or refuses it),
  // then carries the change down to the levels below.
  void ApplyLevel(Level level, int number, bool written);
  // The corners of sheet number under the level's parent; false when the
  // parent holds no sheet or the number is out of range.
  bool Derive(Level level, int number, TZMCorners& corners) const;

  int scale_ = DefaultScale;
  std::array<int, kLevelCount> map_{};
  std::array<TZMCorners, kLevelCount> corners_{};
};

void RegisterE_zmClasses();
