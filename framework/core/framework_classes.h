#pragma once

// Registers every class of the framework core in the class registry, in one
// fixed order.  Later calls do nothing.
void RegisterFrameworkClasses();
