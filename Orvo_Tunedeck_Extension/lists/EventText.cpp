#include "Orvo_Tunedeck_Extension/lists/EventText.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace {

struct ControllerLabel {
    std::uint8_t controller;
    std::string_view label;
};

constexpr std::array<ControllerLabel, 15> kControllerLabels{{
    {0, "BANK MSB"},    {1, "MODULATION"}, {6, "DATA MSB"}, {7, "VOLUME"},   {10, "PANPOT"},
    {11, "EXPRESSION"}, {64, "SUSTAIN"},   {69, "HOLD 2"},  {71, "RESONANCE"}, {72, "RELEASE"},
    {73, "ATTACK"},     {74, "CUTOFF"},    {75, "DECAY"},   {121, "RESET ALL"}, {123, "NOTES OFF"},
}};

constexpr std::string_view controllerLabel(std::uint8_t controller) {
    for (const auto& entry : kControllerLabels) {
        if (entry.controller == controller) return entry.label;
    }
    return "CONTROLLER";
}

std::string padded(std::string_view label, std::size_t width) {
    std::string text(label);
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string hex2(std::uint8_t value) {
    char text[4];
    std::snprintf(text, sizeof text, "%2X", static_cast<unsigned>(value));
    return text;
}

std::string line(std::string_view label, std::size_t width, std::uint8_t data1, std::string_view separator,
                 std::uint8_t data2) {
    return padded(label, width) + hex2(data1) + std::string(separator) + std::to_string(data2);
}

}  // namespace

std::string formatEvent(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    switch (status & 0xF0) {
        case 0x80: return line("NOTE OFF", 12, data1, " VEL ", data2);
        case 0x90: return line(data2 == 0 ? "NOTE ON (0)" : "NOTE ON", 12, data1, " VEL ", data2);
        case 0xA0: return line("POLY PRESS", 15, data1, " VAL ", data2);
        case 0xB0: return line(controllerLabel(data1), 12, data1, " VAL ", data2);
        case 0xC0: return line("PROGRAM", 15, data1, " VAL ", data2);
        case 0xD0: return line("CHAN PRESS", 15, data1, " VAL ", data2);
        case 0xE0: return line("PITCHBEND", 15, data1, " VAL ", data2);
        default: break;
    }
    if (status == 0xF0) return padded("SYSEX", 13) + hex2(data1) + " VAL ...";
    if (status == 0xFF) return line("SYS RESET", 13, data1, " VAL ", data2);
    return line("OTHER EVENT", 15, data1, " VAL ", data2);
}
