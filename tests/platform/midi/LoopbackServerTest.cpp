#include "platform/midi/LoopbackServer.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using namespace midi;

MIDIPacket packet(std::initializer_list<std::uint8_t> bytes) {
    MIDIPacket p;
    p.length = static_cast<std::uint16_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), p.data);
    return p;
}

struct Client {
    LoopbackServer server;
    MIDIClientRef client = 0;
    MIDIPortRef input = 0;
    MIDIPortRef output = 0;
    std::vector<MIDINotification> notifications;
    std::vector<std::vector<std::uint8_t>> received;

    Client() {
        EXPECT_EQ(server.clientCreate("test", [this](const MIDINotification& n) { notifications.push_back(n); },
                                      &client), foundation::noErr);
        EXPECT_EQ(server.inputPortCreate(client, "in",
                                         [this](MIDIPacketList list, void*) {
                                             for (const MIDIPacket& p : list) {
                                                 received.emplace_back(p.data, p.data + p.length);
                                             }
                                         },
                                         &input), foundation::noErr);
        EXPECT_EQ(server.outputPortCreate(client, "out", &output), foundation::noErr);
    }
};

TEST(LoopbackServer, PluggingAndUnpluggingNotifiesAddedOrRemovedThenSetupChanged) {
    Client c;
    const MIDIEndpointRef keyboard = c.server.plugInSource("Keyboard");
    const MIDIEndpointRef synth = c.server.plugInDestination("Synth");
    c.server.unplug(keyboard);

    ASSERT_EQ(c.notifications.size(), 6u);
    EXPECT_EQ(c.notifications[0].messageID, kMIDIMsgObjectAdded);
    EXPECT_EQ(c.notifications[0].child, keyboard);
    EXPECT_EQ(c.notifications[0].childType, MIDIObjectType::source);
    EXPECT_EQ(c.notifications[1].messageID, kMIDIMsgSetupChanged);
    EXPECT_EQ(c.notifications[2].child, synth);
    EXPECT_EQ(c.notifications[2].childType, MIDIObjectType::destination);
    EXPECT_EQ(c.notifications[4].messageID, kMIDIMsgObjectRemoved);
    EXPECT_EQ(c.notifications[4].child, keyboard);
    EXPECT_EQ(c.server.numberOfSources(), 0u);
    EXPECT_EQ(c.server.destination(0), synth);
    EXPECT_EQ(c.server.destination(1), 0u);
}

TEST(LoopbackServer, OnlyConnectedSourcesReachTheInputPort) {
    Client c;
    const MIDIEndpointRef a = c.server.plugInSource("A");
    const MIDIEndpointRef b = c.server.plugInSource("B");
    ASSERT_EQ(c.server.portConnectSource(c.input, a, nullptr), foundation::noErr);
    const MIDIPacket fromA = packet({0x90, 60, 100});
    const MIDIPacket fromB = packet({0x90, 62, 100});
    c.server.sendFromSource(a, MIDIPacketList(&fromA, 1));
    c.server.sendFromSource(b, MIDIPacketList(&fromB, 1));
    ASSERT_EQ(c.server.portDisconnectSource(c.input, a), foundation::noErr);
    c.server.sendFromSource(a, MIDIPacketList(&fromA, 1));

    ASSERT_EQ(c.received.size(), 1u);
    EXPECT_EQ(c.received[0], (std::vector<std::uint8_t>{0x90, 60, 100}));
    EXPECT_EQ(c.server.portDisconnectSource(c.input, a), kMIDINoConnection);
}

TEST(LoopbackServer, FailuresAreStatusesAndLeaveNothingBehind) {
    Client c;
    const MIDIEndpointRef synth = c.server.plugInDestination("Synth");
    const MIDIPacket note = packet({0x80, 60, 0});
    EXPECT_EQ(c.server.send(c.input, synth, MIDIPacketList(&note, 1)), kMIDIInvalidPort);
    EXPECT_EQ(c.server.send(c.output, 0x7777, MIDIPacketList(&note, 1)), kMIDIUnknownEndpoint);
    c.server.failNext(LoopbackServer::Call::send, kMIDIMessageSendErr);
    EXPECT_EQ(c.server.send(c.output, synth, MIDIPacketList(&note, 1)), kMIDIMessageSendErr);
    EXPECT_EQ(c.server.send(c.output, synth, MIDIPacketList(&note, 1)), foundation::noErr);
    EXPECT_EQ(c.server.delivered(synth).packets.size(), 1u);
    EXPECT_EQ(c.server.portConnectSource(c.input, synth, nullptr), kMIDIUnknownEndpoint);
    foundation::PlistDictionary properties;
    EXPECT_EQ(c.server.objectGetProperties(0x7777, &properties), kMIDIObjectNotFound);
}

TEST(LoopbackServer, VirtualEndpointsCarryMessagesBetweenClients) {
    Client c;
    MIDIEndpointRef source = 0;
    MIDIEndpointRef destination = 0;
    std::vector<std::uint8_t> atDestination;
    ASSERT_EQ(c.server.sourceCreate(c.client, "virtual out", &source), foundation::noErr);
    ASSERT_EQ(c.server.destinationCreate(c.client, "virtual in",
                                         [&](MIDIPacketList list, void*) {
                                             atDestination.assign(list[0].data, list[0].data + list[0].length);
                                         },
                                         &destination), foundation::noErr);
    ASSERT_EQ(c.server.portConnectSource(c.input, source, nullptr), foundation::noErr);
    const MIDIPacket program = packet({0xC0, 5});
    EXPECT_EQ(c.server.received(source, MIDIPacketList(&program, 1)), foundation::noErr);
    EXPECT_EQ(c.server.send(c.output, destination, MIDIPacketList(&program, 1)), foundation::noErr);
    ASSERT_EQ(c.received.size(), 1u);
    EXPECT_EQ(c.received[0], (std::vector<std::uint8_t>{0xC0, 5}));
    EXPECT_EQ(atDestination, (std::vector<std::uint8_t>{0xC0, 5}));
    std::string name;
    EXPECT_EQ(c.server.objectGetStringProperty(destination, kMIDIPropertyDisplayName, &name), foundation::noErr);
    EXPECT_EQ(name, "virtual in");
}

TEST(LoopbackServer, SysexCompletesOnTheCompletingThreadAfterItsBytesArrived) {
    Client c;
    const MIDIEndpointRef synth = c.server.plugInDestination("Synth");
    const std::vector<std::uint8_t> bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    std::atomic<bool> completed{false};
    MIDISysexSendRequest request;
    request.destination = synth;
    request.data = bytes.data();
    request.bytesToSend = static_cast<std::uint32_t>(bytes.size());
    request.completion = [&](MIDISysexSendRequest* r) { completed = r->complete.load(); };
    ASSERT_EQ(c.server.sendSysex(&request), foundation::noErr);
    EXPECT_FALSE(request.complete);
    EXPECT_EQ(c.server.sysexInFlight(), 1u);

    std::thread completer([&] { EXPECT_TRUE(c.server.completeNextSysex()); });
    completer.join();
    EXPECT_TRUE(completed);
    EXPECT_EQ(request.bytesToSend, 0u) << "every byte went out";
    EXPECT_FALSE(c.server.completeNextSysex());
    ASSERT_EQ(c.server.delivered(synth).sysex.size(), 1u);
    EXPECT_EQ(c.server.delivered(synth).sysex[0], bytes);
}

}  // namespace
