// Sound sets of the instrument: each set loads its bank into the synthesizer, switches the catalogue to its table
// and preloads every row; a host chooses the set by writing its row to the option address, outside the tree.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/synth/MIDISynthUnit.h"
#include "shared/audiounitbase/SoundBankLoad.h"
#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using SoundSetChoice = UnitFixture;

MIDISynthUnit& synthUnit(OrvoTunedeck_AudioUnit& unit) {
    return dynamic_cast<MIDISynthUnit&>(*unit.synth()->audioUnit());
}

std::vector<SoundfontProgram> tableRows(ProgramTable table) {
    Soundfontprograms catalogue;
    loadProgramTable(catalogue, table);
    return catalogue.programs;
}

std::size_t preloadLines(const std::vector<std::string>& lines) {
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("AudioUnitMIDISynth::Sound patch ", 0) == 0 && line.ends_with(" was preloaded.");
    }));
}

struct Row {
    float row;
    const char* bankFile;
    ProgramTable table;
};

constexpr Row kRows[] = {
    {0.0f, "gs_instruments.dls", ProgramTable::gs}, {1.0f, "soundfont2.sf2", ProgramTable::generalMidi},
    {2.0f, "soundfont1.sf2", ProgramTable::xg},     {3.0f, "soundfont6.sf2", ProgramTable::generalMidi},
    {4.0f, "soundfont7.sf2", ProgramTable::gs},     {5.0f, "soundfont9.sf2", ProgramTable::generalMidi},
};

TEST_F(SoundSetChoice, EveryRowLoadsItsBankAndTableAndPreloadsEveryProgram) {
    // Start from a set that none of the rows leaves behind unchanged.
    unit->setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, 5.0f);
    dispatch::MainQueue::shared().drain();
    for (const Row& row : kRows) {
        foundation::LogCapture capture;
        unit->setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, row.row);
        dispatch::MainQueue::shared().drain();
        const auto lines = capture.lines();

        EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), row.bankFile) << row.row;
        SoundBankLoad load;
        ASSERT_EQ(unit->getProperty(kSoundBankLoadProperty, kAudioUnitScope_Global, 0, &load, sizeof load),
                  foundation::noErr);
        EXPECT_EQ(load.bank, synthUnit(*unit).soundBankPath()) << "hosts learn which bank plays";
        EXPECT_EQ(load.status, foundation::noErr) << row.row;
        EXPECT_EQ(unit->soundfontprograms()->programs, tableRows(row.table)) << row.row;
        EXPECT_EQ(preloadLines(lines), unit->soundfontprograms()->programs.size()) << row.row;
        for (const auto& line : lines) {
            EXPECT_EQ(line.find(", 128, "), std::string::npos) << "no bank select of 128: " << line;
            EXPECT_EQ(line.find("could not be set"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(unit->parameterTree()->allParameters().size(), 165u);
    EXPECT_FALSE(unit->parameterTree()->parameterWithAddress(OrvoTunedeck_AudioUnit::kSoundSetOption));
}

TEST_F(SoundSetChoice, RowsOutsideTheListChangeNothing) {
    unit->setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, 2.0f);
    dispatch::MainQueue::shared().drain();
    for (const float row : {6.0f, -1.0f, NAN, 100.0f}) {
        foundation::LogCapture capture;
        unit->setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, row);
        dispatch::MainQueue::shared().drain();
        EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), "soundfont1.sf2") << row;
        EXPECT_EQ(unit->soundfontprograms()->programs, tableRows(ProgramTable::xg)) << row;
        EXPECT_EQ(preloadLines(capture.lines()), 0u) << row;
    }
}

TEST_F(SoundSetChoice, ARowWhoseBankIsMissingLeavesTheSetThatPlaysAndSaysWhy) {
    unit->setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, 2.0f);
    dispatch::MainQueue::shared().drain();
    // The build's banks but row 3's.
    const std::optional<std::filesystem::path> built = foundation::resourcesFolder();
    ASSERT_TRUE(built);
    const std::filesystem::path resources = folder.path() / "resources";
    std::filesystem::create_directories(resources);
    for (const auto& entry : std::filesystem::directory_iterator(*built))
        if (entry.path().filename() != "soundfont6.sf2")
            std::filesystem::create_symlink(entry.path(), resources / entry.path().filename());
    environment.set("TUNEDECK_RESOURCES", resources.string());

    foundation::LogCapture capture;
    unit->setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, 3.0f);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), "soundfont1.sf2");
    EXPECT_EQ(unit->soundfontprograms()->programs, tableRows(ProgramTable::xg));
    EXPECT_EQ(preloadLines(capture.lines()), 0u);
    SoundBankLoad load;
    ASSERT_EQ(unit->getProperty(kSoundBankLoadProperty, kAudioUnitScope_Global, 0, &load, sizeof load),
              foundation::noErr);
    EXPECT_EQ(load.bank.filename(), "soundfont6.sf2");
    EXPECT_EQ(load.status, foundation::kAudio_FileNotFoundError);
}

TEST_F(SoundSetChoice, HostParameterEventsReachTheOption) {
    AURenderEvent event{};
    event.parameter.eventType = AURenderEventParameter;
    event.parameter.eventSampleTime = 0;
    event.parameter.parameterAddress = OrvoTunedeck_AudioUnit::kSoundSetOption;
    event.parameter.value = 2.0f;
    render(0, &event);
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), "soundfont1.sf2");
    EXPECT_EQ(unit->soundfontprograms()->programs, tableRows(ProgramTable::xg));
}

TEST_F(SoundSetChoice, BankNumbersAndFilesComeWithTheGeneralMidiTable) {
    unit->loadSoundfontNumber(7);
    EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), "soundfont7.sf2");
    EXPECT_EQ(unit->soundfontprograms()->programs, tableRows(ProgramTable::generalMidi));

    unit->loadSoundfontMode("02");
    const auto bank = synthUnit(*unit).soundBankPath();
    unit->loadSoundfontURL(bank);
    EXPECT_EQ(synthUnit(*unit).soundBankPath(), bank);
    EXPECT_EQ(unit->soundfontprograms()->programs, tableRows(ProgramTable::generalMidi));
    EXPECT_FALSE(unit->getSoundfont()) << "the loaders do not store the bank file";
    EXPECT_EQ(unit->getSynth(), unit->synth()->midiSynth);
}

TEST_F(SoundSetChoice, AllocatingKeepsABankChosenBeforeAndLoadsTheDefaultOnlyWithoutOne) {
    struct Case {
        const char* name;
        void (*choose)(OrvoTunedeck_AudioUnit&);
        const char* bankFile;
        long loadsOnAllocation;
    };
    const Case cases[] = {
        {"nothing chosen", [](OrvoTunedeck_AudioUnit&) {}, "gs_instruments.dls", 1},
        {"sound set row 2",
         [](OrvoTunedeck_AudioUnit& fresh) { fresh.setParameter(OrvoTunedeck_AudioUnit::kSoundSetOption, 2.0f); },
         "soundfont1.sf2", 0},
        {"bank number 7", [](OrvoTunedeck_AudioUnit& fresh) { fresh.loadSoundfontNumber(7); }, "soundfont7.sf2", 0},
    };
    for (const Case& c : cases) {
        unit = std::make_shared<OrvoTunedeck_AudioUnit>();
        unit->setMaximumFramesToRender(kFrames);
        c.choose(*unit);
        dispatch::MainQueue::shared().drain();
        foundation::LogCapture capture;
        allocate();
        EXPECT_EQ(synthUnit(*unit).soundBankPath().filename(), c.bankFile) << c.name;
        const auto lines = capture.lines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line) { return line.find("was successfully loaded") !=
                                                                     std::string::npos; }),
                  c.loadsOnAllocation)
            << c.name << ": allocating loads a bank only when none was chosen";
    }
}

}  // namespace
}  // namespace unit_test
