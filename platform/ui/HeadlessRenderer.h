#pragma once

#include "platform/ui/ImageSurface.h"
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
    // Draws root and its subviews over a background colour; the result stays available through image().
    void render(View& root, Color background = Color::black());
    ImageSurface& image() { return *image_; }
    bool writePng(const std::filesystem::path& file) const { return image_ && image_->writePng(file); }

    // Lines of the draw calls of every render after this call (see GraphicsContext::recordCallsInto).
    void startRecording() { recording_ = true; calls_.clear(); }
    const std::vector<std::string>& recordedCalls() const { return calls_; }

    // A press at point (root coordinates) goes to the view under it, which then receives the moves and the
    // release in its own coordinates, like a pointer grab. Without a press in progress, moves and releases go
    // nowhere; cancel() sends touchesCancelled to the grabbing view.
    void press(View& root, Point point);
    void move(Point point);
    void release(Point point);
    void cancel();

private:
    std::unique_ptr<ImageSurface> image_;
    bool recording_ = false;
    std::vector<std::string> calls_;
    View* root_ = nullptr;
    View* grabbed_ = nullptr;
};

}  // namespace ui
