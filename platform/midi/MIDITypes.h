#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/foundation/Status.h"

namespace midi {

using foundation::OSStatus;

// References to MIDI objects: clients, ports, sources, destinations and devices. 0 is no object.
using MIDIObjectRef = std::uint32_t;
using MIDIClientRef = MIDIObjectRef;
using MIDIPortRef = MIDIObjectRef;
using MIDIEndpointRef = MIDIObjectRef;
using MIDIDeviceRef = MIDIObjectRef;
using MIDITimeStamp = std::uint64_t;

// Failures of the MIDI calls.
inline constexpr OSStatus kMIDIInvalidClient = -10830;
inline constexpr OSStatus kMIDIInvalidPort = -10831;
inline constexpr OSStatus kMIDIWrongEndpointType = -10832;
inline constexpr OSStatus kMIDINoConnection = -10833;
inline constexpr OSStatus kMIDIUnknownEndpoint = -10834;
inline constexpr OSStatus kMIDIUnknownProperty = -10835;
inline constexpr OSStatus kMIDIWrongPropertyType = -10836;
inline constexpr OSStatus kMIDIMessageSendErr = -10838;
inline constexpr OSStatus kMIDIServerStartErr = -10839;
inline constexpr OSStatus kMIDIObjectNotFound = -10842;
inline constexpr OSStatus kMIDINotPermitted = -10844;

enum class MIDIObjectType : std::int32_t {
    other = -1,
    device = 0,
    entity = 1,
    source = 2,
    destination = 3,
    externalDevice = 16,
    externalEntity = 17,
    externalSource = 18,
    externalDestination = 19,
};

// One packet: a time stamp (host time in nanoseconds, 0 = now), the number of bytes it holds and a data area of 256
// bytes of which the first `length` are the packet's (the rest reads as 0). A packet holds whole messages, or a part
// of a system-exclusive message.
struct MIDIPacket {
    static constexpr std::size_t kDataBytes = 256;
    MIDITimeStamp timeStamp = 0;
    std::uint16_t length = 0;
    std::uint8_t data[kDataBytes] = {};
};

// A packet list as the calls pass it: packets in time order, held by the caller.
using MIDIPacketList = std::span<const MIDIPacket>;

// Called on a MIDI input thread with every packet list that reaches a port or virtual destination. connRefCon is the
// value given when the source was connected (nullptr for virtual destinations).
using MIDIReadBlock = std::function<void(MIDIPacketList packets, void* connRefCon)>;

// Message identifiers of client notifications.
enum MIDINotificationMessageID : std::int32_t {
    kMIDIMsgSetupChanged = 1,
    kMIDIMsgObjectAdded = 2,
    kMIDIMsgObjectRemoved = 3,
    kMIDIMsgPropertyChanged = 4,
    kMIDIMsgThruConnectionsChanged = 5,
    kMIDIMsgSerialPortOwnerChanged = 6,
    kMIDIMsgIOError = 7,
};

// A client notification. Which fields mean something depends on messageID: parent/child for objects added and
// removed, object/propertyName for a property change, driverDevice/errorCode for an I/O error.
struct MIDINotification {
    std::int32_t messageID = 0;
    std::uint32_t messageSize = 0;
    MIDIObjectRef parent = 0;
    MIDIObjectType parentType = MIDIObjectType::other;
    MIDIObjectRef child = 0;
    MIDIObjectType childType = MIDIObjectType::other;
    MIDIObjectRef object = 0;
    MIDIObjectType objectType = MIDIObjectType::other;
    std::string propertyName;
    MIDIDeviceRef driverDevice = 0;
    OSStatus errorCode = 0;
};

// Called on the back end's notification thread (the loopback: the thread that changed the set-up).
using MIDINotifyBlock = std::function<void(const MIDINotification& notification)>;

// A system-exclusive send: the bytes stay owned by the caller until the completion has been called. The back end
// sets `complete` and calls completion (on its own thread) when the transmission has ended; bytesToSend is 0 then when
// every byte went out, and above 0 when the transmission broke off.
struct MIDISysexSendRequest {
    MIDIEndpointRef destination = 0;
    const std::uint8_t* data = nullptr;
    std::uint32_t bytesToSend = 0;
    std::atomic<bool> complete{false};
    std::function<void(MIDISysexSendRequest* request)> completion;
};

// Property names of the property calls.
inline constexpr const char* kMIDIPropertyName = "name";
inline constexpr const char* kMIDIPropertyDisplayName = "displayName";
inline constexpr const char* kMIDIPropertyUniqueID = "uniqueID";

}  // namespace midi
