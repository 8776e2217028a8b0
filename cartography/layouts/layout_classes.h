#pragma once
// Registers the classes of views, desktops, tile templates, text blocks and
// grid marks, and of their interprets.
void RegisterLayoutClasses();
