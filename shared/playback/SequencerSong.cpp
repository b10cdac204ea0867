#include "shared/playback/SequencerSong.h"

#include <algorithm>

std::size_t SequencerSong::firstIndexAtOrAfter(AUEventSampleTime sampleTime) const noexcept {
    const auto found = std::partition_point(events.begin(), events.end(), [sampleTime](const auto& event) {
        return event->pEvent()->eventSampleTime < sampleTime;
    });
    return static_cast<std::size_t>(found - events.begin());
}

std::shared_ptr<AUMIDIEventEx> copyEvent(const AUMIDIEventEx& event, std::uint8_t channel) {
    const AUMIDIEvent header = event.event();
    auto copy = std::make_shared<AUMIDIEventEx>(header.eventType, event.data(), event.length(), header.eventSampleTime);
    copy->setEvent(header);
    copy->id = event.id;
    copy->beats = event.beats;
    copy->duration = event.duration;
    copy->meta = event.meta;
    const std::uint8_t status = event.length() > 0 ? event.data()[0] : 0;
    if (channel < 16 && status >= 0x80 && status <= 0xEF) {
        copy->data()[0] = static_cast<std::uint8_t>((status & 0xF0) + channel);
    }
    return copy;
}
