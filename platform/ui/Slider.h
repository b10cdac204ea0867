#pragma once

#include "platform/ui/View.h"

#include <functional>

namespace ui {

// A horizontal slider over [minimumValue, maximumValue]. Pressing or dragging moves the thumb to the finger and
// reports each change; setValue moves it without a report. Values are clamped to the range.
//
// Thread contract: main thread only.
class Slider : public View {
public:
    explicit Slider(Rect frame = {}, float minimumValue = 0, float maximumValue = 1);

    float value() const { return value_; }
    void setValue(float value);
    float minimumValue() const { return minimum_; }
    float maximumValue() const { return maximum_; }
    bool isEnabled = true;

    // Runs after a touch changed the value; may be empty.
    std::function<void(Slider&)> valueChanged;

    void draw(GraphicsContext& ctx, Rect dirty) override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;

private:
    void follow(Point p);

    float minimum_;
    float maximum_;
    float value_;
};

}  // namespace ui
