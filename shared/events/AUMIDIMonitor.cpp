#include "shared/events/AUMIDIMonitor.h"

#include <algorithm>

#include "shared/events/MIDIBytes.h"

namespace {

bool isNoteStatus(std::uint8_t status) {
    return status >= 0x80 && status <= 0xAF;
}

bool isControllerStatus(std::uint8_t status) {
    return (status & 0xF0) == 0xB0;
}

std::uint8_t recordByte(const AUMIDIEventEx& event, std::size_t index) {
    return index < event.length() ? event.data()[index] : 0;
}

}  // namespace

std::shared_ptr<AUMIDIMonitor> AUMIDIMonitor::create(bool autoClear) {
    return finishCreate(std::shared_ptr<AUMIDIMonitor>(new AUMIDIMonitor(autoClear)));
}

AUMIDIMonitor::AUMIDIMonitor(bool autoClear) : queue_("AUMIDIMonitor"), autoClear_(autoClear) {
    inputList_.reserve(MAXEVENTS + 1);
}

void AUMIDIMonitor::reset() {
    queue_.sync([this] { clearLocked(); });
}

void AUMIDIMonitor::clearMonitoring() {
    queue_.sync([this] { clearLocked(); });
}

void AUMIDIMonitor::clearLocked() noexcept {
    inputList_.clear();
    runningNotes_.clear();
}

void AUMIDIMonitor::addMonitoring(const AUMIDIEventEx& event) {
    const AUMIDIEvent header = event.event();
    auto copy = std::make_shared<AUMIDIEventEx>(header.eventType, event.array(), header.length, header.eventSampleTime);
    queue_.sync([&] {
        inputList_.push_back(copy);
        trackEvents(*copy);
        if (autoClear() && inputList_.size() > MAXEVENTS) {
            clearLocked();
        }
    });
}

std::size_t AUMIDIMonitor::getSize() const {
    return queue_.sync([this] { return inputList_.size(); });
}

std::vector<std::shared_ptr<AUMIDIEventEx>> AUMIDIMonitor::getEvents() const {
    return queue_.sync([this] { return inputList_; });
}

std::shared_ptr<AUMIDIEventEx> AUMIDIMonitor::popMonitoring() {
    return queue_.sync([this]() -> std::shared_ptr<AUMIDIEventEx> {
        if (inputList_.empty()) {
            return nullptr;
        }
        std::shared_ptr<AUMIDIEventEx> oldest = std::move(inputList_.front());
        inputList_.erase(inputList_.begin());
        return oldest;
    });
}

void AUMIDIMonitor::sort() {
    queue_.sync([this] {
        std::stable_sort(inputList_.begin(), inputList_.end(), [](const auto& a, const auto& b) {
            return a->pEvent()->eventSampleTime < b->pEvent()->eventSampleTime;
        });
    });
}

void AUMIDIMonitor::trackEvents(const AUMIDIEventEx& event) noexcept {
    runningNotes_.track(event.data(), event.length(), event.pEvent()->eventSampleTime);
}

std::vector<std::shared_ptr<AUMIDIEventEx>> AUMIDIMonitor::getRunningNotes() const {
    return runningNotes_.snapshot();
}

bool AUMIDIMonitor::isNote(const AUMIDIEventEx& event) noexcept {
    return isNoteStatus(recordByte(event, 0));
}

bool AUMIDIMonitor::isNote(const AUMIDIEvent& event) noexcept {
    return isNoteStatus(midiStatus(event));
}

bool AUMIDIMonitor::isController(const AUMIDIEventEx& event) noexcept {
    return isControllerStatus(recordByte(event, 0));
}

bool AUMIDIMonitor::isController(const AUMIDIEvent& event) noexcept {
    return isControllerStatus(midiStatus(event));
}

bool AUMIDIMonitor::isController(const AUMIDIEventEx& event, std::uint8_t controller) noexcept {
    return isControllerStatus(recordByte(event, 0)) && recordByte(event, 1) == controller;
}

bool AUMIDIMonitor::isController(const AUMIDIEvent& event, std::uint8_t controller) noexcept {
    return isControllerStatus(midiStatus(event)) && midiByte(event, 1) == controller;
}
