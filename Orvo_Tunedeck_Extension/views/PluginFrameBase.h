#pragma once

#include "Orvo_Tunedeck_Extension/views/ResizingBehavior.h"
#include "platform/ui/Color.h"
#include "platform/ui/GraphicsContext.h"

// The look of the frame behind the panel, copied in on each drawing pass of its view. It draws nothing.
//
// Thread contract: main thread only.
class PluginFrameBase {
public:
    using ResizingBehavior = ::ResizingBehavior;

    virtual ~PluginFrameBase() = default;

    double contrast = 0.1;
    ui::Color mainColor = ui::Color::darkGray();

    virtual void draw(ui::GraphicsContext& ctx, ui::Rect frame, ResizingBehavior resizing);

    // The fitting rule; records no scale.
    static ui::Rect apply(ResizingBehavior behavior, ui::Rect rect, ui::Rect target);
};
