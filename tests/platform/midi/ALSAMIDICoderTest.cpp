// MIDI bytes through the ALSA back end's coder (bytes to sequencer events and back) and, where the machine has a
// kernel sequencer, through the kernel from an output port to a virtual destination: every message comes back
// once, with exactly its own bytes.

#include "platform/midi/ALSAMIDICoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/midi/ALSASequencerServer.h"

namespace {

using namespace midi;
using Bytes = std::vector<std::uint8_t>;

// F0 7D, a counting body, F7: length bytes in all.
Bytes sysexOf(std::size_t length) {
    Bytes bytes{0xF0, 0x7D};
    for (std::size_t i = 0; bytes.size() + 1 < length; ++i) bytes.push_back(static_cast<std::uint8_t>(i % 128));
    bytes.push_back(0xF7);
    return bytes;
}

Bytes longSysex() { return sysexOf(1000); }

// Around one event's and one packet's size and up to the longest message a render event carries.
constexpr std::size_t kSysexLengths[] = {224, 255, 256, 257, 1000, 4000, 65535};

// What goes in, as packets, and the messages that must come out.
struct Traffic {
    std::vector<Bytes> packets;
    std::vector<Bytes> messages;
};

Traffic traffic() {
    const Bytes sysex = longSysex();
    return {{{0xC3, 0x05}, {0xD2, 0x40}, {0xE1, 0x00, 0x40}, sysex, {0x90, 0x3C, 0x64, 0x3E, 0x64}, {0xC3, 0x00}},
            {{0xC3, 0x05}, {0xD2, 0x40}, {0xE1, 0x00, 0x40}, sysex, {0x90, 0x3C, 0x64}, {0x90, 0x3E, 0x64},
             {0xC3, 0x00}}};
}

// Joins decoded packets into messages: system-exclusive parts until their 0xF7, other packets as they are.
class Reassembly {
public:
    void add(MIDIPacketList packets) {
        std::lock_guard lock(mutex_);
        for (const MIDIPacket& packet : packets) {
            const Bytes bytes(packet.data, packet.data + packet.length);
            if (open_.empty() && bytes.front() != 0xF0) {
                messages_.push_back(bytes);
                continue;
            }
            open_.insert(open_.end(), bytes.begin(), bytes.end());
            if (open_.back() == 0xF7) messages_.push_back(std::exchange(open_, {}));
        }
    }
    std::vector<Bytes> messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    std::mutex mutex_;
    Bytes open_;
    std::vector<Bytes> messages_;
};

TEST(ALSAMIDICoder, EveryMessageComesBackOnceWithItsOwnBytes) {
    std::string error;
    const auto coder = ALSAMIDICoder::make(&error);
    ASSERT_TRUE(coder) << error;
    const Traffic sent = traffic();
    Reassembly received;
    std::size_t events = 0;
    for (const Bytes& packet : sent.packets) {
        coder->resetEncoder();
        ASSERT_TRUE(coder->encode(packet, [&](snd_seq_event_t& event) {
            ++events;
            if (event.type == SND_SEQ_EVENT_SYSEX) {
                EXPECT_LE(event.data.ext.len, ALSAMIDICoder::kChunkBytes);
            }
            coder->decode(event, [&](MIDIPacketList packets) { received.add(packets); });
            return true;
        }));
    }
    EXPECT_EQ(received.messages(), sent.messages);
    // The 1,000-byte message travels as four events of at most 256 bytes.
    EXPECT_EQ(events, sent.messages.size() - 1 + 4);
}

TEST(ALSAMIDICoder, SystemExclusiveOfAnyLengthTravelsInEventsOfAtMostAChunkAndComesBackWhole) {
    std::string error;
    const auto coder = ALSAMIDICoder::make(&error);
    ASSERT_TRUE(coder) << error;
    for (const std::size_t length : kSysexLengths) {
        const Bytes sysex = sysexOf(length);
        Reassembly received;
        std::size_t events = 0;
        coder->resetEncoder();
        ASSERT_TRUE(coder->encode(sysex, [&](snd_seq_event_t& event) {
            ++events;
            EXPECT_EQ(event.type, SND_SEQ_EVENT_SYSEX);
            EXPECT_LE(event.data.ext.len, ALSAMIDICoder::kChunkBytes);
            coder->decode(event, [&](MIDIPacketList packets) { received.add(packets); });
            return true;
        }));
        EXPECT_EQ(received.messages(), std::vector<Bytes>{sysex}) << length;
        EXPECT_EQ(events, (length + ALSAMIDICoder::kChunkBytes - 1) / ALSAMIDICoder::kChunkBytes) << length;
    }
}

TEST(ALSAMIDICoder, ASystemExclusiveMessageContinuesAcrossPackets) {
    std::string error;
    const auto coder = ALSAMIDICoder::make(&error);
    ASSERT_TRUE(coder) << error;
    const Bytes sysex = longSysex();
    Reassembly received;
    const auto decode = [&](snd_seq_event_t& event) {
        coder->decode(event, [&](MIDIPacketList packets) { received.add(packets); });
        return true;
    };
    coder->resetEncoder();
    coder->encode(std::span(sysex).first(300), decode);
    coder->encode(std::span(sysex).subspan(300), decode);
    EXPECT_EQ(received.messages(), std::vector<Bytes>{sysex});
}

TEST(ALSAMIDICoder, ThroughTheKernelSequencer) {
    if (::access("/dev/snd/seq", F_OK) != 0) {
        GTEST_SKIP() << "no kernel sequencer (/dev/snd/seq) on this machine: only the coder was tested";
    }
    OSStatus status = foundation::noErr;
    std::string error;
    const std::shared_ptr<MIDIServer> server = openALSASequencer(&status, &error);
    ASSERT_TRUE(server) << error;
    MIDIClientRef client = 0;
    MIDIPortRef output = 0;
    MIDIEndpointRef destination = 0;
    Reassembly received;
    ASSERT_EQ(server->clientCreate("tunedeck coder test", [](const MIDINotification&) {}, &client), 0);
    ASSERT_EQ(server->outputPortCreate(client, "out", &output), 0);
    ASSERT_EQ(server->destinationCreate(
                  client, "in", [&](MIDIPacketList packets, void*) { received.add(packets); }, &destination),
              0);
    Traffic sent = traffic();
    for (const std::size_t length : kSysexLengths) {
        sent.packets.push_back(sysexOf(length));
        sent.messages.push_back(sysexOf(length));
    }
    for (const Bytes& bytes : sent.packets) {
        if (bytes.front() == 0xF0) {
            MIDISysexSendRequest request;
            request.destination = destination;
            request.data = bytes.data();
            request.bytesToSend = static_cast<std::uint32_t>(bytes.size());
            ASSERT_EQ(server->sendSysex(&request), 0);
            while (!request.complete) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            EXPECT_EQ(request.bytesToSend, 0u) << bytes.size() << " bytes went out whole";
            continue;
        }
        MIDIPacket packet;
        packet.length = static_cast<std::uint16_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), packet.data);
        ASSERT_EQ(server->send(output, destination, MIDIPacketList(&packet, 1)), 0);
    }
    for (int i = 0; i < 500 && received.messages().size() < sent.messages.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(received.messages(), sent.messages);
}

}  // namespace
