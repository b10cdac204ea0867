#pragma once
// What the configuration screen tells its presenter. Main queue.

#include <cstdint>

class ConfigurationViewControllerDelegate {
public:
    virtual ~ConfigurationViewControllerDelegate() = default;
    // The chosen sound-set row, 0 to 5.
    virtual void onSoundsetSelected(int64_t index) = 0;
};
