#pragma once
// The interpret of graphic windows and printing: it walks any model and asks
// its interpret script which interpret draws each element; interpret layers
// of the model bring interprets of their own.  It keeps the user interface
// alive on a tick timer, redraws all or part of a page on messages 31 and
// 32, runs the walk once per script pass, and draws in bitmap bands when
// asked.
#include <cstdint>
#include <vector>

#include "render/interprets/interpret.h"

class TInterpretScript;
class TTickElement;
class TTileDevice;
class TInterpretLayer;

class TUniversalInterpret : public TInterpret {
  KESTX_CLASS(TUniversalInterpret)
 public:
  // Created on first use, with an interval of 200 ms.
  TTickElement* Timer();
  TInterpretScript* Script() const;
  // Held as a child: the previous one is freed, the one held already stays.
  void SetScript(TInterpretScript* script);
  bool CanGoInside = false;
  std::uint16_t Counter = 0;
  // The interpret running at the moment.
  TInterpret* Interpret() const;
  void SetInterpret(TInterpret* interpret);
  bool Tile = false;
  // Created on first use, as a child.
  TTileDevice* TileDevice();
  void SetTileDevice(TTileDevice* device);
  bool InterpretByLayer = false;
  TClass LayerClass = nullptr;

  void DoIt() override;
  void BeforeRun() override;
  void AfterRun() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement* element) override;
  void Process(TElement* element) override;
  void SetBreakWork(bool value) override;
  // A busy interpret leaves the page as it is.
  void ReView(TKestuMessage* message, bool& handled) override;
  void ReViewArea(TKestuMessage* message, bool& handled) override;

 protected:
  void LeftInside(TElement* element) override;

 private:
  // Each pass of the script in turn; false when a walk was broken off.
  bool RunPasses();
  void RunTiles();
  void Draw(TInterpret* interpret, TElement* element);
  bool LayerVisible(const TInterpretLayer& layer) const;
  // The interpret that walked the children of the entity being walked
  // itself, when one did.
  TInterpret* WalkedBy() const { return entered_.empty() ? nullptr : entered_.back().WalkedBy; }

  // The entities the walk is inside, each with the interpret that walked its
  // children itself when it drew it or an entity above it (nil for none):
  // what that interpret reached in its own walk it has drawn already, and is
  // not handed the same elements again.
  struct TEntered {
    TElement* Entity;
    TInterpret* WalkedBy;
  };
  std::vector<TEntered> entered_;
  // The element last processed and the interpret that drew it.
  TElement* drawn_ = nullptr;
  TInterpret* drawnBy_ = nullptr;

  TElementLink timer_;
  TElementLink script_;
  TElementLink interpret_;
  TElementLink tileDevice_;
  TElementLink layerInterpret_;
};

void RegisterUniversalInterpretClasses();
