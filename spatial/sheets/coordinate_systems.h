#pragma once
// World coordinate systems: how coordinates of a source (a block, the
// national grid) become model coordinates, and the world that keeps the
// library of systems in use.
#include <cstdint>
#include <string>

#include "framework/core/elements.h"
#include "framework/tools/world.h"

class TCoordinate;

class TWCS : public TElement {
  KESTX_CLASS(TWCS)
 public:
  virtual std::uint8_t GetKind() const;
  virtual void SetKind(std::uint8_t value);
  virtual std::string GetAxis1Name() const;
  virtual std::string GetAxis2Name() const;
  virtual std::string GetAxis3Name() const;
  virtual void SetAxis1Name(const std::string& value);
  virtual void SetAxis2Name(const std::string& value);
  virtual void SetAxis3Name(const std::string& value);
  virtual void ConvertToWorld(long double X, long double Y, long double Z, long double& WX, long double& WY,
                              long double& WZ) const = 0;
  virtual void ConvertFromWorld(long double WX, long double WY, long double WZ, long double& X, long double& Y,
                                long double& Z) const = 0;
  // Convert C in place and return it.
  virtual TCoordinate* CoordToWorld(TCoordinate* C) const = 0;
  virtual TCoordinate* CoordFromWorld(TCoordinate* C) const = 0;

 private:
  std::uint8_t kind_ = 0;
  std::string axis1_;
  std::string axis2_;
  std::string axis3_;
};

class TGeographic_WCS : public TWCS {
  KESTX_CLASS(TGeographic_WCS)
 public:
  virtual TGeographic_WCS* CoordToGeographic(TCoordinate* C) = 0;
  virtual TGeographic_WCS* CoordFromGeographic(TCoordinate* C) = 0;
};

// The national grid: its stored values are the model's negated.
class TJTSK : public TGeographic_WCS {
  KESTX_CLASS(TJTSK)
 public:
  static constexpr std::uint8_t Kind = 1;

  std::uint8_t GetKind() const override;
  std::string GetAxis1Name() const override;
  std::string GetAxis2Name() const override;
  std::string GetAxis3Name() const override;
  void ConvertToWorld(long double X, long double Y, long double Z, long double& WX, long double& WY,
                      long double& WZ) const override;
  void ConvertFromWorld(long double WX, long double WY, long double WZ, long double& X, long double& Y,
                        long double& Z) const override;
  TCoordinate* CoordToWorld(TCoordinate* C) const override;
  TCoordinate* CoordFromWorld(TCoordinate* C) const override;
  TGeographic_WCS* CoordToGeographic(TCoordinate* C) override;
  TGeographic_WCS* CoordFromGeographic(TCoordinate* C) override;
};

class TWCSLibrary : public TOwnerEntity {
  KESTX_CLASS(TWCSLibrary)
 public:
  // The national grid is made on demand; other kinds only when present.
  TWCS* FindWCS(std::uint8_t Kind);
};

class TWCSWorld : public TWorld {
  KESTX_CLASS(TWCSWorld)
 public:
  TWCSLibrary* GetLibrary();
  TWCS* GetWCS(std::uint8_t Kind);

 private:
  TElementLink library_;
};

void RegisterE_WCSClasses();
