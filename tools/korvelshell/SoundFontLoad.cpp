#include "tools/korvelshell/SoundFontLoad.h"

#include "sampler/src/sys/korvel_sys.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace korvelshell {

namespace {

constexpr size_t HEADER_BYTES = 12; // "RIFF", the size of what follows, "sfbk"

void dropMessage(int, const char*, void*) {}

// Why the file cannot be a SoundFont the library loads, as far as its name and first bytes tell; empty when
// nothing is wrong with them.
std::string fileFault(const std::string& path)
{
    std::error_code status;
    const std::filesystem::file_status kind = std::filesystem::status(path, status);
    if (kind.type() == std::filesystem::file_type::not_found) {
        return "there is no such file";
    }
    if (kind.type() != std::filesystem::file_type::regular) {
        return status ? "it cannot be reached (" + status.message() + ")" : "it is not a file";
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::string("it cannot be read (") + std::strerror(errno) + ")";
    }
    std::array<char, HEADER_BYTES> header{};
    file.read(header.data(), header.size());
    const auto got = static_cast<size_t>(file.gcount());
    if (got == 0) {
        return "it is empty";
    }
    const std::string_view bytes(header.data(), got);
    if (got < HEADER_BYTES || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "sfbk") {
        return "it is not a SoundFont 2 (.sf2) file";
    }
    uint64_t riffBytes = 0; // little-endian, counting what follows the first eight bytes
    for (int i = 7; i >= 4; --i) {
        riffBytes = riffBytes << 8 | static_cast<unsigned char>(header[static_cast<size_t>(i)]);
    }
    const uintmax_t fileBytes = std::filesystem::file_size(path, status);
    if (!status && riffBytes + 8 > fileBytes) {
        return "it is cut short (" + std::to_string(fileBytes) + " of " + std::to_string(riffBytes + 8) + " bytes)";
    }
    return "";
}

} // namespace

bool loadSoundFont(korvel_synth_t* synth, const std::string& path, std::string& error)
{
    error = fileFault(path);
    if (!error.empty()) {
        return false;
    }
    const korvel_log_function_t previous = korvel_set_log_function(KORVEL_ERR, dropMessage, nullptr);
    const bool loaded = korvel_synth_sfload(synth, path.c_str(), 1) != -1;
    korvel_set_log_function(KORVEL_ERR, previous, nullptr);
    if (!loaded) {
        error = "its content is damaged or of a kind this program does not read";
    }
    return loaded;
}

} // namespace korvelshell
