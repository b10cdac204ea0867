#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/SerialQueue.h"
#include "shared/events/AUMIDIEventEx.h"
#include "shared/events/RunningNotes.h"

// Collects the MIDI events the instrument played, for the views to drain, and keeps the notes that are sounding.
// AUMIDISequencer (the file player) and AUMIDIRecorder derive from it and override reset().
//
// Made in two phases: create() constructs, then runs reset() through the fully built object, so a subclass's reset()
// runs at creation. Subclasses do the same with finishCreate().
//
// Threads: the event list is guarded by the monitor's serial queue, entered synchronously: every operation on it may
// be called from any thread except the render thread (it waits for the queue and allocates). trackEvents(),
// getRunningNotesCount(), clearRunningNotes() and the running-note table are lock-free and allocation-free, also for
// the render thread (the file player tracks its notes there); getRunningNotes() allocates.
class AUMIDIMonitor {
public:
    // Events the list holds before an automatic clear; room for them is reserved at creation.
    static constexpr std::size_t MAXEVENTS = 512;

    // autoClear: empty the monitor when its list grows past MAXEVENTS events.
    static std::shared_ptr<AUMIDIMonitor> create(bool autoClear = true);

    virtual ~AUMIDIMonitor() = default;
    AUMIDIMonitor(const AUMIDIMonitor&) = delete;
    AUMIDIMonitor& operator=(const AUMIDIMonitor&) = delete;

    bool autoClear() const noexcept { return autoClear_.load(std::memory_order_relaxed); }
    void setAutoClear(bool value) noexcept { autoClear_.store(value, std::memory_order_relaxed); }

    // Empties the event list and the running notes (subclasses reset their own state as well).
    virtual void reset();
    // Appends a copy of event (its type, data bytes, header length and sample time; id, beats, duration, meta and
    // cable take their start values) and tracks its running notes. With autoClear, an add that brings the list past
    // MAXEVENTS empties the list and the running notes.
    virtual void addMonitoring(const AUMIDIEventEx& event);
    virtual std::size_t getSize() const;
    // The monitored events, oldest first.
    virtual std::vector<std::shared_ptr<AUMIDIEventEx>> getEvents() const;
    // Removes and returns the oldest event; null when there is none.
    virtual std::shared_ptr<AUMIDIEventEx> popMonitoring();
    // Empties the event list and the running notes.
    virtual void clearMonitoring();
    // Sorts the event list by sample time, stably.
    virtual void sort();

    // Running-note bookkeeping for event: a note-on (0x9n, velocity above 0) adds its channel and key, a note-off
    // (0x8n, or 0x9n with velocity 0) removes the note of the same channel and key, anything else changes nothing.
    void trackEvents(const AUMIDIEventEx& event) noexcept;
    // The running notes as note-on records, in the order they started.
    std::vector<std::shared_ptr<AUMIDIEventEx>> getRunningNotes() const;
    std::size_t getRunningNotesCount() const noexcept { return runningNotes_.count(); }
    // Empties the running notes only.
    void clearRunningNotes() noexcept { runningNotes_.clear(); }
    const RunningNotes& runningNotes() const noexcept { return runningNotes_; }

    // Note-off, note-on or polyphonic key pressure (status 0x80 to 0xAF).
    static bool isNote(const AUMIDIEventEx& event) noexcept;
    static bool isNote(const AUMIDIEvent& event) noexcept;
    // A control change (status 0xB0 to 0xBF), and in the second form one of controller.
    static bool isController(const AUMIDIEventEx& event) noexcept;
    static bool isController(const AUMIDIEvent& event) noexcept;
    static bool isController(const AUMIDIEventEx& event, std::uint8_t controller) noexcept;
    static bool isController(const AUMIDIEvent& event, std::uint8_t controller) noexcept;

protected:
    explicit AUMIDIMonitor(bool autoClear);

    // Second phase of creation: runs the (overridden) reset() of the new object and returns it.
    template <typename Monitor>
    static std::shared_ptr<Monitor> finishCreate(std::shared_ptr<Monitor> monitor) {
        monitor->reset();
        return monitor;
    }

    dispatch::SerialQueue& queue() noexcept { return queue_; }
    // The monitor's clear: empties the event list (keeping its room) and the running notes. Call inside queue().
    void clearLocked() noexcept;

private:
    mutable dispatch::SerialQueue queue_;
    std::vector<std::shared_ptr<AUMIDIEventEx>> inputList_;
    std::atomic<bool> autoClear_;
    RunningNotes runningNotes_;
};
