#include "platform/musicsequence/MidiFileReader.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <deque>
#include <optional>
#include <unordered_map>

namespace musicsequence {

namespace {

constexpr OSStatus kMalformed = kAudioFileInvalidFileError;

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool atEnd() const { return position_ >= bytes_.size(); }
  std::size_t remaining() const { return bytes_.size() - position_; }

  std::optional<std::uint8_t> peek() const {
    if (atEnd()) return std::nullopt;
    return bytes_[position_];
  }
  std::optional<std::uint8_t> byte() {
    if (atEnd()) return std::nullopt;
    return bytes_[position_++];
  }
  std::optional<std::uint32_t> bigEndian(int count) {
    if (remaining() < static_cast<std::size_t>(count)) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes_[position_++];
    return value;
  }
  // A variable-length quantity of at most four bytes.
  std::optional<std::uint32_t> variableLength() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      auto b = byte();
      if (!b) return std::nullopt;
      value = (value << 7) | (*b & 0x7Fu);
      if ((*b & 0x80u) == 0) return value;
    }
    return std::nullopt;
  }
  std::optional<std::span<const std::uint8_t>> take(std::size_t count) {
    if (remaining() < count) return std::nullopt;
    auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

enum class Route { Tempo, Channel, Other };

struct FileEvent {
  std::uint64_t tick = 0;
  std::size_t fileTrack = 0;
  Route route = Route::Other;
  std::uint8_t channel = 0;
  MusicEventType type = kMusicEventType_NULL;
  std::vector<std::uint8_t> record;
};

bool isTempoMapMeta(std::uint8_t metaType) {
  return metaType == 0x51 || metaType == 0x54 || metaType == 0x58 || metaType == 0x59;
}

template <typename Head>
std::vector<std::uint8_t> recordWithPayload(const Head& head, std::size_t headBytes,
                                            std::span<const std::uint8_t> prefix,
                                            std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> record(headBytes + prefix.size() + payload.size());
  std::memcpy(record.data(), &head, headBytes);
  std::copy(prefix.begin(), prefix.end(), record.begin() + static_cast<std::ptrdiff_t>(headBytes));
  std::copy(payload.begin(), payload.end(),
            record.begin() + static_cast<std::ptrdiff_t>(headBytes + prefix.size()));
  return record;
}

class Timebase {
 public:
  static std::optional<Timebase> fromDivision(std::uint16_t division) {
    if (division == 0) return std::nullopt;
    if ((division & 0x8000u) == 0) return Timebase(static_cast<double>(division), static_cast<std::int16_t>(division));
    // SMPTE time: frames per second and ticks per frame, taken at a fixed 120 beats per minute.
    const int framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
    const int ticksPerFrame = division & 0xFF;
    double frames = 0.0;
    switch (framesPerSecond) {
      case 24: case 25: case 30: frames = framesPerSecond; break;
      case 29: frames = 29.97; break;
      default: return std::nullopt;
    }
    if (ticksPerFrame == 0) return std::nullopt;
    return Timebase(frames * ticksPerFrame / 2.0, 480);
  }
  double beats(std::uint64_t ticks) const { return static_cast<double>(ticks) / ticksPerBeat_; }
  std::int16_t resolution() const { return resolution_; }

 private:
  Timebase(double ticksPerBeat, std::int16_t resolution) : ticksPerBeat_(ticksPerBeat), resolution_(resolution) {}
  double ticksPerBeat_;
  std::int16_t resolution_;
};

class TrackParser {
 public:
  TrackParser(std::vector<FileEvent>& events, std::size_t fileTrack, const Timebase& timebase)
      : events_(events), fileTrack_(fileTrack), timebase_(timebase) {}

  OSStatus parse(std::span<const std::uint8_t> chunk) {
    ByteReader in(chunk);
    std::optional<std::uint8_t> runningStatus;
    while (!in.atEnd()) {
      auto delta = in.variableLength();
      auto first = in.peek();
      if (!delta || !first) return kMalformed;
      tick_ += *delta;
      std::uint8_t status = *first;
      if (status & 0x80u) {
        in.byte();
      } else if (runningStatus) {
        status = *runningStatus;
      } else {
        return kMalformed;
      }
      if (status < 0xF0) {
        runningStatus = status;
        if (OSStatus result = channelMessage(in, status); result != noErr) return result;
      } else if (status == 0xF0 || status == 0xF7) {
        if (OSStatus result = systemExclusive(in, status); result != noErr) return result;
      } else if (status == 0xFF) {
        bool endOfTrack = false;
        if (OSStatus result = meta(in, endOfTrack); result != noErr) return result;
        if (endOfTrack) break;
      } else {
        return kMalformed;
      }
    }
    for (auto& [key, open] : openNotes_) {
      for (std::size_t index : open) setDuration(index, tick_);
    }
    return noErr;
  }

 private:
  OSStatus channelMessage(ByteReader& in, std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    const std::uint8_t channel = status & 0x0F;
    const int dataCount = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
    std::array<std::uint8_t, 2> data{0, 0};
    for (int i = 0; i < dataCount; ++i) {
      auto b = in.byte();
      if (!b || (*b & 0x80u)) return kMalformed;
      data[static_cast<std::size_t>(i)] = *b;
    }
    const std::uint16_t key = static_cast<std::uint16_t>(channel << 7 | data[0]);
    if (kind == 0x90 && data[1] > 0) {
      const MIDINoteMessage note{channel, data[0], data[1], 0, 0.0f};
      openNotes_[key].push_back(events_.size());
      add(Route::Channel, channel, kMusicEventType_MIDINoteMessage, recordOf(note));
    } else if (kind == 0x80 || kind == 0x90) {
      auto open = openNotes_.find(key);
      if (open == openNotes_.end() || open->second.empty()) return noErr;
      const std::size_t index = open->second.front();
      open->second.pop_front();
      setDuration(index, tick_);
      events_[index].record[offsetof(MIDINoteMessage, releaseVelocity)] = kind == 0x80 ? data[1] : 0;
    } else {
      const MIDIChannelMessage message{status, data[0], data[1], 0};
      add(Route::Channel, channel, kMusicEventType_MIDIChannelMessage, recordOf(message));
    }
    return noErr;
  }

  OSStatus systemExclusive(ByteReader& in, std::uint8_t status) {
    auto length = in.variableLength();
    if (!length) return kMalformed;
    auto payload = in.take(*length);
    if (!payload) return kMalformed;
    const std::array<std::uint8_t, 1> start{0xF0};
    std::span<const std::uint8_t> prefix = status == 0xF0 ? std::span<const std::uint8_t>(start)
                                                          : std::span<const std::uint8_t>();
    const MIDIRawData head{static_cast<std::uint32_t>(prefix.size() + payload->size()), {0}};
    add(Route::Other, 0, kMusicEventType_MIDIRawData,
        recordWithPayload(head, offsetof(MIDIRawData, data), prefix, *payload));
    return noErr;
  }

  OSStatus meta(ByteReader& in, bool& endOfTrack) {
    auto type = in.byte();
    if (!type || (*type & 0x80u)) return kMalformed;
    auto length = in.variableLength();
    if (!length) return kMalformed;
    auto payload = in.take(*length);
    if (!payload) return kMalformed;
    if (*type == 0x2F) {
      endOfTrack = true;
      return noErr;
    }
    if (*type == 0x51) {
      if (payload->size() != 3) return kMalformed;
      const std::uint32_t microsecondsPerBeat =
          static_cast<std::uint32_t>((*payload)[0]) << 16 | static_cast<std::uint32_t>((*payload)[1]) << 8 |
          (*payload)[2];
      // A tempo of 0 microseconds per beat has no finite tempo; it is skipped.
      if (microsecondsPerBeat == 0) return noErr;
      const ExtendedTempoEvent tempo{60'000'000.0 / microsecondsPerBeat};
      add(Route::Tempo, 0, kMusicEventType_ExtendedTempo, recordOf(tempo));
      return noErr;
    }
    const MIDIMetaEvent head{*type, 0, 0, 0, static_cast<std::uint32_t>(payload->size()), {0}};
    add(isTempoMapMeta(*type) ? Route::Tempo : Route::Other, 0, kMusicEventType_Meta,
        recordWithPayload(head, offsetof(MIDIMetaEvent, data), {}, *payload));
    return noErr;
  }

  template <typename Record>
  static std::vector<std::uint8_t> recordOf(const Record& record) {
    std::vector<std::uint8_t> bytes(sizeof record);
    std::memcpy(bytes.data(), &record, sizeof record);
    return bytes;
  }

  void add(Route route, std::uint8_t channel, MusicEventType type, std::vector<std::uint8_t> record) {
    events_.push_back(FileEvent{tick_, fileTrack_, route, channel, type, std::move(record)});
  }

  void setDuration(std::size_t index, std::uint64_t endTick) {
    const float duration = static_cast<float>(timebase_.beats(endTick) - timebase_.beats(events_[index].tick));
    std::memcpy(events_[index].record.data() + offsetof(MIDINoteMessage, duration), &duration, sizeof duration);
  }

  std::vector<FileEvent>& events_;
  std::size_t fileTrack_;
  const Timebase& timebase_;
  std::uint64_t tick_ = 0;
  std::unordered_map<std::uint16_t, std::deque<std::size_t>> openNotes_;
};

// The song track of each file event: channel order for channels-to-tracks, file order for preserve-tracks.
std::vector<std::size_t> assignTracks(const std::vector<FileEvent>& events, std::size_t fileTracks,
                                      std::uint16_t format, MusicSequenceLoadFlags flags, std::size_t& trackCount) {
  std::vector<std::size_t> target(events.size(), 0);
  if (flags & kMusicSequenceLoadSMF_ChannelsToTracks) {
    std::bitset<16> used;
    bool hasOther = false;
    for (const FileEvent& e : events) {
      if (e.route == Route::Channel) used.set(e.channel);
      hasOther = hasOther || e.route == Route::Other;
    }
    std::array<std::size_t, 16> trackOfChannel{};
    std::size_t next = 0;
    for (std::size_t channel = 0; channel < 16; ++channel) {
      if (used.test(channel)) trackOfChannel[channel] = next++;
    }
    for (std::size_t i = 0; i < events.size(); ++i) {
      target[i] = events[i].route == Route::Channel ? trackOfChannel[events[i].channel] : next;
    }
    trackCount = next + (hasOther ? 1 : 0);
    return target;
  }
  bool firstIsTempoMap = format == 1 && fileTracks > 0;
  for (const FileEvent& e : events) {
    if (e.fileTrack == 0 && e.route != Route::Tempo) firstIsTempoMap = false;
  }
  const std::size_t skipped = firstIsTempoMap ? 1 : 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    target[i] = events[i].fileTrack >= skipped ? events[i].fileTrack - skipped : 0;
  }
  trackCount = fileTracks - skipped;
  return target;
}

}  // namespace

OSStatus readStandardMidiFile(std::span<const std::uint8_t> bytes, MusicSequenceLoadFlags flags, ParsedSong& song) {
  if (bytes.size() > kMaxPayloadBytes) return kMalformed;
  ByteReader in(bytes);
  auto id = in.take(4);
  auto headerLength = in.bigEndian(4);
  if (!id || !std::equal(id->begin(), id->end(), "MThd") || !headerLength || *headerLength < 6) return kMalformed;
  auto header = in.take(*headerLength);
  if (!header) return kMalformed;
  ByteReader headerIn(*header);
  const auto format = headerIn.bigEndian(2);
  const auto declaredTracks = headerIn.bigEndian(2);
  const auto division = headerIn.bigEndian(2);
  if (*format > 2) return kMalformed;
  const auto timebase = Timebase::fromDivision(static_cast<std::uint16_t>(*division));
  if (!timebase) return kMalformed;

  std::vector<FileEvent> events;
  std::size_t fileTracks = 0;
  while (fileTracks < *declaredTracks) {
    auto chunkId = in.take(4);
    auto chunkLength = in.bigEndian(4);
    if (!chunkId || !chunkLength) return kMalformed;
    auto chunk = in.take(*chunkLength);
    if (!chunk) return kMalformed;
    if (!std::equal(chunkId->begin(), chunkId->end(), "MTrk")) continue;
    if (OSStatus result = TrackParser(events, fileTracks, *timebase).parse(*chunk); result != noErr) return result;
    ++fileTracks;
  }

  std::stable_sort(events.begin(), events.end(),
                   [](const FileEvent& a, const FileEvent& b) { return a.tick < b.tick; });
  std::size_t trackCount = 0;
  const std::vector<std::size_t> target =
      assignTracks(events, fileTracks, static_cast<std::uint16_t>(*format), flags, trackCount);

  ParsedSong parsed;
  parsed.timeResolution = timebase->resolution();
  parsed.tracks.resize(trackCount);
  for (std::size_t i = 0; i < events.size(); ++i) {
    FileEvent& e = events[i];
    StoredEvent stored = makeEvent(timebase->beats(e.tick), e.type, e.record.data(),
                                   static_cast<std::uint32_t>(e.record.size()));
    (e.route == Route::Tempo ? parsed.tempoEvents : parsed.tracks[target[i]]).push_back(std::move(stored));
  }
  song = std::move(parsed);
  return noErr;
}

}  // namespace musicsequence
