#include "shared/events/RunningNotes.h"

#include <algorithm>

RunningNotes::Slot RunningNotes::unpack(std::uint64_t word) noexcept {
    return {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8 & 0xFF), word >> 16};
}

std::uint64_t RunningNotes::pack(const Slot& slot) noexcept {
    return std::uint64_t{slot.starts} | std::uint64_t{slot.velocity} << 8 | slot.serial << 16;
}

void RunningNotes::track(const std::uint8_t* bytes, std::size_t length, AUEventSampleTime time) noexcept {
    if (length < 3) {
        return;
    }
    const std::uint8_t kind = bytes[0] & 0xF0;
    const std::uint8_t key = bytes[1];
    const std::uint8_t velocity = bytes[2];
    if ((kind != 0x80 && kind != 0x90) || key >= kKeys) {
        return;
    }
    Entry& entry = slots_[(bytes[0] & 0x0F) * kKeys + key];
    const bool noteOn = kind == 0x90 && velocity > 0;
    const std::uint64_t serial = noteOn ? nextSerial_.fetch_add(1, std::memory_order_relaxed) : 0;
    std::uint64_t word = entry.value.load(std::memory_order_relaxed);
    Slot next{};
    do {
        Slot s = unpack(word);
        if (noteOn) {
            next = s.starts == 0 ? Slot{1, velocity, serial}
                                 : Slot{static_cast<std::uint8_t>(std::min(s.starts + 1, 0xFF)), velocity, s.serial};
        } else if (s.starts == 0) {
            return;
        } else {
            next = s.starts == 1 ? Slot{0, 0, 0} : Slot{static_cast<std::uint8_t>(s.starts - 1), s.velocity, s.serial};
        }
    } while (!entry.value.compare_exchange_weak(word, pack(next), std::memory_order_acq_rel,
                                                std::memory_order_relaxed));
    if (noteOn) {
        entry.time.store(time, std::memory_order_relaxed);
        started_.store(true, std::memory_order_release);
    }
}

void RunningNotes::clear() noexcept {
    started_.store(false, std::memory_order_release);
    for (Entry& entry : slots_) {
        entry.value.store(0, std::memory_order_release);
    }
}

std::size_t RunningNotes::count() const noexcept {
    std::size_t total = 0;
    forEach([&total](std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t starts) { total += starts; });
    return total;
}

std::vector<std::shared_ptr<AUMIDIEventEx>> RunningNotes::snapshot() const {
    struct Found {
        std::uint64_t serial;
        std::size_t slot;
        Slot state;
        AUEventSampleTime time;
    };
    std::vector<Found> found;
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        const Slot s = unpack(slots_[slot].value.load(std::memory_order_acquire));
        if (s.starts > 0) {
            found.push_back({s.serial, slot, s, slots_[slot].time.load(std::memory_order_relaxed)});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.serial < b.serial; });
    std::vector<std::shared_ptr<AUMIDIEventEx>> notes;
    for (const Found& f : found) {
        const std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(0x90 | f.slot / kKeys),
                                                 static_cast<std::uint8_t>(f.slot % kKeys), f.state.velocity};
        for (std::uint8_t i = 0; i < f.state.starts; ++i) {
            notes.push_back(std::make_shared<AUMIDIEventEx>(AURenderEventMIDI, bytes, 3, f.time));
        }
    }
    return notes;
}
