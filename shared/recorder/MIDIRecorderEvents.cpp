// The recorder's sample-timed road for everything but notes, and the dispatch of live events.

#include <string>

#include "shared/globals/Print.h"
#include "shared/midievents/MIDIConstants.h"
#include "shared/recorder/MIDIRecorder.h"

void MIDIRecorder::controllerAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                              std::int64_t position) {
  if (acceptsEvents()) createControllerEvent(beatOf(position), channel, number, value);
}

void MIDIRecorder::polyPressureAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                                std::int64_t position) {
  if (acceptsEvents()) createPolyphonicPressureEvent(beatOf(position), channel, number, value);
}

void MIDIRecorder::pitchWheelAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t value,
                                              std::int64_t position) {
  if (acceptsEvents()) createPitchWheelEvent(beatOf(position), channel, number, value);
}

void MIDIRecorder::programChangeAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t,
                                                 std::int64_t position) {
  if (acceptsEvents()) createProgramChangeEvent(beatOf(position), channel, number);
}

void MIDIRecorder::aftertouchAtSamplePosition(std::uint8_t channel, std::uint8_t number, std::uint8_t,
                                              std::int64_t position) {
  if (acceptsEvents()) createAfterTouchEvent(beatOf(position), channel, number);
}

void MIDIRecorder::sysexAtSamplePosition(std::uint32_t length, const std::vector<std::uint8_t>& data,
                                         std::int64_t position) {
  if (!acceptsEvents()) return;
  if (length > 0xFFFF) {
    safeprint("MIDIRecorder::sysexAtSamplePosition() : ERROR: A system-exclusive message of " +
              std::to_string(length) + " bytes is longer than 65535 bytes and was not recorded.");
    return;
  }
  createSysExEvent(beatOf(position), static_cast<std::uint16_t>(length), data);
}

void MIDIRecorder::metaAtSamplePosition(std::int64_t length, const std::vector<std::uint8_t>& data,
                                        std::int64_t position, std::uint8_t type) {
  if (acceptsEvents()) createMetaEvent(beatOf(position), length, data, type);
}

void MIDIRecorder::addAUMIDIEvent(const AUMIDIEventEx& event) {
  const std::uint32_t count = event.length();
  const std::uint8_t status = count > 0 ? event.data()[0] : 0;
  const std::int64_t sampleTime = event.event().eventSampleTime;
  if (status == STATUS_SYSEX) return sysexAtSamplePosition(count, event.array(), sampleTime);
  if (status == STATUS_EOX) return;
  if (status == STATUS_META) return metaAtSamplePosition(count, event.array(), sampleTime, event.meta);
  if (status > STATUS_SYSEX) return safeprint(std::to_string(status & 0xF0));
  if (status < 0x80 || count < 2) return;
  const std::uint8_t channel = status & 0x0F;
  const std::uint8_t data1 = event.data()[1];
  const std::uint8_t data2 = count > 2 ? event.data()[2] : 0;
  switch (status & 0xF0) {
    case STATUS_NOTEOFF: return noteOffAtSamplePosition(channel, data1, data2, sampleTime);
    case STATUS_NOTEON:
      if (data2 > 0) return noteOnAtSamplePosition(channel, data1, data2, sampleTime);
      return noteOffAtSamplePosition(channel, data1, 64, sampleTime);
    case STATUS_PPRESSURE: return polyPressureAtSamplePosition(channel, data1, data2, sampleTime);
    case STATUS_CONTROLLER: return controllerAtSamplePosition(channel, data1, data2, sampleTime);
    case STATUS_PROGRAM: return programChangeAtSamplePosition(channel, data1, data2, sampleTime);
    case STATUS_CPRESSURE: return aftertouchAtSamplePosition(channel, data1, data2, sampleTime);
    default: return pitchWheelAtSamplePosition(channel, data1, data2, sampleTime);
  }
}

void MIDIRecorder::addAUMIDIEvents(const std::vector<std::shared_ptr<AUMIDIEventEx>>& events) {
  for (const auto& event : events) {
    if (event) addAUMIDIEvent(*event);
  }
}
