#pragma once

// Registers every class of the program and then those of the forestry
// tools, once.
void RegisterForestryClasses();
