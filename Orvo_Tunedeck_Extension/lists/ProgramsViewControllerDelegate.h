#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/SoundfontProgram.h"

// Receives the program the user picked in the program list. Main queue.
class ProgramsViewControllerDelegate {
public:
    virtual ~ProgramsViewControllerDelegate() = default;
    // index: the picked row of the catalogue; program: that row, by value.
    virtual void onProgramSelect(int index, const SoundfontProgram& program) = 0;
};
