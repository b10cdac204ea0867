#pragma once
// The sound banks of the resources folder, chosen by number. Numbers 1 and 2 are crossed on purpose: 1 names
// "soundfont2.sf2" and 2 names "soundfont1.sf2". Numbers without a bank of their own name "gs_instruments.dls".
//
// Pure data and lookups; safe from any thread except the render thread (soundBankURL touches the file system).

#include <filesystem>
#include <optional>
#include <string_view>

struct SoundBankResource {
    std::string_view name;
    std::string_view extension;
};

inline constexpr SoundBankResource kDefaultSoundBank{"gs_instruments", "dls"};

inline constexpr struct {
    int number;
    SoundBankResource resource;
} kSoundBanksByNumber[] = {
    {0, kDefaultSoundBank},
    {1, {"soundfont2", "sf2"}},
    {2, {"soundfont1", "sf2"}},
    {6, {"soundfont6", "sf2"}},
    {7, {"soundfont7", "sf2"}},
    {9, {"soundfont9", "sf2"}},
};

constexpr SoundBankResource soundBankForNumber(int number) {
    for (const auto& entry : kSoundBanksByNumber)
        if (entry.number == number) return entry.resource;
    return kDefaultSoundBank;
}

// Where the resource's file belongs: in the resources folder, or its bare file name when there is no resources folder.
std::filesystem::path soundBankFile(const SoundBankResource& resource);
// The resource's file in the resources folder, or nullopt when there is no resources folder or no such file.
std::optional<std::filesystem::path> soundBankURL(const SoundBankResource& resource);
