// Every event class made and written by the sequence, saved as a MIDI file, loaded and read back into a tree.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "shared/musicsequence/MIDISequence16.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/support/TestFolder.h"

namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char byte[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(byte, sizeof byte, " %02X", b);
    text += byte;
  }
  return text;
}

// The class, channel, position and values of an event.
std::string describe(const std::shared_ptr<EventNode>& event) {
  std::ostringstream out;
  out << eventKindName(event->kind()) << " ch" << int{event->channel} << " @" << event->position;
  if (auto note = eventCast<MidiNoteEvent>(event)) {
    out << ' ' << int{note->number} << ' ' << int{note->velocity} << ' ' << int{note->releaseVelocity} << ' '
        << note->duration;
  } else if (auto poly = eventCast<MidiPolyPressureEvent>(event)) {
    out << ' ' << int{poly->number} << ' ' << int{poly->value};
  } else if (auto controller = eventCast<MidiControllerEvent>(event)) {
    out << ' ' << int{controller->number} << ' ' << int{controller->value};
  } else if (auto program = eventCast<MidiProgramChangeEvent>(event)) {
    out << ' ' << int{program->value};
  } else if (auto pressure = eventCast<MidiChannelPressureEvent>(event)) {
    out << ' ' << int{pressure->value};
  } else if (auto bend = eventCast<MidiPitchBendEvent>(event)) {
    out << ' ' << int{bend->bend.msb} << ' ' << int{bend->bend.lsb};
  } else if (auto tempo = eventCast<TempoEvent>(event)) {
    out << ' ' << tempo->value;
  } else if (auto meta = eventCast<MetaEvent>(event)) {
    out << " type " << int{meta->type} << " length " << meta->length << hex(meta->data);
  } else if (auto user = eventCast<UserEvent>(event)) {
    out << " length " << user->length << hex(user->data);
  }
  return out.str();
}

std::vector<std::string> describeTree(const SequenceNode& tree) {
  std::vector<std::string> lines;
  for (const auto& event : tree.tempoTrack->events) lines.push_back(describe(event));
  for (const auto& track : tree.tracks) {
    for (const auto& event : track->events) lines.push_back(describe(event));
  }
  return lines;
}

struct ClassRow {
  const char* name;
  std::function<void(MIDISequence&)> write;
  // What reading the saved file gives; empty: the very values written.
  std::vector<std::string> readBack;
  bool sameAsWritten = true;
};

ClassRow same(const char* name, std::function<void(MIDISequence&)> write) { return {name, std::move(write), {}}; }
ClassRow changed(const char* name, std::function<void(MIDISequence&)> write, std::vector<std::string> readBack) {
  return {name, std::move(write), std::move(readBack), false};
}

const std::vector<ClassRow> kClassRows = {
    same("note", [](MIDISequence& s) { s.createNoteEvent(1.5, 3, 60, 100, 64, 0.5f); }),
    same("poly pressure", [](MIDISequence& s) { s.createPolyphonicPressureEvent(1.5, 1, 60, 30); }),
    same("controller", [](MIDISequence& s) { s.createControllerEvent(1.5, 5, 7, 100); }),
    same("program change", [](MIDISequence& s) { s.createProgramChangeEvent(1.5, 9, 24); }),
    same("channel pressure", [](MIDISequence& s) { s.createAfterTouchEvent(1.5, 15, 80); }),
    same("pitch bend", [](MIDISequence& s) { s.createPitchWheelEvent(1.5, 2, 0x11, 0x40); }),
    same("system exclusive",
         [](MIDISequence& s) { s.createSysExEvent(1.5, 6, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}); }),
    // System messages travel in a file as escaped bytes and come back as data of that form.
    changed("time code", [](MIDISequence& s) { s.createSystemTimeCodeEvent(1.5, 0x21); },
            {"SystemExclusiveEvent ch0 @1.5 length 2 F1 21"}),
    changed("song position", [](MIDISequence& s) { s.createSystemSongPositionPointerEvent(1.5, 1, 2); },
            {"SystemExclusiveEvent ch0 @1.5 length 3 F2 01 02"}),
    changed("song select", [](MIDISequence& s) { s.createSystemSongSelectEvent(1.5, 5); },
            {"SystemExclusiveEvent ch0 @1.5 length 2 F3 05"}),
    changed("tune request", [](MIDISequence& s) { s.createSystemTuneRequestEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 F6"}),
    changed("clock", [](MIDISequence& s) { s.createSystemTimingClockEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 F8"}),
    changed("start", [](MIDISequence& s) { s.createSystemStartEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 FA"}),
    changed("continue", [](MIDISequence& s) { s.createSystemContinueEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 FB"}),
    changed("stop", [](MIDISequence& s) { s.createSystemStopEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 FC"}),
    changed("active sensing", [](MIDISequence& s) { s.createSystemActiveSensingEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 FE"}),
    changed("system reset", [](MIDISequence& s) { s.createSystemResetEvent(1.5); },
            {"SystemExclusiveEvent ch0 @1.5 length 1 FF"}),
    changed("plain meta", [](MIDISequence& s) { s.createMetaEvent(1.5, 5, {0xFD, 0x01, 0x00, 0x48, 0x69}, 0x01); },
            {"MetaTextEvent ch0 @1.5 type 1 length 2 48 69"}),
    same("sequence number", [](MIDISequence& s) { s.createMetaSequenceNumberEvent(1.5, 0x0102); }),
    same("text", [](MIDISequence& s) { s.createMetaTextEvent(1.5, "Text"); }),
    same("copyright", [](MIDISequence& s) { s.createMetaCopyrightEvent(1.5, "(c)"); }),
    same("track name", [](MIDISequence& s) { s.createMetaTrackNameEvent(1.5, "Piano"); }),
    same("instrument name", [](MIDISequence& s) { s.createMetaInstrumentNameEvent(1.5, "Grand"); }),
    same("lyrics", [](MIDISequence& s) { s.createMetaLyricsEvent(1.5, "la"); }),
    same("marker", [](MIDISequence& s) { s.createMetaMarkerEvent(1.5, "A"); }),
    same("cue point", [](MIDISequence& s) { s.createMetaCuePointEvent(1.5, "cue"); }),
    same("program name", [](MIDISequence& s) { s.createMetaProgramNameEvent(1.5, "Prog"); }),
    same("device name", [](MIDISequence& s) { s.createMetaDeviceNameEvent(1.5, "Dev"); }),
    same("channel prefix", [](MIDISequence& s) { s.createMetaChannelPrefixEvent(1.5, 3); }),
    same("port", [](MIDISequence& s) { s.createMetaMidiPortEvent(1.5, 1); }),
    // Every track of a file ends with its own end-of-track; a stored one is not written in the middle.
    changed("end of track", [](MIDISequence& s) { s.createMetaEndOfTrackEvent(1.5); }, {}),
    // The file's tempo map comes back as the tempo track's tempo event.
    changed("set tempo", [](MIDISequence& s) { s.createMetaSetTempoEvent(1.5, 0x07, 0xA1, 0x20); },
            {"TempoEvent ch255 @1.5 120"}),
    same("SMPTE offset", [](MIDISequence& s) { s.createMetaSMTPOffsetEvent(1.5, 1, 2, 3, 4, 5); }),
    same("time signature", [](MIDISequence& s) { s.createMetaTimeSignatureEvent(1.5, 6, 3, 24, 8); }),
    same("key signature", [](MIDISequence& s) { s.createMetaKeySignatureEvent(1.5, 0xFD, 1); }),
    same("sequencer specific", [](MIDISequence& s) { s.createMetaSequencerSpecificEvent(1.5, 3, {1, 2, 3}); }),
    changed("tempo", [](MIDISequence& s) { s.setTempo(90.0); }, {"TempoEvent ch255 @0 90"}),
};

TEST(MIDISequenceClassRoundTrip, EachClassWrittenSavedAndReadBackKeepsItsValues) {
  testsupport::TestFolder folder;
  for (const ClassRow& row : kClassRows) {
    SCOPED_TRACE(row.name);
    const auto file = folder.path() / (std::string(row.name) + ".mid");
    const auto written = MIDISequence16::create();
    const auto reread = MIDISequence16::create();
    std::vector<std::string> expected;
    capturedLog([&] {
      row.write(*written);
      expected = row.sameAsWritten ? describeTree(*written->getSequenceNode()) : row.readBack;
      written->saveToFile(file);
      reread->loadFromFile(file);
      reread->musicSequenceToSequenceNode();
    });
    if (row.sameAsWritten) {
      ASSERT_EQ(expected.size(), 1u);
    }
    EXPECT_EQ(describeTree(*reread->getSequenceNode()), expected);
  }
}

}  // namespace
