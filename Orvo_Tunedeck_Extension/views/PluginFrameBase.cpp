#include "Orvo_Tunedeck_Extension/views/PluginFrameBase.h"

void PluginFrameBase::draw(ui::GraphicsContext&, ui::Rect, ResizingBehavior) {}

ui::Rect PluginFrameBase::apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target) {
    return fitCanvas(rect, target, behavior).rect;
}
