#include "shared/phrases/MIDIPhraseArranger.h"

#include <algorithm>
#include <cmath>

#include "shared/midievents/ChannelEvents.h"

namespace {

std::shared_ptr<MIDIChordPhrase> chordPhrase(int channel, bool master) {
  auto phrase = std::make_shared<MIDIChordPhrase>();
  phrase->channel = channel;
  phrase->isMasterTrack = master;
  return phrase;
}

AUEventSampleTime sampleTimeOf(double beats) {
  return static_cast<AUEventSampleTime>(std::trunc(beats * MIDIPhraseArranger::samplesPerBeat));
}

AUMIDIEvent midiEvent(AUEventSampleTime time, std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                      std::uint16_t length) {
  AUMIDIEvent event{};
  event.next = nullptr;
  event.eventSampleTime = time;
  event.eventType = AURenderEventMIDI;
  event.reserved = 0;
  event.length = length;
  event.cable = 0;
  event.data[0] = status;
  event.data[1] = data1;
  event.data[2] = data2;
  return event;
}

// Where an event goes among those of its sample time: releases of earlier notes first, then the merged order, then
// releases of notes that end where they start.
enum class Rank { earlierRelease, merged, instantRelease };

struct TimedEvent {
  AUMIDIEvent event;
  Rank rank;
};

}  // namespace

MIDIPhraseArranger::MIDIPhraseArranger()
    : chordTrack(chordPhrase(0, true)),
      padTrack(chordPhrase(13, false)),
      sequenceTrack(chordPhrase(12, false)),
      leadTrack(chordPhrase(11, false)),
      bassTrack(chordPhrase(10, false)),
      drumTrack(std::make_shared<MIDIPhrase>()) {
  drumTrack->channel = 9;
  drumTrack->quantizeEvents = false;
}

void MIDIPhraseArranger::loadTrack(int, const std::filesystem::path&) {}

void MIDIPhraseArranger::mixChannels() {
  events.clear();
  events.insert(events.end(), chordTrack->events1.begin(), chordTrack->events1.end());
  for (const auto& track : {padTrack, sequenceTrack, leadTrack, bassTrack}) {
    chordTrack->transposeTrack(*track);
    events.insert(events.end(), track->events1.begin(), track->events1.end());
  }
  events.insert(events.end(), drumTrack->events.begin(), drumTrack->events.end());
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a->position < b->position; });
}

void MIDIPhraseArranger::save(const std::filesystem::path& url) {
  mixChannels();
  sequence = MIDISequence16::create();
  for (const auto& record : events) {
    switch (record->type) {
      case PhraseEvent::noteStart:
        sequence->createNoteEvent(record->position, record->channel, record->number, record->value, record->value2,
                                  static_cast<float>(record->duration));
        break;
      case PhraseEvent::controller:
        sequence->createControllerEvent(record->position, record->channel, record->number, record->value);
        break;
      case PhraseEvent::programChange: {
        auto program = std::make_shared<MidiProgramChangeEvent>();
        program->channel = record->channel;
        program->position = record->position;
        program->value = record->number;
        sequence->sequenceNode->getTrack(record->channel)->addEvent(program);
        sequence->createProgramChangeMessage(program);
        break;
      }
      case PhraseEvent::pitchBend:
        sequence->createPitchWheelEvent(record->position, record->channel, record->number, record->value);
        break;
      case PhraseEvent::channelPressure:
        sequence->createAfterTouchEvent(record->position, record->channel, record->number);
        break;
      default:
        break;
    }
  }
  sequence->saveToFile(url);
}

std::vector<AUMIDIEvent> MIDIPhraseArranger::phraseEventsToAUMIDIEvents() {
  mixChannels();
  std::vector<TimedEvent> timed;
  for (const auto& record : events) {
    if (record->channel > 15) continue;
    const AUEventSampleTime time = sampleTimeOf(record->position);
    const std::uint8_t channel = record->channel;
    switch (record->type) {
      case PhraseEvent::noteStart: {
        timed.push_back({midiEvent(time, 0x90 + channel, record->number, record->value, 3), Rank::merged});
        const double end = std::min(record->position + record->duration, double{MIDIPhrase::MAXBEATLENGTH});
        const AUEventSampleTime endTime = std::max(sampleTimeOf(end), time);
        timed.push_back({midiEvent(endTime, 0x90 + channel, record->number, 0, 3),
                         endTime > time ? Rank::earlierRelease : Rank::instantRelease});
        break;
      }
      case PhraseEvent::controller:
        timed.push_back({midiEvent(time, 0xB0 + channel, record->number, record->value, 3), Rank::merged});
        break;
      case PhraseEvent::programChange:
        timed.push_back({midiEvent(time, 0xC0 + channel, record->number, record->value, 2), Rank::merged});
        break;
      case PhraseEvent::pitchBend:
        timed.push_back({midiEvent(time, 0xE0 + channel, record->number, record->value, 3), Rank::merged});
        break;
      case PhraseEvent::channelPressure:
        timed.push_back({midiEvent(time, 0xD0 + channel, record->number, record->value, 2), Rank::merged});
        break;
      default:
        // Note ends included: every note start brings its own release.
        break;
    }
  }
  std::stable_sort(timed.begin(), timed.end(), [](const TimedEvent& a, const TimedEvent& b) {
    if (a.event.eventSampleTime != b.event.eventSampleTime) return a.event.eventSampleTime < b.event.eventSampleTime;
    return a.rank < b.rank;
  });
  std::vector<AUMIDIEvent> result;
  result.reserve(timed.size());
  for (const TimedEvent& entry : timed) result.push_back(entry.event);
  return result;
}
