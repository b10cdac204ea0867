#include "shared/recorder/MIDIRecorder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"

using foundation::numberText;

std::shared_ptr<MIDIRecorder> MIDIRecorder::create() {
  std::shared_ptr<MIDIRecorder> recorder(new MIDIRecorder());
  recorder->init();
  return recorder;
}

void MIDIRecorder::init() {
  MIDISequence::init();
  maxTracks = trackCount;
  create(trackCount);
}

double MIDIRecorder::wallClockSeconds() const {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void MIDIRecorder::setSampleRate(double sampleRate) {
  if (!(std::isfinite(sampleRate) && sampleRate > 0.0)) {
    safeprint("MIDIRecorder::setSampleRate() : ERROR: The sample rate must be above 0, not " + numberText(sampleRate) +
              ".");
    return;
  }
  sampleRate_ = sampleRate;
}

double MIDIRecorder::beatOf(std::int64_t sampleTime) const {
  const auto start = static_cast<std::int64_t>(startPosition);
  return static_cast<double>(sampleTime - start) / samplesPerBeat() * (1.0 / tempoFactor);
}

bool MIDIRecorder::acceptsEvents() const {
  if (!isStarted) safeprint("Warnung: Der MIDI Recorder wurde angehalten, empfängt aber Ereignisse.");
  return isStarted;
}

void MIDIRecorder::setBeatPosition(double position) { startPosition = position; }

void MIDIRecorder::setStartPosition(double sampletime) { startPosition = sampletime; }

void MIDIRecorder::start() {
  startTime = wallClockSeconds();
  isStarted = true;
  notes.clear();
}

void MIDIRecorder::pause() {
  isStarted = false;
  notes.clear();
}

void MIDIRecorder::stop() {
  isStarted = false;
  startTime = 0.0;
  startPosition = 0.0;
  notes.clear();
}

void MIDIRecorder::reset() {
  if (sequenceNode) sequenceNode->clear();
}

void MIDIRecorder::setTempofactor(double value) { tempoFactor = std::clamp(value, 0.1, 10.0); }

void MIDIRecorder::setRecorderTempo(double value) {
  tempo = std::clamp(value, 12.0, 1200.0);
  setTempofactor(tempo / 120.0);
  setTempo(value);
}

double MIDIRecorder::currentPosition() {
  const double position = (wallClockSeconds() - startTime + startPosition) * beatsFactor;
  safeprint("Info: Momentane Position ist: " + numberText(position));
  return position;
}

void MIDIRecorder::noteOn(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity) {
  if (!acceptsEvents()) return;
  auto pending = std::make_shared<Note>();
  pending->number = note;
  pending->channel = channel;
  pending->velocity = velocity;
  pending->position = currentPosition();
  notes.push_back(pending);
}

void MIDIRecorder::noteOff(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity) {
  if (!acceptsEvents()) return;
  const double now = currentPosition();
  std::vector<std::shared_ptr<Note>> ended;
  for (const auto& pending : notes) {
    if (pending->channel == channel && pending->number == note && pending->duration == 0.0) ended.push_back(pending);
  }
  if (ended.empty()) {
    safeprint("Warnung: Eine OFF Note konnte nicht zugeordnet werden.");
    return;
  }
  for (const auto& pending : ended) {
    pending->release = velocity;
    pending->duration = now - pending->position;
    createNoteEvent(pending->position, channel, note, pending->velocity, velocity,
                    static_cast<float>(pending->duration));
    std::erase(notes, pending);
  }
}

void MIDIRecorder::controller(std::uint8_t, std::uint8_t, std::uint8_t) {}

void MIDIRecorder::noteOnAtSamplePosition(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                                          std::int64_t position) {
  if (!acceptsEvents()) return;
  auto pending = std::make_shared<Note>();
  pending->number = note;
  pending->channel = channel;
  pending->velocity = velocity;
  pending->position = beatOf(position);
  pending->samplePosition = position;
  notes.push_back(pending);
}

void MIDIRecorder::noteOffAtSamplePosition(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity,
                                           std::int64_t position) {
  if (!acceptsEvents()) return;
  const auto found = std::find_if(notes.begin(), notes.end(), [&](const std::shared_ptr<Note>& pending) {
    return pending->channel == channel && pending->number == note && pending->duration == 0.0;
  });
  if (found == notes.end()) {
    safeprint("Warnung: Eine OFF Note " + std::to_string(note) + " auf Kanal " + std::to_string(channel) +
              " konnte nicht zugeordnet werden, an position " + std::to_string(position) + ".");
    return;
  }
  const std::shared_ptr<Note> pending = *found;
  notes.erase(found);
  pending->sampleDuration = position - pending->samplePosition;
  if (pending->sampleDuration <= 0) {
    safeprint("Warnung: MIDI Note mit der Länge 0 oder negativ wurde entfernt.");
    return;
  }
  pending->release = velocity;
  const double end = beatOf(position);
  pending->duration = end - pending->position;
  if (pending->duration <= 0.0) {
    safeprint("ERROR: Die Dauer der Note ist " + numberText(pending->duration) + ", von " +
              numberText(pending->position) + " bis " + numberText(end) + ".");
  }
  createNoteEvent(pending->position, pending->channel, pending->number, pending->velocity, pending->release,
                  static_cast<float>(pending->duration));
}
