#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

// A view that shows a picture, fitted into its bounds with its proportions kept and centred. Without a picture it
// draws nothing. Screens may also give it the name of the picture of their design, which it only keeps. It takes
// no touches of its own (userInteractionEnabled starts false).
//
// Thread contract: main thread only.
class ImageView : public View {
public:
    explicit ImageView(Rect frame = {}, std::string imageName = {});

    const std::string& imageName() const { return imageName_; }
    void setImageName(std::string name);

    const std::shared_ptr<const Image>& image() const { return image_; }
    void setImage(std::shared_ptr<const Image> image);

    // Opacity of the picture, 0...1.
    double alpha = 1;

    void draw(GraphicsContext& ctx, Rect dirty) override;

private:
    std::string imageName_;
    std::shared_ptr<const Image> image_;
};

}  // namespace ui
