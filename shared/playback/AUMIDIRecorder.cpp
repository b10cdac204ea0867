#include "shared/playback/AUMIDIRecorder.h"

#include <cmath>

#include "platform/foundation/NumberText.h"
#include "shared/globals/Print.h"

std::shared_ptr<AUMIDIRecorder> AUMIDIRecorder::create() {
    auto recorder = finishCreate(std::shared_ptr<AUMIDIRecorder>(new AUMIDIRecorder()));
    recorder->recorder_->setTempo(120.0, 0.0);
    return recorder;
}

void AUMIDIRecorder::reset() {
    AUMIDIMonitor::reset();
    startTime_ = 0;
    eventPosition_ = 0;
    isStarted_ = false;
}

void AUMIDIRecorder::setSamplerate(double samplerate) {
    if (!(samplerate > 0.0) || !std::isfinite(samplerate)) {
        debugprint("AUMIDIRecorder::setSamplerate() : ERROR: The sample rate " + foundation::numberText(samplerate) +
                   " is invalid.");
        return;
    }
    samplerate_ = samplerate;
}

void AUMIDIRecorder::start(AUEventSampleTime time) {
    clearMonitoring();
    startTime_ = time;
    isStarted_ = true;
}

void AUMIDIRecorder::stop() {
    startTime_ = 0;
    eventPosition_ = 0;
    isStarted_ = false;
}

void AUMIDIRecorder::record(const AUMIDIEventEx& event) {
    if (!isStarted_) {
        return;
    }
    const AUMIDIEvent header = event.event();
    const std::uint8_t type = header.data[0] & 0xF0;
    if ((type == 0x80 || type == 0x90) && header.data[1] == 0) {
        return;
    }
    eventPosition_ = header.eventSampleTime - startTime_;
    AUMIDIEventEx copy(header.eventType, event.data(), event.length(), eventPosition_);
    debugprint("AUMIDIRecorder::record() : Recorded MIDI event: " + describe(copy.event()));
    addMonitoring(copy);
}

void AUMIDIRecorder::save(const std::filesystem::path& url) {
    if (getSize() == 0) {
        debugprint("AUMIDIRecorder::save() : ERROR: The recorder list is empty.");
        return;
    }
    recorder_ = MIDIRecorder::create();
    recorder_->setSampleRate(samplerate_);
    recorder_->setTempo(120.0, 0.0);
    recorder_->start();
    sort();
    // An event of the cycle in which recording started may lie before its start; the file takes it at beat 0.
    for (const auto& event : getEvents()) {
        if (event->pEvent()->eventSampleTime >= 0) {
            recorder_->addAUMIDIEvent(*event);
            continue;
        }
        AUMIDIEventEx early(event->pEvent()->eventType, event->data(), event->length(), 0);
        early.meta = event->meta;
        recorder_->addAUMIDIEvent(early);
    }
    recorder_->stop();
    recorder_->saveToFile(url);
}

std::string AUMIDIRecorder::describe(const AUMIDIEvent& event) {
    return "AUMIDIEvent(next: nil, eventSampleTime: " + std::to_string(event.eventSampleTime) +
           ", eventType: " + std::to_string(event.eventType) + ", reserved: " + std::to_string(event.reserved) +
           ", length: " + std::to_string(event.length) + ", cable: " + std::to_string(event.cable) + ", data: (" +
           std::to_string(event.data[0]) + ", " + std::to_string(event.data[1]) + ", " +
           std::to_string(event.data[2]) + "))";
}
