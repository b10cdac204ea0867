#include "tools/midigen/Pieces.h"

#include <array>
#include <string>

namespace midigen {

namespace {

constexpr std::uint8_t kDrumChannel = 9;
constexpr std::uint8_t kMiddleC = 60;

} // namespace

Composition programTour()
{
    Composition piece(200.0);
    piece.tempo(128.0, 240.0);
    Part part = piece.part({"Programs", 0, 0, 100, 64});
    for (unsigned program = 0; program < 128; ++program) {
        double at = program * 2.0;
        if (program > 0) {
            part.program(at, static_cast<std::uint8_t>(program));
        }
        part.note(at, kMiddleC, 1.5, 100);
    }
    return piece;
}

Composition drumKeys()
{
    Composition piece(160.0);
    piece.tempo(25.0, 120.0);
    Part kit = piece.part({"Drum Keys", kDrumChannel, 0, 100, 64});
    constexpr std::uint8_t kFirstKey = 35;
    constexpr std::uint8_t kLastKey = 81;
    for (unsigned key = kFirstKey; key <= kLastKey; ++key) {
        kit.note(key - kFirstKey, static_cast<std::uint8_t>(key), 0.5, 100);
    }
    return piece;
}

Composition allChannels()
{
    // One program per channel from a different family; channel 10 plays the kit.
    constexpr std::array<std::uint8_t, 16> kPrograms{0, 11, 16, 25, 33, 40, 48, 56, 65, 0, 73, 81, 89, 104, 112, 61};
    constexpr std::array<std::uint8_t, 3> kTriad{60, 64, 67};
    Composition piece(120.0);
    piece.tempo(64.0, 90.0);
    for (std::uint8_t channel = 0; channel < 16; ++channel) {
        Part part = piece.part({"Channel " + std::to_string(channel + 1), channel, kPrograms[channel], 100,
                                static_cast<std::uint8_t>(channel * 8 + 4)});
        double at = channel * 4.0;
        if (channel == kDrumChannel) {
            for (int beat = 0; beat < 4; ++beat) {
                part.note(at + beat, beat % 2 == 0 ? 36 : 38, 0.5, 100);
                part.note(at + beat + 0.5, 42, 0.25, 70);
            }
            part.note(64.0, 49, 4, 100);
            continue;
        }
        for (int beat = 0; beat < 4; ++beat) {
            part.note(at + beat, static_cast<std::uint8_t>(kTriad[beat % 3] + (beat == 3 ? 12 : 0)), 1, 90);
        }
        part.note(64.0, static_cast<std::uint8_t>(kTriad[channel % 3] - 12 * (channel % 2)), 4, 70);
    }
    return piece;
}

} // namespace midigen
