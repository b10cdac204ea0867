#include "platform/musicsequence/AudioSequencer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "platform/audiounit/MIDIMessageLength.h"
#include "platform/musicsequence/MusicEventIterator.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"

namespace musicsequence {

// One loaded file as the render side plays it; never changed once built.
struct SequencerSongData {
  struct Message {
    double beat;
    std::uint8_t length;
    std::uint8_t bytes[3];
  };
  struct TempoPoint {
    double beat;
    double bpm;
    double seconds;  // song time at beat
  };

  std::vector<std::vector<Message>> tracks;  // each ordered by beat
  std::vector<TempoPoint> tempo;             // ordered by beat; the first at beat 0

  double secondsAt(double beat) const {
    auto point = std::upper_bound(tempo.begin(), tempo.end(), beat,
                                  [](double b, const TempoPoint& p) { return b < p.beat; });
    const TempoPoint& at = *(point == tempo.begin() ? point : point - 1);
    return at.seconds + (beat - at.beat) * 60.0 / at.bpm;
  }
  double beatAt(double seconds) const {
    auto point = std::upper_bound(tempo.begin(), tempo.end(), seconds,
                                  [](double s, const TempoPoint& p) { return s < p.seconds; });
    const TempoPoint& at = *(point == tempo.begin() ? point : point - 1);
    return at.beat + (seconds - at.seconds) * at.bpm / 60.0;
  }
};

// Where each track's messages go; never changed once built.
struct SequencerRouting {
  std::vector<AUScheduleMIDIEventBlock> blocks;  // per track; empty: not routed
};

// What the control thread and the render side share. Songs and routings are swapped whole; the ones replaced stay
// until the sequencer goes, since the render side may still read them.
struct SequencerCore {
  std::atomic<const SequencerSongData*> song{nullptr};
  std::atomic<const SequencerRouting*> routing{nullptr};
  std::atomic<double> positionBeats{0.0};
  std::atomic<float> rate{1.0f};
  std::atomic<bool> playing{false};
  std::vector<std::unique_ptr<const SequencerSongData>> songs;
  std::vector<std::unique_ptr<const SequencerRouting>> routings;

  void render(const audioengine::RenderCycle& cycle) noexcept {
    if (!playing.load(std::memory_order_acquire)) return;
    const SequencerSongData* current = song.load(std::memory_order_acquire);
    const SequencerRouting* paths = routing.load(std::memory_order_acquire);
    if (current == nullptr || cycle.sampleRate <= 0.0) return;
    const double speed = rate.load(std::memory_order_relaxed);
    double from = positionBeats.load(std::memory_order_acquire);
    const double fromSeconds = current->secondsAt(from);
    const double to = current->beatAt(fromSeconds + cycle.frames / cycle.sampleRate * speed);
    if (paths != nullptr) {
      const std::size_t count = std::min(current->tracks.size(), paths->blocks.size());
      for (std::size_t t = 0; t < count; ++t) {
        const auto& block = paths->blocks[t];
        if (!block) continue;
        const auto& messages = current->tracks[t];
        auto message = std::lower_bound(messages.begin(), messages.end(), from,
                                         [](const SequencerSongData::Message& m, double b) { return m.beat < b; });
        for (; message != messages.end() && message->beat < to; ++message) {
          const double offset = (current->secondsAt(message->beat) - fromSeconds) / speed * cycle.sampleRate;
          const auto frame = std::clamp<std::int64_t>(std::llround(offset), 0,
                                                      std::int64_t{cycle.frames} - 1);
          block(cycle.sampleTime + frame, 0, message->length, message->bytes);
        }
      }
    }
    // A position set meanwhile by the control thread wins.
    positionBeats.compare_exchange_strong(from, to, std::memory_order_acq_rel);
  }
};

namespace {

// A silent node that moves the sequencer on by each render cycle of the engine.
class SequencerClock final : public audioengine::Node {
 public:
  explicit SequencerClock(std::shared_ptr<SequencerCore> core) : core_(std::move(core)) {}
  std::string name() const override { return "AudioSequencer clock"; }
  std::uint32_t numberOfInputs() const override { return 0; }

 protected:
  void render(const audioengine::RenderCycle& cycle, const audioengine::StereoChannels*, std::uint32_t,
              audioengine::StereoChannels output) noexcept override {
    core_->render(cycle);
    std::fill_n(output.left, cycle.frames, 0.0f);
    std::fill_n(output.right, cycle.frames, 0.0f);
  }

 private:
  std::shared_ptr<SequencerCore> core_;
};

double trackLength(const MusicTrack& track) {
  double length = 0.0;
  std::uint32_t size = sizeof length;
  MusicTrackGetProperty(track, kSequenceTrackProperty_TrackLength, &length, &size);
  return length;
}

// The messages of one music track: notes as note-on and note-off, channel messages as they are.
std::vector<SequencerSongData::Message> readMessages(const MusicTrack& track) {
  std::vector<SequencerSongData::Message> messages;
  MusicEventIterator iterator;
  if (NewMusicEventIterator(track, &iterator) != noErr) return messages;
  bool has = false;
  while (MusicEventIteratorHasCurrentEvent(iterator, &has) == noErr && has) {
    MusicTimeStamp time = 0.0;
    MusicEventType type = kMusicEventType_NULL;
    const void* record = nullptr;
    std::uint32_t size = 0;
    if (MusicEventIteratorGetEventInfo(iterator, &time, &type, &record, &size) == noErr && record != nullptr) {
      if (type == kMusicEventType_MIDINoteMessage && size >= sizeof(MIDINoteMessage)) {
        MIDINoteMessage note{};
        std::memcpy(&note, record, sizeof note);
        const auto channel = static_cast<std::uint8_t>(note.channel & 0x0F);
        messages.push_back({time, 3, {static_cast<std::uint8_t>(0x90 | channel), note.note, note.velocity}});
        messages.push_back({time + note.duration, 3,
                            {static_cast<std::uint8_t>(0x80 | channel), note.note, note.releaseVelocity}});
      } else if (type == kMusicEventType_MIDIChannelMessage && size >= sizeof(MIDIChannelMessage)) {
        MIDIChannelMessage message{};
        std::memcpy(&message, record, sizeof message);
        if (message.status >= 0x80 && message.status < 0xF0) {
          messages.push_back({time, midiMessageLength(message.status), {message.status, message.data1, message.data2}});
        }
      }
    }
    if (MusicEventIteratorNextEvent(iterator) != noErr) break;
  }
  DisposeMusicEventIterator(iterator);
  std::stable_sort(messages.begin(), messages.end(),
                   [](const auto& a, const auto& b) { return a.beat < b.beat; });
  return messages;
}

std::vector<SequencerSongData::TempoPoint> readTempoMap(const MusicTrack& tempoTrack) {
  std::vector<SequencerSongData::TempoPoint> points{{0.0, 120.0, 0.0}};
  MusicEventIterator iterator;
  if (NewMusicEventIterator(tempoTrack, &iterator) != noErr) return points;
  bool has = false;
  while (MusicEventIteratorHasCurrentEvent(iterator, &has) == noErr && has) {
    MusicTimeStamp time = 0.0;
    MusicEventType type = kMusicEventType_NULL;
    const void* record = nullptr;
    std::uint32_t size = 0;
    if (MusicEventIteratorGetEventInfo(iterator, &time, &type, &record, &size) == noErr && record != nullptr &&
        type == kMusicEventType_ExtendedTempo && size >= sizeof(ExtendedTempoEvent)) {
      ExtendedTempoEvent tempo{};
      std::memcpy(&tempo, record, sizeof tempo);
      const auto& last = points.back();
      const double seconds = last.seconds + (time - last.beat) * 60.0 / last.bpm;
      if (time == last.beat) points.pop_back();
      points.push_back({time, tempo.bpm, time == 0.0 ? 0.0 : seconds});
    }
    if (MusicEventIteratorNextEvent(iterator) != noErr) break;
  }
  DisposeMusicEventIterator(iterator);
  return points;
}

}  // namespace

}  // namespace musicsequence

using musicsequence::SequencerCore;
using musicsequence::SequencerRouting;
using musicsequence::SequencerSongData;

AudioSequencer::AudioSequencer(audioengine::Engine& engine)
    : engine_(engine), core_(std::make_shared<SequencerCore>()) {
  clock_ = std::make_shared<musicsequence::SequencerClock>(core_);
  engine_.attach(clock_);
  engine_.connect(clock_, engine_.mainMixerNode(), engine_.outputFormat());
}

AudioSequencer::~AudioSequencer() {
  core_->playing.store(false);
  engine_.detach(clock_);
}

OSStatus AudioSequencer::load(const std::filesystem::path& file, MusicSequenceLoadFlags options) {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  if (OSStatus status = MusicSequenceFileLoad(sequence, file, kMusicSequenceFile_AnyType, options); status != noErr) {
    return status;
  }
  return install(sequence);
}

OSStatus AudioSequencer::load(std::span<const std::uint8_t> data, MusicSequenceLoadFlags options) {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  if (OSStatus status = MusicSequenceFileLoadData(sequence, data, kMusicSequenceFile_AnyType, options);
      status != noErr) {
    return status;
  }
  return install(sequence);
}

OSStatus AudioSequencer::install(const MusicSequence& sequence) {
  stop();
  auto song = std::make_unique<SequencerSongData>();
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  song->tempo = musicsequence::readTempoMap(tempo);
  std::uint32_t count = 0;
  MusicSequenceGetTrackCount(sequence, &count);
  std::vector<Track> tracks(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    MusicTrack track;
    MusicSequenceGetIndTrack(sequence, i, &track);
    song->tracks.push_back(musicsequence::readMessages(track));
    tracks[i].lengthInBeats = musicsequence::trackLength(track);
    tracks[i].lengthInSeconds = song->secondsAt(tracks[i].lengthInBeats);
  }
  tempoTrack_ = Track{musicsequence::trackLength(tempo), 0.0, tempoTrack_.destinationAudioUnit};
  tempoTrack_.lengthInSeconds = song->secondsAt(tempoTrack_.lengthInBeats);
  tracks_ = std::move(tracks);
  core_->song.store(song.get(), std::memory_order_release);
  core_->songs.push_back(std::move(song));
  core_->positionBeats.store(0.0);
  route();
  return noErr;
}

bool AudioSequencer::setDestination(int trackIndex, std::shared_ptr<AUAudioUnit> unit) {
  if (trackIndex == -1) {
    tempoTrack_.destinationAudioUnit = std::move(unit);
    return true;
  }
  if (trackIndex < 0 || static_cast<std::size_t>(trackIndex) >= tracks_.size()) return false;
  tracks_[static_cast<std::size_t>(trackIndex)].destinationAudioUnit = std::move(unit);
  route();
  return true;
}

void AudioSequencer::route() {
  auto routing = std::make_unique<SequencerRouting>();
  for (const Track& track : tracks_) {
    routing->blocks.push_back(track.destinationAudioUnit ? track.destinationAudioUnit->scheduleMIDIEventBlock()
                                                         : AUScheduleMIDIEventBlock{});
  }
  core_->routing.store(routing.get(), std::memory_order_release);
  core_->routings.push_back(std::move(routing));
}

OSStatus AudioSequencer::start() {
  if (core_->song.load() == nullptr) return kAudioToolboxErr_NoSequence;
  if (!engine_.isRunning()) return kAudioToolboxErr_InvalidPlayerState;
  core_->playing.store(true, std::memory_order_release);
  return noErr;
}

void AudioSequencer::stop() {
  if (!core_->playing.exchange(false)) return;
  const SequencerSongData* song = core_->song.load();
  const SequencerRouting* routing = core_->routing.load();
  if (song == nullptr || routing == nullptr) return;
  const auto now = static_cast<AUEventSampleTime>(engine_.sampleTime());
  for (std::size_t t = 0; t < song->tracks.size() && t < routing->blocks.size(); ++t) {
    if (!routing->blocks[t]) continue;
    std::uint16_t channels = 0;
    for (const auto& message : song->tracks[t]) channels |= static_cast<std::uint16_t>(1u << (message.bytes[0] & 0x0F));
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
      if ((channels & (1u << channel)) == 0) continue;
      const std::uint8_t allNotesOff[3] = {static_cast<std::uint8_t>(0xB0 | channel), 123, 0};
      routing->blocks[t](now, 0, 3, allNotesOff);
    }
  }
}

bool AudioSequencer::isPlaying() const { return core_->playing.load(); }

double AudioSequencer::currentPositionInBeats() const { return core_->positionBeats.load(); }

void AudioSequencer::setCurrentPositionInBeats(double beats) {
  core_->positionBeats.store(std::max(0.0, beats), std::memory_order_release);
}

double AudioSequencer::currentPositionInSeconds() const {
  const SequencerSongData* song = core_->song.load();
  const double beats = core_->positionBeats.load();
  return song == nullptr ? beats * 0.5 : song->secondsAt(beats);
}

float AudioSequencer::rate() const { return core_->rate.load(); }

void AudioSequencer::setRate(float rate) {
  if (rate > 0.0f) core_->rate.store(rate);
}
