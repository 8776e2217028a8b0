#pragma once
// The stand group under a point of a graphic window: chosen by a click
// (TSelectSkupina, which also keeps it as the object model's SELECT/FRAME),
// or as a frame selector at the point it is given (TSkupinaSelector).
#include <memory>

#include "framework/core/messages.h"
#include "render/tool_forms/frames.h"
#include "render/tool_forms/interface_tool.h"

class THeleSkupina;
class TPorostniSkupina;

// The lookup of the stand group at a map point, in the object model's
// DATA/"HIERARCHY", made on first use; nil once a lookup found nothing.
class TSkupinaLookup {
 public:
  TSkupinaLookup();
  ~TSkupinaLookup();
  TPorostniSkupina* Find(double x, double y);
  THeleSkupina& Lookup();

 private:
  std::unique_ptr<THeleSkupina> lookup_;
};

class TSelectSkupina : public TInterfaceTool {
  KESTX_CLASS(TSelectSkupina)
 public:
  void MouseUp(TKestuMessage* message, bool& handled) override;

 private:
  // Empties the object model's SELECT/FRAME and puts the group there.
  static void KeepAsFrame(TPorostniSkupina* psk);

  TSkupinaLookup lookup_;
};

class TSkupinaSelector : public TFrameSelector {
  KESTX_CLASS(TSkupinaSelector)
 public:
  void DoIt() override;

 private:
  TSkupinaLookup lookup_;
};

void RegisterSkupinaSelectorClasses();
