// Writes a small seed corpus for every fuzz harness into <folder>/<Harness>/, made with the project's own writers:
// sound banks from the bank writers, an XML bank and editing fragments exported by the library, an AIFF file from its
// writer, a MIDI file, a property list, the instrument's full state, MIDI byte streams and shell commands.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "fuzz/FuzzInput.h"
#include "platform/foundation/PropertyList.h"
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "tools/soundbank/dls_writer.h"

namespace fs = std::filesystem;

namespace {

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
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

// An input of the XML editor harness: entry point, identifier, text.
std::vector<std::uint8_t> editInput(std::uint8_t entry, unsigned int uid, const char* xml) {
    std::vector<std::uint8_t> input{entry, static_cast<std::uint8_t>(uid)};
    if (xml != nullptr) input.insert(input.end(), xml, xml + std::strlen(xml));
    return input;
}

// Editing inputs from the bank's own XML: each record's fragment for its entry point, the whole bank for the
// entry points that read a file.
void writeEditSeeds(korvel_defsfont_t* bank, const fs::path& exported, const fs::path& folder) {
    int n = 0;
    const auto seed = [&](const std::vector<std::uint8_t>& input) {
        writeBytes(folder / ("edit-" + std::to_string(++n) + ".bin"), input);
    };
    for (korvel_defpreset_t* p = bank->preset; p != nullptr; p = p->next) {
        seed(editInput(1, p->uid, korvel_defsfont_get_preset_xml(p)));
    }
    for (korvel_list_t* cell = bank->inst; cell != nullptr; cell = cell->next) {
        auto* inst = static_cast<korvel_inst_t*>(cell->data);
        seed(editInput(2, inst->uid, korvel_defsfont_get_instrument_xml(inst)));
    }
    for (korvel_list_t* cell = bank->sample; cell != nullptr; cell = cell->next) {
        auto* sample = static_cast<korvel_sample_t*>(cell->data);
        seed(editInput(3, sample->uid, korvel_defsfont_get_sample_xml(sample)));
    }
    std::ifstream in(exported, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::uint8_t entry : {0, 4, 5, 6}) seed(editInput(entry, 0, whole.c_str()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* harness : {"SoundFont2", "Dls", "StandardMidiFile", "PropertyList", "XmlBank", "Aiff",
                                "XmlEdit", "LibraryFilePlayer", "PatternSequence", "Preset", "FullState",
                                "MidiByteStream", "CommandShell", "LiveSynthesizerMidi", "EditRoundTrip",
                                "SampleExport", "MidiPacketParser", "ShellLineReader", "BankNotes"}) {
        fs::create_directories(root / harness);
    }
    const std::string sf2Path = (root / "SoundFont2" / "bank.sf2").string();
    const sf2::Bank soundFont2 = fuzzing::seedSoundFont2Bank();
    if (!soundFont2.write(sf2Path) || !dlsBank().write((root / "Dls" / "bank.dls").string())) return 1;
    writeBytes(root / "Dls" / "bank.sf2", soundFont2.bytes());
    writeBytes(root / "EditRoundTrip" / "seed.sf2", soundFont2.bytes());
    writeBytes(root / "EditRoundTrip" / "layered.sf2", fuzzing::layeredSoundFont2Bank().bytes());
    writeBytes(root / "BankNotes" / "seed.sf2", soundFont2.bytes());
    writeBytes(root / "BankNotes" / "layered.sf2", fuzzing::layeredSoundFont2Bank().bytes());
    if (!dlsBank().write((root / "BankNotes" / "bank.dls").string())) return 1;
    // Editor (low two bits of the first byte: sample, instrument, preset) and fragment.
    int fragments = 0;
    for (const auto& [editor, fragment] : std::vector<std::pair<std::uint8_t, const char*>>{
             {0, "<sample pend='150'/>"},
             {0, "<sample pstart='10' lstart='20' lend='90' pend='120'/>"},
             {0, "<sample name='renamed' rate='22050'/>"},
             {1, "<iglobal keylo='20'><gigenerators><igenerator id='17' amount='-200'/></gigenerators></iglobal>"},
             {2, "<pzone id='1' velhi='90'><pmodulators><pmodulator id='1' amount='5'/></pmodulators></pzone>"}}) {
        std::vector<std::uint8_t> input{editor};
        input.insert(input.end(), fragment, fragment + std::strlen(fragment));
        writeBytes(root / "SampleExport" / ("fragment-" + std::to_string(++fragments) + ".bin"), input);
    }

    // The first bank loaded: its records have the identifiers the XML editor harness's copy of it has.
    std::freopen("/dev/null", "w", stdout);
    if (korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, sf2Path.c_str())) {
        auto* bank = static_cast<korvel_defsfont_t*>(sfont->data);
        const fs::path exported = root / "XmlBank" / "bank.xml";
        korvel_defsfont_export_xml(bank, exported.c_str());
        writeEditSeeds(bank, exported, root / "XmlEdit");
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
    // The instrument's full state is its preset document.
    if (const auto state = std::make_shared<OrvoTunedeck_AudioUnit>()->fullState()) {
        const std::vector<std::uint8_t> document = foundation::plistToXml(foundation::PlistValue(*state));
        writeBytes(root / "FullState" / "state.plist", document);
        writeBytes(root / "Preset" / "instrument.plist", document);
    }
    writeBytes(root / "MidiByteStream" / "stream.bin", midiStream());
    const std::vector<std::uint8_t> stream = midiStream();
    std::vector<std::uint8_t> live;
    for (std::size_t i = 0; i + 3 <= stream.size(); i += 3) {
        live.insert(live.end(), stream.begin() + static_cast<long>(i), stream.begin() + static_cast<long>(i + 3));
        live.push_back(static_cast<std::uint8_t>(i * 37));
    }
    writeBytes(root / "LiveSynthesizerMidi" / "messages.bin", live);
    // Packets of the MIDI stream three bytes at a time, then the whole stream as one packet.
    std::vector<std::uint8_t> packets;
    for (std::size_t i = 0; i < stream.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, stream.size() - i);
        packets.push_back(static_cast<std::uint8_t>(n));
        packets.push_back(0);
        packets.insert(packets.end(), stream.begin() + static_cast<long>(i), stream.begin() + static_cast<long>(i + n));
    }
    packets.push_back(static_cast<std::uint8_t>(stream.size()));
    packets.push_back(0);
    packets.insert(packets.end(), stream.begin(), stream.end());
    writeBytes(root / "MidiPacketParser" / "packets.bin", packets);
    writeBytes(root / "ShellLineReader" / "lines.txt", text("\x3F" "prog 0 5\nnoteon 0 60 100\r\nfonts\n\nreset"));
    writeBytes(root / "ShellLineReader" / "short-buffer.txt", text("\x06" "abc\nabcdefgh\nx\n"));
    writeBytes(root / "CommandShell" / "commands.txt",
               text("prog 0 5\nnoteon 0 60 100\ncc 0 7 100\nnoteoff 0 60\ngain 0.5\nreverb on\nchannels\n"
                    "rev_setroomsize 0.5\ntune 0 0 60 6000\nrouter_begin note\nrouter_chan 0 15 0 1\nrouter_end\n"
                    "get synth.polyphony\nfonts\nreset\n"));
    return 0;
}
