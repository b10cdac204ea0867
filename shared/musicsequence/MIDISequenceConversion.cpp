#include <algorithm>
#include <array>
#include <optional>

#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"
#include "shared/midievents/MIDIConstants.h"
#include "shared/musicsequence/MIDISequence.h"
#include "shared/musicsequence/SampleTimeGrid.h"

namespace {

using EventList = std::vector<std::shared_ptr<AUMIDIEventEx>>;
using foundation::numberText;

constexpr std::uint8_t kHighestChannel = 15;
// The head of a meta row: the internal meta status, the meta type, a zero byte.
constexpr std::size_t kMetaRowHeadBytes = 3;

std::string describe(const AUMIDIEventEx& record) {
  const AUMIDIEvent& header = *record.pEvent();
  return "AUMIDIEventEx(sampleTime: " + std::to_string(header.eventSampleTime) +
         ", type: " + std::to_string(header.eventType) + ", cable: " + std::to_string(header.cable) +
         ", length: " + std::to_string(record.length()) + ", data: " + record.toHex() + ")";
}

void logSampleTimeRefused(double beats) {
  safeprint("error: sample time of event at beat " + numberText(beats) + " does not fit 64 bits.");
}

std::optional<AUEventSampleTime> sampleTimeAt(double samplesPerBeat, double beats) {
  const auto time = beatsToSampleTime(samplesPerBeat, beats);
  if (!time) logSampleTimeRefused(beats);
  return time;
}

bool channelFits(const EventNode& node) {
  if (node.channel <= kHighestChannel) return true;
  safeprint("error: channel " + std::to_string(node.channel) + " of event is not a MIDI channel.");
  return false;
}

struct NoteTimes {
  AUEventSampleTime on;
  AUEventSampleTime off;
};

// The sample times of a note's on and off; none, with a log line, when they do not fit.
std::optional<NoteTimes> noteTimes(const MidiNoteEvent& note, double samplesPerBeat) {
  if (!channelFits(note)) return std::nullopt;
  const auto on = sampleTimeAt(samplesPerBeat, note.position);
  if (!on) return std::nullopt;
  // The note's length is taken in single precision, as its duration is stored.
  const auto length = truncatedSampleTime(note.duration * static_cast<float>(samplesPerBeat));
  AUEventSampleTime off = 0;
  if (!length || __builtin_add_overflow(*on, *length, &off)) {
    logSampleTimeRefused(note.position + note.duration);
    return std::nullopt;
  }
  return NoteTimes{*on, off};
}

// A channel message other than a note: its bytes and how many of them the message has.
struct ChannelRow {
  std::array<std::uint8_t, 3> bytes;
  std::uint32_t count;
};

std::optional<ChannelRow> channelRow(const std::shared_ptr<EventNode>& node) {
  if (const auto program = eventCast<MidiProgramChangeEvent>(node)) {
    return ChannelRow{{program->getStausByte(), program->value, 0}, 2};
  }
  if (const auto controller = eventCast<MidiControllerEvent>(node)) {
    return ChannelRow{{controller->getStausByte(), controller->number, controller->value}, 3};
  }
  if (const auto bend = eventCast<MidiPitchBendEvent>(node)) {
    return ChannelRow{{bend->getStausByte(), bend->bend.msb, bend->bend.lsb}, 3};
  }
  if (const auto pressure = eventCast<MidiChannelPressureEvent>(node)) {
    return ChannelRow{{pressure->getStausByte(), pressure->value, 0}, 2};
  }
  if (const auto poly = eventCast<MidiPolyPressureEvent>(node)) {
    return ChannelRow{{poly->getStausByte(), poly->number, poly->value}, 3};
  }
  return std::nullopt;
}

// Appends the records of the tree's events to a list, one or two per event.
class RowBuilder {
 public:
  RowBuilder(EventList& list, double samplesPerBeat, std::uint8_t cable)
      : list_(list), samplesPerBeat_(samplesPerBeat), cable_(cable) {}

  void add(const std::shared_ptr<EventNode>& node) {
    if (const auto note = eventCast<MidiNoteEvent>(node)) return addNote(*note);
    if (const auto row = channelRow(node)) return addChannelRow(*node, row->bytes, row->count);
    if (const auto meta = eventCast<MetaEvent>(node)) return addMeta(*meta);
    if (const auto user = eventCast<UserEvent>(node)) return addUser(*user);
    // No MIDI form: a row of zeros, kept and logged after sorting.
    if (const auto time = sampleTimeAt(node->position)) append(makeRow({0, 0, 0}, 3, *time), 0.0);
  }

 private:
  std::optional<AUEventSampleTime> sampleTimeAt(double beats) const { return ::sampleTimeAt(samplesPerBeat_, beats); }

  std::shared_ptr<AUMIDIEventEx> makeRow(std::array<std::uint8_t, 3> bytes, std::uint32_t count,
                                         AUEventSampleTime time) const {
    auto row = std::make_shared<AUMIDIEventEx>(AURenderEventMIDI, bytes.data(), count, 0);
    row->pEvent()->eventSampleTime = time;
    return row;
  }

  std::shared_ptr<AUMIDIEventEx> makeDataRow(const std::vector<std::uint8_t>& bytes, AUEventSampleTime time) const {
    auto row = std::make_shared<AUMIDIEventEx>(bytes);
    row->pEvent()->eventSampleTime = time;
    return row;
  }

  void append(std::shared_ptr<AUMIDIEventEx> row, double beats) {
    row->pEvent()->cable = cable_;
    row->beats = beats;
    list_.push_back(std::move(row));
  }

  void addNote(const MidiNoteEvent& note) {
    const auto times = noteTimes(note, samplesPerBeat_);
    if (!times) return;
    auto noteOn = makeRow({note.getStausByte(), note.number, note.velocity}, 3, times->on);
    noteOn->duration = note.duration;
    append(std::move(noteOn), note.position);
    append(makeRow({static_cast<std::uint8_t>(STATUS_NOTEOFF + note.channel), note.number, 0}, 3, times->off),
           note.position + note.duration);
  }

  void addChannelRow(const EventNode& node, std::array<std::uint8_t, 3> bytes, std::uint32_t count) {
    if (!channelFits(node)) return;
    if (const auto time = sampleTimeAt(node.position)) append(makeRow(bytes, count, *time), node.position);
  }

  void addMeta(const MetaEvent& meta) {
    if (meta.data.empty()) {
      safeprint("error: data count of meta is zero.");
      return;
    }
    if (meta.length == 0) {
      safeprint("error: meta length is smaller than 1.");
      return;
    }
    if (kMetaRowHeadBytes + meta.data.size() > AUMIDIEventEx::kMaxDataCount) {
      safeprint("error: meta event of " + std::to_string(meta.data.size()) + " bytes does not fit a render event.");
      return;
    }
    const auto time = sampleTimeAt(meta.position);
    if (!time) return;
    std::vector<std::uint8_t> bytes(kMetaRowHeadBytes + meta.data.size());
    bytes[0] = STATUS_META;
    bytes[1] = meta.type;
    std::copy(meta.data.begin(), meta.data.end(), bytes.begin() + kMetaRowHeadBytes);
    auto row = makeDataRow(bytes, *time);
    row->meta = meta.type;
    append(std::move(row), meta.position);
  }

  void addUser(const UserEvent& user) {
    const bool isSysEx = user.isA<SystemExclusiveEvent>();
    safeprint((isSysEx ? " S Y S E X : length = " : " U S E R E V E N T : length = ") + std::to_string(user.length));
    user.dumpout();
    if (user.data.empty()) {
      safeprint("error: data count of user event is zero.");
      return;
    }
    if (user.data.front() == 0) {
      safeprint("error: data of user event is 0.");
      return;
    }
    if (user.length == 0) {
      safeprint("error: user event length is smaller than 1.");
      return;
    }
    // A message cut to fit would leave without its end: refuse it whole.
    if (user.data.size() > AUMIDIEventEx::kMaxDataCount) {
      safeprint("error: user event of " + std::to_string(user.data.size()) + " bytes does not fit a render event.");
      return;
    }
    if (const auto time = sampleTimeAt(user.position)) append(makeDataRow(user.data, *time), user.position);
  }

  EventList& list_;
  double samplesPerBeat_;
  std::uint8_t cable_;
};

std::string describe(const AUMIDIEvent& record) {
  return "AUMIDIEvent(sampleTime: " + std::to_string(record.eventSampleTime) +
         ", type: " + std::to_string(record.eventType) + ", cable: " + std::to_string(record.cable) +
         ", length: " + std::to_string(record.length) + ", data: " + std::to_string(record.data[0]) + " " +
         std::to_string(record.data[1]) + " " + std::to_string(record.data[2]) + ")";
}

// The plain form's rows: three-byte records on cable 0, meta and user events as bare markers of their kind.
class PlainRowBuilder {
 public:
  PlainRowBuilder(std::vector<AUMIDIEvent>& list, double samplesPerBeat)
      : list_(list), samplesPerBeat_(samplesPerBeat) {}

  void add(const std::shared_ptr<EventNode>& node) {
    if (const auto note = eventCast<MidiNoteEvent>(node)) {
      if (const auto times = noteTimes(*note, samplesPerBeat_)) {
        append(AURenderEventMIDI, {note->getStausByte(), note->number, note->velocity}, times->on);
        append(AURenderEventMIDI, {static_cast<std::uint8_t>(STATUS_NOTEOFF + note->channel), note->number, 0},
               times->off);
      }
      return;
    }
    if (const auto row = channelRow(node)) {
      if (channelFits(*node)) appendAt(AURenderEventMIDI, row->bytes, node->position);
      return;
    }
    if (const auto meta = eventCast<MetaEvent>(node)) {
      if (carriesData(*meta)) appendAt(AURenderEventMIDI, {STATUS_META, meta->type, 0}, meta->position);
      return;
    }
    if (const auto user = eventCast<UserEvent>(node)) {
      if (carriesData(*user)) appendAt(AURenderEventMIDISysEx, {SystemExclusiveEvent::start, 0, 0}, user->position);
      return;
    }
    safeprint("stop");
  }

 private:
  static bool carriesData(const UserEvent& event) {
    return !event.data.empty() && event.data.front() != 0 && event.length != 0;
  }

  void appendAt(AURenderEventType type, std::array<std::uint8_t, 3> bytes, double beats) {
    if (const auto time = sampleTimeAt(samplesPerBeat_, beats)) append(type, bytes, *time);
  }

  void append(AURenderEventType type, std::array<std::uint8_t, 3> bytes, AUEventSampleTime time) {
    list_.push_back(AUMIDIEvent{nullptr, time, type, 0, 3, 0, {bytes[0], bytes[1], bytes[2]}});
  }

  std::vector<AUMIDIEvent>& list_;
  double samplesPerBeat_;
};

}  // namespace

std::vector<std::shared_ptr<AUMIDIEventEx>> MIDISequence::nodesToAUMIDIEvent(double samplerate, std::uint8_t cable) {
  EventList list;
  if (!sequenceNode) return list;
  if (const auto tempoTrack = getTempoTrack()) list = getTempoEvents(*tempoTrack, samplerate);

  std::size_t nodeCount = 0;
  for (const auto& track : sequenceNode->tracks) nodeCount += track->events.size();
  list.reserve(list.size() + 2 * nodeCount);
  RowBuilder rows(list, samplesPerBeatAt(samplerate), cable);
  for (const auto& track : sequenceNode->tracks) {
    for (const auto& node : track->events) rows.add(node);
  }

  // Stable by sample time: at equal times the markers stay first, then the tracks in order, a track's events in order
  // and a note's on before its off. The keys are sorted apart from the records, which lie scattered on the heap.
  std::vector<std::pair<AUEventSampleTime, std::size_t>> keys;
  keys.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) keys.emplace_back(list[i]->pEvent()->eventSampleTime, i);
  std::sort(keys.begin(), keys.end());
  EventList sorted;
  sorted.reserve(list.size());
  for (const auto& key : keys) {
    auto& record = sorted.emplace_back(std::move(list[key.second]));
    record->id = static_cast<std::int64_t>(sorted.size() - 1);
    if (record->length() > 0 && record->data()[0] == 0) safeprint("INVALID EVENT (status): " + describe(*record));
  }
  return sorted;
}

std::vector<AUMIDIEvent> MIDISequence::nodesToAUMIDIEvent(double samplerate) {
  std::vector<AUMIDIEvent> list;
  if (!sequenceNode) return list;
  PlainRowBuilder rows(list, samplesPerBeatAt(samplerate));
  for (const auto& track : sequenceNode->tracks) {
    for (const auto& node : track->events) rows.add(node);
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const AUMIDIEvent& a, const AUMIDIEvent& b) { return a.eventSampleTime < b.eventSampleTime; });
  for (const AUMIDIEvent& record : list) {
    if (record.data[0] == 0) safeprint("INVALID EVENT (status): " + describe(record));
    if (record.eventType != AURenderEventMIDI) safeprint("INVALID EVENT (type): " + describe(record));
  }
  return list;
}
