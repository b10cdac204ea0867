#include "platform/midi/MIDIServer.h"

#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/midi/ALSASequencerServer.h"
#include "platform/midi/LoopbackServer.h"

namespace midi {

std::shared_ptr<MIDIServer> MIDIServer::systemDefault() {
    static std::once_flag once;
    static std::shared_ptr<MIDIServer> server;
    std::call_once(once, [] {
        OSStatus status = foundation::noErr;
        std::string error;
        server = openALSASequencer(&status, &error);
        if (!server) {
            foundation::queueLogLine("MIDI: " + error + " (status " + std::to_string(status) +
                                     "); MIDI stays inside the program (loopback).");
            server = std::make_shared<LoopbackServer>();
        }
    });
    return server;
}

}  // namespace midi
