#include "Orvo_Tunedeck/app/MidiFileSchedule.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Orvo_Tunedeck/app/UserFiles.h"
#include "platform/musicsequence/MidiFileReader.h"

namespace {

using musicsequence::StoredEvent;

constexpr double kDefaultBeatsPerMinute = 120.0;

// Beats to seconds through the file's tempo changes.
class TempoMap {
public:
    explicit TempoMap(const std::vector<StoredEvent>& tempoEvents) {
        for (const StoredEvent& event : tempoEvents) {
            if (event.type != kMusicEventType_ExtendedTempo) continue;
            ExtendedTempoEvent tempo{};
            std::memcpy(&tempo, event.record.data(), sizeof tempo);
            if (tempo.bpm > 0.0) changes_.push_back({event.time, tempo.bpm});
        }
        std::stable_sort(changes_.begin(), changes_.end(),
                         [](const Change& a, const Change& b) { return a.beat < b.beat; });
    }

    double seconds(double beat) const {
        double seconds = 0.0;
        double fromBeat = 0.0;
        double bpm = kDefaultBeatsPerMinute;
        for (const Change& change : changes_) {
            if (change.beat >= beat) break;
            seconds += (change.beat - fromBeat) * 60.0 / bpm;
            fromBeat = change.beat;
            bpm = change.bpm;
        }
        return seconds + (beat - fromBeat) * 60.0 / bpm;
    }

private:
    struct Change {
        double beat;
        double bpm;
    };
    std::vector<Change> changes_;
};

}  // namespace

bool loadMidiFileSchedule(const std::filesystem::path& file, double sampleRateHz, MidiFileSchedule& schedule,
                          std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(file, musicsequence::kMaxPayloadBytes, bytes, error)) return false;
    musicsequence::ParsedSong song;
    if (musicsequence::readStandardMidiFile(bytes, kMusicSequenceLoadSMF_PreserveTracks, song) != 0) {
        error = "'" + file.string() + "' is no standard MIDI file";
        return false;
    }
    const TempoMap tempo(song.tempoEvents);
    const auto frameAt = [&](double beat) {
        return static_cast<int64_t>(std::llround(tempo.seconds(beat) * sampleRateHz));
    };

    MidiFileSchedule result;
    for (const auto& track : song.tracks) {
        for (const StoredEvent& event : track) {
            switch (event.type) {
                case kMusicEventType_MIDINoteMessage: {
                    MIDINoteMessage note{};
                    std::memcpy(&note, event.record.data(), sizeof note);
                    const auto status = static_cast<uint8_t>(note.channel & 0x0F);
                    const double end = event.time + std::max(0.0f, note.duration);
                    result.messages.push_back(
                        {frameAt(event.time), event.time, {uint8_t(0x90 | status), note.note, note.velocity}});
                    result.messages.push_back({frameAt(end), end, {uint8_t(0x80 | status), note.note, 0}});
                    break;
                }
                case kMusicEventType_MIDIChannelMessage: {
                    MIDIChannelMessage message{};
                    std::memcpy(&message, event.record.data(), sizeof message);
                    std::vector<uint8_t> data{message.status, message.data1};
                    const uint8_t kind = message.status & 0xF0;
                    if (kind != 0xC0 && kind != 0xD0) data.push_back(message.data2);
                    result.messages.push_back({frameAt(event.time), event.time, std::move(data)});
                    break;
                }
                case kMusicEventType_MIDIRawData: {
                    uint32_t length = 0;
                    std::memcpy(&length, event.record.data(), sizeof length);
                    const size_t offset = offsetof(MIDIRawData, data);
                    if (length == 0 || offset + length > event.record.size()) break;
                    const auto* start = event.record.data() + offset;
                    result.messages.push_back(
                        {frameAt(event.time), event.time, std::vector<uint8_t>(start, start + length)});
                    break;
                }
                default:
                    break;
            }
        }
    }
    // Note-offs first among messages of one moment in the file, so that a note struck again at once is not cut; by
    // moment rather than frame, so that a short note's note-off never goes before its note-on when both round to one
    // frame. Frames only grow with the moments.
    std::stable_sort(result.messages.begin(), result.messages.end(),
                     [](const ScheduledMessage& a, const ScheduledMessage& b) {
                         if (a.beats != b.beats) return a.beats < b.beats;
                         return (a.bytes[0] & 0xF0) == 0x80 && (b.bytes[0] & 0xF0) != 0x80;
                     });
    for (const ScheduledMessage& message : result.messages) result.endFrame = std::max(result.endFrame, message.frame);
    schedule = std::move(result);
    return true;
}
