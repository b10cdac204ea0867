#pragma once

#include "platform/ui/Path.h"

#include <vector>

// The shapes of the panel's symbols, each around its own centre (0, 0), in canvas units.
// Pure functions; any thread.

// A disc of the given radius with a notch at the top and a pointer line from the top to the centre.
ui::Path knobPath(double radius);
// The play triangle before its quarter turn: tip at the top.
ui::Path playTrianglePath();
// Folder outline: a body from (-20, -14.6) to (20, 14) with a tab on the upper left rising to y -20.
ui::Path folderOutlinePath();
// The word MIDI in four block letters within x -17.2 to 10.9 and y -7.7 to 1.5, for a non-zero fill.
std::vector<ui::Path> midiGlyphPaths();
