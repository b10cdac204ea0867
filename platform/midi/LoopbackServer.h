#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/midi/MIDIServer.h"

namespace midi {

// The in-process MIDI system: everything stays inside the program. Besides the calls of MIDIServer it plays the
// outside world for tests: endpoints are plugged in and out (each change notifies every client: object added or
// removed, then set-up changed, on the calling thread), a source sends packets (the read blocks of the ports
// connected to it run on the calling thread), what is sent to an outside destination is recorded, system-exclusive
// sends wait until completeNextSysex() finishes them one by one, and the next call of an operation can be made to
// fail with a chosen status.
//
// Threads: any thread except the render thread. Delivery to read blocks does not allocate and holds no lock.
class LoopbackServer final : public MIDIServer {
public:
    enum class Call {
        clientCreate,
        inputPortCreate,
        outputPortCreate,
        destinationCreate,
        sourceCreate,
        connectSource,
        disconnectSource,
        send,
        sendSysex,
        getProperties,
    };

    // What reached an outside destination: packets in order, and system-exclusive messages whole.
    struct Delivery {
        std::vector<MIDIPacket> packets;
        std::vector<std::vector<std::uint8_t>> sysex;
    };

    std::string backendName() const override { return "loopback"; }

    OSStatus clientCreate(const std::string& name, MIDINotifyBlock notify, MIDIClientRef* client) override;
    OSStatus clientDispose(MIDIClientRef client) override;
    OSStatus inputPortCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                             MIDIPortRef* port) override;
    OSStatus outputPortCreate(MIDIClientRef client, const std::string& name, MIDIPortRef* port) override;
    OSStatus portDispose(MIDIPortRef port) override;
    OSStatus destinationCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                               MIDIEndpointRef* destination) override;
    OSStatus sourceCreate(MIDIClientRef client, const std::string& name, MIDIEndpointRef* source) override;
    OSStatus endpointDispose(MIDIEndpointRef endpoint) override;
    std::size_t numberOfSources() override;
    MIDIEndpointRef source(std::size_t index) override;
    std::size_t numberOfDestinations() override;
    MIDIEndpointRef destination(std::size_t index) override;
    std::size_t numberOfDevices() override { return 0; }
    MIDIDeviceRef device(std::size_t) override { return 0; }
    std::size_t numberOfExternalDevices() override { return 0; }
    MIDIDeviceRef externalDevice(std::size_t) override { return 0; }
    OSStatus portConnectSource(MIDIPortRef inputPort, MIDIEndpointRef source, void* connRefCon) override;
    OSStatus portDisconnectSource(MIDIPortRef inputPort, MIDIEndpointRef source) override;
    OSStatus send(MIDIPortRef outputPort, MIDIEndpointRef destination, MIDIPacketList packets) override;
    OSStatus received(MIDIEndpointRef virtualSource, MIDIPacketList packets) override;
    OSStatus sendSysex(MIDISysexSendRequest* request) override;
    OSStatus objectGetStringProperty(MIDIObjectRef object, const std::string& property, std::string* value) override;
    OSStatus objectGetProperties(MIDIObjectRef object, foundation::PlistDictionary* properties) override;

    // The outside world.
    MIDIEndpointRef plugInSource(const std::string& name);
    MIDIEndpointRef plugInDestination(const std::string& name);
    void unplug(MIDIEndpointRef endpoint);
    // An outside source sends packets. False when source is no source.
    bool sendFromSource(MIDIEndpointRef source, MIDIPacketList packets);
    Delivery delivered(MIDIEndpointRef destination) const;
    // Finishes the oldest system-exclusive send still in flight (its bytes reach the destination, then its
    // completion runs on the calling thread). False when none is in flight.
    bool completeNextSysex();
    std::size_t sysexInFlight() const;
    // The next call of that operation fails with status.
    void failNext(Call call, OSStatus status);

private:
    enum class Kind { client, inputPort, outputPort, source, destination };

    struct Object {
        Kind kind;
        MIDIClientRef owner = 0;  // 0 for the outside world's endpoints
        std::string name;
        MIDINotifyBlock notify;
        std::shared_ptr<const MIDIReadBlock> readBlock;
        std::vector<std::pair<MIDIEndpointRef, void*>> connectedSources;  // input ports
        Delivery delivery;                                                // outside destinations
    };

    OSStatus injectedFailure(Call call);
    OSStatus create(Kind kind, MIDIClientRef owner, const std::string& name, MIDIReadBlock readBlock,
                    MIDIObjectRef* ref);
    void notifyAll(const std::vector<MIDINotification>& notifications);
    void deliver(MIDIEndpointRef source, MIDIPacketList packets);
    std::vector<MIDIObjectRef> endpointsOfKind(Kind kind) const;
    static MIDINotification endpointNotification(std::int32_t messageID, MIDIObjectRef ref, Kind kind);

    mutable std::mutex mutex_;
    MIDIObjectRef nextRef_ = 0x100;
    std::map<MIDIObjectRef, Object> objects_;
    std::map<Call, OSStatus> failures_;
    std::deque<MIDISysexSendRequest*> sysexInFlight_;
};

}  // namespace midi
