#include "platform/musicsequence/MidiFileWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace musicsequence {

namespace {

// The largest tick a track may reach: every delta then fits a four-byte variable-length quantity.
constexpr double kMaxTick = 0x0FFFFFFF;

struct TimedBytes {
  std::uint64_t tick = 0;
  int rank = 1;            // 0 for note-offs, written first at their tick
  std::uint64_t order = 0;
  std::vector<std::uint8_t> bytes;
};

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
  out.push_back(groups[0]);
}

// A chunk of bytes with a leading length: F0 or F7 escapes and meta payloads.
void appendWithLength(std::vector<std::uint8_t>& out, const std::uint8_t* data, std::uint32_t length) {
  appendVariableLength(out, length);
  out.insert(out.end(), data, data + length);
}

std::uint8_t systemDataBytes(std::uint8_t status) {
  switch (status) {
    case 0xF1: case 0xF3: return 1;
    case 0xF2: return 2;
    default: return 0;
  }
}

template <typename Record>
Record head(const StoredEvent& event) {
  Record record;
  std::memcpy(&record, event.record.data(), sizeof record);
  return record;
}

class TrackWriter {
 public:
  explicit TrackWriter(double ticksPerBeat) : ticksPerBeat_(ticksPerBeat) {}

  std::optional<std::uint64_t> tickOf(double beats) const {
    const double ticks = std::round(beats * ticksPerBeat_);
    if (!(ticks >= 0.0 && ticks <= kMaxTick)) return std::nullopt;
    return static_cast<std::uint64_t>(ticks);
  }

  // False when a time lies beyond the file format's range.
  bool add(const StoredEvent& event) {
    auto tick = tickOf(event.time);
    if (!tick) return false;
    const std::uint8_t* payload = event.record.data();
    std::vector<std::uint8_t> bytes;
    switch (event.type) {
      case kMusicEventType_MIDINoteMessage: {
        const auto note = head<MIDINoteMessage>(event);
        auto durationTicks = tickOf(note.duration);
        if (!durationTicks || *tick + *durationTicks > kMaxTick) return false;
        const std::uint8_t channel = note.channel & 0x0F;
        const std::uint64_t onOrder = nextOrder();
        items_.push_back({*tick, 1, onOrder,
                          {static_cast<std::uint8_t>(0x90 | channel), static_cast<std::uint8_t>(note.note & 0x7F),
                           static_cast<std::uint8_t>(note.velocity & 0x7F)}});
        // An off at its own on tick must follow that on; every other off goes first at its tick.
        const bool zeroLength = *durationTicks == 0;
        items_.push_back({*tick + *durationTicks, zeroLength ? 1 : 0, zeroLength ? onOrder + 1 : onOrder,
                          {static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(note.note & 0x7F),
                           static_cast<std::uint8_t>(note.releaseVelocity & 0x7F)}});
        return true;
      }
      case kMusicEventType_MIDIChannelMessage: {
        const auto message = head<MIDIChannelMessage>(event);
        if (message.status < 0x80) return true;
        if (message.status < 0xF0) {
          const std::uint8_t kind = message.status & 0xF0;
          bytes = {message.status, static_cast<std::uint8_t>(message.data1 & 0x7F)};
          if (kind != 0xC0 && kind != 0xD0) bytes.push_back(message.data2 & 0x7F);
        } else {
          const std::uint8_t escaped[3] = {message.status, static_cast<std::uint8_t>(message.data1 & 0x7F),
                                           static_cast<std::uint8_t>(message.data2 & 0x7F)};
          bytes.push_back(0xF7);
          appendWithLength(bytes, escaped, 1u + systemDataBytes(message.status));
        }
        break;
      }
      case kMusicEventType_MIDIRawData: {
        const auto raw = head<MIDIRawData>(event);
        const std::uint8_t* data = payload + offsetof(MIDIRawData, data);
        if (raw.length > 0 && data[0] == 0xF0) {
          bytes.push_back(0xF0);
          appendWithLength(bytes, data + 1, raw.length - 1);
        } else {
          bytes.push_back(0xF7);
          appendWithLength(bytes, data, raw.length);
        }
        break;
      }
      case kMusicEventType_Meta: {
        const auto meta = head<MIDIMetaEvent>(event);
        if (meta.metaEventType == 0x2F || (meta.metaEventType & 0x80)) return true;
        bytes = {0xFF, meta.metaEventType};
        appendWithLength(bytes, payload + offsetof(MIDIMetaEvent, data), meta.dataLength);
        break;
      }
      case kMusicEventType_ExtendedTempo: {
        const auto tempo = head<ExtendedTempoEvent>(event);
        const double microseconds = std::clamp(std::round(60'000'000.0 / tempo.bpm), 1.0, double{0xFFFFFF});
        bytes = {0xFF, 0x51, 0x03};
        appendBigEndian(bytes, static_cast<std::uint32_t>(microseconds), 3);
        break;
      }
      default:
        return true;
    }
    items_.push_back({*tick, 1, nextOrder(), std::move(bytes)});
    return true;
  }

  bool appendChunk(std::vector<std::uint8_t>& file, double lengthBeats) {
    auto endTick = tickOf(lengthBeats);
    if (!endTick) return false;
    std::stable_sort(items_.begin(), items_.end(), [](const TimedBytes& a, const TimedBytes& b) {
      if (a.tick != b.tick) return a.tick < b.tick;
      if (a.rank != b.rank) return a.rank < b.rank;
      return a.order < b.order;
    });
    std::vector<std::uint8_t> chunk;
    std::uint64_t now = 0;
    for (const TimedBytes& item : items_) {
      appendVariableLength(chunk, static_cast<std::uint32_t>(item.tick - now));
      now = item.tick;
      chunk.insert(chunk.end(), item.bytes.begin(), item.bytes.end());
    }
    appendVariableLength(chunk, static_cast<std::uint32_t>(std::max(now, *endTick) - now));
    chunk.insert(chunk.end(), {0xFF, 0x2F, 0x00});
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    appendBigEndian(file, static_cast<std::uint32_t>(chunk.size()), 4);
    file.insert(file.end(), chunk.begin(), chunk.end());
    return true;
  }

 private:
  std::uint64_t nextOrder() {
    order_ += 2;
    return order_;
  }

  double ticksPerBeat_;
  std::vector<TimedBytes> items_;
  std::uint64_t order_ = 0;
};

}  // namespace

OSStatus writeStandardMidiFile(const SequenceData& sequence, std::int16_t resolution, std::vector<std::uint8_t>& file) {
  if (resolution < 0) return kAudio_ParamError;
  const std::int16_t ticksPerBeat = resolution == 0 ? sequence.timeResolution : resolution;
  std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, 1, 2);
  if (sequence.tracks.size() + 1 > 0xFFFF) return kAudio_ParamError;
  appendBigEndian(out, static_cast<std::uint32_t>(sequence.tracks.size() + 1), 2);
  appendBigEndian(out, static_cast<std::uint32_t>(ticksPerBeat), 2);

  auto writeTrack = [&](const TrackData& track) {
    TrackWriter writer(ticksPerBeat);
    for (const StoredEvent& event : track.events) {
      if (!writer.add(event)) return false;
    }
    return writer.appendChunk(out, trackLength(track));
  };
  if (!writeTrack(sequence.tempoTrack)) return kAudio_ParamError;
  for (const auto& track : sequence.tracks) {
    if (!writeTrack(*track)) return kAudio_ParamError;
  }
  file = std::move(out);
  return noErr;
}

}  // namespace musicsequence
