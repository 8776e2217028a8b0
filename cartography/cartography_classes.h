#pragma once

// Registers the classes of the libraries below (up to the block library),
// then those of the upper rendering units, once.
void RegisterCartographyClasses();
