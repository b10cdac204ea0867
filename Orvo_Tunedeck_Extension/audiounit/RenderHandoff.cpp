#include "Orvo_Tunedeck_Extension/audiounit/RenderHandoff.h"

#include <cstring>
#include <string>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

RenderHandoff::RenderHandoff(ParameterHandler parameterHandler, void* parameterContext,
                             std::shared_ptr<AUMIDIMonitor> monitor, std::shared_ptr<AUMIDIRecorder> recorder)
    : RenderHandoff(parameterHandler, parameterContext, std::move(monitor), std::move(recorder), Room{}) {}

RenderHandoff::RenderHandoff(ParameterHandler parameterHandler, void* parameterContext,
                             std::shared_ptr<AUMIDIMonitor> monitor, std::shared_ptr<AUMIDIRecorder> recorder,
                             Room room)
    : parameterHandler_(parameterHandler),
      parameterContext_(parameterContext),
      monitor_(std::move(monitor)),
      recorder_(std::move(recorder)),
      parameters_(room.parameterAddresses),
      records_(room.records),
      lines_("RenderHandoff", kLineCapacity),
      byteCount_(room.bytes < 1 ? 1 : room.bytes),
      bytes_(std::make_unique_for_overwrite<std::uint8_t[]>(byteCount_)) {
    dispatch::MainQueue::shared().attach(*this);
    dispatch::MainQueue::shared().attach(lines_);
}

RenderHandoff::~RenderHandoff() {
    dispatch::MainQueue::shared().detach(lines_);
    dispatch::MainQueue::shared().detach(*this);
}

bool RenderHandoff::pushParameter(AUParameterAddress address, AUValue value) noexcept {
    // A change of an address that waits in the mailbox joins it there, so that no older value comes after it.
    const std::uint64_t sequence = ++parameterChanges_;
    if (parameters_.replaceWaiting(address, value) || records_.push(Record{0, address, sequence, 0, value, 0, true}) ||
        parameters_.put(address, value, sequence)) {
        return true;
    }
    lostParameters_.fetch_add(1, std::memory_order_relaxed);
    return false;
}

bool RenderHandoff::pushMonitored(std::uint8_t type, const std::uint8_t* bytes, std::uint32_t length,
                                  AUEventSampleTime time) noexcept {
    const std::uint64_t size = byteCount_;
    // A message that would run past the end of the store starts at its beginning; the bytes skipped go with it.
    const std::uint64_t offset = written_ % size;
    const std::uint64_t start = offset + length > size ? written_ + (size - offset) : written_;
    if (length > size || start + length - released_.load(std::memory_order_acquire) > size) {
        droppedMessages_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    std::memcpy(bytes_.get() + start % size, bytes, length);
    if (!records_.push(Record{time, start, 0, length, 0.0f, type, false})) {
        droppedMessages_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    written_ = start + length;
    return true;
}

bool RenderHandoff::pushLine(std::string_view line) noexcept { return lines_.push(line); }

std::uint64_t RenderHandoff::droppedCount() const noexcept {
    return lines_.droppedCount() + droppedMessages_.load(std::memory_order_relaxed) +
           lostParameters_.load(std::memory_order_relaxed);
}

bool RenderHandoff::runOne() {
    Record record;
    bool ran = false;
    if (records_.pop(record)) {
        if (!record.parameter) {
            deliverMessage(record);
        } else if (parameters_.admit(record.start, record.sequence)) {
            parameterHandler_(parameterContext_, record.start, record.value);
        }
        ran = true;
    } else {
        ran = parameters_.takeWaiting(parameterHandler_, parameterContext_) > 0;
    }
    reportDrops();
    return ran;
}

void RenderHandoff::deliverWaiting() {
    while (runOne()) {
    }
    while (lines_.runOne()) {
    }
}

void RenderHandoff::deliverMessage(const Record& record) {
    const AUMIDIEventEx copy(record.type, bytes_.get() + record.start % byteCount_, record.length, record.time);
    released_.store(record.start + record.length, std::memory_order_release);
    monitor_->addMonitoring(copy);
    if (recorder_->isRecording()) {
        recorder_->record(copy);
    }
}

void RenderHandoff::reportDrops() {
    reportDrop(droppedMessages_.load(std::memory_order_relaxed), reportedMessages_,
               " copies of sent MIDI messages found no room on their way to the monitor and the recorder and were "
               "dropped.");
    reportDrop(lostParameters_.load(std::memory_order_relaxed), reportedParameters_,
               " host parameter changes were lost: every address slot held another address.");
}

void RenderHandoff::reportDrop(std::uint64_t count, std::uint64_t& reported, const char* what) {
    if (count != reported) {
        foundation::writeLogLine("RenderHandoff : " + std::to_string(count - reported) + what);
        reported = count;
    }
}
