#include "shared/playback/AUMIDISequencer.h"

#include <cstring>

#include "platform/audiounit/MIDIMessageLength.h"
#include "shared/globals/Print.h"

// Messages queued for the next cycle, and the channel controls: the player's channel, mute, solo and the status
// filter.

namespace {

constexpr std::uint8_t kAllNotesOff = 123;
constexpr std::uint8_t kResetAllControllers = 121;
constexpr std::uint8_t kSustain = 64;

}  // namespace

// Queued messages

void AUMIDISequencer::queueMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Message;
    command.eventType = AURenderEventMIDI;
    command.cable = kCable;
    command.length = midiMessageLength(status);
    command.bytes[0] = status;
    command.bytes[1] = data1;
    command.bytes[2] = data2;
    push(command);
}

void AUMIDISequencer::queueChannelMask() {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetChannelMask;
    command.mask = channelMask_;
    push(command);
}

void AUMIDISequencer::sendEvent(std::uint8_t channel, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    const unsigned statusByte = unsigned{status} + channel;
    if (statusByte > 0xFF) {
        debugprint("AUMIDISequencer::sendEvent() : ERROR: The status " + std::to_string(status) + " plus the channel " +
                   std::to_string(channel) + " does not fit in a byte; the message is not sent.");
        return;
    }
    queueMessage(static_cast<std::uint8_t>(statusByte), data1, data2);
}

void AUMIDISequencer::sendEvent(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.size() > SequencerCommand::kMaxBytes) {
        debugprint("AUMIDISequencer::sendEvent() : ERROR: A message of " + std::to_string(data.size()) +
                   " bytes cannot be sent (1 to " + std::to_string(SequencerCommand::kMaxBytes) + " bytes).");
        return;
    }
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::Message;
    command.eventType = AURenderEventMIDISysEx;
    command.cable = 0;
    command.length = static_cast<std::uint16_t>(data.size());
    std::memcpy(command.bytes, data.data(), data.size());
    push(command);
}

void AUMIDISequencer::allNotesOff(std::uint8_t channel) {
    sendEvent(channel, 0xB0, kAllNotesOff, 0);
}

void AUMIDISequencer::allNotesOff() {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::AllNotesOff;
    push(command);
}

void AUMIDISequencer::allSoundsOff(std::uint8_t channel) {
    allNotesOff(channel);
}

void AUMIDISequencer::allSoundsOff() {
    allNotesOff();
}

void AUMIDISequencer::resetProgram(std::uint8_t channel) {
    sendEvent(channel, 0xC0, 0, 0);
}

void AUMIDISequencer::resetPrograms() {
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        resetProgram(channel);
    }
}

void AUMIDISequencer::resetControllers(std::uint8_t channel) {
    sendEvent(channel, 0xB0, kResetAllControllers, 0);
    sendEvent(channel, 0xB0, kSustain, 0);
}

void AUMIDISequencer::resetControllers() {
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        resetControllers(channel);
    }
}

// Channel control

void AUMIDISequencer::setChannel(std::uint8_t channel) {
    if (channel >= 16) {
        debugprint("AUMIDISequencer::ERROR: The channel is invalid.");
        return;
    }
    currentChannel_ = channel;
    for (Loaded* held : {&loaded_, &staged_}) {
        if (!held->song) {
            continue;
        }
        auto song = std::make_shared<SequencerSong>();
        song->generation = nextGeneration_++;
        song->events.reserve(held->song->size());
        for (const auto& event : held->song->events) {
            song->events.push_back(copyEvent(*event, channel));
        }
        SequencerCommand command;
        command.kind = SequencerCommand::Kind::ReplaceSong;
        command.generation = held->song->generation;
        command.value = 1.0;
        held->song = retain(song, issuedSerial_ + 1);
        command.song = held->song.get();
        push(command);
    }
}

void AUMIDISequencer::mute(std::uint8_t channel) {
    if (channel < 16) {
        channelMask_ &= ~(1U << channel);
        queueChannelMask();
    }
    sendEvent(channel, 0xB0, kAllNotesOff, 0);
}

void AUMIDISequencer::unmute(std::uint8_t channel) {
    if (channel < 16) {
        channelMask_ |= 1U << channel;
        queueChannelMask();
    }
}

void AUMIDISequencer::unmuteAll() {
    channelMask_ = kAllChannels;
    queueChannelMask();
}

void AUMIDISequencer::muteAll() {
    channelMask_ = 0;
    queueChannelMask();
    allNotesOff();
}

void AUMIDISequencer::solo(std::uint8_t channel) {
    unmuteAll();
    for (std::uint8_t other = 0; other < 16; ++other) {
        if (other != channel) {
            sendEvent(other, 0xB0, kAllNotesOff, 0);
        }
    }
}

void AUMIDISequencer::transpose(int) {}

void AUMIDISequencer::setStatusFilter(const std::vector<std::uint8_t>& statuses) {
    SequencerCommand command;
    command.kind = SequencerCommand::Kind::SetStatusMask;
    for (const std::uint8_t status : statuses) {
        command.mask |= 1U << (status >> 4);
    }
    push(command);
}

std::vector<std::uint8_t> AUMIDISequencer::channelFilter() const {
    std::vector<std::uint8_t> channels;
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        if ((channelMask_ & (1U << channel)) != 0) {
            channels.push_back(channel);
        }
    }
    return channels;
}
