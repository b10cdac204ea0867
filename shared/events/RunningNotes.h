#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/AUMIDIEventEx.h"

// The notes that are sounding, per MIDI channel and key, in a fixed table of atomics: a note-on (0x9n with a
// velocity above 0) adds one to its channel and key, a note-off (0x8n, or 0x9n with velocity 0) takes one away,
// every other message changes nothing. A key started twice needs two note-offs.
//
// Threads: track(), clear(), count() and forEach() from any thread, the render thread included: they never
// allocate, lock or wait. Calls on several threads at once are safe; each slot changes whole. snapshot() allocates
// (not on the render thread).
class RunningNotes {
public:
    static constexpr std::size_t kChannels = 16;
    static constexpr std::size_t kKeys = 128;

    // Bookkeeping for the message bytes[0 .. length) at time.
    void track(const std::uint8_t* bytes, std::size_t length, AUEventSampleTime time) noexcept;
    void clear() noexcept;
    // False only when no note has started since the last clear(), so that a caller can skip forEach() and clear()
    // over the whole table.
    bool mayHaveNotes() const noexcept { return started_.load(std::memory_order_acquire); }
    // Number of running notes, each start of a key counted.
    std::size_t count() const noexcept;

    // Calls visit(channel, key, velocity, starts) for every running key, by channel and key; velocity is that of
    // its latest note-on, starts the number of its running starts.
    template <typename Visit>
    void forEach(Visit&& visit) const noexcept {
        for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
            const Slot s = unpack(slots_[slot].value.load(std::memory_order_acquire));
            if (s.starts > 0) {
                visit(static_cast<std::uint8_t>(slot / kKeys), static_cast<std::uint8_t>(slot % kKeys), s.velocity,
                      s.starts);
            }
        }
    }

    // The running notes as new note-on records (type 8, status 0x90 + channel, key, velocity of the latest note-on,
    // its sample time), in the order the keys started; a key started twice appears twice.
    std::vector<std::shared_ptr<AUMIDIEventEx>> snapshot() const;

private:
    // One slot word: starts in bits 0-7, velocity in bits 8-15, start serial in bits 16-63.
    struct Slot {
        std::uint8_t starts;
        std::uint8_t velocity;
        std::uint64_t serial;
    };
    struct Entry {
        std::atomic<std::uint64_t> value{0};
        std::atomic<AUEventSampleTime> time{0};
    };

    static Slot unpack(std::uint64_t word) noexcept;
    static std::uint64_t pack(const Slot& slot) noexcept;

    std::array<Entry, kChannels * kKeys> slots_{};
    std::atomic<std::uint64_t> nextSerial_{1};
    std::atomic<bool> started_{false};  // set after a note-on's slot is written, reset before clear() empties them
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
    static_assert(std::atomic<AUEventSampleTime>::is_always_lock_free);
};
