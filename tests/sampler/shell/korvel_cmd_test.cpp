// The command shell's commands, run line by line with their answers captured: exact texts and results of the
// refusals and of the answers, the help topics, the settings listing and the sound-font, tuning and settings
// commands on a generated bank.
#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/midi/korvel_midi_router.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/shell_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using korvel_test::Answer;
using korvel_test::ShellFixture;

struct Case {
  const char* line;
  int result;
  const char* text;
};

// Runs the rows in order on one synthesizer (later rows may rely on earlier ones).
void runCases(ShellFixture& shell, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Answer answer = shell.run(c.line);
    EXPECT_EQ(answer.result, c.result);
    EXPECT_EQ(answer.text, c.text);
  }
}

TEST(ShellCommands, DispatchCommentsAndUnknownNames) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  runCases(shell, {
                      {"# a comment", 1, ""},
                      {"", 1, ""},
                      {" \t\r", 1, ""},
                      {" # x", -1, "unknown command: # (try help)\n"},
                      {"frobnicate 1 2", -1, "unknown command: frobnicate (try help)\n"},
                      {"echo", -1, "echo: too few arguments.\n"},
                      {"echo hello world", 0, "hello\n"},
                      {"\techo\t tabbed ", 0, "tabbed\n"},
                      {"quit", -2, "cheers!\n"},
                  });
}

TEST(ShellCommands, LineOfMoreThanAHundredTokensIsRefused) {
  ShellFixture shell;
  std::string line = "echo";
  for (int i = 1; i < 100; i++) line += " w" + std::to_string(i);
  Answer full = shell.run(line);
  EXPECT_EQ(full.result, 0);
  EXPECT_EQ(full.text, "w1\n");
  Answer over = shell.run(line + " w100");
  EXPECT_EQ(over.result, -1);
  EXPECT_EQ(over.text, "echo: too many arguments\n");
}

TEST(ShellCommands, EventCommandsCheckTheirArguments) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  shell.loadGeneralBank();
  runCases(shell, {
                      {"noteon 1 60", -1, "noteon: too few arguments\n"},
                      {"noteon 1 60 x", -1, "noteon: invalid argument\n"},
                      {"noteon 1 60 1e2", -1, "noteon: invalid argument\n"},
                      {"noteon 0 60 100", 0, ""},
                      {"noteon 16 60 100", -1, ""},
                      {"noteon 0 128 100", -1, ""},
                      {"noteon 99999999999999999999 60 100", -1, ""},
                      {"noteoff 0", -1, "noteoff: too few arguments\n"},
                      {"noteoff 0 z", -1, "noteoff: invalid argument\n"},
                      {"noteoff 0 60", 0, ""},
                      {"cc 0 7", -1, "cc: too few arguments\n"},
                      {"cc 0 7 a", -1, "cc: invalid argument\n"},
                      {"cc 0 7 100", 0, ""},
                      {"cc 16 7 100", -1, ""},
                      {"cc 0 7 128", -1, ""},
                      {"prog 0", -1, "prog: too few arguments\n"},
                      {"prog 0 p", -1, "prog: invalid argument\n"},
                      {"prog 0 1", 0, ""},
                      {"prog 0 129", -1, ""},
                      {"select 0 1 0", -1, "preset: too few arguments\n"},
                      {"select 0 x 0 0", -1, "preset: invalid argument\n"},
                      {"select 0 0 0 10", 0, ""},
                      {"select 0 1 128 25", 0, ""},
                      {"select 0 9 0 0", -1, ""},
                      {"select 16 0 0 0", -1, ""},
                      {"select 16 1 0 0", -1, ""},
                  });
  unsigned int sfont = 0;
  unsigned int bank = 0;
  unsigned int preset = 0;
  korvel_synth_get_program(shell.synth, 0, &sfont, &bank, &preset);
  EXPECT_EQ(bank, 128u);
  EXPECT_EQ(preset, 25u);
}

TEST(ShellCommands, LoneSignCountsAsZero) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  shell.loadGeneralBank();
  ASSERT_EQ(shell.run("noteon 0 60 100").result, 0);
  // Velocity "-" converts to 0: a note-off for the key, no argument message.
  Answer answer = shell.run("noteon 0 60 -");
  EXPECT_EQ(answer.text, "");
  EXPECT_EQ(answer.result, 0);
}

TEST(ShellCommands, SynthesizerCommandsCheckRanges) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  runCases(shell, {
                      {"interp", -1, "interp: too few arguments.\n"},
                      {"interp 8", -1, "interp: Bad value\n"},
                      {"interp -1", -1, "interp: Bad value\n"},
                      {"interp x", -1, "interp: Bad value\n"},
                      {"interp 7", 0, ""},
                      {"interpc 0", -1, "interpc: too few arguments.\n"},
                      {"interpc 16 1", -1, "interp: Bad value for channel number.\n"},
                      {"interpc -1 1", -1, "interp: Bad value for channel number.\n"},
                      {"interpc 0 9", -1, "interp: Bad value for interpolation method.\n"},
                      {"interpc 15 0", 0, ""},
                      {"gain", -1, "gain: too few arguments.\n"},
                      {"gain 5.1", -1, "gain: value should be between '0' and '5'.\n"},
                      {"gain -0.1", -1, "gain: value should be between '0' and '5'.\n"},
                      {"gain loud", -1, "gain: value should be between '0' and '5'.\n"},
                      {"gain 5", 0, ""},
                      {"reset", 0, ""},
                  });
  EXPECT_FLOAT_EQ(korvel_synth_get_gain(shell.synth), 5.0f);
}

TEST(ShellCommands, ReverbAndChorusCommands) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  runCases(shell, {
                      {"rev_preset", -1, "rev_preset: too few arguments\n"},
                      {"rev_preset 5", -1, "rev_preset: Failed. Parameter out of range?\n"},
                      {"rev_preset x", -1, "rev_preset: invalid argument\n"},
                      {"rev_preset 4", 0, ""},
                      {"rev_setroomsize", -1, "rev_setroomsize: too few arguments.\n"},
                      {"rev_setroomsize -0.1", -1, "rev_setroomsize: Room size must be positive!\n"},
                      {"rev_setroomsize 1.3", -1, "rev_setroomsize: Room size too big!\n"},
                      {"rev_setroomsize 0.7", 0, ""},
                      {"rev_setdamp", -1, "rev_setdamp: too few arguments.\n"},
                      {"rev_setdamp 1.5", -1, "rev_setdamp: damp must be between 0 and 1!\n"},
                      {"rev_setdamp 0.5", 0, ""},
                      {"rev_setwidth", -1, "rev_setwidth: too few arguments.\n"},
                      {"rev_setwidth 101", 0, "rev_setwidth: Too wide! (0..100)\n"},
                      {"rev_setwidth 40", 0, ""},
                      {"rev_setlevel", -1, "rev_setlevel: too few arguments.\n"},
                      {"rev_setlevel 31", 0, "rev_setlevel: Value too high! (Value of 10 =+20 dB)\n"},
                      {"rev_setlevel -31", 0, "rev_setlevel: Value too high! (Value of 10 =+20 dB)\n"},
                      {"rev_setlevel -30.9", 0, ""},
                      {"rev_setlevel 30.9", 0, ""},
                      {"reverb", -1, "reverb: too few arguments.\n"},
                      {"reverb maybe", -1, "reverb: invalid arguments maybe [0|1|on|off]"},
                      {"reverb off", 0, ""},
                      {"reverb 1", 0, ""},
                      {"cho_set_nr", -1, "cho_set_nr: too few arguments.\n"},
                      {"cho_set_level", -1, "cho_set_level: too few arguments.\n"},
                      {"cho_set_speed", -1, "cho_set_speed: too few arguments.\n"},
                      {"cho_set_depth", -1, "cho_set_depth: too few arguments.\n"},
                      {"cho_set_level x", -1, "cho_set_level: invalid argument\n"},
                      {"cho_set_nr 4", 0, ""},
                      {"cho_set_level 20", 0, ""},
                      {"cho_set_speed 1.5", 0, ""},
                      {"cho_set_depth 4", 0, ""},
                      {"chorus", -1, "chorus: too few arguments\n"},
                      {"chorus 2", -1, "chorus: invalid arguments 2 [0|1|on|off]"},
                      {"chorus on", 0, ""},
                      {"chorus 0", 0, ""},
                  });
  EXPECT_NEAR(korvel_synth_get_reverb_roomsize(shell.synth), 0.7, 1e-6);
  EXPECT_NEAR(korvel_synth_get_reverb_damp(shell.synth), 0.5, 1e-9);
  EXPECT_NEAR(korvel_synth_get_reverb_width(shell.synth), 40.0, 1e-9);
  EXPECT_EQ(korvel_chorus_get_nr(shell.synth->chorus), 4);
  EXPECT_NEAR(korvel_chorus_get_level(shell.synth->chorus), 0.1, 1e-9);  // the chorus limits a level above 10
  EXPECT_NEAR(korvel_chorus_get_speed_Hz(shell.synth->chorus), 1.5, 1e-9);
  EXPECT_NEAR(korvel_chorus_get_depth_ms(shell.synth->chorus), 4.0, 1e-9);
}

TEST(ShellCommands, TuningCommands) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  runCases(shell, {
                      {"tunings", 0, "No tunings available\n"},
                      {"tuning x 0", -1, "tuning: too few arguments.\n"},
                      {"tuning x a 0", -1, "tuning: 2nd argument should be a number.\n"},
                      {"tuning x 128 0", -1, "tuning: invalid bank number.\n"},
                      {"tuning x 0 b", -1, "tuning: 3rd argument should be a number.\n"},
                      {"tuning x 0 -1", -1, "tuning: invalid program number.\n"},
                      {"tune 0 0 60", -1, "tune: too few arguments.\n"},
                      {"tune 0 0 60 6100", -1, ""},
                      {"tuning Just 0 5", 0, ""},
                      {"tuning Wide 3 0", 0, ""},
                      {"tune x 5 60 1", -1, "tune: 1st argument should be a number.\n"},
                      {"tune 128 5 60 1", -1, "tune: invalid bank number.\n"},
                      {"tune 0 x 60 1", -1, "tune: 2nd argument should be a number.\n"},
                      {"tune 0 128 60 1", -1, "tune: invalid program number.\n"},
                      {"tune 0 5 x 1", -1, "tune: 3rd argument should be a number.\n"},
                      {"tune 0 5 128 1", -1, "tune: invalid key number.\n"},
                      {"tune 0 5 60 -1", -1, "tune: invalid pitch.\n"},
                      {"tune 0 5 60 lots", -1, "tune: invalid pitch.\n"},
                      {"tune 0 5 60 6012.5", 0, ""},
                      {"tunings", 0, "000-005 Just\n003-000 Wide\n"},
                      {"settuning 0 0", -1, "settuning: too few arguments.\n"},
                      {"settuning x 0 5", -1, "tune: 1st argument should be a number.\n"},
                      {"settuning 16 0 5", -1, "tune: invalid channel number.\n"},
                      {"settuning 0 128 5", -1, "tuning: invalid bank number.\n"},
                      {"settuning 0 0 p", -1, "tuning: 3rd argument should be a number.\n"},
                      {"settuning 0 1 1", -1, ""},
                      {"settuning 0 0 5", 0, ""},
                      {"resettuning", -1, "resettuning: too few arguments.\n"},
                      {"resettuning 16", -1, "tune: invalid channel number.\n"},
                      {"resettuning 0", 0, ""},
                      {"dumptuning 0", -1, "dumptuning: too few arguments.\n"},
                      {"dumptuning x 0", -1, "dumptuning: 1st argument should be a number.\n"},
                      {"dumptuning 200 0", -1, "dumptuning: invalid bank number.\n"},
                      {"dumptuning 0 x", -1, "dumptuning: 2nd argument should be a number.\n"},
                      {"dumptuning 0 128", -1, "dumptuning: invalid program number.\n"},
                      {"dumptuning 0 0", -1, ""},
                  });
  Answer dump = shell.run("dumptuning 0 5");
  EXPECT_EQ(dump.result, 0);
  std::string expected = "000-005 Just:\n";
  for (int key = 0; key < 128; key++) {
    char line[64];
    std::snprintf(line, sizeof line, "key %03d, pitch %5.2f\n", key, key == 60 ? 6012.5 : 100.0 * key);
    expected += line;
  }
  EXPECT_EQ(dump.text, expected);
}

TEST(ShellCommands, SettingsCommands) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  runCases(shell, {
                      {"set synth.gain", -1, "set: too few arguments.\n"},
                      {"set synth.polyphony 5000", 0, ""},
                      {"get synth.polyphony", 0, "4096"},
                      {"set synth.gain 0.25", 0, ""},
                      {"get synth.gain", 0, "0.250"},
                      {"set synth.verbose yes", 0, ""},
                      {"get synth.verbose", 0, "yes"},
                      {"set synth.gain loud", -1, "set: failed to set 'synth.gain'.\n"},
                      {"set synth.verbose 1", -1, "set: failed to set 'synth.verbose'.\n"},
                      {"set synth 1", -1, "set: failed to set 'synth'.\n"},
                      {"set my.own.key 7", 0, ""},
                      {"get my.own.key", 0, "7"},
                      {"get synth", 0, "synth is a node"},
                      {"get shell.prompt", 0, ""},
                      {"get", -1, "get: too few arguments.\n"},
                      {"get nothing.here", -1, "get: no such settings 'nothing.here'."},
                      {"info", -1, "info: too few arguments.\n"},
                      {"info nothing", -1, "info: no such settings 'nothing'."},
                      {"info audio", 0, "audio is a node"},
                  });
  EXPECT_FLOAT_EQ(korvel_synth_get_gain(shell.synth), 0.25f);
  EXPECT_EQ(shell.run("info synth.gain").text,
            "synth.gain:\n"
            "Type:          number\n"
            "Value:         0.250\n"
            "Minimum value: 0.000\n"
            "Maximum value: 10.000\n"
            "Default value: 0.200\n"
            "Real-time:     yes\n");
  EXPECT_EQ(shell.run("info audio.periods").text,
            "audio.periods:\n"
            "Type:          integer\n"
            "Value:         16\n"
            "Minimum value: 2\n"
            "Maximum value: 64\n"
            "Default value: 16\n"
            "Real-time:     no\n");
  EXPECT_EQ(shell.run("info audio.sample-format").text,
            "audio.sample-format:\n"
            "Type:          string\n"
            "Value:         32bits\n"
            "Default value: 32bits\n"
            "Options:       32bits, float\n"
            "Real-time:     no\n");
}

TEST(ShellCommands, SettingsListsEveryKeyPaddedToTheLongestName) {
  ShellFixture shell;
  Answer answer = shell.run("settings");
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.text,
            "audio.output-channels    2\n"
            "audio.periods            16\n"
            "audio.sample-format      32bits\n"
            "audio.period-size        64\n"
            "audio.input-channels     0\n"
            "audio.driver             iosaudio\n"
            "midi.driver              iosmidi\n"
            "synth.reverb.active      yes\n"
            "synth.ladspa.active      no\n"
            "synth.midi-channels      16\n"
            "synth.polyphony          32\n"
            "synth.sample-rate        48000.000\n"
            "synth.verbose            no\n"
            "synth.chorus.active      yes\n"
            "synth.effects-channels   6\n"
            "synth.gain               0.500\n"
            "synth.audio-channels     16\n"
            "synth.dump               no\n"
            "synth.audio-groups       16\n"
            "shell.prompt             \n"
            "shell.port               9800\n");
}

TEST(ShellCommands, HelpTopics) {
  ShellFixture shell;
  EXPECT_EQ(shell.run("help").text,
            "\n"
            "help                       Print command summary. 'help help': Show more help topics\n"
            "quit                       Quit the synthesizer\n"
            "load file [reset] [bank_offset]   Load a SoundFont (reset=0|1, default 1; bank_offset=n, default 0)\n"
            "unload id [reset]          Unload the SoundFont with the specified ID (reset=0|1, default 1)\n"
            "reload id                  Reload the SoundFont with the specified ID\n"
            "fonts                      Display the list of loaded SoundFonts\n"
            "inst font                  Print out the available instruments for the font\n"
            "channels [-verbose]        Print out preset of all channels\n"
            "interp num                 Choose interpolation method for all channels\n"
            "interpc chan num           Choose interpolation method for one channel\n"
            "gain value                 Set the master gain (0 < gain < 5)\n"
            "reset                      Send a system reset (all notes off, reset controllers)\n"
            "echo arg                   Print arg\n");
  EXPECT_EQ(shell.run("help help").text,
            "\n*** Help topics:***\nhelp help (prints this list)\nhelp all (prints all topics)\n"
            "help general\nhelp event\nhelp reverb\nhelp chorus\nhelp tuning\nhelp settings\nhelp router\n");
  EXPECT_EQ(shell.run("help tuning").text,
            "\n"
            "tuning name bank prog      Create a tuning with name, bank number, \n"
            + std::string(27, ' ') + "and program number (0 <= bank,prog <= 127)\n"
            "tune bank prog key pitch   Tune a key\n"
            "settuning chan bank prog   Set the tuning for a MIDI channel\n"
            "resettuning chan           Restore the default tuning of a MIDI channel\n"
            "tunings                    Print the list of available tunings\n"
            "dumptuning bank prog       Print the pitch details of the tuning\n");
  EXPECT_EQ(shell.run("help nonsense").text, "\nUnknown help topic. Try 'help help'.\n");
  Answer all = shell.run("help all");
  EXPECT_EQ(all.result, 0);
  // 46 rows, the tuning row on two lines, after the leading line end; "source" is not among them.
  EXPECT_EQ(std::count(all.text.begin(), all.text.end(), '\n'), 1 + 46 + 1);
  EXPECT_EQ(all.text.find("source"), std::string::npos);
}

TEST(ShellCommands, SoundFontCommands) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  runCases(shell, {
                      {"fonts", 0, "no SoundFont loaded (try load)\n"},
                      {"load", -1, "load: too few arguments\n"},
                      {"load /nonexistent/bank.sf2", -1, "failed to load the SoundFont\n"},
                      {"inst", -1, "inst: too few arguments\n"},
                      {"inst x", -1, "inst: invalid argument\n"},
                      {"inst 1", -1, "inst: invalid font number\n"},
                      {"unload", -1, "unload: too few arguments\n"},
                      {"unload x", -1, "unload: expected a number as argument\n"},
                      {"unload 1", -1, "failed to unload the SoundFont\n"},
                      {"reload", -1, "reload: too few arguments\n"},
                      {"reload x", -1, "reload: expected a number as argument\n"},
                      {"reload 1", -1, "failed to reload the SoundFont\n"},
                  });
  std::string empty;
  for (int chan = 0; chan < 16; chan++) empty += "chan " + std::to_string(chan) + ", no preset\n";
  EXPECT_EQ(shell.run("channels").text, empty);

  std::string path = shell.loadGeneralBank();
  EXPECT_EQ(shell.run("fonts").text, "ID  Name\n 1  " + path + "\n");
  EXPECT_EQ(shell.run("inst 1").text,
            "000-000 Sine Piano\n000-001 Split Lead\n000-010 Velocity Box\n128-000 Standard Kit\n"
            "128-025 Brush Kit\n");
  Answer channels = shell.run("channels");
  EXPECT_EQ(channels.text.substr(0, 38), "chan 0, Sine Piano\nchan 1, Split Lead\n");
  EXPECT_NE(channels.text.find("chan 9, Standard Kit\n"), std::string::npos);
  EXPECT_NE(shell.run("channels -verbose").text.find("chan 9, sfont 1, bank 128, preset 0, Standard Kit\n"),
            std::string::npos);

  // A second copy with a bank offset of 2 and no program reset: its presets list two banks up.
  Answer second = shell.run("load " + path + " 0 2");
  EXPECT_EQ(second.text, "loaded SoundFont has ID 2\n");
  EXPECT_EQ(shell.run("inst 2").text.substr(0, 19), "002-000 Sine Piano\n");
  EXPECT_EQ(shell.run("fonts").text, "ID  Name\n 2  " + path + "\n 1  " + path + "\n");
  EXPECT_EQ(shell.run("reload 2").result, 0);
  EXPECT_EQ(shell.run("unload 2").result, 0);
  EXPECT_EQ(shell.run("fonts").text, "ID  Name\n 1  " + path + "\n");
}

TEST(ShellCommands, LoadRefusesAPathThatExpansionWouldCut) {
  korvel_test::LogCapture log;
  ShellFixture shell;
  // A path that "~/" expansion would cut to 1022 characters is refused rather than loaded under a shorter name
  // (here the name of an existing bank).
  std::string homeDir = sf2::scratch_path("home");
  std::string relative;
  while (homeDir.size() + 1 + relative.size() + 201 < 1000) relative += std::string(200, 'd') + "/";
  std::filesystem::create_directories(homeDir + "/" + relative);
  relative += std::string(1022 - (homeDir.size() + 1 + relative.size()), 'f');
  ASSERT_TRUE(sf2::general_bank().write(homeDir + "/" + relative));
  const char* home = std::getenv("HOME");
  std::string savedHome = home != nullptr ? home : "";
  setenv("HOME", homeDir.c_str(), 1);
  EXPECT_EQ(shell.run("load ~/" + relative + "x").text, "failed to load the SoundFont\n");
  EXPECT_EQ(shell.run("load ~/" + relative).text, "loaded SoundFont has ID 1\n");
  if (home != nullptr) {
    setenv("HOME", savedHome.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

TEST(ShellCommands, HandlerWithoutSynthesizerKnowsOnlySource) {
  korvel_cmd_handler_t* handler = new_korvel_cmd_handler(nullptr);
  ASSERT_NE(handler, nullptr);
  void* row = nullptr;
  EXPECT_EQ(korvel_hashtable_lookup(handler, "source", &row, nullptr), 1);
  EXPECT_EQ(korvel_hashtable_lookup(handler, "help", &row, nullptr), 0);
  EXPECT_EQ(korvel_hashtable_size(handler), 1u);
  delete_korvel_cmd_handler(handler);
}

int countCalls(void* data, int ac, char** av, korvel_ostream_t out) {
  *static_cast<int*>(data) += ac;
  korvel_ostream_printf(out, "%s\n", ac > 0 ? av[0] : "-");
  return 0;
}

TEST(ShellCommands, RegisteredCommandsReplaceAndUnregister) {
  ShellFixture shell;
  int calls = 0;
  korvel_cmd_t mine = {"echo", "mine", countCalls, &calls, "echo    mine"};
  ASSERT_EQ(korvel_cmd_handler_register(shell.handler, &mine), 0);
  EXPECT_EQ(shell.run("echo a b").text, "a\n");
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(korvel_cmd_handler_unregister(shell.handler, "echo"), 1);
  EXPECT_EQ(korvel_cmd_handler_unregister(shell.handler, "echo"), 0);
  EXPECT_EQ(shell.run("echo a").text, "unknown command: echo (try help)\n");
}

std::vector<int> routedChannels;

int recordChannel(void* /*data*/, const korvel_midi_message_t* event) {
  routedChannels.push_back(event->channel);
  return 0;
}

TEST(ShellCommands, RouterCommandsEditTheSynthesizersRouter) {
  ShellFixture shell;
  korvel_midi_router_t* router = new_korvel_midi_router(shell.settings, recordChannel, nullptr);
  ASSERT_NE(router, nullptr);
  korvel_synth_set_midi_router(shell.synth, router);
  runCases(shell, {
                      {"router_clear now", -1, "router_clear needs no arguments.\n"},
                      {"router_begin sideways", -1, "router_begin args: note, cc, prog, pbend, cpress, kpress\n"},
                      {"router_chan 0 15 1", -1, "router_chan needs four args: min, max, mul, add."},
                      {"router_clear", 0, ""},
                      {"router_begin note", 0, ""},
                      {"router_chan 0 15 1 1", 0, ""},
                      {"router_end", 0, ""},
                  });
  routedChannels.clear();
  korvel_midi_message_t note{};
  note.type = 0x90;
  note.channel = 3;
  note.param1 = 60;
  note.param2 = 100;
  EXPECT_EQ(korvel_midi_router_handle_midi_event(router, &note), 0);
  EXPECT_EQ(routedChannels, std::vector<int>{4});
  korvel_synth_set_midi_router(shell.synth, nullptr);
  delete_korvel_midi_router(router);
}

}  // namespace
