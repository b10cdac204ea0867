#pragma once

#include <cstddef>

#include "Orvo_Tunedeck_Extension/catalogue/SoundfontProgram.h"

// Receives the program the user picked in the program list. Main queue.
class ProgramsViewControllerDelegate {
public:
    virtual ~ProgramsViewControllerDelegate() = default;
    // index: the picked row of the catalogue; program: that row, by value.
    virtual void onProgramSelect(std::ptrdiff_t index, const SoundfontProgram& program) = 0;
};
