#include "tests/sampler/support/midi_fixture.h"

#include "sampler/src/midi/korvel_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace midi_fixture {

std::string from_csv(const std::string& name, const std::string& csv)
{
    const std::string csv_path = sf2::scratch_path(name + ".csv");
    const std::string mid_path = sf2::scratch_path(name + ".mid");
    std::ofstream(csv_path) << csv;
    const std::string command = "csvmidi '" + csv_path + "' '" + mid_path + "'";
    return std::system(command.c_str()) == 0 ? mid_path : std::string();
}

std::string write(const std::string& name, const Bytes& bytes)
{
    const std::string path = sf2::scratch_path(name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

Bytes read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes header(int type, int ntracks, int division)
{
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            static_cast<std::uint8_t>(type >> 8),
            static_cast<std::uint8_t>(type),
            static_cast<std::uint8_t>(ntracks >> 8),
            static_cast<std::uint8_t>(ntracks),
            static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division)};
}

Bytes chunk(const char* id, const Bytes& payload, long length)
{
    const auto size = static_cast<std::uint32_t>(length < 0 ? static_cast<long>(payload.size()) : length);
    Bytes bytes(id, id + 4);
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

} // namespace midi_fixture

extern "C" {

void korvelsynth_capture_event(void* context, int64_t sample_time, int offset, int channel, int type, int param1,
                               int param2)
{
    static_cast<midi_fixture::Recorder*>(context)->events.push_back(
        {sample_time, offset, channel, type, param1, param2, {}});
}

void korvelsynth_capture_sysex(void* context, int64_t sample_time, int offset, int length, const unsigned char* data)
{
    static_cast<midi_fixture::Recorder*>(context)->events.push_back(
        {sample_time, offset, 0, 0xF0, 0, 0, midi_fixture::Bytes(data, data + length)});
}

} // extern "C"
