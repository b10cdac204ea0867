#pragma once
// A sequence observer that conforms to the whole protocol and records every report: the requirement's short name and
// the very event object.

#include <memory>
#include <string>
#include <vector>

#include "shared/songtree/SequenceFoundDelegate.h"

class RecordingSequenceDelegate : public SequenceFoundDelegate {
 public:
  struct Report {
    std::string name;  // the requirement, shortened: "note", "controller", "trackname", ...
    std::shared_ptr<EventNode> event;
  };
  std::vector<Report> reports;

  // The names of the reports, in order.
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const auto& report : reports) result.push_back(report.name);
    return result;
  }

  void foundNoteEvent(const std::shared_ptr<MidiNoteEvent>& e) override { record("note", e); }
  void foundPolyPressureEvent(const std::shared_ptr<MidiPolyPressureEvent>& e) override { record("poly", e); }
  void foundControllerEvent(const std::shared_ptr<MidiControllerEvent>& e) override { record("controller", e); }
  void foundProgramChangeEvent(const std::shared_ptr<MidiProgramChangeEvent>& e) override { record("program", e); }
  void foundChannelPressureEvent(const std::shared_ptr<MidiChannelPressureEvent>& e) override { record("cp", e); }
  void foundPitchBendEvent(const std::shared_ptr<MidiPitchBendEvent>& e) override { record("bend", e); }
  void foundSysExEvent(const std::shared_ptr<SystemExclusiveEvent>& e) override { record("sysex", e); }
  void foundSystemTimeCodeEvent(const std::shared_ptr<SystemTimeCodeEvent>& e) override { record("mtc", e); }
  void foundSystemSongPositionPointerEvent(const std::shared_ptr<SystemSongPositionPointerEvent>& e) override {
    record("spp", e);
  }
  void foundSystemSongSelectEvent(const std::shared_ptr<SystemSongSelectEvent>& e) override { record("song", e); }
  void foundSystemTuneRequestEvent(const std::shared_ptr<SystemTuneRequestEvent>& e) override { record("tune", e); }
  void foundSystemClockEvent(const std::shared_ptr<SystemClockEvent>& e) override { record("clock", e); }
  void foundSystemStartEvent(const std::shared_ptr<SystemStartEvent>& e) override { record("start", e); }
  void foundSystemContinueEvent(const std::shared_ptr<SystemContinueEvent>& e) override { record("continue", e); }
  void foundSystemStopEvent(const std::shared_ptr<SystemStopEvent>& e) override { record("stop", e); }
  void foundSystemActiveSensingEvent(const std::shared_ptr<SystemActiveSensingEvent>& e) override {
    record("sensing", e);
  }
  void foundSystemResetEvent(const std::shared_ptr<SystemResetEvent>& e) override { record("reset", e); }
  void foundTempoEvent(const std::shared_ptr<TempoEvent>& e) override { record("tempo", e); }
  void foundParameterEvent(const std::shared_ptr<AParameterEvent>& e) override { record("parameter", e); }
  void foundAUPresetEvent(const std::shared_ptr<AAUPresetEvent>& e) override { record("preset", e); }
  void foundMetaEvent(const std::shared_ptr<MetaEvent>& e) override { record("meta", e); }
  void foundMetaSequenceNumberEvent(const std::shared_ptr<MetaSequenceNumberEvent>& e) override { record("seq", e); }
  void foundMetaTextEvent(const std::shared_ptr<MetaTextEvent>& e) override { record("text", e); }
  void foundMetaCopyrightEvent(const std::shared_ptr<MetaCopyrightEvent>& e) override { record("copyright", e); }
  void foundMetaTrackNameEvent(const std::shared_ptr<MetaTrackNameEvent>& e) override { record("trackname", e); }
  void foundMetaInstrumentNameEvent(const std::shared_ptr<MetaInstrumentNameEvent>& e) override {
    record("instrument", e);
  }
  void foundMetaLyricsEvent(const std::shared_ptr<MetaLyricsEvent>& e) override { record("lyrics", e); }
  void foundMetaMarkerEvent(const std::shared_ptr<MetaMarkerEvent>& e) override { record("marker", e); }
  void foundMetaCuePointEvent(const std::shared_ptr<MetaCuePointEvent>& e) override { record("cue", e); }
  void foundMetaProgramNameEvent(const std::shared_ptr<MetaProgramNameEvent>& e) override { record("pname", e); }
  void foundMetaDeviceNameEvent(const std::shared_ptr<MetaDeviceNameEvent>& e) override { record("device", e); }
  void foundMetaChannelPrefixEvent(const std::shared_ptr<MetaChannelPrefixEvent>& e) override { record("prefix", e); }
  void foundMetaMidiPortEvent(const std::shared_ptr<MetaMidiPortEvent>& e) override { record("port", e); }
  void foundMetaEndOfTrackEvent(const std::shared_ptr<MetaEndOfTrackEvent>& e) override { record("eot", e); }
  void foundMetaSetTempoEvent(const std::shared_ptr<MetaSetTempoEvent>& e) override { record("settempo", e); }
  void foundMetaSMTPOffsetEvent(const std::shared_ptr<MetaSMTPOffsetEvent>& e) override { record("smpte", e); }
  void foundMetaTimeSignatureEvent(const std::shared_ptr<MetaTimeSignatureEvent>& e) override { record("time", e); }
  void foundMetaKeySignatureEvent(const std::shared_ptr<MetaKeySignatureEvent>& e) override { record("key", e); }
  void foundMetaSequencerSpecificEvent(const std::shared_ptr<MetaSequencerSpecificEvent>& e) override {
    record("specific", e);
  }
  void foundMetaUnknownEvent(const std::shared_ptr<MetaUnknownEvent>& e) override { record("unknownmeta", e); }
  void foundUserEvent(const std::shared_ptr<UserEvent>& e) override { record("user", e); }
  void foundExtendedNoteEvent(const std::shared_ptr<AExtendedNoteOnEvent>& e) override { record("extnote", e); }
  void foundUnknownEvent(const std::shared_ptr<UnknownEvent>& e) override { record("unknown", e); }

 private:
  void record(const char* name, const std::shared_ptr<EventNode>& event) { reports.push_back({name, event}); }
};
