// The application's MIDI input parser over a list of packets cut from the input: each packet is a length byte (a
// flag in the next byte adds 256 times its upper seven bits, so that lengths past the packet's data area come up)
// and as many data bytes as that length and the input allow. A delegate checks every message handed to it and aborts
// on one that MIDI does not allow.
#include "Orvo_Tunedeck/midi/MIDIMessageCallback.h"
#include "fuzz/FuzzInput.h"
#include "platform/dispatch/MainQueue.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool isData(std::uint8_t byte) {
    return byte < 0x80;
}

// Every message must be well formed, and the other messages come in the order of their packets' time stamps.
class CheckingDelegate : public MIDIMessageDelegate {
public:
    void onChannelMessage(midi::MIDITimeStamp time, std::uint8_t status, std::uint8_t data1, std::uint8_t data2,
                          std::uint16_t length) override {
        ordered(time);
        require(status >= 0x80 && status <= 0xEF && isData(data1) && isData(data2));
        const bool oneDataByte = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0;
        require(oneDataByte ? length == 2 && data2 == 0 : length == 3);
    }
    // A system-exclusive message carries the time of its first packet, which real-time bytes may have passed.
    void onSysEx(midi::MIDITimeStamp, std::uint16_t length, std::span<const std::uint8_t> data) override {
        require(length >= 2 && data.size() >= length && data.size() >= midi::MIDIPacket::kDataBytes);
        require(data[0] == 0xF0 && data[length - 1] == 0xF7);
        require(std::all_of(data.begin() + 1, data.begin() + length - 1, isData));
    }
    void onTimeCode(midi::MIDITimeStamp time, std::uint8_t data1) override { require(ordered(time) && isData(data1)); }
    void onSongPositionPointer(midi::MIDITimeStamp time, std::uint8_t data1, std::uint8_t data2) override {
        require(ordered(time) && isData(data1) && isData(data2));
    }
    void onSongSelect(midi::MIDITimeStamp time, std::uint8_t data1) override {
        require(ordered(time) && isData(data1));
    }
    void onTuneRequest(midi::MIDITimeStamp time) override { ordered(time); }
    void onClock(midi::MIDITimeStamp time) override { ordered(time); }
    void onStart(midi::MIDITimeStamp time) override { ordered(time); }
    void onContinue(midi::MIDITimeStamp time) override { ordered(time); }
    void onStop(midi::MIDITimeStamp time) override { ordered(time); }
    void onActiveSensing(midi::MIDITimeStamp time) override { ordered(time); }
    void onSystemReset(midi::MIDITimeStamp time) override { ordered(time); }
    void onMIDINotification() override { std::abort(); } // the parser never sends it

private:
    bool ordered(midi::MIDITimeStamp time) {
        require(time >= last_);
        last_ = time;
        return true;
    }

    midi::MIDITimeStamp last_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MIDIMessageCallback parser;
    parser.setDelegate(std::make_shared<CheckingDelegate>());
    std::size_t at = 0;
    midi::MIDITimeStamp time = 0;
    while (at + 2 <= size) {
        midi::MIDIPacket packet;
        packet.timeStamp = ++time;
        const std::size_t claimed = data[at] + (data[at + 1] & 1 ? 256u * (data[at + 1] >> 1) : 0u);
        at += 2;
        const std::size_t taken = std::min({claimed, midi::MIDIPacket::kDataBytes, size - at});
        std::copy(data + at, data + at + taken, packet.data);
        packet.length = static_cast<std::uint16_t>(claimed);
        at += taken;
        parser.handleMIDIMessageCallback(packet);
    }
    // The parser reports overflows through the main queue: its lines go now, so that none pile up.
    dispatch::MainQueue::shared().drain();
    return 0;
}
