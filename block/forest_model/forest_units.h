#pragma once
// The units of the forest hierarchy: forest management unit (LHC),
// compartment, sub-compartment, stand, stand group (PSK) and storey.  Units
// own their lower units as children; each answers the units above it,
// asking the level above, so a missing link answers nil.
#include "spatial/sheets/geometry_holder.h"

class TLHC;
class TOddeleni;
class TDilec;
class TPorost;

class TForestUnit : public TGeometryElement {
  KESTX_CLASS(TForestUnit)
 public:
  // Nil here; each unit answers the levels above it.
  virtual TDilec* GetDilec() const;
  virtual TLHC* GetLHC() const;
  virtual TOddeleni* GetOddeleni() const;
  virtual TPorost* GetPorost() const;
};

class TLHC : public TForestUnit {
  KESTX_CLASS(TLHC)
};

class TOddeleni : public TForestUnit {
  KESTX_CLASS(TOddeleni)
 public:
  TLHC* GetLHC() const override;
};

class TDilec : public TForestUnit {
  KESTX_CLASS(TDilec)
 public:
  TLHC* GetLHC() const override;
  TOddeleni* GetOddeleni() const override;
};

class TPorost : public TForestUnit {
  KESTX_CLASS(TPorost)
 public:
  TLHC* GetLHC() const override;
  TOddeleni* GetOddeleni() const override;
  TDilec* GetDilec() const override;
};

class TPorostniSkupina : public TForestUnit {
  KESTX_CLASS(TPorostniSkupina)
 public:
  TLHC* GetLHC() const override;
  TOddeleni* GetOddeleni() const override;
  TDilec* GetDilec() const override;
  TPorost* GetPorost() const override;
};

class TEtaz : public TForestUnit {
  KESTX_CLASS(TEtaz)
};

void RegisterForestUnitClasses();
