#pragma once

// Registers the spatial classes (and below them the framework's), then those
// of the block units, once.
void RegisterBlockClasses();
