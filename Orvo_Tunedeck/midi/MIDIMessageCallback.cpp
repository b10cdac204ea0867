#include "Orvo_Tunedeck/midi/MIDIMessageCallback.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shared/globals/Print.h"

namespace {

constexpr std::size_t kDataArea = midi::MIDIPacket::kDataBytes;

// Data bytes that follow a channel status byte.
std::size_t channelDataBytes(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// Data bytes that follow a system common status byte (0xF1 to 0xF7 without 0xF0).
std::size_t commonDataBytes(std::uint8_t status) {
    switch (status) {
        case 0xF1:
        case 0xF3: return 1;
        case 0xF2: return 2;
        default: return 0;
    }
}

// Prints bytes to standard output as one line, "[240, 67, 0]", without allocating.
void printBytes(std::span<const std::uint8_t> bytes) {
    char line[1024];
    std::size_t used = 0;
    ::flockfile(stdout);
    line[used++] = '[';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (used > sizeof line - 8) {
            std::fwrite(line, 1, used, stdout);
            used = 0;
        }
        used += static_cast<std::size_t>(
            std::snprintf(line + used, sizeof line - used, i == 0 ? "%u" : ", %u", static_cast<unsigned>(bytes[i])));
    }
    line[used++] = ']';
    line[used++] = '\n';
    std::fwrite(line, 1, used, stdout);
    std::fflush(stdout);
    ::funlockfile(stdout);
}

}  // namespace

MIDIMessageCallback::MIDIMessageCallback() : sysex_(new std::uint8_t[kMaxSysexBytes]()) {}

void MIDIMessageCallback::handleMIDIMessageCallback(const midi::MIDIPacket& packet) {
    const std::shared_ptr<MIDIMessageDelegate> delegate = delegate_.load();
    if (!delegate) {
        safeprint("MIDIMessageCallback::handleMIDIMessageCallback(): Warnung: MIDI Delegate ist undefiniert. Es "
                  "können keine Ereignisse weitergeleitet werden.");
        return;
    }
    const std::size_t length = std::min<std::size_t>(packet.length, kDataArea);
    const midi::MIDITimeStamp timeStamp = packet.timeStamp;

    std::uint8_t status = 0;  // running channel status, or the system common status being read
    std::uint8_t data[2] = {};
    std::size_t needed = 0;
    std::size_t have = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = packet.data[i];
        if (byte >= 0xF8) {
            realTime(*delegate, timeStamp, byte);
            continue;
        }
        if (sysexOpen_) {
            if (byte < 0x80) {
                sysexByte(byte);
                continue;
            }
            if (byte == 0xF7) {
                sysexByte(byte);
                deliverSysex(*delegate);
                continue;
            }
            dropSysex();
        }
        if (byte == 0xF0) {
            status = 0;
            sysexOpen_ = true;
            sysexTooLong_ = false;
            sysexLength_ = 0;
            sysexTimeStamp_ = timeStamp;
            sysexByte(byte);
            continue;
        }
        if (byte >= 0x80) {
            status = byte;
            have = 0;
            needed = byte < 0xF0 ? channelDataBytes(byte) : commonDataBytes(byte);
            if (byte >= 0xF0 && needed == 0) {
                systemCommon(*delegate, timeStamp, byte, data);
                status = 0;
            }
            continue;
        }
        if (status == 0) {
            continue;
        }
        data[have++] = byte;
        if (have < needed) {
            continue;
        }
        if (status < 0xF0) {
            delegate->onChannelMessage(timeStamp, status, data[0], needed == 2 ? data[1] : 0,
                                       static_cast<std::uint16_t>(needed + 1));
            have = 0;
        } else {
            systemCommon(*delegate, timeStamp, status, data);
            status = 0;
        }
    }
    if (packet.length > kDataArea) {
        safeprint("MIDIMessageCallback::handleMIDIMessageCallback(): MIDI Data Overflow (256) !");
    }
}

void MIDIMessageCallback::realTime(MIDIMessageDelegate& delegate, midi::MIDITimeStamp timeStamp,
                                   std::uint8_t status) {
    switch (status) {
        case 0xF8: delegate.onClock(timeStamp); break;
        case 0xFA: delegate.onStart(timeStamp); break;
        case 0xFB: delegate.onContinue(timeStamp); break;
        case 0xFC: delegate.onStop(timeStamp); break;
        case 0xFE: delegate.onActiveSensing(timeStamp); break;
        case 0xFF: delegate.onSystemReset(timeStamp); break;
        default: break;
    }
}

void MIDIMessageCallback::systemCommon(MIDIMessageDelegate& delegate, midi::MIDITimeStamp timeStamp,
                                       std::uint8_t status, const std::uint8_t* data) {
    switch (status) {
        case 0xF1: delegate.onTimeCode(timeStamp, data[0]); break;
        case 0xF2: delegate.onSongPositionPointer(timeStamp, data[0], data[1]); break;
        case 0xF3: delegate.onSongSelect(timeStamp, data[0]); break;
        case 0xF6: delegate.onTuneRequest(timeStamp); break;
        default: break;
    }
}

void MIDIMessageCallback::sysexByte(std::uint8_t byte) {
    if (sysexLength_ == kMaxSysexBytes) {
        sysexTooLong_ = true;
        return;
    }
    sysex_[sysexLength_++] = byte;
}

void MIDIMessageCallback::deliverSysex(MIDIMessageDelegate& delegate) {
    sysexOpen_ = false;
    if (sysexTooLong_) {
        droppedSysex_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    if (sysexLength_ < kDataArea) {
        std::memset(sysex_.get() + sysexLength_, 0, kDataArea - sysexLength_);
    }
    const std::span<const std::uint8_t> bytes(sysex_.get(), std::max(sysexLength_, kDataArea));
    printBytes(bytes);
    delegate.onSysEx(sysexTimeStamp_, static_cast<std::uint16_t>(sysexLength_), bytes);
}

void MIDIMessageCallback::dropSysex() {
    sysexOpen_ = false;
    droppedSysex_.fetch_add(1, std::memory_order_relaxed);
}
