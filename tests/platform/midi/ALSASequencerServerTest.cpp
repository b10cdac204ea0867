#include "platform/midi/ALSASequencerServer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace midi;

bool sequencerDevicePresent() {
    return ::access("/dev/snd/seq", F_OK) == 0;
}

TEST(ALSASequencerServer, WithoutTheSequencerDeviceOpeningFailsClearly) {
    if (sequencerDevicePresent()) {
        GTEST_SKIP() << "this machine has /dev/snd/seq";
    }
    OSStatus status = foundation::noErr;
    std::string error;
    EXPECT_EQ(openALSASequencer(&status, &error), nullptr);
    EXPECT_EQ(status, kMIDIServerStartErr);
    EXPECT_EQ(error, "the ALSA sequencer is not available: /dev/snd/seq does not exist");
    EXPECT_EQ(MIDIServer::systemDefault()->backendName(), "loopback");
}

TEST(ALSASequencerServer, AVirtualSourceReachesAConnectedInputPortThroughTheKernel) {
    if (!sequencerDevicePresent()) {
        GTEST_SKIP() << "no /dev/snd/seq on this machine";
    }
    OSStatus status = foundation::noErr;
    std::string error;
    const std::shared_ptr<MIDIServer> sender = openALSASequencer(&status, &error);
    const std::shared_ptr<MIDIServer> receiver = openALSASequencer(&status, &error);
    ASSERT_TRUE(sender && receiver) << error;
    MIDIClientRef senderClient = 0;
    MIDIClientRef receiverClient = 0;
    MIDIEndpointRef source = 0;
    MIDIPortRef input = 0;
    std::atomic<int> notes{0};
    ASSERT_EQ(sender->clientCreate("tunedeck test sender", [](const MIDINotification&) {}, &senderClient), 0);
    ASSERT_EQ(receiver->clientCreate("tunedeck test receiver", [](const MIDINotification&) {}, &receiverClient), 0);
    ASSERT_EQ(sender->sourceCreate(senderClient, "out", &source), 0);
    ASSERT_EQ(receiver->inputPortCreate(receiverClient, "in",
                                        [&](MIDIPacketList list, void*) {
                                            for (const MIDIPacket& p : list) {
                                                if (p.length == 3 && p.data[0] == 0x90 && p.data[1] == 60) {
                                                    ++notes;
                                                }
                                            }
                                        },
                                        &input), 0);
    ASSERT_EQ(receiver->portConnectSource(input, source, nullptr), 0);
    MIDIPacket note;
    note.length = 3;
    note.data[0] = 0x90;
    note.data[1] = 60;
    note.data[2] = 100;
    ASSERT_EQ(sender->received(source, MIDIPacketList(&note, 1)), 0);
    for (int i = 0; i < 200 && notes == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(notes, 1);
}

}  // namespace
