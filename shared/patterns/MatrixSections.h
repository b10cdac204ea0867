#pragma once
// An 8 x 16 grid of looping one-channel file players (MatrixTracks). Each render cycle collects their events into one
// render-event list as a unit's render call expects it, grouped by row, channel and then player order: not by time,
// so a consumer wanting time order must stable-sort it.
//
// The players are gathered through their plain scheduling (AUMIDISequencer::processInternal): each song event of
// the cycle's window that passes the player's channel filter, stamped at its pass's start time plus its own sample
// time, with its first three bytes; no tempo or rate scaling, status filter, queued messages or note releases. The
// players are started once, with start(); every cycle then asks each of them for the events of that cycle, so each
// player moves on through its song and loops.
//
// Threads: construction, start() and stop() on the main queue (the players' own contract). process() and
// deallocateRealtimeEventListHead() on the render thread: they neither allocate, lock nor wait. The list lives in
// room reserved at construction for every record all players can give in one cycle.

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/patterns/MatrixTracks.h"

class MatrixSections {
 public:
  static constexpr int MAXEVENTS = 4096;
  static constexpr int sectionCount = 8;
  static constexpr int trackCount = 16;
  // The list's room in entries: what every player gives at most in one cycle, well above MAXEVENTS.
  static constexpr std::size_t kRoom =
      std::size_t{sectionCount} * trackCount * AUMIDISequencer::kInternalCapacity;

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

  std::array<std::shared_ptr<MatrixTracks>, sectionCount> sections;
  // The entries of the current cycle, in list order.
  std::vector<AURenderEvent> allEvents;
};
