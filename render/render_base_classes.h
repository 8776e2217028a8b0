#pragma once

// Registers the devices, the device tool and the interprets (and everything
// below them), once.
void RegisterRenderBaseClasses();
