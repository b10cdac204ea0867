// One event of a phrase: a note start or end, a controller, a program change, a pitch bend or a channel pressure.
// A plain data holder with read-write fields, shared by the phrase that owns it and the lists that refer to it; one
// thread at a time.
#pragma once

#include <cstdint>

class PhraseEvent {
 public:
  // The kinds of event; 0 and kinds above 6 are passed over by every consumer.
  static constexpr int noteStart = 1;
  static constexpr int noteEnd = 2;
  static constexpr int controller = 3;
  static constexpr int programChange = 4;
  static constexpr int pitchBend = 5;
  static constexpr int channelPressure = 6;

  // The event's number within its phrase; a note's start and end share one.
  int id = -1;
  int type = 0;
  // MIDI channel 0 to 15.
  std::uint8_t channel = 0;
  // Data byte 1 (key for notes, controller for control changes).
  std::uint8_t number = 0;
  // Beats from the start of the phrase.
  double position = 0.0;
  // Beats; notes only.
  double duration = 0.0;
  // Data byte 2 (velocity for notes, value for control changes).
  std::uint8_t value = 100;
  // A note's release velocity.
  std::uint8_t value2 = 0;
};
