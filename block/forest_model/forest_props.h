#pragma once
// The property objects of the forestry layers: harvest areas answer the
// hierarchy keys of the stand group they lie in; harvest and stand points
// carry their own values.
#include <cstdint>
#include <string>

#include "block/props/lumar_props.h"

class TPorostniSkupina;

class TTezPProps : public TLumarAreaProps {
  KESTX_CLASS(TTezPProps)
 public:
  std::int32_t Nalehavost = 0;  // urgency
  std::int32_t Zpusob = 0;      // method
  double Vymera = 0;            // acreage

  // The nearest stand group up the owners of the props' area; nil when
  // there is no area or no group.
  TPorostniSkupina* StandGroup() const;
  // Names of the group and its units; empty where a link is missing.
  std::string GetLHC() const;
  std::string GetOddeleni() const;
  std::string GetDilec() const;
  std::string GetPorost() const;
  std::string GetSkupina() const;
};

class TTezBProps : public TLumarPointProps {
  KESTX_CLASS(TTezBProps)
 public:
  std::int32_t Nalehavost = 0;
};

class TSRFBProps : public TLumarPointProps {
  KESTX_CLASS(TSRFBProps)
 public:
  std::int32_t VEK_ST = 0;  // age
};

void RegisterForestPropsClasses();
