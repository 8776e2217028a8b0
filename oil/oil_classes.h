#pragma once

// Registers the classes of the OIL library that scripts create by name, in
// one fixed order, after the framework's.  Later calls do nothing.
void RegisterOilClasses();
