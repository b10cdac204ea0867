#include "shared/patterns/PatternFileRecords.h"

#include <algorithm>
#include <array>

namespace patternfile {

namespace {

constexpr std::array<std::uint8_t, 4> kOwnHead{0x7D, 'T', 'D', 'P'};
constexpr std::size_t kKindAt = kOwnHead.size();
constexpr std::size_t kBodyAt = kKindAt + 1;
constexpr std::size_t kPropertiesBytes = kBodyAt + 3;

enum Flag : std::uint8_t { kLoop = 1, kMute = 2, kSolo = 4 };

std::shared_ptr<MetaSequencerSpecificEvent> record(RecordKind kind, double position,
                                                   std::span<const std::uint8_t> body) {
  std::vector<std::uint8_t> data(kOwnHead.begin(), kOwnHead.end());
  data.push_back(static_cast<std::uint8_t>(kind));
  data.insert(data.end(), body.begin(), body.end());
  auto event = std::make_shared<MetaSequencerSpecificEvent>();
  event->position = position;
  event->setData(static_cast<std::uint32_t>(data.size()), data);
  return event;
}

}  // namespace

bool isTempoMapMeta(std::uint8_t metaType) {
  return metaType == META_SETTEMPO || metaType == META_SMTPOFFSET || metaType == META_TIMESIGNATURE ||
         metaType == META_KEYSIGNATURE;
}

bool holdsSomething(const PatternNode& pattern) {
  static const PatternNode kFresh;
  return !pattern.events.empty() || pattern.bars != kFresh.bars || pattern.beats != kFresh.beats || pattern.loop ||
         pattern.mute || pattern.solo;
}

std::shared_ptr<MetaSequencerSpecificEvent> propertiesRecord(const PatternNode& pattern) {
  const auto flags = static_cast<std::uint8_t>((pattern.loop ? kLoop : 0) | (pattern.mute ? kMute : 0) |
                                               (pattern.solo ? kSolo : 0));
  const std::array<std::uint8_t, 3> body{pattern.bars, pattern.beats, flags};
  return record(RecordKind::Properties, 0.0, body);
}

std::shared_ptr<MetaSequencerSpecificEvent> userRecord(const UserEvent& event) {
  return record(RecordKind::User, event.position, event.data);
}

std::shared_ptr<MetaSequencerSpecificEvent> tempoMapRecord(const MetaEvent& event) {
  std::vector<std::uint8_t> body{event.type};
  body.insert(body.end(), event.data.begin(), event.data.end());
  return record(RecordKind::TempoMapMeta, event.position, body);
}

RecordKind recordKind(std::span<const std::uint8_t> data) {
  if (data.size() <= kKindAt || !std::equal(kOwnHead.begin(), kOwnHead.end(), data.begin())) return RecordKind::None;
  switch (static_cast<RecordKind>(data[kKindAt])) {
    case RecordKind::Properties:
      return data.size() == kPropertiesBytes ? RecordKind::Properties : RecordKind::None;
    case RecordKind::User: return RecordKind::User;
    case RecordKind::TempoMapMeta:
      return data.size() > kBodyAt && isTempoMapMeta(data[kBodyAt]) ? RecordKind::TempoMapMeta : RecordKind::None;
    default: return RecordKind::None;
  }
}

void applyProperties(std::span<const std::uint8_t> data, PatternNode& pattern) {
  pattern.bars = data[kBodyAt];
  pattern.beats = data[kBodyAt + 1];
  const std::uint8_t flags = data[kBodyAt + 2];
  pattern.loop = (flags & kLoop) != 0;
  pattern.mute = (flags & kMute) != 0;
  pattern.solo = (flags & kSolo) != 0;
}

std::span<const std::uint8_t> userBytes(std::span<const std::uint8_t> data) { return data.subspan(kBodyAt); }

std::uint8_t tempoMapType(std::span<const std::uint8_t> data) { return data[kBodyAt]; }

std::span<const std::uint8_t> tempoMapBytes(std::span<const std::uint8_t> data) { return data.subspan(kBodyAt + 1); }

}  // namespace patternfile
