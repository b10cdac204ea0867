// What the program list needs of the screen that holds it: the screen's delegate and its close action.
// ProgramsViewController is the screen; tests put a fake in its place.
//
// Threads: main queue only.
#pragma once

#include "Orvo_Tunedeck_Extension/lists/ProgramsViewControllerDelegate.h"

class ProgramsScreen {
public:
    virtual ~ProgramsScreen() = default;
    // nullptr when no one listens.
    virtual ProgramsViewControllerDelegate* programDelegate() = 0;
    // Dismisses the screen, animated.
    virtual void close() = 0;
};
