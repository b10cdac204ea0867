// Callbacks from a music sequence as it converts events to or from its platform sequence, one per event class. The
// observer gets the event itself, possibly null, never a copy: edits made after the call show through.
//
// Threads: reports made while reading come synchronously on the reading thread; reports of writes come on the main
// queue.
#pragma once

#include <memory>

#include "shared/midievents/MIDIEvents.h"

class SequenceFoundDelegate {
 public:
  virtual ~SequenceFoundDelegate() = default;

  virtual void foundNoteEvent(const std::shared_ptr<MidiNoteEvent>& event) = 0;
  virtual void foundPolyPressureEvent(const std::shared_ptr<MidiPolyPressureEvent>& event) = 0;
  virtual void foundControllerEvent(const std::shared_ptr<MidiControllerEvent>& event) = 0;
  virtual void foundProgramChangeEvent(const std::shared_ptr<MidiProgramChangeEvent>& event) = 0;
  virtual void foundChannelPressureEvent(const std::shared_ptr<MidiChannelPressureEvent>& event) = 0;
  virtual void foundPitchBendEvent(const std::shared_ptr<MidiPitchBendEvent>& event) = 0;
  virtual void foundSysExEvent(const std::shared_ptr<SystemExclusiveEvent>& event) = 0;
  virtual void foundSystemTimeCodeEvent(const std::shared_ptr<SystemTimeCodeEvent>& event) = 0;
  virtual void foundSystemSongPositionPointerEvent(const std::shared_ptr<SystemSongPositionPointerEvent>& event) = 0;
  virtual void foundSystemSongSelectEvent(const std::shared_ptr<SystemSongSelectEvent>& event) = 0;
  virtual void foundSystemTuneRequestEvent(const std::shared_ptr<SystemTuneRequestEvent>& event) = 0;
  virtual void foundSystemClockEvent(const std::shared_ptr<SystemClockEvent>& event) = 0;
  virtual void foundSystemStartEvent(const std::shared_ptr<SystemStartEvent>& event) = 0;
  virtual void foundSystemContinueEvent(const std::shared_ptr<SystemContinueEvent>& event) = 0;
  virtual void foundSystemStopEvent(const std::shared_ptr<SystemStopEvent>& event) = 0;
  virtual void foundSystemActiveSensingEvent(const std::shared_ptr<SystemActiveSensingEvent>& event) = 0;
  virtual void foundSystemResetEvent(const std::shared_ptr<SystemResetEvent>& event) = 0;
  virtual void foundTempoEvent(const std::shared_ptr<TempoEvent>& event) = 0;
  virtual void foundParameterEvent(const std::shared_ptr<AParameterEvent>& event) = 0;
  virtual void foundAUPresetEvent(const std::shared_ptr<AAUPresetEvent>& event) = 0;
  virtual void foundMetaEvent(const std::shared_ptr<MetaEvent>& event) = 0;
  virtual void foundMetaSequenceNumberEvent(const std::shared_ptr<MetaSequenceNumberEvent>& event) = 0;
  virtual void foundMetaTextEvent(const std::shared_ptr<MetaTextEvent>& event) = 0;
  virtual void foundMetaCopyrightEvent(const std::shared_ptr<MetaCopyrightEvent>& event) = 0;
  virtual void foundMetaTrackNameEvent(const std::shared_ptr<MetaTrackNameEvent>& event) = 0;
  virtual void foundMetaInstrumentNameEvent(const std::shared_ptr<MetaInstrumentNameEvent>& event) = 0;
  virtual void foundMetaLyricsEvent(const std::shared_ptr<MetaLyricsEvent>& event) = 0;
  virtual void foundMetaMarkerEvent(const std::shared_ptr<MetaMarkerEvent>& event) = 0;
  virtual void foundMetaCuePointEvent(const std::shared_ptr<MetaCuePointEvent>& event) = 0;
  virtual void foundMetaProgramNameEvent(const std::shared_ptr<MetaProgramNameEvent>& event) = 0;
  virtual void foundMetaDeviceNameEvent(const std::shared_ptr<MetaDeviceNameEvent>& event) = 0;
  virtual void foundMetaChannelPrefixEvent(const std::shared_ptr<MetaChannelPrefixEvent>& event) = 0;
  virtual void foundMetaMidiPortEvent(const std::shared_ptr<MetaMidiPortEvent>& event) = 0;
  virtual void foundMetaEndOfTrackEvent(const std::shared_ptr<MetaEndOfTrackEvent>& event) = 0;
  virtual void foundMetaSetTempoEvent(const std::shared_ptr<MetaSetTempoEvent>& event) = 0;
  virtual void foundMetaSMTPOffsetEvent(const std::shared_ptr<MetaSMTPOffsetEvent>& event) = 0;
  virtual void foundMetaTimeSignatureEvent(const std::shared_ptr<MetaTimeSignatureEvent>& event) = 0;
  virtual void foundMetaKeySignatureEvent(const std::shared_ptr<MetaKeySignatureEvent>& event) = 0;
  virtual void foundMetaSequencerSpecificEvent(const std::shared_ptr<MetaSequencerSpecificEvent>& event) = 0;
  virtual void foundMetaUnknownEvent(const std::shared_ptr<MetaUnknownEvent>& event) = 0;
  virtual void foundUserEvent(const std::shared_ptr<UserEvent>& event) = 0;
  virtual void foundExtendedNoteEvent(const std::shared_ptr<AExtendedNoteOnEvent>& event) = 0;
  virtual void foundUnknownEvent(const std::shared_ptr<UnknownEvent>& event) = 0;
};
