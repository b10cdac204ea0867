// Writes a small seed corpus for every fuzz harness into <folder>/<Harness>/, made with the project's own writers:
// sound banks from the bank writers, an XML bank exported by the library, an AIFF file from its writer, a MIDI file,
// a property list, MIDI byte streams and shell commands.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/foundation/PropertyList.h"
#include "sampler/src/korvel_aiff_export.h"
#include "sampler/src/korvel_defsfont.h"
#include "sampler/src/korvel_sfloader.h"
#include "sampler/src/korvel_xml_writer.h"
#include "tools/soundbank/dls_writer.h"
#include "tools/soundbank/sf2_writer.h"

namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

sf2::Bank soundFont2Bank() {
    sf2::Bank bank;
    bank.samples.push_back(sf2::looped_sample("saw", sf2::saw_wave(50, 4), 50, 60, 44100));
    sf2::Zone instrumentZone;
    instrumentZone.link = 0;
    instrumentZone.gen(sf2::SAMPLE_MODES, 1);
    bank.instruments.push_back({"saw", {instrumentZone}});
    sf2::Zone presetZone;
    presetZone.link = 0;
    bank.presets.push_back({"saw", 0, 0, {presetZone}});
    bank.presets.push_back({"kit", 128, 0, {presetZone}});
    return bank;
}

dls::Bank dlsBank() {
    dls::Bank bank;
    dls::Wave wave;
    wave.name = "wave";
    wave.points = sf2::saw_wave(50, 4);
    wave.sample = dls::SampleRecord{60, 0, 0, dls::Loop{0, 0, 200}};
    bank.waves.push_back(wave);
    dls::Instrument instrument;
    instrument.name = "lead";
    instrument.program = 3;
    dls::Region region;
    region.articulation = dls::Articulation{false, {dls::connection(0, 0x0206, 0.5)}};
    instrument.regions.push_back(region);
    bank.instruments.push_back(instrument);
    dls::Instrument kit = instrument;
    kit.name = "kit";
    kit.drums = true;
    bank.instruments.push_back(kit);
    return bank;
}

// Format 1, two tracks: tempo, time signature and a name; then program, controller, notes, bend and a system
// exclusive message on channel 1.
std::vector<std::uint8_t> midiFile() {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0,
            'M', 'T', 'r', 'k', 0, 0, 0, 23,
            0, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0, 0xFF, 0x58, 4, 4, 2, 24, 8, 0, 0xFF, 0x03, 0, 0, 0xFF, 0x2F, 0,
            'M', 'T', 'r', 'k', 0, 0, 0, 34,
            0, 0xC0, 5, 0, 0xB0, 7, 100, 0, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0, 0xE0, 0, 0x50,
            0, 0xF0, 3, 0x7E, 0x09, 0xF7, 0, 0x90, 64, 90, 0x60, 64, 0, 0, 0xFF, 0x2F, 0};
}

std::vector<std::uint8_t> midiStream() {
    return {0xC0, 5, 0x90, 60, 100, 62, 90, 0xB0, 7, 100, 0xE0, 0, 0x50, 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7,
            0x80, 60, 0, 0xFE, 0x99, 36, 127, 0xB9, 0, 1, 0xFF};
}

std::vector<std::uint8_t> text(const std::string& s) {
    return {s.begin(), s.end()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* harness : {"SoundFont2", "Dls", "StandardMidiFile", "PropertyList", "XmlBank", "Aiff",
                                "LibraryFilePlayer", "PatternSequence", "Preset", "MidiByteStream", "CommandShell",
                                "LiveSynthesizerMidi"}) {
        fs::create_directories(root / harness);
    }
    const std::string sf2Path = (root / "SoundFont2" / "bank.sf2").string();
    if (!soundFont2Bank().write(sf2Path) || !dlsBank().write((root / "Dls" / "bank.dls").string())) return 1;
    writeBytes(root / "Dls" / "bank.sf2", soundFont2Bank().bytes());

    std::freopen("/dev/null", "w", stdout);
    if (korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, sf2Path.c_str())) {
        korvel_defsfont_export_xml(static_cast<korvel_defsfont_t*>(sfont->data),
                                   (root / "XmlBank" / "bank.xml").c_str());
        sfont->free(sfont);
    }
    const std::vector<int16_t> points = sf2::saw_wave(20, 5);
    convert2Aiff((root / "Aiff" / "mono.aif").c_str(), points.data(), static_cast<int>(points.size()), 1, 16, 10, 90,
                 22050.0f);
    convert2Aiff((root / "Aiff" / "stereo.aif").c_str(), points.data(), static_cast<int>(points.size() / 2), 2, 16,
                 -1, 0, 44100.0f);

    for (const char* harness : {"StandardMidiFile", "LibraryFilePlayer", "PatternSequence"}) {
        writeBytes(root / harness / "song.mid", midiFile());
    }
    const foundation::PlistValue plist(foundation::PlistDictionary{
        {"name", "Default"}, {"version", 2}, {"gain", -3.5}, {"on", true},
        {"groups", foundation::PlistArray{foundation::PlistValue(foundation::PlistDictionary{{"id", 1}})}}});
    writeBytes(root / "PropertyList" / "dictionary.plist", foundation::plistToXml(plist));
    writeBytes(root / "Preset" / "preset.plist", foundation::plistToXml(plist));
    writeBytes(root / "MidiByteStream" / "stream.bin", midiStream());
    const std::vector<std::uint8_t> stream = midiStream();
    std::vector<std::uint8_t> live;
    for (std::size_t i = 0; i + 3 <= stream.size(); i += 3) {
        live.insert(live.end(), stream.begin() + static_cast<long>(i), stream.begin() + static_cast<long>(i + 3));
        live.push_back(static_cast<std::uint8_t>(i * 37));
    }
    writeBytes(root / "LiveSynthesizerMidi" / "messages.bin", live);
    writeBytes(root / "CommandShell" / "commands.txt",
               text("prog 0 5\nnoteon 0 60 100\ncc 0 7 100\nnoteoff 0 60\ngain 0.5\nreverb on\nchannels\n"
                    "rev_setroomsize 0.5\ntune 0 0 60 6000\nrouter_begin note\nrouter_chan 0 15 0 1\nrouter_end\n"
                    "get synth.polyphony\nfonts\nreset\n"));
    return 0;
}
