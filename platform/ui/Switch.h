#pragma once

#include "platform/ui/View.h"

#include <cstdint>
#include <functional>

namespace ui {

// An on/off switch. A tap flips it and reports the change; setOn changes it without a report. The tag is the
// caller's own number for telling switches apart (a row, an endpoint reference).
//
// Thread contract: main thread only.
class Switch : public View {
public:
    explicit Switch(Rect frame = {0, 0, 51, 31});

    bool isOn() const { return on_; }
    void setOn(bool on);
    std::int64_t tag = 0;

    // Runs after a tap flipped the switch; may be empty.
    std::function<void(Switch&)> valueChanged;
    // A tap as the user makes it.
    void toggle();

    void draw(GraphicsContext& ctx, Rect dirty) override;
    void touchesEnded(const std::vector<Touch>& touches) override;

private:
    bool on_ = false;
};

}  // namespace ui
