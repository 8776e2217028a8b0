#pragma once

// Registers the classes of the libraries below (up to the rendering base),
// then those of the block units, once.
void RegisterBlockClasses();
