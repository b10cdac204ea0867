#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/midi/MIDIMessageCallback.h"
#include "Orvo_Tunedeck/midi/MIDIObject.h"
#include "Orvo_Tunedeck/midi/PublishedList.h"
#include "platform/midi/MIDIServer.h"

// Everything the application does with MIDI passes here: it owns the MIDI client with its input port (packets go
// to the parser of the base class, which calls the delegate) and its output port, both named from the bundle
// identifier; it opens the network session to everyone; it keeps the source list (`inputs`) and the destination list
// (`outputs`) that the configuration tables show; and it sends what the instrument plays to each destination the
// user switched on: a short message as one packet holding exactly its bytes, a longer one as a system-exclusive
// send, queued so that only one is under way at a time. Every failing
// MIDI call is logged with its German text and the status report.
//
// Threads: _initialize, dispose, createVirtualPorts, the refresh, connect and disconnect calls and setOutputActive
// on the main queue. sendMidiMessage on the one thread that delivers the instrument's MIDI output (any thread but
// the render thread; it does not allocate unless it logs a failure). sendSysex from any thread except the render
// thread; it queues the requests through the main queue. Notifications, the read block and sysex completions run
// on the MIDI system's threads.
class MIDIConnection : public MIDIMessageCallback {
public:
    // The process's connection, made on first use on the program's MIDI system with the application's bundle
    // identifier, and kept until the process ends. Nothing talks to MIDI before _initialize.
    static MIDIConnection& shared();

    // bundleIdentifier: the application's; without one, ports are named after the maker's domain.
    MIDIConnection(std::shared_ptr<midi::MIDIServer> server, std::optional<std::string> bundleIdentifier);
    ~MIDIConnection() override;
    MIDIConnection(const MIDIConnection&) = delete;
    MIDIConnection& operator=(const MIDIConnection&) = delete;

    midi::MIDIServer& server() { return *server_; }
    midi::MIDIClientRef midiClient() const { return midiClientRef_; }
    midi::MIDIPortRef outputPort() const { return outputPortRef_.load(); }
    midi::MIDIPortRef inputPort() const { return inputPortRef_; }
    midi::MIDIEndpointRef virtualSource() const { return virtualSourceEndpointRef_; }
    midi::MIDIEndpointRef virtualDestination() const { return virtualDestinationEndpointRef_; }
    bool isOutportConnected() const { return false; }
    bool isInportConnected() const { return isInportConnected_; }
    // When on, the read block passes every packet list it receives on to the active outputs. Off; nothing sets it
    // in the application.
    bool midiThru() const { return midiThru_.load(); }
    void setMidiThru(bool on) { midiThru_.store(on); }

    // The sources and destinations as last listed. Main queue.
    const MIDIObjectList& inputs() const { return inputs_; }
    const MIDIObjectList& outputs() const { return outputs_.current(); }

    void _initialize();
    void dispose();
    void createVirtualPorts();
    void addNetworkObservers();
    std::optional<std::string> getDeviceName(midi::MIDIObjectRef object);

    // One short message, status + channel, data1, data2, to one destination, or to every active output; the packet
    // holds as many bytes as the status byte gives (two for a program change). timeStamp 0 means now.
    void sendMidiMessage(midi::MIDIEndpointRef destination, std::uint8_t status, std::uint8_t channel,
                         std::uint8_t data1, std::uint8_t data2, midi::MIDITimeStamp timeStamp);
    void sendMidiMessage(std::uint8_t status, std::uint8_t channel, std::uint8_t data1, std::uint8_t data2,
                         midi::MIDITimeStamp timeStamp);

    static std::vector<std::uint8_t> makeSysexBuffer(std::span<const std::uint8_t> bytes);
    // Queues a system-exclusive message (the first length bytes of bytes; length is cut to the bytes given) for one
    // destination, or for every active output.
    void sendSysex(midi::MIDIEndpointRef destination, std::size_t length, std::span<const std::uint8_t> bytes);
    void sendSysex(std::size_t length, std::span<const std::uint8_t> bytes);
    // Requests queued or in flight (tests).
    std::size_t sysexPending() const;

    void MyMIDINotifyBlock(const midi::MIDINotification& notification);
    // The input port's (and virtual destination's) read block: every packet to the parser, then MIDI thru.
    void readBlock(midi::MIDIPacketList packets, void* connRefCon);

    void connectAllInputs();
    void disconnectAllInputs();
    void connectInput(midi::MIDIEndpointRef source);
    void disconnectInput(midi::MIDIEndpointRef source);
    void refreshInputs();
    void refreshOutputs();
    void setOutputActive(midi::MIDIEndpointRef destination, bool on);

private:
    struct SysexSend {
        midi::MIDISysexSendRequest request;
        std::vector<std::uint8_t> bytes;
    };

    std::string baseName(const char* fallback) const;
    MIDIObjectList refreshEndpoints(std::size_t (midi::MIDIServer::*count)(),
                                    midi::MIDIEndpointRef (midi::MIDIServer::*get)(std::size_t),
                                    const MIDIObjectList& current, std::int64_t io);
    void pushSysexRequest(std::shared_ptr<SysexSend> send);
    void onSysExCompleteCallback(midi::MIDISysexSendRequest* finished);

    std::shared_ptr<midi::MIDIServer> server_;
    std::optional<std::string> bundleIdentifier_;

    midi::MIDIClientRef midiClientRef_ = 0;
    std::atomic<midi::MIDIPortRef> outputPortRef_{0};
    midi::MIDIPortRef inputPortRef_ = 0;
    bool isInportConnected_ = false;
    midi::MIDIEndpointRef virtualSourceEndpointRef_ = 0;
    midi::MIDIEndpointRef virtualDestinationEndpointRef_ = 0;
    std::atomic<bool> midiThru_{false};
    MIDIObjectList inputs_;
    PublishedList<MIDIObjectList> outputs_;  // read by the sending thread
    std::vector<std::uint64_t> networkObservers_;

    mutable std::mutex sysexMutex_;
    std::deque<std::shared_ptr<SysexSend>> sysexQueue_;
    std::vector<std::shared_ptr<SysexSend>> sysexInFlight_;
    // The request whose completion ran last; kept until the next completion, as its completion may still be running.
    std::shared_ptr<SysexSend> sysexRetired_;
};
