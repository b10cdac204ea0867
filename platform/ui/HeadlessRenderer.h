#pragma once

#include "platform/ui/ImageSurface.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/View.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ui {

// The back end for machines without a display and for tests: draws a view tree into an image the size of the
// root view's frame, optionally recording the draw calls, and delivers touches to the view under a point as a
// window would.
//
// Thread contract: main thread only.
class HeadlessRenderer {
public:
    // Draws root and its subviews over a background colour; the result stays available through image(), which
    // may be called only after the first render.
    void render(View& root, Color background = Color::black());
    ImageSurface& image() { return *image_; }
    bool writePng(const std::filesystem::path& file) const { return image_ && image_->writePng(file); }

    // Lines of the draw calls of every render after this call (see GraphicsContext::recordCallsInto).
    void startRecording() { recording_ = true; calls_.clear(); }
    const std::vector<std::string>& recordedCalls() const { return calls_; }

    // Pointer input in root coordinates, routed as a window would (see TouchRouter).
    TouchRouter& pointer() { return pointer_; }

private:
    std::unique_ptr<ImageSurface> image_;
    bool recording_ = false;
    std::vector<std::string> calls_;
    TouchRouter pointer_;
};

}  // namespace ui
