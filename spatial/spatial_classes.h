#pragma once

// Registers the framework's classes, then those of the spatial units, once.
void RegisterSpatialClasses();
