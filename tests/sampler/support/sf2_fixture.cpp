#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace sf2 {

Bank general_bank()
{
    Bank bank;
    bank.samples.push_back(looped_sample("Sine", sine_wave(FIXTURE_PERIOD, 8), FIXTURE_PERIOD, 60));
    bank.samples.push_back(looped_sample("Square", square_wave(FIXTURE_PERIOD, 8), FIXTURE_PERIOD, 60));
    bank.samples.push_back(looped_sample("Saw", saw_wave(FIXTURE_PERIOD, 8), FIXTURE_PERIOD, 72));
    bank.samples.push_back(one_shot_sample("Kick", click(400), 36));
    bank.samples.push_back(one_shot_sample("Hat", click(200, 0.5), 42));

    Instrument sine{"Sine Inst", {}};
    sine.zones.push_back(Zone{}.gen(ATTENUATION, 30));
    Zone sine_zone;
    sine_zone.link = 0;
    sine_zone.gen(SAMPLE_MODES, 1).mod({mod_source(1, true, false, false, 0), 8, -2400, 0, 0});
    sine.zones.push_back(sine_zone);

    Instrument split{"Split Inst", {}};
    Zone low;
    low.link = 1;
    low.key_range(0, 59).gen(SAMPLE_MODES, 1);
    Zone high;
    high.link = 2;
    high.key_range(60, 127).gen(SAMPLE_MODES, 1);
    split.zones = {low, high};

    Instrument velocity{"Velocity Inst", {}};
    Zone soft;
    soft.link = 0;
    soft.vel_range(0, 63).gen(SAMPLE_MODES, 1);
    Zone loud;
    loud.link = 1;
    loud.vel_range(64, 127).gen(SAMPLE_MODES, 1);
    velocity.zones = {soft, loud};

    Instrument kit{"Kit", {}};
    Zone kick;
    kick.link = 3;
    kick.key_range(36, 36);
    Zone closed_hat;
    closed_hat.link = 4;
    closed_hat.key_range(42, 42).gen(EXCLUSIVE_CLASS, 1);
    Zone open_hat;
    open_hat.link = 4;
    open_hat.key_range(46, 46).gen(EXCLUSIVE_CLASS, 1).gen(RELEASE_VOL_ENV, 1200);
    kit.zones = {kick, closed_hat, open_hat};

    bank.instruments = {sine, split, velocity, kit};

    Preset piano{"Sine Piano", 0, 0, {}};
    piano.zones.push_back(Zone{}.gen(PAN, 100));
    Zone piano_zone;
    piano_zone.link = 0;
    piano.zones.push_back(piano_zone);

    auto single = [](const char* name, uint16_t program, uint16_t b, uint16_t inst) {
        Preset p{name, program, b, {}};
        Zone z;
        z.link = inst;
        p.zones.push_back(z);
        return p;
    };
    Preset brush = single("Brush Kit", 25, 128, 3);
    brush.zones[0].gen(ATTENUATION, 60).mod({mod_source(2, false, true, false, 1), ATTENUATION, 100, 0, 0});

    // Written out of order: the reader sorts presets by bank and program.
    bank.presets = {single("Standard Kit", 0, 128, 3), piano, single("Velocity Box", 10, 0, 2), brush,
                    single("Split Lead", 1, 0, 1)};
    return bank;
}

std::string scratch_path(const std::string& file_name)
{
    const char* root = std::getenv("TUNEDECK_TEST_TMP");
    std::filesystem::path dir = root != nullptr ? root : std::filesystem::temp_directory_path().string();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "sampler";
    dir /= name + "." + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    return (dir / file_name).string();
}

} // namespace sf2
