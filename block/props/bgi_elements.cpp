#include "block/props/bgi_elements.h"

TRectBGIElement::TRectBGIElement() = default;
TRectBGIElement::~TRectBGIElement() = default;

TRectangle* TRectBGIElement::Rect() const {
  if (!rect_) rect_ = std::make_unique<TRectangle>();
  return rect_.get();
}

bool TRectBGIElement::Overlaps(double MinX, double MinY, double MaxX, double MaxY) const {
  const TRectangle* r = Rect();
  return r->MaxX() >= MinX && r->MinX() <= MaxX && r->MaxY() >= MinY && r->MinY() <= MaxY;
}

void TRectBGIElement::GetMarginRect(TRealRect& bounds) const { Rect()->GetMarginRect(bounds); }

TBGIText::TBGIText() = default;
TBGIText::~TBGIText() = default;

T2DCoordinate* TBGIText::StartPoint() const {
  if (!startPoint_) startPoint_ = std::make_unique<T2DCoordinate>();
  return startPoint_.get();
}

TClass TBGIBaseElement::StaticClass() {
  using E = TBGIBaseElement;
  static const TClassInfo info = DescribeClass<E>(
      "TBGIBaseElement", T2DCoordinate::StaticClass(), "E_LmrPrp",
      {FieldProp("Cislo", &E::Cislo), FieldProp("Druh", &E::Druh), FieldProp("Barva", &E::Barva),
       FieldProp("Znacka", &E::Znacka), FieldProp("Presnost", &E::Presnost)});
  return &info;
}

TClass TRectBGIElement::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TRectBGIElement>("TRectBGIElement", TBGIBaseElement::StaticClass(), "E_LmrPrp", {});
  return &info;
}

TClass TBGIText::StaticClass() {
  using E = TBGIText;
  static const TClassInfo info = DescribeClass<E>("TBGIText", TRectBGIElement::StaticClass(), "E_LmrPrp",
                                                  {FieldProp("CodePage", &E::CodePage), FieldProp("Veta", &E::Veta)});
  return &info;
}
