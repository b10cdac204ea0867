// The configuration screen's MIDI tables on the in-process MIDI system.

#include <gtest/gtest.h>

#include <memory>

#include "Orvo_Tunedeck/configuration/MIDIEndpointTables.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/midi/LoopbackServer.h"

namespace {

class EndpointTables : public ::testing::Test {
protected:
    void SetUp() override {
        connection._initialize();
        dispatch::MainQueue::shared().drain();
    }
    void TearDown() override {
        connection.dispose();
        dispatch::MainQueue::shared().drain();
    }

    std::shared_ptr<midi::LoopbackServer> server = std::make_shared<midi::LoopbackServer>();
    MIDIConnection connection{server, std::string("org.orvo.test")};
};

TEST_F(EndpointTables, SourceSwitchedOnStaysOnWhenTheScreenIsOpenedAgain) {
    EXPECT_EQ(MIDISourcesTable(connection).numberOfRows(), 0);
    const midi::MIDIEndpointRef keyboard = server->plugInSource("Keyboard");
    dispatch::MainQueue::shared().drain();

    MIDISourcesTable first(connection);
    ASSERT_EQ(first.numberOfRows(), 1);
    EXPECT_EQ(first.row(0).text, "Keyboard");
    EXPECT_FALSE(first.row(0).switchOn);
    EXPECT_EQ(first.row(0).tag, keyboard);
    EXPECT_EQ(first.row(1).tag, 0u);
    first.onSwitchChanged(keyboard, true);

    MIDISourcesTable reopened(connection);
    ASSERT_EQ(reopened.numberOfRows(), 1);
    EXPECT_TRUE(reopened.row(0).switchOn);
    reopened.onSwitchChanged(keyboard, false);
    EXPECT_FALSE(reopened.row(0).switchOn);
}

TEST_F(EndpointTables, DestinationSwitchDecidesWhetherMessagesReachIt) {
    const midi::MIDIEndpointRef module = server->plugInDestination("Sound Module");
    dispatch::MainQueue::shared().drain();
    MIDIDestinationsTable table(connection);
    ASSERT_EQ(table.numberOfRows(), 1);
    EXPECT_EQ(table.row(0).text, "Sound Module");

    table.onSwitchChanged(module, true);
    EXPECT_TRUE(table.row(0).switchOn);
    connection.sendMidiMessage(0x90, 0, 60, 100, 0);
    EXPECT_EQ(server->delivered(module).packets.size(), 1u);

    table.onSwitchChanged(module, false);
    connection.sendMidiMessage(0x80, 0, 60, 0, 0);
    EXPECT_EQ(server->delivered(module).packets.size(), 1u);
}

}  // namespace
