#pragma once

// Registers the interaction events, interface and form tools and the dialog
// tools (and everything below them), once.
void RegisterToolFormClasses();
