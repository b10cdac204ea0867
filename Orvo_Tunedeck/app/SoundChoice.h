#pragma once
// The sounds the user chose on the command line: one of the six sound sets, or a SoundFont 2 or DLS bank file of
// their own, given to the hosted instrument before it plays (live or offline alike).
//
// Threads: the main queue.

#include <filesystem>
#include <optional>
#include <string>

#include "Orvo_Tunedeck/app/ViewController.h"

struct SoundChoice {
    std::optional<int> soundSet;                     // row 0 to 5
    std::optional<std::filesystem::path> soundfont;  // a bank file
};

// Whether file is a bank the instrument can be given: a readable SoundFont 2 or DLS file by its header. False, with
// error saying why, for anything else; read before the instrument sees the file.
bool checkSoundBankFile(const std::filesystem::path& file, std::string& error);

// Gives the choice to the instrument of controller's engine (or keeps the set it has); false, with
// error saying why, when the instrument refuses the bank file or reports the sound set's bank missing or refused.
bool applySoundChoice(ViewController& controller, const SoundChoice& choice, std::string& error);
