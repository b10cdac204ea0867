#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"

void TunedeckViewBase::drawSymbolHotspots(ui::Rect frame, ResizingBehavior resizing) {
    apply(resizing, canvas, frame, *this);
    hotspotTransposePath = ui::Path::rect({56, 78, 60, 60});
    hotspotVolumePath = ui::Path::rect({65, 145, 43, 116});
    for (int i = 0; i < channelCount; ++i) {
        const double x = 148 + 24.0 * i;
        hotspotBarsPath[i] = ui::Path::rect({x, 50, 24, 106});
        hotspotMutePath[i] = ui::Path::rect({x, 156, 24, 38});
        hotspotSliderPath[i] = ui::Path::rect({x, 194, 24, 51});
        hotspotKnobPath[i] = ui::Path::rect({x, 245, 24, 38});
    }
    hotspotFilePath = ui::Path::rect({53, 403, 44, 44});
    hotspotProgressPath = ui::Path::rect({126, 412, 354, 27});
    hotspotPlayPath = ui::Path::rect({498, 403, 44, 44});
    hotspotSyncPath = ui::Path::rect({82, 325, 130, 31});
    hotspotPanicPath = ui::Path::rect({216, 325, 130, 31});
    hotspotCaption2Path = ui::Path::rect({364, 325, 211, 31});
    hotspotCaption1Path = ui::Path::rect({26, 325, 45, 31});
    hotspotProgramPath = ui::Path::rect({138, 49, 404, 31});
}
