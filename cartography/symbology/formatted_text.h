#pragma once
// Text blocks a layout places on a map or a page (titles, legends, notes): a
// block of paragraphs, each a sequence of text runs, with text and paragraph
// styles.  Scripts build them through write-only properties.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/elements.h"
#include "framework/environment/file_elements.h"

enum class TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

namespace typinfo {
template <>
const TEnumType& EnumTypeOf<TFontStyle>();
}

// The look of formatted text; not the stroke-font style of the GIS texts.
class TTextStyle : public TOwnerElement {
  KESTX_CLASS(TTextStyle)
 public:
  std::int32_t TextColor = 0;
  // Letter height in paper units; 0 when TextSize is used.
  double TextHeight = 0;
  // Letter height in pixels.
  std::int32_t TextSize = 0;
  std::string FontName;
  TFontStyle FontStyle = TFontStyle::fsBold;
};

class TParagraphStyle : public TTextStyle {
  KESTX_CLASS(TParagraphStyle)
 public:
  // The line step in paper units, and in pixels.
  double LineHeight = 0;
  std::int32_t LineSize = 0;
};

// A run of text without a style of its own.
class TPlainText : public TOwnerEntity {
  KESTX_CLASS(TPlainText)
 public:
  std::string Text;

  virtual TTextStyle* GetTextStyle() const { return nullptr; }
  virtual void SetTextStyle(TTextStyle*) {}
  virtual void SetNewStyle(bool) {}
};

// A run that owns its style as a child.
class TFormatedText : public TPlainText {
  KESTX_CLASS(TFormatedText)
 public:
  TTextStyle* GetTextStyle() const override;
  // The previous style is freed; the new one becomes a child.
  void SetTextStyle(TTextStyle* style) override;
  // True puts a new style in place of the old one.
  void SetNewStyle(bool value) override;

 private:
  TElementLink style_;
};

// A run whose text is the drawn element's published property named like the
// run.
class TVariableText : public TFormatedText {
  KESTX_CLASS(TVariableText)
};

// Its children are its runs, in order.
class TParagraph : public TFormatedText {
  KESTX_CLASS(TParagraph)
 public:
  void SetNewStyle(bool value) override;
  virtual TParagraphStyle* GetParagraphStyle() const;
  virtual void SetParagraphStyle(TParagraphStyle* style);

  void SetNextText(TFormatedText* text);
  void SetNextTextName(const std::string& name);
};

// Its children are paragraphs; the Next/Find properties choose the one that
// scripts go on building.
class TFormatedTextBlock : public TParagraph {
  KESTX_CLASS(TFormatedTextBlock)
 public:
  TParagraph* ActualParagraph() const { return static_cast<TParagraph*>(actual_.Get()); }
  void SetNextParagraphName(const std::string& name);
  void SetNextParagraph(TParagraph* paragraph);
  void SetFindParagraphName(const std::string& name);

 private:
  TElementLink actual_;
};

class TStringListElement;

// Lines of a text file (Windows-1250 on disk).
class TPlainTextBlock : public TFileBasedEntity {
  KESTX_CLASS(TPlainTextBlock)
 public:
  ~TPlainTextBlock() override;

  // Made empty on first use; the block owns it.
  TStringListElement* Lines();
  // The lines become copies of the list's items; the list stays the caller's.
  void SetLines(TStringListElement* lines);
  void LoadFromFile(const std::string& fileName) override;

 protected:
  void FieldElementFreed(TElement* element) override;

 private:
  TElement* lines_ = nullptr;  // always a TStringListElement
};

void RegisterFormattedTextClasses();
