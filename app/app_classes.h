#pragma once
// Registers every class of the program, each library after the ones it
// builds on, once.
void RegisterAppClasses();
