// Command lines through the library's command shell, one input line per command, on a synthesizer without sound
// banks. Runs in a scratch folder: commands may name files.
#include <filesystem>
#include <string>
#include <unistd.h>

#include "fuzz/FuzzInput.h"
#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {
korvel_synth_t* synth = nullptr;
korvel_cmd_handler_t* handler = nullptr;
int sink = -1;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    synth = new_korvel_synth(new_korvel_settings());
    handler = new_korvel_cmd_handler(synth);
    sink = STDOUT_FILENO;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        korvel_command(handler, line.data(), sink);
        start = end + 1;
    }
    korvel_synth_system_reset(synth);
    return 0;
}
