#pragma once

// Registers the classes of the libraries below (up to the block library),
// then those of the cartography's units, once.
void RegisterCartographyClasses();
