#pragma once

// Registers the forestry units and property classes, in the order the
// program registers them at start.
void RegisterForestModelClasses();
