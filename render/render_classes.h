#pragma once

// Registers the devices, the device tool, the interprets and the picture
// file elements (and everything below them), once.
void RegisterRenderClasses();
