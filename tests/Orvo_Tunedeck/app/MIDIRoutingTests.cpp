// MIDI through the whole application on the in-process MIDI system: a source switched on plays the hosted
// instrument from its own thread, and what the instrument sends out reaches the destinations switched on.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "Orvo_Tunedeck/app/AppDelegate.h"
#include "Orvo_Tunedeck/app/ViewController.h"
#include "Orvo_Tunedeck/midi/MIDIConnection.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "platform/midi/LoopbackServer.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"

namespace {

constexpr uint32_t kBlock = 512;

midi::MIDIPacket packet(std::vector<uint8_t> bytes) {
    midi::MIDIPacket made;
    made.length = static_cast<uint16_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), made.data);
    return made;
}

// A system-exclusive message of length bytes: F0 7D, a counting body, F7.
std::vector<uint8_t> sysexOf(size_t length) {
    std::vector<uint8_t> bytes{0xF0, 0x7D};
    while (bytes.size() + 1 < length) bytes.push_back(static_cast<uint8_t>(bytes.size() % 128));
    bytes.push_back(0xF7);
    return bytes;
}

// The message in packets as full as a packet holds, as a MIDI input thread delivers it.
std::vector<midi::MIDIPacket> sysexPackets(const std::vector<uint8_t>& sysex) {
    std::vector<midi::MIDIPacket> packets;
    for (size_t from = 0; from < sysex.size(); from += midi::MIDIPacket::kDataBytes) {
        const size_t to = std::min(sysex.size(), from + midi::MIDIPacket::kDataBytes);
        packets.push_back(packet({sysex.begin() + static_cast<std::ptrdiff_t>(from),
                                  sysex.begin() + static_cast<std::ptrdiff_t>(to)}));
    }
    return packets;
}

class MIDIRouting : public ::testing::Test {
protected:
    void SetUp() override {
        loopback = dynamic_cast<midi::LoopbackServer*>(&MIDIConnection::shared().server());
        if (loopback == nullptr) GTEST_SKIP() << "this machine has an ALSA sequencer; the routing runs in-process only";
        environment.set("TUNEDECK_DOCUMENTS", (folder.path() / "Documents").string());
        AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
        appDelegate.launchSetup();
        controller = std::make_shared<ViewController>();
        controller->viewDidLoad(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
        dispatch::MainQueue::shared().drain();
        ASSERT_TRUE(controller->player->engine->isRunning());
    }
    void TearDown() override {
        if (loopback == nullptr) return;
        appDelegate.terminateTeardown();
        MIDIConnection::shared().setDelegate(nullptr);
        dispatch::MainQueue::shared().drain();
    }

    double render(int blocks) {
        std::vector<float> left(kBlock), right(kBlock);
        double energy = 0.0;
        for (int block = 0; block < blocks; ++block) {
            controller->player->engine->renderOffline(kBlock, left.data(), right.data());
            for (const float sample : left) energy += static_cast<double>(sample) * sample;
            dispatch::MainQueue::shared().drain();
        }
        return energy;
    }

    // Plugs in a source and a destination and switches both on.
    void plugIn(bool destinationOn) {
        source = loopback->plugInSource("Keyboard");
        destination = loopback->plugInDestination("Sound Module");
        dispatch::MainQueue::shared().drain();
        MIDIConnection& connection = MIDIConnection::shared();
        connection.refreshInputs();
        connection.refreshOutputs();
        connection.connectInput(source);
        connection.setOutputActive(destination, destinationOn);
    }

    // The source sends from a thread of its own, as a MIDI input thread does.
    void sendFromSource(std::vector<midi::MIDIPacket> packets) {
        std::thread input([&] { loopback->sendFromSource(source, packets); });
        input.join();
    }

    testsupport::TestFolder folder;
    testsupport::ScopedEnvironment environment;
    midi::LoopbackServer* loopback = nullptr;
    AppDelegate appDelegate;
    std::shared_ptr<ViewController> controller;
    midi::MIDIEndpointRef source = 0;
    midi::MIDIEndpointRef destination = 0;
};

TEST_F(MIDIRouting, SourceNotesSoundAndTheInstrumentOutputReachesTheDestination) {
    plugIn(true);
    EXPECT_LT(render(2), 1e-9);
    // A system-exclusive message split over two packets, as an input thread may deliver it.
    std::vector<uint8_t> sysex{0xF0, 0x7D};
    while (sysex.size() < 199) sysex.push_back(static_cast<uint8_t>(sysex.size() % 128));
    sysex.push_back(0xF7);
    sendFromSource({packet({0xC0, 5}), packet({0xD0, 0x40}), packet({0xE0, 0x00, 0x40}),
                    packet({sysex.begin(), sysex.begin() + 120}), packet({sysex.begin() + 120, sysex.end()}),
                    packet({0x90, 69, 110})});
    EXPECT_GT(render(40), 1e-3);

    std::vector<std::vector<uint8_t>> sent;
    for (const midi::MIDIPacket& out : loopback->delivered(destination).packets)
        sent.emplace_back(out.data, out.data + out.length);
    // Each message reached the instrument and leaves it with exactly its own bytes, once.
    for (const std::vector<uint8_t>& message : std::vector<std::vector<uint8_t>>{
             {0xC0, 5}, {0xD0, 0x40}, {0xE0, 0x00, 0x40}, {0x90, 69, 110}})
        EXPECT_EQ(std::count(sent.begin(), sent.end(), message), 1) << int(message[0]);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::vector<uint8_t>{0xC0, 0}), 0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::vector<uint8_t>{0xC0, 5, 0}), 0);
    while (loopback->completeNextSysex()) dispatch::MainQueue::shared().drain();
    EXPECT_EQ(loopback->delivered(destination).sysex, std::vector<std::vector<uint8_t>>{sysex});
}

TEST_F(MIDIRouting, AKilobyteOfSystemExclusiveReachesTheInstrumentWhole) {
    plugIn(false);
    std::vector<midi::MIDIPacket> packets = sysexPackets(sysexOf(1024));
    packets.push_back(packet({0x90, 69, 110}));
    sendFromSource(packets);
    EXPECT_GT(render(20), 1e-3) << "the note after it plays";
    EXPECT_EQ(controller->player->instrument->audioUnit0->droppedScheduledMIDICount(), 0U);
}

// Around the sizes where a message once stopped (one hand-off entry, one 256-byte record or packet) and up to the
// longest a render event carries: what the keyboard sends, the instrument sends on, and it reaches the destination
// whole, once.
TEST_F(MIDIRouting, TheInstrumentsSystemExclusiveOutputOfAnyLengthReachesTheDestinationWhole) {
    plugIn(true);
    std::vector<std::vector<uint8_t>> expected;
    for (const size_t length : {224u, 255u, 256u, 257u, 1000u, 4000u, 65535u}) {
        expected.push_back(sysexOf(length));
        sendFromSource(sysexPackets(expected.back()));
        render(4);
        while (loopback->completeNextSysex()) dispatch::MainQueue::shared().drain();
    }
    EXPECT_EQ(loopback->delivered(destination).sysex, expected);
    EXPECT_TRUE(loopback->delivered(destination).packets.empty());
    EXPECT_EQ(controller->player->instrument->audioUnit0->droppedScheduledMIDICount(), 0U);
}

// Messages handed on faster than the main queue takes them: what finds no room in the hand-off is reported, and what
// went reaches the destination whole.
TEST_F(MIDIRouting, AnInstrumentMessageWithoutRoomToTheMainQueueIsLogged) {
    plugIn(true);
    foundation::LogCapture log;
    const std::vector<uint8_t> sysex = sysexOf(65535);
    const auto length = static_cast<int64_t>(sysex.size());
    for (int i = 0; i < 4; ++i) controller->player->onMIDI(nullptr, 0, 0, length, sysex.data());
    dispatch::MainQueue::shared().drain();
    while (loopback->completeNextSysex()) dispatch::MainQueue::shared().drain();
    EXPECT_EQ(loopback->delivered(destination).sysex, std::vector<std::vector<uint8_t>>(3, sysex));
    const std::vector<std::string> lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "AudioEngine::onMIDI() : ERROR: 1 MIDI message(s) of the instrument were not sent (the last "
                         "of them 65535 bytes): no room to hand them to the main queue."),
              1);
}

TEST_F(MIDIRouting, DestinationSwitchedOffReceivesNothing) {
    plugIn(false);
    sendFromSource({packet({0x90, 60, 100})});
    EXPECT_GT(render(20), 1e-3);
    EXPECT_TRUE(loopback->delivered(destination).packets.empty());
}

}  // namespace
