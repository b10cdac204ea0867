#pragma once

#include "platform/ui/Geometry.h"

#include <optional>

// How a hand-drawn view fits its fixed design canvas into its bounds. Each drawing object names this type for its
// own resizing enumeration; the raw values are those the view designs store.
enum class ResizingBehavior { aspectFit = 0, aspectFill = 1, stretch = 2, center = 3 };

// The behaviour of a raw value, or none for a value outside 0 to 3.
std::optional<ResizingBehavior> resizingBehaviorFromRaw(int raw);

struct FittedCanvas {
    ui::Rect rect;                   // where the canvas lands in the target
    std::optional<ui::Size> scale;   // the factors from canvas to target; none when nothing is to be recorded
};

// The fitting rule. When target equals canvas, or is the zero rectangle, the canvas comes back unchanged and no
// scale is given. Otherwise sx = |target.width / canvas.width| and sy likewise, made (min, min) for aspectFit,
// (max, max) for aspectFill, (1, 1) for center and left as they are for stretch; the canvas, standardised and
// scaled by them, is centred in target.
// Pure function; any thread.
FittedCanvas fitCanvas(ui::Rect canvas, ui::Rect target, ResizingBehavior behavior);
