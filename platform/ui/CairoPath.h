#pragma once

#include "platform/ui/Path.h"

typedef struct _cairo cairo_t;

namespace ui {

// Replays a path into cairo's current path (which it first clears). Internal to the drawing layer.
void appendToCairo(cairo_t* cr, const Path& path);

}  // namespace ui
