#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/foundation/PlistValue.h"
#include "platform/midi/MIDINetworkSession.h"
#include "platform/midi/MIDITypes.h"

namespace midi {

// The MIDI system a program talks to: clients with their notification block, input ports with their read block,
// output ports, the sources and destinations of the machine (and virtual ones that clients publish), packet sends,
// system-exclusive sends with completion, object properties and the network session. Two back ends implement it:
// the ALSA sequencer (openALSASequencer) and the in-process loopback (LoopbackServer).
//
// Every call returns noErr or a failure status and leaves the out-value alone on failure.
// Threads: every call from any thread except the render thread. Read blocks run on the back end's input thread
// (the loopback: the thread that sent), notification blocks on its notification thread, sysex completions on its
// sending thread; none of them is called while the server holds a lock that another call of the server needs.
class MIDIServer {
public:
    virtual ~MIDIServer() = default;

    // "ALSA sequencer" or "loopback".
    virtual std::string backendName() const = 0;

    virtual OSStatus clientCreate(const std::string& name, MIDINotifyBlock notify, MIDIClientRef* client) = 0;
    // Disposes the client and every port and virtual endpoint it made.
    virtual OSStatus clientDispose(MIDIClientRef client) = 0;

    virtual OSStatus inputPortCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                                     MIDIPortRef* port) = 0;
    virtual OSStatus outputPortCreate(MIDIClientRef client, const std::string& name, MIDIPortRef* port) = 0;
    virtual OSStatus portDispose(MIDIPortRef port) = 0;

    // Virtual endpoints other clients see as a destination (its read block gets what they send) or a source (what
    // received() hands it goes to every port connected to it).
    virtual OSStatus destinationCreate(MIDIClientRef client, const std::string& name, MIDIReadBlock readBlock,
                                       MIDIEndpointRef* destination) = 0;
    virtual OSStatus sourceCreate(MIDIClientRef client, const std::string& name, MIDIEndpointRef* source) = 0;
    virtual OSStatus endpointDispose(MIDIEndpointRef endpoint) = 0;

    // The endpoints as the system lists them now; an index beyond the count gives 0.
    virtual std::size_t numberOfSources() = 0;
    virtual MIDIEndpointRef source(std::size_t index) = 0;
    virtual std::size_t numberOfDestinations() = 0;
    virtual MIDIEndpointRef destination(std::size_t index) = 0;
    virtual std::size_t numberOfDevices() = 0;
    virtual MIDIDeviceRef device(std::size_t index) = 0;
    virtual std::size_t numberOfExternalDevices() = 0;
    virtual MIDIDeviceRef externalDevice(std::size_t index) = 0;

    virtual OSStatus portConnectSource(MIDIPortRef inputPort, MIDIEndpointRef source, void* connRefCon) = 0;
    virtual OSStatus portDisconnectSource(MIDIPortRef inputPort, MIDIEndpointRef source) = 0;

    // Sends packets through an output port to one destination. Does not allocate.
    virtual OSStatus send(MIDIPortRef outputPort, MIDIEndpointRef destination, MIDIPacketList packets) = 0;
    // Hands packets to everyone connected to a virtual source of this program.
    virtual OSStatus received(MIDIEndpointRef virtualSource, MIDIPacketList packets) = 0;
    // Starts sending request; request and its bytes stay valid until its completion has been called.
    virtual OSStatus sendSysex(MIDISysexSendRequest* request) = 0;

    // Properties of an object: "name", "displayName" (strings) and "uniqueID" (integer), more where the back end
    // knows them.
    virtual OSStatus objectGetStringProperty(MIDIObjectRef object, const std::string& property,
                                             std::string* value) = 0;
    virtual OSStatus objectGetProperties(MIDIObjectRef object, foundation::PlistDictionary* properties) = 0;

    MIDINetworkSession& networkSession() { return networkSession_; }

    // The program's MIDI system, made on first use: the ALSA sequencer, or, where that cannot be opened (no
    // /dev/snd/seq), the loopback after a log line saying so.
    static std::shared_ptr<MIDIServer> systemDefault();

private:
    MIDINetworkSession networkSession_;
};

}  // namespace midi
