#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Which MIDI channels (0 to 15) pass, kept in insertion order; reset() opens all of them. The event-list tools
// derive from it.
//
// Threads: the changing operations and channels() from one control thread at a time (the main queue);
// filters() from any thread, the render thread included (it reads one atomic mask, never locks or allocates).
class ChannelFilter {
public:
    static constexpr std::uint8_t kChannelCount = 16;

    ChannelFilter() noexcept;
    virtual ~ChannelFilter() = default;
    ChannelFilter(const ChannelFilter&) = delete;
    ChannelFilter& operator=(const ChannelFilter&) = delete;

    // The passing channels in the order they were added.
    std::vector<std::uint8_t> channels() const;

    // All sixteen channels pass; subclasses reset their own state as well.
    virtual void reset();
    // True when channel does not pass (also for a channel above 15).
    bool filters(std::uint8_t channel) const noexcept;
    // Only channel passes. Channels above 15 are ignored, here and below.
    void solo(std::uint8_t channel);
    // Removes channel from the passing channels.
    void mute(std::uint8_t channel);
    // Appends channel when it does not pass yet.
    void unmute(std::uint8_t channel);
    // All sixteen channels pass, in order 0 to 15; touches nothing else, also in subclasses.
    void unmuteAll();
    // No channel passes.
    void muteAll();

private:
    void publish() noexcept;

    std::array<std::uint8_t, kChannelCount> order_{};
    std::size_t count_ = 0;
    std::atomic<std::uint16_t> passMask_{0};
    static_assert(std::atomic<std::uint16_t>::is_always_lock_free);
};
