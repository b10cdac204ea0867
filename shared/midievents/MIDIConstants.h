// MIDI byte constants shared by the sequence model, the render block and the file player.
// Compile-time values; safe to read from any thread, the audio thread included.
#pragma once

#include <cstdint>

// Status bytes. STATUS_META borrows 0xFD, a status MIDI leaves undefined, to tag the tempo marker and the meta events
// of a sample-timed event list: internal only, never put on a wire.
inline constexpr uint8_t STATUS_NOTEOFF = 0x80;
inline constexpr uint8_t STATUS_NOTEON = 0x90;
inline constexpr uint8_t STATUS_PPRESSURE = 0xA0;
inline constexpr uint8_t STATUS_CONTROLLER = 0xB0;
inline constexpr uint8_t STATUS_PROGRAM = 0xC0;
inline constexpr uint8_t STATUS_CPRESSURE = 0xD0;
inline constexpr uint8_t STATUS_PITCHBEND = 0xE0;
inline constexpr uint8_t STATUS_SYSEX = 0xF0;
inline constexpr uint8_t STATUS_TIMECODE = 0xF1;
inline constexpr uint8_t STATUS_SONGPOSITION = 0xF2;
inline constexpr uint8_t STATUS_SONGSELECT = 0xF3;
inline constexpr uint8_t STATUS_RESERVED1 = 0xF4;
inline constexpr uint8_t STATUS_RESERVED2 = 0xF5;
inline constexpr uint8_t STATUS_TUNEREQUEST = 0xF6;
inline constexpr uint8_t STATUS_EOX = 0xF7;
inline constexpr uint8_t STATUS_TIMINGCLOCK = 0xF8;
inline constexpr uint8_t STATUS_RESERVED3 = 0xF9;
inline constexpr uint8_t STATUS_START = 0xFA;
inline constexpr uint8_t STATUS_CONTINUE = 0xFB;
inline constexpr uint8_t STATUS_STOP = 0xFC;
inline constexpr uint8_t STATUS_RESERVED4 = 0xFD;
inline constexpr uint8_t STATUS_ACTIVESENSING = 0xFE;
inline constexpr uint8_t STATUS_RESET = 0xFF;
inline constexpr uint8_t STATUS_META = 0xFD;

// Controller numbers. The numbers in CONTROLLER_016 ... CONTROLLER_031 and CONTROLLER_102 ... CONTROLLER_112 are
// decimal.
inline constexpr uint8_t CONTROLLER_BANKSELECT_MSB = 0x00;
inline constexpr uint8_t CONTROLLER_MODWHEEL = 0x01;
inline constexpr uint8_t CONTROLLER_003 = 0x03;
inline constexpr uint8_t CONTROLLER_DATA_MSB = 0x06;
inline constexpr uint8_t CONTROLLER_VOLUME = 0x07;
inline constexpr uint8_t CONTROLLER_008 = 0x08;
inline constexpr uint8_t CONTROLLER_009 = 0x09;
inline constexpr uint8_t CONTROLLER_PAN = 0x0A;
inline constexpr uint8_t CONTROLLER_EXPRESSION = 0x0B;
inline constexpr uint8_t CONTROLLER_016 = 16;
inline constexpr uint8_t CONTROLLER_017 = 17;
inline constexpr uint8_t CONTROLLER_018 = 18;
inline constexpr uint8_t CONTROLLER_019 = 19;
inline constexpr uint8_t CONTROLLER_020 = 20;
inline constexpr uint8_t CONTROLLER_021 = 21;
inline constexpr uint8_t CONTROLLER_022 = 22;
inline constexpr uint8_t CONTROLLER_023 = 23;
inline constexpr uint8_t CONTROLLER_024 = 24;
inline constexpr uint8_t CONTROLLER_025 = 25;
inline constexpr uint8_t CONTROLLER_026 = 26;
inline constexpr uint8_t CONTROLLER_027 = 27;
inline constexpr uint8_t CONTROLLER_028 = 28;
inline constexpr uint8_t CONTROLLER_029 = 29;
inline constexpr uint8_t CONTROLLER_030 = 30;
inline constexpr uint8_t CONTROLLER_031 = 31;
inline constexpr uint8_t CONTROLLER_BANKSELECT_LSB = 0x20;
inline constexpr uint8_t CONTROLLER_SUSTAIN = 0x40;
inline constexpr uint8_t CONTROLLER_PORTA = 0x41;
inline constexpr uint8_t CONTROLLER_HOLD2 = 0x45;
inline constexpr uint8_t CONTROLLER_RESONANCE = 0x47;
inline constexpr uint8_t CONTROLLER_RELEASE = 0x48;
inline constexpr uint8_t CONTROLLER_ATTACK = 0x49;
inline constexpr uint8_t CONTROLLER_CUTOFF = 0x4A;
inline constexpr uint8_t CONTROLLER_DECAY = 0x4B;
inline constexpr uint8_t CONTROLLER_SUSTAIN2 = 0x4C;
inline constexpr uint8_t CONTROLLER_102 = 102;
inline constexpr uint8_t CONTROLLER_103 = 103;
inline constexpr uint8_t CONTROLLER_104 = 104;
inline constexpr uint8_t CONTROLLER_105 = 105;
inline constexpr uint8_t CONTROLLER_106 = 106;
inline constexpr uint8_t CONTROLLER_107 = 107;
inline constexpr uint8_t CONTROLLER_108 = 108;
inline constexpr uint8_t CONTROLLER_109 = 109;
inline constexpr uint8_t CONTROLLER_110 = 110;
inline constexpr uint8_t CONTROLLER_111 = 111;
inline constexpr uint8_t CONTROLLER_112 = 112;
inline constexpr uint8_t CONTROLLER_RESET_CONTROLLERS = 0x79;
inline constexpr uint8_t CONTROLLER_NOTES_OFF = 0x7B;
inline constexpr uint8_t CONTROLLER_SOUNDS_OFF = 0x78;

// Meta event types of a standard MIDI file. The three extended-event constants here are 0xFF; METATags has cases of
// the same names at 0xF1 to 0xF3. Code that needs one form uses that form's value.
inline constexpr uint8_t META_SEQUENCENUMBER = 0x00;
inline constexpr uint8_t META_TEXT = 0x01;
inline constexpr uint8_t META_COPYRIGHT = 0x02;
inline constexpr uint8_t META_TRACKNAME = 0x03;
inline constexpr uint8_t META_INSTRUMENTNAME = 0x04;
inline constexpr uint8_t META_LYRICS = 0x05;
inline constexpr uint8_t META_MARKER = 0x06;
inline constexpr uint8_t META_CUEPOINT = 0x07;
inline constexpr uint8_t META_PROGRAMNAME = 0x08;
inline constexpr uint8_t META_DEVICENAME = 0x09;
inline constexpr uint8_t META_CHANNELPREFIX = 0x20;
inline constexpr uint8_t META_MIDIPORT = 0x21;
inline constexpr uint8_t META_EOT = 0x2F;
inline constexpr uint8_t META_SETTEMPO = 0x51;
inline constexpr uint8_t META_SMTPOFFSET = 0x54;
inline constexpr uint8_t META_TIMESIGNATURE = 0x58;
inline constexpr uint8_t META_KEYSIGNATURE = 0x59;
inline constexpr uint8_t META_SPECIFIC = 0x7F;
inline constexpr uint8_t META_SYSEX = 0xF0;
inline constexpr uint8_t META_UNKNOWN = 0xFF;
inline constexpr uint8_t META_EXTENDEDNOTE = 0xFF;
inline constexpr uint8_t META_AUPARAMETER = 0xFF;
inline constexpr uint8_t META_AUPRESET = 0xFF;
