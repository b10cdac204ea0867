// Records live MIDI into a song of sixteen tracks, one per channel. A note-on is held as pending until its note-off
// and then written as one MidiNoteEvent with a duration; every other message (meta events and the internal tempo
// marker included) is written as it arrives. Start, pause and stop keep the song; reset() clears it and saveToFile()
// stores it.
//
// Positions: a sample time s becomes the beat (s - trunc(startPosition)) / samplesPerBeat() / tempoFactor, where
// samplesPerBeat() is half the sample rate (24000 at the default 48000 Hz: 120 beats per minute). The wall-clock
// operations (noteOn, noteOff) count beatsFactor beats per second from start().
//
// Made with the static create(). Threads: one caller at a time, never the render thread (it allocates and logs
// through safeprint); no locks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "shared/events/AUMIDIEventEx.h"
#include "shared/musicsequence/MIDISequence.h"

class MIDIRecorder : public MIDISequence {
 public:
  // One pending (duration 0.0) or closed note.
  class Note {
   public:
    std::uint8_t number = 0;
    std::uint8_t channel = 0;
    std::uint8_t velocity = 0;
    std::uint8_t release = 0;       // release velocity, 0 until the note ends
    double position = 0.0;          // beats
    double duration = 0.0;          // beats; 0.0 while pending
    std::int64_t samplePosition = 0;  // start sample time; 0 for wall-clock notes
    std::int64_t sampleDuration = 0;  // samples; 0 while pending
  };

  using MIDISequence::create;
  // A stopped recorder with an empty sixteen-track sequence and song tree.
  static std::shared_ptr<MIDIRecorder> create();

  const std::uint16_t trackCount = 16;
  // Not filled by the recorder.
  std::vector<MusicTrack> tracks;
  // Notes still waiting for their note-off, oldest first.
  std::vector<std::shared_ptr<Note>> notes;
  // Events are recorded only while true.
  bool isStarted = false;
  // Seconds since 1 January 1970, set by start().
  double startTime = 0.0;
  // Samples on the ...AtSamplePosition road, seconds on the wall-clock one (noteOn, noteOff).
  double startPosition = 0.0;
  // Beats per second of the wall-clock operations.
  double beatsFactor = 2.0;
  // Speed relative to 120 beats per minute, 0.1 to 10.0.
  double tempoFactor = 1.0;
  // Beats per minute, 12.0 to 1200.0.
  double tempo = 120.0;

  // Samples per second of the sample times handed in (48000 unless set).
  double getSampleRate() const { return sampleRate_; }
  // Takes a rate above 0; any other value is logged and ignored.
  void setSampleRate(double sampleRate);
  // Half the sample rate.
  double samplesPerBeat() const { return sampleRate_ * 0.5; }

  // startPosition := position.
  virtual void setBeatPosition(double position);
  // Starts recording at the current wall-clock time; pending notes are dropped, the song stays.
  virtual void start();
  // Stops recording and drops the pending notes.
  virtual void pause();
  // Stops recording, drops the pending notes, resets startTime and startPosition.
  virtual void stop();
  // Empties the song tree (tempo track events, every track's events and patterns); the music sequence, the pending
  // notes and isStarted stay.
  virtual void reset();
  // (now - startTime + startPosition) * beatsFactor, logged.
  virtual double currentPosition();
  // Wall-clock note-on: a pending note at currentPosition().
  virtual void noteOn(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity);
  // Wall-clock note-off: records every pending note of the key on the channel.
  virtual void noteOff(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity);
  // Records nothing.
  virtual void controller(std::uint8_t channel, std::uint8_t number, std::uint8_t value);
  // startPosition := sampletime (samples).
  virtual void setStartPosition(double sampletime);
  // tempoFactor := value, clamped to 0.1 to 10.0.
  virtual void setTempofactor(double value);
  // tempo := value clamped to 12 to 1200, tempoFactor := that tempo / 120; the sequence's tempo track takes value
  // as given (setTempo).
  virtual void setRecorderTempo(double value);

  // The sample-timed road: position is the event's sample time. Each logs a warning and records nothing while the
  // recorder is stopped.
  virtual void noteOnAtSamplePosition(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                                      std::int64_t position);
  // Closes the oldest pending note of the key on the channel: recorded when it lasted at least one sample, dropped
  // with a warning otherwise.
  virtual void noteOffAtSamplePosition(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                                       std::int64_t position);
  virtual void controllerAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                          std::int64_t position);
  // number is the pressure; value is not used.
  virtual void aftertouchAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                          std::int64_t position);
  // number is the first data byte (msb of the event's bend), value the second (lsb).
  virtual void pitchWheelAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                          std::int64_t position);
  virtual void polyPressureAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                            std::int64_t position);
  // number is the program; value is not used.
  virtual void programChangeAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                             std::int64_t position);
  // data is the whole message, F0 included; length at most 65535.
  virtual void sysexAtSamplePosition(std::uint32_t length, const std::vector<std::uint8_t>& data,
                                     std::int64_t position);
  // data is a whole meta row: three header bytes, then the payload.
  virtual void metaAtSamplePosition(std::int64_t length, const std::vector<std::uint8_t>& data, std::int64_t position,
                                    std::uint8_t type);
  // Dispatches on the status byte: F0 -> system-exclusive data; 0xFD (internal meta rows, tempo markers) -> a meta
  // event of its meta type; channel messages by kind, with velocity 0 treated as a note-off at release velocity 64.
  // Other system messages are logged ("240") and dropped; F7, data bytes and channel messages under two bytes are
  // skipped.
  virtual void addAUMIDIEvent(const AUMIDIEventEx& event);
  // addAUMIDIEvent for each event in order; null entries are skipped.
  virtual void addAUMIDIEvents(const std::vector<std::shared_ptr<AUMIDIEventEx>>& events);

 protected:
  MIDIRecorder() = default;
  void init() override;
  // The wall clock, seconds since 1 January 1970.
  virtual double wallClockSeconds() const;

 private:
  // The beat of a sample time.
  double beatOf(std::int64_t sampleTime) const;
  // False, with the stopped warning, while the recorder is stopped.
  bool acceptsEvents() const;

  double sampleRate_ = 48000.0;
};
