#pragma once
// The interprets that draw the objects of a GIS block with the GIS symbology:
// points, texts, lines and areas.  A layer (a string of objects) can override
// the symbol and the colour of all its objects through its properties
// "USESYMBOL", "SYMBOL", "USECOLOR" and "COLOR"; the overrides apply only
// while drawing and never change the objects' stored values.
#include <memory>
#include <string>

#include "framework/core/elements.h"
#include "render/interprets/interpret.h"

class TBGIFont;
class TBGIText;
class TLumaRSymbols;
class TLinioveZnacky;
class TPlosneZnacky;
class TSpaceEntity;
class TTextElement;

class TInterpretLumObject : public TRectInterpret {
  KESTX_CLASS(TInterpretLumObject)
 public:
  // The properties of the last layer met in the walk; nil when none.
  TElement* LayerProperties() const { return layerProperties_.Get(); }
  bool GetLayerFlag(const std::string& name) const;
  int GetLayerNumber(const std::string& name) const;

  // Forgets the layer of an earlier walk unless the element lies in it.
  void BeforeRun() override;

 protected:
  // Stores the layer's properties when the element is a layer of the class.
  bool MetLayer(TElement* element, TClass layerClass);
  // The pen of the object: the layer's "COLOR" when "USECOLOR" is set,
  // otherwise the colour of the colour code.
  std::uint32_t ObjectColour(std::int16_t colourCode) const;
  // The object's extent lies inside, or meets, the visible rectangle.
  bool Inside(const TSpaceEntity& entity) const;
  bool Meets(const TSpaceEntity& entity) const;
  // A layer whose extent was never computed (a block reader's) may hold
  // objects anywhere: it is entered and its objects are tested one by one.
  bool LayerMayMeet(const TSpaceEntity& layer) const;

 private:
  TElementLink layer_;
  TElementLink layerProperties_;
};

class TInterpretLumBodu : public TInterpretLumObject {
  KESTX_CLASS(TInterpretLumBodu)
 public:
  TInterpretLumBodu();
  ~TInterpretLumBodu() override;

  TLumaRSymbols* Symbols() const { return symbols_.get(); }

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;

 private:
  void DrawPoint(TSpaceEntity& point);
  std::unique_ptr<TLumaRSymbols> symbols_;
};

class TInterpretLumTextu : public TInterpretLumObject {
  KESTX_CLASS(TInterpretLumTextu)
 public:
  TInterpretLumTextu();
  ~TInterpretLumTextu() override;

  TBGIFont* Font() const { return font_.get(); }
  TBGIText* SharedText() const { return text_.get(); }

  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;
  void ReView(TKestuMessage* message, bool& handled) override;

 private:
  // Copies the object's text and its parameters into the shared text.
  bool TakeText(const TTextElement& element);

  std::unique_ptr<TBGIText> text_;
  std::unique_ptr<TBGIFont> font_;
  bool fontFailed_ = false;
};

class TInterpretLumLinii : public TInterpretLumObject {
  KESTX_CLASS(TInterpretLumLinii)
 public:
  TInterpretLumLinii();
  ~TInterpretLumLinii() override;

  TLinioveZnacky* LineSymbols() const { return lineSymbols_.get(); }
  int ThickPenWidth() const { return thickPen_; }

  bool QGoInside(TElement* element) override;
  bool QGoInsideAfter(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;

 private:
  std::unique_ptr<TLinioveZnacky> lineSymbols_;
  std::unique_ptr<TLumaRSymbols> symbols_;
  int thinPen_ = 1;
  int thickPen_ = 1;
};

class TInterpretLumPloch : public TInterpretLumObject {
  KESTX_CLASS(TInterpretLumPloch)
 public:
  TInterpretLumPloch();
  ~TInterpretLumPloch() override;

  TPlosneZnacky* AreaSymbols() const { return areaSymbols_.get(); }

  bool QGoInside(TElement* element) override;
  bool QGoInsideAfter(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  void Process(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;

 private:
  std::unique_ptr<TPlosneZnacky> areaSymbols_;
};

void RegisterSymbologyInterpretClasses();
