#pragma once
// The interprets of desktops and what lies on them: the sheet itself, framed
// rectangles, plain texts and text blocks; views, pictures and rasters are
// drawn by their own interprets, which the desktop interpret makes.
#include "render/interprets/interpret.h"

class TDrawRectangle;

class TDesktopInterpret : public TInterpret {
  KESTX_CLASS(TDesktopInterpret)
 public:
  // Selection, rectangles, views, texts, text blocks, rasters (while they
  // are enabled and their servers can be made) and picture files.
  void CreateSubInterprets() override;
  bool QGoInside(TElement* element) override;
  bool QProcessBefore(TElement* element) override;
  bool QProcessAfter(TElement*) override { return false; }
  bool IsItsClass(TElement* element) override;
  // A desktop is drawn as its rectangle; anything else goes to the
  // sub-interprets.
  void Process(TElement* element) override;
  // Lets the event queue run once first.
  void DoIt() override;
};

class TDrawRectInterpret : public TRectInterpret {
  KESTX_CLASS(TDrawRectInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  bool IsItsClass(TElement* element) override;
  void Process(TElement* element) override;
};

class TTextInterpret : public TInterpret {
  KESTX_CLASS(TTextInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  bool IsItsClass(TElement* element) override;
  // A text whose height comes to less than 2 pixels is not drawn.
  void Process(TElement* element) override;
};

class TTextBlockInterpret : public TInterpret {
  KESTX_CLASS(TTextBlockInterpret)
 public:
  bool QGoInside(TElement*) override { return false; }
  bool QProcessBefore(TElement* element) override { return IsItsClass(element); }
  bool IsItsClass(TElement* element) override;
  // Line under line from the top left; lines that would start below the
  // block are left out.
  void Process(TElement* element) override;
};

// The rectangle with the element's pen and brush; the pen width is in
// sheet units.
void DrawFramedRectangle(TDevice& device, const TDrawRectangle& rectangle);

void RegisterDesktopInterpretClasses();
