#pragma once
// An 8 x 16 grid of looping one-channel file players (MatrixTracks). Each render cycle collects their events into one
// render-event list as a unit's render call expects it, grouped by row, channel and then player order: not by time,
// so a consumer wanting time order must stable-sort it.
//
// The players are started once, with start(); every cycle then asks each of them for the events of that cycle, so
// each player moves on through its song and loops.
//
// Threads: construction, start() and stop() on the main queue (the players' own contract). process() and
// deallocateRealtimeEventListHead() on the render thread: they neither allocate, lock nor wait. The list lives in
// room reserved at construction: MAXEVENTS entries for the songs' events, and beside them room for the messages every
// player sends when it starts or stops (releases and resets on all sixteen channels). A cycle's events beyond that
// room are dropped and counted.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/patterns/MatrixTracks.h"

class MatrixSections {
 public:
  static constexpr int MAXEVENTS = 4096;
  static constexpr int sectionCount = 8;
  static constexpr int trackCount = 16;
  // The room of one list entry: a render event with the bytes of its message after the record's first three.
  static constexpr std::size_t kEntryBytes = 296;
  // The list's room in entries.
  static constexpr std::size_t kRoom = MAXEVENTS + std::size_t{sectionCount} * trackCount * 96;

  // One list entry.
  union Entry {
    AURenderEvent event;
    std::uint8_t bytes[kEntryBytes];
  };

  MatrixSections();

  // Starts every player at sample time `time`.
  void start(AUEventSampleTime time);
  // Stops every player.
  void stop();

  // Render thread: gathers the cycle's events of all players and returns the head of the list, or null when there
  // are none. The list stays valid until the next process() or deallocateRealtimeEventListHead().
  const AURenderEvent* process(AUEventSampleTime time, AUAudioFrameCount frameCount) noexcept;
  // Render thread: hands back the list process() returned; null does nothing.
  void deallocateRealtimeEventListHead(const AURenderEvent* head) noexcept;

  // Events dropped for want of room since construction.
  std::uint64_t droppedEvents() const noexcept { return droppedEvents_; }

  std::array<std::shared_ptr<MatrixTracks>, sectionCount> sections;
  // The entries of the current cycle, in list order.
  std::vector<Entry> allEvents;

 private:
  void append(const AUMIDIEvent& event) noexcept;

  std::uint64_t droppedEvents_ = 0;
};
