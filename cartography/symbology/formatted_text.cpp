#include "cartography/symbology/formatted_text.h"

#include "framework/core/class_registry.h"
#include "framework/values/typed_values.h"
#include "platform/files.h"

template <>
const TEnumType& typinfo::EnumTypeOf<TFontStyle>() {
  static const TEnumType type{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  return type;
}

// ---------------------------------------------------------------- styles

TClass TTextStyle::StaticClass() {
  using E = TTextStyle;
  static const TClassInfo info = DescribeClass<E>(
      "TTextStyle", TOwnerElement::StaticClass(), "FormatedText",
      {FieldProp("TextColor", &E::TextColor), FieldProp("TextHeight", &E::TextHeight),
       FieldProp("TextSize", &E::TextSize), FieldProp("FontName", &E::FontName), FieldProp("FontStyle", &E::FontStyle)});
  return &info;
}

TClass TParagraphStyle::StaticClass() {
  using E = TParagraphStyle;
  static const TClassInfo info =
      DescribeClass<E>("TParagraphStyle", TTextStyle::StaticClass(), "FormatedText",
                       {FieldProp("LineHeight", &E::LineHeight), FieldProp("LineSize", &E::LineSize)});
  return &info;
}

// ---------------------------------------------------------------- runs

TClass TPlainText::StaticClass() {
  using E = TPlainText;
  static const TClassInfo info = DescribeClass<E>(
      "TPlainText", TOwnerEntity::StaticClass(), "FormatedText",
      {FieldProp("Text", &E::Text), ReadWriteProp("TextStyle", &E::GetTextStyle, &E::SetTextStyle),
       NotStored(WriteProp("NewStyle", &E::SetNewStyle))});
  return &info;
}

TTextStyle* TFormatedText::GetTextStyle() const { return static_cast<TTextStyle*>(style_.Get()); }

void TFormatedText::SetTextStyle(TTextStyle* style) {
  TTextStyle* old = GetTextStyle();
  if (old == style) return;
  if (old) FreeElement(old);
  style_.Set(style);
  if (style && IndexOf(style) < 0) AddElement(style);
}

void TFormatedText::SetNewStyle(bool value) {
  if (value) SetTextStyle(new TTextStyle);
}

TClass TFormatedText::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TFormatedText>("TFormatedText", TPlainText::StaticClass(), "FormatedText", {});
  return &info;
}

TClass TVariableText::StaticClass() {
  static const TClassInfo info =
      DescribeClass<TVariableText>("TVariableText", TFormatedText::StaticClass(), "FormatedText", {});
  return &info;
}

// ---------------------------------------------------------------- paragraphs

void TParagraph::SetNewStyle(bool value) {
  if (value) SetTextStyle(new TParagraphStyle);
}

TParagraphStyle* TParagraph::GetParagraphStyle() const { return DynamicCast<TParagraphStyle>(GetTextStyle()); }
void TParagraph::SetParagraphStyle(TParagraphStyle* style) { SetTextStyle(style); }

void TParagraph::SetNextText(TFormatedText* text) {
  if (text) AddElement(text);
}

void TParagraph::SetNextTextName(const std::string& name) {
  auto* text = new TFormatedText;
  text->SetName(name);
  AddElement(text);
}

TClass TParagraph::StaticClass() {
  using E = TParagraph;
  static const TClassInfo info = DescribeClass<E>(
      "TParagraph", TFormatedText::StaticClass(), "FormatedText",
      {ReadWriteProp("ParagraphStyle", &E::GetParagraphStyle, &E::SetParagraphStyle),
       NotStored(WriteProp("NextText", &E::SetNextText)), NotStored(WriteProp("NextTextName", &E::SetNextTextName))});
  return &info;
}

void TFormatedTextBlock::SetNextParagraphName(const std::string& name) {
  auto* paragraph = new TParagraph;
  paragraph->SetName(name);
  SetNextParagraph(paragraph);
}

void TFormatedTextBlock::SetNextParagraph(TParagraph* paragraph) {
  if (!paragraph) return;
  AddElement(paragraph);
  actual_.Set(paragraph);
}

void TFormatedTextBlock::SetFindParagraphName(const std::string& name) {
  actual_.Set(DynamicCast<TParagraph>(FindElementByName(name)));
}

TClass TFormatedTextBlock::StaticClass() {
  using E = TFormatedTextBlock;
  static const TClassInfo info = DescribeClass<E>(
      "TFormatedTextBlock", TParagraph::StaticClass(), "FormatedText",
      {NotStored(ReadProp("ActualParagraph", &E::ActualParagraph)),
       NotStored(WriteProp("NextParagraphName", &E::SetNextParagraphName)),
       NotStored(WriteProp("NextParagraph", &E::SetNextParagraph)),
       NotStored(WriteProp("FindParagraphName", &E::SetFindParagraphName))});
  return &info;
}

// ---------------------------------------------------------------- plain text block

TPlainTextBlock::~TPlainTextBlock() { ReleaseField(lines_); }

TStringListElement* TPlainTextBlock::Lines() {
  if (!lines_) HoldInField(lines_, new TStringListElement);
  return static_cast<TStringListElement*>(lines_);
}

void TPlainTextBlock::SetLines(TStringListElement* lines) {
  TStringListElement& own = *Lines();
  if (lines == &own) return;
  own.Clear();
  if (!lines) return;
  for (TElement* child : lines->Children())
    if (const auto* item = DynamicCast<TTypeElement>(child))
      if (TTypeElement* copy = item->CreateCopy()) own.AddElement(copy);
}

void TPlainTextBlock::LoadFromFile(const std::string& fileName) {
  const std::vector<std::string> lines = platform::ReadTextLines(fileName);
  TStringListElement& own = *Lines();
  own.Clear();
  for (const std::string& line : lines) own.NextValue(line);
}

void TPlainTextBlock::FieldElementFreed(TElement* element) {
  if (element == lines_) lines_ = nullptr;
  TFileBasedEntity::FieldElementFreed(element);
}

TClass TPlainTextBlock::StaticClass() {
  using E = TPlainTextBlock;
  static const TClassInfo info = DescribeClass<E>(
      "TPlainTextBlock", TFileBasedEntity::StaticClass(), "FormatedText",
      // The file holds the lines; they are not stored beside its name.
      {NotStored(AccessorProp<E, TStringListElement*>(
          "Lines", [](const E& block) { return const_cast<E&>(block).Lines(); },
          [](E& block, TStringListElement* lines) { block.SetLines(lines); }))});
  return &info;
}

void RegisterFormattedTextClasses() {
  for (TClass cls : {TTextStyle::StaticClass(), TParagraphStyle::StaticClass(), TPlainText::StaticClass(),
                     TFormatedText::StaticClass(), TVariableText::StaticClass(), TParagraph::StaticClass(),
                     TFormatedTextBlock::StaticClass(), TPlainTextBlock::StaticClass()})
    RegisterKestuClass(cls);
}
