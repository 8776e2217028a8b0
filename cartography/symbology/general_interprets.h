#pragma once
// General interprets: points, lines and areas drawn with a look a script configures per
// interpret.  Each value that drives the drawing is a constant, the text of a
// named published property of the element, or the result of a result tool
// (an interpret table) run on the element.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/elements.h"
#include "render/interprets/interpret.h"

class TAreaElement;
class TColorPalette;
class TPlosneZnacky;
class TLinioveZnacky;
class TLumaRSymbols;
class TResultTool;
class TSetUserSymbolColor;

// A number from a property text or a tool's result; a text that is no
// number gives 0.
double ValueOfText(const std::string& text);

class TGeneralInterpret : public TRectInterpret {
  KESTX_CLASS(TGeneralInterpret)
 public:
  std::string SymbolsFile;

  std::string GetFileName() const { return fileName_; }
  // Runs the file as a command-line script on this interpret, which sets its
  // properties.
  void SetFileName(const std::string& name);
  std::string GetInsideClassName() const;
  void SetInsideClassName(const std::string& name);
  std::string GetProcessClassName() const;
  void SetProcessClassName(const std::string& name);

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;

 private:
  std::string fileName_;
  TClass insideClass_ = nullptr;
  TClass processClass_ = nullptr;
};

class TGeneralColorInterpret : public TGeneralInterpret {
  KESTX_CLASS(TGeneralColorInterpret)
 public:
  std::int32_t Color = 0;
  bool UseColor = false;
  std::string PropColor;
  bool ColorByLumar = false;
  bool ColorByPalette = false;

  TResultTool* ToolColor() const;
  void SetToolColor(TResultTool* tool);
  TColorPalette* Palette() const;
  // Held as a child: the previous one is freed.
  void SetPalette(TColorPalette* palette);

  // The colour value the element resolves to, and the colour it stands for.
  std::int32_t ResolveColor(TElement* element);
  std::uint32_t ColourOfValue(std::int32_t value);

 protected:
  // The value by the common order: the chosen constant, else the tool's
  // result, else the property, else the fallback.
  static double Resolve(TElement* element, bool useConstant, double constant, TResultTool* tool,
                        const std::string& property, double fallback);

 private:
  TElementLink toolColor_;
  TElementLink palette_;
};

class TGeneralXYInterpret : public TGeneralColorInterpret {
  KESTX_CLASS(TGeneralXYInterpret)
 public:
  double ValX = 0;
  double ValY = 0;
  double ValHeight = 0;
  std::string PropX;
  std::string PropY;
  std::string PropHeight;

  TResultTool* ToolX() const;
  void SetToolX(TResultTool* tool);
  TResultTool* ToolY() const;
  void SetToolY(TResultTool* tool);
  TResultTool* ToolHeight() const;
  void SetToolHeight(TResultTool* tool);

  double ResolveX(TElement* element);
  double ResolveY(TElement* element);
  double ResolveHeight(TElement* element);

 private:
  TElementLink toolX_;
  TElementLink toolY_;
  TElementLink toolHeight_;
};

class TGeneralBrushInterpret : public TGeneralXYInterpret {
  KESTX_CLASS(TGeneralBrushInterpret)
 public:
  std::int32_t Brush = 0;
  bool UseBrush = false;
  std::string PropBrush;

  TResultTool* ToolBrush() const;
  void SetToolBrush(TResultTool* tool);

  // The symbol code the element resolves to.
  std::int32_t ResolveBrush(TElement* element);

 private:
  TElementLink toolBrush_;
};

// The base of the interprets that draw library symbols in a colour of the
// user's choice.
class TGeneralSymbolColorInterpret : public TGeneralBrushInterpret {
  KESTX_CLASS(TGeneralSymbolColorInterpret)
 public:
  TSetUserSymbolColor* SymbolColorTool() const;
  void SetSymbolColorTool(TSetUserSymbolColor* tool);

 protected:
  // Hands the symbol, the element and this interpret's colour settings to the
  // symbol colour tool, when one is set, and runs it.
  void ColourSymbol(TElement* symbol, TElement* element, bool fillBackground);

 private:
  TElementLink symbolColorTool_;
};

class TGeneralAreaInterpret : public TGeneralSymbolColorInterpret {
  KESTX_CLASS(TGeneralAreaInterpret)
 public:
  TGeneralAreaInterpret();
  ~TGeneralAreaInterpret() override;

  bool FillBackground = false;

  bool QGoInside(TElement* element) override;
  bool QGoInsideAfter(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;
  void Process(TElement* element) override;

 private:
  // Values, the hole mark and the symbol's element come from area; the
  // outline and holes drawn come from shape.
  void DrawArea(TAreaElement& area, TAreaElement& shape, bool converted);
  std::unique_ptr<TPlosneZnacky> areaSymbols_;
};

class TGeneralLineInterpret : public TGeneralSymbolColorInterpret {
  KESTX_CLASS(TGeneralLineInterpret)
 public:
  TGeneralLineInterpret();
  ~TGeneralLineInterpret() override;

  std::string PropSymbol;
  int ThickPenWidth() const { return thickPen_; }

  bool QGoInside(TElement* element) override;
  bool QGoInsideAfter(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;
  void Process(TElement* element) override;

 private:
  std::unique_ptr<TLinioveZnacky> lineSymbols_;
  std::unique_ptr<TLumaRSymbols> symbols_;
  int thinPen_ = 1;
  int thickPen_ = 1;
};

class TGeneralPointInterpret : public TGeneralXYInterpret {
  KESTX_CLASS(TGeneralPointInterpret)
 public:
  TGeneralPointInterpret();
  ~TGeneralPointInterpret() override;

  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool IsItsClass(TElement* element) override;
  void AttachDevice(TDevice* device) override;
  void DetachDevice() override;
  void Process(TElement* element) override;

 private:
  std::unique_ptr<TLumaRSymbols> symbols_;
};

void RegisterGeneralInterpretClasses();
