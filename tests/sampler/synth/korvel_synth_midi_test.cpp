// MIDI input of the synthesizer: channel defaults, each controller and NRPN case, pitch wheel, program selection,
// system exclusive and the two dispatchers, on a synthesizer with a generated General MIDI shaped bank.
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/sys/korvel_settings.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Controllers = std::vector<std::pair<int, int>>;

class SynthMidi : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = new_korvel_settings();
        korvel_settings_setint(settings, "synth.polyphony", 32);
        synth = new_korvel_synth(settings);
        ASSERT_NE(synth, nullptr);
        const std::string path = sf2::scratch_path("general.sf2");
        ASSERT_TRUE(sf2::general_bank().write(path));
        ASSERT_EQ(korvel_synth_sfload(synth, path.c_str(), 1), 1);
    }

    void TearDown() override
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }

    korvel_channel_t* channel(int chan) { return synth->channel[chan]; }

    void send(int chan, const Controllers& ccs)
    {
        for (auto [num, value] : ccs) {
            ASSERT_EQ(korvel_synth_cc(synth, chan, num, value), 0) << "controller " << num;
        }
    }

    // The sounding voice of the key on the channel.
    korvel_voice_t* voice_of(int chan, int key)
    {
        for (int i = 0; i < synth->nvoice; i++) {
            korvel_voice_t* v = synth->voice[i];
            if (korvel_voice_is_playing(v) && v->chan == chan && v->key == key) {
                return v;
            }
        }
        return nullptr;
    }

    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

korvel_midi_message_t message(int status, int p1, int p2)
{
    korvel_midi_message_t msg{};
    msg.status = static_cast<unsigned char>(status);
    msg.type = static_cast<unsigned char>(status < 0xF0 ? status & 0xF0 : status);
    msg.channel = static_cast<unsigned char>(status < 0xF0 ? status & 0x0F : 0);
    msg.param1 = static_cast<unsigned int>(p1);
    msg.param2 = static_cast<unsigned int>(p2);
    return msg;
}

TEST_F(SynthMidi, ChannelsStartWithTheirDefaults)
{
    struct Case {
        int chan;
        unsigned int bank;
        unsigned int prog;
        const char* preset;
    };
    const Case cases[] = {{0, 0, 0, "Sine Piano"}, {1, 0, 1, "Split Lead"}, {15, 0, 15, "Sine Piano"},
                          {9, 128, 0, "Standard Kit"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chan);
        korvel_channel_t* ch = channel(c.chan);
        EXPECT_EQ(korvel_channel_get_banknum(ch), c.bank);
        EXPECT_EQ(korvel_channel_get_prognum(ch), static_cast<int>(c.prog));
        ASSERT_NE(ch->preset, nullptr);
        EXPECT_STREQ(ch->preset->get_name(ch->preset), c.preset);
        EXPECT_EQ(ch->pitch_bend, 8192);
        EXPECT_EQ(ch->pitch_wheel_sensitivity, 2);
        for (int num = 0; num < 128; num++) {
            const int expected = num == 7 || num == 11 || num == 43 ? 127 : num == 10 ? 64 : 0;
            EXPECT_EQ(korvel_channel_get_cc(ch, num), expected) << "controller " << num;
        }
    }
}

TEST_F(SynthMidi, ControllersSelectBanksAndParameters)
{
    struct Case {
        const char* name;
        Controllers ccs;
        unsigned int bank;
        int nrpn_select;
        int cc98;
        int cc99;
    };
    const Case cases[] = {
        {"bank MSB then LSB", {{0, 1}, {32, 2}}, 130, 0, 0, 0},
        {"bank MSB alone", {{0, 3}}, 3, 0, 0, 0},
        {"bank LSB alone", {{32, 5}}, 5, 0, 0, 0},
        {"generator NRPN in hundreds", {{99, 120}, {98, 100}, {98, 8}}, 0, 108, 8, 120},
        {"generator NRPN in thousands", {{99, 120}, {98, 101}, {98, 102}}, 0, 11000, 102, 120},
        {"generator NRPN", {{99, 120}, {98, 8}}, 0, 8, 8, 120},
        {"LSB above 102 adds nothing", {{99, 120}, {98, 8}, {98, 110}}, 0, 8, 110, 120},
        {"LSB without generator MSB selects nothing", {{99, 1}, {98, 8}}, 0, 0, 8, 1},
        {"a new MSB starts over", {{99, 120}, {98, 8}, {99, 120}}, 0, 0, 0, 120},
        {"RPN LSB clears a pending NRPN", {{99, 120}, {98, 8}, {100, 0}}, 0, 0, 0, 0},
        {"reset all controllers", {{0, 1}, {99, 120}, {98, 8}, {121, 0}}, 1, 8, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korvel_channel_reset(channel(3));
        send(3, c.ccs);
        korvel_channel_t* ch = channel(3);
        EXPECT_EQ(ch->banknum, c.bank);
        EXPECT_EQ(ch->nrpn_select, c.nrpn_select);
        EXPECT_EQ(ch->cc[98], c.cc98);
        EXPECT_EQ(ch->cc[99], c.cc99);
    }
}

TEST_F(SynthMidi, ResetAllControllersRestoresTheControllerDefaults)
{
    send(2, {{7, 30}, {10, 0}, {11, 5}, {39, 9}, {1, 100}});
    ASSERT_EQ(korvel_synth_pitch_bend(synth, 2, 0, 0), 0);
    ASSERT_EQ(korvel_synth_pitch_wheel_sens(synth, 2, 12), 0);
    ASSERT_EQ(korvel_synth_set_gen(synth, 2, GEN_PAN, 100.0f), 0);
    send(2, {{121, 0}});
    korvel_channel_t* ch = channel(2);
    EXPECT_EQ(ch->cc[7], 127);
    EXPECT_EQ(ch->cc[10], 64);
    EXPECT_EQ(ch->cc[11], 127);
    EXPECT_EQ(ch->cc[39], 0);
    EXPECT_EQ(ch->cc[43], 127);
    EXPECT_EQ(ch->cc[1], 0);
    EXPECT_EQ(ch->pitch_bend, 8192);
    EXPECT_EQ(ch->pitch_wheel_sensitivity, 2);
    EXPECT_EQ(ch->gen[GEN_PAN], 0.0f);
}

TEST_F(SynthMidi, DataEntrySetsGeneratorsOfTheChannelOrOfOneKey)
{
    struct Case {
        const char* name;
        Controllers ccs;
        int gen;
        float key60;   // NRPN offset of the voice on key 60
        float key64;   // of the voice on key 64
        float channel; // the channel's offset
    };
    const float full = korvel_gen_scale_nrpn(GEN_PAN, 127 * 128);
    const float cutoff = korvel_gen_scale_nrpn(GEN_FILTERFC, 16383);
    const Case cases[] = {
        {"centre cut-off for the channel", {{99, 120}, {98, 8}, {38, 0}, {6, 64}}, GEN_FILTERFC, 0.0f, 0.0f, 0.0f},
        {"full cut-off for the channel", {{99, 120}, {98, 8}, {38, 127}, {6, 127}}, GEN_FILTERFC, cutoff, cutoff,
         cutoff},
        {"pan of key 60 alone", {{99, 28}, {98, 60}, {6, 127}}, GEN_PAN, full, 0.0f, 0.0f},
        {"MSB 27 addresses nothing", {{99, 27}, {98, 60}, {6, 127}}, GEN_PAN, 0.0f, 0.0f, 0.0f},
        {"generator LSB above 99", {{99, 120}, {98, 8}, {98, 100}, {6, 127}}, GEN_FILTERFC, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        korvel_channel_reset(channel(0));
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 64, 100), 0);
        korvel_voice_t* v60 = voice_of(0, 60);
        korvel_voice_t* v64 = voice_of(0, 64);
        ASSERT_NE(v60, nullptr);
        ASSERT_NE(v64, nullptr);
        send(0, c.ccs);
        EXPECT_EQ(static_cast<float>(v60->gen[c.gen].nrpn), c.key60);
        EXPECT_EQ(static_cast<float>(v64->gen[c.gen].nrpn), c.key64);
        EXPECT_EQ(channel(0)->gen[c.gen], c.channel);
        korvel_synth_all_sounds_off(synth, 0);
    }
}

TEST_F(SynthMidi, AGeneratorNrpnBeyondTheTableIsRefused)
{
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    korvel_test::LogCapture capture;
    // 108, then far beyond: the selection stops growing instead of wrapping back into the table.
    send(0, {{99, 120}, {98, 100}, {98, 8}, {6, 70}});
    send(0, {{99, 120}, {98, 102}, {98, 102}, {98, 102}, {98, 102}, {98, 102}, {98, 102}, {98, 102}, {98, 0}, {6, 70}});
    EXPECT_EQ(channel(0)->nrpn_select, 32767);
    const std::vector<std::string> warnings = capture.texts(KORVEL_WARN);
    ASSERT_EQ(warnings.size(), 4u);
    EXPECT_EQ(warnings[0].rfind("korvel_chan_ctrl.cpp: ", 0), 0u) << warnings[0];
    EXPECT_TRUE(warnings[0].ends_with(": NRPN Select = 108")) << warnings[0];
    EXPECT_EQ(warnings[1], "Parameter number out of range");
    EXPECT_TRUE(warnings[2].ends_with(": NRPN Select = 32767")) << warnings[2];
    EXPECT_EQ(warnings[3], "Parameter number out of range");
    for (int gen = 0; gen < GEN_LAST; gen++) {
        EXPECT_EQ(channel(0)->gen[gen], 0.0f) << "generator " << gen;
    }
}

TEST_F(SynthMidi, TheSustainPedalHoldsReleasedNotesUntilItIsLetGo)
{
    send(0, {{64, 127}});
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    korvel_voice_t* v = voice_of(0, 60);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(korvel_synth_noteoff(synth, 0, 60), 0);
    EXPECT_EQ(v->status, KORVEL_VOICE_SUSTAINED);
    EXPECT_EQ(korvel_synth_noteoff(synth, 0, 60), -1) << "a sustained voice is no longer on";
    send(0, {{64, 100}});
    EXPECT_EQ(v->status, KORVEL_VOICE_SUSTAINED) << "a pedal still down";
    send(1, {{64, 0}});
    EXPECT_EQ(v->status, KORVEL_VOICE_SUSTAINED) << "another channel's pedal";
    EXPECT_LT(v->volenv->section, KORVEL_ENV_RELEASE);
    send(0, {{64, 63}});
    EXPECT_EQ(v->volenv->section, KORVEL_ENV_RELEASE);
}

TEST_F(SynthMidi, NotesAndSoundsOffEndTheChannelsVoices)
{
    struct Case {
        int controller;
        int section; // of the voice on the controlled channel
        int status;
    };
    const Case cases[] = {{123, KORVEL_ENV_RELEASE, KORVEL_VOICE_ON}, {120, KORVEL_ENV_FINISHED, KORVEL_VOICE_OFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.controller);
        ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
        ASSERT_EQ(korvel_synth_noteon(synth, 1, 60, 100), 0);
        korvel_voice_t* mine = voice_of(0, 60);
        korvel_voice_t* other = voice_of(1, 60);
        send(0, {{c.controller, 0}});
        EXPECT_EQ(mine->status, c.status);
        EXPECT_EQ(mine->volenv->section, c.section);
        EXPECT_EQ(other->status, KORVEL_VOICE_ON);
        EXPECT_LT(other->volenv->section, KORVEL_ENV_RELEASE);
        korvel_synth_all_sounds_off_all(synth);
    }
}

TEST_F(SynthMidi, ControllersAndThePitchWheelReachTheVoicesModulators)
{
    ASSERT_EQ(korvel_synth_noteon(synth, 0, 60, 100), 0);
    korvel_voice_t* v = voice_of(0, 60);
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(korvel_synth_pitch_bend(synth, 0, 0, 127), 0);
    EXPECT_EQ(channel(0)->pitch_bend, 127 * 128);
    EXPECT_GT(v->gen[GEN_PITCH].mod, 190.0) << "two semitones up, nearly";
    ASSERT_EQ(korvel_synth_pitch_wheel_sens(synth, 0, 12), 0);
    EXPECT_GT(v->gen[GEN_PITCH].mod, 1180.0) << "twelve semitones up, nearly";
    send(0, {{10, 0}});
    EXPECT_LT(v->gen[GEN_PAN].mod, -490.0) << "pan hard left";
    int value = 0;
    EXPECT_EQ(korvel_synth_get_pitch_bend(synth, 0, &value), 0);
    EXPECT_EQ(value, 127 * 128);
    EXPECT_EQ(korvel_synth_get_pitch_wheel_sens(synth, 0, &value), 0);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(korvel_synth_get_cc(synth, 0, 10, &value), 0);
    EXPECT_EQ(value, 0);
}

TEST_F(SynthMidi, OutOfRangeArgumentsAreRefused)
{
    struct Case {
        int chan;
        int num;
        int value;
        const char* warning;
    };
    const Case cases[] = {
        {16, 7, 100, "Channel out of range"}, {-1, 7, 100, "Channel out of range"},
        {0, 128, 100, "Ctrl out of range"},   {0, 7, 128, "Value out of range"},
        {0, 7, -1, "Value out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        korvel_test::LogCapture capture;
        EXPECT_EQ(korvel_synth_cc(synth, c.chan, c.num, c.value), -1);
        EXPECT_EQ(capture.texts(KORVEL_WARN), std::vector<std::string>{c.warning});
    }
    int value = 0;
    EXPECT_EQ(korvel_synth_get_cc(synth, 0, 128, &value), -1);
    EXPECT_EQ(korvel_synth_pitch_bend(synth, 16, 0, 64), -1);
    EXPECT_EQ(korvel_synth_pitch_wheel_sens(synth, 16, 2), -1);
    EXPECT_EQ(korvel_synth_bank_select(synth, 16, 1), -1);
    EXPECT_EQ(korvel_synth_sfont_select(synth, -1, 1), -1);
    EXPECT_EQ(channel(0)->cc[7], 127) << "nothing was stored";
}

TEST_F(SynthMidi, TheDrumChannelFindsAKitWhateverBankAFileSelects)
{
    struct Case {
        int msb;
        int lsb;
        int program;
        const char* kit;
    };
    // Bank 0 holds programs 0, 1 and 10, so the rows with those programs would find a melodic preset if the drum
    // channel looked there.
    const Case cases[] = {{0, 0, 0, "Standard Kit"},   {0, 0, 1, "Standard Kit"},  {0, 0, 10, "Standard Kit"},
                          {0, 0, 25, "Standard Kit"},  {1, 0, 0, "Standard Kit"},  {0, 5, 0, "Standard Kit"},
                          {8, 0, 0, "Standard Kit"},   {120, 0, 0, "Standard Kit"}, {127, 0, 0, "Standard Kit"},
                          {127, 127, 0, "Standard Kit"}, {1, 0, 25, "Brush Kit"},   {0, 0, 127, "Standard Kit"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.msb << ":" << c.lsb << " program " << c.program);
        send(9, {{0, c.msb}, {32, c.lsb}});
        ASSERT_EQ(korvel_synth_program_change(synth, 9, c.program), 0);
        ASSERT_NE(channel(9)->preset, nullptr);
        EXPECT_STREQ(channel(9)->preset->get_name(channel(9)->preset), c.kit);
    }
}

TEST_F(SynthMidi, ProgramsAreSelectedByBankAndSoundFont)
{
    EXPECT_EQ(korvel_synth_bank_select(synth, 2, 128), 0);
    EXPECT_EQ(korvel_synth_sfont_select(synth, 2, 7), 0);
    unsigned int sfont = 0;
    unsigned int bank = 0;
    unsigned int prog = 0;
    EXPECT_EQ(korvel_synth_get_program(synth, 2, &sfont, &bank, &prog), 0);
    EXPECT_EQ(sfont, 7u);
    EXPECT_EQ(bank, 128u);
    EXPECT_EQ(prog, 2u);
    EXPECT_STREQ(channel(2)->preset->get_name(channel(2)->preset), "Sine Piano") << "select alone changes nothing";

    EXPECT_EQ(korvel_synth_program_select(synth, 2, 1, 128, 25), 0);
    EXPECT_STREQ(channel(2)->preset->get_name(channel(2)->preset), "Brush Kit");
    EXPECT_EQ(korvel_synth_get_program(synth, 2, &sfont, &bank, &prog), 0);
    EXPECT_EQ(sfont, 1u);
    EXPECT_EQ(prog, 25u);

    const char* name = korvel_synth_get_sfont(synth, 0)->get_name(korvel_synth_get_sfont(synth, 0));
    EXPECT_EQ(korvel_synth_program_select2(synth, 3, name, 0, 10), 0);
    EXPECT_STREQ(channel(3)->preset->get_name(channel(3)->preset), "Velocity Box");

    korvel_test::LogCapture capture;
    EXPECT_EQ(korvel_synth_program_select(synth, 16, 1, 0, 0), -1);
    EXPECT_EQ(korvel_synth_program_select2(synth, 3, "missing.sf2", 0, 0), -1);
    EXPECT_EQ(korvel_synth_program_select(synth, 3, 9, 0, 0), -1);
    EXPECT_EQ(capture.texts(KORVEL_ERR),
              (std::vector<std::string>{"Channel number out of range (chan=16)", "Could not find SoundFont missing.sf2",
                                        "There is no preset with bank number 0 and preset number 0 in SoundFont 9"}));
}

TEST_F(SynthMidi, SystemExclusiveIsOnlyPrintedWhileVerbose)
{
    const unsigned char data[] = {0x7E, 0x7F, 0x09, 0x01};
    struct Case {
        bool verbose;
        int len;
        int result;
        const char* printed;
    };
    const Case cases[] = {{false, 4, 0, ""}, {true, 4, 0, "F0 7E 7F 09 01 \n"}, {true, 0, 0, "F0 \n"},
                          {true, 255, -1, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.len);
        synth->verbose = c.verbose;
        std::vector<unsigned char> bytes(static_cast<size_t>(c.len) + 1);
        std::copy(std::begin(data), std::begin(data) + std::min(c.len, 4), bytes.begin());
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(korvel_synth_sysex(synth, bytes.data(), c.len), c.result);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.printed);
    }
}

TEST_F(SynthMidi, TheDispatchersTurnMessagesIntoCalls)
{
    struct Case {
        const char* name;
        korvel_midi_message_t msg;
        int instance_result; // korvel_synth_handle_midi_event2
        int router_result;   // korvel_synth_handle_midi_event
    };
    korvel_midi_message_t sysex = message(0xF0, 0, 0);
    sysex.sysex_len = 254;
    korvel_midi_message_t long_sysex = message(0xF0, 0, 0);
    long_sysex.sysex_len = 255;
    korvel_midi_message_t tempo = message(0xFF, 500000, 0);
    tempo.type = 0x51;
    const Case cases[] = {
        {"note-on", message(0x90, 60, 100), 0, 0},
        {"note-on out of range", message(0x90, 128, 100), -1, -1},
        {"note-off without voice", message(0x81, 60, 0), -1, -1},
        {"controller", message(0xB0, 7, 100), 0, 0},
        {"controller value out of range", message(0xB0, 7, 200), -1, -1},
        {"program 128", message(0xC0, 128, 0), 0, 0},
        {"program 129", message(0xC0, 129, 0), -1, -1},
        {"pitch bend", message(0xE0, 0, 64), 0, 0},
        {"system exclusive", sysex, 0, 0},
        {"system exclusive too long", long_sysex, -1, -1},
        {"tempo", tempo, 0, -1},
        {"key pressure", message(0xA0, 60, 10), 0, -1},
        {"channel pressure", message(0xD0, 10, 0), 0, -1},
        {"clock", message(0xF8, 0, 0), 0, -1},
        {"unknown", message(0x42, 0, 0), 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(korvel_synth_handle_midi_event2(synth, nullptr, &c.msg), c.instance_result);
        EXPECT_EQ(korvel_synth_handle_midi_event(synth, &c.msg), c.router_result);
    }
    korvel_midi_message_t note = message(0x90, 60, 100);
    EXPECT_EQ(korvel_synth_handle_midi_event2(nullptr, nullptr, &note), 1);
}

TEST_F(SynthMidi, AnUnknownMessageIsNamedInTheLog)
{
    korvel_test::LogCapture capture;
    korvel_midi_message_t msg = message(0x42, 0, 0);
    EXPECT_EQ(korvel_synth_handle_midi_event2(synth, nullptr, &msg), 0);
    EXPECT_EQ(capture.texts(KORVEL_WARN), std::vector<std::string>{"UNKNOWN MIDI MESSAGE: 66 / 64"});
}

TEST_F(SynthMidi, ResetMessagesResetOnlyThroughTheRouter)
{
    korvel_midi_message_t reset = message(0xFF, 0, 0);
    send(4, {{7, 20}});
    ASSERT_EQ(korvel_synth_noteon(synth, 4, 60, 100), 0);
    korvel_voice_t* v = voice_of(4, 60);
    EXPECT_EQ(korvel_synth_handle_midi_event2(synth, nullptr, &reset), 0);
    EXPECT_TRUE(korvel_voice_is_playing(v));
    EXPECT_EQ(channel(4)->cc[7], 20);
    EXPECT_EQ(korvel_synth_handle_midi_event(synth, &reset), 0);
    EXPECT_FALSE(korvel_voice_is_playing(v));
    EXPECT_EQ(channel(4)->cc[7], 127);
}

} // namespace
