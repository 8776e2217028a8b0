#pragma once
// The sample symbol library's fixture with the cartography's classes
// registered: symbols, symbology and layouts drawn from the samples.
#include "cartography/cartography_classes.h"
#include "tests/render/symbol_fixture.h"

class SymbolTest : public SymbolLibraryTest {
 protected:
  void RegisterClasses() override { RegisterCartographyClasses(); }
};
