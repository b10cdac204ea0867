#include "tools/midigen/Composition.h"

#include "platform/musicsequence/MusicTrack.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace midigen {

namespace {

constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kBankSelect = 0;
constexpr std::uint8_t kBankSelectLsb = 32;
constexpr std::uint8_t kVolume = 7;
constexpr std::uint8_t kPan = 10;
constexpr std::uint8_t kTrackName = 0x03;
constexpr std::uint8_t kTimeSignature = 0x58;

} // namespace

void Part::note(double beat, std::uint8_t key, double beats, std::uint8_t velocity)
{
    MIDINoteMessage message{channel_, key, velocity, 0, static_cast<float>(beats)};
    composition_.check(MusicTrackNewMIDINoteEvent(track_, beat, &message));
}

void Part::chord(double beat, const Chord& chord, double beats, std::uint8_t velocity)
{
    for (std::uint8_t key : {chord.root, chord.third(), chord.fifth()}) {
        note(beat, key, beats, velocity);
    }
}

void Part::controller(double beat, std::uint8_t number, std::uint8_t value)
{
    MIDIChannelMessage message{static_cast<std::uint8_t>(kControlChange | channel_), number, value, 0};
    composition_.check(MusicTrackNewMIDIChannelEvent(track_, beat, &message));
}

void Part::program(double beat, std::uint8_t program)
{
    MIDIChannelMessage message{static_cast<std::uint8_t>(kProgramChange | channel_), program, 0, 0};
    composition_.check(MusicTrackNewMIDIChannelEvent(track_, beat, &message));
}

Composition::Composition(double bpm, std::uint8_t beatsPerBar)
{
    check(NewMusicSequence(&sequence_));
    MusicTrack tempoTrack;
    check(MusicSequenceGetTempoTrack(sequence_, &tempoTrack));
    // Time signature beatsPerBar/4, 24 clocks per metronome click, 8 thirty-seconds per quarter note.
    const std::uint8_t signature[] = {beatsPerBar, 2, 24, 8};
    meta(tempoTrack, 0.0, kTimeSignature, signature);
    tempo(0.0, bpm);
}

Part Composition::part(const PartSetup& setup)
{
    MusicTrack track;
    check(MusicSequenceNewTrack(sequence_, &track));
    meta(track, 0.0, kTrackName,
         std::span(reinterpret_cast<const std::uint8_t*>(setup.name.data()), setup.name.size()));
    Part part(*this, track, setup.channel);
    part.controller(0.0, kBankSelect, 0);
    part.controller(0.0, kBankSelectLsb, 0);
    part.program(0.0, setup.program);
    part.controller(0.0, kVolume, setup.volume);
    part.controller(0.0, kPan, setup.pan);
    return part;
}

void Composition::tempo(double beat, double bpm)
{
    MusicTrack tempoTrack;
    check(MusicSequenceGetTempoTrack(sequence_, &tempoTrack));
    check(MusicTrackNewExtendedTempoEvent(tempoTrack, beat, bpm));
}

void Composition::check(OSStatus status)
{
    if (status_ == noErr) {
        status_ = status;
    }
}

void Composition::meta(const MusicTrack& track, double beat, std::uint8_t type, std::span<const std::uint8_t> data)
{
    // The record ends in its data bytes; keep it in storage aligned for the record.
    std::vector<std::uint32_t> storage((offsetof(MIDIMetaEvent, data) + data.size()) / 4 + 1, 0);
    auto* event = reinterpret_cast<MIDIMetaEvent*>(storage.data());
    event->metaEventType = type;
    event->dataLength = static_cast<std::uint32_t>(data.size());
    std::memcpy(reinterpret_cast<std::uint8_t*>(storage.data()) + offsetof(MIDIMetaEvent, data), data.data(),
                data.size());
    check(MusicTrackNewMetaEvent(track, beat, event));
}

} // namespace midigen
