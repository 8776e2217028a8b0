#pragma once
// Registers the pickers, the selectors and the chosen-element interpret.
void RegisterPickerClasses();
