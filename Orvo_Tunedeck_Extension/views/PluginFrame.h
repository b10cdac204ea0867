#pragma once

#include "Orvo_Tunedeck_Extension/views/PluginFrameBase.h"
#include "platform/ui/View.h"

// The frame view behind the player panel: holds a contrast and a main colour and hands them to its state object on
// every drawing pass; it paints nothing itself.
//
// Thread contract: main thread only.
class PluginFrame : public ui::View {
public:
    explicit PluginFrame(ui::Rect frame = {}) : View(frame) {}

    float contrast = 0.1f;
    ui::Color mainColor = ui::Color::lightGray();

    const PluginFrameBase& baseClass() const { return baseClass_; }

    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override;

private:
    PluginFrameBase baseClass_;
};
