#pragma once
// General interprets that write texts with the device's font: single texts
// whose content, place, height, font and colour come from the element's
// properties, and whole formatted text blocks.
#include <string>

#include "cartography/symbology/general_interprets.h"

class TFormatedTextBlock;
class TTextStyle;

class TGeneralTextInterpret : public TGeneralXYInterpret {
  KESTX_CLASS(TGeneralTextInterpret)
 public:
  std::string PropText;
  std::string PropFont;
  std::string ValFont;
  // Heights are map lengths at the map's scale rather than at its virtual one.
  bool AbsSize = false;

  void Process(TElement* element) override;
};

class TGeneralFormatedTextBlockInterpret : public TGeneralXYInterpret {
  KESTX_CLASS(TGeneralFormatedTextBlockInterpret)
 public:
  bool AbsSize = false;

  TFormatedTextBlock* TextBlock() const;
  // Held as a child: the previous one is freed.
  void SetTextBlock(TFormatedTextBlock* block);

  void Process(TElement* element) override;

 private:
  void DrawOnPaper(TElement* element, const TTextStyle& style, double x, double y);
  void DrawInPixels(TElement* element, int x, int y, int lineSize);

  TElementLink textBlock_;
};

void RegisterTextInterpretClasses();
