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

// Appends the records of the tree's events to a list, one or two per event.
class RowBuilder {
 public:
  RowBuilder(EventList& list, double samplesPerBeat, std::uint8_t cable)
      : list_(list), samplesPerBeat_(samplesPerBeat), cable_(cable) {}

  void add(const std::shared_ptr<EventNode>& node) {
    if (const auto note = eventCast<MidiNoteEvent>(node)) return addNote(*note);
    if (const auto program = eventCast<MidiProgramChangeEvent>(node)) {
      return addChannelRow(*program, {program->getStausByte(), program->value}, 2);
    }
    if (const auto controller = eventCast<MidiControllerEvent>(node)) {
      return addChannelRow(*controller, {controller->getStausByte(), controller->number, controller->value}, 3);
    }
    if (const auto bend = eventCast<MidiPitchBendEvent>(node)) {
      return addChannelRow(*bend, {bend->getStausByte(), bend->bend.msb, bend->bend.lsb}, 3);
    }
    if (const auto pressure = eventCast<MidiChannelPressureEvent>(node)) {
      return addChannelRow(*pressure, {pressure->getStausByte(), pressure->value}, 2);
    }
    if (const auto poly = eventCast<MidiPolyPressureEvent>(node)) {
      return addChannelRow(*poly, {poly->getStausByte(), poly->number, poly->value}, 3);
    }
    if (const auto meta = eventCast<MetaEvent>(node)) return addMeta(*meta);
    if (const auto user = eventCast<UserEvent>(node)) return addUser(*user);
    // No MIDI form: a row of zeros, kept and logged after sorting.
    if (const auto time = sampleTimeAt(node->position)) append(makeRow({0, 0, 0}, 3, *time), 0.0);
  }

 private:
  std::optional<AUEventSampleTime> sampleTimeAt(double beats) const {
    const auto time = beatsToSampleTime(samplesPerBeat_, beats);
    if (!time) logSampleTimeRefused(beats);
    return time;
  }

  static bool channelFits(const EventNode& node) {
    if (node.channel <= kHighestChannel) return true;
    safeprint("error: channel " + std::to_string(node.channel) + " of event is not a MIDI channel.");
    return false;
  }

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
    if (!channelFits(note)) return;
    const auto on = sampleTimeAt(note.position);
    if (!on) return;
    // The note's length is taken in single precision, as its duration is stored.
    const auto length = truncatedSampleTime(note.duration * static_cast<float>(samplesPerBeat_));
    AUEventSampleTime off = 0;
    if (!length || __builtin_add_overflow(*on, *length, &off)) {
      logSampleTimeRefused(note.position + note.duration);
      return;
    }
    auto noteOn = makeRow({note.getStausByte(), note.number, note.velocity}, 3, *on);
    noteOn->duration = note.duration;
    append(std::move(noteOn), note.position);
    append(makeRow({static_cast<std::uint8_t>(STATUS_NOTEOFF + note.channel), note.number, 0}, 3, off),
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
