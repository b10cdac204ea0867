#pragma once

#include "platform/ui/View.h"

#include <string>

namespace ui {

// A view that stands for a picture of a screen design, known by its name. The pictures of the designs are not
// part of this system, so the view draws nothing; screens use it for its frame and its name. It takes no touches
// of its own (userInteractionEnabled starts false).
//
// Thread contract: main thread only.
class ImageView : public View {
public:
    explicit ImageView(Rect frame = {}, std::string imageName = {});

    const std::string& imageName() const { return imageName_; }
    void setImageName(std::string name);

private:
    std::string imageName_;
};

}  // namespace ui
