// The control interface of the views: the file player, channel messages, the monitor and the recorder.

#include <algorithm>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "shared/globals/Print.h"

namespace {

constexpr uint8_t kLargestChannel = 15;
constexpr uint8_t kLargestDataByte = 0x7F;
constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kBankSelectMSB = 0;
constexpr uint8_t kBankSelectLSB = 32;
constexpr uint8_t kAllSoundOff = 120;
constexpr uint8_t kResetAllControllers = 121;
constexpr uint8_t kAllNotesOff = 123;

}  // namespace

void OrvoTunedeck_AudioUnit::loadMIDIFile(const std::filesystem::path& url) {
    sequencer_->stop();
    sequencer_->loadMIDIFile(url, true);
    updateParameters();
}

void OrvoTunedeck_AudioUnit::startSequencer() {
    if (!hostPullsSound()) return;
    timing_.currentSampletime.store(0, std::memory_order_relaxed);
    sequencer_->start(0);
    initializeParameters();
}

void OrvoTunedeck_AudioUnit::pauseSequencer() { sequencer_->pause(); }

void OrvoTunedeck_AudioUnit::continueSequencer() {
    if (hostPullsSound()) sequencer_->_continue();
}

void OrvoTunedeck_AudioUnit::toggleSequencer() {
    if (sequencer_->isPlaying()) {
        pauseSequencer();
    } else {
        continueSequencer();
    }
}

bool OrvoTunedeck_AudioUnit::isSequencerPlaying() const { return sequencer_->isPlaying(); }

void OrvoTunedeck_AudioUnit::seekSequencer(double value) { sequencer_->seekToPosition(value); }

void OrvoTunedeck_AudioUnit::setRate(double value) { sequencer_->setRate(value); }

double OrvoTunedeck_AudioUnit::getRate() const { return sequencer_->getRate(); }

double OrvoTunedeck_AudioUnit::getSequencerPositionInBeats() const {
    return sequencer_->getProgress() * sequencer_->getDurationInBeats();
}

double OrvoTunedeck_AudioUnit::getSequenceerDurationInBeats() const { return sequencer_->getDurationInBeats(); }

int64_t OrvoTunedeck_AudioUnit::getSequencerPositionInSamples() const { return sequencer_->sequencerPositionV(); }

int64_t OrvoTunedeck_AudioUnit::getSequenceerDurationInSamples() const { return sequencer_->getDurationInSamples(); }

double OrvoTunedeck_AudioUnit::getSequencerPositionInSeconds() const {
    const double samplerate = getSamplerate();
    return samplerate > 0.0 ? static_cast<double>(sequencer_->sequencerPositionV()) / samplerate : 0.0;
}

double OrvoTunedeck_AudioUnit::getSequencerDurationInSeconds() const { return sequencer_->getDurationInSeconds(); }

int64_t OrvoTunedeck_AudioUnit::getSequencerCurrentEventIndex() const { return sequencer_->getCurrentEventIndex(); }

double OrvoTunedeck_AudioUnit::getSequencerProgress() const { return sequencer_->getProgress(); }

AUMIDISequencer::Events OrvoTunedeck_AudioUnit::getEvents() const { return sequencer_->getEventList(); }

std::vector<std::shared_ptr<AUMIDIEventEx>> OrvoTunedeck_AudioUnit::getRunningNotes() const {
    return sequencer_->getRunningNotes();
}

std::size_t OrvoTunedeck_AudioUnit::getRunningNotesCount() const { return sequencer_->getRunningNotesCount(); }

std::optional<std::string> OrvoTunedeck_AudioUnit::getCurrentFile() const { return sequencer_->currentFile(); }

uint8_t OrvoTunedeck_AudioUnit::getPatchForChannel(uint8_t channel) const {
    return sequencer_->getPatchForChannel(channel);
}

bool OrvoTunedeck_AudioUnit::isEngineRunning() const { return engine_ && engine_->isRunning(); }

double OrvoTunedeck_AudioUnit::getSamplerate() const { return outputBusses_[0]->format().sampleRate; }

void OrvoTunedeck_AudioUnit::sendChecked(uint8_t channel, uint8_t status, uint8_t data1, uint8_t data2) {
    if (channel > kLargestChannel) {
        safeprint("OrvoTunedeck_AudioUnit::sendEvent() : ERROR: There is no channel " + std::to_string(channel) + ".");
        return;
    }
    if (status < kNoteOff || (status & kLargestChannel) != 0 || status >= 0xF0) {
        safeprint("OrvoTunedeck_AudioUnit::sendEvent() : ERROR: " + std::to_string(status) +
                  " is no channel-message status.");
        return;
    }
    if (data1 > kLargestDataByte || data2 > kLargestDataByte) {
        safeprint("OrvoTunedeck_AudioUnit::sendEvent() : ERROR: Data bytes above 127 were limited to 127.");
    }
    sequencer_->sendEvent(channel, status, std::min(data1, kLargestDataByte), std::min(data2, kLargestDataByte));
}

void OrvoTunedeck_AudioUnit::sendNoteOn(uint8_t channel, uint8_t note, uint8_t velocity, int64_t) {
    sendChecked(channel, kNoteOn, note, velocity);
}

void OrvoTunedeck_AudioUnit::sendNoteOff(uint8_t channel, uint8_t note, uint8_t velocity, int64_t) {
    sendChecked(channel, kNoteOff, note, velocity);
}

void OrvoTunedeck_AudioUnit::sendProgramChange(uint8_t channel, uint8_t msb, uint8_t lsb, uint8_t program, int64_t) {
    sendChecked(channel, kControlChange, kBankSelectMSB, msb);
    sendChecked(channel, kControlChange, kBankSelectLSB, lsb);
    sendChecked(channel, kProgramChange, program, 0);
}

void OrvoTunedeck_AudioUnit::sendEvent(uint8_t channel, uint8_t status, uint8_t value1, uint8_t value2, int64_t) {
    sendChecked(channel, status, value1, value2);
}

void OrvoTunedeck_AudioUnit::sendAllNotesOff(uint8_t channel) {
    sendChecked(channel, kControlChange, kAllNotesOff, 0);
}

void OrvoTunedeck_AudioUnit::sendAllSoundsOff(uint8_t channel) {
    sendChecked(channel, kControlChange, kAllSoundOff, 0);
}

void OrvoTunedeck_AudioUnit::resetAllControllers(uint8_t channel) {
    sendChecked(channel, kControlChange, kResetAllControllers, 0);
}

void OrvoTunedeck_AudioUnit::resetProgram(uint8_t channel) { sendChecked(channel, kProgramChange, 0, 0); }

std::shared_ptr<AUMIDIEventEx> OrvoTunedeck_AudioUnit::getMonitorEvents() { return monitor_->popMonitoring(); }

void OrvoTunedeck_AudioUnit::clearMonitoring() { monitor_->reset(); }

void OrvoTunedeck_AudioUnit::startRecorder() {
    // start() alone keeps the last recording's length; the stop before it sets that back to 0.
    recorder_->stop();
    recorder_->start(currentSampletime());
}

void OrvoTunedeck_AudioUnit::stopRecorder() { recorder_->stop(); }

void OrvoTunedeck_AudioUnit::saveRecorder(const std::filesystem::path& url) { recorder_->save(url); }

bool OrvoTunedeck_AudioUnit::isRecording() const { return recorder_->isRecording(); }

int64_t OrvoTunedeck_AudioUnit::getRecorderLength() const { return recorder_->getPosition(); }

std::size_t OrvoTunedeck_AudioUnit::getRecorderCount() const { return recorder_->getCount(); }

std::vector<std::shared_ptr<AUMIDIEventEx>> OrvoTunedeck_AudioUnit::getRecorderEvents() const {
    return recorder_->getEvents();
}

int64_t OrvoTunedeck_AudioUnit::getRecorderTime() const { return currentSampletime() - recorder_->getStartTime(); }
