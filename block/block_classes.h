#pragma once

// Registers the framework's and the spatial model's classes, then those of
// the block units, once.
void RegisterBlockClasses();
