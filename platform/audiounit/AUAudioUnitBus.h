#pragma once
// The input or output buses of a unit. A bus carries one format (two channels at most) and an enabled switch; an
// output bus may ask the unit to provide render buffers when the host passes none.
//
// Threads: change formats and switches on the control thread while the unit's render resources are not allocated;
// isEnabled() may be read on the render thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audiounit/AudioFormat.h"

class AUAudioUnit;

enum class AUAudioUnitBusType { input = 1, output = 2 };

class AUAudioUnitBus {
public:
    static constexpr uint32_t kMaximumChannelCount = 2;

    explicit AUAudioUnitBus(const AudioFormat& format) : format_(format) {}

    const AudioFormat& format() const { return format_; }
    // Takes format unless the owning unit's render resources are allocated or the format is invalid or has more
    // channels than the bus carries (false).
    bool setFormat(const AudioFormat& format);

    bool isEnabled() const { return enabled_.load(std::memory_order_relaxed); }
    void setEnabled(bool enabled) { enabled_.store(enabled, std::memory_order_relaxed); }

    uint32_t maximumChannelCount() const { return kMaximumChannelCount; }
    bool shouldAllocateBuffer() const { return shouldAllocateBuffer_; }
    void setShouldAllocateBuffer(bool allocate) { shouldAllocateBuffer_ = allocate; }

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // The unit whose bus this is; set when the unit builds its bus arrays.
    AUAudioUnit* ownerAudioUnit() const { return owner_; }

private:
    friend class AUAudioUnitBusArray;

    AudioFormat format_;
    std::atomic<bool> enabled_{true};
    bool shouldAllocateBuffer_ = true;
    std::string name_;
    AUAudioUnit* owner_ = nullptr;  // not owning
};

class AUAudioUnitBusArray {
public:
    AUAudioUnitBusArray(AUAudioUnit* owner, AUAudioUnitBusType busType,
                        std::vector<std::shared_ptr<AUAudioUnitBus>> busses = {});

    AUAudioUnitBusType busType() const { return busType_; }
    uint32_t count() const { return static_cast<uint32_t>(busses_.size()); }
    // The bus at index, or nullptr.
    AUAudioUnitBus* operator[](uint32_t index) const {
        return index < busses_.size() ? busses_[index].get() : nullptr;
    }
    AUAudioUnit* ownerAudioUnit() const { return owner_; }

private:
    AUAudioUnit* owner_;
    AUAudioUnitBusType busType_;
    std::vector<std::shared_ptr<AUAudioUnitBus>> busses_;
};
