#include "Orvo_Tunedeck_Extension/views/PluginFrame.h"

void PluginFrame::draw(ui::GraphicsContext&, ui::Rect) {
    baseClass_.contrast = static_cast<double>(contrast);
    baseClass_.mainColor = mainColor;
}
